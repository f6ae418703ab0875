// The program as a person starts and leaves it, with keys and clicks sent through the display:
// what is typed at once after a start or a new window lands in its editor, Ctrl+F4 closes the
// window, and File > Exit asks about every modified window. Keys go to whichever window holds
// the focus, in any process, so these tests run alone (their names hold "Keyboard").
#include "GuiSupport.h"

#include "app/MainFrame.h"
#include "app/MDIClientWnd.h"
#include "app/TorvaneApp.h"
#include "common/CommandIds.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "query/ChildFrame.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestTiming.h"
#include "tests/window/LongQuery.h"

#include <gtest/gtest.h>
#include <wx/aui/auibook.h>
#include <wx/menu.h>
#include <wx/stc/stc.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Deadlines that only catch a hang.
int WaitMs()
{
    return static_cast<int>(torvane::test::Scaled(std::chrono::milliseconds(15000)).count());
}

// A pause for what the display has to deliver (keys, pointer moves).
void Settle()
{
    Pump(200);
}

wxString EditorText(CChildFrame* frame)
{
    return frame->GetQueryView()->GetEditCtrl()->GetText();
}

class ShellKeyboardTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        m_connect = SqliteConnect(m_db);
    }

    // Starts the program as the shell does, on the test's database, and brings its window to the
    // front as the desktop does for a window that has just opened.
    void StartConnected()
    {
        ASSERT_TRUE(Start({"-C", m_connect}));
        ASSERT_EQ(Frame().GetQueryWindows().size(), 1u);
        Frame().Raise();
        Settle();
    }

    const std::vector<CChildFrame*>& Windows() { return Frame().GetQueryWindows(); }

    // Types at once, wherever the focus is, and waits until the window's editor shows it.
    bool TypeInto(CChildFrame* frame, const wxString& text)
    {
        wxUIActionSimulator().Text(text.utf8_str());
        return Pump(WaitMs(), [frame, text] { return EditorText(frame).EndsWith(text); });
    }

    void Press(int key, int modifiers = wxMOD_NONE)
    {
        wxUIActionSimulator().Char(key, modifiers);
        Settle();
    }

    bool WaitForWindows(size_t count)
    {
        return Pump(WaitMs(), [this, count] { return TheApp().GetMainFrame() && Windows().size() == count; });
    }

    wxString m_connect;
};

// On each driver.
class ShellDriverKeyboardTest : public ShellKeyboardTest, public ::testing::WithParamInterface<torvane::test::Driver> {
protected:
    void SetUp() override
    {
        ShellKeyboardTest::SetUp();
        if (IsPostgres() && !torvane::test::PostgresConfigured())
            GTEST_SKIP() << "no PostgreSQL";
        if (IsPostgres())
            m_connect = "Provider=MSDASQL;" + wxString::FromUTF8(torvane::test::PostgresConnectionString());
    }

    bool IsPostgres() const { return GetParam() == torvane::test::Driver::PostgreSQL; }

    // A query that runs until it is cancelled, and whether it runs at the database.
    wxString LongQuery() const { return window_test::LongQuery(GetParam()); }
    bool LongQueryRunning() const
    {
        return window_test::LongQueryRunning(GetParam(), IsPostgres() ? torvane::test::PostgresConnectionString()
                                                                      : "Driver=SQLite3;Database=" + m_db + ";");
    }
};

TEST_F(ShellKeyboardTest, KeyboardWhatIsTypedAtOnceGoesToTheNewWindowsEditor)
{
    StartConnected();
    CChildFrame* first = Windows()[0];
    EXPECT_TRUE(TypeInto(first, "select 1")) << "the editor holds \"" << EditorText(first) << "\"";

    // File > New (Ctrl+N): a new window on the same connection.
    Press('N', wxMOD_CONTROL);
    ASSERT_TRUE(WaitForWindows(2));
    CChildFrame* second = Windows()[1];
    EXPECT_TRUE(TypeInto(second, "select 2")) << "the editor holds \"" << EditorText(second) << "\"";

    // File > Data Link Properties (Ctrl+T), answered with the connection.
    {
        CDataLinkAnswer connect(SqliteConnect(m_db));
        Press('T', wxMOD_CONTROL);
        ASSERT_TRUE(WaitForWindows(3));
    }
    CChildFrame* third = Windows()[2];
    EXPECT_TRUE(TypeInto(third, "select 3")) << "the editor holds \"" << EditorText(third) << "\"";

    EXPECT_EQ(EditorText(first), wxString("select 1"));
    EXPECT_EQ(EditorText(second), wxString("select 2"));
    for (CChildFrame* frame : Windows())
        frame->GetQueryDoc()->Modify(false);
}

TEST_F(ShellKeyboardTest, KeyboardCtrlF4ClosesTheActiveWindowAskingAboutItsText)
{
    StartConnected();
    CChildFrame* first = Windows()[0];
    first->GetQueryView()->GetEditCtrl()->SetFocus();
    Settle();
    ASSERT_TRUE(TypeInto(first, "select 1"));
    Press('N', wxMOD_CONTROL);
    ASSERT_TRUE(WaitForWindows(2));

    // The new window has nothing to save: it goes without a question.
    CMessageScript answers{wxID_NO};
    Press(WXK_F4, wxMOD_CONTROL);
    ASSERT_TRUE(WaitForWindows(1));
    EXPECT_EQ(Windows()[0], first);
    EXPECT_TRUE(answers.Texts().empty());

    // The first asks to save what was typed; No closes it.
    Press(WXK_F4, wxMOD_CONTROL);
    ASSERT_TRUE(WaitForWindows(0));
    EXPECT_EQ(answers.Texts(), std::vector<wxString>{"Save changes to Untitled_1?"});
    EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(1), "Total number of connections: 0");
}

// The close button on the tab of the active window, in screen coordinates.
wxPoint TabCloseButton(CMainFrame& main, CChildFrame* frame)
{
    wxAuiTabCtrl* tabs = nullptr;
    int index = -1;
    if (!main.GetMDIClient()->FindTab(frame, &tabs, &index))
        return wxDefaultPosition;
    const wxRect tab = tabs->GetPage(index).rect;
    const int y = tab.y + tab.height / 2;
    for (int x = tab.GetRight(); x > tab.x; --x) {
        wxAuiTabContainerButton* button = nullptr;
        if (tabs->ButtonHitTest(x, y, &button) && button->id == wxAUI_BUTTON_CLOSE)
            return tabs->ClientToScreen(wxPoint(button->rect.x + button->rect.width / 2, y));
    }
    return wxDefaultPosition;
}

TEST_P(ShellDriverKeyboardTest, KeyboardExitAsksAboutEveryModifiedWindowAlsoOneWhoseRunWasCancelled)
{
    StartConnected();
    CChildFrame* first = Windows()[0];
    first->GetQueryView()->GetEditCtrl()->SetText("select 'first'");
    for (int i = 0; i < 2; ++i) {
        Press('N', wxMOD_CONTROL);
        ASSERT_TRUE(WaitForWindows(2u + i));
    }
    CChildFrame* cancelled = Windows()[1];
    CChildFrame* last = Windows()[2];
    last->GetQueryView()->GetEditCtrl()->SetText("select 'last'");

    // The middle window runs a query that only a cancel ends, then its tab's close button is
    // clicked and the cancel confirmed: the run ends and the window stays.
    Frame().GetMDIClient()->SetSelection(1);
    Settle();
    ASSERT_EQ(Frame().GetActiveQueryWindow(), cancelled);
    cancelled->GetQueryView()->GetEditCtrl()->SetFocus();
    Settle();
    ASSERT_TRUE(TypeInto(cancelled, LongQuery()));
    Press(WXK_F5);
    ASSERT_TRUE(Pump(WaitMs(), [this, cancelled] { return cancelled->IsExecuting() && LongQueryRunning(); }));
    const wxPoint close = TabCloseButton(Frame(), cancelled);
    ASSERT_NE(close, wxDefaultPosition);
    {
        CMessageScript confirm{wxID_YES};
        wxUIActionSimulator mouse;
        mouse.MouseMove(close);
        Settle();
        mouse.MouseClick();
        ASSERT_TRUE(Pump(WaitMs(), [&confirm] { return !confirm.Texts().empty(); }));
        EXPECT_EQ(confirm.Texts(), std::vector<wxString>{"Are you sure you wish to cancel this query?"});
        ASSERT_TRUE(Pump(WaitMs(), [cancelled] { return !cancelled->IsExecuting(); }));
    }
    ASSERT_EQ(Windows().size(), 3u);
    // Another window is active when the program is left.
    Frame().GetMDIClient()->SetSelection(2);
    Settle();
    ASSERT_EQ(Frame().GetActiveQueryWindow(), last);

    // File > Exit; No for each question: every modified window asks before it goes.
    wxWeakRef<wxWindow> mainWindow(&Frame());
    CMessageScript answers{wxID_NO, wxID_NO, wxID_NO, wxID_NO};
    wxMenuItem* exit = Frame().GetMenuBar()->FindItem(ID_APP_EXIT);
    ASSERT_TRUE(exit);
    exit->GetMenu()->SendEvent(ID_APP_EXIT);
    ASSERT_TRUE(Pump(WaitMs(), [&mainWindow] { return !mainWindow; })) << "the program did not end";
    std::vector<wxString> texts = answers.Texts();
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<wxString>{"Save changes to Untitled_1?", "Save changes to Untitled_2?",
                                            "Save changes to Untitled_3?"}));
}

INSTANTIATE_TEST_SUITE_P(Drivers, ShellDriverKeyboardTest,
                         ::testing::Values(torvane::test::Driver::SQLite, torvane::test::Driver::PostgreSQL),
                         [](const ::testing::TestParamInfo<torvane::test::Driver>& info) {
                             return torvane::test::DriverName(info.param);
                         });

} // namespace
