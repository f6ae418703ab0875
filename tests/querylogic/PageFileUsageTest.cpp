#include "querycore/PageFileUsage.h"

#include <gtest/gtest.h>

namespace {

TEST(PageFileUsage, FromMemInfoText)
{
    struct Case {
        const char* name;
        const char* memInfo;
        int expected;
    } cases[] = {
        {"memory and swap",
         "MemTotal:        1000 kB\nMemFree:          100 kB\nMemAvailable:     400 kB\n"
         "SwapTotal:        1000 kB\nSwapFree:          600 kB\n",
         50},
        {"no swap lines", "MemTotal: 1000 kB\nMemAvailable: 250 kB\n", 75},
        {"swap of zero", "MemTotal: 1000 kB\nMemAvailable: 5 kB\nSwapTotal: 0 kB\nSwapFree: 0 kB\n", 99},
        {"truncated toward zero", "MemTotal: 300 kB\nMemAvailable: 1 kB\n", 99},
        {"all free", "MemTotal: 300 kB\nMemAvailable: 300 kB\n", 0},
        {"all used", "MemTotal: 300 kB\nMemAvailable: 0 kB\n", 100},
        {"no MemAvailable", "MemTotal: 1000 kB\nMemFree: 100 kB\n", -1},
        {"total of zero", "MemTotal: 0 kB\nMemAvailable: 0 kB\n", -1},
        {"garbage", "MemTotal: lots\nMemAvailable: 1 kB\n", -1},
        {"empty", "", -1},
        {"prefix of another name is not it", "MemTotalX: 5 kB\nMemTotal: 100 kB\nMemAvailable: 10 kB\n", 90},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageFileUsagePercentFromMemInfo(c.memInfo), c.expected) << c.name;
}

TEST(PageFileUsage, ReadsThisMachine)
{
    int percent = GetPageFileUsagePercent();
    EXPECT_GE(percent, 0);
    EXPECT_LE(percent, 100);
}

} // namespace
