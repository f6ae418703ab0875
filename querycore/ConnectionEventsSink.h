// The listener a query window advises on its connection: provider messages (warnings and
// notices that come with a successful call) go into the output buffer of the run, and the end
// of an asynchronous open goes to the window, with its error, so the window can start the
// batch's worker or report the failure.
//
// The data layer calls it on the thread that completes the work (a worker, or the layer's own
// thread for asynchronous opens), so it touches only the run state; completions reach the
// window as a private message.
#pragma once

#include "ado/Ado.h"
#include "QueryRunState.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class CConnectionEventsSink final : public ado::ConnectionEvents {
public:
    struct Completion {
        long number = 0;         // the n-th completion since ExpectCompletion
        long recordsAffected = -1;
        bool failed = false;
        wxString errorText;      // the provider's errors when failed
    };

    explicit CConnectionEventsSink(std::shared_ptr<CQueryRunState> state) : m_state(std::move(state)) {}

    void InfoMessage(ado::Error* pError, ado::EventStatusEnum* adStatus, ado::Connection* pConnection) override;
    void ExecuteComplete(long recordsAffected, ado::Error* pError, ado::EventStatusEnum* adStatus,
                         ado::Recordset* pRecordset, ado::Connection* pConnection) override;

    // UI thread, before the window opens recordset asynchronously: completions that came
    // before are dropped, and so are completions of any other recordset. The ones that come
    // for it are numbered from 1; the open's own is number 1, since an open of a recordset
    // waits for the end of its previous one.
    void ExpectCompletion(const ado::Recordset* recordset);
    // Where provider messages go during a run: the text output, or the messages.
    void SetTextOutput(bool textOutput) { m_bTextOutput = textOutput; }

    // UI thread: the completions that arrived since the last call.
    std::vector<Completion> TakeCompletions();

private:
    std::shared_ptr<CQueryRunState> m_state;
    std::atomic<bool> m_bTextOutput{false};
    std::mutex m_mutex;
    const ado::Recordset* m_pWatched = nullptr;
    long m_nCompleted = 0;
    std::deque<Completion> m_completions;
};
