// The menu bar of a query window: File, Edit, Query, Results Grid, View, Tools, Window and Help,
// built from the command table (MenuCommands). The main window shows it while the window is
// active. The submenus that the application fills (the ODBC drivers, the recent lists) are
// entries with fixed ids holding only their placeholder; the application registers them when
// the window is made (IQueryHost::RegisterMenuBar). Called on the window thread only.
#pragma once

class wxMenu;
class wxMenuBar;

wxMenuBar* CreateQueryMenuBar();

// The File menu's submenus that the application fills: the ODBC drivers, the recent files, the
// recent data link files and the recent DSN-less logins. Shared with the main window's own bar.
void AppendConnectSubMenu(wxMenu* file);
void AppendRecentSubMenus(wxMenu* file);
// Tools and Help, as in the main window's own bar.
wxMenu* CreateToolsMenu();
wxMenu* CreateHelpMenu();
