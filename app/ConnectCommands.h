// The main window's connect commands beyond the data link dialog and file: the ODBC driver menu
// (a DSN-less login through the ODBC provider per driver), the recent data link files and
// DSN-less logins, and the Tools and Help launchers.
#pragma once

#include "common/CommandIds.h"
#include "querycore/OdbcCatalog.h"

#include <wx/event.h>
#include <wx/string.h>

#include <map>

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
        ID_DRIVER_FIRST = TVCommandId(55295),
        ID_DRIVER_LAST = TVCommandId(55807),
        ID_DRIVER_NONE = TVCommandId(55294), // the "<None>" placeholder of the driver menu
        ID_MRU_DATA_LINK_FIRST = TVCommandId(32889),
        ID_MRU_DATA_LINK_LAST = TVCommandId(32904),
        ID_MRU_DSN_LESS_FIRST = TVCommandId(32995),
        ID_MRU_DSN_LESS_LAST = TVCommandId(33010),
        ID_ODBC_ADMINISTRATOR = TVCommandId(32930),
        ID_SYSTEM_INFORMATION = TVCommandId(32988),
        ID_HELP_README = TVCommandId(32808),
        ID_HELP_COMMENTS = TVCommandId(33016),
        ID_HELP_DATA_ACCESS = TVCommandId(32912),
    };

    explicit CConnectCommands(CMainFrame* frame);

    // Reads the installed drivers (at most 512, sorted by name) and gives each a command id.
    void EnumOdbcDrivers();
    const std::map<int, CMenuCommandInfo>& GetDriverCommands() const { return m_driverCommands; }

    // Adds the driver menu and the two recent lists to the File menu (before its last separator
    // group) and the Tools and Help items to their menus, creating those when missing; binds
    // the commands.
    void Attach(wxMenuBar* menuBar);

    wxMenu* GetDriverMenu() const { return m_pDriverMenu; }
    wxMenu* GetRecentDataLinkMenu() const { return m_pRecentDataLinkMenu; }
    wxMenu* GetRecentDsnLessMenu() const { return m_pRecentDsnLessMenu; }
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

    CMainFrame* m_pMainFrame;
    std::vector<COdbcDriver> m_drivers;
    std::map<int, CMenuCommandInfo> m_driverCommands;
    wxMenu* m_pDriverMenu = nullptr;
    wxMenu* m_pRecentDataLinkMenu = nullptr;
    wxMenu* m_pRecentDsnLessMenu = nullptr;
};
