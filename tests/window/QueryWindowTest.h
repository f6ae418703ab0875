// Helpers of the tests that open query windows on a test database in the running application.
#pragma once

#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>
#include <wx/string.h>

#include <ostream>
#include <string>

class CChildFrame;
class CMainFrame;

namespace window_test {

CMainFrame& Main();

// Closes every query window, answering "No" to any question, and waits until their
// connections are gone, so that the next test starts with none.
void CloseQueryWindows();

// A new query window on an ODBC connect string, or nullptr with a failed expectation that
// shows the first message the attempt gave.
CChildFrame* OpenQueryWindow(const std::string& connect);

// Results in Text on or off, switched with its command as the user does; its warning is not
// shown.
void SetResultsInText(CChildFrame& frame, bool on);

// The text of a pane of the window's status bar as it shows now.
wxString StatusPane(const CChildFrame& frame, int pane);

// Whether the window's command shows enabled, as its menu item and toolbar button show it.
bool CommandEnabled(CChildFrame& frame, int id);

// Waits until the window's run is under way with the long query (LongQuery.h) running at the
// database of connect; false when it did not come to that before a deadline. In LongQueryWait.cpp,
// which a test program that calls it builds with LongQuery.cpp.
bool WaitForLongQuery(const CChildFrame& frame, torvane::test::Driver driver, const std::string& connect);

// How a batch runs: on which database, and whether it is opened asynchronously on the window's
// recordset or run by the worker itself.
struct RunPath {
    torvane::test::Driver driver;
    bool async;
};

void PrintTo(const RunPath& path, std::ostream* os);
std::string RunPathName(const ::testing::TestParamInfo<RunPath>& info);

// Every driver on both paths.
inline auto AllRunPaths()
{
    using torvane::test::Driver;
    return ::testing::Values(RunPath{Driver::SQLite, true}, RunPath{Driver::SQLite, false},
                             RunPath{Driver::PostgreSQL, true}, RunPath{Driver::PostgreSQL, false});
}

} // namespace window_test
