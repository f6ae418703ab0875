// Entry point of the schema tests that need no display: the class library's base initialised
// (the settings store of a test needs it).
#include <gtest/gtest.h>
#include <wx/init.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    wxInitializer wx;
    return RUN_ALL_TESTS();
}
