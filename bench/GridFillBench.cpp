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
#include "app/MainFrame.h"
#include "app/StartupChecks.h"
#include "app/TorvaneApp.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "query/ChildFrame.h"
#include "query/MSHFlexGrid.h"
#include "query/ResultTable.h"
#include "querycore/GridWorker.h"

#include <fmt/format.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/timer.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const char* const kSelect = "SELECT id, label, amount, stamp, maybe FROM bench ORDER BY id";

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

void RunCommand(const std::vector<std::string>& args)
{
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(args.front() + " failed");
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

CMainFrame& Main()
{
    return *TheApp().GetMainFrame();
}

// A query window on the connection; the grid worker fills its grid on a thread of its own
// while the window's event loop runs, as during an execution.
FillResult GridFill(const std::string& connectString)
{
    CMessageScript quiet;
    // Without a Provider the string is taken as ODBC attributes, the same the plain fetch uses.
    CTorvaneDoc* doc = Main().NewQueryWindow(wxString::FromUTF8(connectString));
    if (!doc || !QueryFrameOf(doc))
        throw std::runtime_error("the query window did not open");
    CChildFrame& frame = *QueryFrameOf(doc);
    frame.Raise();
    wxYield();

    FillResult result;
    std::atomic<bool> done{false};
    std::atomic<long long> firstFetchTicks{0};
    std::string error;
    Clock::time_point firstOnScreen{};
    bool painted = false;
    CMSHFlexGrid* hooked = nullptr;

    wxGUIEventLoop loop;
    // Ticks of the loop: the longest gap between two is the longest stall.
    wxTimer ticker;
    Clock::time_point lastTick = Clock::now();
    double longestGap = 0;
    ticker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const auto now = Clock::now();
        longestGap = std::max(longestGap, Seconds(now - lastTick) * 1000.0);
        lastTick = now;
        CMSHFlexGrid* grid = frame.GetResultGrid(1);
        if (grid && grid != hooked) {
            hooked = grid;
            grid->GetGridWindow()->Bind(wxEVT_PAINT, [&, grid](wxPaintEvent& event) {
                event.Skip();
                if (!painted && grid->IsShownOnScreen() && grid->GetResultTable()->GetShownRows() > 0) {
                    painted = true;
                    firstOnScreen = Clock::now();
                }
            });
        }
        if (done && painted)
            loop.Exit();
    });

    frame.GetRunState()->m_bExecuting = 1;
    frame.GetRunState()->m_bStop = 0;
    std::shared_ptr<CQueryRunState> state = frame.GetRunState();
    ado::ConnectionPtr connection = frame.Connection().m_pConnection;
    CGridWorker::Options options;
    options.multipleResults = frame.Connection().m_bMultipleResults != 0;
    const auto start = Clock::now();
    std::thread worker([&, state, connection, options] {
        try {
            _variant_t affected;
            ado::RecordsetPtr rs = connection->Execute(kSelect, &affected, ado::adCmdText);
            firstFetchTicks = Clock::now().time_since_epoch().count();
            CGridWorker grids(state, options);
            grids.Run(rs, affected);
        } catch (const _com_error& e) {
            error = e.Description();
        } catch (const std::exception& e) {
            error = e.what();
        }
        result.seconds = Seconds(Clock::now() - start);
        done = true;
        wxWakeUpIdle();
    });
    lastTick = Clock::now();
    ticker.Start(5);
    loop.Run();
    ticker.Stop();
    worker.join();
    frame.GetRunState()->m_bExecuting = 0;
    if (!error.empty())
        throw std::runtime_error("grid fill: " + error);

    CMSHFlexGrid* grid = frame.GetResultGrid(1);
    result.rows = grid ? grid->GetStore()->GetRowCount() : 0;
    result.gridBytes = grid ? grid->GetStore()->GetMemoryUsage() : 0;
    result.csvBytes = grid ? CsvBytes(*grid->GetStore()) : 0;
    result.longestStallMs = longestGap;
    const Clock::time_point firstFetch{Clock::duration(firstFetchTicks.load())};
    result.firstRowsOnScreen = Seconds(firstOnScreen - firstFetch);
    frame.Close(true);
    for (int i = 0; i < 50 && Main().GetConnectionCount() > 0; ++i)
        wxYield();
    return result;
}

void PrintRow(const std::string& driver, const FetchResult& fetch, const FillResult& fill)
{
    fmt::print("{:<11} {:>9} {:>9.2f} {:>9.2f} {:>11.2f} {:>15.3f} {:>9.1f} {:>8.1f} {:>10.2f} {:>11.1f}\n", driver,
               fill.rows, fetch.seconds, fill.seconds, fill.seconds / fetch.seconds, fill.firstRowsOnScreen,
               fill.gridBytes / 1048576.0, fill.csvBytes / 1048576.0,
               static_cast<double>(fill.gridBytes) / static_cast<double>(fill.csvBytes), fill.longestStallMs);
}

void Measure(const std::string& driver, const std::string& connectString, long rows)
{
    // Best of five of each, alternating, so neither side profits from a warm cache or a quiet
    // moment of the machine alone.
    FetchResult fetch = PlainFetch(connectString);
    FillResult fill = GridFill(connectString);
    for (int i = 1; i < 5; ++i) {
        const FetchResult nextFetch = PlainFetch(connectString);
        const FillResult nextFill = GridFill(connectString);
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

// Settings and the single-instance socket of this process stay in a folder of its own.
std::filesystem::path UsePrivateFolders()
{
    char pattern[] = "/tmp/torvane-bench-grid-XXXXXX";
    const char* root = mkdtemp(pattern);
    if (!root)
        throw std::runtime_error("no temporary folder");
    const std::filesystem::path base(root);
    for (const char* name : {"config", "data", "runtime"})
        std::filesystem::create_directories(base / name);
    std::filesystem::permissions(base / "runtime", std::filesystem::perms::owner_all);
    setenv("XDG_CONFIG_HOME", (base / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (base / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (base / "runtime").c_str(), 1);
    return base;
}

void QuietAssert(const wxString&, int, const wxString&, const wxString&, const wxString&) {}

void StartApplication(int& argc, char** argv)
{
    // The program's command ids lie above the library's own range, which it asserts on.
    wxSetAssertHandler(QuietAssert);
    auto* app = new CTorvaneApp;
    wxApp::SetInstance(app);
    if (!wxEntryStart(argc, argv))
        throw std::runtime_error("no display");
    delete wxLog::SetActiveTarget(new wxLogStderr);
    CSettingsStore::Get().WriteProfileInt("Configure", "Startup", 2);
    startup::Services services = startup::Services::Default();
    services.gridAvailable = [] { return true; };
    app->SetStartupServices(services);
    app->SetCommandLine({});
    if (!app->InitInstance() || !app->GetMainFrame())
        throw std::runtime_error("the application did not start");
    Main().SetSize(1200, 800);
    Main().Show();
}

} // namespace

int main(int argc, char** argv)
try {
    if (!std::getenv("DISPLAY")) {
        std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                                   const_cast<char*>("-screen 0 1600x1000x24")};
        for (int i = 0; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        execvp(args[0], args.data());
        throw std::runtime_error("no display, and xvfb-run did not start");
    }
    long rows = 1000000;
    if (const char* v = std::getenv("TORVANE_BENCH_ROWS"))
        rows = std::atol(v);
    const std::filesystem::path folder = UsePrivateFolders();
    StartApplication(argc, argv);

    // The table of the fetch benchmark: integer, text with quotes and commas, double,
    // timestamp, integer with NULLs.
    const std::string file = (folder / "bench.db").string();
    RunCommand({"sqlite3", file,
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
    Measure("SQLite", "Driver=SQLite3;Database=" + file + ";StepAPI=1;", rows);

    if (const char* pg = std::getenv("TORVANE_PG_CONNECT")) {
        const std::string port = std::getenv("TORVANE_PG_PORT") ? std::getenv("TORVANE_PG_PORT") : "5432";
        const std::string db = fmt::format("torvane_bench_grid_{}", getpid());
        const std::vector<std::string> psql = {"psql", "-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", "127.0.0.1",
                                               "-p", port, "-U", "torvane"};
        auto with = [&](const std::string& database, std::vector<std::string> commands) {
            std::vector<std::string> args = psql;
            args.insert(args.end(), {"-d", database});
            for (auto& c : commands)
                args.insert(args.end(), {"-c", c});
            return args;
        };
        RunCommand(with("postgres", {"CREATE DATABASE " + db}));
        RunCommand(with(db, {"CREATE TABLE bench (id integer PRIMARY KEY, label text, amount double precision, "
                             "stamp timestamp, maybe integer)",
                             fmt::format("INSERT INTO bench SELECT i, 'row \"' || i || '\", with, commas', i * 1.5 / 7, "
                                         "to_timestamp(1700000000 + i) AT TIME ZONE 'UTC', "
                                         "CASE WHEN i % 3 = 0 THEN NULL ELSE i END FROM generate_series(1, {}) i",
                                         rows),
                             "VACUUM ANALYZE bench"}));
        std::string connect = pg;
        if (size_t at = connect.find("Database=postgres"); at != std::string::npos)
            connect.replace(at, 17, "Database=" + db);
        try {
            Measure("PostgreSQL", connect + "UseDeclareFetch=1;Fetch=1000;", rows);
        } catch (...) {
            RunCommand(with("postgres", {"DROP DATABASE " + db}));
            throw;
        }
        RunCommand(with("postgres", {"DROP DATABASE " + db}));
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
    fmt::print(stderr, "bench_grid: {}\n", e.what());
    return 1;
}
