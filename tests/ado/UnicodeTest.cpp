// UTF-8 and UTF-16 conversions: strict where a writer must refuse bad text, lenient (U+FFFD)
// where text goes to or comes from a driver.
#include "ado/Unicode.h"

#include <gtest/gtest.h>

using namespace ado::detail;

namespace {

const char* const kMalformed[] = {
    "\xC3",             // truncated
    "\xE4\xB8",         // truncated
    "\x80",             // lone continuation byte
    "\xC0\xAF",         // overlong "/"
    "\xED\xA0\x80",     // a surrogate
    "\xF4\x90\x80\x80", // above U+10FFFF
};

} // namespace

TEST(UnicodeTest, Utf8IsDecodedStrictly)
{
    std::u16string w;
    EXPECT_TRUE(Utf8ToUtf16("a\xC3\xA9\xE4\xB8\x96\xF0\x9F\x98\x80", w)); // a é 世 😀
    EXPECT_EQ(w, u"a\u00E9\u4E16\U0001F600");
    for (const char* bad : kMalformed)
        EXPECT_FALSE(Utf8ToUtf16(bad, w)) << bad;
}

TEST(UnicodeTest, TextForDriversReplacesEachBadByte)
{
    EXPECT_EQ(ToWide("a\xC3\xA9\xE4\xB8\x96\xF0\x9F\x98\x80"), u"a\u00E9\u4E16\U0001F600");
    for (const char* bad : kMalformed) {
        std::u16string w = ToWide(std::string("<") + bad + ">");
        EXPECT_EQ(w, u"<" + std::u16string(std::char_traits<char>::length(bad), u'\uFFFD') + u">") << bad;
    }
}

TEST(UnicodeTest, Utf16ComesBackAsUtf8)
{
    const std::u16string text = u"a\u00E9\u4E16\U0001F600";
    EXPECT_EQ(FromWide(text), "a\xC3\xA9\xE4\xB8\x96\xF0\x9F\x98\x80");
    EXPECT_EQ(FromWide(ToWide("Grüße, 世界 😀")), "Grüße, 世界 😀");
    // Unpaired surrogates, leading and trailing.
    EXPECT_EQ(FromWide(std::u16string{u'x', char16_t(0xD83D), u'y', char16_t(0xDE00)}), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
}
