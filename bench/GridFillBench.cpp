// Results grid benchmark: 1,000,000 rows x 5 columns from SQLite and from PostgreSQL, read once
// by the data layer's plain fetch (every cell's text into one reused buffer) and once into a
// results grid of a real query window, its event loop running, in the same process and run.
// Prints, per database, the ratios the grid is held to:
//   - fill time / plain fetch time                       (goal <= 1.3)
//   - first rows on screen after the first fetch         (goal < 0.5 s)
//   - grid memory / the same data as CSV                 (goal < 1.5)
//   - longest event-loop stall during the fill           (goal < 100 ms)
//
// Environment: TORVANE_PG_CONNECT and TORVANE_PG_PORT (set by scripts/bench.sh);
// TORVANE_BENCH_ROWS overrides the row count. Without a display it runs itself under xvfb-run.
#include "BenchSupport.h"
#include "WindowBench.h"
#include "ado/Ado.h"
#include "app/MainFrame.h"
#include "query/ChildFrame.h"
#include "query/MSHFlexGrid.h"
#include "query/ResultTable.h"

#include <fmt/format.h>
#include <wx/eventfilter.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const char* const kSelect = "SELECT id, label, amount, stamp, maybe FROM bench ORDER BY id";

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Bytes of a CSV field: quoted, with doubled quotes, when it holds a delimiter, quote or line break.
size_t CsvFieldBytes(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text.size();
    return text.size() + 2 + static_cast<size_t>(std::count(text.begin(), text.end(), '"'));
}

struct FetchResult {
    double seconds = 0;
    size_t rows = 0;
};

// The data layer's plain fetch: every cell's text appended to one reused buffer.
FetchResult PlainFetch(const std::string& connectString)
{
    ado::ConnectionPtr connection = ado::Connection::Create();
    connection->Open(connectString);
    FetchResult result;
    const auto start = Clock::now();
    _variant_t affected;
    ado::RecordsetPtr rs = connection->Execute(kSelect, &affected, ado::adCmdText);
    const long count = rs->GetFields()->GetCount();
    std::string cell;
    for (; !rs->IsEOF(); rs->MoveNext()) {
        for (long i = 0; i < count; ++i) {
            cell.clear();
            rs->AppendCellText(i, cell);
        }
        ++result.rows;
    }
    result.seconds = Seconds(Clock::now() - start);
    rs->Close();
    connection->Close();
    return result;
}

// The size of the grid's cells written as CSV with a header row and CR LF line ends.
size_t CsvBytes(const CGridStore& store)
{
    size_t bytes = 0;
    const size_t columns = store.GetColumnCount();
    for (size_t c = 0; c < columns; ++c)
        bytes += CsvFieldBytes(store.GetColumnName(c)) + 1;
    bytes += 1; // CR LF instead of the last comma
    for (size_t r = 0; r < store.GetRowCount(); ++r) {
        for (size_t c = 0; c < columns; ++c)
            bytes += CsvFieldBytes(std::string(store.GetCell(r, c))) + 1;
        bytes += 1;
    }
    return bytes;
}

struct FillResult {
    double seconds = 0;
    double firstRowsOnScreen = -1; // seconds after the first fetch
    double longestStallMs = 0;
    size_t rows = 0;
    size_t gridBytes = 0;
    size_t csvBytes = 0;
};

// Notes when the window's first grid is first painted on screen with rows. A filter sees every
// paint from the grid's creation on: the grid can be made, shown and painted between two ticks of
// the event loop, before a handler bound on a tick could be.
class FirstRowsWatch : public wxEventFilter {
public:
    explicit FirstRowsWatch(const CChildFrame& frame) : m_frame(frame) { wxEvtHandler::AddFilter(this); }
    ~FirstRowsWatch() override { wxEvtHandler::RemoveFilter(this); }
    FirstRowsWatch(const FirstRowsWatch&) = delete;
    FirstRowsWatch& operator=(const FirstRowsWatch&) = delete;

    int FilterEvent(wxEvent& event) override
    {
        if (m_seen || event.GetEventType() != wxEVT_PAINT)
            return Event_Skip;
        const CMSHFlexGrid* grid = m_frame.GetResultGrid(1);
        if (grid && event.GetEventObject() == grid->GetGridWindow() && grid->IsShownOnScreen() &&
            grid->GetResultTable()->GetShownRows() > 0) {
            m_seen = true;
            m_when = Clock::now();
        }
        return Event_Skip;
    }

    bool Seen() const { return m_seen; }
    Clock::time_point When() const { return m_when; }

private:
    const CChildFrame& m_frame;
    bool m_seen = false;
    Clock::time_point m_when{};
};

// A query window on the connection; the grid worker fills its grid on a thread of its own
// while the window's event loop runs, as during an execution.
FillResult GridFill(const std::string& connectString, long rows)
{
    CChildFrame& frame = window_bench::OpenQueryWindow(connectString);
    FillResult result;
    {
        const FirstRowsWatch watch(frame);
        const window_bench::FillTimes times =
            window_bench::FillGrids(frame, kSelect, window_bench::DeadlineFor(rows), [&watch] { return watch.Seen(); },
                                    "the first paint of the grid with rows");
        result.seconds = Seconds(times.end - times.start);
        result.firstRowsOnScreen = Seconds(watch.When() - times.firstFetch);
        result.longestStallMs = times.longestStallMs;
    }
    const CMSHFlexGrid* grid = frame.GetResultGrid(1);
    result.rows = grid ? grid->GetStore()->GetRowCount() : 0;
    result.gridBytes = grid ? grid->GetStore()->GetMemoryUsage() : 0;
    result.csvBytes = grid ? CsvBytes(*grid->GetStore()) : 0;
    window_bench::CloseQueryWindow(frame);
    return result;
}

void PrintRow(const std::string& driver, const FetchResult& fetch, const FillResult& fill)
{
    fmt::print("{:<11} {:>9} {:>9.2f} {:>9.2f} {:>11.2f} {:>15.3f} {:>9.1f} {:>8.1f} {:>10.2f} {:>11.1f}\n", driver,
               fill.rows, fetch.seconds, fill.seconds, fill.seconds / fetch.seconds, fill.firstRowsOnScreen,
               fill.gridBytes / 1048576.0, fill.csvBytes / 1048576.0,
               static_cast<double>(fill.gridBytes) / static_cast<double>(fill.csvBytes), fill.longestStallMs);
}

void MeasureDriver(const std::string& driver, const std::string& connectString, long rows)
{
    // Best of five of each, alternating, so neither side profits from a warm cache or a quiet
    // moment of the machine alone.
    FetchResult fetch = PlainFetch(connectString);
    FillResult fill = GridFill(connectString, rows);
    for (int i = 1; i < 5; ++i) {
        const FetchResult nextFetch = PlainFetch(connectString);
        const FillResult nextFill = GridFill(connectString, rows);
        if (nextFetch.seconds < fetch.seconds)
            fetch = nextFetch;
        if (nextFill.seconds < fill.seconds)
            fill = nextFill;
    }
    if (static_cast<long>(fetch.rows) != rows || static_cast<long>(fill.rows) != rows)
        throw std::runtime_error(fmt::format("{}: {} rows fetched, {} in the grid, {} expected", driver, fetch.rows,
                                             fill.rows, rows));
    PrintRow(driver, fetch, fill);
}

} // namespace

int main(int argc, char** argv)
try {
    window_bench::EnsureDisplay(argc, argv);
    const long rows = BenchRows();
    const std::filesystem::path folder = window_bench::UsePrivateFolders("grid");
    window_bench::StartApplication(argc, argv);

    // The table of the fetch benchmark: integer, text with quotes and commas, double,
    // timestamp, integer with NULLs.
    const std::string file = (folder / "bench.db").string();
    Run({"sqlite3", file,
         fmt::format("CREATE TABLE bench (id INTEGER PRIMARY KEY, label TEXT, amount DOUBLE, stamp TIMESTAMP, "
                     "maybe INTEGER);"
                     "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < {}) "
                     "INSERT INTO bench SELECT i, 'row \"' || i || '\", with, commas', i * 1.5 / 7, "
                     "datetime(1700000000 + i, 'unixepoch'), CASE WHEN i % 3 = 0 THEN NULL ELSE i END FROM c;",
                     rows)});

    fmt::print("Results grid: {} rows x 5 columns, the data layer's plain fetch against the fill of a results grid "
               "in a query window (best of 5)\n\n",
               rows);
    fmt::print("{:<11} {:>9} {:>9} {:>9} {:>11} {:>15} {:>9} {:>8} {:>10} {:>11}\n", "driver", "rows", "fetch s",
               "fill s", "fill/fetch", "first rows s", "grid MB", "CSV MB", "grid/CSV", "stall ms");
    fmt::print("{:<11} {:>9} {:>9} {:>9} {:>11} {:>15} {:>9} {:>8} {:>10} {:>11}\n", "(goal)", "", "", "", "<= 1.3",
               "< 0.5", "", "", "< 1.5", "< 100");
    MeasureDriver("SQLite", "Driver=SQLite3;Database=" + file + ";StepAPI=1;", rows);

    if (const char* pg = std::getenv("TORVANE_PG_CONNECT")) {
        const ScratchPostgres db(
            pg, fmt::format("torvane_bench_grid_{}", getpid()),
            {"CREATE TABLE bench (id integer PRIMARY KEY, label text, amount double precision, stamp timestamp, "
             "maybe integer)",
             fmt::format("INSERT INTO bench SELECT i, 'row \"' || i || '\", with, commas', i * 1.5 / 7, "
                         "to_timestamp(1700000000 + i) AT TIME ZONE 'UTC', "
                         "CASE WHEN i % 3 = 0 THEN NULL ELSE i END FROM generate_series(1, {}) i",
                         rows),
             "VACUUM ANALYZE bench"});
        MeasureDriver("PostgreSQL", db.ConnectString() + "UseDeclareFetch=1;Fetch=1000;", rows);
    } else {
        fmt::print(stderr, "TORVANE_PG_CONNECT is not set: PostgreSQL is left out (scripts/bench.sh sets it)\n");
    }
    std::filesystem::remove_all(folder);
    fmt::print("\nfirst rows: from the first fetch to the first paint of the grid with rows; grid memory: the "
               "grid's store; stall: the longest gap between two 5 ms ticks of the window's event loop\n");
    std::fflush(stdout);
    // The windows go with the process; their teardown is not part of the measure.
    _exit(0);
} catch (const std::exception& e) {
    std::fflush(stdout);
    fmt::print(stderr, "bench_grid: {}\n", e.what());
    std::fflush(stderr);
    // A worker that would not stop goes with the process, as the windows do.
    _exit(1);
}
