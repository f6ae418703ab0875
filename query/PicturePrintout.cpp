#include "PicturePrintout.h"

#include "common/ProfileFont.h"

#include <wx/datetime.h>
#include <wx/dc.h>

namespace {

// The text, or as much of it as fits the width followed by "...". Measured with the text's
// extent alone, which every printer's device context gives.
wxString FitToWidth(wxDC& dc, const wxString& text, int width)
{
    if (dc.GetTextExtent(text).x <= width)
        return text;
    size_t low = 0, high = text.length();
    while (low < high) {
        const size_t mid = (low + high + 1) / 2;
        if (dc.GetTextExtent(text.Left(mid) + "...").x <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return text.Left(low) + "...";
}

} // namespace

CPicturePrintout::CPicturePrintout(const wxString& header, const wxFont& titleFont, const wxFont& footerFont)
    : wxPrintout(header), m_header(header), m_titleFont(titleFont), m_footerFont(footerFont)
{
}

wxFont CPicturePrintout::TitleFont(const LogFont& stored)
{
    if (stored.lfHeight == 0)
        return wxFont(wxFontInfo(wxSize(0, 12)).Family(wxFONTFAMILY_SWISS).Bold());
    LogFont title = stored;
    title.lfHeight = stored.lfHeight - 1;
    title.lfWeight = 700;
    return title.ToFont();
}

wxFont CPicturePrintout::FooterFont(const LogFont& stored)
{
    if (stored.lfHeight == 0)
        return wxFont(wxFontInfo(wxSize(0, 11)).Family(wxFONTFAMILY_SWISS));
    LogFont footer = stored;
    footer.lfWeight = 400;
    return footer.ToFont();
}

wxRect CPicturePrintout::PreparePage()
{
    MapScreenSizeToPage();
    return GetLogicalPageRect();
}

void CPicturePrintout::OnPreparePrinting()
{
    m_layout.reset();
    if (!GetDC())
        return;
    m_pageArea = PreparePage();
    m_layout.emplace(GetPictureRows(), GetRowHeight(), GetPictureWidth(), m_pageArea.GetSize(), GetCharWidth());
}

bool CPicturePrintout::HasPage(int page)
{
    return page >= 1 && page <= GetPageCount();
}

void CPicturePrintout::GetPageInfo(int* minPage, int* maxPage, int* selPageFrom, int* selPageTo)
{
    *minPage = *selPageFrom = 1;
    *maxPage = *selPageTo = std::max(1, GetPageCount());
}

bool CPicturePrintout::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (!dc || !HasPage(page))
        return false;
    const wxRect area = PreparePage();
    DrawHeaderAndFooter(*dc, area.GetTopLeft(), page);
    DrawStripe(*dc, m_layout->GetStripe(page), area.GetTopLeft() + m_layout->GetPictureOrigin());
    return true;
}

void CPicturePrintout::DrawHeaderAndFooter(wxDC& dc, const wxPoint& offset, int page)
{
    dc.SetTextForeground(*wxBLACK);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    wxRect header = m_layout->GetHeaderRect();
    header.Offset(offset);
    dc.SetFont(m_titleFont);
    // One line: the breaks of a multi-line text become blanks.
    wxString line = m_header;
    for (wxString::iterator it = line.begin(); it != line.end(); ++it)
        if (*it == '\r' || *it == '\n' || *it == '\t')
            *it = ' ';
    dc.DrawLabel(FitToWidth(dc, line, header.width), header, wxALIGN_CENTER_HORIZONTAL | wxALIGN_CENTER_VERTICAL);
    wxRect footer = m_layout->GetFooterRect();
    footer.Offset(offset);
    dc.SetFont(m_footerFont);
    const wxDateTime now = wxDateTime::Now();
    dc.DrawLabel(now.FormatDate() + " " + now.FormatTime(), footer, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
    dc.DrawLabel(wxString::Format("Page %d of %d", page, GetPageCount()), footer,
                 wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
}
