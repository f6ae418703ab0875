#include "CatalogStatement.h"

#include <algorithm>
#include <charconv>

namespace ado::detail {

CatalogArg::CatalogArg(std::optional<std::string> utf8)
{
    if (utf8)
        m_text = ToWide(*utf8);
}

SQLWCHAR* CatalogArg::Data()
{
    return m_text ? reinterpret_cast<SQLWCHAR*>(m_text->data()) : nullptr;
}

SQLSMALLINT CatalogArg::Length() const
{
    return m_text ? static_cast<SQLSMALLINT>(m_text->size()) : 0;
}

CatalogStatement::CatalogStatement(SQLHDBC hdbc, ErrorList& errors) : m_errors(errors)
{
    SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_STMT, hdbc, &m_hstmt);
    if (!SQL_SUCCEEDED(rc))
        ThrowOdbc(SQL_HANDLE_DBC, hdbc, &m_errors);
}

CatalogStatement::~CatalogStatement()
{
    if (m_hstmt != SQL_NULL_HSTMT)
        SQLFreeHandle(SQL_HANDLE_STMT, m_hstmt);
}

void CatalogStatement::Check(SQLRETURN rc)
{
    if (!SQL_SUCCEEDED(rc))
        ThrowOdbc(SQL_HANDLE_STMT, m_hstmt, &m_errors);
}

bool CatalogStatement::Fetch()
{
    SQLRETURN rc = SQLFetch(m_hstmt);
    if (rc == SQL_NO_DATA)
        return false;
    Check(rc);
    return true;
}

void CatalogStatement::CloseCursor()
{
    SQLFreeStmt(m_hstmt, SQL_CLOSE);
}

std::optional<std::string> CatalogStatement::Text(SQLUSMALLINT column)
{
    std::u16string text;
    SQLWCHAR chunk[512];
    for (;;) {
        SQLLEN indicator = 0;
        SQLRETURN rc = SQLGetData(m_hstmt, column, SQL_C_WCHAR, chunk, sizeof chunk, &indicator);
        if (rc == SQL_NO_DATA)
            break;
        Check(rc);
        if (indicator == SQL_NULL_DATA)
            return std::nullopt;
        const size_t capacity = sizeof chunk / sizeof chunk[0] - 1;
        size_t n = indicator == SQL_NO_TOTAL || indicator / static_cast<SQLLEN>(sizeof(SQLWCHAR)) >
                                                        static_cast<SQLLEN>(capacity)
                       ? capacity
                       : static_cast<size_t>(indicator) / sizeof(SQLWCHAR);
        text.append(reinterpret_cast<const char16_t*>(chunk), n);
        if (rc == SQL_SUCCESS)
            break;
    }
    return FromWide(text);
}

std::vector<std::optional<std::string>> CatalogStatement::ReadRow(SQLUSMALLINT count)
{
    SQLSMALLINT available = 0;
    Check(SQLNumResultCols(m_hstmt, &available));
    std::vector<std::optional<std::string>> row(count);
    for (SQLUSMALLINT c = 1; c <= count && c <= available; ++c)
        row[c - 1] = Text(c);
    return row;
}

std::optional<int64_t> ToInt(const std::optional<std::string>& text)
{
    if (!text)
        return std::nullopt;
    std::string_view s = *text;
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    int64_t value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

void CatalogStatement::ExecuteQuery(const std::string& sql, const std::vector<std::string>& parameters)
{
    std::vector<std::u16string> values;
    values.reserve(parameters.size());
    for (const auto& p : parameters)
        values.push_back(ToWide(p));
    std::vector<SQLLEN> lengths(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        lengths[i] = static_cast<SQLLEN>(values[i].size() * sizeof(SQLWCHAR));
        Check(SQLBindParameter(m_hstmt, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_WCHAR,
                               SQL_WVARCHAR, std::max<SQLULEN>(values[i].size(), 1), 0, values[i].data(),
                               lengths[i], &lengths[i]));
    }
    std::u16string text = ToWide(sql);
    Check(SQLExecDirectW(m_hstmt, reinterpret_cast<SQLWCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size())));
    // The bound buffers live only here; the result no longer needs them.
    SQLFreeStmt(m_hstmt, SQL_RESET_PARAMS);
}

std::string GetInfoText(SQLHDBC hdbc, SQLUSMALLINT infoType)
{
    std::vector<SQLWCHAR> buffer(1024);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SQLSMALLINT bytes = 0;
        SQLRETURN rc = SQLGetInfoW(hdbc, infoType, buffer.data(),
                                   static_cast<SQLSMALLINT>(buffer.size() * sizeof(SQLWCHAR)), &bytes);
        if (!SQL_SUCCEEDED(rc))
            return {};
        size_t chars = static_cast<size_t>(std::max<SQLSMALLINT>(bytes, 0)) / sizeof(SQLWCHAR);
        if (chars < buffer.size())
            return FromWide(buffer.data(), chars);
        // Keyword lists can be long: ask again with room for the whole text.
        buffer.assign(std::min<size_t>(chars + 1, 16383), 0);
    }
    return FromWide(buffer.data(), buffer.size() - 1);
}

SQLUINTEGER GetInfoUInt(SQLHDBC hdbc, SQLUSMALLINT infoType)
{
    SQLUINTEGER value = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(hdbc, infoType, &value, sizeof value, nullptr)))
        return 0;
    return value;
}

SQLUSMALLINT GetInfoUShort(SQLHDBC hdbc, SQLUSMALLINT infoType)
{
    SQLUSMALLINT value = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(hdbc, infoType, &value, sizeof value, nullptr)))
        return 0;
    return value;
}

DriverFacts ReadDriverFacts(SQLHDBC hdbc)
{
    DriverFacts facts;
    facts.searchEscape = GetInfoText(hdbc, SQL_SEARCH_PATTERN_ESCAPE);
    facts.catalogs = GetInfoText(hdbc, SQL_CATALOG_NAME) == "Y";
    facts.schemas = GetInfoUInt(hdbc, SQL_SCHEMA_USAGE) != 0;
    facts.dbmsName = GetInfoText(hdbc, SQL_DBMS_NAME);
    return facts;
}

bool DriverSupports(SQLHDBC hdbc, SQLUSMALLINT function)
{
    SQLUSMALLINT supported = SQL_FALSE;
    if (!SQL_SUCCEEDED(SQLGetFunctions(hdbc, function, &supported)))
        return false;
    return supported == SQL_TRUE;
}

std::string EscapePattern(std::string_view name, std::string_view escape)
{
    if (escape.empty())
        return std::string(name);
    std::string out;
    out.reserve(name.size() + 4);
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '_' || name[i] == '%' || (escape.size() == 1 && name[i] == escape[0]))
            out += escape;
        out += name[i];
    }
    return out;
}

} // namespace ado::detail
