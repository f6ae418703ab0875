// Runs the control helper tests inside a real wx application on the display (Xvfb in the test
// script). Listing the tests needs no display.
#include "GuiTest.h"

#include <wx/app.h>
#include <wx/init.h>

#include <gtest/gtest.h>

namespace {

class GuiTestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

// A failed wx assertion is a failed test, not a dialog.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_string().c_str(), line) << "wx assertion " << cond << " in " << func << ": " << msg;
}

} // namespace

void Pump(int rounds)
{
    for (int i = 0; i < rounds; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
        wxMilliSleep(5);
    }
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    wxApp::SetInstance(new GuiTestApp);
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "These tests need a display (run them through scripts/test.sh).\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxSetAssertHandler(FailOnAssert);
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
