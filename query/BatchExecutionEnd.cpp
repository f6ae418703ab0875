// The end of a query window's batches and runs: the next batch starts or the run ends, and the
// run's end shows its output and status, restores the output mode, and ends a command-line run.
#include "BatchExecution.h"
#include "editor/TorvaneDoc.h"
#include "querycore/OutputMode.h"
#include "RunViewState.h"
#include "TVStatusBar.h"
#include "WindowConnection.h"

#include "querycore/BatchFlow.h"
#include "QueryHost.h"
#include "ResultsGrids.h"
#include "SchemaPane.h"

#include "common/ItemComboBoxEx.h"

#include <wx/stc/stc.h>

#include <wx/app.h>
#include <wx/utils.h>

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
    // Batches that complete at once (empty ones) go round this loop instead of nesting calls.
    for (;;) {
        if (error)
            m_run.MarkErrors();
        // Without a separator the whole text was the run's one batch.
        if (m_connection.m_strBatchSeparator.empty())
            break;
        // A cancel under way stops the run here: it may have ended the batch just done before its
        // thread could say so, and the next batch would then run with nobody cancelling it.
        if (m_run.IsCancelling())
            m_run.RequestStop();
        m_loop.SetStopOnError(m_connection.m_bStopOnError != 0);
        m_loop.SetTextOutput(m_bTextOutput);
        const std::optional<CQueuedBatch> next = m_loop.Next(error != 0, m_pGrids && m_pGrids->IsBatchHeld());
        if (!next) {
            if (m_loop.HeldByGrid() && IsGridFilling())
                m_pGrids->HideAllGrids();
            break;
        }
        const BatchStart start = ExecuteNextBatch(*next, error);
        if (start.started)
            return;
        error = start.error;
    }
    if (!m_view.m_bFinishing && !m_run.IsStopRequested() && m_output.m_bSaveMode && StartExportStep(error))
        return;
    if (m_view.m_bFinishing)
        return;
    m_view.m_bFinishing = 1;
    FinishRun(error);
}

void CBatchExecution::FinishRun(int error)
{
    DropRemainingBatches();
    const bool gridCreated = m_pGrids && m_pGrids->GetGridCount() > 0;
    const CRunEndTexts end = AppendRunEndText(gridCreated);
    ShowRunOutput(end, gridCreated);
    RestoreOutputMode();
    MarkRunEnded();
    RefreshConnectionContext(error);
    ReportCommandLineRunEnd();
    ResetRunOptions();

    m_timer.FormatExecTime();
    m_timer.KillExecTimer();
    if (m_connection.m_bBeep)
        wxBell();
    // The idle work (command states among it) catches up with the end of the run; asked for
    // rather than run here, so that no queued message is handled in the middle of this.
    wxWakeUpIdle();
    CloseWhenDone();
}

void CBatchExecution::DropRemainingBatches()
{
    m_run.DropBatches();
    m_view.m_strCurrentBatch.clear();
    CloseRecordset();
}

CRunEndTexts CBatchExecution::AppendRunEndText(bool gridCreated)
{
    const CRunEndTexts end =
        GetRunEndTexts(m_run.IsStopRequested(), m_run.HasErrors(), gridCreated, m_run.IsOutputEmpty(m_bTextOutput));
    if (!end.outputText.empty())
        m_run.AppendOutput(m_bTextOutput, end.outputText);
    return end;
}

void CBatchExecution::ShowRunOutput(const CRunEndTexts& end, bool gridCreated)
{
    if (m_bTextOutput) {
        m_text.FlushOutputText(true);
        m_run.ClearOutput(false, true);
        m_text.ForgetBuffer();
        if (m_output.m_bSaveMode) {
            m_text.SetResultsPaneText(wxString::Format("Number of result sets saved: %d", m_run.SavedResultSets()));
        } else {
            m_text.SetResultsPaneText(wxString::Format("Number of lines of text: %d", m_text.GetLineCount()));
        }
        if (m_window.GetResultsText())
            m_window.GetResultsText()->Refresh();
    } else if (m_pGrids && !m_pGrids->IsFilling()) {
        m_pGrids->ShowResults();
    }
    m_window.SetFindStatusText(end.statusText);

    if (!m_bTextOutput) {
        if (m_view.m_strResultsPaneText.IsSameAs("Messages", false))
            m_text.FlushOutputText(false);
        else if (m_run.HasErrors() || !gridCreated)
            m_text.ShowMessages();
    }
}

void CBatchExecution::RestoreOutputMode()
{
    // The output mode that a run chose for itself gives way to the window's own.
    if (m_restoreResultsInText) {
        m_output.m_bResultsInText = *m_restoreResultsInText;
        m_restoreResultsInText.reset();
    }
    if (m_output.m_bSaveMode) {
        m_output.m_bSaveMode = 0;
        m_output.m_saveOptions.path.clear();
        if (m_output.m_bTextModeForced) {
            m_output.m_bTextModeForced = 0;
            m_output.m_bResultsInText = 0;
        }
    }
}

void CBatchExecution::MarkRunEnded()
{
    m_run.EndRun();
    {
        std::lock_guard<std::mutex> lock(m_pCancelTicket->mutex);
        m_pCancelTicket->live = false;
    }
}

void CBatchExecution::RefreshConnectionContext(int error)
{
    if (MayChangeDatabase(m_connection.m_bTSql, m_connection.m_bMySql, m_view.m_strSqlText) &&
        m_fnRefreshCurrentDatabase)
        m_fnRefreshCurrentDatabase();
    if (m_connection.m_bTSql && error == 0 && m_fnTrackSetOptions)
        m_fnTrackSetOptions(m_connection.m_strBatchSeparator.empty() ? m_view.m_strSqlText : m_strLastBatch);
    if ((m_connection.m_bTSql || m_connection.m_bMySql || m_connection.m_bOlap) && m_window.GetDatabaseList())
        m_window.GetDatabaseList()->Enable();
    if (m_pGrids)
        m_pGrids->EndRun();
}

void CBatchExecution::ReportCommandLineRunEnd()
{
    IQueryHost* host = m_window.GetHost();
    const bool failed = m_run.IsStopRequested() || m_run.HasErrors();
    if (m_view.m_bCloseWhenDone && host)
        host->OnCommandLineRunEnded(failed);
    if (m_view.m_bCloseWhenDone && failed) {
        m_view.m_bCloseWhenDone = 0;
        wxFrame* main = host ? host->GetHostWindow() : nullptr;
        if (m_run.HasErrors() && main && main->IsEnabled() && main->IsIconized()) {
            main->Iconize(false);
            m_window.ActivateRunWindow();
        }
    }
}

void CBatchExecution::ResetRunOptions()
{
    m_run.ClearStop();
    m_run.ClearErrors();
    if (m_connection.m_bRowLimit) {
        m_connection.m_bRowLimit = 0;
        try {
            if (m_connection.m_pRecordset)
                m_connection.m_pRecordset->PutMaxRecords(0);
        } catch (const _com_error&) {
            // Refused only while open, and DropRemainingBatches closed it just before.
        }
    }
    if (m_view.m_nQueryKind == ado::adSchemaDBInfoKeywords || m_view.m_nQueryKind == ado::adSchemaDBInfoLiterals)
        m_view.m_nQueryKind = -1;
}

void CBatchExecution::CloseWhenDone()
{
    IRunWindow& f = m_window;
    if (!m_view.m_bCloseWhenDone)
        return;
    IQueryHost* host = f.GetHost();
    wxFrame* main = host ? host->GetHostWindow() : nullptr;
    const bool mainMinimized = main && main->IsIconized() && main->IsEnabled();
    if (!m_connection.m_bAutoCommit) {
        // The open transaction keeps the window.
        if (mainMinimized) {
            main->Iconize(false);
            main->Raise();
        }
        return;
    }
    m_view.m_bCloseWhenDone = 0;
    CTorvaneDoc* doc = f.GetQueryDoc();
    if (!mainMinimized || (doc && doc->IsModified()))
        return;
    // Whether this was the last connection is seen once the window has gone: windows of one
    // command line that end together must not each count the others.
    wxWindow& window = f.GetRunWindow();
    window.CallAfter([&window, host, main] {
        window.Close();
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
    IRunWindow& f = m_window;
    IQueryHost* host = f.GetHost();
    wxFrame* main = host ? host->GetHostWindow() : nullptr;
    if (m_run.IsClosing() || m_view.m_bCloseWhenDone || !main || !main->IsEnabled() || main->IsIconized() ||
        !f.IsActiveQueryWindow())
        return;
    if (m_output.m_saveOptions.exportToExcel || m_output.m_saveOptions.publish)
        return;
    f.GetRunWindow().SetFocus();
}
