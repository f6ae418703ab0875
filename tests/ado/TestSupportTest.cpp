#include "tests/support/TestDatabases.h"

#include <stdexcept>

using torvane::test::DatabaseTest;

class FixtureTest : public DatabaseTest {};

// Each test starts from an empty database, so a table left by an earlier test is gone.
TEST_P(FixtureTest, EveryTestStartsEmpty)
{
    Exec("CREATE TABLE leftover (id INTEGER)");
    Exec("INSERT INTO leftover VALUES (1)");
}

TEST_P(FixtureTest, EveryTestStartsEmptyAgain)
{
    Exec("CREATE TABLE leftover (id INTEGER)");
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
