// Query windows with autocommit off: the one transaction that runs accumulate in, the question
// before closing, and what a failed commit leaves; the autocommit pane's explanation; the
// Results in Text switch and its warning.
#include "app/MainFrame.h"
#include "app/TorvaneApp.h"
#include "common/CommandIds.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "query/BatchExecution.h"
#include "query/ChildFrame.h"
#include "query/QueryKeyRouting.h"
#include "query/ResultView.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestTiming.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/statusbr.h>
#include <wx/stc/stc.h>

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::Main;
using window_test::Pump;
using window_test::PumpUntil;

namespace {

const auto kHang = Scaled(15s);

const char* const kPendingQuestion = "There may be uncommited transactions pending.\n\nDo you wish to commit these "
                                     "transactions before performing the requested operation?";

class TransactionWindowTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        DatabaseTest::SetUp();
        ASSERT_EQ(Main().GetConnectionCount(), 0u);
        CSettingsStore::Get().WriteProfileInt("Configure", "Auto Commit", 0);
    }
    void TearDown() override
    {
        if (!window_test::HaveDisplay())
            return;
        CSettingsStore::Get().DeleteKey("Configure", "Auto Commit");
        window_test::CloseQueryWindows();
    }

    CChildFrame* Open(const std::string& extra = std::string())
    {
        CChildFrame* frame = window_test::OpenQueryWindow(ConnectionString() + extra);
        if (frame)
            window_test::SetResultsInText(*frame, true);
        return frame;
    }

    static void Run(CChildFrame* frame, const wxString& sql)
    {
        frame->GetQueryView()->GetEditCtrl()->SetText(sql);
        wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
        frame->GetEventHandler()->ProcessEvent(execute);
        ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
        // The question about closing is about the transaction, not about the editor's text.
        frame->GetQueryDoc()->Modify(false);
    }

    // What another connection sees of the table.
    std::string Count(const std::string& table) const
    {
        auto cn = ado::Connection::Create();
        cn->Open(ConnectionString());
        return cn->Execute("SELECT count(*) FROM " + table)->GetCollect(0).ToString();
    }

    static bool IsOpen(CChildFrame* frame)
    {
        const auto& windows = Main().GetQueryWindows();
        return std::find(windows.begin(), windows.end(), frame) != windows.end();
    }
};

TEST_P(TransactionWindowTest, RunsAccumulateInOneTransactionUntilTheWindowCloses)
{
    Exec("CREATE TABLE t (id integer)");
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    EXPECT_FALSE(frame->Connection().m_bAutoCommit);
    EXPECT_TRUE(frame->GetExecution().Transactions().IsTransactionOpen());

    Run(frame, "INSERT INTO t VALUES (1)");
    Run(frame, "INSERT INTO t VALUES (2)");
    EXPECT_EQ(frame->GetResultView()->GetText(), "(1 row(s) affected)");
    EXPECT_EQ(Count("t"), "0") << "nothing is committed between runs";

    {
        CMessageScript messages{wxID_CANCEL};
        frame->Close();
        Pump();
        ASSERT_EQ(messages.Shown().size(), 1u);
        EXPECT_EQ(messages.Shown()[0].text, kPendingQuestion);
        EXPECT_EQ(messages.Shown()[0].style & (wxYES_NO | wxCANCEL | wxICON_QUESTION),
                  wxYES_NO | wxCANCEL | wxICON_QUESTION);
        EXPECT_TRUE(IsOpen(frame));
    }
    {
        CMessageScript messages{wxID_YES};
        frame->Close();
        ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 0; }, kHang));
        EXPECT_EQ(messages.Texts().size(), 1u);
    }
    EXPECT_EQ(Count("t"), "2");
}

TEST_P(TransactionWindowTest, NoRollsTheWorkBack)
{
    Exec("CREATE TABLE t (id integer)");
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Run(frame, "INSERT INTO t VALUES (1)");
    CMessageScript messages{wxID_NO};
    frame->Close();
    ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 0; }, kHang));
    EXPECT_EQ(messages.Texts(), std::vector<wxString>{kPendingQuestion});
    EXPECT_EQ(Count("t"), "0");
}

TEST_P(TransactionWindowTest, AWindowWhereNothingRanClosesWithoutAQuestion)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->GetExecution().Transactions().IsTransactionOpen());
    CMessageScript messages;
    frame->Close();
    ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 0; }, kHang));
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_P(TransactionWindowTest, AFailedCommitKeepsTheWindowOpenWithTheError)
{
    std::string extra;
    if (IsPostgres()) {
        Exec("CREATE TABLE u (id integer UNIQUE DEFERRABLE INITIALLY DEFERRED)");
    } else {
        // The driver enforces foreign keys only when asked to.
        extra = "FKSupport=1;";
        Exec("CREATE TABLE parent (id integer PRIMARY KEY)");
        Exec("CREATE TABLE u (id integer REFERENCES parent (id) DEFERRABLE INITIALLY DEFERRED)");
    }
    CChildFrame* frame = Open(extra);
    ASSERT_TRUE(frame);
    Run(frame, IsPostgres() ? "INSERT INTO u VALUES (1); INSERT INTO u VALUES (1)" : "INSERT INTO u VALUES (1)");
    EXPECT_EQ(window_test::StatusPane(*frame, 0), "Query batch completed") << frame->GetResultView()->GetText();
    {
        CMessageScript messages{wxID_YES, wxID_OK};
        frame->Close();
        Pump();
        ASSERT_EQ(messages.Shown().size(), 2u);
        EXPECT_EQ(messages.Shown()[0].text, kPendingQuestion);
        // The commit's failure, shown; the window stays with the work as it was.
        EXPECT_TRUE(messages.Shown()[1].style & wxICON_STOP);
        EXPECT_TRUE(messages.Shown()[1].text.Lower().Contains(IsPostgres() ? "unique" : "foreign key"))
            << messages.Shown()[1].text;
        EXPECT_TRUE(IsOpen(frame));
        EXPECT_TRUE(frame->GetExecution().Transactions().IsTransactionOpen());
    }
    if (IsSqlite()) {
        // The work is still there: mended, it commits.
        Run(frame, "INSERT INTO parent VALUES (1)");
        CMessageScript messages{wxID_YES};
        frame->Close();
        ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 0; }, kHang));
        EXPECT_EQ(messages.Texts(), std::vector<wxString>{kPendingQuestion});
        EXPECT_EQ(Count("u"), "1");
    } else {
        // The work that failed to commit is still pending: the next close asks again.
        CMessageScript messages{wxID_NO};
        frame->Close();
        ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 0; }, kHang));
        EXPECT_EQ(messages.Texts(), std::vector<wxString>{kPendingQuestion});
        EXPECT_EQ(Count("u"), "0");
    }
}

TEST_P(TransactionWindowTest, TheAutocommitPaneExplainsItself)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    wxStatusBar* bar = frame->GetQueryStatusBar();
    wxRect pane;
    ASSERT_TRUE(bar->GetFieldRect(frame->GetExecution().Transactions().m_nAutocommitPane, pane));
    CMessageScript messages;
    for (wxPoint at : {pane.GetLeftTop() + wxPoint(2, 2), wxPoint(bar->GetSize().x - 5, 3)}) {
        wxMouseEvent click(wxEVT_LEFT_DOWN);
        click.SetPosition(at);
        click.SetEventObject(bar);
        bar->GetEventHandler()->ProcessEvent(click);
        Pump();
    }
    ASSERT_EQ(messages.Shown().size(), 1u) << "only a click on the pane explains";
    EXPECT_EQ(messages.Shown()[0].text, "Connection was established with autocommit mode off.");
    EXPECT_TRUE(messages.Shown()[0].style & wxICON_INFORMATION);
}

TEST_P(TransactionWindowTest, ResultsInTextWarnsUntilToldNotTo)
{
    CSettingsStore::Get().DeleteKey("Configure", "Auto Commit");
    CSettingsStore::Get().DeleteKey("General", "ResultsInTextWarning");
    CChildFrame* first = Open();
    CChildFrame* second = Open();
    ASSERT_TRUE(first && second);
    window_test::SetResultsInText(*first, false);
    EXPECT_TRUE(first->Connection().m_bResultsInTextWarning);
    const auto toggle = [first] {
        wxCommandEvent command(wxEVT_MENU, ID_RESULTS_IN_TEXT);
        first->GetEventHandler()->ProcessEvent(command);
    };
    {
        CMessageScript messages{wxID_YES};
        toggle();
        ASSERT_EQ(messages.Texts().size(), 1u);
        EXPECT_TRUE(messages.Texts()[0].StartsWith("Warning: The <Results in Text> option is GOOD ONLY FOR"));
        EXPECT_TRUE(first->OutputMode().m_bResultsInText);
        toggle(); // turning it off never warns
        EXPECT_EQ(messages.Texts().size(), 1u);
        EXPECT_FALSE(first->OutputMode().m_bResultsInText);
    }
    {
        CMessageScript messages{wxID_NO};
        toggle();
        EXPECT_EQ(messages.Texts().size(), 1u);
        EXPECT_TRUE(first->OutputMode().m_bResultsInText);
    }
    EXPECT_FALSE(first->Connection().m_bResultsInTextWarning);
    EXPECT_FALSE(second->Connection().m_bResultsInTextWarning);
    EXPECT_EQ(CSettingsStore::Get().GetProfileInt("General", "ResultsInTextWarning", 1), 0);
    CMessageScript messages;
    window_test::SetResultsInText(*first, false);
    toggle();
    EXPECT_TRUE(messages.Texts().empty());
    CSettingsStore::Get().DeleteKey("General", "ResultsInTextWarning");
}

TORVANE_INSTANTIATE_FOR_DRIVERS(TransactionWindowTest);

} // namespace
