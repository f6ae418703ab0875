#include "OdbcEnvironment.h"

#include "platform/com/ComTypes.h"

#include <sqlite3.h>

namespace ado::detail {

SQLHENV OdbcEnvironment()
{
    static const SQLHENV env = [] {
        // The SQLite ODBC driver uses the process's SQLite library. In SQLite's default
        // (serialized) mode every call the driver makes for every value takes the connection's
        // mutex, and every allocation the memory statistics' mutex: a quarter of an export's
        // time. Neither buys anything here: the driver manager never lets two threads into one
        // connection at once, and the one call from another thread, a cancel, ends in
        // sqlite3_interrupt, which SQLite allows from any thread. The settings only take effect
        // before SQLite initialises (before the first connection); later they fail and change
        // nothing.
        sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        SQLHENV h = SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h)))
            throw _com_error(E_OUTOFMEMORY, "The ODBC driver manager could not allocate an environment.");
        SQLSetEnvAttr(h, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return h;
    }();
    return env;
}

} // namespace ado::detail
