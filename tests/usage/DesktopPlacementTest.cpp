// Where the program's windows open on a desktop with a window manager, as a person starts and
// leaves the program again and again: the main window comes back where and as large as it was,
// and the start-up Data Link Properties dialog opens in its middle.
#include "app/MainFrame.h"
#include "app/TorvaneApp.h"
#include "common/SettingsTable.h"
#include "platform/SettingsStore.h"
#include "query/DataLinkDlg.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestTiming.h"
#include "tests/support/WindowManager.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/display.h>
#include <wx/modalhook.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <chrono>
#include <cstdlib>

using namespace std::chrono_literals;
using window_test::PumpUntil;

namespace {

const auto kWait = torvane::test::Scaled(15s);

// Notes where the data link dialog stands once the desktop has shown it, then cancels it.
class CDataLinkPlace : public wxModalDialogHook {
public:
    CDataLinkPlace()
    {
        Register();
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Poll(); });
        m_timer.Start(50);
    }
    ~CDataLinkPlace() override
    {
        m_timer.Stop();
        Unregister();
    }
    // The dialog's place on the screen and the main window's, as they were while it showed.
    const wxRect& Dialog() const { return m_dialogRect; }
    const wxRect& Owner() const { return m_ownerRect; }
    bool Seen() const { return m_seen; }

protected:
    int Enter(wxDialog* dialog) override
    {
        if (auto* link = dynamic_cast<CDataLinkDlg*>(dialog)) {
            m_dialog = link;
            m_ticks = 0;
        }
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override
    {
        if (dialog == m_dialog)
            m_dialog = nullptr;
    }

private:
    void Poll()
    {
        if (!m_dialog || !m_dialog->IsShownOnScreen())
            return;
        // The desktop frames and places a window some time after it shows, later on a busy
        // machine: the place is taken once the dialog stands in the middle of its owner, or
        // as it is when the wait is over.
        const wxRect dialog = m_dialog->GetScreenRect();
        const wxRect owner = TheApp().GetMainFrame()->GetScreenRect();
        const wxPoint offset =
            (dialog.GetPosition() + dialog.GetSize() / 2) - (owner.GetPosition() + owner.GetSize() / 2);
        const bool centred = std::abs(offset.x) <= 30 && std::abs(offset.y) <= 30;
        if (++m_ticks < 10 || (!centred && std::chrono::milliseconds(50 * m_ticks) < torvane::test::Scaled(10s)))
            return;
        m_seen = true;
        m_dialogRect = dialog;
        m_ownerRect = owner;
        m_dialog->EndModal(wxID_CANCEL);
    }

    wxTimer m_timer;
    CDataLinkDlg* m_dialog = nullptr;
    int m_ticks = 0;
    bool m_seen = false;
    wxRect m_dialogRect;
    wxRect m_ownerRect;
};

TEST(DesktopPlacement, TheMainWindowComesBackAsItWasAndTheStartDialogOpensInItsMiddle)
{
    REQUIRE_DISPLAY();
    torvane::test::CWindowManager desktop;
    if (!desktop.Running())
        GTEST_SKIP() << "no window manager (openbox)";
    // This test starts the program itself, under the desktop, as a person does.
    TheApp().ShutDown();
    window_test::Pump();

    const wxString stored = "0,1,-1,-1,-1,-1,120,90,1020,730";
    settings::WriteString(settings::WindowPos, stored);
    // Each start opens the Data Link Properties dialog, which is cancelled.
    settings::WriteInt(settings::Startup, 0);
    for (int start = 1; start <= 3; ++start) {
        SCOPED_TRACE(testing::Message() << "start " << start);
        CDataLinkPlace place;
        TheApp().SetCommandLine({});
        ASSERT_TRUE(TheApp().InitInstance());
        ASSERT_TRUE(PumpUntil([&place] { return place.Seen(); }, kWait));
        const wxPoint centre = place.Dialog().GetPosition() + place.Dialog().GetSize() / 2;
        const wxPoint ownerCentre = place.Owner().GetPosition() + place.Owner().GetSize() / 2;
        EXPECT_NEAR(centre.x, ownerCentre.x, 30) << "dialog at " << place.Dialog().x << "," << place.Dialog().y;
        EXPECT_NEAR(centre.y, ownerCentre.y, 30) << "dialog at " << place.Dialog().x << "," << place.Dialog().y;
        const wxRect screen = wxDisplay(0u).GetClientArea();
        EXPECT_TRUE(screen.Contains(place.Dialog()));

        wxWeakRef<wxWindow> main(TheApp().GetMainFrame());
        window_test::Pump();
        main->Close();
        ASSERT_TRUE(PumpUntil([&main] { return !main; }, kWait));
        EXPECT_EQ(settings::ReadString(settings::WindowPos), stored);
        TheApp().ShutDown();
        window_test::Pump();
    }
    // The other tests of this process start with no start-up action.
    settings::WriteInt(settings::Startup, 2);
}

} // namespace
