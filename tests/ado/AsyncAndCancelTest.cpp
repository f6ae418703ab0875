#include "AdoTestHelpers.h"
#include "tests/support/TestTiming.h"

#include <time.h>

#include <atomic>
#include <functional>
#include <future>
#include <thread>

using namespace ado;
using namespace adotest;
using namespace std::chrono_literals;

namespace {

// The processor time this process has used.
std::chrono::nanoseconds ProcessorTime()
{
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
}

bool WaitFor(const std::function<bool()>& condition)
{
    return torvane::test::WaitFor(condition, 20s);
}

// What tells that the long query a session is about to run is under way: its PostgreSQL server
// process sleeps in it; SQLite runs it in this process, which has then computed for a tenth of a
// second, far longer than anything before the statement's first step takes.
std::function<bool()> LongQueryUnderWay(const ConnectionPtr& cn, bool postgres, const std::string& connectionString)
{
    if (postgres) {
        const std::string pid = Scalar(cn, "select pg_backend_pid()");
        const ConnectionPtr probe = Connect(connectionString);
        return [probe, pid] {
            return Scalar(probe, "SELECT count(*) FROM pg_stat_activity WHERE pid = " + pid +
                                     " AND wait_event = 'PgSleep'") == "1";
        };
    }
    const std::chrono::nanoseconds start = ProcessorTime();
    return [start] { return ProcessorTime() - start > 100ms; };
}

} // namespace

class AdoAsyncCancel : public torvane::test::DatabaseTest {
protected:
    // A query that runs until something stops it (SQLite) or for 30 seconds (PostgreSQL).
    std::string LongQuery() const
    {
        return IsSqlite() ? "with recursive c(x) as (select 1 union all select x + 1 from c) select count(*) from c"
                          : "SELECT pg_sleep(30)";
    }
    // Call before the long query starts on cn.
    std::function<bool()> LongQueryUnderWay(const ConnectionPtr& cn) const
    {
        return ::LongQueryUnderWay(cn, IsPostgres(), ConnectionString());
    }

    // Runs work on another thread, cancels with cancel once ready holds, and returns the error
    // the work ended with and how long after the cancel it ended.
    template <class Work, class CancelFn>
    std::pair<std::string, std::chrono::milliseconds> CancelOnceReady(Work work, CancelFn cancel,
                                                                      const std::function<bool()>& ready)
    {
        std::promise<std::string> outcome;
        std::thread worker([&] {
            try {
                work();
                outcome.set_value("finished without error");
            } catch (const _com_error& e) {
                outcome.set_value(e.Description());
            }
        });
        EXPECT_TRUE(WaitFor(ready)) << "the work was not under way";
        auto cancelled = std::chrono::steady_clock::now();
        cancel();
        auto future = outcome.get_future();
        bool done = future.wait_for(torvane::test::Scaled(20s)) == std::future_status::ready;
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - cancelled);
        worker.join();
        return {done ? future.get() : "did not end", took};
    }
};

TEST_P(AdoAsyncCancel, AsyncOpenCompletesWithAnEventOnItsOwnThread)
{
    auto cn = Connect(ConnectionString());
    EventLog log;
    long cookie = cn->Advise(&log);
    auto rs = Recordset::Create();
    rs->Open(_variant_t("select 6 * 7 as answer"), cn, adOpenForwardOnly, adLockReadOnly, adAsyncExecute);
    ASSERT_TRUE(log.WaitForCompletions(1));
    auto done = log.Completions().at(0);
    EXPECT_EQ(done.status, adStatusOK);
    EXPECT_TRUE(done.error.empty());
    EXPECT_EQ(done.recordset, rs.get());
    EXPECT_EQ(done.stateDuringEvent, adStateOpen);
    EXPECT_EQ(rs->GetCollect(0L).ToLong(), 42);

    // A statement without rows: the count comes with the event and the recordset is closed.
    cn->Execute("create table a (id integer)");
    auto insert = Recordset::Create();
    insert->Open(_variant_t("insert into a values (1), (2)"), cn, adOpenForwardOnly, adLockReadOnly, adAsyncExecute);
    ASSERT_TRUE(log.WaitForCompletions(2));
    EXPECT_EQ(log.Completions().at(1).recordsAffected, 2);
    EXPECT_EQ(insert->GetState(), adStateClosed);
    EXPECT_EQ(ErrorOf([&] { insert->NextRecordset(); }), S_OK) << "the finished command ends quietly";

    // Execute can run asynchronously too.
    auto executed = cn->Execute("select 5", nullptr, long(adCmdText) | adAsyncExecute);
    ASSERT_TRUE(log.WaitForCompletions(3));
    EXPECT_EQ(log.Completions().at(2).recordset, executed.get());
    EXPECT_EQ(executed->GetCollect(0L).ToLong(), 5);

    // Synchronous work raises no completion event.
    cn->Execute("select 1");
    Recordset::Create()->Open(_variant_t("select 1"), cn, adOpenForwardOnly, adLockReadOnly, adCmdText);
    EXPECT_EQ(log.Completions().size(), 3u);
    cn->Unadvise(cookie);
}

TEST_P(AdoAsyncCancel, AsyncFailureComesWithTheEventNotAnException)
{
    auto cn = Connect(ConnectionString());
    EventLog log;
    cn->Advise(&log);
    auto rs = Recordset::Create();
    EXPECT_NO_THROW(rs->Open(_variant_t("select * from no_such_table"), cn, adOpenForwardOnly, adLockReadOnly, adAsyncExecute));
    ASSERT_TRUE(log.WaitForCompletions(1));
    auto done = log.Completions().at(0);
    EXPECT_EQ(done.status, adStatusErrorsOccurred);
    EXPECT_NE(done.error.find("no_such_table"), std::string::npos) << done.error;
    EXPECT_EQ(rs->GetState(), adStateClosed);
    ASSERT_GE(cn->GetErrors()->GetCount(), 1);
    EXPECT_EQ(cn->GetErrors()->GetItem(0)->GetDescription(), done.error);
    EXPECT_EQ(ErrorOf([&] { rs->Close(); }), AdoError(adErrObjectClosed));
}

TEST_P(AdoAsyncCancel, TheProbeSurvivesAnImmediateCancelAndClose)
{
    auto cn = Connect(ConnectionString());
    EventLog log;
    cn->Advise(&log);
    for (int i = 0; i < 40; ++i) {
        auto rs = Recordset::Create();
        rs->Open(_variant_t("SELECT 2*3"), cn, adOpenForwardOnly, adLockReadOnly, adAsyncExecute);
        long state = rs->GetState();
        if (state == adStateExecuting || state == (adStateOpen | adStateExecuting) || state == adStateOpen
            || state == adStateFetching)
            rs->Cancel();
        if (rs->GetState() != adStateClosed)
            rs->Close();
        EXPECT_EQ(rs->GetState(), adStateClosed);
    }
    ASSERT_TRUE(log.WaitForCompletions(40)) << "every asynchronous open reports its end, cancelled or not";
    EXPECT_EQ(Scalar(cn, "select 5"), "5");
}

TEST_P(AdoAsyncCancel, CancelStopsALongSynchronousOpenWithinASecond)
{
    auto cn = Connect(ConnectionString());
    auto rs = Recordset::Create();
    auto [error, took] = CancelOnceReady(
        [&] { rs->Open(_variant_t(LongQuery()), cn, adOpenForwardOnly, adLockReadOnly, adCmdText); },
        [&] {
            EXPECT_EQ(rs->GetState(), adStateExecuting);
            rs->Cancel();
        },
        LongQueryUnderWay(cn));
    EXPECT_EQ(error, "Operation has been cancelled by the user.");
    EXPECT_LT(took, torvane::test::Scaled(1000ms));
    EXPECT_EQ(rs->GetState(), adStateClosed);
    EXPECT_EQ(Scalar(cn, "select 8"), "8") << "the connection stays usable";
}

TEST_P(AdoAsyncCancel, CancelWhileAnotherThreadFetchesEndsTheReadingCleanly)
{
    // Rows that keep coming until something stops them: the server makes each as it is fetched.
    auto cn = Connect(ConnectionString());
    const std::string rows = IsSqlite()
                                 ? "with recursive c(x) as (select 1 union all select x + 1 from c) select x || 'th row' from c"
                                 : "SELECT generate_series(1, 2000000000) || 'th row'";
    // The cancel lands at a different point of the reading each time.
    for (int round = 0; round < 12; ++round) {
        auto rs = Recordset::Create();
        rs->Open(_variant_t(rows), cn, adOpenForwardOnly, adLockReadOnly, adCmdText);
        std::atomic<long> read{0};
        auto [error, took] = CancelOnceReady(
            [&] {
                FieldPtr field = rs->GetFields()->GetItem(0L);
                while (!rs->IsEOF()) {
                    if (field->GetValue().ToString().empty())
                        break;
                    ++read;
                    rs->MoveNext();
                }
            },
            [&] { rs->Cancel(); }, [&read, round] { return read > round * 997; });
        EXPECT_EQ(error, "Operation has been cancelled by the user.") << "round " << round << ", " << read << " rows";
        EXPECT_LT(took, torvane::test::Scaled(1000ms));
        EXPECT_GT(read.load(), 0);
        rs->Close();
    }
    EXPECT_EQ(Scalar(cn, "select 10"), "10") << "the connection stays usable";
}

TEST_P(AdoAsyncCancel, ConnectionCancelReachesASynchronousExecute)
{
    auto cn = Connect(ConnectionString());
    auto [error, took] = CancelOnceReady([&] { cn->Execute(LongQuery()); }, [&] { cn->Cancel(); }, LongQueryUnderWay(cn));
    EXPECT_EQ(error, "Operation has been cancelled by the user.");
    EXPECT_LT(took, torvane::test::Scaled(1000ms));
    EXPECT_EQ(Scalar(cn, "select 9"), "9");
}

TEST_P(AdoAsyncCancel, CancelStopsAnAsyncOpenAndTheEventSaysSo)
{
    auto cn = Connect(ConnectionString());
    EventLog log;
    cn->Advise(&log);
    auto rs = Recordset::Create();
    const auto underWay = LongQueryUnderWay(cn);
    rs->Open(_variant_t(LongQuery()), cn, adOpenForwardOnly, adLockReadOnly, adAsyncExecute);
    EXPECT_EQ(rs->GetState(), adStateOpen | adStateExecuting);
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), AdoError(adErrStillExecuting));
    ASSERT_TRUE(WaitFor(underWay));
    auto start = std::chrono::steady_clock::now();
    rs->Cancel();
    ASSERT_TRUE(log.WaitForCompletions(1, torvane::test::Scaled(5s)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, torvane::test::Scaled(1000ms));
    auto done = log.Completions().at(0);
    EXPECT_EQ(done.status, adStatusErrorsOccurred);
    EXPECT_EQ(done.error, "Operation has been cancelled by the user.");
    EXPECT_EQ(rs->GetState(), adStateClosed);
}

TEST_P(AdoAsyncCancel, ClosingTheConnectionStopsWhatRunsOnIt)
{
    auto cn = Connect(ConnectionString());
    EventLog log;
    cn->Advise(&log);
    auto rs = Recordset::Create();
    const auto underWay = LongQueryUnderWay(cn);
    rs->Open(_variant_t(LongQuery()), cn, adOpenForwardOnly, adLockReadOnly, adAsyncExecute);
    ASSERT_TRUE(WaitFor(underWay));
    auto start = std::chrono::steady_clock::now();
    cn->Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, torvane::test::Scaled(2000ms));
    EXPECT_EQ(cn->GetState(), adStateClosed);
    ASSERT_TRUE(log.WaitForCompletions(1, torvane::test::Scaled(5s)));
    EXPECT_EQ(log.Completions().at(0).status, adStatusErrorsOccurred);
    EXPECT_EQ(rs->GetState(), adStateClosed);
}

TEST_P(AdoAsyncCancel, CommandTimeoutEndsALongQuery)
{
    auto cn = Connect(ConnectionString());
    cn->PutCommandTimeout(1);
    auto start = std::chrono::steady_clock::now();
    try {
        cn->Execute(LongQuery());
        FAIL() << "the query ran to its end";
    } catch (const _com_error& e) {
        std::string text = e.Description();
        EXPECT_TRUE(text.find("timeout") != std::string::npos || text.find("Query timeout expired") != std::string::npos)
            << text;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, torvane::test::Scaled(10s));
    cn->PutCommandTimeout(0);
    EXPECT_EQ(Scalar(cn, "select 3"), "3");
}

TORVANE_INSTANTIATE_FOR_DRIVERS(AdoAsyncCancel);

class AdoServerFailure : public torvane::test::DatabaseTest {};

TEST_P(AdoServerFailure, AServerThatDropsTheSessionGivesAClearError)
{
    if (IsSqlite())
        GTEST_SKIP() << "an embedded database has no server to lose";
    auto cn = Connect(ConnectionString());
    std::string pid = Scalar(cn, "select pg_backend_pid()");
    const auto underWay = LongQueryUnderWay(cn, true, ConnectionString());
    std::promise<std::string> outcome;
    std::thread worker([&] {
        try {
            cn->Execute("SELECT pg_sleep(30)");
            outcome.set_value("finished without error");
        } catch (const _com_error& e) {
            outcome.set_value(e.Description());
        }
    });
    EXPECT_TRUE(WaitFor(underWay)) << "the query did not start";
    torvane::test::ExecDirect(ConnectionString(), "select pg_terminate_backend(" + pid + ")");
    auto future = outcome.get_future();
    ASSERT_EQ(future.wait_for(torvane::test::Scaled(10s)), std::future_status::ready) << "the query hangs after its server went away";
    worker.join();
    std::string error = future.get();
    EXPECT_NE(error, "finished without error");
    EXPECT_FALSE(error.empty());
    ASSERT_GE(cn->GetErrors()->GetCount(), 1);

    // Later calls fail the same clear way; closing still works.
    EXPECT_NE(ErrorOf([&] { cn->Execute("select 1"); }), S_OK);
    EXPECT_NO_THROW(cn->Close());
}

TORVANE_INSTANTIATE_FOR_DRIVERS(AdoServerFailure);
