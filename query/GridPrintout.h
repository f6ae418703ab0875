// Printing of a results grid: the grid as a picture in pages across and down, under a header
// with the query's name and SQL and above a footer with the date and "Page %d of %d".
#pragma once

#include "GridPicture.h"
#include "PicturePrintout.h"

class CGridPrintout : public CPicturePrintout {
public:
    CGridPrintout(const CMSHFlexGrid& grid, const wxString& header, const wxFont& titleFont, const wxFont& footerFont);

    // The header: the document's title cut before its first " - (", then, when the window has
    // run SQL, " - (" + that SQL + ")".
    static wxString MakeHeader(const wxString& title, const wxString& sql);

    const CGridPicture& GetPicture() const { return m_picture; }

protected:
    int GetPictureRows() const override { return m_picture.GetRows(); }
    int GetRowHeight() const override { return m_picture.GetRowHeight(); }
    int GetPictureWidth() const override { return m_picture.GetWidth(); }
    int GetCharWidth() const override { return m_picture.GetCharWidth(); }
    void DrawStripe(wxDC& dc, const CPrintPageLayout::Stripe& stripe, const wxPoint& origin) override;

private:
    CGridPicture m_picture;
};
