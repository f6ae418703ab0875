// Grid-mode runs through the window's Execute command, on SQLite and PostgreSQL, with batches
// opened asynchronously and run by the worker itself: grids, messages, the switch between them,
// the status panes while a run goes, Clear All and Cancel.
#include "app/MainFrame.h"
#include "app/TorvaneApp.h"
#include "common/CommandIds.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "query/BatchExecution.h"
#include "query/ChildFrame.h"
#include "query/MSHFlexGrid.h"
#include "query/QueryKeyRouting.h"
#include "query/ResultView.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestTiming.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/stc/stc.h>

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::Main;
using window_test::Pump;
using window_test::PumpUntil;

namespace {

void Command(wxWindow& target, int id)
{
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(&target);
    target.GetEventHandler()->ProcessEvent(event);
    Pump();
}

class GridExecutionTest : public ::testing::TestWithParam<window_test::RunPath> {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        if (GetParam().driver == Driver::PostgreSQL && !PostgresConfigured())
            GTEST_SKIP() << "no PostgreSQL";
        m_connect = CleanDatabaseConnectionString(GetParam().driver);
        ExecDirect(m_connect, "CREATE TABLE t (id INTEGER, name VARCHAR(20))");
        CMessageScript quiet;
        CTorvaneDoc* doc = Main().NewQueryWindow(wxString::FromUTF8(m_connect));
        ASSERT_TRUE(doc);
        m_frame = QueryFrameOf(doc);
        m_frame->Connection().m_bAsyncSupported = GetParam().async;
        window_test::SetResultsInText(*m_frame, false);
        Pump();
    }
    void TearDown() override
    {
        if (!window_test::HaveDisplay())
            return;
        window_test::CloseQueryWindows();
    }

    void Start(const wxString& sql)
    {
        m_frame->GetQueryView()->GetEditCtrl()->SetText(sql);
        wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
        m_frame->GetEventHandler()->ProcessEvent(execute);
        ASSERT_TRUE(m_frame->IsExecuting());
    }
    void Run(const wxString& sql)
    {
        Start(sql);
        ASSERT_TRUE(PumpUntil([this] { return !m_frame->IsExecuting(); }, Scaled(60s))) << "the run did not end";
        Pump();
    }
    wxString Pane(int index) const { return m_frame->GetQueryStatusBar()->GetStatusText(index); }
    CResultView& View() const { return *m_frame->GetResultView(); }

    std::string m_connect;
    CChildFrame* m_frame = nullptr;
};

} // namespace

TEST_P(GridExecutionTest, BatchesFillGridsAndMessagesSwitchWithThem)
{
    Run("INSERT INTO t VALUES (1, 'one'), (2, 'two');\nSELECT id, name FROM t ORDER BY id;\nGO\n"
        "SELECT name FROM t WHERE id = 2\n");
    EXPECT_EQ(Pane(0), "Query batch completed");
    CMSHFlexGrid* first = m_frame->GetResultGrid(1);
    CMSHFlexGrid* second = m_frame->GetResultGrid(2);
    ASSERT_TRUE(first && second);
    EXPECT_FALSE(m_frame->GetResultGrid(3));
    EXPECT_TRUE(first->IsShown());
    EXPECT_FALSE(second->IsShown());
    EXPECT_EQ(first->GetTextMatrix(2, 2), "two");
    EXPECT_EQ(second->GetTextMatrix(0, 1), "name");
    EXPECT_EQ(Pane(3), "Results grid #1 of 2; 2 row(s); 2 col(s)");
    EXPECT_EQ(View().GetText(), "") << "the grid lies on an empty text";

    // Messages: the collected lines, the grid hidden; and back to the grid.
    Command(*m_frame, ID_MESSAGES_MODE);
    EXPECT_FALSE(first->IsShown());
    EXPECT_EQ(Pane(3), "Messages");
    EXPECT_EQ(View().GetText(), "(2 row(s) affected)\n\n[2 row(s) returned (application specific)]\n\n"
                                "[1 row(s) returned (application specific)]");

    // Find in the messages: down from the selection, whole words and case as asked.
    {
        CMessageScript script;
        View().SetSelection(0, 0);
        ASSERT_TRUE(View().FindNext("returned", wxFR_DOWN));
        const long first = View().GetSelectionStart();
        EXPECT_EQ(View().GetSelectedText(), "returned");
        ASSERT_TRUE(View().FindNext("returned", wxFR_DOWN));
        EXPECT_GT(View().GetSelectionStart(), first);
        EXPECT_FALSE(View().FindNext("returned", wxFR_DOWN));
        EXPECT_TRUE(View().FindNext("returned", 0)) << "and back up";
        EXPECT_EQ(View().GetSelectionStart(), first);
        View().SetSelection(0, 0);
        EXPECT_FALSE(View().FindNext("Returned", wxFR_DOWN | wxFR_MATCHCASE));
        EXPECT_FALSE(View().FindNext("return", wxFR_DOWN | wxFR_WHOLEWORD));
        EXPECT_EQ(script.Texts(), (std::vector<wxString>(3, "Finished searching the document.")));
    }

    Command(*m_frame, ID_MESSAGES_MODE);
    EXPECT_TRUE(first->IsShown());
    EXPECT_EQ(Pane(3), "Results grid #1 of 2; 2 row(s); 2 col(s)");

    Command(*m_frame, ID_NEXT_GRID);
    EXPECT_TRUE(second->IsShown());
    EXPECT_EQ(Pane(3), "Results grid #2 of 2; 1 row(s); 1 col(s)");
    Command(*m_frame, ID_MESSAGES_MODE);
    Command(*m_frame, ID_MESSAGES_MODE);
    EXPECT_TRUE(second->IsShown()) << "the grid shown last comes back";

    // Results in Text: the next run writes text and leaves no grid.
    window_test::SetResultsInText(*m_frame, true);
    Run("SELECT name FROM t ORDER BY id");
    EXPECT_FALSE(m_frame->GetResultGrid(1));
    EXPECT_EQ(View().GetText(), "name\n----\nonetwo");
    EXPECT_FALSE(View().IsGridVisible());
}

TEST_P(GridExecutionTest, AFailingBatchShowsItsErrorAmongTheMessages)
{
    Run("SELECT 1 AS a\nGO\nSELECT * FROM no_such_table\n");
    EXPECT_EQ(Pane(0), "Query batch completed with errors");
    ASSERT_TRUE(m_frame->GetResultGrid(1));
    EXPECT_FALSE(m_frame->GetResultGrid(2));
    EXPECT_EQ(Pane(3), "Messages");
    EXPECT_FALSE(m_frame->GetResultGrid(1)->IsShown());
    EXPECT_NE(View().GetText().Find("<eb1>"), wxNOT_FOUND) << View().GetText();
    EXPECT_TRUE(View().GetText().StartsWith("[1 row(s) returned (application specific)]"));
    // The grid is still there to be shown.
    Command(*m_frame, ID_MESSAGES_MODE);
    EXPECT_TRUE(m_frame->GetResultGrid(1)->IsShown());
}

TEST_P(GridExecutionTest, StatusPanesAndClearAllWhileTheRunGoes)
{
    Start("WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 400000) "
          "SELECT n, n * 2 AS twice FROM r");
    ASSERT_TRUE(
        PumpUntil([&] { return m_frame->GetResultGrid(1) && m_frame->GetResultGrid(1)->IsShown(); }, Scaled(30s)));
    CMSHFlexGrid* grid = m_frame->GetResultGrid(1);
    if (m_frame->IsExecuting()) {
        // The result-set pane counts the rows the grid shows as they come.
        m_frame->UpdateStatusPanes();
        EXPECT_TRUE(Pane(3).StartsWith("Results grid #1 of 1; ")) << Pane(3);
        EXPECT_EQ(Pane(3), m_frame->GetGridStatusText(grid, 1));
        CMessageScript script{wxID_YES};
        Command(View(), ID_EDIT_CLEAR_ALL);
        EXPECT_TRUE(script.Texts().empty()) << "refused without a question while the run goes";
        EXPECT_EQ(m_frame->GetResultGrid(1), grid);
    }
    ASSERT_TRUE(PumpUntil([this] { return !m_frame->IsExecuting(); }, Scaled(60s)));
    Pump();
    EXPECT_EQ(Pane(0), "Query batch completed");
    EXPECT_EQ(Pane(3), "Results grid #1 of 1; 400000 row(s); 2 col(s)");
    EXPECT_EQ(grid->GetTextMatrix(400000, 2), "800000");
    EXPECT_TRUE(Pane(2).StartsWith("Exec time: 00:00:"));

    CMessageScript script{wxID_YES};
    Command(View(), ID_EDIT_CLEAR_ALL);
    EXPECT_EQ(script.Texts().size(), 1u);
    EXPECT_FALSE(m_frame->GetResultGrid(1));
}

TEST_P(GridExecutionTest, CancelKeepsTheRowsOfTheGrid)
{
    Start("WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 3000000) "
          "SELECT n, n * 2 AS twice FROM r");
    ASSERT_TRUE(
        PumpUntil([&] { return m_frame->GetResultGrid(1) && m_frame->GetResultGrid(1)->IsShown(); }, Scaled(30s)));
    Command(*m_frame, ID_QUERY_CANCEL);
    ASSERT_TRUE(PumpUntil([this] { return !m_frame->IsExecuting(); }, Scaled(30s)));
    Pump();
    EXPECT_EQ(Pane(0), "Query batch canceled");
    CMSHFlexGrid* grid = m_frame->GetResultGrid(1);
    const int written = static_cast<int>(grid->GetStore()->GetRowCount());
    EXPECT_GT(written, 0);
    EXPECT_LT(written, 3000000);
    EXPECT_EQ(grid->GetRows(), written + 1) << "exactly the rows written";
    EXPECT_EQ(grid->GetTextMatrix(written, 0), wxString::Format("%d", written));
    EXPECT_TRUE(grid->GetStore()->m_bComplete);
    // No row count for a stopped grid among the messages.
    if (Pane(3) != "Messages")
        Command(*m_frame, ID_MESSAGES_MODE);
    EXPECT_EQ(Pane(3), "Messages");
    EXPECT_EQ(View().GetText().Find("row(s) returned"), wxNOT_FOUND) << View().GetText();
    EXPECT_TRUE(View().GetText().Contains("Query canceled by user.")) << View().GetText();
}

INSTANTIATE_TEST_SUITE_P(Paths, GridExecutionTest,
                         window_test::AllRunPaths(),
                         window_test::RunPathName);
