// The settings table: defaults, bounds and repairs, fonts, window placement and recent lists,
// each read back from the store's real file.
#include "TempEnvironment.h"

#include "app/MruFileList.h"
#include "app/WindowPlacement.h"
#include "common/ProfileFont.h"
#include "common/SettingsTable.h"
#include "platform/SettingsStore.h"
#include "querycore/QueryWindowSettings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>

extern CTempEnvironment* g_env;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int counter = 0;
        m_path = g_env->Path("settings-" + std::to_string(++counter) + ".conf");
        m_store = std::make_unique<CSettingsStore>(m_path);
    }

    // Another store on the same file: what the next start of the program reads.
    std::unique_ptr<CSettingsStore> Reopen()
    {
        m_store.reset();
        return std::make_unique<CSettingsStore>(m_path);
    }

    std::string m_path;
    std::unique_ptr<CSettingsStore> m_store;
};

} // namespace

TEST_F(SettingsTest, EveryIntegerKeyReadsItsDefaultWhenAbsent)
{
    for (const settings::IntKey* key : settings::AllIntKeys()) {
        SCOPED_TRACE(std::string(key->section) + "/" + key->key);
        EXPECT_EQ(settings::ReadInt(*key, *m_store), key->defaultValue);
        EXPECT_FALSE(m_store->HasKey(key->section, key->key)) << "a read must not write";
    }
    for (const settings::StringKey* key : settings::AllStringKeys())
        EXPECT_EQ(settings::ReadString(*key, *m_store), wxString(key->defaultValue));
}

TEST_F(SettingsTest, DefaultsOfTheTable)
{
    struct Case {
        const settings::IntKey& key;
        int expected;
    } cases[] = {
        {settings::LoginTimeOut, 0},   {settings::CacheSize, 100},     {settings::DoNotExecContinuously, 1},
        {settings::UseQI, 1},          {settings::AutoCommit, 1},      {settings::MsAccuracy, 1},
        {settings::Startup, 0},        {settings::QueryTabSize, 4},    {settings::MaxUndoLimit, 1000},
        {settings::ResultTabSize, 4},  {settings::SortColumn, 1},      {settings::CopyColNames, 1},
        {settings::ExportFilterIndex, 3}, {settings::FindLookInSubFolders, 1}, {settings::ShowAllProcs, 1},
        {settings::MaxFiles, 9},       {settings::MaxDlkFiles, 9},     {settings::MaxDsnLessLogins, 9},
    };
    for (const Case& c : cases)
        EXPECT_EQ(settings::ReadInt(c.key, *m_store), c.expected) << c.key.section << "/" << c.key.key;
}

TEST_F(SettingsTest, StoredValuesOutsideTheirBoundsAreRepaired)
{
    struct Case {
        const settings::IntKey& key;
        int stored;
        int read;
        int storedAfter; // what the file holds after the read
    } cases[] = {
        {settings::LoginTimeOut, 100000, 0, 100000},
        {settings::LoginTimeOut, -1, 0, -1},
        {settings::LoginTimeOut, 99999, 99999, 99999},
        {settings::CacheSize, 0, 100, 0},
        {settings::CacheSize, 1000000, 100, 1000000},
        {settings::CacheSize, 1, 1, 1},
        {settings::QueryTabSize, 0, 4, 4},
        {settings::QueryTabSize, 65, 4, 4},
        {settings::QueryTabSize, 64, 64, 64},
        {settings::ResultTabSize, 0, 4, 4},
        {settings::ResultTabSize, 1, 1, 1},
        {settings::MaxUndoLimit, 10000, 1000, 10000},
        {settings::MaxUndoLimit, 0, 1000, 0},
        {settings::MaxUndoLimit, 9999, 9999, 9999},
        {settings::MaxFiles, 0, 9, 0},
        {settings::MaxFiles, -5, 9, -5},
        {settings::MaxFiles, 40, 16, 40},
        {settings::MaxFiles, 16, 16, 16},
        {settings::MaxDlkFiles, 17, 16, 17},
        {settings::MaxDlkFiles, 0, 9, 0},
        {settings::MaxDsnLessLogins, 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wxString::Format("%s/%s = %d", c.key.section, c.key.key, c.stored).ToStdString());
        m_store->WriteProfileInt(c.key.section, c.key.key, c.stored);
        EXPECT_EQ(settings::ReadInt(c.key, *m_store), c.read);
        auto reopened = Reopen();
        EXPECT_EQ(reopened->GetProfileInt(c.key.section, c.key.key, -12345), c.storedAfter);
        m_store = std::move(reopened);
    }
}

TEST_F(SettingsTest, AQueryWindowCopiesItsSettingsFromTheTable)
{
    const CQueryWindowSettings defaults(*m_store);
    EXPECT_EQ(defaults.m_bMsAccuracy, 1);
    EXPECT_EQ(defaults.m_bAutoCommit, 1);
    EXPECT_EQ(defaults.m_bDisplayDbmsVer, 0);
    EXPECT_EQ(defaults.m_bStopOnError, 1);
    EXPECT_EQ(defaults.m_strBatchSeparator, "");
    EXPECT_EQ(defaults.m_nCacheSize, 100);
    EXPECT_EQ(defaults.m_bUseQuotedIdentifiers, 1);
    EXPECT_EQ(defaults.m_bBeep, 0);
    EXPECT_EQ(defaults.m_bResultsInTextWarning, 1);

    m_store->WriteProfileInt("Configure", "MsAccuracy", 0);
    m_store->WriteProfileInt("Configure", "Auto Commit", 0);
    m_store->WriteProfileInt("Configure", "Display DBMS Ver", 1);
    m_store->WriteProfileInt("Configure", "Do Not Exec Continuosly", 0);
    m_store->WriteProfileString("Configure", "Batch Separator", "RUN");
    m_store->WriteProfileInt("Configure", "Cache Size", 250);
    m_store->WriteProfileInt("Configure", "Use QI", 0);
    m_store->WriteProfileInt("Configure", "Beep", 1);
    m_store->WriteProfileInt("General", "ResultsInTextWarning", 0);
    const CQueryWindowSettings stored(*m_store);
    EXPECT_EQ(stored.m_bMsAccuracy, 0);
    EXPECT_EQ(stored.m_bAutoCommit, 0);
    EXPECT_EQ(stored.m_bDisplayDbmsVer, 1);
    EXPECT_EQ(stored.m_bStopOnError, 0);
    EXPECT_EQ(stored.m_strBatchSeparator, "RUN");
    EXPECT_EQ(stored.m_nCacheSize, 250);
    EXPECT_EQ(stored.m_bUseQuotedIdentifiers, 0);
    EXPECT_EQ(stored.m_bBeep, 1);
    EXPECT_EQ(stored.m_bResultsInTextWarning, 0);
}

TEST_F(SettingsTest, BatchSeparatorInterpretation)
{
    struct Case {
        const char* stored;
        const char* separator;
    } cases[] = {
        {"", "GO"},          {"GO", "GO"},       {"go", "go"},     {"a b", "GO"},     {"\t", "GO"},
        {"END\n", "GO"},     {"x\ry", "GO"},     {"<NULL>", ""},   {"<null>", ""},    {"<Null>", ""},
        {"END", "END"},      {"<NULL> ", "GO"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(settings::InterpretBatchSeparator(wxString::FromUTF8(c.stored)), wxString::FromUTF8(c.separator))
            << '"' << c.stored << '"';
}

TEST_F(SettingsTest, InvalidFileExtsIsFilledOnceAndKeptAfterwards)
{
    EXPECT_EQ(settings::ReadInvalidFileExts(*m_store), "*.EXE;*.DLL;*.OCX;*.SYS;*.COM;*.DOS;*.CAB;*.ZIP");
    EXPECT_EQ(Reopen()->GetProfileString("Find In Files", "Invalid File Exts"),
              "*.EXE;*.DLL;*.OCX;*.SYS;*.COM;*.DOS;*.CAB;*.ZIP");
    m_store = Reopen();
    m_store->WriteProfileString("Find In Files", "Invalid File Exts", "*.bak");
    EXPECT_EQ(settings::ReadInvalidFileExts(*m_store), "*.bak");
}

TEST_F(SettingsTest, SchemaHideAtWindowOpening)
{
    EXPECT_FALSE(settings::ReadSchemaHiddenAtOpen(*m_store));
    m_store->WriteProfileInt("Schema", "Hide", 1);
    EXPECT_TRUE(settings::ReadSchemaHiddenAtOpen(*m_store));
    m_store->WriteProfileInt("Schema", "Hide", 0);
    EXPECT_FALSE(settings::ReadSchemaHiddenAtOpen(*m_store));
}

TEST_F(SettingsTest, NestedSectionsAndHistoryKeys)
{
    settings::WriteString(settings::ExportDelimiterList, "<,/><;/>", *m_store);
    EXPECT_EQ(Reopen()->GetProfileString("Grid\\Export Options", "DelimiterList"), "<,/><;/>");
    EXPECT_EQ(settings::FindHistoryKey(1), "Find_1");
    EXPECT_EQ(settings::FindHistoryKey(16), "Find_16");
}

TEST_F(SettingsTest, ValuesSurviveARestartVerbatim)
{
    // Connection strings hold "$", "=", ";", quotes and backslashes.
    const wxString connect = "Driver={SQLite3};Database=/tmp/$HOME/a;b.db;PWD=\"x\\y\"";
    m_store->WriteProfileString("Configure", "Startup DSN-less String", connect);
    m_store->WriteProfileInt("Configure", "Startup", 3);
    auto reopened = Reopen();
    EXPECT_EQ(reopened->GetProfileString("Configure", "Startup DSN-less String"), connect);
    EXPECT_EQ(reopened->GetProfileInt("Configure", "Startup", 0), 3);
}

TEST(SettingsStoreFile, LivesInTheXdgConfigFolderReadableByItsOwnerOnly)
{
    CSettingsStore& store = CSettingsStore::Get();
    EXPECT_EQ(store.GetFilePath(), wxString(g_env->ConfigHome() + "/torvane/Torvane 5.0.conf"));
    store.WriteProfileString("General", "From UDL File", "/home/x/");
    struct stat st{};
    ASSERT_EQ(stat(store.GetFilePath().utf8_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // Removing everything and writing again starts a new file with the same protection.
    store.DeleteAll();
    store.WriteProfileInt("Configure", "Beep", 1);
    ASSERT_EQ(stat(store.GetFilePath().utf8_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(store.GetProfileString("General", "From UDL File"), "");
}

TEST_F(SettingsTest, FontRecordRoundTripWithBoldAndSize)
{
    LogFont lf;
    lf.lfHeight = -13;
    lf.lfWeight = 700;
    lf.lfItalic = 1;
    lf.lfUnderline = 0;
    lf.lfPitchAndFamily = 0x31;
    lf.lfCharSet = 0;
    lf.lfFaceName = "DejaVu Sans Mono";
    WriteProfileFont("Grid\\Font", lf, true, 1, 10, *m_store);

    auto reopened = Reopen();
    LogFont read;
    int bold = -1;
    int size = -1;
    ReadProfileFont("Grid\\Font", read, true, &bold, &size, *reopened);
    EXPECT_EQ(read.lfHeight, -13);
    EXPECT_EQ(read.lfWeight, 700);
    EXPECT_EQ(read.lfItalic, 1);
    EXPECT_EQ(read.lfPitchAndFamily, 0x31);
    EXPECT_EQ(read.lfCharSet, 0);
    EXPECT_EQ(read.lfFaceName, "DejaVu Sans Mono");
    EXPECT_EQ(bold, 1);
    EXPECT_EQ(size, 10);
    EXPECT_FALSE(reopened->HasKey("Grid\\Font", "Width")) << "only the listed fields are stored";
}

TEST_F(SettingsTest, FontRecordWithoutHeightLeavesThePaneFont)
{
    LogFont none;
    WriteProfileFont("Query\\Font", none, true, 1, 12, *m_store);
    EXPECT_TRUE(m_store->GetKeys("Query\\Font").empty()) << "a height of 0 writes nothing";

    LogFont prepared;
    prepared.lfFaceName = "Courier New";
    prepared.lfWeight = 400;
    int bold = 7;
    ReadProfileFont("Query\\Font", prepared, true, &bold, nullptr, *m_store);
    EXPECT_EQ(prepared.lfHeight, 0);
    EXPECT_EQ(prepared.lfFaceName, "Courier New");
    EXPECT_EQ(prepared.lfWeight, 400);
    EXPECT_EQ(bold, 7);

    m_store->WriteProfileInt("Schema\\Font", "Height", 0);
    m_store->WriteProfileString("Schema\\Font", "FaceName", "Ignored");
    ReadProfileFont("Schema\\Font", prepared, false, nullptr, nullptr, *m_store);
    EXPECT_EQ(prepared.lfFaceName, "Courier New");
}

TEST_F(SettingsTest, FontRecordDefaultsAndLongFaceNames)
{
    m_store->WriteProfileInt("Result\\Font", "Height", -16);
    LogFont lf;
    ReadProfileFont("Result\\Font", lf, false, nullptr, nullptr, *m_store);
    EXPECT_EQ(lf.lfCharSet, 1);
    EXPECT_EQ(lf.lfFaceName, "System");

    m_store->WriteProfileString("Result\\Font", "FaceName", wxString('F', 40));
    ReadProfileFont("Result\\Font", lf, false, nullptr, nullptr, *m_store);
    EXPECT_EQ(lf.lfFaceName, wxString('F', 31));
}

TEST(WindowPlacementText, ParsesExactlyTenNumbers)
{
    struct Case {
        const char* text;
        bool ok;
    } cases[] = {
        {"0,1,-1,-1,-1,-1,10,20,810,620", true},
        {"2,3,-1,-1,-8,-8,100,50,1124,818", true},
        {"0,1,-1,-1,-1,-1,10,20,810,620 ", true},
        {"0,1,-1,-1,-1,-1,10,20,810", false},
        {"0,1,-1,-1,-1,-1,10,20,810,620,5", false},
        {"0,1,-1,-1,-1,-1,10,x,810,620", false},
        {"0,1,-1,-1,-1,-1,10,20,810,620abc", false},
        {"", false},
        {"placement", false},
    };
    for (const Case& c : cases) {
        WindowPlacement wp;
        EXPECT_EQ(WindowPlacement::Parse(c.text, wp), c.ok) << c.text;
    }
    WindowPlacement wp;
    ASSERT_TRUE(WindowPlacement::Parse("2,3,-1,-1,-8,-8,100,50,1124,818", wp));
    EXPECT_EQ(wp.flags, WPF_RESTORETOMAXIMIZED);
    EXPECT_EQ(wp.showCmd, static_cast<unsigned>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(wp.left, 100);
    EXPECT_EQ(wp.bottom, 818);
    EXPECT_EQ(wp.Format(), "2,3,-1,-1,-8,-8,100,50,1124,818");
}

TEST_F(SettingsTest, WindowPlacementIsStoredAndReadBack)
{
    WindowPlacement absent;
    EXPECT_FALSE(ReadWindowPlacement(absent, *m_store));

    WindowPlacement wp;
    wp.showCmd = SW_SHOWNORMAL;
    wp.left = 30;
    wp.top = 40;
    wp.right = 830;
    wp.bottom = 640;
    SaveWindowPlacement(wp, *m_store);
    auto reopened = Reopen();
    EXPECT_EQ(reopened->GetProfileString("Settings", "WindowPos"), "0,1,-1,-1,-1,-1,30,40,830,640");
    WindowPlacement read;
    ASSERT_TRUE(ReadWindowPlacement(read, *reopened));
    EXPECT_EQ(read.right, 830);

    reopened->WriteProfileString("Settings", "WindowPos", "0,1,-1,-1,-1,-1,30,40,830");
    EXPECT_FALSE(ReadWindowPlacement(read, *reopened));
}

TEST_F(SettingsTest, RecentListOrderSizeAndStorage)
{
    CMruFileList list(32889, settings::RecentDataLinkFiles, 3);
    list.Add("/data/a.udl");
    list.Add("/data/b.udl");
    list.Add("/data/c.udl");
    list.Add("/data/a.udl"); // moves to the top
    list.Add("/data/d.udl"); // b drops out
    ASSERT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(list[0], "/data/d.udl");
    EXPECT_EQ(list[1], "/data/a.udl");
    EXPECT_EQ(list[2], "/data/c.udl");
    list.Add("/data/A.udl"); // another file on a case-sensitive system
    EXPECT_EQ(list[0], "/data/A.udl");
    EXPECT_EQ(list[1], "/data/d.udl");
    list.Save(*m_store);

    auto reopened = Reopen();
    EXPECT_EQ(reopened->GetProfileString("Recent Data Link Files", "File1"), "/data/A.udl");
    EXPECT_EQ(reopened->GetProfileString("Recent Data Link Files", "File3"), "/data/a.udl");
    EXPECT_FALSE(reopened->HasKey("Recent Data Link Files", "File4"));

    CMruFileList again(32889, settings::RecentDataLinkFiles, 3);
    again.Load(*reopened);
    EXPECT_EQ(again.Entries(), list.Entries());
    again.Remove(0);
    again.Remove(0);
    again.Save(*reopened);
    EXPECT_EQ(reopened->GetKeys("Recent Data Link Files"), std::vector<wxString>{"File1"});
}

TEST_F(SettingsTest, RecentListLoadsNoMoreThanItsSize)
{
    for (int i = 1; i <= 12; ++i)
        m_store->WriteProfileString("Recent DSN-less Logins", wxString::Format("DSNLessLogin%d", i),
                                    wxString::Format("/tmp/Driver %d", i));
    CMruFileList list(32995, settings::RecentDsnLessLogins, 9);
    list.Load(*m_store);
    EXPECT_EQ(list.GetCount(), 9u);
    EXPECT_EQ(list.GetDisplayName(0), "Driver 1");
    EXPECT_TRUE(list.HasId(32995 + 8));
    EXPECT_FALSE(list.HasId(32995 + 9));
}

TEST(RecentListText, MenuTextShowsTheNameAfterTheLastSlashCutToThirty)
{
    CMruFileList list(32889, settings::RecentDataLinkFiles, 9);
    list.Add("/srv/data links/short.udl");
    list.Add("/srv/a-very-long-data-link-file-name-indeed.udl");
    EXPECT_EQ(list.GetDisplayName(1), "short.udl");
    EXPECT_EQ(list.GetMenuText(1), "short.udl");
    EXPECT_EQ(list.GetMenuText(0).length(), 30u);
    EXPECT_TRUE(list.GetMenuText(0).EndsWith("..."));
}
