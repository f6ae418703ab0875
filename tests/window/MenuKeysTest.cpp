// The keys of the menus, sent through the display as a person types them, on SQLite and
// PostgreSQL: F5 runs what was typed, F4 and F8 walk the failed batches (Shift back), Ctrl+S writes the edited file, Ctrl+G goes to a line of
// the active pane or a row of its grid, Ctrl+H opens Replace, Alt+Break cancels a run, Alt+1 and
// Ctrl+L switch between messages and grid, Ctrl+N opens a window on the same connection, Ctrl+P
// checks for a printer. Keys go to whichever window has the display's focus: these tests run
// alone (their suite's name holds "Keyboard").
#include "app/MainFrame.h"
#include "common/SettingsTable.h"
#include "editor/GotoLineDlg.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "query/ChildFrame.h"
#include "query/MSHFlexGrid.h"
#include "query/ResultCommands.h"
#include "query/ResultView.h"
#include "query/SchemaPane.h"
#include "CleanDatabaseWindowTest.h"
#include "LongQuery.h"
#include "QueryWindowTest.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestTiming.h"
#include "WindowTestMain.h"

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/fdrepdlg.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/printdlg.h>
#include <wx/stc/stc.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <fstream>
#include <optional>

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::ContextMenuOffers;
using window_test::Main;
using window_test::Pump;
using window_test::PumpUntil;

namespace {

const auto kHang = Scaled(20s);

template <class Window>
Window* FindTopLevel()
{
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* found = dynamic_cast<Window*>(window); found && found->IsShown() && !found->IsBeingDeleted())
            return found;
    return nullptr;
}

class MenuKeyboard : public window_test::CleanDatabaseWindowTest {
protected:

    CChildFrame* Open(const std::optional<wxString>& file = std::nullopt)
    {
        CMessageScript messages;
        CTorvaneDoc* doc = Main().NewQueryWindow(wxString::FromUTF8(m_connect), file);
        EXPECT_TRUE(doc) << (messages.Texts().empty() ? wxString() : messages.Texts().front());
        CChildFrame* frame = QueryFrameOf(doc);
        if (frame)
            Focus(Editor(frame));
        return frame;
    }
    static wxStyledTextCtrl& Editor(CChildFrame* frame) { return *frame->GetQueryView()->GetEditCtrl(); }

    // The window gets the display's focus, and the control the window's.
    static void Focus(wxWindow& control)
    {
        Main().Raise();
        control.SetFocus();
        PumpUntil([] { return false; }, 300ms);
    }
    static void Key(int key, int modifiers = wxMOD_NONE)
    {
        wxUIActionSimulator().Char(key, modifiers);
        Pump();
    }
    static void Type(const wxString& text)
    {
        wxUIActionSimulator().Text(text.utf8_str());
        Pump();
    }
    static bool WaitForRunEnd(CChildFrame* frame)
    {
        return PumpUntil([frame] { return !frame->IsExecuting(); }, kHang);
    }
    static wxString Pane(CChildFrame* frame, int pane) { return window_test::StatusPane(*frame, pane); }
    // The run has ended with its one grid shown, as the result-set pane tells.
    static bool WaitForOneGrid(CChildFrame* frame)
    {
        return PumpUntil(
            [frame] { return !frame->IsExecuting() && Pane(frame, 3).StartsWith("Results grid #1 of 1;"); }, kHang);
    }
    // A window whose runs go on past a failed batch, having run sql from its start to the end;
    // null when it did not open or the run did not end.
    CChildFrame* RunPastFailures(const wxString& sql)
    {
        settings::WriteInt(settings::DoNotExecContinuously, 0);
        CChildFrame* frame = Open();
        settings::WriteInt(settings::DoNotExecContinuously, 1);
        if (!frame)
            return nullptr;
        Editor(frame).SetText(sql);
        Editor(frame).GotoPos(0);
        Key(WXK_F5);
        return WaitForRunEnd(frame) ? frame : nullptr;
    }

};

TEST_P(MenuKeyboard, F5RunsTheTypedQuery)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Type("select 42 as answer");
    ASSERT_TRUE(PumpUntil([frame] { return Editor(frame).GetText() == "select 42 as answer"; }, kHang))
        << Editor(frame).GetText();
    Key(WXK_F5);
    ASSERT_TRUE(WaitForOneGrid(frame)) << Pane(frame, 3);
    EXPECT_EQ(Pane(frame, 3), "Results grid #1 of 1; 1 row(s); 1 col(s)");
    EXPECT_EQ(frame->GetResultGrid(1)->GetTextMatrix(0, 1), "answer");
    EXPECT_EQ(frame->GetResultGrid(1)->GetTextMatrix(1, 1), "42");
    EXPECT_EQ(Pane(frame, 0), "Query batch completed");
}

// Side by side, the focus going into the other window's editor (a click into it) makes that
// window active, and what is typed next goes into that editor: the first keys are not lost to
// the window as a whole, where the tabs put the focus.
TEST_P(MenuKeyboard, AClickIntoAnotherTiledWindowTypesThere)
{
    CChildFrame* first = Open();
    CChildFrame* second = Open();
    ASSERT_TRUE(first && second);
    wxCommandEvent tile(wxEVT_MENU, ID_WINDOW_TILE_VERT);
    Main().GetEventHandler()->ProcessEvent(tile);
    PumpUntil([] { return false; }, 500ms);
    for (CChildFrame* frame : {first, second}) {
        SCOPED_TRACE(frame == first ? "first window" : "second window");
        wxStyledTextCtrl& editor = Editor(frame);
        ASSERT_NE(Main().GetActiveChild(), frame);
        ASSERT_TRUE(editor.IsShownOnScreen());
        // As a click into it does: the editor takes the focus, and its window becomes the active one.
        Main().Raise();
        editor.SetFocus();
        ASSERT_TRUE(PumpUntil([frame] { return Main().GetActiveChild() == frame; }, kHang));
        PumpUntil([] { return false; }, 300ms);
        Type("abc def");
        EXPECT_TRUE(PumpUntil([&editor] { return editor.GetText() == "abc def"; }, kHang)) << editor.GetText();
    }
}

TEST_P(MenuKeyboard, CtrlSWritesTheEditedFile)
{
    const std::string path = NewTempPath(".sql");
    WriteFile(path, "select 1;\n");
    CChildFrame* frame = Open(wxString::FromUTF8(path));
    ASSERT_TRUE(frame);
    Editor(frame).GotoPos(0);
    Type("-- edited");
    Key(WXK_RETURN);
    ASSERT_TRUE(PumpUntil([frame] { return Editor(frame).GetText() == "-- edited\nselect 1;\n"; }, kHang))
        << Editor(frame).GetText();
    EXPECT_TRUE(frame->GetQueryDoc()->IsModified());
    Key('s', wxMOD_CONTROL);
    EXPECT_TRUE(PumpUntil([&path] { return FileBytes(path) == "-- edited\nselect 1;\n"; }, kHang)) << FileBytes(path);
    EXPECT_FALSE(frame->GetQueryDoc()->IsModified());
}

TEST_P(MenuKeyboard, CtrlGGoesToALineOfTheActivePaneOrARowOfItsGrid)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    wxStyledTextCtrl& edit = Editor(frame);
    edit.SetText("select 1 as n\nunion all select 2\nunion all select 3\nunion all select 4\nunion all select 5");
    edit.GotoPos(0);

    // The editor's lines.
    Key('g', wxMOD_CONTROL);
    CGoToDlg* dialog = nullptr;
    ASSERT_TRUE(PumpUntil([&dialog] { return (dialog = FindTopLevel<CGoToDlg>()) != nullptr; }, kHang));
    auto* box = wxDynamicCast(dialog->FindWindow(CGoToDlg::IDC_LINE), wxTextCtrl);
    ASSERT_TRUE(PumpUntil([box] { return box->HasFocus(); }, kHang));
    EXPECT_EQ(box->GetValue(), "1");
    box->SelectAll();
    Type("4");
    Key(WXK_RETURN);
    EXPECT_TRUE(PumpUntil([&edit] { return edit.GetSelectedText() == "union all select 4"; }, kHang))
        << edit.GetSelectedText();
    Key(WXK_ESCAPE);
    ASSERT_TRUE(PumpUntil([] { return FindTopLevel<CGoToDlg>() == nullptr; }, kHang));

    // The rows of the grid the run shows.
    edit.SetSelection(0, 0);
    wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
    frame->GetEventHandler()->ProcessEvent(execute);
    ASSERT_TRUE(WaitForOneGrid(frame)) << Pane(frame, 3);
    CMSHFlexGrid* grid = frame->GetResultGrid(1);
    frame->ActivateResultsPane();
    Focus(*grid->GetGridWindow());
    Key('g', wxMOD_CONTROL);
    ASSERT_TRUE(PumpUntil([&dialog] { return (dialog = FindTopLevel<CGoToDlg>()) != nullptr; }, kHang));
    box = wxDynamicCast(dialog->FindWindow(CGoToDlg::IDC_LINE), wxTextCtrl);
    ASSERT_TRUE(PumpUntil([box] { return box->HasFocus(); }, kHang));
    EXPECT_EQ(box->GetValue(), wxString::Format("%d", grid->GetRow()));
    box->SelectAll();
    Type("3");
    Key(WXK_RETURN);
    EXPECT_TRUE(PumpUntil([grid] { return grid->GetRow() == 3; }, kHang)) << grid->GetRow();
    EXPECT_EQ(grid->GetCol(), 1);
    EXPECT_EQ(grid->GetColSel(), grid->GetCols() - 1);
    EXPECT_EQ(box->GetValue(), "");
    // With the box empty, Enter steps to the next row.
    Key(WXK_RETURN);
    EXPECT_TRUE(PumpUntil([grid] { return grid->GetRow() == 4; }, kHang)) << grid->GetRow();
    Key(WXK_ESCAPE);
    ASSERT_TRUE(PumpUntil([] { return FindTopLevel<CGoToDlg>() == nullptr; }, kHang));

    // The schema pane has no lines: the dialog's controls are off.
    frame->ActivateSchemaPane();
    Focus(*frame->GetSchemaView());
    Key('g', wxMOD_CONTROL);
    ASSERT_TRUE(PumpUntil([&dialog] { return (dialog = FindTopLevel<CGoToDlg>()) != nullptr; }, kHang));
    box = wxDynamicCast(dialog->FindWindow(CGoToDlg::IDC_LINE), wxTextCtrl);
    EXPECT_TRUE(PumpUntil([box] { return !box->IsEnabled(); }, kHang));
    EXPECT_FALSE(dialog->FindWindow(CGoToDlg::IDC_GOTO)->IsEnabled());
}

TEST_P(MenuKeyboard, CtrlHOpensReplace)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Editor(frame).SetText("select 1");
    Key('h', wxMOD_CONTROL);
    wxFindReplaceDialog* dialog = nullptr;
    ASSERT_TRUE(
        PumpUntil([&dialog] { return (dialog = FindTopLevel<wxFindReplaceDialog>()) != nullptr; }, kHang));
    EXPECT_TRUE(dialog->GetWindowStyle() & wxFR_REPLACEDIALOG);
}

TEST_P(MenuKeyboard, AltBreakCancelsTheRun)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Editor(frame).SetText(window_test::LongQuery(GetParam()));
    Key(WXK_F5);
    ASSERT_TRUE(window_test::WaitForLongQuery(*frame, GetParam(), m_connect));
    Key(WXK_PAUSE, wxMOD_ALT);
    ASSERT_TRUE(WaitForRunEnd(frame));
    EXPECT_EQ(Pane(frame, 0), "Query batch canceled");
    EXPECT_FALSE(window_test::LongQueryRunning(GetParam(), m_connect));
}

TEST_P(MenuKeyboard, AltOneAndCtrlLSwitchBetweenMessagesAndGrid)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Editor(frame).SetText("select 1 as a");
    Key(WXK_F5);
    ASSERT_TRUE(WaitForOneGrid(frame)) << Pane(frame, 3);
    ASSERT_TRUE(frame->GetResultView()->IsGridVisible());
    // The output pane hidden: the messages bring it back.
    frame->OnViewOutput();
    ASSERT_FALSE(frame->IsOutputPaneShown());
    Focus(Editor(frame));
    Key('1', wxMOD_ALT);
    EXPECT_TRUE(PumpUntil([frame] { return Pane(frame, 3) == "Messages"; }, kHang)) << Pane(frame, 3);
    EXPECT_TRUE(frame->IsOutputPaneShown());
    EXPECT_FALSE(frame->GetResultView()->IsGridVisible());
    EXPECT_FALSE(frame->GetResultView()->GetText().empty());
    Key('l', wxMOD_CONTROL);
    EXPECT_TRUE(PumpUntil([frame] { return frame->GetResultView()->IsGridVisible(); }, kHang));
    EXPECT_TRUE(Pane(frame, 3).StartsWith("Results grid #1 of 1;")) << Pane(frame, 3);
}

TEST_P(MenuKeyboard, CtrlNOpensAWindowOnTheSameConnection)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    // Nothing is asked again: the login is the first window's.
    window_test::CancelModalDialogs dialogs;
    Key('n', wxMOD_CONTROL);
    ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 2; }, kHang));
    CChildFrame* other = Main().GetActiveQueryWindow();
    ASSERT_NE(other, frame);
    EXPECT_TRUE(other->IsConnectionOpen());
    EXPECT_EQ(Main().GetMenuBar(), other->GetMenuBar());
    EXPECT_TRUE(dialogs.Titles().empty());
}

// Lets the print and page setup dialogs show (the toolkit's own, with its file printer) and
// presses Escape until each has closed; any other dialog is cancelled before it shows.
class EscapePrintDialogs : public wxModalDialogHook {
public:
    EscapePrintDialogs()
    {
        m_timer.Bind(wxEVT_TIMER, [](wxTimerEvent&) { wxUIActionSimulator().Char(WXK_ESCAPE); });
        Register();
    }
    ~EscapePrintDialogs() override { Unregister(); }
    // The titles of the print dialogs shown, and of the other dialogs.
    const std::vector<wxString>& Shown() const { return m_shown; }
    const std::vector<wxString>& Others() const { return m_others; }
    bool IsOpen() const { return m_timer.IsRunning(); }

protected:
    int Enter(wxDialog* dialog) override
    {
        if (!dynamic_cast<wxPrintDialogBase*>(dialog) && !dynamic_cast<wxPageSetupDialogBase*>(dialog)) {
            m_others.push_back(dialog ? dialog->GetTitle() : wxString());
            return wxID_CANCEL;
        }
        m_shown.push_back(dialog->GetTitle());
        m_timer.Start(300);
        return wxID_NONE;
    }
    void Exit(wxDialog*) override { m_timer.Stop(); }

private:
    wxTimer m_timer;
    std::vector<wxString> m_shown, m_others;
};

TEST_P(MenuKeyboard, WithoutAPrinterQueueCtrlPAndPrintSetupOpenTheirDialogs)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Editor(frame).SetText("select 1");
    // A print server that is not there offers no queue; the dialogs still print to a file.
    setenv("CUPS_SERVER", (NewTempPath("-cups") + ".sock").c_str(), 1);
    CMessageScript messages;
    EscapePrintDialogs dialogs;
    Key('p', wxMOD_CONTROL);
    EXPECT_TRUE(PumpUntil([&dialogs] { return dialogs.Shown().size() == 1 && !dialogs.IsOpen(); }, kHang));
    wxCommandEvent setup(wxEVT_MENU, ID_FILE_PRINT_SETUP);
    Main().GetEventHandler()->ProcessEvent(setup);
    EXPECT_TRUE(PumpUntil([&dialogs] { return dialogs.Shown().size() == 2 && !dialogs.IsOpen(); }, kHang));
    unsetenv("CUPS_SERVER");
    EXPECT_EQ(dialogs.Others(), std::vector<wxString>{});
    EXPECT_EQ(messages.Texts(), std::vector<wxString>{});
}

// The editor line selected, as its number from 0; -1 without a selection.
int SelectedLine(wxStyledTextCtrl& edit)
{
    return edit.GetSelectionStart() == edit.GetSelectionEnd() ? -1 : edit.LineFromPosition(edit.GetSelectionStart());
}

TEST_P(MenuKeyboard, F4WalksTheFailedBatchesOfTheRun)
{
    CChildFrame* frame = RunPastFailures("create table t1 (a int)\nGO\nselect * from missing_one\nGO\n-- the last "
                                         "batch\nselect * from missing_two\n");
    ASSERT_TRUE(frame);
    wxStyledTextCtrl& edit = Editor(frame);
    CResultView& results = *frame->GetResultView();
    EXPECT_EQ(Pane(frame, 0), "Query batch completed with errors");

    // Each failure shows its error text (without the tags) and its batch's first line.
    const auto expectAt = [&](int key, int modifiers, int line, const char* table) {
        Key(key, modifiers);
        EXPECT_TRUE(PumpUntil([&] { return SelectedLine(edit) == line && edit.HasFocus(); }, kHang))
            << "line " << SelectedLine(edit) << " instead of " << line;
        const wxString error = results.GetSelectedText();
        EXPECT_TRUE(error.Contains(table)) << error;
        EXPECT_FALSE(error.Contains("<eb") || error.Contains("</eb")) << error;
    };
    expectAt(WXK_F4, wxMOD_NONE, 2, "missing_one");
    expectAt(WXK_F4, wxMOD_NONE, 4, "missing_two");
    expectAt(WXK_F4, wxMOD_NONE, 2, "missing_one"); // past the last, back to the first
    expectAt(WXK_F4, wxMOD_SHIFT, 4, "missing_two");
    expectAt(WXK_F4, wxMOD_SHIFT, 2, "missing_one");
    // F8 is the same key while Refresh has nothing to do.
    expectAt(WXK_F8, wxMOD_NONE, 4, "missing_two");
    expectAt(WXK_F8, wxMOD_SHIFT, 2, "missing_one");

    // A double click on an error goes to its batch too.
    edit.SetSelection(0, 0);
    const int at = results.GetText().Find("missing_two");
    ASSERT_GE(at, 0);
    const wxPoint point = results.ClientToScreen(results.PointFromPosition(results.PositionRelative(0, at)));
    wxUIActionSimulator mouse;
    mouse.MouseMove(point + wxPoint(2, results.TextHeight(0) / 2));
    Pump();
    mouse.MouseDblClick();
    EXPECT_TRUE(PumpUntil([&] { return SelectedLine(edit) == 4; }, kHang)) << SelectedLine(edit);

    // The next run numbers its errors from 1 again; the table now exists, so all three fail.
    Focus(edit);
    edit.SetSelection(0, 0);
    Key(WXK_F5);
    ASSERT_TRUE(WaitForRunEnd(frame));
    const wxString messages = results.GetText();
    EXPECT_TRUE(messages.Contains("<eb1>") && messages.Contains("</eb3>")) << messages;
    EXPECT_FALSE(messages.Contains("<eb4>")) << messages;
    expectAt(WXK_F4, wxMOD_NONE, 0, "t1");
    expectAt(WXK_F4, wxMOD_SHIFT, 4, "missing_two");
}

TEST_P(MenuKeyboard, F4BringsTheMessagesBackFromAGrid)
{
    CChildFrame* frame = RunPastFailures("select 1 as a\nGO\nselect * from missing_one\n");
    ASSERT_TRUE(frame);
    wxStyledTextCtrl& edit = Editor(frame);
    CResultView& results = *frame->GetResultView();
    // The grid of the first batch hides the messages.
    Key('1', wxMOD_ALT);
    ASSERT_TRUE(PumpUntil([&results] { return results.IsGridVisible(); }, kHang));
    Focus(edit);
    Key(WXK_F4);
    EXPECT_TRUE(PumpUntil([&] { return SelectedLine(edit) == 2; }, kHang)) << SelectedLine(edit);
    EXPECT_FALSE(results.IsGridVisible());
    EXPECT_TRUE(results.GetSelectedText().Contains("missing_one")) << results.GetSelectedText();
}

// Opens the results text's context menu with its key and lets it go again: whether it offered
// Go to Error Batch/Tag enabled.
bool OffersGoToErrorBatch(CResultView& results)
{
    const std::optional<bool> offered = ContextMenuOffers(
        results, ID_GO_TO_ERROR_BATCH, [] { wxUIActionSimulator().Char(WXK_MENU); }, kHang);
    EXPECT_TRUE(offered.has_value()) << "no context menu";
    return offered.value_or(false);
}

TEST_P(MenuKeyboard, TheMessagesContextMenuGoesToTheErrorAtTheCaret)
{
    CChildFrame* frame = RunPastFailures("select * from missing_one\nGO\nselect * from missing_two\n");
    ASSERT_TRUE(frame);
    wxStyledTextCtrl& edit = Editor(frame);
    CResultView& results = *frame->GetResultView();

    Focus(results);
    const int at = results.GetText().Find("missing_two");
    ASSERT_GE(at, 0);
    results.GotoPos(results.PositionRelative(0, at));
    EXPECT_TRUE(OffersGoToErrorBatch(results));
    wxCommandEvent choice(wxEVT_MENU, ID_GO_TO_ERROR_BATCH);
    results.GetEventHandler()->ProcessEvent(choice);
    EXPECT_TRUE(PumpUntil([&] { return SelectedLine(edit) == 2; }, kHang)) << SelectedLine(edit);
    const wxString error = results.GetSelectedText();
    EXPECT_TRUE(error.Contains("missing_two") && !error.Contains("<eb")) << error;

    // Not where the caret is outside every error, nor with a tag in the selection.
    Focus(results);
    results.GotoPos(results.GetLength());
    EXPECT_FALSE(OffersGoToErrorBatch(results));
    results.SetSelection(0, results.GetLength());
    EXPECT_FALSE(OffersGoToErrorBatch(results));
}

INSTANTIATE_TEST_SUITE_P(Drivers, MenuKeyboard, ::testing::Values(Driver::SQLite, Driver::PostgreSQL),
                         [](const ::testing::TestParamInfo<Driver>& info) { return DriverName(info.param); });

} // namespace
