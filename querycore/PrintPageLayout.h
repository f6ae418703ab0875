// The pages of a picture printed in stripes, the way a results grid or a tree is printed: rows
// of one height, three rows of room above the picture for the header and two below it for the
// footer, and a picture wider than a page cut into pages side by side. Pages run left to right
// through a band of rows, then down to the next band.
//
// Everything is in the picture's units (screen pixels); the printout maps them to the printer.
// No window is needed: the arithmetic is tested on its own.
#pragma once

#include <wx/gdicmn.h>

class CPrintPageLayout {
public:
    // The part of the picture that one page holds.
    struct Stripe {
        int firstRow = 0;
        int rowCount = 0;
        int x = 0;
        int width = 0;
    };

    // rows: rows of the picture (at least one is laid out); rowHeight: their height;
    // pictureWidth: its width; pageSize: the printable area of a page; charWidth: the average
    // character width, four of which are the margin on each side.
    CPrintPageLayout(int rows, int rowHeight, int pictureWidth, const wxSize& pageSize, int charWidth);

    int GetRows() const { return m_nRows; }
    const wxSize& GetPageSize() const { return m_pageSize; }
    int GetMargin() const { return m_nMargin; }
    int GetRowHeight() const { return m_nRowHeight; }
    int GetPictureWidth() const { return m_nPictureWidth; }
    // Width of the picture that one page holds: the printable width less the margins, or the
    // whole picture when it is narrower.
    int GetPageWidth() const { return m_nPageWidth; }
    int GetRowsPerPage() const { return m_nRowsPerPage; }
    int GetPagesAcross() const { return m_nPagesAcross; }
    int GetBands() const { return m_nBands; }
    int GetPageCount() const { return m_nBands * m_nPagesAcross; }

    // The stripe of page (counted from 1); an empty stripe for a page that does not exist.
    Stripe GetStripe(int page) const;

    // Where the parts of every page go, in the page's units from its printable top left corner.
    wxPoint GetPictureOrigin() const;
    wxRect GetHeaderRect() const;
    wxRect GetFooterRect() const;

private:
    int m_nRows;
    int m_nRowHeight;
    int m_nPictureWidth;
    wxSize m_pageSize;
    int m_nMargin;
    int m_nPageWidth;
    int m_nRowsPerPage;
    int m_nPagesAcross;
    int m_nBands;
};
