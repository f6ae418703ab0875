#include "EditorFixture.h"

#include "editor/PrintRangeDlg.h"
#include "editor/QryPrintout.h"

#include <wx/cmndata.h>
#include <wx/generic/printps.h>
#include <wx/modalhook.h>
#include <wx/print.h>
#include <wx/stc/stc.h>

#include <optional>


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

// Answers the print range dialog with a range (OK) or none (Cancel) and counts it.
class RangeAnswer : public wxModalDialogHook {
public:
    explicit RangeAnswer(std::optional<CPrintRangeDlg::Range> range) : m_range(range) { Register(); }
    ~RangeAnswer() override { Unregister(); }
    int Asked() const { return m_asked; }
    bool OfferedSelection() const { return m_offeredSelection; }

protected:
    int Enter(wxDialog* dialog) override
    {
        auto* range = dynamic_cast<CPrintRangeDlg*>(dialog);
        if (!range)
            return wxID_NONE;
        ++m_asked;
        m_offeredSelection = range->IsSelection();
        if (!m_range)
            return wxID_CANCEL;
        range->SetRange(*m_range);
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}

private:
    std::optional<CPrintRangeDlg::Range> m_range;
    int m_asked = 0;
    bool m_offeredSelection = false;
};

TEST_F(Printing, TheSelectionIsOfferedBeforeTheWholeText)
{
    using Range = CPrintRangeDlg::Range;
    const struct {
        const char* name;
        long from, to; // the selection in "select 1\n   \nselect 2"
        bool direct;
        std::optional<Range> answer;
        std::optional<bool> printSelection;
        int asked;
    } cases[] = {
        {"a selection, chosen", 0, 8, false, Range::kSelection, true, 1},
        {"a selection, the whole text chosen instead", 0, 8, false, Range::kAll, false, 1},
        {"a selection, the question cancelled: nothing prints", 0, 8, false, std::nullopt, std::nullopt, 1},
        {"a selection printed directly: no question", 0, 8, true, std::nullopt, true, 0},
        {"no selection: the whole text, no question", 0, 0, false, std::nullopt, false, 0},
        {"only blanks selected count as none", 9, 12, false, std::nullopt, false, 0},
    };
    CTorvaneDoc* doc = NewDoc();
    wxStyledTextCtrl* edit = EditOf(doc);
    for (const auto& c : cases) {
        edit->SetText("select 1\n   \nselect 2");
        edit->SetSelection(c.from, c.to);
        RangeAnswer answer(c.answer);
        EXPECT_EQ(ViewOf(doc)->AskPrintSelection(c.direct), c.printSelection) << c.name;
        EXPECT_EQ(answer.Asked(), c.asked) << c.name;
        EXPECT_EQ(answer.OfferedSelection(), c.asked > 0) << c.name;
    }
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
