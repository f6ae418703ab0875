#include "EditorFixture.h"

#include "editor/QryPrintout.h"

#include <wx/cmndata.h>
#include <wx/generic/printps.h>
#include <wx/print.h>
#include <wx/stc/stc.h>


namespace {

int CountOf(const std::string& text, const std::string& what)
{
    int count = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + what.size()))
        ++count;
    return count;
}

class Printing : public EditorFixture {
protected:
    // Prints the view through the print framework into a PostScript file and returns the file.
    std::string PrintToFile(CQryView* view)
    {
        const wxString path = TempPath("printed.ps");
        wxPrintData data;
        data.SetPrintMode(wxPRINT_MODE_FILE);
        data.SetFilename(path);
        data.SetPaperId(wxPAPER_A4);
        wxPrintDialogData dialogData(data);
        dialogData.SetAllPages(true);
        dialogData.SetFromPage(1);
        dialogData.SetToPage(9999);
        wxPostScriptPrinter printer(&dialogData);
        std::unique_ptr<wxPrintout> printout(view->OnCreatePrintout());
        EXPECT_TRUE(printer.Print(nullptr, printout.get(), false));
        m_pages = static_cast<CQryPrintout*>(printout.get())->GetPageCount();
        return ReadFile(path);
    }
    int m_pages = 0;
};

TEST_F(Printing, WholeTextPrintsPagesWithHeaderAndFooter)
{
    const wxString path = TempPath("report.sql");
    std::string text;
    for (int i = 1; i <= 150; ++i)
        text += "select " + std::to_string(i) + " as n\n";
    WriteFile(path, text);
    CTorvaneDoc* doc = OpenDoc(path);
    ASSERT_TRUE(doc);
    const std::string ps = PrintToFile(ViewOf(doc));
    ASSERT_GE(m_pages, 2);
    EXPECT_EQ(CountOf(ps, "%%Page:"), m_pages);
    for (int page = 1; page <= m_pages; ++page)
        EXPECT_EQ(CountOf(ps, "(Page " + std::to_string(page) + ")"), 1) << page;
    // The header is the document's path on every page; the footer has the date.
    EXPECT_EQ(CountOf(ps, "(" + std::string(path.utf8_str()) + ")"), m_pages);
    EXPECT_EQ(CountOf(ps, "(" + std::string(wxDateTime::Now().FormatDate().utf8_str())), m_pages);
    // The text itself, drawn run by run of its highlighting: every line once.
    // The editor draws its text character by character: two "s" on each of the 150 lines.
    // Every line is printed once, on one of the pages (the editor draws each line run by run of
    // its highlighting).
    EXPECT_EQ(CountOf(ps, "(as) (\\n) strsplit"), 150);
    for (int line = 1; line <= 150; ++line)
        EXPECT_EQ(CountOf(ps, "(" + std::to_string(line) + ") (\\n) strsplit"), 1) << line;
}

TEST_F(Printing, SelectionPrintsOnlyItselfWithoutHeaderOrFooter)
{
    CTorvaneDoc* doc = NewDoc();
    wxStyledTextCtrl* edit = EditOf(doc);
    edit->SetText("select 'first'\nselect 'chosen'\nselect 'last'\n");
    edit->SetSelection(edit->PositionFromLine(1), edit->GetLineEndPosition(1));
    ASSERT_TRUE(ViewOf(doc)->IsPrintSelection());
    const std::string ps = PrintToFile(ViewOf(doc));
    EXPECT_EQ(m_pages, 1);
    EXPECT_NE(ps.find("chosen"), std::string::npos);
    EXPECT_EQ(ps.find("first"), std::string::npos);
    EXPECT_EQ(ps.find("(Page 1)"), std::string::npos);
}

TEST_F(Printing, UntitledHeaderIsTheTitle)
{
    CTorvaneDoc* doc = NewDoc();
    doc->SetTitle(wxString("Untitled_7"));
    EditOf(doc)->SetText("select 1");
    const std::string ps = PrintToFile(ViewOf(doc));
    EXPECT_EQ(CountOf(ps, "(Untitled_7)"), 1);
}

TEST(PrintLayout, MarginsHeaderAndFooter)
{
    // A4 at 96 pixels per inch: 794 x 1123.
    const wxRect paper(0, 0, 794, 1123);
    auto whole = CQryPrintout::Layout(paper, wxSize(96, 96), false);
    EXPECT_EQ(whole.text, wxRect(48, 72, 794 - 96, 1123 - 144)); // 720 twips = 48 px, 1080 = 72 px
    EXPECT_EQ(whole.header, wxRect(48, 18, 794 - 96, 54));        // a quarter of the top margin down
    EXPECT_EQ(whole.footer, wxRect(48, 1123 - 72, 794 - 96, 54)); // to a quarter margin above the edge
    auto selection = CQryPrintout::Layout(paper, wxSize(96, 96), true);
    EXPECT_EQ(selection.text, wxRect(48, 48, 794 - 96, 1123 - 96));
}

} // namespace
