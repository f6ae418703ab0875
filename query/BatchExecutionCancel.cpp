// Cancel of a query window's run, the elapsed time and the Execute and Cancel keys, and the
// connection's event sink.
#include "BatchExecution.h"
#include "editor/TorvaneDoc.h"
#include "querycore/OutputMode.h"
#include "RunViewState.h"
#include "TVStatusBar.h"
#include "WindowConnection.h"

#include "querycore/BatchFlow.h"
#include "SchemaPane.h"

#include "common/ItemComboBoxEx.h"

#include <wx/stc/stc.h>

#include <system_error>

namespace {

const char* const kCancelStatus = "Attempting to cancel query batch...";

} // namespace

// ---- Cancel ----

void CBatchExecution::OnCancelQuery(wxCommandEvent&)
{
    CancelQueryBatch();
}

void CBatchExecution::CancelQueryBatch()
{
    IRunWindow& f = m_window;
    const CancelAction action =
        DecideCancel(m_run.IsExecuting(), m_run.IsSplitterRunning(), m_run.IsCancelling());
    if (action == CancelAction::None)
        return;
    f.SetFindStatusText(kCancelStatus);
    if (action == CancelAction::StopAndCancel)
        m_run.RequestStop(); // the splitter stops at its next check
    // Set before the cancel thread exists, so no worker can end unseen between the two.
    m_run.SetCancelling(true);
    try {
        CCancelBlock block{m_pRun, m_connection.m_pRecordset, m_connection.m_pConnection,
                           m_connection.m_bAsyncSupported != 0,
                           m_view.m_nQueryKind, m_pCancelTicket};
        if (m_view.m_pExecThread && m_view.m_pExecThread->IsRunning())
            m_view.m_pExecThread->SetThreadPriority(THREAD_PRIORITY_LOWEST);
        Reap(m_view.m_pCancelThread);
        m_view.m_pCancelThread = CWorkerThread::Begin([block] { CancelQueryThreadProc(block); },
                                                 THREAD_PRIORITY_TIME_CRITICAL);
    } catch (...) {
        // Nothing is cancelling: the run goes on and the user can cancel again.
        if (action == CancelAction::Cancel)
            m_run.SetCancelling(false);
    }
}

void CBatchExecution::OnCancelDone()
{
    try {
        if (!m_view.m_bFinishing && m_view.m_pExecThread && m_view.m_pExecThread->IsRunning())
            m_view.m_pExecThread->SetThreadPriority(m_connection.m_nThreadPriority);
    } catch (const std::system_error&) {
        // Only the worker's priority stays lowered; the run itself goes on unaffected.
    }
    Reap(m_view.m_pCancelThread);
    // A statement that began as the cancel went out was not reached: Cancel is offered again.
    if (m_run.IsExecuting() && !m_view.m_bFinishing)
        m_run.SetCancelling(false);
}

// ---- Elapsed time, keys ----

void CBatchExecution::OnTimer()
{
    IRunWindow& f = m_window;
    const bool searching = f.GetSchemaView() && f.GetSchemaView()->m_bSearching;
    if (!m_run.IsBusy() && !searching)
        return;
    m_timer.FormatExecTime();
    if (!m_run.IsExecuting())
        return;
    m_text.UpdateResultSetPane();
    if (!searching && (m_bTextOutput || m_view.m_strResultsPaneText.IsSameAs("Messages", false)))
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
    wxQueueEvent(m_window.GetRunWindow().GetEventHandler(), new wxCommandEvent(wxEVT_MENU, command));
    for (wxWindow* w = wxWindow::FindFocus(); w && w != &m_window.GetRunWindow(); w = w->GetParent()) {
        if (w == m_window.GetDatabaseList()) {
            event.Skip();
            return;
        }
    }
}

// ---- The connection's events ----

void CBatchExecution::AdviseConnectionEvents()
{
    UnadviseConnectionEvents();
    if (!m_connection.m_pConnection)
        throw _com_error(E_POINTER);
    auto sink = std::make_unique<CConnectionEventsSink>(m_pRun);
    m_dwEventCookie = m_connection.m_pConnection->Advise(sink.get());
    m_pEventSink = std::move(sink);
}

void CBatchExecution::UnadviseConnectionEvents()
{
    if (m_dwEventCookie != -1 && m_connection.m_pConnection) {
        try {
            m_connection.m_pConnection->Unadvise(m_dwEventCookie);
        } catch (const _com_error&) {
            // A cookie the connection no longer knows has nothing left to deliver.
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
