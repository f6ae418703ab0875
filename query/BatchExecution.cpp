#include "BatchExecution.h"

#include "ChildFrame.h"
#include "common/CommandIds.h"
#include "common/TextPositions.h"
#include "editor/QryView.h"
#include "querycore/BatchFlow.h"
#include "querycore/BatchSplitter.h"
#include "querycore/PageFileUsage.h"
#include "querycore/SaveWorker.h"
#include "querycore/TextWorker.h"
#include "QueryHost.h"
#include "QueryKeyRouting.h"
#include "ResultsGrids.h"
#include "ResultView.h"

#include "common/ItemComboBoxEx.h"
#include "SchemaPane.h"

#include <wx/app.h>
#include <wx/statusbr.h>
#include <wx/stc/stc.h>
#include <wx/utils.h>

#include <optional>

namespace {

const char* const kCancelStatus = "Attempting to cancel query batch...";
const char* const kNoSqlText = "Unable to retrieve SQL text. An unknown error has occurred.";
const char* const kErrorsOccurred = "Errors occurred.";
constexpr size_t kLongBatch = 25000;

// The splitter thread: the batches of the text into the queue, the first one started on the
// UI thread (which it waits for), then WM_BATCHSPLITDONE with the run's serial.
void SplitBatchesThreadProc(std::shared_ptr<CQueryRunState> state, std::string text, std::string separator,
                            long origin, bool textOutput, long runSerial)
{
    WPARAM failed = 0;
    try {
        const std::vector<Batch> batches = BatchSplitter(separator).Split(text, &state->m_bStop);
        CQueuedBatch first;
        bool send = false;
        {
            std::lock_guard<std::mutex> lock(state->m_csOutput);
            state->m_batchQueue.clear();
            if (!state->m_bStop) {
                for (const Batch& batch : batches)
                    state->m_batchQueue.push_back({wxString::FromUTF8(batch.text), origin + batch.position});
            }
            if (!state->m_bStop && !state->m_batchQueue.empty()) {
                first = std::move(state->m_batchQueue.front());
                state->m_batchQueue.pop_front();
                send = true;
            }
        }
        if (send && !state->m_bStop)
            state->m_pMailbox->SendMessage(WM_EXECUTEBATCH, reinterpret_cast<WPARAM>(&first), 0);
    } catch (...) {
        if (!state->m_bStop) {
            failed = 1;
            AppendRunOutput(*state, textOutput, "Errors occurred in query processing.");
        } else {
            std::lock_guard<std::mutex> lock(state->m_csOutput);
            state->m_batchQueue.clear();
        }
    }
    WaitForCancelDone(*state);
    state->m_pMailbox->PostMessage(WM_BATCHSPLITDONE, failed, runSerial);
}

// A worker that has finished posts its message as its last act; the wait is short.
void Reap(std::unique_ptr<CWorkerThread>& thread)
{
    if (thread) {
        thread->Wait(std::chrono::milliseconds(200));
        thread.reset();
    }
}

} // namespace

CBatchExecution::CBatchExecution(CChildFrame& frame)
    : m_frame(frame), m_transactions(frame), m_text(frame), m_timer(frame, [this] { OnTimer(); }),
      m_pCancelTicket(std::make_shared<CCancelTicket>())
{
    m_frame.Bind(wxEVT_MENU, &CBatchExecution::OnExecute, this, ID_QUERY_EXECUTE);
    m_frame.Bind(wxEVT_MENU, &CBatchExecution::OnCancelQuery, this, ID_QUERY_CANCEL);
    m_frame.Bind(wxEVT_MENU, &CResultsText::OnResultsInText, &m_text, ID_RESULTS_IN_TEXT);
    m_frame.Bind(wxEVT_MENU, &CResultsText::OnMessagesMode, &m_text, ID_MESSAGES_MODE);
    m_frame.Bind(wxEVT_UPDATE_UI, &CResultsText::OnUpdateResultsInText, &m_text, ID_RESULTS_IN_TEXT);
    m_frame.Bind(wxEVT_UPDATE_UI, &CResultsText::OnUpdateMessagesMode, &m_text, ID_MESSAGES_MODE);
    m_frame.Bind(wxEVT_UPDATE_UI, &CBatchExecution::OnUpdateExecute, this, ID_QUERY_EXECUTE);
    m_frame.Bind(wxEVT_UPDATE_UI, &CBatchExecution::OnUpdateCancelQuery, this, ID_QUERY_CANCEL);
    m_frame.Bind(wxEVT_CHAR_HOOK, &CBatchExecution::OnCharHook, this);
    if (wxStatusBar* bar = m_frame.GetQueryStatusBar())
        bar->Bind(wxEVT_LEFT_DOWN, &CTransactionControl::OnStatusBarClick, &m_transactions);

    CFrameMailbox& mailbox = m_frame.GetMailbox();
    mailbox.SetHandler(WM_EXECUTEBATCH, [this](WPARAM wParam, LPARAM) -> LRESULT {
        // A batch the splitter sent after the run was stopped or ended is not started.
        if (!m_frame.GetRunState()->m_bExecuting || m_frame.RunView().m_bFinishing || m_frame.GetRunState()->m_bStop)
            return -1;
        return ExecuteBatch(*reinterpret_cast<const CQueuedBatch*>(wParam)) ? 0 : -1;
    });
    mailbox.SetHandler(WM_BATCHSPLITDONE, [this](WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (lParam != m_nRunSerial)
            return 0; // the splitter of a run that ended already
        Reap(m_frame.RunView().m_pSplitterThread);
        m_frame.GetRunState()->m_bSplitterRunning = 0;
        if (!m_frame.GetRunState()->m_bExecuting || m_frame.RunView().m_bFinishing)
            return 0;
        // A batch under way ends the run (or goes on) when it ends.
        if (m_bBatchInFlight) {
            if (wParam)
                m_frame.GetRunState()->m_bErrors = 1;
            return 0;
        }
        if (wParam == 0 && !m_frame.GetRunState()->m_bStop)
            return 0;
        OnBatchComplete(static_cast<int>(wParam));
        return 0;
    });
    for (UINT done : {WM_TEXTBATCHDONE, WM_GRIDBATCHDONE}) {
        mailbox.SetHandler(done, [this](WPARAM wParam, LPARAM) -> LRESULT {
            OnBatchDone(static_cast<int>(wParam));
            return 0;
        });
    }
    mailbox.SetHandler(WM_SAVEBATCHDONE, [this](WPARAM wParam, LPARAM) -> LRESULT {
        OnBatchDone(static_cast<int>(wParam));
        FocusAfterSaveBatch();
        return 0;
    });
    mailbox.SetHandler(WM_CANCELDONE, [this](WPARAM, LPARAM) -> LRESULT {
        OnCancelDone();
        return 0;
    });
    mailbox.SetHandler(WM_EXECUTECOMPLETE, [this](WPARAM, LPARAM) -> LRESULT {
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
    m_frame.Unbind(wxEVT_MENU, &CBatchExecution::OnExecute, this, ID_QUERY_EXECUTE);
    m_frame.Unbind(wxEVT_MENU, &CBatchExecution::OnCancelQuery, this, ID_QUERY_CANCEL);
    m_frame.Unbind(wxEVT_MENU, &CResultsText::OnResultsInText, &m_text, ID_RESULTS_IN_TEXT);
    m_frame.Unbind(wxEVT_MENU, &CResultsText::OnMessagesMode, &m_text, ID_MESSAGES_MODE);
    m_frame.Unbind(wxEVT_UPDATE_UI, &CResultsText::OnUpdateResultsInText, &m_text, ID_RESULTS_IN_TEXT);
    m_frame.Unbind(wxEVT_UPDATE_UI, &CResultsText::OnUpdateMessagesMode, &m_text, ID_MESSAGES_MODE);
    m_frame.Unbind(wxEVT_UPDATE_UI, &CBatchExecution::OnUpdateExecute, this, ID_QUERY_EXECUTE);
    m_frame.Unbind(wxEVT_UPDATE_UI, &CBatchExecution::OnUpdateCancelQuery, this, ID_QUERY_CANCEL);
    m_frame.Unbind(wxEVT_CHAR_HOOK, &CBatchExecution::OnCharHook, this);
    if (wxStatusBar* bar = m_frame.GetQueryStatusBar())
        bar->Unbind(wxEVT_LEFT_DOWN, &CTransactionControl::OnStatusBarClick, &m_transactions);
}

void CBatchExecution::SetResultsGrids(IResultsGrids* grids)
{
    m_pGrids = grids;
    m_text.SetResultsGrids(grids);
}

void CBatchExecution::SetMainStatusText(const wxString& text)
{
    if (m_frame.GetHost())
        m_frame.GetHost()->SetStatusMessage(text);
}

bool CBatchExecution::IsGridFilling() const
{
    return m_pGrids && m_pGrids->IsFilling();
}

// ---- Runs ----

bool CBatchExecution::IsExecuteEnabled() const
{
    CQryView* view = m_frame.GetQueryView();
    wxStyledTextCtrl* edit = view ? view->GetEditCtrl() : nullptr;
    return m_frame.IsConnectionOpen() && edit && edit->GetLength() > 0 && !m_frame.GetRunState()->m_bExecuting &&
           !m_frame.GetRunState()->m_bFindInFiles;
}

void CBatchExecution::OnUpdateExecute(wxUpdateUIEvent& event)
{
    event.Enable(IsExecuteEnabled());
}

void CBatchExecution::OnUpdateCancelQuery(wxUpdateUIEvent& event)
{
    event.Enable(m_frame.IsConnectionOpen() && m_frame.GetRunState()->m_bExecuting && !m_frame.GetRunState()->m_bCancelling);
}

void CBatchExecution::OnExecute(wxCommandEvent&)
{
    if (IsExecuteEnabled())
        ExecuteQuery();
}

void CBatchExecution::ExecuteQuery()
{
    CChildFrame& f = m_frame;
    if (f.GetRunState()->m_bExecuting || f.GetRunState()->m_bFindInFiles)
        return;
    std::shared_ptr<CQueryRunState> state = f.GetRunState();
    SetMainStatusText("Please wait...");
    f.GetRunState()->m_bFindInFiles = 0;
    const CSaveOptions& save = f.OutputMode().m_saveOptions;
    f.SetFindStatusText(f.OutputMode().m_bSaveMode ? GetSaveRunStatusText(save.format, wxString::FromUTF8(save.path),
                                                             save.exportToExcel, save.publish)
                                      : GetRunStatusText(false));

    ClearResults();
    ResetErrorTags();
    m_timer.StartExecTimer();
    m_bTextOutput = f.OutputMode().m_bResultsInText || f.OutputMode().m_bSaveMode;
    m_text.SetResultsPaneText(GetStartResultsPaneText(false, f.OutputMode().m_bSaveMode, m_bTextOutput));

    {
        std::lock_guard<std::mutex> lock(f.GetRunState()->m_csOutput);
        state->m_strMessages.clear();
        state->m_strTextOutput.clear();
        state->m_batchQueue.clear();
    }
    f.RunView().m_strCurrentBatch.clear();
    m_strLastBatch.clear();
    m_bBatchInFlight = false;
    m_bAsyncOpenPending = false;
    m_pCancelTicket = std::make_shared<CCancelTicket>();
    ++m_nRunSerial;
    f.GetRunState()->m_bExecuting = 1;
    f.GetRunState()->m_bCancelling = 0;
    f.GetRunState()->m_bStop = 0;
    f.GetRunState()->m_bErrors = 0;
    state->SetRunningConnection(f.Connection().m_pConnection);
    if (m_pEventSink)
        m_pEventSink->SetTextOutput(m_bTextOutput);
    if ((f.Connection().m_bTSql || f.Connection().m_bMySql || f.Connection().m_bOlap) && f.GetDatabaseList())
        f.GetDatabaseList()->Disable();

    if (m_fnPageFileUsage() >= 99) {
        AppendRunOutput(*state, m_bTextOutput, kPageFileUsageMessage);
        OnBatchComplete(1);
    } else if (!GetQueryText(f.RunView().m_strSqlText)) {
        AppendRunOutput(*state, m_bTextOutput, kNoSqlText);
        OnBatchComplete(1);
    } else {
        if (!f.Connection().m_bAutoCommit)
            f.RunView().m_bStatementInTransaction = 1;
        if (f.Connection().m_strBatchSeparator.empty()) {
            const std::string text = f.RunView().m_strSqlText.utf8_string();
            const std::vector<Batch> whole = BatchSplitter(std::string()).Split(text);
            ExecuteBatch({f.RunView().m_strSqlText, f.RunView().m_nSearchOrigin + (whole.empty() ? 0 : whole.front().position)});
        } else if (!StartSplitter()) {
            ReportProcessingError();
            OnBatchComplete(1);
        }
    }
    SetMainStatusText(wxString());
}

bool CBatchExecution::StartSplitter()
{
    CChildFrame& f = m_frame;
    f.GetRunState()->m_bSplitterRunning = 1;
    try {
        Reap(f.RunView().m_pSplitterThread);
        std::shared_ptr<CQueryRunState> state = f.GetRunState();
        std::string text = f.RunView().m_strSqlText.utf8_string();
        std::string separator = f.Connection().m_strBatchSeparator.utf8_string();
        const long origin = f.RunView().m_nSearchOrigin;
        const bool textOutput = m_bTextOutput;
        const long serial = m_nRunSerial;
        f.RunView().m_pSplitterThread = CWorkerThread::Begin(
            [state, text = std::move(text), separator = std::move(separator), origin, textOutput, serial]() mutable {
                SplitBatchesThreadProc(std::move(state), std::move(text), std::move(separator), origin, textOutput,
                                       serial);
            },
            f.Connection().m_nThreadPriority);
        return true;
    } catch (...) {
        f.GetRunState()->m_bSplitterRunning = 0;
        return false;
    }
}

bool CBatchExecution::GetQueryText(wxString& text)
{
    CQryView* view = m_frame.GetQueryView();
    wxStyledTextCtrl* edit = view ? view->GetEditCtrl() : nullptr;
    if (!edit) {
        text.clear();
        m_frame.RunView().m_nSearchOrigin = 0;
        return false;
    }
    long from = 0, to = 0;
    edit->GetSelection(&from, &to);
    if (from != to) {
        text = edit->GetTextRange(from, to);
        m_frame.RunView().m_nSearchOrigin = CTextPositions::ByteToChar(*edit, from);
    } else {
        text = edit->GetText();
        m_frame.RunView().m_nSearchOrigin = 0;
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
        if (m_frame.Connection().m_pRecordset && m_frame.Connection().m_pRecordset->GetState() != ado::adStateClosed)
            m_frame.Connection().m_pRecordset->Close();
    } catch (...) {
    }
}

CBatchExecution::BatchStart CBatchExecution::StartBatch(const CQueuedBatch& batch)
{
    CChildFrame& f = m_frame;
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
    f.RunView().m_strCurrentBatch = wxString::FromUTF8(BatchSplitter::PrepareBatchText(batch.text.utf8_string()));
    m_strLastBatch = f.RunView().m_strCurrentBatch;
    LocateBatchInEditor(batch.position);
    if (f.RunView().m_strCurrentBatch.empty())
        return {false, 0};

    try {
        if (!f.Connection().m_pRecordset || !f.Connection().m_pConnection)
            throw _com_error(E_POINTER);
        if (f.Connection().m_bRowLimit)
            f.Connection().m_pRecordset->PutMaxRecords(GetRowLimitMaxRecords(f.Connection().m_nMaxRows, f.Connection().m_bMySql));
        if (RunsAsynchronously(f.Connection().m_bAsyncSupported, f.RunView().m_nQueryKind) && m_pEventSink) {
            m_pEventSink->ExpectCompletion(f.Connection().m_pRecordset.get());
            f.Connection().m_pRecordset->Open(_variant_t(f.RunView().m_strCurrentBatch.utf8_string()), f.Connection().m_pConnection,
                                 ado::adOpenForwardOnly, ado::adLockReadOnly, ado::adAsyncExecute);
            m_bAsyncOpenPending = true;
            m_bBatchInFlight = true;
            return {true, 0};
        }
        if (StartExecutionThread(f.Connection().m_pRecordset, f.Connection().m_pConnection, -1)) {
            m_bBatchInFlight = true;
            return {true, 0};
        }
        ReportError(kErrorsOccurred);
    } catch (const _com_error& e) {
        ReportError(GetBatchErrorText(f.Connection().m_pConnection.get(), e));
    } catch (...) {
        ReportError(kErrorsOccurred);
    }
    // A batch that did not start leaves nothing behind for a late completion to pick up.
    f.RunView().m_strCurrentBatch.clear();
    return {false, 1};
}

void CBatchExecution::LocateBatchInEditor(long position)
{
    m_nBatchStart = position;
}

bool CBatchExecution::StartExecutionThread(const ado::RecordsetPtr& recordset, const ado::ConnectionPtr& connection,
                                           long recordsAffected)
{
    CChildFrame& f = m_frame;
    auto block = std::make_shared<CExecutionBlock>();
    block->state = f.GetRunState();
    block->recordset = recordset;
    block->connection = connection;
    block->recordsAffected = _variant_t(static_cast<int32_t>(recordsAffected));
    block->batch = f.RunView().m_strCurrentBatch.utf8_string();
    block->queryKind = f.RunView().m_nQueryKind;
    block->batchStart = m_nBatchStart;
    block->workerExecutes = !RunsAsynchronously(f.Connection().m_bAsyncSupported, f.RunView().m_nQueryKind) || !m_pEventSink;
    block->multipleResults = f.Connection().m_bMultipleResults != 0;
    block->textOutput = m_bTextOutput;
    f.RunView().m_strCurrentBatch.clear();

    std::unique_ptr<CWorkerThread> thread;
    if (f.OutputMode().m_bSaveMode) {
        auto save = std::make_shared<CSaveBlock>();
        static_cast<CExecutionBlock&>(*save) = std::move(*block);
        save->options = f.OutputMode().m_saveOptions;
        thread = CWorkerThread::Begin([save]() mutable { ExecuteAndSaveThreadProc(std::move(save)); },
                                      f.Connection().m_nThreadPriority);
    } else if (m_bTextOutput)
        thread = CWorkerThread::Begin([block]() mutable { ExecuteToTextThreadProc(std::move(block)); },
                                      f.Connection().m_nThreadPriority);
    else if (m_pGrids)
        thread = m_pGrids->StartGridWorker(block, f.Connection().m_nThreadPriority);
    if (!thread)
        return false;
    f.RunView().m_pExecThread = std::move(thread);
    return true;
}

bool CBatchExecution::StartFailedCompletion(const wxString& errorText)
{
    CChildFrame& f = m_frame;
    std::shared_ptr<CQueryRunState> state = f.GetRunState();
    const bool textOutput = m_bTextOutput;
    const long batchStart = m_nBatchStart;
    const UINT done = textOutput ? WM_TEXTBATCHDONE : WM_GRIDBATCHDONE;
    f.RunView().m_strCurrentBatch.clear();
    f.RunView().m_pExecThread = CWorkerThread::Begin(
        [state, textOutput, batchStart, done, errorText] {
            WaitForCancelDone(*state);
            WPARAM failed = 0;
            if (!state->m_bStop) {
                AppendRunError(*state, textOutput, errorText, batchStart);
                failed = 1;
            }
            state->m_pMailbox->PostMessage(done, failed, 0);
        },
        f.Connection().m_nThreadPriority);
    return f.RunView().m_pExecThread != nullptr;
}

void CBatchExecution::OnExecuteComplete(const CConnectionEventsSink::Completion& completion)
{
    CChildFrame& f = m_frame;
    // Only the completion of the open this batch started is taken.
    if (!f.GetRunState()->m_bExecuting || f.RunView().m_bFinishing || !m_bAsyncOpenPending || completion.number != 1 ||
        f.RunView().m_strCurrentBatch.empty() || !f.Connection().m_bAsyncSupported)
        return;
    m_bAsyncOpenPending = false;
    bool started = false;
    try {
        started = completion.failed
                      ? StartFailedCompletion(completion.errorText)
                      : StartExecutionThread(f.Connection().m_pRecordset, f.Connection().m_pConnection, completion.recordsAffected);
        if (!started)
            ReportError(kErrorsOccurred);
    } catch (const _com_error& e) {
        ReportError(GetBatchErrorText(f.Connection().m_pConnection.get(), e));
    } catch (...) {
        ReportError(kErrorsOccurred);
    }
    if (!started)
        OnBatchDone(1);
}

bool CBatchExecution::GetNextBatch(CQueuedBatch& batch)
{
    CChildFrame& f = m_frame;
    if (f.GetRunState()->m_bStop || f.Connection().m_strBatchSeparator.empty())
        return false;
    {
        std::lock_guard<std::mutex> lock(f.GetRunState()->m_csOutput);
        if (f.GetRunState()->m_batchQueue.empty())
            return false;
    }
    // The memory message comes only where a batch would have started.
    if (m_fnPageFileUsage() >= 99) {
        AppendRunOutput(*f.GetRunState(), m_bTextOutput, kPageFileUsageMessage);
        return false;
    }
    std::lock_guard<std::mutex> lock(f.GetRunState()->m_csOutput);
    auto& queue = f.GetRunState()->m_batchQueue;
    if (queue.empty())
        return false;
    batch = std::move(queue.front());
    queue.pop_front();
    return true;
}

CBatchExecution::BatchStart CBatchExecution::ExecuteNextBatch(const CQueuedBatch& batch, int previousFailed)
{
    CChildFrame& f = m_frame;
    if (m_bTextOutput)
        m_text.FlushOutputText(true);
    else if (m_pGrids)
        m_pGrids->ShowResults();
    if (MayChangeDatabase(f.Connection().m_bTSql, f.Connection().m_bMySql, m_strLastBatch) && m_fnReadCurrentDatabase)
        m_fnReadCurrentDatabase();
    if (f.Connection().m_bTSql && !previousFailed && m_fnTrackSetOptions)
        m_fnTrackSetOptions(m_strLastBatch);
    return StartBatch(batch);
}

void CBatchExecution::OnBatchDone(int error)
{
    // Every batch that starts ends with exactly one of these; anything else is stale.
    if (!m_bBatchInFlight)
        return;
    m_bBatchInFlight = false;
    OnBatchComplete(error);
}

void CBatchExecution::OnBatchComplete(int error)
{
    CChildFrame& f = m_frame;
    // Batches that complete at once (empty ones) go round this loop instead of nesting calls.
    for (;;) {
        if (error)
            f.GetRunState()->m_bErrors = 1;
        CQueuedBatch next;
        if (!GetNextBatch(next))
            break;
        const bool held = m_pGrids && m_pGrids->IsBatchHeld();
        if (!ShouldRunNextBatch(error != 0, f.GetRunState()->m_bStop != 0, f.Connection().m_bStopOnError != 0, held)) {
            if ((f.GetRunState()->m_bStop || held) && IsGridFilling())
                m_pGrids->HideAllGrids();
            break;
        }
        const BatchStart start = ExecuteNextBatch(next, error);
        if (start.started)
            return;
        error = start.error;
    }
    if (f.RunView().m_bFinishing)
        return;
    f.RunView().m_bFinishing = 1;
    FinishRun(error);
}

void CBatchExecution::FinishRun(int error)
{
    CChildFrame& f = m_frame;
    std::shared_ptr<CQueryRunState> state = f.GetRunState();
    {
        std::lock_guard<std::mutex> lock(f.GetRunState()->m_csOutput);
        state->m_batchQueue.clear();
    }
    f.RunView().m_strCurrentBatch.clear();
    CloseRecordset();

    const bool gridCreated = m_pGrids && m_pGrids->GetGridCount() > 0;
    bool outputEmpty;
    {
        std::lock_guard<std::mutex> lock(f.GetRunState()->m_csOutput);
        outputEmpty = (m_bTextOutput ? state->m_strTextOutput : state->m_strMessages).empty();
    }
    const CRunEndTexts end = GetRunEndTexts(f.GetRunState()->m_bStop != 0, f.GetRunState()->m_bErrors != 0, gridCreated, outputEmpty);
    if (!end.outputText.empty())
        AppendRunOutput(*state, m_bTextOutput, end.outputText);

    if (m_bTextOutput) {
        m_text.FlushOutputText(true);
        {
            std::lock_guard<std::mutex> lock(f.GetRunState()->m_csOutput);
            state->m_strTextOutput.clear();
        }
        m_text.ForgetBuffer();
        if (f.OutputMode().m_bSaveMode) {
            int saved;
            {
                std::lock_guard<std::mutex> lock(f.GetRunState()->m_csOutput);
                saved = state->m_nSavedResultSets;
            }
            m_text.SetResultsPaneText(wxString::Format("Number of result sets saved: %d", saved));
        } else {
            m_text.SetResultsPaneText(wxString::Format("Number of lines of text: %d", m_text.GetLineCount()));
        }
        if (f.GetResultView())
            f.GetResultView()->Refresh();
    } else if (m_pGrids && !m_pGrids->IsFilling()) {
        m_pGrids->ShowResults();
    }
    f.SetFindStatusText(end.statusText);

    if (!m_bTextOutput) {
        if (f.RunView().m_strResultsPaneText.IsSameAs("Messages", false))
            m_text.FlushOutputText(false);
        else if (f.GetRunState()->m_bErrors || !gridCreated)
            m_text.ShowMessages();
    }
    // The output mode that the schema pane switched for its own run comes back.
    if (CSchemaPane* schema = f.GetSchemaView()) {
        if (!f.OutputMode().m_bResultsInText && schema->m_bReturnToTextMode) {
            f.OutputMode().m_bResultsInText = 1;
            schema->m_bReturnToTextMode = 0;
        } else if (f.OutputMode().m_bResultsInText && schema->m_bReturnToGridMode) {
            f.OutputMode().m_bResultsInText = 0;
            schema->m_bReturnToGridMode = 0;
        }
    }

    if (f.OutputMode().m_bSaveMode) {
        f.OutputMode().m_bSaveMode = 0;
        f.OutputMode().m_saveOptions.path.clear();
        if (f.OutputMode().m_bTextModeForced) {
            f.OutputMode().m_bTextModeForced = 0;
            f.OutputMode().m_bResultsInText = 0;
        }
    }

    f.GetRunState()->m_bExecuting = 0;
    f.GetRunState()->m_bCancelling = 0;
    {
        std::lock_guard<std::mutex> lock(m_pCancelTicket->mutex);
        m_pCancelTicket->live = false;
    }
    state->SetRunningConnection(nullptr);

    if (MayChangeDatabase(f.Connection().m_bTSql, f.Connection().m_bMySql, f.RunView().m_strSqlText) && m_fnReadCurrentDatabase)
        m_fnReadCurrentDatabase();
    if (f.Connection().m_bTSql && error == 0 && m_fnTrackSetOptions)
        m_fnTrackSetOptions(f.Connection().m_strBatchSeparator.empty() ? f.RunView().m_strSqlText : m_strLastBatch);
    if ((f.Connection().m_bTSql || f.Connection().m_bMySql || f.Connection().m_bOlap) && f.GetDatabaseList())
        f.GetDatabaseList()->Enable();
    if (m_pGrids)
        m_pGrids->EndRun();

    const bool failed = f.GetRunState()->m_bStop || f.GetRunState()->m_bErrors;
    if (f.RunView().m_bCloseWhenDone && f.GetHost())
        f.GetHost()->OnCommandLineRunEnded(failed);
    if (f.RunView().m_bCloseWhenDone && failed) {
        f.RunView().m_bCloseWhenDone = 0;
        wxFrame* main = f.GetHost() ? f.GetHost()->GetHostWindow() : nullptr;
        if (f.GetRunState()->m_bErrors && main && main->IsEnabled() && main->IsIconized()) {
            main->Iconize(false);
            f.Activate();
        }
    }

    f.GetRunState()->m_bStop = 0;
    f.GetRunState()->m_bErrors = 0;
    if (f.Connection().m_bRowLimit) {
        f.Connection().m_bRowLimit = 0;
        try {
            if (f.Connection().m_pRecordset)
                f.Connection().m_pRecordset->PutMaxRecords(0);
        } catch (...) {
        }
    }
    if (f.RunView().m_nQueryKind == ado::adSchemaDBInfoKeywords || f.RunView().m_nQueryKind == ado::adSchemaDBInfoLiterals)
        f.RunView().m_nQueryKind = -1;

    m_timer.FormatExecTime();
    m_timer.KillExecTimer();
    if (f.Connection().m_bBeep)
        wxBell();
    // The idle work (command states among it) catches up with the end of the run; asked for
    // rather than run here, so that no queued message is handled in the middle of this.
    wxWakeUpIdle();
    CloseWhenDone();
}

void CBatchExecution::CloseWhenDone()
{
    CChildFrame& f = m_frame;
    if (!f.RunView().m_bCloseWhenDone)
        return;
    IQueryHost* host = f.GetHost();
    wxFrame* main = host ? host->GetHostWindow() : nullptr;
    const bool mainMinimized = main && main->IsIconized() && main->IsEnabled();
    if (!f.Connection().m_bAutoCommit) {
        // The open transaction keeps the window.
        if (mainMinimized) {
            main->Iconize(false);
            main->Raise();
        }
        return;
    }
    f.RunView().m_bCloseWhenDone = 0;
    CTorvaneDoc* doc = f.GetQueryDoc();
    if (!mainMinimized || (doc && doc->IsModified()))
        return;
    // Whether this was the last connection is seen once the window has gone: windows of one
    // command line that end together must not each count the others.
    f.CallAfter([&f, host, main] {
        f.Close();
        if (host->GetConnectionCount() == 0)
            main->CallAfter([host, main] {
                if (host->GetConnectionCount() == 0 && main->IsIconized())
                    main->Close();
            });
    });
}

void CBatchExecution::FocusAfterSaveBatch()
{
    // Not while a command-line run closes the window, nor while the window is out of view.
    CChildFrame& f = m_frame;
    IQueryHost* host = f.GetHost();
    wxFrame* main = host ? host->GetHostWindow() : nullptr;
    if (f.GetRunState()->m_bClosing || f.RunView().m_bCloseWhenDone || !main || !main->IsEnabled() || main->IsIconized() ||
        host->GetActiveQueryWindow() != &f)
        return;
    if (f.OutputMode().m_saveOptions.exportToExcel || f.OutputMode().m_saveOptions.publish)
        return;
    f.SetFocus();
}

void CBatchExecution::ReportProcessingError()
{
    AppendRunOutput(*m_frame.GetRunState(), m_bTextOutput, "Errors occurred in query processing.");
}

void CBatchExecution::ReportError(const wxString& text)
{
    AppendRunError(*m_frame.GetRunState(), m_bTextOutput, text, m_nBatchStart);
}

void CBatchExecution::ResetErrorTags()
{
    std::lock_guard<std::mutex> lock(m_frame.GetRunState()->m_csOutput);
    m_frame.GetRunState()->m_errorList.Reset();
}

void CBatchExecution::ClearResults()
{
    CChildFrame& f = m_frame;
    if (CResultView* view = f.GetResultView())
        view->Freeze();
    if (m_pGrids)
        m_pGrids->DestroyAllGrids();
    m_text.ClearView();
    if (CResultView* view = f.GetResultView()) {
        view->Thaw();
        view->Refresh();
    }
    f.RunView().m_nCurrentGrid = 0;
    f.RunView().m_bFinishing = 0;
    if (f.RunView().m_nTimerId)
        m_timer.KillExecTimer();
}

// ---- Cancel ----

void CBatchExecution::OnCancelQuery(wxCommandEvent&)
{
    CancelQueryBatch();
}

void CBatchExecution::CancelQueryBatch()
{
    CChildFrame& f = m_frame;
    const CancelAction action = DecideCancel(f.GetRunState()->m_bExecuting != 0, f.GetRunState()->m_bSplitterRunning != 0, f.GetRunState()->m_bCancelling != 0);
    if (action == CancelAction::None)
        return;
    f.SetFindStatusText(kCancelStatus);
    if (action == CancelAction::StopAndCancel)
        f.GetRunState()->m_bStop = 1; // the splitter stops at its next check
    // Set before the cancel thread exists, so no worker can end unseen between the two.
    f.GetRunState()->m_bCancelling = 1;
    try {
        CCancelBlock block{f.GetRunState(), f.Connection().m_pRecordset, f.Connection().m_pConnection, f.Connection().m_bAsyncSupported != 0,
                           f.RunView().m_nQueryKind, m_pCancelTicket};
        if (f.RunView().m_pExecThread && f.RunView().m_pExecThread->IsRunning())
            f.RunView().m_pExecThread->SetThreadPriority(THREAD_PRIORITY_LOWEST);
        Reap(f.RunView().m_pCancelThread);
        f.RunView().m_pCancelThread = CWorkerThread::Begin([block] { CancelQueryThreadProc(block); },
                                                 THREAD_PRIORITY_TIME_CRITICAL);
    } catch (...) {
        // Nothing is cancelling: the run goes on and the user can cancel again.
        if (action == CancelAction::Cancel)
            f.GetRunState()->m_bCancelling = 0;
    }
}

void CBatchExecution::OnCancelDone()
{
    CChildFrame& f = m_frame;
    try {
        if (!f.RunView().m_bFinishing && f.RunView().m_pExecThread && f.RunView().m_pExecThread->IsRunning())
            f.RunView().m_pExecThread->SetThreadPriority(f.Connection().m_nThreadPriority);
    } catch (...) {
    }
    Reap(f.RunView().m_pCancelThread);
}

// ---- Elapsed time, keys ----

void CBatchExecution::OnTimer()
{
    CChildFrame& f = m_frame;
    const bool searching = f.GetSchemaView() && f.GetSchemaView()->m_bSearching;
    if (!f.GetRunState()->m_bExecuting && !f.GetRunState()->m_bFindInFiles && !searching)
        return;
    m_timer.FormatExecTime();
    if (!f.GetRunState()->m_bExecuting)
        return;
    m_text.UpdateResultSetPane();
    if (!searching && (m_bTextOutput || f.RunView().m_strResultsPaneText.IsSameAs("Messages", false)))
        m_text.FlushOutputText(m_bTextOutput);
}

void CBatchExecution::OnCharHook(wxKeyEvent& event)
{
    const int code = event.GetKeyCode();
    const bool ctrl = event.ControlDown(), alt = event.AltDown(), shift = event.ShiftDown();
    int command = 0;
    if (!shift && ((code == WXK_F5 && !ctrl && !alt) || (code == 'E' && ctrl && !alt) || (code == 'X' && alt && !ctrl)))
        command = ID_QUERY_EXECUTE;
    else if (alt && !ctrl && (code == WXK_PAUSE || code == WXK_CANCEL))
        command = ID_QUERY_CANCEL;
    if (!command) {
        event.Skip();
        return;
    }
    // The command runs after the key's own routing (which may move the focus out of the
    // database list first).
    wxQueueEvent(m_frame.GetEventHandler(), new wxCommandEvent(wxEVT_MENU, command));
    for (wxWindow* w = wxWindow::FindFocus(); w && w != &m_frame; w = w->GetParent()) {
        if (w == m_frame.GetDatabaseList()) {
            event.Skip();
            return;
        }
    }
}

// ---- The connection's events ----

void CBatchExecution::AdviseConnectionEvents()
{
    UnadviseConnectionEvents();
    if (!m_frame.Connection().m_pConnection)
        throw _com_error(E_POINTER);
    auto sink = std::make_unique<CConnectionEventsSink>(m_frame.GetRunState());
    m_dwEventCookie = m_frame.Connection().m_pConnection->Advise(sink.get());
    m_pEventSink = std::move(sink);
}

void CBatchExecution::UnadviseConnectionEvents()
{
    if (m_dwEventCookie != -1 && m_frame.Connection().m_pConnection) {
        try {
            m_frame.Connection().m_pConnection->Unadvise(m_dwEventCookie);
        } catch (...) {
        }
    }
    m_dwEventCookie = -1;
    m_pEventSink.reset();
}

void CBatchExecution::OnDestroy()
{
    m_timer.KillExecTimer();
    m_transactions.EndEmptyTransaction();
    UnadviseConnectionEvents();
}
