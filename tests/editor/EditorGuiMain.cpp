// Runs the editor's window tests inside a real wx application (under Xvfb in the test run), with
// the settings in a folder of their own so that parallel test processes never share a file.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    char folder[] = "/tmp/torvane-editor-tests-XXXXXX";
    if (!mkdtemp(folder))
        return 2;
    setenv("XDG_CONFIG_HOME", folder, 1);
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit())
        return 2;
    int rc = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    std::string cleanup = std::string("rm -rf '") + folder + "'";
    (void)std::system(cleanup.c_str());
    return rc;
}
