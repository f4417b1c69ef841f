#pragma once

namespace pagelet {

// The window's command messages, sent by the skin's buttons (WM_USER + 100 onwards).
enum Command : int {
    WM_USER = 0x400,
    CMD_WEATHER = WM_USER + 100,
    CMD_PREV_DAY = WM_USER + 101,
    CMD_TODAY = WM_USER + 102,
    CMD_NEXT_DAY = WM_USER + 103,
    CMD_CALENDAR = WM_USER + 104,
    CMD_SETTINGS = WM_USER + 105,
    CMD_EDIT = WM_USER + 106,
    CMD_SAVE = WM_USER + 107,
    CMD_DELETE = WM_USER + 108,
    CMD_VOICE = WM_USER + 109,
    CMD_TIMESTAMP = WM_USER + 110,
    CMD_FIND = WM_USER + 111,
};

} // namespace pagelet
