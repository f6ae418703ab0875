// One results grid: a wxGrid over the virtual table of its store, with the operations of the
// grid control that the results pane relies on, in the control's coordinates: row 0 is the
// fixed header row (the field names), column 0 the fixed column of row numbers, data start at
// (1, 1). Widths are in twips where the control's were.
//
// Rows: the worker writes into the store; the grid learns how many rows there are at most every
// 100 ms from its own timer, and draws only the cells in view. Once the window sets the row
// count (at the end of a result's rows, or when a stopped grid is cut back) the grid shows that
// many rows at once and no more.
#pragma once

#include "querycore/GridStore.h"

#include <wx/grid.h>
#include <wx/timer.h>

#include <memory>

class CResultTable;

class CMSHFlexGrid : public wxGrid {
public:
    static constexpr int kControlId = 1099;
    static constexpr int kSyncMilliseconds = 100;

    CMSHFlexGrid(wxWindow* parent, std::shared_ptr<CGridStore> store);
    ~CMSHFlexGrid() override;

    const std::shared_ptr<CGridStore>& GetStore() const { return m_pStore; }
    CResultTable* GetResultTable() const { return m_pTable; }

    // ---- Rows and columns ----

    // Rows as the control counts them: the header row plus the data rows shown, at least 2.
    int GetRows() const;
    // Sets the row count to n (at least 2): at most n - 1 data rows are shown from now on, the
    // rows written up to there at once.
    void SetRows(int n);
    int GetCols() const;

    // Learns the rows written so far (within the room) and the column widths the worker asked
    // for. Called by the grid's timer; callers that need the latest state call it themselves.
    void SyncWithStore();

    // The text of a cell: field names in row 0 (with the sort mark of the column sorted last),
    // row numbers in column 0.
    wxString GetTextMatrix(int row, int col) const;
    // A data cell (row, col >= 1) as the store keeps it, in the grid's order; empty outside.
    std::string_view GetCellText(int row, int col) const;
    // The field name of a column (col >= 1), without a sort mark.
    std::string GetColumnName(int col) const;

    // ---- Current cell and selection (control coordinates) ----

    int GetRow() const;
    int GetCol() const;
    int GetRowSel() const;
    int GetColSel() const;
    // Current cell (row, col) and the selection from it to (rowSel, colSel).
    void SetSelection(int row, int col, int rowSel, int colSel);
    void SetCurrentCell(int row, int col);

    int GetTopRow() const;
    void SetTopRow(int row);
    int GetLeftCol() const;
    void SetLeftCol(int col);
    bool RowIsVisible(int row) const;
    bool ColIsVisible(int col) const;

    // The cell under the mouse pointer when it last moved over the grid, headers included.
    int GetMouseRow() const { return m_nMouseRow; }
    int GetMouseCol() const { return m_nMouseCol; }

    // ---- Appearance ----

    // Twips per pixel of this window's screen (1440 / its horizontal resolution).
    int GetTwipsPerPixel() const;
    int GetColWidthTwips(int col) const;
    void SetColWidthTwips(int col, int twips);

    // Redraw as the control's property: off holds every repaint back until it is on again.
    bool GetRedraw() const { return m_bRedraw; }
    void SetRedraw(bool on);
    // Repaints the whole grid now.
    void RefreshGrid();

    // Cell and header font together.
    void SetGridFont(const wxFont& font);
    wxFont GetGridFont() const;
    void SetBackColor(const wxColour& colour);

private:
    void OnTimer(wxTimerEvent& event);
    // Enter and Tab move as in the results pane; Ctrl+C and Ctrl+A go to the pane.
    void OnKeyDown(wxKeyEvent& event);
    // Arrows (Ctrl: to the edge of the data, Shift: selecting), Page Up/Down, Home/End (Ctrl:
    // first/last cell). The grid moves itself: the base class would first offer these keys to
    // the results pane, whose text takes them. False for any other key.
    bool MoveByKey(int code, bool ctrl, bool shift);
    void OnMouseMotion(wxMouseEvent& event);
    void TrackMouse(wxWindow* window, const wxPoint& position);
    // Keeps the row-number column wide enough for the largest number shown.
    void FitRowLabels();

    std::shared_ptr<CGridStore> m_pStore;
    CResultTable* m_pTable = nullptr;
    wxTimer m_timer;
    size_t m_nRowLimit = SIZE_MAX;
    bool m_bRedraw = true;
    unsigned m_nWidthGeneration = 0;
    size_t m_nLabelDigits = 0;
    int m_nMouseRow = 0;
    int m_nMouseCol = 0;
};
