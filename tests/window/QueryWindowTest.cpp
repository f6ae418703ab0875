#include "QueryWindowTest.h"

#include "WindowTestMain.h"
#include "app/MainFrame.h"
#include "app/TorvaneApp.h"
#include "platform/MessageBox.h"
#include "query/ChildFrame.h"

#include <vector>

using namespace std::chrono_literals;
using namespace torvane::test;

namespace window_test {

CMainFrame& Main()
{
    return *TheApp().GetMainFrame();
}

void CloseQueryWindows()
{
    CMessageScript quiet{wxID_NO, wxID_NO, wxID_NO, wxID_NO};
    for (CChildFrame* frame : std::vector<CChildFrame*>(Main().GetQueryWindows()))
        frame->Close(true);
    PumpUntil([] { return Main().GetConnectionCount() == 0; }, 5s);
    Pump();
}

std::string CleanDatabaseConnectionString(Driver driver)
{
    if (driver == Driver::SQLite)
        return NewSqliteConnectionString();
    std::string connect = PostgresConnectionString();
    ExecDirect(connect, "DROP SCHEMA IF EXISTS public CASCADE");
    ExecDirect(connect, "CREATE SCHEMA public");
    return connect;
}

void PrintTo(const RunPath& path, std::ostream* os)
{
    *os << DriverName(path.driver) << (path.async ? ", asynchronous opens" : ", worker executes");
}

std::string RunPathName(const ::testing::TestParamInfo<RunPath>& info)
{
    return std::string(DriverName(info.param.driver)) + (info.param.async ? "Async" : "Worker");
}

} // namespace window_test
