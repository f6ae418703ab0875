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

    // The query document and the SQL editor.
    ID_EDIT_MATCH_BRACE = 32965,
    ID_EDIT_INCREASE_INDENT = 32966,
    ID_EDIT_DECREASE_INDENT = 32967,
    ID_EDIT_COMMENT_DASHES = 32968,
    ID_EDIT_COMMENT_SLASH_STAR = 32969,
    ID_EDIT_UNCOMMENT = 32970,
    ID_QUERY_EXECUTE = 32773,
    ID_EDIT_UPPERCASE = 32783,
    ID_EDIT_LOWERCASE = 32784,
    ID_QUERY_CANCEL = 32800,
    ID_FORMAT_FONT = 32806,
    ID_EDIT_TABIFY = 32816,
    ID_EDIT_UNTABIFY = 32817,
    ID_QUERY_CONNECTION_OPTIONS = 32874,
    ID_FILE_SAVE_ALL = 32876,
    ID_QUERY_EXECUTE_SAVE_AS = 32881,
    ID_VIEW_WORD_WRAP = 32936,

    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_EDIT_CLEAR_ALL = 57633,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_FIND = 57636,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_REPLACE = 57641,
    ID_EDIT_SELECT_ALL = 57642,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
};
