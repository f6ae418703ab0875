// The fixture of the plugin window tests: the plugin library registered, a query window open on
// the test database; and the Tools menu item a person chooses to reach the plugin.
#pragma once

#include "app/MainFrame.h"
#include "platform/ComRuntime.h"
#include "query/ChildFrame.h"
#include "tests/support/TestDatabases.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/menu.h>

namespace window_test {

// Chooses Tools > label on the main window's menu bar, after checking that it is the command
// id and that its update handler enables it.
inline void ChooseToolsMenuItem(const wxString& label, int id)
{
    wxMenuBar* bar = Main().GetMenuBar();
    ASSERT_TRUE(bar);
    ASSERT_EQ(bar->FindMenuItem("Tools", label), id);
    wxUpdateUIEvent update(id);
    update.SetEventObject(&Main());
    Main().GetEventHandler()->ProcessEvent(update);
    ASSERT_TRUE(update.GetSetEnabled() && update.GetEnabled()) << label << " is not enabled";
    wxCommandEvent command(wxEVT_MENU, id);
    command.SetEventObject(&Main());
    Main().GetEventHandler()->ProcessEvent(command);
}

class PluginWindowTest : public torvane::test::DatabaseTest {
protected:
    explicit PluginWindowTest(const char* library) : m_library(library) {}

    void SetUp() override
    {
        REQUIRE_DISPLAY();
        DatabaseTest::SetUp();
        ASSERT_EQ(CallServerRegistration(m_library, true), S_OK);
        m_frame = OpenQueryWindow(ConnectionString());
        ASSERT_TRUE(m_frame);
    }
    void TearDown() override
    {
        if (HaveDisplay())
            CloseQueryWindows();
    }

    const char* m_library;
    CChildFrame* m_frame = nullptr;
};

} // namespace window_test
