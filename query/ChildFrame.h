// The query window: a tab of the main window that owns one connection, the schema, editor and
// results panes, its own toolbar and status bar, the settings copied when it was created, and the
// worker threads of a run. Workers reach it only through its private messages and the locked
// buffers of the shared run state; closing stops them before anything they use goes away.
#pragma once

#include "BatchExecution.h"
#include "editor/EditorHost.h"
#include "editor/GotoLineDlg.h"
#include "editor/TorvaneDoc.h"
#include "ExecuteAndSaveAs.h"
#include "querycore/FindInFiles.h"
#include "querycore/FrameMailbox.h"
#include "querycore/MessagesBuffer.h"
#include "querycore/OutputMode.h"
#include "querycore/QueryRunState.h"
#include "querycore/WorkerThread.h"
#include "ResultsHost.h"
#include "TVStatusBar.h"
#include "WindowConnection.h"

#include <wx/aui/tabmdi.h>
#include <wx/docview.h>
#include <wx/weakref.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CItemComboBoxEx;
class CMSHFlexGrid;
class CPrintPreviewPane;
class wxPrintPreview;
class IQueryHost;
class CSchemaPane;
class CQryView;
class CResultView;
class wxImageList;
class wxPanel;
class wxSplitterWindow;
class CSplitterShare;
class wxSizer;
class wxToolBar;

typedef wxDocChildFrameAny<wxAuiMDIChildFrame, wxAuiMDIParentFrame> CChildFrameBase;

class CChildFrame : public CChildFrameBase, public IEditorHost, public IResultsHost {
public:
    // The frame registers itself as the view's frame; the view then puts its editor into
    // GetEditorPane() and hands it over with SetEditorWindow(). The host is the application
    // shell around the window, normally the parent itself.
    CChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, IQueryHost& host);
    ~CChildFrame() override;

    // ---- Opening the connection ----

    // Connects the window (no connect string: the data link dialog asks) and prepares it for
    // execution; the database is selected when one is named. False when no connection opened;
    // the caller then destroys the window.
    bool OpenConnection(const std::optional<wxString>& connect, bool promptEdit = false,
                        const std::optional<wxString>& database = std::nullopt);
    // Obtains and opens the connection; true when it is open. Retry in the failure box calls it
    // again without a string, to edit the failed connection.
    bool Connect(const std::optional<wxString>& connect, bool promptEdit);
    // From now on a failed open asks for the login attributes the string lacks.
    void SetPromptProperty();
    // A new query window on this window's connect string, opening the file when one is given,
    // with this window's database selected.
    CTorvaneDoc* OpenWindowOnSameConnection(const std::optional<wxString>& path);
    // Each file in a new window on the same connection; stops at the first that fails.
    void OpenDroppedFiles(const std::vector<wxString>& files);
    // Reads the connection information and fills the database list; false when something
    // unexpected stopped it.
    bool LoadConnectionInfo(const std::optional<wxString>& database);

    // The connection and what is known of it.
    CWindowConnection& Connection() override { return m_connection; }
    const CWindowConnection& Connection() const { return m_connection; }
    wxString GetConnectionString() const;
    bool IsConnectionOpen() const override;
    void SetDsnLessConnection(bool dsnLess) { m_bDsnLessConnection = dsnLess; }
    bool IsDsnLessConnection() const { return m_bDsnLessConnection; }

    // ---- Panes ----

    wxWindow* GetEditorPane() const override { return m_pEditorPane; }
    void SetEditorWindow(wxWindow* editor) override;
    bool IsEditorPaneActive() const override { return m_pActivePane == m_pEditorPane; }
    void ActivateWindow() override { Activate(); }
    bool GetTitleConnection(CQueryTitleConnection& connection) const override;
    wxString GetLastExecutedSql() const override;
    CSchemaPane* GetSchemaView() const override { return m_pSchemaView; }
    CQryView* GetQueryView() const override;
    CResultView* GetResultView() const { return m_pResultView; }
    CTorvaneDoc* GetQueryDoc() const override;
    CItemComboBoxEx* GetDatabaseList() const override { return m_wndDatabaseList; }
    CTVStatusBar* GetQueryStatusBar() const override { return m_wndStatusBar; }
    // The window as its runs see it.
    wxWindow& GetRunWindow() override { return *this; }
    wxStyledTextCtrl* GetResultsText() const override;
    wxString GetRunTitle() const override { return GetTitle(); }
    void ActivateRunWindow() override { Activate(); }
    bool IsActiveQueryWindow() const override;
    void TurnOffResultsInTextWarning() override;

    void ShowSchemaPane(bool show);
    // The default pane sizes: the editor row two thirds of the height, the schema column a
    // quarter of the width; the panes keep these shares through resizes until the user moves
    // a sash.
    void SetDefaultPaneSizes();
    // The panes take their default sizes at the window's next change of size (after the windows
    // were arranged anew or the main window maximised).
    void SetDefaultPaneSizesOnNextSize() { m_bDefaultSizesPending = true; }
    bool IsSchemaPaneShown() const { return m_bSchemaShown; }

    // Pane 0 text and its tip.
    void SetFindStatusText(const wxString& text) override;

    // ---- Runs and workers ----

    // Stops the running batch: stop flag, cancelling flag, Cancel on the running statement.
    void CancelQueryBatch();
    // Asks a Find in Files search to stop at its next check.
    void StopFindInFiles();
    // The shutdown of the workers: stop flag, Cancel on the running statement, every request
    // from a worker answered with failure, then a join bounded by the budget for all threads
    // together. A thread still running afterwards is let go; it holds only the shared state.
    // True when every thread ended in time.
    bool StopWorkers(std::chrono::milliseconds budget = std::chrono::milliseconds(1000));

    // The runs of the window: Execute, batches, Cancel, elapsed time, the connection's events
    // and the window's transaction.
    CBatchExecution& GetExecution() const override { return *m_pExecution; }
    // Results in text or in grids, and the save mode of the next run.
    COutputMode& OutputMode() { return m_output; }
    const COutputMode& OutputMode() const { return m_output; }
    // Execute and Save As, and the save options of its runs.
    CExecuteAndSaveAs& GetSaveAs() const { return *m_pSaveAs; }

    // A command-line run: the window closes when the run ends (unless it failed or holds a
    // transaction open).
    void CloseWhenRunEnds();
    bool IsExecuting() const { return m_pRunState->IsExecuting(); }
    bool IsFindInFilesRunning() const { return m_pRunState->IsSearching(); }
    // A run or a Find in Files search is under way: the one answer to whether the window is busy.
    bool IsBusy() const { return m_pRunState->IsBusy(); }
    CFrameMailbox& GetMailbox() const { return m_pRunState->Mailbox(); }

    // Marks a loop of this window that pumps messages (Find in Files, the schema search) for as
    // long as it lives. A close or destruction asked for meanwhile waits until the last such
    // loop has unwound.
    class CNestedLoop {
    public:
        explicit CNestedLoop(CChildFrame& frame);
        ~CNestedLoop();
        CNestedLoop(const CNestedLoop&) = delete;
        CNestedLoop& operator=(const CNestedLoop&) = delete;

    private:
        CChildFrame& m_frame;
    };
    bool IsInNestedLoop() const { return m_nNestedLoops > 0; }

    // Asks whether to reload the document's file when it changed outside the window.
    void CheckFileChanged();

    // The application shell around the window; null once it has gone.
    IQueryHost* GetHost() const override { return m_pHost; }
    // The shell is going away before the window: from now on the window does without it.
    void DetachHost() { m_pHost = nullptr; }

    // A closed window leaves the main window's list at once; the window itself is deleted later.
    bool Destroy() override;

    // A tab is a plain child window on GTK, not a top-level one: its realisation is a child's.
    void GTKHandleRealized() override { wxWindow::GTKHandleRealized(); }

    // ---- Results grids (ChildFrameGrids.cpp) ----

    // The grid worker's requests.
    LRESULT OnCreateResultGrid(const CCreateResultGrid& request);
    LRESULT OnSetGridRows(const CSetGridRows& request);
    LRESULT OnSetGridRedraw(const CSetGridRedraw& request);
    // Grid n (1-based) of this run, or null.
    CMSHFlexGrid* GetResultGrid(int n) const override;
    // Shows grid n and writes the result-set pane text.
    void UpdateGridStatus(CMSHFlexGrid* grid, int n) override;
    // At the end of a grid-mode batch: shows the current grid.
    void ShowResults() override;
    void HideAllGrids() override;
    void DestroyAllGrids() override;
    // Moves the window to (0, 0) with the given size, repeating while it takes another size.
    void ForceWindowSize(wxWindow* window, int width, int height) override;
    // Every grid of the run takes the font; the grids made later measure it anew.
    void SetGridFont(const wxFont& font);
    void SetGridFontEverywhere(const wxFont& font) override;
    void ApplyResultFontEverywhere() override;
    // "Results grid #%d of %d; %lu row(s); %lu col(s)" for grid n.
    wxString GetGridStatusText(CMSHFlexGrid* grid, int n) const;

    // ---- Database context (ChildFrameDatabase.cpp) ----

    // Fills the database list from the server's databases and selects the current one; a
    // failure leaves its label selected in the list. False on failure.
    bool LoadDatabaseList();
    // Reads the current database and selects it in the list (the blank entry when the list does
    // not hold it); true when the list holds it.
    bool SelectCurrentDatabase();
    // The current database as the server tells it; empty where it cannot.
    wxString GetCurrentDatabase();
    // Switches the connection to the database; throws _com_error when that fails.
    void ChangeDatabase(const wxString& name);
    // After a run that may have switched the database: the window follows the server's current
    // database. False when it could not be read.
    bool RefreshCurrentDatabase();
    // Follows the SET QUOTED_IDENTIFIER and SET ANSI_DEFAULTS statements of an executed text.
    void TrackSetOptions(const wxString& text);

    // ---- Error navigation (ChildFrameErrors.cpp) ----

    // Next and Previous Error Batch/Tag (F4 and Shift+F4; F8 and Shift+F8 when Refresh is off).
    void OnNextErrorBatch(wxCommandEvent& event);
    void OnPreviousErrorBatch(wxCommandEvent& event);
    bool HasErrorBatches() const override;
    // Shows an error batch: its error text selected in the results pane, the first line of its
    // batch in the editor.
    void GoToErrorBatch(const CErrorTagEntry& entry);
    // Looks the tag up in the error batch list (the list's cursor goes to it): the batch start,
    // or -1.
    long FindErrorBatch(const wxString& tag) override;
    // Selects the line of the editor where a failed batch began and activates the editor.
    void SelectBatchLine(long batchStart) override;

    // ---- Find in Files (ChildFrameFindInFiles.cpp) ----

    // Find in Files (Ctrl+Shift+F): the dialog, then the search in this window, its report in
    // the results pane. The window's events are handled between the steps of the search.
    void OnFindInFiles(wxCommandEvent& event);
    // Runs a search to its end (or its stop) on this window's thread.
    void RunFindInFiles(const CFindInFilesRequest& request);
    // Esc during a search: it stops at its next step.
    void OnStopFindInFiles(wxCommandEvent& event);
    bool IsFindInFilesTagMode() const override { return m_bFindInFilesTagMode; }
    bool OpenFindInFilesHitAtLine(long line) override;
    bool HasFindInFilesHitAtLine(long line) const override;
    // Opens the file of a hit through the application (into the active window, after its save
    // question) and selects the occurrence.
    bool OpenFindInFilesHit(const CFindInFilesHit& hit);
    const std::vector<CFindInFilesHit>& GetFindInFilesHits() const { return m_findHits; }

    // ---- Status bar and panes (ChildFramePanes.cpp) ----

    // Shows or hides the results pane (the Output command).
    void OnViewOutput() override;
    void ActivateEditorPane() override;
    void ActivateResultsPane() override;
    void ActivateSchemaPane();
    // Moves the focus as F6 (forward) or Shift+F6 does.
    void MoveFocusToPane(bool next);
    // What the Go To dialog moves in: the editor's lines, the results text's lines, the current
    // grid's rows, or nothing (the schema pane).
    CGoToPane GetGoToPane();
    // Brings the status bar panes up to date (their update handlers).
    void UpdateStatusPanes() override;
    bool IsOutputPaneShown() const override { return m_bOutputShown != 0; }

    // ---- Print preview (ChildFramePreview.cpp) ----

    // The window shows a print preview in place of its bars and panes.
    bool IsPrintPreviewActive() const override { return m_pPreviewPane != nullptr; }
    CPrintPreviewPane* GetPrintPreviewPane() const { return m_pPreviewPane; }
    // Shows the preview, which the window keeps until it closes; ended runs then.
    void ShowPrintPreview(std::unique_ptr<wxPrintPreview> preview, std::function<void()> ended) override;
    // Closes the print preview when one is shown.
    void ClosePrintPreview() override;

private:
    // Entering or leaving the preview: the bars and panes are hidden, or shown again as they were.
    void OnSetPreviewMode(bool preview);
    void OnPrintPreviewCommand(wxCommandEvent& event);
    void OnUpdatePrintPreview(wxUpdateUIEvent& event);
    // The quotes in force go to the schema pane.
    void OnQuotesChanged();
    void CreatePanes();
    // The toolbar, database list and status bar (ChildFramePanes.cpp).
    void CreateBars(wxSizer* sizer);
    void BindResultGrids();
    void BindPaneCommands();
    void BindCompanionCommands();
    void OnOdbcDriverInfo(wxCommandEvent& event);
    void OnProviderTypes(wxCommandEvent& event);
    wxFont GetConfiguredGridFont() const;
    void OnGridCommand(wxCommandEvent& event);
    void OnUpdateGridCommand(wxUpdateUIEvent& event);
    void OnViewOutputCommand(wxCommandEvent& event);
    void OnUpdateViewOutput(wxUpdateUIEvent& event);
    void OnViewSchema(wxCommandEvent& event);
    void OnUpdateViewSchema(wxUpdateUIEvent& event);
    void OnPaneCommand(wxCommandEvent& event);
    void OnFocusDatabaseList(wxCommandEvent& event);
    // Alt+0 and Ctrl+M (schema), Alt+2 (output), Alt+D (database list).
    void OnPaneKeys(wxKeyEvent& event);
    bool IsViewOutputEnabled();
    void OnSysColourChanged(wxSysColourChangedEvent& event);
    void OnStatusBarUpdate(wxUpdateUIEvent& event);
    void UpdateLineColumnPane();
    // Widens status pane index to fit text (panes never narrow).
    void FitStatusPane(int index, const wxString& text);
    // The pane widths, shared out when the bar is narrower than they need.
    void ApplyStatusWidths();
    // The elapsed-time and result-set panes show the run's texts, the first pane sized for them.
    void ShowRunPaneTexts();
    // Menu commands go to the active pane first (and to the editor only while it is the active
    // one), then to the document.
    bool TryBefore(wxEvent& event) override;
    // The command is handled and enabled, as its menu item would show it.
    bool IsCommandEnabled(wxEvtHandler& target, int id);
    void SetMainStatusText(const wxString& text);
    // One open attempt; with the prompt set, login attributes the string lacks are asked for
    // first.
    void OpenWithPrompt(const wxString& connectString);
    void FillDatabaseList(const std::optional<wxString>& database);
    void CreateDatabaseListImages();
    void BindDatabaseCommands();
    // Selects the item of the name, or the blank entry when the list does not hold it.
    void SelectDatabaseItem(const wxString& name);
    // A new current database: the schema tree starts again and the title names it.
    void OnDatabaseChanged();
    void OnChangeDatabase(wxCommandEvent& event);
    bool IsProviderCommandEnabled() const;
    // Lists the provider's keywords or literals (the schema rowset of kind) in a grid through
    // the window's execution, with a note of the list at the end of the editor.
    void DumpProviderList(int kind, const wxString& note);
    void OnDumpKeywords(wxCommandEvent& event);
    void OnDumpLiterals(wxCommandEvent& event);
    void BindErrorCommands();
    void BindFindInFilesCommands();
    void OnUpdateFindInFiles(wxUpdateUIEvent& event);
    void OnUpdateStopFindInFiles(wxUpdateUIEvent& event);
    // The pane's text, header first, as the search hands it out.
    void AppendFindOutput(const wxString& text);
    void ShowOccurrences(const wxString& text);
    // Next and Previous walk the hits when there are no error batches.
    void GoToFindInFilesHit(bool next);
    void OnUpdateErrorBatch(wxUpdateUIEvent& event);
    // The pane (schema, editor or results) holding the window, or null.
    wxWindow* PaneOf(wxWindow* window) const;
    void ActivatePaneWindow(wxWindow* pane);
    void OnDestroy();

    void OnClose(wxCloseEvent& event);
    void OnActivate(wxActivateEvent& event);
    void OnMainFrameActivate(wxActivateEvent& event);
    void OnChildFocus(wxChildFocusEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void DropFiles(const std::vector<wxString>& files);
    void OnNewConnectionWindow(wxCommandEvent& event);
    void OnUpdateNewConnectionWindow(wxUpdateUIEvent& event);

    wxSplitterWindow* m_wndOuterSplitter = nullptr; // editor row over results row
    wxSplitterWindow* m_wndInnerSplitter = nullptr; // schema column beside editor column
    CSchemaPane* m_pSchemaView = nullptr;
    wxPanel* m_pEditorPane = nullptr;
    wxWindow* m_pEditorWindow = nullptr;
    CResultView* m_pResultView = nullptr;
    wxToolBar* m_wndToolBar = nullptr;
    CItemComboBoxEx* m_wndDatabaseList = nullptr;
    std::unique_ptr<wxImageList> m_pDatabaseImages;
    CTVStatusBar* m_wndStatusBar = nullptr;
    int m_nPaneWidths[5] = {};
    int m_bShownAutoCommit = -1;
    wxWindow* m_pActivePane = nullptr;
    // The window inside a pane that last had the focus. Activating the window by a click into it
    // has the tabs give the focus to the window itself; it goes back here.
    wxWeakRef<wxWindow> m_pLastFocus;
    static constexpr double kEditorShare = 2.0 / 3.0;
    static constexpr double kSchemaShare = 0.25;
    std::unique_ptr<CSplitterShare> m_outerShare;
    std::unique_ptr<CSplitterShare> m_innerShare;
    int m_nInitialSizes = 0;
    bool m_bDefaultSizesPending = false;

    std::shared_ptr<CQueryRunState> m_pRunState;
    IQueryHost* m_pHost;
    CWindowConnection m_connection;
    COutputMode m_output;
    std::unique_ptr<CBatchExecution> m_pExecution;
    std::unique_ptr<CExecuteAndSaveAs> m_pSaveAs;

    wxString m_strConnectString; // the string the connection was last opened (or tried) with
    bool m_bDsnLessConnection = false;
    bool m_bDsnLessOpen = false; // the window is being opened on a DSN-less login
    bool m_bPromptComplete = false;
    bool m_bDatabaseListInUse = false;

    wxString m_strLineColText = "Ln 1, Col 1";
    int m_bSchemaShown = 1;
    int m_bOutputShown = 1;
    int m_bLargeFonts = 0;
    // Grid font size in whole points and twips per pixel, measured on the first grid (-1 until then).
    int m_nFontPoints = -1;
    int m_nTwipsPerPixel = -1;
    // Set while a print preview of the window is shown.
    int m_bPreviewMode = 0;
    CPrintPreviewPane* m_pPreviewPane = nullptr;
    std::function<void()> m_previewEnded;

    // The hits of the last search, in report order, and the one Next/Previous stands on (-1:
    // before the first).
    std::vector<CFindInFilesHit> m_findHits;
    long m_nHitCursor = -1;
    bool m_bFindInFilesTagMode = false;
    bool m_bFindFileNamesOnly = false;

    int m_nNestedLoops = 0;
    bool m_bCloseDeferred = false;
    bool m_bDestroyDeferred = false;
    bool m_bDestroyed = false;
    bool m_bCheckingFile = false;
    // The file status last asked about, so the question comes once per change.
    CQueryFileStatus m_askedFileStatus;
};

// The query window of a query document, or null while it has none.
CChildFrame* QueryFrameOf(const CTorvaneDoc* doc);
