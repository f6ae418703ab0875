#include "QueryCancel.h"

#include <thread>

int WaitForCancelDone(const CQueryRunState& state, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (state.IsCancelling() && !state.IsStopRequested() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    return state.IsStopRequested();
}

void CancelQueryThreadProc(CCancelBlock block)
{
    try {
        if (block.recordset && RunsAsynchronously(block.asyncSupported, block.queryKind)) {
            const long state = block.recordset->GetState();
            if (state == ado::adStateExecuting || state == (ado::adStateOpen | ado::adStateExecuting) ||
                state == ado::adStateOpen || state == ado::adStateFetching)
                block.recordset->Cancel();
        }
    } catch (const _com_error&) {
        // The statement ended meanwhile; the stop flag below stops the run all the same.
    }
    block.state->CancelRunningStatement();
    block.recordset.reset();
    block.connection.reset();
    {
        std::lock_guard<std::mutex> lock(block.ticket->mutex);
        if (block.ticket->live)
            block.state->RequestStop();
    }
    block.state->Mailbox().Post(CCancelDone{});
}
