// Texts without a display: cells as drawn, the text pane as saved, the report of a failed grid
// growth.
#include "query/ResultTable.h"
#include "query/ResultView.h"
#include "querycore/GridGrowthFailure.h"

#include <gtest/gtest.h>

namespace {

struct DisplayCase {
    const char* name;
    std::string stored;
    std::wstring shown;
};

} // namespace

TEST(ResultTableText, CellsAreDrawnOnOneLine)
{
    const std::vector<DisplayCase> cases = {
        {"plain", "abc", L"abc"},
        {"empty", "", L""},
        {"line feeds", "one\ntwo\n", L"one two "},
        {"CR LF is one break", "one\r\ntwo", L"one two"},
        {"lone CR", "one\rtwo", L"one two"},
        {"tabs", "a\tb\t\tc", L"a b  c"},
        {"Unicode", "Zürich \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x98\x80", L"Z\u00FCrich \u6771\u4EAC \U0001F600"},
        {"bytes that are not UTF-8", "ab\xFF" "cd", L"ab\uFFFDcd"},
    };
    for (const DisplayCase& c : cases)
        EXPECT_EQ(CResultTable::DisplayText(c.stored).ToStdWstring(), c.shown) << c.name;

    // The full text is kept for copying, line breaks and all.
    EXPECT_EQ(CResultTable::FullText("one\r\ntwo\tthree").ToStdString(), "one\r\ntwo\tthree");
}

TEST(ResultTableText, LongTextIsCutAtACharacterBoundary)
{
    std::string stored;
    for (size_t i = 0; i < CResultTable::kMaxShownChars + 500; ++i)
        stored += "\xC3\xA9"; // é, two bytes each
    const wxString shown = CResultTable::DisplayText(stored);
    EXPECT_EQ(shown.length(), CResultTable::kMaxShownChars);
    EXPECT_EQ(shown.Last(), wxUniChar(0xE9));
    EXPECT_EQ(CResultTable::FullText(stored).length(), CResultTable::kMaxShownChars + 500);
}

TEST(ResultViewText, SavedTextHasCrLfLinesAndOptionalBlanksForTabs)
{
    struct Case {
        const char* name;
        wxString text;
        bool tabsAsSpaces;
        int tabSize;
        std::string saved;
    };
    const std::vector<Case> cases = {
        {"LF", "a\nb", false, 4, "a\r\nb"},
        {"CR LF stays one line end", "a\r\nb", false, 4, "a\r\nb"},
        {"a tag's lone CR is a line end", "<eb1>one\rtwo</eb1>", false, 4, "<eb1>one\r\ntwo</eb1>"},
        {"tabs kept", "a\tb", false, 4, "a\tb"},
        {"tabs as four blanks", "a\tb\t", true, 4, "a    b    "},
        {"tab size 2", "\tx", true, 2, "  x"},
        {"no line end added", "last", false, 4, "last"},
        {"Unicode as UTF-8", wxString::FromUTF8("\xC3\xA9t\xC3\xA9"), false, 4, "\xC3\xA9t\xC3\xA9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CResultView::TextForSave(c.text, c.tabsAsSpaces, c.tabSize), c.saved) << c.name;
}

TEST(GridGrowthFailure, MemoryReportFromMeminfo)
{
    const std::string memInfo = "MemTotal:        8000000 kB\n"
                                "MemFree:          100000 kB\n"
                                "MemAvailable:     2000000 kB\n"
                                "SwapTotal:       2000000 kB\n"
                                "SwapFree:        1000000 kB\n";
    const wxString report = FormatMemoryReport(memInfo, "VmSize:\t  100000 kB\n");
    EXPECT_TRUE(report.StartsWith("                       Memory load:      75%\r\n")) << report;
    EXPECT_NE(report.Find("                   Page file usage:      70%\r\n"), wxNOT_FOUND) << report;
    EXPECT_NE(report.Find("         Available physical memory: 2000000K\r\n"), wxNOT_FOUND) << report;
    EXPECT_NE(report.Find("          Available page file size: 3000000K\r\n"), wxNOT_FOUND) << report;
    EXPECT_TRUE(report.EndsWith(" Available extended virtual memory:       0K")) << report;

    EXPECT_TRUE(FormatMemoryReport("SwapTotal: 0 kB\n", "").empty()) << "no memory figures";

    const wxString text = BuildGridGrowthFailureText("  Cannot allocate memory \n");
    EXPECT_TRUE(text.StartsWith("Cannot allocate memory\r\nSnapshot of system's physical and virtual memory "
                                "usage: \r\n\r\n"))
        << text;
    EXPECT_TRUE(text.EndsWith("\r\n\r\nIt is recommended that you save your work (if, any) before continuing."));
    EXPECT_TRUE(BuildGridGrowthFailureText("").StartsWith("An unknown error has occurred.\r\n"));
}
