#include "ConnectCommands.h"

#include "AppStrings.h"
#include "common/ErrorText.h"
#include "common/ShellOpen.h"
#include "MainFrame.h"
#include "MruFileManager.h"
#include "platform/MessageBox.h"
#include "query/ChildFrame.h"
#include "query/MenuCommands.h"
#include "querycore/ConnectStringUtil.h"
#include "TorvaneApp.h"

#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/utils.h>

#include <algorithm>
#include <vector>

namespace {

// The program that stands in for the browser the readme's links were written for.
const char* const kBrowserProgram = "x-www-browser";
// The data-access web page of the platform: the ODBC driver manager's home.
const char* const kDataAccessAddress = "https://www.unixodbc.org/";

} // namespace

CConnectCommands::CConnectCommands(CMainFrame* frame) : m_pMainFrame(frame)
{
}

const std::vector<wxString>& CConnectCommands::OdbcAdministratorPrograms()
{
    static const std::vector<wxString> programs{"ODBCManageDataSourcesQ5", "ODBCManageDataSourcesQ4", "iodbcadm-gtk"};
    return programs;
}

void CConnectCommands::EnumOdbcDrivers()
{
    m_drivers = ::EnumOdbcDrivers(512);
    std::sort(m_drivers.begin(), m_drivers.end(),
              [](const COdbcDriver& a, const COdbcDriver& b) { return a.name < b.name; });
    m_driverCommands.clear();
    int id = ID_DRIVER_FIRST;
    for (const COdbcDriver& driver : m_drivers) {
        if (id > ID_DRIVER_LAST)
            break;
        m_driverCommands[id++] = CMenuCommandInfo{driver.name};
    }
}

void CConnectCommands::BindCommands()
{
    m_pMainFrame->Bind(wxEVT_MENU, &CConnectCommands::OnDriverCommand, this, ID_DRIVER_FIRST, ID_DRIVER_LAST);
    m_pMainFrame->Bind(wxEVT_MENU, &CConnectCommands::OnRecentDataLinkFile, this, ID_MRU_DATA_LINK_FIRST,
                       ID_MRU_DATA_LINK_LAST);
    m_pMainFrame->Bind(wxEVT_MENU, &CConnectCommands::OnRecentDsnLessLogin, this, ID_MRU_DSN_LESS_FIRST,
                       ID_MRU_DSN_LESS_LAST);
    m_pMainFrame->Bind(wxEVT_UPDATE_UI, &CConnectCommands::OnUpdateRecent, this, ID_MRU_DATA_LINK_FIRST,
                       ID_MRU_DATA_LINK_LAST);
    m_pMainFrame->Bind(wxEVT_UPDATE_UI, &CConnectCommands::OnUpdateRecent, this, ID_MRU_DSN_LESS_FIRST,
                       ID_MRU_DSN_LESS_LAST);
    m_pMainFrame->Bind(wxEVT_MENU, &CConnectCommands::OnOdbcAdministrator, this, ID_ODBC_ADMINISTRATOR);
    m_pMainFrame->Bind(wxEVT_MENU, &CConnectCommands::OnSystemInformation, this, ID_SYSTEM_INFORMATION);
    m_pMainFrame->Bind(wxEVT_UPDATE_UI, &CConnectCommands::OnUpdateSystemInformation, this, ID_SYSTEM_INFORMATION);
    m_pMainFrame->Bind(wxEVT_MENU, &CConnectCommands::OnHelpReadme, this, ID_HELP_README);
    m_pMainFrame->Bind(wxEVT_MENU, &CConnectCommands::OnHelpComments, this, ID_HELP_COMMENTS);
    m_pMainFrame->Bind(wxEVT_MENU, &CConnectCommands::OnHelpDataAccess, this, ID_HELP_DATA_ACCESS);
    for (int id : {ID_ODBC_ADMINISTRATOR, ID_HELP_README, ID_HELP_COMMENTS, ID_HELP_DATA_ACCESS})
        m_pMainFrame->Bind(wxEVT_UPDATE_UI, &CConnectCommands::OnUpdateAlwaysEnabled, this, id);
    m_pMainFrame->Bind(wxEVT_UPDATE_UI, &CConnectCommands::OnUpdateAlwaysEnabled, this, ID_DRIVER_FIRST,
                       ID_DRIVER_LAST);
    m_pMainFrame->Bind(wxEVT_MENU_OPEN, &CConnectCommands::OnMenuOpen, this);
}

void CConnectCommands::Attach(wxMenuBar* menuBar)
{
    CBarMenus menus;
    menus.bar = menuBar;
    const auto submenu = [menuBar](int id) {
        wxMenuItem* item = menuBar->FindItem(id);
        return item ? item->GetSubMenu() : nullptr;
    };
    menus.drivers = submenu(ID_MENU_DRIVERS);
    menus.dataLinks = submenu(ID_MENU_RECENT_DATA_LINKS);
    menus.dsnLess = submenu(ID_MENU_RECENT_DSN_LESS);
    m_bars.push_back(menus);
}

void CConnectCommands::Detach(wxMenuBar* menuBar)
{
    m_bars.erase(std::remove_if(m_bars.begin(), m_bars.end(), [menuBar](const CBarMenus& m) { return m.bar == menuBar; }),
                 m_bars.end());
}

void CConnectCommands::OnMenuOpen(wxMenuEvent& event)
{
    event.Skip();
    wxMenu* menu = event.GetMenu();
    if (!menu)
        return;
    UpdateMenu(menu);
    // A submenu is filled while the menu holding it opens: changed while it shows, the toolkit
    // would keep the size it had with its old items.
    for (wxMenuItem* item : menu->GetMenuItems())
        if (item->IsSubMenu())
            UpdateMenu(item->GetSubMenu());
}

namespace {

// Whether the menu itself (not its submenus) holds an item with an id in [first, last].
bool HoldsCommand(const wxMenu& menu, int first, int last)
{
    for (const wxMenuItem* item : menu.GetMenuItems())
        if (item->GetId() >= first && item->GetId() <= last)
            return true;
    return false;
}

} // namespace

void CConnectCommands::UpdateMenu(wxMenu* menu)
{
    if (!menu)
        return;
    if (HoldsCommand(*menu, ID_DRIVER_NONE, ID_DRIVER_NONE)) {
        // Filled once, when it still holds only the placeholder and drivers were found.
        if (menu->GetMenuItemCount() == 1 && !m_driverCommands.empty()) {
            menu->Destroy(ID_DRIVER_NONE);
            for (const auto& [id, info] : m_driverCommands)
                menu->Append(id, info.name + "...",
                             "Establish a new connection using the Microsoft OLE DB Provider for ODBC "
                             "Drivers (MSDASQL.DLL) and the specified driver");
        }
    } else if (HoldsCommand(*menu, ID_MRU_DATA_LINK_FIRST, ID_MRU_DATA_LINK_LAST)) {
        FillRecentMenu(menu, TheApp().GetDataLinkFileManager(), ID_MRU_DATA_LINK_FIRST);
    } else if (HoldsCommand(*menu, ID_MRU_DSN_LESS_FIRST, ID_MRU_DSN_LESS_LAST)) {
        FillRecentMenu(menu, TheApp().GetDsnLessLoginManager(), ID_MRU_DSN_LESS_FIRST);
    }
}

void CConnectCommands::FillRecentMenu(wxMenu* menu, CMruFileManager& manager, int firstId)
{
    // The items the list asks for: id, text and help (the whole entry).
    struct Item {
        int id;
        wxString text;
        wxString help;
        bool enabled;
    };
    std::vector<Item> items;
    CMruFileList* list = manager.GetList(0);
    if (!list || list->GetCount() == 0) {
        items.push_back({firstId, menu_titles::kNone, wxString(), false});
    } else {
        for (size_t i = 0; i < list->GetCount(); ++i) {
            wxString text = list->GetMenuText(i);
            text.Replace("&", "&&");
            const wxString number = i < 9 ? wxString::Format("&%zu", i + 1) : wxString::Format("1&%zu", i - 9);
            items.push_back({firstId + static_cast<int>(i), number + " " + text, (*list)[i], true});
        }
    }
    // A menu that already shows these items is left alone.
    const wxMenuItemList& shown = menu->GetMenuItems();
    bool same = shown.size() == items.size();
    size_t index = 0;
    for (auto it = shown.begin(); same && it != shown.end(); ++it, ++index)
        same = (*it)->GetId() == items[index].id && (*it)->GetItemLabel() == items[index].text &&
               (*it)->GetHelp() == items[index].help;
    if (same)
        return;
    while (menu->GetMenuItemCount() > 0)
        menu->Destroy(menu->FindItemByPosition(0));
    for (const Item& item : items)
        menu->Append(item.id, item.text, item.help)->Enable(item.enabled);
}

void CConnectCommands::OnUpdateRecent(wxUpdateUIEvent& event)
{
    CMruFileManager& manager = event.GetId() >= ID_MRU_DSN_LESS_FIRST ? TheApp().GetDsnLessLoginManager()
                                                                      : TheApp().GetDataLinkFileManager();
    CMruFileList* list = manager.GetList(0);
    event.Enable(list && list->GetCount() > 0);
}

void CConnectCommands::OnDriverCommand(wxCommandEvent& event)
{
    auto it = m_driverCommands.find(event.GetId());
    if (it == m_driverCommands.end())
        return;
    m_pMainFrame->Refresh();
    m_pMainFrame->Update();
    wxString login = it->second.name;
    const size_t dots = login.find("...");
    if (dots != wxString::npos)
        login = login.Left(dots);
    m_pMainFrame->m_strDsnLessLogin = login;
    m_pMainFrame->NewQueryWindow(wxString::FromUTF8(BuildMsdasqlConnectString(login.utf8_string())));
}

void CConnectCommands::OpenDataLinkFile(const wxString& path)
{
    if (!wxFileExists(path)) {
        TVMessageBox(wxString::Format(strings::kFileNotFound, path), wxOK | wxICON_STOP, m_pMainFrame);
        return;
    }
    m_pMainFrame->ConnectWithDataLinkFile(path);
}

void CConnectCommands::OnRecentDataLinkFile(wxCommandEvent& event)
{
    CMruFileList* list = TheApp().GetDataLinkFileManager().GetList(0);
    const size_t index = static_cast<size_t>(event.GetId() - ID_MRU_DATA_LINK_FIRST);
    if (!list || index >= list->GetCount())
        return;
    const wxString path = (*list)[index];
    OpenDataLinkFile(path);
    if (!wxFileExists(path)) {
        // The list may have changed while the window opened; remove the entry by its text.
        const auto& entries = list->Entries();
        auto it = std::find(entries.begin(), entries.end(), path);
        if (it != entries.end())
            list->Remove(static_cast<size_t>(it - entries.begin()));
    }
}

wxString CConnectCommands::ReopenDsnLessLogin(const wxString& driver)
{
    m_pMainFrame->Refresh();
    m_pMainFrame->Update();
    CTorvaneDoc* doc = m_pMainFrame->NewQueryWindow(wxString::FromUTF8(BuildMsdasqlConnectString(driver.utf8_string())));
    if (!doc || !QueryFrameOf(doc))
        return wxString();
    return QueryFrameOf(doc)->GetConnectionString();
}

void CConnectCommands::OnRecentDsnLessLogin(wxCommandEvent& event)
{
    CMruFileList* list = TheApp().GetDsnLessLoginManager().GetList(0);
    const size_t index = static_cast<size_t>(event.GetId() - ID_MRU_DSN_LESS_FIRST);
    if (!list || index >= list->GetCount())
        return;
    const wxString entry = (*list)[index];
    const wxString driver = entry.AfterLast('/');
    if (ReopenDsnLessLogin(driver).empty()) {
        const auto& entries = list->Entries();
        auto it = std::find(entries.begin(), entries.end(), entry);
        if (it != entries.end())
            list->Remove(static_cast<size_t>(it - entries.begin()));
    }
}

void CConnectCommands::ShowError(const wxString& text)
{
    TVMessageBox(text, wxOK | wxICON_STOP, m_pMainFrame);
}

bool CConnectCommands::StartProgram(const wxString& program)
{
    wxString path = program;
    if (!program.Contains("/") && !wxFindFileInPath(&path, wxGetenv("PATH") ? wxString(wxGetenv("PATH")) : wxString(),
                                                    program))
        return false;
    wxString error;
    if (wxExecute(path, wxEXEC_ASYNC) > 0)
        return true;
    error = GetLastErrorText();
    ShowError(error.empty() ? wxString("Errors occurred.") : error);
    return true;
}

void CConnectCommands::OnOdbcAdministrator(wxCommandEvent&)
{
    for (const wxString& program : OdbcAdministratorPrograms())
        if (StartProgram(program))
            return;
    wxString names;
    for (const wxString& program : OdbcAdministratorPrograms())
        names += (names.empty() ? "" : ", ") + program;
    ShowError("Cannot find an ODBC Data Source Administrator on the PATH (" + names + ").");
}

void CConnectCommands::OnSystemInformation(wxCommandEvent&)
{
    if (!StartProgram(TheApp().GetMsInfoPath()))
        ShowError("Cannot find " + TheApp().GetMsInfoPath() + ".");
}

void CConnectCommands::OnUpdateSystemInformation(wxUpdateUIEvent& event)
{
    event.Enable(TheApp().IsMsInfoFound());
}

void CConnectCommands::OnUpdateAlwaysEnabled(wxUpdateUIEvent& event)
{
    event.Enable(true);
}

void CConnectCommands::OnHelpReadme(wxCommandEvent&)
{
    wxString error;
    if (!ShellOpenFile(TheApp().GetProgramFolder() + "/readme.htm", error))
        ShowError(error);
}

void CConnectCommands::OpenInBrowser(const wxString& program, const wxString& address)
{
    wxString error;
    if (ShellOpenFile(program, error, address))
        return;
    // The browser the desktop opens the readme with.
    if (!ShellOpenFile(address, error))
        ShowError(error);
}

void CConnectCommands::OnHelpComments(wxCommandEvent&)
{
    OpenInBrowser(kBrowserProgram, "file://" + TheApp().GetProgramFolder() + "/readme.htm#CommentsBug");
}

void CConnectCommands::OnHelpDataAccess(wxCommandEvent&)
{
    OpenInBrowser(kBrowserProgram, kDataAccessAddress);
}
