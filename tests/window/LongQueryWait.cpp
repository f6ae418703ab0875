#include "LongQuery.h"
#include "query/ChildFrame.h"
#include "QueryWindowTest.h"
#include "tests/support/TestTiming.h"
#include "WindowTestMain.h"

using namespace std::chrono_literals;

namespace window_test {

bool WaitForLongQuery(const CChildFrame& frame, torvane::test::Driver driver, const std::string& connect)
{
    return PumpUntil([&] { return frame.IsExecuting() && LongQueryRunning(driver, connect); },
                     torvane::test::Scaled(15s));
}

} // namespace window_test
