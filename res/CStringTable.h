#pragma once

#include <QString>

// The user-visible texts of the application, addressed by the numeric ids the rest of the code
// uses (message boxes compute "caption id + result code", so the ids are part of the behaviour).
class CStringTable final
{
public:
    // Text of the entry, or an empty string when the table has no such id.
    static QString Get(int id);
    static bool Has(int id);

    // Text for a failure: the entry `base + code` when it lies in [first, last], else "Unknown error".
    static QString ResultText(int base, int code, int first, int last);

    enum Id : int
    {
        IDS_OLE_INIT_FAILED = 100,
        IDS_APP_TITLE = 128,
        IDS_CHANNEL = 130,
        IDS_SCHEDULE = 131,
        IDS_SETTING = 132,
        IDS_REMOTE = 133,
        IDS_TV = 134,
        IDS_RADIO = 135,
        IDS_REFRESH = 136,
        IDS_SAVE = 138,
        IDS_PROGRAM_GUIDE = 142,
        IDS_GUIDE_BACK_TV = 143,
        IDS_ON_AIR = 144,
        IDS_MY_SCHEDULE = 145,
        IDS_VIEW_TITLE_TV = 146,
        IDS_SCHEDULE_SETTING = 147,
        IDS_TIMER_EDIT = 148,
        IDS_SORT_NUMERIC = 150,
        IDS_SORT_ALPHABETIC = 151,
        IDS_SORT_GROUP = 152,
        IDS_SAT = 153,
        IDS_TP = 154,
        IDS_PID = 155,
        IDS_PROVIDER = 156,
        IDS_SERVICE = 157,
        IDS_TYPE = 158,
        IDS_TYPE_PLAY = 159,
        IDS_TYPE_RECORDING = 160,
        IDS_MODE = 161,
        IDS_MODE_ONCE = 162,
        IDS_MODE_DAILY = 163,
        IDS_MODE_WEEKLY = 164,
        IDS_START_DATE = 165,
        IDS_START_TIME = 166,
        IDS_DURATION = 167,
        IDS_NEARBY_LIST = 169,
        IDS_CONNECTED = 170,
        IDS_SCANNING = 171,
        IDS_STATUS_OF_STB = 172,
        IDS_IP_MANUAL = 173,
        IDS_PROTOCOL = 174,
        IDS_PARENTAL_PASSWORD = 175,
        IDS_WEB_USER = 176,
        IDS_WEB_PASSWORD = 177,
        IDS_STREAM_OTHER = 178,
        IDS_OTHER_IP = 179,
        IDS_OTHER_PORT = 180,
        IDS_OTHER_PROTOCOL = 181,
        IDS_NO_INFORMATION = 182,
        IDS_UNKNOWN_ERROR = 183,
        IDS_BROKEN_INFORMATION = 184,
        IDS_LIST_EMPTY = 185,
        IDS_LOADING = 186,
        IDS_SETTING_CAPTION = 187,
        IDS_SETTING_SAVED = 188,
        IDS_STB_SETTING = 189,
        IDS_NEED_STB_IP = 190,
        IDS_CONFIRM_DELETE = 191,
        IDS_CONFIRM_DELETE_TEXT = 192,
        IDS_ERROR = 193,
        IDS_ALREADY_RUNNING = 194,
        IDS_UPDATE_FAILURE = 195,
        IDS_UPDATE_FAILED = 196,
        IDS_START_STREAMING_FAILURE = 197,
        IDS_STOP_STREAMING_FAILURE = 203,
        IDS_STOP_STREAMING_FAILED = 204,
        IDS_SET_SCHEDULE_FAILURE = 205,
        IDS_TIME_FORMAT = 211,
        IDS_DATE_FORMAT_SHORT = 212,
        IDS_DATE_FORMAT_LONG = 213,
        // Texts of this program beyond the original table.
        IDS_SETTING_NOT_SAVED = 1000,
        IDS_CHECK_STB_ADDRESS = 1001,
        IDS_CHECK_STOD_ADDRESS = 1002,
        IDS_CHECK_STOD_PORT = 1003,
        IDS_CHECK_TIMER_TYPE = 1004,
        IDS_CHECK_TIMER_MODE = 1005,
        // Names of the commands (their actions' texts).
        IDS_CMD_NEXT_SERVICE = 1100,
        IDS_CMD_PREV_SERVICE = 1101,
        IDS_CMD_VOLUME_UP = 1102,
        IDS_CMD_VOLUME_DOWN = 1103,
        IDS_CMD_MUTE = 1104,
        IDS_CMD_PAUSE = 1105,
        IDS_CMD_FULL_SCREEN = 1106,
        IDS_CMD_EXIT_FULL_SCREEN = 1107,
        IDS_CMD_ENTER = 1108,
        IDS_CMD_CHANNEL_POPUP = 1109,
        IDS_CMD_MINI_PLAYER = 1110,
        IDS_CMD_NORMAL_PLAYER = 1111,
        IDS_CMD_CHANNEL_INFO = 1112,
    };
};
