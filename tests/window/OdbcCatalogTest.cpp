#include "querycore/OdbcCatalog.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(OdbcCatalog, ListsTheInstalledDrivers)
{
    const std::vector<COdbcDriver> drivers = EnumOdbcDrivers();
    const auto has = [&](const char* name) {
        return std::any_of(drivers.begin(), drivers.end(), [&](const COdbcDriver& d) { return d.name == name; });
    };
    EXPECT_TRUE(has("SQLite3"));
    EXPECT_TRUE(has("PostgreSQL Unicode"));
    const auto sqlite = std::find_if(drivers.begin(), drivers.end(), [](const COdbcDriver& d) { return d.name == "SQLite3"; });
    ASSERT_NE(sqlite, drivers.end());
    EXPECT_TRUE(sqlite->attributes.Contains("Driver=")) << sqlite->attributes;
    EXPECT_EQ(EnumOdbcDrivers(1).size(), 1u);
}

TEST(OdbcCatalog, FileDatabaseDrivers)
{
    EXPECT_TRUE(IsFileDatabaseDriver("SQLite3"));
    EXPECT_TRUE(IsFileDatabaseDriver("My Driver", "Driver=libsqlite3odbc.so"));
    EXPECT_FALSE(IsFileDatabaseDriver("PostgreSQL Unicode", "Driver=psqlodbcw.so"));
}

} // namespace
