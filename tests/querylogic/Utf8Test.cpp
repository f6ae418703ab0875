// The program's text conversions: UTF-8 checks, UTF-16LE file bytes, Windows-1252 both ways.
#include "querycore/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Utf8, ValidityAndCodePoints)
{
    const struct {
        const char* name;
        std::string text;
        bool valid;
        size_t codePoints;
    } cases[] = {
        {"ascii", "select 1", true, 8},
        {"two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", true, 3},
        {"overlong slash", "\xC0\xAF", false, 1},
        {"a surrogate", "\xED\xA0\x80", false, 1},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false, 1},
        {"truncated", "abc\xE2\x82", false, 4},
        {"stray continuation byte", "\xBF", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(utf8::IsValid(c.text), c.valid);
        EXPECT_EQ(utf8::CountCodePoints(c.text), c.codePoints);
    }
}

TEST(Utf8, NextReplacesEachMalformedByte)
{
    const std::string text = "a\xC0\xAF\xE2\x82\xAC";
    size_t pos = 0;
    std::u32string decoded;
    while (pos < text.size())
        decoded += utf8::Next(text, pos);
    EXPECT_EQ(decoded, U"a\uFFFD\uFFFD\u20AC");
}

TEST(Utf8, Utf16LittleEndianFileBytes)
{
    const std::string text = "A\xC3\xA9\xF0\x9F\x98\x80";
    const std::string bytes("A\0\xE9\0\x3D\xD8\x00\xDE", 8);
    EXPECT_EQ(utf8::ToUtf16LE(text), bytes);
    EXPECT_EQ(utf8::FromUtf16LE(bytes), text);
    // A malformed byte, unpaired surrogates and an odd last byte each become U+FFFD.
    EXPECT_EQ(utf8::ToUtf16LE("\xFF"), std::string("\xFD\xFF", 2));
    EXPECT_EQ(utf8::FromUtf16LE(std::string("\x3D\xD8x\0\x00\xDEy", 7)), "\xEF\xBF\xBDx\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, Windows1252KeepsEveryByte)
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    const std::string text = utf8::FromWindows1252(bytes);
    EXPECT_TRUE(utf8::IsValid(text));
    EXPECT_EQ(utf8::CountCodePoints(text), 256u);
    // The euro sign and an undefined byte, which becomes the C1 control of its value.
    EXPECT_EQ(utf8::FromWindows1252("\x80\x81\xE9"), "\xE2\x82\xAC\xC2\x81\xC3\xA9");
    std::string back;
    ASSERT_TRUE(utf8::ToWindows1252(text, back));
    EXPECT_EQ(back, bytes);
}

TEST(Utf8, Windows1252RefusesWhatItCannotHold)
{
    for (std::string refused : {"\xCE\xA9", "\xF0\x9F\x98\x80", "ok \xC0\xAF", "\xBF"}) {
        std::string out = "untouched";
        EXPECT_FALSE(utf8::ToWindows1252(refused, out)) << refused;
        EXPECT_EQ(out, "untouched");
    }
}

} // namespace
