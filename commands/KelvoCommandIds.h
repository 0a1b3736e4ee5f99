#pragma once

// Every command id of the application, in one place. Controls carry a command id (their
// `commandId` property); the command table turns each id into a QAction that the controls bind to
// wherever they sit in the window tree.
namespace Kelvo {

enum CommandId : int
{
    ID_MODE_CHANNEL = 49152,
    ID_MODE_SCHEDULE = 49153,
    ID_MODE_SETTING = 49154,
    ID_TOGGLE_REMOTE = 49155,

    // channel page
    ID_CHANNEL_TV = 49168,
    ID_CHANNEL_RADIO = 49169,
    ID_CHANNEL_REFRESH = 49170,
    ID_CHANNEL_DOCK = 49171,
    ID_CHANNEL_SORT = 49172,
    ID_CHANNEL_GROUP = 49173,
    ID_CHANNEL_SEARCH = 49174,
    ID_CHANNEL_LIST = 49175,

    // player control bar and information box
    ID_NEXT_SERVICE = 49200,
    ID_PREV_SERVICE = 49201,
    ID_MUTE = 49202,
    ID_VOLUME = 49203,
    ID_CHANNEL_POPUP = 49204,
    ID_MINI_PLAYER = 49205,
    ID_NORMAL_PLAYER = 49206,
    ID_CHANNEL_INFO = 49207,
    ID_PAUSE = 49208,
    ID_VOLUME_UP = 49209,
    ID_VOLUME_DOWN = 49210,
    ID_FULL_SCREEN = 49211,
    ID_EXIT_FULL_SCREEN = 49212,
    ID_ENTER = 49213,

    // program guide
    ID_GUIDE_PREV_DAY = 40960,
    ID_GUIDE_NEXT_DAY = 40961,
    ID_GUIDE_LIST = 49216,
    ID_GUIDE_TV = 49424,
    ID_SCHEDULE_EDIT_BACK = 49425,
    ID_SAVE_SETTINGS = 49426,
    ID_SHOW_GUIDE = 49427,
};

} // namespace Kelvo
