// One command on its ODBC statement: its results one after another, the rows of the current
// result, and Cancel from any thread. A Recordset and its Fields share it.
#pragma once

#include "OdbcError.h"
#include "RowBlock.h"

#include <sql.h>
#include <sqlext.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ado::detail {

class OdbcConnection;

class Execution final : public StatementCheck, public std::enable_shared_from_this<Execution> {
public:
    // maxRecords: rows per result at most (0: all); blockRows: rows fetched per call.
    Execution(std::shared_ptr<OdbcConnection> connection, std::string commandText, long maxRecords, long blockRows,
              long timeoutSeconds);
    ~Execution() override;
    Execution(const Execution&) = delete;
    Execution& operator=(const Execution&) = delete;

    // Runs the command (the first statement of a split batch) and reads the first block of a
    // row result. Throws _com_error, with the connection's Errors filled.
    void Start();
    // Moves to the next result; false when there is none, and the statement is freed.
    bool NextResult();

    bool HasRows() const { return m_hasRows; }
    long RecordsAffected() const { return m_recordsAffected; }
    // Counts the results, so that fields of an earlier result can tell they are stale.
    int Generation() const { return m_generation; }
    bool IsClosed() const;

    // Rows of the current result.
    const RowBlock& Block() const { return m_block; }
    bool IsEmptyResult() const { return m_hasRows && m_emptyResult; }
    bool AtEnd() const { return m_atEnd; }
    size_t CurrentRow() const { return m_row; }
    void MoveNext();

    // Any thread: interrupts the statement's running call, and every later call on it fails
    // with the cancel error.
    void Cancel();
    // The deadline of the command time-out passed.
    void TimeOut();
    // Frees the statement, first cancelling and waiting for a call under way on another thread.
    void Close();

    void Check(SQLRETURN rc) override;
    [[noreturn]] void Fail(std::string description) override;

private:
    // Marks a sequence of ODBC calls; Close waits for it to end.
    class Busy {
    public:
        explicit Busy(Execution& e);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        Execution& m_e;
    };

    void ExecuteStatement(size_t index);
    void LoadResult();
    bool AdvanceToNextResult();
    void FetchBlock();
    [[noreturn]] void ThrowRecords(std::vector<ErrorRecord> records, HRESULT hr);
    void FreeHandle();
    // Interrupts the call under way on the statement; with m_mutex held.
    void InterruptBusyCall();

    std::shared_ptr<OdbcConnection> m_connection;
    std::string m_text;
    std::vector<std::string> m_statements;
    size_t m_statementIndex = 0;
    long m_maxRecords;
    long m_blockRows;
    long m_timeout;

    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    SQLHSTMT m_hstmt = SQL_NULL_HSTMT;
    // An idle statement of the same connection, cancelled in place of m_hstmt where the
    // driver's cancel closes the cursor (DriverTraits::cancelClosesCursor).
    SQLHSTMT m_interruptHstmt = SQL_NULL_HSTMT;
    int m_busy = 0;
    bool m_closing = false;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_timedOut{false};

    RowBlock m_block;
    bool m_hasRows = false;
    bool m_emptyResult = false;
    bool m_atEnd = true;
    size_t m_row = 0;
    long m_delivered = 0;
    long m_recordsAffected = -1;
    int m_generation = 0;

    // After a result without rows the statement is moved on at once (so a finished command
    // frees its statement and locks); what that found waits here for NextResult.
    bool m_advanced = false;
    bool m_finished = false;
    std::vector<ErrorRecord> m_deferredErrors;
    bool m_deferredFailure = false;
};

} // namespace ado::detail
