// The schema tree on SQLite and PostgreSQL: folders and their objects after expansion, columns
// with key marks and details, names with pattern characters, quotes, blanks, dots and non-ASCII
// letters, procedures with their parameters (PostgreSQL), a second schema, Refresh and Show All,
// and the generated SELECT run on the database.
#include "SchemaTestHost.h"

#include "common/SettingsTable.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace torvane::test;

namespace {

class SchemaDatabaseTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsPostgres())
            Exec("DROP SCHEMA IF EXISTS sales CASCADE");
        Exec("CREATE TABLE customers (customer_id INTEGER PRIMARY KEY, name VARCHAR(20) NOT NULL, "
             "created TIMESTAMP, balance NUMERIC(10,2))");
        Exec("CREATE TABLE orders (order_id INTEGER NOT NULL, line_no INTEGER NOT NULL, "
             "customer_id INTEGER REFERENCES customers(customer_id), note VARCHAR(40), "
             "PRIMARY KEY (order_id, line_no))");
        // A name that is also a pattern matching the other one.
        Exec("CREATE TABLE \"A_B\" (x INTEGER)");
        Exec("CREATE TABLE \"AXB\" (y INTEGER)");
        Exec("CREATE TABLE \"odd %_ \"\"name\"\"\" (\"col \"\"q\"\"\" INTEGER, \"na\xC3\xAFve \xC3\xA9\" VARCHAR(10), "
             "\"a.b\" INTEGER)");
        Exec("CREATE TABLE \"Gr\xC3\xB6\xC3\x9F" "e\" (\"\xC3\x9Cmlaut\" INTEGER)");
        Exec("CREATE VIEW customer_names AS SELECT name FROM customers");
        for (int i = 1; i <= 5; ++i)
            Exec("INSERT INTO customers (customer_id, name) VALUES (" + std::to_string(i) + ", 'c" +
                 std::to_string(i) + "')");
        Exec("INSERT INTO \"odd %_ \"\"name\"\"\" VALUES (1, 'x', 2)");
        if (IsPostgres()) {
            Exec("CREATE SCHEMA sales");
            Exec("CREATE TABLE sales.invoices (id INTEGER PRIMARY KEY, customer_id INTEGER REFERENCES "
                 "public.customers(customer_id))");
            Exec("CREATE FUNCTION add_one(IN a integer, OUT b integer) AS 'SELECT a + 1' LANGUAGE sql");
            Exec("CREATE FUNCTION list_customers() RETURNS TABLE(id integer, name varchar) AS "
                 "'SELECT customer_id, name FROM customers' LANGUAGE sql");
        }
        m_f.m_host.Open(ConnectionString());
        m_f.Build().ResetTree();
    }

    // The display name of a public object.
    std::string Shown(const std::string& name) const { return IsPostgres() ? name + " (public)" : name; }
    std::string Path(const std::string& folder, const std::string& name) const { return folder + "|" + Shown(name); }
    std::vector<std::string> Shown(std::vector<std::string> names) const
    {
        for (std::string& name : names)
            name = Shown(name);
        return names;
    }
    const CSchemaColumnData& Column(const std::string& path)
    {
        const TreeItem item = Find(m_f.m_tree, path);
        EXPECT_TRUE(item) << path;
        const auto* data = item ? dynamic_cast<const CSchemaColumnData*>(m_f.m_tree.GetData(item)) : nullptr;
        static const CSchemaColumnData none;
        return data ? *data : none;
    }
    // Runs the statement on the database and gives its field count.
    long Run(const wxString& sql)
    {
        ado::RecordsetPtr rs = m_f.m_host.m_connection.m_pConnection->Execute(sql.utf8_string());
        return rs->GetFields()->GetCount();
    }

    CModelFixture m_f;
};

TEST_P(SchemaDatabaseTest, FoldersListTheirObjects)
{
    const TreeItem tables = m_f.Expand("Tables");
    std::vector<std::string> expected =
        Shown({"A_B", "AXB", "customers", "Gr\xC3\xB6\xC3\x9F" "e", "odd %_ \"name\"", "orders"});
    if (IsPostgres())
        expected.insert(expected.begin() + 4, "invoices (sales)");
    EXPECT_EQ(ChildTexts(m_f.m_tree, tables), expected);
    EXPECT_EQ(ChildKinds(m_f.m_tree, tables), std::vector<int>(expected.size(), kindTable));
    EXPECT_EQ(ChildTexts(m_f.m_tree, m_f.Expand("Views")), Shown(std::vector<std::string>{"customer_names"}));
    EXPECT_EQ(ChildTexts(m_f.m_tree, m_f.Expand("Aliases/Synonyms")), std::vector<std::string>{"<No Data>"});
    EXPECT_EQ(ChildTexts(m_f.m_tree, m_f.Expand("Temporary Tables")), std::vector<std::string>{"<No Data>"});
    const std::vector<std::string> system = ChildTexts(m_f.m_tree, m_f.Expand("System Tables"));
    if (IsPostgres())
        EXPECT_NE(std::find(system.begin(), system.end(), "pg_class (pg_catalog)"), system.end());
    else
        EXPECT_EQ(system, std::vector<std::string>{"<No Data>"});
    EXPECT_TRUE(m_f.m_host.m_messages.empty()) << m_f.m_host.m_messages.front();
}

TEST_P(SchemaDatabaseTest, ColumnsWithKeysAndDetails)
{
    m_f.Expand("Tables");
    const TreeItem orders = m_f.Expand(Path("Tables", "orders"));
    EXPECT_EQ(ChildTexts(m_f.m_tree, orders), (std::vector<std::string>{"order_id", "line_no", "customer_id", "note"}));
    EXPECT_EQ(ChildKinds(m_f.m_tree, orders),
              (std::vector<int>{kindPrimaryKeyColumn, kindPrimaryKeyColumn, kindForeignKeyColumn, kindColumn}));
    const TreeItem customers = m_f.Expand(Path("Tables", "customers"));
    EXPECT_EQ(ChildKinds(m_f.m_tree, customers), (std::vector<int>{kindPrimaryKeyColumn, kindColumn, kindColumn, kindColumn}));
    const std::string base = Path("Tables", "customers") + "|";
    const CSchemaColumnData& name = Column(base + "name");
    EXPECT_EQ(name.m_strName, "name");
    EXPECT_TRUE(name.m_strDataType.Contains("Char")) << name.m_strDataType;
    EXPECT_FALSE(name.m_strLength.empty());
    EXPECT_EQ(name.m_strPrecision, "");
    EXPECT_EQ(name.m_strNullable, "No");
    EXPECT_EQ(name.m_nKind, kindColumn);
    const CSchemaColumnData& created = Column(base + "created");
    EXPECT_TRUE(created.m_strDataType.StartsWith("(adDBTimeStamp)")) << created.m_strDataType;
    EXPECT_EQ(created.m_strNullable, "Yes");
    const CSchemaColumnData& balance = Column(base + "balance");
    if (IsPostgres()) {
        EXPECT_TRUE(balance.m_strDataType.StartsWith("(adNumeric)")) << balance.m_strDataType;
        EXPECT_EQ(balance.m_strPrecision, "10");
        EXPECT_EQ(balance.m_strScale, "2");
    } else {
        // The SQLite driver keeps NUMERIC as a double.
        EXPECT_TRUE(balance.m_strDataType.StartsWith("(adDouble)")) << balance.m_strDataType;
    }
    // A view has columns too, without keys.
    m_f.Expand("Views");
    const TreeItem view = m_f.Expand(Path("Views", "customer_names"));
    EXPECT_EQ(ChildTexts(m_f.m_tree, view), std::vector<std::string>{"name"});
    EXPECT_EQ(ChildKinds(m_f.m_tree, view), std::vector<int>{kindColumn});
    EXPECT_TRUE(m_f.m_host.m_messages.empty());
}

TEST_P(SchemaDatabaseTest, OddNamesAreMatchedExactlyAndQuotedPartByPart)
{
    m_f.Expand("Tables");
    // "A_B" as a pattern would also match "AXB".
    EXPECT_EQ(ChildTexts(m_f.m_tree, m_f.Expand(Path("Tables", "A_B"))), std::vector<std::string>{"x"});
    EXPECT_EQ(ChildTexts(m_f.m_tree, m_f.Expand(Path("Tables", "AXB"))), std::vector<std::string>{"y"});
    const std::string odd = Path("Tables", "odd %_ \"name\"");
    EXPECT_EQ(ChildTexts(m_f.m_tree, m_f.Expand(odd)),
              (std::vector<std::string>{"col \"q\"", "na\xC3\xAFve \xC3\xA9", "a.b"}));
    const std::string grosse = Path("Tables", "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(ChildTexts(m_f.m_tree, m_f.Expand(grosse)), std::vector<std::string>{"\xC3\x9Cmlaut"});

    const wxString table = IsPostgres() ? "\"public\".\"odd %_ \"\"name\"\"\"" : "\"odd %_ \"\"name\"\"\"";
    m_f.Select(odd);
    const wxString all = m_f.m_model->BuildSelectStatement(2);
    EXPECT_EQ(all, wxString::FromUTF8("SELECT \"col \"\"q\"\"\", \"na\xC3\xAFve \xC3\xA9\", \"a.b\" FROM ") + table);
    EXPECT_EQ(Run(all), 3);
    m_f.Select(odd + "|a.b");
    const wxString one = m_f.m_model->BuildSelectStatement(-1);
    EXPECT_EQ(one, "SELECT \"a.b\" FROM " + table);
    EXPECT_EQ(Run(one), 1);
    m_f.Select(grosse);
    EXPECT_EQ(Run(m_f.m_model->BuildSelectStatement(0)), 1);
    EXPECT_TRUE(m_f.m_host.m_messages.empty());
}

TEST_P(SchemaDatabaseTest, RefreshReloadsKeepingTheShape)
{
    const TreeItem tables = m_f.Expand("Tables");
    m_f.Expand(Path("Tables", "orders"));
    m_f.Expand(Path("Tables", "customers"));
    m_f.m_tree.Collapse(Find(m_f.m_tree, Path("Tables", "customers")));
    Exec("CREATE TABLE added_later (z INTEGER)");
    Exec("ALTER TABLE orders ADD COLUMN shipped INTEGER");
    m_f.Select("Tables");
    ASSERT_TRUE(m_f.m_model->CanRefresh());
    m_f.m_model->OnRefresh();
    auto listed = [&](TreeItem folder, const std::string& text) {
        const std::vector<std::string> texts = ChildTexts(m_f.m_tree, folder);
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    EXPECT_TRUE(listed(tables, Shown("added_later")));
    const TreeItem orders = Find(m_f.m_tree, Path("Tables", "orders"));
    EXPECT_TRUE(m_f.m_tree.IsExpanded(orders));
    EXPECT_EQ(ChildTexts(m_f.m_tree, orders).back(), "shipped");
    const TreeItem customers = Find(m_f.m_tree, Path("Tables", "customers"));
    EXPECT_TRUE(m_f.m_tree.IsLoaded(customers));
    EXPECT_FALSE(m_f.m_tree.IsExpanded(customers));
    // A table never opened stays unloaded.
    EXPECT_FALSE(m_f.m_tree.IsLoaded(Find(m_f.m_tree, Path("Tables", "AXB"))));
    // The whole tree from the connection node.
    m_f.m_tree.SetCaret(m_f.m_tree.GetRoot());
    m_f.m_model->OnRefresh();
    EXPECT_TRUE(listed(Find(m_f.m_tree, "Tables"), Shown("added_later")));
    EXPECT_TRUE(m_f.m_tree.IsExpanded(Find(m_f.m_tree, Path("Tables", "orders"))));
    EXPECT_TRUE(m_f.m_host.m_messages.empty());
    EXPECT_EQ(m_f.m_host.m_statusTexts.back(), "");
}

TEST_P(SchemaDatabaseTest, ShowAllOffNarrowsToTheUsersSchema)
{
    m_f.m_host.m_connection.m_strUserId = IsPostgres() ? "sales" : "";
    m_f.Expand("Tables");
    m_f.Select("Tables");
    m_f.m_model->OnShowAllObjects();
    const std::vector<std::string> texts = ChildTexts(m_f.m_tree, Find(m_f.m_tree, "Tables"));
    if (IsPostgres())
        EXPECT_EQ(texts, std::vector<std::string>{"invoices (sales)"});
    else
        EXPECT_EQ(texts.size(), 6u); // no user name: nothing to narrow to
    EXPECT_EQ(settings::ReadInt(settings::ShowAllTables, *m_f.m_store), 0);
}

TEST_P(SchemaDatabaseTest, ProceduresAndTheirParameters)
{
    const TreeItem folder = m_f.Expand("Procedures/Functions");
    const std::vector<std::string> texts = ChildTexts(m_f.m_tree, folder);
    if (IsSqlite()) {
        EXPECT_EQ(texts, std::vector<std::string>{"<Provider not capable>"});
        return;
    }
    ASSERT_NE(std::find(texts.begin(), texts.end(), "add_one (public)"), texts.end());
    EXPECT_TRUE(std::is_sorted(texts.begin(), texts.end(),
                               [](const std::string& a, const std::string& b) {
                                   return wxString::FromUTF8(a).CmpNoCase(wxString::FromUTF8(b)) < 0;
                               }));
    const TreeItem addOne = m_f.Expand("Procedures/Functions|add_one (public)");
    const auto* data = dynamic_cast<const CSchemaNodeData*>(m_f.m_tree.GetData(addOne));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->m_strName, "add_one");
    EXPECT_EQ(data->m_strSchema, "public");
    EXPECT_EQ(ChildTexts(m_f.m_tree, addOne), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ChildKinds(m_f.m_tree, addOne), (std::vector<int>{kindParameter, kindParameter}));
    EXPECT_EQ(Column("Procedures/Functions|add_one (public)|a").m_strName, "a (adParamInput)");
    EXPECT_EQ(Column("Procedures/Functions|add_one (public)|b").m_strName, "b (adParamOutput)");
    const TreeItem list = m_f.Expand("Procedures/Functions|list_customers (public)");
    EXPECT_FALSE(ChildTexts(m_f.m_tree, list).empty());
    EXPECT_TRUE(m_f.m_host.m_messages.empty()) << m_f.m_host.m_messages.front();
}

TEST_P(SchemaDatabaseTest, ASecondSchemaKeepsItsOwnColumns)
{
    if (!IsPostgres())
        GTEST_SKIP() << "SQLite has no schemas";
    m_f.Expand("Tables");
    const TreeItem invoices = m_f.Expand("Tables|invoices (sales)");
    EXPECT_EQ(ChildTexts(m_f.m_tree, invoices), (std::vector<std::string>{"id", "customer_id"}));
    EXPECT_EQ(ChildKinds(m_f.m_tree, invoices), (std::vector<int>{kindPrimaryKeyColumn, kindForeignKeyColumn}));
    m_f.Select("Tables|invoices (sales)");
    EXPECT_EQ(m_f.m_model->BuildSelectStatement(1), "SELECT \"id\", \"customer_id\" FROM \"sales\".\"invoices\"");
}

TORVANE_INSTANTIATE_FOR_DRIVERS(SchemaDatabaseTest);

} // namespace
