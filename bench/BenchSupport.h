// What the command-line benchmarks share: running a program while measuring its wall time and
// peak memory, the best of three runs, and a row of the printed table.
#pragma once

#include <string>
#include <vector>

struct Measure {
    double seconds = 0;
    long peakKb = 0;
};

struct Row {
    std::string driver, tool;
    long rows;
    Measure m;
};

// The row count of a benchmark: TORVANE_BENCH_ROWS when set, else 1,000,000.
long BenchRows();

// Runs a program without a display, its standard input from inPath and its standard output into
// outPath; wall time and peak resident memory. Its standard error is shown only when it fails
// (thrown as std::runtime_error).
Measure Run(const std::vector<std::string>& args, const std::string& outPath = "/dev/null",
            const std::string& inPath = "/dev/null");

// The best time of three runs, with the largest peak memory seen.
Measure Best(const std::vector<std::string>& args, const std::string& outPath = "/dev/null",
             const std::string& inPath = "/dev/null");

// A scratch database on the benchmarks' PostgreSQL cluster (TORVANE_PG_CONNECT, TORVANE_PG_PORT),
// made with psql, filled by the given statements and dropped again when the object goes.
class ScratchPostgres {
public:
    ScratchPostgres(const std::string& connect, const std::string& name, const std::vector<std::string>& fill);
    ~ScratchPostgres();
    ScratchPostgres(const ScratchPostgres&) = delete;
    ScratchPostgres& operator=(const ScratchPostgres&) = delete;

    // The cluster's connect string pointed at the scratch database.
    const std::string& ConnectString() const { return m_connect; }
    // A psql command line on the scratch database with the given arguments after it.
    std::vector<std::string> Psql(const std::vector<std::string>& args) const { return PsqlOn(m_name, args); }

private:
    std::vector<std::string> PsqlOn(const std::string& database, const std::vector<std::string>& args) const;

    std::string m_port;
    std::string m_name;
    std::string m_connect;
};
