#include "WindowBench.h"

#include "app/MainFrame.h"
#include "app/StartupChecks.h"
#include "app/TorvaneApp.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "query/ChildFrame.h"
#include "querycore/GridWorker.h"

#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/timer.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace window_bench {

namespace {

using Clock = std::chrono::steady_clock;

// A stopped worker ends at its next row or result set.
constexpr std::chrono::seconds kStopLimit{30};

void QuietAssert(const wxString&, int, const wxString&, const wxString&, const wxString&) {}

} // namespace

void EnsureDisplay(int argc, char** argv)
{
    if (std::getenv("DISPLAY"))
        return;
    std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                               const_cast<char*>("-screen 0 1600x1000x24")};
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp(args[0], args.data());
    throw std::runtime_error("no display, and xvfb-run did not start");
}

std::filesystem::path UsePrivateFolders(const std::string& bench)
{
    std::string pattern = "/tmp/torvane-bench-" + bench + "-XXXXXX";
    const char* root = mkdtemp(pattern.data());
    if (!root)
        throw std::runtime_error("no temporary folder");
    const std::filesystem::path base(root);
    for (const char* name : {"config", "data", "runtime"})
        std::filesystem::create_directories(base / name);
    std::filesystem::permissions(base / "runtime", std::filesystem::perms::owner_all);
    setenv("XDG_CONFIG_HOME", (base / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (base / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (base / "runtime").c_str(), 1);
    return base;
}

void StartApplication(int& argc, char** argv)
{
    // The program's command ids lie above the library's own range, which it asserts on.
    wxSetAssertHandler(QuietAssert);
    auto* app = new CTorvaneApp;
    wxApp::SetInstance(app);
    if (!wxEntryStart(argc, argv))
        throw std::runtime_error("no display");
    delete wxLog::SetActiveTarget(new wxLogStderr);
    CSettingsStore::Get().WriteProfileInt("Configure", "Startup", 2);
    startup::Services services = startup::Services::Default();
    services.gridAvailable = [] { return true; };
    app->SetStartupServices(services);
    app->SetCommandLine({});
    if (!app->InitInstance() || !app->GetMainFrame())
        throw std::runtime_error("the application did not start");
    Main().SetSize(1200, 800);
    Main().Show();
}

CMainFrame& Main()
{
    return *TheApp().GetMainFrame();
}

CChildFrame& OpenQueryWindow(const std::string& connectString)
{
    CMessageScript quiet;
    CTorvaneDoc* doc = Main().NewQueryWindow(wxString::FromUTF8(connectString));
    if (!doc || !QueryFrameOf(doc))
        throw std::runtime_error("the query window did not open");
    CChildFrame& frame = *QueryFrameOf(doc);
    frame.Raise();
    wxYield();
    return frame;
}

void CloseQueryWindow(CChildFrame& frame)
{
    // The query text the bench typed is not the user's to save.
    frame.GetQueryDoc()->Modify(false);
    frame.Close(true);
    for (int i = 0; i < 50 && Main().GetConnectionCount() > 0; ++i)
        wxYield();
}

std::chrono::seconds DeadlineFor(long rows)
{
    return std::chrono::seconds(120 + std::max(rows, 0L) / 5000);
}

double RunEventLoop(const std::function<bool()>& onTick, std::chrono::seconds limit, const std::string& what)
{
    wxGUIEventLoop loop;
    wxTimer ticker;
    const Clock::time_point deadline = Clock::now() + limit;
    Clock::time_point lastTick = Clock::now();
    double longestGap = 0;
    bool overdue = false;
    ticker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const auto now = Clock::now();
        longestGap = std::max(longestGap, std::chrono::duration<double, std::milli>(now - lastTick).count());
        lastTick = now;
        if (onTick()) {
            loop.Exit();
        } else if (now >= deadline) {
            overdue = true;
            loop.Exit();
        }
    });
    ticker.Start(5);
    loop.Run();
    ticker.Stop();
    if (overdue)
        throw std::runtime_error(what + " did not end within " + std::to_string(limit.count()) + " s");
    return longestGap;
}

FillTimes FillGrids(CChildFrame& frame, const std::string& select, std::chrono::seconds limit,
                    const std::function<bool()>& onTick, const std::string& waitingFor)
{
    // What the worker leaves behind is shared with it: a worker that does not stop when told
    // outlives this call.
    struct Outcome {
        std::atomic<bool> done{false};
        std::string error;
        Clock::time_point firstFetch{}, end{};
    };
    const auto outcome = std::make_shared<Outcome>();
    // A run state of the bench's own on the window's mailbox: the grids arrive as a run's do.
    const auto state = std::make_shared<CQueryRunState>(frame.GetMailbox().shared_from_this());
    ado::ConnectionPtr connection = frame.Connection().m_pConnection;
    state->BeginRun(connection);
    CGridWorker::Options options;
    options.multipleResults = frame.Connection().m_bMultipleResults != 0;

    FillTimes times;
    times.start = Clock::now();
    std::thread worker([outcome, state, connection, options, select] {
        try {
            _variant_t affected;
            ado::RecordsetPtr rs = connection->Execute(select, &affected, ado::adCmdText);
            outcome->firstFetch = Clock::now();
            CGridWorker grids(state, options);
            grids.Run(rs, affected);
        } catch (const _com_error& e) {
            outcome->error = e.Description();
        } catch (const std::exception& e) {
            outcome->error = e.what();
        }
        outcome->end = Clock::now();
        outcome->done = true;
        wxWakeUpIdle();
    });
    try {
        times.longestStallMs = RunEventLoop([&] { return outcome->done && onTick(); }, limit, "the grid fill");
    } catch (const std::runtime_error& e) {
        const std::string failure =
            e.what() + std::string(outcome->done ? ": its worker had ended, " + waitingFor + " had not come"
                                                 : ": its worker was still filling");
        state->RequestStop();
        try {
            RunEventLoop([&] { return outcome->done.load(); }, kStopLimit, "the stopped worker");
            worker.join();
        } catch (const std::runtime_error&) {
            worker.detach();
        }
        state->EndRun();
        throw std::runtime_error(failure);
    }
    worker.join();
    state->EndRun();
    if (!outcome->error.empty())
        throw std::runtime_error("grid fill: " + outcome->error);
    times.firstFetch = outcome->firstFetch;
    times.end = outcome->end;
    return times;
}

} // namespace window_bench
