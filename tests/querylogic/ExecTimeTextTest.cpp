#include "querycore/ExecTimeText.h"

#include <gtest/gtest.h>

namespace {

TEST(ExecTimeText, Table)
{
    struct Case {
        uint64_t ms;
        const char* withMs;
        const char* without;
    } cases[] = {
        {0, "Exec time: 00:00:00.000", "Exec time: 00:00:00"},
        {999, "Exec time: 00:00:00.999", "Exec time: 00:00:00"},
        {1000, "Exec time: 00:00:01.000", "Exec time: 00:00:01"},
        {61234, "Exec time: 00:01:01.234", "Exec time: 00:01:01"},
        {3599999, "Exec time: 00:59:59.999", "Exec time: 00:59:59"},
        {86399999, "Exec time: 23:59:59.999", "Exec time: 23:59:59"},
        {86400000, "Exec time: 1 day(s) 00:00:00.000", "Exec time: 1 day(s) 00:00:00"},
        {90061500, "Exec time: 1 day(s) 01:01:01.500", "Exec time: 1 day(s) 01:01:01"},
        {4294967295u, "Exec time: 49 day(s) 17:02:47.295", "Exec time: 49 day(s) 17:02:47"},
    };
    for (const Case& c : cases) {
        ExecTimeText on = FormatExecTime(c.ms, true);
        EXPECT_EQ(on.text, c.withMs);
        EXPECT_EQ(FormatExecTime(c.ms, false).text, c.without);
        EXPECT_EQ(on.milliseconds, std::string(c.withMs).substr(std::string(c.withMs).find('.')));
    }
}

TEST(ExecTimeText, SwitchingAccuracyWhileIdle)
{
    EXPECT_EQ(ChangeExecTimeAccuracy("Exec time: 00:00:05.250", false, ".250"), "Exec time: 00:00:05");
    EXPECT_EQ(ChangeExecTimeAccuracy("Exec time: 00:00:05", true, ".250"), "Exec time: 00:00:05.250");
    EXPECT_EQ(ChangeExecTimeAccuracy("", true, ".250"), "");
    EXPECT_EQ(ChangeExecTimeAccuracy("Exec time: 00:00:05", false, ".250"), "Exec time: 00:00:05");
}

} // namespace
