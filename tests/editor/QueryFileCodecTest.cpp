#include "editor/QueryFileCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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
        CodecCase{"cr_only", "a\rb\r", QueryFileEncoding::Utf8, QueryFileLineEnd::CR, "a\rb\r"}),
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
