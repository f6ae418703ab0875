// What the benchmarks of a query window share: the application started in this process under a
// display (Xvfb when there is none), with its settings in a private folder, and the window's
// event loop run while its longest stall is measured. All of it on the main thread; failures
// are thrown as std::runtime_error.
#pragma once

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

// Runs the event loop with a timer ticking every 5 ms until onTick returns true; returns the
// longest gap between two ticks in milliseconds: the longest the loop was held up.
double RunEventLoop(const std::function<bool()>& onTick);

} // namespace window_bench
