// The part of a query window that its worker threads share with it. Workers hold it by
// shared_ptr and never the window, so a worker that outlives its window finishes on state it
// still owns. The flags are atomics; the buffers are guarded by m_csOutput.
#pragma once

#include "ado/Ado.h"
#include "FrameMailbox.h"
#include "MessagesBuffer.h"
#include "SaveOptions.h"

#include <wx/string.h>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

// A batch waiting to run: its text as the splitter cut it, and the editor character position of
// its first non-blank character.
struct CQueuedBatch {
    wxString text;
    long position = 0;
};

class CQueryRunState {
public:
    explicit CQueryRunState(std::shared_ptr<CFrameMailbox> mailbox) : m_pMailbox(std::move(mailbox)) {}

    // Posted and sent messages to the window.
    const std::shared_ptr<CFrameMailbox> m_pMailbox;

    std::atomic<int> m_bExecuting{0};
    std::atomic<int> m_bFindInFiles{0};
    std::atomic<int> m_bStop{0};
    std::atomic<int> m_bCancelling{0};
    std::atomic<int> m_bSplitterRunning{0};
    std::atomic<int> m_bErrors{0};
    std::atomic<int> m_bClosing{0};

    // Guards the buffers, the error tags, the batch queue and the saved count.
    std::mutex m_csOutput;
    wxString m_strMessages;
    // The text output the results view has yet to take (it takes what it shows out of it).
    wxString m_strTextOutput;
    // Appends a worker's piece of text output, taking m_csOutput. Under the lock text is only
    // copied into memory written before: a buffer too small for the piece is replaced by one
    // of twice the size made ready outside the lock, so the window never waits on memory
    // being allocated and touched.
    void AppendTextOutput(const wxString& text);
    CErrorTagList m_errorList;
    std::deque<CQueuedBatch> m_batchQueue;
    // Result sets the save worker wrote in the current Execute and Save As run.
    int m_nSavedResultSets = 0;
    // The files the run's export/publish step works on.
    CExportStepFiles m_exportStep;

    // The statement a worker is running, so that cancelling and closing can reach it. A worker
    // sets it before it opens the statement and clears it when the statement is done.
    void SetRunningStatement(const ado::RecordsetPtr& recordset);
    // The connection a run executes on, for the statements a worker runs itself: none of their
    // recordsets exists before the statement returns.
    void SetRunningConnection(const ado::ConnectionPtr& connection);
    // Cancel on the running statement and on every statement of the running connection, if
    // any; safe from any thread.
    void CancelRunningStatement();

private:
    std::mutex m_csStatement;
    ado::RecordsetPtr m_pRunningStatement;
    ado::ConnectionPtr m_pRunningConnection;
};
