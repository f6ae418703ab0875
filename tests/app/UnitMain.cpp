// Entry point of the tests that need no display: a private XDG folder set for the process.
#include "TempEnvironment.h"

#include <gtest/gtest.h>
#include <wx/init.h>

CTempEnvironment* g_env = nullptr;

int main(int argc, char** argv)
{
    CTempEnvironment env;
    g_env = &env;
    ::testing::InitGoogleTest(&argc, argv);
    wxInitializer wx;
    return RUN_ALL_TESTS();
}
