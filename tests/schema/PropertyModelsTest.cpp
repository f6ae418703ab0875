// The properties sheet's pages without windows, on rowsets the test builds: the masked
// connection string, the General page's pairs by node kind, and the rules of the Relationships,
// Indexes, Constraints and permissions pages for what a provider may return (odd values,
// missing columns, rows of other tables, failures).
#include "ado/MemoryRecordset.h"
#include "schemacore/ConnectionStringMask.h"
#include "schemacore/ConstraintsModel.h"
#include "schemacore/IndexesModel.h"
#include "schemacore/PrivilegesModel.h"
#include "schemacore/RelationshipsModel.h"
#include "schemacore/SchemaGeneralInfo.h"
#include "SchemaTestHost.h"

#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using Column = std::pair<const char*, ado::DataTypeEnum>;
using Row = std::vector<_variant_t>;
const _variant_t kNull = _variant_t::Null();

ado::RecordsetPtr Rowset(const std::vector<Column>& columns, const std::vector<Row>& rows)
{
    std::vector<ado::MemoryColumn> cols;
    for (const auto& [name, type] : columns)
        cols.push_back(ado::MemoryColumn::Of(name, type, 128));
    auto recordset = ado::MemoryRecordset::Create(cols);
    for (const Row& row : rows)
        recordset->AddRow(row);
    return recordset;
}

// A host whose OpenSchema answers from the rowsets the test gives, by schema.
struct FakeHost {
    FakeHost()
    {
        f.m_host.m_openSchema = [this](ado::SchemaEnum schema, const std::vector<_variant_t>&) -> ado::RecordsetPtr {
            auto it = rowsets.find(schema);
            if (it == rowsets.end())
                throw _com_error(E_FAIL, "not supported");
            return it->second();
        };
    }
    // Each call gets the rows afresh, as a provider gives them.
    void Answer(ado::SchemaEnum schema, const std::vector<Column>& columns, const std::vector<Row>& rows)
    {
        rowsets[schema] = [columns, rows] { return Rowset(columns, rows); };
    }
    ISchemaHost& Host() { return f.m_host; }
    int Calls(ado::SchemaEnum schema) const
    {
        return static_cast<int>(std::count_if(f.m_host.m_calls.begin(), f.m_host.m_calls.end(),
                                              [schema](const auto& c) { return c.schema == schema; }));
    }

    CModelFixture f;
    std::map<ado::SchemaEnum, std::function<ado::RecordsetPtr()>> rowsets;
};

CSchemaNodeData Table(const char* catalog, const char* schema, const char* name)
{
    CSchemaNodeData data;
    data.m_strCatalog = catalog;
    data.m_strSchema = schema;
    data.m_strName = name;
    data.m_strType = "TABLE";
    return data;
}

TEST(ConnectionStringMask, MasksEveryPasswordValueWhereverAndHoweverWritten)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Provider=SQLOLEDB;Password=secret;User ID=sa", "Provider=SQLOLEDB;Password=<*****>;User ID=sa"},
        {"Provider=MSDASQL;DSN=x;PWD=abc", "Provider=MSDASQL;DSN=x;PWD=<*****>"},
        {"A=1;Password=p1;PWD=p2;B=2", "A=1;Password=<*****>;PWD=<*****>;B=2"},
        {"A=1;Password=;B=2", "A=1;Password=<*****>;B=2"},
        // The same value elsewhere in the string stays a value of its own key.
        {"A=1;Password=x;Initial Catalog=x", "A=1;Password=<*****>;Initial Catalog=x"},
        // A key at the very start, or in another letter case, or with blanks, is masked too.
        {"Password=secret;A=1", "Password=<*****>;A=1"},
        {"A=1;pwd=secret", "A=1;pwd=<*****>"},
        {"A=1; PassWord = secret ;B=2", "A=1; PassWord = <*****> ;B=2"},
        // Blanks before an enclosed value are any the connection skips, tabs and line ends too.
        {"A=1;PWD=\t{x;y};B=2", "A=1;PWD=\t<*****>;B=2"},
        {"Password=\r\n\"se;cret\"", "Password=\r\n<*****>"},
        // Braces and quotes hold ";" and their closing character doubled: masked whole.
        {"DRIVER={SQLite3};PWD={a;b}}c};X=1", "DRIVER={SQLite3};PWD=<*****>;X=1"},
        {"A=1;Password=\"se;\"\"cret\";B=2", "A=1;Password=<*****>;B=2"},
        // The ODBC attributes inside Extended Properties.
        {"Provider=MSDASQL.1;Extended Properties=\"DRIVER={PostgreSQL Unicode};UID=u;PWD=p;\"",
         "Provider=MSDASQL.1;Extended Properties=\"DRIVER={PostgreSQL Unicode};UID=u;PWD=<*****>;\""},
        {"Provider=MSDASQL.1;Extended Properties=\"DRIVER={x};PWD={a\"\"b};\";Persist Security Info=False",
         "Provider=MSDASQL.1;Extended Properties=\"DRIVER={x};PWD=<*****>;\";Persist Security Info=False"},
        // Nothing to mask: unchanged, also when malformed.
        {"Provider=MSDASQL;DSN=x", "Provider=MSDASQL;DSN=x"},
        {"NoEquals;A=\"open", "NoEquals;A=\"open"},
        // Text the connection cannot read shows nothing from the first word that may name a
        // password on.
        {"DSN=x;NoEquals;PWD=secret", "DSN=x;NoEquals;<*****>"},
        {"DSN=x;PWD={a;b", "DSN=x;<*****>"},
        {"Provider=MSDASQL;Extended Properties=\"DSN=x;PWD={a\"", "Provider=MSDASQL;Extended Properties=\"DSN=x;<*****>"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MaskConnectionPasswords(wxString::FromUTF8(c.in)), wxString::FromUTF8(c.out)) << c.in;
}

TEST(GeneralPage, PairsByNodeKind)
{
    CSettingsStore store(wxString::FromUTF8(torvane::test::NewTempPath(".conf")));
    CConnectionInfo connection(store);
    connection.m_strUserId = "joe";
    connection.m_strDataSource = "sales";
    connection.m_strServerName = "db1";
    connection.m_strDbmsName = "PostgreSQL";
    connection.m_strDbmsNameUpper = "POSTGRESQL";
    connection.m_strProviderFile = "MSDASQL.DLL";
    connection.m_strProviderVersion = "02.80";
    connection.m_strDriverName = "psqlodbcw.so";
    connection.m_strDriverVersion = "13.02";
    CSchemaNodeData view = Table("sales", "shop", "big \"v\"");
    view.m_strType = "VIEW";
    CSchemaColumnData column;
    column.m_strName = "qty";
    column.m_strDataType = "(adInteger) A 4-byte signed integer";
    column.m_strLength = "4";
    column.m_strPrecision = "10";
    column.m_strScale = "0";
    column.m_strNullable = "1";
    column.m_strDescription = "how many";

    using Pairs = std::vector<std::pair<std::string, std::string>>;
    auto shown = [&](int kind, const CSchemaNodeData* object, const CSchemaColumnData* col) {
        Pairs out;
        const auto pairs = BuildGeneralPairs(connection, "\"", "\"", kind, object, col);
        if (pairs)
            for (const auto& p : *pairs)
                out.emplace_back(p ? p->first.utf8_string() : "-", p ? p->second.utf8_string() : "-");
        return out;
    };
    EXPECT_EQ(shown(kindConnection, nullptr, nullptr),
              (Pairs{{"User ID:", "joe"}, {"Data source:", "sales"}, {"Server:", "db1"},
                     {"DBMS name:", "PostgreSQL "}, {"Provider:", "MSDASQL.DLL 02.80"}, {"Driver:", "psqlodbcw.so 13.02"}}));
    EXPECT_EQ(shown(kindViewsFolder, nullptr, nullptr),
              (Pairs{{"Name:", "Views"}, {"Type:", "All Views"}, {"-", "-"}, {"-", "-"}, {"-", "-"}, {"-", "-"}}));
    EXPECT_EQ(shown(kindTemporaryTablesFolder, nullptr, nullptr)[1], (std::pair<std::string, std::string>{"Type:", "All Temporary Tables"}));
    EXPECT_EQ(shown(kindView, &view, nullptr),
              (Pairs{{"Name:", "\"shop\".\"big \"\"v\"\"\""}, {"Type:", "VIEW"}, {"Qualifier:", "sales"},
                     {"Schema:", "shop"}, {"Remarks:", ""}, {"-", "-"}}));
    EXPECT_EQ(shown(kindColumn, &view, &column),
              (Pairs{{"Name:", "\"shop\".\"big \"\"v\"\"\".\"qty\" (how many)"},
                     {"Data type:", "(adInteger) A 4-byte signed integer"}, {"Length:", "4"}, {"Precision:", "10"},
                     {"Scale:", "0"}, {"Is nullable:", "1"}}));
    column.m_strName = "@n (In)";
    EXPECT_EQ(shown(kindParameter, &view, &column)[0], (std::pair<std::string, std::string>{"Name:", "@n (In)"}));
    // The text driver's columns are not qualified by their table.
    connection.m_strDbmsNameUpper = "TEXT";
    column.m_strName = "qty";
    EXPECT_EQ(shown(kindPrimaryKeyColumn, &view, &column)[0],
              (std::pair<std::string, std::string>{"Name:", "\"qty\" (how many)"}));
    // Markers, and objects without their data, change nothing.
    EXPECT_TRUE(shown(kindMarker, nullptr, nullptr).empty());
    EXPECT_TRUE(shown(kindTable, nullptr, nullptr).empty());
}

const std::vector<Column> kForeignKeyColumns = {
    {"PK_TABLE_SCHEMA", ado::adVarWChar}, {"PK_TABLE_NAME", ado::adVarWChar}, {"PK_COLUMN_NAME", ado::adVarWChar},
    {"PK_NAME", ado::adVarWChar},         {"FK_TABLE_SCHEMA", ado::adVarWChar}, {"FK_TABLE_NAME", ado::adVarWChar},
    {"FK_COLUMN_NAME", ado::adVarWChar},  {"FK_NAME", ado::adVarWChar},       {"UPDATE_RULE", ado::adVarWChar}};

TEST(RelationshipsPage, RecordsEntriesAndFailures)
{
    FakeHost h;
    const CSchemaNodeData table = Table("", "", "orders");
    // No DELETE_RULE column: that value stays empty. A key without a name goes by its column;
    // a "|" in a name stays in its cell.
    h.Answer(ado::adSchemaForeignKeys,
             kForeignKeyColumns,
                    {{kNull, _variant_t("orders"), _variant_t("id"), _variant_t("pk"), kNull, _variant_t("lines"),
                      _variant_t("order|id"), kNull, _variant_t("CASCADE")}});
    CRelationshipsModel model(h.Host(), table);
    ASSERT_EQ(model.Load(), CPageLoadResult::Loaded);
    // Read for both sides, this table first as the primary-key side.
    ASSERT_EQ(h.Calls(ado::adSchemaForeignKeys), 2);
    EXPECT_EQ(h.f.m_host.m_calls[0].restrictions[2].ToString(), "orders");
    EXPECT_TRUE(h.f.m_host.m_calls[0].restrictions[5].IsEmpty());
    EXPECT_EQ(h.f.m_host.m_calls[1].restrictions[5].ToString(), "orders");
    ASSERT_EQ(model.Records().size(), 2u);
    EXPECT_EQ(model.ComboEntries(),
              (std::vector<CNameComboEntry>{{"\"lines\".\"order|id\"", imgKey, 0},
                                            {"\"lines\".\"order|id\"", imgRelationship, 1}}));
    EXPECT_EQ(CRelationshipsModel::PropertyRows(model.Records()[0]),
              (std::vector<std::pair<wxString, wxString>>{{"FK column name ", "\"lines\".\"order|id\""},
                                                          {"PK column name ", "\"orders\".\"id\""},
                                                          {"PK constraint name ", "pk"},
                                                          {"Update rule ", "CASCADE"},
                                                          {"Delete rule ", ""},
                                                          {"FK constraint name ", ""}}));

    h.Answer(ado::adSchemaForeignKeys, kForeignKeyColumns, {});
    EXPECT_EQ(model.Load(), CPageLoadResult::Loaded);
    EXPECT_EQ(model.ComboEntries(), (std::vector<CNameComboEntry>{{"<No data>", imgErrorDisc, -1}}));

    h.rowsets.clear();
    EXPECT_EQ(model.Load(), CPageLoadResult::NotCapable);
    EXPECT_EQ(model.ComboEntries(), (std::vector<CNameComboEntry>{{"<Provider not capable>", imgCross, -1}}));
    h.rowsets[ado::adSchemaForeignKeys] = []() -> ado::RecordsetPtr { throw std::bad_alloc(); };
    EXPECT_EQ(model.Load(), CPageLoadResult::ErrorsOccurred);
    EXPECT_EQ(model.ComboEntries(), (std::vector<CNameComboEntry>{{"<Errors occurred>", imgCross, -1}}));
}

const std::vector<Column> kIndexColumns = {
    {"TABLE_CATALOG", ado::adVarWChar}, {"TABLE_SCHEMA", ado::adVarWChar}, {"TABLE_NAME", ado::adVarWChar},
    {"INDEX_NAME", ado::adVarWChar},    {"PRIMARY_KEY", ado::adBoolean},   {"UNIQUE", ado::adBoolean},
    {"CLUSTERED", ado::adBoolean},      {"TYPE", ado::adUnsignedSmallInt}, {"FILL_FACTOR", ado::adInteger},
    {"COLUMN_NAME", ado::adVarWChar},   {"COLLATION", ado::adSmallInt},    {"CARDINALITY", ado::adUnsignedBigInt}};

Row IndexRow(const char* table, const char* name, _variant_t primary, _variant_t clustered, _variant_t type,
             _variant_t fill, const char* column, _variant_t collation, _variant_t cardinality)
{
    return {_variant_t("db"), _variant_t("s"), _variant_t(table), _variant_t(name), primary, _variant_t(false), clustered,
            type, fill, _variant_t(column), collation, cardinality};
}

TEST(IndexesPage, GroupsRowsByNameInByteOrder)
{
    FakeHost h;
    const CSchemaNodeData table = Table("db", "s", "t");
    const _variant_t t(true), f(false);
    auto small = [](int v) { return _variant_t(static_cast<int16_t>(v)); };
    h.Answer(ado::adSchemaIndexes,
             kIndexColumns,
                    {IndexRow("t", "IX_b", kNull, f, small(2), _variant_t(0), "a", small(1), _variant_t::UI8(7)),
                     IndexRow("t", "IX_C", t, t, small(5), kNull, "(x || y)", small(2), _variant_t::UI8(3000000000)),
                     IndexRow("t", "IX_C", t, t, small(5), kNull, "b~c", kNull, _variant_t::UI8(12)),
                     IndexRow("t", "IX_C", t, t, small(5), kNull, "d", small(1), _variant_t::UI8(3000000000)),
                     IndexRow("t", "   ", f, f, small(1), kNull, "e", small(1), kNull),
                     IndexRow("other", "IX_X", f, f, small(1), kNull, "e", small(1), kNull),
                     IndexRow("t", "ix_t5", f, f, small(5), _variant_t(80), "e", small(1), kNull)});
    CIndexesModel model(h.Host(), table);
    ASSERT_EQ(model.Load(), CPageLoadResult::Loaded);
    EXPECT_EQ(model.ComboEntries(), (std::vector<CNameComboEntry>{{"IX_C", imgConnection, 0},
                                                                  {"IX_b", imgConnection, 1},
                                                                  {"ix_t5", imgConnection, 2}}));
    const CIndexRecord* composite = model.Record(0);
    ASSERT_TRUE(composite);
    // Expressions keep every character; the attributes are the last row's.
    EXPECT_EQ(composite->columns, (std::vector<std::pair<wxString, wxString>>{
                                      {"(x || y)", "Desc"}, {"b~c", ""}, {"d", "Asc"}}));
    EXPECT_EQ(composite->primaryKey, "Yes");
    EXPECT_EQ(composite->type, "Clustered");
    EXPECT_EQ(composite->cardinality, "");
    EXPECT_EQ(composite->fillFactor, "");
    const CIndexRecord* hash = model.Record(1);
    EXPECT_EQ(hash->primaryKey, "No"); // NULL
    EXPECT_EQ(hash->unique, "No");
    EXPECT_EQ(hash->type, "Hash file");
    EXPECT_EQ(hash->fillFactor, "0 %");
    EXPECT_EQ(hash->cardinality, "7");
    EXPECT_EQ(model.Record(2)->type, "");
    EXPECT_EQ(model.Record(2)->fillFactor, "80 %");

    // A provider without PRIMARY_KEY: the field stays empty.
    h.Answer(ado::adSchemaIndexes, {{"TABLE_CATALOG", ado::adVarWChar}, {"TABLE_SCHEMA", ado::adVarWChar},
                                           {"TABLE_NAME", ado::adVarWChar}, {"INDEX_NAME", ado::adVarWChar},
                                           {"COLUMN_NAME", ado::adVarWChar}},
                                          {{_variant_t("db"), _variant_t("s"), _variant_t("t"), _variant_t("i"),
                                            _variant_t("c")}});
    ASSERT_EQ(model.Load(), CPageLoadResult::Loaded);
    EXPECT_EQ(model.Record(0)->primaryKey, "");
    EXPECT_EQ(model.Record(0)->columns, (std::vector<std::pair<wxString, wxString>>{{"c", ""}}));

    h.Answer(ado::adSchemaIndexes, kIndexColumns, {});
    EXPECT_EQ(model.Load(), CPageLoadResult::Loaded);
    EXPECT_EQ(model.ComboEntries(), (std::vector<CNameComboEntry>{{"<No data>", imgErrorDisc, -1}}));
    h.rowsets.clear();
    EXPECT_EQ(model.Load(), CPageLoadResult::NotCapable);
    EXPECT_FALSE(model.Record(0));
}

const std::vector<Column> kConstraintColumns = {
    {"CONSTRAINT_CATALOG", ado::adVarWChar}, {"CONSTRAINT_SCHEMA", ado::adVarWChar}, {"CONSTRAINT_NAME", ado::adVarWChar},
    {"TABLE_NAME", ado::adVarWChar},         {"CONSTRAINT_TYPE", ado::adVarWChar},   {"IS_DEFERRABLE", ado::adBoolean}};
const std::vector<Column> kCheckColumns = {{"CONSTRAINT_CATALOG", ado::adVarWChar},
                                           {"CONSTRAINT_SCHEMA", ado::adVarWChar},
                                           {"CONSTRAINT_NAME", ado::adVarWChar},
                                           {"CHECK_CLAUSE", ado::adVarWChar}};

Row ConstraintRow(const char* name, const char* table, const char* type, _variant_t deferrable)
{
    return {_variant_t("db"), _variant_t("s"), _variant_t(name), _variant_t(table), _variant_t(type), deferrable};
}

TEST(ConstraintsPage, MarksTypesAndClauses)
{
    FakeHost h;
    const CSchemaNodeData table = Table("db", "s", "t");
    h.Answer(ado::adSchemaTableConstraints,
             kConstraintColumns, {ConstraintRow("ck (odd)", "t", "CHECK", _variant_t(true)),
                                         ConstraintRow("t_pkey", "t", "PRIMARY KEY", _variant_t(false)),
                                         ConstraintRow("elsewhere", "u", "CHECK", _variant_t(false)),
                                         ConstraintRow("", "t", "UNIQUE", _variant_t(true)),
                                         ConstraintRow("ck_missing", "t", "CHECK", kNull)});
    h.Answer(ado::adSchemaCheckConstraints,
             kCheckColumns, {{_variant_t("db"), _variant_t("s"), _variant_t("ck (odd)"), _variant_t("(a > 0)")}});
    CConstraintsModel model(h.Host(), table);
    ASSERT_EQ(model.Load(), CPageLoadResult::Loaded);
    EXPECT_EQ(model.ComboEntries(),
              (std::vector<CNameComboEntry>{{"ck (odd) (deferrable)", imgTextLines, 0},
                                            {"t_pkey (not deferrable)", imgTextLines, 1},
                                            {"", imgTextLines, 2},
                                            {"ck_missing (not deferrable)", imgTextLines, 3}}));
    const auto& r = model.Records();
    // The clause is found by the constraint's own name, " (" inside it included.
    EXPECT_EQ(model.Expression(r[0]), "(a > 0)");
    EXPECT_EQ(r[1].type, "PRIMARY KEY");
    EXPECT_EQ(model.Expression(r[1]), "");
    EXPECT_EQ(model.Expression(r[3]), "<Provider not capable>");
    ASSERT_EQ(h.Calls(ado::adSchemaCheckConstraints), 1);

    // Without a check rowset the check constraints say so; the load itself succeeds.
    h.rowsets.erase(ado::adSchemaCheckConstraints);
    ASSERT_EQ(model.Load(), CPageLoadResult::Loaded);
    EXPECT_EQ(model.Expression(model.Records()[0]), "<Provider not capable>");

    // No constraints: the check clauses are not read.
    h.Answer(ado::adSchemaTableConstraints, kConstraintColumns, {});
    h.Answer(ado::adSchemaCheckConstraints, kCheckColumns, {});
    ASSERT_EQ(model.Load(), CPageLoadResult::Loaded);
    EXPECT_FALSE(model.CheckClausesRead());
    EXPECT_EQ(h.Calls(ado::adSchemaCheckConstraints), 2);
    EXPECT_EQ(model.ComboEntries(), (std::vector<CNameComboEntry>{{"<No data>", imgErrorDisc, -1}}));

    h.rowsets.clear();
    EXPECT_EQ(model.Load(), CPageLoadResult::NotCapable);
    EXPECT_EQ(model.ComboEntries(), (std::vector<CNameComboEntry>{{"<Provider not capable>", imgCross, -1}}));
}

const std::vector<Column> kPrivilegeColumns = {{"GRANTEE", ado::adVarWChar}, {"PRIVILEGE_TYPE", ado::adVarWChar}};

TEST(PermissionsPages, GranteeRowsForAllUsersOrThisUser)
{
    FakeHost h;
    const CSchemaNodeData table = Table("db", "s", "t");
    CSchemaColumnData column;
    column.m_strName = "c";
    h.Answer(ado::adSchemaTablePrivileges,
             kPrivilegeColumns, {{_variant_t("joe"), _variant_t("SELECT")},
                                        {_variant_t("Joe"), _variant_t("update")},
                                        {_variant_t("public"), _variant_t("SELECT")},
                                        {_variant_t("ann"), _variant_t("EXECUTE")},
                                        {_variant_t("ann"), _variant_t("REFERENCES")},
                                        {_variant_t("zed"), _variant_t("TRUNCATE")}});
    CPrivilegesModel tablePage(h.Host(), table, nullptr, "JOE");
    using R = CPrivilegeRow;
    ASSERT_EQ(tablePage.Load(true), CPageLoadResult::Loaded);
    EXPECT_EQ(tablePage.Rows(), (std::vector<R>{{"ann", imgUser, {"NO", "NO", "NO", "NO", "YES"}},
                                                {"joe", imgUser, {"YES", "NO", "YES", "NO", "NO"}},
                                                {"public", imgGroup, {"YES", "NO", "NO", "NO", "NO"}},
                                                {"zed", imgUser, {"NO", "NO", "NO", "NO", "NO"}}}));
    // This user only, whatever the provider returned; the restriction names the user.
    ASSERT_EQ(tablePage.Load(false), CPageLoadResult::Loaded);
    EXPECT_EQ(tablePage.Rows(), (std::vector<R>{{"joe", imgUser, {"YES", "NO", "YES", "NO", "NO"}}}));
    EXPECT_EQ(h.f.m_host.m_calls.back().restrictions.size(), 5u);
    EXPECT_EQ(h.f.m_host.m_calls.back().restrictions[4].ToString(), "JOE");
    // An empty user name is a restriction that matches nobody.
    CPrivilegesModel nobody(h.Host(), table, nullptr, "");
    ASSERT_EQ(nobody.Load(false), CPageLoadResult::Loaded);
    EXPECT_TRUE(nobody.Rows().empty());
    EXPECT_EQ(h.f.m_host.m_calls.back().restrictions[4].vt, VT_BSTR);

    // A row without its grantee throws away what was read.
    h.Answer(ado::adSchemaColumnPrivileges,
             kPrivilegeColumns, {{_variant_t("joe"), _variant_t("SELECT")}, {kNull, _variant_t("SELECT")}});
    CPrivilegesModel columnPage(h.Host(), table, &column, "joe");
    EXPECT_EQ(columnPage.Load(true), CPageLoadResult::ErrorsOccurred);
    EXPECT_EQ(columnPage.Rows(), (std::vector<R>{{"<Errors occurred> ", imgErrorDisc, {}}}));
    EXPECT_EQ(h.f.m_host.m_calls.back().restrictions.size(), 6u);
    EXPECT_EQ(h.f.m_host.m_calls.back().restrictions[3].ToString(), "c");
    h.Answer(ado::adSchemaTablePrivileges, kPrivilegeColumns, {{_variant_t(""), _variant_t("SELECT")}});
    EXPECT_EQ(tablePage.Load(true), CPageLoadResult::ErrorsOccurred);
    EXPECT_EQ(tablePage.Rows(), (std::vector<R>{{"<Errors occurred> ", imgCross, {}}}));

    // A rowset without PRIVILEGE_TYPE keeps the grantees read and says the provider cannot.
    h.Answer(ado::adSchemaTablePrivileges, {{"GRANTEE", ado::adVarWChar}}, {{_variant_t("joe")}});
    EXPECT_EQ(tablePage.Load(true), CPageLoadResult::NotCapable);
    EXPECT_EQ(tablePage.Rows(), (std::vector<R>{{"<Provider not capable> ", imgCross, {}}, {"joe", imgUser, {}}}));

    h.Answer(ado::adSchemaTablePrivileges, kPrivilegeColumns, {});
    EXPECT_EQ(tablePage.Load(true), CPageLoadResult::Loaded);
    EXPECT_TRUE(tablePage.Rows().empty());
}

} // namespace
