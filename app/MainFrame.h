// The main window: query windows as tabs in its client area, the status bar with the
// connection count, the application-level commands, and NewQueryWindow, the one routine through
// which every query window is opened with its connection.
#pragma once

#include "query/QueryHost.h"
#include "WindowPlacement.h"

#include <wx/defs.h>
#include <wx/aui/tabmdi.h>
#include <wx/docview.h>
#include <wx/weakref.h>

#include <memory>
#include <optional>
#include <vector>

class CChildFrame;
class CConnectCommands;
class CGoToDlg;
class CMDIClientWnd;
class CTorvaneDoc;
class wxMenuBar;
class wxStatusBar;
class wxTimer;
class wxTimerEvent;

typedef wxDocParentFrameAny<wxAuiMDIParentFrame> CMainFrameBase;

class CMainFrame : public CMainFrameBase, public IQueryHost {
public:
    static constexpr size_t kMaxQueryWindows = 511;

    CMainFrame();
    ~CMainFrame() override;

    // Creates the window hidden, with its menus, status bar and client area; false on failure.
    bool Create(wxDocManager* manager);

    // Opens a query window: connects it (no connect string: the data link dialog asks), opens
    // the file into it when one is given, and selects the database when one is given. Returns
    // the new window's document, or null when nothing was opened.
    CTorvaneDoc* NewQueryWindow(const std::optional<wxString>& connect = std::nullopt,
                                const std::optional<wxString>& file = std::nullopt,
                                const std::optional<wxString>& database = std::nullopt) override;

    // Query windows, in the order they were opened.
    const std::vector<CChildFrame*>& GetQueryWindows() const override { return m_queryWindows; }
    size_t GetConnectionCount() const override { return m_queryWindows.size(); }
    CChildFrame* GetActiveQueryWindow() const override;
    // Called by a query window when it is destroyed.
    void RemoveQueryWindow(CChildFrame* frame) override;
    void UpdateConnectionCount();
    wxString GetConnectionCountText() const { return m_strCountPaneText; }

    // Closes every query window in turn, asking first when queries or searches run; stops at
    // the first window that refuses. True when none is left.
    bool CloseAll();
    // True while the program waits for cancelled runs to end before it closes (File > Exit
    // answered Yes while queries ran).
    bool IsExitPending() const { return !m_exitWaitsFor.empty(); }
    // The shell's open command handed over by a second start.
    void OnDDEExecute(const wxString& command);
    // Files dropped on the window (or handed over): the first through the data link dialog,
    // the others on the same connection.
    void OpenDroppedFiles(const std::vector<wxString>& files);

    // Window arrangement of the query windows (tabs here):
    // Cascade: every window back into one set of tabs.
    void CascadeWindows() override;
    // Tile: each window in a pane of its own, side by side (wxVERTICAL) or one above the
    // other (wxHORIZONTAL); all panes visible at once.
    void TileWindows(wxOrientation orient);
    // Arrange Icons: the tabs of each set put back in the order the windows were opened.
    void ArrangeWindows();
    void ActivateNextWindow(bool forward);
    CMDIClientWnd* GetMDIClient() const;

    // Connect commands used by the start-up actions.
    CTorvaneDoc* ConnectWithDataLinkFile(const wxString& path);
    // The driver name of a DSN-less connect string (see ::ExtractDriverLogin). Empty when the
    // string names no driver: nothing else of it (no password) is ever taken.
    static wxString ExtractDriverLogin(const wxString& connectString);

    // Set while NewQueryWindow opens a window whose connect string names a driver.
    bool IsDsnLess() const override { return m_bDsnLess; }
    wxString m_strDsnLessLogin;

    wxString m_strInvalidFileExts;

    // The status bar's message pane.
    void SetStatusMessage(const wxString& text) override;

    // The query windows' access to the shell.
    wxFrame* GetHostWindow() override { return this; }
    CSharedViewSettings& SharedSettings() override { return m_shared; }
    CSchemaPane* CreateSchemaPane(wxWindow* parent, CChildFrame& frame) override;
    void OnCommandLineRunEnded(bool failed) override;

    // Minimised as the program asked, also where the desktop does not report the state (no
    // window manager, or a Wayland compositor): it holds until the program restores the window
    // or the desktop reports a restore.
    void Iconize(bool iconize = true) override;
    bool IsIconized() const override;

    // The ODBC driver menu, the recent data link files and DSN-less logins, Tools and Help.
    CConnectCommands* GetConnectCommands() const { return m_pConnectCommands.get(); }

    // The recent lists and the driver menu of a menu bar (this window's own, or a query
    // window's) are filled from now on, until it is detached.
    void RegisterMenuBar(wxMenuBar* bar) override;
    void ForgetMenuBar(wxMenuBar* bar) override;
    // The bar shown while no query window is active.
    wxMenuBar* GetOwnMenuBar() const { return m_pOwnMenuBar; }

protected:
    wxAuiMDIClientWindow* OnCreateClient() override;
    // Commands go to the active query window first, never to the document manager.
    bool TryBefore(wxEvent& event) override;
    // Disables a menu item or tool that nothing enables.
    bool TryAfter(wxEvent& event) override;

private:
    bool CreateStatusBarPanes();

    // The steps of NewQueryWindow.
    struct NewQueryParts {
        CTorvaneDoc* doc = nullptr;
        wxView* view = nullptr;
        CChildFrame* frame = nullptr;
    };
    // The status text and a repaint before the connection is made.
    void ShowEstablishingConnection();
    // False, after saying why, when the page file is full or the window limit reached.
    bool CanOpenAnotherQueryWindow();
    // The document, view and frame of a new window (a new document unless a file is to be
    // opened into it); all null, with nothing left behind, when they cannot be made.
    NewQueryParts CreateQueryWindow(bool forFile);
    // Marks the window DSN-less and adds the driver's login to the recent list.
    void RememberDsnLessLogin(CChildFrame& frame);
    // Titles the window, applies the schema pane setting, and activates and counts it.
    void ShowNewQueryWindow(const NewQueryParts& parts);
    // Opens the file (by its full path) into the window and adds it to the recent files.
    bool OpenFileInQueryWindow(const NewQueryParts& parts, const wxString& file);

    void OnClose(wxCloseEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnMove(wxMoveEvent& event);
    void OnDropFilesEvent(wxDropFilesEvent& event);
    void OnCloseAllCommand(wxCommandEvent& event);
    void OnDisconnect(wxCommandEvent& event);
    void OnDataLink(wxCommandEvent& event);
    void OnDataLinkFile(wxCommandEvent& event);
    void OnWindowCommand(wxCommandEvent& event);
    void OnRecentFile(wxCommandEvent& event);
    void OnExit(wxCommandEvent& event);
    void OnGoToLine(wxCommandEvent& event);
    void OnUpdateNeedsWindow(wxUpdateUIEvent& event);
    void OnUpdateNeedsTwoWindows(wxUpdateUIEvent& event);
    void OnUpdateAlwaysEnabled(wxUpdateUIEvent& event);
    void OnUpdateRecentFiles(wxUpdateUIEvent& event);
    void OnKeyStateTimer(wxTimerEvent& event);
    // While an exit waits: once the cancelled runs have ended, the close starts again.
    void OnExitWaitTimer(wxTimerEvent& event);
    // Query windows whose run or search is still under way.
    std::vector<CChildFrame*> RunningQueryWindows() const;
    void OnIconize(wxIconizeEvent& event);
    void OnMaximize(wxMaximizeEvent& event);
    // Arranged anew, every query window's panes take their default sizes.
    void SetDefaultPaneSizesOnNextSize();

    std::vector<CChildFrame*> m_queryWindows;
    CSharedViewSettings m_shared;
    std::unique_ptr<CConnectCommands> m_pConnectCommands;
    wxMenuBar* m_pOwnMenuBar = nullptr;
    // The modeless Go To dialog while it is open.
    wxWeakRef<CGoToDlg> m_pGoToDlg;
    bool m_bDsnLess = false;
    bool m_bMinimized = false;
    int m_nCountPaneWidth = 173;
    wxString m_strCountPaneText;
    wxRect m_normalRect;
    std::unique_ptr<wxTimer> m_keyStateTimer;
    // The windows whose cancelled runs a close waits for, and the timer that checks them.
    std::vector<CChildFrame*> m_cancelledWindows;
    std::vector<CChildFrame*> m_exitWaitsFor;
    std::unique_ptr<wxTimer> m_exitWaitTimer;

    wxDECLARE_EVENT_TABLE();
};
