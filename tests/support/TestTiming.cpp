#include "TestTiming.h"

#include <cstdlib>
#include <thread>

namespace torvane::test {

double TimeScale()
{
    const char* value = std::getenv("TORVANE_TEST_TIME_SCALE");
    const double scale = value ? std::atof(value) : 1.0;
    return scale > 1.0 ? scale : 1.0;
}

std::chrono::milliseconds Scaled(std::chrono::milliseconds bound)
{
    return std::chrono::milliseconds(static_cast<long long>(static_cast<double>(bound.count()) * TimeScale()));
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + Scaled(bound);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace torvane::test
