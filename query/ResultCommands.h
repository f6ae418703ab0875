// Command and indicator ids of the results pane, the query window's panes and its status bar.
// The numbers are the program's own: menus, toolbars, accelerators and tests refer to them.
#pragma once

#include "common/CommandIds.h"

enum : int {
    // Status bar indicators, in pane order.
    ID_INDICATOR_MESSAGE = 110,
    ID_INDICATOR_AUTOCOMMIT = 102,
    ID_INDICATOR_EXEC_TIME = 113,
    ID_INDICATOR_RESULT_SET = 103,
    ID_INDICATOR_LINE_COLUMN = 115,

    ID_FOCUS_DATABASE_LIST = 116,
    ID_VIEW_OUTPUT = 216,
    ID_VIEW_SCHEMA = TVCommandId(32828),
    ID_SAVE_SELECTION = TVCommandId(32803),
    ID_GO_TO_ERROR_BATCH = TVCommandId(32944),
    ID_VIEW_CONTENTS = 210,
    ID_SORT_ASCENDING = 207,
    ID_SORT_DESCENDING = 208,
    ID_SORT_SELECTION_ASCENDING = 209,
    ID_SORT_SELECTION_DESCENDING = 215,
};
