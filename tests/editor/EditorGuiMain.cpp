// Runs the editor's window tests inside a real wx application (under Xvfb in the test run), with
// the settings in a folder of their own so that parallel test processes never share a file.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>

#include <cstdlib>
#include <string>

namespace {

// A failed check of the class library is a failed test, not a dialog nobody answers.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_string().c_str(), line) << "wx assertion " << cond << " in " << func << ": " << msg;
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    char folder[] = "/tmp/torvane-editor-tests-XXXXXX";
    if (!mkdtemp(folder))
        return 2;
    setenv("XDG_CONFIG_HOME", folder, 1);
    wxSetAssertHandler(FailOnAssert);
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
