#include "GridContextMenu.h"

#include <algorithm>

wxString GridMenuColumnName(const wxString& header)
{
    wxString name = header;
    for (const char* mark : {" >", " <"}) {
        const int at = name.Find(mark);
        if (at != wxNOT_FOUND) {
            name.Truncate(static_cast<size_t>(at));
            break;
        }
    }
    if (name.length() > 30)
        name = name.Left(30) + "...";
    return name;
}

CGridMenuModel BuildGridContextMenu(const CGridMenuInput& in)
{
    CGridMenuModel menu;
    menu.row = in.row;
    menu.col = in.col;
    menu.rowSel = in.rowSel;
    menu.colSel = in.colSel;
    const auto header = [&in](int col) { return in.header ? in.header(col) : wxString(); };
    const auto select = [&menu](int row, int col, int rowSel, int colSel) {
        menu.row = row;
        menu.col = col;
        menu.rowSel = rowSel;
        menu.colSel = colSel;
        menu.selectionMoved = true;
    };

    int top = std::min(in.row, in.rowSel), bottom = std::max(in.row, in.rowSel);
    int left = std::min(in.col, in.colSel), right = std::max(in.col, in.colSel);
    const int lastRow = in.rows - 1, lastCol = in.cols - 1;

    // A right click moves the selection, unless it falls inside a selection of several cells;
    // the menu key leaves it.
    const bool severalCells = top != bottom || left != right;
    const bool insideSelection =
        left <= in.mouseCol && in.mouseCol <= right && top <= in.mouseRow && in.mouseRow <= bottom;
    if (!in.byKeyboard && !(severalCells && insideSelection)) {
        if (in.mouseRow == 0 && in.mouseCol == 0) {
            if (!(top == 1 && left == 1 && bottom == lastRow && right == lastCol))
                select(1, 1, lastRow, lastCol);
            left = 1;
        } else if (in.mouseCol == 0 && in.mouseRow > 0) {
            select(in.mouseRow, 1, in.mouseRow, lastCol);
        } else if (in.mouseCol > 0) {
            // The whole column, also for the header of column 1 while the selection lies in it.
            select(1, in.mouseCol, lastRow, in.mouseCol);
            if (in.mouseRow > 0)
                select(in.mouseRow, in.mouseCol, in.mouseRow, in.mouseCol);
        }
    }

    // Whole-column sorts, from a column header of a grid with at least two data rows.
    if (!in.byKeyboard && !in.filling && in.mouseRow == 0 && in.mouseCol >= 1 && in.rows >= 3) {
        const wxString text = header(in.mouseCol);
        const wxString name = GridMenuColumnName(text);
        const wxString prefix = name.empty() ? wxString("Sort") : "Sort '" + name + "'";
        menu.sortAscending.label = prefix + " &Ascending";
        menu.sortDescending.label = prefix + " &Descending";
        if (text.Contains(" >")) {
            menu.sortDescending.enabled = true;
        } else if (text.Contains(" <")) {
            menu.sortAscending.enabled = true;
        } else {
            menu.sortAscending.enabled = true;
            menu.sortDescending.enabled = true;
        }
    }

    top = std::min(menu.row, menu.rowSel);
    bottom = std::max(menu.row, menu.rowSel);

    // Sorts of the selected rows.
    const bool rowsSelected = top != bottom && (in.byKeyboard || in.mouseRow != 0);
    const bool corner = in.mouseRow == 0 && in.mouseCol == 0 && in.rows >= 3;
    if (!in.filling && (rowsSelected || corner)) {
        const wxString name = GridMenuColumnName(header(left));
        menu.sortSelectionAscending.label =
            (name.empty() ? wxString("Sort Se&lection") : "Sort Se&lection by '" + name + "'") + " Ascending";
        menu.sortSelectionDescending.label =
            (name.empty() ? wxString("Sort Selec&tion") : "Sort Selec&tion by '" + name + "'") + " Descending";
        menu.sortSelectionAscending.enabled = true;
        menu.sortSelectionDescending.enabled = true;
    }

    left = std::min(menu.col, menu.colSel);
    right = std::max(menu.col, menu.colSel);
    menu.viewContents = top == bottom && left == right && in.hasRows;
    return menu;
}
