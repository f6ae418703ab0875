// Find in Files as a person uses it in a query window, on SQLite and PostgreSQL: the dialog
// opened with Ctrl+Shift+F and filled with keys through the display, the report read in the
// results pane and the status panes, Esc and closing the window during a long search, and the
// hits opened with a double click, F4 and Shift+F4.
#include "app/MainFrame.h"
#include "common/SettingsTable.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "query/ChildFrame.h"
#include "query/FindInFilesDlg.h"
#include "query/QueryKeyRouting.h"
#include "query/ResultView.h"
#include "query/TVStatusBar.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestTiming.h"
#include "tests/window/CleanDatabaseWindowTest.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/combobox.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/stc/stc.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::Main;
using window_test::Pump;
using window_test::PumpUntil;

namespace fs = std::filesystem;

namespace {

const auto kWait = torvane::test::Scaled(30s);

void Settle()
{
    PumpUntil([] { return false; }, 200ms);
}

wxString Pane(CChildFrame* frame, int pane)
{
    frame->UpdateStatusPanes();
    return frame->GetQueryStatusBar()->GetStatusText(pane);
}

wxStyledTextCtrl& Editor(CChildFrame* frame)
{
    return *frame->GetQueryView()->GetEditCtrl();
}

std::vector<wxString> Items(const wxComboBox* combo)
{
    std::vector<wxString> items;
    for (unsigned i = 0; i < combo->GetCount(); ++i)
        items.push_back(combo->GetString(i));
    return items;
}

bool HasFocusIn(wxWindow* window)
{
    for (wxWindow* w = wxWindow::FindFocus(); w; w = w->GetParent())
        if (w == window)
            return true;
    return false;
}

// What the dialog showed when it opened.
struct CDialogSeen {
    wxString findWhat;
    std::vector<wxString> findItems;
    wxString filesOfType;
    std::vector<wxString> typeItems;
    wxString lookIn;
    std::vector<wxString> lookInItems;
};

// Plays a script on the Find in Files dialog while it is shown: each step runs on a timer tick
// and returns true once done, so a step can wait for the keys before it to arrive.
class CFindDialogDriver : public wxModalDialogHook {
public:
    using Step = std::function<bool(CFindInFilesDlg&)>;

    explicit CFindDialogDriver(std::vector<Step> steps) : m_steps(std::move(steps))
    {
        Register();
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
        m_timer.Start(30);
    }
    ~CFindDialogDriver() override
    {
        m_timer.Stop();
        Unregister();
    }
    bool Finished() const { return m_next == m_steps.size() || m_stuckAt >= 0; }
    // The step that did not finish in time (the dialog was then cancelled), or -1.
    int StuckAt() const { return m_stuckAt; }
    const std::optional<CDialogSeen>& Seen() const { return m_seen; }

protected:
    int Enter(wxDialog* dialog) override
    {
        if (auto* find = dynamic_cast<CFindInFilesDlg*>(dialog)) {
            m_dialog = find;
            m_deadline = std::chrono::steady_clock::now() + kWait;
            m_seen = CDialogSeen{find->m_cboFindWhat->GetValue(),    Items(find->m_cboFindWhat),
                                 find->m_cboFilesOfType->GetValue(), Items(find->m_cboFilesOfType),
                                 find->m_cboLookIn->GetValue(),      Items(find->m_cboLookIn)};
        }
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override
    {
        if (dialog == m_dialog)
            m_dialog = nullptr;
    }

private:
    void Tick()
    {
        if (!m_dialog || !m_dialog->IsShown() || Finished() || m_inStep)
            return;
        m_inStep = true;
        if (m_steps[m_next](*m_dialog)) {
            ++m_next;
        } else if (std::chrono::steady_clock::now() > m_deadline) {
            // A script that went wrong must not leave the dialog waiting for ever.
            m_stuckAt = static_cast<int>(m_next);
            m_dialog->EndModal(wxID_CANCEL);
        }
        m_inStep = false;
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_inStep = false;
    wxTimer m_timer;
    CFindInFilesDlg* m_dialog = nullptr;
    std::optional<CDialogSeen> m_seen;
    std::chrono::steady_clock::time_point m_deadline;
    int m_stuckAt = -1;
};

using Step = CFindDialogDriver::Step;

// Puts the focus into a combo and types the text over what it holds.
std::vector<Step> Fill(wxComboBox* CFindInFilesDlg::*combo, const wxString& text)
{
    return {[combo](CFindInFilesDlg& dialog) {
                (dialog.*combo)->SetFocus();
                return true;
            },
            [combo](CFindInFilesDlg& dialog) {
                if (!HasFocusIn(dialog.*combo))
                    return false;
                (dialog.*combo)->SelectAll();
                return true;
            },
            [text](CFindInFilesDlg&) {
                if (text.empty())
                    wxUIActionSimulator().Char(WXK_DELETE);
                else
                    wxUIActionSimulator().Text(text.utf8_str());
                return true;
            },
            [combo, text](CFindInFilesDlg& dialog) { return (dialog.*combo)->GetValue() == text; }};
}

std::vector<Step> Press(int key)
{
    return {[key](CFindInFilesDlg&) {
        wxUIActionSimulator().Char(key);
        return true;
    }};
}

std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts)
{
    std::vector<Step> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The history and options of the dialog as on first use.
void ForgetFindSettings()
{
    CSettingsStore& store = CSettingsStore::Get();
    for (const settings::StringKey* key :
         {&settings::InitialFindWhat, &settings::InitialFilesOfType, &settings::InitialFindFolder}) {
        store.WriteProfileString(key->section, key->key, "");
        for (int n = 1; n <= settings::kFindHistorySize; ++n)
            store.WriteProfileString(key->section, settings::FindHistoryKey(n), "");
    }
    store.WriteProfileInt("Find In Files", "Match Whole Word Only", 0);
    store.WriteProfileInt("Find In Files", "Match Case", 0);
    store.WriteProfileInt("Find In Files", "Look In Sub Folders", 1);
    store.WriteProfileInt("Find In Files", "File Names Only", 0);
}

class FindInFilesUseTest : public window_test::CleanDatabaseWindowTest {
protected:
    void SetUp() override
    {
        window_test::CleanDatabaseWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ForgetFindSettings();
        m_root = fs::temp_directory_path() / ("torvane-fif-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "sub dir (x)");
        WriteFile(m_root / "a.sql", "select 1;\n-- alpha here\nselect alpha from t;\n");
        WriteFile(m_root / "sub dir (x)" / "b.sql", "nothing\nsome ALPHA too\n");
        WriteFile(m_root / "c.log", "alpha in a log\n");
    }
    void TearDown() override
    {
        window_test::CleanDatabaseWindowTest::TearDown();
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }

    CChildFrame* Open()
    {
        CChildFrame* frame = window_test::OpenQueryWindow(m_connect);
        if (frame) {
            frame->Raise();
            Editor(frame).SetFocus();
            Settle();
        }
        return frame;
    }

    // Ctrl+Shift+F with the script for the dialog; true once the dialog has been through it.
    bool FindInFiles(CChildFrame* frame, CFindDialogDriver& driver)
    {
        frame->Raise();
        Editor(frame).SetFocus();
        Settle();
        wxUIActionSimulator().Char('F', wxMOD_CONTROL | wxMOD_SHIFT);
        const bool finished = PumpUntil([&] { return driver.Finished(); }, kWait);
        EXPECT_EQ(driver.StuckAt(), -1);
        return finished && driver.StuckAt() < 0;
    }

    // A search for text in folder, started through the dialog.
    void Search(CChildFrame* frame, const wxString& text, const wxString& folder)
    {
        CFindDialogDriver driver(Join({Fill(&CFindInFilesDlg::m_cboFindWhat, text),
                                       Fill(&CFindInFilesDlg::m_cboLookIn, folder), Press(WXK_RETURN)}));
        ASSERT_TRUE(FindInFiles(frame, driver));
    }

    wxString Root() const { return wxString::FromUTF8(m_root.string()); }

    fs::path m_root;
};

TEST_P(FindInFilesUseTest, TheDialogRefusesWhatItCannotSearchAndRemembersWhatItSearched)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    const wxString missing = Root() + "/missing";
    const struct {
        const char* what;
        wxString find, lookIn;
        wxString message;
        wxComboBox* CFindInFilesDlg::*focus;
    } refusals[] = {
        {"no text", "", Root(), "<Find what> is a required field.", &CFindInFilesDlg::m_cboFindWhat},
        {"no folder", "alpha", "", "<Look in> is a required field.", &CFindInFilesDlg::m_cboLookIn},
        {"a missing folder", "alpha", Root() + ";" + missing, "The folder '" + missing + "' does not exist.",
         &CFindInFilesDlg::m_cboLookIn},
    };
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        CMessageScript answers{wxID_OK};
        bool focused = false;
        wxString selected;
        CFindDialogDriver driver(Join({Fill(&CFindInFilesDlg::m_cboFindWhat, refusal.find),
                                       Fill(&CFindInFilesDlg::m_cboLookIn, refusal.lookIn), Press(WXK_RETURN),
                                       {[&](CFindInFilesDlg& dialog) {
                                           if (answers.Texts().empty())
                                               return false;
                                           focused = HasFocusIn(dialog.*refusal.focus);
                                           long from = 0, to = 0;
                                           (dialog.*refusal.focus)->GetSelection(&from, &to);
                                           selected = (dialog.*refusal.focus)->GetValue().Mid(from, to - from);
                                           return true;
                                       }},
                                       Press(WXK_ESCAPE)}));
        ASSERT_TRUE(FindInFiles(frame, driver));
        EXPECT_EQ(answers.Texts(), std::vector<wxString>{refusal.message});
        EXPECT_TRUE(focused);
        if (refusal.message.Contains("does not exist"))
            EXPECT_EQ(selected, missing);
        // Nothing was searched.
        EXPECT_EQ(frame->GetResultView()->GetText(), "");
    }

    // On first use the fixed types are offered, the first chosen.
    const std::vector<wxString> fixedTypes{"*.sql;*.qry;*.txt;*.tsq;*.ssq", "*.htm;*.html;*.aspx;*.ascx;*.asp;*.xml",
                                           "*.log", "*.*"};
    {
        CFindDialogDriver driver(Press(WXK_ESCAPE));
        ASSERT_TRUE(FindInFiles(frame, driver));
        ASSERT_TRUE(driver.Seen());
        EXPECT_EQ(driver.Seen()->typeItems, fixedTypes);
        EXPECT_EQ(driver.Seen()->filesOfType, fixedTypes[0]);
    }

    // Two searches: the find texts differ in case only, and both stay; the folder's history keeps
    // one entry, and the types list holds the history alone.
    Search(frame, "alpha", Root());
    ASSERT_TRUE(PumpUntil([&] { return Pane(frame, 0) == "Find in files completed"; }, kWait));
    Search(frame, "ALPHA", Root());
    ASSERT_TRUE(PumpUntil([&] { return Pane(frame, 0) == "Find in files completed"; }, kWait));
    CFindDialogDriver driver(Press(WXK_ESCAPE));
    ASSERT_TRUE(FindInFiles(frame, driver));
    ASSERT_TRUE(driver.Seen());
    EXPECT_EQ(driver.Seen()->findItems, (std::vector<wxString>{"ALPHA", "alpha"}));
    EXPECT_EQ(driver.Seen()->findWhat, "ALPHA");
    // The fixed types were items of the list, so the history holds them.
    EXPECT_EQ(driver.Seen()->typeItems, fixedTypes);
    EXPECT_EQ(driver.Seen()->filesOfType, fixedTypes[0]);
    EXPECT_EQ(driver.Seen()->lookInItems, std::vector<wxString>{Root()});
    EXPECT_EQ(driver.Seen()->lookIn, Root());
}

TEST_P(FindInFilesUseTest, ASearchListsItsHitsAndTheKeysAndADoubleClickOpenThem)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    // The menu offers the command while the window is idle.
    wxMenuItem* item = frame->GetMenuBar()->FindItem(ID_FIND_IN_FILES);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->GetItemLabel(), "Find i&n Files...\tCtrl+Shift+F");

    Search(frame, "alpha", Root());
    ASSERT_TRUE(PumpUntil([&] { return Pane(frame, 0) == "Find in files completed"; }, kWait)) << Pane(frame, 0);
    EXPECT_EQ(Pane(frame, 3), "3 occurrence(s) have been found");
    const wxString a = Root() + "/a.sql", b = Root() + "/sub dir (x)/b.sql";
    wxStyledTextCtrl& results = *frame->GetResultView();
    const wxString report = results.GetText();
    EXPECT_TRUE(report.StartsWith("             Find what: alpha\n")) << report;
    EXPECT_TRUE(report.Contains("\n" + a + " (2): -- alpha here\n" + a + " (3): select alpha from t;\n" + b +
                                " (2): some ALPHA too\n"))
        << report;
    EXPECT_TRUE(report.Contains("Total occurrences found: 3; Matching files: 2; Total files searched: 2")) << report;

    wxStyledTextCtrl& editor = Editor(frame);
    // The occurrence is selected on its line, however the line begins.
    const auto expectOpen = [&](const wxString& text, int line, const wxString& selected) {
        EXPECT_TRUE(PumpUntil([&] { return editor.GetText() == text && editor.GetSelectedText() == selected; }, kWait))
            << editor.GetText() << " / " << editor.GetSelectedText();
        EXPECT_EQ(editor.LineFromPosition(editor.GetSelectionStart()), line - 1);
    };
    const wxString aText = "select 1;\n-- alpha here\nselect alpha from t;\n";
    const wxString bText = "nothing\nsome ALPHA too\n";
    const struct {
        int key, modifiers;
        wxString text;
        int line;
        wxString selected;
    } walk[] = {
        {WXK_F4, wxMOD_NONE, aText, 2, "alpha"},   {WXK_F4, wxMOD_NONE, aText, 3, "alpha"},
        {WXK_F8, wxMOD_NONE, bText, 2, "ALPHA"},   {WXK_F4, wxMOD_NONE, aText, 2, "alpha"},
        {WXK_F4, wxMOD_SHIFT, bText, 2, "ALPHA"},  {WXK_F8, wxMOD_SHIFT, aText, 3, "alpha"},
    };
    for (const auto& step : walk) {
        SCOPED_TRACE(step.line);
        editor.SetFocus();
        Settle();
        editor.SetSelection(0, 0);
        wxUIActionSimulator().Char(step.key, step.modifiers);
        expectOpen(step.text, step.line, step.selected);
    }

    // A double click on a hit of the path with blanks and brackets.
    const int at = results.GetText().Find(b + " (2)");
    ASSERT_GE(at, 0);
    const int position = results.PositionRelative(0, at);
    results.ScrollToLine(results.LineFromPosition(position));
    Settle();
    wxUIActionSimulator mouse;
    mouse.MouseMove(results.ClientToScreen(results.PointFromPosition(position)) +
                    wxPoint(4, results.TextHeight(0) / 2));
    Settle();
    mouse.MouseDblClick();
    expectOpen(bText, 2, "ALPHA");
    // The file opened in the window that searched.
    EXPECT_EQ(frame->GetQueryDoc()->GetFilename(), b);

    // F3 in the editor goes on with the searched text.
    editor.SetFocus();
    Settle();
    editor.SetSelection(0, 0);
    wxUIActionSimulator().Char(WXK_F3);
    EXPECT_TRUE(PumpUntil([&] { return editor.GetSelectedText() == "ALPHA"; }, kWait)) << editor.GetSelectedText();
}

// A tree big enough that a search is still under way when the keys reach it; made once, and
// removed when the tests end.
struct CBigTree {
    CBigTree() : root(fs::temp_directory_path() / ("torvane-fif-big-" + std::to_string(::getpid())))
    {
        fs::remove_all(root);
        std::string content;
        for (int line = 0; line < 40000; ++line)
            content += line % 400 == 0 ? "select alpha from generated_table where n = 1;\n"
                                       : "select column_one, column_two from generated_table;\n";
        for (int n = 0; n < 120; ++n) {
            const fs::path sub = root / ("part" + std::to_string(n % 12));
            fs::create_directories(sub);
            std::ofstream(sub / ("q" + std::to_string(n) + ".sql"), std::ios::binary) << content;
        }
    }
    ~CBigTree()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    const fs::path root;
};

fs::path BigTree()
{
    static const CBigTree tree;
    return tree.root;
}

// Runs act once a search of the window is under way, from a timer tick inside its loop.
class CWhileSearching {
public:
    CWhileSearching(CChildFrame* frame, std::function<void()> act) : m_frame(frame), m_act(std::move(act))
    {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            // The report's header is in the pane while the search goes on.
            if (m_done || !m_frame->IsFindInFilesRunning() || m_frame->GetResultView()->GetLength() == 0)
                return;
            m_done = true;
            m_act();
        });
        m_timer.Start(20);
    }
    bool Done() const { return m_done; }

private:
    CChildFrame* m_frame;
    std::function<void()> m_act;
    wxTimer m_timer;
    bool m_done = false;
};

TEST_P(FindInFilesUseTest, EscStopsALongSearch)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    const wxString tree = wxString::FromUTF8(BigTree().string());
    CWhileSearching escape(frame, [] { wxUIActionSimulator().Char(WXK_ESCAPE); });
    Search(frame, "alpha", tree);
    ASSERT_TRUE(PumpUntil([&] { return Pane(frame, 0).StartsWith("Find in files c"); }, kWait)) << Pane(frame, 0);
    ASSERT_TRUE(escape.Done()) << "the search ended before it was seen under way: " << Pane(frame, 2) << " " << Pane(frame, 3);
    EXPECT_EQ(Pane(frame, 0), "Find in files canceled") << Pane(frame, 2);
    wxString report = frame->GetResultView()->GetText();
    EXPECT_TRUE(report.Trim().EndsWith("\nCanceled.")) << report.Right(200);
    EXPECT_FALSE(report.Contains("Total occurrences found:"));
    // The window takes the command again.
    CFindDialogDriver again(Press(WXK_ESCAPE));
    EXPECT_TRUE(FindInFiles(frame, again));
}

TEST_P(FindInFilesUseTest, ClosingTheWindowDuringASearchStopsItAndTheWindowGoes)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    const wxString tree = wxString::FromUTF8(BigTree().string());
    CMessageScript answers{wxID_YES, wxID_NO};
    CWhileSearching close(frame, [frame] { frame->Close(); });
    Search(frame, "alpha", tree);
    ASSERT_TRUE(PumpUntil([&] { return close.Done() && Main().GetConnectionCount() == 0; }, kWait))
        << Main().GetConnectionCount();
    ASSERT_FALSE(answers.Texts().empty());
    EXPECT_EQ(answers.Texts()[0], "Are you sure you wish to stop this Find in Files operation?");
}

TEST(FindInFilesHistory, NewTextsGoOnTopAndTheListKeepsSixteen)
{
    std::vector<wxString> full;
    for (int n = 16; n >= 1; --n)
        full.push_back(wxString::Format("t%d", n));
    const struct {
        const char* what;
        std::vector<wxString> before;
        wxString text;
        bool caseSensitive;
        std::vector<wxString> after;
    } cases[] = {
        {"new on top", {"b", "c"}, "a", true, {"a", "b", "c"}},
        {"known keeps its place", {"b", "c"}, "c", true, {"b", "c"}},
        {"case counts for the text", {"Alpha"}, "alpha", true, {"alpha", "Alpha"}},
        {"case does not count for folders", {"/Data"}, "/data", false, {"/Data"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<wxString> items = c.before;
        AddToFindHistory(items, c.text, c.caseSensitive);
        EXPECT_EQ(items, c.after);
    }
    std::vector<wxString> items = full;
    AddToFindHistory(items, "new", true);
    ASSERT_EQ(items.size(), 16u);
    EXPECT_EQ(items.front(), "new");
    EXPECT_EQ(items.back(), "t2");
}

INSTANTIATE_TEST_SUITE_P(Drivers, FindInFilesUseTest, ::testing::Values(Driver::SQLite, Driver::PostgreSQL),
                         [](const ::testing::TestParamInfo<Driver>& info) { return DriverName(info.param); });

} // namespace
