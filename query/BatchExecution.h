// The control path of a query window's runs: Execute takes the editor's selection or whole
// text, a splitter thread cuts it into batches at separator lines, and each batch starts on the
// UI thread, as an asynchronous open when the provider can, else on the worker of the output
// mode; at the end of each batch the run goes on, stops, or ends with its status text. Also
// Cancel, the elapsed time, the connection's event sink and the window's transaction.
//
// Everything here runs on the UI thread except the thread procedures, which reach the window
// only through the run state.
#pragma once

#include "common/CommandIds.h"
#include "ExecTimer.h"
#include "querycore/BatchFlow.h"
#include "querycore/BatchLoop.h"
#include "querycore/ConnectionEventsSink.h"
#include "querycore/PageFileUsage.h"
#include "querycore/QueryCancel.h"
#include "querycore/WorkerThread.h"
#include "ResultsText.h"
#include "RunViewState.h"
#include "RunWindow.h"
#include "TransactionControl.h"

#include <wx/event.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class CWindowConnection;
class IResultsGrids;
struct COutputMode;
class CQueryRunState;

enum : int {
    ID_MESSAGES_MODE = TVCommandId(32819),
};

// What a run started by a command other than Execute asks of it.
struct CRunOptions {
    // The output of this run only, text (true) or grids (false); the window's own choice comes
    // back when the run ends.
    std::optional<bool> resultsInText;
    // The catalog list the run fetches, or -1 for the editor's text.
    int queryKind = -1;
};

class CBatchExecution {
public:
    // Binds the window's Execute, Cancel, Results in Text and Messages commands, the keys of
    // Execute and Cancel, and the run's private messages. The run works on the window's run
    // state, connection, output mode and view state; the frame is asked for its panes.
    CBatchExecution(IRunWindow& window, std::shared_ptr<CQueryRunState> run, CWindowConnection& connection,
                    COutputMode& output);
    ~CBatchExecution();
    CBatchExecution(const CBatchExecution&) = delete;
    CBatchExecution& operator=(const CBatchExecution&) = delete;

    // ---- Runs ----

    // Execute (command 32773, F5, Ctrl+E, Alt+X): a run, when the command is enabled.
    void OnExecute(wxCommandEvent& event);
    // Open, the editor holds text, and neither a run nor a Find in Files search is under way.
    bool IsExecuteEnabled() const;
    void OnUpdateExecute(wxUpdateUIEvent& event);
    // Open, a run is under way and no cancel is in progress.
    void OnUpdateCancelQuery(wxUpdateUIEvent& event);
    // ExecuteQuery: starts a run unless one (or a Find in Files search) is under way; false when
    // none started.
    bool ExecuteQuery(const CRunOptions& options = {});
    // GetQueryText: the editor's selection, else its whole text; the search origin becomes the
    // selection's start (0 without one). False when the text could not be read.
    bool GetQueryText(wxString& text);
    // ExecuteBatch: starts one batch; a batch that completes at once (empty, or failed to start)
    // ends its step here. False when it failed to start.
    bool ExecuteBatch(const CQueuedBatch& batch);
    // OnBatchComplete: the end of a batch: the next batches start, or the run ends.
    void OnBatchComplete(int error);
    // The batch-done message of a worker.
    void OnBatchDone(int error);
    // "Errors occurred in query processing." in the output.
    void ReportProcessingError();
    // ReportError: an error tag for the current batch in the output.
    void ReportError(const wxString& text);
    // StartExecutionThread: the worker of the output mode on the batch; false when no thread
    // could start.
    bool StartExecutionThread(const ado::RecordsetPtr& recordset, const ado::ConnectionPtr& connection,
                              long recordsAffected);
    // LocateBatchInEditor: where the current batch begins in the editor, for its error tags.
    void LocateBatchInEditor(long position);
    long GetBatchStart() const { return m_nBatchStart; }
    // ResetErrorTags: the error tags of the last execution forgotten.
    void ResetErrorTags();
    // ClearResults: the results view, the grids and the timer at the start of a run.
    void ClearResults();
    // Output goes to the text buffer in this run (text or save mode).
    bool IsTextOutput() const { return m_bTextOutput; }
    // A run or a Find in Files search is under way.
    bool IsBusy() const;
    bool IsExecuting() const;
    // The grid-mode run left messages to show.
    bool HasMessages() const;
    // Clear All of the results text: the buffer shown (the messages, else the text output) is
    // emptied.
    void ClearShownOutput(bool messages);
    // Neither the messages nor the text output hold anything.
    bool IsOutputEmpty() const;
    // An Execute and Save As run is next: no result set saved yet, no files for its export step.
    void BeginSaveRun() { m_run.BeginSaveRun(); }

    // The memory figure a run consults before each batch: 99 or more stops it.
    std::function<int()> m_fnPageFileUsage = GetPageFileUsagePercent;

    // Called between the batches and at the end of a run whose text may have changed the
    // current database (USE on a server with a database list): the first keeps the provider's
    // current catalog in step, the second makes the window follow it. The third gets the text
    // whose SET options a T-SQL server keeps.
    std::function<void()> m_fnReadCurrentDatabase;
    std::function<void()> m_fnRefreshCurrentDatabase;
    std::function<void(const wxString&)> m_fnTrackSetOptions;
    // Called as a run starts: the window forgets the hits of an earlier Find in Files search.
    std::function<void()> m_fnRunStarting;

    // ---- What the window shows of the run ----

    const CRunViewState& View() const { return m_view; }
    // The run's results grids, which the window's grid messages make, fill and show.
    CResultGridList& Grids() { return m_view.m_grids; }
    // Status pane 0.
    void SetStatusText(const wxString& text) { m_view.m_strStatusText = text; }
    // The result-set pane's text as the window last worked it out.
    void SetResultsPaneText(const wxString& text) { m_view.m_strResultsPaneText = text; }
    // The elapsed-time and result-set panes as before any run (Clear All emptied everything).
    void ResetPaneTexts();
    // A command-line run: the window closes when the run ends (unless it failed or holds a
    // transaction open).
    void CloseWhenRunEnds() { m_view.m_bCloseWhenDone = 1; }
    // The run's workers are told to stop, a statement under way is cancelled, a worker waiting
    // for the window's answer is answered with failure, then a join bounded by the budget for
    // all threads together. A thread still running afterwards is let go; it holds only the
    // shared state. True when every thread ended in time.
    bool StopWorkers(std::chrono::milliseconds budget);

    // ---- Cancel ----

    void OnCancelQuery(wxCommandEvent& event);
    // CancelQueryBatch: stops the splitter and cancels the running statement; nothing while no
    // run is under way or a cancel is already in progress.
    void CancelQueryBatch();

    // ---- The connection's events ----

    // AdviseConnectionEvents: the sink, listening to the connection; throws _com_error.
    void AdviseConnectionEvents();
    // UnadviseConnectionEvents: the sink withdrawn (when it was advised).
    void UnadviseConnectionEvents();
    bool IsEventSinkAdvised() const { return m_dwEventCookie != -1; }

    // ---- Collaborators ----

    CTransactionControl& Transactions() { return m_transactions; }
    CExecTimer& Timer() { return m_timer; }
    CResultsText& ResultsText() { return m_text; }
    void SetResultsGrids(IResultsGrids* grids);

    // The window goes: the timer stops, an empty transaction is rolled back, the sink withdrawn.
    void OnDestroy();

private:
    struct BatchStart {
        bool started = false;
        int error = 0; // when the batch completed at once
    };
    BatchStart StartBatch(const CQueuedBatch& batch);
    BatchStart ExecuteNextBatch(const CQueuedBatch& batch, int previousFailed);
    // The end of a run, in its steps.
    void FinishRun(int error);
    void DropRemainingBatches();
    // The run's closing line in the output; the texts of the run's end.
    CRunEndTexts AppendRunEndText(bool gridCreated);
    void ShowRunOutput(const CRunEndTexts& end, bool gridCreated);
    // Back from the schema pane's own mode and from save mode.
    void RestoreOutputMode();
    void MarkRunEnded();
    // The current database, the kept SET options and the database list after the run.
    void RefreshConnectionContext(int error);
    void ReportCommandLineRunEnd();
    // Stop and error flags, the one-run row limit and the catalog query kind.
    void ResetRunOptions();
    bool StartSplitter();
    // A failed asynchronous open: reported by a thread of its own once a pending cancel is done.
    bool StartFailedCompletion(const wxString& errorText);
    // After the last batch of a save run: starts the export/publish step when the run left it
    // a file (and the last batch's error does not stop the run). True when it started.
    bool StartExportStep(int error);
    void OnExecuteComplete(const CConnectionEventsSink::Completion& completion);
    void OnCancelDone();
    void OnTimer();
    void OnCharHook(wxKeyEvent& event);
    void CloseRecordset();
    void SetMainStatusText(const wxString& text);
    bool IsGridFilling() const;
    void CloseWhenDone();
    // After a save batch: the window takes the focus back from the dialog that started it.
    void FocusAfterSaveBatch();

    // A worker that has finished posts its message as its last act; the wait is short.
    static void Reap(std::unique_ptr<CWorkerThread>& thread);

    IRunWindow& m_window;
    // Shared with the run's workers, which may outlive the window.
    const std::shared_ptr<CQueryRunState> m_pRun;
    CQueryRunState& m_run;
    CWindowConnection& m_connection;
    COutputMode& m_output;
    CRunViewState m_view;
    CTransactionControl m_transactions;
    CResultsText m_text;
    CExecTimer m_timer;
    IResultsGrids* m_pGrids = nullptr;

    std::unique_ptr<CConnectionEventsSink> m_pEventSink;
    long m_dwEventCookie = -1;

    bool m_bTextOutput = false;
    // The output mode the window had before a run that chose its own.
    std::optional<bool> m_restoreResultsInText;
    long m_nRunSerial = 0;
    long m_nBatchStart = 0;
    wxString m_strLastBatch;   // the text of the batch started last
    bool m_bBatchInFlight = false;
    bool m_bAsyncOpenPending = false;
    // Which queued batch runs next: the policy the batch run shares.
    CBatchLoop m_loop;
    std::shared_ptr<CCancelTicket> m_pCancelTicket;
};
