// The query window as a person meets it, on SQLite and PostgreSQL: keys and mouse moves go
// through the display (wxUIActionSimulator), and the checks read what the person sees: the
// window's tab title, status bar texts and tips, the grid's current cell, the menus.
#include "app/ConnectCommands.h"
#include "app/MainFrame.h"
#include "app/MDIClientWnd.h"
#include "app/MruFileManager.h"
#include "app/TorvaneApp.h"
#include "app/TorvaneDocManager.h"
#include "common/CommandIds.h"
#include "common/ItemComboBoxEx.h"
#include "common/SettingsTable.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "query/BatchExecution.h"
#include "query/ChildFrame.h"
#include "query/DataLinkDlg.h"
#include "query/MSHFlexGrid.h"
#include "query/QueryKeyRouting.h"
#include "query/ResultCommands.h"
#include "query/ResultView.h"
#include "query/TVStatusBar.h"
#include "querycore/OdbcCatalog.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/querylogic/FileSizeLimit.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestTiming.h"
#include "tests/support/WindowManager.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/CleanDatabaseWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/docview.h>
#include <wx/fdrepdlg.h>
#include <wx/filedlg.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/regex.h>
#include <wx/sizer.h>
#include <wx/stc/stc.h>
#include <wx/timer.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::Main;
using window_test::Pump;
using window_test::PumpUntil;

namespace {

const auto kWait = torvane::test::Scaled(15s);

// A pause for what the display has to deliver (keys, pointer moves).
void Settle()
{
    PumpUntil([] { return false; }, 200ms);
}

wxStyledTextCtrl& Editor(CChildFrame* frame)
{
    return *frame->GetQueryView()->GetEditCtrl();
}

wxString Pane(CChildFrame* frame, int pane)
{
    frame->UpdateStatusPanes();
    return frame->GetQueryStatusBar()->GetStatusText(pane);
}

// The text on the window's tab.
wxString TabText(CChildFrame* frame)
{
    CMDIClientWnd* client = Main().GetMDIClient();
    const int index = client->GetPageIndex(frame);
    return index == wxNOT_FOUND ? wxString("<no tab>") : client->GetPageText(index);
}

void PressKey(int key, int modifiers = wxMOD_NONE)
{
    wxUIActionSimulator().Char(key, modifiers);
    Settle();
}

// Types into the editor, which gets the focus first.
void TypeInEditor(CChildFrame* frame, const wxString& text)
{
    frame->Raise();
    Editor(frame).SetFocus();
    Settle();
    wxUIActionSimulator().Text(text.utf8_str());
    PumpUntil([frame, text] { return Editor(frame).GetText().EndsWith(text); }, kWait);
}

// F5 in the editor, then the end of the run.
void RunWithF5(CChildFrame* frame)
{
    Editor(frame).SetFocus();
    Settle();
    PressKey(WXK_F5);
    ASSERT_TRUE(PumpUntil([frame] { return Pane(frame, 0).StartsWith("Query batch completed"); }, kWait))
        << "the run did not end: " << Pane(frame, 0);
    Pump();
}

// Moves the pointer to the middle of a status bar pane.
void PointAtPane(CChildFrame* frame, int pane)
{
    CTVStatusBar* bar = frame->GetQueryStatusBar();
    wxRect rect;
    ASSERT_TRUE(bar->GetFieldRect(pane, rect));
    wxUIActionSimulator pointer;
    // From outside the bar, so that the move into the pane is seen.
    pointer.MouseMove(bar->ClientToScreen(wxPoint(rect.x + rect.width / 2, -20)));
    Settle();
    pointer.MouseMove(bar->ClientToScreen(wxPoint(rect.x + rect.width / 2, rect.y + rect.height / 2)));
    Settle();
}

// Cancels the file dialogs the program opens, before they show, and keeps the file names they
// offered.
class CFileDialogCancel : public wxModalDialogHook {
public:
    CFileDialogCancel() { Register(); }
    ~CFileDialogCancel() override { Unregister(); }
    const std::vector<wxString>& Offered() const { return m_offered; }

protected:
    int Enter(wxDialog* dialog) override
    {
        auto* file = dynamic_cast<wxFileDialog*>(dialog);
        if (!file)
            return wxID_NONE;
        m_offered.push_back(file->GetFilename());
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}

private:
    std::vector<wxString> m_offered;
};

// Answers the file dialogs the program opens with a path, as a person types it into the shown
// dialog and confirms.
class CFileDialogAnswer : public wxModalDialogHook {
public:
    CFileDialogAnswer()
    {
        Register();
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Poll(); });
        m_timer.Start(20);
    }
    ~CFileDialogAnswer() override
    {
        m_timer.Stop();
        Unregister();
    }
    // The next file dialog gets this path.
    void Answer(const wxString& path)
    {
        m_path = path;
        m_done = false;
    }
    bool Done() const { return m_done; }
    // Whether the last dialog answered asks the desktop's question before it replaces a file.
    bool AsksBeforeReplacing() const { return m_asks; }

protected:
    int Enter(wxDialog* dialog) override
    {
        m_dialog = dynamic_cast<wxFileDialog*>(dialog);
        if (m_dialog)
            m_asks = m_dialog->HasFlag(wxFD_OVERWRITE_PROMPT);
        return wxID_NONE;
    }
    void Exit(wxDialog*) override { m_dialog = nullptr; }

private:
    void Poll()
    {
        if (!m_dialog || m_done || !m_dialog->IsShown())
            return;
        if (m_dialog->GetPath() != m_path) {
            m_dialog->SetPath(m_path);
            return;
        }
        m_done = true;
        m_dialog->EndModal(wxID_OK);
    }

    wxTimer m_timer;
    wxFileDialog* m_dialog = nullptr;
    wxString m_path;
    bool m_done = false;
    bool m_asks = false;
};

class QueryWindowUseTest : public window_test::CleanDatabaseWindowTest {
protected:

    CChildFrame* Open()
    {
        CChildFrame* frame = window_test::OpenQueryWindow(m_connect);
        if (frame) {
            frame->Raise();
            Settle();
        }
        return frame;
    }

    // The connection as the title names it: the database file of SQLite; server, database and
    // user of PostgreSQL.
    wxString ConnectionPart(CChildFrame* frame) const
    {
        if (!IsPostgres()) {
            const std::string key = "Database=";
            const size_t at = m_connect.find(key);
            const size_t end = m_connect.find(';', at);
            return wxString::FromUTF8(m_connect.substr(at + key.size(), end - at - key.size()));
        }
        const CWindowConnection& c = frame->Connection();
        EXPECT_FALSE(c.m_strServerName.empty());
        EXPECT_EQ(c.m_strCurrentCatalog, wxString::FromUTF8(PostgresDatabaseName()));
        EXPECT_EQ(c.m_strUserId, "torvane");
        return c.m_strServerName + ".\"" + wxString::FromUTF8(PostgresDatabaseName()) + "\".torvane";
    }

};

TEST_P(QueryWindowUseTest, TheTitleTellsTheConnectionTheWindowAndItsQuery)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    CTorvaneDoc* doc = frame->GetQueryDoc();
    const wxString connection = ConnectionPart(frame);

    wxRegEx untitled("^(.*) - (Untitled_[0-9]+) - \\(New Query\\)$", wxRE_ADVANCED);
    const wxString first = doc->GetTitle();
    ASSERT_TRUE(untitled.Matches(first)) << first;
    EXPECT_EQ(untitled.GetMatch(first, 1), connection);
    const wxString name = untitled.GetMatch(first, 2);
    EXPECT_EQ(TabText(frame), first);

    // The first key typed marks the title.
    TypeInEditor(frame, "select 42 as answer");
    EXPECT_TRUE(doc->GetTitle().StartsWith(connection + " - " + name + "* - (")) << doc->GetTitle();

    // A run puts its query into the title, the first 15 characters of it.
    RunWithF5(frame);
    const wxString ran = connection + " - " + name + "* - (select 42 as an...)";
    EXPECT_EQ(doc->GetTitle(), ran);
    EXPECT_EQ(TabText(frame), ran);

    // Closing asks about the window by its own name and offers that name for the file.
    CMessageScript answers{wxID_YES};
    CFileDialogCancel fileDialog;
    frame->Close();
    EXPECT_EQ(answers.Texts(), std::vector<wxString>{"Save changes to " + name + "?"});
    EXPECT_EQ(fileDialog.Offered(), std::vector<wxString>{name + ".sql"});
    // Nothing saved, the window stays with its full title.
    ASSERT_EQ(Main().GetConnectionCount(), 1u);
    EXPECT_EQ(doc->GetTitle(), ran);
}

TEST_P(QueryWindowUseTest, TheTitleShowsTheDbmsAndItsVersionWhenAsked)
{
    CSettingsStore::Get().WriteProfileInt("Configure", "Display DBMS Ver", 1);
    CChildFrame* frame = Open();
    CSettingsStore::Get().WriteProfileInt("Configure", "Display DBMS Ver", 0);
    ASSERT_TRUE(frame);
    const wxString title = frame->GetQueryDoc()->GetTitle();
    wxRegEx prefix(IsPostgres() ? "^\\{PostgreSQL [0-9][0-9.]*\\} (.*) - Untitled_[0-9]+ - \\(New Query\\)$"
                                : "^\\{SQLite [0-9][0-9.]*\\} (.*) - Untitled_[0-9]+ - \\(New Query\\)$",
                   wxRE_ADVANCED);
    ASSERT_TRUE(prefix.Matches(title)) << title;
    EXPECT_EQ(prefix.GetMatch(title, 1), ConnectionPart(frame));
    EXPECT_EQ(TabText(frame), title);
}

TEST_P(QueryWindowUseTest, TheResultsGridMovesWithTheKeys)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Editor(frame).SetText("with recursive c(x) as (select 1 union all select x + 1 from c where x < 200) "
                          "select x, x * 2 as y, 'r' || x as z from c");
    RunWithF5(frame);
    CMSHFlexGrid* grid = frame->GetResultView()->GetCurrentGrid();
    ASSERT_TRUE(grid);
    ASSERT_TRUE(frame->GetResultView()->IsGridVisible());
    ASSERT_EQ(grid->GetRows(), 201);
    const wxString editorText = Editor(frame).GetText();

    // A click on the first cell.
    const wxRect cell = grid->CellToRect(0, 0);
    wxUIActionSimulator mouse;
    mouse.MouseMove(grid->GetGridWindow()->ClientToScreen(grid->CalcScrolledPosition(cell.GetPosition()) +
                                                          wxPoint(cell.width / 2, cell.height / 2)));
    Settle();
    mouse.MouseClick();
    ASSERT_TRUE(PumpUntil([frame] { return Pane(frame, 4) == "Ln 1, Col 1"; }, kWait)) << Pane(frame, 4);

    const struct {
        int key;
        int modifiers;
        const char* place;
    } steps[] = {
        {WXK_DOWN, wxMOD_NONE, "Ln 2, Col 1"},      {WXK_DOWN, wxMOD_NONE, "Ln 3, Col 1"},
        {WXK_RIGHT, wxMOD_NONE, "Ln 3, Col 2"},     {WXK_END, wxMOD_NONE, "Ln 3, Col 3"},
        {WXK_LEFT, wxMOD_NONE, "Ln 3, Col 2"},      {WXK_HOME, wxMOD_NONE, "Ln 3, Col 1"},
        {WXK_UP, wxMOD_NONE, "Ln 2, Col 1"},        {WXK_END, wxMOD_CONTROL, "Ln 200, Col 3"},
        {WXK_UP, wxMOD_NONE, "Ln 199, Col 3"},      {WXK_HOME, wxMOD_CONTROL, "Ln 1, Col 1"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.place);
        PressKey(step.key, step.modifiers);
        EXPECT_TRUE(PumpUntil([frame, &step] { return Pane(frame, 4) == step.place; }, kWait)) << Pane(frame, 4);
    }
    EXPECT_TRUE(grid->RowIsVisible(1));

    // A page down moves by the rows in view and keeps the current row in view; a page up comes back.
    PressKey(WXK_PAGEDOWN);
    EXPECT_TRUE(PumpUntil([grid] { return grid->GetRow() > 3; }, kWait)) << grid->GetRow();
    EXPECT_TRUE(grid->RowIsVisible(grid->GetRow()));
    EXPECT_EQ(Pane(frame, 4), wxString::Format("Ln %d, Col 1", grid->GetRow()));
    PressKey(WXK_PAGEUP);
    EXPECT_TRUE(PumpUntil([frame] { return Pane(frame, 4) == "Ln 1, Col 1"; }, kWait)) << Pane(frame, 4);

    // The keys moved the grid only.
    EXPECT_EQ(Editor(frame).GetText(), editorText);
}

TEST_P(QueryWindowUseTest, ARunShowsTheHiddenOutputPane)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Editor(frame).SetText("select 1 as a");
    RunWithF5(frame);
    ASSERT_TRUE(frame->IsOutputPaneShown());

    PressKey('2', wxMOD_ALT);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsOutputPaneShown(); }, kWait));
    EXPECT_FALSE(frame->GetResultView()->IsShownOnScreen());
    EXPECT_EQ(Pane(frame, 3), "");

    Editor(frame).SetText("select 2 as b");
    RunWithF5(frame);
    EXPECT_TRUE(frame->IsOutputPaneShown());
    EXPECT_TRUE(frame->GetResultView()->IsShownOnScreen());
    EXPECT_TRUE(frame->GetResultView()->IsGridVisible());
    EXPECT_EQ(Pane(frame, 3), "Results grid #1 of 1; 1 row(s); 1 col(s)");
}

// Chooses a command of the window's menu bar as a person does, by its item.
void ChooseMenuItem(CChildFrame* frame, int id)
{
    wxMenuItem* item = frame->GetMenuBar()->FindItem(id);
    ASSERT_TRUE(item);
    frame->GetMenuBar()->UpdateMenus();
    ASSERT_TRUE(item->IsEnabled()) << item->GetItemLabelText();
    item->GetMenu()->SendEvent(id);
    Pump();
}

// The results text (here a failed statement's messages) saved under the name of an existing file
// replaces it, once the desktop's file dialog has asked about it; a save that fails (a full disk)
// says so and keeps the file as it was.
TEST_P(QueryWindowUseTest, SaveAsOfTheResultsTextReplacesAFileTheDialogAskedAbout)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Editor(frame).SetText("select * from no_such_table");
    RunWithF5(frame);
    CResultView& results = *frame->GetResultView();
    ASSERT_FALSE(results.IsGridVisible());
    results.SetFocus();
    ASSERT_TRUE(PumpUntil([&results] { return wxWindow::FindFocus() == &results; }, kWait));

    const std::filesystem::path folder = NewTempPath("-saved");
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "results.txt").string();
    torvane::test::WriteFile(path, "the old file");
    CFileDialogAnswer files;
    files.Answer(wxString::FromUTF8(path));
    ChooseMenuItem(frame, ID_FILE_SAVE_AS);
    ASSERT_TRUE(PumpUntil([&files] { return files.Done(); }, kWait));
    EXPECT_TRUE(files.AsksBeforeReplacing());
    const std::string saved = torvane::test::FileBytes(path);
    EXPECT_NE(saved.find("no_such_table"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("the old file"), std::string::npos) << saved;

    {
        CMessageScript error{wxID_OK};
        const FileSizeLimit full(16);
        files.Answer(wxString::FromUTF8(path));
        ChooseMenuItem(frame, ID_FILE_SAVE_AS);
        ASSERT_TRUE(PumpUntil([&files] { return files.Done(); }, kWait));
        // The settings file cannot be written either, and says so after the save's own message.
        ASSERT_FALSE(error.Texts().empty());
        EXPECT_EQ(error.Texts()[0], "'" + wxString::FromUTF8(path) + "'\nThe disk is full.");
    }
    EXPECT_EQ(torvane::test::FileBytes(path), saved);
    EXPECT_EQ(torvane::test::Names(folder), std::vector<std::string>{"results.txt"});
}

TEST_P(QueryWindowUseTest, ProviderKeywordsAndLiteralsShowInAGridEvenInTextMode)
{
    // Results in Text without its one-time warning.
    settings::WriteInt(settings::ResultsInTextWarning, 0);
    CChildFrame* frame = Open();
    settings::WriteInt(settings::ResultsInTextWarning, 1);
    ASSERT_TRUE(frame);
    // One database per file or per connection: the list has nothing to switch to.
    EXPECT_EQ(frame->GetDatabaseList()->GetStringSelection(), "<Not supported>");
    EXPECT_FALSE(frame->GetDatabaseList()->IsEnabled());

    Editor(frame).SetFocus();
    Settle();
    PressKey('r', wxMOD_CONTROL);
    ASSERT_TRUE(PumpUntil([frame] { return frame->OutputMode().m_bResultsInText != 0; }, kWait));

    const struct {
        int id;
        const char* note;
        const char* column;
        const char* row; // a row the list holds
    } lists[] = {
        {ID_DUMP_KEYWORDS, "Provider-specific keywords // IDBInfo::GetKeywords*", "Keyword", nullptr},
        {ID_DUMP_LITERALS, "Provider-specific literals // IDBInfo::GetLiteralInfo*", "LiteralName", "QUOTE"},
    };
    for (const auto& list : lists) {
        ChooseMenuItem(frame, list.id);
        ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kWait));
        EXPECT_TRUE(Editor(frame).GetText().Contains(list.note)) << Editor(frame).GetText();
        ASSERT_TRUE(frame->GetResultView()->IsGridVisible()) << list.note;
        CMSHFlexGrid* grid = frame->GetResultGrid(1);
        ASSERT_TRUE(grid);
        EXPECT_EQ(grid->GetTextMatrix(0, 1), list.column);
        EXPECT_GT(grid->GetRows(), 2) << list.note;
        if (list.row) {
            bool found = false;
            for (int r = 1; r < grid->GetRows(); ++r)
                found = found || grid->GetTextMatrix(r, 1) == list.row;
            EXPECT_TRUE(found) << list.row;
        }
        EXPECT_EQ(Pane(frame, 0), "Query batch completed");
        // Text output comes back for the window's own runs.
        EXPECT_TRUE(frame->OutputMode().m_bResultsInText);
    }
}

TEST_P(QueryWindowUseTest, GeneratedSqlLeavesTheEditorAtTheStartOfItsLines)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    wxStyledTextCtrl& edit = Editor(frame);
    // A line wider than the editor, with the caret at its end: the view is scrolled sideways.
    edit.SetText("select 1 as " + wxString('x', 400));
    edit.DocumentEnd();
    Settle();
    ASSERT_GT(edit.GetXOffset(), 0);
    ChooseMenuItem(frame, ID_DUMP_KEYWORDS);
    ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, kWait));
    Settle();
    EXPECT_EQ(edit.GetXOffset(), 0) << edit.GetText();
}

TEST_P(QueryWindowUseTest, ASashMovedWithTheMouseKeepsItsShareThroughResizes)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    wxWindow& upper = *frame->GetEditorPane()->GetParent(); // the schema and editor row
    wxWindow& results = *frame->GetResultView();
    const auto editorShare = [&] {
        const int above = upper.GetScreenRect().height, below = results.GetScreenRect().height;
        return double(above) / (above + below);
    };
    const auto resize = [frame](const wxSize& size) {
        const wxSize before = frame->GetSize();
        Main().SetSize(size);
        PumpUntil([frame, before] { return frame->GetSize() != before; }, kWait);
        Settle();
    };
    // The window in use for a while: its first sizes, which set the default panes, are past.
    const wxSize original = Main().GetSize();
    for (const wxSize& size : {wxSize(800, 600), wxSize(900, 650), original})
        resize(size);
    // The sash between the editor row and the results, dragged up to about a third.
    const wxRect top = upper.GetScreenRect(), bottom = results.GetScreenRect();
    const int x = bottom.x + bottom.width / 2;
    const int sash = (top.GetBottom() + bottom.GetTop()) / 2;
    const int to = top.y + (bottom.GetBottom() - top.y) / 3;
    wxUIActionSimulator mouse;
    mouse.MouseMove(x, sash);
    Settle();
    mouse.MouseDown();
    Settle();
    mouse.MouseMove(x, (sash + to) / 2);
    Settle();
    mouse.MouseMove(x, to);
    Settle();
    mouse.MouseUp();
    Settle();
    const double dragged = editorShare();
    EXPECT_NEAR(dragged, 1.0 / 3, 0.05);

    for (const wxSize& size : {wxSize(600, 420), original}) {
        resize(size);
        EXPECT_NEAR(editorShare(), dragged, 0.02) << size.x << "x" << size.y;
    }
}

TEST_P(QueryWindowUseTest, StatusPanesShowTheirTipsUnderThePointer)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    CTVStatusBar* bar = frame->GetQueryStatusBar();
    PointAtPane(frame, CTVStatusBar::kAutoCommitPane);
    EXPECT_TRUE(PumpUntil([bar] { return bar->GetToolTipText() == "Autocommit mode is on"; }, kWait))
        << bar->GetToolTipText();

    Editor(frame).SetText("select 1 as a");
    RunWithF5(frame);
    PointAtPane(frame, 0);
    EXPECT_TRUE(PumpUntil([bar] { return bar->GetToolTipText() == "Query batch completed"; }, kWait))
        << bar->GetToolTipText();
    window_test::CloseQueryWindows();

    // A window that keeps its transactions open says so.
    CSettingsStore::Get().WriteProfileInt("Configure", "Auto Commit", 0);
    frame = Open();
    CSettingsStore::Get().WriteProfileInt("Configure", "Auto Commit", 1);
    ASSERT_TRUE(frame);
    const wxString mode = frame->Connection().m_bAutoCommit ? "Autocommit mode is on" : "Autocommit mode is off";
    if (IsPostgres()) {
        EXPECT_EQ(mode, "Autocommit mode is off");
    }
    bar = frame->GetQueryStatusBar();
    PointAtPane(frame, CTVStatusBar::kAutoCommitPane);
    EXPECT_TRUE(PumpUntil([bar, mode] { return bar->GetToolTipText() == mode; }, kWait)) << bar->GetToolTipText();
}

INSTANTIATE_TEST_SUITE_P(Drivers, QueryWindowUseTest, ::testing::Values(Driver::SQLite, Driver::PostgreSQL),
                         [](const ::testing::TestParamInfo<Driver>& info) { return DriverName(info.param); });

// What does not depend on the database: on SQLite.
class QueryWindowLookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        ASSERT_EQ(Main().GetConnectionCount(), 0u);
    }
    void TearDown() override
    {
        if (!window_test::HaveDisplay())
            return;
        window_test::CloseQueryWindows();
    }
};

TEST_F(QueryWindowLookTest, EveryToolbarButtonHasAPictureOfItsOwn)
{
    CChildFrame* frame = window_test::OpenQueryWindow(NewSqliteConnectionString());
    ASSERT_TRUE(frame);
    wxToolBar* toolbar = nullptr;
    for (wxWindow* child : frame->GetChildren())
        if (auto* bar = dynamic_cast<wxToolBar*>(child))
            toolbar = bar;
    ASSERT_TRUE(toolbar);

    const auto pixels = [](const wxBitmap& bitmap) {
        wxImage image = bitmap.ConvertToImage();
        if (!image.HasAlpha())
            image.InitAlpha();
        const size_t count = static_cast<size_t>(image.GetWidth()) * image.GetHeight();
        return std::string(reinterpret_cast<const char*>(image.GetData()), count * 3) +
               std::string(reinterpret_cast<const char*>(image.GetAlpha()), count);
    };
    const std::string missing =
        pixels(wxArtProvider::GetBitmap(wxART_MISSING_IMAGE, wxART_TOOLBAR, wxSize(16, 16)));
    std::set<std::string> seen;
    std::vector<int> ids;
    for (size_t i = 0; i < toolbar->GetToolsCount(); ++i) {
        const wxToolBarToolBase* tool = toolbar->GetToolByPos(static_cast<int>(i));
        if (!tool->IsButton())
            continue;
        SCOPED_TRACE(tool->GetLabel().utf8_string());
        ids.push_back(tool->GetId());
        const wxBitmap bitmap = tool->GetNormalBitmap();
        ASSERT_TRUE(bitmap.IsOk());
        EXPECT_EQ(bitmap.GetSize(), wxSize(16, 16));
        const std::string picture = pixels(bitmap);
        EXPECT_NE(picture, missing);
        // Something is drawn: opaque pixels make up a fair part of the picture.
        const std::string alpha = picture.substr(16 * 16 * 3);
        EXPECT_GT(std::count_if(alpha.begin(), alpha.end(), [](char a) { return static_cast<unsigned char>(a) > 128; }),
                  30);
        EXPECT_TRUE(seen.insert(picture).second) << "shares its picture with another button";
    }
    EXPECT_EQ(ids, (std::vector<int>{ID_QUERY_EXECUTE, ID_QUERY_CANCEL, ID_RESULTS_IN_TEXT, ID_MESSAGES_MODE,
                                     ID_VIEW_SCHEMA, ID_VIEW_OUTPUT, ID_PREVIOUS_GRID, ID_NEXT_GRID}));
}

TEST_F(QueryWindowLookTest, TheEditorTakesNoMoreThanItsLimit)
{
    CChildFrame* frame = window_test::OpenQueryWindow(NewSqliteConnectionString());
    ASSERT_TRUE(frame);
    wxStyledTextCtrl& edit = Editor(frame);
    // Two characters short of the limit, a thousand of them two bytes long: more bytes than the
    // limit, so the characters are what is counted. In lines of 100, as a long script would be.
    const long limit = CQryView::kMaxTextLength;
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "\xC3\xA9";
    text.reserve(static_cast<size_t>(limit) + 1000);
    for (long chars = 1000; chars < limit - 2; ++chars)
        text += chars % 100 == 99 ? '\n' : 'a';
    text.back() = 'a';
    edit.AddTextRaw(text.data(), static_cast<int>(text.size()));
    ASSERT_EQ(edit.GetTextLength(), static_cast<int>(text.size()));

    edit.DocumentEnd();
    frame->Raise();
    edit.SetFocus();
    Settle();
    wxUIActionSimulator().Text("xyz");
    PumpUntil([&edit, &text] { return edit.GetTextLength() >= static_cast<int>(text.size()) + 2; }, kWait);
    Settle();
    EXPECT_EQ(edit.GetTextLength(), static_cast<int>(text.size()) + 2);
    EXPECT_EQ(edit.GetTextRange(edit.GetTextLength() - 3, edit.GetTextLength()), "axy");

    // Nothing more goes in, however it comes; a CR LF line break counts as one character.
    edit.DocumentEnd();
    edit.AddText("more text");
    EXPECT_EQ(edit.GetTextLength(), static_cast<int>(text.size()) + 2);
    edit.DeleteRange(edit.GetTextLength() - 2, 2);
    edit.DocumentEnd();
    edit.AddText("\r\nzz");
    EXPECT_EQ(edit.GetTextRange(edit.GetTextLength() - 4, edit.GetTextLength()), "a\r\nz");
    frame->GetQueryDoc()->Modify(false);
}

TEST_F(QueryWindowLookTest, DialogsHaveTheirNaturalSizeInTheMiddleOfTheMainWindow)
{
    // A parent not yet on screen, as a query window is while its connection is asked for.
    auto* hidden = new wxFrame(&Main(), wxID_ANY, "hidden");
    CDataLinkDlg dialog(hidden);
    dialog.Show();
    Settle();
    PumpUntil([&dialog] { return dialog.IsShownOnScreen(); }, kWait);
    const wxSize need = dialog.GetSizer()->GetMinSize();
    EXPECT_GE(dialog.GetClientSize().x, need.x);
    EXPECT_GE(dialog.GetClientSize().y, need.y);
    std::vector<wxWindow*> pending{&dialog};
    int buttons = 0;
    while (!pending.empty()) {
        wxWindow* window = pending.back();
        pending.pop_back();
        for (wxWindow* child : window->GetChildren())
            pending.push_back(child);
        if (auto* button = dynamic_cast<wxButton*>(window)) {
            ++buttons;
            SCOPED_TRACE(button->GetLabel().utf8_string());
            EXPECT_GE(button->GetSize().y, button->GetBestSize().y);
            EXPECT_GE(button->GetSize().x, button->GetBestSize().x);
        }
    }
    EXPECT_GE(buttons, 4);
    const wxPoint centre = dialog.GetScreenRect().GetPosition() + dialog.GetSize() / 2;
    const wxPoint mainCentre = Main().GetScreenRect().GetPosition() + Main().GetSize() / 2;
    EXPECT_NEAR(centre.x, mainCentre.x, 2);
    EXPECT_NEAR(centre.y, mainCentre.y, 2);
    dialog.Hide();
    hidden->Destroy();
}

TEST_F(QueryWindowLookTest, ConnectSubmenusShowTheirItemsTheFirstTimeTheyOpen)
{
    CMruFileList* logins = TheApp().GetDsnLessLoginManager().GetList(0);
    ASSERT_TRUE(logins);
    logins->Add(TheApp().GetTempFolder() + "SQLite3");
    CConnectCommands& commands = *Main().GetConnectCommands();
    ASSERT_EQ(commands.GetDriverMenu()->GetMenuItemCount(), 1u) << "only its placeholder so far";
    const size_t drivers = commands.GetDriverCommands().size();
    ASSERT_GT(drivers, 0u);

    // The File menu opened from the keyboard fills its submenus before they are shown.
    Main().Raise();
    Main().SetFocus();
    Settle();
    PressKey('F', wxMOD_ALT);
    const bool filled = PumpUntil(
        [&commands, drivers] {
            return commands.GetDriverMenu()->GetMenuItemCount() == drivers &&
                   commands.GetRecentDsnLessMenu()->FindItemByPosition(0)->GetItemLabelText() == "1 SQLite3";
        },
        kWait);
    PressKey(WXK_ESCAPE);
    EXPECT_TRUE(filled);
    const wxMenuItemList& items = commands.GetDriverMenu()->GetMenuItems();
    ASSERT_EQ(items.size(), drivers);
    EXPECT_EQ(items.front()->GetItemLabelText(), commands.GetDriverCommands().begin()->second.name + "...");
}

TEST_F(QueryWindowLookTest, AQuerySavedUnderANewNameJoinsTheRecentFiles)
{
    CChildFrame* frame = window_test::OpenQueryWindow(NewSqliteConnectionString());
    ASSERT_TRUE(frame);
    Editor(frame).SetText("select 1");
    CFileDialogAnswer files;
    // File > Recent Files as the menu lists it.
    const auto recentFiles = [frame] {
        std::vector<wxString> labels;
        wxMenuItem* recent = frame->GetMenuBar()->FindItem(ID_MENU_RECENT_FILES);
        for (wxMenuItem* item : recent->GetSubMenu()->GetMenuItems())
            labels.push_back(item->GetItemLabelText());
        return labels;
    };
    const std::vector<wxString> before = recentFiles();

    // Save of an untitled window asks for a name; the file then heads the list.
    const wxString first = wxString::FromUTF8(NewTempPath("-first save.sql"));
    files.Answer(first);
    ChooseMenuItem(frame, ID_FILE_SAVE);
    ASSERT_TRUE(PumpUntil([&files] { return files.Done(); }, kWait));
    EXPECT_EQ(torvane::test::FileBytes(first.utf8_string()), "select 1");
    std::vector<wxString> recent = recentFiles();
    ASSERT_FALSE(recent.empty());
    // The menu names a file; the list keeps its whole path.
    EXPECT_EQ(recent[0], "1 " + wxFileName(first).GetFullName());
    wxFileHistory* history = TheApp().GetDocManager()->GetFileHistory();
    EXPECT_EQ(history->GetHistoryFile(0), first);

    // Save As under another name puts that one on top, the first below it.
    const wxString second = wxString::FromUTF8(NewTempPath("-saved as.sql"));
    files.Answer(second);
    ChooseMenuItem(frame, ID_FILE_SAVE_AS);
    ASSERT_TRUE(PumpUntil([&files] { return files.Done(); }, kWait));
    EXPECT_EQ(torvane::test::FileBytes(second.utf8_string()), "select 1");
    recent = recentFiles();
    ASSERT_GE(recent.size(), 2u);
    EXPECT_EQ(recent[0], "1 " + wxFileName(second).GetFullName());
    EXPECT_EQ(recent[1], "2 " + wxFileName(first).GetFullName());
    EXPECT_EQ(history->GetHistoryFile(0), second);
    EXPECT_EQ(recent.size(), std::min<size_t>(before.size() + 2, 9));
}

// Answers each message box, shown on the display, with Enter typed once it is up.
class CMessageBoxEnter : public wxModalDialogHook {
public:
    CMessageBoxEnter()
    {
        Register();
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Poll(); });
        m_timer.Start(100);
    }
    ~CMessageBoxEnter() override
    {
        m_timer.Stop();
        Unregister();
    }
    int Answered() const { return m_answered; }

protected:
    int Enter(wxDialog* dialog) override
    {
        if (dynamic_cast<wxMessageDialog*>(dialog)) {
            m_box = dialog;
            m_ticks = 0;
        }
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override
    {
        if (dialog == m_box) {
            m_box = nullptr;
            ++m_answered;
        }
    }

private:
    void Poll()
    {
        // A few ticks for the box to come up and take the keys.
        if (m_box && ++m_ticks % 5 == 0)
            wxUIActionSimulator().Char(WXK_RETURN);
    }

    wxTimer m_timer;
    wxDialog* m_box = nullptr;
    int m_ticks = 0;
    int m_answered = 0;
};

// The program's find dialog while it shows.
wxFindReplaceDialog* ShownFindDialog()
{
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxFindReplaceDialog*>(window); dialog && dialog->IsShown())
            return dialog;
    return nullptr;
}

TEST_F(QueryWindowLookTest, AfterItsMessageTheFindDialogTakesTheKeysAgain)
{
    // Where the focus goes when a box closes is the desktop's decision.
    torvane::test::CWindowManager desktop;
    if (!desktop.Running())
        GTEST_SKIP() << "no window manager (openbox)";
    CChildFrame* frame = window_test::OpenQueryWindow(NewSqliteConnectionString());
    ASSERT_TRUE(frame);
    Editor(frame).SetText("select 1");
    frame->GetQueryDoc()->Modify(false);
    CMessageBoxEnter boxes;
    for (const int key : {'F', 'H'}) {
        SCOPED_TRACE(key == 'F' ? "Find" : "Replace");
        frame->Raise();
        Editor(frame).SetFocus();
        Settle();
        PressKey(key, wxMOD_CONTROL);
        ASSERT_TRUE(PumpUntil([] { return ShownFindDialog() != nullptr; }, kWait));
        Settle();
        // A text the editor does not hold: Enter (Find Next) finds nothing, the message says so.
        PressKey('a', wxMOD_CONTROL);
        wxUIActionSimulator().Text("zzz");
        Settle();
        const int before = boxes.Answered();
        PressKey(WXK_RETURN);
        ASSERT_TRUE(PumpUntil([&boxes, before] { return boxes.Answered() == before + 1; }, kWait));
        Settle();
        // Enter reaches the dialog again, and then Escape closes it.
        PressKey(WXK_RETURN);
        EXPECT_TRUE(PumpUntil([&boxes, before] { return boxes.Answered() == before + 2; }, kWait))
            << "Enter did not reach the dialog";
        Settle();
        PressKey(WXK_ESCAPE);
        EXPECT_TRUE(PumpUntil([] { return ShownFindDialog() == nullptr; }, kWait)) << "Escape did not reach the dialog";
        if (wxFindReplaceDialog* dialog = ShownFindDialog())
            dialog->Close();
        Pump();
    }
}

TEST_F(QueryWindowLookTest, TheDatabaseListTellsWhatItIsForAndItsKeyWorks)
{
    CChildFrame* frame = window_test::OpenQueryWindow(NewSqliteConnectionString());
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->GetDatabaseList()->GetToolTipText(), "Change Database Context (Alt+D)");
    frame->Raise();
    Editor(frame).SetFocus();
    Settle();
    PressKey('d', wxMOD_ALT);
    EXPECT_TRUE(PumpUntil([frame] { return frame->GetDatabaseList()->HasFocus(); }, kWait));
}

} // namespace
