// Results in Text benchmark: 1,000,000 lines of text output from a real SQLite query (a recursive
// query through the ODBC driver) run in a query window, its event loop running, against the
// sqlite3 shell writing the same lines to a file, in the same run. Prints the ratios the text
// output is held to:
//   - window time / sqlite3 time: from Execute until every line is in the results view
//   - longest event-loop stall while the output arrives   (goal < 100 ms)
//
// Environment: TORVANE_BENCH_ROWS overrides the line count. Without a display it runs itself
// under xvfb-run.
#include "BenchSupport.h"
#include "WindowBench.h"
#include "common/CommandIds.h"
#include "editor/QryView.h"
#include "query/BatchExecution.h"
#include "query/ChildFrame.h"
#include "query/ResultView.h"
#include "query/ResultsText.h"

#include <fmt/format.h>
#include <wx/stc/stc.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 3;

// The lines as a value each: the window shows values one after another, so each brings its
// own line end; the shell ends every row with one itself.
std::string LinesQuery(long lines, bool lineEnds)
{
    return fmt::format("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < {}) "
                       "SELECT 'line ' || i || ' of the text output'{} AS line FROM c",
                       lines, lineEnds ? " || char(10)" : "");
}

struct WindowRun {
    double seconds = 0;
    double longestStallMs = 0;
};

// One run of the query in a new query window with Results in Text on, until the last line is
// in the view; checks that every line arrived and the result-set pane counts them.
WindowRun RunInWindow(const std::string& connectString, long lines)
{
    CChildFrame& frame = window_bench::OpenQueryWindow(connectString);
    frame.OutputMode().m_bResultsInText = 1;
    frame.Connection().m_bResultsInTextWarning = 0;
    frame.GetQueryView()->GetEditCtrl()->SetText(LinesQuery(lines, true));
    CResultsText& text = frame.GetExecution().ResultsText();

    WindowRun run;
    bool started = false;
    const auto start = Clock::now();
    frame.CallAfter([&frame, &started] {
        wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
        frame.GetEventHandler()->ProcessEvent(execute);
        started = true;
    });
    run.longestStallMs =
        window_bench::RunEventLoop([&] { return started && !frame.IsExecuting() && !text.IsAppending(); },
                                   window_bench::DeadlineFor(lines), "the run in the query window");
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();

    // The column name and its dash line, then the lines; the view leaves out the last line end.
    CResultView& view = *frame.GetResultView();
    const long shown = view.GetLineCount();
    const std::string pane = frame.GetExecution().View().m_strResultsPaneText.ToStdString();
    const std::string last = view.GetLineText(shown - 1).ToStdString();
    if (shown != lines + 2 || last != fmt::format("line {} of the text output", lines) ||
        pane != fmt::format("Number of lines of text: {}", shown))
        throw std::runtime_error(fmt::format("the window shows {} lines ending in '{}', its pane reads '{}', for {} lines",
                                             shown, last, pane, lines));
    window_bench::CloseQueryWindow(frame);
    return run;
}

long CountLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return static_cast<long>(std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n'));
}

} // namespace

int main(int argc, char** argv)
try {
    window_bench::EnsureDisplay(argc, argv);
    const long lines = BenchRows();
    const std::filesystem::path folder = window_bench::UsePrivateFolders("text");
    window_bench::StartApplication(argc, argv);

    const std::string file = (folder / "bench.db").string();
    Run({"sqlite3", file, "CREATE TABLE bench (id INTEGER PRIMARY KEY)"});
    const std::string shellOutput = (folder / "lines.txt").string();
    const Measure shell = Best({"sqlite3", file, LinesQuery(lines, false)}, shellOutput);
    if (CountLines(shellOutput) != lines)
        throw std::runtime_error("sqlite3 wrote " + std::to_string(CountLines(shellOutput)) + " lines");

    const std::string connect = "Driver=SQLite3;Database=" + file + ";StepAPI=1;";
    WindowRun best = RunInWindow(connect, lines);
    double longestStallMs = best.longestStallMs;
    for (int i = 1; i < kRuns; ++i) {
        const WindowRun next = RunInWindow(connect, lines);
        best.seconds = std::min(best.seconds, next.seconds);
        longestStallMs = std::max(longestStallMs, next.longestStallMs);
    }

    fmt::print("Results in Text: {} lines from a recursive query on SQLite into a query window, against the sqlite3 "
               "shell writing them to a file (best of {})\n\n",
               lines, kRuns);
    fmt::print("{:<11} {:>9} {:>11} {:>10} {:>16} {:>11}\n", "driver", "lines", "sqlite3 s", "window s",
               "window/sqlite3", "stall ms");
    fmt::print("{:<11} {:>9} {:>11} {:>10} {:>16} {:>11}\n", "(goal)", "", "", "", "", "< 100");
    fmt::print("{:<11} {:>9} {:>11.2f} {:>10.2f} {:>16.2f} {:>11.1f}\n", "SQLite", lines, shell.seconds, best.seconds,
               best.seconds / shell.seconds, longestStallMs);
    fmt::print("\nwindow: from Execute until the last line is in the results view; stall: the longest gap between "
               "two 5 ms ticks of the window's event loop in any of the runs\n");
    std::filesystem::remove_all(folder);
    std::fflush(stdout);
    // The windows go with the process; their teardown is not part of the measure.
    _exit(0);
} catch (const std::exception& e) {
    fmt::print(stderr, "bench_text_output: {}\n", e.what());
    return 1;
}
