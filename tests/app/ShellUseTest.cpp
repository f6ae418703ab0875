// The program as a person starts, leaves and asks for help: File > Exit while queries run, on
// SQLite and PostgreSQL; the messages the program prints when it starts on a display; the readme
// the Help menu opens, shipped and installed beside the program.
#include "GuiSupport.h"
#include "TempEnvironment.h"

#include "app/AppStrings.h"
#include "app/ConnectCommands.h"
#include "app/MainFrame.h"
#include "app/TorvaneApp.h"
#include "common/CommandIds.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "query/ChildFrame.h"
#include "query/ResultView.h"
#include "query/SchemaPane.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"
#include "tests/window/LongQuery.h"

#include <gtest/gtest.h>
#include <wx/statusbr.h>
#include <wx/stc/stc.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern CTempEnvironment* g_env;

using torvane::test::Driver;

namespace {

// One argument for /bin/sh, quoted.
std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class ExitTest : public ::testing::TestWithParam<Driver> {
protected:
    void SetUp() override
    {
        if (GetParam() == Driver::PostgreSQL && !torvane::test::PostgresConfigured())
            GTEST_SKIP() << "no PostgreSQL";
        CSettingsStore::Get().DeleteAll();
        TheApp().SetStartupServices(startup::Services::Default());
        TheApp().SetCommandLine({});
        m_connect = wxString::FromUTF8(torvane::test::CleanDatabaseConnectionString(GetParam()));
    }
    void TearDown() override
    {
        TheApp().ShutDown();
        Pump(50);
    }

    bool IsPostgres() const { return GetParam() == Driver::PostgreSQL; }

    // A query that runs until it is cancelled.
    wxString LongQuery() const { return window_test::LongQuery(GetParam()); }

    CChildFrame* Open(const wxString& text)
    {
        CTorvaneDoc* doc = TheApp().GetMainFrame()->NewQueryWindow(m_connect);
        CChildFrame* frame = QueryFrameOf(doc);
        if (frame)
            frame->GetQueryView()->GetEditCtrl()->SetText(text);
        return frame;
    }

    wxString m_connect;
};

TEST_P(ExitTest, ExitDuringARunCancelsItWaitsForItAndClosesEachWindowAsking)
{
    // Windows that keep their transactions open ask to commit what ran.
    settings::WriteInt(settings::Startup, 2);
    CSettingsStore::Get().WriteProfileInt("Configure", "Auto Commit", IsPostgres() ? 0 : 1);
    ASSERT_TRUE(TheApp().InitInstance());
    CMainFrame* main = TheApp().GetMainFrame();
    ASSERT_TRUE(main);
    CChildFrame* running = Open(LongQuery());
    CChildFrame* idle = Open("select 1");
    ASSERT_TRUE(running && idle);
    wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
    running->GetEventHandler()->ProcessEvent(execute);
    ASSERT_TRUE(Pump(HangMs(15000), [this, running] {
        return running->IsExecuting() && window_test::LongQueryRunning(GetParam(), m_connect.utf8_string());
    }));

    wxWeakRef<wxWindow> mainWindow(main);
    CMessageScript answers{wxID_YES, wxID_NO, wxID_NO, wxID_NO};
    wxCommandEvent exit(wxEVT_MENU, ID_APP_EXIT);
    main->GetEventHandler()->ProcessEvent(exit);

    // The run is cancelled and the idle window closed; the program waits for the run to end and
    // says so.
    ASSERT_TRUE(mainWindow);
    EXPECT_TRUE(main->IsExitPending());
    EXPECT_EQ(main->GetStatusBar()->GetStatusText(0), strings::kWaitingForCancelledQueries);
    EXPECT_EQ(main->GetQueryWindows(), std::vector<CChildFrame*>{running});

    // Meanwhile the windows answer: a timer ticks (however soon the cancel lands), and then the
    // program goes.
    int ticks = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&ticks](wxTimerEvent&) { ++ticks; });
    timer.Start(5);
    ASSERT_TRUE(Pump(HangMs(20000), [&mainWindow] { return !mainWindow; })) << "the program did not end";
    timer.Stop();
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(TheApp().GetMainFrame(), nullptr);

    // One question before the run was cancelled, then each window asked in turn: the idle one at
    // once, the one that ran when its run had ended, about its transaction before its text.
    std::vector<wxString> expected{strings::kCancelAllQuestion, "Save changes to Untitled_2?"};
    const std::vector<wxString> texts = answers.Texts();
    if (IsPostgres()) {
        ASSERT_EQ(texts.size(), 4u) << (texts.empty() ? wxString() : texts.back());
        EXPECT_TRUE(texts[2].StartsWith("There may be uncommited transactions pending.")) << texts[2];
        expected.push_back(texts[2]);
    }
    expected.push_back("Save changes to Untitled_1?");
    EXPECT_EQ(texts, expected);
}

INSTANTIATE_TEST_SUITE_P(Drivers, ExitTest, ::testing::Values(Driver::SQLite, Driver::PostgreSQL),
                         [](const ::testing::TestParamInfo<Driver>& info) {
                             return torvane::test::DriverName(info.param);
                         });

// Query windows tiled by the Window menu, and the main window resized afterwards.
TEST(ArrangeTest, TiledWindowsShareTheRoomAndKeepTheirPanesAndStatusBarsWhole)
{
    CSettingsStore::Get().DeleteAll();
    settings::WriteInt(settings::Startup, 2);
    TheApp().SetStartupServices(startup::Services::Default());
    TheApp().SetCommandLine({});
    ASSERT_TRUE(TheApp().InitInstance());
    CMainFrame& main = *TheApp().GetMainFrame();
    main.SetSize(0, 0, 1400, 900);
    // An empty file is an empty database; a missing one is refused.
    WriteWholeFile(g_env->Path("arrange.sqlite"), "");
    const wxString connect = SqliteConnect(g_env->Path("arrange.sqlite"));
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(main.NewQueryWindow(connect));
    Pump(200);
    const std::vector<CChildFrame*> windows = main.GetQueryWindows();

    const auto check = [&windows](const char* when) {
        SCOPED_TRACE(when);
        const int first = windows[0]->GetSize().x;
        for (CChildFrame* frame : windows) {
            // Equal shares side by side.
            EXPECT_NEAR(frame->GetSize().x, first, 12);
            // The editor row two thirds of the panes' height, the schema column a quarter of
            // their width.
            const int editor = frame->GetEditorPane()->GetSize().y;
            const int results = frame->GetResultView()->GetSize().y;
            EXPECT_NEAR(static_cast<double>(editor) / (editor + results), 2.0 / 3.0, 0.05) << editor << "/" << results;
            const int schema = frame->GetSchemaView()->GetSize().x;
            const int text = frame->GetEditorPane()->GetSize().x;
            EXPECT_NEAR(static_cast<double>(schema) / (schema + text), 0.25, 0.05) << schema << "/" << text;
            // Every status pane in sight.
            wxStatusBar* bar = frame->GetQueryStatusBar();
            EXPECT_TRUE(bar->IsShownOnScreen());
            wxRect last;
            ASSERT_TRUE(bar->GetFieldRect(bar->GetFieldsCount() - 1, last));
            EXPECT_LE(last.GetRight(), bar->GetClientSize().x) << "the last pane runs out of the bar";
            EXPECT_GT(last.width, 0);
        }
    };
    wxCommandEvent tile(wxEVT_MENU, ID_WINDOW_TILE_VERT);
    main.GetEventHandler()->ProcessEvent(tile);
    Pump(300);
    check("tiled");
    main.SetSize(0, 0, 900, 700);
    Pump(300);
    check("tiled in a smaller main window");
    TheApp().ShutDown();
}

// The program started on a display of its own (with a window manager when one is installed), as a
// new user starts it the first time, and on a query that it runs: what it prints to standard error.
TEST(StartOnADisplay, PrintsNoToolkitComplaints)
{
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no xvfb-run";
    const std::string database = g_env->Path("complaints.sqlite");
    WriteWholeFile(database, "");
    const std::string query = g_env->Path("complaints.sql");
    WriteWholeFile(query, "select 1 as a, 'two' as b\nunion all select 3, 'four'\n");
    const std::string script = g_env->Path("start-on-display.sh");
    // With a window manager running first, and with none (a bare display, or one whose manager
    // comes late): the run's window, started minimised, is then never framed.
    WriteWholeFile(script, "if [ \"$1\" = wm ] && command -v openbox >/dev/null 2>&1; then\n"
                           "  openbox >/dev/null 2>&1 &\n"
                           "  timeout 10 sh -c 'until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window; do "
                           "sleep 0.1; done'\n"
                           "fi\n"
                           "shift\n"
                           "timeout 8 \"$@\" >/dev/null 2>\"$LOG\"\n"
                           "exit 0\n");
    const struct {
        const char* name;
        const char* windowManager;
        std::vector<std::string> args;
    } starts[] = {
        {"first start", "wm", {}},
        {"a query run", "wm", {"-C", "Provider=MSDASQL;Driver=SQLite3;Database=" + database, "-e", query}},
        {"a query run without a window manager",
         "none",
         {"-C", "Provider=MSDASQL;Driver=SQLite3;Database=" + database, "-e", query}},
    };
    int run = 0;
    for (const auto& start : starts) {
        SCOPED_TRACE(start.name);
        const std::string home = g_env->Path("home-" + std::to_string(++run));
        const std::string runtime = home + "/runtime";
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        const std::string log = home + "/stderr.txt";
        std::string command = "HOME=" + Quoted(home) + " XDG_CONFIG_HOME=" + Quoted(home + "/config") +
                              " XDG_DATA_HOME=" + Quoted(home + "/data") + " XDG_RUNTIME_DIR=" + Quoted(runtime) +
                              " LOG=" + Quoted(log) + " xvfb-run -a -s '-screen 0 1280x1024x24' sh " +
                              Quoted(script) + " " + start.windowManager + " " + Quoted(TORVANE_EXE);
        for (const std::string& arg : start.args)
            command += " " + Quoted(arg);
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const std::string output = ReadWholeFile(log);
        for (const char* complaint : {"CRITICAL", "Gtk-WARNING", "pixman", "Invalid rectangle", "Debug:"})
            EXPECT_EQ(output.find(complaint), std::string::npos) << complaint << " in:\n" << output;
    }
}

// The readme that Help > Readme and Help > Comments and Bug Report open.
TEST(Readme, TheBuildPutsItBesideTheProgramWithTheHelpAPersonNeeds)
{
    const std::filesystem::path program(TORVANE_EXE);
    const std::string readme = ReadWholeFile((program.parent_path() / "readme.htm").string());
    ASSERT_FALSE(readme.empty());
    // Each thing a person does, and the keys for it.
    for (const char* part : {"id=\"Connect\"", "id=\"Run\"", "id=\"Cancel\"", "id=\"Results\"", "id=\"Save\"",
                             "id=\"Keys\"", "id=\"CommentsBug\"", "<kbd>F5</kbd>", "<kbd>Alt+Break</kbd>",
                             "<kbd>Ctrl+S</kbd>", "<kbd>Ctrl+T</kbd>", "<kbd>Ctrl+R</kbd>", "<kbd>Alt+1</kbd>",
                             "<kbd>Ctrl+End</kbd>", "<kbd>Page Down</kbd>", "<kbd>Ctrl+F5</kbd>", "<kbd>F6</kbd>"})
        EXPECT_NE(readme.find(part), std::string::npos) << part;
}

TEST(Readme, TheInstallKeepsItBesideTheProgram)
{
    const std::string prefix = g_env->Path("installed");
    const std::string command = std::string(CMAKE_COMMAND) + " --install " + Quoted(BUILD_DIR) + " --prefix " +
                                Quoted(prefix) + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    // The program is started from bin; its folder, where it looks for the readme, is where the
    // link leads.
    const std::filesystem::path link = std::filesystem::path(prefix) / "bin" / "torvane";
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    const std::filesystem::path program = std::filesystem::canonical(link);
    EXPECT_EQ(access(program.c_str(), X_OK), 0) << program;
    EXPECT_EQ(ReadWholeFile((program.parent_path() / "readme.htm").string()),
              ReadWholeFile((std::filesystem::path(TORVANE_EXE).parent_path() / "readme.htm").string()));
}

TEST(Readme, HelpOpensTheReadmeInTheProgramsFolder)
{
    CSettingsStore::Get().DeleteAll();
    settings::WriteInt(settings::Startup, 2);
    TheApp().SetStartupServices(startup::Services::Default());
    TheApp().SetCommandLine({});
    ASSERT_TRUE(TheApp().InitInstance());
    // The desktop's opener stands in here: it notes what it was asked to open.
    const std::string bin = g_env->Path("opener-bin");
    std::filesystem::create_directories(bin);
    const std::string opened = g_env->Path("opened.txt");
    WriteWholeFile(bin + "/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" >> " + Quoted(opened) + "\n");
    chmod((bin + "/xdg-open").c_str(), 0700);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (bin + ":" + path).c_str(), 1);
    CMessageScript messages;
    wxCommandEvent readme(wxEVT_MENU, CConnectCommands::ID_HELP_README);
    TheApp().GetMainFrame()->GetEventHandler()->ProcessEvent(readme);
    const bool asked = Pump(HangMs(10000), [&opened] { return !ReadWholeFile(opened).empty(); });
    setenv("PATH", path.c_str(), 1);
    EXPECT_TRUE(messages.Texts().empty()) << messages.Texts().front();
    ASSERT_TRUE(asked);
    const std::string target = ReadWholeFile(opened);
    EXPECT_EQ(target, (TheApp().GetProgramFolder() + "/readme.htm\n").utf8_string());
    EXPECT_FALSE(ReadWholeFile(target.substr(0, target.size() - 1)).empty());
    TheApp().ShutDown();
}

} // namespace
