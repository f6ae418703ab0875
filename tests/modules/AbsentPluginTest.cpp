// A query window's plugin commands when the program's module folder holds no plugin and none is
// registered: each says which component is missing. This program lives where lib/torvane beside
// its folder has no plugins.
#include "platform/ComRuntime.h"
#include "platform/MessageBox.h"
#include "query/CompanionCommands.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/modules/PluginWindowTest.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace torvane::test;
using namespace window_test;

namespace {

class AbsentPluginTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        DatabaseTest::SetUp();
        ASSERT_TRUE(OpenQueryWindow(ConnectionString()));
    }
    void TearDown() override
    {
        if (HaveDisplay())
            CloseQueryWindows();
    }
};

TEST_P(AbsentPluginTest, UnregisteredPluginsAreReported)
{
    if (IsPostgres())
        GTEST_SKIP() << "the registration does not depend on the driver";
    ASSERT_FALSE(std::filesystem::exists(GetModuleFolder()));
    const struct {
        const char* item;
        int id;
        const char* message;
    } commands[] = {
        {"ODBC Driver Information...", ID_ODBC_DRIVER_INFO,
         "ODBC Driver Info Component (libFerrow.so) not registered. Please re-run setup and then try again."},
        {"Types...", ID_PROVIDER_TYPES,
         "Provider Info Component (libTamsel.so) not registered. Please re-run setup and then try again."},
    };
    for (const auto& command : commands) {
        CMessageScript messages;
        ChooseToolsMenuItem(command.item, command.id);
        ASSERT_EQ(messages.Texts().size(), 1u) << command.item;
        EXPECT_EQ(messages.Texts()[0], command.message);
        EXPECT_EQ(messages.Shown()[0].style & wxICON_MASK, wxICON_STOP);
    }
}

TORVANE_INSTANTIATE_FOR_DRIVERS(AbsentPluginTest);

} // namespace
