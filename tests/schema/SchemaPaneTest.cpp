// The schema pane of real query windows on SQLite and PostgreSQL under Xvfb: the tree it shows,
// its menu, Return Top, Return All Rows and Save As running their SELECT, and (one test at a time,
// since they use the display's keyboard and mouse) the keys and clicks of a person.
#include "app/MainFrame.h"
#include "common/CommandIds.h"
#include "common/ProfileFont.h"
#include "common/SettingsTable.h"
#include "editor/QryView.h"
#include "platform/MessageBox.h"
#include "query/BatchExecution.h"
#include "query/ChildFrame.h"
#include "query/ExportDialogs.h"
#include "query/MSHFlexGrid.h"
#include "query/ResultView.h"
#include "querycore/GridStore.h"
#include "schema/RowCountDlg.h"
#include "schema/SchemaCommands.h"
#include "schema/SchemaView.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/schema/DisplayInput.h"
#include "tests/schema/TreeTestHelpers.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestTiming.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/fontdlg.h>
#include <wx/modalhook.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/stc/stc.h>
#include <wx/textctrl.h>
#include <wx/treebase.h>
#include <wx/app.h>
#include <wx/uiaction.h>
#include <wx/valtext.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::DialogScript;
using window_test::Pump;
using window_test::PumpUntil;

namespace {

class SchemaPaneTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (!window_test::HaveDisplay())
            GTEST_SKIP() << "no display";
        Exec("CREATE TABLE items (id INTEGER PRIMARY KEY, label VARCHAR(20))");
        for (int i = 1; i <= 10; ++i)
            Exec("INSERT INTO items VALUES (" + std::to_string(i) + ", 'item " + std::to_string(i) + "')");
        Exec("CREATE TABLE parts (part_id INTEGER PRIMARY KEY, item_id INTEGER REFERENCES items(id))");
        Exec("CREATE VIEW item_labels AS SELECT label FROM items");
        m_frame = window_test::OpenQueryWindow(ConnectionString());
        ASSERT_TRUE(m_frame);
        m_view = dynamic_cast<CSchemaView*>(m_frame->GetSchemaView());
        ASSERT_TRUE(m_view);
    }
    void TearDown() override { window_test::CloseQueryWindows(); }

    std::string Shown(const std::string& name) const { return IsPostgres() ? name + " (public)" : name; }
    wxString Table(const char* name) const
    {
        return IsPostgres() ? wxString::Format("\"public\".\"%s\"", name) : wxString::Format("\"%s\"", name);
    }

    CSchemaTreeStore& Tree() const { return m_view->Tree(); }
    // The item at a path of labels below the root ("Tables|items").
    TreeItem Item(const std::string& path) const { return Find(Tree(), path); }
    std::vector<std::string> Children(TreeItem item) const { return ChildTexts(Tree(), item); }
    // Opens the item as a click on its button does.
    TreeItem Open(const std::string& path)
    {
        const TreeItem item = Item(path);
        EXPECT_TRUE(item) << path;
        if (item)
            Tree().Expand(item);
        Pump();
        return item;
    }
    // A plain click's selection on the item.
    void Pick(const std::string& path)
    {
        const TreeItem item = Item(path);
        ASSERT_TRUE(item) << path;
        m_view->Model().OnLButtonDown(item, CMultiSelectTree::Where::Label, false, false, 0, 0);
    }
    void Command(int id)
    {
        wxCommandEvent command(wxEVT_MENU, id);
        m_view->GetEventHandler()->ProcessEvent(command);
    }
    wxStyledTextCtrl& Editor() const { return *m_frame->GetQueryView()->GetEditCtrl(); }
    void WaitForRun()
    {
        ASSERT_TRUE(PumpUntil([this] { return !m_frame->IsExecuting(); }, Scaled(30s))) << "the run did not end";
        Pump();
    }
    // Executes, as F5 does, a query whose rows never end, and waits until they come into its
    // grid: the run goes on until it is cancelled.
    void StartEndlessRun()
    {
        Editor().SetText("WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT n FROM r");
        wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
        m_frame->GetEventHandler()->ProcessEvent(execute);
        ASSERT_TRUE(PumpUntil([this] { return GridRows() > 0; }, Scaled(30s))) << "no rows came";
        ASSERT_TRUE(m_frame->IsExecuting());
    }
    // Alt+Break's command, and the end of the run.
    void CancelRun()
    {
        wxCommandEvent cancel(wxEVT_MENU, ID_QUERY_CANCEL);
        m_frame->GetEventHandler()->ProcessEvent(cancel);
        WaitForRun();
        EXPECT_EQ(StatusPane(0), "Query batch canceled");
    }
    wxString StatusPane(int pane) const { return m_frame->GetQueryStatusBar()->GetStatusText(pane); }
    size_t GridRows() const
    {
        CMSHFlexGrid* grid = m_frame->GetResultGrid(1);
        return grid ? grid->GetStore()->GetRowCount() : 0;
    }

    CChildFrame* m_frame = nullptr;
    CSchemaView* m_view = nullptr;
};

void SaveScreenshot(const wxString& name)
{
    Pump();
    wxWindow* top = &window_test::Main();
    const wxRect rect = top->GetScreenRect();
    wxScreenDC screen;
    wxBitmap bitmap(rect.GetWidth(), rect.GetHeight());
    {
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, rect.GetWidth(), rect.GetHeight(), &screen, rect.GetX(), rect.GetY());
    }
    wxFileName::Mkdir(TORVANE_ARTIFACTS_DIR, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    const wxString path = wxString(TORVANE_ARTIFACTS_DIR) + "/" + name + ".png";
    EXPECT_TRUE(bitmap.ConvertToImage().SaveFile(path, wxBITMAP_TYPE_PNG)) << path;
}

TEST_P(SchemaPaneTest, TheTreeShowsFoldersObjectsAndColumns)
{
    const TreeItem root = Tree().GetRoot();
    ASSERT_TRUE(root);
    EXPECT_TRUE(Tree().IsBold(root));
    EXPECT_EQ(Tree().GetText(root), m_view->GetConnectionCaption());
    EXPECT_EQ(Children(root), (std::vector<std::string>{"Tables", "Views", "System Tables", "Aliases/Synonyms",
                                                        "Temporary Tables", "Procedures/Functions"}));
    EXPECT_EQ(Children(Open("Tables")), (std::vector<std::string>{Shown("items"), Shown("parts")}));
    EXPECT_EQ(Children(Open("Views")), std::vector<std::string>{Shown("item_labels")});
    const TreeItem parts = Open("Tables|" + Shown("parts"));
    EXPECT_EQ(Children(parts), (std::vector<std::string>{"part_id", "item_id"}));
    EXPECT_EQ(Tree().GetKind(Item("Tables|" + Shown("parts") + "|part_id")), kindPrimaryKeyColumn);
    EXPECT_EQ(Tree().GetKind(Item("Tables|" + Shown("parts") + "|item_id")), kindForeignKeyColumn);
    Open("Tables|" + Shown("items"));
    Open("Views|" + Shown("item_labels"));
    Open("Procedures/Functions");
    Tree().EnsureVisible(root);
    SaveScreenshot(wxString("schema-tree-") + DriverName(GetDriver()));
}

TEST_P(SchemaPaneTest, ReturnTopPutsTheStatementInTheEditorAndShowsExactlyThoseRows)
{
    Open("Tables");
    Pick("Tables|" + Shown("items"));
    Editor().SetText("-- earlier text");
    DialogScript script;
    int offered = 0;
    script.Expect<CRowCountDlg>([&offered](CRowCountDlg& dialog) {
        offered = dialog.GetRowCount();
        dialog.GetEdit()->SetValue("3");
        dialog.TransferDataFromWindow();
        return wxID_OK;
    });
    Command(ID_SCHEMA_RETURN_TOP);
    ASSERT_EQ(script.Answered(), 1);
    EXPECT_EQ(offered, 100);
    const wxString statement = "SELECT \"id\", \"label\" FROM " + Table("items");
    EXPECT_EQ(Editor().GetText(), "-- earlier text\n\n" + statement + "\nGO");
    EXPECT_EQ(Editor().GetSelectedText(), statement + "\nGO");
    WaitForRun();
    EXPECT_EQ(GridRows(), 3u);
    // The grid's count among the messages says as much.
    wxCommandEvent messages(wxEVT_MENU, ID_MESSAGES_MODE);
    m_frame->GetEventHandler()->ProcessEvent(messages);
    EXPECT_EQ(StatusPane(3), "Messages");
    EXPECT_EQ(m_frame->GetResultView()->GetText(), "[3 row(s) returned (application specific)]");
    // The limit held for that run only: the same statement executed again returns every row.
    wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
    m_frame->GetEventHandler()->ProcessEvent(execute);
    WaitForRun();
    EXPECT_EQ(GridRows(), 10u);
    // Zero rows: only the headings. The number of the last time is offered.
    script.Expect<CRowCountDlg>([&offered](CRowCountDlg& dialog) {
        offered = dialog.GetRowCount();
        dialog.GetEdit()->SetValue("0");
        dialog.TransferDataFromWindow();
        return wxID_OK;
    });
    Command(ID_SCHEMA_RETURN_TOP);
    EXPECT_EQ(offered, 3);
    WaitForRun();
    EXPECT_TRUE(Editor().GetSelectedText().StartsWith(statement + " WHERE 1 = 2")) << Editor().GetSelectedText();
    EXPECT_EQ(GridRows(), 0u);
    ASSERT_TRUE(m_frame->GetResultGrid(1));
    EXPECT_EQ(m_frame->GetResultGrid(1)->GetStore()->GetColumnCount(), 2u);
    // Cancel runs nothing.
    const wxString text = Editor().GetText();
    script.Expect<CRowCountDlg>([](CRowCountDlg&) { return wxID_CANCEL; });
    Command(ID_SCHEMA_RETURN_TOP);
    EXPECT_EQ(Editor().GetText(), text);
    EXPECT_FALSE(m_frame->IsExecuting());
    m_frame->GetQueryDoc()->Modify(false);
}

TEST_P(SchemaPaneTest, ReturnAllRowsOfPickedColumnsInGridsAndBackToText)
{
    Open("Tables");
    const std::string items = "Tables|" + Shown("items");
    Open(items);
    Pick(items + "|id");
    m_view->Model().OnLButtonDown(Item(items + "|label"), CMultiSelectTree::Where::Label, false, true, 0, 0);
    window_test::SetResultsInText(*m_frame, true);
    Command(ID_SCHEMA_RETURN_ALL_COLUMNS);
    EXPECT_EQ(Editor().GetSelectedText(), "SELECT \"id\", \"label\" FROM " + Table("items") + "\nGO");
    WaitForRun();
    // The rows went to a grid; text output is on again for the next run.
    EXPECT_EQ(GridRows(), 10u);
    EXPECT_TRUE(m_frame->OutputMode().m_bResultsInText);
    m_frame->GetQueryDoc()->Modify(false);
}

TEST_P(SchemaPaneTest, SaveAsWritesTheObjectsRowsToAFile)
{
    Open("Tables");
    Pick("Tables|" + Shown("items"));
    const std::string path = NewTempPath(".csv");
    DialogScript script;
    wxString offered;
    script.Expect<CExportDialogEx>([&](CExportDialogEx& dialog) {
        offered = wxFileName(dialog.GetBasePath()).GetFullName();
        dialog.SetBasePath(wxString::FromUTF8(path.substr(0, path.size() - 4)));
        dialog.SetFileType(2);
        dialog.GetDelimiterBox()->SetValue(",");
        return dialog.OnFileNameOK() ? wxID_CANCEL : wxID_OK;
    });
    Command(ID_FILE_SAVE_AS);
    ASSERT_EQ(script.Answered(), 1);
    EXPECT_EQ(offered, IsPostgres() ? "public_items" : "items");
    WaitForRun();
    std::ifstream file(path);
    std::stringstream stream;
    stream << file.rdbuf();
    const std::string content = stream.str();
    EXPECT_EQ(content.rfind("id,label\r\n1,item 1\r\n", 0), 0u) << content;
    EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 11);
    m_frame->GetQueryDoc()->Modify(false);
}

// The items of a menu as they show: "-" for a separator, a submenu's items indented after it.
std::vector<std::string> MenuTexts(wxMenu& menu, const std::string& indent = "")
{
    std::vector<std::string> texts;
    for (wxMenuItem* item : menu.GetMenuItems()) {
        if (item->IsSeparator()) {
            texts.push_back(indent + "-");
            continue;
        }
        texts.push_back(indent + item->GetItemLabel().utf8_string() + (item->IsEnabled() ? "" : " (greyed)") +
                        (item->IsCheckable() && item->IsChecked() ? " (checked)" : ""));
        if (wxMenu* submenu = item->GetSubMenu()) {
            const std::vector<std::string> inner = MenuTexts(*submenu, indent + "  ");
            texts.insert(texts.end(), inner.begin(), inner.end());
        }
    }
    return texts;
}

TEST_P(SchemaPaneTest, EachNodeKindHasItsContextMenu)
{
    if (IsPostgres())
        Exec("CREATE FUNCTION add_one(IN a integer, OUT b integer) AS 'SELECT a + 1' LANGUAGE sql");
    Open("Tables");
    Open("Views");
    Open("Aliases/Synonyms");
    Open("Procedures/Functions");
    const std::string items = "Tables|" + Shown("items");
    const std::string procedure = "Procedures/Functions|" + Shown("add_one");
    Open(items);
    if (IsPostgres())
        Open(procedure);
    using Texts = std::vector<std::string>;
    const Texts open = {"&Open", "  Return &Top...", "  Return &All Rows"};
    const Texts properties = {"-", "&Properties\tAlt+Enter"};
    const Texts tablePages = {"-", "&Relationships", "&Indexes", "Co&nstraints", "Per&missions", "-",
                              "&Properties\tAlt+Enter"};
    // While a query runs an object's properties are not read.
    const Texts tablePagesGreyed = {"-", "&Relationships (greyed)", "&Indexes (greyed)", "Co&nstraints (greyed)",
                                    "Per&missions (greyed)", "-", "&Properties\tAlt+Enter (greyed)"};
    auto join = [](Texts a, const Texts& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const struct {
        std::string path;
        Texts idle;
        Texts executing;
    } cases[] = {
        {"",
         {"&Expand All", "C&ollapse All", "-", "&Show All Objects (checked)", "-", "Refres&h\tF8", "-",
          "&Connection String", "-", "&Properties\tAlt+Enter"},
         {"&Expand All (greyed)", "C&ollapse All", "-", "&Show All Objects (greyed) (checked)", "-",
          "Refres&h\tF8 (greyed)", "-", "&Connection String", "-", "&Properties\tAlt+Enter"}},
        {"Tables", join({"&Show All Objects (checked)", "-", "Refres&h\tF8"}, properties),
         join({"&Show All Objects (greyed) (checked)", "-", "Refres&h\tF8 (greyed)"}, properties)},
        {"System Tables", join({"Refres&h\tF8"}, properties), join({"Refres&h\tF8 (greyed)"}, properties)},
        {items,
         join(join(open, {"-", "&Copy", "-", "Sor&t Columns Ascending", "Sort Columns D&escending",
                          "Re&store Original Order (greyed)", "-", "Save &As..."}),
              tablePages),
         join({"&Open", "  Return &Top... (greyed)", "  Return &All Rows (greyed)", "-", "&Copy", "-",
               "Sor&t Columns Ascending", "Sort Columns D&escending", "Re&store Original Order (greyed)", "-",
               "Save &As... (greyed)"},
              tablePagesGreyed)},
        {"Tables|" + Shown("parts"),
         join(join(open, {"-", "&Copy", "-", "Sor&t Columns Ascending", "Sort Columns D&escending",
                          "Re&store Original Order (greyed)", "-", "Save &As..."}),
              tablePages),
         join({"&Open", "  Return &Top... (greyed)", "  Return &All Rows (greyed)", "-", "&Copy", "-",
               "Sor&t Columns Ascending (greyed)", "Sort Columns D&escending (greyed)",
               "Re&store Original Order (greyed)", "-", "Save &As... (greyed)"},
              tablePagesGreyed)},
        {items + "|label",
         {"&Select", "  Return &Top...", "  Return &All Rows", "-", "&Copy", "-", "Save &As...", "-", "Per&missions",
          "-", "&Properties\tAlt+Enter"},
         {"&Select", "  Return &Top... (greyed)", "  Return &All Rows (greyed)", "-", "&Copy", "-",
          "Save &As... (greyed)", "-", "Per&missions (greyed)", "-", "&Properties\tAlt+Enter (greyed)"}},
        {"Views|" + Shown("item_labels"),
         join(open, {"&Design", "-", "&Copy", "-", "Sor&t Columns Ascending", "Sort Columns D&escending",
                     "Re&store Original Order (greyed)", "-", "Save &As...", "-", "&Indexes", "Per&missions", "-",
                     "&Properties\tAlt+Enter"}),
         {"&Open", "  Return &Top... (greyed)", "  Return &All Rows (greyed)", "&Design (greyed)", "-", "&Copy", "-",
          "Sor&t Columns Ascending (greyed)", "Sort Columns D&escending (greyed)",
          "Re&store Original Order (greyed)", "-", "Save &As... (greyed)", "-", "&Indexes (greyed)",
          "Per&missions (greyed)", "-", "&Properties\tAlt+Enter (greyed)"}},
        {"Aliases/Synonyms|<No Data>", {}, {}},
    };
    auto menuAt = [this](const std::string& path) {
        Pick(path);
        std::unique_ptr<wxMenu> menu(m_view->CreateContextMenu());
        return menu ? MenuTexts(*menu) : Texts{};
    };
    for (const auto& c : cases)
        EXPECT_EQ(menuAt(c.path), c.idle) << c.path;
    StartEndlessRun();
    for (const auto& c : cases)
        EXPECT_EQ(menuAt(c.path), c.executing) << "while a query runs: " << c.path;
    CancelRun();
    if (IsPostgres()) {
        EXPECT_EQ(menuAt(procedure), join({"&Design", "-", "&Copy"}, properties));
        EXPECT_EQ(menuAt(procedure + "|a"), join({"&Copy"}, properties));
    } else {
        EXPECT_EQ(menuAt("Procedures/Functions|<Provider not capable>"), Texts{});
    }
    // A sorted table greys the sort it shows and can be restored.
    Pick(items);
    Command(ID_SCHEMA_SORT_DESCENDING);
    EXPECT_EQ(menuAt(items), join(join(open, {"-", "&Copy", "-", "Sor&t Columns Ascending",
                                              "Sort Columns D&escending (greyed)", "Re&store Original Order", "-",
                                              "Save &As..."}),
                                  tablePages));
    // A column with nothing selected greys what needs a column; the window's Copy follows.
    Pick(items + "|id");
    Tree().SetSelected(Item(items + "|id"), false);
    std::unique_ptr<wxMenu> menu(m_view->CreateContextMenu());
    EXPECT_EQ(MenuTexts(*menu), (Texts{"&Select", "  Return &Top... (greyed)", "  Return &All Rows (greyed)", "-",
                                       "&Copy (greyed)", "-", "Save &As... (greyed)", "-", "Per&missions (greyed)",
                                       "-", "&Properties\tAlt+Enter (greyed)"}));
    EXPECT_FALSE(m_view->IsCommandEnabled(ID_EDIT_COPY));
    EXPECT_FALSE(m_view->IsCommandEnabled(ID_SCHEMA_PROPERTIES));
    Pick("Tables");
    EXPECT_FALSE(m_view->IsCommandEnabled(ID_EDIT_COPY));
    EXPECT_TRUE(m_view->IsCommandEnabled(ID_REFRESH));
    EXPECT_TRUE(m_view->IsCommandEnabled(ID_FORMAT_FONT));
}

TEST_P(SchemaPaneTest, CopyPutsQualifiedNamesOnTheClipboard)
{
    Open("Tables");
    const std::string items = "Tables|" + Shown("items");
    auto copied = [this] {
        Command(ID_EDIT_COPY);
        wxTextDataObject data;
        wxClipboardLocker clipboard;
        EXPECT_TRUE(wxTheClipboard->GetData(data));
        return data.GetText();
    };
    Pick(items);
    EXPECT_EQ(copied(), Table("items"));
    Open(items);
    Pick(items + "|id");
    m_view->Model().OnLButtonDown(Item(items + "|label"), CMultiSelectTree::Where::Label, false, true, 0, 0);
    EXPECT_EQ(copied(), Table("items") + ".\"id\", " + Table("items") + ".\"label\"");
}

TEST_P(SchemaPaneTest, DesignRunsTheSourceQueryWithTheResultsInText)
{
    Open("Views");
    Pick("Views|" + Shown("item_labels"));
    Editor().SetText("select 1");
    ASSERT_FALSE(m_frame->OutputMode().m_bResultsInText);
    Command(ID_SCHEMA_DESIGN);
    // Neither DBMS has a catalog of view texts that the program knows: the name and the marker go
    // to the server, which answers with its error.
    const wxString statement = "item_labels // View text not supported";
    EXPECT_EQ(Editor().GetText(), "select 1\n\n" + statement + "\nGO");
    EXPECT_EQ(Editor().GetSelectedText(), statement + "\nGO");
    EXPECT_TRUE(m_frame->OutputMode().m_bResultsInText);
    WaitForRun();
    EXPECT_EQ(StatusPane(0), "Query batch completed with errors");
    EXPECT_TRUE(m_frame->GetResultView()->GetText().Lower().Contains("syntax error"))
        << m_frame->GetResultView()->GetText();
    // Text output was the run's only; the grids are back.
    EXPECT_FALSE(m_frame->OutputMode().m_bResultsInText);
    // With text output already on, it stays on.
    window_test::SetResultsInText(*m_frame, true);
    Command(ID_SCHEMA_DESIGN);
    WaitForRun();
    EXPECT_TRUE(m_frame->OutputMode().m_bResultsInText);
    // A table has no Design.
    Open("Tables");
    Pick("Tables|" + Shown("items"));
    const wxString text = Editor().GetText();
    Command(ID_SCHEMA_DESIGN);
    EXPECT_EQ(Editor().GetText(), text);
    m_frame->GetQueryDoc()->Modify(false);
}

TEST_P(SchemaPaneTest, WhileAQueryRunsThePaneReadsAndStartsNothing)
{
    Open("Views");
    Pick("Views|" + Shown("item_labels"));
    StartEndlessRun();
    const wxString text = Editor().GetText();
    // A folder opened now stays empty and is read when it is opened after the run.
    const TreeItem tables = Open("Tables");
    EXPECT_TRUE(Children(tables).empty());
    EXPECT_FALSE(Tree().IsLoaded(tables));
    // Neither the view's rows nor its design go to the editor.
    Pick("Views|" + Shown("item_labels"));
    for (const int id : {ID_SCHEMA_RETURN_ALL, ID_SCHEMA_DESIGN}) {
        Command(id);
        Pump();
        EXPECT_EQ(Editor().GetText(), text) << id;
    }
    EXPECT_TRUE(m_frame->IsExecuting());
    CancelRun();
    Tree().Collapse(tables);
    EXPECT_EQ(Children(Open("Tables")), (std::vector<std::string>{Shown("items"), Shown("parts")}));
    m_frame->GetQueryDoc()->Modify(false);
}

TEST_P(SchemaPaneTest, ExpandAllLoadsEverythingAndCollapseAllStartsOver)
{
    Tree().SetCaret(Tree().GetRoot());
    Command(ID_SCHEMA_EXPAND_ALL);
    for (TreeItem item : AllItems(Tree())) {
        if (Tree().HasButton(item)) {
            EXPECT_TRUE(Tree().IsExpanded(item) && Tree().IsLoaded(item)) << Tree().GetText(item);
        }
    }
    EXPECT_EQ(Children(Item("Tables|" + Shown("parts"))), (std::vector<std::string>{"part_id", "item_id"}));
    EXPECT_EQ(Children(Item("Views|" + Shown("item_labels"))), std::vector<std::string>{"label"});
    Command(ID_SCHEMA_COLLAPSE_ALL);
    const TreeItem root = Tree().GetRoot();
    EXPECT_EQ(Children(root).size(), 6u);
    for (TreeItem folder = Tree().GetFirstChild(root); folder; folder = Tree().GetNextSibling(folder)) {
        EXPECT_FALSE(Tree().IsLoaded(folder)) << Tree().GetText(folder);
        EXPECT_FALSE(Tree().GetFirstChild(folder)) << Tree().GetText(folder);
    }
    // Opening a folder loads it again.
    EXPECT_EQ(Children(Open("Tables")), (std::vector<std::string>{Shown("items"), Shown("parts")}));
}

TEST_P(SchemaPaneTest, AReloadThatFailsLeavesTheExceptionLeaf)
{
    if (!IsPostgres())
        GTEST_SKIP() << "a SQLite file cannot be taken from the window's connection while it is open";
    ASSERT_EQ(Children(Open("Tables")), (std::vector<std::string>{Shown("items"), Shown("parts")}));
    // The server ends the window's session (the database is this test process's own).
    Exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = current_database() AND "
         "pid <> pg_backend_pid()");
    Pick("Tables");
    CMessageScript messages;
    Command(ID_REFRESH);
    Pump();
    EXPECT_EQ(Children(Item("Tables")), std::vector<std::string>{"<Exception occurred>"});
    EXPECT_EQ(Tree().GetKind(Tree().GetFirstChild(Item("Tables"))), kindMarker);
}

// Answers the font dialog with a font of its own, and remembers its title.
class FontDialogAnswer : public wxModalDialogHook {
public:
    explicit FontDialogAnswer(const wxFont& font) : m_font(font) { Register(); }
    ~FontDialogAnswer() override { Unregister(); }
    int Enter(wxDialog* dialog) override
    {
        auto* fonts = dynamic_cast<wxFontDialog*>(dialog);
        if (!fonts)
            return wxID_NONE;
        m_title = dialog->GetTitle();
        fonts->GetFontData().SetChosenFont(m_font);
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}

    wxFont m_font;
    wxString m_title;
};

TEST_P(SchemaPaneTest, TheSchemaFontReachesEveryWindowAndIsKept)
{
    CChildFrame* other = window_test::OpenQueryWindow(ConnectionString());
    ASSERT_TRUE(other);
    auto* otherView = dynamic_cast<CSchemaView*>(other->GetSchemaView());
    ASSERT_TRUE(otherView);
    const wxFont font(wxFontInfo(17).FaceName("DejaVu Serif").Bold());
    {
        FontDialogAnswer answer(font);
        Command(ID_FORMAT_FONT);
        EXPECT_EQ(answer.m_title, "Schema Font");
    }
    for (CSchemaView* view : {m_view, otherView}) {
        EXPECT_EQ(view->GetFont().GetPointSize(), 17);
        EXPECT_EQ(view->GetFont().GetWeight(), wxFONTWEIGHT_BOLD);
    }
    LogFont stored;
    ReadProfileFont(settings::kSchemaFont, stored);
    EXPECT_NE(stored.lfHeight, 0);
    EXPECT_EQ(stored.lfFaceName, "DejaVu Serif");
    EXPECT_EQ(stored.lfWeight, 700);
    // A window opened later takes it too.
    CChildFrame* third = window_test::OpenQueryWindow(ConnectionString());
    ASSERT_TRUE(third);
    EXPECT_EQ(third->GetSchemaView()->GetFont().GetPointSize(), 17);
}

TEST(RowCountDialog, RequiresANumberOfAtMostNineDigits)
{
    REQUIRE_DISPLAY();
    CRowCountDlg dialog(&window_test::Main(), 100);
    EXPECT_EQ(dialog.GetTitle(), "Number of Rows");
    dialog.TransferDataToWindow();
    EXPECT_EQ(dialog.GetEdit()->GetValue(), "100");
    auto* validator = dynamic_cast<wxTextValidator*>(dialog.GetEdit()->GetValidator());
    ASSERT_TRUE(validator);
    EXPECT_TRUE(validator->HasFlag(wxFILTER_DIGITS));
    dialog.GetEdit()->SetValue("  ");
    CMessageScript messages;
    wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
    dialog.GetEventHandler()->ProcessEvent(ok);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0], "<Maximum number of rows to fetch> is a required field.");
    EXPECT_EQ(messages.Shown()[0].style & wxICON_INFORMATION, wxICON_INFORMATION);
    EXPECT_EQ(dialog.GetReturnCode(), 0);
    dialog.GetEdit()->SetValue("12");
    dialog.TransferDataFromWindow();
    EXPECT_EQ(dialog.GetRowCount(), 12);
}

TORVANE_INSTANTIATE_FOR_DRIVERS(SchemaPaneTest);

// Keys and clicks through the display: the selection rules, Enter, F8 and collapsing.
class SchemaPaneInputTest : public SchemaPaneTest {
protected:
    wxPoint LabelCentre(TreeItem item) const
    {
        const wxRect rect = m_view->GetItemRect(item, true);
        EXPECT_FALSE(rect.IsEmpty());
        return m_view->ClientToScreen(rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2));
    }
    // The window on top with the display's focus, for the keys and clicks that follow.
    void Raise() { ASSERT_TRUE(schema_test::CDisplayInput::Raise(window_test::Main(), *m_view)); }
    // Moves the pointer onto the item's label, scrolled into view.
    void PointAt(const std::string& path)
    {
        Tree().EnsureVisible(Item(path));
        Pump();
        ASSERT_TRUE(m_input.MoveTo(LabelCentre(Item(path)))) << path;
    }
    void ClickOn(const std::string& path, int modifiers = wxMOD_NONE)
    {
        PointAt(path);
        ASSERT_TRUE(m_input.Click(modifiers)) << path;
    }
    void Key(int key, int modifiers = wxMOD_NONE) { ASSERT_TRUE(m_input.Key(key, modifiers)) << key; }
    std::vector<std::string> Selected() const { return SelectedTexts(Tree()); }

    schema_test::CDisplayInput m_input;
};

TEST_P(SchemaPaneInputTest, KeysAndClicksSelectOpenAndReturnRows)
{
    Raise();
    ClickOn("Tables");
    EXPECT_EQ(Selected(), std::vector<std::string>{"Tables"});
    // Right opens the folder, which loads it.
    Key(WXK_RIGHT);
    ASSERT_EQ(Children(Item("Tables")), (std::vector<std::string>{Shown("items"), Shown("parts")}));
    Key(WXK_DOWN);
    Key(WXK_RIGHT);
    const std::string items = "Tables|" + Shown("items");
    EXPECT_EQ(Children(Item(items)), (std::vector<std::string>{"id", "label"}));
    Key(WXK_DOWN);
    Key(WXK_DOWN, wxMOD_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<std::string>{"id", "label"}));
    SaveScreenshot(wxString("schema-columns-selected-") + DriverName(GetDriver()));

    // Enter returns the selected columns' rows.
    Key(WXK_RETURN);
    WaitForRun();
    EXPECT_EQ(Editor().GetSelectedText(), "SELECT \"id\", \"label\" FROM " + Table("items") + "\nGO");
    EXPECT_EQ(GridRows(), 10u);

    // Ctrl+click on a column of another table replaces the selection; on a sibling it adds.
    Open("Tables|" + Shown("parts"));
    ClickOn(items + "|id");
    ClickOn(items + "|label", wxMOD_CONTROL);
    EXPECT_EQ(Selected(), (std::vector<std::string>{"id", "label"}));
    ClickOn("Tables|" + Shown("parts") + "|part_id", wxMOD_CONTROL);
    EXPECT_EQ(Selected(), std::vector<std::string>{"part_id"});
    ClickOn("Tables|" + Shown("parts"), wxMOD_CONTROL);
    EXPECT_EQ(Selected(), std::vector<std::string>{Shown("parts")});

    // Collapsing a table clears the selection inside it.
    ClickOn(items + "|id");
    ClickOn(items + "|label", wxMOD_CONTROL);
    Tree().Collapse(Item(items));
    Pump();
    EXPECT_TRUE(Selected().empty());

    // F8 on a folder reloads it.
    Exec("CREATE TABLE added (z INTEGER)");
    ClickOn("Tables");
    Key(WXK_F8);
    EXPECT_EQ(Children(Item("Tables")), (std::vector<std::string>{Shown("added"), Shown("items"), Shown("parts")}));
    m_frame->GetQueryDoc()->Modify(false);
}

TEST_P(SchemaPaneInputTest, ADoubleClickOnATableReturnsItsRows)
{
    Raise();
    Open("Tables");
    const std::string items = "Tables|" + Shown("items");
    PointAt(items);
    ASSERT_TRUE(m_input.DoubleClick());
    ASSERT_TRUE(PumpUntil([this] { return m_frame->GetResultGrid(1) != nullptr && !m_frame->IsExecuting(); },
                          Scaled(30s)));
    EXPECT_EQ(GridRows(), 10u);
    EXPECT_EQ(Editor().GetSelectedText(), "SELECT \"id\", \"label\" FROM " + Table("items") + "\nGO");
    // The table did not open: the double click ran the statement instead.
    EXPECT_FALSE(Tree().IsExpanded(Item(items)));
    m_frame->GetQueryDoc()->Modify(false);
}

TEST_P(SchemaPaneInputTest, CopyKeysAndEnterOnAProcedure)
{
    if (IsPostgres())
        Exec("CREATE FUNCTION add_one(IN a integer, OUT b integer) AS 'SELECT a + 1' LANGUAGE sql");
    Raise();
    Open("Tables");
    const std::string items = "Tables|" + Shown("items");
    auto clipboardText = [] {
        wxTextDataObject data;
        wxClipboardLocker clipboard;
        return wxTheClipboard->GetData(data) ? data.GetText() : wxString("<nothing>");
    };
    auto clearClipboard = [] {
        wxClipboardLocker clipboard;
        wxTheClipboard->SetData(new wxTextDataObject("before"));
    };
    ClickOn(items);
    clearClipboard();
    Key('C', wxMOD_CONTROL);
    EXPECT_EQ(clipboardText(), Table("items"));
    Open(items);
    ClickOn(items + "|label");
    clearClipboard();
    Key(WXK_INSERT, wxMOD_CONTROL);
    EXPECT_EQ(clipboardText(), Table("items") + ".\"label\"");

    // The context menu of a right click, as a person sees it, let go with Escape.
    bool opened = false, closed = false;
    const auto onOpen = [&opened](wxMenuEvent& event) {
        event.Skip();
        if (event.GetMenu() && !opened) {
            opened = true;
            wxTheApp->CallAfter([] {
                SaveScreenshot("schema-column-menu");
                wxUIActionSimulator().Char(WXK_ESCAPE);
            });
        }
    };
    const auto onClose = [&opened, &closed](wxMenuEvent& event) {
        event.Skip();
        closed = opened;
    };
    m_view->Bind(wxEVT_MENU_OPEN, onOpen);
    m_view->Bind(wxEVT_MENU_CLOSE, onClose);
    PointAt(items + "|id");
    wxUIActionSimulator().MouseClick(wxMOUSE_BTN_RIGHT);
    EXPECT_TRUE(PumpUntil([&opened] { return opened; }, Scaled(10s))) << "no context menu opened";
    EXPECT_TRUE(PumpUntil([&closed] { return closed; }, Scaled(10s))) << "the context menu stayed open";
    m_view->Unbind(wxEVT_MENU_OPEN, onOpen);
    m_view->Unbind(wxEVT_MENU_CLOSE, onClose);
    // The right press picked the column under the pointer.
    EXPECT_EQ(Selected(), std::vector<std::string>{"id"});

    if (!IsPostgres())
        return;
    // Enter on a procedure runs Design.
    Open("Procedures/Functions");
    const std::string procedure = "Procedures/Functions|" + Shown("add_one");
    ClickOn(procedure);
    Key(WXK_RETURN);
    WaitForRun();
    EXPECT_EQ(Editor().GetSelectedText(), "add_one // Procedure text not supported\nGO");
    EXPECT_FALSE(Tree().IsExpanded(Item(procedure)));
    m_frame->GetQueryDoc()->Modify(false);
}

TORVANE_INSTANTIATE_FOR_DRIVERS(SchemaPaneInputTest);

} // namespace

namespace {

// The multi-select tree on its own, with a label editor and drags, in a frame of its own.
class TestTree : public CTVTreeView {
public:
    TestTree(wxWindow* parent, int style) : CTVTreeView(parent, style) {}
    void ResetTree() override {}
    void AppendToQueryEditor(const wxString&) override {}
};

class TVTreeViewInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!window_test::HaveDisplay())
            GTEST_SKIP() << "no display";
        m_frame = new wxFrame(nullptr, wxID_ANY, "tree", wxPoint(50, 50), wxSize(400, 300));
        m_tree = new TestTree(m_frame, CTVTreeView::kEditLabels | CTVTreeView::kLinesAtRoot);
        CSchemaTreeStore& t = m_tree->Tree();
        m_root = t.AppendItem({}, wxString("root"), 0, true, nullptr);
        m_a = t.AppendItem(m_root, wxString("A"), 0, true, nullptr);
        m_a1 = t.AppendItem(m_a, wxString("a1"), 0, false, nullptr);
        m_a2 = t.AppendItem(m_a, wxString("a2"), 0, false, nullptr);
        t.AppendItem(m_root, wxString("B"), 0, false, nullptr);
        t.Expand(m_root);
        t.Expand(m_a);
        m_tree->Bind(wxEVT_TREE_BEGIN_DRAG, [this](wxTreeEvent&) { m_events.push_back("drag"); });
        m_tree->Bind(wxEVT_TREE_END_LABEL_EDIT,
                     [this](wxTreeEvent& event) { m_events.push_back("edit " + event.GetLabel().utf8_string()); });
        m_frame->Show();
        ASSERT_TRUE(schema_test::CDisplayInput::Raise(*m_frame, *m_tree));
    }
    void TearDown() override
    {
        if (m_frame)
            m_frame->Destroy();
        Pump();
    }
    wxPoint Centre(TreeItem item) const
    {
        const wxRect rect = m_tree->GetItemRect(item, true);
        return m_tree->ClientToScreen(rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2));
    }
    wxTextCtrl* Editor() const
    {
        for (wxWindow* child : m_tree->GetChildren()) {
            if (auto* edit = dynamic_cast<wxTextCtrl*>(child))
                return edit;
        }
        return nullptr;
    }

    wxFrame* m_frame = nullptr;
    TestTree* m_tree = nullptr;
    TreeItem m_root, m_a, m_a1, m_a2;
    std::vector<std::string> m_events;
    schema_test::CDisplayInput m_input;
};

TEST_F(TVTreeViewInputTest, ClicksDragsAndTheDelayedLabelEdit)
{
    CSchemaTreeStore& t = m_tree->Tree();
    ASSERT_TRUE(m_input.MoveTo(Centre(m_a1)));
    ASSERT_TRUE(m_input.Click());
    EXPECT_EQ(SelectedTexts(t), std::vector<std::string>{"a1"});
    // A second click on the focused label edits it once the double-click time has passed.
    m_input.WaitOutDoubleClick();
    ASSERT_TRUE(m_input.Click());
    ASSERT_TRUE(PumpUntil([this] { return Editor() != nullptr; }, Scaled(5s)));
    Editor()->SetValue("renamed");
    ASSERT_TRUE(m_input.Key(WXK_RETURN));
    ASSERT_TRUE(PumpUntil([&] { return t.GetText(m_a1) == "renamed"; }, Scaled(5s)));
    EXPECT_NE(std::find(m_events.begin(), m_events.end(), "edit renamed"), m_events.end());
    EXPECT_TRUE(PumpUntil([this] { return Editor() == nullptr; }, Scaled(5s)));

    // A double click never starts an edit, not even once the time of the edit a single click
    // would have started has passed.
    ASSERT_TRUE(m_input.MoveTo(Centre(m_a2)));
    ASSERT_TRUE(m_input.Click());
    m_input.WaitOutDoubleClick();
    ASSERT_TRUE(m_input.DoubleClick());
    m_input.WaitOutDoubleClick();
    EXPECT_EQ(Editor(), nullptr);

    // Ctrl+click adds; a drag from a selected item (not the focused one, whose label a press
    // would edit) keeps both and is reported once.
    ASSERT_TRUE(m_input.MoveTo(Centre(m_a1)));
    ASSERT_TRUE(m_input.Click(wxMOD_CONTROL));
    EXPECT_EQ(SelectedTexts(t), (std::vector<std::string>{"renamed", "a2"}));
    EXPECT_EQ(t.GetCaret(), m_a1);
    m_events.clear();
    ASSERT_TRUE(m_input.MoveTo(Centre(m_a2)));
    ASSERT_TRUE(m_input.Drag(std::vector<wxPoint>(4, wxPoint(0, 12))));
    EXPECT_EQ(std::count(m_events.begin(), m_events.end(), "drag"), 1);
    EXPECT_EQ(SelectedTexts(t), (std::vector<std::string>{"renamed", "a2"}));

    // A press on an expand button closes the branch, which unselects what it hides.
    const wxRect row = m_tree->GetItemRect(m_a, false);
    const int level = 2; // root and A's own column of lines
    ASSERT_TRUE(m_input.MoveTo(m_tree->ClientToScreen(wxPoint(row.x + (level - 1) * 19 + 9, row.y + row.height / 2))));
    ASSERT_TRUE(m_input.Click());
    ASSERT_TRUE(PumpUntil([&] { return !t.IsExpanded(m_a); }, Scaled(2s)));
    EXPECT_TRUE(SelectedTexts(t).empty());
}

} // namespace
