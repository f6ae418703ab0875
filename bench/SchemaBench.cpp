// Schema browser benchmark: the Tables folder of a database with 10,000 tables and the columns
// of a table with 1,000 columns, opened in the schema pane of a real query window, against the
// plain ODBC catalog calls (SQLTables, SQLColumns, their rows fetched into bound columns) on the
// same database, in the same run, on SQLite and PostgreSQL. Prints per database and node:
//   - pane time / plain ODBC time, from the expansion until its items are in the tree
//     (goal <= 1.5)
//   - the same until the pane has painted them
//
// Environment: TORVANE_PG_CONNECT and TORVANE_PG_PORT (set by scripts/bench.sh);
// TORVANE_BENCH_TABLES and TORVANE_BENCH_COLUMNS override the counts. Without a display it runs
// itself under xvfb-run.
#include "BenchSupport.h"
#include "WindowBench.h"
#include "query/ChildFrame.h"
#include "schema/SchemaView.h"

#include <fmt/format.h>

#include <sql.h>
#include <sqlext.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 9;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// The wide entry points, as a client written for Unicode calls them (names are ASCII here).
std::u16string Wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

SQLWCHAR* W(std::u16string& text)
{
    return reinterpret_cast<SQLWCHAR*>(text.data());
}

// One ODBC connection of its own, through the driver manager without the data layer.
class PlainOdbc {
public:
    explicit PlainOdbc(const std::string& connect)
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
        std::u16string text = Wide(connect);
        const SQLRETURN rc = SQLDriverConnectW(m_dbc, nullptr, W(text), SQL_NTS, nullptr, 0, nullptr,
                                               SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc))
            throw std::runtime_error("plain ODBC: no connection to " + connect);
    }
    ~PlainOdbc()
    {
        SQLDisconnect(m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
    }
    PlainOdbc(const PlainOdbc&) = delete;
    PlainOdbc& operator=(const PlainOdbc&) = delete;

    // The catalog call and every row fetched into bound text buffers of the given columns;
    // returns the seconds, the row count in rows.
    template <typename Call>
    double Fetch(Call call, const std::vector<SQLUSMALLINT>& columns, size_t& rows)
    {
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &stmt);
        std::vector<std::vector<char>> buffers(columns.size(), std::vector<char>(512));
        std::vector<SQLLEN> lengths(columns.size());
        const auto start = Clock::now();
        if (!SQL_SUCCEEDED(call(stmt)))
            throw std::runtime_error("plain ODBC: the catalog call failed");
        for (size_t i = 0; i < columns.size(); ++i)
            SQLBindCol(stmt, columns[i], SQL_C_CHAR, buffers[i].data(), static_cast<SQLLEN>(buffers[i].size()),
                       &lengths[i]);
        rows = 0;
        while (SQL_SUCCEEDED(SQLFetch(stmt)))
            ++rows;
        const double seconds = Seconds(Clock::now() - start);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return seconds;
    }

private:
    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
};


struct Timing {
    double plain = 1e9;
    double loaded = 1e9;
    double painted = 1e9;
    size_t plainRows = 0;
    size_t items = 0;
};

TreeItem ChildNamed(CSchemaView& view, TreeItem parent, const wxString& text)
{
    for (TreeItem child = view.Tree().GetFirstChild(parent); child; child = view.Tree().GetNextSibling(child)) {
        if (view.Tree().GetText(child) == text)
            return child;
    }
    throw std::runtime_error(fmt::format("no item {} in the schema pane", text.utf8_string()));
}

// Expands the item as a click on its button does; the seconds until its items are in the tree
// and until the pane has painted them.
void TimeExpand(CSchemaView& view, TreeItem item, double& loaded, double& painted)
{
    const auto start = Clock::now();
    view.Tree().Expand(item);
    loaded = Seconds(Clock::now() - start);
    view.Update();
    painted = Seconds(Clock::now() - start);
}

void MeasureDriver(const std::string& driver, const std::string& connect, const std::string& wideTable, Timing& tables,
             Timing& columns)
{
    PlainOdbc odbc(connect);
    CChildFrame& frame = window_bench::OpenQueryWindow(connect);
    auto* view = dynamic_cast<CSchemaView*>(frame.GetSchemaView());
    if (!view)
        throw std::runtime_error("no schema pane");
    const wxString wideShown = driver == "PostgreSQL" ? wideTable + " (public)" : wideTable;
    // Alternating, best of each, so that neither side profits from a warm cache or a quiet
    // moment of the machine alone.
    for (int run = 0; run < kRuns; ++run) {
        size_t rows = 0;
        std::u16string types = Wide("'TABLE'"), name = Wide(wideTable);
        tables.plain = std::min(tables.plain, odbc.Fetch(
                                                  [&](SQLHSTMT s) {
                                                      return SQLTablesW(s, nullptr, 0, nullptr, 0, nullptr, 0,
                                                                        W(types), SQL_NTS);
                                                  },
                                                  {1, 2, 3, 4, 5}, rows));
        tables.plainRows = rows;
        columns.plain = std::min(columns.plain,
                                 odbc.Fetch([&](SQLHSTMT s) {
                                     return SQLColumnsW(s, nullptr, 0, nullptr, 0, W(name), SQL_NTS, nullptr, 0);
                                 },
                                            {1, 2, 3, 4, 5, 7, 9, 11, 12, 16}, rows));
        columns.plainRows = rows;

        view->ResetTree();
        view->Update();
        const TreeItem folder = ChildNamed(*view, view->Tree().GetRoot(), "Tables");
        double loaded = 0, painted = 0;
        TimeExpand(*view, folder, loaded, painted);
        tables.loaded = std::min(tables.loaded, loaded);
        tables.painted = std::min(tables.painted, painted);
        tables.items = view->Tree().GetChildCount(folder);

        const TreeItem wide = ChildNamed(*view, folder, wideShown);
        TimeExpand(*view, wide, loaded, painted);
        columns.loaded = std::min(columns.loaded, loaded);
        columns.painted = std::min(columns.painted, painted);
        columns.items = view->Tree().GetChildCount(wide);
    }
    window_bench::CloseQueryWindow(frame);
    if (tables.items != tables.plainRows || columns.items != columns.plainRows)
        throw std::runtime_error(fmt::format("{}: {} tables in the pane, {} from SQLTables; {} columns, {} from "
                                             "SQLColumns",
                                             driver, tables.items, tables.plainRows, columns.items, columns.plainRows));
}

void PrintRow(const std::string& driver, const char* node, const Timing& t)
{
    fmt::print("{:<11} {:<22} {:>7} {:>10.1f} {:>10.1f} {:>11.1f} {:>13.2f} {:>13.2f}\n", driver, node, t.items,
               t.plain * 1000, t.loaded * 1000, t.painted * 1000, t.loaded / t.plain, t.painted / t.plain);
}

// The wide table and tables - 1 small ones.
std::string SqliteFill(long tables, const std::string& wide, long wideColumns)
{
    std::string sql = "BEGIN;\n";
    for (long i = 1; i <= tables - 1; ++i)
        sql += fmt::format("CREATE TABLE t{:05} (id INTEGER, label VARCHAR(20));\n", i);
    sql += "CREATE TABLE " + wide + " (c0001 INTEGER PRIMARY KEY";
    for (long c = 2; c <= wideColumns; ++c)
        sql += fmt::format(", c{:04} VARCHAR(20)", c);
    return sql + ");\nCOMMIT;\n";
}

// The same made by the server in batches, each a transaction of its own that the lock table
// can hold.
std::vector<std::string> PostgresFill(long tables, const std::string& wide, long wideColumns)
{
    std::vector<std::string> statements;
    for (long first = 1; first <= tables - 1; first += 500)
        statements.push_back(fmt::format(
            "DO $$ BEGIN FOR i IN {}..{} LOOP EXECUTE format('CREATE TABLE t%s (id integer, label varchar(20))', "
            "lpad(i::text, 5, '0')); END LOOP; END $$",
            first, std::min(first + 499, tables - 1)));
    statements.push_back(fmt::format(
        "DO $$ DECLARE s text := 'CREATE TABLE {} (c0001 integer PRIMARY KEY'; BEGIN FOR c IN 2..{} LOOP "
        "s := s || format(', c%s varchar(20)', lpad(c::text, 4, '0')); END LOOP; EXECUTE s || ')'; END $$",
        wide, wideColumns));
    return statements;
}

} // namespace

int main(int argc, char** argv)
try {
    window_bench::EnsureDisplay(argc, argv);
    long tables = 10000, wideColumns = 1000;
    if (const char* v = std::getenv("TORVANE_BENCH_TABLES"))
        tables = std::atol(v);
    if (const char* v = std::getenv("TORVANE_BENCH_COLUMNS"))
        wideColumns = std::atol(v);
    const std::filesystem::path dir = window_bench::UsePrivateFolders("schema");
    const std::string wide = "wide";

    // SQLite: a fresh file filled by the sqlite3 client.
    const std::string file = (dir / "schema.db").string();
    {
        std::ofstream script(dir / "fill.sql");
        script << SqliteFill(tables, wide, wideColumns);
    }
    Run({"sqlite3", file}, "/dev/null", (dir / "fill.sql").string());
    std::unique_ptr<ScratchPostgres> scratch;
    if (const char* pg = std::getenv("TORVANE_PG_CONNECT"))
        scratch = std::make_unique<ScratchPostgres>(pg, fmt::format("torvane_schema_{}", getpid()),
                                                    PostgresFill(tables, wide, wideColumns));

    window_bench::StartApplication(argc, argv);
    fmt::print("{:<11} {:<22} {:>7} {:>10} {:>10} {:>11} {:>13} {:>13}\n", "driver", "node", "items", "ODBC ms",
               "pane ms", "painted ms", "pane vs ODBC", "painted/ODBC");
    Timing sqliteTables, sqliteColumns;
    MeasureDriver("SQLite", "Driver=SQLite3;Database=" + file + ";", wide, sqliteTables, sqliteColumns);
    PrintRow("SQLite", "Tables folder", sqliteTables);
    PrintRow("SQLite", "columns of a table", sqliteColumns);
    if (scratch) {
        Timing pgTables, pgColumns;
        MeasureDriver("PostgreSQL", scratch->ConnectString(), wide, pgTables, pgColumns);
        PrintRow("PostgreSQL", "Tables folder", pgTables);
        PrintRow("PostgreSQL", "columns of a table", pgColumns);
    }
    std::filesystem::remove_all(dir);
    return 0;
} catch (const std::exception& e) {
    fmt::print(stderr, "schema benchmark: {}\n", e.what());
    return 1;
}
