// The properties sheet of real query windows on SQLite and PostgreSQL under Xvfb: the pages
// each node kind opens, what each page shows of the database, the list pages' sorting, popup
// and copy, the permissions choice, every way of closing, and (one test at a time, since it
// uses the display's keyboard) Alt+Enter and Esc as a person presses them.
#include "app/MainFrame.h"
#include "common/ItemComboBoxEx.h"
#include "common/SettingsTable.h"
#include "query/ChildFrame.h"
#include "schema/ConnectStringPage.h"
#include "schema/ConstraintsPage.h"
#include "schema/IndexesKeysPage.h"
#include "schema/PermissionsPages.h"
#include "schema/RelationshipsPage.h"
#include "schema/SchemaCommands.h"
#include "schema/SchemaPropertiesSheet.h"
#include "schema/SchemaPropertyPage.h"
#include "schema/SchemaView.h"
#include "schemacore/ConnectionStringMask.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/schema/DisplayInput.h"
#include "tests/schema/TreeTestHelpers.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestTiming.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::Pump;
using window_test::PumpUntil;
using Page = CPropertyPageKind;

namespace {

class PropertiesSheetTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (!window_test::HaveDisplay())
            GTEST_SKIP() << "no display";
        Exec("CREATE TABLE orders (order_id INTEGER NOT NULL, region VARCHAR(10) NOT NULL, "
             "amount NUMERIC(10,2) CONSTRAINT amount_ok CHECK (amount >= 0), PRIMARY KEY (order_id, region))");
        Exec("CREATE TABLE lines (line_id INTEGER PRIMARY KEY, order_id INTEGER, region VARCHAR(10), "
             "qty INTEGER, CONSTRAINT fk_lines FOREIGN KEY (order_id, region) REFERENCES orders (order_id, region))");
        Exec("CREATE INDEX ix_lines_qty ON lines (qty DESC)");
        Exec("CREATE VIEW big_orders AS SELECT order_id FROM orders WHERE amount > 100");
        if (IsPostgres()) {
            Exec("DO $$ BEGIN CREATE ROLE torv_clerk; EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL; END $$");
            Exec("GRANT SELECT ON orders TO torv_clerk");
            Exec("GRANT SELECT ON orders TO PUBLIC");
        }
        m_frame = window_test::OpenQueryWindow(ConnectionString());
        ASSERT_TRUE(m_frame);
        m_view = dynamic_cast<CSchemaView*>(m_frame->GetSchemaView());
        ASSERT_TRUE(m_view);
    }
    void TearDown() override
    {
        if (auto* frame = CSchemaPropertiesSheetFrame::Get(nullptr, false); frame && frame->IsShown())
            frame->ClosePropertiesFrame();
        window_test::CloseQueryWindows();
    }

    std::string Shown(const std::string& name) const { return IsPostgres() ? name + " (public)" : name; }
    CSchemaTreeStore& Tree() const { return m_view->Tree(); }
    // Opens the path's parents and makes the item the one selected.
    void Pick(const std::string& path)
    {
        std::string prefix;
        for (size_t at = path.find('|'); at != std::string::npos; at = path.find('|', at + 1)) {
            const TreeItem parent = Find(Tree(), path.substr(0, at));
            ASSERT_TRUE(parent) << path;
            Tree().Expand(parent);
        }
        const TreeItem item = path.empty() ? Tree().GetRoot() : Find(Tree(), path);
        ASSERT_TRUE(item) << path;
        m_view->Model().OnLButtonDown(item, CMultiSelectTree::Where::Label, false, false, 0, 0);
        Pump();
    }
    // Runs a command of the pane as its menu does; the sheet, open afterwards.
    CSchemaPropertiesSheet* Command(int id)
    {
        EXPECT_TRUE(m_view->IsCommandEnabled(id)) << id;
        wxCommandEvent command(wxEVT_MENU, id);
        m_view->GetEventHandler()->ProcessEvent(command);
        Pump();
        CSchemaPropertiesSheetFrame* frame = Frame();
        return frame ? frame->GetSheet() : nullptr;
    }
    static CSchemaPropertiesSheetFrame* Frame() { return CSchemaPropertiesSheetFrame::Get(nullptr, false); }
    void Close()
    {
        Frame()->ClosePropertiesFrame();
        Pump();
    }
    static std::vector<wxString> ComboTexts(CItemComboBoxEx& combo)
    {
        std::vector<wxString> texts;
        for (unsigned i = 0; i < combo.GetCount(); ++i)
            texts.push_back(combo.GetString(i));
        return texts;
    }
    static std::vector<std::vector<wxString>> ListRows(wxListCtrl& list)
    {
        std::vector<std::vector<wxString>> rows;
        for (long row = 0; row < list.GetItemCount(); ++row) {
            std::vector<wxString> cells;
            for (int column = 0; column < list.GetColumnCount(); ++column)
                cells.push_back(list.GetItemText(row, column));
            rows.push_back(cells);
        }
        return rows;
    }
    static wxString Clipboard()
    {
        wxTextDataObject text;
        if (wxTheClipboard->Open()) {
            wxTheClipboard->GetData(text);
            wxTheClipboard->Close();
        }
        return text.GetText();
    }

    CChildFrame* m_frame = nullptr;
    CSchemaView* m_view = nullptr;
};

TEST_P(PropertiesSheetTest, EachKindOpensItsPagesAndEveryCloseHidesThem)
{
    wxWindow& main = window_test::Main();
    const std::string table = "Tables|" + Shown("orders");
    const struct {
        std::string path;
        std::vector<Page> pages;
        const char* caption;
    } cases[] = {
        {table, {Page::General, Page::Relationships, Page::Indexes, Page::Constraints, Page::TablePermissions},
         "Database Object Properties"},
        {"Views|" + Shown("big_orders"), {Page::General, Page::Indexes, Page::TablePermissions},
         "Database Object Properties"},
        {table + "|amount", {Page::General, Page::ColumnPermissions}, "Database Object Properties"},
        {"Tables", {Page::General}, "Database Object Properties"},
        {"", {Page::General, Page::ConnectionString}, "Connection Properties"},
    };
    CSchemaPropertiesSheetFrame* first = nullptr;
    int closing = 0;
    for (const auto& c : cases) {
        Pick(c.path);
        CSchemaPropertiesSheet* sheet = Command(ID_SCHEMA_PROPERTIES);
        ASSERT_TRUE(sheet) << c.path;
        if (!first)
            first = Frame();
        EXPECT_EQ(Frame(), first) << "one frame for the program";
        EXPECT_TRUE(Frame()->IsShown());
        EXPECT_FALSE(main.IsEnabled()) << "the main window waits while the sheet shows";
        EXPECT_EQ(sheet->GetPageKinds(), c.pages) << c.path;
        EXPECT_EQ(sheet->GetActivePageKind(), Page::General);
        EXPECT_EQ(Frame()->GetTitle(), c.caption);
        // A second command while it shows changes nothing.
        sheet->ShowObjectProperties(Tree(), *m_view);
        // Close button, Esc, the window's close box.
        switch (closing++ % 3) {
        case 0: {
            wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
            click.SetEventObject(sheet->GetCloseButton());
            sheet->GetCloseButton()->GetEventHandler()->ProcessEvent(click);
            break;
        }
        case 1: {
            wxKeyEvent esc(wxEVT_CHAR_HOOK);
            esc.m_keyCode = WXK_ESCAPE;
            Frame()->GetEventHandler()->ProcessEvent(esc);
            break;
        }
        default: Frame()->Close(); break;
        }
        Pump();
        EXPECT_FALSE(Frame()->IsShown());
        EXPECT_EQ(sheet->GetPageKinds(), std::vector<Page>{Page::General});
        EXPECT_TRUE(main.IsEnabled());
    }

    // The general page of a column names it with its table.
    Pick(table + "|amount");
    CSchemaPropertiesSheet* sheet = Command(ID_SCHEMA_PROPERTIES);
    CSchemaPropertyPage& general = *sheet->GetGeneralPage();
    EXPECT_EQ(general.GetLabel(0)->GetLabel(), "Name:");
    EXPECT_EQ(general.GetValue(0)->GetValue(), (IsPostgres() ? "\"public\".\"orders\"" : "\"orders\"") + wxString(".\"amount\""));
    EXPECT_EQ(general.GetLabel(5)->GetLabel(), "Is nullable:");
    EXPECT_TRUE(general.GetValue(5)->IsShown());
    Close();
    // On a folder the last four pairs are hidden.
    Pick("Views");
    sheet = Command(ID_SCHEMA_PROPERTIES);
    EXPECT_EQ(general.GetValue(1)->GetValue(), "All Views");
    EXPECT_FALSE(general.GetValue(2)->IsShown());
    Close();
}

TEST_P(PropertiesSheetTest, ConnectionStringIsShownWithItsPasswordMasked)
{
    Pick("");
    CSchemaPropertiesSheet* sheet = Command(ID_SCHEMA_CONNECTION_STRING);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->GetActivePageKind(), Page::ConnectionString);
    const wxString shown = sheet->GetConnectStringPage()->GetEdit()->GetValue();
    EXPECT_TRUE(shown.StartsWith("Provider=MSDASQL")) << shown;
    EXPECT_EQ(shown, MaskConnectionPasswords(m_frame->GetConnectionString()));
    Close();
    // The connection's own string with a password: never shown.
    sheet->GetConnectStringPage()->SetConnectString("pwd=topsecret;Provider=MSDASQL;Extended Properties=\"PWD={x;y}\"");
    EXPECT_FALSE(sheet->GetConnectStringPage()->GetEdit()->GetValue().Contains("topsecret"));
    EXPECT_FALSE(sheet->GetConnectStringPage()->GetEdit()->GetValue().Contains("x;y"));
}

TEST_P(PropertiesSheetTest, TablePagesShowTheDatabaseAndCopyToTheClipboard)
{
    Pick("Tables|" + Shown("lines"));
    CSchemaPropertiesSheet* sheet = Command(ID_SCHEMA_RELATIONSHIPS);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->GetActivePageKind(), Page::Relationships);
    CRelationshipsPage& relationships = *sheet->GetRelationshipsPage();
    ASSERT_TRUE(relationships.IsLoaded());
    EXPECT_EQ(relationships.GetNameCombo()->GetCount(), 2u); // one entry per column pair
    wxListCtrl& pairs = *relationships.GetList();
    const wxString schema = IsPostgres() ? "\"public\"." : "";
    ASSERT_EQ(pairs.GetItemCount(), 6);
    EXPECT_EQ(pairs.GetItemText(0, 0), "FK column name ");
    EXPECT_EQ(pairs.GetItemText(0, 1), schema + "\"lines\".\"order_id\"");
    EXPECT_EQ(pairs.GetItemText(1, 1), schema + "\"orders\".\"order_id\"");
    // The first click on a header sorts descending, the next ascending.
    wxListEvent click(wxEVT_LIST_COL_CLICK, pairs.GetId());
    click.SetEventObject(&pairs);
    click.m_col = 0;
    pairs.GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(pairs.GetItemText(0, 0), "Update rule ");
    EXPECT_EQ(pairs.GetItemText(5, 0), "Delete rule ");
    pairs.GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(pairs.GetItemText(0, 0), "Delete rule ");
    // Ctrl+C copies the selected row's cells, tab-separated.
    pairs.SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    wxCommandEvent copy(wxEVT_MENU, ID_PROPERTIES_COPY);
    relationships.GetEventHandler()->ProcessEvent(copy);
    EXPECT_EQ(Clipboard(), "Delete rule \t" + pairs.GetItemText(0, 1));

    // Indexes: the descending index's column and order.
    ASSERT_TRUE(sheet->SetActivePage(Page::Indexes));
    CIndexesKeysPage& indexes = *sheet->GetIndexesPage();
    ASSERT_TRUE(indexes.IsLoaded());
    const std::vector<wxString> names = ComboTexts(*indexes.GetNameCombo());
    auto qty = std::find(names.begin(), names.end(), "ix_lines_qty");
    ASSERT_NE(qty, names.end());
    indexes.GetNameCombo()->SetSelection(static_cast<int>(qty - names.begin()));
    wxCommandEvent selected(wxEVT_COMBOBOX, indexes.GetNameCombo()->GetId());
    selected.SetEventObject(indexes.GetNameCombo());
    indexes.GetNameCombo()->GetEventHandler()->ProcessEvent(selected);
    // The SQLite driver reports every index column as ascending.
    EXPECT_EQ(ListRows(*indexes.GetList()),
              (std::vector<std::vector<wxString>>{{"qty", IsPostgres() ? "Desc" : "Asc"}}));
    EXPECT_EQ(indexes.GetField(0)->GetValue(), "No");
    EXPECT_EQ(indexes.GetField(1)->GetValue(), "No");

    // Constraints: the check clause on PostgreSQL; the driver cannot tell on SQLite.
    ASSERT_TRUE(sheet->SetActivePage(Page::Constraints));
    CConstraintsPage& constraints = *sheet->GetConstraintsPage();
    if (IsSqlite()) {
        EXPECT_EQ(ComboTexts(*constraints.GetNameCombo()), std::vector<wxString>{"<Provider not capable>"});
        EXPECT_FALSE(constraints.GetNameCombo()->IsEnabled());
    } else {
        EXPECT_TRUE(constraints.GetNameCombo()->IsEnabled());
        const std::vector<wxString> texts = ComboTexts(*constraints.GetNameCombo());
        EXPECT_NE(std::find(texts.begin(), texts.end(), "fk_lines (not deferrable)"), texts.end());
    }

    // Permissions: a provider that cannot tell, or the grantees.
    ASSERT_TRUE(sheet->SetActivePage(Page::TablePermissions));
    CPermissionsPage& permissions = *sheet->GetTablePermPage();
    if (IsSqlite()) {
        EXPECT_EQ(ListRows(*permissions.GetList())[0][0], "<Provider not capable> ");
        EXPECT_FALSE(permissions.GetAllUsers()->IsEnabled());
        EXPECT_TRUE(permissions.GetList()->HasFlag(wxLC_NO_HEADER));
    } else {
        EXPECT_TRUE(permissions.GetAllUsers()->IsEnabled());
        EXPECT_EQ(permissions.GetThisUser()->GetLabel(), "&This user (torvane)");
    }
    Close();
    // Closing reset the pages: the next opening reads again, with the choice enabled.
    EXPECT_FALSE(relationships.IsLoaded());
    EXPECT_EQ(relationships.GetNameCombo()->GetCount(), 0u);
    EXPECT_TRUE(permissions.GetAllUsers()->IsEnabled());
    EXPECT_FALSE(permissions.GetList()->HasFlag(wxLC_NO_HEADER));
}

TEST_P(PropertiesSheetTest, PermissionsChoiceIsRememberedPerPage)
{
    if (IsSqlite())
        GTEST_SKIP() << "the SQLite driver reports no grantees";
    settings::WriteInt(settings::TablePermAllUsers, 1);
    settings::WriteInt(settings::ColPermAllUsers, 0);
    Pick("Tables|" + Shown("orders"));
    CSchemaPropertiesSheet* sheet = Command(ID_SCHEMA_TABLE_PERMISSIONS);
    ASSERT_TRUE(sheet);
    CPermissionsPage& page = *sheet->GetTablePermPage();
    EXPECT_TRUE(page.GetAllUsers()->GetValue());
    auto grantees = [&] {
        std::vector<wxString> names;
        for (const auto& row : ListRows(*page.GetList()))
            names.push_back(row[0]);
        return names;
    };
    EXPECT_EQ(grantees(), (std::vector<wxString>{"PUBLIC", "torv_clerk", "torvane"}));
    EXPECT_EQ(ListRows(*page.GetList())[1],
              (std::vector<wxString>{"torv_clerk", "YES", "NO", "NO", "NO", "NO"}));
    page.GetThisUser()->SetValue(true);
    wxCommandEvent choose(wxEVT_RADIOBUTTON, page.GetThisUser()->GetId());
    choose.SetEventObject(page.GetThisUser());
    page.GetThisUser()->GetEventHandler()->ProcessEvent(choose);
    EXPECT_EQ(grantees(), std::vector<wxString>{"torvane"});
    EXPECT_EQ(settings::ReadInt(settings::TablePermAllUsers), 0);
    EXPECT_EQ(settings::ReadInt(settings::ColPermAllUsers), 0);
    Close();

    // The column page keeps its own choice: this user only.
    Pick("Tables|" + Shown("orders") + "|amount");
    sheet = Command(ID_SCHEMA_COLUMN_PERMISSIONS);
    ASSERT_TRUE(sheet);
    CPermissionsPage& column = *sheet->GetColumnPermPage();
    EXPECT_TRUE(column.GetThisUser()->GetValue());
    ASSERT_EQ(column.GetList()->GetItemCount(), 1);
    EXPECT_EQ(column.GetList()->GetItemText(0, 0), "torvane");
    Close();
}

TEST_P(PropertiesSheetTest, TheMenusOfferThePagesOfTheNode)
{
    Pick("Tables|" + Shown("orders"));
    std::unique_ptr<wxMenu> menu(m_view->CreateContextMenu());
    ASSERT_TRUE(menu);
    for (int id : {int(ID_SCHEMA_RELATIONSHIPS), int(ID_SCHEMA_INDEXES), int(ID_SCHEMA_CONSTRAINTS),
                   int(ID_SCHEMA_TABLE_PERMISSIONS), int(ID_SCHEMA_PROPERTIES)}) {
        ASSERT_TRUE(menu->FindItem(id)) << id;
        EXPECT_TRUE(menu->FindItem(id)->IsEnabled()) << id;
    }
    EXPECT_EQ(menu->FindItem(ID_SCHEMA_PROPERTIES)->GetItemLabel(), "&Properties\tAlt+Enter");
    Pick("Views|" + Shown("big_orders"));
    menu.reset(m_view->CreateContextMenu());
    EXPECT_FALSE(menu->FindItem(ID_SCHEMA_RELATIONSHIPS));
    EXPECT_TRUE(menu->FindItem(ID_SCHEMA_INDEXES));
    Pick("");
    menu.reset(m_view->CreateContextMenu());
    EXPECT_TRUE(menu->FindItem(ID_SCHEMA_CONNECTION_STRING));
    // The query window's View menu carries Properties with its key.
    wxMenuItem* item = m_frame->GetMenuBar()->FindItem(ID_SCHEMA_PROPERTIES);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->GetItemLabel(), "&Properties\tAlt+Enter");
}

TORVANE_INSTANTIATE_FOR_DRIVERS(PropertiesSheetTest);

// Alt+Enter and Esc through the display.
class PropertiesSheetInputTest : public PropertiesSheetTest {};

TEST_P(PropertiesSheetInputTest, AltEnterOpensTheSheetAndEscClosesIt)
{
    ASSERT_TRUE(schema_test::CDisplayInput::Raise(window_test::Main(), *m_view));
    Pick("Tables|" + Shown("orders"));
    m_view->SetFocus();
    m_frame->ActivateSchemaPane();
    ASSERT_TRUE(PumpUntil([this] { return wxWindow::FindFocus() == m_view; }, Scaled(10s)));
    wxUIActionSimulator keys;
    keys.Char(WXK_RETURN, wxMOD_ALT);
    ASSERT_TRUE(PumpUntil([] { return Frame() && Frame()->IsShown(); }, Scaled(10s))) << "Alt+Enter opened no sheet";
    CSchemaPropertiesSheet& sheet = *Frame()->GetSheet();
    EXPECT_EQ(sheet.GetPageKinds().size(), 5u);
    Frame()->Raise();
    // Esc closes whichever page shows, a page whose load disabled its controls too.
    ASSERT_TRUE(sheet.SetActivePage(Page::TablePermissions));
    // The display gives the keys to the window under the pointer.
    schema_test::CDisplayInput input;
    ASSERT_TRUE(input.MoveTo(Frame()->GetScreenRect().GetPosition() + wxPoint(40, 60)));
    keys.Char(WXK_ESCAPE);
    EXPECT_TRUE(PumpUntil([] { return !Frame()->IsShown(); }, Scaled(10s))) << "Esc left the sheet open";
    EXPECT_TRUE(window_test::Main().IsEnabled());
    // The keys are back in the schema pane.
    EXPECT_EQ(wxWindow::FindFocus(), m_view);
}

TORVANE_INSTANTIATE_FOR_DRIVERS(PropertiesSheetInputTest);

} // namespace
