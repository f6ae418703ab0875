// Printing and print preview of the results pane on SQLite and PostgreSQL under Xvfb: grids and
// text print through the print framework into PostScript files, which the tests turn into PDF
// and read back with the desktop's own tools (pdftotext, pdftoppm).
#include "app/MainFrame.h"
#include "common/CommandIds.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "platform/PrintDestinations.h"
#include "platform/PrintSetup.h"
#include "query/ChildFrame.h"
#include "query/GridPrintout.h"
#include "query/MSHFlexGrid.h"
#include "query/PrintPreviewPane.h"
#include "query/ResultTextPrintout.h"
#include "query/ResultCommands.h"
#include "query/ResultView.h"
#include "querycore/DataLinkFields.h"
#include "tests/grid/GridWindowFixture.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/filename.h>
#include <wx/generic/printps.h>
#include <wx/image.h>
#include <wx/print.h>
#include <wx/splitter.h>
#include <wx/stc/stc.h>
#include <wx/toolbar.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::Main;
using window_test::Pump;
using window_test::PumpUntil;

namespace {

// The output of a shell command; the test fails when it does not succeed.
std::string Run(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return out;
    }
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int status = pclose(pipe);
    EXPECT_EQ(status, 0) << command << " (ps2pdf: ghostscript; pdftotext, pdftoppm: poppler-utils)";
    return out;
}

// A PostScript print as the desktop's tools read it: converted to PDF once, then per page.
class PrintedFile {
public:
    explicit PrintedFile(const std::string& ps) : m_pdf(ps + ".pdf")
    {
        Run("ps2pdf '" + ps + "' '" + m_pdf + "'");
        const std::string info = Run("pdfinfo '" + m_pdf + "'");
        std::smatch match;
        if (std::regex_search(info, match, std::regex("Pages:\\s+(\\d+)")))
            m_pages = std::stoi(match[1]);
    }
    int Pages() const { return m_pages; }
    std::string Text(int page) const
    {
        const std::string p = std::to_string(page);
        std::string text = Run("pdftotext -layout -f " + p + " -l " + p + " '" + m_pdf + "' -");
        // PostScript's standard fonts print a hyphen with the minus sign's glyph and an
        // apostrophe with the right quotation mark's.
        for (size_t at; (at = text.find("\xe2\x88\x92")) != std::string::npos;)
            text.replace(at, 3, "-");
        for (size_t at; (at = text.find("\xe2\x80\x99")) != std::string::npos;)
            text.replace(at, 3, "'");
        return text;
    }
    // The page rasterised at dpi dots per inch.
    wxImage Picture(int page, int dpi) const
    {
        const std::string prefix = m_pdf + "-page";
        const std::string p = std::to_string(page);
        Run("pdftoppm -png -singlefile -r " + std::to_string(dpi) + " -f " + p + " -l " + p + " '" + m_pdf + "' '" +
            prefix + "'");
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
            wxImage::AddHandler(new wxPNGHandler);
        return wxImage(prefix + ".png", wxBITMAP_TYPE_PNG);
    }

private:
    std::string m_pdf;
    int m_pages = 0;
};

// Prints the printout through the print framework into a PostScript file on A4.
std::string PrintToPostScript(wxPrintout& printout, const std::string& path)
{
    wxPrintData data;
    data.SetPrintMode(wxPRINT_MODE_FILE);
    data.SetFilename(path);
    data.SetPaperId(wxPAPER_A4);
    wxPrintDialogData dialogData(data);
    dialogData.SetAllPages(true);
    dialogData.SetFromPage(1);
    dialogData.SetToPage(9999);
    wxPostScriptPrinter printer(&dialogData);
    EXPECT_TRUE(printer.Print(nullptr, &printout, false));
    return path;
}

// The text with its runs of blanks as one blank, and none at either end.
std::string Collapsed(const std::string& text)
{
    std::istringstream in(text);
    std::string out;
    for (std::string word; in >> word;)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

std::set<std::string> Words(const std::string& text)
{
    std::set<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;)
        words.insert(word);
    return words;
}

// The x positions, from the left of the area, where a line runs down the whole area: the
// grid's column lines. Neighbouring positions (a line that the raster spread) count once.
std::vector<int> VerticalLines(const wxImage& image, const wxRect& area)
{
    std::vector<int> lines;
    int last = -10;
    for (int x = area.GetLeft(); x <= area.GetRight(); ++x) {
        int inked = 0;
        for (int y = area.GetTop(); y <= area.GetBottom(); ++y)
            if (image.GetRed(x, y) < 235 || image.GetGreen(x, y) < 235 || image.GetBlue(x, y) < 235)
                ++inked;
        if (inked * 100 >= area.GetHeight() * 95) {
            if (x - last > 1)
                lines.push_back(x - area.GetLeft());
            last = x;
        }
    }
    return lines;
}

// count rows of n, with columns c1 .. c<columns> holding n * 100 + the column's number.
std::string NumbersQuery(int count, int columns)
{
    std::string select;
    for (int c = 1; c <= columns; ++c)
        select += (c > 1 ? ", " : "") + std::string("n * 100 + ") + std::to_string(c) + " AS c" + std::to_string(c);
    return "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < " + std::to_string(count) +
           ") SELECT " + select + " FROM r";
}

class ResultPrinting : public DatabaseTest {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        DatabaseTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        CMessageScript quiet;
        CTorvaneDoc* doc = Main().NewQueryWindow(CDataLinkFields::Parse(wxString::FromUTF8(ConnectionString())).BuildConnectString());
        ASSERT_TRUE(doc);
        m_frame = QueryFrameOf(doc);
        ASSERT_TRUE(m_frame);
        m_frame->Raise();
        Pump();
    }
    void TearDown() override
    {
        if (!window_test::HaveDisplay())
            return;
        window_test::CloseQueryWindows();
    }

    // Runs the SQL through the window's Execute, as F5 does.
    void Execute(const std::string& sql)
    {
        m_frame->GetQueryView()->GetEditCtrl()->SetText(wxString::FromUTF8(sql));
        wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
        m_frame->GetEventHandler()->ProcessEvent(execute);
        ASSERT_TRUE(PumpUntil([this] { return !m_frame->IsExecuting(); }, Scaled(60s)));
        Pump();
        // The window's commands go to the results pane, as after a click into it.
        m_frame->ActivateResultsPane();
        Pump();
    }
    CResultView& View() { return *m_frame->GetResultView(); }
    bool Enabled(int id)
    {
        wxUpdateUIEvent event(id);
        event.SetEventObject(m_frame);
        m_frame->ProcessWindowEvent(event);
        return event.GetEnabled();
    }
    std::string Path(const std::string& name) const { return NewTempPath("-" + name); }

    CChildFrame* m_frame = nullptr;
};

} // namespace

TEST(GridPrintHeader, TitleCutBeforeItsTextThenTheSql)
{
    EXPECT_EQ(CGridPrintout::MakeHeader("srv.\"db\" - Query1 - (select 1...)", "select 1 as a"),
              "srv.\"db\" - Query1 - (select 1 as a)");
    EXPECT_EQ(CGridPrintout::MakeHeader("no text part", "select 2"), "no text part - (select 2)");
    EXPECT_EQ(CGridPrintout::MakeHeader("srv - Query1 - (New Query)", ""), "srv - Query1 - (New Query)");
}

TEST(ResultTextPrintout, TabsExpandToTheNextStop)
{
    const struct {
        const char* line;
        int tabSize;
        const char* printed;
    } cases[] = {
        {"a\tb", 4, "a   b"},
        {"\tb", 4, "    b"},
        {"abcd\te", 4, "abcd    e"},
        {"ab\t\tc", 3, "ab    c"},
        {"no tabs", 8, "no tabs"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CResultTextPrintout::ExpandTabs(c.line, c.tabSize), c.printed) << c.line;
}

TEST_P(ResultPrinting, AGridPrintsThreePagesAcrossAndFiveDown)
{
    // A first print tells how many rows and how much width a page of A4 takes.
    Execute(NumbersQuery(10, 10));
    ASSERT_TRUE(View().IsGridPrintMode());
    int rowsPerPage = 0, pageWidth = 0;
    {
        std::unique_ptr<wxPrintout> probe = View().CreatePrintout(false);
        PrintToPostScript(*probe, Path("probe.ps"));
        const auto& layout = static_cast<CGridPrintout&>(*probe).GetLayout();
        ASSERT_TRUE(layout);
        rowsPerPage = layout->GetRowsPerPage();
        pageWidth = layout->GetPageSize().x - 2 * layout->GetMargin();
    }
    ASSERT_GT(rowsPerPage, 5);

    // Four bands and a half of rows (with the header row), two pages and a half of width.
    const int rows = 4 * rowsPerPage + rowsPerPage / 2 - 1;
    Execute(NumbersQuery(rows, 10));
    CMSHFlexGrid* grid = View().GetCurrentGrid();
    ASSERT_TRUE(grid);
    ASSERT_EQ(grid->GetRows(), rows + 1);
    const int columnWidth = (pageWidth * 5 / 2 - grid->GetRowLabelSize()) / 10;
    for (int c = 0; c < 10; ++c)
        grid->SetColSize(c, columnWidth);

    std::unique_ptr<wxPrintout> printout = View().CreatePrintout(false);
    auto& gridPrintout = static_cast<CGridPrintout&>(*printout);
    const PrintedFile file(PrintToPostScript(*printout, Path("grid.ps")));
    const CPrintPageLayout& layout = *gridPrintout.GetLayout();
    EXPECT_EQ(layout.GetPagesAcross(), 3);
    EXPECT_EQ(layout.GetBands(), 5);
    ASSERT_EQ(file.Pages(), 15);

    // Header and footer on every page: the title up to its text part, the date, the page.
    const wxString title = m_frame->GetQueryDoc()->GetTitle();
    const std::string titleStart = title.BeforeFirst('(').Trim().utf8_string();
    const std::string today = wxDateTime::Now().FormatDate().utf8_string();
    for (int page = 1; page <= 15; ++page) {
        const std::string text = file.Text(page);
        EXPECT_NE(text.find(titleStart), std::string::npos) << "page " << page << ":\n" << text;
        EXPECT_NE(text.find("- (WITH RECURSIVE"), std::string::npos) << "page " << page;
        EXPECT_NE(text.find(today), std::string::npos) << "page " << page;
        EXPECT_NE(text.find("Page " + std::to_string(page) + " of 15"), std::string::npos) << "page " << page;
        // The rows of the page's band: the row numbers down the left-hand pages, the cells of
        // the band's first and last rows on every page.
        // The page's words between its header and footer lines.
        const size_t headerEnd = text.find('\n', text.find_first_not_of(" \n"));
        const size_t footerStart = text.rfind(today);
        const std::set<std::string> words = Words(text.substr(headerEnd, footerStart - headerEnd));
        const int band = (page - 1) / 3;
        const int firstRow = std::max(band * rowsPerPage, 1);
        const int lastRow = std::min((band + 1) * rowsPerPage - 1, rows);
        const int across = (page - 1) % 3;
        const int column = across == 0 ? 1 : across == 1 ? 5 : 10;
        for (int row : {firstRow, lastRow})
            EXPECT_TRUE(words.count(std::to_string(row * 100 + column))) << "page " << page << " row " << row;
        EXPECT_EQ(words.count(std::to_string(firstRow)) > 0, across == 0) << "page " << page;
        EXPECT_EQ(words.count("c1") > 0, band == 0 && across == 0) << "page " << page;
        EXPECT_FALSE(words.count(std::to_string((lastRow + 1) * 100 + column))) << "page " << page;
    }

    // The picture on the first page has the grid's columns where the grid draws them.
    int ppiX = 0, ppiY = 0;
    gridPrintout.GetPPIScreen(&ppiX, &ppiY);
    const wxImage page = file.Picture(1, ppiX);
    ASSERT_TRUE(page.IsOk());
    const CPrintPageLayout::Stripe stripe = layout.GetStripe(1);
    const int rowHeight = layout.GetRowHeight();
    const wxPoint origin = gridPrintout.GetPageArea().GetTopLeft() + layout.GetPictureOrigin();
    // The data rows, below the header row.
    const wxRect printedCells(origin.x, origin.y + rowHeight, stripe.width, (stripe.rowCount - 1) * rowHeight - 2);
    ASSERT_TRUE(wxRect(page.GetSize()).Contains(printedCells));

    // The same block of the grid drawn by the grid itself, off screen.
    int lastCol = 0;
    for (int c = 0, x = grid->GetRowLabelSize(); c < 10 && x < stripe.width; x += grid->GetColSize(c), ++c)
        lastCol = c;
    const int rowsDrawn = stripe.rowCount - 1;
    int width = grid->GetRowLabelSize(), height = grid->GetColLabelSize();
    for (int c = 0; c <= lastCol; ++c)
        width += grid->GetColSize(c);
    for (int r = 0; r < rowsDrawn; ++r)
        height += grid->GetRowSize(r);
    wxBitmap bitmap(width, height);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        grid->Render(dc, wxPoint(0, 0), wxSize(width, height), wxGridCellCoords(0, 0),
                     wxGridCellCoords(rowsDrawn - 1, lastCol), wxGRID_DRAW_ROWS_HEADER | wxGRID_DRAW_COLS_HEADER |
                                                                      wxGRID_DRAW_CELL_LINES);
    }
    const wxImage drawn = bitmap.ConvertToImage();
    const wxRect drawnCells(0, grid->GetColLabelSize(), std::min(width, stripe.width), height - grid->GetColLabelSize() - 2);
    const std::vector<int> printedLines = VerticalLines(page, printedCells);
    const std::vector<int> drawnLines = VerticalLines(drawn, drawnCells);
    const auto list = [](const std::vector<int>& v) {
        std::string s;
        for (int x : v)
            s += std::to_string(x) + " ";
        return s;
    };
    ASSERT_GE(drawnLines.size(), 3u);
    ASSERT_EQ(printedLines.size(), drawnLines.size()) << list(printedLines) << "| " << list(drawnLines);
    for (size_t i = 0; i < drawnLines.size(); ++i)
        EXPECT_NEAR(printedLines[i], drawnLines[i], 1) << "line " << i;
}

TEST_P(ResultPrinting, ResultsTextPrintsLineByLine)
{
    // Sixty results in text: the name, its underline and the value of each, line after line.
    std::string sql;
    for (int i = 1; i <= 60; ++i)
        sql += "SELECT 'row " + std::to_string(i) + "' AS a;\n";
    window_test::SetResultsInText(*m_frame, true);
    Execute(sql);
    ASSERT_FALSE(View().IsGridPrintMode());
    std::vector<std::string> lines;
    for (int i = 0; i < View().GetLineCount(); ++i) {
        const std::string line = Collapsed(View().GetLine(i).utf8_string());
        if (!line.empty())
            lines.push_back(line);
    }
    ASSERT_GE(lines.size(), 180u) << View().GetText();

    std::unique_ptr<wxPrintout> printout = View().CreatePrintout(false);
    const PrintedFile file(PrintToPostScript(*printout, Path("text.ps")));
    const int pages = static_cast<CResultTextPrintout&>(*printout).GetPageCount();
    ASSERT_GE(pages, 2);
    ASSERT_EQ(file.Pages(), pages);

    // On every page the header (the document's title, as it has no file), the page's lines of
    // the text and the footer with the date and "Page %d"; the pages' lines are the text's.
    const std::string title = Collapsed(m_frame->GetQueryDoc()->GetTitle().utf8_string());
    const std::string today = wxDateTime::Now().FormatDate().utf8_string();
    std::vector<std::string> printed;
    for (int page = 1; page <= pages; ++page) {
        std::vector<std::string> pageLines;
        std::istringstream in(file.Text(page));
        for (std::string line; std::getline(in, line);)
            if (!(line = Collapsed(line)).empty())
                pageLines.push_back(line);
        ASSERT_GE(pageLines.size(), 3u) << "page " << page;
        EXPECT_EQ(pageLines.front(), title) << "page " << page;
        EXPECT_EQ(pageLines.back().rfind(today, 0), 0u) << "page " << page << ": " << pageLines.back();
        EXPECT_NE(pageLines.back().find("Page " + std::to_string(page)), std::string::npos) << "page " << page;
        printed.insert(printed.end(), pageLines.begin() + 1, pageLines.end() - 1);
    }
    EXPECT_EQ(printed, lines);
}

TEST_P(ResultPrinting, TheSelectedTextPrintsAloneWithoutHeaderOrFooter)
{
    std::string sql;
    for (int i = 1; i <= 5; ++i)
        sql += "SELECT 'row " + std::to_string(i) + "' AS a;\n";
    window_test::SetResultsInText(*m_frame, true);
    Execute(sql);
    CResultView& view = View();
    const int from = view.GetText().Find("row 2");
    const int to = view.GetText().Find("row 4") + 5;
    ASSERT_GT(from, 0);
    view.SetSelection(from, to);
    ASSERT_TRUE(view.IsPrintSelection());
    std::unique_ptr<wxPrintout> printout = view.CreatePrintout(true);
    const PrintedFile file(PrintToPostScript(*printout, Path("selection.ps")));
    ASSERT_EQ(file.Pages(), 1);
    std::vector<std::string> printed;
    std::istringstream in(file.Text(1));
    for (std::string line; std::getline(in, line);)
        if (!(line = Collapsed(line)).empty())
            printed.push_back(line);
    EXPECT_EQ(printed, (std::vector<std::string>{"row 2", "a", "-", "row 3", "a", "-", "row 4"}));

    // Only blanks selected: the whole text.
    const int blank = view.GetText().Find("\n\n");
    view.SetSelection(blank, blank + 2);
    EXPECT_FALSE(view.IsPrintSelection());
}

TEST_P(ResultPrinting, PreviewOfAGridOpensPagesAndClosesBackToTheWindow)
{
    Execute(NumbersQuery(300, 3));
    ASSERT_TRUE(View().IsGridPrintMode());
    CMSHFlexGrid* grid = View().GetCurrentGrid();
    wxToolBar* toolbar = nullptr;
    for (wxWindow* child : m_frame->GetChildren())
        if (auto* bar = dynamic_cast<wxToolBar*>(child))
            toolbar = bar;
    ASSERT_TRUE(toolbar);
    const wxString status = m_frame->GetQueryStatusBar()->GetStatusText(3);
    EXPECT_EQ(status, "Results grid #1 of 1; 300 row(s); 3 col(s)");

    // Print Preview is offered for a grid, not for the text.
    EXPECT_TRUE(Enabled(ID_FILE_PRINT_PREVIEW));
    EXPECT_TRUE(Enabled(ID_FILE_PRINT));
    ASSERT_TRUE(View().PrintPreview());
    ASSERT_TRUE(m_frame->IsPrintPreviewActive());
    CPrintPreviewPane* pane = m_frame->GetPrintPreviewPane();
    ASSERT_TRUE(pane);
    Pump();
    // The preview takes the window: bars and panes hide, running and switching panes stop.
    EXPECT_TRUE(pane->IsShown());
    EXPECT_FALSE(toolbar->IsShown());
    EXPECT_FALSE(m_frame->GetQueryStatusBar()->IsShown());
    EXPECT_FALSE(View().GetParent()->IsShown());
    EXPECT_FALSE(Enabled(ID_QUERY_EXECUTE));
    EXPECT_FALSE(Enabled(ID_VIEW_SCHEMA));
    EXPECT_FALSE(Enabled(ID_EDIT_CLEAR_ALL));
    {
        wxUpdateUIEvent check(ID_FILE_PRINT_PREVIEW);
        check.SetEventObject(m_frame);
        m_frame->ProcessWindowEvent(check);
        EXPECT_TRUE(check.GetEnabled());
        EXPECT_TRUE(check.GetChecked());
    }
    if (IsSqlite()) {
        // A picture of the window with its preview, for people to look at.
        ASSERT_TRUE(grid_test::ResizeMainWindow(wxSize(1200, 800), *pane->GetCanvas()));
        const wxRect rect = Main().GetScreenRect();
        wxScreenDC screen;
        wxBitmap shot(rect.GetWidth(), rect.GetHeight());
        {
            wxMemoryDC memory(shot);
            memory.Blit(0, 0, rect.GetWidth(), rect.GetHeight(), &screen, rect.GetX(), rect.GetY());
        }
        wxFileName::Mkdir(TORVANE_ARTIFACTS_DIR, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
            wxImage::AddHandler(new wxPNGHandler);
        EXPECT_TRUE(shot.ConvertToImage().SaveFile(wxString(TORVANE_ARTIFACTS_DIR) + "/grid-print-preview.png",
                                                   wxBITMAP_TYPE_PNG));
    }
    // Its pages are the grid's: 301 rows take several.
    wxPrintPreview* preview = pane->GetPreview();
    ASSERT_GE(preview->GetMaxPage(), 2);
    EXPECT_EQ(preview->GetCurrentPage(), 1);
    wxKeyEvent pageDown(wxEVT_CHAR);
    pageDown.m_keyCode = WXK_PAGEDOWN;
    pane->GetCanvas()->GetEventHandler()->ProcessEvent(pageDown);
    EXPECT_EQ(preview->GetCurrentPage(), 2);
    wxCommandEvent last(wxEVT_BUTTON, wxID_PREVIEW_LAST);
    last.SetEventObject(pane->GetControlBar());
    pane->GetControlBar()->GetEventHandler()->ProcessEvent(last);
    EXPECT_EQ(preview->GetCurrentPage(), preview->GetMaxPage());

    // Its Close button gives the window back as it was.
    wxCommandEvent close(wxEVT_BUTTON, wxID_PREVIEW_CLOSE);
    close.SetEventObject(pane->GetControlBar());
    pane->GetControlBar()->GetEventHandler()->ProcessEvent(close);
    ASSERT_TRUE(PumpUntil([this] { return !m_frame->IsPrintPreviewActive(); }, Scaled(10s)));
    Pump();
    EXPECT_TRUE(toolbar->IsShown());
    EXPECT_TRUE(m_frame->GetQueryStatusBar()->IsShown());
    EXPECT_TRUE(View().GetParent()->IsShown());
    EXPECT_EQ(View().GetCurrentGrid(), grid);
    EXPECT_TRUE(grid->IsShown());
    EXPECT_EQ(View().m_bPrintPreview, 0);
    EXPECT_EQ(m_frame->GetQueryStatusBar()->GetStatusText(3), status);
    EXPECT_TRUE(Enabled(ID_QUERY_EXECUTE));

    // The menu item closes it as well; Escape too.
    ASSERT_TRUE(View().PrintPreview());
    wxCommandEvent item(wxEVT_MENU, ID_FILE_PRINT_PREVIEW);
    m_frame->GetEventHandler()->ProcessEvent(item);
    EXPECT_FALSE(m_frame->IsPrintPreviewActive());
    ASSERT_TRUE(View().PrintPreview());
    wxKeyEvent escape(wxEVT_CHAR);
    escape.m_keyCode = WXK_ESCAPE;
    m_frame->GetPrintPreviewPane()->GetCanvas()->GetEventHandler()->ProcessEvent(escape);
    ASSERT_TRUE(PumpUntil([this] { return !m_frame->IsPrintPreviewActive(); }, Scaled(10s)));

    // The text offers no preview.
    window_test::SetResultsInText(*m_frame, true);
    Execute("SELECT 1 AS a");
    EXPECT_FALSE(Enabled(ID_FILE_PRINT_PREVIEW));
    EXPECT_TRUE(Enabled(ID_FILE_PRINT));
    EXPECT_FALSE(View().PrintPreview());
}

TEST_P(ResultPrinting, ThePrintSetupsPaperAndOrientationShapeThePages)
{
    Execute(NumbersQuery(300, 3));
    const wxPrintData before = CPrintSetup::Current();
    const auto pageMM = [&] {
        EXPECT_TRUE(View().PrintPreview());
        wxSize mm;
        if (CPrintPreviewPane* pane = m_frame->GetPrintPreviewPane())
            pane->GetPreview()->GetPrintout()->GetPageSizeMM(&mm.x, &mm.y);
        wxCommandEvent item(wxEVT_MENU, ID_FILE_PRINT_PREVIEW);
        m_frame->GetEventHandler()->ProcessEvent(item);
        EXPECT_FALSE(m_frame->IsPrintPreviewActive());
        return mm;
    };
    // As File > Print Setup... leaves it for every later job.
    CPrintSetup::Current().SetPaperId(wxPAPER_A4);
    CPrintSetup::Current().SetOrientation(wxPORTRAIT);
    EXPECT_EQ(pageMM(), wxSize(210, 297));
    CPrintSetup::Current().SetOrientation(wxLANDSCAPE);
    EXPECT_EQ(pageMM(), wxSize(297, 210));
    CPrintSetup::Current().SetPaperId(wxPAPER_LETTER);
    EXPECT_EQ(pageMM(), wxSize(279, 215));
    CPrintSetup::Current() = before;
}

TEST_P(ResultPrinting, WithoutAPrinterQueueThePreviewShowsAndPrintingOffersTheDialog)
{
    Execute("SELECT 1 AS a");
    setenv("CUPS_SERVER", (NewTempPath("-cups") + ".sock").c_str(), 1);
    CMessageScript messages;
    const auto command = [this](int id) {
        wxCommandEvent event(wxEVT_MENU, id);
        m_frame->GetEventHandler()->ProcessEvent(event);
        Pump();
    };
    command(ID_FILE_PRINT_PREVIEW);
    EXPECT_TRUE(m_frame->IsPrintPreviewActive()) << "a preview needs no printer";
    command(ID_FILE_PRINT_PREVIEW);
    EXPECT_FALSE(m_frame->IsPrintPreviewActive());
    // Print, and Print Direct with no queue to print to, open the print dialog with its file printer.
    std::vector<wxString> printDialogs;
    {
        window_test::CancelModalDialogs dialogs;
        for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT})
            command(id);
        printDialogs = dialogs.Titles();
    }
    unsetenv("CUPS_SERVER");
    EXPECT_EQ(printDialogs, std::vector<wxString>(2, "Print"));
    EXPECT_EQ(messages.Texts(), std::vector<wxString>{});
}

TORVANE_INSTANTIATE_FOR_DRIVERS(ResultPrinting);
