// Printing of the results text: its lines, tabs expanded and long lines wrapped to the page,
// under a header with the document's path (or title) and above a footer with the date and time
// and "Page %d"; or only the selected text, without header and footer. The margins and bands
// are the editor's (CQryPrintout::Layout). The text is plain, so it is drawn line by line.
#pragma once

#include <wx/font.h>
#include <wx/print.h>

#include <vector>

class CResultTextPrintout : public wxPrintout {
public:
    // text: what prints (the whole text or the selection); tabSize: blanks per tab stop.
    CResultTextPrintout(const wxString& text, int tabSize, const wxString& header, bool headerIsPath,
                        const wxFont& font, bool printSelection);

    void OnPreparePrinting() override;
    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* selPageFrom, int* selPageTo) override;
    bool OnPrintPage(int page) override;

    int GetPageCount() const { return static_cast<int>(m_pageStarts.size()); }

    // The line with its tabs expanded to the next stop of tabSize columns.
    static wxString ExpandTabs(const wxString& line, int tabSize);

private:
    wxRect PrepareDC();

    std::vector<wxString> m_sourceLines;
    int m_nTabSize;
    wxString m_header;
    bool m_bHeaderIsPath;
    wxFont m_font;
    bool m_bPrintSelection;
    // The lines as printed (long lines wrapped) and the first of each page.
    std::vector<wxString> m_lines;
    std::vector<size_t> m_pageStarts;
    int m_nLineHeight = 1;
};
