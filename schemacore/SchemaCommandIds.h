// Command ids of the schema pane. The numbers are the program's own: menus and tests refer to
// them. Copy, Find, Save As, Font and Refresh share the ids of the other panes (common/).
#pragma once

#include "common/CommandIds.h"

enum : int {
    ID_SCHEMA_CONNECTION_STRING = 181, // pages of the properties sheet
    ID_SCHEMA_RELATIONSHIPS = 178,
    ID_SCHEMA_INDEXES = 179,
    ID_SCHEMA_CONSTRAINTS = 180,
    ID_SCHEMA_TABLE_PERMISSIONS = 185,
    ID_SCHEMA_COLUMN_PERMISSIONS = 186,
    ID_SCHEMA_PROPERTIES = TVCommandId(32845),
    ID_SCHEMA_DESIGN = TVCommandId(32847),
    ID_SCHEMA_RETURN_TOP_COLUMNS = TVCommandId(32863), // column popup, "&Select"
    ID_SCHEMA_RETURN_ALL_COLUMNS = TVCommandId(32864),
    ID_SCHEMA_RETURN_ALL = TVCommandId(32865), // table and view popups, "&Open"
    ID_SCHEMA_RETURN_TOP = TVCommandId(32866),
    ID_SCHEMA_SHOW_ALL = TVCommandId(32869),
    ID_SCHEMA_EXPAND_ALL = TVCommandId(33018),
    ID_SCHEMA_COLLAPSE_ALL = TVCommandId(33019),
    ID_SCHEMA_SORT_ASCENDING = TVCommandId(33025), // table popup
    ID_SCHEMA_SORT_DESCENDING = TVCommandId(33026),
    ID_SCHEMA_RESTORE_ORDER = TVCommandId(33027),
    ID_SCHEMA_SORT_VIEW_ASCENDING = TVCommandId(33028), // view popup
    ID_SCHEMA_SORT_VIEW_DESCENDING = TVCommandId(33029),
    ID_SCHEMA_RESTORE_VIEW_ORDER = TVCommandId(33030),
};
