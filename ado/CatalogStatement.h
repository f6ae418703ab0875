// One ODBC statement used to read a catalog function or a metadata query, and the driver facts
// that decide how such calls are made. The statement handle is freed on destruction, so an
// error leaves the connection free for its next statement.
#pragma once

#include "OdbcError.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ado::detail {

// An argument of a catalog function: NULL when absent, otherwise UTF-16 text.
class CatalogArg {
public:
    CatalogArg() = default;
    explicit CatalogArg(std::optional<std::string> utf8);
    SQLWCHAR* Data();
    SQLSMALLINT Length() const;
    bool IsNull() const { return !m_text; }

private:
    std::optional<std::u16string> m_text;
};

class CatalogStatement {
public:
    CatalogStatement(SQLHDBC hdbc, ErrorList& errors);
    ~CatalogStatement();
    CatalogStatement(const CatalogStatement&) = delete;
    CatalogStatement& operator=(const CatalogStatement&) = delete;

    SQLHSTMT Handle() const { return m_hstmt; }
    // Throws with the statement's diagnostics unless rc is a success.
    void Check(SQLRETURN rc);
    bool Fetch();
    void CloseCursor();

    // The current row's column as text (nullopt for NULL), read in chunks of any length.
    std::optional<std::string> Text(SQLUSMALLINT column);
    // The first count columns of the current row as text, in column order (the order every
    // driver accepts for SQLGetData); columns the result lacks are NULL.
    std::vector<std::optional<std::string>> ReadRow(SQLUSMALLINT count);

    // Binds text parameters (in order) and runs the query.
    void ExecuteQuery(const std::string& sql, const std::vector<std::string>& parameters);

private:
    SQLHSTMT m_hstmt = SQL_NULL_HSTMT;
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

DriverFacts ReadDriverFacts(SQLHDBC hdbc);
std::string GetInfoText(SQLHDBC hdbc, SQLUSMALLINT infoType);
SQLUINTEGER GetInfoUInt(SQLHDBC hdbc, SQLUSMALLINT infoType);
SQLUSMALLINT GetInfoUShort(SQLHDBC hdbc, SQLUSMALLINT infoType);
bool DriverSupports(SQLHDBC hdbc, SQLUSMALLINT function);

// Escapes the search-pattern characters "_" and "%" (and the escape itself) so that a pattern
// argument matches the name literally.
std::string EscapePattern(std::string_view name, std::string_view escape);

} // namespace ado::detail
