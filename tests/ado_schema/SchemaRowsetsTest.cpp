#include "ado/Ado.h"

#include "tests/support/TestDatabases.h"

#include <fmt/format.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

using namespace ado;
using torvane::test::DatabaseTest;

namespace {

_variant_t S(const char* text) { return _variant_t(text); }
const _variant_t None;

using Row = std::map<std::string, _variant_t>;

std::vector<std::string> FieldNames(const RecordsetPtr& rs)
{
    std::vector<std::string> names;
    auto fields = rs->GetFields();
    for (long i = 0; i < fields->GetCount(); ++i)
        names.push_back(fields->GetItem(i)->GetName());
    return names;
}

std::vector<Row> ReadAll(const RecordsetPtr& rs)
{
    std::vector<Row> rows;
    auto fields = rs->GetFields();
    for (; !rs->IsEOF(); rs->MoveNext()) {
        Row row;
        for (long i = 0; i < fields->GetCount(); ++i)
            row[fields->GetItem(i)->GetName()] = fields->GetItem(i)->GetValue();
        rows.push_back(std::move(row));
    }
    return rows;
}

// One column of the rows as text; NULL as "<null>".
std::vector<std::string> Values(const std::vector<Row>& rows, const std::string& column)
{
    std::vector<std::string> out;
    for (const Row& r : rows)
        out.push_back(r.at(column).IsNull() ? "<null>" : r.at(column).ToString());
    return out;
}

std::set<std::string> ValueSet(const std::vector<Row>& rows, const std::string& column)
{
    auto v = Values(rows, column);
    return {v.begin(), v.end()};
}

const Row& Find(const std::vector<Row>& rows, const std::string& column, const std::string& value)
{
    for (const Row& r : rows)
        if (!r.at(column).IsNull() && r.at(column).ToString() == value)
            return r;
    throw std::runtime_error("no row with " + column + " = " + value);
}

} // namespace

class SchemaRowsetsTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        Exec("CREATE TABLE customers (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40) NOT NULL, "
             "balance NUMERIC(10,2) DEFAULT 0, created TIMESTAMP, CONSTRAINT ck_balance CHECK (balance >= 0))");
        Exec("CREATE UNIQUE INDEX ix_customers_name ON customers (name DESC)");
        Exec(std::string("CREATE TABLE orders (order_id INTEGER NOT NULL, line_no INTEGER NOT NULL, "
                         "customer_id INTEGER, note VARCHAR(20), PRIMARY KEY (order_id, line_no), "
                         "CONSTRAINT fk_orders_customer FOREIGN KEY (customer_id) REFERENCES customers (id) "
                         "ON DELETE CASCADE") +
             (IsPostgres() ? " DEFERRABLE INITIALLY DEFERRED)" : ")"));
        Exec("CREATE VIEW big_customers AS SELECT id, name FROM customers WHERE balance > 1000");
        Exec("CREATE TABLE \"A_B\" (x INTEGER)");
        Exec("CREATE TABLE \"AXB\" (y INTEGER, z INTEGER)");
        if (IsPostgres()) {
            Exec("CREATE FUNCTION add_tax(amount NUMERIC, INOUT total NUMERIC, OUT rate INTEGER) "
                 "AS 'SELECT amount * 1.2, 20' LANGUAGE sql");
            Exec("CREATE FUNCTION order_notes(p_order INTEGER) RETURNS TABLE(line_no INTEGER, note VARCHAR) "
                 "AS 'SELECT line_no, note FROM orders WHERE order_id = p_order' LANGUAGE sql");
            // Roles belong to the whole cluster: the name follows this process's database.
            m_role = torvane::test::PostgresDatabaseName() + "_clerk";
            Exec(fmt::format("DROP ROLE IF EXISTS {}", m_role));
            Exec(fmt::format("CREATE ROLE {}", m_role));
            Exec("GRANT SELECT ON customers TO PUBLIC");
            Exec(fmt::format("GRANT INSERT ON customers TO {}", m_role));
            Exec(fmt::format("GRANT UPDATE (name) ON customers TO {}", m_role));
        }
        m_cn = Connection::Create();
        m_cn->Open(ConnectionString());
    }

    void TearDown() override
    {
        if (m_cn && m_cn->GetState() == adStateOpen)
            m_cn->Close();
        if (!m_role.empty()) {
            Exec(fmt::format("DROP OWNED BY {}", m_role));
            Exec(fmt::format("DROP ROLE {}", m_role));
        }
    }

    std::vector<Row> Rows(SchemaEnum schema, const std::vector<_variant_t>& restrictions = {})
    {
        return ReadAll(m_cn->OpenSchema(schema, restrictions));
    }

    // The catalog and schema the driver reports for the fixture's objects.
    std::string Catalog() const { return IsPostgres() ? torvane::test::PostgresDatabaseName() : "<null>"; }
    std::string Schema() const { return IsPostgres() ? "public" : "<null>"; }

    // Runs f and returns the HRESULT of the _com_error it throws (0 when none).
    HRESULT Failure(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const _com_error& e) {
            return e.Error();
        }
        return 0;
    }

    ConnectionPtr m_cn;
    std::string m_role;
};

TEST_P(SchemaRowsetsTest, RowsetsHaveTheirColumnsInOrder)
{
    struct Case {
        SchemaEnum schema;
        std::vector<std::string> columns;
        bool everywhere; // false: only where the database has the rowset (PostgreSQL)
    };
    const std::vector<Case> cases = {
        {adSchemaCatalogs, {"CATALOG_NAME", "DESCRIPTION"}, true},
        {adSchemaTables,
         {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "TABLE_TYPE", "TABLE_GUID", "DESCRIPTION", "TABLE_PROPID",
          "DATE_CREATED", "DATE_MODIFIED"},
         true},
        {adSchemaColumns,
         {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "COLUMN_NAME", "COLUMN_GUID", "COLUMN_PROPID",
          "ORDINAL_POSITION", "COLUMN_HASDEFAULT", "COLUMN_DEFAULT", "COLUMN_FLAGS", "IS_NULLABLE", "DATA_TYPE",
          "TYPE_GUID", "CHARACTER_MAXIMUM_LENGTH", "CHARACTER_OCTET_LENGTH", "NUMERIC_PRECISION", "NUMERIC_SCALE",
          "DATETIME_PRECISION", "CHARACTER_SET_CATALOG", "CHARACTER_SET_SCHEMA", "CHARACTER_SET_NAME",
          "COLLATION_CATALOG", "COLLATION_SCHEMA", "COLLATION_NAME", "DOMAIN_CATALOG", "DOMAIN_SCHEMA",
          "DOMAIN_NAME", "DESCRIPTION"},
         true},
        {adSchemaPrimaryKeys,
         {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "COLUMN_NAME", "COLUMN_GUID", "COLUMN_PROPID", "ORDINAL",
          "PK_NAME"},
         true},
        {adSchemaForeignKeys,
         {"PK_TABLE_CATALOG", "PK_TABLE_SCHEMA", "PK_TABLE_NAME", "PK_COLUMN_NAME", "PK_COLUMN_GUID",
          "PK_COLUMN_PROPID", "FK_TABLE_CATALOG", "FK_TABLE_SCHEMA", "FK_TABLE_NAME", "FK_COLUMN_NAME",
          "FK_COLUMN_GUID", "FK_COLUMN_PROPID", "ORDINAL", "UPDATE_RULE", "DELETE_RULE", "PK_NAME", "FK_NAME",
          "DEFERRABILITY"},
         true},
        {adSchemaIndexes,
         {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "INDEX_CATALOG", "INDEX_SCHEMA", "INDEX_NAME",
          "PRIMARY_KEY", "UNIQUE", "CLUSTERED", "TYPE", "FILL_FACTOR", "INITIAL_SIZE", "NULLS", "SORT_BOOKMARKS",
          "AUTO_UPDATE", "NULL_COLLATION", "ORDINAL_POSITION", "COLUMN_NAME", "COLUMN_GUID", "COLUMN_PROPID",
          "COLLATION", "CARDINALITY", "PAGES", "FILTER_CONDITION", "INTEGRATED"},
         true},
        {adSchemaProcedures,
         {"PROCEDURE_CATALOG", "PROCEDURE_SCHEMA", "PROCEDURE_NAME", "PROCEDURE_TYPE", "PROCEDURE_DEFINITION",
          "DESCRIPTION", "DATE_CREATED", "DATE_MODIFIED"},
         true},
        {adSchemaProcedureParameters,
         {"PROCEDURE_CATALOG", "PROCEDURE_SCHEMA", "PROCEDURE_NAME", "PARAMETER_NAME", "ORDINAL_POSITION",
          "PARAMETER_TYPE", "PARAMETER_HASDEFAULT", "PARAMETER_DEFAULT", "IS_NULLABLE", "DATA_TYPE",
          "CHARACTER_MAXIMUM_LENGTH", "CHARACTER_OCTET_LENGTH", "NUMERIC_PRECISION", "NUMERIC_SCALE",
          "DESCRIPTION", "TYPE_NAME", "LOCAL_TYPE_NAME"},
         true},
        {adSchemaProcedureColumns,
         {"PROCEDURE_CATALOG", "PROCEDURE_SCHEMA", "PROCEDURE_NAME", "COLUMN_NAME", "COLUMN_GUID", "COLUMN_PROPID",
          "ROWSET_NUMBER", "ORDINAL_POSITION", "IS_NULLABLE", "DATA_TYPE", "TYPE_GUID",
          "CHARACTER_MAXIMUM_LENGTH", "CHARACTER_OCTET_LENGTH", "NUMERIC_PRECISION", "NUMERIC_SCALE",
          "DESCRIPTION"},
         true},
        {adSchemaTablePrivileges,
         {"GRANTOR", "GRANTEE", "TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "PRIVILEGE_TYPE", "IS_GRANTABLE"},
         false},
        {adSchemaColumnPrivileges,
         {"GRANTOR", "GRANTEE", "TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "COLUMN_NAME", "COLUMN_GUID",
          "COLUMN_PROPID", "PRIVILEGE_TYPE", "IS_GRANTABLE"},
         false},
        {adSchemaTableConstraints,
         {"CONSTRAINT_CATALOG", "CONSTRAINT_SCHEMA", "CONSTRAINT_NAME", "TABLE_CATALOG", "TABLE_SCHEMA",
          "TABLE_NAME", "CONSTRAINT_TYPE", "IS_DEFERRABLE", "INITIALLY_DEFERRED", "DESCRIPTION"},
         false},
        {adSchemaCheckConstraints,
         {"CONSTRAINT_CATALOG", "CONSTRAINT_SCHEMA", "CONSTRAINT_NAME", "CHECK_CLAUSE", "DESCRIPTION"}, false},
        {adSchemaProviderTypes,
         {"TYPE_NAME", "DATA_TYPE", "COLUMN_SIZE", "LITERAL_PREFIX", "LITERAL_SUFFIX", "CREATE_PARAMS",
          "IS_NULLABLE", "CASE_SENSITIVE", "SEARCHABLE", "UNSIGNED_ATTRIBUTE", "FIXED_PREC_SCALE",
          "AUTO_UNIQUE_VALUE", "LOCAL_TYPE_NAME", "MINIMUM_SCALE", "MAXIMUM_SCALE", "GUID", "TYPELIB", "VERSION",
          "IS_LONG", "BEST_MATCH", "IS_FIXEDLENGTH"},
         true},
        {adSchemaDBInfoKeywords, {"Keyword"}, true},
        {adSchemaDBInfoLiterals,
         {"LiteralName", "LiteralValue", "InvalidChars", "InvalidStartingChars", "Literal", "Supported", "Maxlen"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.schema);
        if (!c.everywhere && IsSqlite())
            continue;
        // The key rowsets need a table where the driver cannot list all tables' keys at once.
        std::vector<_variant_t> restrictions;
        if (c.schema == adSchemaIndexes)
            restrictions = {None, None, None, None, S("orders")};
        EXPECT_EQ(FieldNames(m_cn->OpenSchema(c.schema, restrictions)), c.columns);
    }
}

TEST_P(SchemaRowsetsTest, TablesAreListedByType)
{
    auto tables = Rows(adSchemaTables, {None, None, None, S("'TABLE'")});
    EXPECT_EQ(ValueSet(tables, "TABLE_NAME"), (std::set<std::string>{"A_B", "AXB", "customers", "orders"}));
    EXPECT_EQ(ValueSet(tables, "TABLE_TYPE"), std::set<std::string>{"TABLE"});
    EXPECT_EQ(ValueSet(tables, "TABLE_CATALOG"), std::set<std::string>{Catalog()});
    EXPECT_EQ(ValueSet(tables, "TABLE_SCHEMA"), std::set<std::string>{Schema()});

    // The form the schema browser passes: every type it wants, each quoted.
    auto both = Rows(adSchemaTables, {None, None, None, S("'TABLE','VIEW'")});
    EXPECT_EQ(Find(both, "TABLE_NAME", "big_customers").at("TABLE_TYPE").ToString(), "VIEW");
    EXPECT_EQ(both.size(), 5u);

    auto views = Rows(adSchemaTables, {None, None, None, S("VIEW")});
    EXPECT_EQ(Values(views, "TABLE_NAME"), std::vector<std::string>{"big_customers"});

    auto rs = m_cn->OpenSchema(adSchemaTables);
    EXPECT_EQ(rs->GetState(), adStateOpen);
    EXPECT_EQ(rs->GetActiveConnection(), m_cn);
}

// Restriction values are names, not patterns: "_" and "%" match only themselves.
TEST_P(SchemaRowsetsTest, RestrictionsMatchNamesExactly)
{
    Exec("CREATE TABLE \"Größe\" (\"maß\" INTEGER)");
    struct Case {
        SchemaEnum schema;
        std::vector<_variant_t> restrictions;
        const char* column;
        std::set<std::string> expected;
    };
    const std::vector<Case> cases = {
        {adSchemaTables, {None, None, S("A_B")}, "TABLE_NAME", {"A_B"}},
        {adSchemaTables, {None, None, S("A%")}, "TABLE_NAME", {}},
        {adSchemaTables, {None, None, S("a_b")}, "TABLE_NAME", {}},
        {adSchemaTables, {None, None, S("")}, "TABLE_NAME", {}},
        {adSchemaColumns, {None, None, S("A_B")}, "COLUMN_NAME", {"x"}},
        {adSchemaColumns, {None, None, S("AXB"), S("_")}, "COLUMN_NAME", {}},
        {adSchemaColumns, {None, None, S("AXB"), S("z")}, "COLUMN_NAME", {"z"}},
        {adSchemaColumns, {None, None, S("A%B")}, "COLUMN_NAME", {}},
        {adSchemaColumns, {None, None, S("Größe")}, "COLUMN_NAME", {"maß"}},
        {adSchemaPrimaryKeys, {None, None, S("A_B")}, "COLUMN_NAME", {}},
        {adSchemaIndexes, {None, None, None, None, S("A_B")}, "INDEX_NAME", {}},
        {adSchemaForeignKeys, {None, None, None, None, None, S("orders")}, "FK_COLUMN_NAME", {"customer_id"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(fmt::format("schema {} restriction {}", static_cast<int>(c.schema),
                                 c.restrictions.back().ToString()));
        EXPECT_EQ(ValueSet(Rows(c.schema, c.restrictions), c.column), c.expected);
    }
    if (IsPostgres()) {
        EXPECT_EQ(ValueSet(Rows(adSchemaProcedures, {None, None, S("add_ta_")}), "PROCEDURE_NAME"),
                  std::set<std::string>{});
        EXPECT_EQ(ValueSet(Rows(adSchemaProcedures, {None, None, S("add_tax")}), "PROCEDURE_NAME"),
                  std::set<std::string>{"add_tax"});
        EXPECT_EQ(ValueSet(Rows(adSchemaTables, {S("no_such_catalog")}), "TABLE_NAME"), std::set<std::string>{});
        EXPECT_EQ(ValueSet(Rows(adSchemaTables, {None, S("pub_ic"), S("orders")}), "TABLE_NAME"),
                  std::set<std::string>{});
    }
}

// The schema browser restricts by the catalog and schema the TABLES rowset reported for a
// node (empty ones left out) and its name; every rowset must find the node's objects that way.
TEST_P(SchemaRowsetsTest, NodeRestrictionsFindTheNodesObjects)
{
    const std::string catalog = Catalog(), schema = Schema();
    const _variant_t c = IsPostgres() ? S(catalog.c_str()) : None;
    const _variant_t s = IsPostgres() ? S(schema.c_str()) : None;
    struct Case {
        SchemaEnum schema;
        std::vector<_variant_t> restrictions;
        const char* column;
        std::set<std::string> expected;
    };
    std::vector<Case> cases = {
        {adSchemaTables, {c, s, S("orders")}, "TABLE_NAME", {"orders"}},
        {adSchemaColumns, {c, s, S("AXB")}, "COLUMN_NAME", {"y", "z"}},
        {adSchemaPrimaryKeys, {c, s, S("orders")}, "COLUMN_NAME", {"order_id", "line_no"}},
        {adSchemaForeignKeys, {c, s, S("customers"), None, None, None}, "FK_COLUMN_NAME", {"customer_id"}},
        {adSchemaForeignKeys, {None, None, None, c, s, S("orders")}, "PK_COLUMN_NAME", {"id"}},
        {adSchemaIndexes, {c, s, None, None, S("orders")}, "COLUMN_NAME", {"order_id", "line_no"}},
    };
    if (IsPostgres()) {
        cases.push_back({adSchemaTablePrivileges, {c, s, S("orders"), None, S("torvane")}, "PRIVILEGE_TYPE",
                         {"SELECT", "INSERT", "UPDATE", "DELETE", "TRUNCATE", "REFERENCES", "TRIGGER"}});
        cases.push_back({adSchemaColumnPrivileges, {c, s, S("customers"), S("name"), None, S(m_role.c_str())},
                         "PRIVILEGE_TYPE", {"INSERT", "UPDATE"}});
        cases.push_back({adSchemaTableConstraints, {c, s, None, c, s, S("customers"), None}, "CONSTRAINT_NAME",
                         {"customers_pkey", "ck_balance"}});
        cases.push_back({adSchemaProcedureParameters, {None, s, S("order_notes")}, "PARAMETER_NAME", {"p_order"}});
    }
    for (const Case& k : cases) {
        SCOPED_TRACE(k.schema);
        auto names = ValueSet(Rows(k.schema, k.restrictions), k.column);
        // PostgreSQL also lists its NOT NULL checks as constraints.
        if (k.schema == adSchemaTableConstraints)
            std::erase_if(names, [](const std::string& n) { return n.ends_with("_not_null"); });
        EXPECT_EQ(names, k.expected);
    }
}

TEST_P(SchemaRowsetsTest, ColumnsDescribeTypesSizesAndNullability)
{
    auto columns = Rows(adSchemaColumns, {None, None, S("customers")});
    EXPECT_EQ(Values(columns, "COLUMN_NAME"), (std::vector<std::string>{"id", "name", "balance", "created"}));
    EXPECT_EQ(Values(columns, "ORDINAL_POSITION"), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(Values(columns, "TABLE_CATALOG"), std::vector<std::string>(4, Catalog()));

    const Row& id = columns[0];
    EXPECT_EQ(id.at("DATA_TYPE").vt, VT_UI2);
    EXPECT_EQ(id.at("DATA_TYPE").ToLong(), adInteger);
    EXPECT_FALSE(id.at("NUMERIC_PRECISION").IsNull());
    EXPECT_TRUE(id.at("CHARACTER_MAXIMUM_LENGTH").IsNull());
    EXPECT_EQ(id.at("IS_NULLABLE").vt, VT_BOOL);
    EXPECT_FALSE(id.at("IS_NULLABLE").ToBool());

    const Row& name = columns[1];
    // The narrow or wide string type, as the driver reports the column.
    EXPECT_EQ(name.at("DATA_TYPE").ToLong(), IsPostgres() ? adWChar : adChar);
    EXPECT_EQ(name.at("CHARACTER_MAXIMUM_LENGTH").ToLong(), 40);
    EXPECT_FALSE(name.at("CHARACTER_OCTET_LENGTH").IsNull());
    EXPECT_TRUE(name.at("NUMERIC_PRECISION").IsNull());
    EXPECT_FALSE(name.at("IS_NULLABLE").ToBool());
    EXPECT_EQ(name.at("COLUMN_FLAGS").ToLong() & 0x10, 0); // not fixed length

    const Row& balance = columns[2];
    EXPECT_TRUE(balance.at("IS_NULLABLE").ToBool());
    EXPECT_TRUE(balance.at("COLUMN_HASDEFAULT").ToBool());
    EXPECT_NE(balance.at("COLUMN_DEFAULT").ToString().find('0'), std::string::npos);
    // No default: the SQLite driver says "NULL", PostgreSQL's says nothing.
    EXPECT_FALSE(name.at("COLUMN_HASDEFAULT").ToBool());
    EXPECT_TRUE(name.at("COLUMN_DEFAULT").IsNull());
    if (IsPostgres()) {
        EXPECT_EQ(balance.at("DATA_TYPE").ToLong(), adNumeric);
        EXPECT_EQ(balance.at("NUMERIC_PRECISION").ToLong(), 10);
        EXPECT_EQ(balance.at("NUMERIC_SCALE").ToLong(), 2);
    }

    const Row& created = columns[3];
    EXPECT_EQ(created.at("DATA_TYPE").ToLong(), adDBTimeStamp);
    EXPECT_FALSE(created.at("DATETIME_PRECISION").IsNull());
    EXPECT_TRUE(created.at("NUMERIC_PRECISION").IsNull());

    // The view's columns too, in the view's order.
    EXPECT_EQ(Values(Rows(adSchemaColumns, {None, None, S("big_customers")}), "COLUMN_NAME"),
              (std::vector<std::string>{"id", "name"}));
}

TEST_P(SchemaRowsetsTest, PrimaryKeysComeInKeyOrder)
{
    auto keys = Rows(adSchemaPrimaryKeys, {None, None, S("orders")});
    EXPECT_EQ(Values(keys, "COLUMN_NAME"), (std::vector<std::string>{"order_id", "line_no"}));
    EXPECT_EQ(Values(keys, "ORDINAL"), (std::vector<std::string>{"1", "2"}));
    if (IsPostgres()) {
        EXPECT_EQ(ValueSet(keys, "PK_NAME"), std::set<std::string>{"orders_pkey"});
    }

    // Without a table every table's key is listed, though the driver needs a table per call.
    auto all = Rows(adSchemaPrimaryKeys);
    EXPECT_EQ(ValueSet(all, "TABLE_NAME"), (std::set<std::string>{"customers", "orders"}));
    EXPECT_EQ(all.size(), 3u);
}

TEST_P(SchemaRowsetsTest, ForeignKeysFromEitherSide)
{
    // Referencing side (the Relationships page's second read) and referenced side (its first).
    for (const auto& restrictions : {std::vector<_variant_t>{None, None, None, None, None, S("orders")},
                                     std::vector<_variant_t>{None, None, S("customers")}}) {
        auto keys = Rows(adSchemaForeignKeys, restrictions);
        ASSERT_EQ(keys.size(), 1u);
        const Row& k = keys[0];
        EXPECT_EQ(k.at("PK_TABLE_NAME").ToString(), "customers");
        EXPECT_EQ(k.at("PK_COLUMN_NAME").ToString(), "id");
        EXPECT_EQ(k.at("FK_TABLE_NAME").ToString(), "orders");
        EXPECT_EQ(k.at("FK_COLUMN_NAME").ToString(), "customer_id");
        EXPECT_EQ(k.at("FK_TABLE_SCHEMA").IsNull() ? "<null>" : k.at("FK_TABLE_SCHEMA").ToString(), Schema());
        EXPECT_EQ(k.at("ORDINAL").ToLong(), 1);
        EXPECT_EQ(k.at("DELETE_RULE").ToString(), "CASCADE");
        EXPECT_EQ(k.at("UPDATE_RULE").ToString(), "NO ACTION");
        if (IsPostgres()) {
            EXPECT_EQ(k.at("FK_NAME").ToString(), "fk_orders_customer");
            EXPECT_EQ(k.at("PK_NAME").ToString(), "customers_pkey");
            EXPECT_EQ(k.at("DEFERRABILITY").ToLong(), 1); // initially deferred
        }
    }
    EXPECT_TRUE(Rows(adSchemaForeignKeys, {None, None, S("orders")}).empty());
    // Unrestricted, every table is asked.
    EXPECT_EQ(Rows(adSchemaForeignKeys).size(), 1u);
}

TEST_P(SchemaRowsetsTest, IndexesFlagKeysUniquenessAndOrder)
{
    auto indexes = Rows(adSchemaIndexes, {None, None, None, None, S("customers")});
    EXPECT_EQ(ValueSet(indexes, "TABLE_NAME"), std::set<std::string>{"customers"});
    // The index rows carry the table's catalog and schema, which the Indexes page compares.
    EXPECT_EQ(ValueSet(indexes, "INDEX_SCHEMA"), std::set<std::string>{Schema()});
    const Row& byName = Find(indexes, "INDEX_NAME", "ix_customers_name");
    EXPECT_EQ(byName.at("COLUMN_NAME").ToString(), "name");
    EXPECT_TRUE(byName.at("UNIQUE").ToBool());
    EXPECT_FALSE(byName.at("PRIMARY_KEY").ToBool());
    EXPECT_FALSE(byName.at("CLUSTERED").ToBool());
    EXPECT_EQ(byName.at("COLLATION").vt, VT_I2);
    if (IsPostgres()) {
        // Descending; the SQLite driver reports every index column as ascending.
        EXPECT_EQ(byName.at("COLLATION").ToLong(), 2);
    }

    // The composite key's index is recognised as the primary key: by name on PostgreSQL, by
    // its columns on SQLite, whose key indexes have no key name.
    auto orderIndexes = Rows(adSchemaIndexes, {None, None, None, None, S("orders")});
    std::vector<std::string> keyColumns;
    for (const Row& r : orderIndexes)
        if (r.at("PRIMARY_KEY").ToBool())
            keyColumns.push_back(r.at("COLUMN_NAME").ToString());
    EXPECT_EQ(keyColumns, (std::vector<std::string>{"order_id", "line_no"}));

    // INDEX_NAME restriction.
    EXPECT_EQ(Rows(adSchemaIndexes, {None, None, S("ix_customers_name"), None, S("customers")}).size(), 1u);
}

TEST_P(SchemaRowsetsTest, ProceduresParametersAndResultColumns)
{
    if (IsSqlite()) {
        // No stored procedures: empty rowsets, not errors.
        for (SchemaEnum s : {adSchemaProcedures, adSchemaProcedureParameters, adSchemaProcedureColumns}) {
            auto rs = m_cn->OpenSchema(s);
            EXPECT_TRUE(rs->IsBOF() && rs->IsEOF());
        }
        return;
    }
    auto procedures = Rows(adSchemaProcedures, {None, S("public")});
    EXPECT_EQ(ValueSet(procedures, "PROCEDURE_NAME"), (std::set<std::string>{"add_tax", "order_notes"}));
    const Row& addTax = Find(procedures, "PROCEDURE_NAME", "add_tax");
    EXPECT_EQ(addTax.at("PROCEDURE_TYPE").vt, VT_I2);
    EXPECT_EQ(addTax.at("PROCEDURE_TYPE").ToLong(), 3); // a function
    EXPECT_EQ(addTax.at("PROCEDURE_SCHEMA").ToString(), "public");

    // Parameters with their directions (input, input/output, output), in order.
    auto parameters = Rows(adSchemaProcedureParameters, {None, S("public"), S("add_tax")});
    EXPECT_EQ(Values(parameters, "PARAMETER_NAME"), (std::vector<std::string>{"amount", "total", "rate"}));
    EXPECT_EQ(Values(parameters, "PARAMETER_TYPE"), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(Values(parameters, "DATA_TYPE"),
              (std::vector<std::string>{std::to_string(adNumeric), std::to_string(adNumeric),
                                        std::to_string(adInteger)}));
    EXPECT_TRUE(Rows(adSchemaProcedureColumns, {None, S("public"), S("add_tax")}).empty());

    // A function returning a table: its argument is a parameter, its columns result columns.
    EXPECT_EQ(Values(Rows(adSchemaProcedureParameters, {None, S("public"), S("order_notes")}), "PARAMETER_NAME"),
              std::vector<std::string>{"p_order"});
    auto result = Rows(adSchemaProcedureColumns, {None, S("public"), S("order_notes")});
    EXPECT_EQ(Values(result, "COLUMN_NAME"), (std::vector<std::string>{"line_no", "note"}));
    EXPECT_EQ(Values(result, "ROWSET_NUMBER"), (std::vector<std::string>{"1", "1"}));

    // The fourth restriction names one parameter.
    EXPECT_EQ(Values(Rows(adSchemaProcedureParameters, {None, None, S("add_tax"), S("total")}), "PARAMETER_TYPE"),
              std::vector<std::string>{"2"});
}

TEST_P(SchemaRowsetsTest, ConstraintsComeFromTheInformationSchema)
{
    if (IsSqlite()) {
        for (SchemaEnum s : {adSchemaTableConstraints, adSchemaCheckConstraints}) {
            EXPECT_EQ(Failure([&] { m_cn->OpenSchema(s); }), MakeControlHResult(adErrFeatureNotAvailable));
            ASSERT_EQ(m_cn->GetErrors()->GetCount(), 1);
            EXPECT_EQ(m_cn->GetErrors()->GetItem(0)->GetNumber(), MakeControlHResult(adErrFeatureNotAvailable));
        }
        return;
    }
    const std::string db = Catalog();
    // The Constraints page's restrictions: the table's catalog and schema twice, and its name.
    auto constraints = Rows(adSchemaTableConstraints, {S(db.c_str()), S("public"), None, S(db.c_str()),
                                                       S("public"), S("orders"), None});
    EXPECT_EQ(ValueSet(constraints, "TABLE_NAME"), std::set<std::string>{"orders"});
    const Row& fk = Find(constraints, "CONSTRAINT_NAME", "fk_orders_customer");
    EXPECT_EQ(fk.at("CONSTRAINT_TYPE").ToString(), "FOREIGN KEY");
    EXPECT_EQ(fk.at("IS_DEFERRABLE").vt, VT_BOOL);
    EXPECT_TRUE(fk.at("IS_DEFERRABLE").ToBool());
    EXPECT_TRUE(fk.at("INITIALLY_DEFERRED").ToBool());
    EXPECT_FALSE(Find(constraints, "CONSTRAINT_TYPE", "PRIMARY KEY").at("IS_DEFERRABLE").ToBool());

    auto checks = Rows(adSchemaCheckConstraints, {S(db.c_str()), S("public"), S("ck_balance")});
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_NE(checks[0].at("CHECK_CLAUSE").ToString().find("balance >= "), std::string::npos);
    EXPECT_TRUE(Rows(adSchemaCheckConstraints, {S("elsewhere")}).empty());

    // A clause longer than one read of the driver's data arrives whole.
    std::string values;
    for (int i = 0; i < 300; ++i)
        values += fmt::format("{}'code{:04}'", i ? ", " : "", i);
    Exec(fmt::format("CREATE TABLE codes (code VARCHAR(8) CONSTRAINT ck_code CHECK (code IN ({})))", values));
    auto longCheck = Rows(adSchemaCheckConstraints, {None, None, S("ck_code")});
    ASSERT_EQ(longCheck.size(), 1u);
    const std::string clause = longCheck[0].at("CHECK_CLAUSE").ToString();
    EXPECT_GT(clause.size(), 4000u);
    EXPECT_NE(clause.find("code0000"), std::string::npos);
    EXPECT_NE(clause.find("code0299"), std::string::npos);
}

TEST_P(SchemaRowsetsTest, PrivilegesListEveryGrantee)
{
    if (IsSqlite()) {
        // The driver makes privilege rows up, so they are not offered at all.
        for (SchemaEnum s : {adSchemaTablePrivileges, adSchemaColumnPrivileges})
            EXPECT_EQ(Failure([&] { m_cn->OpenSchema(s, {None, None, S("customers")}); }),
                      MakeControlHResult(adErrFeatureNotAvailable));
        return;
    }
    auto table = Rows(adSchemaTablePrivileges, {None, None, S("customers")});
    EXPECT_EQ(ValueSet(table, "GRANTEE"), (std::set<std::string>{"PUBLIC", "torvane", m_role}));
    std::set<std::string> publicPrivileges, rolePrivileges;
    for (const Row& r : table) {
        if (r.at("GRANTEE").ToString() == "PUBLIC")
            publicPrivileges.insert(r.at("PRIVILEGE_TYPE").ToString());
        if (r.at("GRANTEE").ToString() == m_role)
            rolePrivileges.insert(r.at("PRIVILEGE_TYPE").ToString());
    }
    EXPECT_EQ(publicPrivileges, std::set<std::string>{"SELECT"});
    EXPECT_EQ(rolePrivileges, std::set<std::string>{"INSERT"});
    EXPECT_EQ(Find(table, "GRANTEE", m_role).at("IS_GRANTABLE").vt, VT_BOOL);

    // GRANTEE (fifth) is a restriction the database applies; "" is a real value.
    EXPECT_EQ(ValueSet(Rows(adSchemaTablePrivileges, {None, None, S("customers"), None, S(m_role.c_str())}), "GRANTEE"),
              std::set<std::string>{m_role});
    EXPECT_TRUE(Rows(adSchemaTablePrivileges, {None, None, S("customers"), None, S("")}).empty());

    auto column = Rows(adSchemaColumnPrivileges, {None, None, S("customers"), S("name"), None, S(m_role.c_str())});
    EXPECT_EQ(ValueSet(column, "PRIVILEGE_TYPE"), (std::set<std::string>{"INSERT", "UPDATE"}));
    EXPECT_EQ(ValueSet(column, "COLUMN_NAME"), std::set<std::string>{"name"});
    EXPECT_TRUE(Rows(adSchemaColumnPrivileges, {None, None, S("customers"), S("id"), None, S(m_role.c_str())})
                    .size() == 1u); // the table-wide INSERT only
}

TEST_P(SchemaRowsetsTest, ProviderTypesMarkOneBestMatchPerType)
{
    auto types = Rows(adSchemaProviderTypes);
    ASSERT_FALSE(types.empty());
    std::map<long, int> bestMatches;
    for (const Row& r : types) {
        SCOPED_TRACE(r.at("TYPE_NAME").ToString());
        ASSERT_EQ(r.at("DATA_TYPE").vt, VT_UI2);
        long searchable = r.at("SEARCHABLE").ToLong();
        EXPECT_GE(searchable, 1);
        EXPECT_LE(searchable, 4);
        if (r.at("BEST_MATCH").ToBool())
            ++bestMatches[r.at("DATA_TYPE").ToLong()];
        bestMatches.emplace(r.at("DATA_TYPE").ToLong(), 0);
    }
    for (auto [type, count] : bestMatches)
        EXPECT_EQ(count, 1) << "DATA_TYPE " << type;

    const Row& integer = Find(types, "DATA_TYPE", std::to_string(adInteger));
    EXPECT_TRUE(integer.at("IS_FIXEDLENGTH").ToBool());
    EXPECT_FALSE(integer.at("IS_LONG").ToBool());
    const Row& varchar = Find(types, "TYPE_NAME", "varchar");
    EXPECT_FALSE(varchar.at("IS_FIXEDLENGTH").ToBool());
    EXPECT_EQ(varchar.at("LITERAL_PREFIX").ToString(), "'");

    // DATA_TYPE restriction.
    auto integers = Rows(adSchemaProviderTypes, {_variant_t(static_cast<int16_t>(adInteger))});
    EXPECT_EQ(ValueSet(integers, "DATA_TYPE"), std::set<std::string>{std::to_string(adInteger)});
    auto best = Rows(adSchemaProviderTypes, {None, _variant_t(true)});
    EXPECT_EQ(best.size(), bestMatches.size());
}

TEST_P(SchemaRowsetsTest, KeywordsAndLiterals)
{
    auto keywords = Values(Rows(adSchemaDBInfoKeywords), "Keyword");
    std::set<std::string> unique(keywords.begin(), keywords.end());
    EXPECT_EQ(unique.size(), keywords.size());
    for (const char* word : {"SELECT", "ROWS", "SCHEMA", "END-EXEC", "ZONE"})
        EXPECT_TRUE(unique.count(word)) << word;

    // The query window finds the quote characters as the field after "QUOTE" / "QUOTE_SUFFIX".
    auto literals = Rows(adSchemaDBInfoLiterals);
    EXPECT_EQ(Find(literals, "LiteralName", "QUOTE").at("LiteralValue").ToString(), "\"");
    EXPECT_EQ(Find(literals, "LiteralName", "QUOTE_SUFFIX").at("LiteralValue").ToString(), "\"");
    EXPECT_EQ(Find(literals, "LiteralName", "LIKE_PERCENT").at("LiteralValue").ToString(), "%");
    EXPECT_EQ(Find(literals, "LiteralName", "QUOTE").at("Literal").ToLong(), 15);
    // Catalog literals only where the database has catalogs.
    EXPECT_EQ(ValueSet(literals, "LiteralName").count("CATALOG_NAME"), IsPostgres() ? 1u : 0u);
    EXPECT_EQ(ValueSet(Rows(adSchemaCatalogs), "CATALOG_NAME"),
              IsPostgres() ? std::set<std::string>{Catalog()} : std::set<std::string>{});
}

TEST_P(SchemaRowsetsTest, UnsupportedRowsetsAndBadRestrictionsFail)
{
    struct Case {
        SchemaEnum schema;
        std::vector<_variant_t> restrictions;
        long number;
    };
    const std::vector<Case> cases = {
        {adSchemaAsserts, {}, adErrFeatureNotAvailable},
        {adSchemaViews, {}, adErrFeatureNotAvailable},
        {adSchemaProviderSpecific, {}, adErrFeatureNotAvailable},
        {adSchemaTables, {None, None, None, None, S("fifth")}, adErrInvalidArgument},
        {adSchemaDBInfoKeywords, {S("any")}, adErrInvalidArgument},
        {adSchemaProviderTypes, {S("not a number")}, adErrInvalidArgument},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.schema);
        EXPECT_EQ(Failure([&] { m_cn->OpenSchema(c.schema, c.restrictions); }), MakeControlHResult(c.number));
        ASSERT_EQ(m_cn->GetErrors()->GetCount(), 1);
        EXPECT_EQ(m_cn->GetErrors()->GetItem(0)->GetNumber(), MakeControlHResult(c.number));
    }
    // Trailing empty restrictions are no restrictions.
    EXPECT_EQ(Rows(adSchemaTables, {None, None, S("orders"), None, None, None}).size(), 1u);
}

TEST_P(SchemaRowsetsTest, DriverFailuresFillErrors)
{
    if (IsPostgres()) {
        // The server ends the session under the connection.
        torvane::test::ExecDirect(torvane::test::PostgresAdminConnectionString(),
                                  fmt::format("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                              "WHERE datname = '{}' AND pid <> pg_backend_pid()",
                                              torvane::test::PostgresDatabaseName()));
    } else {
        // The database file is overwritten with text under the connection.
        const std::string& cs = ConnectionString();
        std::string path = cs.substr(cs.find("Database=") + 9);
        path = path.substr(0, path.find(';'));
        FILE* f = fopen(path.c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        std::string junk(4096, 'x');
        fwrite(junk.data(), 1, junk.size(), f);
        fclose(f);
    }
    EXPECT_EQ(Failure([&] { m_cn->OpenSchema(adSchemaColumns, {None, None, S("customers")}); }), E_FAIL);
    ASSERT_GE(m_cn->GetErrors()->GetCount(), 1);
    auto error = m_cn->GetErrors()->GetItem(0);
    EXPECT_FALSE(error->GetDescription().empty());
    EXPECT_EQ(error->GetSQLState().size(), 5u);
}

// The rowset is read to its end and its statement freed before OpenSchema returns, so the
// connection can run its next statement at once, even on a driver that allows one at a time.
TEST_P(SchemaRowsetsTest, ConnectionIsFreeWhileARowsetIsOpen)
{
    auto tables = m_cn->OpenSchema(adSchemaTables);
    auto columns = m_cn->OpenSchema(adSchemaColumns, {None, None, S("AXB")});
    m_cn->Execute("DROP TABLE \"AXB\"");
    EXPECT_TRUE(Rows(adSchemaTables, {None, None, S("AXB")}).empty());
    EXPECT_EQ(ReadAll(columns).size(), 2u);
    EXPECT_EQ(ReadAll(tables).size(), 5u);
}

TORVANE_INSTANTIATE_FOR_DRIVERS(SchemaRowsetsTest);
