#include "common/ListText.h"

#include "WxStringPrinter.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ListRowFields, OnlyTerminatedFieldsCount)
{
    const struct {
        const char* row;
        std::vector<wxString> fields;
    } cases[] = {
        {"a|b|c|", {"a", "b", "c"}},
        {"a|b|c", {"a", "b"}},
        {"abc", {}},
        {"|", {""}},
        {"a||c|", {"a", "", "c"}},
        {"Name |Orders|", {"Name ", "Orders"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(SplitListRowFields(c.row), c.fields);
    }
}

TEST(ListSortNumber, LeadingNumberOrZero)
{
    const struct {
        const char* text;
        int64_t value;
    } cases[] = {
        {"10", 10},
        {"abc", 0},
        {"", 0},
        {" -5x", -5},
        {"+7", 7},
        {"3000000000", 3000000000LL},  // beyond 32 bits
        {"4294967295", 4294967295LL},
        {"99999999999999999999", INT64_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseListSortNumber(c.text), c.value);
    }
}

} // namespace
