// Command and indicator ids of the main window. The numbers are the program's own and stay
// fixed: menus, accelerators, status texts and tests refer to them.
#pragma once

enum : int {
    // Status bar indicator of the connection count.
    ID_INDICATOR_CONNECTIONS = 108,

    ID_WINDOWS_DIALOG = 117,

    ID_FILE_CLOSE_ALL = 32772, // Disconnect All
    ID_FILE_DATA_LINK = 32776, // Data Link Properties
    ID_FILE_DISCONNECT = 32785,
    ID_GO_TO_LINE = 32809,
    ID_WINDOW_NEXT = 32821,
    ID_WINDOW_PREVIOUS = 32822,
    ID_FILE_DATA_LINK_FILE = 32884, // From Data Link File

    // Recent data link files and recent DSN-less logins.
    ID_MRU_DATA_LINK_FIRST = 32889,
    ID_MRU_DSN_LESS_FIRST = 32995,

    ID_FILE_OPEN = 57601,
    ID_FILE_PRINT_SETUP = 57606,
    // The standard recent-file list: up to 16 entries.
    ID_FILE_MRU_FIRST = 57616,
    ID_FILE_MRU_LAST = 57631,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_WINDOW_TILE_VERT = 57652,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
};
