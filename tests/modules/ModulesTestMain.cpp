// Entry point of the plugin tests that need no display: settings in a private folder, so that
// the class registry the tests write is their own.
#include <gtest/gtest.h>
#include <wx/init.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    char folder[] = "/tmp/torvane-modules-XXXXXX";
    if (!mkdtemp(folder))
        return 2;
    setenv("XDG_CONFIG_HOME", folder, 1);
    ::testing::InitGoogleTest(&argc, argv);
    int result = 0;
    {
        wxInitializer wx;
        result = RUN_ALL_TESTS();
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return result;
}
