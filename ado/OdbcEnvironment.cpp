#include "OdbcEnvironment.h"

#include "platform/com/ComTypes.h"

namespace ado::detail {

SQLHENV OdbcEnvironment()
{
    static const SQLHENV env = [] {
        SQLHENV h = SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h)))
            throw _com_error(E_OUTOFMEMORY, "The ODBC driver manager could not allocate an environment.");
        SQLSetEnvAttr(h, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return h;
    }();
    return env;
}

} // namespace ado::detail
