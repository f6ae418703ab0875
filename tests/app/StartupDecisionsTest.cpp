// Decisions of start-up and the shell services that need no window.
#include "TempEnvironment.h"

#include "app/MainFrame.h"
#include "app/StartupChecks.h"
#include "platform/MessageBox.h"
#include "platform/ShellRegistration.h"

#include <gtest/gtest.h>

#include <filesystem>

extern CTempEnvironment* g_env;

TEST(StartupChecks, DataLayerVersions)
{
    struct Case {
        const char* version;
        bool accepted;
    } cases[] = {
        {"2.8", true}, {"2.5", true}, {"2.6", true}, {"6.0", true}, {"", true},
        {"2.1", false}, {"2.0", false}, {"1.5", false}, {"1.0", false}, {" 2.1 ", false}, {"\t1.5\n", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(startup::IsAdoVersionAccepted(c.version), c.accepted) << '"' << c.version << '"';
}

TEST(StartupChecks, UnregisterAnywhereInAnyCase)
{
    struct Case {
        const char* line;
        bool unregister;
    } cases[] = {
        {"-Unregister", true},
        {"/unregister", true},
        {"-UNREGISTER", true},
        {"-f /home/me/-unregister-notes/x.sql", true},
        {"/home/me/Unregister/x.sql", true},
        {"-f unregister.sql", false},
        {"", false},
        {"-C \"Provider=MSDASQL\"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(startup::IsUnregisterRequested(c.line), c.unregister) << c.line;
}

TEST(StartupChecks, SystemVersions)
{
    EXPECT_TRUE(startup::IsOsVersionSupported("6.1.0-18-amd64", 3));
    EXPECT_TRUE(startup::IsOsVersionSupported("3.2.0", 3));
    EXPECT_FALSE(startup::IsOsVersionSupported("3.1.9", 3));
    EXPECT_FALSE(startup::IsOsVersionSupported("2.6.32-754.el6", 3));
    EXPECT_FALSE(startup::IsOsVersionSupported("6.1.0", 2));
    EXPECT_FALSE(startup::IsOsVersionSupported("", 3));
}

TEST(StartupChecks, DefaultServicesDescribeThisSystem)
{
    startup::Services services = startup::Services::Default();
    EXPECT_TRUE(startup::IsOsVersionSupported(services.kernelRelease(), 3));
    EXPECT_TRUE(services.gridAvailable());
}

TEST(ConnectStrings, DriverLoginNeverCarriesMoreThanTheDriverName)
{
    struct Case {
        const char* connect;
        const char* login;
    } cases[] = {
        {"PROVIDER=MSDASQL;Extended Properties=\"DRIVER={SQLite3};\"", "SQLite3"},
        {"Provider=MSDASQL.1;Extended Properties=\"driver={PostgreSQL Unicode};Server=h;PWD=secret\"",
         "PostgreSQL Unicode"},
        {"DRIVER=SQLite3;Database=x;PWD={p}", "SQLite3"},
        {"Driver=SQLite3}rest", "SQLite3"},
        {"Driver=SQLite3", "SQLite3"},
        {"DSN=sample;UID=me;PWD=secret", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CMainFrame::ExtractDriverLogin(c.connect), wxString(c.login)) << c.connect;
}

TEST(MessageRoutine, WithoutADisplayAnswersWithTheDefault)
{
    struct Case {
        long style;
        int answer;
    } cases[] = {
        {wxOK | wxICON_INFORMATION, wxID_OK},
        {wxYES_NO | wxICON_QUESTION, wxID_YES},
        {wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION, wxID_NO},
        {wxOK | wxCANCEL | wxCANCEL_DEFAULT, wxID_CANCEL},
        {TV_RETRY_CANCEL | wxICON_QUESTION, wxID_CANCEL},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(TVMessageBox("Text for the log", c.style), c.answer);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Text for the log\n");
    }
}

TEST(MessageRoutine, ScriptedAnswersAreRecordedInOrder)
{
    CMessageScript script{wxID_NO};
    EXPECT_EQ(TVMessageBox("first?", wxYES_NO), wxID_NO);
    EXPECT_EQ(TVMessageBox("second?", wxYES_NO), wxID_YES) << "an empty queue gives the default answer";
    EXPECT_EQ(TVMessageBox("again?", TV_RETRY_CANCEL), wxID_RETRY);
    EXPECT_EQ(script.Texts(), (std::vector<wxString>{"first?", "second?", "again?"}));
    EXPECT_EQ(script.Shown()[0].style, static_cast<long>(wxYES_NO));
}

TEST(ShellRegistration, DesktopEntryAndAssociationComeAndGo)
{
    const std::string mimeApps = g_env->DataHome() + "/applications/mimeapps.list";
    std::filesystem::create_directories(g_env->DataHome() + "/applications");
    WriteWholeFile(mimeApps, "# user's own\n[Default Applications]\ntext/plain=editor.desktop;\n"
                             "application/sql=other.desktop;\n");

    ASSERT_TRUE(CShellRegistration::Register("/opt/torvane/bin/torvane"));
    EXPECT_TRUE(CShellRegistration::IsRegistered());
    std::string entry = ReadWholeFile(g_env->DataHome() + "/applications/torvane.desktop");
    EXPECT_NE(entry.find("Exec=/opt/torvane/bin/torvane %f\n"), std::string::npos);
    EXPECT_NE(entry.find("MimeType=application/sql;text/x-sql;\n"), std::string::npos);
    std::string list = ReadWholeFile(mimeApps);
    EXPECT_NE(list.find("# user's own\n"), std::string::npos);
    EXPECT_NE(list.find("text/plain=editor.desktop;\n"), std::string::npos);
    EXPECT_NE(list.find("application/sql=torvane.desktop;other.desktop;\n"), std::string::npos);
    EXPECT_NE(list.find("text/x-sql=torvane.desktop;\n"), std::string::npos);
    EXPECT_NE(list.find("[Added Associations]\n"), std::string::npos);

    // Registering again changes nothing twice.
    ASSERT_TRUE(CShellRegistration::Register("/opt/torvane/bin/torvane"));
    EXPECT_EQ(ReadWholeFile(mimeApps), list);

    ASSERT_TRUE(CShellRegistration::Unregister());
    EXPECT_FALSE(CShellRegistration::IsRegistered());
    std::string after = ReadWholeFile(mimeApps);
    EXPECT_EQ(after.find("torvane.desktop"), std::string::npos);
    EXPECT_NE(after.find("application/sql=other.desktop;\n"), std::string::npos);
    EXPECT_NE(after.find("text/plain=editor.desktop;\n"), std::string::npos);
}

TEST(ShellRegistration, ExecutablePathsAreQuoted)
{
    wxString entry = CShellRegistration::DesktopEntryText("/home/me/my apps/torvane\"x");
    EXPECT_TRUE(entry.Contains("Exec=\"/home/me/my apps/torvane\\\\\"x\" %f\n")) << entry;
    EXPECT_TRUE(CShellRegistration::DesktopEntryText("/opt/a%b/torvane").Contains("Exec=\"/opt/a%%b/torvane\" %f"));
}
