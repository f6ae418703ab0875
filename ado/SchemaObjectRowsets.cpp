#include "SchemaReader.h"

#include <map>

namespace ado::detail::schema {

RecordsetPtr SchemaReader::Catalogs()
{
    Expect(1);
    RowsetBuilder b = Builder({NameCol("CATALOG_NAME"), TextCol("DESCRIPTION")});
    b.Restrict(0, R(0));
    if (!m_facts.catalogs)
        return b.Done();
    CatalogStatement st(m_hdbc, m_traits, m_errors);
    CatalogArg all{std::string(SQL_ALL_CATALOGS)}, none{std::string()};
    st.Check(st.Call(SQLTables, SQLTablesW, all, none, none, CatalogArg()));
    while (st.Fetch()) {
        Row r = st.ReadRow(5);
        b.Add({Str(r[0]), Str(r[4])});
    }
    return b.Done();
}

RecordsetPtr SchemaReader::Tables()
{
    Expect(4);
    RowsetBuilder b = Builder({NameCol("TABLE_CATALOG"), NameCol("TABLE_SCHEMA"), NameCol("TABLE_NAME"),
                               NameCol("TABLE_TYPE"), Col("TABLE_GUID", adGUID), TextCol("DESCRIPTION"),
                               Col("TABLE_PROPID", adUnsignedInt), Col("DATE_CREATED", adDate),
                               Col("DATE_MODIFIED", adDate)});
    RestrictCatalog(b, 0, 0);
    RestrictSchema(b, 1, 1);
    b.Restrict(2, R(2));
    b.Restrict(3, R(3), Match::TypeList);

    CatalogStatement st(m_hdbc, m_traits, m_errors);
    // The catalog is matched here rather than passed: drivers disagree on whether SQLTables
    // takes it as a pattern.
    CatalogArg schema(Pattern(SchemaText(1))), table(Pattern(Text(2))), types(Text(3));
    st.Check(st.Call(SQLTables, SQLTablesW, CatalogArg(), schema, table, types));
    while (st.Fetch()) {
        Row r = st.ReadRow(5);
        b.Add({CatalogValue(r[0]), SchemaValue(r[1]), MoveStr(std::move(r[2])), MoveStr(std::move(r[3])), Null(),
               MoveStr(std::move(r[4])), Null(), Null(), Null()});
    }
    return b.Done();
}

RecordsetPtr SchemaReader::Columns()
{
    Expect(4);
    RowsetBuilder b = Builder(
        {NameCol("TABLE_CATALOG"), NameCol("TABLE_SCHEMA"), NameCol("TABLE_NAME"), NameCol("COLUMN_NAME"),
         Col("COLUMN_GUID", adGUID), Col("COLUMN_PROPID", adUnsignedInt), Col("ORDINAL_POSITION", adUnsignedInt),
         Col("COLUMN_HASDEFAULT", adBoolean), LongTextCol("COLUMN_DEFAULT"), Col("COLUMN_FLAGS", adUnsignedInt),
         Col("IS_NULLABLE", adBoolean), Col("DATA_TYPE", adUnsignedSmallInt), Col("TYPE_GUID", adGUID),
         Col("CHARACTER_MAXIMUM_LENGTH", adUnsignedInt), Col("CHARACTER_OCTET_LENGTH", adUnsignedInt),
         Col("NUMERIC_PRECISION", adUnsignedSmallInt), Col("NUMERIC_SCALE", adSmallInt),
         Col("DATETIME_PRECISION", adUnsignedInt), NameCol("CHARACTER_SET_CATALOG"),
         NameCol("CHARACTER_SET_SCHEMA"), NameCol("CHARACTER_SET_NAME"), NameCol("COLLATION_CATALOG"),
         NameCol("COLLATION_SCHEMA"), NameCol("COLLATION_NAME"), NameCol("DOMAIN_CATALOG"),
         NameCol("DOMAIN_SCHEMA"), NameCol("DOMAIN_NAME"), TextCol("DESCRIPTION")});
    RestrictCatalog(b, 0, 0);
    RestrictSchema(b, 1, 1);
    b.Restrict(2, R(2));
    b.Restrict(3, R(3));

    CatalogStatement st(m_hdbc, m_traits, m_errors);
    CatalogArg catalog(CatalogText(0)), schema(Pattern(SchemaText(1))), table(Pattern(Text(2))),
        column(Pattern(Text(3)));
    st.Check(st.Call(SQLColumns, SQLColumnsW, catalog, schema, table, column));
    while (st.Fetch()) {
        Row r = st.ReadRow(17);
        OptInt sqlType = ToInt(r[4]);
        TypeDetails d = Describe(sqlType, ToInt(r[6]), ToInt(r[8]), ToInt(r[15]));
        std::optional<bool> nullable = Nullable(ToInt(r[10]));
        // The driver writes an explicit NULL default as the word NULL; a NULL default is no
        // default at all (and some drivers report it for every column).
        OptText defaultText = r[12] == OptText("NULL") ? std::nullopt : r[12];
        bool hasDefault = defaultText.has_value();
        uint32_t flags = 0x8; // DBCOLUMNFLAGS_WRITEUNKNOWN
        if (sqlType && !IsVariableLength(*sqlType))
            flags |= 0x10; // ISFIXEDLENGTH
        if (sqlType && IsLong(*sqlType))
            flags |= 0x80; // ISLONG
        if (nullable.value_or(true))
            flags |= 0x20 | 0x40; // ISNULLABLE, MAYBENULL
        b.Add({CatalogValue(r[0]), SchemaValue(r[1]), Str(r[2]), Str(r[3]), Null(), Null(), UInt32(ToInt(r[16])),
               _variant_t(hasDefault), Str(defaultText), UInt32(flags), Bool(nullable), d.dataType, Null(),
               d.maxLength, d.octetLength, d.precision, d.scale, d.datetimePrecision, Null(), Null(), Null(),
               Null(), Null(), Null(), Null(), Null(), Null(), Str(r[11])});
    }
    return b.Done();
}

RecordsetPtr SchemaReader::PrimaryKeys()
{
    Expect(3);
    RequireFunction(SQL_API_SQLPRIMARYKEYS);
    RowsetBuilder b = Builder({NameCol("TABLE_CATALOG"), NameCol("TABLE_SCHEMA"), NameCol("TABLE_NAME"),
                               NameCol("COLUMN_NAME"), Col("COLUMN_GUID", adGUID),
                               Col("COLUMN_PROPID", adUnsignedInt), Col("ORDINAL", adUnsignedInt),
                               NameCol("PK_NAME")});
    RestrictCatalog(b, 0, 0);
    RestrictSchema(b, 1, 1);
    b.Restrict(2, R(2));

    const std::vector<TableId> tables = TablesToAsk(2);
    CatalogStatement st(m_hdbc, m_traits, m_errors);
    for (const TableId& t : tables) {
        CatalogArg catalog(t.catalog), schema(t.schema), table(t.name);
        st.Check(st.Call(SQLPrimaryKeys, SQLPrimaryKeysW, catalog, schema, table));
        while (st.Fetch()) {
            Row r = st.ReadRow(6);
            b.Add({CatalogValue(r[0]), SchemaValue(r[1]), Str(r[2]), Str(r[3]), Null(), Null(), UInt32(ToInt(r[4])),
                   Str(r[5])});
        }
        st.CloseCursor();
    }
    return b.Done();
}

namespace {

_variant_t RuleText(OptInt rule)
{
    if (!rule)
        return Null();
    switch (*rule) {
    case SQL_CASCADE: return _variant_t("CASCADE");
    case SQL_SET_NULL: return _variant_t("SET NULL");
    case SQL_SET_DEFAULT: return _variant_t("SET DEFAULT");
    case SQL_NO_ACTION: return _variant_t("NO ACTION");
    // Not one of the four SQL-92 rules, but what the database does; NO ACTION would be wrong
    // where the database tells the two apart.
    case SQL_RESTRICT: return _variant_t("RESTRICT");
    default: return Null();
    }
}

_variant_t Deferrability(OptInt v)
{
    switch (v.value_or(-1)) {
    case SQL_INITIALLY_DEFERRED: return Int16(1);
    case SQL_INITIALLY_IMMEDIATE: return Int16(2);
    case SQL_NOT_DEFERRABLE: return Int16(3);
    default: return Null();
    }
}

} // namespace

RecordsetPtr SchemaReader::ForeignKeys()
{
    Expect(6);
    RequireFunction(SQL_API_SQLFOREIGNKEYS);
    RowsetBuilder b = Builder(
        {NameCol("PK_TABLE_CATALOG"), NameCol("PK_TABLE_SCHEMA"), NameCol("PK_TABLE_NAME"),
         NameCol("PK_COLUMN_NAME"), Col("PK_COLUMN_GUID", adGUID), Col("PK_COLUMN_PROPID", adUnsignedInt),
         NameCol("FK_TABLE_CATALOG"), NameCol("FK_TABLE_SCHEMA"), NameCol("FK_TABLE_NAME"),
         NameCol("FK_COLUMN_NAME"), Col("FK_COLUMN_GUID", adGUID), Col("FK_COLUMN_PROPID", adUnsignedInt),
         Col("ORDINAL", adUnsignedInt), NameCol("UPDATE_RULE"), NameCol("DELETE_RULE"), NameCol("PK_NAME"),
         NameCol("FK_NAME"), Col("DEFERRABILITY", adSmallInt)});
    RestrictCatalog(b, 0, 0);
    RestrictSchema(b, 1, 1);
    b.Restrict(2, R(2));
    RestrictCatalog(b, 6, 3);
    RestrictSchema(b, 7, 4);
    b.Restrict(8, R(5));

    struct Sides {
        TableId pk, fk;
    };
    std::vector<Sides> calls;
    if (Text(2) || Text(5)) {
        calls.push_back({{CatalogText(0), SchemaText(1), Text(2)}, {CatalogText(3), SchemaText(4), Text(5)}});
    } else {
        // The driver needs one of the two table names: every table is asked as the referencing one.
        for (TableId& t : ListTables(CatalogText(3), SchemaText(4)))
            calls.push_back({{CatalogText(0), SchemaText(1), std::nullopt}, t});
    }
    CatalogStatement st(m_hdbc, m_traits, m_errors);
    for (const Sides& c : calls) {
        CatalogArg pkCatalog(c.pk.catalog), pkSchema(c.pk.schema), pkTable(c.pk.name), fkCatalog(c.fk.catalog),
            fkSchema(c.fk.schema), fkTable(c.fk.name);
        st.Check(st.Call(SQLForeignKeys, SQLForeignKeysW, pkCatalog, pkSchema, pkTable, fkCatalog, fkSchema, fkTable));
        while (st.Fetch()) {
            Row r = st.ReadRow(14);
            b.Add({CatalogValue(r[0]), SchemaValue(r[1]), Str(r[2]), Str(r[3]), Null(), Null(), CatalogValue(r[4]),
                   SchemaValue(r[5]), Str(r[6]), Str(r[7]), Null(), Null(), UInt32(ToInt(r[8])),
                   RuleText(ToInt(r[9])), RuleText(ToInt(r[10])), Str(r[12]), Str(r[11]),
                   Deferrability(ToInt(r[13]))});
        }
        st.CloseCursor();
    }
    return b.Done();
}

RecordsetPtr SchemaReader::Indexes()
{
    Expect(5);
    RequireFunction(SQL_API_SQLSTATISTICS);
    RowsetBuilder b = Builder(
        {NameCol("TABLE_CATALOG"), NameCol("TABLE_SCHEMA"), NameCol("TABLE_NAME"), NameCol("INDEX_CATALOG"),
         NameCol("INDEX_SCHEMA"), NameCol("INDEX_NAME"), Col("PRIMARY_KEY", adBoolean), Col("UNIQUE", adBoolean),
         Col("CLUSTERED", adBoolean), Col("TYPE", adUnsignedSmallInt), Col("FILL_FACTOR", adInteger),
         Col("INITIAL_SIZE", adInteger), Col("NULLS", adInteger), Col("SORT_BOOKMARKS", adBoolean),
         Col("AUTO_UPDATE", adBoolean), Col("NULL_COLLATION", adInteger), Col("ORDINAL_POSITION", adUnsignedInt),
         NameCol("COLUMN_NAME"), Col("COLUMN_GUID", adGUID), Col("COLUMN_PROPID", adUnsignedInt),
         Col("COLLATION", adSmallInt), Col("CARDINALITY", adUnsignedBigInt), Col("PAGES", adInteger),
         LongTextCol("FILTER_CONDITION"), Col("INTEGRATED", adBoolean)});
    RestrictCatalog(b, 0, 0);
    RestrictSchema(b, 1, 1);
    b.Restrict(5, R(2));
    b.Restrict(9, R(3), Match::Number);
    b.Restrict(2, R(4));

    const std::vector<TableId> tables = TablesToAsk(4);
    const bool keys = DriverSupports(m_hdbc, SQL_API_SQLPRIMARYKEYS);
    CatalogStatement st(m_hdbc, m_traits, m_errors);
    for (const TableId& t : tables) {
        CatalogArg catalog(t.catalog), schema(t.schema), table(t.name);
        st.Check(st.Call(SQLStatistics, SQLStatisticsW, catalog, schema, table, SQL_INDEX_ALL, SQL_QUICK));
        std::vector<Row> rows;
        while (st.Fetch()) {
            Row r = st.ReadRow(13);
            if (ToInt(r[6]) != SQL_TABLE_STAT)
                rows.push_back(std::move(r));
        }
        st.CloseCursor();
        if (rows.empty())
            continue;

        // ODBC has no primary-key flag on indexes: an index is the key's when it carries the
        // key's name, or (where no index has that name) is unique on exactly its columns.
        OptText pkName;
        std::vector<std::string> pkColumns;
        if (keys) {
            st.Check(st.Call(SQLPrimaryKeys, SQLPrimaryKeysW, catalog, schema, table));
            std::map<int64_t, std::string> ordered;
            while (st.Fetch()) {
                Row k = st.ReadRow(6);
                pkName = k[5];
                ordered[ToInt(k[4]).value_or(static_cast<int64_t>(ordered.size()) + 1)] = k[3].value_or("");
            }
            st.CloseCursor();
            for (auto& [seq, column] : ordered)
                pkColumns.push_back(column);
        }
        std::map<std::string, std::vector<std::string>> indexColumns;
        for (const Row& r : rows)
            indexColumns[r[5].value_or("")].push_back(r[8].value_or(""));
        const bool byName = pkName && indexColumns.count(*pkName) > 0;
        auto isPrimaryKey = [&](const Row& r) {
            if (pkColumns.empty())
                return false;
            if (byName)
                return r[5] == pkName;
            return ToInt(r[3]) == 0 && indexColumns[r[5].value_or("")] == pkColumns;
        };

        for (const Row& r : rows) {
            OptInt type = ToInt(r[6]);
            OptInt nonUnique = ToInt(r[3]);
            _variant_t indexType = Null();
            if (type == SQL_INDEX_HASHED)
                indexType = UInt16(2); // DBPROPVAL_IT_HASH
            else if (type == SQL_INDEX_OTHER)
                indexType = UInt16(4); // DBPROPVAL_IT_OTHER
            _variant_t collation = Null();
            if (r[9] == OptText("A"))
                collation = Int16(1); // DB_COLLATION_ASC
            else if (r[9] == OptText("D"))
                collation = Int16(2); // DB_COLLATION_DESC
            b.Add({CatalogValue(r[0]), SchemaValue(r[1]), Str(r[2]), CatalogValue(r[0]), SchemaValue(r[1]),
                   Str(r[5]), _variant_t(isPrimaryKey(r)), nonUnique ? _variant_t(*nonUnique == 0) : Null(),
                   type ? _variant_t(*type == SQL_INDEX_CLUSTERED) : Null(), indexType, Null(), Null(), Null(),
                   Null(), Null(), Null(), UInt32(ToInt(r[7])), Str(r[8]), Null(), Null(), collation,
                   UInt64(ToInt(r[10])), Int32(ToInt(r[11])), Str(r[12]), Null()});
        }
    }
    return b.Done();
}

RecordsetPtr SchemaReader::Procedures()
{
    Expect(4);
    RequireFunction(SQL_API_SQLPROCEDURES);
    RowsetBuilder b = Builder({NameCol("PROCEDURE_CATALOG"), NameCol("PROCEDURE_SCHEMA"),
                               NameCol("PROCEDURE_NAME"), Col("PROCEDURE_TYPE", adSmallInt),
                               LongTextCol("PROCEDURE_DEFINITION"), TextCol("DESCRIPTION"),
                               Col("DATE_CREATED", adDate), Col("DATE_MODIFIED", adDate)});
    RestrictCatalog(b, 0, 0);
    RestrictSchema(b, 1, 1);
    b.Restrict(2, R(2));
    b.Restrict(3, R(3), Match::Number);

    CatalogStatement st(m_hdbc, m_traits, m_errors);
    CatalogArg catalog(CatalogText(0)), schema(Pattern(SchemaText(1))), name(Pattern(Text(2)));
    st.Check(st.Call(SQLProcedures, SQLProceduresW, catalog, schema, name));
    while (st.Fetch()) {
        Row r = st.ReadRow(8);
        // SQL_PT_UNKNOWN, SQL_PT_PROCEDURE, SQL_PT_FUNCTION -> DB_PT_UNKNOWN, _PROCEDURE, _FUNCTION
        OptInt type = ToInt(r[7]);
        int64_t procedureType = type && *type >= 0 && *type <= 2 ? *type + 1 : 1;
        b.Add({CatalogValue(r[0]), SchemaValue(r[1]), Str(r[2]), Int16(procedureType), Null(), Str(r[6]), Null(),
               Null()});
    }
    return b.Done();
}

// PROCEDURE_PARAMETERS (parameters and return value) and PROCEDURE_COLUMNS (result-set
// columns) come from the same catalog function.
RecordsetPtr SchemaReader::ProcedureColumns(bool parameters)
{
    Expect(4);
    RequireFunction(SQL_API_SQLPROCEDURECOLUMNS);
    std::vector<MemoryColumn> columns;
    if (parameters)
        columns = {NameCol("PROCEDURE_CATALOG"), NameCol("PROCEDURE_SCHEMA"), NameCol("PROCEDURE_NAME"),
                   NameCol("PARAMETER_NAME"), Col("ORDINAL_POSITION", adUnsignedSmallInt),
                   Col("PARAMETER_TYPE", adUnsignedSmallInt), Col("PARAMETER_HASDEFAULT", adBoolean),
                   LongTextCol("PARAMETER_DEFAULT"), Col("IS_NULLABLE", adBoolean),
                   Col("DATA_TYPE", adUnsignedSmallInt), Col("CHARACTER_MAXIMUM_LENGTH", adUnsignedInt),
                   Col("CHARACTER_OCTET_LENGTH", adUnsignedInt), Col("NUMERIC_PRECISION", adUnsignedSmallInt),
                   Col("NUMERIC_SCALE", adSmallInt), TextCol("DESCRIPTION"), NameCol("TYPE_NAME"),
                   NameCol("LOCAL_TYPE_NAME")};
    else
        columns = {NameCol("PROCEDURE_CATALOG"), NameCol("PROCEDURE_SCHEMA"), NameCol("PROCEDURE_NAME"),
                   NameCol("COLUMN_NAME"), Col("COLUMN_GUID", adGUID), Col("COLUMN_PROPID", adUnsignedInt),
                   Col("ROWSET_NUMBER", adInteger), Col("ORDINAL_POSITION", adInteger),
                   Col("IS_NULLABLE", adBoolean), Col("DATA_TYPE", adUnsignedSmallInt), Col("TYPE_GUID", adGUID),
                   Col("CHARACTER_MAXIMUM_LENGTH", adUnsignedInt), Col("CHARACTER_OCTET_LENGTH", adUnsignedInt),
                   Col("NUMERIC_PRECISION", adUnsignedSmallInt), Col("NUMERIC_SCALE", adSmallInt),
                   TextCol("DESCRIPTION")};
    RowsetBuilder b = Builder(std::move(columns));
    RestrictCatalog(b, 0, 0);
    RestrictSchema(b, 1, 1);
    b.Restrict(2, R(2));
    b.Restrict(3, R(3));

    // The column name is matched here only: some drivers find nothing when it is passed.
    CatalogStatement st(m_hdbc, m_traits, m_errors);
    CatalogArg catalog(CatalogText(0)), schema(Pattern(SchemaText(1))), name(Pattern(Text(2)));
    st.Check(st.Call(SQLProcedureColumns, SQLProcedureColumnsW, catalog, schema, name, CatalogArg()));
    while (st.Fetch()) {
        Row r = st.ReadRow(18);
        OptInt kind = ToInt(r[4]);
        if ((kind == SQL_RESULT_COL) == parameters)
            continue;
        TypeDetails d = Describe(ToInt(r[5]), ToInt(r[7]), ToInt(r[9]), ToInt(r[16]));
        std::optional<bool> nullable = Nullable(ToInt(r[11]));
        if (parameters) {
            // SQL_PARAM_INPUT, _INPUT_OUTPUT, _OUTPUT, SQL_RETURN_VALUE -> DBPARAMTYPE_INPUT,
            // _INPUTOUTPUT, _OUTPUT, _RETURNVALUE; 0 stays for a direction the driver does not know.
            int64_t direction = 0;
            switch (kind.value_or(SQL_PARAM_TYPE_UNKNOWN)) {
            case SQL_PARAM_INPUT: direction = 1; break;
            case SQL_PARAM_INPUT_OUTPUT: direction = 2; break;
            case SQL_PARAM_OUTPUT: direction = 3; break;
            case SQL_RETURN_VALUE: direction = 4; break;
            default: break;
            }
            b.Add({CatalogValue(r[0]), SchemaValue(r[1]), Str(r[2]), Str(r[3]), UInt16(ToInt(r[17])),
                   UInt16(direction), _variant_t(r[13].has_value()), Str(r[13]), Bool(nullable), d.dataType,
                   d.maxLength, d.octetLength, d.precision, d.scale, Str(r[12]), Str(r[6]), Str(r[6])});
        } else {
            b.Add({CatalogValue(r[0]), SchemaValue(r[1]), Str(r[2]), Str(r[3]), Null(), Null(), Int32(1),
                   Int32(ToInt(r[17])), Bool(nullable), d.dataType, Null(), d.maxLength, d.octetLength,
                   d.precision, d.scale, Str(r[12])});
        }
    }
    return b.Done();
}

namespace {

std::vector<MemoryColumn> PrivilegeColumns(bool withColumn)
{
    std::vector<MemoryColumn> c = {NameCol("GRANTOR"), NameCol("GRANTEE"), NameCol("TABLE_CATALOG"),
                                   NameCol("TABLE_SCHEMA"), NameCol("TABLE_NAME")};
    if (withColumn) {
        c.push_back(NameCol("COLUMN_NAME"));
        c.push_back(Col("COLUMN_GUID", adGUID));
        c.push_back(Col("COLUMN_PROPID", adUnsignedInt));
    }
    c.push_back(NameCol("PRIVILEGE_TYPE"));
    c.push_back(Col("IS_GRANTABLE", adBoolean));
    return c;
}

_variant_t YesNoValue(const OptText& text) { return Bool(YesNo(text)); }

} // namespace

RecordsetPtr SchemaReader::TablePrivileges()
{
    // The SQLite driver invents rows with an empty grantee for every table.
    if (IsSQLite())
        NotSupported();
    // The standard view lists every grantee; some drivers' catalog function leaves out PUBLIC
    // and the roles.
    if (HasInformationSchemaView("table_privileges"))
        return QueryView("table_privileges", PrivilegeColumns(false),
                         {{"grantor"}, {"grantee"}, {"table_catalog"}, {"table_schema"}, {"table_name"},
                          {"privilege_type"}, {"is_grantable", YesNoValue}},
                         {"table_catalog", "table_schema", "table_name", "grantor", "grantee"},
                         "table_catalog, table_schema, table_name, privilege_type, grantee");
    Expect(5);
    RequireFunction(SQL_API_SQLTABLEPRIVILEGES);
    RowsetBuilder b = Builder(PrivilegeColumns(false));
    RestrictCatalog(b, 2, 0);
    RestrictSchema(b, 3, 1);
    b.Restrict(4, R(2));
    b.Restrict(0, R(3));
    b.Restrict(1, R(4));
    CatalogStatement st(m_hdbc, m_traits, m_errors);
    CatalogArg catalog(CatalogText(0)), schema(Pattern(SchemaText(1))), table(Pattern(Text(2)));
    st.Check(st.Call(SQLTablePrivileges, SQLTablePrivilegesW, catalog, schema, table));
    while (st.Fetch()) {
        Row r = st.ReadRow(7);
        b.Add({Str(r[3]), Str(r[4]), CatalogValue(r[0]), SchemaValue(r[1]), Str(r[2]), Str(r[5]), YesNoValue(r[6])});
    }
    return b.Done();
}

RecordsetPtr SchemaReader::ColumnPrivileges()
{
    if (IsSQLite())
        NotSupported();
    if (HasInformationSchemaView("column_privileges"))
        return QueryView("column_privileges", PrivilegeColumns(true),
                         {{"grantor"}, {"grantee"}, {"table_catalog"}, {"table_schema"}, {"table_name"},
                          {"column_name"}, {nullptr}, {nullptr}, {"privilege_type"}, {"is_grantable", YesNoValue}},
                         {"table_catalog", "table_schema", "table_name", "column_name", "grantor", "grantee"},
                         "table_catalog, table_schema, table_name, column_name, privilege_type, grantee");
    Expect(6);
    RequireFunction(SQL_API_SQLCOLUMNPRIVILEGES);
    RowsetBuilder b = Builder(PrivilegeColumns(true));
    RestrictCatalog(b, 2, 0);
    RestrictSchema(b, 3, 1);
    b.Restrict(4, R(2));
    b.Restrict(5, R(3));
    b.Restrict(0, R(4));
    b.Restrict(1, R(5));
    const std::vector<TableId> tables = TablesToAsk(2);
    CatalogStatement st(m_hdbc, m_traits, m_errors);
    CatalogArg column(Pattern(Text(3)));
    for (const TableId& t : tables) {
        CatalogArg catalog(t.catalog), schema(t.schema), table(t.name);
        st.Check(st.Call(SQLColumnPrivileges, SQLColumnPrivilegesW, catalog, schema, table, column));
        while (st.Fetch()) {
            Row r = st.ReadRow(8);
            b.Add({Str(r[4]), Str(r[5]), CatalogValue(r[0]), SchemaValue(r[1]), Str(r[2]), Str(r[3]), Null(),
                   Null(), Str(r[6]), YesNoValue(r[7])});
        }
        st.CloseCursor();
    }
    return b.Done();
}

RecordsetPtr SchemaReader::TableConstraints()
{
    // ODBC has no catalog function for constraints: only the standard view knows them.
    if (!HasInformationSchemaView("table_constraints"))
        NotSupported();
    return QueryView("table_constraints",
                     {NameCol("CONSTRAINT_CATALOG"), NameCol("CONSTRAINT_SCHEMA"), NameCol("CONSTRAINT_NAME"),
                      NameCol("TABLE_CATALOG"), NameCol("TABLE_SCHEMA"), NameCol("TABLE_NAME"),
                      NameCol("CONSTRAINT_TYPE"), Col("IS_DEFERRABLE", adBoolean),
                      Col("INITIALLY_DEFERRED", adBoolean), TextCol("DESCRIPTION")},
                     {{"constraint_catalog"}, {"constraint_schema"}, {"constraint_name"}, {"table_catalog"},
                      {"table_schema"}, {"table_name"}, {"constraint_type"}, {"is_deferrable", YesNoValue},
                      {"initially_deferred", YesNoValue}, {nullptr}},
                     {"constraint_catalog", "constraint_schema", "constraint_name", "table_catalog", "table_schema",
                      "table_name", "constraint_type"},
                     "table_catalog, table_schema, table_name, constraint_type, constraint_name");
}

RecordsetPtr SchemaReader::CheckConstraints()
{
    if (!HasInformationSchemaView("check_constraints"))
        NotSupported();
    return QueryView("check_constraints",
                     {NameCol("CONSTRAINT_CATALOG"), NameCol("CONSTRAINT_SCHEMA"), NameCol("CONSTRAINT_NAME"),
                      LongTextCol("CHECK_CLAUSE"), TextCol("DESCRIPTION")},
                     {{"constraint_catalog"}, {"constraint_schema"}, {"constraint_name"}, {"check_clause"}, {nullptr}},
                     {"constraint_catalog", "constraint_schema", "constraint_name"},
                     "constraint_catalog, constraint_schema, constraint_name");
}

} // namespace ado::detail::schema
