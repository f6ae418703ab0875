// Entry point of the window tests: the real application object on the display (Xvfb under
// scripts/test.sh), with a private XDG folder set for the process.
#include "GuiSupport.h"
#include "TempEnvironment.h"

#include "app/TorvaneApp.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>
#include <wx/init.h>

#include <atomic>
#include <cstdio>

CTempEnvironment* g_env = nullptr;

namespace {

// Failed checks of the class library outside any test: while the application ends.
std::atomic<bool> g_assertOutsideTests{false};

// A failed check of the class library is a failed test, not a dialog nobody answers; outside a
// test it fails the whole run.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    if (!::testing::UnitTest::GetInstance()->current_test_info()) {
        g_assertOutsideTests = true;
        std::fprintf(stderr, "%s(%d): wx assertion %s in %s: %s\n", file.utf8_string().c_str(), line,
                     cond.utf8_string().c_str(), func.utf8_string().c_str(), msg.utf8_string().c_str());
        return;
    }
    ADD_FAILURE_AT(file.utf8_string().c_str(), line) << "wx assertion " << cond << " in " << func << ": " << msg;
}

} // namespace

int main(int argc, char** argv)
{
    CTempEnvironment env;
    g_env = &env;
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    wxSetAssertHandler(FailOnAssert);
    wxApp::SetInstance(new CTorvaneApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "The window tests need a display (run them through scripts/test.sh).\n");
        return 1;
    }
    // No box may wait for an answer that never comes; tests that look at messages script their own.
    CMessageScript unattended;
    // Nor may a dialog: one that no test answers fails the test and is cancelled. Registered
    // first, it is asked last, after the answerers of the tests.
    CDialogAnswerer unanswered([](wxDialog&) { return true; },
                               [](wxDialog& dialog) {
                                   ADD_FAILURE() << "unanswered dialog \"" << dialog.GetTitle().utf8_string() << "\"";
                                   return static_cast<int>(wxID_CANCEL);
                               });
    int rc = RUN_ALL_TESTS();
    TheApp().ShutDown();
    wxEntryCleanup();
    return g_assertOutsideTests ? 1 : rc;
}
