#include "DriverTraits.h"

#include "OdbcInfo.h"

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
            // Each block is a round trip to the server; 2000 rows of a typical result are a
            // megabyte or two, and halve the round trips of 1000 (a tenth off a long export).
            if (unset("Fetch"))
                attributes.Set("Fetch", "2000");
        }
    }
}

DriverTraits TraitsOfFamily(DriverFamily family)
{
    DriverTraits t;
    t.family = family;
    // Both drivers hand over the database's own UTF-8 text; the ANSI build of the PostgreSQL
    // driver cannot give UTF-16 at all.
    t.utf8Text = family == DriverFamily::SQLite || family == DriverFamily::PostgreSQL;
    t.dynamicTyping = family == DriverFamily::SQLite;
    // The SQLite driver has ANSI entry points only; the driver manager passes wide text to
    // them one byte a character and widens their answers one byte a character.
    t.utf8Ansi = family == DriverFamily::SQLite;
    t.bytesInWideMessages = family == DriverFamily::SQLite;
    t.cutsNamesAtDots = family == DriverFamily::SQLite;
    t.scansForSemicolons = family == DriverFamily::SQLite;
    t.padsBuffers = family == DriverFamily::SQLite;
    t.cancelClosesCursor = family == DriverFamily::SQLite;
    return t;
}

DriverTraits ReadDriverTraits(SQLHDBC hdbc)
{
    // The driver's file name and the Y/N answers are ASCII, read before the traits are known.
    DriverTraits t = TraitsOfFamily(FamilyOfDriverFile(GetInfoText(hdbc, SQL_DRIVER_NAME, false)));
    t.singleStatement = GetInfoText(hdbc, SQL_MULT_RESULT_SETS, false) != "Y";
    SQLUINTEGER gd = GetInfoUInt(hdbc, SQL_GETDATA_EXTENSIONS);
    t.getDataBound = (gd & SQL_GD_BOUND) != 0;
    t.getDataBlock = (gd & SQL_GD_BLOCK) != 0 && (gd & SQL_GD_BOUND) != 0;
    return t;
}

} // namespace ado::detail
