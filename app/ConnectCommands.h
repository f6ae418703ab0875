// The main window's connect commands beyond the data link dialog and file: the ODBC driver menu
// (a DSN-less login through the ODBC provider per driver), the recent data link files and
// DSN-less logins, and the Tools and Help launchers.
#pragma once

#include "common/CommandIds.h"
#include "querycore/OdbcCatalog.h"

#include <wx/event.h>
#include <wx/string.h>

#include <map>
#include <vector>

class CMainFrame;
class CMruFileManager;
class wxMenu;
class wxMenuBar;

// Per dynamic driver command: the driver name as the menu shows it.
struct CMenuCommandInfo {
    wxString name;
};

class CConnectCommands : public wxEvtHandler {
public:
    enum : int {
        ID_DRIVER_FIRST = ::ID_DRIVER_FIRST,
        ID_DRIVER_LAST = ::ID_DRIVER_LAST,
        ID_DRIVER_NONE = ::ID_DRIVER_NONE,
        ID_MRU_DATA_LINK_FIRST = ::ID_MRU_DATA_LINK_FIRST,
        ID_MRU_DATA_LINK_LAST = ::ID_MRU_DATA_LINK_LAST,
        ID_MRU_DSN_LESS_FIRST = ::ID_MRU_DSN_LESS_FIRST,
        ID_MRU_DSN_LESS_LAST = ::ID_MRU_DSN_LESS_LAST,
        ID_ODBC_ADMINISTRATOR = ::ID_TOOLS_ODBC_ADMINISTRATOR,
        ID_SYSTEM_INFORMATION = ::ID_TOOLS_SYSTEM_INFORMATION,
        ID_HELP_README = ::ID_HELP_README,
        ID_HELP_COMMENTS = ::ID_HELP_COMMENTS,
        ID_HELP_DATA_ACCESS = ::ID_HELP_DATA_ACCESS,
    };

    explicit CConnectCommands(CMainFrame* frame);

    // Reads the installed drivers (at most 512, sorted by name) and gives each a command id.
    void EnumOdbcDrivers();
    const std::map<int, CMenuCommandInfo>& GetDriverCommands() const { return m_driverCommands; }

    // Binds the commands, their enabling rules and the filling of the submenus to the main
    // window; once.
    void BindCommands();
    // A menu bar built from the command table (the main window's own, or a query window's):
    // its driver and recent-list submenus are filled before they open from now on, until
    // Detach (before the bar is deleted).
    void Attach(wxMenuBar* menuBar);
    void Detach(wxMenuBar* menuBar);

    // The submenus of the main window's own bar (the first attached).
    wxMenu* GetDriverMenu() const { return m_bars.empty() ? nullptr : m_bars.front().drivers; }
    wxMenu* GetRecentDataLinkMenu() const { return m_bars.empty() ? nullptr : m_bars.front().dataLinks; }
    wxMenu* GetRecentDsnLessMenu() const { return m_bars.empty() ? nullptr : m_bars.front().dsnLess; }
    // Fills a menu before it opens: the driver items replace the placeholder once; the recent
    // lists show their entries, or a disabled placeholder when empty.
    void UpdateMenu(wxMenu* menu);

    // A recent data link file: "'%s'.\nCannot open file. File not found." when it is gone,
    // otherwise a window on its connection.
    void OpenDataLinkFile(const wxString& path);
    // A new window on the driver's DSN-less login; its connect string, or empty when none opened.
    wxString ReopenDsnLessLogin(const wxString& driver);

    void OnDriverCommand(wxCommandEvent& event);
    void OnRecentDataLinkFile(wxCommandEvent& event);
    void OnRecentDsnLessLogin(wxCommandEvent& event);
    void OnOdbcAdministrator(wxCommandEvent& event);
    void OnSystemInformation(wxCommandEvent& event);
    void OnHelpReadme(wxCommandEvent& event);
    void OnHelpComments(wxCommandEvent& event);
    void OnHelpDataAccess(wxCommandEvent& event);
    void OnUpdateRecent(wxUpdateUIEvent& event);
    void OnUpdateSystemInformation(wxUpdateUIEvent& event);
    void OnUpdateAlwaysEnabled(wxUpdateUIEvent& event);
    void OnMenuOpen(wxMenuEvent& event);

    // The programs that stand in for the ODBC Data Source Administrator, in order of preference.
    static const std::vector<wxString>& OdbcAdministratorPrograms();

private:
    // Starts the program (a path, or a name looked up on PATH); false when it is not there. A
    // program that is there but fails to start shows its error.
    bool StartProgram(const wxString& program);
    void FillRecentMenu(wxMenu* menu, CMruFileManager& manager, int firstId);
    // Opens the readme's address in a browser program; when that cannot start, in the browser
    // the desktop associates with the readme.
    void OpenInBrowser(const wxString& program, const wxString& address);
    void ShowError(const wxString& text);

    // The submenus of one menu bar that are filled here.
    struct CBarMenus {
        wxMenuBar* bar = nullptr;
        wxMenu* drivers = nullptr;
        wxMenu* dataLinks = nullptr;
        wxMenu* dsnLess = nullptr;
    };

    CMainFrame* m_pMainFrame;
    std::vector<COdbcDriver> m_drivers;
    std::map<int, CMenuCommandInfo> m_driverCommands;
    std::vector<CBarMenus> m_bars;
};
