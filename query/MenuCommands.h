// The commands of the program's menus in one table: for each, its text as the menus show it
// (the mnemonic, then after a tab the keys that run it, several joined by "/"), the keys it
// answers without showing them, its kind and its status bar prompt. The main window's and the
// query window's menu bars are both built from it (MainMenuBar, QueryMenuBar).
//
// A menu item shows its first key; the other keys are its accelerators too. Keys that the pane
// with the focus handles itself (Tab and Shift+Tab indent and outdent in the editor) are no
// accelerators: a window-wide Tab would take the key from every other control. The Break key
// is the Pause key of X.
//
// An item that nothing enables is disabled (CMainFrame, for every menu and toolbar): every
// command here has an update handler beside its handler. Used on the window thread only.
#pragma once

#include <wx/accel.h>
#include <wx/defs.h>
#include <wx/string.h>

#include <vector>

class wxMenu;
class wxMenuItem;

struct CMenuCommand {
    int id = 0;
    // The label and its keys: "&Execute\tF5/Ctrl+E/Alt+X".
    const char* text = "";
    const char* help = "";
    wxItemKind kind = wxITEM_NORMAL;
    // Keys the command answers that the menu does not show.
    const char* moreKeys = "";
};

// Titles of the menus and submenus.
namespace menu_titles {
inline constexpr const char* kFile = "&File";
inline constexpr const char* kEdit = "&Edit";
inline constexpr const char* kQuery = "&Query";
inline constexpr const char* kResultsGrid = "&Results Grid";
inline constexpr const char* kView = "&View";
inline constexpr const char* kTools = "&Tools";
inline constexpr const char* kWindow = "&Window";
inline constexpr const char* kHelp = "&Help";
inline constexpr const char* kDrivers = "OD&BC \"DSN-less\" Logins";
inline constexpr const char* kRecentFiles = "Recent &Files";
inline constexpr const char* kRecentDataLinks = "&Recent Data Link Files";
inline constexpr const char* kRecentDsnLess = "Recent \"DSN-less\" Lo&gins";
inline constexpr const char* kAdvanced = "A&dvanced";
inline constexpr const char* kComment = "&Comment Selection";
// The one item of a list's submenu while the list is empty.
inline constexpr const char* kNone = "<None>";
} // namespace menu_titles

const std::vector<CMenuCommand>& MenuCommands();
// The table's entry of a command, or null.
const CMenuCommand* FindMenuCommand(int id);

// The label of a command's text (before the tab) and its keys (after it, split at "/"; a key
// without modifiers after one with them takes the same: "Shift+F4/F8" is Shift+F4 and Shift+F8).
wxString MenuCommandLabel(const CMenuCommand& command);
std::vector<wxString> MenuCommandKeys(const CMenuCommand& command);
// The accelerator of a key ("Ctrl+Shift+S", "Alt+Break"); none for the keys the panes handle
// themselves.
bool MenuKeyAccelerator(const wxString& key, wxAcceleratorEntry& accelerator);

// Appends the command's item to the menu: its label with its first accelerator, its other keys
// as further accelerators, its prompt and kind.
wxMenuItem* AppendMenuCommand(wxMenu* menu, int id);
// Appends the commands in order; 0 stands for a separator.
void AppendMenuCommands(wxMenu* menu, std::initializer_list<int> ids);
// A submenu entry with a fixed id, so that its list can be found and enabled.
wxMenuItem* AppendSubMenu(wxMenu* menu, int id, wxMenu* submenu, const wxString& title, const wxString& help);
