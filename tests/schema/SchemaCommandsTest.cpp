// The schema pane's commands without a window: the context menus' and the window menus' rules
// as tables, Design's query per DBMS, and on SQLite and PostgreSQL Copy's texts, column sorting
// with its undo (also across a Refresh), and Expand All.
#include "SchemaTestHost.h"

#include "common/SettingsTable.h"
#include "schemacore/ObjectSourceQuery.h"
#include "schemacore/SchemaCommandIds.h"
#include "schemacore/SchemaContextMenu.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>

#include <map>

using namespace torvane::test;

namespace {

// ---- The menus' rules ----

TEST(SchemaMenuRules, ContextMenuGreying)
{
    const std::set<int> returnAndDesign = {ID_SCHEMA_RETURN_ALL,         ID_SCHEMA_RETURN_TOP, ID_SCHEMA_RETURN_ALL_COLUMNS,
                                           ID_SCHEMA_RETURN_TOP_COLUMNS, ID_SCHEMA_DESIGN,     ID_FILE_SAVE_AS};
    auto with = [](std::set<int> a, std::initializer_list<int> more) {
        a.insert(more);
        return a;
    };
    const struct {
        const char* name;
        CSchemaMenuState state;
        std::set<int> greyed;
    } cases[] = {
        {"root, idle", {kindConnection, 1, true}, {}},
        {"root, closed", {kindConnection, 1, false},
         with(returnAndDesign, {ID_SCHEMA_CONNECTION_STRING, ID_SCHEMA_PROPERTIES})},
        {"root, executing", {kindConnection, 1, true, true, true},
         with(returnAndDesign, {ID_SCHEMA_EXPAND_ALL, ID_SCHEMA_SHOW_ALL, ID_EDIT_FIND, ID_REFRESH})},
        {"table, idle", {kindTable, 1, true}, {ID_SCHEMA_RESTORE_ORDER}},
        {"system table, Find in Files", {kindSystemTable, 1, true, true, false, true},
         with(returnAndDesign, {ID_SCHEMA_RESTORE_ORDER})},
        {"table sorted ascending", {kindTableSortedAscending, 1, true}, {ID_SCHEMA_SORT_ASCENDING}},
        {"table sorted descending", {kindTableSortedDescending, 1, true}, {ID_SCHEMA_SORT_DESCENDING}},
        {"table never loaded, executing", {kindTable, 1, true, true, true, false, false},
         with(returnAndDesign,
              {ID_SCHEMA_RELATIONSHIPS, ID_SCHEMA_INDEXES, ID_SCHEMA_CONSTRAINTS, ID_SCHEMA_TABLE_PERMISSIONS,
               ID_SCHEMA_COLUMN_PERMISSIONS, ID_SCHEMA_PROPERTIES, ID_SCHEMA_SORT_ASCENDING, ID_SCHEMA_SORT_DESCENDING,
               ID_SCHEMA_RESTORE_ORDER, ID_SCHEMA_EXPAND_ALL, ID_SCHEMA_SHOW_ALL, ID_EDIT_FIND, ID_REFRESH})},
        {"table loaded, executing", {kindTable, 1, true, true, true, false, true},
         with(returnAndDesign,
              {ID_SCHEMA_RELATIONSHIPS, ID_SCHEMA_INDEXES, ID_SCHEMA_CONSTRAINTS, ID_SCHEMA_TABLE_PERMISSIONS,
               ID_SCHEMA_COLUMN_PERMISSIONS, ID_SCHEMA_PROPERTIES, ID_SCHEMA_RESTORE_ORDER, ID_SCHEMA_EXPAND_ALL,
               ID_SCHEMA_SHOW_ALL, ID_EDIT_FIND, ID_REFRESH})},
        {"view, idle", {kindView, 1, true}, {ID_SCHEMA_RESTORE_VIEW_ORDER}},
        {"view sorted descending", {kindViewSortedDescending, 1, true}, {ID_SCHEMA_SORT_VIEW_DESCENDING}},
        {"view never loaded, executing", {kindView, 1, true, true, true, false, false},
         with(returnAndDesign,
              {ID_SCHEMA_RELATIONSHIPS, ID_SCHEMA_INDEXES, ID_SCHEMA_CONSTRAINTS, ID_SCHEMA_TABLE_PERMISSIONS,
               ID_SCHEMA_COLUMN_PERMISSIONS, ID_SCHEMA_PROPERTIES, ID_SCHEMA_SORT_VIEW_ASCENDING,
               ID_SCHEMA_SORT_VIEW_DESCENDING, ID_SCHEMA_RESTORE_VIEW_ORDER, ID_SCHEMA_EXPAND_ALL, ID_SCHEMA_SHOW_ALL,
               ID_EDIT_FIND, ID_REFRESH})},
        {"column, none selected", {kindColumn, 0, true},
         {ID_EDIT_FIND, ID_SCHEMA_COLUMN_PERMISSIONS, ID_SCHEMA_PROPERTIES, ID_SCHEMA_RETURN_ALL_COLUMNS,
          ID_SCHEMA_RETURN_TOP_COLUMNS, ID_EDIT_COPY, ID_FILE_SAVE_AS}},
        {"key column, one selected", {kindPrimaryKeyColumn, 1, true}, {}},
        {"column, several selected", {kindForeignKeyColumn, 2, true},
         {ID_EDIT_FIND, ID_SCHEMA_COLUMN_PERMISSIONS, ID_SCHEMA_PROPERTIES}},
        {"procedure, idle", {kindProcedure, 1, true}, {}},
        {"procedure, closed", {kindProcedure, 1, false}, returnAndDesign},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GreyedPopupItems(c.state), c.greyed) << c.name;

    CSchemaMenuState folder{kindViewsFolder, 1, true};
    folder.showAll = true;
    EXPECT_TRUE(IsPopupItemChecked(ID_SCHEMA_SHOW_ALL, folder));
    folder.showAll = false;
    EXPECT_FALSE(IsPopupItemChecked(ID_SCHEMA_SHOW_ALL, folder));
}

TEST(SchemaMenuRules, WindowMenuCommands)
{
    const struct {
        int kind;
        unsigned selected;
        bool open, shown, executing;
        bool copy, refresh, saveAs, properties;
    } cases[] = {
        {-1, 0, true, true, false, true, false, false, false},
        {kindConnection, 1, true, true, false, false, true, false, true},
        {kindTablesFolder, 1, true, true, false, false, true, false, true},
        {kindTemporaryTablesFolder, 1, true, true, true, false, false, false, true},
        {kindAliasesFolder, 1, true, false, false, false, false, false, false},
        {kindTable, 1, true, true, false, true, false, true, true},
        {kindTableSortedDescending, 1, true, true, false, true, false, true, true},
        {kindViewSortedAscending, 1, false, true, false, true, false, false, false},
        {kindView, 1, true, true, true, true, false, false, false},
        {kindColumn, 0, true, true, false, false, false, false, false},
        {kindColumn, 1, true, true, false, true, false, true, true},
        {kindColumn, 1, true, true, true, true, false, false, false},
        {kindColumn, 2, true, true, false, true, false, true, false},
        {kindProcedure, 1, true, true, false, true, false, false, true},
        {kindParameter, 1, true, true, true, true, false, false, true},
        {kindMarker, 1, true, true, false, false, false, false, false},
        {kindNotCapable, 1, true, true, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        CSchemaMenuState state{c.kind, c.selected, c.open, c.shown, c.executing};
        EXPECT_EQ(IsSchemaMenuCommandEnabled(ID_EDIT_COPY, state), c.copy) << c.kind;
        EXPECT_EQ(IsSchemaMenuCommandEnabled(ID_REFRESH, state), c.refresh) << c.kind;
        EXPECT_EQ(IsSchemaMenuCommandEnabled(ID_FILE_SAVE_AS, state), c.saveAs) << c.kind;
        EXPECT_EQ(IsSchemaMenuCommandEnabled(ID_SCHEMA_PROPERTIES, state), c.properties)
            << c.kind << " " << c.selected << " " << c.executing;
        EXPECT_TRUE(IsSchemaMenuCommandEnabled(ID_FORMAT_FONT, state));
        EXPECT_FALSE(IsSchemaMenuCommandEnabled(ID_FILE_SAVE, state));
        EXPECT_FALSE(IsSchemaMenuCommandEnabled(ID_FILE_SAVE_ALL, state));
    }
}

// ---- Design's query ----

TEST(ObjectSourceQuery, FirstFittingRulePerDbms)
{
    struct Case {
        const char* name;
        CSelectDialect dialect;
        const char* prefix;
        const char* suffix;
        const char* object;
        const char* schema;
        bool procedure;
        const char* expected;
    };
    CSelectDialect tSql;
    tSql.tSql = true;
    CSelectDialect sybase = tSql;
    sybase.dbmsNameUpper = "ADAPTIVE SERVER ANYWHERE";
    CSelectDialect anywhere;
    anywhere.dbmsNameUpper = "SYBASE SQL ANYWHERE";
    CSelectDialect oracle;
    oracle.oracle = true;
    CSelectDialect db2;
    db2.db2 = true;
    CSelectDialect jet;
    jet.jet = true;
    CSelectDialect mySql;
    mySql.mySql = true;
    mySql.dbmsNameUpper = "MYSQL";
    CSelectDialect pervasive;
    pervasive.dbmsNameUpper = "PERVASIVE.SQL";
    CSelectDialect pervasiveJet = pervasive;
    pervasiveJet.jet = true;
    CSelectDialect sqlite;
    sqlite.dbmsNameUpper = "SQLITE";
    CSelectDialect postgres;
    postgres.dbmsNameUpper = "POSTGRESQL";
    const Case cases[] = {
        {"T-SQL, group number cut", tSql, "[", "]", "OrderProc;1", "dbo", true, "sp_helptext [OrderProc]"},
        {"T-SQL, no quotes", tSql, "", "", "OrderProc", "dbo", true, "sp_helptext OrderProc"},
        {"T-SQL view, cut too", tSql, "[", "]", "V;2", "dbo", false, "sp_helptext [V]"},
        {"T-SQL, closing quote doubled", tSql, "[", "]", "a]b", "dbo", false, "sp_helptext [a]]b]"},
        {"Sybase beats T-SQL", sybase, "[", "]", "P1", "dbo", true,
         "SELECT text FROM syscomments WHERE id = OBJECT_ID('P1') ORDER BY number, colid2, colid"},
        {"SQL Anywhere view", anywhere, "", "", "it's", "", false,
         "SELECT text FROM syscomments WHERE id = OBJECT_ID('it''s') ORDER BY number, colid2, colid"},
        {"Oracle procedure", oracle, "\"", "\"", "P1", "SCOTT", true,
         "SELECT TEXT FROM ALL_SOURCE WHERE type = 'PROCEDURE' AND NAME = 'P1'"},
        {"Oracle package member", oracle, "\"", "\"", "A.B", "SCOTT", true,
         "SELECT TEXT FROM ALL_SOURCE WHERE type = 'PROCEDURE' AND NAME = 'A'"},
        {"Oracle view", oracle, "\"", "\"", "V1", "SCOTT", false,
         "SELECT text FROM user_views WHERE view_name = 'V1'"},
        {"DB2 view", db2, "\"", "\"", "V1", "ADMIN", false,
         "SELECT TEXT FROM SYSIBM.SYSVIEWS WHERE NAME = 'V1' AND CREATOR = 'ADMIN'"},
        {"DB2 procedure", db2, "\"", "\"", "P'1", "O'NEIL", true,
         "SELECT TEXT FROM SYSIBM.SYSPROCEDURES WHERE PROCNAME = 'P''1' AND PROCSCHEMA = 'O''NEIL'"},
        {"Jet", jet, "[", "]", "Q1", "", false, "Q1 // Using DAO"},
        {"MySQL view", mySql, "`", "`", "V1", "", false, "V1 // View text not supported"},
        {"SQLite view", sqlite, "\"", "\"", "item_labels", "", false, "item_labels // View text not supported"},
        {"PostgreSQL function", postgres, "\"", "\"", "add_one", "public", true,
         "add_one // Procedure text not supported"},
        {"Pervasive procedure", pervasive, "\"", "\"", "P1", "", true,
         "SELECT Xp$Misc FROM X$Proc WHERE Xp$Name = 'P1'"},
        {"Pervasive view, Jet flag or not", pervasiveJet, "\"", "\"", "V'1", "", false,
         "SELECT Xv$Misc FROM X$View WHERE Xv$Name = 'V''1'"},
    };
    for (const Case& c : cases) {
        CSchemaNodeData object;
        object.m_strName = c.object;
        object.m_strSchema = c.schema;
        object.m_strType = "Procedure";
        EXPECT_EQ(ComposeObjectSourceQuery(c.dialect, c.prefix, c.suffix, object, c.procedure), c.expected) << c.name;
    }
    // The Oracle rule upper-cases the object's own type text, and with it its node key.
    CSchemaNodeData function;
    function.m_strName = "F1";
    function.m_strSchema = "SCOTT";
    function.m_strType = "Function";
    EXPECT_EQ(ComposeObjectSourceQuery(oracle, "\"", "\"", function, true),
              "SELECT TEXT FROM ALL_SOURCE WHERE type = 'FUNCTION' AND NAME = 'F1'");
    EXPECT_EQ(function.m_strType, "FUNCTION");
    EXPECT_EQ(GetNodeKey(function), "FUNCTION.SCOTT.F1");
}

// ---- On the databases ----

class SchemaCommandsTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        Exec("CREATE TABLE customers (customer_id INTEGER PRIMARY KEY, name VARCHAR(20))");
        Exec("CREATE TABLE orders (order_id INTEGER PRIMARY KEY, customer_id INTEGER REFERENCES "
             "customers(customer_id), note VARCHAR(40))");
        // Names whose orders differ by letter case.
        Exec("CREATE TABLE mixed (beta INTEGER, \"Alpha\" INTEGER, gamma INTEGER, \"Delta\" INTEGER)");
        Exec("CREATE VIEW customer_names AS SELECT name, customer_id FROM customers");
        if (IsPostgres())
            Exec("CREATE FUNCTION add_one(IN a integer, OUT b integer) AS 'SELECT a + 1' LANGUAGE sql");
        // The three extra folders would only add the server's own catalog here.
        settings::WriteInt(settings::ShowAllRoot, 0, *m_f.m_store);
        m_f.m_host.Open(ConnectionString());
        m_f.Build().ResetTree();
        m_f.Expand("Tables");
        m_f.Expand("Views");
    }

    std::string Shown(const std::string& name) const { return IsPostgres() ? name + " (public)" : name; }
    std::string Path(const std::string& folder, const std::string& name) const { return folder + "|" + Shown(name); }
    // The qualified, quoted name of a public object.
    std::string Qualified(const std::string& name) const
    {
        return IsPostgres() ? "\"public\".\"" + name + "\"" : "\"" + name + "\"";
    }
    std::vector<std::string> Children(const std::string& path) const
    {
        return ChildTexts(m_f.m_tree, Find(m_f.m_tree, path));
    }
    int Kind(const std::string& path) const { return m_f.m_tree.GetKind(Find(m_f.m_tree, path)); }
    CSchemaTreeModel& Model() { return *m_f.m_model; }

    CModelFixture m_f;
};

TEST_P(SchemaCommandsTest, CopyTextByKind)
{
    CSchemaTreeModel& model = Model();
    m_f.Select(Path("Tables", "orders"));
    EXPECT_EQ(model.GetCopyText(), Qualified("orders"));
    m_f.Select(Path("Views", "customer_names"));
    EXPECT_EQ(model.GetCopyText(), Qualified("customer_names"));
    // Three selected columns: each qualified, joined by ", ".
    m_f.Expand(Path("Tables", "orders"));
    const std::string orders = Path("Tables", "orders") + "|";
    m_f.Select(orders + "order_id");
    for (const char* column : {"customer_id", "note"}) {
        const TreeItem item = Find(m_f.m_tree, orders + column);
        m_f.m_tree.SetSelected(item, true);
        m_f.m_tree.SetCaret(item);
    }
    const std::string q = Qualified("orders");
    EXPECT_EQ(model.GetCopyText(), q + ".\"order_id\", " + q + ".\"customer_id\", " + q + ".\"note\"");
    m_f.Select(orders + "note");
    EXPECT_EQ(model.GetCopyText(), q + ".\"note\"");
    // A DBMS named TEXT: columns copy as an empty text.
    const wxString dbms = m_f.m_host.m_connection.m_strDbmsNameUpper;
    m_f.m_host.m_connection.m_strDbmsNameUpper = "TEXT";
    EXPECT_EQ(model.GetCopyText(), "");
    m_f.m_host.m_connection.m_strDbmsNameUpper = dbms;
    // Folders and the connection node copy nothing.
    m_f.Select("Tables");
    EXPECT_EQ(model.GetCopyText(), "");
    m_f.Select("");
    EXPECT_EQ(model.GetCopyText(), "");
    if (IsPostgres()) {
        m_f.Expand("Procedures/Functions");
        m_f.Select(Path("Procedures/Functions", "add_one"));
        EXPECT_EQ(model.GetCopyText(), "add_one");
        m_f.Expand(Path("Procedures/Functions", "add_one"));
        // A parameter copies with its direction.
        m_f.Select(Path("Procedures/Functions", "add_one") + "|a");
        EXPECT_EQ(model.GetCopyText(), "a (adParamInput)");
    }
}

TEST_P(SchemaCommandsTest, SortingLoadsKeepsTheLoadedOrderAndRestoresIt)
{
    CSchemaTreeModel& model = Model();
    const std::string mixed = Path("Tables", "mixed");
    const TreeItem node = m_f.Select(mixed);
    ASSERT_FALSE(m_f.m_tree.IsLoaded(node));
    m_f.m_host.m_statusTexts.clear();
    // Sorting a table never opened loads its columns and opens it.
    model.OnSortColumns(false, false);
    EXPECT_TRUE(m_f.m_tree.IsExpanded(node));
    EXPECT_EQ(Children(mixed), (std::vector<std::string>{"gamma", "beta", "Delta", "Alpha"}));
    EXPECT_EQ(Kind(mixed), kindTableSortedDescending);
    EXPECT_EQ(m_f.m_host.m_statusTexts.front(), "Please wait...");
    EXPECT_EQ(m_f.m_host.m_statusTexts.back(), "");
    EXPECT_EQ(m_f.m_host.m_nWaitDepth, 0);
    // Ascending is the tree's own order, which ignores case.
    model.OnSortColumns(true, false);
    EXPECT_EQ(Children(mixed), (std::vector<std::string>{"Alpha", "beta", "Delta", "gamma"}));
    EXPECT_EQ(Kind(mixed), kindTableSortedAscending);
    // The order kept is the first, as loaded.
    model.OnSortColumns(false, false);
    model.RestoreOriginalOrder();
    EXPECT_EQ(Children(mixed), (std::vector<std::string>{"beta", "Alpha", "gamma", "Delta"}));
    EXPECT_EQ(Kind(mixed), kindTable);
    // Each node carries its own column again.
    for (TreeItem child = m_f.m_tree.GetFirstChild(node); child; child = m_f.m_tree.GetNextSibling(child)) {
        const auto* data = dynamic_cast<const CSchemaColumnData*>(m_f.m_tree.GetData(child));
        ASSERT_TRUE(data);
        EXPECT_EQ(data->m_strName, m_f.m_tree.GetText(child));
    }
    // The SELECT of a sorted table lists its columns as shown.
    model.OnSortColumns(true, false);
    EXPECT_EQ(model.BuildSelectStatement(kAllRows),
              "SELECT \"Alpha\", \"beta\", \"Delta\", \"gamma\" FROM " + Qualified("mixed"));
    // A view sorts as a view; Restore without a kept order only gives the node its kind back.
    const std::string view = Path("Views", "customer_names");
    m_f.Select(view);
    model.OnSortColumns(true, true);
    EXPECT_EQ(Kind(view), kindViewSortedAscending);
    EXPECT_EQ(Children(view), (std::vector<std::string>{"customer_id", "name"}));
    model.RestoreOriginalOrder();
    EXPECT_EQ(Children(view), (std::vector<std::string>{"name", "customer_id"}));
    m_f.m_tree.SetKind(Find(m_f.m_tree, view), kindViewSortedDescending);
    model.RestoreOriginalOrder();
    EXPECT_EQ(Kind(view), kindView);
    EXPECT_EQ(Children(view), (std::vector<std::string>{"name", "customer_id"}));
    EXPECT_TRUE(m_f.m_host.m_messages.empty());
}

TEST_P(SchemaCommandsTest, RefreshSortsAgainWithTheColumnsAsTheyAreNow)
{
    CSchemaTreeModel& model = Model();
    const std::string mixed = Path("Tables", "mixed");
    m_f.Select(mixed);
    model.OnSortColumns(false, false);
    m_f.m_tree.Collapse(Find(m_f.m_tree, mixed));
    Exec("ALTER TABLE mixed ADD COLUMN epsilon INTEGER");
    m_f.Select("Tables");
    model.OnRefresh();
    // Sorted the same way, closed as it was.
    EXPECT_EQ(Kind(mixed), kindTableSortedDescending);
    EXPECT_FALSE(m_f.m_tree.IsExpanded(Find(m_f.m_tree, mixed)));
    EXPECT_EQ(Children(mixed), (std::vector<std::string>{"gamma", "epsilon", "beta", "Delta", "Alpha"}));
    // Restore gives the order as loaded now, the new column included.
    m_f.Select(mixed);
    model.RestoreOriginalOrder();
    EXPECT_EQ(Children(mixed), (std::vector<std::string>{"beta", "Alpha", "gamma", "Delta", "epsilon"}));
    EXPECT_EQ(Kind(mixed), kindTable);
}

TEST_P(SchemaCommandsTest, ExpandAllLoadsEveryLevelOnce)
{
    CSchemaTreeModel& model = Model();
    m_f.m_host.m_calls.clear();
    m_f.m_host.m_statusTexts.clear();
    ASSERT_TRUE(model.ExpandAll());
    EXPECT_EQ(m_f.m_host.m_statusTexts, (std::vector<wxString>{"Please wait...", ""}));
    // Every node with a button is open and loaded: tables, views, procedures and what they hold.
    for (TreeItem item : AllItems(m_f.m_tree)) {
        if (m_f.m_tree.HasButton(item)) {
            EXPECT_TRUE(m_f.m_tree.IsExpanded(item)) << m_f.m_tree.GetText(item);
            EXPECT_TRUE(m_f.m_tree.IsLoaded(item)) << m_f.m_tree.GetText(item);
        }
    }
    EXPECT_EQ(Children(Path("Tables", "orders")), (std::vector<std::string>{"order_id", "customer_id", "note"}));
    EXPECT_EQ(Children(Path("Views", "customer_names")), (std::vector<std::string>{"name", "customer_id"}));
    if (IsPostgres()) {
        EXPECT_EQ(Children(Path("Procedures/Functions", "add_one")), (std::vector<std::string>{"a", "b"}));
    }
    // Each object's children were read once: one column list per table and view, one parameter
    // list per procedure (overloaded functions share a name, so the lists are counted, not told
    // apart); a second Expand All reads nothing.
    std::map<int, size_t> objects, reads;
    for (TreeItem item : AllItems(m_f.m_tree))
        ++objects[m_f.m_tree.GetKind(item)];
    for (const auto& call : m_f.m_host.m_calls)
        ++reads[call.schema];
    EXPECT_EQ(reads[ado::adSchemaColumns], objects[kindTable] + objects[kindView]);
    EXPECT_EQ(reads[ado::adSchemaProcedureParameters], objects[kindProcedure]);
    EXPECT_EQ(reads[ado::adSchemaProcedures], IsPostgres() ? 1u : 0u);
    EXPECT_EQ(objects[kindTable] + objects[kindView], 4u);
    m_f.m_host.m_calls.clear();
    ASSERT_TRUE(model.ExpandAll());
    EXPECT_TRUE(m_f.m_host.m_calls.empty());
    EXPECT_TRUE(m_f.m_host.m_messages.empty());
}

TEST_P(SchemaCommandsTest, ExpandAllStopsAtTheFirstFailingLoad)
{
    CSchemaTreeModel& model = Model();
    CTestSchemaHost& host = m_f.m_host;
    host.m_openSchema = [&host](ado::SchemaEnum schema, const std::vector<_variant_t>& restrictions) {
        if (schema == ado::adSchemaColumns && restrictions.size() > 2 && restrictions[2].ToString() == "mixed")
            throw _com_error(E_FAIL);
        return host.m_connection.m_pConnection->OpenSchema(schema, restrictions);
    };
    host.m_strErrorsText = "no columns";
    EXPECT_FALSE(model.ExpandAll());
    EXPECT_EQ(host.m_messages, std::vector<wxString>{"no columns"});
    // The tables before it were loaded; those after it, and the Views folder's objects, were not.
    EXPECT_TRUE(m_f.m_tree.IsLoaded(Find(m_f.m_tree, Path("Tables", "customers"))));
    EXPECT_FALSE(m_f.m_tree.IsLoaded(Find(m_f.m_tree, Path("Tables", "orders"))));
    EXPECT_FALSE(m_f.m_tree.IsLoaded(Find(m_f.m_tree, Path("Views", "customer_names"))));
    EXPECT_EQ(host.m_statusTexts.back(), "");
    EXPECT_EQ(host.m_nWaitDepth, 0);
}

TEST_P(SchemaCommandsTest, DesignQueryOnlyForViewsAndProcedures)
{
    CSchemaTreeModel& model = Model();
    m_f.Select(Path("Views", "customer_names"));
    EXPECT_EQ(model.BuildObjectSourceQuery(), "customer_names // View text not supported");
    model.OnSortColumns(false, true);
    EXPECT_EQ(model.BuildObjectSourceQuery(), "customer_names // View text not supported");
    m_f.Select(Path("Tables", "orders"));
    EXPECT_EQ(model.BuildObjectSourceQuery(), "");
    m_f.Select("Views");
    EXPECT_EQ(model.BuildObjectSourceQuery(), "");
    m_f.Select(Path("Views", "customer_names"));
    m_f.m_host.m_bFindInFiles = true;
    EXPECT_EQ(model.BuildObjectSourceQuery(), "");
    m_f.m_host.m_bFindInFiles = false;
    if (IsPostgres()) {
        m_f.Expand("Procedures/Functions");
        m_f.Select(Path("Procedures/Functions", "add_one"));
        EXPECT_EQ(model.BuildObjectSourceQuery(), "add_one // Procedure text not supported");
    }
}

TORVANE_INSTANTIATE_FOR_DRIVERS(SchemaCommandsTest);

} // namespace
