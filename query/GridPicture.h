// A results grid as the picture that printing cuts into pages: the header row of field names,
// the column of row numbers and the cells, each row one grid row high, in the grid's fonts,
// colours and column widths, white where the grid shows its window colour.
//
// Everything but the cells is taken from the grid when the picture is made; the cells are read
// from the grid's store as each part is drawn, and only the rows the grid showed then. So a
// picture stays valid while the grid scrolls, takes another font or is closed.
#pragma once

#include "querycore/GridStore.h"
#include "querycore/PrintPageLayout.h"

#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/font.h>

#include <memory>
#include <vector>

class CMSHFlexGrid;

class CGridPicture {
public:
    explicit CGridPicture(const CMSHFlexGrid& grid);

    // The header row and the data rows (a result without rows keeps one row, numbered 0).
    int GetRows() const { return static_cast<int>(m_nDataRows) + 1; }
    int GetRowHeight() const { return m_nRowHeight; }
    // The widths of the row number column and of every field column, in pixels.
    const std::vector<int>& GetColumnWidths() const { return m_widths; }
    int GetWidth() const;
    // The average character width of the grid's font.
    int GetCharWidth() const { return m_nCharWidth; }

    // Draws the stripe's rows and its part of the picture's width with its top left corner at
    // origin, clipped to the stripe.
    void Draw(wxDC& dc, const CPrintPageLayout::Stripe& stripe, const wxPoint& origin) const;

private:
    // The text of a picture cell in the grid's coordinates (row 0: names, column 0: numbers).
    wxString CellText(int row, int col) const;

    std::shared_ptr<CGridStore> m_pStore;
    size_t m_nDataRows = 1;
    bool m_bHasRows = true;
    std::vector<int> m_widths;
    std::vector<wxString> m_names;
    int m_nRowHeight = 1;
    int m_nCharWidth = 1;
    wxFont m_cellFont;
    wxFont m_labelFont;
    wxColour m_lineColour;
    wxColour m_labelBack;
    wxColour m_labelText;
    wxColour m_cellText;
};
