// Query windows with results grids, on SQLite and PostgreSQL under Xvfb: runs started with the
// window's Execute fill its grids, which the tests read and walk as a person does.
#include "app/MainFrame.h"
#include "app/TorvaneApp.h"
#include "common/CommandIds.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "query/ChildFrame.h"
#include "query/ExportDialogs.h"
#include "query/GoToGridDlg.h"
#include "query/MSHFlexGrid.h"
#include "query/QueryKeyRouting.h"
#include "query/ResultCommands.h"
#include "query/ResultTable.h"
#include "query/ResultView.h"
#include "querycore/DataLinkFields.h"
#include "schema/SchemaView.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestTiming.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"
#include "GridWindowFixture.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/stc/stc.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <optional>

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::DialogScript;
using window_test::Main;
using window_test::Pump;
using window_test::PumpUntil;

using namespace grid_test;

TEST_P(GridWindowTest, EveryResultSetGetsAGridOfItsOwn)
{
    Exec("CREATE TABLE t (id INTEGER, name VARCHAR(20))");
    RunToEnd("INSERT INTO t VALUES (1, 'one'), (2, 'two'), (3, 'three');\n"
             "SELECT id, name FROM t ORDER BY id;\n"
             "SELECT id FROM t WHERE id > 5;\n"
             "SELECT 'x' AS a, 'y' AS b, 'z' AS c");

    CMSHFlexGrid* first = m_frame->GetResultGrid(1);
    CMSHFlexGrid* empty = m_frame->GetResultGrid(2);
    CMSHFlexGrid* third = m_frame->GetResultGrid(3);
    ASSERT_TRUE(first && empty && third);
    EXPECT_FALSE(m_frame->GetResultGrid(4));

    // Rows and columns in the grid's own coordinates: header row 0, row numbers in column 0.
    EXPECT_EQ(first->GetRows(), 4);
    EXPECT_EQ(first->GetCols(), 3);
    EXPECT_EQ(first->GetTextMatrix(0, 1), "id");
    EXPECT_EQ(first->GetTextMatrix(0, 2), "name");
    EXPECT_EQ(first->GetTextMatrix(3, 0), "3");
    EXPECT_EQ(first->GetTextMatrix(3, 2), "three");
    EXPECT_EQ(first->GetTextMatrix(1, 1), "1");
    EXPECT_EQ(CResultView::GetGridHasRows(first), -1);

    // A result without rows: the header and one row numbered 0.
    EXPECT_EQ(empty->GetRows(), 2);
    EXPECT_EQ(empty->GetCols(), 2);
    EXPECT_EQ(empty->GetTextMatrix(1, 0), "0");
    EXPECT_EQ(CResultView::GetGridHasRows(empty), 0);

    EXPECT_EQ(third->GetCols(), 4);
    EXPECT_EQ(third->GetTextMatrix(1, 3), "z");

    // The first grid is shown at the end of the batch, the others wait.
    EXPECT_TRUE(first->IsShown());
    EXPECT_FALSE(empty->IsShown());
    EXPECT_EQ(View().GetCurrentGrid(), first);
    EXPECT_EQ(Pane(3), "Results grid #1 of 3; 3 row(s); 2 col(s)");

    EXPECT_EQ(ShownMessages(*m_frame), "(3 row(s) affected)\n\n"
                                       "[3 row(s) returned (application specific)]\n\n"
                                       "[0 row(s) returned (application specific)]\n\n"
                                       "[1 row(s) returned (application specific)]");
    EXPECT_TRUE(first->IsShown()) << "back from the messages to the grid";

    // Column widths come from the names and the first rows, within the widest a column gets.
    EXPECT_GT(first->GetColSize(1), first->GetColSize(0)) << "'three' is wider than '3'";
    EXPECT_LE(first->GetColWidthTwips(2), 5160);
}

TEST_P(GridWindowTest, WalkingThroughTheGrids)
{
    RunToEnd("SELECT 1 AS a; SELECT 2 AS b, 3 AS c; SELECT 4 AS d");
    // What the result-set pane shows of each grid.
    const wxString shown[] = {"", "Results grid #1 of 3; 1 row(s); 1 col(s)", "Results grid #2 of 3; 1 row(s); 2 col(s)",
                              "Results grid #3 of 3; 1 row(s); 1 col(s)"};
    const auto expectShown = [&](int n, const char* when) {
        EXPECT_EQ(Pane(3), shown[n]) << when;
        for (int grid = 1; grid <= 3; ++grid)
            EXPECT_EQ(m_frame->GetResultGrid(grid)->IsShown(), grid == n) << when << ", grid " << grid;
    };

    // The run ends on the first grid: nothing before it.
    expectShown(1, "after the run");
    EXPECT_FALSE(IsEnabled(*m_frame, ID_PREVIOUS_GRID));
    EXPECT_FALSE(IsEnabled(*m_frame, ID_FIRST_GRID));
    EXPECT_TRUE(IsEnabled(*m_frame, ID_NEXT_GRID));
    EXPECT_TRUE(IsEnabled(*m_frame, ID_GO_TO_GRID));
    Command(*m_frame, ID_NEXT_GRID);
    expectShown(2, "Next");

    Command(*m_frame, ID_LAST_GRID);
    expectShown(3, "Last");
    EXPECT_FALSE(IsEnabled(*m_frame, ID_NEXT_GRID));
    EXPECT_FALSE(IsEnabled(*m_frame, ID_LAST_GRID));
    Command(*m_frame, ID_NEXT_GRID);
    expectShown(3, "Next on the last grid does nothing");

    Command(*m_frame, ID_FIRST_GRID);
    expectShown(1, "First");
    Command(*m_frame, ID_PREVIOUS_GRID);
    expectShown(1, "Previous on the first grid does nothing");

    // Go To clamps the number to the grids there are.
    for (const auto& [entered, number] : {std::pair{0, 1}, std::pair{99, 3}, std::pair{2, 2}}) {
        DialogScript script;
        script.Expect<CGoToGridDlg>([entered](CGoToGridDlg& dialog) {
            dialog.m_nGridNumber = entered;
            return wxID_OK;
        });
        Command(*m_frame, ID_GO_TO_GRID);
        EXPECT_EQ(script.Answered(), 1);
        expectShown(number, "Go To");
    }
}

TEST_P(GridWindowTest, CellTextsByType)
{
    if (IsPostgres()) {
        Exec("CREATE TABLE v (i INTEGER, d DOUBLE PRECISION, n NUMERIC(10,2), t TEXT, u TEXT, z TEXT, "
             "b BOOLEAN, raw BYTEA, str BYTEA, day DATE, long TEXT)");
        Exec("INSERT INTO v VALUES (42, 2.5, 12.34, E'one\\ntwo\\tthree', 'Zürich 東京 😀', NULL, true, "
             "'\\x00ff10'::bytea, 'ABC\\000'::bytea, '2024-01-02', repeat('x', 10000))");
    } else {
        Exec("CREATE TABLE v (i INTEGER, d REAL, n NUMERIC(10,2), t TEXT, u TEXT, z TEXT, b INTEGER, raw BLOB, "
             "str BLOB, day DATE, long TEXT)");
        // The SQLite driver takes statement text in the local code page: the Unicode text is built
        // from its code points.
        Exec("INSERT INTO v VALUES (42, 2.5, 12.34, 'one' || char(10) || 'two' || char(9) || 'three', "
             "'Z' || char(252) || 'rich ' || char(26481, 20140) || ' ' || char(128512), NULL, 1, x'00ff10', "
             "x'41424300', '2024-01-02', "
             "replace(hex(zeroblob(5000)), '0', 'x'))");
    }
    RunToEnd("SELECT i, d, n, t, u, z, b, raw, str, day, long FROM v");
    CMSHFlexGrid* grid = m_frame->GetResultGrid(1);
    ASSERT_TRUE(grid);
    const auto cell = [grid](const char* name) {
        for (int c = 1; c < grid->GetCols(); ++c) {
            if (grid->GetTextMatrix(0, c) == name)
                return grid->GetTextMatrix(1, c);
        }
        return wxString("<no such column>");
    };
    EXPECT_EQ(cell("i"), "42");
    EXPECT_EQ(cell("d"), "2.5");
    EXPECT_EQ(cell("n"), "12.34");
    EXPECT_EQ(cell("t"), "one\ntwo\tthree") << "the cell keeps its text";
    EXPECT_EQ(cell("u").utf8_string(), "Zürich 東京 😀");
    EXPECT_EQ(cell("z"), "") << "NULL";
    EXPECT_EQ(cell("b"), "1");
    EXPECT_EQ(cell("raw"), "<Binary/Raw>");
    EXPECT_EQ(cell("str"), "ABC") << "a zero-terminated text in bytes";
    EXPECT_TRUE(cell("day").StartsWith("2024-01-02")) << cell("day");
    EXPECT_EQ(cell("long").length(), 10000u);

    // Drawn on one line, long text cut, the rows keep their height and cells their width.
    CResultTable* table = grid->GetResultTable();
    EXPECT_EQ(table->GetValue(0, 3), "one two three");
    EXPECT_EQ(table->GetValue(0, 10).length(), CResultTable::kMaxShownChars);
    EXPECT_EQ(grid->GetRowSize(0), grid->GetDefaultRowSize());
    EXPECT_LE(grid->GetColWidthTwips(11), 5160);
    EXPECT_FALSE(grid->GetDefaultCellOverflow());
}

TEST_P(GridWindowTest, WideResultScrollsSideways)
{
    std::string sql = "SELECT 1 AS c1";
    for (int c = 2; c <= 80; ++c)
        sql += ", 'value of column " + std::to_string(c) + "' AS c" + std::to_string(c);
    RunToEnd(sql);
    CMSHFlexGrid* grid = m_frame->GetResultGrid(1);
    ASSERT_TRUE(grid && grid->IsShown());
    EXPECT_EQ(grid->GetCols(), 81);
    EXPECT_GT(grid->CellToRect(0, 79).GetRight(), grid->GetClientSize().GetWidth());
    EXPECT_EQ(grid->GetLeftCol(), 1);
    grid->SetLeftCol(70);
    Pump();
    EXPECT_GE(grid->GetLeftCol(), 60);
    EXPECT_TRUE(grid->ColIsVisible(80) || grid->ColIsVisible(70));
}

TEST_P(GridWindowTest, GridsFillWhileTheRunGoes)
{
    StartRun(*m_frame, CountingQuery(300000));
    // The first grid shows once its columns are sized at row 25, long before the last row.
    ASSERT_TRUE(PumpUntil([&] { return m_frame->GetResultGrid(1) && m_frame->GetResultGrid(1)->IsShown(); },
                          Scaled(30s)));
    CMSHFlexGrid* grid = m_frame->GetResultGrid(1);
    EXPECT_TRUE(m_frame->IsExecuting());
    EXPECT_FALSE(IsEnabled(View(), ID_EDIT_CLEAR_ALL));

    // The grid learns new rows from its timer while rows come.
    int seen = grid->GetRows();
    ASSERT_TRUE(PumpUntil([&] { return grid->GetRows() > seen + 700; }, Scaled(30s)));
    seen = grid->GetRows();
    EXPECT_LT(seen, 300001);

    ASSERT_TRUE(WaitForRunEnd(*m_frame));
    EXPECT_EQ(Pane(0), "Query batch completed");
    EXPECT_EQ(grid->GetRows(), 300001);
    EXPECT_EQ(grid->GetTextMatrix(300000, 0), "300000");
    EXPECT_EQ(grid->GetTextMatrix(300000, 2), "600000");
    EXPECT_EQ(Pane(3), "Results grid #1 of 1; 300000 row(s); 2 col(s)");
    // The row numbers fit their column.
    EXPECT_GE(grid->GetRowLabelSize(), grid->GetTextExtent("300000").GetWidth());
}

TEST_P(GridWindowTest, ClearAllIsRefusedDuringARunAndAsksOtherwise)
{
    StartEndlessRun();
    CMSHFlexGrid* grid = m_frame->GetResultGrid(1);

    // During a run nothing is asked and nothing goes, whatever the stale menu state said.
    {
        CMessageScript script{wxID_YES};
        Command(View(), ID_EDIT_CLEAR_ALL);
        EXPECT_TRUE(script.Texts().empty());
    }
    EXPECT_EQ(m_frame->GetResultGrid(1), grid);
    EXPECT_TRUE(grid->IsShown());
    CancelRun();
    EXPECT_EQ(Pane(0), "Query batch canceled");
    const wxString shown = Pane(3);
    EXPECT_TRUE(shown.StartsWith("Results grid #1 of 1; ")) << shown;

    {
        CMessageScript script{wxID_NO};
        Command(View(), ID_EDIT_CLEAR_ALL);
        ASSERT_EQ(script.Texts().size(), 1u);
        EXPECT_EQ(script.Texts()[0],
                  "The requested operation cannot be undone. Are you sure you wish to continue?");
    }
    EXPECT_EQ(m_frame->GetResultGrid(1), grid);
    EXPECT_EQ(Pane(3), shown);

    // Yes on the grid clears the grids, and the messages show; Yes on those clears them too.
    {
        CMessageScript script{wxID_YES};
        Command(View(), ID_EDIT_CLEAR_ALL);
        EXPECT_EQ(script.Texts().size(), 1u);
    }
    EXPECT_FALSE(m_frame->GetResultGrid(1));
    EXPECT_EQ(View().GetCurrentGrid(), nullptr);
    EXPECT_EQ(Pane(3), "Messages");
    EXPECT_TRUE(View().GetText().Contains("Query canceled by user.")) << View().GetText();
    {
        CMessageScript script{wxID_YES};
        Command(View(), ID_EDIT_CLEAR_ALL);
        EXPECT_EQ(script.Texts().size(), 1u);
    }
    EXPECT_FALSE(m_frame->IsOutputPaneShown()) << "nothing left to show";
    EXPECT_FALSE(View().IsShown());
    EXPECT_EQ(Pane(3), "");
    EXPECT_FALSE(IsEnabled(*m_frame, ID_VIEW_OUTPUT)) << "nor to show again";
}

TEST_P(GridWindowTest, CopyAndKeysInAGrid)
{
    RunToEnd("SELECT 'a1' AS a, 'b1' AS b UNION ALL SELECT 'a2', 'b2' UNION ALL SELECT 'a3', 'b3'");
    CMSHFlexGrid* grid = m_frame->GetResultGrid(1);
    ASSERT_TRUE(grid && grid->IsShown());

    grid->SetSelection(3, 2, 2, 1);
    const std::string reversed = View().GetGridSelectionText(true);
    grid->SetSelection(2, 1, 3, 2);
    EXPECT_EQ(View().GetGridSelectionText(true), reversed) << "the direction of the drag does not matter";
    EXPECT_EQ(reversed, "a\tb\r\na2\tb2\r\na3\tb3");
    EXPECT_EQ(View().GetGridSelectionText(false), "a2\tb2\r\na3\tb3");

    Command(View(), ID_EDIT_SELECT_ALL);
    EXPECT_EQ(View().GetGridSelectionText(false), "a1\tb1\r\na2\tb2\r\na3\tb3");

    // Enter moves down and stops at the last row; Tab runs along the row and on to the next,
    // but not past the last cell; Shift+Tab goes back, not past the first cell.
    grid->SetCurrentCell(2, 2);
    PressKey(*grid, WXK_TAB);
    EXPECT_EQ(std::pair(grid->GetRow(), grid->GetCol()), std::pair(3, 1));
    PressKey(*grid, WXK_TAB);
    PressKey(*grid, WXK_TAB);
    EXPECT_EQ(std::pair(grid->GetRow(), grid->GetCol()), std::pair(3, 2));
    PressKey(*grid, WXK_RETURN);
    EXPECT_EQ(grid->GetRow(), 3);
    PressKey(*grid, WXK_RETURN, true);
    EXPECT_EQ(grid->GetRow(), 2);
    grid->SetCurrentCell(2, 1);
    PressKey(*grid, WXK_TAB, true);
    EXPECT_EQ(std::pair(grid->GetRow(), grid->GetCol()), std::pair(1, 2));
    PressKey(*grid, WXK_TAB, true);
    PressKey(*grid, WXK_TAB, true);
    EXPECT_EQ(std::pair(grid->GetRow(), grid->GetCol()), std::pair(1, 1));
    PressKey(*grid, WXK_RETURN, true);
    EXPECT_EQ(grid->GetRow(), 1);
}

TEST_P(GridWindowTest, PanesAndStatusBar)
{
    RunToEnd("SELECT 1 AS a");
    CMSHFlexGrid* grid = m_frame->GetResultGrid(1);
    ASSERT_TRUE(grid && grid->IsShown());
    wxStatusBar& bar = *m_frame->GetQueryStatusBar();
    EXPECT_EQ(bar.GetFieldsCount(), 5);

    // The caret pane follows the pane with the focus.
    m_frame->ActivateResultsPane();
    m_frame->UpdateStatusPanes();
    EXPECT_EQ(bar.GetStatusText(4), "Ln 1, Col 1");
    m_frame->ActivateSchemaPane();
    m_frame->UpdateStatusPanes();
    EXPECT_EQ(bar.GetStatusText(4), "");

    // The autocommit pane is green while autocommit is on, red in a window opened with it off.
    EXPECT_EQ(m_frame->GetQueryStatusBar()->GetAutoCommitColour(), wxColour(0, 128, 0));
    {
        CSettingsStore::Get().WriteProfileInt("Configure", "Auto Commit", 0);
        CMessageScript quiet;
        CTorvaneDoc* doc = Main().NewQueryWindow(AdoForm(ConnectionString()));
        CSettingsStore::Get().DeleteKey("Configure", "Auto Commit");
        ASSERT_TRUE(doc);
        CChildFrame* manual = QueryFrameOf(doc);
        ASSERT_TRUE(manual);
        EXPECT_EQ(manual->GetQueryStatusBar()->GetAutoCommitColour(), wxColour(128, 0, 0));
        manual->GetQueryDoc()->Modify(false);
        CMessageScript noCommit{wxID_NO};
        manual->Close(true);
        Pump();
        m_frame->Activate();
        Pump();
    }

    // Hiding the output pane while the results have the focus moves it to the schema, or to the
    // editor without one; the panes of a hidden output show nothing.
    m_frame->ActivateResultsPane();
    Command(*m_frame, ID_VIEW_OUTPUT);
    EXPECT_FALSE(m_frame->IsOutputPaneShown());
    EXPECT_FALSE(View().IsShown());
    EXPECT_EQ(bar.GetStatusText(3), "");
    EXPECT_EQ(bar.GetStatusText(2), "");
    Command(*m_frame, ID_VIEW_OUTPUT);
    EXPECT_TRUE(m_frame->IsOutputPaneShown());
    EXPECT_TRUE(View().IsShown());
    EXPECT_EQ(bar.GetStatusText(3), "Results grid #1 of 1; 1 row(s); 1 col(s)");

    // The keys of the pane commands: Alt+2 the output, Alt+0 and Ctrl+M the schema.
    const auto key = [this](int code, bool alt, bool ctrl) {
        wxKeyEvent event(wxEVT_CHAR_HOOK);
        event.m_keyCode = code;
        event.m_altDown = alt;
        event.m_controlDown = ctrl;
        event.SetEventObject(m_frame);
        m_frame->ProcessWindowEvent(event);
        Pump();
    };
    key('2', true, false);
    EXPECT_FALSE(m_frame->IsOutputPaneShown());
    key('2', true, false);
    EXPECT_TRUE(m_frame->IsOutputPaneShown());
    key('0', true, false);
    EXPECT_FALSE(m_frame->IsSchemaPaneShown());
    key('M', false, true);
    EXPECT_TRUE(m_frame->IsSchemaPaneShown());

    // During a run the output pane stays as it is, whatever key asks.
    StartEndlessRun();
    key('2', true, false);
    EXPECT_TRUE(m_frame->IsOutputPaneShown());
    EXPECT_TRUE(View().IsShown());
    CancelRun();
    key('2', true, false);
    EXPECT_FALSE(m_frame->IsOutputPaneShown()) << "and after it Alt+2 works again";
}

// Focus moves need the window to hold the display's focus: the test runs on its own.
TEST_P(GridWindowTest, FocusMovesBetweenPanes)
{
    RunToEnd("SELECT 1 AS a");
    CMSHFlexGrid* grid = m_frame->GetResultGrid(1);
    ASSERT_TRUE(grid && grid->IsShown());
    m_frame->ActivateResultsPane();
    Command(*m_frame, ID_VIEW_OUTPUT);
    EXPECT_EQ(wxWindow::FindFocus(), m_frame->GetSchemaView()) << "hiding the output moves the focus to the schema";
    Command(*m_frame, ID_VIEW_OUTPUT);

    Command(*m_frame, ID_VIEW_SCHEMA);
    EXPECT_FALSE(m_frame->IsSchemaPaneShown());
    m_frame->ActivateResultsPane();
    Command(*m_frame, ID_VIEW_OUTPUT);
    wxWindow* editor = m_frame->GetQueryView()->GetEditCtrl();
    EXPECT_EQ(wxWindow::FindFocus(), editor);

    // F6 from the editor with both other panes hidden stays in the editor.
    Command(*m_frame, ID_NEXT_PANE);
    EXPECT_EQ(wxWindow::FindFocus(), editor);
    Command(*m_frame, ID_VIEW_OUTPUT);
    editor->SetFocus();
    Command(*m_frame, ID_NEXT_PANE);
    EXPECT_EQ(wxWindow::FindFocus(), grid) << "results, shown as the grid";
    Command(*m_frame, ID_NEXT_PANE);
    EXPECT_EQ(wxWindow::FindFocus(), editor) << "schema hidden";
    Command(*m_frame, ID_VIEW_SCHEMA);
    EXPECT_EQ(wxWindow::FindFocus(), m_frame->GetSchemaView()) << "a schema pane shown again takes the focus";
    editor->SetFocus();
    Command(*m_frame, ID_PREVIOUS_PANE);
    EXPECT_EQ(wxWindow::FindFocus(), m_frame->GetSchemaView());
    Command(*m_frame, ID_PREVIOUS_PANE);
    EXPECT_EQ(wxWindow::FindFocus(), grid) << "from the schema back to the results";
}

namespace {

// A left click through the display at a point of a window, once the pointer is there.
void ClickAt(wxWindow& window, const wxPoint& at)
{
    const wxPoint target = window.ClientToScreen(at);
    wxUIActionSimulator mouse;
    mouse.MouseMove(target);
    EXPECT_TRUE(PumpUntil([target] { return wxGetMousePosition() == target; }, Scaled(10s)))
        << "the pointer did not move";
    mouse.MouseClick();
}

// The grid or one of its parts has the focus.
bool HasTheFocus(wxGrid& grid)
{
    wxWindow* focus = wxWindow::FindFocus();
    return focus && (focus == &grid || focus->GetParent() == &grid);
}

// Ctrl+C through the display to the grid after the clipboard was emptied; what it holds once
// the grid has had the key.
std::string CopiedWithCtrlC(wxGrid& grid)
{
    if (wxTheClipboard->Open()) {
        wxTheClipboard->SetData(new wxTextDataObject("nothing copied"));
        wxTheClipboard->Close();
    }
    // The release comes after the press, which copies.
    bool released = false;
    const auto onKeyUp = [&released](wxKeyEvent& event) {
        event.Skip();
        released = released || event.GetKeyCode() == 'C';
    };
    grid.Bind(wxEVT_KEY_UP, onKeyUp);
    wxUIActionSimulator().Char('c', wxMOD_CONTROL);
    EXPECT_TRUE(PumpUntil([&released] { return released; }, Scaled(10s))) << "the grid did not get the key";
    grid.Unbind(wxEVT_KEY_UP, onKeyUp);
    return ClipboardText();
}

} // namespace

// The clicks and keys go through the display, whose focus the test needs: it runs on its own.
TEST_P(GridWindowTest, ClipboardCopyAfterAHeaderClickFocusesTheGrid)
{
    RunToEnd("SELECT 'a1' AS a, 'b1' AS b UNION ALL SELECT 'a2', 'b2' UNION ALL SELECT 'a3', 'b3'");
    CMSHFlexGrid* grid = m_frame->GetResultGrid(1);
    ASSERT_TRUE(grid && grid->IsShown());
    wxStyledTextCtrl* editor = m_frame->GetQueryView()->GetEditCtrl();
    editor->SetText("select 'the editor text'");
    const auto editorHasTheFocus = [&] {
        m_frame->Raise();
        editor->SetFocus();
        editor->SelectAll();
        return PumpUntil([editor] { return wxWindow::FindFocus() == editor; }, Scaled(10s));
    };

    // A click on the second row's number selects that row, and Ctrl+C copies it under the
    // field names.
    Main().SharedSettings().m_bCopyColNames = 1;
    ASSERT_TRUE(editorHasTheFocus());
    const wxRect row2 = grid->CellToRect(1, 0);
    const wxPoint rowLabel(grid->GetRowLabelSize() / 2,
                           grid->CalcScrolledPosition(wxPoint(0, row2.y + row2.height / 2)).y);
    ClickAt(*grid->GetGridRowLabelWindow(), rowLabel);
    EXPECT_TRUE(PumpUntil([grid] { return HasTheFocus(*grid); }, Scaled(10s)));
    EXPECT_EQ(CopiedWithCtrlC(*grid), "a\tb\r\na2\tb2");

    // A click on the corner selects every cell.
    ASSERT_TRUE(editorHasTheFocus());
    wxWindow& corner = *grid->GetGridCornerLabelWindow();
    ClickAt(corner, wxPoint(corner.GetClientSize().x / 2, corner.GetClientSize().y / 2));
    EXPECT_TRUE(PumpUntil([grid] { return HasTheFocus(*grid); }, Scaled(10s)));
    EXPECT_EQ(CopiedWithCtrlC(*grid), "a\tb\r\na1\tb1\r\na2\tb2\r\na3\tb3");
}

// The keys go through the display, whose focus the test needs: it runs on its own.
TEST_P(GridWindowTest, MenuKeysWithTheFocusInAGridOpenItsMenuAtTheCurrentCell)
{
    RunToEnd(CountingQuery(60));
    CMSHFlexGrid* grid = m_frame->GetResultGrid(1);
    ASSERT_TRUE(grid && grid->IsShown());
    m_frame->Raise();
    grid->SetFocus();
    ASSERT_TRUE(PumpUntil([grid] { return HasTheFocus(*grid); }, Scaled(10s)));
    grid->SetCurrentCell(40, 2);

    for (const int modifiers : {int(wxMOD_SHIFT), int(wxMOD_NONE)}) {
        SCOPED_TRACE(modifiers == wxMOD_SHIFT ? "Shift+F10" : "the menu key");
        const std::optional<bool> viewContents = window_test::ContextMenuOffers(
            View(), ID_VIEW_CONTENTS,
            [modifiers] { wxUIActionSimulator().Char(modifiers == wxMOD_SHIFT ? WXK_F10 : WXK_MENU, modifiers); },
            Scaled(10s));
        ASSERT_TRUE(viewContents.has_value()) << "no context menu opened";
        // The grid's menu, for the current cell brought into view.
        EXPECT_TRUE(viewContents.value_or(false));
        EXPECT_EQ(std::pair(grid->GetRow(), grid->GetCol()), std::pair(40, 2));
        EXPECT_TRUE(grid->RowIsVisible(40));
        grid->SetFocus();
        ASSERT_TRUE(PumpUntil([grid] { return HasTheFocus(*grid); }, Scaled(10s)));
    }
}

// The share of the editor in the height of the editor and results panes, and of the schema in
// the width of the schema and editor panes, as they stand on the screen.
std::pair<double, double> PaneShares(CChildFrame& frame)
{
    const wxRect schema = frame.GetSchemaView()->GetScreenRect();
    const wxRect editor = frame.GetEditorPane()->GetScreenRect();
    const wxRect results = frame.GetResultView()->GetScreenRect();
    return {double(editor.height) / (editor.height + results.height),
            double(schema.width) / (schema.width + editor.width)};
}

TEST_P(GridWindowTest, PanesKeepTheirSharesThroughResizesOfTheMainWindow)
{
    RunToEnd(CountingQuery(30));
    const wxSize original = Main().GetSize();
    const auto resize = [this](const wxSize& size) {
        const wxSize before = m_frame->GetSize();
        Main().SetSize(size);
        PumpUntil([this, before] { return m_frame->GetSize() != before; }, Scaled(5s));
        Pump();
    };
    const auto expectShares = [this](std::pair<double, double> expected, const char* when) {
        const auto [editor, schema] = PaneShares(*m_frame);
        EXPECT_NEAR(editor, expected.first, 0.02) << when;
        EXPECT_NEAR(schema, expected.second, 0.02) << when;
    };
    resize(wxSize(1200, 900));
    const auto shares = PaneShares(*m_frame);
    EXPECT_NEAR(shares.first, 2.0 / 3, 0.03);
    EXPECT_NEAR(shares.second, 0.25, 0.03);
    for (int cycle = 0; cycle < 3; ++cycle) {
        resize(wxSize(560, 400));
        expectShares(shares, "shrunk");
        resize(wxSize(1200, 900));
        expectShares(shares, "grown again");
    }
    // A hidden results pane comes back at its share of the size the window has by then.
    Command(*m_frame, ID_VIEW_OUTPUT);
    resize(wxSize(900, 700));
    Command(*m_frame, ID_VIEW_OUTPUT);
    expectShares(shares, "shown again");
    resize(original);
}

TEST_P(GridWindowTest, ScreenshotOfAWindowWithTwoGrids)
{
    if (IsPostgres())
        GTEST_SKIP() << "one screenshot is enough";
    Exec("CREATE TABLE city (id INTEGER, name VARCHAR(40), country VARCHAR(40), population INTEGER, note TEXT)");
    // Unicode names from their code points: the driver reads statement text in the local code page.
    Exec("INSERT INTO city VALUES (1, 'Z' || char(252) || 'rich', 'Switzerland', 421878, 'two' || char(10) || "
         "'lines'), (2, char(26481, 20140), 'Japan', 13960000, NULL), (3, 'S' || char(227) || 'o Paulo', 'Brazil', "
         "12330000, 'tab' || char(9) || 'here')");
    RunToEnd("SELECT * FROM city;\n" + CountingQuery(40) + ";\n");
    EXPECT_EQ(Pane(3), "Results grid #1 of 2; 3 row(s); 5 col(s)");
    ASSERT_TRUE(ResizeMainWindow(wxSize(1200, 800), *m_frame->GetResultGrid(1)->GetGridWindow()));
    wxWindow* top = &Main();
    const wxRect rect = top->GetScreenRect();
    wxScreenDC screen;
    wxBitmap bitmap(rect.GetWidth(), rect.GetHeight());
    {
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, rect.GetWidth(), rect.GetHeight(), &screen, rect.GetX(), rect.GetY());
    }
    wxFileName::Mkdir(TORVANE_ARTIFACTS_DIR, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    const wxString path = wxString(TORVANE_ARTIFACTS_DIR) + "/query-window-two-grids.png";
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    ASSERT_TRUE(bitmap.ConvertToImage().SaveFile(path, wxBITMAP_TYPE_PNG));
    EXPECT_TRUE(wxFileName::FileExists(path));
}

TORVANE_INSTANTIATE_FOR_DRIVERS(GridWindowTest);

TEST(GoToGridDialog, EntryIsRequiredAndReadAsALeadingNumber)
{
    REQUIRE_DISPLAY();
    for (const auto& [entry, number] : {std::pair{"12ab", 12}, std::pair{" 7 ", 7}, std::pair{"0", 0}}) {
        CGoToGridDlg dialog(&Main(), 1);
        dialog.GetEdit()->SetValue(entry);
        CMessageScript script;
        EXPECT_TRUE(dialog.ReadGridNumber());
        EXPECT_TRUE(script.Texts().empty());
        EXPECT_EQ(dialog.m_nGridNumber, number) << entry;
    }
    CGoToGridDlg dialog(&Main(), 3);
    EXPECT_EQ(dialog.GetEdit()->GetValue(), "3");
    dialog.GetEdit()->SetValue("   ");
    CMessageScript script;
    EXPECT_FALSE(dialog.ReadGridNumber());
    ASSERT_EQ(script.Texts().size(), 1u);
    EXPECT_EQ(script.Texts()[0], "<Grid number> is a required field.");
}


TEST_P(GridWindowTest, SaveAsOfAShownGridAndSaveSelectionWriteItsCells)
{
    RunToEnd(CountingQuery(3));
    ASSERT_TRUE(View().IsGridVisible());
    m_frame->Activate();
    m_frame->ActivateResultsPane();
    Pump();
    CMSHFlexGrid* grid = View().GetCurrentGrid();

    // Save As from the File menu, the results pane active: the grid, not the query file.
    const std::string whole = NewTempPath(".csv");
    {
        ExportAnswer answer(wxString::FromUTF8(whole), ",", true);
        wxMenuItem* saveAs = Main().GetMenuBar()->FindItem(ID_FILE_SAVE_AS);
        ASSERT_TRUE(saveAs);
        saveAs->GetMenu()->UpdateUI(Main().GetEventHandler());
        ASSERT_TRUE(saveAs->IsEnabled());
        EXPECT_TRUE(saveAs->GetMenu()->SendEvent(ID_FILE_SAVE_AS));
        Pump();
        EXPECT_EQ(answer.Titles(), std::vector<wxString>{"Save Grid Results"});
    }
    EXPECT_EQ(FileBytes(whole), "n,twice\r\n1,2\r\n2,4\r\n3,6");
    EXPECT_FALSE(m_frame->GetQueryDoc()->GetDocumentSaved());

    // Save Selection of the grid's context menu: the selected cells, dragged from the bottom up.
    grid->SetSelection(3, 2, 2, 1);
    const std::string part = NewTempPath(".csv");
    {
        ExportAnswer answer(wxString::FromUTF8(part), "|", false);
        Command(View(), ID_SAVE_SELECTION);
        EXPECT_EQ(answer.Titles(), std::vector<wxString>{"Save Selection"});
    }
    EXPECT_EQ(FileBytes(part), "2|4\r\n3|6");
}

TEST_P(GridWindowTest, SaveAsOfAGridOverAnExistingFileAsksFirst)
{
    RunToEnd(CountingQuery(2));
    ASSERT_TRUE(View().IsGridVisible());
    const std::string path = NewTempPath(".csv");
    for (const int answer : {wxID_NO, wxID_YES}) {
        SCOPED_TRACE(answer == wxID_NO ? "No" : "Yes");
        WriteFile(path, "the old file");
        CMessageScript question{answer};
        {
            ExportAnswer dialog(wxString::FromUTF8(path), ",", true);
            Command(View(), ID_FILE_SAVE_AS);
        }
        ASSERT_EQ(question.Texts().size(), 1u);
        EXPECT_EQ(question.Texts()[0], wxString::FromUTF8(path) + "\nThis file already exists.\nReplace existing file?");
        EXPECT_EQ(FileBytes(path), answer == wxID_NO ? "the old file" : "n,twice\r\n1,2\r\n2,4");
    }
}

// A grid shown in a window laid out long before, in the first window or in one opened after it,
// in a first run or a later one, takes its place on screen: asked to repaint, it paints its rows.
TEST_P(GridWindowTest, ShownGridsPaintTheirRows)
{
    CMessageScript quiet;
    CTorvaneDoc* doc = Main().NewQueryWindow(AdoForm(ConnectionString()));
    ASSERT_TRUE(doc);
    CChildFrame* second = QueryFrameOf(doc);
    ASSERT_TRUE(second);
    for (CChildFrame* frame : {m_frame, second, second}) {
        SCOPED_TRACE(frame == m_frame ? "first window" : "second window");
        frame->Raise();
        Pump();
        ASSERT_NO_FATAL_FAILURE(RunToEnd(*frame, CountingQuery(300)));
        CMSHFlexGrid* grid = frame->GetResultGrid(1);
        ASSERT_TRUE(grid);
        ASSERT_TRUE(grid->IsShownOnScreen());
        ASSERT_EQ(grid->GetResultTable()->GetShownRows(), 300u);
        EXPECT_TRUE(WaitForPaint(*grid->GetGridWindow())) << "the grid never painted its rows";
    }
}
