// The grid worker: on a query window's execution thread, walks the result sets of one executed
// batch into results grids. For each result set with fields it asks the window (a sent
// WM_CREATERESULTGRID) for a new grid, writes the field names, appends the rows to the grid's
// store, making room for rows in steps (700 at a time below 10,000 rows, 10,000 above), sizes
// the columns from the first 25 rows (WM_SETGRIDREDRAW around it), sets the grid's row count
// when its rows are all written (WM_SETGRIDROWS; the window learns the rows meanwhile from the
// grid's own timer, at most every 100 ms), and adds
// "(%d row(s) affected)" and "[%d row(s) returned (application specific)]" to the messages
// buffer. It reaches the window only through the run state: the mailbox, the flags and the
// locked buffers; the window answers with the handlers that CChildFrame registers for the three
// messages, whose lParam is the worker's CGridWorkBlock.
//
// Use, on the execution thread, once the batch has been executed:
//
//     CGridWorker worker(runState, options);
//     worker.Run(recordset, recordsAffected); // throws on failure
//
// Failures end the batch's result processing and are thrown for the caller to report:
// _com_error (the connection's provider errors, or the error's own text), CGridError (a text
// to report as it stands: the 1,500-grid limit, a grid that could not be made or grown, a value
// that could not be converted) and std::bad_alloc. Grids already filled stay. After a stop
// nothing is thrown for the rows not read, and the grid keeps exactly the rows written.
#pragma once

#include "ado/Ado.h"
#include "ExecutionBlock.h"
#include "GridStore.h"
#include "QueryRunState.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class CGridError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the worker and the window's handlers of its messages share while a batch is filled. The
// handlers run while the worker waits for their answer, so neither side locks it.
struct CGridWorkBlock {
    // Set by the window: the grid being filled (its store), empty between result sets.
    std::shared_ptr<CGridStore> m_pCurrentGrid;
    // Set when making room for rows failed; the window then turns the grid commands off.
    std::string m_strFailure;
    // Room made for rows (header row included).
    int m_nRowCapacity = 700;
    // Column sizing measures, taken by the window from the grid when it is created.
    int m_nFontPoints = 9;
    int m_nTwipsPerPixel = 15;
    bool m_bLargeFonts = false;

    // Worker state: header row plus data rows written, and whether the columns were sized.
    int m_nRowsInUse = 0;
    bool m_bColumnsSized = false;
};

// The answer of WM_CREATERESULTGRID when the run already has its 1,500 grids.
inline constexpr long kGridLimitReached = -2;
inline constexpr int kMaxResultGrids = 1500;

class CGridWorker {
public:
    struct Options {
        bool rowLimit = false;       // fetch at most maxRows rows per result set
        long maxRows = 0;
        bool multipleResults = true; // the connection supports "Multiple Results"
        int kind = kQueryKindBatch;  // a schema list kind: the keyword or literal list
        int priority = 0;            // the window's configured worker priority
    };

    CGridWorker(std::shared_ptr<CQueryRunState> state, Options options);

    // Fills the grids of every result set from the recordset's current one on; on a stop cuts
    // the last grid back to the rows written; sizes the last grid's columns when that has not
    // happened yet. recordsAffected is the first result's count (VT_I4, -1 when not known).
    void Run(const ado::RecordsetPtr& recordset, const _variant_t& recordsAffected);

    const CGridWorkBlock& GetBlock() const { return m_block; }

private:
    void FillResultGrids(ado::RecordsetPtr recordset, _variant_t recordsAffected);
    void FillGridFromRecordset(const ado::Fields& fields, long count);
    // Returns the number of data rows written.
    int FillRows(ado::Recordset& recordset, long count);
    // The steps of FillRows.
    // The fields read as bytes (by their Field object), null for the others.
    std::vector<ado::FieldPtr> ByteFields(ado::Recordset& recordset, long count) const;
    // Raises the priority and makes the first room.
    void StartFilling();
    // More room once rowsWritten fill what there is.
    void GrowForRow(int rowsWritten);
    // A cell's display text, appended to text; throws _com_error when the value cannot be read.
    void ReadCell(ado::Recordset& recordset, long index, const ado::FieldPtr& byteField, std::string& text) const;
    // Appends the current record as row (from 1), noting the widths of the first rows; a cell
    // that cannot be read cuts the grid back and throws its conversion failure.
    void AppendRow(ado::Recordset& recordset, long count, const std::vector<ado::FieldPtr>& byteFields, int row,
                   std::string& text);
    // Sizes the columns after the first rows; back to the window's priority after 100.
    void AfterRow(int row);
    // MoveNext; a failure cuts the grid back to the rows written, reports them and is rethrown.
    void MoveToNextRow(ado::Recordset& recordset, int rowsWritten);
    // Marks the grid complete with its final row count and sizes the columns of a short one.
    void FinishRows(int rowsWritten);
    void SizeGridColumns();
    // Room for rows (header included) in the grid's store; on failure the grid keeps the rows
    // written and the failure text is thrown.
    void MakeRoom(int rows);
    // Sets the grid's row count (sent WM_SETGRIDROWS); throws the failure text when that fails.
    void SetGridRows(int rows);
    // Resizes to the rows written after a failure while reading; false when that failed too.
    bool CutBackAfterFailure(int rows);
    void AppendMessage(const wxString& text);
    bool Stopped() const { return m_pState->IsStopRequested(); }
    template <class Message>
    LRESULT Send(const Message& message);
    void SetPriority(int priority);
    int Extra() const { return m_block.m_bLargeFonts ? 8 : 2; }
    int WidthPixels(int characters) const;

    std::shared_ptr<CQueryRunState> m_pState;
    Options m_options;
    CGridWorkBlock m_block;
    int m_nPriority;
    // Longest text (characters) by grid column in the header and the first 25 rows; -1 where
    // nothing was recorded.
    std::vector<int> m_widths;
    // Per field: how its value becomes text.
    enum class CellRead { Text, Boolean, Bytes };
    std::vector<CellRead> m_reads;
};

// The grid-mode worker of one batch: executes it unless its asynchronous open already did (or
// opens the keyword or literal list), fills the grids, and reports a failure as an error tag in
// the messages (unless the run was stopped). Waits for a pending cancel and closes the
// recordset before it returns the batch's error flag (1 when an error was reported).
int RunGridBatch(CExecutionBlock& block, const CGridWorker::Options& options);

// The thread procedure: RunGridBatch, then WM_GRIDBATCHDONE with the error flag.
void ExecuteToGridThreadProc(std::shared_ptr<CExecutionBlock> block, CGridWorker::Options options);
