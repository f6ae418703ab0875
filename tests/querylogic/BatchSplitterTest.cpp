#include "querycore/BatchSplitter.h"
#include "common/TextPositions.h"
#include "querycore/FindNoCase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace {

std::vector<std::string> Texts(const std::vector<Batch>& batches)
{
    std::vector<std::string> out;
    for (const Batch& b : batches)
        out.push_back(b.text);
    return out;
}

std::vector<std::string> Prepared(const std::vector<Batch>& batches)
{
    std::vector<std::string> out;
    for (const Batch& b : batches)
        out.push_back(BatchSplitter::PrepareBatchText(b.text));
    return out;
}

struct SplitCase {
    const char* name;
    const char* text;
    std::vector<std::string> batches; // as prepared for running
};

class SplitTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTable, PreparedBatches)
{
    const SplitCase& c = GetParam();
    EXPECT_EQ(Prepared(BatchSplitter("GO").Split(c.text)), c.batches) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTable,
    ::testing::Values(
        SplitCase{"two batches", "select 1\nGO\nselect 2", {"select 1", "select 2"}},
        SplitCase{"lower case", "select 1\ngo\nselect 2", {"select 1", "select 2"}},
        SplitCase{"mixed case", "select 1\ngO\nselect 2", {"select 1", "select 2"}},
        SplitCase{"blanks and tabs around", "select 1\n \t GO\t  \nselect 2", {"select 1", "select 2"}},
        SplitCase{"GO; is not a separator", "select 1\nGO;\nselect 2", {"select 1\nGO;\nselect 2"}},
        SplitCase{"GO 5 is not a separator", "select 1\nGO 5\nselect 2", {"select 1\nGO 5\nselect 2"}},
        SplitCase{"GOTO is not a separator", "select 1\nGOTO x\nselect 2", {"select 1\nGOTO x\nselect 2"}},
        SplitCase{"separator inside a word", "select 'ago' as going", {"select 'ago' as going"}},
        SplitCase{"separator on the first line", "GO\nselect 1", {"", "select 1"}},
        SplitCase{"separator on the last line", "select 1\nGO", {"select 1", ""}},
        SplitCase{"separator on the last line with a line end", "select 1\nGO\n", {"select 1", ""}},
        SplitCase{"no separator", "select 1\nselect 2", {"select 1\nselect 2"}},
        SplitCase{"empty text", "", {""}},
        SplitCase{"CR LF line ends", "select 1\r\nGO\r\nselect 2\r\n", {"select 1", "select 2"}},
        SplitCase{"CR line ends", "select 1\rGO\rselect 2", {"select 1", "select 2"}},
        SplitCase{"CR LF kept inside a batch becomes LF", "select 1,\r\n 2\r\nGO\r\nselect 3",
                  {"select 1,\n 2", "select 3"}},
        SplitCase{"three batches and blank lines", "a\n\nGO\n\nb\nGO\nc\n", {"a", "b", "c"}},
        SplitCase{"two separators in a row", "a\nGO\nGO\nb", {"a", "", "b"}},
        SplitCase{"separator inside a comment line is text", "a\n-- GO\nb", {"a\n-- GO\nb"}},
        SplitCase{"multibyte text", "select 'äöü'\ngo\nselect 'ß'", {"select 'äöü'", "select 'ß'"}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

TEST(BatchSplitter, KeepsTheTextAroundTheSeparatorLine)
{
    // The first batch keeps its line end, the second starts with the separator line's own end.
    auto batches = BatchSplitter("GO").Split("select 1\rGO\rselect 2\r");
    EXPECT_EQ(Texts(batches), (std::vector<std::string>{"select 1\r", "\rselect 2\r"}));

    // Blanks in front of the separator belong to the batch before, those after it to the next.
    batches = BatchSplitter("GO").Split("a\n  GO  \nb");
    EXPECT_EQ(Texts(batches), (std::vector<std::string>{"a\n  ", "  \nb"}));
}

TEST(BatchSplitter, OtherSeparatorsAndNone)
{
    EXPECT_EQ(Prepared(BatchSplitter("Run").Split("a\nRUN\nb\nGO\nc")),
              (std::vector<std::string>{"a", "b\nGO\nc"}));
    EXPECT_EQ(Prepared(BatchSplitter("").Split("a\nGO\nb")), (std::vector<std::string>{"a\nGO\nb"}));
    EXPECT_EQ(Prepared(BatchSplitter("ÉND").Split("a\nénd\nb")), (std::vector<std::string>{"a", "b"}));
}

TEST(BatchSplitter, PositionsPointAtTheFirstCharacterOfEachBatch)
{
    // Character positions count a CR LF pair once and a multibyte character once.
    const std::string text = "select 'ä'\r\nGO\r\n\r\n  select 2\r\ngo\r\n";
    auto batches = BatchSplitter("GO").Split(text);
    ASSERT_EQ(batches.size(), 3u);
    EXPECT_EQ(batches[0].offset, 0u);
    EXPECT_EQ(batches[0].position, 0);
    EXPECT_EQ(text.substr(batches[1].offset, 8), "select 2");
    // "select 'ä'" is 10 characters, then CR LF, "GO", CR LF, CR LF and two blanks.
    EXPECT_EQ(batches[1].position, 10 + 1 + 2 + 1 + 1 + 2);
    EXPECT_EQ(batches[1].position, CTextPositions::ByteToChar(text, static_cast<long>(batches[1].offset)));
    // A blank batch points at its own start: right after the last separator.
    EXPECT_EQ(batches[2].offset, text.size() - 2);
    EXPECT_EQ(batches[2].position, CTextPositions::ByteToChar(text, static_cast<long>(text.size() - 2)));
}

TEST(BatchSplitter, StopEndsTheSplitEarly)
{
    std::atomic<int> stop{1};
    EXPECT_TRUE(BatchSplitter("GO").Split("a\nGO\nb\nGO\nc", &stop).empty());
    stop = 0;
    EXPECT_EQ(BatchSplitter("GO").Split("a\nGO\nb\nGO\nc", &stop).size(), 3u);
}

TEST(BatchSplitter, FindsTheLineOfANulCharacter)
{
    using namespace std::string_literals;
    struct Case {
        std::string text;
        size_t line;
    } cases[] = {
        {"", 0},
        {"select 1\nGO\nselect 2", 0},
        {"\0"s, 1},
        {"select 1\0"s, 1},
        {"a\nb\0"s, 2},
        {"a\r\nb\r\n\0"s, 3},
        {"a\rb\r\rc\0"s, 4},
        {"a\n\r\nb\0\n\0"s, 3},
        {"DELETE FROM t\0 WHERE id = 1"s, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BatchSplitter::LineOfNulCharacter(c.text), c.line) << c.text;
    EXPECT_EQ(BatchSplitter::NulCharacterRefusal("/tmp/in.sql", 7),
              "'/tmp/in.sql'.\nLine 7 holds a NUL character (byte 0), which SQL text cannot contain.");
}

TEST(BatchSplitter, SeparatorFromSetting)
{
    struct Case {
        const char* setting;
        const char* separator;
    } cases[] = {
        {"", "GO"},          {"GO", "GO"},      {"go", "go"},         {"G O", "GO"},
        {"GO\t", "GO"},      {"\nGO", "GO"},    {"GO\r", "GO"},       {"<NULL>", ""},
        {"<null>", ""},      {"<NuLl>", ""},    {"END", "END"},       {"<NULL>x", "<NULL>x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BatchSplitter::SeparatorFromSetting(c.setting), c.separator) << "[" << c.setting << "]";
}

TEST(FindNoCase, Table)
{
    struct Case {
        const char* text;
        const char* pattern;
        long start;
        long expected;
    } cases[] = {
        {"select go", "GO", 0, 7},  {"select go", "GO", 8, -1}, {"select go", "GO", 10, -1},
        {"select go", "GO", -1, -1}, {"select go", "GO", 7, 7}, {"GOgo", "go", 1, 2},
        {"abc", "", 3, 3},           {"", "x", 0, -1},          {"xÄy", "äY", 0, 1},
        {"straße ende", "ENDE", 0, 8}, {"ÄÄ", "Ä", 1, -1},       {"no", "none", 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindNoCase(c.text, c.pattern, c.start), c.expected)
            << c.text << " / " << c.pattern << " from " << c.start;
}

TEST(FindNoCase, EqualsNoCase)
{
    EXPECT_TRUE(EqualsNoCase("go", "GO"));
    EXPECT_TRUE(EqualsNoCase("ÉND", "énd"));
    EXPECT_FALSE(EqualsNoCase("GOTO", "GO"));
    EXPECT_FALSE(EqualsNoCase("G", "GO"));
    EXPECT_TRUE(EqualsNoCase("", ""));
}

} // namespace
