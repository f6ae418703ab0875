// The part of a query window's run that its worker threads share with it: the run's flags, the
// output buffers, the error tags, the queue of batches and the files of a save run. Workers
// hold it by shared_ptr and never the window, so a worker that outlives its window finishes on
// state it still owns.
//
// Every operation may be called from any thread and takes the state's lock itself; the flags are
// atomics read without it. Under the lock text is only copied: nothing here waits on the window.
#pragma once

#include "ado/Ado.h"
#include "FrameMailbox.h"
#include "MessagesBuffer.h"
#include "SaveOptions.h"

#include <wx/string.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// A batch waiting to run: its text as the splitter cut it, and the editor character position of
// its first non-blank character.
struct CQueuedBatch {
    wxString text;
    long position = 0;
};

// How far a reader of an output buffer has got: what it has seen of the buffer and up to where
// the text it shows reaches.
struct COutputCursor {
    bool shown = false;
    size_t seen = 0;
    size_t shownTo = 0;
};

// New output for the reader: text[from, to) is what it has yet to show.
struct COutputPiece {
    wxString text;
    size_t from = 0;
    size_t to = 0;
};

class CQueryRunState {
public:
    explicit CQueryRunState(std::shared_ptr<CFrameMailbox> mailbox) : m_pMailbox(std::move(mailbox)) {}
    CQueryRunState(const CQueryRunState&) = delete;
    CQueryRunState& operator=(const CQueryRunState&) = delete;

    // Posted and sent messages to the window.
    CFrameMailbox& Mailbox() const { return *m_pMailbox; }

    // ---- The run and the search ----

    // A run starts: its buffers and queue emptied, its stop, cancel and error flags cleared, the
    // connection it executes on noted for cancelling.
    void BeginRun(const ado::ConnectionPtr& connection);
    // The run has ended: no cancel is in progress and its connection is let go.
    void EndRun();
    bool IsExecuting() const { return m_bExecuting != 0; }
    // A Find in Files search of the window is under way; it stops on RequestStop as a run does.
    void BeginSearch();
    void EndSearch();
    bool IsSearching() const { return m_bFindInFiles != 0; }
    // The one answer to "is the window busy": a run or a search is under way.
    bool IsBusy() const { return m_bExecuting != 0 || m_bFindInFiles != 0; }

    void RequestStop() { m_bStop = 1; }
    void ClearStop() { m_bStop = 0; }
    bool IsStopRequested() const { return m_bStop != 0; }
    // The stop flag itself, for the loops that look at it while they work.
    const std::atomic<int>& StopFlag() const { return m_bStop; }

    void SetCancelling(bool cancelling) { m_bCancelling = cancelling; }
    bool IsCancelling() const { return m_bCancelling != 0; }
    void SetSplitterRunning(bool running) { m_bSplitterRunning = running; }
    bool IsSplitterRunning() const { return m_bSplitterRunning != 0; }
    // A batch of the run failed.
    void MarkErrors() { m_bErrors = 1; }
    void ClearErrors() { m_bErrors = 0; }
    bool HasErrors() const { return m_bErrors != 0; }
    // The window is closing: workers and late messages find nothing to start.
    void SetClosing(bool closing) { m_bClosing = closing; }
    bool IsClosing() const { return m_bClosing != 0; }

    // ---- Output ----

    // A piece of output for the buffer of the mode (the text output in text and save mode, else
    // the messages), "\n\n" before it when the buffer already holds something.
    void AppendOutput(bool textOutput, const wxString& text);
    void AppendMessages(const wxString& text) { AppendOutput(false, text); }
    // A new error tag for text, recorded with the start of its batch and added to the buffer of
    // the mode; returns the tag.
    wxString AppendError(bool textOutput, const wxString& text, long batchStart);
    // A worker's piece of text output, appended as it stands. A buffer too small for the piece
    // is replaced by one of twice the size made ready outside the lock, so the window never
    // waits on memory being allocated and touched.
    void AppendTextOutput(const wxString& text);
    // What the buffer of the mode holds that the reader has not shown yet, its cursor moved on;
    // nullopt when nothing new shows. The text output is taken out of its buffer (all but its
    // last character, by which the writers still see that something was written); the messages
    // stay whole, to be shown again when a grid gives way to them.
    std::optional<COutputPiece> TakeNewOutput(bool textOutput, COutputCursor& cursor);
    // The text output written past position, position moved to its end (a reader that never
    // takes the text, such as the command-line run's writer).
    wxString ReadTextOutputFrom(size_t& position) const;
    wxString CopyMessages() const;
    wxString CopyTextOutput() const;
    bool HasMessages() const;
    bool IsOutputEmpty(bool textOutput) const;
    void ClearOutput(bool messages, bool textOutput);

    // ---- Error tags ----

    void ResetErrorTags();
    bool HasErrorTags() const;
    std::vector<CErrorTagEntry> ErrorTags() const;
    // Error navigation, as CErrorTagList's cursor moves.
    std::optional<CErrorTagEntry> NextErrorTag();
    std::optional<CErrorTagEntry> PreviousErrorTag();
    long FindErrorTag(const wxString& tag);

    // ---- Batches ----

    void QueueBatch(CQueuedBatch batch);
    // The queue becomes batches, at once.
    void ReplaceBatches(std::vector<CQueuedBatch> batches);
    std::optional<CQueuedBatch> TakeBatch();
    bool HasQueuedBatches() const;
    void DropBatches();

    // ---- A save run ----

    // A save run starts: no result set saved, no files for its export step.
    void BeginSaveRun();
    int SavedResultSets() const;
    // A result set was saved: counted and reported in the text output. A delimited file that
    // goes to a spreadsheet afterwards is noted for the export step, with its field count.
    void CountSavedResultSet(const wxString& report, const std::string& excelFile, long columnCount);
    CExportStepFiles ExportStep() const;
    // Changes the export step's files under the lock.
    void UpdateExportStep(const std::function<void(CExportStepFiles&)>& change);

    // ---- The running statement ----

    // The statement a worker is running, so that cancelling and closing can reach it. A worker
    // sets it before it opens the statement and clears it when the statement is done.
    void SetRunningStatement(const ado::RecordsetPtr& recordset);
    // The connection a run executes on, for the statements a worker runs itself: none of their
    // recordsets exists before the statement returns.
    void SetRunningConnection(const ado::ConnectionPtr& connection);
    // Cancel on the running statement and on every statement of the running connection, if
    // any.
    void CancelRunningStatement();

private:
    const std::shared_ptr<CFrameMailbox> m_pMailbox;

    std::atomic<int> m_bExecuting{0};
    std::atomic<int> m_bFindInFiles{0};
    std::atomic<int> m_bStop{0};
    std::atomic<int> m_bCancelling{0};
    std::atomic<int> m_bSplitterRunning{0};
    std::atomic<int> m_bErrors{0};
    std::atomic<int> m_bClosing{0};

    // Guards the buffers, the error tags, the batch queue and the save run's files.
    mutable std::mutex m_csOutput;
    wxString m_strMessages;
    // The text output the results view has yet to take.
    wxString m_strTextOutput;
    CErrorTagList m_errorList;
    std::deque<CQueuedBatch> m_batchQueue;
    // Result sets the save worker wrote in the current Execute and Save As run.
    int m_nSavedResultSets = 0;
    CExportStepFiles m_exportStep;

    std::mutex m_csStatement;
    ado::RecordsetPtr m_pRunningStatement;
    ado::ConnectionPtr m_pRunningConnection;
};
