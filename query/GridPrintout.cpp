#include "GridPrintout.h"

CGridPrintout::CGridPrintout(const CMSHFlexGrid& grid, const wxString& header, const wxFont& titleFont,
                             const wxFont& footerFont)
    : CPicturePrintout(header, titleFont, footerFont), m_picture(grid)
{
}

wxString CGridPrintout::MakeHeader(const wxString& title, const wxString& sql)
{
    if (sql.empty())
        return title;
    const int cut = title.Find(" - (");
    return (cut == wxNOT_FOUND ? title : title.Left(static_cast<size_t>(cut))) + " - (" + sql + ")";
}

void CGridPrintout::DrawStripe(wxDC& dc, const CPrintPageLayout::Stripe& stripe, const wxPoint& origin)
{
    m_picture.Draw(dc, stripe, origin);
}
