#include "tests/support/TestDatabases.h"

#include <stdexcept>
#include <string>

using torvane::test::CleanDatabaseConnectionString;
using torvane::test::DatabaseTest;
using torvane::test::ExecDirect;

namespace {

// The driver's message for the statement, or "" when it ran.
std::string ErrorOf(const std::string& connect, const std::string& sql)
{
    try {
        ExecDirect(connect, sql);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return std::string();
}

} // namespace

class FixtureTest : public DatabaseTest {};

// What a test leaves behind, a table and (on PostgreSQL) a schema of its own with a table, is
// gone for the next one, which finds an empty public schema to work in.
TEST_P(FixtureTest, TheCleanupDropsWhatATestLeft)
{
    Exec("CREATE TABLE leftover (id INTEGER)");
    Exec("INSERT INTO leftover VALUES (1)");
    if (IsPostgres()) {
        Exec("CREATE SCHEMA sales");
        Exec("CREATE TABLE sales.orders (id INTEGER)");
        Exec("CREATE VIEW public.order_ids AS SELECT id FROM sales.orders");
    }

    const std::string clean = CleanDatabaseConnectionString(GetDriver());
    const std::string table = ErrorOf(clean, "SELECT id FROM leftover");
    EXPECT_NE(table.find("leftover"), std::string::npos) << table;
    if (IsPostgres()) {
        const std::string schemaTable = ErrorOf(clean, "SELECT id FROM sales.orders");
        EXPECT_NE(schemaTable.find("orders"), std::string::npos) << schemaTable;
        EXPECT_EQ(ErrorOf(clean, "CREATE SCHEMA sales"), "");
    }
    EXPECT_EQ(ErrorOf(clean, "CREATE TABLE leftover (id INTEGER)"), "");
}

TEST_P(FixtureTest, FailuresCarryTheDriverMessage)
{
    try {
        Exec("SELECT * FROM no_such_table");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("no_such_table"), std::string::npos) << e.what();
    }
}

TORVANE_INSTANTIATE_FOR_DRIVERS(FixtureTest);
