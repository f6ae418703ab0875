// Query windows running batches under Xvfb, on SQLite and PostgreSQL, with the batches opened
// asynchronously and with the worker executing them itself.
#include "app/MainFrame.h"
#include "app/TorvaneApp.h"
#include "common/CommandIds.h"
#include "common/SettingsTable.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "query/BatchExecution.h"
#include "query/ChildFrame.h"
#include "query/MSHFlexGrid.h"
#include "query/QueryKeyRouting.h"
#include "query/ResultCommands.h"
#include "query/ResultView.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestTiming.h"
#include "tests/window/LongQuery.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/statusbr.h>
#include <wx/stc/stc.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::CommandEnabled;
using window_test::Main;
using window_test::Pump;
using window_test::PumpUntil;

namespace {

// How long a test waits for what should happen at once: long enough for a loaded machine, short
// enough to tell a hang (or a cancel that failed to reach a 30-second statement) from it. How
// fast things happen is measured by the benchmarks.
const auto kHang = torvane::test::Scaled(15s);

class ExecWindowTest : public ::testing::TestWithParam<window_test::RunPath> {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        ASSERT_EQ(Main().GetConnectionCount(), 0u);
        if (GetParam().driver == Driver::PostgreSQL && !PostgresConfigured())
            GTEST_SKIP() << "no PostgreSQL";
        m_connect = CleanDatabaseConnectionString(GetParam().driver);
    }
    void TearDown() override
    {
        if (!window_test::HaveDisplay())
            return;
        window_test::CloseQueryWindows();
    }

    bool IsPostgres() const { return GetParam().driver == Driver::PostgreSQL; }
    bool IsSqlite() const { return GetParam().driver == Driver::SQLite; }
    void Exec(const std::string& sql) const { ExecDirect(m_connect, sql); }

    // A query window on the test database, its output in text, on the path of the parameter.
    CChildFrame* Open(const std::string& extra = std::string())
    {
        CChildFrame* frame = window_test::OpenQueryWindow(m_connect + extra);
        if (!frame)
            return nullptr;
        EXPECT_TRUE(frame->Connection().m_bAsyncSupported);
        EXPECT_TRUE(frame->GetExecution().IsEventSinkAdvised());
        frame->Connection().m_bAsyncSupported = GetParam().async;
        window_test::SetResultsInText(*frame, true);
        return frame;
    }

    static wxStyledTextCtrl& Editor(CChildFrame* frame) { return *frame->GetQueryView()->GetEditCtrl(); }

    // Puts the text in the editor, executes it and waits for the end of the run.
    static void Run(CChildFrame* frame, const wxString& sql)
    {
        Editor(frame).SetText(sql);
        Start(frame);
        ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang)) << "the run did not end";
        Pump();
    }
    static void Start(CChildFrame* frame) { Command(frame, ID_QUERY_EXECUTE); }
    static void Cancel(CChildFrame* frame) { Command(frame, ID_QUERY_CANCEL); }
    static void Command(CChildFrame* frame, int id)
    {
        wxCommandEvent command(wxEVT_MENU, id);
        frame->GetEventHandler()->ProcessEvent(command);
    }
    static wxString Output(CChildFrame* frame) { return frame->GetResultView()->GetText(); }
    static wxString Pane(CChildFrame* frame, int pane) { return window_test::StatusPane(*frame, pane); }
    // The last line the results text shows.
    static wxString LastLine(CChildFrame* frame)
    {
        CResultView& view = *frame->GetResultView();
        return view.GetLineText(view.GetLineCount() - 1);
    }

    // A query that runs until it is cancelled.
    std::string LongQuery() const { return window_test::LongQuery(GetParam().driver); }
    // Waits until the window's run is under way with LongQuery() running at the database.
    bool WaitForLongQuery(CChildFrame* frame) const
    {
        return window_test::WaitForLongQuery(*frame, GetParam().driver, m_connect);
    }

    std::string m_connect;
};

TEST_P(ExecWindowTest, SeparatedBatchesRunInTurn)
{
    Exec("CREATE TABLE items (id integer, name varchar(20))");
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Connection().m_strBatchSeparator, "GO");
    Run(frame, "INSERT INTO items VALUES (1, 'one')\r\nGO\r\nINSERT INTO items VALUES (2, 'two')\r\n go\r\n\tGO \r\n"
               "SELECT name FROM items ORDER BY id;\r\nSELECT id FROM items WHERE id > 1\r\nGO\r\nGOTO\r\nGO 5");
    // The blank batch between the two separator lines completes without running; the last
    // batch ("GOTO", "GO 5": no separators) fails.
    const wxString output = Output(frame);
    EXPECT_TRUE(output.StartsWith("(1 row(s) affected)\n\n(1 row(s) affected)\n\nname\n----\nonetwo\n\nid\n--\n2\n\n<eb1>"))
        << output;
    EXPECT_EQ(Pane(frame, 0), "Query batch completed with errors");
    EXPECT_EQ(Pane(frame, 3), wxString::Format("Number of lines of text: %d", frame->GetResultView()->GetLineCount()));
    // The run is over: Execute is offered again, Cancel no longer.
    EXPECT_TRUE(CommandEnabled(*frame, ID_QUERY_EXECUTE));
    EXPECT_FALSE(CommandEnabled(*frame, ID_QUERY_CANCEL));

    // Run again: the output starts afresh, and the errors of the last run are forgotten.
    Run(frame, "SELECT count(*) AS n FROM items");
    EXPECT_EQ(Output(frame), "n\n-\n2");
    EXPECT_EQ(Pane(frame, 0), "Query batch completed");
}

TEST_P(ExecWindowTest, StopAtTheFirstFailingBatchOrGoOn)
{
    const wxString script = "SELECT 1 AS a\nGO\n-- the second batch\nSELECT * FROM missing_table\nGO\nSELECT 3 AS c\n";
    for (int stopOnError : {1, 0}) {
        SCOPED_TRACE(stopOnError ? "stop at the first error" : "go on");
        // A window takes the option as it stands when the window opens.
        settings::WriteInt(settings::DoNotExecContinuously, stopOnError);
        CChildFrame* frame = Open();
        settings::WriteInt(settings::DoNotExecContinuously, settings::DoNotExecContinuously.defaultValue);
        ASSERT_TRUE(frame);
        Run(frame, script);
        const wxString output = Output(frame);
        EXPECT_TRUE(output.StartsWith("a\n-\n1\n\n<eb1>")) << output;
        EXPECT_TRUE(output.Contains("missing_table")) << output;
        EXPECT_EQ(output.EndsWith("</eb1>\n\nc\n-\n3"), !stopOnError) << output;
        EXPECT_FALSE(output.Contains("<eb2>")) << output;
        EXPECT_EQ(Pane(frame, 0), "Query batch completed with errors");
        // Next Error Batch shows the failed batch in the editor: the line of its first non-blank
        // character.
        Command(frame, ID_NEXT_ERROR_BATCH);
        EXPECT_EQ(Editor(frame).GetSelectedText(), wxString("-- the second batch"));
    }
}

TEST_P(ExecWindowTest, ASelectionRunsAloneAndItsTagsPointIntoTheEditor)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    // Before the selection, more characters of two bytes than the failed batch's line and the
    // next one hold: a position counted in bytes would land past them.
    const wxString text = "SELECT '" + wxString(40, wxUniChar(0xE9)) +
                          "' AS x\nGO\nSELECT 2 AS b\nGO\nSELECT nothing FROM nowhere\nGO\n";
    Editor(frame).SetText(text);
    Editor(frame).SetSelection(Editor(frame).FindText(0, Editor(frame).GetLength(), "SELECT 2"),
                               Editor(frame).GetLength());
    Start(frame);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    const wxString output = Output(frame);
    EXPECT_TRUE(output.StartsWith("b\n-\n2\n\n<eb1>")) << output;
    EXPECT_FALSE(output.Contains("<eb2>")) << output;
    // The error batch points into the editor's text, not into the selection.
    Command(frame, ID_NEXT_ERROR_BATCH);
    EXPECT_EQ(Editor(frame).GetSelectedText(), wxString("SELECT nothing FROM nowhere"));
}

TEST_P(ExecWindowTest, ARunWithoutOutputSaysItsCommandsCompleted)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Run(frame, "GO\n\nGO\n");
    EXPECT_EQ(Output(frame), "The command(s) completed successfully.");
    EXPECT_EQ(Pane(frame, 0), "Query batch completed");

    // No separator: the whole text is one batch, started without a splitter.
    frame->Connection().m_strBatchSeparator.clear();
    Run(frame, "SELECT 4 AS d\nGO\n");
    EXPECT_TRUE(Output(frame).StartsWith("<eb1>")) << Output(frame); // "GO" went to the server
    Run(frame, "SELECT 4 AS d");
    EXPECT_EQ(Output(frame), "d\n-\n4");
}

TEST_P(ExecWindowTest, AFailedStatementIsNeverReportedAsSuccess)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    frame->Connection().m_strBatchSeparator.clear();
    Run(frame, "SELECT * FROM no_such_table");
    EXPECT_EQ(Pane(frame, 0), "Query batch completed with errors");
    const wxString output = Output(frame);
    EXPECT_TRUE(output.StartsWith("<eb1>")) << output;
    EXPECT_TRUE(output.Contains("no_such_table")) << output;
    EXPECT_FALSE(output.Contains("completed successfully")) << output;
}

TEST_P(ExecWindowTest, ProviderMessagesAppearInTheOutput)
{
    if (!IsPostgres())
        GTEST_SKIP() << "SQLite sends no notices";
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Run(frame, "DO $$ BEGIN RAISE NOTICE 'first'; RAISE NOTICE 'second'; END $$\nGO\nSELECT 1 AS one");
    EXPECT_EQ(Output(frame), "NOTICE: first\n\nNOTICE: second\n\none\n---\n1");
}

TEST_P(ExecWindowTest, CancelEndsALongQuery)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Editor(frame).SetText(wxString::FromUTF8(LongQuery()) + "\nGO\nSELECT 2 AS after");
    EXPECT_FALSE(window_test::LongQueryRunning(GetParam().driver, m_connect));
    Start(frame);
    ASSERT_TRUE(WaitForLongQuery(frame));
    EXPECT_TRUE(CommandEnabled(*frame, ID_QUERY_CANCEL));

    Cancel(frame);
    EXPECT_EQ(Pane(frame, 0), "Attempting to cancel query batch...");
    // While the cancel is under way Cancel is not offered again, and a second press starts no
    // second cancel.
    EXPECT_TRUE(frame->IsExecuting());
    EXPECT_FALSE(CommandEnabled(*frame, ID_QUERY_CANCEL));
    Cancel(frame);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    EXPECT_EQ(Pane(frame, 0), "Query batch canceled");
    EXPECT_EQ(Output(frame), "Query canceled by user.");
    EXPECT_FALSE(window_test::LongQueryRunning(GetParam().driver, m_connect));

    // The window runs again afterwards, with nothing of the cancel left over.
    Run(frame, "SELECT 5 AS five");
    EXPECT_EQ(Output(frame), "five\n----\n5");
    EXPECT_EQ(Pane(frame, 0), "Query batch completed");
}

// A cancel given while short batches end and a long one starts stops the run: the long batch
// either does not start or is cancelled, whichever moment the cancel meets.
TEST_P(ExecWindowTest, ACancelAtABatchBoundaryStopsTheRun)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    const wxString longQuery = wxString::FromUTF8(LongQuery());
    for (int attempt = 0; attempt < 20; ++attempt) {
        SCOPED_TRACE(attempt);
        Editor(frame).SetText("SELECT 1 AS a\nGO\nSELECT 2 AS b\nGO\n" + longQuery);
        Start(frame);
        // The cancel lands at a different moment of the short batches each time.
        ASSERT_TRUE(PumpUntil([frame, attempt] { return attempt % 4 == 0 || !Output(frame).empty(); }, kHang));
        Cancel(frame);
        ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang)) << "the run went on";
        EXPECT_EQ(Pane(frame, 0), "Query batch canceled");
        ASSERT_TRUE(PumpUntil([this] { return !window_test::LongQueryRunning(GetParam().driver, m_connect); }, kHang));
    }
}

TEST_P(ExecWindowTest, ClosingDuringARunCancelsItFirst)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Editor(frame).SetText(wxString::FromUTF8(LongQuery()));
    frame->GetQueryDoc()->Modify(false);
    Start(frame);
    ASSERT_TRUE(WaitForLongQuery(frame));
    {
        CMessageScript messages{wxID_YES};
        frame->Close();
        EXPECT_EQ(messages.Texts(), std::vector<wxString>{"Are you sure you wish to cancel this query?"});
        // The window stays until the cancelled run has ended.
        ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
        EXPECT_EQ(Main().GetConnectionCount(), 1u);
        EXPECT_EQ(Pane(frame, 0), "Query batch canceled");
    }
    CMessageScript messages;
    frame->Close();
    ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 0; }, kHang));
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_P(ExecWindowTest, CancelDuringALargeFetchKeepsTheRowsWritten)
{
    // Rows that keep coming until the cancel, however fast the machine: the server makes each
    // row as it is fetched.
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    frame->Connection().m_strBatchSeparator.clear();
    Editor(frame).SetText(IsSqlite() ? "with recursive c(x) as (select 1 union all select x + 1 from c where x < 50000000) "
                                       "select x || char(10) as n from c"
                                     : "SELECT generate_series(1, 2000000000) || E'\\n' AS n");
    Start(frame);
    ASSERT_TRUE(PumpUntil([frame] { return Output(frame).length() > 1000; }, kHang));
    // The event loop keeps going while rows pour into the output (how long it may wait is
    // the text output benchmark's measure).
    int ticks = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&ticks](wxTimerEvent&) { ++ticks; });
    timer.Start(20);
    EXPECT_TRUE(PumpUntil([&ticks] { return ticks >= 20; }, kHang));
    timer.Stop();
    ASSERT_TRUE(frame->IsExecuting());

    Cancel(frame);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    EXPECT_EQ(Pane(frame, 0), "Query batch canceled");
    // The view may still be taking in what came before the cancel: as much as the machine
    // fetched meanwhile. The cancel's note comes last.
    ASSERT_TRUE(PumpUntil([frame] { return LastLine(frame) == "Query canceled by user."; }, 4 * kHang));
    Pump();
    EXPECT_EQ(Pane(frame, 3), wxString::Format("Number of lines of text: %d", frame->GetResultView()->GetLineCount()));

    // The rows written are there in order, none lost in between; the cancel note follows them.
    const wxString output = Output(frame);
    ASSERT_TRUE(output.StartsWith("n\n-\n1\n2\n3\n")) << output.Left(40);
    ASSERT_TRUE(output.EndsWith("\n\nQuery canceled by user.")) << output.Right(40);
    // Every value brings its own line end.
    const wxString rows = output.Mid(4, output.length() - 4 - wxString("\n\nQuery canceled by user.").length() - 1);
    long expected = 1;
    for (const wxString& line : wxSplit(rows, '\n', '\0')) {
        ASSERT_EQ(line, wxString::Format("%ld", expected)) << "row " << expected;
        ++expected;
    }
    EXPECT_GT(expected, 100);
}

TEST_P(ExecWindowTest, CancelWhileTheSplitterStillRunsStartsNoStatement)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Editor(frame).SetText(wxString::FromUTF8(LongQuery()) + "\nGO\nSELECT 2 AS after");
    // Execute and Cancel one after the other, as two keys typed ahead: the splitter cannot hand
    // the first batch over before the window takes its next event.
    Start(frame);
    Cancel(frame);
    EXPECT_EQ(Pane(frame, 0), "Attempting to cancel query batch...");
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    EXPECT_EQ(Pane(frame, 0), "Query batch canceled");
    EXPECT_EQ(Output(frame), "Query canceled by user.");
    EXPECT_FALSE(window_test::LongQueryRunning(GetParam().driver, m_connect));

    Run(frame, "SELECT 5 AS five");
    EXPECT_EQ(Output(frame), "five\n----\n5");
}

// Keys typed through the display's input reach whichever window has the focus there, in any
// process: these tests run alone (see CMakeLists.txt).
class ExecKeyboardTest : public ExecWindowTest {};

TEST_P(ExecKeyboardTest, TheWindowStaysResponsiveWhileABatchRuns)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    frame->Raise();
    Editor(frame).SetText(wxString::FromUTF8(LongQuery()));
    Editor(frame).DocumentEnd();
    Start(frame);
    ASSERT_TRUE(WaitForLongQuery(frame));

    Editor(frame).SetFocus();
    ASSERT_TRUE(PumpUntil([frame] { return Editor(frame).HasFocus() && Main().IsActive(); }, kHang));
    wxUIActionSimulator keyboard;
    keyboard.Text("\n-- typed");
    PumpUntil([frame] { return Editor(frame).GetText().EndsWith("-- typed"); }, kHang);
    EXPECT_TRUE(Editor(frame).GetText().EndsWith("-- typed")) << Editor(frame).GetText();
    Editor(frame).ScrollToLine(0);
    EXPECT_TRUE(frame->IsExecuting());

    // A timer on the UI thread ticks while the run goes on: a blocked event loop would stop it.
    int ticks = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&ticks](wxTimerEvent&) { ++ticks; });
    timer.Start(20);
    EXPECT_TRUE(PumpUntil([&ticks] { return ticks >= 20; }, kHang));
    timer.Stop();

    // The elapsed time ticks while the batch runs.
    EXPECT_TRUE(PumpUntil([frame] { return !Pane(frame, 2).StartsWith("Exec time: 00:00:00."); }, kHang));
    EXPECT_TRUE(Pane(frame, 2).Matches("Exec time: 00:00:??.???")) << Pane(frame, 2);
    EXPECT_TRUE(frame->IsExecuting());

    // Cancel by its key.
    keyboard.Char(WXK_PAUSE, wxMOD_ALT);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    EXPECT_EQ(Pane(frame, 0), "Query batch canceled");
}

TEST_P(ExecWindowTest, ExhaustedMemoryStopsTheRunWithOneMessage)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    const wxString message = kPageFileUsageMessage;
    int usage = 99;
    frame->GetExecution().m_fnPageFileUsage = [&usage] { return usage; };
    // At the start: nothing runs.
    Run(frame, "SELECT 1 AS a\nGO\nSELECT 2 AS b");
    EXPECT_EQ(Output(frame), message);
    EXPECT_EQ(Pane(frame, 0), "Query batch completed with errors");

    // Between batches: the batches run so far keep their output, the next ones do not start.
    usage = 50;
    frame->GetExecution().m_fnPageFileUsage = [&usage] {
        const int now = usage;
        usage = 99; // from the second look on
        return now;
    };
    Run(frame, "SELECT 1 AS a\nGO\nSELECT 2 AS b");
    EXPECT_EQ(Output(frame), "a\n-\n1\n\n" + message);
    EXPECT_EQ(Pane(frame, 0), "Query batch completed");

    // After the last batch there is nothing to refuse.
    usage = 50;
    Run(frame, "SELECT 1 AS a");
    EXPECT_EQ(Output(frame), "a\n-\n1");
    frame->GetExecution().m_fnPageFileUsage = GetPageFileUsagePercent;
}

TEST_P(ExecWindowTest, TheRowLimitAppliesToOneRun)
{
    if (!GetParam().async)
        GTEST_SKIP() << "the limit is the window recordset's, which only asynchronous opens use";
    Exec("CREATE TABLE nums (n integer)");
    Exec("INSERT INTO nums VALUES (1), (2), (3), (4)");
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    frame->Connection().m_bRowLimit = 1;
    frame->Connection().m_nMaxRows = 2;
    Run(frame, "SELECT n FROM nums ORDER BY n");
    EXPECT_EQ(Output(frame), "n\n-\n12");
    EXPECT_FALSE(frame->Connection().m_bRowLimit);
    Run(frame, "SELECT n FROM nums ORDER BY n");
    EXPECT_EQ(Output(frame), "n\n-\n1234");
}

TEST_P(ExecWindowTest, ElapsedTimeAccuracyFollowsTheSetting)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Run(frame, "SELECT 1 AS x");
    const wxString shown = Pane(frame, 2);
    ASSERT_TRUE(shown.StartsWith("Exec time: 00:00:00.")) << shown;
    const int wide = frame->GetQueryStatusBar()->GetStatusWidth(2);
    frame->GetExecution().Timer().SetExecTimeAccuracy(false);
    EXPECT_EQ(Pane(frame, 2), "Exec time: 00:00:00");
    EXPECT_LT(frame->GetQueryStatusBar()->GetStatusWidth(2), wide);
    frame->GetExecution().Timer().SetExecTimeAccuracy(true);
    EXPECT_EQ(Pane(frame, 2), shown);
    EXPECT_EQ(frame->GetQueryStatusBar()->GetStatusWidth(2), wide);
}

TEST_P(ExecWindowTest, ExecuteByKeys)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    struct Key {
        int code;
        int modifiers;
        const char* sql;
        const char* output;
    } keys[] = {{WXK_F5, 0, "SELECT 6 AS six", "six\n---\n6"},
                {'E', wxMOD_CONTROL, "SELECT 7 AS seven", "seven\n-----\n7"},
                {'X', wxMOD_ALT, "SELECT 8 AS eight", "eight\n-----\n8"}};
    for (const Key& k : keys) {
        Editor(frame).SetText(k.sql);
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = k.code;
        key.SetControlDown(k.modifiers & wxMOD_CONTROL);
        key.SetAltDown(k.modifiers & wxMOD_ALT);
        key.SetEventObject(frame);
        frame->GetEventHandler()->ProcessEvent(key);
        ASSERT_TRUE(PumpUntil([frame, &k] { return !frame->IsExecuting() && Output(frame) == k.output; }, kHang))
            << k.code << ": " << Output(frame);
    }
    // Nothing to run in an empty editor.
    Editor(frame).SetText("");
    EXPECT_FALSE(CommandEnabled(*frame, ID_QUERY_EXECUTE));
}

TEST_P(ExecWindowTest, OnlyTheCompletionOfTheBatchsOwnOpenIsTaken)
{
    if (!GetParam().async)
        GTEST_SKIP() << "no asynchronous opens on this path";
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    // Asynchronous opens that are not a batch's, one after the other (a connection runs one
    // statement at a time): another recordset on the window's connection, and the window's own
    // recordset outside a run.
    // Each open is let finish by itself; closing the recordset then waits for its completion to
    // have been reported, which the pumping afterwards hands to the window.
    const auto openAndComplete = [frame](const ado::RecordsetPtr& recordset, const char* sql) {
        recordset->Open(_variant_t(sql), frame->Connection().m_pConnection, ado::adOpenForwardOnly,
                        ado::adLockReadOnly, ado::adAsyncExecute);
        EXPECT_TRUE(PumpUntil([&recordset] { return !(recordset->GetState() & ado::adStateExecuting); }, kHang));
        recordset->Close();
        Pump();
    };
    auto other = ado::Recordset::Create();
    openAndComplete(other, "SELECT 11");
    openAndComplete(frame->Connection().m_pRecordset, "SELECT 12");
    EXPECT_FALSE(frame->IsExecuting());
    EXPECT_EQ(Output(frame), "");

    // A batch's own completion still starts its worker; a stray one meanwhile changes nothing.
    // Two statements at once on one connection: the PostgreSQL driver's own per-statement
    // savepoints do not survive that, so only SQLite can show it.
    if (IsPostgres())
        return;
    Editor(frame).SetText("SELECT 13 AS n");
    Start(frame);
    other->Open(_variant_t("SELECT 14"), frame->Connection().m_pConnection, ado::adOpenForwardOnly, ado::adLockReadOnly,
                ado::adAsyncExecute);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    other->Close();
    EXPECT_EQ(Output(frame), "n\n-\n13");
    EXPECT_EQ(Pane(frame, 0), "Query batch completed");
}

TEST_P(ExecWindowTest, KeywordListsRunAsSchemaRowsetsOnce)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Command(frame, ID_DUMP_KEYWORDS);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    CMSHFlexGrid* grid = frame->GetResultGrid(1);
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->GetTextMatrix(0, 1), "Keyword");
    EXPECT_EQ(Pane(frame, 0), "Query batch completed");
    // The next run is the editor's text again, in text as before.
    Run(frame, "SELECT 15 AS k");
    EXPECT_EQ(Output(frame), "k\n-\n15");
}

TEST_P(ExecWindowTest, ACommandLineRunStaysOpenUnlessItEndsCleanlyMinimised)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    for (const char* sql : {"SELECT * FROM missing_table", "SELECT 16 AS ok"}) {
        frame->CloseWhenRunEnds();
        Run(frame, sql);
        // A failed run, or a main window in view: the window stays for the user to look at.
        Pump();
        EXPECT_EQ(Main().GetConnectionCount(), 1u) << sql;
    }
}

// A result set of a few megabytes comes into the results view while the worker still writes it,
// over many turns of the event loop: all of it arrives in order, and what the next batch writes
// is parted from it as in one text.
TEST(ResultsTextTakesTheOutput, AsTheWorkerWritesItNothingIsLostOrReordered)
{
    REQUIRE_DISPLAY();
    ASSERT_EQ(Main().GetConnectionCount(), 0u);
    CChildFrame* frame = window_test::OpenQueryWindow(CleanDatabaseConnectionString(Driver::SQLite));
    ASSERT_TRUE(frame);
    window_test::SetResultsInText(*frame, true);
    const int lines = 150000;
    frame->GetQueryView()->GetEditCtrl()->SetText(
        wxString::Format("with recursive c(x) as (select 1 union all select x + 1 from c where x < %d) "
                         "select 'line ' || x || ' of the output' || char(10) as n from c\nGO\nselect 'end' as e",
                         lines));
    wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
    frame->GetEventHandler()->ProcessEvent(execute);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, 4 * kHang));
    CResultView& view = *frame->GetResultView();
    ASSERT_TRUE(PumpUntil([&view] { return view.GetLineText(view.GetLineCount() - 1) == "end"; }, 4 * kHang));

    wxString expected = "n\n-\n";
    for (int line = 1; line <= lines; ++line)
        expected += wxString::Format("line %d of the output\n", line);
    // The separator follows the last row's own line end.
    expected += "\n\ne\n-\nend";
    const wxString shown = view.GetText();
    ASSERT_EQ(shown.length(), expected.length());
    EXPECT_TRUE(shown == expected);
    window_test::CloseQueryWindows();
}

const auto kPaths = window_test::AllRunPaths();
INSTANTIATE_TEST_SUITE_P(Paths, ExecWindowTest, kPaths, window_test::RunPathName);
INSTANTIATE_TEST_SUITE_P(Paths, ExecKeyboardTest, kPaths, window_test::RunPathName);

} // namespace
