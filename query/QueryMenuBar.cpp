#include "QueryMenuBar.h"

#include "BatchExecution.h"
#include "CompanionCommands.h"
#include "common/CommandIds.h"
#include "MenuCommands.h"
#include "QueryKeyRouting.h"
#include "ResultCommands.h"
#include "schemacore/SchemaCommandIds.h"

#include <wx/menu.h>

using namespace menu_titles;

void AppendConnectSubMenu(wxMenu* file)
{
    auto* drivers = new wxMenu;
    drivers->Append(ID_DRIVER_NONE, kNone)->Enable(false);
    AppendSubMenu(file, ID_MENU_DRIVERS, drivers, kDrivers, "Open a new query window through the ODBC driver you choose");
}

void AppendRecentSubMenus(wxMenu* file)
{
    // The recent files: the document manager's list puts its entries here.
    AppendSubMenu(file, ID_MENU_RECENT_FILES, new wxMenu, kRecentFiles, "Open a query file opened lately");
    auto* dataLinks = new wxMenu;
    dataLinks->Append(ID_MRU_DATA_LINK_FIRST, kNone);
    AppendSubMenu(file, ID_MENU_RECENT_DATA_LINKS, dataLinks, kRecentDataLinks,
                  "Open a new query window on a data link file opened lately");
    auto* dsnLess = new wxMenu;
    dsnLess->Append(ID_MRU_DSN_LESS_FIRST, kNone);
    AppendSubMenu(file, ID_MENU_RECENT_DSN_LESS, dsnLess, kRecentDsnLess,
                  "Open a new query window through an ODBC driver used lately");
}

wxMenu* CreateToolsMenu()
{
    auto* tools = new wxMenu;
    AppendMenuCommands(tools, {ID_TOOLS_ODBC_ADMINISTRATOR, ID_TOOLS_SYSTEM_INFORMATION});
    return tools;
}

wxMenu* CreateHelpMenu()
{
    auto* help = new wxMenu;
    AppendMenuCommands(help, {ID_HELP_README, ID_HELP_COMMENTS, ID_HELP_DATA_ACCESS});
    return help;
}

wxMenuBar* CreateQueryMenuBar()
{
    auto* file = new wxMenu;
    AppendMenuCommands(file, {ID_NEW_CONNECTION_WINDOW, ID_FILE_DATA_LINK, ID_FILE_DATA_LINK_FILE});
    AppendConnectSubMenu(file);
    AppendMenuCommands(file, {0, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_SAVE_ALL, 0, ID_FILE_DISCONNECT,
                              ID_FILE_CLOSE_ALL, 0, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, 0});
    AppendRecentSubMenus(file);
    AppendMenuCommands(file, {0, ID_APP_EXIT});

    auto* comment = new wxMenu;
    AppendMenuCommands(comment, {ID_EDIT_COMMENT_DASHES, ID_EDIT_COMMENT_SLASH_STAR});
    auto* advanced = new wxMenu;
    AppendMenuCommands(advanced, {ID_EDIT_UPPERCASE, ID_EDIT_LOWERCASE, 0, ID_EDIT_TABIFY, ID_EDIT_UNTABIFY,
                                  ID_EDIT_INCREASE_INDENT, ID_EDIT_DECREASE_INDENT, 0});
    advanced->AppendSubMenu(comment, kComment);
    AppendMenuCommand(advanced, ID_EDIT_UNCOMMENT);
    auto* edit = new wxMenu;
    AppendMenuCommands(edit, {ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE,
                              ID_EDIT_CLEAR_ALL, ID_EDIT_SELECT_ALL, 0, ID_EDIT_FIND, ID_EDIT_REPLACE, ID_FIND_IN_FILES,
                              ID_GO_TO_LINE,
                              ID_EDIT_MATCH_BRACE, 0});
    edit->AppendSubMenu(advanced, kAdvanced);

    auto* query = new wxMenu;
    AppendMenuCommands(query, {ID_QUERY_EXECUTE, ID_QUERY_EXECUTE_SAVE_AS, ID_QUERY_CANCEL, 0, ID_RESULTS_IN_TEXT, 0,
                               ID_NEXT_ERROR_BATCH, ID_PREVIOUS_ERROR_BATCH});

    auto* grids = new wxMenu;
    AppendMenuCommands(grids, {ID_PREVIOUS_GRID, ID_NEXT_GRID, ID_FIRST_GRID, ID_LAST_GRID, 0, ID_GO_TO_GRID});

    auto* view = new wxMenu;
    AppendMenuCommands(view, {ID_VIEW_SCHEMA, ID_VIEW_OUTPUT, ID_MESSAGES_MODE, 0, ID_NEXT_PANE, ID_PREVIOUS_PANE, 0,
                              ID_VIEW_WORD_WRAP, ID_FORMAT_FONT, ID_REFRESH, 0, ID_SCHEMA_PROPERTIES});

    auto* window = new wxMenu;
    AppendMenuCommands(window, {ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_VERT, ID_WINDOW_ARRANGE, 0,
                                ID_WINDOW_NEXT, ID_WINDOW_PREVIOUS});

    auto* bar = new wxMenuBar;
    bar->Append(file, kFile);
    bar->Append(edit, kEdit);
    bar->Append(query, kQuery);
    bar->Append(grids, kResultsGrid);
    bar->Append(view, kView);
    wxMenu* tools = CreateToolsMenu();
    tools->AppendSeparator();
    AppendCompanionCommands(*tools);
    AppendMenuCommands(tools, {0, ID_DUMP_KEYWORDS, ID_DUMP_LITERALS});
    bar->Append(tools, kTools);
    bar->Append(window, kWindow);
    bar->Append(CreateHelpMenu(), kHelp);
    return bar;
}
