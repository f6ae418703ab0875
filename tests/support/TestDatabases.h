// Databases for tests: a fresh SQLite file through the SQLite ODBC driver, and a scratch
// PostgreSQL database of the throw-away test cluster (TORVANE_PG_CONNECT, set by
// scripts/test.sh). Every test process gets its own PostgreSQL database, so test executables
// running in parallel never see each other's objects.
//
// One set of test bodies for both drivers:
//
//     class RecordsetTest : public torvane::test::DatabaseTest {};
//     TEST_P(RecordsetTest, ReadsRows) { auto cn = Open(); ... if (IsPostgres()) ... }
//     TORVANE_INSTANTIATE_FOR_DRIVERS(RecordsetTest);
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace torvane::test {

enum class Driver { SQLite, PostgreSQL };

// "SQLite" / "PostgreSQL", used in test names.
const char* DriverName(Driver driver);
inline void PrintTo(Driver driver, std::ostream* os) { *os << DriverName(driver); }

// "Driver=SQLite3;Database=<path>;" for a new, empty database file, in a temporary folder of
// this process that is removed when the process ends.
std::string NewSqliteConnectionString();
// A path in that folder that nothing uses yet (for files tests write themselves).
std::string NewTempPath(const std::string& suffix);

// True when TORVANE_PG_CONNECT is set.
bool PostgresConfigured();
// The connection string of this process's scratch database, created on first use and dropped
// when the tests end. Throws std::runtime_error naming the cause when TORVANE_PG_CONNECT is
// missing or the server refuses.
std::string PostgresConnectionString();
// The name of that scratch database.
std::string PostgresDatabaseName();
// TORVANE_PG_CONNECT itself (the cluster's "postgres" database), for administrative work.
std::string PostgresAdminConnectionString();

// Runs statements through plain ODBC, without the data layer, so that fixtures do not depend
// on the code under test. Throws std::runtime_error with the driver's message on failure.
void ExecDirect(const std::string& connectionString, const std::string& sql);

// A clean database: a new SQLite file, or the scratch PostgreSQL database with no schema but the
// system's and an empty public one.
std::string CleanDatabaseConnectionString(Driver driver);

// Fixture for one set of test bodies run against each driver. SetUp gives every test a clean
// database (CleanDatabaseConnectionString).
class DatabaseTest : public ::testing::TestWithParam<Driver> {
protected:
    void SetUp() override;

    Driver GetDriver() const { return GetParam(); }
    bool IsPostgres() const { return GetParam() == Driver::PostgreSQL; }
    bool IsSqlite() const { return GetParam() == Driver::SQLite; }
    const std::string& ConnectionString() const { return m_connectionString; }
    // Statements for setting up data, run through plain ODBC.
    void Exec(const std::string& sql) const { ExecDirect(m_connectionString, sql); }

private:
    std::string m_connectionString;
};

struct DriverParamName {
    std::string operator()(const ::testing::TestParamInfo<Driver>& info) const { return DriverName(info.param); }
};

} // namespace torvane::test

#define TORVANE_INSTANTIATE_FOR_DRIVERS(suite)                                                            \
    INSTANTIATE_TEST_SUITE_P(Drivers, suite,                                                              \
                             ::testing::Values(::torvane::test::Driver::SQLite,                           \
                                               ::torvane::test::Driver::PostgreSQL),                      \
                             ::torvane::test::DriverParamName())
