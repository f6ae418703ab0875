#include "query/GridContextMenu.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// A grid of 5 rows (header and 4 data rows) and 4 columns (row numbers and 3 fields).
CGridMenuInput Grid(int row, int col, int rowSel, int colSel, int mouseRow, int mouseCol)
{
    CGridMenuInput in;
    in.row = row;
    in.col = col;
    in.rowSel = rowSel;
    in.colSel = colSel;
    in.mouseRow = mouseRow;
    in.mouseCol = mouseCol;
    in.rows = 5;
    in.cols = 4;
    in.header = [](int col) {
        switch (col) {
        case 1: return wxString("id");
        case 2: return wxString("name >");
        case 3: return wxString("a name that is longer than thirty characters <");
        default: return wxString();
        }
    };
    return in;
}

using Selection = std::tuple<int, int, int, int>;

Selection Of(const CGridMenuModel& m)
{
    return {m.row, m.col, m.rowSel, m.colSel};
}

} // namespace

TEST(GridContextMenu, RightClickMovesTheSelection)
{
    struct Case {
        const char* name;
        CGridMenuInput in;
        Selection after;
    };
    const Case cases[] = {
        {"inside a selection of several cells: kept", Grid(1, 1, 3, 2, 2, 2), {1, 1, 3, 2}},
        {"dragged the other way, inside: kept", Grid(3, 2, 1, 1, 2, 1), {3, 2, 1, 1}},
        {"a data cell outside: that cell alone", Grid(1, 1, 2, 2, 4, 3), {4, 3, 4, 3}},
        {"a single selected cell: the clicked cell", Grid(2, 2, 2, 2, 2, 2), {2, 2, 2, 2}},
        {"a row header: the whole row", Grid(1, 1, 1, 1, 3, 0), {3, 1, 3, 3}},
        {"the corner: every data cell", Grid(2, 2, 2, 2, 0, 0), {1, 1, 4, 3}},
        {"a column header: the whole column", Grid(2, 2, 2, 2, 0, 3), {1, 3, 4, 3}},
        {"the header of column 1 with a selection in it: the whole column", Grid(2, 1, 4, 1, 0, 1), {1, 1, 4, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Of(BuildGridContextMenu(c.in)), c.after) << c.name;

    CGridMenuInput keyboard = Grid(1, 1, 1, 1, 3, 0);
    keyboard.byKeyboard = true;
    const CGridMenuModel byKey = BuildGridContextMenu(keyboard);
    EXPECT_FALSE(byKey.selectionMoved) << "the menu key leaves the selection";
}

TEST(GridContextMenu, SortItemsFollowTheHeaderAndTheSelection)
{
    // An unmarked header: both whole-column sorts, named after the column.
    CGridMenuModel m = BuildGridContextMenu(Grid(1, 1, 1, 1, 0, 1));
    EXPECT_EQ(m.sortAscending.label, "Sort 'id' &Ascending");
    EXPECT_EQ(m.sortDescending.label, "Sort 'id' &Descending");
    EXPECT_TRUE(m.sortAscending.enabled);
    EXPECT_TRUE(m.sortDescending.enabled);
    EXPECT_FALSE(m.viewContents) << "a whole column is selected";

    // Sorted ascending (" >"): only descending; " <": only ascending, a long name cut at 30.
    m = BuildGridContextMenu(Grid(1, 1, 1, 1, 0, 2));
    EXPECT_EQ(m.sortDescending.label, "Sort 'name' &Descending");
    EXPECT_FALSE(m.sortAscending.enabled);
    EXPECT_TRUE(m.sortDescending.enabled);
    m = BuildGridContextMenu(Grid(1, 1, 1, 1, 0, 3));
    EXPECT_EQ(m.sortAscending.label, "Sort 'a name that is longer than thi...' &Ascending");
    EXPECT_TRUE(m.sortAscending.enabled);
    EXPECT_FALSE(m.sortDescending.enabled);

    // One data row, or the grid being filled: no sorts at all.
    CGridMenuInput oneRow = Grid(1, 1, 1, 1, 0, 1);
    oneRow.rows = 2;
    m = BuildGridContextMenu(oneRow);
    EXPECT_FALSE(m.sortAscending.enabled || m.sortDescending.enabled);
    CGridMenuInput filling = Grid(1, 1, 3, 2, 2, 1);
    filling.filling = true;
    m = BuildGridContextMenu(filling);
    EXPECT_FALSE(m.sortSelectionAscending.enabled || m.sortAscending.enabled);

    // Inside a selection of several rows: the selection sorts, named after its left column.
    m = BuildGridContextMenu(Grid(1, 2, 3, 3, 2, 3));
    EXPECT_EQ(m.sortSelectionAscending.label, "Sort Se&lection by 'name' Ascending");
    EXPECT_EQ(m.sortSelectionDescending.label, "Sort Selec&tion by 'name' Descending");
    EXPECT_TRUE(m.sortSelectionAscending.enabled);
    EXPECT_FALSE(m.sortAscending.enabled);
    EXPECT_FALSE(m.viewContents);

    // A single data cell: no selection sorts; View Contents while the grid holds rows, also
    // while it is being filled.
    m = BuildGridContextMenu(Grid(1, 1, 1, 1, 2, 2));
    EXPECT_FALSE(m.sortSelectionAscending.enabled);
    EXPECT_TRUE(m.viewContents);
    CGridMenuInput cellWhileFilling = Grid(1, 1, 1, 1, 2, 2);
    cellWhileFilling.filling = true;
    EXPECT_TRUE(BuildGridContextMenu(cellWhileFilling).viewContents);
    CGridMenuInput noRows = Grid(1, 1, 1, 1, 1, 1);
    noRows.hasRows = false;
    EXPECT_FALSE(BuildGridContextMenu(noRows).viewContents);

    // The corner: every data cell, sorted as a selection named after column 1.
    m = BuildGridContextMenu(Grid(3, 3, 3, 3, 0, 0));
    EXPECT_EQ(m.sortSelectionAscending.label, "Sort Se&lection by 'id' Ascending");
    EXPECT_TRUE(m.sortSelectionDescending.enabled);
}

TEST(GridContextMenu, ColumnNames)
{
    EXPECT_EQ(GridMenuColumnName("amount >"), "amount");
    EXPECT_EQ(GridMenuColumnName("amount <"), "amount");
    EXPECT_EQ(GridMenuColumnName("a > b <"), "a");
    EXPECT_EQ(GridMenuColumnName(wxString('x', 30)), wxString('x', 30));
    EXPECT_EQ(GridMenuColumnName(wxString('x', 31)), wxString('x', 30) + "...");
}
