#include "TestTiming.h"

#include <cstdlib>

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

} // namespace torvane::test
