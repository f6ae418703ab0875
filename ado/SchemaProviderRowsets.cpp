#include "SchemaReader.h"

#include "OdbcInfo.h"

#include <algorithm>
#include <map>

namespace ado::detail::schema {

namespace {

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

} // namespace

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

    CatalogStatement st(m_hdbc, m_traits, m_errors);
    st.Check(st.Call(SQLGetTypeInfo, SQLGetTypeInfoW, SQL_ALL_TYPES));
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
    addList(GetInfoText(m_hdbc, SQL_KEYWORDS, m_traits.utf8Ansi));
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

    const std::string quote = GetInfoText(m_hdbc, SQL_IDENTIFIER_QUOTE_CHAR, m_traits.utf8Ansi);
    const std::string catalogSeparator = GetInfoText(m_hdbc, SQL_CATALOG_NAME_SEPARATOR, m_traits.utf8Ansi);
    const std::string escape = m_facts.searchEscape;
    const int64_t tableName = maxLength(SQL_MAX_TABLE_NAME_LEN);

    add("BINARY_LITERAL", 1, std::nullopt, maxLength(SQL_MAX_BINARY_LITERAL_LEN));
    if (m_facts.catalogs) {
        add("CATALOG_NAME", 2, std::nullopt, maxLength(SQL_MAX_CATALOG_NAME_LEN));
        if (!catalogSeparator.empty())
            add("CATALOG_SEPARATOR", 3, catalogSeparator, static_cast<int64_t>(catalogSeparator.size()));
    }
    add("CHAR_LITERAL", 4, std::nullopt, maxLength(SQL_MAX_CHAR_LITERAL_LEN));
    if (GetInfoText(m_hdbc, SQL_COLUMN_ALIAS, m_traits.utf8Ansi) == "Y")
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
    if (GetInfoText(m_hdbc, SQL_PROCEDURES, m_traits.utf8Ansi) == "Y")
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

} // namespace ado::detail::schema
