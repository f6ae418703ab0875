// One ODBC statement used to read a catalog function or a metadata query, and the driver facts
// that decide how such calls are made. The statement handle is freed on destruction, so an
// error leaves the connection free for its next statement.
#pragma once

#include "DriverTraits.h"
#include "OdbcError.h"
#include "OdbcInfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

namespace ado::detail {

// An argument of a catalog function: NULL when absent, otherwise text in the form of the entry
// point the call goes through (UTF-8 for the ANSI one, UTF-16 for the wide one).
class CatalogArg {
public:
    CatalogArg() = default;
    explicit CatalogArg(std::optional<std::string> utf8) : m_utf8(std::move(utf8)) {}

    // The pointer and length that stand for the argument in the ANSI or the wide call.
    std::tuple<SQLCHAR*, SQLSMALLINT> Narrow();
    std::tuple<SQLWCHAR*, SQLSMALLINT> Wide();

private:
    std::optional<std::string> m_utf8;
    std::u16string m_wide;
};

class CatalogStatement {
public:
    CatalogStatement(SQLHDBC hdbc, const DriverTraits& traits, ErrorList& errors);
    ~CatalogStatement();
    CatalogStatement(const CatalogStatement&) = delete;
    CatalogStatement& operator=(const CatalogStatement&) = delete;

    // Throws with the statement's diagnostics unless rc is a success.
    void Check(SQLRETURN rc);
    bool Fetch();
    void CloseCursor();

    // Calls a catalog function through its ANSI or its wide entry point, as the driver's text
    // needs: Call(SQLTables, SQLTablesW, catalog, schema, table, types). Each CatalogArg
    // becomes the pointer and length of one text argument; other arguments pass as they are.
    template <typename AnsiFunction, typename WideFunction, typename... Args>
    SQLRETURN Call(AnsiFunction ansi, WideFunction wide, Args&&... args)
    {
        m_nResultColumns = -1;
        if (m_traits.utf8Ansi)
            return std::apply(ansi, std::tuple_cat(std::tuple(m_hstmt), Expand<false>(args)...));
        return std::apply(wide, std::tuple_cat(std::tuple(m_hstmt), Expand<true>(args)...));
    }

    // The current row's column as text (nullopt for NULL), read in chunks of any length.
    std::optional<std::string> Text(SQLUSMALLINT column);
    // The first count columns of the current row as text, in column order (the order every
    // driver accepts for SQLGetData); columns the result lacks are NULL.
    std::vector<std::optional<std::string>> ReadRow(SQLUSMALLINT count);

    // Binds text parameters (in order) and runs the query.
    void ExecuteQuery(const std::string& sql, const std::vector<std::string>& parameters);

private:
    template <bool Wide, typename T>
    static auto Expand(T& arg)
    {
        if constexpr (!std::is_same_v<std::remove_const_t<T>, CatalogArg>)
            return std::tuple(arg);
        else if constexpr (Wide)
            return arg.Wide();
        else
            return arg.Narrow();
    }

    SQLHSTMT m_hstmt = SQL_NULL_HSTMT;
    // The columns of the current result, asked once per result (-1: not yet).
    SQLSMALLINT m_nResultColumns = -1;
    DriverTraits m_traits;
    ErrorList& m_errors;
};

// A catalog column as an integer. Drivers return some numeric catalog columns as text, so
// every column is read as text; NULL and text that is not an integer give nullopt.
std::optional<int64_t> ToInt(const std::optional<std::string>& text);

// What the layer needs to know about a driver before calling its catalog functions.
struct DriverFacts {
    std::string searchEscape; // empty when the driver has no escape for search patterns
    bool catalogs = false;    // SQL_CATALOG_NAME
    bool schemas = false;     // SQL_SCHEMA_USAGE
    std::string dbmsName;
};

DriverFacts ReadDriverFacts(SQLHDBC hdbc, const DriverTraits& traits);

// Escapes the search-pattern characters "_" and "%" (and the escape itself) so that a pattern
// argument matches the name literally.
std::string EscapePattern(std::string_view name, std::string_view escape);

} // namespace ado::detail
