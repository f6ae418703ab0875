// The SQLite driver and the database file it opens. The driver takes the Database value up to
// the next ";" as it stands (braces are not removed), and it creates a missing file unless
// told NoCreat: a mistyped path would silently make a new, empty database, and a string
// without a Database makes one named after the rest of the string. The bridge therefore names
// the file exactly as given, refuses what the driver cannot take, and opens existing files
// only unless the connection string asks for a new one (NoCreat=0).
#pragma once

#include "ConnectionString.h"

#include <string>

namespace ado::detail {

// Before connecting: the database (Database, else that of the data source named by DSN) must
// be named and must not hold ";"; NoCreat=1 is added unless the string or its data source sets
// NoCreat; with it in force the file must exist. Returns why the connection is refused, or an
// empty text when it may go ahead.
std::string PrepareSqliteDatabase(AttributeList& attributes);

// The text for SQLDriverConnect: FormatOdbcConnectionString, with the Database value as it
// stands, so that the driver receives the path whole.
std::string FormatSqliteConnectionString(const AttributeList& attributes);

} // namespace ado::detail
