#include "BatchExecution.h"
#include "editor/TorvaneDoc.h"
#include "querycore/OutputMode.h"
#include "RunViewState.h"
#include "TVStatusBar.h"
#include "WindowConnection.h"

#include "common/CommandIds.h"
#include "common/ErrorText.h"
#include "common/TextPositions.h"
#include "editor/QryView.h"
#include "querycore/BatchFlow.h"
#include "querycore/BatchSplitter.h"
#include "querycore/ExportResultsWorker.h"
#include "querycore/PageFileUsage.h"
#include "querycore/SaveWorker.h"
#include "querycore/TextWorker.h"
#include "QueryHost.h"
#include "QueryKeyRouting.h"
#include "ResultsGrids.h"

#include "common/ItemComboBoxEx.h"

#include <wx/statusbr.h>
#include <wx/stc/stc.h>
#include <wx/utils.h>

#include <optional>

namespace {

const char* const kNoSqlText = "Unable to retrieve SQL text. An unknown error has occurred.";
const char* const kErrorsOccurred = "Errors occurred.";
constexpr size_t kLongBatch = 25000;

// The splitter thread: the batches of the text into the queue, the first one started on the
// UI thread (which it waits for), then WM_BATCHSPLITDONE with the run's serial.
void SplitBatchesThreadProc(std::shared_ptr<CQueryRunState> state, std::string text, std::string separator,
                            long origin, bool textOutput, long runSerial)
{
    bool failed = false;
    try {
        const std::vector<Batch> batches = BatchSplitter(separator).Split(text, &state->StopFlag());
        std::vector<CQueuedBatch> queued;
        if (!state->IsStopRequested()) {
            queued.reserve(batches.size());
            for (const Batch& batch : batches)
                queued.push_back({wxString::FromUTF8(batch.text), origin + batch.position});
        }
        state->ReplaceBatches(std::move(queued));
        std::optional<CQueuedBatch> first;
        if (!state->IsStopRequested())
            first = state->TakeBatch();
        if (first && !state->IsStopRequested())
            state->Mailbox().Send(CExecuteBatchRequest{&*first});
    } catch (...) {
        if (!state->IsStopRequested()) {
            failed = true;
            state->AppendOutput(textOutput, "Errors occurred in query processing.");
        } else {
            state->DropBatches();
        }
    }
    WaitForCancelDone(*state);
    state->Mailbox().Post(CBatchSplitDone{failed, runSerial});
}

} // namespace

void CBatchExecution::Reap(std::unique_ptr<CWorkerThread>& thread)
{
    if (thread) {
        thread->Wait(std::chrono::milliseconds(200));
        thread.reset();
    }
}

CBatchExecution::CBatchExecution(IRunWindow& window, std::shared_ptr<CQueryRunState> run,
                                 CWindowConnection& connection, COutputMode& output)
    : m_window(window), m_pRun(std::move(run)), m_run(*m_pRun), m_connection(connection), m_output(output),
      m_transactions(window.GetRunWindow(), connection, m_view,
                     [this](const wxString& text) { SetMainStatusText(text); }),
      m_text(window, m_run, m_view, output, connection),
      m_timer(m_view, connection, window.GetQueryStatusBar(), [this] { OnTimer(); }),
      m_loop(m_run, [this] { return m_fnPageFileUsage(); }), m_pCancelTicket(std::make_shared<CCancelTicket>())
{
    ResetPaneTexts();
    wxWindow& frame = m_window.GetRunWindow();
    frame.Bind(wxEVT_MENU, &CBatchExecution::OnExecute, this, ID_QUERY_EXECUTE);
    frame.Bind(wxEVT_MENU, &CBatchExecution::OnCancelQuery, this, ID_QUERY_CANCEL);
    frame.Bind(wxEVT_MENU, &CResultsText::OnResultsInText, &m_text, ID_RESULTS_IN_TEXT);
    frame.Bind(wxEVT_MENU, &CResultsText::OnMessagesMode, &m_text, ID_MESSAGES_MODE);
    frame.Bind(wxEVT_UPDATE_UI, &CResultsText::OnUpdateResultsInText, &m_text, ID_RESULTS_IN_TEXT);
    frame.Bind(wxEVT_UPDATE_UI, &CResultsText::OnUpdateMessagesMode, &m_text, ID_MESSAGES_MODE);
    frame.Bind(wxEVT_UPDATE_UI, &CBatchExecution::OnUpdateExecute, this, ID_QUERY_EXECUTE);
    frame.Bind(wxEVT_UPDATE_UI, &CBatchExecution::OnUpdateCancelQuery, this, ID_QUERY_CANCEL);
    frame.Bind(wxEVT_CHAR_HOOK, &CBatchExecution::OnCharHook, this);
    if (wxStatusBar* bar = m_window.GetQueryStatusBar())
        bar->Bind(wxEVT_LEFT_DOWN, &CTransactionControl::OnStatusBarClick, &m_transactions);

    CFrameMailbox& mailbox = m_run.Mailbox();
    mailbox.SetHandler<CExecuteBatchRequest>([this](const CExecuteBatchRequest& request) -> LRESULT {
        // A batch the splitter sent after the run was stopped or ended is not started.
        if (!m_run.IsExecuting() || m_view.m_bFinishing || m_run.IsStopRequested())
            return -1;
        return ExecuteBatch(*request.batch) ? 0 : -1;
    });
    mailbox.SetHandler<CBatchSplitDone>([this](const CBatchSplitDone& done) -> LRESULT {
        if (done.runSerial != m_nRunSerial)
            return 0; // the splitter of a run that ended already
        Reap(m_view.m_pSplitterThread);
        m_run.SetSplitterRunning(false);
        if (!m_run.IsExecuting() || m_view.m_bFinishing)
            return 0;
        // A batch under way ends the run (or goes on) when it ends.
        if (m_bBatchInFlight) {
            if (done.failed)
                m_run.MarkErrors();
            return 0;
        }
        if (!done.failed && !m_run.IsStopRequested())
            return 0;
        OnBatchComplete(done.failed ? 1 : 0);
        return 0;
    });
    mailbox.SetHandler<CTextBatchDone>([this](const CTextBatchDone& done) -> LRESULT {
        OnBatchDone(done.failed ? 1 : 0);
        return 0;
    });
    mailbox.SetHandler<CGridBatchDone>([this](const CGridBatchDone& done) -> LRESULT {
        OnBatchDone(done.failed ? 1 : 0);
        return 0;
    });
    mailbox.SetHandler<CSaveBatchDone>([this](const CSaveBatchDone& done) -> LRESULT {
        // The export/publish step leaves its file to open here: programs start from this thread.
        const int openFailed = m_bBatchInFlight ? OpenExportResult(m_run) : 0;
        OnBatchDone(done.failed || openFailed ? 1 : 0);
        FocusAfterSaveBatch();
        return 0;
    });
    mailbox.SetHandler<CCancelDone>([this](const CCancelDone&) -> LRESULT {
        OnCancelDone();
        return 0;
    });
    mailbox.SetHandler<CExecuteComplete>([this](const CExecuteComplete&) -> LRESULT {
        if (m_pEventSink) {
            for (const auto& completion : m_pEventSink->TakeCompletions())
                OnExecuteComplete(completion);
        }
        return 0;
    });
}

CBatchExecution::~CBatchExecution()
{
    m_timer.Stop();
    wxWindow& frame = m_window.GetRunWindow();
    frame.Unbind(wxEVT_MENU, &CBatchExecution::OnExecute, this, ID_QUERY_EXECUTE);
    frame.Unbind(wxEVT_MENU, &CBatchExecution::OnCancelQuery, this, ID_QUERY_CANCEL);
    frame.Unbind(wxEVT_MENU, &CResultsText::OnResultsInText, &m_text, ID_RESULTS_IN_TEXT);
    frame.Unbind(wxEVT_MENU, &CResultsText::OnMessagesMode, &m_text, ID_MESSAGES_MODE);
    frame.Unbind(wxEVT_UPDATE_UI, &CResultsText::OnUpdateResultsInText, &m_text, ID_RESULTS_IN_TEXT);
    frame.Unbind(wxEVT_UPDATE_UI, &CResultsText::OnUpdateMessagesMode, &m_text, ID_MESSAGES_MODE);
    frame.Unbind(wxEVT_UPDATE_UI, &CBatchExecution::OnUpdateExecute, this, ID_QUERY_EXECUTE);
    frame.Unbind(wxEVT_UPDATE_UI, &CBatchExecution::OnUpdateCancelQuery, this, ID_QUERY_CANCEL);
    frame.Unbind(wxEVT_CHAR_HOOK, &CBatchExecution::OnCharHook, this);
    if (wxStatusBar* bar = m_window.GetQueryStatusBar())
        bar->Unbind(wxEVT_LEFT_DOWN, &CTransactionControl::OnStatusBarClick, &m_transactions);
}

void CBatchExecution::SetResultsGrids(IResultsGrids* grids)
{
    m_pGrids = grids;
    m_text.SetResultsGrids(grids);
}

void CBatchExecution::SetMainStatusText(const wxString& text)
{
    if (m_window.GetHost())
        m_window.GetHost()->SetStatusMessage(text);
}

bool CBatchExecution::IsGridFilling() const
{
    return m_pGrids && m_pGrids->IsFilling();
}

// ---- Runs ----

void CBatchExecution::ResetPaneTexts()
{
    m_view.m_strExecTime = m_connection.m_bMsAccuracy ? "Exec time: 00:00:00.000" : "Exec time: 00:00:00";
    m_view.m_strResultsPaneText = "Results grid #0 of 0; 0 row(s); 0 col(s)";
}

bool CBatchExecution::StopWorkers(std::chrono::milliseconds budget)
{
    m_run.RequestStop();
    m_run.CancelRunningStatement();
    // A worker waiting for the window's answer gets -1 now instead of waiting for ever.
    m_run.Mailbox().Close();
    const auto deadline = std::chrono::steady_clock::now() + budget;
    bool allEnded = true;
    for (std::unique_ptr<CWorkerThread>* thread :
         {&m_view.m_pExportThread, &m_view.m_pCancelThread, &m_view.m_pExecThread, &m_view.m_pSplitterThread}) {
        if (*thread) {
            allEnded = (*thread)->WaitUntil(deadline) && allEnded;
            thread->reset();
        }
    }
    return allEnded;
}

bool CBatchExecution::IsBusy() const
{
    return m_run.IsBusy();
}

bool CBatchExecution::IsExecuting() const
{
    return m_run.IsExecuting();
}

bool CBatchExecution::HasMessages() const
{
    return m_run.HasMessages();
}

void CBatchExecution::ClearShownOutput(bool messages)
{
    m_run.ClearOutput(messages, !messages);
}

bool CBatchExecution::IsOutputEmpty() const
{
    return m_run.IsOutputEmpty(false) && m_run.IsOutputEmpty(true);
}

bool CBatchExecution::IsExecuteEnabled() const
{
    CQryView* view = m_window.GetQueryView();
    wxStyledTextCtrl* edit = view ? view->GetEditCtrl() : nullptr;
    return m_window.IsConnectionOpen() && edit && edit->GetLength() > 0 && !m_run.IsExecuting() &&
           !m_run.IsSearching() && !m_window.IsPrintPreviewActive();
}

void CBatchExecution::OnUpdateExecute(wxUpdateUIEvent& event)
{
    event.Enable(IsExecuteEnabled());
}

void CBatchExecution::OnUpdateCancelQuery(wxUpdateUIEvent& event)
{
    event.Enable(m_window.IsConnectionOpen() && m_run.IsExecuting() && !m_run.IsCancelling());
}

void CBatchExecution::OnExecute(wxCommandEvent&)
{
    if (IsExecuteEnabled())
        ExecuteQuery();
}

bool CBatchExecution::ExecuteQuery(const CRunOptions& options)
{
    IRunWindow& f = m_window;
    if (m_run.IsBusy())
        return false;
    m_view.m_nQueryKind = options.queryKind;
    m_restoreResultsInText.reset();
    if (options.resultsInText && *options.resultsInText != (m_output.m_bResultsInText != 0)) {
        m_restoreResultsInText = m_output.m_bResultsInText != 0;
        m_output.m_bResultsInText = *options.resultsInText;
    }
    // The run replaces the grids the preview shows.
    f.ClosePrintPreview();
    SetMainStatusText("Please wait...");
    m_run.EndSearch();
    const CSaveOptions& save = m_output.m_saveOptions;
    f.SetFindStatusText(m_output.m_bSaveMode ? GetSaveRunStatusText(save.format, wxString::FromUTF8(save.path),
                                                             save.exportToExcel, save.publish)
                                      : GetRunStatusText(false));

    ClearResults();
    ResetErrorTags();
    if (m_fnRunStarting)
        m_fnRunStarting();
    m_timer.StartExecTimer();
    // A run with its output pane hidden would show nothing at all.
    if (!f.IsOutputPaneShown())
        f.OnViewOutput();
    m_bTextOutput = m_output.m_bResultsInText || m_output.m_bSaveMode;
    m_text.SetResultsPaneText(GetStartResultsPaneText(false, m_output.m_bSaveMode, m_bTextOutput));

    m_view.m_strCurrentBatch.clear();
    m_strLastBatch.clear();
    m_bBatchInFlight = false;
    m_bAsyncOpenPending = false;
    m_pCancelTicket = std::make_shared<CCancelTicket>();
    ++m_nRunSerial;
    m_run.BeginRun(m_connection.m_pConnection);
    if (m_pEventSink)
        m_pEventSink->SetTextOutput(m_bTextOutput);
    if ((m_connection.m_bTSql || m_connection.m_bMySql || m_connection.m_bOlap) && f.GetDatabaseList())
        f.GetDatabaseList()->Disable();

    if (m_fnPageFileUsage() >= 99) {
        m_run.AppendOutput(m_bTextOutput, kPageFileUsageMessage);
        OnBatchComplete(1);
    } else if (!GetQueryText(m_view.m_strSqlText)) {
        m_run.AppendOutput(m_bTextOutput, kNoSqlText);
        OnBatchComplete(1);
    } else {
        // The title tells which query the window ran last.
        if (CTorvaneDoc* doc = f.GetQueryDoc())
            doc->SetTitle(static_cast<const wxString*>(nullptr));
        if (m_output.m_bSaveMode && m_output.m_saveOptions.publish) {
            const CTorvaneDoc* doc = f.GetQueryDoc();
            m_output.m_saveOptions.publishTitle =
                export_options::PublishTitle((doc ? doc->GetUserReadableName() : f.GetRunTitle()).utf8_string());
        }
        if (!m_connection.m_bAutoCommit)
            m_view.m_bStatementInTransaction = 1;
        if (m_connection.m_strBatchSeparator.empty()) {
            const std::string text = m_view.m_strSqlText.utf8_string();
            const std::vector<Batch> whole = BatchSplitter(std::string()).Split(text);
            ExecuteBatch({m_view.m_strSqlText, m_view.m_nSearchOrigin + (whole.empty() ? 0 : whole.front().position)});
        } else if (!StartSplitter()) {
            ReportProcessingError();
            OnBatchComplete(1);
        }
    }
    SetMainStatusText(wxString());
    return true;
}

bool CBatchExecution::StartSplitter()
{
    IRunWindow& f = m_window;
    m_run.SetSplitterRunning(true);
    try {
        Reap(m_view.m_pSplitterThread);
        std::shared_ptr<CQueryRunState> state = m_pRun;
        std::string text = m_view.m_strSqlText.utf8_string();
        std::string separator = m_connection.m_strBatchSeparator.utf8_string();
        const long origin = m_view.m_nSearchOrigin;
        const bool textOutput = m_bTextOutput;
        const long serial = m_nRunSerial;
        m_view.m_pSplitterThread = CWorkerThread::Begin(
            [state, text = std::move(text), separator = std::move(separator), origin, textOutput, serial]() mutable {
                SplitBatchesThreadProc(std::move(state), std::move(text), std::move(separator), origin, textOutput,
                                       serial);
            },
            m_connection.m_nThreadPriority);
        return true;
    } catch (...) {
        m_run.SetSplitterRunning(false);
        return false;
    }
}

bool CBatchExecution::GetQueryText(wxString& text)
{
    CQryView* view = m_window.GetQueryView();
    wxStyledTextCtrl* edit = view ? view->GetEditCtrl() : nullptr;
    if (!edit) {
        text.clear();
        m_view.m_nSearchOrigin = 0;
        return false;
    }
    long from = 0, to = 0;
    edit->GetSelection(&from, &to);
    if (from != to) {
        text = edit->GetTextRange(from, to);
        m_view.m_nSearchOrigin = CTextPositions::ByteToChar(*edit, from);
    } else {
        text = edit->GetText();
        m_view.m_nSearchOrigin = 0;
    }
    return !(text.empty() && edit->GetLength() > 0);
}

bool CBatchExecution::ExecuteBatch(const CQueuedBatch& batch)
{
    const BatchStart start = StartBatch(batch);
    if (!start.started)
        OnBatchComplete(start.error);
    return start.started || start.error == 0;
}

void CBatchExecution::CloseRecordset()
{
    try {
        if (m_connection.m_pRecordset && m_connection.m_pRecordset->GetState() != ado::adStateClosed)
            m_connection.m_pRecordset->Close();
    } catch (const _com_error&) {
        // The next open of the window's recordset closes it anyway.
    }
}

CBatchExecution::BatchStart CBatchExecution::StartBatch(const CQueuedBatch& batch)
{
    std::optional<wxBusyCursor> wait;
    if (batch.text.length() > kLongBatch) {
        wait.emplace();
        SetMainStatusText("Please wait...");
    }
    struct StatusReset {
        CBatchExecution* self;
        bool active;
        ~StatusReset()
        {
            if (active)
                self->SetMainStatusText(wxString());
        }
    } statusReset{this, wait.has_value()};

    CloseRecordset();
    m_view.m_strCurrentBatch = wxString::FromUTF8(BatchSplitter::PrepareBatchText(batch.text.utf8_string()));
    m_strLastBatch = m_view.m_strCurrentBatch;
    LocateBatchInEditor(batch.position);
    if (m_view.m_strCurrentBatch.empty())
        return {false, 0};

    try {
        if (!m_connection.m_pRecordset || !m_connection.m_pConnection)
            throw _com_error(E_POINTER);
        if (m_connection.m_bRowLimit)
            m_connection.m_pRecordset->PutMaxRecords(
                GetRowLimitMaxRecords(m_connection.m_nMaxRows, m_connection.m_bMySql));
        if (RunsAsynchronously(m_connection.m_bAsyncSupported, m_view.m_nQueryKind) && m_pEventSink) {
            m_pEventSink->ExpectCompletion(m_connection.m_pRecordset.get());
            m_connection.m_pRecordset->Open(_variant_t(m_view.m_strCurrentBatch.utf8_string()),
                                            m_connection.m_pConnection,
                                 ado::adOpenForwardOnly, ado::adLockReadOnly, ado::adAsyncExecute);
            m_bAsyncOpenPending = true;
            m_bBatchInFlight = true;
            return {true, 0};
        }
        if (StartExecutionThread(m_connection.m_pRecordset, m_connection.m_pConnection, -1)) {
            m_bBatchInFlight = true;
            return {true, 0};
        }
        ReportError(kErrorsOccurred);
    } catch (const _com_error& e) {
        ReportError(GetConnectionErrorText(m_connection.m_pConnection.get(), e));
    } catch (...) {
        ReportError(kErrorsOccurred);
    }
    // A batch that did not start leaves nothing behind for a late completion to pick up.
    m_view.m_strCurrentBatch.clear();
    return {false, 1};
}

void CBatchExecution::LocateBatchInEditor(long position)
{
    m_nBatchStart = position;
}

bool CBatchExecution::StartExecutionThread(const ado::RecordsetPtr& recordset, const ado::ConnectionPtr& connection,
                                           long recordsAffected)
{
    IRunWindow& f = m_window;
    auto block = std::make_shared<CExecutionBlock>();
    block->state = m_pRun;
    block->recordset = recordset;
    block->connection = connection;
    block->recordsAffected = _variant_t(static_cast<int32_t>(recordsAffected));
    block->batch = m_view.m_strCurrentBatch.utf8_string();
    block->queryKind = m_view.m_nQueryKind;
    block->batchStart = m_nBatchStart;
    block->workerExecutes = !RunsAsynchronously(m_connection.m_bAsyncSupported, m_view.m_nQueryKind) || !m_pEventSink;
    block->multipleResults = m_connection.m_bMultipleResults != 0;
    block->textOutput = m_bTextOutput;
    m_view.m_strCurrentBatch.clear();

    std::unique_ptr<CWorkerThread> thread;
    if (m_output.m_bSaveMode) {
        auto save = std::make_shared<CSaveBlock>();
        static_cast<CExecutionBlock&>(*save) = std::move(*block);
        save->options = m_output.m_saveOptions;
        thread = CWorkerThread::Begin([save]() mutable { ExecuteAndSaveThreadProc(std::move(save)); },
                                      m_connection.m_nThreadPriority);
    } else if (m_bTextOutput)
        thread = CWorkerThread::Begin([block]() mutable { ExecuteToTextThreadProc(std::move(block)); },
                                      m_connection.m_nThreadPriority);
    else if (m_pGrids)
        thread = m_pGrids->StartGridWorker(block, m_connection.m_nThreadPriority);
    if (!thread)
        return false;
    m_view.m_pExecThread = std::move(thread);
    return true;
}

bool CBatchExecution::StartExportStep(int error)
{
    const CExportStepFiles files = m_run.ExportStep();
    if (!ExportStepWanted(m_output.m_saveOptions, files) || (error && m_connection.m_bStopOnError))
        return false;
    auto block = std::make_shared<CExportBlock>();
    block->state = m_pRun;
    block->options = m_output.m_saveOptions;
    Reap(m_view.m_pExportThread);
    m_view.m_pExportThread = CWorkerThread::Begin([block]() mutable { ExportResultsThreadProc(std::move(block)); },
                                                  m_connection.m_nThreadPriority);
    if (!m_view.m_pExportThread) {
        m_run.MarkErrors();
        ReportError(kErrorsOccurred);
        return false;
    }
    m_bBatchInFlight = true;
    return true;
}

bool CBatchExecution::StartFailedCompletion(const wxString& errorText)
{
    IRunWindow& f = m_window;
    std::shared_ptr<CQueryRunState> state = m_pRun;
    const bool textOutput = m_bTextOutput;
    const long batchStart = m_nBatchStart;
    m_view.m_strCurrentBatch.clear();
    m_view.m_pExecThread = CWorkerThread::Begin(
        [state, textOutput, batchStart, errorText] {
            WaitForCancelDone(*state);
            bool failed = false;
            if (!state->IsStopRequested()) {
                state->AppendError(textOutput, errorText, batchStart);
                failed = true;
            }
            if (textOutput)
                state->Mailbox().Post(CTextBatchDone{failed});
            else
                state->Mailbox().Post(CGridBatchDone{failed});
        },
        m_connection.m_nThreadPriority);
    return m_view.m_pExecThread != nullptr;
}

void CBatchExecution::OnExecuteComplete(const CConnectionEventsSink::Completion& completion)
{
    // Only the completion of the open this batch started is taken.
    if (!m_run.IsExecuting() || m_view.m_bFinishing || !m_bAsyncOpenPending || completion.number != 1 ||
        m_view.m_strCurrentBatch.empty() || !m_connection.m_bAsyncSupported)
        return;
    m_bAsyncOpenPending = false;
    bool started = false;
    try {
        started = completion.failed
                      ? StartFailedCompletion(completion.errorText)
                      : StartExecutionThread(m_connection.m_pRecordset, m_connection.m_pConnection,
                                             completion.recordsAffected);
        if (!started)
            ReportError(kErrorsOccurred);
    } catch (const _com_error& e) {
        ReportError(GetConnectionErrorText(m_connection.m_pConnection.get(), e));
    } catch (...) {
        ReportError(kErrorsOccurred);
    }
    if (!started)
        OnBatchDone(1);
}

CBatchExecution::BatchStart CBatchExecution::ExecuteNextBatch(const CQueuedBatch& batch, int previousFailed)
{
    if (m_bTextOutput)
        m_text.FlushOutputText(true);
    else if (m_pGrids)
        m_pGrids->ShowResults();
    if (MayChangeDatabase(m_connection.m_bTSql, m_connection.m_bMySql, m_strLastBatch) && m_fnReadCurrentDatabase)
        m_fnReadCurrentDatabase();
    if (m_connection.m_bTSql && !previousFailed && m_fnTrackSetOptions)
        m_fnTrackSetOptions(m_strLastBatch);
    return StartBatch(batch);
}

void CBatchExecution::ReportProcessingError()
{
    m_run.AppendOutput(m_bTextOutput, "Errors occurred in query processing.");
}

void CBatchExecution::ReportError(const wxString& text)
{
    m_run.AppendError(m_bTextOutput, text, m_nBatchStart);
}

void CBatchExecution::ResetErrorTags()
{
    m_run.ResetErrorTags();
}

void CBatchExecution::ClearResults()
{
    IRunWindow& f = m_window;
    if (wxStyledTextCtrl* view = f.GetResultsText())
        view->Freeze();
    if (m_pGrids)
        m_pGrids->DestroyAllGrids();
    m_text.ClearView();
    if (wxStyledTextCtrl* view = f.GetResultsText()) {
        view->Thaw();
        view->Refresh();
    }
    m_view.m_grids.SetCurrent(0);
    m_view.m_bFinishing = 0;
    if (m_view.m_nTimerId)
        m_timer.KillExecTimer();
}
