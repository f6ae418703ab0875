#include "OdbcCatalog.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
#include <wx/strconv.h>

#include <algorithm>

namespace {

class OdbcEnvironment {
public:
    OdbcEnvironment()
    {
        if (SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env) != SQL_SUCCESS)
            m_env = SQL_NULL_HENV;
        else
            SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    }
    ~OdbcEnvironment()
    {
        if (m_env != SQL_NULL_HENV)
            SQLFreeHandle(SQL_HANDLE_ENV, m_env);
    }
    OdbcEnvironment(const OdbcEnvironment&) = delete;
    OdbcEnvironment& operator=(const OdbcEnvironment&) = delete;
    SQLHENV Get() const { return m_env; }

private:
    SQLHENV m_env = SQL_NULL_HENV;
};

bool Succeeded(SQLRETURN rc)
{
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// The driver manager's 16-bit text.
wxString FromSqlWide(const SQLWCHAR* text, size_t length)
{
    return wxString(reinterpret_cast<const char*>(text), wxMBConvUTF16(), length * sizeof(SQLWCHAR));
}

size_t WideLength(const SQLWCHAR* text, size_t max)
{
    size_t n = 0;
    while (n < max && text[n])
        ++n;
    return n;
}

// The driver manager returns attributes as "k=v\0k=v\0\0".
wxString JoinAttributes(const SQLWCHAR* buffer, size_t length)
{
    wxString joined;
    size_t i = 0;
    while (i < length && buffer[i]) {
        const size_t n = WideLength(buffer + i, length - i);
        if (!joined.empty())
            joined += ";";
        joined += FromSqlWide(buffer + i, n);
        i += n + 1;
    }
    return joined;
}

} // namespace

std::vector<COdbcDriver> EnumOdbcDrivers(size_t maxCount)
{
    std::vector<COdbcDriver> drivers;
    OdbcEnvironment env;
    if (env.Get() == SQL_NULL_HENV)
        return drivers;
    SQLWCHAR description[780];
    SQLWCHAR attributes[780];
    const SQLSMALLINT capacity = 780;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (drivers.size() < maxCount) {
        SQLSMALLINT descriptionLength = 0;
        SQLSMALLINT attributesLength = 0;
        const SQLRETURN rc = SQLDriversW(env.Get(), direction, description, capacity, &descriptionLength, attributes,
                                         capacity, &attributesLength);
        if (!Succeeded(rc))
            break;
        direction = SQL_FETCH_NEXT;
        drivers.push_back({FromSqlWide(description, WideLength(description, capacity)),
                           JoinAttributes(attributes, std::min<size_t>(std::max<SQLSMALLINT>(attributesLength, 0), capacity))});
    }
    return drivers;
}

std::vector<COdbcDataSource> EnumOdbcDataSources()
{
    std::vector<COdbcDataSource> sources;
    OdbcEnvironment env;
    if (env.Get() == SQL_NULL_HENV)
        return sources;
    SQLWCHAR name[SQL_MAX_DSN_LENGTH + 1];
    SQLWCHAR description[780];
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT descriptionLength = 0;
        const SQLRETURN rc = SQLDataSourcesW(env.Get(), direction, name, SQL_MAX_DSN_LENGTH + 1, &nameLength,
                                             description, 780, &descriptionLength);
        if (!Succeeded(rc))
            break;
        direction = SQL_FETCH_NEXT;
        sources.push_back({FromSqlWide(name, WideLength(name, SQL_MAX_DSN_LENGTH + 1)),
                           FromSqlWide(description, WideLength(description, 780))});
    }
    std::sort(sources.begin(), sources.end(),
              [](const COdbcDataSource& a, const COdbcDataSource& b) { return a.name.CmpNoCase(b.name) < 0; });
    return sources;
}

bool IsFileDatabaseDriver(const wxString& driverName, const wxString& attributes)
{
    return driverName.Lower().Contains("sqlite") || attributes.Lower().Contains("sqlite");
}
