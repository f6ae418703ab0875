// The Results in Text worker, the cancel thread and the event sink on real databases, without a
// window: the worker writes into a run state whose window is already gone.
#include "querycore/ConnectionEventsSink.h"
#include "querycore/QueryCancel.h"
#include "querycore/TextWorker.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/DetachedRunState.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestTiming.h"
#include "tests/window/LongQuery.h"

#include <gtest/gtest.h>
#include <wx/event.h>

#include <condition_variable>
#include <future>
#include <thread>

using namespace std::chrono_literals;
using torvane::test::DatabaseTest;
using torvane::test::DetachedRunState;

namespace {

// Waits for the end of asynchronous opens.
class CompletionLog : public ado::ConnectionEvents {
public:
    void ExecuteComplete(long recordsAffected, ado::Error* pError, ado::EventStatusEnum*, ado::Recordset*,
                         ado::Connection*) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_recordsAffected = recordsAffected;
        m_failed = pError != nullptr;
        m_done = true;
        m_cv.notify_all();
    }
    bool Wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, 10s, [this] { return m_done; });
    }
    long m_recordsAffected = -1;
    bool m_failed = false;

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_done = false;
};

class TextWorkerTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        m_connection = ado::Connection::Create();
        m_connection->Open(ConnectionString());
        m_state = DetachedRunState();
    }

    CExecutionBlock Block(const std::string& batch)
    {
        CExecutionBlock block;
        block.state = m_state;
        block.recordset = ado::Recordset::Create();
        block.connection = m_connection;
        block.batch = batch;
        block.batchStart = 17;
        block.textOutput = true;
        return block;
    }

    // The batch run by the worker itself (no asynchronous execution).
    wxString RunSync(const std::string& batch, int* error = nullptr)
    {
        m_state->ClearOutput(false, true);
        CExecutionBlock block = Block(batch);
        const int failed = RunTextBatch(block);
        if (error)
            *error = failed;
        return m_state->CopyTextOutput();
    }

    // The batch opened asynchronously, as the window does, and then read by the worker.
    wxString RunAsync(const std::string& batch, int* error = nullptr)
    {
        m_state->ClearOutput(false, true);
        CompletionLog log;
        const long cookie = m_connection->Advise(&log);
        CExecutionBlock block = Block(batch);
        block.recordset->Open(_variant_t(batch), m_connection, ado::adOpenForwardOnly, ado::adLockReadOnly,
                              ado::adAsyncExecute);
        EXPECT_TRUE(log.Wait());
        m_connection->Unadvise(cookie);
        block.recordsAffected = _variant_t(static_cast<int32_t>(log.m_recordsAffected));
        block.workerExecutes = false;
        int failed = 0;
        if (log.m_failed) {
            failed = 1; // the window reports such a failure itself
        } else {
            failed = RunTextBatch(block);
        }
        if (error)
            *error = failed;
        return m_state->CopyTextOutput();
    }

    ado::ConnectionPtr m_connection;
    std::shared_ptr<CQueryRunState> m_state;
};

TEST_P(TextWorkerTest, SeveralStatementsAndResultSetsInOneBatch)
{
    Exec("CREATE TABLE pets (id integer, name varchar(20))");
    const std::string batch = "INSERT INTO pets VALUES (1, 'cat'), (2, 'dog');\n"
                              "SELECT name FROM pets ORDER BY id;\n"
                              "SELECT id AS n FROM pets WHERE id > 5;\n"
                              "UPDATE pets SET id = id + 10";
    const wxString expected = "(2 row(s) affected)\n\nname\n----\ncatdog\n\nn\n-\n\n(2 row(s) affected)";
    int error = -1;
    EXPECT_EQ(RunSync(batch, &error), expected);
    EXPECT_EQ(error, 0);
    Exec("DELETE FROM pets");
    EXPECT_EQ(RunAsync(batch, &error), expected);
    EXPECT_EQ(error, 0);
}

TEST_P(TextWorkerTest, OnlyTheFirstFieldOfAResultSetIsWritten)
{
    // Procedure and view text comes one line per row, each with its own line end.
    EXPECT_EQ(RunSync("SELECT 'line one\n' AS text, 2 AS ignored UNION ALL SELECT 'line two\n', 3"),
              "text\n----\nline one\nline two\n");
    if (IsSqlite()) { // PostgreSQL refuses an empty name
        EXPECT_EQ(RunSync("SELECT 1 AS \"\""), "\n----\n1");
    }
}

TEST_P(TextWorkerTest, ValuesOfEveryType)
{
    struct Case {
        std::string expression;
        wxString text;
    };
    std::vector<Case> cases = {
        {"NULL", ""},
        {"42", "42"},
        {"-7.25", "-7.25"},
        {"'text with\ttab'", "text with\ttab"},
        {"'Grüße 日本'", wxString::FromUTF8("Grüße 日本")},
    };
    if (IsPostgres()) {
        cases.insert(cases.end(), {
                                      {"true", "1"},
                                      {"false", "0"},
                                      {"9223372036854775807::bigint", "9223372036854775807"},
                                      {"12345.678::numeric(10,3)", "12345.678"},
                                      {"DATE '2024-02-29'", "2024-02-29"},
                                      {"'text'::bytea", "<Binary/Raw>"},
                                      {"'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'::uuid",
                                       "{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}"},
                                  });
    } else {
        cases.push_back({"9223372036854775807", "9223372036854775807"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        int error = -1;
        EXPECT_EQ(RunSync("SELECT " + c.expression + " AS v", &error), "v\n-\n" + c.text);
        EXPECT_EQ(error, 0);
    }
    // Bytes from a binary column: raw bytes show as such; bytes that hold a terminated text show
    // as that text.
    Exec(IsSqlite() ? "CREATE TABLE blobs (id integer, v blob)" : "CREATE TABLE blobs (id integer, v bytea)");
    Exec(IsSqlite() ? "INSERT INTO blobs VALUES (1, x'00ff10'), (2, x'6869000a')"
                    : "INSERT INTO blobs VALUES (1, '\\x00ff10'), (2, '\\x686900')");
    EXPECT_EQ(RunSync("SELECT v FROM blobs WHERE id = 1"), "v\n-\n<Binary/Raw>");
    EXPECT_EQ(RunSync("SELECT v FROM blobs WHERE id = 2"), IsSqlite() ? "v\n-\n<Binary/Raw>" : "v\n-\nhi");
}

TEST_P(TextWorkerTest, AFailingStatementEndsTheBatchWithAnErrorTag)
{
    int error = 0;
    const wxString text = RunSync("SELECT 1 AS one; SELECT * FROM no_such_table", &error);
    EXPECT_EQ(error, 1);
    ASSERT_EQ(static_cast<int>(m_state->ErrorTags().size()), 1);
    EXPECT_EQ(m_state->ErrorTags()[0].batchStart, 17);
    EXPECT_TRUE(text.StartsWith(IsSqlite() ? "one\n---\n1\n\n<eb1>" : "<eb1>")) << text;
    EXPECT_TRUE(text.Contains("no_such_table")) << text;
    EXPECT_TRUE(text.Contains("\rState: ")) << text;
    EXPECT_TRUE(text.EndsWith("</eb1>")) << text;
}

TEST_P(TextWorkerTest, ProviderMessagesReachTheBufferOfTheMode)
{
    if (!IsPostgres())
        GTEST_SKIP() << "SQLite sends no notices";
    CConnectionEventsSink sink(m_state);
    sink.SetTextOutput(true);
    const long cookie = m_connection->Advise(&sink);
    const wxString text =
        RunSync("DO $$ BEGIN RAISE NOTICE 'first notice'; RAISE NOTICE 'second notice'; END $$; SELECT 5 AS five");
    EXPECT_EQ(text, "NOTICE: first notice\n\nNOTICE: second notice\n\nfive\n----\n5");

    // In grid mode they go to the messages; while no run goes they are dropped.
    sink.SetTextOutput(false);
    RunSync("DO $$ BEGIN RAISE NOTICE 'to the messages'; END $$");
    EXPECT_EQ(m_state->CopyMessages(), "NOTICE: to the messages");
    m_state->EndRun();
    RunSync("DO $$ BEGIN RAISE NOTICE 'nobody listens'; END $$");
    EXPECT_EQ(m_state->CopyMessages(), "NOTICE: to the messages");
    m_connection->Unadvise(cookie);
}

TEST_P(TextWorkerTest, TheCancelThreadStopsTheWorkerWithinBounds)
{
    // The worker runs the statement itself: no recordset of it exists to cancel, the
    // connection's Cancel reaches it.
    m_state->SetRunningConnection(m_connection);
    CExecutionBlock block = Block(window_test::LongQuery(GetParam()));
    auto worker = std::async(std::launch::async, [&block] { return RunTextBatch(block); });
    // Cancelled once the statement runs at the database.
    ASSERT_TRUE(torvane::test::WaitFor(
        [this] { return window_test::LongQueryRunning(GetParam(), ConnectionString()); }, 15s))
        << "the statement did not start";

    m_state->SetCancelling(true);
    std::thread canceller(CancelQueryThreadProc,
                          CCancelBlock{m_state, block.recordset, m_connection, true, -1, std::make_shared<CCancelTicket>()});
    // Well before the minute of the statement: only a cancel that never arrives fails here.
    ASSERT_EQ(worker.wait_for(torvane::test::Scaled(15s)), std::future_status::ready);
    canceller.join();
    EXPECT_EQ(worker.get(), 0) << "a cancelled batch reports no error";
    EXPECT_TRUE(m_state->IsStopRequested());
    EXPECT_TRUE(m_state->IsOutputEmpty(true)) << m_state->CopyTextOutput();
    m_state->SetRunningConnection(nullptr);
}

TEST_P(TextWorkerTest, ACancelThatOutlivesItsRunStopsNothing)
{
    m_state->ClearStop();
    auto ticket = std::make_shared<CCancelTicket>();
    {
        std::lock_guard<std::mutex> lock(ticket->mutex);
        ticket->live = false; // the run ended first
    }
    CancelQueryThreadProc({m_state, nullptr, m_connection, true, -1, ticket});
    EXPECT_FALSE(m_state->IsStopRequested());
}

TEST_P(TextWorkerTest, TheWaitForACancelIsBounded)
{
    m_state->ClearStop();
    m_state->SetCancelling(true); // a cancel that never finishes
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForCancelDone(*m_state, 600ms), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 500ms);
    // Only a wait that ignores its bound takes this long, however loaded the machine.
    EXPECT_LT(took, 10s);
    m_state->SetCancelling(false);
}

TORVANE_INSTANTIATE_FOR_DRIVERS(TextWorkerTest);

} // namespace
