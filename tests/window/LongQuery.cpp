#include "LongQuery.h"

#include <stdexcept>

namespace window_test {

using torvane::test::Driver;

std::string LongQuery(Driver driver)
{
    return driver == Driver::PostgreSQL
               ? "select pg_sleep(60)"
               : "with recursive c(x) as (select count(*) from sqlite_master union all select x + 1 from c) "
                 "select count(*) from c";
}

bool LongQueryRunning(Driver driver, const std::string& connect)
{
    try {
        if (driver == Driver::PostgreSQL) {
            torvane::test::ExecDirect(connect,
                                      "DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_stat_activity WHERE datname = "
                                      "current_database() AND pid <> pg_backend_pid() AND state = 'active' AND query "
                                      "LIKE '%pg_sleep(%') THEN RAISE EXCEPTION 'idle'; END IF; END $$");
            return true;
        }
        // A reader's lock keeps this connection from locking the file for itself; no busy wait.
        const std::string separator = !connect.empty() && connect.back() != ';' ? ";" : "";
        torvane::test::ExecDirect(connect + separator + "Timeout=1;", "BEGIN EXCLUSIVE");
        return false;
    } catch (const std::runtime_error& e) {
        if (driver == Driver::PostgreSQL)
            return false;
        return std::string(e.what()).find("locked") != std::string::npos;
    }
}

} // namespace window_test
