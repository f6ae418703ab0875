#include "OdbcCatalog.h"

#include <sql.h>
#include <sqlext.h>

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

// The driver manager returns attributes as "k=v\0k=v\0\0".
wxString JoinAttributes(const SQLCHAR* buffer, SQLSMALLINT length)
{
    wxString joined;
    const char* p = reinterpret_cast<const char*>(buffer);
    const char* end = p + std::max<SQLSMALLINT>(length, 0);
    while (p < end && *p) {
        const size_t n = strnlen(p, end - p);
        if (!joined.empty())
            joined += ";";
        joined += wxString::FromUTF8(p, n);
        p += n + 1;
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
    SQLCHAR description[780];
    SQLCHAR attributes[780];
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (drivers.size() < maxCount) {
        SQLSMALLINT descriptionLength = 0;
        SQLSMALLINT attributesLength = 0;
        const SQLRETURN rc = SQLDrivers(env.Get(), direction, description, sizeof description,
                                        &descriptionLength, attributes, sizeof attributes, &attributesLength);
        if (!Succeeded(rc))
            break;
        direction = SQL_FETCH_NEXT;
        drivers.push_back({wxString::FromUTF8(reinterpret_cast<const char*>(description)),
                           JoinAttributes(attributes, std::min<SQLSMALLINT>(attributesLength, sizeof attributes))});
    }
    return drivers;
}

std::vector<COdbcDataSource> EnumOdbcDataSources()
{
    std::vector<COdbcDataSource> sources;
    OdbcEnvironment env;
    if (env.Get() == SQL_NULL_HENV)
        return sources;
    SQLCHAR name[SQL_MAX_DSN_LENGTH + 1];
    SQLCHAR description[780];
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT descriptionLength = 0;
        const SQLRETURN rc = SQLDataSources(env.Get(), direction, name, sizeof name, &nameLength, description,
                                            sizeof description, &descriptionLength);
        if (!Succeeded(rc))
            break;
        direction = SQL_FETCH_NEXT;
        sources.push_back({wxString::FromUTF8(reinterpret_cast<const char*>(name)),
                           wxString::FromUTF8(reinterpret_cast<const char*>(description))});
    }
    std::sort(sources.begin(), sources.end(),
              [](const COdbcDataSource& a, const COdbcDataSource& b) { return a.name.CmpNoCase(b.name) < 0; });
    return sources;
}

bool IsFileDatabaseDriver(const wxString& driverName, const wxString& attributes)
{
    return driverName.Lower().Contains("sqlite") || attributes.Lower().Contains("sqlite");
}
