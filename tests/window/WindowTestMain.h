// Test helpers for windows: the display is initialised once per test process when there is one.
#pragma once

#include <chrono>
#include <functional>

namespace window_test {

// True when wxWidgets came up on a display; GUI tests skip otherwise.
bool HaveDisplay();

// Handles queued events until pred() holds or the time is up; returns pred().
bool PumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout);
// Handles whatever is queued now.
void Pump();

} // namespace window_test

#define REQUIRE_DISPLAY()                                                                                   \
    do {                                                                                                    \
        if (!::window_test::HaveDisplay())                                                                  \
            GTEST_SKIP() << "no display";                                                                   \
    } while (0)
