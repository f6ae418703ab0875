#include "editor/GoToTarget.h"

#include <gtest/gtest.h>

namespace {

TEST(GoToTarget, ParseNumber)
{
    EXPECT_EQ(CGoToTarget::ParseNumber(" 42 "), 42);
    EXPECT_EQ(CGoToTarget::ParseNumber("12x"), 12);
    EXPECT_EQ(CGoToTarget::ParseNumber("abc"), 0);
    EXPECT_EQ(CGoToTarget::ParseNumber(""), 0);
    EXPECT_EQ(CGoToTarget::ParseNumber("-3"), -3);
}

TEST(GoToTarget, LinesTable)
{
    struct {
        GoToRequest request;
        long typed, current, count;
        long target;
        const char* box;
    } const cases[] = {
        {GoToRequest::Number, 99999, 0, 10, 10, "10"}, // past the end: the last line, shown
        {GoToRequest::Number, 0, 5, 10, 1, "1"},
        {GoToRequest::Number, -4, 5, 10, 10, "10"},
        {GoToRequest::Number, 7, 0, 10, 7, ""},      // a plain target empties the box
        {GoToRequest::Number, 10, 0, 10, 10, ""},
        {GoToRequest::Next, 0, 2, 10, 4, ""},        // current line 3 (from 1) -> 4
        {GoToRequest::Next, 0, 9, 10, 10, "10"},     // at the end it stays
        {GoToRequest::Previous, 0, 2, 10, 2, ""},
        {GoToRequest::Previous, 0, 0, 10, 1, "1"},   // at the top it stays
    };
    for (const auto& c : cases) {
        GoToStep step = CGoToTarget::ForLines(c.request, c.typed, c.current, c.count);
        EXPECT_EQ(step.target, c.target) << c.typed << "/" << c.current;
        EXPECT_EQ(step.boxText, c.box) << c.typed << "/" << c.current;
    }
}

TEST(GoToTarget, GridRows)
{
    // Rows 1..5 hold data under the header row 0.
    auto step = CGoToTarget::ForGridRows(GoToRequest::Number, 9, 1, 6);
    ASSERT_TRUE(step);
    EXPECT_EQ(step->target, 5);
    EXPECT_EQ(step->boxText, "5");
    step = CGoToTarget::ForGridRows(GoToRequest::Previous, 0, 1, 6);
    EXPECT_EQ(step->target, 1);
    EXPECT_EQ(step->boxText, "1");
    step = CGoToTarget::ForGridRows(GoToRequest::Next, 0, 3, 6);
    EXPECT_EQ(step->target, 4);
    EXPECT_EQ(step->boxText, "");
    // Only the header: nothing to go to.
    EXPECT_FALSE(CGoToTarget::ForGridRows(GoToRequest::Number, 1, 0, 1));
}

} // namespace
