// Command-line batch run benchmark: the program's batch run without a display (torvane -i -o)
// writes the same rows (integer, text with quotes, commas and line breaks, double, timestamp, a
// column with NULLs) to a CSV file as each database's own client and unixODBC's isql do, and
// the table prints the times and peak memory side by side with their ratios. A second run of
// ten times the rows shows whether the program's memory grows with the row count. The same run
// with -q also writes the workbook of the CSV file; its time is set against the CSV run's.
//
// Environment: TORVANE_PG_CONNECT and TORVANE_PG_PORT (set by scripts/bench.sh);
// TORVANE_BENCH_ROWS overrides the row count (default 1,000,000).
#include "BenchSupport.h"

#include <fmt/format.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char* const kProgramName = "torvane -i -o (no display)";
const char* const kWorkbookName = "torvane -i -o -q (workbook)";

void Print(const std::vector<Row>& rows)
{
    fmt::print("{:<11} {:<34} {:>10} {:>9} {:>9} {:>22}\n", "driver", "writer", "rows", "seconds", "peak MB",
               "program's time / this");
    for (const auto& r : rows) {
        const Row* program = nullptr;
        for (const auto& p : rows)
            if (p.driver == r.driver && p.tool == kProgramName && p.rows == r.rows)
                program = &p;
        fmt::print("{:<11} {:<34} {:>10} {:>9.2f} {:>9.1f} {:>22}\n", r.driver, r.tool, r.rows, r.m.seconds,
                   r.m.peakKb / 1024.0,
                   program && program != &r ? fmt::format("{:.2f}", program->m.seconds / r.m.seconds) : "");
    }
}

// The workbook run's time against the CSV run's, per driver.
void PrintWorkbookRatios(const std::vector<Row>& rows)
{
    for (const auto& w : rows) {
        if (w.tool != kWorkbookName)
            continue;
        for (const auto& c : rows)
            if (c.driver == w.driver && c.tool == kProgramName && c.rows == w.rows)
                fmt::print("{:<11} CSV and workbook / CSV alone: {:.2f}\n", w.driver, w.m.seconds / c.m.seconds);
    }
}

const char* kSelect = "SELECT id, label, amount, stamp, maybe FROM bench ORDER BY id";

} // namespace

int main()
try {
    const long rows = BenchRows();
    const long large = rows * 10;
    const std::string program = TORVANE_PROGRAM;
    std::vector<Row> table;

    auto dir = std::filesystem::temp_directory_path() / fmt::format("torvane-batch-bench-{}", getpid());
    std::filesystem::create_directories(dir);
    const std::string input = (dir / "run.sql").string();
    std::ofstream(input) << kSelect << "\n";
    const std::string largeInput = (dir / "large.sql").string();
    std::ofstream(largeInput) << "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < " << large
                              << ") SELECT i, 'row \"' || i || '\", with, commas' || char(10) || 'and a line', "
                                 "i * 1.5 / 7, datetime(1700000000 + i, 'unixepoch'), "
                                 "CASE WHEN i % 3 = 0 THEN NULL ELSE i END FROM c\n";
    const std::string csv = (dir / "out.csv").string();
    const auto batchRun = [&](const std::string& connect, const std::string& script) {
        return std::vector<std::string>{program, "-C", connect, "-i", script, "-o", csv};
    };
    const auto workbookRun = [&](const std::string& connect, const std::string& script) {
        std::vector<std::string> args = batchRun(connect, script);
        args.insert(args.end(), {"-q", "1"});
        return args;
    };

    // SQLite: a fresh file filled by the sqlite3 client.
    const std::string file = (dir / "bench.db").string();
    Run({"sqlite3", file,
         fmt::format("CREATE TABLE bench (id INTEGER PRIMARY KEY, label TEXT, amount DOUBLE, stamp TIMESTAMP, maybe INTEGER);"
                     "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < {}) "
                     "INSERT INTO bench SELECT i, 'row \"' || i || '\", with, commas' || char(10) || 'and a line', "
                     "i * 1.5 / 7, datetime(1700000000 + i, 'unixepoch'), CASE WHEN i % 3 = 0 THEN NULL ELSE i END FROM c;",
                     rows)});
    const std::string sqliteOdbc = "Driver=SQLite3;Database=" + file + ";";
    table.push_back({"SQLite", kProgramName, rows, Best(batchRun("Provider=MSDASQL;" + sqliteOdbc, input))});
    table.push_back({"SQLite", kWorkbookName, rows, Best(workbookRun("Provider=MSDASQL;" + sqliteOdbc, input))});
    table.push_back({"SQLite", "sqlite3 -csv", rows, Best({"sqlite3", "-csv", "-header", file, kSelect}, csv)});
    table.push_back({"SQLite", "isql -b -d,", rows, Best({"isql", "-b", "-d,", "-k", sqliteOdbc}, csv, input)});
    table.push_back({"SQLite", kProgramName, large, Run(batchRun("Provider=MSDASQL;" + sqliteOdbc, largeInput))});

    if (const char* pg = std::getenv("TORVANE_PG_CONNECT")) {
        ScratchPostgres scratch(pg, fmt::format("torvane_batch_bench_{}", getpid()), {"CREATE TABLE bench (id integer PRIMARY KEY, label text, amount double precision, "
                                       "stamp timestamp, maybe integer)",
                                 fmt::format("INSERT INTO bench SELECT i, 'row \"' || i || '\", with, commas' || chr(10) || 'and a line', "
                                                   "i * 1.5 / 7, to_timestamp(1700000000 + i) AT TIME ZONE 'UTC', "
                                                   "CASE WHEN i % 3 = 0 THEN NULL ELSE i END FROM generate_series(1, {}) i",
                                                   rows),
                                 "VACUUM ANALYZE bench"});
        const std::string base = scratch.ConnectString();
        const std::string pgLarge = (dir / "pglarge.sql").string();
        std::ofstream(pgLarge) << "SELECT i, 'row \"' || i || '\", with, commas' || chr(10) || 'and a line', i * 1.5 / 7, "
                                  "to_timestamp(1700000000 + i) AT TIME ZONE 'UTC', CASE WHEN i % 3 = 0 THEN NULL ELSE i END "
                                  "FROM generate_series(1, " << large << ") i\n";
        table.push_back({"PostgreSQL", kProgramName, rows, Best(batchRun("Provider=MSDASQL;" + base, input))});
        table.push_back({"PostgreSQL", kWorkbookName, rows, Best(workbookRun("Provider=MSDASQL;" + base, input))});
        auto client = scratch.Psql({"--csv", "-c", kSelect});
        table.push_back({"PostgreSQL", "psql --csv", rows, Best(client, csv)});
        table.push_back({"PostgreSQL", "isql -b -d,", rows, Best({"isql", "-b", "-d,", "-k", base}, csv, input)});
        table.push_back({"PostgreSQL", kProgramName, large, Run(batchRun("Provider=MSDASQL;" + base, pgLarge))});
    } else {
        fmt::print(stderr, "TORVANE_PG_CONNECT is not set: PostgreSQL is left out (scripts/bench.sh sets it)\n");
    }
    std::filesystem::remove_all(dir);
    fmt::print("\nWriting {} rows x 5 columns to a CSV file (best of 3 runs; {} rows once; peak = resident set of "
               "the writing process)\n\n",
               rows, large);
    Print(table);
    fmt::print("\n");
    PrintWorkbookRatios(table);
    fmt::print("\nGoals: the program at most 1.3 x the time of sqlite3 -csv and 1.5 x that of psql --csv, faster "
               "than isql, and under 64 MB at either row count; the run with the workbook at most 3 x the CSV "
               "run, its memory as flat.\n");
    return 0;
} catch (const std::exception& e) {
    fmt::print(stderr, "bench_batch_run: {}\n", e.what());
    return 1;
}
