// Sorting, copying and viewing the cells of a results grid in a query window, on SQLite and
// PostgreSQL under Xvfb: header clicks and the sort commands with their header marks, the
// clipboard and Save Selection texts against expected files, View Contents and double clicks.
#include "GridWindowFixture.h"
#include "query/GridViewContentsDlg.h"
#include "query/MSHFlexGrid.h"
#include "common/SettingsTable.h"
#include "query/ResultCommands.h"
#include "tests/support/TestFiles.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/grid.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

using namespace grid_test;
using window_test::DialogScript;

namespace {

std::string Expected(const std::string& name)
{
    return FileBytes(std::string(TORVANE_GRID_EXPECTED) + "/" + name);
}

class GridSortWindowTest : public GridWindowTest {
protected:
    void SetUp() override
    {
        GridWindowTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        Exec("CREATE TABLE people (id INTEGER, name VARCHAR(20), amount DOUBLE PRECISION, born DATE, "
             "code VARCHAR(10))");
        Exec("INSERT INTO people VALUES (1, 'bob', 10.5, '2001-05-02', '100'), "
             "(2, '\xC3\x89mile', 2.25, '1999-12-31', '9'), (3, 'alice', NULL, '2001-05-02', '25'), "
             "(4, 'Bob', 100.75, NULL, '1000')");
        RunToEnd("SELECT id, name, amount, born, code FROM people ORDER BY id");
        m_grid = View().GetCurrentGrid();
        ASSERT_TRUE(m_grid && m_grid->IsShown());
    }

    // A column's data cells top to bottom.
    std::vector<std::string> Column(int col) const
    {
        std::vector<std::string> cells;
        for (int row = 1; row < m_grid->GetRows(); ++row)
            cells.emplace_back(m_grid->GetCellText(row, col));
        return cells;
    }
    std::vector<wxString> Headers() const
    {
        std::vector<wxString> headers;
        for (int col = 1; col < m_grid->GetCols(); ++col)
            headers.push_back(m_grid->GetTextMatrix(0, col));
        return headers;
    }
    // A left click on a column header (col from 1), as the grid reports it.
    void ClickHeader(int col)
    {
        wxGridEvent click(m_grid->GetId(), wxEVT_GRID_LABEL_LEFT_CLICK, m_grid, -1, col - 1);
        m_grid->GetEventHandler()->ProcessEvent(click);
        Pump();
    }
    void DoubleClick(int row, int col)
    {
        wxGridEvent click(m_grid->GetId(), row == 0 ? wxEVT_GRID_LABEL_LEFT_DCLICK : wxEVT_GRID_CELL_LEFT_DCLICK,
                          m_grid, row - 1, col - 1);
        m_grid->GetEventHandler()->ProcessEvent(click);
        Pump();
    }

    CMSHFlexGrid* m_grid = nullptr;
};

using Strings = std::vector<std::string>;

} // namespace

TEST_P(GridSortWindowTest, HeaderClicksSortAndMarkTheColumn)
{
    settings::WriteInt(settings::SortColumn, 1);
    // The first click sorts descending; equal names (ignoring case) keep their order.
    ClickHeader(2);
    EXPECT_EQ(Column(2), (Strings{"\xC3\x89mile", "bob", "Bob", "alice"}));
    EXPECT_EQ(Headers(), (std::vector<wxString>{"id", "name <", "amount", "born", "code"}));
    EXPECT_EQ(m_grid->GetCol(), 2);
    EXPECT_EQ(std::pair(m_grid->GetRow(), m_grid->GetRowSel()), std::pair(1, 4)) << "the column is selected";
    // The same column again turns round.
    ClickHeader(2);
    EXPECT_EQ(Column(2), (Strings{"alice", "bob", "Bob", "\xC3\x89mile"}));
    EXPECT_EQ(Headers()[1], "name >");
    // Another column keeps the last direction; a text column of numbers sorts by number.
    ClickHeader(5);
    EXPECT_EQ(Column(5), (Strings{"9", "25", "100", "1000"}));
    EXPECT_EQ(Headers(), (std::vector<wxString>{"id", "name", "amount", "born", "code >"}));
    EXPECT_EQ(Column(1), (Strings{"2", "3", "1", "4"})) << "whole rows move";
    EXPECT_EQ(m_grid->GetTextMatrix(1, 0), "2") << "with their row numbers";

    // A click on the row-number column, or with header sorting switched off, sorts nothing.
    ClickHeader(0);
    settings::WriteInt(settings::SortColumn, 0);
    ClickHeader(1);
    settings::WriteInt(settings::SortColumn, 1);
    EXPECT_EQ(Column(1), (Strings{"2", "3", "1", "4"}));
    EXPECT_EQ(Headers()[4], "code >");
}

TEST_P(GridSortWindowTest, SortCommandsSaveSelectionAndClipboardCopy)
{
    Main().SharedSettings().m_bCopyColNames = 1;
    // Numbers with a NULL (counted as 0), then the same command on the marked column turns round.
    m_grid->SetSelection(1, 3, 4, 3);
    Command(View(), ID_SORT_ASCENDING);
    EXPECT_EQ(Column(3), (Strings{"", "2.25", "10.5", "100.75"}));
    EXPECT_EQ(Headers()[2], "amount >");
    Command(View(), ID_SORT_ASCENDING);
    EXPECT_EQ(Column(3), (Strings{"100.75", "10.5", "2.25", ""}));
    EXPECT_EQ(Headers()[2], "amount <");

    // Dates, NULL first; equal dates keep their order.
    m_grid->SetSelection(1, 4, 4, 4);
    Command(View(), ID_SORT_ASCENDING);
    EXPECT_EQ(Column(4), (Strings{"", "1999-12-31", "2001-05-02", "2001-05-02"}));
    EXPECT_EQ(Column(1), (Strings{"4", "2", "1", "3"}));
    EXPECT_EQ(Headers()[2], "amount") << "one mark at a time";

    // The selection's rows only, on its left column; the mark goes and none comes.
    m_grid->SetSelection(4, 3, 2, 2);
    Command(View(), ID_SORT_SELECTION_ASCENDING);
    EXPECT_EQ(Column(2), (Strings{"Bob", "alice", "bob", "\xC3\x89mile"}));
    EXPECT_EQ(Column(1), (Strings{"4", "3", "1", "2"}));
    EXPECT_EQ(Headers(), (std::vector<wxString>{"id", "name", "amount", "born", "code"}));

    // Copy and Save Selection write the cells in the order shown, names without marks.
    m_grid->SetSelection(1, 2, 1, 2);
    Command(View(), ID_SORT_DESCENDING);
    ASSERT_EQ(Headers()[1], "name <");
    Command(View(), ID_EDIT_SELECT_ALL);
    Command(View(), ID_EDIT_COPY);
    EXPECT_EQ(ClipboardText(), Expected("sorted-copy.txt"));
    Main().SharedSettings().m_bCopyColNames = 0;
    m_grid->SetSelection(3, 4, 2, 2);
    Command(View(), ID_EDIT_COPY);
    EXPECT_EQ(ClipboardText(), Expected("sorted-copy-part.txt"));
    Main().SharedSettings().m_bCopyColNames = 1;

    settings::WriteInt(settings::ExportToExcel, 0);
    const std::string part = NewTempPath(".txt");
    {
        ExportAnswer answer(wxString::FromUTF8(part), "||", true);
        Command(View(), ID_SAVE_SELECTION);
        EXPECT_EQ(answer.Titles(), std::vector<wxString>{"Save Selection"});
    }
    EXPECT_EQ(FileBytes(part), Expected("sorted-save-selection.txt"));
}

TEST_P(GridSortWindowTest, ViewContentsWalksTheColumnAndKeepsWordWrap)
{
    settings::WriteInt(settings::GridViewContents, 0);
    m_grid->SetSelection(1, 2, 1, 2);
    Command(View(), ID_SORT_ASCENDING);
    ASSERT_EQ(Headers()[1], "name >");
    m_grid->SetCurrentCell(3, 2);

    DialogScript script;
    std::vector<std::string> seen;
    script.Expect<CGridViewContentsDlg>([&](CGridViewContentsDlg& dialog) {
        EXPECT_EQ(dialog.GetTitle(), "View Contents -- name") << "the field name without its sort mark";
        EXPECT_EQ(dialog.GetVisibleBox()->GetId(), CGridViewContentsDlg::kNoWrapId);
        seen.push_back(dialog.GetVisibleBox()->GetValue().utf8_string());
        dialog.ShowRow(dialog.GetRowShown() + 1);
        seen.push_back(dialog.GetVisibleBox()->GetValue().utf8_string());
        EXPECT_FALSE(dialog.GetNextButton()->IsEnabled()) << "the last row";
        EXPECT_TRUE(dialog.GetPreviousButton()->IsEnabled());
        EXPECT_EQ(m_grid->GetRow(), 4) << "the grid follows";
        for (int row = 3; row >= 1; --row)
            dialog.ShowRow(row);
        seen.push_back(dialog.GetVisibleBox()->GetValue().utf8_string());
        EXPECT_TRUE(dialog.GetNextButton()->IsEnabled());
        EXPECT_FALSE(dialog.GetPreviousButton()->IsEnabled()) << "the first row";
        // Word wrap moves the value to the wrapping box.
        dialog.GetWordWrapBox()->SetValue(true);
        wxCommandEvent check(wxEVT_CHECKBOX, CGridViewContentsDlg::kWordWrapId);
        check.SetInt(1);
        dialog.GetWordWrapBox()->GetEventHandler()->ProcessEvent(check);
        EXPECT_EQ(dialog.GetVisibleBox()->GetId(), CGridViewContentsDlg::kWrapId);
        EXPECT_EQ(dialog.GetVisibleBox()->GetValue(), "alice");
        return wxID_OK;
    });
    Command(View(), ID_VIEW_CONTENTS);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(seen, (Strings{"Bob", "\xC3\x89mile", "alice"}));
    EXPECT_EQ(settings::ReadInt(settings::GridViewContents), 1);

    // A double click on a data cell opens it there, word wrap as it was left; on a header nothing.
    DialogScript again;
    again.Expect<CGridViewContentsDlg>([&](CGridViewContentsDlg& dialog) {
        EXPECT_TRUE(dialog.GetWordWrapBox()->GetValue());
        EXPECT_EQ(dialog.GetVisibleBox()->GetId(), CGridViewContentsDlg::kWrapId);
        EXPECT_EQ(dialog.GetVisibleBox()->GetValue(), "2.25");
        EXPECT_EQ(dialog.GetTitle(), "View Contents -- amount");
        return wxID_OK;
    });
    DoubleClick(0, 3);
    EXPECT_FALSE(again.Done());
    DoubleClick(4, 3);
    EXPECT_TRUE(again.Done());
}

namespace {

// A grid of numbers whose type SQLite does not declare (a VALUES list and an expression on it).
class GridSortExpressionTest : public GridSortWindowTest {
protected:
    void SetUp() override
    {
        GridWindowTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        RunToEnd("SELECT column1 AS n, column1 * 2 - 1 AS m FROM (VALUES (10), (2), (30), (-1), (0)) AS v");
        m_grid = View().GetCurrentGrid();
        ASSERT_TRUE(m_grid && m_grid->IsShown());
    }
};

} // namespace

TEST_P(GridSortExpressionTest, NumbersSortByValueWithZeroAndNegatives)
{
    settings::WriteInt(settings::SortColumn, 1);
    ClickHeader(1);
    EXPECT_EQ(Column(1), (Strings{"30", "10", "2", "0", "-1"}));
    ClickHeader(2);
    EXPECT_EQ(Column(2), (Strings{"59", "19", "3", "-1", "-3"}));
}

TORVANE_INSTANTIATE_FOR_DRIVERS(GridSortWindowTest);
TORVANE_INSTANTIATE_FOR_DRIVERS(GridSortExpressionTest);
