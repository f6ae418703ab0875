// Window tests on each driver, each on a database of its own with nothing in it: no query window
// open at the start, and every window the test opened (query windows, dialogs left showing)
// closed at the end.
#pragma once

#include "app/MainFrame.h"
#include "tests/support/TestDatabases.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/toplevel.h>

#include <string>
#include <vector>

namespace window_test {

class CleanDatabaseWindowTest : public ::testing::TestWithParam<torvane::test::Driver> {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        ASSERT_EQ(Main().GetConnectionCount(), 0u);
        if (IsPostgres() && !torvane::test::PostgresConfigured())
            GTEST_SKIP() << "no PostgreSQL";
        m_connect = torvane::test::CleanDatabaseConnectionString(GetParam());
    }
    void TearDown() override
    {
        if (!HaveDisplay())
            return;
        for (wxWindow* window : std::vector<wxWindow*>(wxTopLevelWindows.begin(), wxTopLevelWindows.end()))
            if (window != &Main())
                window->Close();
        CloseQueryWindows();
    }

    bool IsPostgres() const { return GetParam() == torvane::test::Driver::PostgreSQL; }

    std::string m_connect;
};

} // namespace window_test
