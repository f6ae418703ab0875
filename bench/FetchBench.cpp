// Fetch benchmark: reads the same rows (integer, text with quotes and commas, double,
// timestamp, a column with NULLs) as CSV through the data layer (torvane-dbcheck), through a
// plain bound-column ODBC loop, and with each database's own command-line client, and prints
// rows per second and peak memory side by side as ratios to the ODBC loop. A second run of the
// data layer over a tenth of the rows shows whether its memory grows with the row count.
//
// Environment: TORVANE_PG_CONNECT and TORVANE_PG_PORT (set by scripts/bench.sh);
// TORVANE_BENCH_ROWS overrides the row count (default 1,000,000).
#include "BenchSupport.h"

#include <fmt/format.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void Print(const std::vector<Row>& rows)
{
    fmt::print("{:<11} {:<34} {:>10} {:>13} {:>9} {:>16} {:>16}\n", "driver", "reader", "rows", "rows/s", "peak MB",
               "speed vs ODBC", "memory vs ODBC");
    for (const auto& r : rows) {
        const Row* base = nullptr;
        for (const auto& b : rows)
            if (b.driver == r.driver && b.tool == "plain ODBC loop")
                base = &b;
        double rate = r.rows / r.m.seconds;
        double baseRate = base ? base->rows / base->m.seconds : rate;
        fmt::print("{:<11} {:<34} {:>10} {:>13.0f} {:>9.1f} {:>16.2f} {:>16.2f}\n", r.driver, r.tool, r.rows, rate,
                   r.m.peakKb / 1024.0, rate / baseRate, base ? static_cast<double>(r.m.peakKb) / base->m.peakKb : 1.0);
    }
}

const char* kSelect = "SELECT id, label, amount, stamp, maybe FROM bench ORDER BY id";

} // namespace

int main()
try {
    const long rows = BenchRows();
    const long small = rows / 10;
    const std::string dbcheck = TORVANE_DBCHECK;
    const std::string loop = TORVANE_ODBC_LOOP;
    std::vector<Row> table;

    // SQLite: a fresh file filled by the sqlite3 client.
    auto dir = std::filesystem::temp_directory_path() / fmt::format("torvane-bench-{}", getpid());
    std::filesystem::create_directories(dir);
    std::string file = (dir / "bench.db").string();
    Run({"sqlite3", file,
         fmt::format("CREATE TABLE bench (id INTEGER PRIMARY KEY, label TEXT, amount DOUBLE, stamp TIMESTAMP, maybe INTEGER);"
                     "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < {}) "
                     "INSERT INTO bench SELECT i, 'row \"' || i || '\", with, commas', i * 1.5 / 7, "
                     "datetime(1700000000 + i, 'unixepoch'), CASE WHEN i % 3 = 0 THEN NULL ELSE i END FROM c;",
                     rows)});
    // The layer reads SQLite rows as they are stepped (StepAPI); the loop is given the same.
    std::string sqlite = "Driver=SQLite3;Database=" + file + ";StepAPI=1;";
    std::string limited = std::string(kSelect) + fmt::format(" LIMIT {}", small);
    table.push_back({"SQLite", "data layer (torvane-dbcheck)", rows, Best({dbcheck, sqlite, kSelect})});
    table.push_back({"SQLite", "plain ODBC loop", rows, Best({loop, sqlite, kSelect})});
    table.push_back({"SQLite", "sqlite3 -csv", rows, Best({"sqlite3", "-csv", "-header", file, kSelect})});
    table.push_back({"SQLite", "data layer, a tenth of the rows", small, Best({dbcheck, sqlite, limited})});

    if (const char* pg = std::getenv("TORVANE_PG_CONNECT")) {
        ScratchPostgres scratch(pg, fmt::format("torvane_bench_{}", getpid()), {"CREATE TABLE bench (id integer PRIMARY KEY, label text, amount double precision, "
                                       "stamp timestamp, maybe integer)",
                                 fmt::format("INSERT INTO bench SELECT i, 'row \"' || i || '\", with, commas', i * 1.5 / 7, "
                                                   "to_timestamp(1700000000 + i) AT TIME ZONE 'UTC', "
                                                   "CASE WHEN i % 3 = 0 THEN NULL ELSE i END FROM generate_series(1, {}) i",
                                                   rows),
                                 "VACUUM ANALYZE bench"});
        const std::string base = scratch.ConnectString();
        // The layer reads PostgreSQL rows through a cursor (UseDeclareFetch); the loop too.
        std::string pgcs = base + "UseDeclareFetch=1;Fetch=1000;";
        table.push_back({"PostgreSQL", "data layer (torvane-dbcheck)", rows, Best({dbcheck, pgcs, kSelect})});
        table.push_back({"PostgreSQL", "plain ODBC loop", rows, Best({loop, pgcs, kSelect})});
        auto csv = scratch.Psql({"--csv", "-c", kSelect});
        table.push_back({"PostgreSQL", "psql --csv", rows, Best(csv)});
        table.push_back({"PostgreSQL", "data layer, a tenth of the rows", small, Best({dbcheck, pgcs, limited})});
    } else {
        fmt::print(stderr, "TORVANE_PG_CONNECT is not set: PostgreSQL is left out (scripts/bench.sh sets it)\n");
    }
    std::filesystem::remove_all(dir);
    fmt::print("\nFetching {} rows x 5 columns as CSV (best of 3 runs; peak = resident set of the reading process)\n\n", rows);
    Print(table);
    return 0;
} catch (const std::exception& e) {
    fmt::print(stderr, "bench_fetch: {}\n", e.what());
    return 1;
}
