// Printing of the SQL editor through the print framework: the whole text under a header with the
// document's path (or title) and above a footer with the date and time and "Page %d", or only
// the selected text, on a printer or into a file.
#pragma once

#include <wx/font.h>
#include <wx/gdicmn.h>
#include <wx/print.h>

#include <vector>

class wxStyledTextCtrl;

class CQryPrintout : public wxPrintout {
public:
    // headerIsPath: the header is a path, shortened in its middle; else a title, shortened at its end.
    // With printSelection only [from, to) of the text is printed, without header and footer.
    CQryPrintout(wxStyledTextCtrl* edit, const wxString& header, bool headerIsPath, const wxFont& font,
                 bool printSelection, long from, long to);

    void OnPreparePrinting() override;
    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* selPageFrom, int* selPageTo) override;
    bool OnPrintPage(int page) override;

    // Margins in twips: left and right 720; top and bottom 1080 for the whole text, 720 for a selection.
    static wxRect MarginsTwips(bool printSelection);
    // The areas of a page in logical units (screen pixels) for a paper rectangle.
    struct PageLayout {
        wxRect text;   // paper less margins
        wxRect header; // from a quarter of the top margin down to the top margin
        wxRect footer; // from the bottom margin's top down to a quarter margin above the paper's edge
    };
    static PageLayout Layout(const wxRect& paper, const wxSize& pixelsPerInch, bool printSelection);

    int GetPageCount() const { return static_cast<int>(m_pageStarts.size()); }

private:
    PageLayout PrepareDC();
    void DrawHeaderAndFooter(wxDC& dc, const PageLayout& layout, int page);

    wxStyledTextCtrl* m_pEdit;
    wxString m_header;
    bool m_bHeaderIsPath;
    wxFont m_font;
    bool m_bPrintSelection;
    long m_nPrintFrom;
    long m_nPrintTo;
    std::vector<long> m_pageStarts;
};
