// The context menu of a results grid, decided without a window: how a right click moves the
// selection, and which sort items, with which names, and View Contents the menu offers.
// Coordinates are the grid's own: row 0 the field names, column 0 the row numbers.
#pragma once

#include <wx/string.h>

#include <functional>

struct CGridMenuInput {
    // The current cell and the far corner of the selection.
    int row = 1, col = 1, rowSel = 1, colSel = 1;
    // The cell under the mouse (headers included), the grid's rows and columns.
    int mouseRow = 0, mouseCol = 0, rows = 2, cols = 2;
    bool byKeyboard = false;
    // The worker is still filling this grid.
    bool filling = false;
    // The grid's result set had rows (the results view's row marker is not 0).
    bool hasRows = true;
    // The header text of a column.
    std::function<wxString(int col)> header;
};

struct CGridMenuItem {
    wxString label;
    bool enabled = false;
};

struct CGridMenuModel {
    // The selection after the click (current cell, far corner).
    int row = 1, col = 1, rowSel = 1, colSel = 1;
    bool selectionMoved = false;
    CGridMenuItem sortAscending{"Sort &Ascending"}, sortDescending{"Sort &Descending"};
    CGridMenuItem sortSelectionAscending{"Sort Se&lection Ascending"};
    CGridMenuItem sortSelectionDescending{"Sort Selec&tion Descending"};
    bool viewContents = false;
};

CGridMenuModel BuildGridContextMenu(const CGridMenuInput& input);

// A header without its sort mark (cut before " >", else before " <"), at most 30 characters
// followed by "..." when longer.
wxString GridMenuColumnName(const wxString& header);
