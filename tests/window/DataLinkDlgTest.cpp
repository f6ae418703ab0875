#include "app/MainFrame.h"
#include "app/TorvaneApp.h"
#include "platform/MessageBox.h"
#include "query/DataLinkDlg.h"
#include "querycore/DataLinkFile.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"
#include "WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <filesystem>

using namespace torvane::test;

namespace {

class DataLinkDlgTest : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_DISPLAY(); }
};

TEST_F(DataLinkDlgTest, OffersTheInstalledDriversAndTheFieldsTheyNeed)
{
    CDataLinkDlg dlg(TheApp().GetMainFrame());
    auto* drivers = dynamic_cast<wxChoice*>(dlg.FindWindow(CDataLinkDlg::IDC_DRIVER));
    ASSERT_TRUE(drivers);
    EXPECT_NE(drivers->FindString("SQLite3"), wxNOT_FOUND);
    EXPECT_NE(drivers->FindString("PostgreSQL Unicode"), wxNOT_FOUND);

    CDataLinkFields sqlite;
    sqlite.driver = "SQLite3";
    sqlite.database = "/tmp/x.db";
    dlg.SetFields(sqlite);
    EXPECT_TRUE(dlg.FindWindow(CDataLinkDlg::IDC_DATABASE_FILE)->IsEnabled());
    EXPECT_FALSE(dlg.FindWindow(CDataLinkDlg::IDC_SERVER)->IsEnabled());
    EXPECT_EQ(dlg.GetConnectString(), sqlite.BuildConnectString());

    CDataLinkFields pg;
    pg.driver = "PostgreSQL Unicode";
    pg.server = "127.0.0.1";
    pg.port = "5432";
    pg.database = "postgres";
    pg.user = "torvane";
    pg.hasUser = true;
    pg.password = "secret";
    pg.hasPassword = true;
    dlg.SetFields(pg);
    EXPECT_FALSE(dlg.FindWindow(CDataLinkDlg::IDC_DATABASE_FILE)->IsEnabled());
    EXPECT_TRUE(dlg.FindWindow(CDataLinkDlg::IDC_SERVER)->IsEnabled());
    EXPECT_EQ(dlg.GetConnectString(), pg.BuildConnectString());

    // A blank password is given as one.
    dynamic_cast<wxCheckBox*>(dlg.FindWindow(CDataLinkDlg::IDC_BLANK_PASSWORD))->SetValue(true);
    EXPECT_TRUE(dlg.GetConnectString().Contains("PWD=;"));
}

TEST_F(DataLinkDlgTest, TestConnectionReportsTheOutcome)
{
    CDataLinkDlg dlg(TheApp().GetMainFrame(), CDataLinkFields::Parse(wxString::FromUTF8(NewSqliteConnectionString())));
    CMessageScript messages;
    EXPECT_TRUE(dlg.TestConnection());
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0], "Test connection succeeded.");

    CDataLinkFields bad;
    bad.driver = "SQLite3";
    bad.database = "/nonexistent-folder/x.db";
    dlg.SetFields(bad);
    messages.Clear();
    EXPECT_FALSE(dlg.TestConnection());
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_TRUE(messages.Shown()[0].text.StartsWith("Test connection failed because of an error in initializing provider. "));
    EXPECT_EQ(messages.Shown()[0].style & wxICON_STOP, wxICON_STOP);
}

TEST_F(DataLinkDlgTest, SavesADataLinkFileTheConnectCommandsRead)
{
    CDataLinkDlg dlg(TheApp().GetMainFrame(), CDataLinkFields::Parse(wxString::FromUTF8(NewSqliteConnectionString())));
    const std::string path = NewTempPath(".udl");
    ASSERT_TRUE(dlg.SaveDataLinkFile(wxString::FromUTF8(path)));
    EXPECT_EQ(wxString::FromUTF8(DataLinkFile::LoadConnectString(path)), dlg.GetConnectString());
}

// The password goes into the file only when "Allow saving password" is checked; the file may
// hold it, so only its owner may read it.
TEST_F(DataLinkDlgTest, SavesThePasswordOnlyWhenAllowed)
{
    CDataLinkFields pg;
    pg.driver = "PostgreSQL Unicode";
    pg.server = "127.0.0.1";
    pg.database = "postgres";
    pg.user = "torvane";
    pg.hasUser = true;
    pg.password = "s3cret";
    pg.hasPassword = true;
    pg.otherAttributes = "Pwd=other;SSLmode=disable;";
    CDataLinkDlg dlg(TheApp().GetMainFrame(), pg);
    auto* allow = dynamic_cast<wxCheckBox*>(dlg.FindWindow(CDataLinkDlg::IDC_SAVE_PASSWORD));
    ASSERT_TRUE(allow);
    EXPECT_EQ(allow->GetLabel(), "&Allow saving password");
    for (const bool allowed : {false, true}) {
        SCOPED_TRACE(allowed ? "allowed" : "not allowed");
        allow->SetValue(allowed);
        const std::string path = NewTempPath(".udl");
        ASSERT_TRUE(dlg.SaveDataLinkFile(wxString::FromUTF8(path)));
        const std::string saved = DataLinkFile::LoadConnectString(path);
        EXPECT_EQ(saved.find("s3cret") != std::string::npos, allowed) << saved;
        EXPECT_EQ(saved.find("other") != std::string::npos, allowed) << saved;
        EXPECT_NE(saved.find("SSLmode=disable"), std::string::npos) << saved;
        EXPECT_NE(saved.find("UID=torvane"), std::string::npos) << saved;
        EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0600));
        // The dialog itself still connects with the password.
        EXPECT_TRUE(dlg.GetConnectString().Contains("PWD=s3cret"));
    }
}

TEST_F(DataLinkDlgTest, DataSourceNamesNeedOneChosen)
{
    CDataLinkDlg dlg(TheApp().GetMainFrame());
    dynamic_cast<wxRadioButton*>(dlg.FindWindow(CDataLinkDlg::IDC_USE_DSN))->SetValue(true);
    dynamic_cast<wxChoice*>(dlg.FindWindow(CDataLinkDlg::IDC_DSN))->SetSelection(wxNOT_FOUND);
    CMessageScript messages;
    EXPECT_FALSE(dlg.Validate());
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0], "Please select a data source name.");
}

} // namespace
