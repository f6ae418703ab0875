// The schema pane's menus as data: the commands the pane has with their menu texts, the context
// menu of each node kind (the layout, in order), and which items are greyed or checked in a
// given state, in the context menu and in the query window's menus. The pane builds its menus
// from these; a command without a text here is not built, and its place in a layout is skipped.
// Pure functions; any thread.
#pragma once

#include <initializer_list>
#include <set>
#include <vector>

// A command of the pane: its id and its text as the menus show it.
struct CSchemaCommand {
    int id = 0;
    const char* text = "";
    bool check = false;
};

// The pane's command with this id, or null when the pane has no such command.
const CSchemaCommand* FindSchemaCommand(int id);

// One line of a context menu: a command, a separator (id 0, no title) or a submenu (title and
// its commands).
struct CSchemaMenuEntry {
    int id = 0;
    const char* submenu = nullptr;
    std::vector<int> items;
};

// A context menu and the node kinds that show it.
struct CSchemaPopup {
    const char* name;
    std::vector<int> kinds;
    std::vector<CSchemaMenuEntry> entries;
};

const std::vector<CSchemaPopup>& SchemaPopups();
// The context menu of a node kind; null for kinds without one.
const CSchemaPopup* FindSchemaPopup(int kind);
// The entries of a popup that the pane has, with the separators that still part two groups;
// submenus keep the commands it has and go when none is left.
std::vector<CSchemaMenuEntry> BuiltEntries(const CSchemaPopup& popup);

// What the menus' states depend on.
struct CSchemaMenuState {
    int kind = -1;              // the caret's kind; -1 without a caret
    unsigned selected = 0;      // selected items, counted up to two
    bool connectionOpen = false;
    bool paneShown = true;
    bool executing = false;
    bool findInFiles = false;
    bool loaded = false;        // the caret's children were loaded
    bool showAll = false;       // the caret's Show All flag (connection node, tables, views, procedures)
};

// The context menu's items that the state greys; every other item stays enabled.
std::set<int> GreyedPopupItems(const CSchemaMenuState& state);
// Whether a context menu item shows checked.
bool IsPopupItemChecked(int id, const CSchemaMenuState& state);
// Whether a command of the query window's menus (Copy, Refresh, Save As, Save, Save All, Font,
// Properties) is enabled while the pane is the active one; false for commands the pane does not
// take there.
bool IsSchemaMenuCommandEnabled(int id, const CSchemaMenuState& state);
