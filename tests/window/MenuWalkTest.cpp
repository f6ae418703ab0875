// The menus as a person meets them: every menu of the main window and of a connected query window
// (SQLite and PostgreSQL), item by item in order, with each item's text and keys as they are
// meant to be; and every item, context menu item and toolbar button that shows enabled, chosen as the
// menu chooses it, is handled by a command.
#include "app/ConnectCommands.h"
#include "app/MainFrame.h"
#include "app/TorvaneApp.h"
#include "common/CommandIds.h"
#include "editor/QryView.h"
#include "platform/MessageBox.h"
#include "query/BatchExecution.h"
#include "query/ChildFrame.h"
#include "query/CompanionCommands.h"
#include "query/MSHFlexGrid.h"
#include "query/QueryKeyRouting.h"
#include "query/ResultCommands.h"
#include "query/ResultView.h"
#include "QueryWindowTest.h"
#include "query/SchemaPane.h"
#include "schema/SchemaCommands.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestTiming.h"
#include "WindowTestMain.h"

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>
#include <wx/accel.h>
#include <wx/clipbrd.h>
#include <wx/fdrepdlg.h>
#include <wx/menu.h>
#include <wx/stc/stc.h>
#include <wx/timer.h>
#include <wx/toolbar.h>
#include <wx/tokenzr.h>
#include <wx/uiaction.h>

#include <cstdlib>
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

const auto kHang = Scaled(20s);

// ---- The menus as the program gives them ----

// An item: its text as the program gives it (the label, then after a tab the keys, several joined
// by "/"), the keys it answers besides, and for a submenu its items. Texts no design fixes
// are the program's own. A null text is a separator.
struct Item {
    int id;
    const char* text;
    const char* moreKeys = "";
    std::vector<Item> submenu = {};
};
const Item kSeparator{0, nullptr};

struct Menu {
    const char* title;
    std::vector<Item> items;
};

const Item kDrivers{ID_MENU_DRIVERS, "OD&BC \"DSN-less\" Logins", "", {{ID_DRIVER_NONE, "<None>"}}};
const Item kRecent[] = {
    {ID_MENU_RECENT_FILES, "Recent &Files", "", {}},
    {ID_MENU_RECENT_DATA_LINKS, "&Recent Data Link Files", "", {{ID_MRU_DATA_LINK_FIRST, "<None>"}}},
    {ID_MENU_RECENT_DSN_LESS, "Recent \"DSN-less\" Lo&gins", "", {{ID_MRU_DSN_LESS_FIRST, "<None>"}}},
};

const Menu kTools{"&Tools",
                  {{ID_TOOLS_ODBC_ADMINISTRATOR, "&ODBC Data Source Administrator"},
                   {ID_TOOLS_SYSTEM_INFORMATION, "&System Information"}}};
const Menu kQueryTools{"&Tools",
                       {{ID_TOOLS_ODBC_ADMINISTRATOR, "&ODBC Data Source Administrator"},
                        {ID_TOOLS_SYSTEM_INFORMATION, "&System Information"},
                        kSeparator,
                        {ID_ODBC_DRIVER_INFO, "&ODBC Driver Information..."},
                        {ID_PROVIDER_TYPES, "&Types..."},
                        kSeparator,
                        {ID_DUMP_KEYWORDS, "Provider &Keywords"},
                        {ID_DUMP_LITERALS, "Provider &Literals"}}};
const Menu kHelp{"&Help",
                 {{ID_HELP_README, "&Readme\tF1"},
                  {ID_HELP_COMMENTS, "&Comments and Bug Report"},
                  {ID_HELP_DATA_ACCESS, "&Universal Data Access"}}};

const std::vector<Menu> kMainBar = {
    {"&File",
     {{ID_FILE_DATA_LINK, "Data Lin&k Properties...\tCtrl+T"},
      {ID_FILE_DATA_LINK_FILE, "From Data Link F&ile...\tCtrl+Shift+T"},
      kDrivers,
      kSeparator,
      {ID_FILE_OPEN, "&Open...\tCtrl+O"},
      kSeparator,
      {ID_FILE_PRINT_SETUP, "Print Set&up..."},
      kSeparator,
      kRecent[0],
      kRecent[1],
      kRecent[2],
      kSeparator,
      {ID_APP_EXIT, "E&xit"}}},
    kTools,
    kHelp,
};

const std::vector<Menu> kQueryBar = {
    {"&File",
     {{ID_NEW_CONNECTION_WINDOW, "&New\tCtrl+N"},
      {ID_FILE_DATA_LINK, "Data Lin&k Properties...\tCtrl+T"},
      {ID_FILE_DATA_LINK_FILE, "From Data Link F&ile...\tCtrl+Shift+T"},
      kDrivers,
      kSeparator,
      {ID_FILE_OPEN, "&Open...\tCtrl+O"},
      {ID_FILE_SAVE, "&Save\tCtrl+S"},
      {ID_FILE_SAVE_AS, "Save &As..."},
      {ID_FILE_SAVE_ALL, "Save Al&l\tCtrl+Shift+S"},
      kSeparator,
      {ID_FILE_DISCONNECT, "&Disconnect"},
      {ID_FILE_CLOSE_ALL, "Dis&connect All"},
      kSeparator,
      {ID_FILE_PRINT, "&Print...\tCtrl+P"},
      {ID_FILE_PRINT_PREVIEW, "Print Pre&view"},
      {ID_FILE_PRINT_SETUP, "Print Set&up..."},
      kSeparator,
      kRecent[0],
      kRecent[1],
      kRecent[2],
      kSeparator,
      {ID_APP_EXIT, "E&xit"}}},
    {"&Edit",
     {{ID_EDIT_UNDO, "&Undo\tCtrl+Z"},
      {ID_EDIT_REDO, "&Redo\tCtrl+Y"},
      kSeparator,
      {ID_EDIT_CUT, "Cu&t\tCtrl+X"},
      {ID_EDIT_COPY, "&Copy\tCtrl+C"},
      {ID_EDIT_PASTE, "&Paste\tCtrl+V"},
      {ID_EDIT_CLEAR_ALL, "Clear A&ll\tCtrl+Shift+Del"},
      {ID_EDIT_SELECT_ALL, "&Select All\tCtrl+A"},
      kSeparator,
      {ID_EDIT_FIND, "&Find...\tCtrl+F"},
      {ID_EDIT_REPLACE, "R&eplace...\tCtrl+H"},
      {ID_FIND_IN_FILES, "Find i&n Files...\tCtrl+Shift+F"},
      {ID_GO_TO_LINE, "&Go to Line...\tCtrl+G"},
      {ID_EDIT_MATCH_BRACE, "Match &Brace\tCtrl+]"},
      kSeparator,
      {0,
       "A&dvanced",
       "",
       {{ID_EDIT_UPPERCASE, "Make Selection &Uppercase\tCtrl+Shift+U"},
        {ID_EDIT_LOWERCASE, "Make Selection &Lowercase\tCtrl+U"},
        kSeparator,
        {ID_EDIT_TABIFY, "&Tabify Selection\tCtrl+B"},
        {ID_EDIT_UNTABIFY, "U&ntabify Selection\tCtrl+Shift+B"},
        {ID_EDIT_INCREASE_INDENT, "&Increase Indent\tTab"},
        {ID_EDIT_DECREASE_INDENT, "&Decrease Indent\tShift+Tab"},
        kSeparator,
        {0,
         "&Comment Selection",
         "",
         {{ID_EDIT_COMMENT_DASHES, "Use '&--' Style\tCtrl+K"},
          {ID_EDIT_COMMENT_SLASH_STAR, "Use '&/**/' Style\tCtrl+*"}}},
        {ID_EDIT_UNCOMMENT, "Uncomment &Selection\tCtrl+Shift+K"}}}}},
    {"&Query",
     {{ID_QUERY_EXECUTE, "&Execute\tF5/Ctrl+E/Alt+X"},
      {ID_QUERY_EXECUTE_SAVE_AS, "Execute and Sa&ve As...\tCtrl+F5"},
      {ID_QUERY_CANCEL, "C&ancel Executing Query\tAlt+Break"},
      kSeparator,
      {ID_RESULTS_IN_TEXT, "Res&ults in Text\tCtrl+R"},
      kSeparator,
      {ID_NEXT_ERROR_BATCH, "&Next Error Batch/Tag\tF4/F8"},
      {ID_PREVIOUS_ERROR_BATCH, "Previ&ous Error Batch/Tag\tShift+F4", "Shift+F8"}}},
    {"&Results Grid",
     {{ID_PREVIOUS_GRID, "&Previous\tCtrl+1"},
      {ID_NEXT_GRID, "&Next\tCtrl+2"},
      {ID_FIRST_GRID, "&First\tCtrl+3"},
      {ID_LAST_GRID, "&Last\tCtrl+4"},
      kSeparator,
      {ID_GO_TO_GRID, "&Go to...\tCtrl+D"}}},
    {"&View",
     {{ID_VIEW_SCHEMA, "Sch&ema\tAlt+0", "Ctrl+M"},
      {ID_VIEW_OUTPUT, "&Output\tAlt+2"},
      {ID_MESSAGES_MODE, "&Messages\tAlt+1", "Ctrl+L"},
      kSeparator,
      {ID_NEXT_PANE, "&Next pane\tF6"},
      {ID_PREVIOUS_PANE, "&Previous Pane\tShift+F6"},
      kSeparator,
      {ID_VIEW_WORD_WRAP, "&Word Wrap\tF7"},
      {ID_FORMAT_FONT, "&Font..."},
      {ID_REFRESH, "Refres&h\tF8"},
      kSeparator,
      {ID_SCHEMA_PROPERTIES, "&Properties\tAlt+Enter"}}},
    kQueryTools,
    {"&Window",
     {{ID_WINDOW_CASCADE, "&Cascade"},
      {ID_WINDOW_TILE_HORZ, "Tile &Horizontally"},
      {ID_WINDOW_TILE_VERT, "Tile &Vertically"},
      {ID_WINDOW_ARRANGE, "&Arrange Icons"},
      kSeparator,
      {ID_WINDOW_NEXT, "&Next Window\tCtrl+F6"},
      {ID_WINDOW_PREVIOUS, "&Previous Window\tCtrl+Shift+F6"}}},
    kHelp,
};

// The accelerators of a key text: the Break key is X's Pause key; Tab and Shift+Tab stay the
// editor's own keys (the indent commands of EditorCommandsTest), no window-wide accelerator.
std::set<wxString> ExpectedAccelerators(const wxString& keys)
{
    std::set<wxString> result;
    for (wxString key : wxStringTokenize(keys, "/", wxTOKEN_STRTOK)) {
        if (key == "Tab" || key == "Shift+Tab")
            continue;
        key.Replace("Break", "Pause");
        wxAcceleratorEntry entry;
        EXPECT_TRUE(entry.FromString(key)) << key;
        result.insert(entry.ToRawString());
    }
    return result;
}

std::set<wxString> AcceleratorsOf(wxMenuItem& item)
{
    std::set<wxString> result;
    if (wxAcceleratorEntry* accel = item.GetAccel()) {
        result.insert(accel->ToRawString());
        delete accel;
    }
    for (const wxAcceleratorEntry& extra : item.GetExtraAccels())
        result.insert(extra.ToRawString());
    return result;
}

void ExpectItems(wxMenu& menu, const std::vector<Item>& expected, const wxString& where)
{
    ASSERT_EQ(menu.GetMenuItemCount(), expected.size()) << where;
    for (size_t i = 0; i < expected.size(); ++i) {
        wxMenuItem& item = *menu.FindItemByPosition(i);
        const Item& want = expected[i];
        const wxString place = where + " > " + (want.text ? wxString::FromUTF8(want.text) : wxString("---"));
        if (!want.text) {
            EXPECT_TRUE(item.IsSeparator()) << place;
            continue;
        }
        const wxString text = wxString::FromUTF8(want.text);
        EXPECT_EQ(item.GetItemLabel().BeforeFirst('\t'), text.BeforeFirst('\t')) << place;
        if (want.id) {
            EXPECT_EQ(item.GetId(), want.id) << place;
        }
        if (item.IsSubMenu()) {
            EXPECT_FALSE(want.submenu.empty() && want.id != ID_MENU_RECENT_FILES) << place;
            ExpectItems(*item.GetSubMenu(), want.submenu, place);
            continue;
        }
        std::set<wxString> keys = ExpectedAccelerators(text.AfterFirst('\t'));
        for (const wxString& key : ExpectedAccelerators(wxString::FromUTF8(want.moreKeys)))
            keys.insert(key);
        EXPECT_EQ(AcceleratorsOf(item), keys) << place;
        // The first key stands beside the label.
        if (wxAcceleratorEntry* accel = item.GetAccel()) {
            EXPECT_EQ(item.GetItemLabel().AfterFirst('\t'), accel->ToRawString()) << place;
            delete accel;
        }
    }
}

void ExpectMenuBar(wxMenuBar& bar, const std::vector<Menu>& expected)
{
    ASSERT_EQ(bar.GetMenuCount(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(bar.GetMenuLabel(i), wxString::FromUTF8(expected[i].title));
        ExpectItems(*bar.GetMenu(i), expected[i].items, wxString::FromUTF8(expected[i].title));
    }
}

// ---- Choosing what shows enabled ----

// Every enabled command item of a menu and its submenus, after the menu opened as it does for the
// user (the drivers' and recent lists' submenus fill as they open).
void EnabledItems(wxMenu& menu, std::vector<wxMenuItem*>& out)
{
    wxMenuEvent open(wxEVT_MENU_OPEN, 0, &menu);
    Main().GetEventHandler()->ProcessEvent(open);
    menu.UpdateUI(Main().GetEventHandler());
    for (wxMenuItem* item : menu.GetMenuItems()) {
        if (item->IsSeparator() || !item->IsEnabled())
            continue;
        if (item->IsSubMenu())
            EnabledItems(*item->GetSubMenu(), out);
        else
            out.push_back(item);
    }
}

std::vector<wxMenuItem*> EnabledItems(wxMenuBar& bar)
{
    std::vector<wxMenuItem*> items;
    for (size_t i = 0; i < bar.GetMenuCount(); ++i)
        EnabledItems(*bar.GetMenu(i), items);
    return items;
}

// What a choice may open or start stays harmless: modal dialogs are cancelled, messages take
// their default answers, programs are not found, there is no printer, the program does not quit.
class Harmless {
public:
    Harmless() : m_emptyFolder(NewTempPath("-bin")), m_path(std::getenv("PATH") ? std::getenv("PATH") : "")
    {
        std::filesystem::create_directories(m_emptyFolder);
        setenv("PATH", m_emptyFolder.c_str(), 1);
        setenv("CUPS_SERVER", (m_emptyFolder + "/no-cups.sock").c_str(), 1);
        Main().Bind(wxEVT_CLOSE_WINDOW, &Harmless::OnClose, this);
    }
    ~Harmless()
    {
        Main().Unbind(wxEVT_CLOSE_WINDOW, &Harmless::OnClose, this);
        setenv("PATH", m_path.c_str(), 1);
        unsetenv("CUPS_SERVER");
    }
    int Closes() const { return m_closes; }

private:
    void OnClose(wxCloseEvent& event)
    {
        ++m_closes;
        event.Veto();
    }

    window_test::CancelModalDialogs m_dialogs;
    CMessageScript m_messages;
    std::string m_emptyFolder;
    std::string m_path;
    int m_closes = 0;
};

// Modeless windows a choice opened (Go To, Find, Replace) are closed again.
void CloseModelessWindows()
{
    for (wxWindow* window : std::vector<wxWindow*>(wxTopLevelWindows.begin(), wxTopLevelWindows.end())) {
        if (window != &Main() && window->IsShown() && !window->IsBeingDeleted())
            window->Close();
    }
    Pump();
}

// Chooses the item as its menu does; true when a command handled it.
bool Choose(wxMenuItem& item)
{
    const bool processed = item.GetMenu()->SendEvent(item.GetId(), item.IsCheckable() ? !item.IsChecked() : -1);
    Pump();
    return processed;
}

// ---- The main window without query windows ----

class MenuWalk : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        ASSERT_EQ(Main().GetConnectionCount(), 0u);
    }
    void TearDown() override
    {
        if (window_test::HaveDisplay())
            window_test::CloseQueryWindows();
    }
};

TEST_F(MenuWalk, TheMainWindowsOwnMenus)
{
    wxMenuBar* bar = Main().GetMenuBar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar, Main().GetOwnMenuBar());
    ExpectMenuBar(*bar, kMainBar);

    Harmless harmless;
    const std::vector<wxMenuItem*> items = EnabledItems(*bar);
    // The connect commands, Print Setup, Exit, the ODBC administrator and Help; Open needs a
    // query window; the drivers' submenu has filled.
    std::set<int> ids;
    for (wxMenuItem* item : items)
        ids.insert(item->GetId());
    for (int id : std::initializer_list<int>{ID_FILE_DATA_LINK, ID_FILE_DATA_LINK_FILE, ID_FILE_PRINT_SETUP, ID_APP_EXIT,
                   ID_TOOLS_ODBC_ADMINISTRATOR, ID_HELP_README, ID_HELP_COMMENTS, ID_HELP_DATA_ACCESS, ID_DRIVER_FIRST})
        EXPECT_TRUE(ids.count(id)) << id;
    EXPECT_FALSE(ids.count(ID_FILE_OPEN));
    EXPECT_FALSE(ids.count(ID_DRIVER_NONE));
    for (wxMenuItem* item : items) {
        EXPECT_TRUE(Choose(*item)) << item->GetItemLabel();
        CloseModelessWindows();
    }
    EXPECT_EQ(harmless.Closes(), 1); // Exit
    EXPECT_EQ(Main().GetConnectionCount(), 0u);
}

// ---- A connected query window ----

// The panes a walk starts from.
enum class Pane { Editor, EditorAtBrace, FirstGrid, LastGrid, Messages, Schema };

class QueryMenuWalk : public ::testing::TestWithParam<Driver> {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        ASSERT_EQ(Main().GetConnectionCount(), 0u);
        if (GetParam() == Driver::PostgreSQL && !PostgresConfigured())
            GTEST_SKIP() << "no PostgreSQL";
        const std::string connect = CleanDatabaseConnectionString(GetParam());
        m_window = window_test::OpenQueryWindow(connect);
        ASSERT_TRUE(m_window);
        // A second window, so that the window commands have one to go to.
        m_other = window_test::OpenQueryWindow(connect);
        ASSERT_TRUE(m_other);
    }
    void TearDown() override
    {
        if (window_test::HaveDisplay())
            window_test::CloseQueryWindows();
    }

    static wxStyledTextCtrl& Editor(CChildFrame* frame) { return *frame->GetQueryView()->GetEditCtrl(); }

    // Two grids of a run, shown in the output pane, the query in the editor with part of it
    // selected and the caret before a brace; then the pane of the walk becomes active.
    void Prepare(Pane pane)
    {
        // Windows a choice opened go; the first window is the active one again.
        for (CChildFrame* frame : std::vector<CChildFrame*>(Main().GetQueryWindows()))
            if (frame != m_window && frame != m_other)
                frame->Close(true);
        PumpUntil([] { return Main().GetConnectionCount() == 2; }, kHang);
        Main().CascadeWindows();
        m_window->Activate();
        window_test::SetResultsInText(*m_window, false);
        m_window->ShowSchemaPane(true);
        if (!m_window->IsOutputPaneShown())
            m_window->OnViewOutput();
        wxStyledTextCtrl& edit = Editor(m_window);
        if (!HasTwoGrids() || edit.GetText() != kQuery) {
            edit.SetText(kQuery);
            edit.GotoPos(0);
            Command(ID_QUERY_EXECUTE);
            ASSERT_TRUE(PumpUntil([this] { return !m_window->IsExecuting(); }, kHang));
            ASSERT_TRUE(HasTwoGrids()) << ResultSetPane();
        }
        // "(1) as a" selected, the caret before "(" (at the brace, nothing selected).
        edit.SetAnchor(pane == Pane::EditorAtBrace ? 7 : 15);
        edit.SetCurrentPos(7);
        if (pane == Pane::FirstGrid || pane == Pane::LastGrid) {
            const int n = pane == Pane::FirstGrid ? 1 : 2;
            // Back from the messages to the grid, then to the first or the last grid.
            if (ResultSetPane() == "Messages")
                Command(ID_MESSAGES_MODE);
            if (!ResultSetPane().StartsWith(wxString::Format("Results grid #%d of 2;", n)))
                Command(n == 1 ? ID_FIRST_GRID : ID_LAST_GRID);
            ASSERT_TRUE(ResultSetPane().StartsWith(wxString::Format("Results grid #%d of 2;", n))) << ResultSetPane();
        } else if (pane == Pane::Messages) {
            if (ResultSetPane() != "Messages")
                Command(ID_MESSAGES_MODE);
            ASSERT_EQ(ResultSetPane(), "Messages");
        }
        // The focus settles (its events may come late), then the pane of the walk takes it.
        Pump();
        EXPECT_TRUE(PumpUntil([this, pane] { return Activate(pane); }, kHang)) << "the pane did not become active";
    }

    void Command(int id)
    {
        wxCommandEvent command(wxEVT_MENU, id);
        m_window->GetEventHandler()->ProcessEvent(command);
        Pump();
    }
    wxString ResultSetPane() const { return window_test::StatusPane(*m_window, 3); }
    // The run of the query left its two grids.
    bool HasTwoGrids() const { return m_window->GetResultGrid(2) && !m_window->GetResultGrid(3); }

    // Activates the pane; true when it is the window's active pane.
    bool Activate(Pane pane)
    {
        switch (pane) {
        case Pane::Editor:
        case Pane::EditorAtBrace: m_window->ActivateEditorPane(); break;
        case Pane::Schema: m_window->ActivateSchemaPane(); break;
        default: m_window->ActivateResultsPane(); break;
        }
        Pump();
        const CGoToPane active = m_window->GetGoToPane();
        switch (pane) {
        case Pane::Editor:
        case Pane::EditorAtBrace: return active.text == &Editor(m_window);
        case Pane::Schema: return active.IsNone();
        case Pane::Messages: return active.text == m_window->GetResultView();
        default: return active.IsRows();
        }
    }

    // Chooses every item that shows enabled, each from the prepared pane; returns their ids.
    std::set<int> WalkFrom(Pane pane)
    {
        std::set<int> chosen;
        Prepare(pane);
        std::vector<int> ids;
        for (wxMenuItem* item : EnabledItems(*Main().GetMenuBar()))
            ids.push_back(item->GetId());
        // Those that end the windows are chosen by themselves at the end.
        for (int id : ids) {
            if (id == ID_FILE_DISCONNECT || id == ID_FILE_CLOSE_ALL)
                continue;
            Prepare(pane);
            wxMenuBar* bar = Main().GetMenuBar();
            EXPECT_EQ(bar, m_window->GetMenuBar());
            wxMenuItem* item = bar->FindItem(id);
            wxMenu* menu = item->GetMenu();
            menu->UpdateUI(Main().GetEventHandler());
            if (!item->IsEnabled())
                continue;
            EXPECT_TRUE(Choose(*item)) << item->GetItemLabel();
            chosen.insert(id);
            PumpUntil([this] { return !m_window->IsExecuting(); }, kHang);
            CloseModelessWindows();
        }
        return chosen;
    }

    // The enabled buttons of the window's toolbar, clicked.
    void ClickToolbar()
    {
        Prepare(Pane::FirstGrid);
        wxToolBar* toolbar = nullptr;
        for (wxWindow* child : m_window->GetChildren())
            if (auto* bar = dynamic_cast<wxToolBar*>(child))
                toolbar = bar;
        ASSERT_TRUE(toolbar);
        toolbar->UpdateWindowUI();
        std::vector<int> ids;
        for (size_t i = 0; i < toolbar->GetToolsCount(); ++i) {
            const wxToolBarToolBase* tool = toolbar->GetToolByPos(static_cast<int>(i));
            if (tool->IsButton() && tool->IsEnabled())
                ids.push_back(tool->GetId());
        }
        EXPECT_FALSE(ids.empty());
        for (int id : ids) {
            Prepare(Pane::FirstGrid);
            toolbar->UpdateWindowUI();
            if (!toolbar->GetToolEnabled(id))
                continue;
            wxCommandEvent click(wxEVT_TOOL, id);
            click.SetEventObject(toolbar);
            EXPECT_TRUE(toolbar->GetEventHandler()->ProcessEvent(click)) << toolbar->GetToolShortHelp(id);
            Pump();
            PumpUntil([this] { return !m_window->IsExecuting(); }, kHang);
        }
    }

    // Opens the context menu of target, with the menu key or (given a point) a right click there,
    // and chooses every item that shows enabled; the menu belongs to owner, whose commands they are.
    void WalkContextMenu(wxWindow& owner, wxWindow& target, const wxPoint* where, const std::set<int>& expectedEnabled)
    {
        std::vector<std::pair<int, bool>> items;
        wxMenu* opened = nullptr;
        bool read = false, closed = false;
        const auto onOpen = [&](wxMenuEvent& event) {
            event.Skip();
            if (!event.GetMenu() || opened)
                return;
            opened = event.GetMenu();
            // Once the menu shows: its items as they show, then it goes as a person lets it go.
            wxTheApp->CallAfter([&items, &read, menu = opened] {
                for (wxMenuItem* item : menu->GetMenuItems())
                    if (!item->IsSeparator())
                        items.emplace_back(item->GetId(), item->IsEnabled());
                read = true;
                wxUIActionSimulator().Char(WXK_ESCAPE);
            });
        };
        const auto onClose = [&](wxMenuEvent& event) {
            event.Skip();
            closed = opened != nullptr;
        };
        owner.Bind(wxEVT_MENU_OPEN, onOpen);
        owner.Bind(wxEVT_MENU_CLOSE, onClose);
        target.SetFocus();
        Pump();
        wxUIActionSimulator input;
        if (where) {
            input.MouseMove(target.ClientToScreen(*where));
            input.MouseClick(wxMOUSE_BTN_RIGHT);
        } else {
            input.Char(WXK_MENU);
        }
        EXPECT_TRUE(PumpUntil([&opened] { return opened != nullptr; }, kHang)) << "no context menu opened";
        // Each item is chosen only once the menu has gone.
        EXPECT_TRUE(PumpUntil([&] { return !opened || (read && closed); }, kHang)) << "the context menu stayed";
        owner.Unbind(wxEVT_MENU_OPEN, onOpen);
        owner.Unbind(wxEVT_MENU_CLOSE, onClose);
        std::set<int> enabled;
        for (const auto& [id, on] : items)
            if (on)
                enabled.insert(id);
        EXPECT_EQ(enabled, expectedEnabled);
        for (int id : enabled) {
            wxCommandEvent choice(wxEVT_MENU, id);
            choice.SetEventObject(&owner);
            EXPECT_TRUE(owner.GetEventHandler()->ProcessEvent(choice)) << id;
            Pump();
            PumpUntil([this] { return !m_window->IsExecuting(); }, kHang);
            CloseModelessWindows();
        }
    }

    static constexpr const char* kQuery = "select (1) as a\nGO\nselect 2 as b";
    CChildFrame* m_window = nullptr;
    CChildFrame* m_other = nullptr;
};

TEST_P(QueryMenuWalk, EveryMenuItemHasItsTextAndKeysAndEveryEnabledOneIsHandled)
{
    // The main window shows the active query window's bar.
    ASSERT_EQ(Main().GetActiveQueryWindow(), m_other);
    EXPECT_EQ(Main().GetMenuBar(), m_other->GetMenuBar());
    m_window->Activate();
    Pump();
    EXPECT_EQ(Main().GetMenuBar(), m_window->GetMenuBar());
    ExpectMenuBar(*Main().GetMenuBar(), kQueryBar);

    Harmless harmless;
    std::set<int> chosen;
    for (Pane pane : {Pane::Editor, Pane::EditorAtBrace, Pane::FirstGrid, Pane::LastGrid, Pane::Messages, Pane::Schema}) {
        const std::set<int> fromPane = WalkFrom(pane);
        chosen.insert(fromPane.begin(), fromPane.end());
        if (pane == Pane::Schema) {
            // Nothing of the editor's or the results' reaches the schema pane.
            for (int id : std::initializer_list<int>{ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_SELECT_ALL, ID_FILE_SAVE_AS, ID_FILE_PRINT,
                           ID_FILE_PRINT_PREVIEW, ID_VIEW_WORD_WRAP, ID_EDIT_FIND})
                EXPECT_FALSE(fromPane.count(id)) << id;
        }
    }
    // What the walks reached between them.
    for (int id : std::initializer_list<int>{ID_NEW_CONNECTION_WINDOW, ID_FILE_DATA_LINK, ID_FILE_DATA_LINK_FILE, ID_DRIVER_FIRST, ID_FILE_OPEN,
                   ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_SAVE_ALL, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP,
                   ID_APP_EXIT,
                   ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_CLEAR_ALL, ID_EDIT_SELECT_ALL, ID_EDIT_FIND,
                   ID_EDIT_REPLACE, ID_GO_TO_LINE, ID_EDIT_MATCH_BRACE, ID_EDIT_UPPERCASE, ID_EDIT_LOWERCASE,
                   ID_EDIT_TABIFY, ID_EDIT_UNTABIFY, ID_EDIT_INCREASE_INDENT, ID_EDIT_DECREASE_INDENT,
                   ID_EDIT_COMMENT_DASHES, ID_EDIT_COMMENT_SLASH_STAR, ID_EDIT_UNCOMMENT, ID_QUERY_EXECUTE,
                   ID_QUERY_EXECUTE_SAVE_AS, ID_RESULTS_IN_TEXT, ID_PREVIOUS_GRID, ID_NEXT_GRID, ID_FIRST_GRID,
                   ID_LAST_GRID, ID_GO_TO_GRID, ID_VIEW_SCHEMA, ID_VIEW_OUTPUT, ID_MESSAGES_MODE, ID_NEXT_PANE,
                   ID_PREVIOUS_PANE, ID_VIEW_WORD_WRAP, ID_FORMAT_FONT, ID_REFRESH, ID_SCHEMA_PROPERTIES,
                   ID_TOOLS_ODBC_ADMINISTRATOR, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_VERT,
                   ID_WINDOW_ARRANGE, ID_WINDOW_NEXT, ID_WINDOW_PREVIOUS, ID_HELP_README, ID_HELP_COMMENTS,
                   ID_HELP_DATA_ACCESS})
        EXPECT_TRUE(chosen.count(id)) << id;
    // Cancel needs a run under way; a list's placeholder is no command.
    for (int id : std::initializer_list<int>{ID_QUERY_CANCEL, ID_DRIVER_NONE})
        EXPECT_FALSE(chosen.count(id)) << id;

    ClickToolbar();

    // Disconnect closes the active window; Disconnect All the others.
    Prepare(Pane::Editor);
    {
        CMessageScript noSave{wxID_NO, wxID_NO, wxID_NO};
        EXPECT_TRUE(Choose(*Main().GetMenuBar()->FindItem(ID_FILE_DISCONNECT)));
        ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 1; }, kHang));
        EXPECT_EQ(Main().GetActiveQueryWindow(), m_other);
        m_window = nullptr;
        EXPECT_TRUE(Choose(*Main().GetMenuBar()->FindItem(ID_FILE_CLOSE_ALL)));
        ASSERT_TRUE(PumpUntil([] { return Main().GetConnectionCount() == 0; }, kHang));
    }
    // Without query windows the main window's own bar is back.
    EXPECT_EQ(Main().GetMenuBar(), Main().GetOwnMenuBar());
    EXPECT_GE(harmless.Closes(), 1); // Exit, each time the walks chose it
}

// Keys and clicks go through the display to whichever window has its focus: the context menus
// are opened where no other test process types.
using QueryMenuKeyboard = QueryMenuWalk;

TEST_P(QueryMenuKeyboard, EveryEnabledContextMenuItemIsHandled)
{
    Harmless harmless;
    // The context menus of the editor (by its key, text on the clipboard), the messages (by its
    // key) and a grid (by a right click on a cell).
    Prepare(Pane::Editor);
    if (wxTheClipboard->Open()) {
        wxTheClipboard->SetData(new wxTextDataObject("1"));
        wxTheClipboard->Close();
    }
    wxStyledTextCtrl& edit = Editor(m_window);
    WalkContextMenu(edit, edit, nullptr,
                    {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_SELECT_ALL, ID_QUERY_EXECUTE,
                     ID_QUERY_EXECUTE_SAVE_AS});
    Prepare(Pane::Messages);
    CResultView& results = *m_window->GetResultView();
    results.SetSelection(0, 3);
    WalkContextMenu(results, results, nullptr, {ID_EDIT_COPY, ID_EDIT_SELECT_ALL});
    Prepare(Pane::FirstGrid);
    CMSHFlexGrid* grid = results.GetCurrentGrid();
    ASSERT_TRUE(grid);
    const wxPoint cell = grid->CalcScrolledPosition(grid->CellToRect(0, 0).GetPosition()) + wxPoint(5, 5);
    WalkContextMenu(results, *grid->GetGridWindow(), &cell,
                    {ID_EDIT_COPY, ID_EDIT_SELECT_ALL, ID_SAVE_SELECTION, ID_VIEW_CONTENTS});
    // The schema pane's, on its connection node (by its key).
    Prepare(Pane::Schema);
    wxWindow& schema = *m_window->GetSchemaView();
    WalkContextMenu(schema, schema, nullptr,
                    {ID_SCHEMA_EXPAND_ALL, ID_SCHEMA_COLLAPSE_ALL, ID_SCHEMA_SHOW_ALL, ID_REFRESH,
                     ID_SCHEMA_CONNECTION_STRING, ID_SCHEMA_PROPERTIES});
}

INSTANTIATE_TEST_SUITE_P(Drivers, QueryMenuKeyboard, ::testing::Values(Driver::SQLite, Driver::PostgreSQL),
                         [](const ::testing::TestParamInfo<Driver>& info) { return DriverName(info.param); });

INSTANTIATE_TEST_SUITE_P(Drivers, QueryMenuWalk, ::testing::Values(Driver::SQLite, Driver::PostgreSQL),
                         [](const ::testing::TestParamInfo<Driver>& info) { return DriverName(info.param); });

} // namespace
