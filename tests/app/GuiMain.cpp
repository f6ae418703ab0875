// Entry point of the window tests: the real application object on the display (Xvfb under
// scripts/test.sh), with a private XDG folder set for the process.
#include "GuiSupport.h"
#include "TempEnvironment.h"

#include "app/TorvaneApp.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>
#include <wx/init.h>

#include <cstdio>

CTempEnvironment* g_env = nullptr;

int main(int argc, char** argv)
{
    CTempEnvironment env;
    g_env = &env;
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
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
    return rc;
}
