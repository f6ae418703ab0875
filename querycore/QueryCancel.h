// Cancelling a run: the cancel thread that interrupts the running statement, and the wait of
// the workers for it, so that they close their objects only once the cancel is done with them.
#pragma once

#include "ado/Ado.h"
#include "ExecutionBlock.h"
#include "QueryRunState.h"

#include <chrono>
#include <memory>
#include <mutex>

// The longest a worker waits for a cancel that does not finish (a provider whose Cancel hangs).
inline constexpr std::chrono::milliseconds kCancelWaitLimit{5000};

// While a cancel is in progress and the stop flag is clear, waits 250 ms a round, at most
// limit in all; returns the stop flag.
int WaitForCancelDone(const CQueryRunState& state, std::chrono::milliseconds limit = kCancelWaitLimit);

// Lets the window withdraw a cancel that outlived its run: the cancel thread sets the stop
// flag only while its run is still going, so a late cancel never stops the next run.
struct CCancelTicket {
    std::mutex mutex;
    bool live = true;
};

// The cancel block.
struct CCancelBlock {
    std::shared_ptr<CQueryRunState> state;
    ado::RecordsetPtr recordset;
    ado::ConnectionPtr connection;
    bool asyncSupported = false;
    int queryKind = kQueryKindBatch;
    std::shared_ptr<CCancelTicket> ticket;
};

// The cancel thread: Cancel on the window's recordset when it executes asynchronously (State
// executing, open and executing, open, or fetching), and on every statement of the run's
// connection, which reaches a batch that the worker runs itself; errors are dropped. Then the
// stop flag and WM_CANCELDONE.
void CancelQueryThreadProc(CCancelBlock block);
