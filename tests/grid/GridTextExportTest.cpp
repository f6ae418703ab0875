#include "query/GridTextExport.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

// A grid of three data rows and two columns, its first column sorted (" >" after its name).
std::string_view Cell(int row, int col)
{
    static const std::map<std::pair<int, int>, std::string> cells = {
        {{1, 1}, "1"}, {{1, 2}, "one"},     {{2, 1}, "2"}, {{2, 2}, ""},
        {{3, 1}, "3"}, {{3, 2}, "a,b \"c\""},
    };
    auto it = cells.find({row, col});
    return it == cells.end() ? std::string_view() : std::string_view(it->second);
}

TEST(GridTextExport, CellsNamesAndPlaceholders)
{
    const struct {
        const char* name;
        CGridRange range;
        std::vector<std::string> names;
        std::string delimiter;
        bool excel;
        std::string text;
    } cases[] = {
        {"the whole grid, no line end after the last row", {1, 1, 3, 2}, {"n", "word"}, "|", false,
         "n|word\r\n1|one\r\n2|\r\n3|\"a,b \"\"c\"\"\""},
        {"without names", {1, 1, 3, 2}, {}, "|", false, "1|one\r\n2|\r\n3|\"a,b \"\"c\"\"\""},
        {"a cell holding the delimiter or quotes is quoted", {3, 2, 3, 2}, {}, ",", false, "\"a,b \"\"c\"\"\""},
        {"a cell of neither is not", {1, 2, 1, 2}, {}, ",", false, "one"},
        {"a selection of one column", {2, 1, 3, 1}, {"n"}, ";", false, "n\r\n2\r\n3"},
        {"placeholders for a spreadsheet and a long delimiter", {1, 1, 2, 2}, {"", "word"}, "||", true,
         "<No coumn name>||word\r\n1||one\r\n2||<NULL>"},
        {"no placeholders with a one-character delimiter", {2, 1, 2, 2}, {"n", ""}, ",", true, "n,\r\n2,"},
        {"names only for a result without rows", {1, 1, 0, 2}, {"n", "word"}, ",", false, "n,word\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GridExportText(c.range, c.names, Cell, c.delimiter, c.excel), c.text) << c.name;
}

TEST(GridTextExport, ColumnNamesLoseTheirSortMark)
{
    EXPECT_EQ(GridColumnName("name >"), "name");
    EXPECT_EQ(GridColumnName("name <"), "name");
    EXPECT_EQ(GridColumnName("a > b >"), "a");
    EXPECT_EQ(GridColumnName("plain"), "plain");
    EXPECT_EQ(GridColumnName(""), "");
}

} // namespace
