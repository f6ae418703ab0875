#include "querycore/WordDelimiters.h"

#include <gtest/gtest.h>

TEST(WordDelimiters, Characters)
{
    for (wxUniChar c : {wxUniChar(0), wxUniChar(' '), wxUniChar('\t'), wxUniChar('\r'), wxUniChar('\n'),
                        wxUniChar('.'), wxUniChar(','), wxUniChar('('), wxUniChar('_'), wxUniChar('-')})
        EXPECT_TRUE(IsWordDelimiter(c)) << static_cast<int>(c.GetValue());
    for (wxUniChar c : {wxUniChar('a'), wxUniChar('Z'), wxUniChar('0'), wxUniChar(0xE9)})
        EXPECT_FALSE(IsWordDelimiter(c)) << static_cast<int>(c.GetValue());
}

TEST(WordDelimiters, WholeWords)
{
    struct Case {
        long position;
        const char* text;
        long length;
        bool whole;
    };
    const Case cases[] = {
        {0, "select", 6, true},       // the whole text
        {0, "select x", 6, true},     // start of the text, blank after
        {7, "select x", 1, true},     // end of the text
        {4, "from table1", 5, false}, // "table" inside "table1"
        {5, "from table1", 5, false}, // "able1" after a letter
        {5, "from(table)", 5, true},  // punctuation on both sides
        {-1, "abc", 1, false},        // before the text
        {2, "abc", 2, false},         // runs past the end
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsWholeWordAt(c.position, c.text, c.length), c.whole) << c.text << " at " << c.position;
}
