// Grid sorting and copying benchmark: a results grid of 1,000,000 rows x 5 columns from SQLite
// in a real query window, sorted by a text column and by a numeric column through the sort
// command, and copied whole to the clipboard; beside GNU sort (one thread, C locale, stable) on
// the same data exported as tab-separated text, and beside the program's CSV export of the same
// result set, in the same run. Prints the ratios the grid is held to:
//   - sort time / GNU sort time                          (goal <= 2)
//   - copy time / CSV export time                        (goal <= 1.5)
//   - (grid + the most the sort or copy adds) / grid     (goal <= 1.5)
//
// TORVANE_BENCH_ROWS overrides the row count. Without a display it runs itself under xvfb-run.
#include "BenchSupport.h"
#include "WindowBench.h"
#include "ado/Ado.h"
#include "common/CommandIds.h"
#include "query/ChildFrame.h"
#include "query/MSHFlexGrid.h"
#include "query/ResultTable.h"
#include "query/ResultView.h"
#include "querycore/DelimitedTextWriter.h"

#include <fmt/format.h>
#include <wx/app.h>

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// A line of /proc/self/status in kB.
long StatusKb(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::atol(line.c_str() + prefix.size());
    return 0;
}

// Measures the wall time of work and the most memory it added to the process at any moment.
struct Measured {
    double seconds = 0;
    long addedKb = 0;
};
template <class Work>
Measured Track(Work&& work)
{
    // Memory freed before is given back, then the peak resident size is reset to the current one.
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = StatusKb("VmRSS");
    const auto start = Clock::now();
    work();
    Measured m;
    m.seconds = Seconds(Clock::now() - start);
    m.addedKb = std::max(StatusKb("VmHWM") - before, 0L);
    return m;
}

// Fills the window's first grid from the bench table, its event loop running.
CMSHFlexGrid& FillGrid(CChildFrame& frame, long rows)
{
    window_bench::FillGrids(frame, kSelect, window_bench::DeadlineFor(rows));
    frame.ShowResults();
    window_bench::RunEventLoop([n = 0]() mutable { return ++n > 20; }, std::chrono::seconds(60),
                               "showing the grid");
    CMSHFlexGrid* grid = frame.GetResultView()->GetCurrentGrid();
    if (!grid)
        throw std::runtime_error("no grid shown");
    grid->SyncWithStore();
    return *grid;
}

// The grid's cells as tab-separated lines, as GNU sort reads them.
void ExportAsText(const CGridStore& store, const std::string& path)
{
    const CGridStore::Reader reader(store);
    std::string text;
    for (size_t r = 0; r < reader.GetRowCount(); ++r) {
        for (size_t c = 0; c < reader.GetColumnCount(); ++c) {
            if (c)
                text += '\t';
            text += reader.GetCell(r, c);
        }
        text += '\n';
    }
    std::ofstream(path, std::ios::binary) << text;
}

// The sort command on a column, best of three, each from the grid's original order.
Measured SortColumn(CChildFrame& frame, CMSHFlexGrid& grid, int col)
{
    Measured best;
    for (int i = 0; i < 3; ++i) {
        grid.GetResultTable()->GetOrder().clear();
        grid.GetResultTable()->SetSortMark(-1, false);
        grid.SetSelection(1, col, grid.GetRows() - 1, col);
        const Measured m = Track([&] { frame.GetResultView()->SortColumn(true); });
        if (i == 0 || m.seconds < best.seconds)
            best.seconds = m.seconds;
        best.addedKb = std::max(best.addedKb, m.addedKb);
    }
    return best;
}

// Copy of every cell, and the text written as a paste asks for it, best of three. The buffer
// the pasting program receives is its own: it is made beforehand and not counted.
Measured CopyAll(CChildFrame& frame, CMSHFlexGrid& grid, size_t& textBytes)
{
    CResultView& view = *frame.GetResultView();
    grid.SetSelection(1, 1, grid.GetRows() - 1, grid.GetCols() - 1);
    textBytes = view.MakeGridCopyText(true).Size();
    std::vector<char> pasted(textBytes);
    std::fill(pasted.begin(), pasted.end(), '\0');
    Measured best;
    for (int i = 0; i < 3; ++i) {
        grid.SetSelection(1, 1, grid.GetRows() - 1, grid.GetCols() - 1);
        const Measured m = Track([&] {
            wxCommandEvent copy(wxEVT_MENU, ID_EDIT_COPY);
            view.OnEditCopy(copy);
            const CGridCopyText text = view.MakeGridCopyText(true);
            if (text.Size() != pasted.size())
                throw std::runtime_error("the copied text changed its size");
            text.Write(pasted.data());
        });
        if (i == 0 || m.seconds < best.seconds)
            best.seconds = m.seconds;
        best.addedKb = std::max(best.addedKb, m.addedKb);
    }
    return best;
}

// The program's delimited export of the same result set, best of three.
double CsvExport(const std::string& connectString, const std::string& path)
{
    ado::ConnectionPtr connection = ado::Connection::Create();
    connection->Open(connectString);
    double best = 0;
    for (int i = 0; i < 3; ++i) {
        const auto start = Clock::now();
        _variant_t affected;
        ado::RecordsetPtr rs = connection->Execute(kSelect, &affected, ado::adCmdText);
        const std::atomic<int> stop{0};
        if (!SaveRecordsetAsText(*rs, path, ",", false, stop))
            throw std::runtime_error("the CSV export stopped");
        const double seconds = Seconds(Clock::now() - start);
        rs->Close();
        if (i == 0 || seconds < best)
            best = seconds;
    }
    connection->Close();
    return best;
}

} // namespace

int main(int argc, char** argv)
try {
    window_bench::EnsureDisplay(argc, argv);
    const long rows = BenchRows();
    const std::filesystem::path folder = window_bench::UsePrivateFolders("grid_sort");
    window_bench::StartApplication(argc, argv);

    // The table of the grid benchmark: integer, text with quotes and commas, double,
    // timestamp, integer with NULLs; the text and the double in shuffled order.
    const std::string file = (folder / "bench.db").string();
    Run({"sqlite3", file,
         fmt::format("CREATE TABLE bench (id INTEGER PRIMARY KEY, label TEXT, amount DOUBLE, stamp TIMESTAMP, "
                     "maybe INTEGER);"
                     "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < {0}) "
                     "INSERT INTO bench SELECT i, 'row \"' || ((i * 7919) % {0}) || '\", with, commas', "
                     "((i * 104729) % {0}) * 1.5 / 7, datetime(1700000000 + i, 'unixepoch'), "
                     "CASE WHEN i % 3 = 0 THEN NULL ELSE i END FROM c;",
                     rows)});
    const std::string connectString = "Driver=SQLite3;Database=" + file + ";StepAPI=1;";

    CChildFrame& frame = window_bench::OpenQueryWindow(connectString);
    CMSHFlexGrid& grid = FillGrid(frame, rows);
    const CGridStore& store = *grid.GetStore();
    if (static_cast<long>(store.GetRowCount()) != rows)
        throw std::runtime_error(fmt::format("{} rows in the grid, {} expected", store.GetRowCount(), rows));
    const double gridMb = store.GetMemoryUsage() / 1048576.0;

    const std::string text = (folder / "bench.tsv").string();
    ExportAsText(store, text);
    const Measure gnuText = Best({"env", "LC_ALL=C", "sort", "--parallel=1", "-s", "-f", "-t", "\t", "-k2,2", text});
    const Measure gnuNumber = Best({"env", "LC_ALL=C", "sort", "--parallel=1", "-s", "-n", "-t", "\t", "-k3,3", text});
    std::filesystem::remove(text);

    const Measured sortText = SortColumn(frame, grid, 2);
    const Measured sortNumber = SortColumn(frame, grid, 3);
    size_t copyBytes = 0;
    const Measured copy = CopyAll(frame, grid, copyBytes);
    const double csv = CsvExport(connectString, (folder / "bench.csv").string());

    fmt::print("Grid sort and copy: {} rows x 5 columns from SQLite in a results grid (grid {:.1f} MB), best of 3\n\n",
               rows, gridMb);
    fmt::print("{:<22} {:>9} {:>18} {:>8} {:>10} {:>13} {:>8}\n", "operation", "grid s", "against", "s", "ratio",
               "added MB", "memory");
    fmt::print("{:<22} {:>9} {:>18} {:>8} {:>10} {:>13} {:>8}\n", "(goal)", "", "", "", "", "", "<= 1.5");
    const auto row = [gridMb](const char* what, const Measured& m, const char* against, double seconds,
                              const char* goal) {
        const double added = m.addedKb / 1024.0;
        fmt::print("{:<22} {:>9.3f} {:>18} {:>8.3f} {:>5.2f} {:<4} {:>13.1f} {:>8.2f}\n", what, m.seconds, against,
                   seconds, m.seconds / seconds, goal, added, (gridMb + added) / gridMb);
    };
    row("sort by text column", sortText, "GNU sort -f", gnuText.seconds, "<=2");
    row("sort by number column", sortNumber, "GNU sort -n", gnuNumber.seconds, "<=2");
    row("copy all + paste text", copy, "CSV export", csv, "<=1.5");
    fmt::print("\nGNU sort: one thread, C locale, stable, on the grid's cells as tab-separated text; CSV export: "
               "the program's delimited export of the same SELECT; copy: the Copy command and the clipboard "
               "text ({:.1f} MB) written as a paste asks for it, into the pasting program's buffer; added: the most "
               "resident memory the operation added; memory: (grid + added) / grid\n",
               copyBytes / 1048576.0);
    std::filesystem::remove_all(folder);
    std::fflush(stdout);
    _exit(0);
} catch (const std::exception& e) {
    std::fflush(stdout);
    fmt::print(stderr, "bench_grid_sort: {}\n", e.what());
    std::fflush(stderr);
    // A worker that would not stop goes with the process, as the windows do.
    _exit(1);
}
