#include "querycore/QueryFileCodec.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using torvane::test::Utf16Bytes;

struct CodecCase {
    const char* name;
    std::string bytes;
    QueryFileEncoding encoding;
    QueryFileLineEnd lineEnd;
    std::string editorText;
};

class CodecRoundTrip : public testing::TestWithParam<CodecCase> {};

TEST_P(CodecRoundTrip, ReadsAndWritesTheSameBytes)
{
    const CodecCase& c = GetParam();
    QueryFileText text = CQueryFileCodec::Decode(c.bytes);
    EXPECT_EQ(text.encoding, c.encoding);
    EXPECT_EQ(text.lineEnd, c.lineEnd);
    EXPECT_EQ(text.utf8, c.editorText);
    std::string back;
    ASSERT_TRUE(CQueryFileCodec::Encode(text.utf8, text.encoding, back));
    EXPECT_EQ(back, c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CodecRoundTrip,
    testing::Values(
        CodecCase{"empty", "", QueryFileEncoding::Utf8, QueryFileLineEnd::LF, ""},
        CodecCase{"ascii_lf", "select 1\ngo\n", QueryFileEncoding::Utf8, QueryFileLineEnd::LF, "select 1\ngo\n"},
        CodecCase{"ascii_crlf", "select 1\r\ngo\r\n", QueryFileEncoding::Utf8, QueryFileLineEnd::CRLF,
                  "select 1\r\ngo\r\n"},
        CodecCase{"utf8_lf", "-- caf\xC3\xA9 \xE2\x82\xAC\nselect 1", QueryFileEncoding::Utf8,
                  QueryFileLineEnd::LF, "-- caf\xC3\xA9 \xE2\x82\xAC\nselect 1"},
        CodecCase{"utf8_crlf", "-- \xCE\xA9\r\nselect 1\r\n", QueryFileEncoding::Utf8, QueryFileLineEnd::CRLF,
                  "-- \xCE\xA9\r\nselect 1\r\n"},
        CodecCase{"utf8_bom", "\xEF\xBB\xBFselect 'x'\n", QueryFileEncoding::Utf8Bom, QueryFileLineEnd::LF,
                  "select 'x'\n"},
        CodecCase{"cp1252_lf", "-- caf\xE9\nselect '\x80'\n", QueryFileEncoding::Windows1252,
                  QueryFileLineEnd::LF, "-- caf\xC3\xA9\nselect '\xE2\x82\xAC'\n"},
        CodecCase{"cp1252_crlf", "-- na\xEFve\r\nselect 1\r\n", QueryFileEncoding::Windows1252,
                  QueryFileLineEnd::CRLF, "-- na\xC3\xAFve\r\nselect 1\r\n"},
        CodecCase{"cp1252_undefined_bytes", "\x81\x8D\x8F\x90\x9D", QueryFileEncoding::Windows1252,
                  QueryFileLineEnd::LF, "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        CodecCase{"mixed_line_ends_kept", "a\r\nb\nc\rd", QueryFileEncoding::Utf8, QueryFileLineEnd::CRLF,
                  "a\r\nb\nc\rd"},
        CodecCase{"cr_only", "a\rb\r", QueryFileEncoding::Utf8, QueryFileLineEnd::CR, "a\rb\r"},
        // UTF-16 as editors of another desktop save it: with a byte-order mark in either order,
        // and without one; a character outside the BMP is a surrogate pair.
        CodecCase{"utf16le_bom", Utf16Bytes(u"\uFEFFselect '\u00E9\u03A9'\r\ngo\r\n", false), QueryFileEncoding::Utf16LEBom,
                  QueryFileLineEnd::CRLF, "select '\xC3\xA9\xCE\xA9'\r\ngo\r\n"},
        CodecCase{"utf16be_bom", Utf16Bytes(u"\uFEFFselect '\U0001F600'\n", true), QueryFileEncoding::Utf16BEBom,
                  QueryFileLineEnd::LF, "select '\xF0\x9F\x98\x80'\n"},
        CodecCase{"utf16le", Utf16Bytes(u"select 1\r\n-- \u4E2D\u6587", false), QueryFileEncoding::Utf16LE,
                  QueryFileLineEnd::CRLF, "select 1\r\n-- \xE4\xB8\xAD\xE6\x96\x87"},
        CodecCase{"utf16be", Utf16Bytes(u"select 1", true), QueryFileEncoding::Utf16BE, QueryFileLineEnd::LF,
                  "select 1"}),
    [](const testing::TestParamInfo<CodecCase>& info) { return std::string(info.param.name); });

TEST(QueryFileCodec, EveryByteSurvivesAWindows1252RoundTrip)
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    QueryFileText text = CQueryFileCodec::Decode(bytes);
    ASSERT_EQ(text.encoding, QueryFileEncoding::Windows1252);
    std::string back;
    ASSERT_TRUE(CQueryFileCodec::Encode(text.utf8, text.encoding, back));
    EXPECT_EQ(back, bytes);
}

TEST(QueryFileCodec, InvalidUtf8FallsBackToWindows1252)
{
    // Overlong slash, a lone surrogate, a truncated sequence, a stray continuation byte.
    for (std::string bad : {"\xC0\xAF", "\xED\xA0\x80", "abc\xE2\x82", "\xBF"})
        EXPECT_EQ(CQueryFileCodec::Decode(bad).encoding, QueryFileEncoding::Windows1252) << bad;
    EXPECT_EQ(CQueryFileCodec::Decode("\xF0\x9F\x98\x80").encoding, QueryFileEncoding::Utf8);
}

// What only looks like UTF-16 stays 8-bit, its zero bytes NUL characters for the callers to refuse.
TEST(QueryFileCodec, Utf16IsReadOnlyWhenTheBytesSaySo)
{
    const struct {
        const char* name;
        std::string bytes;
        QueryFileEncoding encoding;
    } cases[] = {
        {"a stray zero byte in 8-bit text", std::string("DELETE FROM t\0 WHERE id = 1", 27), QueryFileEncoding::Utf8},
        {"an odd number of bytes after a mark", "\xFF\xFE" + Utf16Bytes(u"select 1", false) + "x", QueryFileEncoding::Windows1252},
        {"an unpaired surrogate after a mark", "\xFE\xFF" + Utf16Bytes(u"select '\xD800'", true), QueryFileEncoding::Windows1252},
        {"a NUL character without a mark", Utf16Bytes(std::u16string(u"delete from t") + u'\0' + u" where id = 1", false),
         QueryFileEncoding::Utf8},
    };
    for (const auto& c : cases) {
        const QueryFileText text = CQueryFileCodec::Decode(c.bytes);
        EXPECT_EQ(text.encoding, c.encoding) << c.name;
        EXPECT_NE(text.utf8.find('\0'), std::string::npos) << c.name;
    }
    // With a mark, a NUL character is read as one, for the callers to refuse.
    const std::string nul = "\xFF\xFE" + Utf16Bytes(std::u16string(u"a") + u'\0', false);
    EXPECT_EQ(CQueryFileCodec::Decode(nul).utf8, std::string("a\0", 2));
}

TEST(QueryFileCodec, Windows1252RefusesWhatItCannotHold)
{
    std::string out = "untouched";
    EXPECT_FALSE(CQueryFileCodec::Encode("\xCE\xA9", QueryFileEncoding::Windows1252, out)); // Greek Omega
    EXPECT_FALSE(CQueryFileCodec::Encode("\xF0\x9F\x98\x80", QueryFileEncoding::Windows1252, out));
    EXPECT_EQ(out, "untouched");
    EXPECT_TRUE(CQueryFileCodec::Encode("\xC5\x93\xE2\x84\xA2", QueryFileEncoding::Windows1252, out));
    EXPECT_EQ(out, "\x9C\x99");
}

} // namespace
