#include "app/MainFrame.h"
#include "app/TorvaneApp.h"
#include "common/ItemComboBoxEx.h"
#include "editor/GotoLineDlg.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "query/ChildFrame.h"
#include "query/ConnectPromptDlg.h"
#include "query/MSHFlexGrid.h"
#include "query/DataLinkDlg.h"
#include "query/PeekAndPump.h"
#include "query/QueryKeyRouting.h"
#include "query/ResultView.h"
#include "LongQuery.h"
#include "QueryWindowTest.h"
#include "schema/SchemaView.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestTiming.h"
#include "WindowTestMain.h"

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/stc/stc.h>
#include <wx/textctrl.h>

#include <fstream>

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::DialogScript;
using window_test::Main;
using window_test::Pump;
using window_test::PumpUntil;

namespace {

const auto kHang = Scaled(15s);

CChildFrame* FrameOf(CTorvaneDoc* doc)
{
    return QueryFrameOf(doc);
}

// The ADO form of an ODBC connect string, as the data link dialog gives it.
wxString AdoForm(const std::string& odbc)
{
    return CDataLinkFields::Parse(wxString::FromUTF8(odbc)).BuildConnectString();
}

// An ODBC string of the test cluster for the given database, user and password.
wxString PostgresString(const std::string& database, const std::string& user, const std::string& password)
{
    const std::string port = std::getenv("TORVANE_PG_PORT") ? std::getenv("TORVANE_PG_PORT") : "5432";
    return wxString::FromUTF8("Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + port + ";Database=" + database +
                              ";Uid=" + user + ";Pwd=" + password + ";");
}

// A role of the test cluster that must give its password: the cluster trusts every other login.
// Test processes run side by side, so the role and its line in pg_hba.conf are made once,
// under an advisory lock.
const std::string& PasswordRole()
{
    static const std::string role = [] {
        const std::string name = "window_password_role";
        const std::string line = "host all " + name + " 127.0.0.1/32 scram-sha-256";
        ExecDirect(PostgresAdminConnectionString(),
                   "DO $$ DECLARE hba text; BEGIN "
                   "PERFORM pg_advisory_xact_lock(7305); "
                   "IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '" + name + "') THEN "
                   "CREATE ROLE " + name + " LOGIN PASSWORD 'right-password'; END IF; "
                   "hba := pg_read_file('pg_hba.conf'); "
                   "IF position('" + line + "' in hba) = 0 THEN "
                   "EXECUTE format('COPY (SELECT unnest(string_to_array(%L, E''\\n''))) TO %L', "
                   "'" + line + "' || E'\\n' || hba, current_setting('data_directory') || '/pg_hba.conf'); "
                   "PERFORM pg_reload_conf(); END IF; END $$");
        // The server takes the rules in again in the background: the line is in force once a
        // wrong password is refused.
        const auto refused = [&name] {
            try {
                ExecDirect(PostgresString("postgres", name, "wrong").utf8_string(), "SELECT 1");
                return false;
            } catch (const std::runtime_error& e) {
                return std::string(e.what()).find("password") != std::string::npos;
            }
        };
        const auto deadline = std::chrono::steady_clock::now() + kHang;
        while (!refused() && std::chrono::steady_clock::now() < deadline) {
        }
        return name;
    }();
    return role;
}

class ChildFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        ASSERT_EQ(Main().GetConnectionCount(), 0u);
    }
    void TearDown() override
    {
        if (!window_test::HaveDisplay())
            return;
        window_test::CloseQueryWindows();
    }
    bool PostgresAvailable() const { return PostgresConfigured(); }
};

TEST_F(ChildFrameTest, OpensWithItsPanesOnSqlite)
{
    const wxString connect = AdoForm(NewSqliteConnectionString());
    CMessageScript messages;
    CTorvaneDoc* doc = Main().NewQueryWindow(connect);
    ASSERT_TRUE(doc) << (messages.Texts().empty() ? wxString() : messages.Texts().front());
    CChildFrame* frame = FrameOf(doc);
    ASSERT_TRUE(frame);
    EXPECT_EQ(Main().GetConnectionCount(), 1u);
    EXPECT_TRUE(frame->IsConnectionOpen());

    // The three panes, the editor inside its own.
    ASSERT_TRUE(frame->GetSchemaView());
    ASSERT_TRUE(frame->GetResultView());
    ASSERT_TRUE(frame->GetQueryView());
    wxStyledTextCtrl* edit = frame->GetQueryView()->GetEditCtrl();
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->GetParent(), frame->GetEditorPane());
    EXPECT_TRUE(frame->GetSchemaView()->IsShownOnScreen());
    EXPECT_TRUE(edit->IsShownOnScreen());
    EXPECT_TRUE(frame->GetResultView()->IsShownOnScreen());
    EXPECT_EQ(frame->GetQueryStatusBar()->GetFieldsCount(), 5);

    // What the connection told the window.
    EXPECT_EQ(frame->Connection().m_strProviderFile, "MSDASQL.DLL");
    EXPECT_EQ(frame->Connection().m_strDbmsName, "SQLite");
    EXPECT_EQ(frame->Connection().m_strQuotePrefix, "\"");
    EXPECT_EQ(frame->GetSchemaView()->m_strQuotePrefix, "\"");
    EXPECT_EQ(frame->GetDatabaseList()->GetStringSelection(), "<Not supported>");
    EXPECT_FALSE(frame->GetDatabaseList()->IsEnabled());
    auto* schema = dynamic_cast<CSchemaView*>(frame->GetSchemaView());
    ASSERT_TRUE(schema);
    const TreeItem root = schema->Tree().GetRoot();
    ASSERT_TRUE(root);
    EXPECT_TRUE(schema->Tree().IsBold(root));
    EXPECT_FALSE(schema->Tree().GetText(root).empty());
    EXPECT_EQ(window_test::StatusPane(*frame, 2), "Exec time: 00:00:00.000");
    // The data layer accepts "SELECT 2*3" opened asynchronously.
    EXPECT_TRUE(frame->Connection().m_bAsyncSupported);
    EXPECT_TRUE(frame->Connection().m_pRecordset);
    EXPECT_EQ(frame->Connection().m_nCacheSize, 100);
    EXPECT_TRUE(messages.Texts().empty());

    // An unmodified window closes without a question.
    frame->Close();
    ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 0; }, kHang));
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(ChildFrameTest, SchemaViewAppendsToTheEditor)
{
    CTorvaneDoc* doc = Main().NewQueryWindow(AdoForm(NewSqliteConnectionString()));
    ASSERT_TRUE(doc);
    CChildFrame* frame = FrameOf(doc);
    wxStyledTextCtrl* edit = frame->GetQueryView()->GetEditCtrl();
    frame->GetSchemaView()->AppendToQueryEditor("SELECT 1");
    EXPECT_EQ(edit->GetText(), "SELECT 1\nGO");
    // The statement is selected through its separator line, so that Execute runs just it.
    EXPECT_EQ(edit->GetSelectedText(), "SELECT 1\nGO");
    EXPECT_TRUE(doc->IsModified());
    frame->GetSchemaView()->AppendToQueryEditor("SELECT 2");
    EXPECT_EQ(edit->GetText(), "SELECT 1\nGO\n\nSELECT 2\nGO");
    EXPECT_EQ(edit->GetSelectedText(), "SELECT 2\nGO");
    // One undo step per statement.
    edit->Undo();
    EXPECT_EQ(edit->GetText(), "SELECT 1\nGO");
    doc->Modify(false);
}

TEST_F(ChildFrameTest, FailedConnectionsLeaveNoWindow)
{
    struct Case {
        wxString connect;
        const char* text; // a part of the message the user sees
    };
    std::vector<Case> cases = {
        {"Provider=NoSuchProvider.1;Data Source=x", "Provider cannot be found"},
        {AdoForm("Driver={SQLite3};Database=/nonexistent-folder/x.db;"), ""},
    };
    if (PostgresAvailable()) {
        cases.push_back({AdoForm(PostgresString("no_such_database_here", "torvane", "").utf8_string()), "does not exist"});
        cases.push_back({AdoForm(PostgresString("postgres", PasswordRole(), "wrong").utf8_string()), "password"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.connect.utf8_string());
        CMessageScript messages{wxID_CANCEL};
        EXPECT_FALSE(Main().NewQueryWindow(c.connect));
        Pump();
        EXPECT_EQ(Main().GetConnectionCount(), 0u);
        ASSERT_EQ(messages.Shown().size(), 1u);
        EXPECT_TRUE(messages.Shown()[0].text.Contains(c.text)) << messages.Shown()[0].text;
        EXPECT_EQ(messages.Shown()[0].style & TV_RETRY_CANCEL, TV_RETRY_CANCEL);
    }
    // No query window is left behind in the main window's tabs.
    EXPECT_EQ(Main().GetClientWindow()->GetPageCount(), 0u);
}

TEST_F(ChildFrameTest, RightPasswordOpensAndTheListKeepsNoPassword)
{
    if (!PostgresAvailable())
        GTEST_SKIP() << "no PostgreSQL";
    CMessageScript messages;
    CMruFileList* list = TheApp().GetDsnLessLoginManager().GetList(0);
    ASSERT_TRUE(list);
    CTorvaneDoc* doc = Main().NewQueryWindow(PostgresString("postgres", PasswordRole(), "right-password"));
    ASSERT_TRUE(doc) << (messages.Texts().empty() ? wxString() : messages.Texts().front());
    CChildFrame* frame = FrameOf(doc);
    EXPECT_TRUE(frame->IsDsnLessConnection());
    EXPECT_EQ(frame->Connection().m_strDbmsName, "PostgreSQL");
    EXPECT_EQ(frame->Connection().m_strUserId, wxString(PasswordRole()));
    ASSERT_GT(list->GetCount(), 0u);
    EXPECT_EQ((*list)[0], TheApp().GetTempFolder() + "PostgreSQL Unicode");
    for (const wxString& entry : list->Entries())
        EXPECT_FALSE(entry.Contains("right-password")) << entry;
}

TEST_F(ChildFrameTest, DataLinkDialogRetryEditsTheFailedConnection)
{
    const std::string good = NewSqliteConnectionString();
    const std::string path = good.substr(good.find("Database=") + 9, good.size() - good.find("Database=") - 10);
    DialogScript dialogs;
    // First a database file in a folder that does not exist, then, after Retry, the right one.
    dialogs.Expect<CDataLinkDlg>([](CDataLinkDlg& dlg) {
        CDataLinkFields fields;
        fields.driver = "SQLite3";
        fields.database = "/nonexistent-folder/x.db";
        dlg.SetFields(fields);
        return wxID_OK;
    });
    dialogs.Expect<CDataLinkDlg>([path](CDataLinkDlg& dlg) {
        CDataLinkFields fields = dlg.GetFields();
        EXPECT_EQ(fields.driver, "SQLite3");
        EXPECT_EQ(fields.database, "/nonexistent-folder/x.db");
        fields.database = wxString::FromUTF8(path);
        dlg.SetFields(fields);
        return wxID_OK;
    });
    CMessageScript messages{wxID_RETRY};
    CTorvaneDoc* doc = Main().NewQueryWindow();
    ASSERT_TRUE(doc);
    EXPECT_EQ(dialogs.Answered(), 2);
    EXPECT_EQ(messages.Shown().size(), 1u);
    EXPECT_TRUE(FrameOf(doc)->IsConnectionOpen());
    EXPECT_TRUE(FrameOf(doc)->GetConnectionString().Contains(wxString::FromUTF8(path)));
}

TEST_F(ChildFrameTest, CancelledDataLinkDialogOpensNothingSilently)
{
    DialogScript dialogs;
    dialogs.Expect<CDataLinkDlg>([](CDataLinkDlg&) { return wxID_CANCEL; });
    CMessageScript messages;
    EXPECT_FALSE(Main().NewQueryWindow());
    EXPECT_EQ(dialogs.Answered(), 1);
    EXPECT_TRUE(messages.Texts().empty());
    Pump();
    EXPECT_EQ(Main().GetConnectionCount(), 0u);
}

TEST_F(ChildFrameTest, MissingLoginIsAskedForAndCancelIsSilent)
{
    if (!PostgresAvailable())
        GTEST_SKIP() << "no PostgreSQL";
    const std::string port = std::getenv("TORVANE_PG_PORT") ? std::getenv("TORVANE_PG_PORT") : "5432";
    // The login the driver menu starts from names no user, password or database.
    const wxString connect = AdoForm("Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + port + ";");
    {
        DialogScript dialogs;
        dialogs.Expect<CConnectPromptDlg>([](CConnectPromptDlg& dlg) {
            auto* user = dynamic_cast<wxTextCtrl*>(dlg.FindWindow(CConnectPromptDlg::IDC_PROMPT_USER));
            auto* password = dynamic_cast<wxTextCtrl*>(dlg.FindWindow(CConnectPromptDlg::IDC_PROMPT_PASSWORD));
            auto* database = dynamic_cast<wxTextCtrl*>(dlg.FindWindow(CConnectPromptDlg::IDC_PROMPT_DATABASE));
            user->ChangeValue(wxString(PasswordRole()));
            password->ChangeValue("right-password");
            database->ChangeValue("postgres");
            return wxID_OK;
        });
        CMessageScript messages;
        CTorvaneDoc* doc = Main().NewQueryWindow(connect);
        ASSERT_TRUE(doc) << (messages.Texts().empty() ? wxString() : messages.Texts().front());
        EXPECT_EQ(dialogs.Answered(), 1);
        EXPECT_EQ(FrameOf(doc)->Connection().m_strUserId, wxString(PasswordRole()));
        EXPECT_TRUE(messages.Texts().empty());
    }
    {
        DialogScript dialogs;
        dialogs.Expect<CConnectPromptDlg>([](CConnectPromptDlg&) { return wxID_CANCEL; });
        CMessageScript messages;
        EXPECT_FALSE(Main().NewQueryWindow(connect));
        EXPECT_EQ(dialogs.Answered(), 1);
        // Cancelling the prompt is no failure to report.
        EXPECT_TRUE(messages.Texts().empty());
        Pump();
        EXPECT_EQ(Main().GetConnectionCount(), 1u);
    }
}

// Puts the statement in the window's editor and executes it; true once the run is under way with
// the statement running at the database of connect.
bool StartLongRun(CChildFrame* frame, Driver driver, const std::string& connect,
                  const std::string& sql = std::string())
{
    const std::string text = sql.empty() ? window_test::LongQuery(driver) : sql;
    frame->GetQueryView()->GetEditCtrl()->SetText(wxString::FromUTF8(text));
    frame->GetQueryDoc()->Modify(false);
    wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
    frame->GetEventHandler()->ProcessEvent(execute);
    return window_test::WaitForLongQuery(*frame, driver, connect);
}

TEST_F(ChildFrameTest, ClosingDuringARunCancelsItThenCloses)
{
    if (!PostgresAvailable())
        GTEST_SKIP() << "no PostgreSQL";
    const std::string connect = PostgresConnectionString();
    CTorvaneDoc* doc = Main().NewQueryWindow(wxString::FromUTF8(connect));
    ASSERT_TRUE(doc);
    CChildFrame* frame = FrameOf(doc);
    ASSERT_TRUE(StartLongRun(frame, Driver::PostgreSQL, connect));

    {
        CMessageScript messages{wxID_NO};
        frame->Close();
        Pump();
        ASSERT_EQ(messages.Texts().size(), 1u);
        EXPECT_EQ(messages.Texts()[0], "Are you sure you wish to cancel this query?");
        EXPECT_TRUE(frame->IsExecuting());
        EXPECT_EQ(Main().GetConnectionCount(), 1u);
    }
    {
        CMessageScript messages{wxID_YES};
        frame->Close();
        // The window stays until the cancelled run has ended, well before the statement would.
        EXPECT_EQ(Main().GetConnectionCount(), 1u);
        ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
        EXPECT_EQ(window_test::StatusPane(*frame, 0), "Query batch canceled");
        // Closing again while the cancel is still in progress would do nothing; now it closes.
        frame->Close();
        ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 0; }, kHang));
        EXPECT_EQ(messages.Texts().size(), 1u);
    }
}

TEST_F(ChildFrameTest, AForcedCloseStopsWorkersWithinBounds)
{
    if (!PostgresAvailable())
        GTEST_SKIP() << "no PostgreSQL";
    const std::string connect = PostgresConnectionString();
    CTorvaneDoc* doc = Main().NewQueryWindow(wxString::FromUTF8(connect));
    ASSERT_TRUE(doc);
    CChildFrame* frame = FrameOf(doc);
    ASSERT_TRUE(StartLongRun(frame, Driver::PostgreSQL, connect));

    // A forced close does not ask: the statement is cancelled and the worker joined, well
    // before the statement's minute.
    CMessageScript messages;
    const auto start = std::chrono::steady_clock::now();
    frame->Close(true);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kHang);
    ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 0; }, kHang));
    EXPECT_TRUE(messages.Texts().empty());
    // Nothing of the run goes on at the server.
    EXPECT_TRUE(PumpUntil([&connect] { return !window_test::LongQueryRunning(Driver::PostgreSQL, connect); }, kHang));
}

TEST_F(ChildFrameTest, AWorkerThatWillNotStopIsLetGo)
{
    if (!PostgresAvailable())
        GTEST_SKIP() << "no PostgreSQL";
    const std::string connect = PostgresConnectionString();
    CTorvaneDoc* doc = Main().NewQueryWindow(wxString::FromUTF8(connect));
    ASSERT_TRUE(doc);
    CChildFrame* frame = FrameOf(doc);
    // The window's own worker runs the statement (it is not opened asynchronously): the thread
    // the close waits for.
    frame->Connection().m_bAsyncSupported = 0;
    // A statement that takes no notice of Cancel: it catches the cancel and sleeps on.
    ASSERT_TRUE(StartLongRun(frame, Driver::PostgreSQL, connect,
                             "DO $$ BEGIN LOOP BEGIN PERFORM pg_sleep(60); EXCEPTION WHEN query_canceled THEN NULL; "
                             "END; END LOOP; END $$"));

    // The close waits for the worker as long as its budget allows, and no longer.
    const auto start = std::chrono::steady_clock::now();
    frame->Close(true);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 900ms);
    EXPECT_LT(took, Scaled(10s));
    ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 0; }, kHang));
    // The statement still runs, on the connection the worker kept; once the server ends it, the
    // worker finishes on the state it holds, without the window.
    EXPECT_TRUE(window_test::LongQueryRunning(Driver::PostgreSQL, connect));
    ExecDirect(connect, "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = current_database() "
                        "AND pid <> pg_backend_pid() AND query LIKE '%pg_sleep(%'");
    EXPECT_TRUE(PumpUntil([&connect] { return !window_test::LongQueryRunning(Driver::PostgreSQL, connect); }, kHang));
    Pump();
}

TEST_F(ChildFrameTest, CloseDuringANestedLoopWaitsForTheLoop)
{
    CTorvaneDoc* doc = Main().NewQueryWindow(AdoForm(NewSqliteConnectionString()));
    ASSERT_TRUE(doc);
    CChildFrame* frame = FrameOf(doc);
    bool destroyedInLoop = false;
    {
        CMessageScript messages;
        CChildFrame::CNestedLoop loop(*frame);
        bool closeAsked = false;
        frame->CallAfter([frame, &closeAsked] {
            frame->Close();
            closeAsked = true;
        });
        // A loop of the window's that pumps the messages, as a search does.
        const auto deadline = std::chrono::steady_clock::now() + kHang;
        while (!closeAsked && std::chrono::steady_clock::now() < deadline) {
            PeekAndPump();
            destroyedInLoop = destroyedInLoop || Main().GetConnectionCount() == 0;
        }
        ASSERT_TRUE(closeAsked);
        // Nothing runs: the window asks nothing, it only waits for the loop.
        EXPECT_TRUE(messages.Texts().empty());
        // A close that cannot be refused waits too.
        frame->Close(true);
        for (int i = 0; i < 20; ++i)
            PeekAndPump();
        destroyedInLoop = destroyedInLoop || Main().GetConnectionCount() == 0;
    }
    EXPECT_FALSE(destroyedInLoop);
    ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 0; }, kHang));
}

TEST_F(ChildFrameTest, KeysReachTheirCommands)
{
    const std::string connect = NewSqliteConnectionString();
    CTorvaneDoc* doc = Main().NewQueryWindow(AdoForm(connect));
    ASSERT_TRUE(doc);
    CChildFrame* frame = FrameOf(doc);
    std::vector<int> frameCommands;
    for (int id : {ID_RESULTS_IN_TEXT, ID_NEXT_PANE, ID_FIND_IN_FILES})
        frame->Bind(wxEVT_MENU, [&frameCommands](wxCommandEvent& e) { frameCommands.push_back(e.GetId()); }, id);
    const auto press = [frame](int code, bool ctrl, bool shift) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = code;
        key.SetControlDown(ctrl);
        key.SetShiftDown(shift);
        key.SetEventObject(frame);
        frame->GetEventHandler()->ProcessEvent(key);
    };
    press('R', true, false);
    press(WXK_F6, false, false);
    press('F', true, true);
    // Neither while a run is under way.
    ASSERT_TRUE(StartLongRun(frame, Driver::SQLite, connect));
    press('R', true, false);
    press('F', true, true);
    wxCommandEvent cancel(wxEVT_MENU, ID_QUERY_CANCEL);
    frame->GetEventHandler()->ProcessEvent(cancel);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    press('F', true, true);
    Pump();
    EXPECT_EQ(frameCommands, (std::vector<int>{ID_RESULTS_IN_TEXT, ID_NEXT_PANE, ID_FIND_IN_FILES, ID_FIND_IN_FILES}));
}

TEST_F(ChildFrameTest, AFileChangedOutsideIsOfferedForReloadOnce)
{
    const std::string path = NewTempPath(".sql");
    {
        std::ofstream out(path);
        out << "SELECT 1;\n";
    }
    CTorvaneDoc* doc = Main().NewQueryWindow(AdoForm(NewSqliteConnectionString()), wxString::FromUTF8(path));
    ASSERT_TRUE(doc);
    CChildFrame* frame = FrameOf(doc);
    wxStyledTextCtrl* edit = frame->GetQueryView()->GetEditCtrl();
    EXPECT_EQ(edit->GetText(), "SELECT 1;\n");

    {
        std::ofstream out(path);
        out << "SELECT 22;\n"; // another size
    }
    {
        CMessageScript messages{wxID_NO};
        frame->CheckFileChanged();
        frame->CheckFileChanged();
        ASSERT_EQ(messages.Texts().size(), 1u);
        EXPECT_TRUE(messages.Texts()[0].StartsWith(wxString::FromUTF8(path) + "\n\nThis file has been modified"));
        EXPECT_EQ(edit->GetText(), "SELECT 1;\n");
    }
    {
        std::ofstream out(path);
        out << "SELECT 333;\n"; // another size again
    }
    {
        CMessageScript messages{wxID_YES};
        frame->CheckFileChanged();
        ASSERT_EQ(messages.Texts().size(), 1u);
        EXPECT_EQ(edit->GetText(), "SELECT 333;\n");
        frame->CheckFileChanged();
        EXPECT_EQ(messages.Texts().size(), 1u);
    }
}

TEST_F(ChildFrameTest, NewWindowOnTheSameConnection)
{
    CTorvaneDoc* doc = Main().NewQueryWindow(AdoForm(NewSqliteConnectionString()));
    ASSERT_TRUE(doc);
    CChildFrame* first = FrameOf(doc);
    CMessageScript messages;
    CTorvaneDoc* second = first->OpenWindowOnSameConnection(std::nullopt);
    ASSERT_TRUE(second) << (messages.Texts().empty() ? wxString() : messages.Texts().front());
    EXPECT_EQ(Main().GetConnectionCount(), 2u);
    EXPECT_NE(FrameOf(second)->Connection().m_pConnection, first->Connection().m_pConnection);
    EXPECT_EQ(FrameOf(second)->Connection().m_strDataSource, first->Connection().m_strDataSource);
}

TEST_F(ChildFrameTest, GoToFollowsTheActivePane)
{
    CChildFrame* frame = window_test::OpenQueryWindow(NewSqliteConnectionString());
    ASSERT_TRUE(frame);
    wxCommandEvent goTo(wxEVT_MENU, ID_GO_TO_LINE);
    Main().GetEventHandler()->ProcessEvent(goTo);
    Pump();
    CGoToDlg* dialog = nullptr;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* found = dynamic_cast<CGoToDlg*>(window))
            dialog = found;
    ASSERT_TRUE(dialog);
    auto* box = wxDynamicCast(dialog->FindWindow(CGoToDlg::IDC_LINE), wxTextCtrl);
    auto* button = wxDynamicCast(dialog->FindWindow(CGoToDlg::IDC_GOTO), wxButton);
    const auto goToLine = [&](const wxString& number) {
        dialog->RefreshForActivePane();
        box->SetValue(number);
        wxCommandEvent press(wxEVT_BUTTON, CGoToDlg::IDC_GOTO);
        press.SetEventObject(button);
        button->ProcessWindowEvent(press);
        Pump();
    };

    // The lines of the results text.
    window_test::SetResultsInText(*frame, true);
    frame->GetQueryView()->GetEditCtrl()->SetText("select 'a' as x union all select 'b' union all select 'c'");
    wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
    frame->GetEventHandler()->ProcessEvent(execute);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    CResultView& results = *frame->GetResultView();
    ASSERT_EQ(results.GetText(), "x\n-\nabc");
    frame->ActivateResultsPane();
    goToLine("2");
    EXPECT_EQ(results.GetSelectedText(), "-");
    // The lines of the editor, which has one.
    frame->ActivateEditorPane();
    goToLine("99");
    EXPECT_EQ(box->GetValue(), "1");
    EXPECT_EQ(frame->GetQueryView()->GetEditCtrl()->GetSelectedText(),
              "select 'a' as x union all select 'b' union all select 'c'");

    // The rows of a grid: the row becomes the current one, selected across the grid.
    window_test::SetResultsInText(*frame, false);
    frame->ActivateEditorPane();
    frame->GetEventHandler()->ProcessEvent(execute);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kHang));
    ASSERT_TRUE(results.IsGridVisible());
    CMSHFlexGrid* grid = results.GetCurrentGrid();
    frame->ActivateResultsPane();
    dialog->RefreshForActivePane();
    EXPECT_EQ(box->GetValue(), wxString::Format("%d", grid->GetRow()));
    goToLine("3");
    EXPECT_EQ(grid->GetRow(), 3);
    EXPECT_EQ(grid->GetRowSel(), 3);
    EXPECT_EQ(grid->GetCol(), 1);
    EXPECT_EQ(grid->GetColSel(), grid->GetCols() - 1);
    goToLine("0");
    EXPECT_EQ(grid->GetRow(), 1);
    EXPECT_EQ(box->GetValue(), "1");

    // The schema pane has neither: the controls are off.
    frame->ActivateSchemaPane();
    dialog->RefreshForActivePane();
    EXPECT_FALSE(box->IsEnabled());
    EXPECT_FALSE(button->IsEnabled());
    dialog->Close();
    Pump();
}

} // namespace
