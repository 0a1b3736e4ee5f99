#pragma once

#include <string_view>

// Image ids by name; code loads images through these names, never through bare numbers.
namespace Kelvo {

enum ImageId : int
{
    IDB_MAIN_CAPTION_BACK = 318,
    IDB_LOGO = 319,
    IDB_CLOSE = 358,
    IDB_MAXIMIZE_RESTORE = 359,
    IDB_MINIMIZE = 360,
    IDB_MODE_CHANNEL = 362,
    IDB_REMOTE = 363,
    IDB_MODE_SCHEDULE = 364,
    IDB_MODE_SETTING = 365,
    IDB_SCROLL_BAR = 367,
    IDB_BAR_DARK_38 = 369,
    IDB_CONTROL_BAR_BACK = 373,
    IDB_SAT_INFO_BACK = 374,
    IDB_FRAME_BOTTOM = 375,
    IDB_FRAME_LEFT = 376,
    IDB_FRAME_RIGHT = 377,
    IDB_ICONS_TIMER = 378,
    IDB_REFRESH = 379,
    IDB_RADIO = 380,
    IDB_TV = 381,
    IDB_ROW_GREY_43 = 382,
    IDB_ROW_BLUE_43 = 383,
    IDB_SEARCH_BOX = 384,
    IDB_ICON_SCRAMBLED = 389,
    IDB_ICON_LOCK = 390,
    IDB_EDIT_FRAME = 391,
    IDB_PREV_SERVICE = 396,
    IDB_CHANNEL_LIST = 397,
    IDB_NEXT_SERVICE = 398,
    IDB_CHANNEL_INFO = 400,
    IDB_CHANNEL_TAG = 401,
    IDB_INFO_BOX_BACK = 402,
    IDB_FLASH_PAUSE = 403,
    IDB_FLASH_PLAY = 404,
    IDB_MUTE = 405,
    IDB_VOLUME_THUMB = 406,
    IDB_VOLUME_CHANNEL = 407,
    IDB_PLAYER_IDLE = 408,
    IDB_PLAYER_RADIO = 409,
    IDB_SAVE = 410,
    IDB_RADIO_MARK = 411,
    IDB_RADIO_MARK_CHECKED = 412,
    IDB_ICONS_ADD = 413,
    IDB_ROW_BLUE_75 = 414,
    IDB_BACK_HOT = 415,
    IDB_BACK = 416,
    IDB_BACK_CHECKED = 417,
    IDB_GUIDE_HOT = 418,
    IDB_GUIDE = 419,
    IDB_GUIDE_CHECKED = 420,
    IDB_BAND_GREY_26 = 421,
    IDB_ICONS_SCHEDULE = 423,
    IDB_ICONS_CLOCK = 424,
    IDB_PREV_DAY = 425,
    IDB_NEXT_DAY = 426,
    IDB_PROGRESS_BLUE_43 = 427,
    IDB_FORM_BUTTON = 428,
    IDB_ROW_BLUE_30 = 431,
    IDB_DIALOG_CAPTION = 432,
    IDB_BUSY = 435,
    IDB_FULL_SCREEN = 436,
    IDB_MINI_PLAYER = 437,
    IDB_NORMAL_PLAYER = 438,
};

} // namespace Kelvo

// Every skin image the application loads, in one place: the image generator draws from this
// table, the resource test checks the committed PNGs against it, and the skin takes frame
// sizes from it. Width and height are those of the whole strip; frames are of equal width.
struct KelvoImageSpec
{
    int id;
    int width;
    int height;
    int frames;
    std::string_view role;

    constexpr int frameWidth() const { return frames > 0 ? width / frames : width; }
};

inline constexpr KelvoImageSpec kKelvoImages[] = {
    {Kelvo::IDB_MAIN_CAPTION_BACK, 30, 119, 1, "main caption bar background"},
    {Kelvo::IDB_LOGO, 148, 29, 1, "product logo"},
    {Kelvo::IDB_CLOSE, 72, 24, 3, "close button: normal, pressed, hot"},
    {Kelvo::IDB_MAXIMIZE_RESTORE, 144, 24, 6, "maximize (0-2) and restore (3-5) button"},
    {Kelvo::IDB_MINIMIZE, 72, 24, 3, "minimize button"},
    {Kelvo::IDB_MODE_CHANNEL, 480, 44, 4, "Channel mode button: normal, checked, hot, disabled"},
    {Kelvo::IDB_REMOTE, 360, 30, 4, "Remote button: normal, pressed, hot, disabled"},
    {Kelvo::IDB_MODE_SCHEDULE, 480, 44, 4, "Schedule mode button"},
    {Kelvo::IDB_MODE_SETTING, 480, 44, 4, "Setting mode button"},
    {Kelvo::IDB_SCROLL_BAR, 140, 19, 10, "scroll bar: down arrow x3, up arrow x3, thumb x3, track"},
    {Kelvo::IDB_BAR_DARK_38, 30, 38, 3, "dark bar, 38 high (three slices)"},
    {Kelvo::IDB_CONTROL_BAR_BACK, 30, 58, 3, "player control bar (three slices)"},
    {Kelvo::IDB_SAT_INFO_BACK, 30, 86, 3, "SAT information bar (three slices)"},
    {Kelvo::IDB_FRAME_BOTTOM, 30, 9, 3, "bottom edge of the view frame (three slices)"},
    {Kelvo::IDB_FRAME_LEFT, 5, 10, 1, "left edge of the view frame"},
    {Kelvo::IDB_FRAME_RIGHT, 5, 10, 1, "right edge of the view frame"},
    {Kelvo::IDB_ICONS_TIMER, 108, 25, 4, "timer (guide) icon: normal, pressed, hot, disabled"},
    {Kelvo::IDB_REFRESH, 264, 37, 3, "Refresh button: normal, pressed, hot"},
    {Kelvo::IDB_RADIO, 210, 36, 3, "Radio button: normal, checked, hot"},
    {Kelvo::IDB_TV, 210, 36, 3, "TV button: normal, checked, hot"},
    {Kelvo::IDB_ROW_GREY_43, 30, 43, 1, "grey row background"},
    {Kelvo::IDB_ROW_BLUE_43, 30, 43, 1, "blue row background"},
    {Kelvo::IDB_SEARCH_BOX, 90, 28, 3, "search box with magnifier (three slices)"},
    {Kelvo::IDB_ICON_SCRAMBLED, 14, 14, 1, "scrambled-service mark"},
    {Kelvo::IDB_ICON_LOCK, 16, 16, 1, "locked-service mark"},
    {Kelvo::IDB_EDIT_FRAME, 30, 21, 3, "closed drop-down list face (three slices)"},
    {Kelvo::IDB_PREV_SERVICE, 176, 44, 4, "previous service button"},
    {Kelvo::IDB_CHANNEL_LIST, 136, 34, 4, "channel list button"},
    {Kelvo::IDB_NEXT_SERVICE, 176, 44, 4, "next service button"},
    {Kelvo::IDB_CHANNEL_INFO, 66, 20, 3, "channel information button"},
    {Kelvo::IDB_CHANNEL_TAG, 14, 44, 1, "channel tag of the control bar"},
    {Kelvo::IDB_INFO_BOX_BACK, 30, 45, 3, "information box background (three slices)"},
    {Kelvo::IDB_FLASH_PAUSE, 96, 96, 1, "pause icon of the play/pause flash"},
    {Kelvo::IDB_FLASH_PLAY, 96, 96, 1, "play icon of the play/pause flash"},
    {Kelvo::IDB_MUTE, 45, 28, 3, "mute button: sound on, muted, hot"},
    {Kelvo::IDB_VOLUME_THUMB, 16, 16, 1, "volume slider thumb"},
    {Kelvo::IDB_VOLUME_CHANNEL, 12, 5, 3, "volume slider channel: empty, filled, spare"},
    {Kelvo::IDB_PLAYER_IDLE, 1920, 1080, 1, "player idle picture"},
    {Kelvo::IDB_PLAYER_RADIO, 1920, 1080, 1, "radio picture"},
    {Kelvo::IDB_SAVE, 264, 36, 3, "Save button: normal, pressed, hot"},
    {Kelvo::IDB_RADIO_MARK, 15, 15, 1, "radio mark, unchecked"},
    {Kelvo::IDB_RADIO_MARK_CHECKED, 15, 15, 1, "radio mark, checked"},
    {Kelvo::IDB_ICONS_ADD, 70, 34, 2, "add icon: normal, hot"},
    {Kelvo::IDB_ROW_BLUE_75, 30, 75, 1, "blue row background, 75 high"},
    {Kelvo::IDB_BACK_HOT, 22, 36, 1, "back arrow, hot"},
    {Kelvo::IDB_BACK, 22, 36, 1, "back arrow, normal"},
    {Kelvo::IDB_BACK_CHECKED, 22, 36, 1, "back arrow, checked"},
    {Kelvo::IDB_GUIDE_HOT, 22, 36, 1, "guide arrow, hot"},
    {Kelvo::IDB_GUIDE, 22, 36, 1, "guide arrow, normal"},
    {Kelvo::IDB_GUIDE_CHECKED, 22, 36, 1, "guide arrow, checked"},
    {Kelvo::IDB_BAND_GREY_26, 30, 26, 1, "dark grey band of the guide view"},
    {Kelvo::IDB_ICONS_SCHEDULE, 300, 30, 10,
     "schedule state icons: play, record, series, active series, blank; on blue"},
    {Kelvo::IDB_ICONS_CLOCK, 120, 30, 4, "clock icons: white, dark blue, light blue, dark grey"},
    {Kelvo::IDB_PREV_DAY, 102, 26, 3, "previous day button"},
    {Kelvo::IDB_NEXT_DAY, 102, 26, 3, "next day button"},
    {Kelvo::IDB_PROGRESS_BLUE_43, 30, 43, 1, "light blue progress gradient"},
    {Kelvo::IDB_FORM_BUTTON, 240, 30, 3, "form action button: normal, pressed, hot"},
    {Kelvo::IDB_ROW_BLUE_30, 30, 30, 1, "blue row background, 30 high"},
    {Kelvo::IDB_DIALOG_CAPTION, 120, 38, 3, "dialog caption (three slices)"},
    {Kelvo::IDB_BUSY, 552, 46, 12, "busy animation"},
    {Kelvo::IDB_FULL_SCREEN, 72, 24, 3, "full screen button"},
    {Kelvo::IDB_MINI_PLAYER, 136, 34, 4, "mini player button"},
    {Kelvo::IDB_NORMAL_PLAYER, 136, 34, 4, "normal player button"},
};

// The table entry for an id, or nullptr.
constexpr const KelvoImageSpec* FindKelvoImage(int id)
{
    for (const auto& spec : kKelvoImages) {
        if (spec.id == id) {
            return &spec;
        }
    }
    return nullptr;
}
