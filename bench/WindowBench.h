// What the benchmarks of a query window share: the application started in this process under a
// display (Xvfb when there is none), with its settings in a private folder, and the window's
// event loop run while its longest stall is measured. All of it on the main thread; failures
// are thrown as std::runtime_error.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

class CChildFrame;
class CMainFrame;

namespace window_bench {

// Runs this program again under xvfb-run when there is no display; returns only with one.
void EnsureDisplay(int argc, char** argv);

// Settings and the single-instance socket of this process go to a new temporary folder (named
// after the bench), which is returned.
std::filesystem::path UsePrivateFolders(const std::string& bench);

// The application started as the user starts it, its main window shown at 1200 x 800.
void StartApplication(int& argc, char** argv);
CMainFrame& Main();

// A query window on the connection string (ODBC attributes without a Provider), raised.
CChildFrame& OpenQueryWindow(const std::string& connectString);
// Closes the window and waits until its connection is gone.
void CloseQueryWindow(CChildFrame& frame);

// How long a wait for a run over the given number of rows may last: far beyond a run that
// works on a loaded machine, so that a run that never ends fails instead of holding the bench.
std::chrono::seconds DeadlineFor(long rows);

// Runs the event loop with a timer ticking every 5 ms until onTick returns true; returns the
// longest gap between two ticks in milliseconds: the longest the loop was held up. Throws
// "<what> did not end within N s" when onTick is still false after limit.
double RunEventLoop(const std::function<bool()>& onTick, std::chrono::seconds limit, const std::string& what);

struct FillTimes {
    std::chrono::steady_clock::time_point start;      // before the select is executed
    std::chrono::steady_clock::time_point firstFetch; // the select executed, its first row at hand
    std::chrono::steady_clock::time_point end;        // the grid worker done
    double longestStallMs = 0;                        // of the event loop, as RunEventLoop
};

// The window's results grids filled as during an execution: select is executed on the window's
// connection and the grid worker fills the grids on a thread of its own while the window's event
// loop runs. Returns once the worker has ended and onTick (called every 5 ms) returns true;
// waitingFor says what onTick waits for. A failure of the worker is thrown, and so is a fill that
// has not ended within limit, once its worker has been told to stop.
FillTimes FillGrids(
    CChildFrame& frame, const std::string& select, std::chrono::seconds limit,
    const std::function<bool()>& onTick = [] { return true; }, const std::string& waitingFor = std::string());

} // namespace window_bench
