// Command and indicator ids of the main window. The numbers are the program's own and stay
// fixed: menus, accelerators, status texts and tests refer to them.
#pragma once

// The window library takes command ids below 32767 only: the program's command numbers from
// 30000 up are used shifted down by 30000, which also keeps them clear of the library's own
// ids (4999 to 5999). Numbers below 30000 are used as they are.
constexpr int TVCommandId(int number)
{
    return number >= 30000 ? number - 30000 : number;
}

enum : int {
    // Status bar indicator of the connection count.
    ID_INDICATOR_CONNECTIONS = 108,

    ID_WINDOWS_DIALOG = 117,

    ID_FILE_CLOSE_ALL = TVCommandId(32772), // Disconnect All
    ID_FILE_DATA_LINK = TVCommandId(32776), // Data Link Properties
    ID_FILE_DISCONNECT = TVCommandId(32785),
    ID_GO_TO_LINE = TVCommandId(32809),
    ID_WINDOW_NEXT = TVCommandId(32821),
    ID_WINDOW_PREVIOUS = TVCommandId(32822),
    ID_FILE_DATA_LINK_FILE = TVCommandId(32884), // From Data Link File

    // Recent data link files and recent DSN-less logins.
    ID_MRU_DATA_LINK_FIRST = TVCommandId(32889),
    ID_MRU_DATA_LINK_LAST = TVCommandId(32904),
    ID_MRU_DSN_LESS_FIRST = TVCommandId(32995),
    ID_MRU_DSN_LESS_LAST = TVCommandId(33010),

    // The ODBC drivers of the DSN-less logins menu, and its placeholder while it holds none.
    ID_DRIVER_NONE = TVCommandId(55294),
    ID_DRIVER_FIRST = TVCommandId(55295),
    ID_DRIVER_LAST = TVCommandId(55807),

    // Tools and Help.
    ID_HELP_README = TVCommandId(32808),
    ID_HELP_DATA_ACCESS = TVCommandId(32912),
    ID_TOOLS_ODBC_ADMINISTRATOR = TVCommandId(32930),
    ID_TOOLS_SYSTEM_INFORMATION = TVCommandId(32988),
    ID_HELP_COMMENTS = TVCommandId(33016),

    // The entries of the submenus the program fills itself (the recent lists, the drivers).
    ID_MENU_DRIVERS = TVCommandId(33101),
    ID_MENU_RECENT_FILES = TVCommandId(33102),
    ID_MENU_RECENT_DATA_LINKS = TVCommandId(33103),
    ID_MENU_RECENT_DSN_LESS = TVCommandId(33104),

    ID_FILE_OPEN = TVCommandId(57601),
    ID_FILE_PRINT_SETUP = TVCommandId(57606),
    // The standard recent-file list: up to 16 entries.
    ID_FILE_MRU_FIRST = TVCommandId(57616),
    ID_FILE_MRU_LAST = TVCommandId(57631),
    ID_WINDOW_ARRANGE = TVCommandId(57649),
    ID_WINDOW_CASCADE = TVCommandId(57650),
    ID_WINDOW_TILE_HORZ = TVCommandId(57651),
    ID_WINDOW_TILE_VERT = TVCommandId(57652),
    ID_APP_ABOUT = TVCommandId(57664),
    ID_APP_EXIT = TVCommandId(57665),

    // The query document and the SQL editor.
    ID_EDIT_MATCH_BRACE = TVCommandId(32965),
    ID_EDIT_INCREASE_INDENT = TVCommandId(32966),
    ID_EDIT_DECREASE_INDENT = TVCommandId(32967),
    ID_EDIT_COMMENT_DASHES = TVCommandId(32968),
    ID_EDIT_COMMENT_SLASH_STAR = TVCommandId(32969),
    ID_EDIT_UNCOMMENT = TVCommandId(32970),
    ID_QUERY_EXECUTE = TVCommandId(32773),
    ID_EDIT_UPPERCASE = TVCommandId(32783),
    ID_EDIT_LOWERCASE = TVCommandId(32784),
    ID_QUERY_CANCEL = TVCommandId(32800),
    ID_FORMAT_FONT = TVCommandId(32806),
    ID_REFRESH = TVCommandId(32830), // F8 in the results and the schema pane
    ID_EDIT_TABIFY = TVCommandId(32816),
    ID_EDIT_UNTABIFY = TVCommandId(32817),
    ID_QUERY_CONNECTION_OPTIONS = TVCommandId(32874),
    ID_FILE_SAVE_ALL = TVCommandId(32876),
    ID_QUERY_EXECUTE_SAVE_AS = TVCommandId(32881),
    ID_VIEW_WORD_WRAP = TVCommandId(32936),

    ID_FILE_SAVE = TVCommandId(57603),
    ID_FILE_SAVE_AS = TVCommandId(57604),
    ID_FILE_PRINT = TVCommandId(57607),
    ID_FILE_PRINT_DIRECT = TVCommandId(57608),
    ID_FILE_PRINT_PREVIEW = TVCommandId(57609),
    ID_EDIT_CLEAR_ALL = TVCommandId(57633),
    ID_EDIT_COPY = TVCommandId(57634),
    ID_EDIT_CUT = TVCommandId(57635),
    ID_EDIT_FIND = TVCommandId(57636),
    ID_EDIT_PASTE = TVCommandId(57637),
    ID_EDIT_REPLACE = TVCommandId(57641),
    ID_EDIT_SELECT_ALL = TVCommandId(57642),
    ID_EDIT_UNDO = TVCommandId(57643),
    ID_EDIT_REDO = TVCommandId(57644),
};
