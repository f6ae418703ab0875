#include "SchemaRowsets.h"

#include "CatalogStatement.h"
#include "MemoryRecordset.h"

#include <strings.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

namespace ado::detail {

namespace {

using OptText = std::optional<std::string>;
using OptInt = std::optional<int64_t>;
using Row = std::vector<OptText>;

constexpr const char* kNotCapable = "Object or provider is not capable of performing requested operation.";
constexpr const char* kBadArguments =
    "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.";

// The ODBC reserved keywords; the keywords rowset lists them with the driver's own.
constexpr const char* kOdbcKeywords =
    "ABSOLUTE,ACTION,ADA,ADD,ALL,ALLOCATE,ALTER,AND,ANY,ARE,AS,ASC,ASSERTION,AT,AUTHORIZATION,AVG,"
    "BEGIN,BETWEEN,BIT,BIT_LENGTH,BOTH,BY,CASCADE,CASCADED,CASE,CAST,CATALOG,CHAR,CHAR_LENGTH,"
    "CHARACTER,CHARACTER_LENGTH,CHECK,CLOSE,COALESCE,COLLATE,COLLATION,COLUMN,COMMIT,CONNECT,"
    "CONNECTION,CONSTRAINT,CONSTRAINTS,CONTINUE,CONVERT,CORRESPONDING,COUNT,CREATE,CROSS,CURRENT,"
    "CURRENT_DATE,CURRENT_TIME,CURRENT_TIMESTAMP,CURRENT_USER,CURSOR,DATE,DAY,DEALLOCATE,DEC,"
    "DECIMAL,DECLARE,DEFAULT,DEFERRABLE,DEFERRED,DELETE,DESC,DESCRIBE,DESCRIPTOR,DIAGNOSTICS,"
    "DISCONNECT,DISTINCT,DOMAIN,DOUBLE,DROP,ELSE,END,END-EXEC,ESCAPE,EXCEPT,EXCEPTION,EXEC,EXECUTE,"
    "EXISTS,EXTERNAL,EXTRACT,FALSE,FETCH,FIRST,FLOAT,FOR,FOREIGN,FORTRAN,FOUND,FROM,FULL,GET,"
    "GLOBAL,GO,GOTO,GRANT,GROUP,HAVING,HOUR,IDENTITY,IMMEDIATE,IN,INCLUDE,INDEX,INDICATOR,"
    "INITIALLY,INNER,INPUT,INSENSITIVE,INSERT,INT,INTEGER,INTERSECT,INTERVAL,INTO,IS,ISOLATION,"
    "JOIN,KEY,LANGUAGE,LAST,LEADING,LEFT,LEVEL,LIKE,LOCAL,LOWER,MATCH,MAX,MIN,MINUTE,MODULE,MONTH,"
    "NAMES,NATIONAL,NATURAL,NCHAR,NEXT,NO,NONE,NOT,NULL,NULLIF,NUMERIC,OCTET_LENGTH,OF,ON,ONLY,"
    "OPEN,OPTION,OR,ORDER,OUTER,OUTPUT,OVERLAPS,PAD,PARTIAL,PASCAL,PLI,POSITION,PRECISION,PREPARE,"
    "PRESERVE,PRIMARY,PRIOR,PRIVILEGES,PROCEDURE,PUBLIC,READ,REAL,REFERENCES,RELATIVE,RESTRICT,"
    "REVOKE,RIGHT,ROLLBACK,ROWS,SCHEMA,SCROLL,SECOND,SECTION,SELECT,SESSION,SESSION_USER,SET,SIZE,"
    "SMALLINT,SOME,SPACE,SQL,SQLCA,SQLCODE,SQLERROR,SQLSTATE,SQLWARNING,SUBSTRING,SUM,SYSTEM_USER,"
    "TABLE,TEMPORARY,THEN,TIME,TIMESTAMP,TIMEZONE_HOUR,TIMEZONE_MINUTE,TO,TRAILING,TRANSACTION,"
    "TRANSLATE,TRANSLATION,TRIM,TRUE,UNION,UNIQUE,UNKNOWN,UPDATE,UPPER,USAGE,USER,USING,VALUE,"
    "VALUES,VARCHAR,VARYING,VIEW,WHEN,WHENEVER,WHERE,WITH,WORK,WRITE,YEAR,ZONE";

// ---- columns and values -------------------------------------------------------------------

MemoryColumn NameCol(const char* name) { return MemoryColumn::Of(name, adVarWChar, 128); }
MemoryColumn TextCol(const char* name) { return MemoryColumn::Of(name, adVarWChar, 255); }
MemoryColumn LongTextCol(const char* name) { return MemoryColumn::Of(name, adLongVarWChar, 1073741823); }
MemoryColumn Col(const char* name, DataTypeEnum type) { return MemoryColumn::Of(name, type); }

_variant_t Null() { return _variant_t::Null(); }
_variant_t Str(const OptText& text) { return text ? _variant_t(*text) : Null(); }

_variant_t UInt16(OptInt v)
{
    if (!v || *v < 0 || *v > 0xFFFF)
        return Null();
    _variant_t r = _variant_t::OfType(VT_UI2);
    r.num.uiVal = static_cast<uint16_t>(*v);
    return r;
}

_variant_t UInt32(OptInt v)
{
    if (!v || *v < 0 || *v > 0xFFFFFFFFLL)
        return Null();
    _variant_t r = _variant_t::OfType(VT_UI4);
    r.num.ulVal = static_cast<uint32_t>(*v);
    return r;
}

_variant_t Int16(OptInt v)
{
    if (!v || *v < INT16_MIN || *v > INT16_MAX)
        return Null();
    return _variant_t(static_cast<int16_t>(*v));
}

_variant_t Int32(OptInt v)
{
    if (!v || *v < INT32_MIN || *v > INT32_MAX)
        return Null();
    return _variant_t(static_cast<int32_t>(*v));
}

_variant_t UInt64(OptInt v)
{
    if (!v || *v < 0)
        return Null();
    return _variant_t::UI8(static_cast<uint64_t>(*v));
}

_variant_t Bool(std::optional<bool> v) { return v ? _variant_t(*v) : Null(); }

// ODBC NULLABLE (SQL_NO_NULLS, SQL_NULLABLE, SQL_NULLABLE_UNKNOWN) as a boolean.
std::optional<bool> Nullable(OptInt v)
{
    if (v == SQL_NULLABLE)
        return true;
    if (v == SQL_NO_NULLS)
        return false;
    return std::nullopt;
}

std::optional<bool> YesNo(const OptText& text)
{
    if (!text)
        return std::nullopt;
    if (strcasecmp(text->c_str(), "YES") == 0)
        return true;
    if (strcasecmp(text->c_str(), "NO") == 0)
        return false;
    return std::nullopt;
}

// ---- ODBC SQL types -----------------------------------------------------------------------

bool IsNarrowChar(int64_t t) { return t == SQL_CHAR || t == SQL_VARCHAR || t == SQL_LONGVARCHAR; }
bool IsWideChar(int64_t t) { return t == SQL_WCHAR || t == SQL_WVARCHAR || t == SQL_WLONGVARCHAR; }
bool IsBinary(int64_t t) { return t == SQL_BINARY || t == SQL_VARBINARY || t == SQL_LONGVARBINARY; }
bool IsCharOrBinary(int64_t t) { return IsNarrowChar(t) || IsWideChar(t) || IsBinary(t); }
bool IsExactDecimal(int64_t t) { return t == SQL_DECIMAL || t == SQL_NUMERIC; }
bool IsNumeric(int64_t t)
{
    switch (t) {
    case SQL_TINYINT: case SQL_SMALLINT: case SQL_INTEGER: case SQL_BIGINT: case SQL_DECIMAL:
    case SQL_NUMERIC: case SQL_REAL: case SQL_FLOAT: case SQL_DOUBLE:
        return true;
    default:
        return false;
    }
}
bool IsDateTime(int64_t t)
{
    return t == SQL_TYPE_DATE || t == SQL_TYPE_TIME || t == SQL_TYPE_TIMESTAMP || t == SQL_DATE ||
           t == SQL_TIME || t == SQL_TIMESTAMP || (t >= SQL_INTERVAL_YEAR && t <= SQL_INTERVAL_MINUTE_TO_SECOND);
}
bool IsLong(int64_t t) { return t == SQL_LONGVARCHAR || t == SQL_WLONGVARCHAR || t == SQL_LONGVARBINARY; }
bool IsVariableLength(int64_t t)
{
    return IsLong(t) || t == SQL_VARCHAR || t == SQL_WVARCHAR || t == SQL_VARBINARY;
}

// The type indicator the bridge reports for an ODBC SQL type in the schema rowsets' DATA_TYPE.
DataTypeEnum DbType(int64_t t, bool isUnsigned)
{
    switch (t) {
    case SQL_CHAR: case SQL_VARCHAR: case SQL_LONGVARCHAR: return adChar;
    case SQL_WCHAR: case SQL_WVARCHAR: case SQL_WLONGVARCHAR: return adWChar;
    case SQL_BINARY: case SQL_VARBINARY: case SQL_LONGVARBINARY: return adBinary;
    case SQL_DECIMAL: case SQL_NUMERIC: return adNumeric;
    case SQL_TINYINT: return isUnsigned ? adUnsignedTinyInt : adTinyInt;
    case SQL_SMALLINT: return isUnsigned ? adUnsignedSmallInt : adSmallInt;
    case SQL_INTEGER: return isUnsigned ? adUnsignedInt : adInteger;
    case SQL_BIGINT: return isUnsigned ? adUnsignedBigInt : adBigInt;
    case SQL_REAL: return adSingle;
    case SQL_FLOAT: case SQL_DOUBLE: return adDouble;
    case SQL_BIT: return adBoolean;
    case SQL_TYPE_DATE: case SQL_DATE: return adDBDate;
    case SQL_TYPE_TIME: case SQL_TIME: return adDBTime;
    case SQL_TYPE_TIMESTAMP: case SQL_TIMESTAMP: return adDBTimeStamp;
    case SQL_GUID: return adGUID;
    default: return adWChar; // intervals and driver-specific types travel as text
    }
}

_variant_t DataTypeValue(OptInt sqlType, bool isUnsigned = false)
{
    return sqlType ? UInt16(DbType(*sqlType, isUnsigned)) : Null();
}

// DATA_TYPE and the size columns that depend on the kind of type.
struct TypeDetails {
    _variant_t dataType, maxLength, octetLength, precision, scale, datetimePrecision;
};

TypeDetails Describe(OptInt sqlType, OptInt columnSize, OptInt decimalDigits, OptInt octetLength)
{
    TypeDetails d;
    d.dataType = DataTypeValue(sqlType);
    d.maxLength = d.octetLength = d.precision = d.scale = d.datetimePrecision = Null();
    if (!sqlType)
        return d;
    int64_t t = *sqlType;
    if (IsCharOrBinary(t)) {
        d.maxLength = UInt32(columnSize);
        d.octetLength = UInt32(octetLength ? octetLength : IsBinary(t) ? columnSize : std::nullopt);
    }
    if (IsNumeric(t))
        d.precision = UInt16(columnSize);
    if (IsExactDecimal(t))
        d.scale = Int16(decimalDigits);
    if (IsDateTime(t))
        d.datetimePrecision = UInt32(decimalDigits);
    return d;
}

// ---- restrictions and the rows they select ------------------------------------------------

enum class Match { Text, Number, Boolean, TypeList };

bool IsGiven(const _variant_t& v)
{
    return v.vt != VT_EMPTY && v.vt != VT_NULL && v.vt != VT_ERROR;
}

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// "'TABLE','VIEW'" (the form ODBC takes for SQLTables) or "TABLE, VIEW" as a set of types.
std::set<std::string> ParseTypeList(const std::string& list)
{
    std::set<std::string> types;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        std::string item = list.substr(start, end - start);
        auto notTrim = [](char c) { return c != ' ' && c != '\'' && c != '\t'; };
        auto first = std::find_if(item.begin(), item.end(), notTrim);
        auto last = std::find_if(item.rbegin(), item.rend(), notTrim).base();
        if (first < last)
            types.insert(Upper(std::string(first, last)));
        start = end + 1;
    }
    return types;
}

// Collects a rowset's rows, keeping those that match every restriction exactly: the catalog
// functions take some arguments as patterns, and some drivers match loosely.
class RowsetBuilder {
public:
    RowsetBuilder(const ConnectionPtr& connection, std::vector<MemoryColumn> columns, ErrorList& errors)
        : m_recordset(MemoryRecordset::Create(std::move(columns), connection)), m_errors(errors)
    {
    }

    void Restrict(size_t column, const _variant_t& value, Match match = Match::Text)
    {
        if (!IsGiven(value))
            return;
        Filter f{column, value, match, {}};
        try {
            if (match == Match::Number)
                f.value = _variant_t::I8(value.ToInt64());
            else if (match == Match::Boolean)
                f.value = _variant_t(value.ToBool());
            else if (match == Match::TypeList)
                f.types = ParseTypeList(value.ToString());
            else
                f.value = _variant_t(value.ToString());
        } catch (const _com_error&) {
            ThrowAdo(adErrInvalidArgument, kBadArguments, &m_errors);
        }
        m_filters.push_back(std::move(f));
    }

    void Add(std::vector<_variant_t> row)
    {
        for (const auto& f : m_filters)
            if (!Matches(f, row[f.column]))
                return;
        m_recordset->AddRow(std::move(row));
    }

    RecordsetPtr Done() { return m_recordset; }

private:
    struct Filter {
        size_t column;
        _variant_t value;
        Match match;
        std::set<std::string> types;
    };

    static bool Matches(const Filter& f, const _variant_t& v)
    {
        if (!IsGiven(v))
            return false;
        switch (f.match) {
        case Match::Number: return v.ToInt64() == f.value.num.llVal;
        case Match::Boolean: return v.ToBool() == (f.value.num.boolVal != VARIANT_FALSE);
        case Match::TypeList: return f.types.count(Upper(v.ToString())) > 0;
        case Match::Text: break;
        }
        return v.ToString() == f.value.str;
    }

    std::shared_ptr<MemoryRecordset> m_recordset;
    ErrorList& m_errors;
    std::vector<Filter> m_filters;
};

struct TableId {
    OptText catalog, schema, name;
};

// One OpenSchema call: the driver's facts, the restrictions, and a reader per rowset.
class SchemaReader {
public:
    SchemaReader(const ConnectionPtr& connection, SQLHDBC hdbc, ErrorList& errors,
                 const std::vector<_variant_t>& restrictions)
        : m_connection(connection), m_hdbc(hdbc), m_errors(errors), m_restrictions(restrictions),
          m_facts(ReadDriverFacts(hdbc))
    {
    }

    RecordsetPtr Catalogs();
    RecordsetPtr Tables();
    RecordsetPtr Columns();
    RecordsetPtr PrimaryKeys();
    RecordsetPtr ForeignKeys();
    RecordsetPtr Indexes();
    RecordsetPtr Procedures();
    RecordsetPtr ProcedureColumns(bool parameters);
    RecordsetPtr TablePrivileges();
    RecordsetPtr ColumnPrivileges();
    RecordsetPtr TableConstraints();
    RecordsetPtr CheckConstraints();
    RecordsetPtr ProviderTypes();
    RecordsetPtr Keywords();
    RecordsetPtr Literals();

private:
    [[noreturn]] void NotSupported() { ThrowAdo(adErrFeatureNotAvailable, kNotCapable, &m_errors); }
    void Expect(size_t count);
    void RequireFunction(SQLUSMALLINT function);
    const _variant_t& R(size_t i) const;
    OptText Text(size_t i) const;
    // Catalog and schema arguments are dropped for a driver without catalogs or schemas; such a
    // driver reports NULL in those columns, whatever the restriction said.
    OptText CatalogText(size_t i) const { return m_facts.catalogs ? Text(i) : std::nullopt; }
    OptText SchemaText(size_t i) const { return m_facts.schemas ? Text(i) : std::nullopt; }
    OptText Pattern(const OptText& name) const
    {
        return name ? OptText(EscapePattern(*name, m_facts.searchEscape)) : std::nullopt;
    }
    _variant_t CatalogValue(const OptText& v) const { return m_facts.catalogs ? Str(v) : Null(); }
    _variant_t SchemaValue(const OptText& v) const { return m_facts.schemas ? Str(v) : Null(); }
    void RestrictCatalog(RowsetBuilder& b, size_t column, size_t i) const
    {
        if (m_facts.catalogs)
            b.Restrict(column, R(i));
    }
    void RestrictSchema(RowsetBuilder& b, size_t column, size_t i) const
    {
        if (m_facts.schemas)
            b.Restrict(column, R(i));
    }
    RowsetBuilder Builder(std::vector<MemoryColumn> columns)
    {
        return RowsetBuilder(m_connection, std::move(columns), m_errors);
    }
    bool IsSQLite() const { return strcasecmp(m_facts.dbmsName.c_str(), "SQLite") == 0; }
    bool HasInformationSchemaView(const char* view);
    std::vector<TableId> ListTables(const OptText& catalog, const OptText& schema);

    // Runs a query on an information_schema view, one condition per given restriction.
    struct ViewColumn {
        const char* name;                                         // nullptr: always NULL
        std::function<_variant_t(const OptText&)> convert = Str; // text of the view's column
    };
    RecordsetPtr QueryView(const char* view, std::vector<MemoryColumn> columns,
                           const std::vector<ViewColumn>& select,
                           const std::vector<const char*>& restrictionColumns, const char* orderBy);

    ConnectionPtr m_connection;
    SQLHDBC m_hdbc;
    ErrorList& m_errors;
    const std::vector<_variant_t>& m_restrictions;
    DriverFacts m_facts;
};

void SchemaReader::Expect(size_t count)
{
    for (size_t i = count; i < m_restrictions.size(); ++i)
        if (IsGiven(m_restrictions[i]))
            ThrowAdo(adErrInvalidArgument, kBadArguments, &m_errors);
}

void SchemaReader::RequireFunction(SQLUSMALLINT function)
{
    if (!DriverSupports(m_hdbc, function))
        NotSupported();
}

const _variant_t& SchemaReader::R(size_t i) const
{
    static const _variant_t empty;
    return i < m_restrictions.size() ? m_restrictions[i] : empty;
}

OptText SchemaReader::Text(size_t i) const
{
    const _variant_t& v = R(i);
    if (!IsGiven(v))
        return std::nullopt;
    try {
        return v.ToString();
    } catch (const _com_error&) {
        ThrowAdo(adErrInvalidArgument, kBadArguments, &m_errors);
    }
}

std::vector<TableId> SchemaReader::ListTables(const OptText& catalog, const OptText& schema)
{
    CatalogStatement st(m_hdbc, m_errors);
    CatalogArg schemaArg(Pattern(schema)), types(std::string("'TABLE'"));
    st.Check(SQLTablesW(st.Handle(), nullptr, 0, schemaArg.Data(), schemaArg.Length(), nullptr, 0,
                        types.Data(), types.Length()));
    std::vector<TableId> tables;
    while (st.Fetch()) {
        Row r = st.ReadRow(3);
        if (catalog && m_facts.catalogs && r[0] != catalog)
            continue;
        if (schema && m_facts.schemas && r[1] != schema)
            continue;
        tables.push_back({m_facts.catalogs ? r[0] : std::nullopt, m_facts.schemas ? r[1] : std::nullopt, r[2]});
    }
    return tables;
}

bool SchemaReader::HasInformationSchemaView(const char* view)
{
    CatalogStatement st(m_hdbc, m_errors);
    // Some drivers list the objects of system schemas only when asked for system types.
    CatalogArg schema(Pattern(std::string("information_schema"))), table(Pattern(std::string(view))),
        types(std::string("'TABLE','VIEW','SYSTEM TABLE','SYSTEM VIEW'"));
    if (!SQL_SUCCEEDED(SQLTablesW(st.Handle(), nullptr, 0, schema.Data(), schema.Length(), table.Data(),
                                  table.Length(), types.Data(), types.Length())))
        return false;
    // A driver that ignores the schema argument reports a user table of that name with
    // another schema (or none), which must not count.
    while (st.Fetch()) {
        Row r = st.ReadRow(3);
        if (r[1] && strcasecmp(r[1]->c_str(), "information_schema") == 0 && r[2] &&
            strcasecmp(r[2]->c_str(), view) == 0)
            return true;
    }
    return false;
}

RecordsetPtr SchemaReader::QueryView(const char* view, std::vector<MemoryColumn> columns,
                                     const std::vector<ViewColumn>& select,
                                     const std::vector<const char*>& restrictionColumns, const char* orderBy)
{
    Expect(restrictionColumns.size());
    std::string sql = "SELECT ";
    for (size_t i = 0; i < select.size(); ++i) {
        if (i)
            sql += ", ";
        sql += select[i].name ? select[i].name : "NULL";
    }
    sql += std::string(" FROM information_schema.") + view;
    std::vector<std::string> parameters;
    for (size_t i = 0; i < restrictionColumns.size(); ++i) {
        if (auto value = Text(i)) {
            sql += parameters.empty() ? " WHERE " : " AND ";
            sql += std::string(restrictionColumns[i]) + " = ?";
            parameters.push_back(*value);
        }
    }
    sql += std::string(" ORDER BY ") + orderBy;

    CatalogStatement st(m_hdbc, m_errors);
    st.ExecuteQuery(sql, parameters);
    RowsetBuilder b = Builder(std::move(columns));
    while (st.Fetch()) {
        Row r = st.ReadRow(static_cast<SQLUSMALLINT>(select.size()));
        std::vector<_variant_t> row;
        for (size_t i = 0; i < select.size(); ++i)
            row.push_back(select[i].name ? select[i].convert(r[i]) : Null());
        b.Add(std::move(row));
    }
    return b.Done();
}

// ---- the rowsets --------------------------------------------------------------------------

RecordsetPtr SchemaReader::Catalogs()
{
    Expect(1);
    RowsetBuilder b = Builder({NameCol("CATALOG_NAME"), TextCol("DESCRIPTION")});
    b.Restrict(0, R(0));
    if (!m_facts.catalogs)
        return b.Done();
    CatalogStatement st(m_hdbc, m_errors);
    CatalogArg all{std::string(SQL_ALL_CATALOGS)}, none{std::string()};
    st.Check(SQLTablesW(st.Handle(), all.Data(), all.Length(), none.Data(), 0, none.Data(), 0, nullptr, 0));
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

    CatalogStatement st(m_hdbc, m_errors);
    // The catalog is matched here rather than passed: drivers disagree on whether SQLTables
    // takes it as a pattern.
    CatalogArg schema(Pattern(SchemaText(1))), table(Pattern(Text(2))), types(Text(3));
    st.Check(SQLTablesW(st.Handle(), nullptr, 0, schema.Data(), schema.Length(), table.Data(), table.Length(),
                        types.Data(), types.Length()));
    while (st.Fetch()) {
        Row r = st.ReadRow(5);
        b.Add({CatalogValue(r[0]), SchemaValue(r[1]), Str(r[2]), Str(r[3]), Null(), Str(r[4]), Null(), Null(),
               Null()});
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

    CatalogStatement st(m_hdbc, m_errors);
    CatalogArg catalog(CatalogText(0)), schema(Pattern(SchemaText(1))), table(Pattern(Text(2))),
        column(Pattern(Text(3)));
    st.Check(SQLColumnsW(st.Handle(), catalog.Data(), catalog.Length(), schema.Data(), schema.Length(),
                         table.Data(), table.Length(), column.Data(), column.Length()));
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

    // The driver needs a table name; without one every user table is asked in turn.
    std::vector<TableId> tables;
    if (Text(2))
        tables.push_back({CatalogText(0), SchemaText(1), Text(2)});
    else
        tables = ListTables(CatalogText(0), SchemaText(1));
    CatalogStatement st(m_hdbc, m_errors);
    for (const TableId& t : tables) {
        CatalogArg catalog(t.catalog), schema(t.schema), table(t.name);
        st.Check(SQLPrimaryKeysW(st.Handle(), catalog.Data(), catalog.Length(), schema.Data(), schema.Length(),
                                 table.Data(), table.Length()));
        while (st.Fetch()) {
            Row r = st.ReadRow(6);
            b.Add({CatalogValue(r[0]), SchemaValue(r[1]), Str(r[2]), Str(r[3]), Null(), Null(), UInt32(ToInt(r[4])),
                   Str(r[5])});
        }
        st.CloseCursor();
    }
    return b.Done();
}

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
    CatalogStatement st(m_hdbc, m_errors);
    for (const Sides& c : calls) {
        CatalogArg pkCatalog(c.pk.catalog), pkSchema(c.pk.schema), pkTable(c.pk.name), fkCatalog(c.fk.catalog),
            fkSchema(c.fk.schema), fkTable(c.fk.name);
        st.Check(SQLForeignKeysW(st.Handle(), pkCatalog.Data(), pkCatalog.Length(), pkSchema.Data(),
                                 pkSchema.Length(), pkTable.Data(), pkTable.Length(), fkCatalog.Data(),
                                 fkCatalog.Length(), fkSchema.Data(), fkSchema.Length(), fkTable.Data(),
                                 fkTable.Length()));
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

    std::vector<TableId> tables;
    if (Text(4))
        tables.push_back({CatalogText(0), SchemaText(1), Text(4)});
    else
        tables = ListTables(CatalogText(0), SchemaText(1));
    const bool keys = DriverSupports(m_hdbc, SQL_API_SQLPRIMARYKEYS);
    CatalogStatement st(m_hdbc, m_errors);
    for (const TableId& t : tables) {
        CatalogArg catalog(t.catalog), schema(t.schema), table(t.name);
        st.Check(SQLStatisticsW(st.Handle(), catalog.Data(), catalog.Length(), schema.Data(), schema.Length(),
                                table.Data(), table.Length(), SQL_INDEX_ALL, SQL_QUICK));
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
            st.Check(SQLPrimaryKeysW(st.Handle(), catalog.Data(), catalog.Length(), schema.Data(), schema.Length(),
                                     table.Data(), table.Length()));
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

    CatalogStatement st(m_hdbc, m_errors);
    CatalogArg catalog(CatalogText(0)), schema(Pattern(SchemaText(1))), name(Pattern(Text(2)));
    st.Check(SQLProceduresW(st.Handle(), catalog.Data(), catalog.Length(), schema.Data(), schema.Length(),
                            name.Data(), name.Length()));
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
    CatalogStatement st(m_hdbc, m_errors);
    CatalogArg catalog(CatalogText(0)), schema(Pattern(SchemaText(1))), name(Pattern(Text(2)));
    st.Check(SQLProcedureColumnsW(st.Handle(), catalog.Data(), catalog.Length(), schema.Data(), schema.Length(),
                                  name.Data(), name.Length(), nullptr, 0));
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
    CatalogStatement st(m_hdbc, m_errors);
    CatalogArg catalog(CatalogText(0)), schema(Pattern(SchemaText(1))), table(Pattern(Text(2)));
    st.Check(SQLTablePrivilegesW(st.Handle(), catalog.Data(), catalog.Length(), schema.Data(), schema.Length(),
                                 table.Data(), table.Length()));
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
    std::vector<TableId> tables;
    if (Text(2))
        tables.push_back({CatalogText(0), SchemaText(1), Text(2)});
    else
        tables = ListTables(CatalogText(0), SchemaText(1));
    CatalogStatement st(m_hdbc, m_errors);
    CatalogArg column(Pattern(Text(3)));
    for (const TableId& t : tables) {
        CatalogArg catalog(t.catalog), schema(t.schema), table(t.name);
        st.Check(SQLColumnPrivilegesW(st.Handle(), catalog.Data(), catalog.Length(), schema.Data(),
                                      schema.Length(), table.Data(), table.Length(), column.Data(),
                                      column.Length()));
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

// Which ODBC type best represents each type indicator, most fitting first: BEST_MATCH goes to
// the driver's first type of the first of these that it has.
int BestMatchRank(int64_t sqlType)
{
    static const std::map<int64_t, int> rank = {
        {SQL_VARCHAR, 0}, {SQL_CHAR, 1}, {SQL_LONGVARCHAR, 2}, {SQL_WVARCHAR, 0}, {SQL_WCHAR, 1},
        {SQL_WLONGVARCHAR, 2}, {SQL_VARBINARY, 0}, {SQL_BINARY, 1}, {SQL_LONGVARBINARY, 2},
        {SQL_NUMERIC, 0}, {SQL_DECIMAL, 1}, {SQL_DOUBLE, 0}, {SQL_FLOAT, 1}, {SQL_TYPE_DATE, 0},
        {SQL_DATE, 1}, {SQL_TYPE_TIME, 0}, {SQL_TIME, 1}, {SQL_TYPE_TIMESTAMP, 0}, {SQL_TIMESTAMP, 1}};
    auto it = rank.find(sqlType);
    return it == rank.end() ? 0 : it->second;
}

RecordsetPtr SchemaReader::ProviderTypes()
{
    Expect(2);
    RowsetBuilder b = Builder(
        {NameCol("TYPE_NAME"), Col("DATA_TYPE", adUnsignedSmallInt), Col("COLUMN_SIZE", adUnsignedInt),
         NameCol("LITERAL_PREFIX"), NameCol("LITERAL_SUFFIX"), NameCol("CREATE_PARAMS"), Col("IS_NULLABLE", adBoolean),
         Col("CASE_SENSITIVE", adBoolean), Col("SEARCHABLE", adUnsignedInt), Col("UNSIGNED_ATTRIBUTE", adBoolean),
         Col("FIXED_PREC_SCALE", adBoolean), Col("AUTO_UNIQUE_VALUE", adBoolean), NameCol("LOCAL_TYPE_NAME"),
         Col("MINIMUM_SCALE", adSmallInt), Col("MAXIMUM_SCALE", adSmallInt), Col("GUID", adGUID),
         NameCol("TYPELIB"), NameCol("VERSION"), Col("IS_LONG", adBoolean), Col("BEST_MATCH", adBoolean),
         Col("IS_FIXEDLENGTH", adBoolean)});
    b.Restrict(1, R(0), Match::Number);
    b.Restrict(19, R(1), Match::Boolean);

    CatalogStatement st(m_hdbc, m_errors);
    st.Check(SQLGetTypeInfoW(st.Handle(), SQL_ALL_TYPES));
    std::vector<Row> rows;
    while (st.Fetch())
        rows.push_back(st.ReadRow(15));
    st.CloseCursor();

    auto flag = [](const OptText& t) -> std::optional<bool> {
        OptInt v = ToInt(t);
        return v ? std::optional<bool>(*v != 0) : std::nullopt;
    };
    auto dbType = [&](const Row& r) -> std::optional<DataTypeEnum> {
        OptInt t = ToInt(r[1]);
        return t ? std::optional<DataTypeEnum>(DbType(*t, flag(r[9]).value_or(false))) : std::nullopt;
    };
    std::map<DataTypeEnum, size_t> best;
    for (size_t i = 0; i < rows.size(); ++i) {
        auto type = dbType(rows[i]);
        if (!type)
            continue;
        auto [it, inserted] = best.emplace(*type, i);
        if (!inserted && BestMatchRank(*ToInt(rows[i][1])) < BestMatchRank(*ToInt(rows[it->second][1])))
            it->second = i;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        OptInt sqlType = ToInt(r[1]);
        auto type = dbType(r);
        OptInt searchable = ToInt(r[8]);
        b.Add({Str(r[0]), type ? UInt16(*type) : Null(), UInt32(ToInt(r[2])), Str(r[3]), Str(r[4]), Str(r[5]),
               Bool(Nullable(ToInt(r[6]))), Bool(flag(r[7])),
               searchable ? UInt32(*searchable + 1) : Null(), // SQL_PRED_NONE.. -> DB_UNSEARCHABLE..
               Bool(flag(r[9])), Bool(flag(r[10])), Bool(flag(r[11])), Str(r[12]), Int16(ToInt(r[13])),
               Int16(ToInt(r[14])), Null(), Null(), Null(), sqlType ? _variant_t(IsLong(*sqlType)) : Null(),
               _variant_t(type && best[*type] == i),
               sqlType ? _variant_t(!IsVariableLength(*sqlType)) : Null()});
    }
    return b.Done();
}

RecordsetPtr SchemaReader::Keywords()
{
    Expect(0);
    RowsetBuilder b = Builder({NameCol("Keyword")});
    std::map<std::string, std::string> words; // by upper-case spelling
    auto addList = [&](const std::string& list) {
        size_t start = 0;
        while (start < list.size()) {
            size_t end = std::min(list.find(',', start), list.size());
            std::string word = list.substr(start, end - start);
            word.erase(0, word.find_first_not_of(" \t\r\n"));
            word.erase(word.find_last_not_of(" \t\r\n") + 1);
            if (!word.empty())
                words.emplace(Upper(word), word);
            start = end + 1;
        }
    };
    addList(kOdbcKeywords);
    addList(GetInfoText(m_hdbc, SQL_KEYWORDS));
    for (auto& [key, word] : words)
        b.Add({_variant_t(word)});
    return b.Done();
}

RecordsetPtr SchemaReader::Literals()
{
    Expect(0);
    RowsetBuilder b = Builder({NameCol("LiteralName"), NameCol("LiteralValue"), NameCol("InvalidChars"),
                               NameCol("InvalidStartingChars"), Col("Literal", adInteger),
                               Col("Supported", adBoolean), Col("Maxlen", adUnsignedInt)});
    auto maxLength = [&](SQLUSMALLINT info) -> int64_t {
        SQLUINTEGER n = info == SQL_MAX_STATEMENT_LEN || info == SQL_MAX_BINARY_LITERAL_LEN ||
                                info == SQL_MAX_CHAR_LITERAL_LEN
                            ? GetInfoUInt(m_hdbc, info)
                            : GetInfoUShort(m_hdbc, info);
        return n == 0 ? 0xFFFFFFFFLL : n; // no limit, or not known
    };
    auto add = [&](const char* name, int literal, OptText value, int64_t maxlen) {
        b.Add({_variant_t(name), Str(value), Null(), Null(), Int32(literal), _variant_t(true), UInt32(maxlen)});
    };

    const std::string quote = GetInfoText(m_hdbc, SQL_IDENTIFIER_QUOTE_CHAR);
    const std::string catalogSeparator = GetInfoText(m_hdbc, SQL_CATALOG_NAME_SEPARATOR);
    const std::string escape = m_facts.searchEscape;
    const int64_t tableName = maxLength(SQL_MAX_TABLE_NAME_LEN);

    add("BINARY_LITERAL", 1, std::nullopt, maxLength(SQL_MAX_BINARY_LITERAL_LEN));
    if (m_facts.catalogs) {
        add("CATALOG_NAME", 2, std::nullopt, maxLength(SQL_MAX_CATALOG_NAME_LEN));
        if (!catalogSeparator.empty())
            add("CATALOG_SEPARATOR", 3, catalogSeparator, static_cast<int64_t>(catalogSeparator.size()));
    }
    add("CHAR_LITERAL", 4, std::nullopt, maxLength(SQL_MAX_CHAR_LITERAL_LEN));
    if (GetInfoText(m_hdbc, SQL_COLUMN_ALIAS) == "Y")
        add("COLUMN_ALIAS", 5, std::nullopt, maxLength(SQL_MAX_COLUMN_NAME_LEN));
    add("COLUMN_NAME", 6, std::nullopt, maxLength(SQL_MAX_COLUMN_NAME_LEN));
    if (GetInfoUShort(m_hdbc, SQL_CORRELATION_NAME) != SQL_CN_NONE)
        add("CORRELATION_NAME", 7, std::nullopt, tableName);
    add("CURSOR_NAME", 8, std::nullopt, maxLength(SQL_MAX_CURSOR_NAME_LEN));
    if (!escape.empty()) {
        add("ESCAPE_PERCENT", 9, escape, static_cast<int64_t>(escape.size()));
        add("ESCAPE_UNDERSCORE", 10, escape, static_cast<int64_t>(escape.size()));
    }
    add("INDEX_NAME", 11, std::nullopt, maxLength(SQL_MAX_IDENTIFIER_LEN));
    add("LIKE_PERCENT", 12, std::string("%"), 1);
    add("LIKE_UNDERSCORE", 13, std::string("_"), 1);
    if (GetInfoText(m_hdbc, SQL_PROCEDURES) == "Y")
        add("PROCEDURE_NAME", 14, std::nullopt, maxLength(SQL_MAX_PROCEDURE_NAME_LEN));
    // A blank quote character means the driver does not quote identifiers.
    const bool quotes = !quote.empty() && quote != " ";
    if (quotes)
        add("QUOTE", 15, quote, static_cast<int64_t>(quote.size()));
    if (m_facts.schemas)
        add("SCHEMA_NAME", 16, std::nullopt, maxLength(SQL_MAX_SCHEMA_NAME_LEN));
    add("TABLE_NAME", 17, std::nullopt, tableName);
    add("TEXT_COMMAND", 18, std::nullopt, maxLength(SQL_MAX_STATEMENT_LEN));
    add("USER_NAME", 19, std::nullopt, maxLength(SQL_MAX_USER_NAME_LEN));
    add("VIEW_NAME", 20, std::nullopt, tableName);
    if (m_facts.schemas)
        add("SCHEMA_SEPARATOR", 27, std::string("."), 1);
    if (quotes)
        add("QUOTE_SUFFIX", 28, quote, static_cast<int64_t>(quote.size()));
    return b.Done();
}

} // namespace

RecordsetPtr OpenSchemaRowset(const ConnectionPtr& connection, SQLHDBC hdbc, ErrorList& errors, SchemaEnum schema,
                              const std::vector<_variant_t>& restrictions)
{
    SchemaReader reader(connection, hdbc, errors, restrictions);
    switch (schema) {
    case adSchemaCatalogs: return reader.Catalogs();
    case adSchemaTables: return reader.Tables();
    case adSchemaColumns: return reader.Columns();
    case adSchemaPrimaryKeys: return reader.PrimaryKeys();
    case adSchemaForeignKeys: return reader.ForeignKeys();
    case adSchemaIndexes: return reader.Indexes();
    case adSchemaProcedures: return reader.Procedures();
    case adSchemaProcedureParameters: return reader.ProcedureColumns(true);
    case adSchemaProcedureColumns: return reader.ProcedureColumns(false);
    case adSchemaTablePrivileges: return reader.TablePrivileges();
    case adSchemaColumnPrivileges: return reader.ColumnPrivileges();
    case adSchemaTableConstraints: return reader.TableConstraints();
    case adSchemaCheckConstraints: return reader.CheckConstraints();
    case adSchemaProviderTypes: return reader.ProviderTypes();
    case adSchemaDBInfoKeywords: return reader.Keywords();
    case adSchemaDBInfoLiterals: return reader.Literals();
    default: ThrowAdo(adErrFeatureNotAvailable, kNotCapable, &errors);
    }
}

} // namespace ado::detail
