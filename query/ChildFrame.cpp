#include "ChildFrame.h"
#include "QueryHost.h"

#include "common/ErrorText.h"
#include "common/ItemComboBoxEx.h"
#include "ConnectPromptDlg.h"
#include "DataLinkDlg.h"
#include "editor/QryView.h"
#include "PaneDropTarget.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "querycore/CloseDecision.h"
#include "querycore/ConnectRules.h"
#include "querycore/ConnectStringUtil.h"
#include "QueryHost.h"
#include "QueryKeyRouting.h"
#include "QueryMenuBar.h"
#include "ResultCommands.h"
#include "ResultView.h"
#include "SchemaPane.h"
#include "SplitterShare.h"
#include "TVStatusBar.h"

#include <wx/filename.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/statusbr.h>
#include <wx/stc/stc.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

namespace {

const char* const kEstablishing = "Establishing new connection...";
const char* const kErrorsOccurred = "Errors occurred.";
// String 61227 and 61228.
const char* const kFileChangedModified = "%s\n\nThis file has been modified outside of this window. Do you want to "
                                         "reload it and lose the changes made in this window?";
const char* const kFileChanged = "%s\n\nThis file has been modified outside of this window. Do you want to reload it?";
// String 61229.
const char* const kLowResources =
    "Low Resources.\nNinety percent or more of your system resources are in use. To free up system resources, "
    "quit any programs that you are not using. If you do not, your computer may stop responding.";

// The user cancelled the login prompt; the connection fails without a message.
struct PromptCancelled {
};


} // namespace

CChildFrame::CChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, IQueryHost& host)
    : m_pRunState(std::make_shared<CQueryRunState>(CFrameMailbox::Create(this))),
      m_pHost(&host),
      m_connection(CSettingsStore::Get(), [this] { OnQuotesChanged(); })
{
    Create(doc, view, parent, wxID_ANY, wxEmptyString);
    if (auto* queryDoc = dynamic_cast<CTorvaneDoc*>(doc))
        queryDoc->SetFrame(this);
    // The main window shows this bar while the window is active.
    SetMenuBar(CreateQueryMenuBar());
    m_pHost->RegisterMenuBar(GetMenuBar());
    CreatePanes();
    BindResultGrids();
    BindPaneCommands();
    BindCompanionCommands();
    // The editor view's control lives in the editor pane.
    if (auto* queryView = dynamic_cast<CQryView*>(view); queryView && queryView->CreateEditor(m_pEditorPane))
        SetEditorWindow(queryView->GetEditCtrl());

    // Bound after the base class's own handlers, so these run first.
    Bind(wxEVT_CLOSE_WINDOW, &CChildFrame::OnClose, this);
    Bind(wxEVT_ACTIVATE, &CChildFrame::OnActivate, this);
    Bind(wxEVT_CHILD_FOCUS, &CChildFrame::OnChildFocus, this);
    Bind(wxEVT_CHAR_HOOK, &CChildFrame::OnCharHook, this);
    Bind(wxEVT_MENU, &CChildFrame::OnNewConnectionWindow, this, ID_NEW_CONNECTION_WINDOW);
    Bind(wxEVT_UPDATE_UI, &CChildFrame::OnUpdateNewConnectionWindow, this, ID_NEW_CONNECTION_WINDOW);
    Bind(wxEVT_MENU, &CChildFrame::OnPrintPreviewCommand, this, ID_FILE_PRINT_PREVIEW);
    Bind(wxEVT_UPDATE_UI, &CChildFrame::OnUpdatePrintPreview, this, ID_FILE_PRINT_PREVIEW);
    parent->Bind(wxEVT_ACTIVATE, &CChildFrame::OnMainFrameActivate, this);
    m_pExecution = std::make_unique<CBatchExecution>(*this, m_pRunState, m_connection, m_output);
    ShowRunPaneTexts();
    m_pSaveAs = std::make_unique<CExecuteAndSaveAs>(*this, *m_pExecution, m_output);
    m_pExecution->SetResultsGrids(m_pResultView);
    BindDatabaseCommands();
    BindErrorCommands();
    BindFindInFilesCommands();
}

CChildFrame::~CChildFrame()
{
    // Deleted without Destroy (with its parent): the workers still have to stop first.
    OnDestroy();
}

void CChildFrame::CreatePanes()
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);

    CreateBars(sizer);

    m_wndOuterSplitter = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                              wxSP_LIVE_UPDATE | wxSP_3DSASH);
    m_wndInnerSplitter = new wxSplitterWindow(m_wndOuterSplitter, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                              wxSP_LIVE_UPDATE | wxSP_3DSASH);
    m_wndOuterSplitter->SetMinimumPaneSize(10);
    m_wndInnerSplitter->SetMinimumPaneSize(10);
    m_pSchemaView = m_pHost->CreateSchemaPane(m_wndInnerSplitter, *this);
    m_pEditorPane = new wxPanel(m_wndInnerSplitter, wxID_ANY);
    m_pEditorPane->SetSizer(new wxBoxSizer(wxVERTICAL));
    m_pResultView = new CResultView(m_wndOuterSplitter, this);
    m_wndInnerSplitter->SplitVertically(m_pSchemaView, m_pEditorPane);
    m_wndOuterSplitter->SplitHorizontally(m_wndInnerSplitter, m_pResultView);
    sizer->Add(m_wndOuterSplitter, 1, wxEXPAND);

    // The first sizes of the window, and the first after the windows were arranged anew, give
    // the panes their default sizes; in between the panes keep their shares as the window grows
    // or shrinks.
    m_outerShare = std::make_unique<CSplitterShare>(*m_wndOuterSplitter, kEditorShare);
    m_innerShare = std::make_unique<CSplitterShare>(*m_wndInnerSplitter, kSchemaShare);
    m_wndOuterSplitter->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        const wxSize size = event.GetSize();
        if (size.x <= 0 || size.y <= 0 || (m_nInitialSizes >= 3 && !m_bDefaultSizesPending))
            return;
        if (m_nInitialSizes < 3)
            ++m_nInitialSizes;
        m_bDefaultSizesPending = false;
        SetDefaultPaneSizes();
    });

    sizer->Add(m_wndStatusBar, 0, wxEXPAND);
    SetSizer(sizer);
    // The panes take the window's size before they are first drawn: laid out at the splitters'
    // default size, their scroll bars would get less room than they can be drawn in.
    Layout();

    m_pSchemaView->SetDropTarget(new CPaneDropTarget([this](const std::vector<wxString>& files) { DropFiles(files); }));
    m_pResultView->SetDropTarget(new CPaneDropTarget([this](const std::vector<wxString>& files) { DropFiles(files); }));
}

void CChildFrame::SetDefaultPaneSizes()
{
    // A hidden pane comes back at its default share.
    m_outerShare->SetShare(kEditorShare);
    m_innerShare->SetShare(kSchemaShare);
}

void CChildFrame::SetEditorWindow(wxWindow* editor)
{
    m_pEditorWindow = editor;
    m_pEditorPane->GetSizer()->Add(editor, 1, wxEXPAND);
    m_pEditorPane->Layout();
    editor->SetDropTarget(new CPaneDropTarget([this](const std::vector<wxString>& files) { DropFiles(files); },
                                              dynamic_cast<wxStyledTextCtrl*>(editor)));
    m_pActivePane = m_pEditorPane;
}

bool CChildFrame::GetTitleConnection(CQueryTitleConnection& connection) const
{
    if (!m_connection.m_pConnection)
        return false;
    connection.dataSource = m_connection.m_strDataSource;
    connection.serverName = m_connection.m_strServerName;
    connection.catalog = m_connection.m_strCurrentCatalog;
    connection.userId = m_connection.m_strUserId;
    connection.dbmsName = m_connection.m_strDbmsName;
    connection.dbmsVersion = m_connection.m_strDbmsVersion;
    connection.displayDbmsVer = m_connection.m_bDisplayDbmsVer != 0;
    return true;
}

CQryView* CChildFrame::GetQueryView() const
{
    return dynamic_cast<CQryView*>(GetView());
}

CTorvaneDoc* CChildFrame::GetQueryDoc() const
{
    return dynamic_cast<CTorvaneDoc*>(GetDocument());
}

void CChildFrame::SetMainStatusText(const wxString& text)
{
    if (m_pHost)
        m_pHost->SetStatusMessage(text);
    else if (wxFrame* parent = GetMDIParentFrame(); parent && parent->GetStatusBar())
        parent->SetStatusText(text);
}

wxStyledTextCtrl* CChildFrame::GetResultsText() const
{
    return m_pResultView;
}

bool CChildFrame::IsActiveQueryWindow() const
{
    return m_pHost && m_pHost->GetActiveQueryWindow() == this;
}

void CChildFrame::TurnOffResultsInTextWarning()
{
    if (m_pHost) {
        for (CChildFrame* window : m_pHost->GetQueryWindows())
            window->Connection().m_bResultsInTextWarning = 0;
    }
    m_connection.m_bResultsInTextWarning = 0;
}

void CChildFrame::SetFindStatusText(const wxString& text)
{
    if (m_pExecution)
        m_pExecution->SetStatusText(text);
    m_wndStatusBar->SetStatusText(text, 0);
    m_wndStatusBar->SetTipText(0, text);
}

void CChildFrame::ShowSchemaPane(bool show)
{
    ClosePrintPreview();
    if (show == (m_bSchemaShown != 0))
        return;
    if (show) {
        m_pSchemaView->Show();
        m_innerShare->SplitVertically(m_pSchemaView, m_pEditorPane);
    } else {
        if (m_pActivePane == m_pSchemaView)
            ActivatePaneWindow(m_pEditorPane);
        m_wndInnerSplitter->Unsplit(m_pSchemaView);
    }
    m_bSchemaShown = show;
}

// ---- Opening the connection ----

bool CChildFrame::OpenConnection(const std::optional<wxString>& connect, bool promptEdit,
                                 const std::optional<wxString>& database)
{
    m_bDsnLessOpen =
        m_pHost ? m_pHost->IsDsnLess() : connect && IsDsnLessConnectString(connect->utf8_string());
    {
        wxBusyCursor wait;
        SetMainStatusText(kEstablishing);
        if (!Connect(connect, promptEdit)) {
            SetMainStatusText(wxString());
            return false;
        }
    }
    wxBusyCursor wait;
    SetMainStatusText(kEstablishing);
    try {
        m_connection.m_bAsyncSupported = m_connection.ProbeAsyncExecution();
        m_connection.m_nConnectionState = m_connection.m_pConnection->GetState();
    } catch (const _com_error& e) {
        SetMainStatusText(wxString());
        TVMessageBox(GetComErrorText(e), wxOK | wxICON_STOP, this);
        return false;
    }

    // The data layer has no Command object: the window has none, as when creating one fails.
    m_pExecution->Transactions().Session().PrepareOpenedConnection();

    LoadConnectionInfo(database);

    m_connection.m_nCacheSize = ClampCacheSize(m_connection.m_nCacheSize);
    try {
        if (!m_connection.m_pRecordset)
            throw _com_error(E_POINTER);
        m_connection.m_pRecordset->PutCacheSize(m_connection.m_nCacheSize);
    } catch (const _com_error&) {
        // The size is only a fetch hint; the provider's default serves as well.
        m_connection.m_nCacheSize = 100;
    }
    if (m_connection.m_strDataSource.empty())
        m_connection.m_strDataSource = "<Unknown>";

    if (m_connection.m_bAsyncSupported) {
        try {
            m_pExecution->AdviseConnectionEvents();
        } catch (const _com_error&) {
            // Without the completion events the window runs its queries synchronously.
            m_connection.m_bAsyncSupported = 0;
        }
    }

    m_pExecution->Transactions().StartTransactionMode();

    m_pSchemaView->ResetTree();
    SetMainStatusText(wxString());
    return true;
}

void CChildFrame::SetPromptProperty()
{
    m_bPromptComplete = true;
    try {
        m_connection.m_pConnection->GetProperties()->GetItem("Prompt")->PutValue(
            _variant_t(static_cast<int32_t>(ado::adPromptComplete)));
    } catch (const _com_error&) {
        // A provider without the property prompts its own way.
    }
}

void CChildFrame::OpenWithPrompt(const wxString& connectString)
{
    wxString completed = connectString;
    if (m_bPromptComplete) {
        // As a driver told to complete the login: it asks only when something is missing.
        bool cancelled = false;
        if (CConnectPromptDlg::Complete(this, completed, cancelled))
            m_strConnectString = completed;
        else if (cancelled)
            throw PromptCancelled();
    }
    m_connection.m_pConnection->Open(completed.utf8_string());
}

bool CChildFrame::Connect(const std::optional<wxString>& connect, bool promptEdit)
{
    wxString message;
    try {
        if (connect) {
            m_connection.m_pConnection = ado::Connection::Create();
            m_strConnectString = *connect;
        } else if (!m_bDsnLessOpen) {
            if (!promptEdit) {
                wxString connectString;
                if (CDataLinkDlg::PromptNew(this, connectString)) {
                    m_connection.m_pConnection = ado::Connection::Create();
                    m_strConnectString = connectString;
                }
            } else {
                if (!m_connection.m_pConnection)
                    throw _com_error(E_POINTER);
                wxString connectString = m_strConnectString;
                if (CDataLinkDlg::PromptEdit(this, connectString))
                    m_strConnectString = connectString;
                else
                    m_connection.m_pConnection.reset();
            }
        }
        if (m_connection.m_pConnection) {
            wxBusyCursor wait;
            SetMainStatusText(kEstablishing);
            if (m_bDsnLessOpen)
                SetPromptProperty();
            const wxString connectString = m_strConnectString;
            m_pExecution->Transactions().Session().ApplyLoginTimeout();
            try {
                OpenWithPrompt(connectString);
            } catch (const _com_error&) {
                if (m_bDsnLessOpen)
                    throw;
                const wxString retry = wxString::FromUTF8(MakeRetryConnectString(connectString.utf8_string()));
                if (RetryWithPromptProperty(connectString.utf8_string()))
                    SetPromptProperty();
                m_strConnectString = retry;
                OpenWithPrompt(retry);
            }
        }
    } catch (const PromptCancelled&) {
        message = "Operation was canceled.";
    } catch (const _com_error& e) {
        message = GetConnectionErrorText(m_connection.m_pConnection.get(), e);
    } catch (...) {
        message = kErrorsOccurred;
    }

    if (m_connection.m_pConnection && !IsConnectionOpen() && !message.empty() &&
        !IsCancelledPromptText(message.utf8_string())) {
        if (TVMessageBox(message, TV_RETRY_CANCEL | wxICON_QUESTION, this) == wxID_RETRY)
            Connect(std::nullopt, true);
    }
    return m_connection.m_pConnection && IsConnectionOpen();
}

bool CChildFrame::IsConnectionOpen() const
{
    try {
        return m_connection.m_pConnection && (m_connection.m_pConnection->GetState() & ado::adStateOpen) != 0;
    } catch (const _com_error&) {
        // A connection that cannot tell its state is of no use as an open one.
        return false;
    }
}

wxString CChildFrame::GetConnectionString() const
{
    if (m_connection.m_pConnection) {
        try {
            const wxString text = wxString::FromUTF8(m_connection.m_pConnection->GetConnectionString());
            if (!text.empty())
                return text;
        } catch (const _com_error&) {
            // The string the window opened with serves instead.
        }
    }
    return m_strConnectString;
}

bool CChildFrame::LoadConnectionInfo(const std::optional<wxString>& database)
{
    const bool ok = m_connection.ReadConnectionInfo();
    FillDatabaseList(database);
    return ok;
}

void CChildFrame::OnQuotesChanged()
{
    if (m_pSchemaView) {
        m_pSchemaView->m_strQuotePrefix = m_connection.m_strQuotePrefix;
        m_pSchemaView->m_strQuoteSuffix = m_connection.m_strQuoteSuffix;
    }
}

CTorvaneDoc* CChildFrame::OpenWindowOnSameConnection(const std::optional<wxString>& path)
{
    const wxString database = m_wndDatabaseList->GetStringSelection();
    // The string this window opened with: the provider's own leaves the password out, and the
    // new window would ask for the login again.
    const wxString connectString = m_strConnectString.empty() ? GetConnectionString() : m_strConnectString;
    if (!m_pHost)
        return nullptr;
    return m_pHost->NewQueryWindow(connectString, path, database);
}

void CChildFrame::OpenDroppedFiles(const std::vector<wxString>& files)
{
    try {
        Activate();
        for (const wxString& file : files) {
            if (!OpenWindowOnSameConnection(file))
                break;
            if (m_pHost && m_pHost->GetConnectionCount() > 1)
                m_pHost->CascadeWindows();
        }
    } catch (...) {
        TVMessageBox(kErrorsOccurred, wxOK | wxICON_STOP, this);
    }
}

void CChildFrame::DropFiles(const std::vector<wxString>& files)
{
    // Opening windows from inside the drop would nest the new windows' connection prompts in it.
    CallAfter([this, files] { OpenDroppedFiles(files); });
}

void CChildFrame::OnNewConnectionWindow(wxCommandEvent&)
{
    try {
        OpenWindowOnSameConnection(std::nullopt);
    } catch (...) {
        TVMessageBox(kLowResources, wxOK | wxICON_STOP, this);
    }
}

void CChildFrame::OnUpdateNewConnectionWindow(wxUpdateUIEvent& event)
{
    event.Enable(IsConnectionOpen());
}

// ---- Runs and workers ----

void CChildFrame::CancelQueryBatch()
{
    m_pExecution->CancelQueryBatch();
}

void CChildFrame::StopFindInFiles()
{
    if (m_pRunState->IsSearching())
        m_pRunState->RequestStop();
}

wxString CChildFrame::GetLastExecutedSql() const
{
    return m_pExecution->View().m_strSqlText;
}

void CChildFrame::CloseWhenRunEnds()
{
    m_pExecution->CloseWhenRunEnds();
}

bool CChildFrame::StopWorkers(std::chrono::milliseconds budget)
{
    if (!m_pExecution) {
        // Gone before its run was made: no worker can have started.
        m_pRunState->RequestStop();
        GetMailbox().Close();
        return true;
    }
    return m_pExecution->StopWorkers(budget);
}

CChildFrame::CNestedLoop::CNestedLoop(CChildFrame& frame) : m_frame(frame)
{
    ++m_frame.m_nNestedLoops;
}

CChildFrame::CNestedLoop::~CNestedLoop()
{
    if (--m_frame.m_nNestedLoops > 0)
        return;
    CChildFrame* frame = &m_frame;
    if (frame->m_bDestroyDeferred)
        frame->CallAfter([frame] { frame->Destroy(); });
    else if (frame->m_bCloseDeferred)
        frame->CallAfter([frame] {
            frame->m_bCloseDeferred = false;
            frame->Close();
        });
}

// ---- Closing and destruction ----

void CChildFrame::OnClose(wxCloseEvent& event)
{
    if (event.CanVeto()) {
        for (bool decided = false; !decided;) {
            const CQueryRunState& run = *m_pRunState;
            const CCloseState state{run.IsExecuting(), run.IsCancelling(), run.IsStopRequested(),
                                    run.IsSearching(), m_nNestedLoops > 0};
            switch (DecideClose(state)) {
            case CloseStep::AskCancelQuery:
                if (TVMessageBox("Are you sure you wish to cancel this query?", wxYES_NO | wxICON_QUESTION, this) !=
                    wxID_YES) {
                    event.Veto();
                    return;
                }
                {
                    wxBusyCursor wait;
                    CancelQueryBatch();
                }
                break;
            case CloseStep::AskStopSearch:
                if (TVMessageBox("Are you sure you wish to stop this Find in Files operation?",
                                 wxYES_NO | wxICON_QUESTION, this) != wxID_YES) {
                    event.Veto();
                    return;
                }
                StopFindInFiles();
                SetFindStatusText("Find in files canceled");
                break;
            case CloseStep::StayOpen:
                event.Veto();
                return;
            case CloseStep::Defer:
                m_bCloseDeferred = true;
                event.Veto();
                return;
            case CloseStep::CloseRecordset: {
                wxBusyCursor wait;
                try {
                    if (m_connection.m_pRecordset && m_connection.m_pRecordset->GetState() != ado::adStateClosed)
                        m_connection.m_pRecordset->Close();
                } catch (const _com_error&) {
                    // The window closes either way, and its recordset with it.
                }
                decided = true;
                break;
            }
            case CloseStep::Close:
                decided = true;
                break;
            }
        }
    }
    if (event.CanVeto() && !m_pExecution->Transactions().ConfirmPendingTransactions()) {
        event.Veto();
        return;
    }
    m_pRunState->SetClosing(true);
    if (CloseView(event)) {
        Destroy();
    } else {
        event.Veto();
        m_pRunState->SetClosing(false);
        if (!m_connection.m_bAutoCommit && m_connection.m_bTransactions)
            m_pExecution->Transactions().BeginTransaction(true);
    }
}

bool CChildFrame::Destroy()
{
    if (m_nNestedLoops > 0) {
        // Never under the window's own loop: the loop stops, and the window goes once it has unwound.
        m_pRunState->RequestStop();
        m_bDestroyDeferred = true;
        return true;
    }
    OnDestroy();
    return CChildFrameBase::Destroy();
}

void CChildFrame::OnDestroy()
{
    if (m_bDestroyed)
        return;
    m_bDestroyed = true;
    wxBusyCursor wait;
    if (m_pExecution && m_pExecution->Grids().Count() > 0)
        SetMainStatusText("Please wait...");
    m_pRunState->SetClosing(true);
    const bool allStopped = StopWorkers();
    if (m_pExecution)
        m_pExecution->OnDestroy();

    m_connection.m_pRecordset.reset();
    if (m_connection.m_pConnection) {
        // A worker that did not stop in time still uses the connection: it keeps its own
        // reference and the connection closes when that worker lets it go.
        if (allStopped) {
            try {
                if (m_connection.m_pConnection->GetState() & ado::adStateOpen)
                    m_connection.m_pConnection->Close();
            } catch (const _com_error&) {
                // The window is going: releasing the connection below ends it regardless.
            }
        }
        m_connection.m_pConnection.reset();
    }
    if (CTorvaneDoc* doc = GetQueryDoc(); doc && doc->GetFrame() == this)
        doc->SetFrame(nullptr);
    if (m_pHost) {
        m_pHost->ForgetMenuBar(GetMenuBar());
        m_pHost->RemoveQueryWindow(this);
    }
    SetMainStatusText(wxString());
}

// ---- Focus, keys and the file behind the document ----

wxWindow* CChildFrame::PaneOf(wxWindow* window) const
{
    for (wxWindow* w = window; w && w != this; w = w->GetParent()) {
        if (w == m_pSchemaView || w == m_pEditorPane || w == m_pResultView)
            return w;
    }
    return nullptr;
}

void CChildFrame::ActivatePaneWindow(wxWindow* pane)
{
    if (!pane)
        return;
    m_pActivePane = pane;
    if (pane == m_pEditorPane && m_pEditorWindow)
        m_pEditorWindow->SetFocus();
    else
        pane->SetFocus();
}

void CChildFrame::OnChildFocus(wxChildFocusEvent& event)
{
    event.Skip();
    if (wxWindow* pane = PaneOf(event.GetWindow())) {
        m_pActivePane = pane;
        m_pLastFocus = event.GetWindow();
    }
}

void CChildFrame::OnCharHook(wxKeyEvent& event)
{
    CQueryKey key;
    key.keyCode = event.GetKeyCode();
    key.ctrl = event.ControlDown();
    key.shift = event.ShiftDown();
    key.alt = event.AltDown();
    wxWindow* focus = wxWindow::FindFocus();
    for (wxWindow* w = focus; w && w != this; w = w->GetParent())
        if (w == m_wndDatabaseList)
            key.inDatabaseList = true;
    key.executing = m_pRunState->IsExecuting();
    key.findInFiles = m_pRunState->IsSearching();
    key.gridCount = m_pExecution->Grids().Count();
    key.refreshEnabled = key.keyCode == WXK_F8 && IsCommandEnabled(*GetEventHandler(), ID_REFRESH);

    const CQueryKeyRoute route = RouteQueryWindowKey(key);
    const auto switchDatabase = [this] {
        wxCommandEvent change(wxEVT_COMBOBOX, ID_DATABASE_LIST);
        change.SetEventObject(m_wndDatabaseList);
        change.SetInt(m_wndDatabaseList->GetSelection());
        change.SetString(m_wndDatabaseList->GetValue());
        m_wndDatabaseList->GetEventHandler()->ProcessEvent(change);
    };
    switch (route.action) {
    case QueryKeyAction::None:
        event.Skip();
        return;
    case QueryKeyAction::SelectDatabase:
        if (m_wndDatabaseList->SelectNextByFirstChar(wxString(route.character)) >= 0) {
            switchDatabase();
            return;
        }
        event.Skip();
        return;
    case QueryKeyAction::ReturnFocus:
    case QueryKeyAction::ReturnFocusAndSwitch: {
        wxWindow* pane = m_pActivePane ? m_pActivePane : m_pEditorPane;
        if (route.activateForF5)
            pane = pane == m_pResultView ? static_cast<wxWindow*>(m_pEditorPane) : m_pResultView;
        ActivatePaneWindow(pane);
        if (route.action == QueryKeyAction::ReturnFocusAndSwitch) {
            switchDatabase();
            return;
        }
        event.Skip();
        return;
    }
    case QueryKeyAction::Command: {
        wxEvtHandler* target = route.mainFrameCommand && GetMDIParentFrame() ? GetMDIParentFrame()->GetEventHandler()
                                                                          : GetEventHandler();
        // A key whose command does nothing now goes on to the control with the focus.
        if (!IsCommandEnabled(*target, route.commandId)) {
            event.Skip();
            return;
        }
        wxQueueEvent(target, new wxCommandEvent(wxEVT_MENU, route.commandId));
        return;
    }
    }
}

bool CChildFrame::IsCommandEnabled(wxEvtHandler& target, int id)
{
    wxUpdateUIEvent update(id);
    update.SetEventObject(this);
    return target.ProcessEvent(update) && (!update.GetSetEnabled() || update.GetEnabled());
}

void CChildFrame::OnActivate(wxActivateEvent& event)
{
    event.Skip();
    if (!event.GetActive())
        return;
    // The tabs hand the focus to the window as a whole once it is active; the window that had
    // it (or was just clicked) takes it back.
    wxWeakRef<wxWindow> focus = m_pLastFocus.get();
    CallAfter([this, focus] {
        if (focus && !m_bDestroyed && wxWindow::FindFocus() != focus && IsDescendant(wxWindow::FindFocus()))
            focus->SetFocus();
        CheckFileChanged();
    });
}

void CChildFrame::OnMainFrameActivate(wxActivateEvent& event)
{
    event.Skip();
    if (event.GetActive() && GetMDIParentFrame() && GetMDIParentFrame()->GetActiveChild() == this)
        CallAfter([this] { CheckFileChanged(); });
}

void CChildFrame::CheckFileChanged()
{
    if (m_bCheckingFile || m_pRunState->IsClosing() || m_bDestroyed)
        return;
    CTorvaneDoc* doc = GetQueryDoc();
    if (!doc || doc->GetFilename().empty())
        return;
    m_bCheckingFile = true;
    try {
        const wxString path = doc->GetFilename();
        if (FileChangedSinceAsked(doc->GetFileStatus(), CQueryFileStatus::Read(path), m_askedFileStatus)) {
            const wxString text = wxString::Format(doc->IsModified() ? kFileChangedModified : kFileChanged, path);
            if (TVMessageBox(text, wxYES_NO | wxICON_QUESTION, this) == wxID_YES) {
                wxStyledTextCtrl* edit = GetQueryView() ? GetQueryView()->GetEditCtrl() : nullptr;
                long from = 0, to = 0;
                if (edit)
                    edit->GetSelection(&from, &to);
                if (doc->OpenQueryFile(path, true)) {
                    if (edit) {
                        const long length = edit->GetLength();
                        edit->SetSelection(std::min(from, length), std::min(to, length));
                    }
                    doc->SetTitle(wxFileName(path).GetFullName());
                }
            }
        }
    } catch (...) {
        // The next activation checks again; the main loop reports the failure.
        m_bCheckingFile = false;
        throw;
    }
    m_bCheckingFile = false;
}

CChildFrame* QueryFrameOf(const CTorvaneDoc* doc)
{
    return doc ? dynamic_cast<CChildFrame*>(doc->GetFrame()) : nullptr;
}
