#include "DriverTraits.h"

#include "OdbcError.h"

#include <odbcinst.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace ado::detail {

namespace {

std::string Lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string ProfileString(const std::string& section, const char* key, const char* file)
{
    char buf[1024] = {};
    SQLGetPrivateProfileString(section.c_str(), key, "", buf, sizeof buf, file);
    return buf;
}

// A driver is named by its odbcinst.ini entry or by the library's path.
std::string DriverFile(const std::string& driver)
{
    if (driver.find('/') != std::string::npos)
        return driver;
    return ProfileString(driver, "Driver", "odbcinst.ini");
}

std::string InfoString(SQLHDBC hdbc, SQLUSMALLINT item)
{
    SQLWCHAR buf[256] = {};
    SQLSMALLINT len = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(hdbc, item, buf, sizeof buf, &len)))
        return {};
    return FromWide(buf, std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(len, 0)) / sizeof(SQLWCHAR), 255));
}

} // namespace

DriverFamily FamilyOfDriverFile(std::string_view file)
{
    std::string name = Lower(file);
    if (size_t slash = name.rfind('/'); slash != std::string::npos)
        name.erase(0, slash + 1);
    if (name.find("sqlite") != std::string::npos)
        return DriverFamily::SQLite;
    if (name.find("psqlodbc") != std::string::npos)
        return DriverFamily::PostgreSQL;
    return DriverFamily::Other;
}

DriverFamily FamilyBeforeConnect(const AttributeList& attributes)
{
    if (const std::string* driver = attributes.Find("DRIVER"))
        return FamilyOfDriverFile(DriverFile(*driver));
    if (const std::string* dsn = attributes.Find("DSN"))
        return FamilyOfDriverFile(DriverFile(ProfileString(*dsn, "Driver", "odbc.ini")));
    return DriverFamily::Other;
}

void AddStreamingDefaults(DriverFamily family, AttributeList& attributes)
{
    // Drivers complete their strings with empty values for options left at their default.
    auto unset = [&](const char* key) {
        const std::string* v = attributes.Find(key);
        return !v || v->empty();
    };
    if (family == DriverFamily::SQLite) {
        if (unset("StepAPI"))
            attributes.Set("StepAPI", "1");
    } else if (family == DriverFamily::PostgreSQL) {
        if (unset("UseDeclareFetch")) {
            attributes.Set("UseDeclareFetch", "1");
            if (unset("Fetch"))
                attributes.Set("Fetch", "1000");
        }
    }
}

DriverTraits ReadDriverTraits(SQLHDBC hdbc)
{
    DriverTraits t;
    std::string driverFile = InfoString(hdbc, SQL_DRIVER_NAME);
    t.family = FamilyOfDriverFile(driverFile);
    // Both drivers hand over the database's own UTF-8 text; the ANSI build of the PostgreSQL
    // driver cannot give UTF-16 at all.
    t.utf8Text = t.family == DriverFamily::SQLite || t.family == DriverFamily::PostgreSQL;
    t.dynamicTyping = t.family == DriverFamily::SQLite;
    t.utf8Ansi = t.family == DriverFamily::SQLite;
    t.bytesInWideMessages = t.family == DriverFamily::SQLite;
    t.scansForSemicolons = t.family == DriverFamily::SQLite;
    t.padsBuffers = t.family == DriverFamily::SQLite;
    t.singleStatement = InfoString(hdbc, SQL_MULT_RESULT_SETS) != "Y";
    SQLUINTEGER gd = 0;
    if (SQL_SUCCEEDED(SQLGetInfoW(hdbc, SQL_GETDATA_EXTENSIONS, &gd, sizeof gd, nullptr))) {
        t.getDataBound = (gd & SQL_GD_BOUND) != 0;
        t.getDataBlock = (gd & SQL_GD_BLOCK) != 0 && (gd & SQL_GD_BOUND) != 0;
    }
    return t;
}

} // namespace ado::detail
