// The process's one ODBC environment (ODBC 3 behaviour), shared by every connection.
#pragma once

#include <sql.h>
#include <sqlext.h>

namespace ado::detail {

// Allocated on first use and kept for the life of the process.
SQLHENV OdbcEnvironment();

} // namespace ado::detail
