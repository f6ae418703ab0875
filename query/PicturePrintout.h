// Printing of a picture in stripes (a results grid, a tree): on every page a header with the
// title centred on one line, one stripe of the picture, and a footer with the date and time
// at the left and "Page %d of %d" at the right. Logical units are screen pixels at their
// physical size on the printable area, so the picture prints as large as it shows on screen.
#pragma once

#include "querycore/PrintPageLayout.h"

#include <wx/font.h>
#include <wx/print.h>

#include <optional>

struct LogFont;

class CPicturePrintout : public wxPrintout {
public:
    CPicturePrintout(const wxString& header, const wxFont& titleFont, const wxFont& footerFont);

    void OnPreparePrinting() override;
    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* selPageFrom, int* selPageTo) override;
    bool OnPrintPage(int page) override;

    // The pages, once the printing has been prepared.
    const std::optional<CPrintPageLayout>& GetLayout() const { return m_layout; }
    int GetPageCount() const { return m_layout ? m_layout->GetPageCount() : 0; }
    const wxString& GetHeader() const { return m_header; }
    // The printable area of a page in logical units, as the printing was prepared.
    const wxRect& GetPageArea() const { return m_pageArea; }

    // The header font from a stored font (height h: bold, height h - 1), or bold sans of
    // 12 pixels when none is stored (height 0).
    static wxFont TitleFont(const LogFont& stored);
    // The footer font: the stored font at its height and normal weight, or sans of 11 pixels.
    static wxFont FooterFont(const LogFont& stored);

protected:
    virtual int GetPictureRows() const = 0;
    virtual int GetRowHeight() const = 0;
    virtual int GetPictureWidth() const = 0;
    virtual int GetCharWidth() const = 0;
    // Draws the stripe with its top left corner at origin.
    virtual void DrawStripe(wxDC& dc, const CPrintPageLayout::Stripe& stripe, const wxPoint& origin) = 0;

private:
    // Maps the page's logical units and returns its printable area.
    wxRect PreparePage();
    void DrawHeaderAndFooter(wxDC& dc, const wxPoint& offset, int page);

    wxString m_header;
    wxFont m_titleFont;
    wxFont m_footerFont;
    std::optional<CPrintPageLayout> m_layout;
    wxRect m_pageArea;
};
