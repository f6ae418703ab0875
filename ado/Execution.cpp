#include "Execution.h"

#include "OdbcConnection.h"
#include "QueryWatchdog.h"
#include "StatementSplitter.h"
#include "Unicode.h"

namespace ado::detail {

namespace {

constexpr const char* kCancelled = "Operation has been cancelled by the user.";

SQLWCHAR* W(std::u16string& s) { return reinterpret_cast<SQLWCHAR*>(s.data()); }

} // namespace

Execution::Busy::Busy(Execution& e) : m_e(e)
{
    std::lock_guard lock(e.m_mutex);
    if (e.m_closing || e.m_hstmt == SQL_NULL_HSTMT)
        ThrowAdo(adErrObjectClosed, kClosedText, &e.m_connection->ErrorCollection());
    ++e.m_busy;
}

Execution::Busy::~Busy()
{
    std::lock_guard lock(m_e.m_mutex);
    if (--m_e.m_busy == 0)
        m_e.m_idle.notify_all();
}

Execution::Execution(std::shared_ptr<OdbcConnection> connection, std::string commandText, long maxRecords,
                     long blockRows, long timeoutSeconds)
    : m_connection(std::move(connection)), m_text(std::move(commandText)), m_maxRecords(maxRecords),
      m_blockRows(blockRows), m_timeout(timeoutSeconds)
{
}

Execution::~Execution()
{
    Close();
}

bool Execution::IsClosed() const
{
    std::lock_guard lock(m_mutex);
    return m_hstmt == SQL_NULL_HSTMT;
}

void Execution::Start()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_closing)
            ThrowAdo(adErrObjectClosed, kClosedText, &m_connection->ErrorCollection());
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_connection->Handle(), &m_hstmt))) {
            m_hstmt = SQL_NULL_HSTMT;
            ThrowOdbc(SQL_HANDLE_DBC, m_connection->Handle(), &m_connection->ErrorCollection());
        }
        // Made now: a cancel must not have to allocate while another thread is in the driver.
        if (m_connection->Traits().cancelClosesCursor &&
            !SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_connection->Handle(), &m_interruptHstmt))) {
            m_interruptHstmt = SQL_NULL_HSTMT;
            FreeHandle();
            ThrowOdbc(SQL_HANDLE_DBC, m_connection->Handle(), &m_connection->ErrorCollection());
        }
    }
    Busy busy(*this);
    if (m_cancelled)
        Check(SQL_ERROR);
    if (m_maxRecords > 0)
        SQLSetStmtAttrW(m_hstmt, SQL_ATTR_MAX_ROWS, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(m_maxRecords)), 0);
    if (m_timeout > 0)
        SQLSetStmtAttrW(m_hstmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(m_timeout)), 0);
    const DriverTraits& traits = m_connection->Traits();
    if (traits.singleStatement)
        m_statements = SplitStatements(m_text);
    if (traits.scansForSemicolons)
        for (auto& statement : m_statements)
            statement = MaskSemicolons(statement);
    if (m_statements.empty())
        m_statements.push_back(m_text);
    m_statementIndex = 0;
    ExecuteStatement(0);
    LoadResult();
}

void Execution::ExecuteStatement(size_t index)
{
    std::weak_ptr<Execution> weak = weak_from_this();
    WatchdogScope watchdog(m_timeout, [weak] {
        if (auto e = weak.lock())
            e->TimeOut();
    });
    SQLRETURN rc;
    if (m_connection->Traits().utf8Ansi) {
        std::string& text = m_statements[index];
        rc = SQLExecDirect(m_hstmt, reinterpret_cast<SQLCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size()));
    } else {
        std::u16string text = ToWide(m_statements[index]);
        rc = SQLExecDirectW(m_hstmt, W(text), static_cast<SQLINTEGER>(text.size()));
    }
    // A searched UPDATE or DELETE that touched no row answers SQL_NO_DATA.
    if (rc != SQL_NO_DATA)
        Check(rc);
    else if (m_cancelled)
        Check(SQL_ERROR);
}

void Execution::LoadResult()
{
    ++m_generation;
    SQLSMALLINT columns = 0;
    Check(SQLNumResultCols(m_hstmt, &columns));
    m_row = 0;
    m_delivered = 0;
    m_advanced = false;
    if (columns > 0) {
        m_hasRows = true;
        m_recordsAffected = -1;
        m_block.Bind(m_hstmt, m_connection->Traits(), columns, m_blockRows, *this);
        FetchBlock();
        m_emptyResult = m_atEnd;
        return;
    }
    m_hasRows = false;
    m_atEnd = true;
    m_emptyResult = true;
    SQLLEN count = -1;
    if (!SQL_SUCCEEDED(SQLRowCount(m_hstmt, &count)) || count < -1)
        count = -1;
    m_recordsAffected = static_cast<long>(count);
    // Move on now: a finished command frees its statement at once; an error of a later
    // statement waits for NextResult.
    try {
        m_advanced = AdvanceToNextResult();
        m_finished = !m_advanced;
    } catch (const _com_error&) {
        m_deferredErrors = m_connection->ErrorCollection().Snapshot();
        m_deferredFailure = true;
    }
}

void Execution::FetchBlock()
{
    std::weak_ptr<Execution> weak = weak_from_this();
    // The first block of a streaming driver is where a query does its work.
    WatchdogScope watchdog(m_delivered == 0 ? m_timeout : 0, [weak] {
        if (auto e = weak.lock())
            e->TimeOut();
    });
    m_row = 0;
    if (m_cancelled || m_timedOut)
        Check(SQL_ERROR);
    m_atEnd = !m_block.Fetch(m_hstmt, *this);
    // A cancel that came during the fetch may have ended it as if the rows had run out.
    if (m_cancelled || m_timedOut)
        Check(SQL_ERROR);
}

bool Execution::AdvanceToNextResult()
{
    SQLRETURN rc = SQLMoreResults(m_hstmt);
    if (rc != SQL_NO_DATA) {
        Check(rc);
        return true;
    }
    if (m_statementIndex + 1 < m_statements.size()) {
        ++m_statementIndex;
        SQLFreeStmt(m_hstmt, SQL_CLOSE);
        SQLFreeStmt(m_hstmt, SQL_UNBIND);
        ExecuteStatement(m_statementIndex);
        return true;
    }
    return false;
}

bool Execution::NextResult()
{
    if (m_finished) {
        Close();
        return false;
    }
    if (m_deferredFailure) {
        auto records = std::move(m_deferredErrors);
        HRESULT hr = records.empty() ? E_FAIL : records.front().number;
        m_deferredFailure = false;
        m_finished = true;
        Close();
        ThrowRecords(std::move(records), hr);
    }
    bool more;
    {
        Busy busy(*this);
        more = m_advanced || AdvanceToNextResult();
        if (more)
            LoadResult();
    }
    if (!more)
        Close();
    return more;
}

void Execution::MoveNext()
{
    ++m_delivered;
    if (m_maxRecords > 0 && m_delivered >= m_maxRecords) {
        m_atEnd = true;
        return;
    }
    if (++m_row < m_block.RowsInBlock())
        return;
    Busy busy(*this);
    FetchBlock();
}

void Execution::Cancel()
{
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    if (m_hstmt != SQL_NULL_HSTMT && m_busy > 0)
        InterruptBusyCall();
}

void Execution::InterruptBusyCall()
{
    SQLCancel(m_interruptHstmt != SQL_NULL_HSTMT ? m_interruptHstmt : m_hstmt);
}

void Execution::TimeOut()
{
    m_timedOut = true;
    Cancel();
}

void Execution::Close()
{
    std::unique_lock lock(m_mutex);
    m_closing = true;
    if (m_hstmt == SQL_NULL_HSTMT)
        return;
    if (m_busy > 0) {
        InterruptBusyCall();
        m_idle.wait(lock, [&] { return m_busy == 0; });
    }
    FreeHandle();
}

void Execution::FreeHandle()
{
    SQLFreeStmt(m_hstmt, SQL_CLOSE);
    SQLFreeHandle(SQL_HANDLE_STMT, m_hstmt);
    m_hstmt = SQL_NULL_HSTMT;
    if (m_interruptHstmt != SQL_NULL_HSTMT) {
        SQLFreeHandle(SQL_HANDLE_STMT, m_interruptHstmt);
        m_interruptHstmt = SQL_NULL_HSTMT;
    }
    m_atEnd = true;
}

void Execution::ThrowRecords(std::vector<ErrorRecord> records, HRESULT hr)
{
    if (records.empty())
        records.push_back({"Errors occurred.", "", 0, kProviderSource, hr});
    m_connection->ErrorCollection().Set(records);
    throw _com_error(hr, records.front().description, records.front().source);
}

void Execution::Check(SQLRETURN rc)
{
    if (m_timedOut) {
        ThrowRecords({{"Query timeout expired", "HYT00", 0, kProviderSource, E_FAIL}}, E_FAIL);
    }
    if (m_cancelled)
        ThrowAdo(adErrOperationCancelled, kCancelled, &m_connection->ErrorCollection());
    if (rc == SQL_SUCCESS || rc == SQL_NO_DATA)
        return;
    if (rc == SQL_SUCCESS_WITH_INFO) {
        m_connection->ReportInfo(SQL_HANDLE_STMT, m_hstmt);
        return;
    }
    ThrowOdbc(SQL_HANDLE_STMT, m_hstmt, &m_connection->ErrorCollection(), "Errors occurred.",
              m_connection->Traits().bytesInWideMessages);
}

void Execution::Fail(std::string description)
{
    ThrowRecords({{std::move(description), "01004", 0, kProviderSource, E_FAIL}}, E_FAIL);
}

} // namespace ado::detail
