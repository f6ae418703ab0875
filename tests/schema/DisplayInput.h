// Keys and clicks sent through the display, each awaited until the program has had it. The
// display delivers a key's or button's release after its press, so once the application has
// dispatched the release, whatever the press did is done.
#pragma once

#include "tests/support/TestTiming.h"
#include "tests/window/WindowTestMain.h"

#include <wx/eventfilter.h>
#include <wx/settings.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <utility>
#include <vector>

namespace schema_test {

class CDisplayInput : public wxEventFilter {
public:
    CDisplayInput() { wxEvtHandler::AddFilter(this); }
    ~CDisplayInput() override { wxEvtHandler::RemoveFilter(this); }
    CDisplayInput(const CDisplayInput&) = delete;
    CDisplayInput& operator=(const CDisplayInput&) = delete;

    int FilterEvent(wxEvent& event) override
    {
        const wxEventType type = event.GetEventType();
        if (type == wxEVT_KEY_UP) {
            if (static_cast<wxKeyEvent&>(event).GetKeyCode() == m_nAwaitedKey)
                m_bKeyReleased = true;
        } else if (type == wxEVT_LEFT_UP || type == wxEVT_RIGHT_UP || type == wxEVT_MIDDLE_UP) {
            ++m_nButtonUps;
            LastRelease() = {std::chrono::steady_clock::now(), wxGetMousePosition()};
        }
        return Event_Skip;
    }

    // Raises the top-level window and waits until it holds the display's focus and shows the
    // window, so that the keys and clicks that follow reach it.
    static bool Raise(wxTopLevelWindow& top, wxWindow& shown)
    {
        top.Raise();
        return window_test::PumpUntil([&] { return top.IsActive() && shown.IsShownOnScreen(); },
                                      torvane::test::Scaled(std::chrono::seconds(10)));
    }

    // Moves the pointer to the point of the screen; true once it is there.
    bool MoveTo(const wxPoint& screen)
    {
        m_input.MouseMove(screen);
        return window_test::PumpUntil([&screen] { return wxGetMousePosition() == screen; }, Deadline());
    }

    // A click of the button where the pointer is, with the modifier keys held; true once the
    // program has had the release.
    bool Click(int modifiers = wxMOD_NONE, int button = wxMOUSE_BTN_LEFT)
    {
        KeepApartFromTheLastClick();
        const int before = m_nButtonUps;
        HoldModifiers(modifiers, true);
        m_input.MouseClick(button);
        HoldModifiers(modifiers, false);
        return window_test::PumpUntil([this, before] { return m_nButtonUps > before; }, Deadline());
    }

    // A double click where the pointer is; true once the program has had both releases.
    bool DoubleClick()
    {
        KeepApartFromTheLastClick();
        const int before = m_nButtonUps;
        m_input.MouseDblClick();
        return window_test::PumpUntil([this, before] { return m_nButtonUps >= before + 2; }, Deadline());
    }

    // Presses the button, moves the pointer by each step in turn and releases it there; true once
    // the program has had the release.
    bool Drag(const std::vector<wxPoint>& steps)
    {
        const int before = m_nButtonUps;
        m_input.MouseDown();
        wxPoint at = wxGetMousePosition();
        for (const wxPoint& step : steps) {
            at += step;
            m_input.MouseMove(at);
        }
        m_input.MouseUp();
        return window_test::PumpUntil([this, before] { return m_nButtonUps > before; }, Deadline());
    }

    // Types the key with the modifiers held; true once the program has had its release.
    bool Key(int key, int modifiers = wxMOD_NONE)
    {
        m_nAwaitedKey = key < 128 ? std::toupper(key) : key;
        m_bKeyReleased = false;
        m_input.Char(key, modifiers);
        return window_test::PumpUntil([this] { return m_bKeyReleased; }, Deadline());
    }

    // Waits until the double-click time has passed since the last release: a click now is one
    // of its own, and what the last click would have started once that time passed has started.
    void WaitOutDoubleClick()
    {
        const int period = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC);
        const auto after = LastRelease().when + std::chrono::milliseconds(period > 0 ? period : 500);
        window_test::PumpUntil([after] { return std::chrono::steady_clock::now() > after; }, Deadline());
    }

private:
    struct Release {
        std::chrono::steady_clock::time_point when;
        wxPoint where{-1000, -1000};
    };
    // The last button release the program had, whoever watched it: the display makes a double
    // click of two clicks in a row, also of two tests in a row.
    static Release& LastRelease()
    {
        static Release last;
        return last;
    }

    // Where the last click was released a moment ago, waits until a click cannot make a double
    // click with that one.
    void KeepApartFromTheLastClick()
    {
        const wxPoint distance = wxGetMousePosition() - LastRelease().where;
        const int near = std::max(wxSystemSettings::GetMetric(wxSYS_DCLICK_X), 5);
        if (std::abs(distance.x) <= near && std::abs(distance.y) <= near)
            WaitOutDoubleClick();
    }

    static std::chrono::milliseconds Deadline() { return torvane::test::Scaled(std::chrono::seconds(10)); }

    void HoldModifiers(int modifiers, bool down)
    {
        for (const auto& [flag, key] : {std::pair{wxMOD_CONTROL, WXK_CONTROL}, std::pair{wxMOD_SHIFT, WXK_SHIFT}}) {
            if (!(modifiers & flag))
                continue;
            if (down)
                m_input.KeyDown(key);
            else
                m_input.KeyUp(key);
        }
    }

    wxUIActionSimulator m_input;
    int m_nAwaitedKey = 0;
    bool m_bKeyReleased = false;
    int m_nButtonUps = 0;
};

} // namespace schema_test
