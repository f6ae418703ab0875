#include "common/EditHelpers.h"
#include "common/EditText.h"

#include "WxStringPrinter.h"

#include <gtest/gtest.h>

namespace {

TEST(EditWords, WordAroundTheCaret)
{
    const struct {
        const char* text;
        long caret;
        long start;
        long end;
    } cases[] = {
        {"select foo_bar, x", 9, 7, 14},
        {"select foo_bar, x", 7, 7, 14},  // at the start of the word
        {"select foo_bar, x", 14, 7, 14}, // just after it
        {"select foo_bar, x", 15, 15, 15}, // between "," and a blank
        {"a.b", 1, 0, 1},                 // punctuation ends words
        {"h\xC3\xA9llo w", 2, 0, 6},       // bytes of a multibyte character belong to the word
        {"", 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.text << " @" << c.caret);
        const auto [start, end] = FindWordAt(c.text, c.caret);
        EXPECT_EQ(start, c.start);
        EXPECT_EQ(end, c.end);
    }
}

TEST(EditBraces, BraceAtOrBeforeTheCaret)
{
    EXPECT_TRUE(IsBraceAt("f(x)", 4)); // after a closing parenthesis at the end
    EXPECT_TRUE(IsBraceAt("f(x)", 1));
    EXPECT_TRUE(IsBraceAt("f(x)", 2)); // the one before the caret
    EXPECT_TRUE(IsBraceAt("a<b", 2));
    EXPECT_FALSE(IsBraceAt("ab", 1));
    EXPECT_FALSE(IsBraceAt("", 0));
}

TEST(EditBraces, MatchingBraceCountsNestingOfTheSamePair)
{
    const struct {
        const char* text;
        long caret;
        long match;
    } cases[] = {
        {"(a)", 0, 2},
        {"(a)", 3, 0},  // a caret at the end counts as on the last character
        {"(a)", 1, 2},  // not on a brace: the one before the caret
        {"((a))", 0, 4},
        {"((a))", 1, 3},
        {"((a))", 5, 0},
        {"([)]", 0, 2}, // other pairs are not counted
        {"{ [x] }", 6, 0},
        {"f(')')", 1, 3}, // strings are not considered
        {"(a", 0, -1},
        {"abc", 1, -1},
        {"", 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.text << " @" << c.caret);
        EXPECT_EQ(FindMatchingBrace(c.text, c.caret), c.match);
    }
}

TEST(TwipsToPixels, ScalesEachEdgeWithRounding)
{
    EXPECT_EQ(TwipsToPixelsRect(wxRect(1440, 720, 2880, 1440), wxSize(96, 96)), wxRect(96, 48, 192, 96));
    EXPECT_EQ(TwipsToPixelsRect(wxRect(1440, 1440, 1440, 1440), wxSize(600, 300)), wxRect(600, 300, 600, 300));
    // 7 twips are 0.47 pixels, 8 twips 0.53 at 96 pixels per inch.
    EXPECT_EQ(TwipsToPixelsRect(wxRect(7, 8, 8, 7), wxSize(96, 96)), wxRect(0, 1, 1, 0));
}

} // namespace
