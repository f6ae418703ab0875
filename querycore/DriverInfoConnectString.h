// The ODBC connect string that the driver information component opens its own connection with,
// made from a query window's connection. No window.
#pragma once

#include <string>
#include <string_view>

// The text from the first "DSN=" on (letter case as written) when it holds one; else without a
// leading "ODBC;"; else unchanged.
std::string TrimToOdbcConnectString(std::string_view connectString);

// connectionString: the connection's ConnectionString ("Provider=...;Extended Properties="..."").
// openedWith: the string the window connected with, which may hold the password the
// connection does not give back; it is used in memory only.
// The ODBC attributes of the connection (the Extended Properties unquoted, with Data Source,
// User ID and Password taken over as DSN, UID and PWD), the password added from openedWith when
// the connection's string has none, written as an ODBC connect string. Keys are matched
// whole, so FILEDSN= is not taken for DSN=. A string that cannot be read as attributes, or that
// names no driver or data source, goes through TrimToOdbcConnectString as it stands.
std::string MakeDriverInfoConnectString(std::string_view connectionString, std::string_view openedWith);
