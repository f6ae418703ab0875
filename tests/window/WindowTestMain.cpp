#include "WindowTestMain.h"

#include "app/TorvaneApp.h"
#include "platform/SettingsStore.h"

#include <gtest/gtest.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

bool g_display = false;
std::string g_openedLog;
std::unique_ptr<wxEventLoopBase> g_loop;

// Settings, the single-instance socket and the query files of this process stay in a folder
// of its own, so that test processes running side by side never meet.
void UsePrivateFolders()
{
    char pattern[] = "/tmp/torvane-window-XXXXXX";
    const char* root = mkdtemp(pattern);
    if (!root)
        return;
    const std::filesystem::path base(root);
    for (const char* name : {"config", "data", "runtime"})
        std::filesystem::create_directories(base / name);
    std::filesystem::permissions(base / "runtime", std::filesystem::perms::owner_all);
    setenv("XDG_CONFIG_HOME", (base / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (base / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (base / "runtime").c_str(), 1);
    // The desktop's opener stands in: it notes what it was asked to open, and no program of the
    // desktop starts from a test.
    std::filesystem::create_directories(base / "bin");
    const std::filesystem::path opener = base / "bin" / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" << (base / "opened.txt").string() << "'\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    const char* path = std::getenv("PATH");
    setenv("PATH", ((base / "bin").string() + ":" + (path ? path : "")).c_str(), 1);
    g_openedLog = (base / "opened.txt").string();
    static const std::string folder = base.string();
    std::atexit([] { std::filesystem::remove_all(folder); });
}

// Failed checks of the class library outside any test: while the application starts or ends.
std::atomic<bool> g_assertOutsideTests{false};

// A failed check of the class library is a failed test, not a dialog nobody answers; outside a
// test it fails the whole run.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    if (!::testing::UnitTest::GetInstance()->current_test_info()) {
        g_assertOutsideTests = true;
        std::fprintf(stderr, "%s(%d): wx assertion %s in %s: %s\n", file.utf8_string().c_str(), line,
                     cond.utf8_string().c_str(), func.utf8_string().c_str(), msg.utf8_string().c_str());
        return;
    }
    ADD_FAILURE_AT(file.utf8_string().c_str(), line) << "wx assertion " << cond << " in " << func << ": " << msg;
}

bool StartApplication(int& argc, char** argv)
{
    wxSetAssertHandler(FailOnAssert);
    auto* app = new CTorvaneApp;
    wxApp::SetInstance(app);
    if (!wxEntryStart(argc, argv))
        return false;
    // Logged errors go to standard error, not to a message box at the end.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    g_loop = std::make_unique<wxGUIEventLoop>();
    wxEventLoopBase::SetActive(g_loop.get());
    // No start-up action: the tests open their own windows.
    CSettingsStore::Get().WriteProfileInt("Configure", "Startup", 2);
    startup::Services services = startup::Services::Default();
    services.gridAvailable = [] { return true; };
    app->SetStartupServices(services);
    app->SetCommandLine({});
    return app->InitInstance() && app->GetMainFrame();
}

} // namespace

namespace window_test {

bool HaveDisplay()
{
    return g_display;
}

void Pump()
{
    if (!g_display)
        return;
    g_loop->YieldFor(wxEVT_CATEGORY_ALL);
    wxTheApp->ProcessPendingEvents();
    for (int i = 0; i < 20 && wxTheApp->ProcessIdle(); ++i) {
    }
}

bool PumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        Pump();
        // The next event, or a few milliseconds: what changes without an event (a worker's
        // progress, the database) is looked at again then. Without a display only a worker
        // changes anything.
        if (g_display)
            g_loop->DispatchTimeout(5);
        else
            std::this_thread::yield();
    }
    return true;
}

std::optional<bool> ContextMenuOffers(wxEvtHandler& owner, int id, const std::function<void()>& open,
                                      std::chrono::milliseconds timeout)
{
    // Shared with the call queued below, which may come after a hung wait has given up.
    struct Seen {
        std::optional<bool> offered;
        bool opened = false, closed = false;
    };
    const auto seen = std::make_shared<Seen>();
    const auto onOpen = [seen, id](wxMenuEvent& event) {
        event.Skip();
        if (!event.GetMenu() || seen->opened)
            return;
        seen->opened = true;
        // Once the menu shows: its item as it shows, then the menu goes as a person lets it go.
        wxTheApp->CallAfter([seen, id, menu = event.GetMenu()] {
            wxMenuItem* item = menu->FindItem(id);
            seen->offered = item && item->IsEnabled();
            wxUIActionSimulator().Char(WXK_ESCAPE);
        });
    };
    const auto onClose = [seen](wxMenuEvent& event) {
        event.Skip();
        seen->closed = seen->opened;
    };
    owner.Bind(wxEVT_MENU_OPEN, onOpen);
    owner.Bind(wxEVT_MENU_CLOSE, onClose);
    open();
    PumpUntil([&seen] { return seen->offered.has_value() && seen->closed; }, timeout);
    owner.Unbind(wxEVT_MENU_OPEN, onOpen);
    owner.Unbind(wxEVT_MENU_CLOSE, onClose);
    return seen->offered;
}

DialogScript::DialogScript() : m_timer(std::make_unique<wxTimer>())
{
    m_timer->Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Poll(); });
    m_timer->Start(20);
}

DialogScript::~DialogScript()
{
    m_timer->Stop();
}

void DialogScript::Poll()
{
    if (m_steps.empty())
        return;
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(window);
        if (!dialog || !dialog->IsModal() || !dialog->IsShown())
            continue;
        const int id = m_steps.front()(dialog);
        if (id == wxID_NONE)
            continue;
        m_steps.pop_front();
        ++m_answered;
        dialog->EndModal(id);
        return;
    }
}

int CancelModalDialogs::Enter(wxDialog* dialog)
{
    m_titles.push_back(dialog ? dialog->GetTitle() : wxString());
    return wxID_CANCEL;
}

std::vector<std::string> OpenedFiles()
{
    std::vector<std::string> lines;
    std::ifstream log(g_openedLog);
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    return lines;
}

} // namespace window_test

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery) needs no display.
    const bool listing = ::testing::GTEST_FLAG(list_tests);
    UsePrivateFolders();
    if (!listing && std::getenv("DISPLAY"))
        g_display = StartApplication(argc, argv);
    const int result = RUN_ALL_TESTS();
    if (g_display) {
        TheApp().ShutDown();
        wxEventLoopBase::SetActive(nullptr);
        g_loop.reset();
        wxEntryCleanup();
    }
    return g_assertOutsideTests ? 1 : result;
}
