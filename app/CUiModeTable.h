#pragma once

// Which bars, page and view each user-interface mode shows, and when a mode change reloads from
// the box: the frame's whole mode logic as data, without widgets, so that it is tested as a table.
namespace Kelvo {

enum UiMode : int
{
    ModeChannel = 0,
    ModeSchedule = 1,
    ModeSetting = 2,
    ModeMini = 3,
};

enum ViewIndex : int
{
    ViewPlayer = 0,
    ViewSetting = 1,
    ViewSchedule = 2,
    ViewScheduleEdit = 3,
    ViewGuide = 4,
    ViewCount = 5,
};

enum class LeftPage : int
{
    Channel = 0,
    Schedule = 1,
};

// What a mode change starts from.
struct CUiState
{
    int uiMode = ModeChannel;
    int displayMode = 0; // 1 mini player
    int currentView = ViewPlayer;
    bool boxConfigured = false;
    bool fullScreen = false;
    // The schedule page's selection opens the edit form (a new-schedule row or a single schedule).
    bool scheduleSelectionOpensEdit = false;
};

// Where a mode change ends: the new state, what is shown, and what to do on the way.
struct CUiLayout
{
    int uiMode = ModeChannel;
    int displayMode = 0;
    bool mainCaption = true;
    bool miniCaption = false;
    bool viewCaption = true;
    bool leftBar = true;
    LeftPage leftPage = LeftPage::Channel;
    bool satBar = true;
    bool controlBar = true;
    int view = ViewPlayer;
    bool dockPopup = false; // take the floating channel page back into the left bar
    bool refresh = false;   // reload everything from the box before switching the view
    // The change only swaps the view; bars and captions keep what they show.
    bool keepBars = false;

    bool operator==(const CUiLayout&) const = default;
};

// The frame's triggers of a mode change, named after the command or message that causes them.
enum class UiTrigger
{
    ModeChannel,       // ID_MODE_CHANNEL, ID_GUIDE_TV
    ModeSchedule,      // ID_MODE_SCHEDULE, UM_EDIT_SCHEDULE with a series entry
    ModeSetting,       // ID_MODE_SETTING
    ShowGuide,         // UM_SHOW_GUIDE, UM_SET_SCHEDULE success outside the schedule mode
    PlayService,       // UM_PLAY_SERVICE while another view than the player is shown
    DisplayMini,       // UM_SET_DISPLAY_MODE(1)
    DisplayNormal,     // UM_SET_DISPLAY_MODE(0)
    StartUnconfigured, // start-up without a box address: lead the user to the settings form
    CloseEditChannel,  // UM_CLOSE_SCHEDULE_EDIT in the channel mode: back to the guide
};

class CUiModeTable final
{
public:
    // The general change SetUiMode(mode, index).
    static CUiLayout SetUiMode(const CUiState& state, int mode, int index);
    // The changes of the mode commands and messages, each with its own refresh condition.
    static CUiLayout Apply(const CUiState& state, UiTrigger trigger);
};

} // namespace Kelvo
