#include "editor/QryPrintout.h"

#include <wx/control.h>
#include <wx/datetime.h>
#include <wx/dc.h>
#include <wx/stc/stc.h>

#include <cmath>

namespace {

int TwipsToPixels(int twips, int pixelsPerInch)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * pixelsPerInch / 1440.0));
}

} // namespace

CQryPrintout::CQryPrintout(wxStyledTextCtrl* edit, const wxString& header, bool headerIsPath, const wxFont& font,
                           bool printSelection, long from, long to)
    : wxPrintout(header), m_pEdit(edit), m_header(header), m_bHeaderIsPath(headerIsPath), m_font(font),
      m_bPrintSelection(printSelection), m_nPrintFrom(printSelection ? from : 0),
      m_nPrintTo(printSelection ? to : edit->GetLength())
{
}

wxRect CQryPrintout::MarginsTwips(bool printSelection)
{
    const int vertical = printSelection ? 720 : 1080;
    // x: left, y: top, width: right, height: bottom
    return wxRect(720, vertical, 720, vertical);
}

CQryPrintout::PageLayout CQryPrintout::Layout(const wxRect& paper, const wxSize& ppi, bool printSelection)
{
    wxRect m = MarginsTwips(printSelection);
    const int left = TwipsToPixels(m.x, ppi.x);
    const int right = TwipsToPixels(m.width, ppi.x);
    const int top = TwipsToPixels(m.y, ppi.y);
    const int bottom = TwipsToPixels(m.height, ppi.y);
    PageLayout layout;
    layout.text = wxRect(paper.x + left, paper.y + top, paper.width - left - right, paper.height - top - bottom);
    layout.header = wxRect(layout.text.x, paper.y + top / 4, layout.text.width, top - top / 4);
    const int footerTop = paper.GetBottom() + 1 - bottom;
    layout.footer = wxRect(layout.text.x, footerTop, layout.text.width, bottom - bottom / 4);
    return layout;
}

// Logical units are screen pixels at their physical size, with the origin at the paper's corner,
// so the editor lays out pages as it would on screen and the font keeps its size on paper.
CQryPrintout::PageLayout CQryPrintout::PrepareDC()
{
    MapScreenSizeToPaper();
    int ppiX = 0, ppiY = 0;
    GetPPIScreen(&ppiX, &ppiY);
    if (ppiX <= 0 || ppiY <= 0)
        ppiX = ppiY = 96;
    return Layout(GetLogicalPaperRect(), wxSize(ppiX, ppiY), m_bPrintSelection);
}

void CQryPrintout::OnPreparePrinting()
{
    m_pageStarts.clear();
    wxDC* dc = GetDC();
    if (!dc)
        return;
    PageLayout layout = PrepareDC();
    m_pEdit->SetPrintColourMode(wxSTC_PRINT_COLOURONWHITE);
    m_pEdit->SetPrintWrapMode(wxSTC_WRAP_WORD);
    long pos = m_nPrintFrom;
    do {
        m_pageStarts.push_back(pos);
        long next = m_pEdit->FormatRange(false, pos, m_nPrintTo, dc, dc, layout.text, GetLogicalPaperRect());
        if (next <= pos)
            break;
        pos = next;
    } while (pos < m_nPrintTo);
}

bool CQryPrintout::HasPage(int page)
{
    return page >= 1 && page <= GetPageCount();
}

void CQryPrintout::GetPageInfo(int* minPage, int* maxPage, int* selPageFrom, int* selPageTo)
{
    *minPage = *selPageFrom = 1;
    *maxPage = *selPageTo = std::max(1, GetPageCount());
}

bool CQryPrintout::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (!dc || !HasPage(page))
        return false;
    PageLayout layout = PrepareDC();
    long start = m_pageStarts[static_cast<size_t>(page - 1)];
    m_pEdit->FormatRange(true, start, m_nPrintTo, dc, dc, layout.text, GetLogicalPaperRect());
    if (!m_bPrintSelection)
        DrawHeaderAndFooter(*dc, layout, page);
    return true;
}

void CQryPrintout::DrawHeaderAndFooter(wxDC& dc, const PageLayout& layout, int page)
{
    dc.SetFont(m_font);
    dc.SetTextForeground(*wxBLACK);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    wxString header = wxControl::Ellipsize(m_header, dc, m_bHeaderIsPath ? wxELLIPSIZE_MIDDLE : wxELLIPSIZE_END,
                                           layout.header.width);
    dc.DrawLabel(header, layout.header, wxALIGN_CENTER_HORIZONTAL | wxALIGN_CENTER_VERTICAL);
    wxDateTime now = wxDateTime::Now();
    dc.DrawLabel(now.FormatDate() + " " + now.FormatTime(), layout.footer, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
    dc.DrawLabel(wxString::Format("Page %d", page), layout.footer, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
}
