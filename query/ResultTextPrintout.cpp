#include "ResultTextPrintout.h"

#include "editor/QryPrintout.h"

#include <wx/control.h>
#include <wx/datetime.h>
#include <wx/dc.h>
#include <wx/tokenzr.h>

#include <algorithm>

namespace {

// Splits a line that is wider than width: at the last blank that leaves a part which fits,
// else at the last character that fits (at least one character a part).
std::vector<wxString> Wrap(wxDC& dc, const wxString& line, int width)
{
    std::vector<wxString> parts;
    wxString rest = line;
    while (!rest.empty() && dc.GetTextExtent(rest).x > width) {
        size_t low = 1, high = rest.length();
        while (low < high) {
            const size_t mid = (low + high + 1) / 2;
            if (dc.GetTextExtent(rest.Left(mid)).x <= width)
                low = mid;
            else
                high = mid - 1;
        }
        size_t cut = low;
        const size_t blank = rest.Left(low).find_last_of(' ');
        if (blank != wxString::npos && blank > 0)
            cut = blank + 1;
        parts.push_back(rest.Left(cut));
        rest = rest.Mid(cut);
    }
    parts.push_back(rest);
    return parts;
}

} // namespace

CResultTextPrintout::CResultTextPrintout(const wxString& text, int tabSize, const wxString& header, bool headerIsPath,
                                         const wxFont& font, bool printSelection)
    : wxPrintout(header), m_nTabSize(std::max(tabSize, 1)), m_header(header), m_bHeaderIsPath(headerIsPath),
      m_font(font), m_bPrintSelection(printSelection)
{
    wxString normal = text;
    normal.Replace("\r\n", "\n");
    normal.Replace("\r", "\n");
    wxStringTokenizer lines(normal, "\n", wxTOKEN_RET_EMPTY_ALL);
    while (lines.HasMoreTokens())
        m_sourceLines.push_back(ExpandTabs(lines.GetNextToken(), m_nTabSize));
    // A text that ends with a line break has no line after it.
    if (!m_sourceLines.empty() && m_sourceLines.back().empty() && normal.EndsWith("\n"))
        m_sourceLines.pop_back();
}

wxString CResultTextPrintout::ExpandTabs(const wxString& line, int tabSize)
{
    if (line.find('\t') == wxString::npos)
        return line;
    wxString out;
    for (wxUniChar c : line) {
        if (c == '\t')
            out.append(static_cast<size_t>(tabSize - static_cast<int>(out.length()) % tabSize), ' ');
        else
            out += c;
    }
    return out;
}

// Logical units are screen pixels at their physical size, with the origin at the paper's corner,
// as in the editor's printing.
wxRect CResultTextPrintout::PrepareDC()
{
    MapScreenSizeToPaper();
    return GetLogicalPaperRect();
}

void CResultTextPrintout::OnPreparePrinting()
{
    m_lines.clear();
    m_pageStarts.clear();
    wxDC* dc = GetDC();
    if (!dc)
        return;
    const wxRect paper = PrepareDC();
    int ppiX = 0, ppiY = 0;
    GetPPIScreen(&ppiX, &ppiY);
    if (ppiX <= 0 || ppiY <= 0)
        ppiX = ppiY = 96;
    const wxRect text = CQryPrintout::Layout(paper, wxSize(ppiX, ppiY), m_bPrintSelection).text;
    dc->SetFont(m_font);
    m_nLineHeight = std::max(dc->GetCharHeight(), 1);
    for (const wxString& line : m_sourceLines)
        for (wxString& part : Wrap(*dc, line, text.width))
            m_lines.push_back(std::move(part));
    const size_t perPage = static_cast<size_t>(std::max(text.height / m_nLineHeight, 1));
    for (size_t start = 0; start < m_lines.size() || start == 0; start += perPage)
        m_pageStarts.push_back(start);
}

bool CResultTextPrintout::HasPage(int page)
{
    return page >= 1 && page <= GetPageCount();
}

void CResultTextPrintout::GetPageInfo(int* minPage, int* maxPage, int* selPageFrom, int* selPageTo)
{
    *minPage = *selPageFrom = 1;
    *maxPage = *selPageTo = std::max(1, GetPageCount());
}

bool CResultTextPrintout::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (!dc || !HasPage(page))
        return false;
    const wxRect paper = PrepareDC();
    int ppiX = 0, ppiY = 0;
    GetPPIScreen(&ppiX, &ppiY);
    if (ppiX <= 0 || ppiY <= 0)
        ppiX = ppiY = 96;
    const CQryPrintout::PageLayout layout = CQryPrintout::Layout(paper, wxSize(ppiX, ppiY), m_bPrintSelection);
    dc->SetFont(m_font);
    dc->SetTextForeground(*wxBLACK);
    dc->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const size_t first = m_pageStarts[static_cast<size_t>(page - 1)];
    const size_t end = page < GetPageCount() ? m_pageStarts[static_cast<size_t>(page)] : m_lines.size();
    int y = layout.text.y;
    for (size_t i = first; i < end; ++i, y += m_nLineHeight)
        dc->DrawText(m_lines[i], layout.text.x, y);
    if (m_bPrintSelection)
        return true;
    const wxString header = wxControl::Ellipsize(m_header, *dc, m_bHeaderIsPath ? wxELLIPSIZE_MIDDLE : wxELLIPSIZE_END,
                                                 layout.header.width);
    dc->DrawLabel(header, layout.header, wxALIGN_CENTER_HORIZONTAL | wxALIGN_CENTER_VERTICAL);
    const wxDateTime now = wxDateTime::Now();
    dc->DrawLabel(now.FormatDate() + " " + now.FormatTime(), layout.footer, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
    dc->DrawLabel(wxString::Format("Page %d", page), layout.footer, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
    return true;
}
