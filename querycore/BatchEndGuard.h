// The end of a batch's worker, guaranteed: whatever the batch's body does — returns its error
// flag, or throws past its own handlers (an allocation failure while it reports one, say) — the
// window hears of the batch's end with the error flag, so no window is left "executing".
//
// The worker's hold on the batch's objects ends before the message is posted, so the window
// that hears of the end may release the connection at once.
#pragma once

#include "common/UnexpectedError.h"
#include "MessagesBuffer.h"
#include "QueryRunState.h"

#include <memory>

// Runs body(*block) (which returns 1 when it reported an error) on the calling worker thread and
// then posts Done{failed}. An exception leaving the body counts as a failed batch: it goes to
// the unexpected-error log and its text to the run's messages.
template <class Done, class Block, class Body>
void RunBatchToItsEnd(std::shared_ptr<Block> block, bool textOutput, Body&& body)
{
    const std::shared_ptr<CQueryRunState> state = block->state;
    bool failed = true;
    try {
        failed = body(*block) != 0;
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        LogUnexpectedError("batch worker", error);
        try {
            if (!state->IsStopRequested())
                state->AppendOutput(textOutput, UnexpectedErrorText(error));
        } catch (...) {
            // The end message below still goes; the batch is reported failed without its text.
        }
    }
    block.reset();
    state->Mailbox().Post(Done{failed});
}
