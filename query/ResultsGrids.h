// What a run of a query window needs of its results grids: grid-mode batches go to the grid
// worker, and the ends of batches and runs show, hide or drop the grids. The results view
// implements it and registers itself with the window's batch execution.
//
// A grid worker receives the execution block, walks the batch's results as the text worker
// does, and ends by posting its batch-done message with the batch's error flag.
#pragma once

#include "querycore/ExecutionBlock.h"
#include "querycore/WorkerThread.h"

#include <memory>

class IResultsGrids {
public:
    virtual ~IResultsGrids() = default;

    // Starts the grid worker on the block at the priority; null when no thread could start.
    virtual std::unique_ptr<CWorkerThread> StartGridWorker(std::shared_ptr<CExecutionBlock> block,
                                                           int priority) = 0;
    virtual int GetGridCount() const = 0;
    // The grid worker asked the run to stop after its batch (its report is pending).
    virtual bool IsBatchHeld() const = 0;
    // The grid worker is still filling a grid.
    virtual bool IsFilling() const = 0;
    // A grid could not be created or filled; the Messages command is off meanwhile.
    virtual bool IsGridFailed() const = 0;
    // The end of a grid-mode batch: the current grid is shown.
    virtual void ShowResults() = 0;
    // Shows grid n with its status text; false when there is no such grid.
    virtual bool ShowGrid(int n) = 0;
    virtual void HideAllGrids() = 0;
    virtual void DestroyAllGrids() = 0;
    // The end of a run: the worker's current grid is let go.
    virtual void EndRun() = 0;
};
