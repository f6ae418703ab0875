// Command ids of the schema pane. The numbers are the program's own: menus and tests refer to
// them. Refresh (ID_REFRESH) and Save As (ID_FILE_SAVE_AS) share the ids of the other panes.
#pragma once

#include "common/CommandIds.h"
#include "query/ResultCommands.h"

enum : int {
    ID_SCHEMA_RETURN_TOP_COLUMNS = TVCommandId(32863), // column popup, "&Select"
    ID_SCHEMA_RETURN_ALL_COLUMNS = TVCommandId(32864),
    ID_SCHEMA_RETURN_ALL = TVCommandId(32865), // table and view popups, "&Open"
    ID_SCHEMA_RETURN_TOP = TVCommandId(32866),
    ID_SCHEMA_SHOW_ALL = TVCommandId(32869),
    // The commands that open the properties sheet on one of its pages; Properties itself
    // (ID_PROPERTIES) opens it on General.
    ID_SCHEMA_RELATIONSHIPS = 178,
    ID_SCHEMA_INDEXES = 179,
    ID_SCHEMA_CONSTRAINTS = 180,
    ID_SCHEMA_CONNECTION_STRING = 181,
    ID_SCHEMA_TABLE_PERMISSIONS = 185,
    ID_SCHEMA_COLUMN_PERMISSIONS = 186,
};
