#include "app/ConnectCommands.h"
#include "app/MainFrame.h"
#include "app/MruFileManager.h"
#include "app/TorvaneApp.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "query/ChildFrame.h"
#include "query/ConnectPromptDlg.h"
#include "querycore/DataLinkFields.h"
#include "querycore/DataLinkFile.h"
#include "QueryWindowTest.h"
#include "tests/support/TestDatabases.h"
#include "WindowTestMain.h"

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::DialogScript;
using window_test::Main;
using window_test::Pump;
using window_test::PumpUntil;

namespace {

CConnectCommands& Commands()
{
    return *Main().GetConnectCommands();
}

void Command(int id)
{
    wxCommandEvent event(wxEVT_MENU, id);
    Main().GetEventHandler()->ProcessEvent(event);
}

class ConnectCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_DISPLAY(); }
    void TearDown() override
    {
        if (!window_test::HaveDisplay())
            return;
        CMessageScript quiet{wxID_NO, wxID_NO, wxID_NO};
        for (CChildFrame* frame : std::vector<CChildFrame*>(Main().GetQueryWindows()))
            frame->Close(true);
        PumpUntil([] { return Main().GetConnectionCount() == 0; }, 5s);
    }
};

TEST_F(ConnectCommandsTest, DataLinkFilesOfBothEncodingsOpenWindowsAndListsKeepTheNewestFirst)
{
    CMruFileList& list = *TheApp().GetDataLinkFileManager().GetList(0);
    const wxString connect =
        CDataLinkFields::Parse(wxString::FromUTF8(NewSqliteConnectionString())).BuildConnectString();
    const std::string unicodePath = NewTempPath(".udl");
    const std::string eightBitPath = NewTempPath(".udl");
    DataLinkFile::Write(unicodePath, connect.utf8_string(), DataLinkFile::Encoding::Utf16LE);
    DataLinkFile::Write(eightBitPath, connect.utf8_string(), DataLinkFile::Encoding::EightBit);

    CMessageScript messages;
    for (const std::string& path : {unicodePath, eightBitPath}) {
        CTorvaneDoc* doc = Main().ConnectWithDataLinkFile(wxString::FromUTF8(path));
        ASSERT_TRUE(doc) << path << (messages.Texts().empty() ? wxString() : messages.Texts().front());
        EXPECT_TRUE(QueryFrameOf(doc)->IsConnectionOpen());
        EXPECT_EQ(list[0], wxString::FromUTF8(path));
    }
    EXPECT_EQ(list[1], wxString::FromUTF8(unicodePath));
    // Reopened from the list, the first file moves back to the top.
    Command(CConnectCommands::ID_MRU_DATA_LINK_FIRST + 1);
    EXPECT_EQ(list[0], wxString::FromUTF8(unicodePath));
    EXPECT_EQ(list[1], wxString::FromUTF8(eightBitPath));
    EXPECT_EQ(Main().GetConnectionCount(), 3u);
    EXPECT_TRUE(messages.Texts().empty());

    // The menu shows the names after the last separator.
    Commands().UpdateMenu(Commands().GetRecentDataLinkMenu());
    wxMenuItem* first = Commands().GetRecentDataLinkMenu()->FindItem(CConnectCommands::ID_MRU_DATA_LINK_FIRST);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->GetItemLabelText(), "1 " + wxFileName(wxString::FromUTF8(unicodePath)).GetFullName());
}

TEST_F(ConnectCommandsTest, AMissingRecentDataLinkFileIsReportedAndRemoved)
{
    CMruFileList& list = *TheApp().GetDataLinkFileManager().GetList(0);
    const std::string path = NewTempPath(".udl");
    DataLinkFile::Write(path, "Provider=MSDASQL.1;Extended Properties=\"DRIVER={SQLite3};\"");
    list.Add(wxString::FromUTF8(path));
    std::filesystem::remove(path);
    const size_t before = list.GetCount();

    CMessageScript messages;
    Command(CConnectCommands::ID_MRU_DATA_LINK_FIRST);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "'" + wxString::FromUTF8(path) + "'.\nCannot open file. File not found.");
    EXPECT_EQ(messages.Shown()[0].style & wxICON_STOP, wxICON_STOP);
    EXPECT_EQ(list.GetCount(), before - 1);
    for (const wxString& entry : list.Entries())
        EXPECT_NE(entry, wxString::FromUTF8(path));
    EXPECT_EQ(Main().GetConnectionCount(), 0u);
}

TEST_F(ConnectCommandsTest, DriverMenuComesFromTheDriverManager)
{
    const auto& commands = Commands().GetDriverCommands();
    std::vector<wxString> names;
    for (const auto& [id, info] : commands) {
        EXPECT_EQ(id, CConnectCommands::ID_DRIVER_FIRST + static_cast<int>(names.size()));
        names.push_back(info.name);
    }
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_NE(std::find(names.begin(), names.end(), "SQLite3"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "PostgreSQL Unicode"), names.end());

    wxMenu* menu = Commands().GetDriverMenu();
    Commands().UpdateMenu(menu);
    EXPECT_EQ(menu->GetMenuItemCount(), names.size());
    EXPECT_FALSE(menu->FindItem(CConnectCommands::ID_DRIVER_NONE));
    EXPECT_EQ(menu->FindItem(CConnectCommands::ID_DRIVER_FIRST)->GetItemLabelText(), names[0] + "...");
    // Filled once only.
    Commands().UpdateMenu(menu);
    EXPECT_EQ(menu->GetMenuItemCount(), names.size());
}

TEST_F(ConnectCommandsTest, DriverLoginAsksForTheDatabaseAndIsRemembered)
{
    const auto& commands = Commands().GetDriverCommands();
    auto sqlite = std::find_if(commands.begin(), commands.end(), [](const auto& c) { return c.second.name == "SQLite3"; });
    ASSERT_NE(sqlite, commands.end());
    // The login names an existing database; the data layer creates none.
    const std::string database = NewTempPath(".db");
    std::ofstream(database, std::ios::binary);

    CMruFileList& list = *TheApp().GetDsnLessLoginManager().GetList(0);
    {
        DialogScript dialogs;
        dialogs.Expect<CConnectPromptDlg>([database](CConnectPromptDlg& dlg) {
            auto* file = dynamic_cast<wxTextCtrl*>(dlg.FindWindow(CConnectPromptDlg::IDC_PROMPT_DATABASE));
            file->ChangeValue(wxString::FromUTF8(database));
            return wxID_OK;
        });
        CMessageScript messages;
        Command(sqlite->first);
        EXPECT_EQ(dialogs.Answered(), 1);
        ASSERT_EQ(Main().GetConnectionCount(), 1u) << (messages.Texts().empty() ? wxString() : messages.Texts().front());
        EXPECT_TRUE(Main().GetQueryWindows()[0]->IsDsnLessConnection());
        ASSERT_GT(list.GetCount(), 0u);
        EXPECT_EQ(list[0], TheApp().GetTempFolder() + "SQLite3");
    }
    {
        // Reopened from the list; cancelling the driver's login removes the entry.
        DialogScript dialogs;
        dialogs.Expect<CConnectPromptDlg>([](CConnectPromptDlg&) { return wxID_CANCEL; });
        CMessageScript messages;
        const size_t before = list.GetCount();
        Command(CConnectCommands::ID_MRU_DSN_LESS_FIRST);
        EXPECT_EQ(dialogs.Answered(), 1);
        EXPECT_TRUE(messages.Texts().empty());
        EXPECT_EQ(list.GetCount(), before - 1);
        EXPECT_EQ(Main().GetConnectionCount(), 1u);
    }
}

TEST_F(ConnectCommandsTest, ToolsAndHelpReportWhatCannotStart)
{
    const std::string emptyFolder = NewTempPath("-bin");
    std::filesystem::create_directories(emptyFolder);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", emptyFolder.c_str(), 1);
    CMessageScript messages;
    Command(CConnectCommands::ID_ODBC_ADMINISTRATOR);
    setenv("PATH", path.c_str(), 1);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_TRUE(messages.Shown()[0].text.StartsWith("Cannot find an ODBC Data Source Administrator"));
    EXPECT_EQ(messages.Shown()[0].style & wxICON_STOP, wxICON_STOP);

    // The test program's folder has no readme.
    messages.Clear();
    Command(CConnectCommands::ID_HELP_README);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].style & wxICON_STOP, wxICON_STOP);
}

} // namespace

namespace {

TEST(DsnLessLogin, TheRememberedDriverNameNeverCarriesMoreOfTheString)
{
    const struct {
        const char* connect;
        const char* login;
    } cases[] = {
        {"PROVIDER=MSDASQL;Extended Properties=\"DRIVER={PostgreSQL Unicode};PWD=secret;\"", "PostgreSQL Unicode"},
        {"Driver={PostgreSQL Unicode;PWD=secret", ""}, // no closing brace: the connection reads nothing
        {"Driver=SQLite3;Database=x;PWD=secret", "SQLite3"},
        {"Driver=SQLite3}PWD=secret", "SQLite3"},
        {"DSN=Sales;PWD=secret", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CMainFrame::ExtractDriverLogin(c.connect), c.login) << c.connect;
}

} // namespace
