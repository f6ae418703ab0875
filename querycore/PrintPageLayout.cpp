#include "PrintPageLayout.h"

#include <algorithm>

namespace {

// Rows of room above the picture (a blank row, the header, a blank row) and in all kept free of
// it on a page: the footer takes the second-last row and one row stays blank as a guard.
constexpr int kRowsAbove = 3;
constexpr int kRowsReserved = 6;

} // namespace

CPrintPageLayout::CPrintPageLayout(int rows, int rowHeight, int pictureWidth, const wxSize& pageSize, int charWidth)
    : m_nRows(std::max(rows, 1)), m_nRowHeight(std::max(rowHeight, 1)), m_nPictureWidth(std::max(pictureWidth, 1)),
      m_pageSize(pageSize), m_nMargin(4 * std::max(charWidth, 0))
{
    // The page's height is taken in the picture's own units, so no rounding of a printer to
    // screen ratio lets the picture run into the footer.
    m_nRowsPerPage = std::max(pageSize.y / m_nRowHeight - kRowsReserved, 1);
    m_nPageWidth = std::max(pageSize.x - 2 * m_nMargin, 1);
    if (m_nPictureWidth > m_nPageWidth) {
        // Rounded up: a picture exactly as wide as two pages takes two, not three.
        m_nPagesAcross = (m_nPictureWidth + m_nPageWidth - 1) / m_nPageWidth;
    } else {
        m_nPagesAcross = 1;
        m_nPageWidth = m_nPictureWidth;
    }
    m_nBands = (m_nRows - 1) / m_nRowsPerPage + 1;
}

CPrintPageLayout::Stripe CPrintPageLayout::GetStripe(int page) const
{
    Stripe stripe;
    if (page < 1 || page > GetPageCount())
        return stripe;
    const int band = (page - 1) / m_nPagesAcross;
    const int across = (page - 1) % m_nPagesAcross;
    stripe.firstRow = band * m_nRowsPerPage;
    stripe.rowCount = std::min(m_nRowsPerPage, m_nRows - stripe.firstRow);
    stripe.x = across * m_nPageWidth;
    stripe.width = std::min(m_nPageWidth, m_nPictureWidth - stripe.x);
    return stripe;
}

wxPoint CPrintPageLayout::GetPictureOrigin() const
{
    return wxPoint(m_nMargin, kRowsAbove * m_nRowHeight);
}

wxRect CPrintPageLayout::GetHeaderRect() const
{
    return wxRect(m_nMargin, m_nRowHeight, std::max(m_pageSize.x - 2 * m_nMargin, 0), m_nRowHeight);
}

wxRect CPrintPageLayout::GetFooterRect() const
{
    return wxRect(m_nMargin, m_pageSize.y - 2 * m_nRowHeight, std::max(m_pageSize.x - 2 * m_nMargin, 0),
                  m_nRowHeight);
}
