#include "MainMenuBar.h"

#include "common/CommandIds.h"
#include "query/MenuCommands.h"
#include "query/QueryMenuBar.h"

#include <wx/menu.h>

using namespace menu_titles;

wxMenuBar* CreateMainMenuBar()
{
    auto* file = new wxMenu;
    AppendMenuCommands(file, {ID_FILE_DATA_LINK, ID_FILE_DATA_LINK_FILE});
    AppendConnectSubMenu(file);
    AppendMenuCommands(file, {0, ID_FILE_OPEN, 0, ID_FILE_PRINT_SETUP, 0});
    AppendRecentSubMenus(file);
    AppendMenuCommands(file, {0, ID_APP_EXIT});

    auto* bar = new wxMenuBar;
    bar->Append(file, kFile);
    bar->Append(CreateToolsMenu(), kTools);
    bar->Append(CreateHelpMenu(), kHelp);
    return bar;
}
