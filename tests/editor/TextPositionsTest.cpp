#include "common/TextPositions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PositionCase {
    std::string text;
    long bytePos;
    long charPos;
};

TEST(TextPositions, BytesToCharacters)
{
    const PositionCase cases[] = {
        {"select", 3, 3},
        {"ab\r\ncd", 4, 3},          // CR LF counts once
        {"ab\ncd", 3, 3},
        {"ab\r\ncd", 3, 3},          // between CR and LF: the break is reached
        {"caf\xC3\xA9 x", 5, 4},     // two bytes, one character
        {"caf\xC3\xA9 x", 4, 4},     // inside a character
        {"\xE2\x82\xAC\r\n\xE2\x82\xAC", 8, 3},
        {"abc", 99, 3},
        {"abc", -1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CTextPositions::ByteToChar(c.text, c.bytePos), c.charPos) << c.text << " @" << c.bytePos;
}

TEST(TextPositions, CharactersToBytesRoundTrip)
{
    const std::string text = "-- caf\xC3\xA9\r\nselect '\xE2\x82\xAC'\n\xF0\x9F\x98\x80 x\r\n";
    long chars = CTextPositions::ByteToChar(text, static_cast<long>(text.size()));
    EXPECT_EQ(chars, 23);
    for (long c = 0; c <= chars; ++c) {
        long b = CTextPositions::CharToByte(text, c);
        EXPECT_EQ(CTextPositions::ByteToChar(text, b), c) << c;
    }
    EXPECT_EQ(CTextPositions::CharToByte(text, 8), 10);  // the character after CR LF
    EXPECT_EQ(CTextPositions::CharToByte(text, 1000), static_cast<long>(text.size()));
    EXPECT_EQ(CTextPositions::CharToByte(text, -5), 0);
}

} // namespace
