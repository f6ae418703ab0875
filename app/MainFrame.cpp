#include "MainFrame.h"

#include "AppStrings.h"
#include "common/CommandIds.h"
#include "common/SettingsTable.h"
#include "ConnectCommands.h"
#include "editor/GotoLineDlg.h"
#include "editor/TorvaneDoc.h"
#include "MainMenuBar.h"
#include "MDIClientWnd.h"
#include "platform/MessageBox.h"
#include "query/ChildFrame.h"
#include "query/CompanionCommands.h"
#include "querycore/ConnectStringUtil.h"
#include "querycore/DataLinkFile.h"
#include "querycore/PageFileUsage.h"
#include "schema/SchemaView.h"
#include "TorvaneApp.h"
#include "TorvaneDocManager.h"
#include "TorvaneDocTemplate.h"

#include <wx/filedlg.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/fontenum.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/timer.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include <algorithm>

wxBEGIN_EVENT_TABLE(CMainFrame, CMainFrameBase)
    EVT_SIZE(CMainFrame::OnSize)
    EVT_MOVE(CMainFrame::OnMove)
    EVT_DROP_FILES(CMainFrame::OnDropFilesEvent)
    EVT_MENU(ID_FILE_CLOSE_ALL, CMainFrame::OnCloseAllCommand)
    EVT_MENU(ID_FILE_DISCONNECT, CMainFrame::OnDisconnect)
    EVT_MENU(ID_FILE_DATA_LINK, CMainFrame::OnDataLink)
    EVT_MENU(ID_FILE_DATA_LINK_FILE, CMainFrame::OnDataLinkFile)
    EVT_MENU(ID_WINDOW_CASCADE, CMainFrame::OnWindowCommand)
    EVT_MENU(ID_WINDOW_TILE_HORZ, CMainFrame::OnWindowCommand)
    EVT_MENU(ID_WINDOW_TILE_VERT, CMainFrame::OnWindowCommand)
    EVT_MENU(ID_WINDOW_ARRANGE, CMainFrame::OnWindowCommand)
    EVT_MENU(ID_WINDOW_NEXT, CMainFrame::OnWindowCommand)
    EVT_MENU(ID_WINDOW_PREVIOUS, CMainFrame::OnWindowCommand)
    EVT_MENU_RANGE(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST, CMainFrame::OnRecentFile)
    EVT_MENU(ID_APP_EXIT, CMainFrame::OnExit)
    EVT_MENU(ID_GO_TO_LINE, CMainFrame::OnGoToLine)
    EVT_UPDATE_UI(ID_GO_TO_LINE, CMainFrame::OnUpdateNeedsWindow)
    EVT_UPDATE_UI(ID_WINDOW_CASCADE, CMainFrame::OnUpdateNeedsWindow)
    EVT_UPDATE_UI(ID_WINDOW_TILE_HORZ, CMainFrame::OnUpdateNeedsWindow)
    EVT_UPDATE_UI(ID_WINDOW_TILE_VERT, CMainFrame::OnUpdateNeedsWindow)
    EVT_UPDATE_UI(ID_WINDOW_ARRANGE, CMainFrame::OnUpdateNeedsWindow)
    EVT_UPDATE_UI(ID_FILE_OPEN, CMainFrame::OnUpdateNeedsWindow)
    EVT_UPDATE_UI(ID_WINDOW_NEXT, CMainFrame::OnUpdateNeedsTwoWindows)
    EVT_UPDATE_UI(ID_WINDOW_PREVIOUS, CMainFrame::OnUpdateNeedsTwoWindows)
    EVT_UPDATE_UI(ID_FILE_DATA_LINK, CMainFrame::OnUpdateAlwaysEnabled)
    EVT_UPDATE_UI(ID_FILE_DATA_LINK_FILE, CMainFrame::OnUpdateAlwaysEnabled)
    EVT_UPDATE_UI(ID_FILE_DISCONNECT, CMainFrame::OnUpdateAlwaysEnabled)
    EVT_UPDATE_UI(ID_FILE_CLOSE_ALL, CMainFrame::OnUpdateAlwaysEnabled)
    EVT_UPDATE_UI(ID_FILE_PRINT_SETUP, CMainFrame::OnUpdateAlwaysEnabled)
    EVT_UPDATE_UI(ID_APP_EXIT, CMainFrame::OnUpdateAlwaysEnabled)
    EVT_UPDATE_UI_RANGE(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST, CMainFrame::OnUpdateAlwaysEnabled)
    EVT_UPDATE_UI(ID_MENU_RECENT_FILES, CMainFrame::OnUpdateRecentFiles)
wxEND_EVENT_TABLE()

namespace {

enum StatusPane { kPaneMessage = 0, kPaneConnections = 1, kPaneCaps = 2, kPaneNum = 3, kPaneScroll = 4 };

// The text beside pane 1 that sets its first width.
const char* const kCountPaneSample = "Total number of connections: 8888";

// How often a close that waits for cancelled runs looks whether they have ended.
constexpr int kExitWaitMilliseconds = 100;

// Untitled windows count up over the whole run.
int g_untitledCounter = 0;

// Clears what NewQueryWindow set, however it ends.
class CNewWindowScope {
public:
    CNewWindowScope(CMainFrame& frame, bool& dsnLess) : m_frame(frame), m_dsnLess(dsnLess) {}
    ~CNewWindowScope()
    {
        m_dsnLess = false;
        m_frame.m_strDsnLessLogin.clear();
        m_frame.SetStatusMessage(wxString());
    }

private:
    CMainFrame& m_frame;
    bool& m_dsnLess;
};

} // namespace

CMainFrame::CMainFrame()
{
    m_shared.m_bCopyColNames = settings::ReadInt(settings::CopyColNames) != 0;
}

CMainFrame::~CMainFrame()
{
    if (m_keyStateTimer)
        m_keyStateTimer->Stop();
    if (m_exitWaitTimer)
        m_exitWaitTimer->Stop();
    // Query windows still open go with the client area after this; they must not call back,
    // nor the recent-file list fill their menus.
    for (CChildFrame* frame : m_queryWindows) {
        ForgetMenuBar(frame->GetMenuBar());
        frame->DetachHost();
    }
    ForgetMenuBar(m_pOwnMenuBar);
    m_queryWindows.clear();
    if (wxApp::GetInstance())
        TheApp().OnMainFrameDestroyed(this);
}

wxAuiMDIClientWindow* CMainFrame::OnCreateClient()
{
    m_pClientWindow = new CMDIClientWnd(this);
    return m_pClientWindow;
}

CMDIClientWnd* CMainFrame::GetMDIClient() const
{
    return static_cast<CMDIClientWnd*>(GetClientWindow());
}

bool CMainFrame::Create(wxDocManager* manager)
{
    if (!CMainFrameBase::Create(manager, nullptr, wxID_ANY, wxTheApp->GetAppDisplayName(), wxDefaultPosition,
                                wxSize(1024, 720), wxDEFAULT_FRAME_STYLE | wxFRAME_NO_WINDOW_MENU))
        return false;
#ifdef __WXGTK__
    // Shown at once rather than when the window manager has told the size of its title bar: a
    // first show held back until then lays the menu bar out in a window one pixel high, which
    // the toolkit reports as a critical error on every start.
    m_deferShow = false;
#endif
    // Bound after the base class's own close handler, so it runs first and decides alone.
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    Bind(wxEVT_ICONIZE, &CMainFrame::OnIconize, this);
    Bind(wxEVT_MAXIMIZE, &CMainFrame::OnMaximize, this);
    m_normalRect = GetRect();

    m_pConnectCommands = std::make_unique<CConnectCommands>(this);
    m_pConnectCommands->EnumOdbcDrivers();
    m_pConnectCommands->BindCommands();
    m_pOwnMenuBar = CreateMainMenuBar();
    SetMenuBar(m_pOwnMenuBar);
    RegisterMenuBar(m_pOwnMenuBar);
    if (!CreateStatusBarPanes())
        return false;
    if (!GetClientWindow())
        return false;

    m_shared.m_lfGrid = LogFont();
    ReadProfileFont(settings::kGridFont, m_shared.m_lfGrid, true, &m_shared.m_nGridBold, &m_shared.m_nGridSize);
    m_shared.m_strGridFaceName = m_shared.m_lfGrid.lfFaceName;
    m_shared.m_bTahomaPresent = wxFontEnumerator::IsValidFacename("Tahoma");
    m_strInvalidFileExts = settings::ReadInvalidFileExts();
    UpdateConnectionCount();
    return true;
}

void CMainFrame::RegisterMenuBar(wxMenuBar* bar)
{
    if (!bar)
        return;
    if (m_pConnectCommands)
        m_pConnectCommands->Attach(bar);
    wxFileHistory* history = m_docManager ? m_docManager->GetFileHistory() : nullptr;
    wxMenuItem* recent = bar->FindItem(ID_MENU_RECENT_FILES);
    if (history && recent && recent->GetSubMenu()) {
        history->UseMenu(recent->GetSubMenu());
        history->AddFilesToMenu(recent->GetSubMenu());
    }
}

void CMainFrame::ForgetMenuBar(wxMenuBar* bar)
{
    if (!bar)
        return;
    if (m_pConnectCommands)
        m_pConnectCommands->Detach(bar);
    wxFileHistory* history = m_docManager ? m_docManager->GetFileHistory() : nullptr;
    wxMenuItem* recent = bar->FindItem(ID_MENU_RECENT_FILES);
    if (history && recent && recent->GetSubMenu())
        history->RemoveMenu(recent->GetSubMenu());
}

bool CMainFrame::TryBefore(wxEvent& event)
{
    // The query windows had the commands first and gave them to their active pane and their
    // document; the document manager would hand them to the editor again, whatever pane is active.
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_MENU || type == wxEVT_UPDATE_UI)
        return wxAuiMDIParentFrame::TryBefore(event);
    return CMainFrameBase::TryBefore(event);
}

bool CMainFrame::TryAfter(wxEvent& event)
{
    if (CMainFrameBase::TryAfter(event))
        return true;
    // A menu item or tool whose command nothing enables is disabled, so that nothing can be
    // chosen that nothing would do.
    if (event.GetEventType() != wxEVT_UPDATE_UI)
        return false;
    wxObject* source = event.GetEventObject();
    if (auto* menu = dynamic_cast<wxMenu*>(source)) {
        wxMenuItem* item = menu->FindItem(event.GetId());
        if (!item || item->IsSubMenu())
            return false;
    } else if (auto* toolbar = dynamic_cast<wxToolBar*>(source)) {
        if (!toolbar->FindById(event.GetId()))
            return false;
    } else {
        return false;
    }
    static_cast<wxUpdateUIEvent&>(event).Enable(false);
    return true;
}

bool CMainFrame::CreateStatusBarPanes()
{
    wxStatusBar* bar = CreateStatusBar(5);
    if (!bar)
        return false;
    SetStatusBarPane(kPaneMessage);
    m_nCountPaneWidth = bar->GetTextExtent(kCountPaneSample).x + 12;
    const int keyWidth = bar->GetTextExtent("SCRL").x + 12;
    const int widths[] = {-1, m_nCountPaneWidth, keyWidth, keyWidth, keyWidth};
    bar->SetStatusWidths(5, widths);
    m_keyStateTimer = std::make_unique<wxTimer>(this);
    Bind(wxEVT_TIMER, &CMainFrame::OnKeyStateTimer, this, m_keyStateTimer->GetId());
    m_keyStateTimer->Start(300);
    return true;
}

void CMainFrame::OnKeyStateTimer(wxTimerEvent&)
{
    wxStatusBar* bar = GetStatusBar();
    // Lock key states can only be asked of an X11 display.
    if (!bar || wxGetDisplayInfo().type != wxDisplayX11)
        return;
    const struct {
        int pane;
        wxKeyCode key;
        const char* text;
    } keys[] = {{kPaneCaps, WXK_CAPITAL, "CAP"}, {kPaneNum, WXK_NUMLOCK, "NUM"}, {kPaneScroll, WXK_SCROLL, "SCRL"}};
    for (const auto& k : keys) {
        wxString text = wxGetKeyState(k.key) ? k.text : "";
        if (bar->GetStatusText(k.pane) != text)
            bar->SetStatusText(text, k.pane);
    }
}

void CMainFrame::SetStatusMessage(const wxString& text)
{
    if (wxStatusBar* bar = GetStatusBar())
        bar->SetStatusText(text, kPaneMessage);
}

CSchemaPane* CMainFrame::CreateSchemaPane(wxWindow* parent, CChildFrame& frame)
{
    return new CSchemaView(parent, &frame);
}

void CMainFrame::OnCommandLineRunEnded(bool failed)
{
    TheApp().OnCommandLineRunEnded(failed);
}

void CMainFrame::UpdateConnectionCount()
{
    m_strCountPaneText = wxString::Format(strings::kConnectionCount, static_cast<int>(m_queryWindows.size()));
    wxStatusBar* bar = GetStatusBar();
    if (!bar)
        return;
    const int needed = bar->GetTextExtent(m_strCountPaneText).x + 12;
    if (needed > m_nCountPaneWidth) {
        m_nCountPaneWidth = needed;
        const int keyWidth = bar->GetTextExtent("SCRL").x + 12;
        const int widths[] = {-1, m_nCountPaneWidth, keyWidth, keyWidth, keyWidth};
        bar->SetStatusWidths(5, widths);
    }
    bar->SetStatusText(m_strCountPaneText, kPaneConnections);
}

CChildFrame* CMainFrame::GetActiveQueryWindow() const
{
    auto* active = dynamic_cast<CChildFrame*>(GetActiveChild());
    if (!active || std::find(m_queryWindows.begin(), m_queryWindows.end(), active) == m_queryWindows.end())
        return nullptr;
    return active;
}

void CMainFrame::RemoveQueryWindow(CChildFrame* frame)
{
    auto found = std::find(m_queryWindows.begin(), m_queryWindows.end(), frame);
    if (found == m_queryWindows.end())
        return;
    m_queryWindows.erase(found);
    std::erase(m_cancelledWindows, frame);
    std::erase(m_exitWaitsFor, frame);
    UpdateConnectionCount();
}

CTorvaneDoc* CMainFrame::NewQueryWindow(const std::optional<wxString>& connect, const std::optional<wxString>& file,
                                        const std::optional<wxString>& database)
{
    wxBusyCursor wait;
    CNewWindowScope scope(*this, m_bDsnLess);
    ShowEstablishingConnection();

    if (connect && IsDsnLessConnectString(connect->utf8_string()))
        m_bDsnLess = true;

    if (!CanOpenAnotherQueryWindow())
        return nullptr;
    const NewQueryParts parts = CreateQueryWindow(file.has_value());
    if (!parts.frame)
        return nullptr;
    if (!parts.frame->OpenConnection(connect, false, database)) {
        parts.doc->DeleteAllViews();
        return nullptr;
    }

    if (m_bDsnLess)
        RememberDsnLessLogin(*parts.frame);
    ShowNewQueryWindow(parts);

    CTorvaneDoc* result = parts.doc;
    if (file && !OpenFileInQueryWindow(parts, *file))
        result = nullptr;

    parts.frame->Refresh();
    Refresh();
    Update();
    return result;
}

void CMainFrame::ShowEstablishingConnection()
{
    SetStatusMessage(strings::kEstablishingConnection);
    if (CChildFrame* active = GetActiveQueryWindow()) {
        active->Refresh();
        active->Update();
    }
    Refresh();
    Update();
}

bool CMainFrame::CanOpenAnotherQueryWindow()
{
    if (GetPageFileUsagePercent() >= 99) {
        TVMessageBox(strings::kPageFileFull, wxOK | wxICON_STOP, this);
        return false;
    }
    if (m_queryWindows.size() > kMaxQueryWindows) {
        TVMessageBox(strings::kConnectionLimit, wxOK | wxICON_STOP, this);
        return false;
    }
    return true;
}

CMainFrame::NewQueryParts CMainFrame::CreateQueryWindow(bool forFile)
{
    CTorvaneDocTemplate* tmpl = TheApp().GetDocTemplate();
    if (!tmpl)
        return {};
    auto* doc = dynamic_cast<CTorvaneDoc*>(tmpl->CreateDocument(wxEmptyString, wxDOC_NEW | wxDOC_SILENT));
    if (!doc)
        return {};
    wxView* view = doc->GetFirstView();
    auto* frame = view ? dynamic_cast<CChildFrame*>(view->GetFrame()) : nullptr;
    if (!frame || (!forFile && !doc->OnNewDocument())) {
        doc->DeleteAllViews();
        return {};
    }
    return {doc, view, frame};
}

void CMainFrame::RememberDsnLessLogin(CChildFrame& frame)
{
    frame.SetDsnLessConnection(true);
    if (m_strDsnLessLogin.empty())
        m_strDsnLessLogin = ExtractDriverLogin(frame.GetConnectionString());
    if (!m_strDsnLessLogin.empty())
        if (CMruFileList* list = TheApp().GetDsnLessLoginManager().GetList(0))
            list->Add(TheApp().GetTempFolder() + m_strDsnLessLogin);
}

void CMainFrame::ShowNewQueryWindow(const NewQueryParts& parts)
{
    if (parts.doc->GetTitle().empty())
        parts.doc->SetTitle(wxString::Format(strings::kNewQueryTitle, "Untitled", ++g_untitledCounter));
    parts.frame->SetTitle(parts.doc->GetTitle());

    if (settings::ReadSchemaHiddenAtOpen())
        parts.frame->ShowSchemaPane(false);

    parts.doc->UpdateAllViews();
    m_queryWindows.push_back(parts.frame);
    parts.frame->Activate();
    if (m_docManager)
        m_docManager->ActivateView(parts.view, true);
    // The new window's tab took the focus when it was added; the first keys typed belong to
    // the editor.
    parts.frame->ActivateEditorPane();
    UpdateConnectionCount();
}

bool CMainFrame::OpenFileInQueryWindow(const NewQueryParts& parts, const wxString& file)
{
    // Kept with its full path, so the recent list still finds it from another folder.
    wxFileName full(file);
    full.MakeAbsolute();
    const wxString path = full.GetFullPath();
    if (!parts.doc->OnOpenDocument(path))
        return false;
    parts.doc->SetTitle(full.GetFullName());
    parts.frame->SetTitle(parts.doc->GetTitle());
    if (m_docManager)
        m_docManager->AddFileToHistory(path);
    return true;
}

std::vector<CChildFrame*> CMainFrame::RunningQueryWindows() const
{
    std::vector<CChildFrame*> running;
    for (CChildFrame* frame : m_queryWindows)
        if (frame->IsBusy())
            running.push_back(frame);
    return running;
}

bool CMainFrame::CloseAll()
{
    m_cancelledWindows = RunningQueryWindows();
    if (!m_cancelledWindows.empty()) {
        if (TVMessageBox(strings::kCancelAllQuestion, wxYES_NO | wxICON_QUESTION, this) != wxID_YES) {
            m_cancelledWindows.clear();
            return false;
        }
        for (CChildFrame* frame : m_cancelledWindows) {
            frame->CancelQueryBatch();
            frame->StopFindInFiles();
        }
        wxMilliSleep(700);
    }
    CChildFrame* previous = nullptr;
    for (CChildFrame* active = GetActiveQueryWindow(); active && active != previous; active = GetActiveQueryWindow()) {
        previous = active;
        active->Close();
        UpdateConnectionCount();
    }
    return m_queryWindows.empty();
}

void CMainFrame::OnClose(wxCloseEvent& event)
{
    // A window closed while minimised keeps the placement it had before.
    const bool wasMinimised = IsIconized();
    if (wasMinimised) {
        Iconize(false);
        Raise();
    }
    try {
        CloseAll();
    } catch (...) {
        // Closing goes on with whatever windows are left.
    }
    if (!m_queryWindows.empty()) {
        // Windows whose runs were cancelled stay until their runs have ended; the close then
        // starts again by itself, still asking each window to save or commit. Meanwhile every
        // window keeps answering.
        m_exitWaitsFor.clear();
        for (CChildFrame* frame : RunningQueryWindows())
            if (std::find(m_cancelledWindows.begin(), m_cancelledWindows.end(), frame) != m_cancelledWindows.end())
                m_exitWaitsFor.push_back(frame);
        m_cancelledWindows.clear();
        if (!m_exitWaitsFor.empty()) {
            if (!m_exitWaitTimer) {
                m_exitWaitTimer = std::make_unique<wxTimer>(this);
                Bind(wxEVT_TIMER, &CMainFrame::OnExitWaitTimer, this, m_exitWaitTimer->GetId());
            }
            m_exitWaitTimer->Start(kExitWaitMilliseconds);
            SetStatusMessage(strings::kWaitingForCancelledQueries);
        }
        if (event.CanVeto()) {
            event.Veto();
            return;
        }
    }
    m_cancelledWindows.clear();
    m_exitWaitsFor.clear();
    if (m_exitWaitTimer)
        m_exitWaitTimer->Stop();
    WindowPlacement wp = WindowPlacement::Of(*this, m_normalRect);
    if (!wasMinimised && wp.showCmd != SW_SHOWMINIMIZED)
        SaveWindowPlacement(wp);
    // Only the documents: the templates stay with the application, which deletes them last.
    if (m_docManager && !m_docManager->CloseDocuments(!event.CanVeto())) {
        event.Veto();
        return;
    }
    Destroy();
}

void CMainFrame::OnExitWaitTimer(wxTimerEvent&)
{
    const std::vector<CChildFrame*> running = RunningQueryWindows();
    for (CChildFrame* frame : m_exitWaitsFor)
        if (std::find(running.begin(), running.end(), frame) != running.end())
            return;
    m_exitWaitTimer->Stop();
    m_exitWaitsFor.clear();
    SetStatusMessage(wxString());
    Close();
}

void CMainFrame::Iconize(bool iconize)
{
    m_bMinimized = iconize;
    CMainFrameBase::Iconize(iconize);
}

bool CMainFrame::IsIconized() const
{
    return m_bMinimized || CMainFrameBase::IsIconized();
}

void CMainFrame::OnIconize(wxIconizeEvent& event)
{
    m_bMinimized = event.IsIconized();
    event.Skip();
}

void CMainFrame::OnSize(wxSizeEvent& event)
{
    if (!IsMaximized() && !IsIconized())
        m_normalRect = GetRect();
    event.Skip();
    for (CChildFrame* frame : m_queryWindows)
        frame->Refresh();
    Refresh();
}

void CMainFrame::OnMaximize(wxMaximizeEvent& event)
{
    event.Skip();
    SetDefaultPaneSizesOnNextSize();
}

void CMainFrame::OnMove(wxMoveEvent& event)
{
    if (!IsMaximized() && !IsIconized())
        m_normalRect = GetRect();
    event.Skip();
}

void CMainFrame::OnDDEExecute(const wxString& command)
{
    // A main window disabled by a modal dialog takes no command.
    if (IsEnabled())
        TheApp().OnDDECommand(command.Left(520));
}

void CMainFrame::OpenDroppedFiles(const std::vector<wxString>& files)
{
    Raise();
    bool first = true;
    for (const wxString& name : files) {
        CTorvaneDoc* doc = nullptr;
        if (first)
            doc = NewQueryWindow(std::nullopt, name.Left(520));
        else if (CChildFrame* active = GetActiveQueryWindow())
            doc = active->OpenWindowOnSameConnection(name.Left(520));
        first = false;
        if (!doc)
            break;
        if (m_queryWindows.size() > 1)
            CascadeWindows();
    }
}

void CMainFrame::OnDropFilesEvent(wxDropFilesEvent& event)
{
    std::vector<wxString> files(event.GetFiles(), event.GetFiles() + event.GetNumberOfFiles());
    OpenDroppedFiles(files);
}

void CMainFrame::OnCloseAllCommand(wxCommandEvent&)
{
    CloseAll();
}

void CMainFrame::OnDisconnect(wxCommandEvent&)
{
    if (CChildFrame* active = GetActiveQueryWindow())
        active->Close();
}

void CMainFrame::OnDataLink(wxCommandEvent&)
{
    NewQueryWindow();
}

void CMainFrame::OnDataLinkFile(wxCommandEvent&)
{
    ConnectWithDataLinkFile(wxString());
}

void CMainFrame::CascadeWindows()
{
    SetDefaultPaneSizesOnNextSize();
    GetMDIClient()->UnsplitAll();
}

void CMainFrame::TileWindows(wxOrientation orient)
{
    SetDefaultPaneSizesOnNextSize();
    GetMDIClient()->TileAll(orient);
}

void CMainFrame::SetDefaultPaneSizesOnNextSize()
{
    for (CChildFrame* frame : m_queryWindows)
        frame->SetDefaultPaneSizesOnNextSize();
}

void CMainFrame::ArrangeWindows()
{
    std::vector<wxWindow*> order(m_queryWindows.begin(), m_queryWindows.end());
    GetMDIClient()->OrderTabs(order);
}

void CMainFrame::ActivateNextWindow(bool forward)
{
    if (m_queryWindows.empty())
        return;
    if (forward)
        ActivateNext();
    else
        ActivatePrevious();
    if (CChildFrame* active = GetActiveQueryWindow())
        active->Layout();
}

void CMainFrame::OnWindowCommand(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case ID_WINDOW_CASCADE: CascadeWindows(); break;
    case ID_WINDOW_TILE_HORZ: TileWindows(wxHORIZONTAL); break;
    case ID_WINDOW_TILE_VERT: TileWindows(wxVERTICAL); break;
    case ID_WINDOW_ARRANGE: ArrangeWindows(); break;
    case ID_WINDOW_NEXT: ActivateNextWindow(true); break;
    case ID_WINDOW_PREVIOUS: ActivateNextWindow(false); break;
    default: event.Skip(); break;
    }
}

void CMainFrame::OnRecentFile(wxCommandEvent& event)
{
    wxFileHistory* history = m_docManager ? m_docManager->GetFileHistory() : nullptr;
    const size_t index = static_cast<size_t>(event.GetId() - ID_FILE_MRU_FIRST);
    if (!history || index >= history->GetCount())
        return;
    const wxString path = history->GetHistoryFile(index);
    if (!wxFileExists(path)) {
        TVMessageBox(wxString::Format(strings::kFileNotFound, path), wxOK | wxICON_STOP, this);
        history->RemoveFileFromHistory(index);
        return;
    }
    TheApp().OpenDocumentFile(path);
}

void CMainFrame::OnExit(wxCommandEvent&)
{
    Close();
}

void CMainFrame::OnUpdateNeedsWindow(wxUpdateUIEvent& event)
{
    event.Enable(!m_queryWindows.empty());
}

void CMainFrame::OnUpdateNeedsTwoWindows(wxUpdateUIEvent& event)
{
    event.Enable(m_queryWindows.size() > 1);
}

void CMainFrame::OnUpdateAlwaysEnabled(wxUpdateUIEvent& event)
{
    event.Enable(true);
}

void CMainFrame::OnUpdateRecentFiles(wxUpdateUIEvent& event)
{
    wxFileHistory* history = m_docManager ? m_docManager->GetFileHistory() : nullptr;
    event.Enable(history && history->GetCount() > 0);
}

CTorvaneDoc* CMainFrame::ConnectWithDataLinkFile(const wxString& givenPath)
{
    wxBusyCursor wait;
    wxString path = givenPath;
    path.Trim(true).Trim(false);
    if (path.empty()) {
        wxString folder = settings::ReadString(settings::FromUdlFile);
        if (folder.empty())
            folder = wxGetHomeDir();
        wxFileDialog dlg(this, _("Open Microsoft Data Link File"), folder, wxEmptyString,
                         "Microsoft Data Link Files (*.udl)|*.udl|All Files (*.*)|*",
                         wxFD_OPEN | wxFD_FILE_MUST_EXIST);
        if (dlg.ShowModal() != wxID_OK)
            return nullptr;
        path = dlg.GetPath();
        settings::WriteString(settings::FromUdlFile, wxFileName(path).GetPath() + "/");
    }
    try {
        wxString connect = wxString::FromUTF8(DataLinkFile::LoadConnectString(path.utf8_string()));
        CTorvaneDoc* doc = NewQueryWindow(connect.empty() ? std::nullopt : std::optional<wxString>(connect));
        if (doc)
            if (CMruFileList* list = TheApp().GetDataLinkFileManager().GetList(0))
                list->Add(path);
        return doc;
    } catch (const DataLinkFile::NotFound& e) {
        TVMessageBox(wxString::FromUTF8(e.what()), wxOK | wxICON_STOP, this);
    } catch (const _com_error& e) {
        TVMessageBox(wxString::FromUTF8(e.what()), wxOK | wxICON_STOP, this);
    } catch (...) {
        TVMessageBox(strings::kErrorsOccurred, wxOK | wxICON_STOP, this);
    }
    return nullptr;
}

wxString CMainFrame::ExtractDriverLogin(const wxString& connectString)
{
    return wxString::FromUTF8(::ExtractDriverLogin(connectString.utf8_string()));
}

void CMainFrame::OnGoToLine(wxCommandEvent&)
{
    if (!m_pGoToDlg)
        m_pGoToDlg = new CGoToDlg(this, [this] {
            CChildFrame* active = GetActiveQueryWindow();
            return active ? active->GetGoToPane() : CGoToPane();
        });
    m_pGoToDlg->Show();
    m_pGoToDlg->Raise();
}
