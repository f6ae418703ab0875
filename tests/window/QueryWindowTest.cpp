#include "QueryWindowTest.h"

#include "app/MainFrame.h"
#include "app/TorvaneApp.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "query/ChildFrame.h"
#include "query/QueryKeyRouting.h"
#include "WindowTestMain.h"

#include <vector>

using namespace std::chrono_literals;
using namespace torvane::test;

namespace window_test {

CMainFrame& Main()
{
    return *TheApp().GetMainFrame();
}

void SetResultsInText(CChildFrame& frame, bool on)
{
    if ((frame.OutputMode().m_bResultsInText != 0) == on)
        return;
    int& warning = frame.Connection().m_bResultsInTextWarning;
    const int warned = warning;
    warning = 0;
    wxCommandEvent command(wxEVT_MENU, ID_RESULTS_IN_TEXT);
    frame.GetEventHandler()->ProcessEvent(command);
    warning = warned;
    EXPECT_EQ(frame.OutputMode().m_bResultsInText != 0, on);
}

void CloseQueryWindows()
{
    CMessageScript quiet{wxID_NO, wxID_NO, wxID_NO, wxID_NO};
    for (CChildFrame* frame : std::vector<CChildFrame*>(Main().GetQueryWindows()))
        frame->Close(true);
    PumpUntil([] { return Main().GetConnectionCount() == 0; }, 5s);
    Pump();
}

CChildFrame* OpenQueryWindow(const std::string& connect)
{
    CMessageScript messages;
    CTorvaneDoc* doc = Main().NewQueryWindow(wxString::FromUTF8(connect));
    EXPECT_TRUE(doc) << (messages.Texts().empty() ? wxString() : messages.Texts().front());
    return QueryFrameOf(doc);
}

wxString StatusPane(const CChildFrame& frame, int pane)
{
    return frame.GetQueryStatusBar()->GetStatusText(pane);
}

bool CommandEnabled(CChildFrame& frame, int id)
{
    wxUpdateUIEvent update(id);
    update.SetEventObject(&frame);
    frame.GetEventHandler()->ProcessEvent(update);
    return update.GetSetEnabled() && update.GetEnabled();
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
