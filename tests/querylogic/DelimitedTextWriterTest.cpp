#include "querycore/DelimitedTextWriter.h"

#include <gtest/gtest.h>

namespace {

// One line of fields as the writer joins them.
std::string Line(const DelimitedTextWriter& writer, const std::vector<std::string>& values)
{
    std::string line;
    for (size_t i = 0; i < values.size(); ++i)
        writer.AppendValue(line, values[i], i == 0);
    DelimitedTextWriter::EndLine(line);
    return line;
}

TEST(DelimitedTextWriter, QuotingTable)
{
    struct Case {
        const char* name;
        const char* delimiter;
        std::vector<std::string> values;
        const char* line;
    } cases[] = {
        {"plain values stand as they are", ",", {"1", "abc", "2.5"}, "1,abc,2.5\r\n"},
        {"an empty value", ",", {"1", ""}, "1,\r\n"},
        {"the delimiter inside a value", ",", {"2", "x,y"}, "2,\"x,y\"\r\n"},
        {"a double quote is doubled", ",", {"say \"hi\""}, "\"say \"\"hi\"\"\"\r\n"},
        {"a lone double quote", ",", {"\""}, "\"\"\"\"\r\n"},
        {"a line feed", ",", {"a\nb", "c"}, "\"a\nb\",c\r\n"},
        {"a carriage return", ",", {"a\rb"}, "\"a\rb\"\r\n"},
        {"CR LF", "|", {"a\r\nb", "c"}, "\"a\r\nb\"|c\r\n"},
        {"another delimiter does not quote", "|", {"x,y", "z"}, "x,y|z\r\n"},
        {"a TAB delimiter", "\t", {"a\tb", "c d"}, "\"a\tb\"\tc d\r\n"},
        {"a repeated delimiter", "||", {"a|b", "c||d", "e"}, "\"a|b\"||\"c||d\"||e\r\n"},
        {"an empty delimiter quotes nothing", "", {"x,\"y\"", "a\nb"}, "x,\"y\"a\nb\r\n"},
        {"blanks and non-ASCII stand as they are", ";", {" a ", "äöü", "日本"}, " a ;äöü;日本\r\n"},
        {"a multibyte delimiter", "§", {"a§b", "c"}, "\"a§b\"§c\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Line(DelimitedTextWriter(c.delimiter, false), c.values), c.line) << c.name;
}

TEST(DelimitedTextWriter, Placeholders)
{
    EXPECT_TRUE(DelimitedTextWriter::UsesPlaceholders("||", true));
    EXPECT_FALSE(DelimitedTextWriter::UsesPlaceholders("||", false));
    EXPECT_FALSE(DelimitedTextWriter::UsesPlaceholders("|", true));
    EXPECT_FALSE(DelimitedTextWriter::UsesPlaceholders("§", true));
    EXPECT_FALSE(DelimitedTextWriter::UsesPlaceholders("", true));

    DelimitedTextWriter writer("||", true);
    EXPECT_EQ(Line(writer, {"1", ""}), "1||<NULL>\r\n");
    std::string header;
    writer.AppendName(header, "a", true);
    writer.AppendName(header, "", false);
    writer.AppendName(header, "b|c", false);
    EXPECT_EQ(header, "a||<No coumn name>||\"b|c\"");
}

} // namespace
