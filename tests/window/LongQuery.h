// A statement that runs until it is cancelled, and whether it runs at the database as another
// connection sees it: the tests that stop, cancel or close a run start it, and wait for it to be
// under way, rather than waiting for a while and hoping.
#pragma once

#include "tests/support/TestDatabases.h"

#include <string>

namespace window_test {

// On PostgreSQL a sleep of a minute. On SQLite a count without end that reads the schema first,
// so that it holds the database's read lock for as long as it runs.
std::string LongQuery(torvane::test::Driver driver);

// Whether a statement of LongQuery runs at the database of connect: on PostgreSQL an active
// statement of that database in the server's list of backends, on SQLite the read lock that
// keeps another connection from taking the database for itself.
bool LongQueryRunning(torvane::test::Driver driver, const std::string& connect);

} // namespace window_test
