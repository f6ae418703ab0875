// The clipboard text of grid cells, without a window: names, tabs, CR LF between rows and none
// after the last, quoting where a cell would break the rows apart, a single cell as it stands.
#include "querycore/GridCopyText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Cells of a 3 x 3 grid (rows and columns from 1): "r<row>c<col>", with two awkward ones.
std::string_view Cell(int row, int col)
{
    static const std::vector<std::vector<std::string>> cells = {
        {"r1c1", "r1c2", "r1c3"},
        {"r2c1", "tab\there", "say \"hi\""},
        {"", "two\r\nlines", "r3c3"},
    };
    return cells[row - 1][col - 1];
}

} // namespace

TEST(GridCopyText, RowsColumnsNamesAndQuoting)
{
    const struct {
        const char* name;
        int top, left, bottom, right;
        std::vector<std::string> names;
        std::string text;
    } cases[] = {
        {"one row with names", 1, 1, 1, 3, {"a", "b", "c"}, "a\tb\tc\r\nr1c1\tr1c2\tr1c3"},
        {"a block without names", 1, 1, 2, 1, {}, "r1c1\r\nr2c1"},
        {"awkward cells quoted", 2, 2, 3, 3, {"b", "c"},
         "b\tc\r\n\"tab\there\"\t\"say \"\"hi\"\"\"\r\n\"two\r\nlines\"\tr3c3"},
        {"an empty cell stays empty", 3, 1, 3, 3, {}, "\t\"two\r\nlines\"\tr3c3"},
        {"a single cell as it stands", 2, 3, 2, 3, {"c"}, "c\r\nsay \"hi\""},
        {"names of a result without rows", 1, 1, 0, 2, {"a", "b"}, "a\tb\r\n"},
        {"a name holding a tab", 1, 1, 1, 2, {"x\ty", "b"}, "\"x\ty\"\tb\r\nr1c1\tr1c2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CGridCopyText copy(c.top, c.left, c.bottom, c.right, c.names, Cell);
        EXPECT_EQ(copy.Size(), c.text.size());
        EXPECT_EQ(copy.Text(), c.text);
    }
}
