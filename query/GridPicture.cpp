#include "GridPicture.h"

#include "MSHFlexGrid.h"
#include "ResultTable.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

#include <algorithm>
#include <numeric>

namespace {

// Room between a cell's edge and its text, as the grid leaves it.
constexpr int kTextInset = 2;

// A colour as printed: the window's own background colour becomes white, so that the paper
// shows through as it does around the picture.
wxColour OnPaper(const wxColour& colour)
{
    return colour == wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW) ? *wxWHITE : colour;
}

} // namespace

CGridPicture::CGridPicture(const CMSHFlexGrid& grid) : m_pStore(grid.GetStore())
{
    const CResultTable* table = grid.GetResultTable();
    m_bHasRows = m_pStore->m_nHasRows.load() != 0;
    m_nDataRows = std::max<size_t>(table ? table->GetShownRows() : 0, 1);
    const int cols = grid.GetNumberCols();
    m_widths.push_back(grid.GetRowLabelSize());
    m_names.emplace_back();
    for (int c = 0; c < cols; ++c) {
        m_widths.push_back(grid.GetColSize(c));
        m_names.push_back(grid.GetColLabelValue(c));
    }
    m_nRowHeight = std::max(grid.GetDefaultRowSize(), 1);
    m_cellFont = grid.GetDefaultCellFont();
    m_labelFont = grid.GetLabelFont();
    m_lineColour = grid.GetGridLineColour();
    m_labelBack = OnPaper(grid.GetLabelBackgroundColour());
    m_labelText = grid.GetLabelTextColour();
    m_cellText = grid.GetDefaultCellTextColour();
    wxClientDC dc(const_cast<CMSHFlexGrid&>(grid).GetGridWindow());
    dc.SetFont(m_cellFont);
    m_nCharWidth = std::max(dc.GetCharWidth(), 1);
}

int CGridPicture::GetWidth() const
{
    return std::accumulate(m_widths.begin(), m_widths.end(), 0);
}

wxString CGridPicture::CellText(int row, int col) const
{
    if (row == 0)
        return m_names[static_cast<size_t>(col)];
    if (col == 0) {
        if (!m_bHasRows)
            return row == 1 ? wxString("0") : wxString();
        return wxString::Format("%d", row);
    }
    if (!m_bHasRows)
        return wxString();
    return CResultTable::DisplayText(m_pStore->GetCell(static_cast<size_t>(row - 1), static_cast<size_t>(col - 1)));
}

void CGridPicture::Draw(wxDC& dc, const CPrintPageLayout::Stripe& stripe, const wxPoint& origin) const
{
    if (stripe.rowCount <= 0 || stripe.width <= 0)
        return;
    const wxRect area(origin, wxSize(stripe.width, stripe.rowCount * m_nRowHeight));
    wxDCClipper clip(dc, area);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(area);

    // The columns that reach into the stripe, with their left edges on the page.
    std::vector<std::pair<int, int>> columns; // column, left
    for (int c = 0, left = 0; c < static_cast<int>(m_widths.size()); left += m_widths[static_cast<size_t>(c)], ++c) {
        const int right = left + m_widths[static_cast<size_t>(c)];
        if (right > stripe.x && left < stripe.x + stripe.width)
            columns.emplace_back(c, origin.x + left - stripe.x);
    }

    for (int i = 0; i < stripe.rowCount; ++i) {
        const int row = stripe.firstRow + i;
        const int top = origin.y + i * m_nRowHeight;
        for (const auto& [col, left] : columns) {
            const wxRect cell(left, top, m_widths[static_cast<size_t>(col)], m_nRowHeight);
            const bool label = row == 0 || col == 0;
            if (label) {
                dc.SetPen(*wxTRANSPARENT_PEN);
                dc.SetBrush(wxBrush(m_labelBack));
                dc.DrawRectangle(cell);
            }
            const wxString text = CellText(row, col);
            if (!text.empty()) {
                dc.SetFont(label ? m_labelFont : m_cellFont);
                dc.SetTextForeground(label ? m_labelText : m_cellText);
                const wxRect inner = cell.Deflate(kTextInset, 0);
                wxDCClipper cellClip(dc, inner);
                dc.DrawLabel(text, inner, (col == 0 && row > 0 ? wxALIGN_RIGHT : wxALIGN_LEFT) | wxALIGN_CENTER_VERTICAL);
            }
            // The grid's lines close each cell on its right and at its bottom; the picture's
            // outer edges close the table on its left and at its top.
            dc.SetPen(wxPen(m_lineColour));
            dc.DrawLine(cell.GetRight(), cell.GetTop(), cell.GetRight(), cell.GetBottom() + 1);
            dc.DrawLine(cell.GetLeft(), cell.GetBottom(), cell.GetRight() + 1, cell.GetBottom());
            if (col == 0)
                dc.DrawLine(cell.GetLeft(), cell.GetTop(), cell.GetLeft(), cell.GetBottom() + 1);
            if (row == 0)
                dc.DrawLine(cell.GetLeft(), cell.GetTop(), cell.GetRight() + 1, cell.GetTop());
        }
    }
}
