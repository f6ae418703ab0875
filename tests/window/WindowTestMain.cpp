#include "WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include <cstdlib>
#include <memory>
#include <thread>

namespace {

bool g_display = false;
std::unique_ptr<wxEventLoopBase> g_loop;

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
    while (wxTheApp->ProcessIdle()) {
    }
}

bool PumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace window_test

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery) needs no display.
    const bool listing = ::testing::GTEST_FLAG(list_tests);
    if (!listing && std::getenv("DISPLAY")) {
        wxApp::SetInstance(new wxApp);
        g_display = wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
        if (g_display) {
            wxTheApp->SetExitOnFrameDelete(false);
            g_loop = std::make_unique<wxGUIEventLoop>();
            wxEventLoopBase::SetActive(g_loop.get());
        }
    }
    const int result = RUN_ALL_TESTS();
    if (g_display) {
        wxEventLoopBase::SetActive(nullptr);
        g_loop.reset();
        wxEntryCleanup();
    }
    return result;
}
