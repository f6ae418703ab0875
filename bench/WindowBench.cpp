#include "WindowBench.h"

#include "app/MainFrame.h"
#include "app/StartupChecks.h"
#include "app/TorvaneApp.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "query/ChildFrame.h"

#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/timer.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace window_bench {

namespace {

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

double RunEventLoop(const std::function<bool()>& onTick)
{
    using Clock = std::chrono::steady_clock;
    wxGUIEventLoop loop;
    wxTimer ticker;
    Clock::time_point lastTick = Clock::now();
    double longestGap = 0;
    ticker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const auto now = Clock::now();
        longestGap = std::max(longestGap, std::chrono::duration<double, std::milli>(now - lastTick).count());
        lastTick = now;
        if (onTick())
            loop.Exit();
    });
    ticker.Start(5);
    loop.Run();
    ticker.Stop();
    return longestGap;
}

} // namespace window_bench
