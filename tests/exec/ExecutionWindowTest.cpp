// Query windows running batches under Xvfb, on SQLite and PostgreSQL, with the batches opened
// asynchronously and with the worker executing them itself.
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
#include "query/ResultsText.h"
#include "querycore/QueryRunState.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestTiming.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/statusbr.h>
#include <wx/stc/stc.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <atomic>
#include <thread>

using namespace std::chrono_literals;
using namespace torvane::test;
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
        frame->Connection().m_bResultsInTextWarning = 0;
        return frame;
    }

    static wxStyledTextCtrl& Editor(CChildFrame* frame) { return *frame->GetQueryView()->GetEditCtrl(); }

    // Puts the text in the editor, executes it and waits for the end of the run.
    static void Run(CChildFrame* frame, const wxString& sql, std::chrono::milliseconds timeout = 20s)
    {
        Editor(frame).SetText(sql);
        Start(frame);
        ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, timeout)) << "the run did not end";
        Pump();
    }
    static void Start(CChildFrame* frame)
    {
        wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
        frame->GetEventHandler()->ProcessEvent(execute);
    }
    static wxString Output(CChildFrame* frame) { return frame->GetResultView()->GetText(); }
    static wxString Pane(CChildFrame* frame, int pane) { return frame->GetQueryStatusBar()->GetStatusText(pane); }

    // A query that runs until it is stopped (SQLite) or for 30 seconds (PostgreSQL).
    std::string LongQuery() const
    {
        return IsSqlite() ? "with recursive c(x) as (select 1 union all select x + 1 from c) select count(*) from c"
                          : "SELECT pg_sleep(30)";
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
    EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch completed with errors");
    EXPECT_EQ(Pane(frame, 0), "Query batch completed with errors");
    EXPECT_EQ(frame->RunView().m_strResultsPaneText,
              wxString::Format("Number of lines of text: %d", frame->GetResultView()->GetLineCount()));
    EXPECT_EQ(Pane(frame, 3), frame->RunView().m_strResultsPaneText);
    EXPECT_FALSE(frame->GetRunState()->m_bSplitterRunning);
    EXPECT_FALSE(frame->GetRunState()->m_bErrors);
    EXPECT_EQ(frame->RunView().m_nTimerId, 0);

    // Run again: the output starts afresh.
    Run(frame, "SELECT count(*) AS n FROM items");
    EXPECT_EQ(Output(frame), "n\n-\n2");
    EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch completed");
}

TEST_P(ExecWindowTest, StopAtTheFirstFailingBatchOrGoOn)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    const wxString script = "SELECT 1 AS a\nGO\n-- the second batch\nSELECT * FROM missing_table\nGO\nSELECT 3 AS c\n";
    for (int stopOnError : {1, 0}) {
        SCOPED_TRACE(stopOnError ? "stop at the first error" : "go on");
        frame->Connection().m_bStopOnError = stopOnError;
        Run(frame, script);
        const wxString output = Output(frame);
        EXPECT_TRUE(output.StartsWith("a\n-\n1\n\n<eb1>")) << output;
        EXPECT_TRUE(output.Contains("missing_table")) << output;
        EXPECT_EQ(output.EndsWith("</eb1>\n\nc\n-\n3"), !stopOnError) << output;
        EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch completed with errors");
        // The error tag points at the failed batch in the editor: its first non-blank character.
        const auto& tags = frame->GetRunState()->m_errorList.GetEntries();
        ASSERT_EQ(tags.size(), 1u);
        EXPECT_EQ(tags[0].batchStart, script.Find("-- the second"));
    }
}

TEST_P(ExecWindowTest, ASelectionRunsAloneAndItsTagsPointIntoTheEditor)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    const wxString text = wxString::FromUTF8("SELECT 'é' AS x\nGO\nSELECT 2 AS b\nGO\nSELECT nothing FROM nowhere\nGO\n");
    Editor(frame).SetText(text);
    const long from = text.Find("SELECT 2");
    Editor(frame).SetSelection(Editor(frame).FindText(0, Editor(frame).GetLength(), "SELECT 2"),
                               Editor(frame).GetLength());
    Start(frame);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, 10s));
    const wxString output = Output(frame);
    EXPECT_TRUE(output.StartsWith("b\n-\n2\n\n<eb1>")) << output;
    const auto& tags = frame->GetRunState()->m_errorList.GetEntries();
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].batchStart, text.Find("SELECT nothing")); // in characters
    EXPECT_GT(from, 0);
}

TEST_P(ExecWindowTest, ARunWithoutOutputSaysItsCommandsCompleted)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Run(frame, "GO\n\nGO\n");
    EXPECT_EQ(Output(frame), "The command(s) completed successfully.");
    EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch completed");

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
    EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch completed with errors");
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
    Start(frame);
    PumpUntil([] { return false; }, 500ms);
    ASSERT_TRUE(frame->IsExecuting());

    wxCommandEvent cancel(wxEVT_MENU, ID_QUERY_CANCEL);
    frame->GetEventHandler()->ProcessEvent(cancel);
    EXPECT_EQ(frame->RunView().m_strStatusText, "Attempting to cancel query batch...");
    EXPECT_TRUE(frame->GetRunState()->m_bCancelling);
    // A second press starts no second cancel.
    frame->GetExecution().CancelQueryBatch();
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch canceled");
    EXPECT_EQ(Output(frame), "Query canceled by user.");
    EXPECT_FALSE(frame->GetRunState()->m_bCancelling);
    EXPECT_FALSE(frame->GetRunState()->m_bStop);

    // The window runs again afterwards.
    Run(frame, "SELECT 5 AS five");
    EXPECT_EQ(Output(frame), "five\n----\n5");
}

TEST_P(ExecWindowTest, ClosingDuringARunCancelsItFirst)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Editor(frame).SetText(wxString::FromUTF8(LongQuery()));
    frame->GetQueryDoc()->Modify(false);
    Start(frame);
    PumpUntil([] { return false; }, 300ms);
    {
        CMessageScript messages{wxID_YES};
        frame->Close();
        EXPECT_EQ(messages.Texts(), std::vector<wxString>{"Are you sure you wish to cancel this query?"});
        // The window stays until the cancelled run has ended.
        ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
        EXPECT_EQ(Main().GetConnectionCount(), 1u);
        EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch canceled");
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
    ASSERT_TRUE(PumpUntil([frame] { return Output(frame).length() > 1000; }, 20s));
    // The event loop keeps going while rows pour into the output (how long it may wait is
    // the text output benchmark's measure).
    int ticks = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&ticks](wxTimerEvent&) { ++ticks; });
    timer.Start(20);
    EXPECT_TRUE(PumpUntil([&ticks] { return ticks >= 20; }, kHang));
    timer.Stop();
    ASSERT_TRUE(frame->IsExecuting());

    frame->GetExecution().CancelQueryBatch();
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch canceled");
    // The view may still be taking in what came before the cancel: as much as the machine
    // fetched meanwhile.
    ASSERT_TRUE(PumpUntil([frame] { return !frame->GetExecution().ResultsText().IsAppending(); }, 4 * kHang));
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

TEST_P(ExecWindowTest, CancelWhileTheSplitterStillRunsAlsoStopsTheStatement)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    frame->Connection().m_strBatchSeparator.clear();
    Editor(frame).SetText(wxString::FromUTF8(LongQuery()));
    Start(frame);
    PumpUntil([] { return false; }, 400ms);
    // As when the first batch was started before the splitter reported its end.
    frame->GetRunState()->m_bSplitterRunning = 1;
    frame->GetExecution().CancelQueryBatch();
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch canceled");
    frame->GetRunState()->m_bSplitterRunning = 0;
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

    Editor(frame).SetFocus();
    PumpUntil([] { return false; }, 300ms);
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
    EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch canceled");
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
    EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch completed with errors");

    // Between batches: the batches run so far keep their output, the next ones do not start.
    usage = 50;
    frame->GetExecution().m_fnPageFileUsage = [&usage] {
        const int now = usage;
        usage = 99; // from the second look on
        return now;
    };
    Run(frame, "SELECT 1 AS a\nGO\nSELECT 2 AS b");
    EXPECT_EQ(Output(frame), "a\n-\n1\n\n" + message);
    EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch completed");

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
    } keys[] = {{WXK_F5, 0}, {'E', wxMOD_CONTROL}, {'X', wxMOD_ALT}};
    for (const Key& k : keys) {
        Editor(frame).SetText("SELECT 6 AS six");
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = k.code;
        key.SetControlDown(k.modifiers & wxMOD_CONTROL);
        key.SetAltDown(k.modifiers & wxMOD_ALT);
        key.SetEventObject(frame);
        frame->GetEventHandler()->ProcessEvent(key);
        Pump();
        ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting() && !Output(frame).empty(); }, 10s)) << k.code;
        EXPECT_EQ(Output(frame), "six\n---\n6");
        frame->GetExecution().ClearResults();
    }
    // Nothing to run in an empty editor.
    Editor(frame).SetText("");
    wxUpdateUIEvent update(ID_QUERY_EXECUTE);
    frame->GetEventHandler()->ProcessEvent(update);
    EXPECT_FALSE(update.GetEnabled());
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
    auto other = ado::Recordset::Create();
    other->Open(_variant_t("SELECT 11"), frame->Connection().m_pConnection, ado::adOpenForwardOnly, ado::adLockReadOnly,
                ado::adAsyncExecute);
    PumpUntil([] { return false; }, 300ms);
    other->Close();
    frame->Connection().m_pRecordset->Open(_variant_t("SELECT 12"), frame->Connection().m_pConnection,
                                           ado::adOpenForwardOnly, ado::adLockReadOnly, ado::adAsyncExecute);
    PumpUntil([] { return false; }, 300ms);
    frame->Connection().m_pRecordset->Close();
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
    EXPECT_EQ(frame->RunView().m_strStatusText, "Query batch completed");
}

TEST_P(ExecWindowTest, KeywordListsRunAsSchemaRowsetsOnce)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    frame->RunView().m_nQueryKind = ado::adSchemaDBInfoKeywords;
    Run(frame, "Keywords");
    EXPECT_TRUE(Output(frame).StartsWith("Keyword\n-------\n")) << Output(frame).Left(40);
    EXPECT_EQ(frame->RunView().m_nQueryKind, -1);
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
        EXPECT_FALSE(frame->RunView().m_bCloseWhenDone) << sql;
        Pump();
        EXPECT_EQ(Main().GetConnectionCount(), 1u) << sql;
    }
}

// The results view takes a worker's text output out of the run's buffer while the worker writes
// it, and puts it in over many turns of the event loop: all of it arrives in order, a later
// write is still parted from what the view took, and the buffer keeps only the last character
// the view shows.
TEST(ResultsTextTakesTheOutput, AsTheWorkerWritesItNothingIsLostOrReordered)
{
    REQUIRE_DISPLAY();
    ASSERT_EQ(Main().GetConnectionCount(), 0u);
    CChildFrame* frame = window_test::OpenQueryWindow(CleanDatabaseConnectionString(Driver::SQLite));
    ASSERT_TRUE(frame);
    CQueryRunState& state = *frame->GetRunState();
    CResultsText& text = frame->GetExecution().ResultsText();
    text.ClearView();

    // A result set of a few megabytes in the worker's pieces, some of which outgrow the
    // buffer's room at once.
    wxString expected = "n\n-\n";
    std::vector<wxString> pieces;
    for (int i = 0, line = 1; i < 60; ++i) {
        wxString piece;
        for (int j = 0; j < (i % 7 + 1) * 600; ++j, ++line)
            piece += wxString::Format("line %d of the output\n", line);
        expected += piece;
        pieces.push_back(piece);
    }
    AppendRunOutput(state, true, "n\n-\n");
    std::atomic<bool> written{false};
    std::thread worker([&] {
        for (const wxString& piece : pieces)
            state.AppendTextOutput(piece);
        written = true;
    });
    while (!written) {
        text.FlushOutputText(true);
        Pump();
    }
    worker.join();
    text.FlushOutputText(true);

    AppendRunOutput(state, true, "(1 row(s) affected)");
    // The separator follows the last line's own line end, as in one buffer.
    expected += "\n\n(1 row(s) affected)";
    text.FlushOutputText(true);
    {
        std::lock_guard<std::mutex> lock(state.m_csOutput);
        EXPECT_EQ(state.m_strTextOutput, ")");
    }
    ASSERT_TRUE(PumpUntil([&text] { return !text.IsAppending(); }, kHang));
    const wxString shown = frame->GetResultView()->GetText();
    ASSERT_EQ(shown.length(), expected.length());
    EXPECT_TRUE(shown == expected);
    window_test::CloseQueryWindows();
}

const auto kPaths = window_test::AllRunPaths();
INSTANTIATE_TEST_SUITE_P(Paths, ExecWindowTest, kPaths, window_test::RunPathName);
INSTANTIATE_TEST_SUITE_P(Paths, ExecKeyboardTest, kPaths, window_test::RunPathName);

} // namespace
