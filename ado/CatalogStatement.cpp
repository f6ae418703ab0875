#include "CatalogStatement.h"

#include "Unicode.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>

namespace ado::detail {

namespace {

// Catalog functions count their text in SQLSMALLINT; longer text goes as a terminated string.
SQLSMALLINT ArgumentLength(size_t units)
{
    return units <= static_cast<size_t>(std::numeric_limits<SQLSMALLINT>::max()) ? static_cast<SQLSMALLINT>(units)
                                                                                  : SQLSMALLINT(SQL_NTS);
}

// Reads a column with SQLGetData in chunks of Unit (char for SQL_C_CHAR, char16_t for
// SQL_C_WCHAR); nullopt for NULL.
template <typename Unit>
std::optional<std::basic_string<Unit>> ReadChunks(SQLHSTMT hstmt, SQLUSMALLINT column, SQLSMALLINT cType,
                                                  CatalogStatement& st)
{
    std::basic_string<Unit> text;
    Unit chunk[1024];
    const size_t capacity = std::size(chunk) - 1; // the driver ends each chunk with a terminator
    for (;;) {
        SQLLEN indicator = 0;
        SQLRETURN rc = SQLGetData(hstmt, column, cType, chunk, sizeof chunk, &indicator);
        if (rc == SQL_NO_DATA)
            break;
        st.Check(rc);
        if (indicator == SQL_NULL_DATA)
            return std::nullopt;
        size_t n = indicator == SQL_NO_TOTAL || indicator / static_cast<SQLLEN>(sizeof(Unit)) >
                                                    static_cast<SQLLEN>(capacity)
                       ? capacity
                       : static_cast<size_t>(indicator) / sizeof(Unit);
        text.append(chunk, n);
        if (rc == SQL_SUCCESS)
            break;
    }
    return text;
}

} // namespace

std::tuple<SQLCHAR*, SQLSMALLINT> CatalogArg::Narrow()
{
    if (!m_utf8)
        return {nullptr, 0};
    return {reinterpret_cast<SQLCHAR*>(m_utf8->data()), ArgumentLength(m_utf8->size())};
}

std::tuple<SQLWCHAR*, SQLSMALLINT> CatalogArg::Wide()
{
    if (!m_utf8)
        return {nullptr, 0};
    m_wide = ToWide(*m_utf8);
    return {reinterpret_cast<SQLWCHAR*>(m_wide.data()), ArgumentLength(m_wide.size())};
}

CatalogStatement::CatalogStatement(SQLHDBC hdbc, const DriverTraits& traits, ErrorList& errors)
    : m_traits(traits), m_errors(errors)
{
    SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_STMT, hdbc, &m_hstmt);
    if (!SQL_SUCCEEDED(rc))
        ThrowOdbc(SQL_HANDLE_DBC, hdbc, &m_errors, "Errors occurred.", m_traits.bytesInWideMessages);
}

CatalogStatement::~CatalogStatement()
{
    if (m_hstmt != SQL_NULL_HSTMT)
        SQLFreeHandle(SQL_HANDLE_STMT, m_hstmt);
}

void CatalogStatement::Check(SQLRETURN rc)
{
    if (!SQL_SUCCEEDED(rc))
        ThrowOdbc(SQL_HANDLE_STMT, m_hstmt, &m_errors, "Errors occurred.", m_traits.bytesInWideMessages);
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
    m_nResultColumns = -1;
}

std::optional<std::string> CatalogStatement::Text(SQLUSMALLINT column)
{
    if (m_traits.utf8Text)
        return ReadChunks<char>(m_hstmt, column, SQL_C_CHAR, *this);
    auto text = ReadChunks<char16_t>(m_hstmt, column, SQL_C_WCHAR, *this);
    return text ? std::optional<std::string>(FromWide(*text)) : std::nullopt;
}

std::vector<std::optional<std::string>> CatalogStatement::ReadRow(SQLUSMALLINT count)
{
    if (m_nResultColumns < 0) {
        SQLSMALLINT available = 0;
        Check(SQLNumResultCols(m_hstmt, &available));
        m_nResultColumns = available;
    }
    std::vector<std::optional<std::string>> row(count);
    for (SQLUSMALLINT c = 1; c <= count && c <= m_nResultColumns; ++c)
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
    m_nResultColumns = -1;
    // Parameters go as the statement text does: UTF-8 through the ANSI entry points.
    const bool ansi = m_traits.utf8Ansi;
    std::vector<std::string> narrow;
    std::vector<std::u16string> wide;
    std::vector<SQLLEN> lengths(parameters.size());
    narrow.reserve(parameters.size());
    wide.reserve(parameters.size());
    for (size_t i = 0; i < parameters.size(); ++i) {
        SQLPOINTER data = nullptr;
        SQLULEN units = 0;
        if (ansi) {
            data = narrow.emplace_back(parameters[i]).data();
            units = narrow.back().size();
            lengths[i] = static_cast<SQLLEN>(units);
        } else {
            data = wide.emplace_back(ToWide(parameters[i])).data();
            units = wide.back().size();
            lengths[i] = static_cast<SQLLEN>(units * sizeof(SQLWCHAR));
        }
        Check(SQLBindParameter(m_hstmt, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                               ansi ? SQL_C_CHAR : SQL_C_WCHAR, ansi ? SQL_VARCHAR : SQL_WVARCHAR,
                               std::max<SQLULEN>(units, 1), 0, data, lengths[i], &lengths[i]));
    }
    if (ansi) {
        std::string text = sql;
        Check(SQLExecDirect(m_hstmt, reinterpret_cast<SQLCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size())));
    } else {
        std::u16string text = ToWide(sql);
        Check(SQLExecDirectW(m_hstmt, reinterpret_cast<SQLWCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size())));
    }
    // The bound buffers live only here; the result no longer needs them.
    SQLFreeStmt(m_hstmt, SQL_RESET_PARAMS);
}

DriverFacts ReadDriverFacts(SQLHDBC hdbc, const DriverTraits& traits)
{
    DriverFacts facts;
    facts.searchEscape = GetInfoText(hdbc, SQL_SEARCH_PATTERN_ESCAPE, traits.utf8Ansi);
    facts.catalogs = GetInfoText(hdbc, SQL_CATALOG_NAME, traits.utf8Ansi) == "Y";
    facts.schemas = GetInfoUInt(hdbc, SQL_SCHEMA_USAGE) != 0;
    facts.dbmsName = GetInfoText(hdbc, SQL_DBMS_NAME, traits.utf8Ansi);
    return facts;
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
