// Bounds of tests that watch how promptly something happens (a gap between two timer ticks, an
// answer to a cancel). A slow build stretches them by the factor in TORVANE_TEST_TIME_SCALE,
// which the sanitizer run sets; without it the bounds are as written.
#pragma once

#include <chrono>
#include <functional>

namespace torvane::test {

// The factor: 1 when the variable is unset or not a number above 1.
double TimeScale();

std::chrono::milliseconds Scaled(std::chrono::milliseconds bound);

// Waits on this thread, without an event loop, until the condition holds, looking every
// millisecond; false when it did not within the bound (scaled).
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound);

} // namespace torvane::test
