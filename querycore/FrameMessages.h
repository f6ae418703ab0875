// The private messages of a query window, each with the payload it carries. Workers post the
// ends of their work and send requests the window must answer before they go on; the window
// registers one handler per message on its mailbox (FrameMailbox.h).
//
// A payload is copied into the queued call, so a posted message owns what it carries. Pointers
// in a payload are valid while the worker waits for the answer: they only appear in sent
// messages.
#pragma once

#include <cstdint>

typedef unsigned int UINT;
typedef intptr_t LRESULT;

struct CGridWorkBlock;
struct CQueuedBatch;
class CGridStore;

enum : UINT {
    WM_BATCHSPLITDONE = 0x1401,
    WM_GRIDBATCHDONE = 0x1402,
    WM_TEXTBATCHDONE = 0x1403,
    WM_SAVEBATCHDONE = 0x1404,
    WM_CANCELDONE = 0x1405,
    WM_CREATERESULTGRID = 0x1406,
    WM_SETGRIDROWS = 0x1407,
    WM_SETGRIDREDRAW = 0x1408,
    WM_EXECUTEBATCH = 0x1409,
    WM_EXECUTECOMPLETE = 0x140A,
};

// Posted by the splitter when it has queued every batch (or failed); runSerial tells a late
// message of an earlier run from the current run's.
struct CBatchSplitDone {
    static constexpr UINT kId = WM_BATCHSPLITDONE;
    bool failed = false;
    long runSerial = 0;
};

// Posted by a batch's worker as its last act, with whether the batch reported an error.
template <UINT Id>
struct CBatchDone {
    static constexpr UINT kId = Id;
    bool failed = false;
};
using CGridBatchDone = CBatchDone<WM_GRIDBATCHDONE>;
using CTextBatchDone = CBatchDone<WM_TEXTBATCHDONE>;
using CSaveBatchDone = CBatchDone<WM_SAVEBATCHDONE>;

// Posted by the cancel thread once Cancel returned and the stop flag is set.
struct CCancelDone {
    static constexpr UINT kId = WM_CANCELDONE;
};

// Posted by the connection's listener when an asynchronous open completed; the completions
// themselves wait in the listener.
struct CExecuteComplete {
    static constexpr UINT kId = WM_EXECUTECOMPLETE;
};

// Sent by the splitter: start this first batch of the run. Answer 0 when started, -1 when not.
struct CExecuteBatchRequest {
    static constexpr UINT kId = WM_EXECUTEBATCH;
    const CQueuedBatch* batch = nullptr;
};

// Sent by the grid worker: make a hidden grid with this many columns (the row header
// included) and hang its store in the block. Answer 0, -1 when it could not be made, or
// kGridLimitReached.
struct CCreateResultGrid {
    static constexpr UINT kId = WM_CREATERESULTGRID;
    int columns = 0;
    CGridWorkBlock* block = nullptr;
};

// Sent by the grid worker: give the block's current grid this many rows (the header row
// included). Answer 0, or -1 with the block's failure text set.
struct CSetGridRows {
    static constexpr UINT kId = WM_SETGRIDROWS;
    int rows = 0;
    CGridWorkBlock* block = nullptr;
};

// Sent by the grid worker around the sizing of a grid's columns: redraw off, then on again
// with the columns sized from the widths the worker measured.
struct CSetGridRedraw {
    static constexpr UINT kId = WM_SETGRIDREDRAW;
    bool redraw = false;
    const CGridStore* grid = nullptr;
};
