// Which batch of a run comes next, as query windows and the batch run both decide it: the
// batches wait in the run state's queue (the splitter fills it); after each batch the loop
// hands out the next one unless the run ends there.
//
// The run ends when it was stopped, when the queue is empty, after a failed batch when the run
// stops at the first error, while the grid worker holds the run, and when memory is short: then
// the memory message goes to the run's output where the batch would have started.
//
// Any thread that owns the run's control path; the queue is read under the run state's lock.
#pragma once

#include "QueryRunState.h"

#include <functional>
#include <optional>

class CBatchLoop {
public:
    // pageFileUsage: the share of memory in use (tests give their own).
    // The run state outlives the loop.
    CBatchLoop(CQueryRunState& state, std::function<int()> pageFileUsage);

    // Whether a failed batch ends the run.
    void SetStopOnError(bool stopOnError) { m_bStopOnError = stopOnError; }
    // Where the memory message goes: the text output, or the messages.
    void SetTextOutput(bool textOutput) { m_bTextOutput = textOutput; }

    // The batch to run after one that ended with previousFailed; nothing when the run ends.
    // gridHeld: the grid worker still holds the run.
    std::optional<CQueuedBatch> Next(bool previousFailed, bool gridHeld = false);
    // The run ended because memory was short.
    bool MemoryShort() const { return m_bMemoryShort; }
    // The last Next ended the run because the grid worker held it.
    bool HeldByGrid() const { return m_bHeldByGrid; }

private:
    bool QueueEmpty() const;

    CQueryRunState& m_state;
    std::function<int()> m_fnPageFileUsage;
    bool m_bStopOnError = true;
    bool m_bTextOutput = false;
    bool m_bMemoryShort = false;
    bool m_bHeldByGrid = false;
};
