#include "SchemaContextMenu.h"

#include "SchemaCommandIds.h"
#include "SchemaNodeData.h"

#include <algorithm>

namespace {

// The commands the pane has. Find and printing add theirs here.
const CSchemaCommand kCommands[] = {
    {ID_EDIT_COPY, "&Copy"},
    {ID_SCHEMA_PROPERTIES, "&Properties\tAlt+Enter"},
    {ID_REFRESH, "Refres&h\tF8"},
    {ID_SCHEMA_DESIGN, "&Design"},
    {ID_SCHEMA_SHOW_ALL, "&Show All Objects", true},
    {ID_SCHEMA_RETURN_ALL, "Return &All Rows"},
    {ID_SCHEMA_RETURN_ALL_COLUMNS, "Return &All Rows"},
    {ID_SCHEMA_RETURN_TOP, "Return &Top..."},
    {ID_SCHEMA_RETURN_TOP_COLUMNS, "Return &Top..."},
    {ID_FILE_SAVE_AS, "Save &As..."},
    {ID_SCHEMA_CONNECTION_STRING, "&Connection String"},
    {ID_SCHEMA_RELATIONSHIPS, "&Relationships"},
    {ID_SCHEMA_INDEXES, "&Indexes"},
    {ID_SCHEMA_CONSTRAINTS, "Co&nstraints"},
    {ID_SCHEMA_TABLE_PERMISSIONS, "Per&missions"},
    {ID_SCHEMA_COLUMN_PERMISSIONS, "Per&missions"},
    {ID_SCHEMA_EXPAND_ALL, "&Expand All"},
    {ID_SCHEMA_COLLAPSE_ALL, "C&ollapse All"},
    {ID_SCHEMA_SORT_ASCENDING, "Sor&t Columns Ascending"},
    {ID_SCHEMA_SORT_DESCENDING, "Sort Columns D&escending"},
    {ID_SCHEMA_RESTORE_ORDER, "Re&store Original Order"},
    {ID_SCHEMA_SORT_VIEW_ASCENDING, "Sor&t Columns Ascending"},
    {ID_SCHEMA_SORT_VIEW_DESCENDING, "Sort Columns D&escending"},
    {ID_SCHEMA_RESTORE_VIEW_ORDER, "Re&store Original Order"},
};

const CSchemaMenuEntry kSeparator{};

CSchemaMenuEntry Item(int id)
{
    return CSchemaMenuEntry{id, nullptr, {}};
}

const std::vector<CSchemaPopup> kPopups = {
    {"<No Data>", {kindMarker, kindNotCapable}, {Item(ID_EDIT_FIND)}},
    {"Root",
     {kindConnection},
     {Item(ID_SCHEMA_EXPAND_ALL), Item(ID_SCHEMA_COLLAPSE_ALL), kSeparator, Item(ID_SCHEMA_SHOW_ALL), kSeparator,
      Item(ID_EDIT_FIND), Item(ID_REFRESH), kSeparator, Item(ID_SCHEMA_CONNECTION_STRING), kSeparator,
      Item(ID_SCHEMA_PROPERTIES)}},
    {"Tables_Views_Procs",
     {kindTablesFolder, kindViewsFolder, kindProceduresFolder},
     {Item(ID_SCHEMA_SHOW_ALL), kSeparator, Item(ID_EDIT_FIND), Item(ID_REFRESH), kSeparator,
      Item(ID_SCHEMA_PROPERTIES)}},
    {"Sys_Aliases_Syn_Temp_Tables",
     {kindSystemTablesFolder, kindAliasesFolder, kindTemporaryTablesFolder},
     {Item(ID_EDIT_FIND), Item(ID_REFRESH), kSeparator, Item(ID_SCHEMA_PROPERTIES)}},
    {"Table",
     {kindTable, kindSystemTable, kindAlias, kindTemporaryTable, kindTableSortedAscending, kindTableSortedDescending},
     {{0, "&Open", {ID_SCHEMA_RETURN_TOP, ID_SCHEMA_RETURN_ALL}}, kSeparator, Item(ID_EDIT_COPY), Item(ID_EDIT_FIND),
      kSeparator, Item(ID_SCHEMA_SORT_ASCENDING), Item(ID_SCHEMA_SORT_DESCENDING), Item(ID_SCHEMA_RESTORE_ORDER),
      kSeparator, Item(ID_FILE_SAVE_AS), kSeparator, Item(ID_SCHEMA_RELATIONSHIPS), Item(ID_SCHEMA_INDEXES),
      Item(ID_SCHEMA_CONSTRAINTS), Item(ID_SCHEMA_TABLE_PERMISSIONS), kSeparator, Item(ID_SCHEMA_PROPERTIES)}},
    {"Table_View_Column",
     {kindColumn, kindPrimaryKeyColumn, kindForeignKeyColumn},
     {{0, "&Select", {ID_SCHEMA_RETURN_TOP_COLUMNS, ID_SCHEMA_RETURN_ALL_COLUMNS}}, kSeparator, Item(ID_EDIT_COPY),
      Item(ID_EDIT_FIND), kSeparator, Item(ID_FILE_SAVE_AS), kSeparator, Item(ID_SCHEMA_COLUMN_PERMISSIONS), kSeparator,
      Item(ID_SCHEMA_PROPERTIES)}},
    {"Procedure Column", {kindParameter}, {Item(ID_EDIT_COPY), Item(ID_EDIT_FIND), kSeparator, Item(ID_SCHEMA_PROPERTIES)}},
    {"View",
     {kindView, kindViewSortedAscending, kindViewSortedDescending},
     {{0, "&Open", {ID_SCHEMA_RETURN_TOP, ID_SCHEMA_RETURN_ALL}}, Item(ID_SCHEMA_DESIGN), kSeparator,
      Item(ID_EDIT_COPY), Item(ID_EDIT_FIND), kSeparator, Item(ID_SCHEMA_SORT_VIEW_ASCENDING),
      Item(ID_SCHEMA_SORT_VIEW_DESCENDING), Item(ID_SCHEMA_RESTORE_VIEW_ORDER), kSeparator, Item(ID_FILE_SAVE_AS),
      kSeparator, Item(ID_SCHEMA_INDEXES), Item(ID_SCHEMA_TABLE_PERMISSIONS), kSeparator, Item(ID_SCHEMA_PROPERTIES)}},
    {"Procedure",
     {kindProcedure},
     {Item(ID_SCHEMA_DESIGN), kSeparator, Item(ID_EDIT_COPY), Item(ID_EDIT_FIND), kSeparator,
      Item(ID_SCHEMA_PROPERTIES)}},
};

bool IsIn(int kind, std::initializer_list<int> kinds)
{
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// The kinds as the menus' rules name them.
bool IsTableKind(int kind)
{
    return IsIn(kind, {kindTable, kindSystemTable, kindAlias, kindTemporaryTable});
}

bool IsShowAllKind(int kind)
{
    return IsIn(kind, {kindConnection, kindTablesFolder, kindViewsFolder, kindProceduresFolder});
}

} // namespace

const CSchemaCommand* FindSchemaCommand(int id)
{
    for (const CSchemaCommand& command : kCommands) {
        if (command.id == id)
            return &command;
    }
    return nullptr;
}

const std::vector<CSchemaPopup>& SchemaPopups()
{
    return kPopups;
}

const CSchemaPopup* FindSchemaPopup(int kind)
{
    for (const CSchemaPopup& popup : kPopups) {
        if (std::find(popup.kinds.begin(), popup.kinds.end(), kind) != popup.kinds.end())
            return &popup;
    }
    return nullptr;
}

std::vector<CSchemaMenuEntry> BuiltEntries(const CSchemaPopup& popup)
{
    std::vector<CSchemaMenuEntry> entries;
    bool separatorDue = false;
    for (const CSchemaMenuEntry& entry : popup.entries) {
        CSchemaMenuEntry built = entry;
        if (entry.submenu) {
            built.items.clear();
            for (int id : entry.items) {
                if (FindSchemaCommand(id))
                    built.items.push_back(id);
            }
            if (built.items.empty())
                continue;
        } else if (entry.id == 0) {
            separatorDue = !entries.empty();
            continue;
        } else if (!FindSchemaCommand(entry.id)) {
            continue;
        }
        if (separatorDue)
            entries.push_back(kSeparator);
        separatorDue = false;
        entries.push_back(std::move(built));
    }
    return entries;
}

std::set<int> GreyedPopupItems(const CSchemaMenuState& s)
{
    std::set<int> greyed;
    const int kind = s.kind;
    const bool column = IsColumnKind(kind);
    const bool view = kind == kindView;
    if (column && s.selected == 0) {
        greyed.insert({ID_EDIT_FIND, ID_SCHEMA_COLUMN_PERMISSIONS, ID_SCHEMA_PROPERTIES, ID_SCHEMA_RETURN_ALL_COLUMNS,
                       ID_SCHEMA_RETURN_TOP_COLUMNS, ID_EDIT_COPY, ID_FILE_SAVE_AS});
    } else if (column && s.selected >= 2) {
        greyed.insert({ID_EDIT_FIND, ID_SCHEMA_COLUMN_PERMISSIONS, ID_SCHEMA_PROPERTIES});
    }
    if (!s.connectionOpen || s.executing || s.findInFiles) {
        if (kind == kindConnection && !s.connectionOpen)
            greyed.insert({ID_SCHEMA_CONNECTION_STRING, ID_SCHEMA_PROPERTIES});
        if (s.executing)
            greyed.insert({ID_SCHEMA_EXPAND_ALL, ID_SCHEMA_SHOW_ALL, ID_EDIT_FIND, ID_REFRESH});
        greyed.insert({ID_SCHEMA_RETURN_ALL, ID_SCHEMA_RETURN_TOP, ID_SCHEMA_RETURN_ALL_COLUMNS,
                       ID_SCHEMA_RETURN_TOP_COLUMNS, ID_SCHEMA_DESIGN, ID_FILE_SAVE_AS});
        if (s.executing && (IsTableKind(kind) || view || column || IsSortedKind(kind))) {
            greyed.insert({ID_SCHEMA_RELATIONSHIPS, ID_SCHEMA_INDEXES, ID_SCHEMA_CONSTRAINTS,
                           ID_SCHEMA_TABLE_PERMISSIONS, ID_SCHEMA_COLUMN_PERMISSIONS, ID_SCHEMA_PROPERTIES});
            // Sorting would load the columns, which nothing may do while a query runs.
            if (IsTableKind(kind) && !s.loaded)
                greyed.insert({ID_SCHEMA_SORT_ASCENDING, ID_SCHEMA_SORT_DESCENDING});
            if (view && !s.loaded)
                greyed.insert({ID_SCHEMA_SORT_VIEW_ASCENDING, ID_SCHEMA_SORT_VIEW_DESCENDING,
                               ID_SCHEMA_RESTORE_VIEW_ORDER});
        }
    }
    switch (kind) {
    case kindTableSortedAscending: greyed.insert(ID_SCHEMA_SORT_ASCENDING); break;
    case kindTableSortedDescending: greyed.insert(ID_SCHEMA_SORT_DESCENDING); break;
    case kindViewSortedAscending: greyed.insert(ID_SCHEMA_SORT_VIEW_ASCENDING); break;
    case kindViewSortedDescending: greyed.insert(ID_SCHEMA_SORT_VIEW_DESCENDING); break;
    case kindView: greyed.insert(ID_SCHEMA_RESTORE_VIEW_ORDER); break;
    default:
        if (IsTableKind(kind))
            greyed.insert(ID_SCHEMA_RESTORE_ORDER);
        break;
    }
    return greyed;
}

bool IsPopupItemChecked(int id, const CSchemaMenuState& state)
{
    return id == ID_SCHEMA_SHOW_ALL && IsShowAllKind(state.kind) && state.showAll;
}

bool IsSchemaMenuCommandEnabled(int id, const CSchemaMenuState& s)
{
    const int kind = s.kind;
    const bool idle = s.connectionOpen && s.paneShown && !s.executing;
    const bool column = IsColumnKind(kind);
    switch (id) {
    case ID_EDIT_COPY:
        return !(IsIn(kind, {kindMarker, kindConnection, kindTablesFolder, kindViewsFolder, kindProceduresFolder,
                             kindSystemTablesFolder, kindAliasesFolder, kindTemporaryTablesFolder, kindNotCapable}) ||
                 (column && s.selected == 0));
    case ID_REFRESH: return idle && (kind == kindConnection || IsFolderKind(kind));
    case ID_FILE_SAVE_AS:
        return idle && (IsTableKind(kind) || kind == kindView || IsSortedKind(kind) || (column && s.selected >= 1));
    case ID_FORMAT_FONT: return true;
    case ID_SCHEMA_PROPERTIES:
        // A table's or column's properties are read from the connection, which a running query
        // holds.
        return s.connectionOpen && s.paneShown && kind >= 0 && !IsIn(kind, {kindMarker, kindNotCapable}) &&
               !(s.executing && (IsTableKind(kind) || kind == kindView || column || IsSortedKind(kind))) &&
               (!column || s.selected == 1);
    default: return false;
    }
}
