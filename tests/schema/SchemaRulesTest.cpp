// The schema tree's rules on an in-memory tree with rowsets the test builds: restrictions per
// folder and setting, TABLE_TYPE and PROCEDURE_TYPE texts, column details, the caption, the
// folders, failures of the loaders, expansion while a query runs, refresh of the connection
// node, and the column lists of the SELECT.
#include "ado/MemoryRecordset.h"
#include "common/SettingsTable.h"
#include "schemacore/SchemaObjectLoaders.h"
#include "schemacore/SchemaRow.h"
#include "SchemaTestHost.h"

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace {

std::string Text(const _variant_t& v)
{
    return v.IsEmpty() ? "<empty>" : v.ToString();
}

std::vector<std::string> Texts(const std::vector<_variant_t>& values)
{
    std::vector<std::string> out;
    for (const _variant_t& v : values)
        out.push_back(Text(v));
    return out;
}

// A rowset with text columns named as given and the rows given.
ado::RecordsetPtr Rowset(const std::vector<std::string>& columns, const std::vector<std::vector<_variant_t>>& rows)
{
    std::vector<ado::MemoryColumn> cols;
    for (const std::string& name : columns)
        cols.push_back(ado::MemoryColumn::Of(name, ado::adVarWChar, 128));
    auto recordset = ado::MemoryRecordset::Create(cols);
    for (const auto& row : rows)
        recordset->AddRow(row);
    return recordset;
}

const std::vector<std::string> kTableColumns = {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "TABLE_TYPE",
                                                "DESCRIPTION"};
const std::vector<std::string> kColumnColumns = {"TABLE_CATALOG",          "TABLE_SCHEMA",      "TABLE_NAME",
                                                 "COLUMN_NAME",            "DATA_TYPE",         "CHARACTER_OCTET_LENGTH",
                                                 "NUMERIC_PRECISION",      "NUMERIC_SCALE",     "DATETIME_PRECISION",
                                                 "DESCRIPTION",            "IS_NULLABLE"};

std::vector<_variant_t> TableRow(const char* schema, const char* name, const char* type)
{
    return {_variant_t(), schema ? _variant_t(schema) : _variant_t::Null(), _variant_t(name), _variant_t(type),
            _variant_t::Null()};
}

TEST(SchemaRules, TablesRestrictionsByFolderAndSetting)
{
    const struct {
        int folder;
        bool showAllTables, showAllViews;
        const char* user;
        bool jet;
        const char* provider;
        std::vector<std::string> restrictions;
    } cases[] = {
        {kindTablesFolder, true, true, "sa", false, "MSDASQL.DLL", {"<empty>", "<empty>", "<empty>", "'TABLE'"}},
        {kindTablesFolder, false, true, "sa", false, "msdasql.dll", {"<empty>", "sa", "<empty>", "'TABLE'"}},
        {kindTablesFolder, false, true, "", false, "MSDASQL.DLL", {"<empty>", "<empty>", "<empty>", "'TABLE'"}},
        {kindTablesFolder, false, true, "sa", true, "MSDASQL.DLL", {"<empty>", "<empty>", "<empty>", "'TABLE'"}},
        {kindViewsFolder, true, false, "sa", false, "MSDASQL.DLL", {"<empty>", "sa", "<empty>", "'TABLE','VIEW'"}},
        {kindViewsFolder, false, true, "sa", false, "MSDASQL.DLL", {"<empty>", "<empty>", "<empty>", "'TABLE','VIEW'"}},
        {kindSystemTablesFolder, false, false, "sa", false, "MSDASQL.DLL",
         {"<empty>", "<empty>", "<empty>", "'TABLE','SYSTEM TABLE'"}},
        {kindAliasesFolder, false, false, "sa", false, "MSDASQL.DLL",
         {"<empty>", "<empty>", "<empty>", "'TABLE','ALIAS','SYNONYM'"}},
        {kindTemporaryTablesFolder, false, false, "sa", false, "MSDASQL.DLL",
         {"<empty>", "<empty>", "<empty>", "'TABLE','GLOBAL TEMPORARY','LOCAL TEMPORARY'"}},
        // Another provider filters nothing by type.
        {kindViewsFolder, true, true, "sa", false, "SQLOLEDB.DLL", {"<empty>", "<empty>", "<empty>", "<empty>"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.folder) + " " + c.user + " " + c.provider);
        EXPECT_EQ(Texts(TablesRestrictions(c.folder, c.showAllTables, c.showAllViews, c.user, c.jet, c.provider)),
                  c.restrictions);
    }
    EXPECT_EQ(Texts(ProceduresRestrictions(false, "sa", false)),
              (std::vector<std::string>{"<empty>", "sa", "<empty>", "<empty>"}));
    EXPECT_EQ(Texts(ProceduresRestrictions(true, "sa", false)),
              (std::vector<std::string>{"<empty>", "<empty>", "<empty>", "<empty>"}));
    EXPECT_EQ(Texts(ProceduresRestrictions(false, "sa", true))[1], "<empty>");
}

TEST(SchemaRules, TableTypesAndProcedureTypes)
{
    const std::pair<const char*, int> types[] = {
        {"TABLE", kindTablesFolder},          {"view", kindViewsFolder},
        {"System Table", kindSystemTablesFolder}, {"Synonym", kindAliasesFolder},
        {"alias", kindAliasesFolder},         {"local temporary", kindTemporaryTablesFolder},
        {"GLOBAL TEMPORARY", kindTemporaryTablesFolder}, {"MATVIEW", 0},
        {"", 0},
    };
    for (const auto& [type, folder] : types)
        EXPECT_EQ(FolderKindOfTableType(type), folder) << type;
    const std::pair<const char*, const char*> procedures[] = {
        {"1", "<Unknown>"}, {"2", "Procedure"}, {" 3", "Function"}, {"0", "0"}, {"4", "4"}, {"", ""}, {"x", "x"},
    };
    for (const auto& [type, text] : procedures)
        EXPECT_EQ(ProcedureTypeText(type), text) << type;
}

TEST(SchemaRules, ColumnDetails)
{
    const std::vector<std::string> columns = {"DATA_TYPE",        "CHARACTER_OCTET_LENGTH", "NUMERIC_PRECISION",
                                              "NUMERIC_SCALE",    "DATETIME_PRECISION",     "DESCRIPTION",
                                              "IS_NULLABLE",      "PARAMETER_TYPE"};
    auto u32 = [](uint32_t v) {
        _variant_t r = _variant_t::OfType(VT_UI4);
        r.num.ulVal = v;
        return r;
    };
    auto u16 = [](uint16_t v) {
        _variant_t r = _variant_t::OfType(VT_UI2);
        r.num.uiVal = v;
        return r;
    };
    const _variant_t null = _variant_t::Null();
    const struct {
        const char* title;
        std::vector<_variant_t> row;
        bool parameter, result;
        const char* name, *type, *length, *precision, *scale, *nullable;
    } cases[] = {
        {"a time stamp takes the datetime precision", {u16(135), null, u16(19), null, u32(6), null, _variant_t(true), null},
         false, false, "c", "(adDBTimeStamp)", "", "6", "", "Yes"},
        {"a parameter time stamp has none", {u16(135), null, u16(19), null, u32(6), null, _variant_t(false), u16(1)},
         true, false, "c (adParamInput)", "(adDBTimeStamp)", "", "", "", "No"},
        {"a number", {u16(131), null, u16(10), _variant_t(int16_t(2)), null, _variant_t("money"), null, null},
         false, false, "c", "(adNumeric)", "", "10", "2", ""},
        {"text has its length only", {u16(202), u32(40), null, null, null, null, _variant_t(true), null}, false,
         false, "c", "(adVarWChar)", "40", "", "", "Yes"},
        // The rowset's order: 2 input/output, 3 output.
        {"an input/output parameter", {u16(3), null, u16(10), null, null, null, null, u16(2)}, true, false,
         "c (adParamInputOutput)", "(adInteger)", "", "10", "", ""},
        {"an output parameter", {u16(3), null, null, null, null, null, null, u16(3)}, true, false,
         "c (adParamOutput)", "(adInteger)", "", "", "", ""},
        {"a return value", {u16(3), null, null, null, null, null, null, u16(4)}, true, false, "c (adParamReturnValue)",
         "(adInteger)", "", "", "", ""},
        {"an unknown direction", {u16(3), null, null, null, null, null, null, u16(0)}, true, false,
         "c (adParamUnknown)", "(adInteger)", "", "", "", ""},
        {"a result column", {u16(3), null, null, null, null, null, _variant_t("maybe"), null}, false, true,
         "c (Result Column)", "(adInteger)", "", "", "", "maybe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        CSchemaRow row(Rowset(columns, {c.row}));
        CSchemaColumnData data;
        data.m_strName = "c";
        CSchemaTreeModel::ReadColumnDetails(row, data, c.parameter, c.result);
        EXPECT_EQ(data.m_strName, c.name);
        EXPECT_TRUE(data.m_strDataType.StartsWith(c.type)) << data.m_strDataType;
        EXPECT_EQ(data.m_strLength, c.length);
        EXPECT_EQ(data.m_strPrecision, c.precision);
        EXPECT_EQ(data.m_strScale, c.scale);
        EXPECT_EQ(data.m_strNullable, c.nullable);
        if (std::string(c.title) == "a number") {
            EXPECT_EQ(data.m_strDescription, "money");
        }
    }
}

TEST(SchemaRules, ConnectionCaption)
{
    const struct {
        const char *catalog, *server, *dataSource, *dbms, *caption;
    } cases[] = {
        {"shop", "db1", "dsn", "X", "shop (db1)"},
        {"", "db1", "dsn", "X", "dsn (db1)"},
        {"shop", "", "dsn", "POSTGRESQL", "shop (POSTGRESQL)"},
        {"", "", "/tmp/a.db", "", "/tmp/a.db"},
        {"", "", "", "", "<Unknown>"},
    };
    for (const auto& c : cases) {
        CModelFixture f;
        f.m_host.m_connection.m_strCurrentCatalog = c.catalog;
        f.m_host.m_connection.m_strServerName = c.server;
        f.m_host.m_connection.m_strDataSource = c.dataSource;
        f.m_host.m_connection.m_strDbmsNameUpper = c.dbms;
        EXPECT_EQ(f.Build().GetConnectionCaption(), c.caption);
    }
}

TEST(SchemaRules, FoldersFollowShowAllRoot)
{
    for (int showAll : {0, 1}) {
        CModelFixture f;
        settings::WriteInt(settings::ShowAllRoot, showAll, *f.m_store);
        f.Build().ResetTree();
        const TreeItem root = f.m_tree.GetRoot();
        EXPECT_TRUE(f.m_tree.IsExpanded(root));
        EXPECT_EQ(f.m_tree.GetCaret(), root);
        EXPECT_TRUE(f.m_tree.IsSelected(root));
        const std::vector<std::string> expected =
            showAll ? std::vector<std::string>{"Tables", "Views", "System Tables", "Aliases/Synonyms",
                                               "Temporary Tables", "Procedures/Functions"}
                    : std::vector<std::string>{"Tables", "Views", "Procedures/Functions"};
        EXPECT_EQ(ChildTexts(f.m_tree, root), expected);
        // Nothing is read until a folder opens.
        EXPECT_TRUE(f.m_host.m_calls.empty());
    }
}

TEST(SchemaRules, TablesFolderSortsAndFilters)
{
    CModelFixture f;
    f.m_host.m_connection.m_strProviderFile = "MSDASQL.DLL";
    f.m_host.m_openSchema = [](ado::SchemaEnum, const std::vector<_variant_t>&) {
        return Rowset(kTableColumns, {TableRow("dbo", "orders", "TABLE"), TableRow(nullptr, "Accounts", "TABLE"),
                                      TableRow("dbo", "v1", "VIEW"), TableRow("sys", "s1", "SYSTEM TABLE"),
                                      TableRow("dbo", "zeta", "table"), TableRow("x", "m", "MATVIEW")});
    };
    f.Build().ResetTree();
    const TreeItem tables = f.Expand("Tables");
    EXPECT_EQ(ChildTexts(f.m_tree, tables), (std::vector<std::string>{"Accounts", "orders (dbo)", "zeta (dbo)"}));
    EXPECT_EQ(ChildKinds(f.m_tree, tables), (std::vector<int>{kindTable, kindTable, kindTable}));
    EXPECT_TRUE(f.m_tree.IsLoaded(tables));
    EXPECT_EQ(f.m_model->GetObjectList(kindTable).size(), 3u);
    const auto* data = dynamic_cast<CSchemaNodeData*>(f.m_tree.GetData(Find(f.m_tree, "Tables|orders (dbo)")));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->m_strName, "orders");
    EXPECT_EQ(data->m_strSchema, "dbo");
    EXPECT_EQ(data->m_strType, "TABLE");
    EXPECT_EQ(data->m_nKind, kindTable);
    EXPECT_EQ(GetNodeKey(*data), "TABLE.dbo.orders");
    // A folder whose rows are all of other types shows one "<No Data>".
    const TreeItem aliases = f.Expand("Aliases/Synonyms");
    EXPECT_EQ(ChildTexts(f.m_tree, aliases), std::vector<std::string>{"<No Data>"});
    EXPECT_EQ(ChildKinds(f.m_tree, aliases), std::vector<int>{kindMarker});
    EXPECT_EQ(Texts(f.m_host.m_calls.back().restrictions)[3], "'TABLE','ALIAS','SYNONYM'");
    // Status text while loading, cleared after; redraw back on; the hourglass gone.
    EXPECT_EQ(f.m_host.m_statusTexts.front(), "Please wait...");
    EXPECT_EQ(f.m_host.m_statusTexts.back(), "");
    EXPECT_EQ(f.m_tree.UpdateDepth(), 0);
    EXPECT_EQ(f.m_host.m_nWaitDepth, 0);
    EXPECT_TRUE(f.m_host.m_messages.empty());
}

TEST(SchemaRules, LoadFailuresAreReportedAndKeepWhatWasLoaded)
{
    const struct {
        const char* title;
        int folder;
        std::function<void()> fail;
        const char* errorsText;
        const char* message;
    } cases[] = {
        {"a provider error shows the provider's errors", kindTablesFolder,
         [] { throw _com_error(E_FAIL, "boom"); }, "Table 'x' is locked", "Table 'x' is locked"},
        {"without them the COM error", kindTablesFolder, [] { throw _com_error(E_POINTER); }, "",
         "HRESULT: 0x80004003; Error: "},
        {"memory while loading tables", kindTablesFolder, [] { throw std::bad_alloc(); }, "", "Out-of-memory."},
        {"memory while loading procedures", kindProceduresFolder, [] { throw std::bad_alloc(); }, "",
         "Errors occurred."},
        {"another exception shows its text", kindTablesFolder, [] { throw std::runtime_error("disk gone"); }, "",
         "disk gone"},
        {"anything else", kindProceduresFolder, [] { throw 42; }, "", "Errors occurred."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        CModelFixture f;
        f.m_host.m_connection.m_bStoredProcedures = 1;
        f.m_host.m_strErrorsText = c.errorsText;
        f.m_host.m_openSchema = [&](ado::SchemaEnum, const std::vector<_variant_t>&) -> ado::RecordsetPtr {
            c.fail();
            return nullptr;
        };
        f.Build().ResetTree();
        const TreeItem folder = f.Expand(c.folder == kindTablesFolder ? "Tables" : "Procedures/Functions");
        ASSERT_EQ(f.m_host.m_messages.size(), 1u);
        EXPECT_TRUE(f.m_host.m_messages[0].StartsWith(c.message)) << f.m_host.m_messages[0];
        // No "<No Data>" after a failure; the folder stays as far as it got until a refresh.
        EXPECT_TRUE(ChildTexts(f.m_tree, folder).empty());
        EXPECT_TRUE(f.m_tree.IsLoaded(folder));
        EXPECT_EQ(f.m_tree.UpdateDepth(), 0);
        EXPECT_EQ(f.m_host.m_nWaitDepth, 0);
    }
}

TEST(SchemaRules, ColumnsLoadedBeforeAFailureStay)
{
    CModelFixture f;
    f.m_host.m_openSchema = [](ado::SchemaEnum schema, const std::vector<_variant_t>&) -> ado::RecordsetPtr {
        if (schema == ado::adSchemaTables)
            return Rowset(kTableColumns, {TableRow(nullptr, "t", "TABLE")});
        if (schema == ado::adSchemaPrimaryKeys)
            throw _com_error(E_NOTIMPL); // no key rowset: no marks, no message
        if (schema == ado::adSchemaForeignKeys)
            return Rowset({"FK_COLUMN_NAME"}, {{_variant_t("b")}});
        // The third row's type is no number: reading it fails.
        auto row = [](const char* name, const char* type) {
            return std::vector<_variant_t>{_variant_t(), _variant_t(), _variant_t("t"), _variant_t(name),
                                           _variant_t(type), _variant_t(), _variant_t(), _variant_t(),
                                           _variant_t(),  _variant_t(), _variant_t()};
        };
        return Rowset(kColumnColumns, {row("a", "3"), row("b", "3"), row("c", "not a number"), row("d", "3")});
    };
    f.Build().ResetTree();
    f.Expand("Tables");
    const TreeItem table = f.Expand("Tables|t");
    EXPECT_EQ(ChildTexts(f.m_tree, table), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ChildKinds(f.m_tree, table), (std::vector<int>{kindColumn, kindForeignKeyColumn}));
    ASSERT_EQ(f.m_host.m_messages.size(), 1u);
    EXPECT_EQ(f.m_model->GetColumnDataList().size(), 2u);
}

TEST(SchemaRules, ProceduresNeedTheProvidersSupport)
{
    CModelFixture f;
    f.m_host.m_connection.m_bStoredProcedures = 0;
    f.Build().ResetTree();
    const TreeItem folder = f.Expand("Procedures/Functions");
    EXPECT_EQ(ChildTexts(f.m_tree, folder), std::vector<std::string>{"<Provider not capable>"});
    EXPECT_EQ(ChildKinds(f.m_tree, folder), std::vector<int>{kindNotCapable});
    EXPECT_TRUE(f.m_host.m_calls.empty());
}

TEST(SchemaRules, ParametersThenResultColumnsAndASilentResultFailure)
{
    for (bool resultColumnsFail : {false, true}) {
        SCOPED_TRACE(resultColumnsFail ? "result columns fail" : "result columns listed");
        CModelFixture f;
        f.m_host.m_connection.m_bStoredProcedures = 1;
        const std::vector<std::string> parameterColumns = {"PARAMETER_NAME", "PARAMETER_TYPE", "DATA_TYPE",
                                                           "CHARACTER_OCTET_LENGTH", "NUMERIC_PRECISION",
                                                           "NUMERIC_SCALE", "DESCRIPTION", "IS_NULLABLE"};
        f.m_host.m_openSchema = [&](ado::SchemaEnum schema, const std::vector<_variant_t>&) -> ado::RecordsetPtr {
            switch (schema) {
            case ado::adSchemaProcedures:
                return Rowset({"PROCEDURE_CATALOG", "PROCEDURE_SCHEMA", "PROCEDURE_NAME", "PROCEDURE_TYPE",
                               "DESCRIPTION"},
                              {{_variant_t(), _variant_t("app"), _variant_t("calc"), _variant_t(int16_t(3)),
                                _variant_t()}});
            case ado::adSchemaProcedureParameters:
                return Rowset(parameterColumns,
                              {{_variant_t("@a"), _variant_t("1"), _variant_t("3"), _variant_t(), _variant_t("10"),
                                _variant_t(), _variant_t(), _variant_t()},
                               {_variant_t("@b"), _variant_t("3"), _variant_t("3"), _variant_t(), _variant_t(),
                                _variant_t(), _variant_t(), _variant_t()}});
            default:
                if (resultColumnsFail)
                    throw _com_error(E_NOTIMPL);
                return Rowset({"COLUMN_NAME", "DATA_TYPE", "CHARACTER_OCTET_LENGTH", "NUMERIC_PRECISION",
                               "NUMERIC_SCALE", "DESCRIPTION", "IS_NULLABLE"},
                              {{_variant_t("total"), _variant_t("5"), _variant_t(), _variant_t(), _variant_t(),
                                _variant_t(), _variant_t()}});
            }
        };
        f.Build().ResetTree();
        f.Expand("Procedures/Functions");
        const TreeItem procedure = f.Expand("Procedures/Functions|calc (app)");
        const auto* data = dynamic_cast<CSchemaNodeData*>(f.m_tree.GetData(procedure));
        ASSERT_TRUE(data);
        EXPECT_EQ(data->m_strType, "Function");
        // The restrictions name the procedure, schema and name, the catalog left out.
        EXPECT_EQ(Texts(f.m_host.m_calls.back().restrictions),
                  (std::vector<std::string>{"<empty>", "app", "calc"}));
        const std::vector<std::string> expected =
            resultColumnsFail ? std::vector<std::string>{"@a", "@b"} : std::vector<std::string>{"@a", "@b", "total"};
        EXPECT_EQ(ChildTexts(f.m_tree, procedure), expected);
        std::vector<std::string> names;
        for (const CSchemaColumnData& column : f.m_model->GetColumnDataList())
            names.push_back(column.m_strName.utf8_string());
        std::vector<std::string> expectedNames = {"@a (adParamInput)", "@b (adParamOutput)"};
        if (!resultColumnsFail)
            expectedNames.push_back("total (Result Column)");
        EXPECT_EQ(names, expectedNames);
        EXPECT_TRUE(f.m_host.m_messages.empty());
    }
}

// A tree with one table (columns a, b, c) and one view (x, y) loaded.
class StatementFixture : public CModelFixture {
public:
    StatementFixture()
    {
        m_host.m_connection.m_strProviderFile = "MSDASQL.DLL";
        m_host.m_openSchema = [](ado::SchemaEnum schema, const std::vector<_variant_t>& r) -> ado::RecordsetPtr {
            if (schema == ado::adSchemaTables)
                return Rowset(kTableColumns, {TableRow("s", "t.1", "TABLE"), TableRow("s", "v", "VIEW")});
            if (schema == ado::adSchemaColumns) {
                std::vector<std::vector<_variant_t>> rows;
                for (const char* name : r[2].ToString() == "t.1" ? std::vector<const char*>{"a", "b\"c", "c"}
                                                                  : std::vector<const char*>{"x", "y"})
                    rows.push_back({_variant_t(), _variant_t("s"), r[2], _variant_t(name), _variant_t("3"),
                                    _variant_t(), _variant_t(), _variant_t(), _variant_t(), _variant_t(), _variant_t()});
                return Rowset(kColumnColumns, rows);
            }
            throw _com_error(E_NOTIMPL);
        };
        Build().ResetTree();
        Expand("Tables");
        Expand("Views");
        Expand("Tables|t.1 (s)");
        Expand("Views|v (s)");
    }
};

TEST(SchemaRules, SelectForObjectsAndColumns)
{
    StatementFixture f;
    // A table: its columns in the provider's order, each name quoted on its own.
    f.Select("Tables|t.1 (s)");
    wxString objectName;
    EXPECT_EQ(f.m_model->BuildSelectStatement(5, &objectName), "SELECT \"a\", \"b\"\"c\", \"c\" FROM \"s\".\"t.1\"");
    EXPECT_EQ(objectName, "\"s\".\"t.1\"");
    EXPECT_EQ(f.m_model->BuildSelectStatement(0), "SELECT \"a\", \"b\"\"c\", \"c\" FROM \"s\".\"t.1\" WHERE 1 = 2");
    // One column: that column; the object name is the qualified column.
    f.Select("Tables|t.1 (s)|c");
    EXPECT_EQ(f.m_model->BuildSelectStatement(-1, &objectName), "SELECT \"c\" FROM \"s\".\"t.1\"");
    EXPECT_EQ(objectName, "\"s\".\"t.1\".\"c\"");
    // Several selected columns: the caret's selected siblings in tree order; selected columns of
    // another object do not count.
    f.m_tree.SetSelected(Find(f.m_tree, "Tables|t.1 (s)|a"), true);
    f.m_tree.SetSelected(Find(f.m_tree, "Views|v (s)|y"), true);
    EXPECT_EQ(f.m_model->BuildSelectStatement(-1, &objectName), "SELECT \"a\", \"c\" FROM \"s\".\"t.1\"");
    EXPECT_EQ(objectName, "\"s\".\"t.1\"._");
    // Two selected, none of them the caret's siblings: no statement without columns.
    f.m_tree.SetSelected(Find(f.m_tree, "Tables|t.1 (s)|a"), false);
    f.m_tree.SetSelected(Find(f.m_tree, "Tables|t.1 (s)|c"), false);
    f.m_tree.SetSelected(Find(f.m_tree, "Views|v (s)|x"), true);
    EXPECT_EQ(f.m_model->BuildSelectStatement(-1), "");
    // A sorted view lists its columns as the tree shows them.
    const TreeItem view = f.Select("Views|v (s)");
    f.m_tree.SetKind(view, kindViewSortedDescending);
    const TreeItem x = Find(f.m_tree, "Views|v (s)|x");
    const TreeItem y = Find(f.m_tree, "Views|v (s)|y");
    CSchemaItemData* xData = f.m_tree.GetData(x);
    f.m_tree.Delete(x);
    f.m_tree.InsertItemAfter(view, y, "x", kindColumn, false, xData);
    EXPECT_EQ(f.m_model->BuildSelectStatement(-1), "SELECT \"y\", \"x\" FROM \"s\".\"v\"");
    // Folders and markers give nothing; neither does a window searching files.
    f.Select("Tables");
    EXPECT_EQ(f.m_model->BuildSelectStatement(-1), "");
    f.Select("Tables|t.1 (s)");
    f.m_host.m_bFindInFiles = true;
    EXPECT_EQ(f.m_model->BuildSelectStatement(-1), "");
}

TEST(SchemaRules, ColumnListsFallBackToAllColumns)
{
    StatementFixture f;
    f.Select("Tables|t.1 (s)");
    // The column rowset fails now: every column by name.*; no message.
    f.m_host.m_openSchema = [](ado::SchemaEnum, const std::vector<_variant_t>&) -> ado::RecordsetPtr {
        throw _com_error(E_FAIL);
    };
    EXPECT_EQ(f.m_model->BuildSelectStatement(-1), "SELECT \"s\".\"t.1\".* FROM \"s\".\"t.1\"");
    EXPECT_TRUE(f.m_host.m_messages.empty());
    EXPECT_EQ(f.m_host.m_statusTexts.back(), "");
    // Without quote characters the names go as they are.
    f.m_host.m_strQuotePrefix = f.m_host.m_strQuoteSuffix = "";
    f.m_host.m_openSchema = [](ado::SchemaEnum, const std::vector<_variant_t>&) {
        return Rowset(kColumnColumns, {{_variant_t(), _variant_t("s"), _variant_t("t.1"), _variant_t("only"),
                                        _variant_t("3"), _variant_t(), _variant_t(), _variant_t(), _variant_t(),
                                        _variant_t(), _variant_t()}});
    };
    EXPECT_EQ(f.m_model->BuildSelectStatement(-1), "SELECT only FROM s.t.1");
}

TEST(SchemaRules, SelectionRulesAllowSiblingColumnsOnly)
{
    StatementFixture f;
    using Where = CMultiSelectTree::Where;
    CSchemaTreeModel& m = *f.m_model;
    const TreeItem a = Find(f.m_tree, "Tables|t.1 (s)|a");
    const TreeItem c = Find(f.m_tree, "Tables|t.1 (s)|c");
    const TreeItem x = Find(f.m_tree, "Views|v (s)|x");
    const TreeItem table = Find(f.m_tree, "Tables|t.1 (s)");
    // The first press on a column selects it alone and remembers its parent.
    m.OnLButtonDown(a, Where::Label, false, false, 0, 0);
    m.OnLButtonDown(c, Where::Label, false, true, 0, 0);
    EXPECT_EQ(SelectedTexts(f.m_tree), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(m.GetLastSelectionParent(), table);
    // Ctrl+click on a column of another object, or on the table, replaces the selection.
    m.OnLButtonDown(x, Where::Label, false, true, 0, 0);
    EXPECT_EQ(SelectedTexts(f.m_tree), std::vector<std::string>{"x"});
    m.OnLButtonDown(table, Where::Label, false, true, 0, 0);
    EXPECT_EQ(SelectedTexts(f.m_tree), std::vector<std::string>{"t.1 (s)"});
    // Keys: Down from the table onto its first column selects that column alone; Shift+Down
    // then extends among its siblings.
    m.OnKeyDown(CMultiSelectTree::Key::Down, false);
    EXPECT_EQ(SelectedTexts(f.m_tree), std::vector<std::string>{"a"});
    m.OnKeyDown(CMultiSelectTree::Key::Down, true);
    EXPECT_EQ(SelectedTexts(f.m_tree), (std::vector<std::string>{"a", "b\"c"}));
    // Collapsing the table clears the selection inside it.
    f.m_tree.Collapse(table);
    EXPECT_TRUE(SelectedTexts(f.m_tree).empty());
    EXPECT_EQ(f.m_selection.GetSelectedCount(false), 0u);
}

TEST(SchemaRules, DeletedItemsLeaveNoReferences)
{
    StatementFixture f;
    using Where = CMultiSelectTree::Where;
    CSchemaTreeModel& m = *f.m_model;
    const TreeItem table = Find(f.m_tree, "Tables|t.1 (s)");
    m.OnLButtonDown(Find(f.m_tree, "Tables|t.1 (s)|a"), Where::Label, false, false, 0, 0);
    ASSERT_EQ(m.GetLastSelectionParent(), table);
    // Refresh of the folder deletes the table and its columns; their addresses are reused.
    f.Select("Tables");
    m.OnRefresh();
    EXPECT_FALSE(m.GetLastSelectionParent());
    // The reloaded table's column is not taken for a sibling of the old selection.
    const TreeItem newTable = f.Expand("Tables|t.1 (s)");
    const TreeItem newA = Find(f.m_tree, "Tables|t.1 (s)|a");
    m.OnLButtonDown(newA, Where::Label, false, true, 0, 0);
    EXPECT_EQ(SelectedTexts(f.m_tree), std::vector<std::string>{"a"});
    EXPECT_EQ(m.GetLastSelectionParent(), newTable);
}

TEST(SchemaRules, RefreshOfTheConnectionKeepsNoStaleData)
{
    StatementFixture f;
    CSchemaTreeModel& m = *f.m_model;
    f.m_tree.Collapse(Find(f.m_tree, "Views|v (s)"));
    f.Select("");
    f.m_tree.SetCaret(f.m_tree.GetRoot());
    m.OnRefresh();
    EXPECT_EQ(f.m_host.m_nTitleUpdates, 1);
    // The shape comes back: the table open with its columns, the view loaded but closed.
    const TreeItem table = Find(f.m_tree, "Tables|t.1 (s)");
    ASSERT_TRUE(table);
    EXPECT_TRUE(f.m_tree.IsExpanded(table));
    EXPECT_EQ(ChildTexts(f.m_tree, table).size(), 3u);
    const TreeItem view = Find(f.m_tree, "Views|v (s)");
    EXPECT_TRUE(f.m_tree.IsLoaded(view));
    EXPECT_FALSE(f.m_tree.IsExpanded(view));
    // Every item's data is an element the model lists now.
    for (TreeItem item : AllItems(f.m_tree)) {
        CSchemaItemData* data = f.m_tree.GetData(item);
        if (!data)
            continue;
        bool listed = false;
        for (int kind : {kindTable, kindView}) {
            for (const CSchemaNodeData& d : m.GetObjectList(kind))
                listed = listed || &d == data;
        }
        for (const CSchemaColumnData& d : m.GetColumnDataList())
            listed = listed || &d == data;
        EXPECT_TRUE(listed) << f.m_tree.GetText(item);
    }
    EXPECT_EQ(f.m_host.m_statusTexts.back(), "");
    EXPECT_EQ(f.m_tree.UpdateDepth(), 0);
}

TEST(SchemaRules, ShowAllObjectsSwitchesFoldersAndSettings)
{
    StatementFixture f;
    CSchemaTreeModel& m = *f.m_model;
    const TreeItem root = f.m_tree.GetRoot();
    f.m_tree.SetCaret(root);
    EXPECT_EQ(m.GetShowAllState(), std::optional<bool>(true));
    m.OnShowAllObjects();
    EXPECT_EQ(ChildTexts(f.m_tree, root), (std::vector<std::string>{"Tables", "Views", "Procedures/Functions"}));
    EXPECT_EQ(settings::ReadInt(settings::ShowAllRoot, *f.m_store), 0);
    EXPECT_EQ(settings::ReadInt(settings::ShowAllTables, *f.m_store), 0);
    m.OnShowAllObjects();
    EXPECT_EQ(ChildTexts(f.m_tree, root),
              (std::vector<std::string>{"Tables", "Views", "System Tables", "Aliases/Synonyms", "Temporary Tables",
                                        "Procedures/Functions"}));
    EXPECT_EQ(settings::ReadInt(settings::ShowAllViews, *f.m_store), 1);
    // The Tables folder: its own flag, and the folder reloaded with the user's schema.
    f.m_host.m_connection.m_strUserId = "s";
    f.Select("Tables");
    m.OnShowAllObjects();
    EXPECT_EQ(settings::ReadInt(settings::ShowAllTables, *f.m_store), 0);
    EXPECT_EQ(settings::ReadInt(settings::ShowAllViews, *f.m_store), 1);
    const auto tablesCall = std::find_if(f.m_host.m_calls.rbegin(), f.m_host.m_calls.rend(),
                                         [](const auto& call) { return call.schema == ado::adSchemaTables; });
    ASSERT_NE(tablesCall, f.m_host.m_calls.rend());
    EXPECT_EQ(Texts(tablesCall->restrictions), (std::vector<std::string>{"<empty>", "s", "<empty>", "'TABLE'"}));
    // A table node: nothing changes, nothing is written.
    f.Select("Tables|t.1 (s)");
    EXPECT_FALSE(m.GetShowAllState());
    m.OnShowAllObjects();
    EXPECT_EQ(settings::ReadInt(settings::ShowAllTables, *f.m_store), 0);
}

} // namespace
