#include "SqliteDatabaseFile.h"

#include <odbcinst.h>
#include <strings.h>
#include <sys/stat.h>

namespace ado::detail {

namespace {

// The driver's own reading of a yes/no attribute: its first character.
bool IsOn(const std::string& value)
{
    return !value.empty() && std::string_view("YyTt123456789").find(value.front()) != std::string_view::npos;
}

// A value the data source sets in odbc.ini; empty when the string names no data source.
std::string DataSourceValue(const AttributeList& attributes, const char* key)
{
    const std::string* dsn = attributes.Find("DSN");
    if (!dsn || dsn->empty())
        return std::string();
    char buffer[4096] = {};
    SQLGetPrivateProfileString(dsn->c_str(), key, "", buffer, sizeof buffer, "odbc.ini");
    return buffer;
}

// The driver's own names for a database that is no file of the file system.
bool IsFileName(const std::string& database)
{
    return database != ":memory:" && database.compare(0, 5, "file:") != 0;
}

} // namespace

std::string PrepareSqliteDatabase(AttributeList& attributes)
{
    const std::string* given = attributes.Find("DATABASE");
    const std::string database = given && !given->empty() ? *given : DataSourceValue(attributes, "Database");
    if (database.empty())
        return "The connection names no SQLite database file. Name it as Database=<path of the file>.";
    if (database.find(';') != std::string::npos)
        return "The SQLite driver cannot open a database file whose path holds \";\": '" + database + "'.";

    const std::string* noCreate = attributes.Find("NoCreat");
    const std::string asked = noCreate ? *noCreate : DataSourceValue(attributes, "NoCreat");
    if (asked.empty())
        attributes.Set("NoCreat", "1");
    const bool mustExist = asked.empty() || IsOn(asked);
    struct stat status {};
    if (mustExist && IsFileName(database) && ::stat(database.c_str(), &status) != 0)
        return "The database file '" + database +
               "' does not exist. To create a new database there, add NoCreat=0 to the connection string.";
    return std::string();
}

std::string FormatSqliteConnectionString(const AttributeList& attributes)
{
    AttributeList others;
    std::string database;
    for (const ConnectionAttribute& a : attributes.Items()) {
        if (strcasecmp(a.key.c_str(), "DATABASE") == 0)
            database = "Database=" + a.value + ";";
        else
            others.Append(a);
    }
    return FormatOdbcConnectionString(others) + database;
}

} // namespace ado::detail
