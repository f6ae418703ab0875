// Where a key pressed in a query window goes before the focused control sees it: the database
// list's own keys, and the window's shortcuts that work from every pane. The window sends a
// routed command only while it is enabled; otherwise the key goes on to the focused control.
#pragma once

#include "common/CommandIds.h"

#include <wx/defs.h>

struct CQueryKey {
    int keyCode = 0;      // wxKeyCode, or the upper-case character for letters and digits
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool inDatabaseList = false; // the focus is in the database list
    bool executing = false;
    bool findInFiles = false;
    int gridCount = 0;
    bool refreshEnabled = false; // F8 refreshes the messages while Refresh is enabled
};

enum class QueryKeyAction {
    None,             // the key goes on to the focused control
    SelectDatabase,   // the list selects the next database starting with `character`
    ReturnFocus,      // the focus goes back to the active view; the key goes on
    ReturnFocusAndSwitch, // likewise, then the list's text becomes the database; the key is eaten
    Command,          // `commandId` is sent to the window (or, for window switching, the main frame)
};

struct CQueryKeyRoute {
    QueryKeyAction action = QueryKeyAction::None;
    int commandId = 0;
    bool mainFrameCommand = false; // the command belongs to the main frame
    wxChar character = 0;          // SelectDatabase: the character to look for
    bool activateForF5 = false;    // ReturnFocus with F5: first activate the editor or results pane
    bool eaten = false;
};

// Command ids the routing sends.
enum : int {
    ID_FIND_IN_FILES = TVCommandId(33014),
    ID_STOP_FIND_IN_FILES = TVCommandId(33015),
    ID_NEXT_PANE = TVCommandId(32941),
    ID_PREVIOUS_PANE = TVCommandId(32942),
    ID_NEXT_WINDOW = TVCommandId(32821),
    ID_PREVIOUS_WINDOW = TVCommandId(32822),
    ID_RESULTS_IN_TEXT = TVCommandId(32827),
    ID_PREVIOUS_GRID = TVCommandId(32790),
    ID_NEXT_GRID = TVCommandId(32792),
    ID_LAST_GRID = TVCommandId(32794),
    ID_FIRST_GRID = TVCommandId(32796),
    ID_GO_TO_GRID = TVCommandId(32926),
    ID_NEW_CONNECTION_WINDOW = TVCommandId(32805),
    ID_NEXT_ERROR_BATCH = TVCommandId(32945),
    ID_PREVIOUS_ERROR_BATCH = TVCommandId(32947),
    ID_DATABASE_LIST = 101,
};

CQueryKeyRoute RouteQueryWindowKey(const CQueryKey& key);
