// The UI thread's side of a query window's run: the text being run and the batch under way, what
// the status bar shows of the run, the results grids it made, and the workers it started. The
// state shared with the workers lives in CQueryRunState. UI thread only.
#pragma once

#include "querycore/WorkerThread.h"
#include "ResultGridList.h"

#include <wx/string.h>

#include <chrono>
#include <memory>

struct CRunViewState {
    // The run is ending: a late batch or completion is not started.
    int m_bFinishing = 0;
    // A command-line run: the window closes when the run ends.
    int m_bCloseWhenDone = 0;
    // A statement ran in the transaction the window holds open.
    int m_bStatementInTransaction = 0;
    // The catalog query the run is, or -1 for the editor's text.
    int m_nQueryKind = -1;

    wxString m_strSqlText;     // the text of the run
    wxString m_strCurrentBatch; // the batch under way, prepared for the provider
    long m_nSearchOrigin = -1; // editor character position where the run's text begins

    wxString m_strStatusText; // status pane 0
    wxString m_strExecTime;   // the elapsed-time pane
    wxString m_strMilliseconds = ".000";
    wxString m_strResultsPaneText = "Results grid #0 of 0; 0 row(s); 0 col(s)";
    int m_nTimerId = 0;
    std::chrono::steady_clock::time_point m_dwStartTicks;

    CResultGridList m_grids;

    std::unique_ptr<CWorkerThread> m_pSplitterThread;
    std::unique_ptr<CWorkerThread> m_pExecThread;
    std::unique_ptr<CWorkerThread> m_pCancelThread;
    // The export/publish step after the last batch of a save run.
    std::unique_ptr<CWorkerThread> m_pExportThread;
};
