#include "querycore/BatchEndGuard.h"
#include "querycore/FrameMailbox.h"
#include "querycore/QueryRunState.h"
#include "querycore/WorkerThread.h"
#include "tests/support/TestTiming.h"
#include "WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/event.h>

#include <sys/resource.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using window_test::PumpUntil;

namespace {

TEST(WorkerThread, JoinsWhenDoneAndLetsAStragglerGo)
{
    auto shared = std::make_shared<std::atomic<int>>(0);
    auto quick = CWorkerThread::Begin([shared] { *shared += 1; });
    EXPECT_TRUE(quick->Wait(2s));
    EXPECT_FALSE(quick->IsRunning());
    EXPECT_EQ(*shared, 1);

    // A body that ignores every request to stop: the wait ends at its bound and the thread
    // finishes later on the state it holds.
    auto stubborn = CWorkerThread::Begin([shared] {
        std::this_thread::sleep_for(600ms);
        *shared += 10;
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(stubborn->Wait(100ms));
    // A wait past its bound shows in its answer; this catches one that hangs.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    stubborn.reset();
    EXPECT_TRUE(PumpUntil([shared] { return *shared == 11; }, torvane::test::Scaled(10s))) << *shared;
}

TEST(WorkerThread, PriorityMapsToTheThreadsNiceValue)
{
    std::atomic<int> nice{100};
    std::atomic<bool> release{false};
    auto worker = CWorkerThread::Begin(
        [&] {
            while (!release)
                std::this_thread::sleep_for(5ms);
            nice = getpriority(PRIO_PROCESS, 0);
        },
        THREAD_PRIORITY_LOWEST);
    worker->SetThreadPriority(THREAD_PRIORITY_BELOW_NORMAL);
    release = true;
    ASSERT_TRUE(worker->Wait(2s));
    // Lowering always works; raising back needs a privilege a test may not have.
    EXPECT_GE(nice, 5);
    EXPECT_GE(nice, getpriority(PRIO_PROCESS, 0));
    EXPECT_EQ(CWorkerThread::NiceForPriority(THREAD_PRIORITY_TIME_CRITICAL), -20);
    EXPECT_EQ(CWorkerThread::NiceForPriority(THREAD_PRIORITY_IDLE), 19);
    EXPECT_EQ(CWorkerThread::NiceForPriority(THREAD_PRIORITY_NORMAL), 0);
}

class MailboxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        m_window = std::make_unique<wxEvtHandler>();
        m_mailbox = CFrameMailbox::Create(m_window.get());
    }
    void TearDown() override
    {
        if (m_mailbox)
            m_mailbox->Close();
        window_test::Pump();
    }
    std::unique_ptr<wxEvtHandler> m_window;
    std::shared_ptr<CFrameMailbox> m_mailbox;
};

TEST_F(MailboxTest, PostedMessagesArriveInOrderOnTheUiThread)
{
    std::vector<long> seen;
    bool onUiThread = true;
    m_mailbox->SetHandler<CBatchSplitDone>([&](const CBatchSplitDone& done) {
        seen.push_back(done.runSerial);
        onUiThread = onUiThread && wxIsMainThread() && done.failed;
        return 0;
    });
    auto worker = CWorkerThread::Begin([mailbox = m_mailbox] {
        for (long i = 1; i <= 3; ++i)
            mailbox->Post(CBatchSplitDone{true, i});
    });
    ASSERT_TRUE(worker->Wait(2s));
    ASSERT_TRUE(PumpUntil([&] { return seen.size() == 3; }, 2s));
    EXPECT_EQ(seen, (std::vector<long>{1, 2, 3}));
    EXPECT_TRUE(onUiThread);
}

TEST_F(MailboxTest, SentMessagesWaitForTheAnswer)
{
    m_mailbox->SetHandler<CCreateResultGrid>(
        [](const CCreateResultGrid& request) { return static_cast<LRESULT>(request.columns * 2); });
    std::atomic<LRESULT> answer{0};
    std::atomic<LRESULT> unhandled{0};
    auto worker = CWorkerThread::Begin([&, mailbox = m_mailbox] {
        answer = mailbox->Send(CCreateResultGrid{21, nullptr});
        unhandled = mailbox->Send(CSetGridRows{5, nullptr});
    });
    ASSERT_TRUE(PumpUntil([&] { return !worker->IsRunning(); }, 2s));
    worker->Wait(0ms);
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(unhandled, -1);
    // On the UI thread itself the handler runs at once.
    EXPECT_EQ(m_mailbox->Send(CCreateResultGrid{4, nullptr}), 8);
}

TEST_F(MailboxTest, ClosingAnswersWaitingSendersAndDropsTheRest)
{
    int handled = 0;
    m_mailbox->SetHandler<CExecuteBatchRequest>([&](const CExecuteBatchRequest&) { return ++handled; });
    m_mailbox->SetHandler<CBatchSplitDone>([&](const CBatchSplitDone&) { return ++handled; });
    std::atomic<int> sending{0};
    std::atomic<LRESULT> answer{0};
    std::atomic<bool> postAfterClose{true};
    auto worker = CWorkerThread::Begin([&, mailbox = m_mailbox] {
        mailbox->Post(CBatchSplitDone{});
        sending = 1;
        answer = mailbox->Send(CExecuteBatchRequest{}); // nobody pumps: it waits
        postAfterClose = mailbox->Post(CBatchSplitDone{});
    });
    while (!sending)
        std::this_thread::sleep_for(2ms);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(worker->IsRunning());
    m_mailbox->Close();
    EXPECT_TRUE(worker->Wait(1s));
    EXPECT_EQ(answer, -1);
    EXPECT_FALSE(postAfterClose);
    EXPECT_EQ(m_mailbox->Send(CExecuteBatchRequest{}), -1);
    // What was queued before the close is dropped, not delivered.
    window_test::Pump();
    EXPECT_EQ(handled, 0);
}

TEST_F(MailboxTest, AWorkerOutlivingItsWindowStaysOnItsOwnState)
{
    auto state = std::make_shared<CQueryRunState>(m_mailbox);
    std::atomic<bool> finished{false};
    auto worker = CWorkerThread::Begin([state, &finished] {
        while (!state->IsStopRequested())
            std::this_thread::sleep_for(5ms);
        std::this_thread::sleep_for(200ms); // ignores the stop for a while
        state->AppendMessages("late");
        state->Mailbox().Post(CTextBatchDone{});
        finished = true;
    });
    state->RequestStop();
    m_mailbox->Close();
    EXPECT_FALSE(worker->Wait(50ms));
    // The window and its handler go; the worker still holds the state.
    m_window.reset();
    std::weak_ptr<CQueryRunState> weak = state;
    state.reset();
    torvane::test::WaitFor([&] { return finished && weak.expired(); }, 10s);
    EXPECT_TRUE(finished);
    EXPECT_TRUE(weak.expired());
}

struct TestBlock {
    std::shared_ptr<CQueryRunState> state;
};

// Whatever a batch's body does, the window hears of the batch's end with the right flag; an
// exception past the body's own handlers counts as a failure and its text reaches the output.
TEST_F(MailboxTest, EveryBatchEndReachesTheWindow)
{
    struct Case {
        const char* name;
        std::function<int()> body;
        bool failed;
        const char* messages;
    };
    const Case cases[] = {
        {"clean", [] { return 0; }, false, ""},
        {"reported error", [] { return 1; }, true, ""},
        {"out of memory", []() -> int { throw std::bad_alloc(); }, true, "Out-of-Memory."},
        {"anything else", []() -> int { throw std::runtime_error("boom"); }, true, "Errors occurred."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto state = std::make_shared<CQueryRunState>(m_mailbox);
        std::vector<bool> ends;
        m_mailbox->SetHandler<CTextBatchDone>([&ends](const CTextBatchDone& done) {
            ends.push_back(done.failed);
            return 0;
        });
        auto block = std::make_shared<TestBlock>(TestBlock{state});
        std::weak_ptr<TestBlock> held = block;
        auto worker = CWorkerThread::Begin([block = std::move(block), &c]() mutable {
            RunBatchToItsEnd<CTextBatchDone>(std::move(block), true, [&c](TestBlock&) { return c.body(); });
        });
        ASSERT_TRUE(PumpUntil([&] { return !ends.empty(); }, 5s));
        EXPECT_EQ(ends, std::vector<bool>{c.failed});
        // The worker let go of the batch before the window heard of its end.
        EXPECT_TRUE(held.expired());
        EXPECT_EQ(state->CopyTextOutput(), c.messages);
    }
}

} // namespace
