// The database context without a window: the statements each dialect gets, the items of the
// database list, the SET options a run is followed for, and the list loaded from real
// connections. SQLite and PostgreSQL keep no database list (one database per file, or per
// connection); the MySQL, T-SQL and OLAP paths run on them with the dialect flag set, so that
// the statements meet a real driver and its refusals.
#include "platform/SettingsStore.h"
#include "querycore/BatchFlow.h"
#include "querycore/DatabaseContext.h"
#include "tests/support/TestDatabases.h"

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>

using namespace torvane::test;
using namespace database_list;

namespace {

std::vector<wxString> Texts(const CDatabaseList& list)
{
    std::vector<wxString> texts;
    for (const CDatabaseListItem& item : list.items)
        texts.push_back(item.text);
    return texts;
}

} // namespace

TEST(DatabaseContext, StatementsOfEachDialect)
{
    EXPECT_EQ(GetDatabaseListQuery(true, false), "SHOW DATABASES;");
    EXPECT_EQ(GetDatabaseListQuery(false, true), "SELECT name FROM master..sysdatabases ORDER BY name");
    EXPECT_EQ(GetDatabaseListQuery(false, false), "");
    EXPECT_EQ(GetCurrentDatabaseQuery(true, false), "SELECT DATABASE();");
    EXPECT_EQ(GetCurrentDatabaseQuery(false, true), "select db_name() dbname");
    EXPECT_EQ(GetCurrentDatabaseQuery(false, false), "");

    // MySQL switches with USE in the provider's quotes; a quote inside the name is doubled, so
    // the name cannot end the statement early.
    EXPECT_EQ(GetUseDatabaseStatement("`", "`", "test"), "use `test`");
    EXPECT_EQ(GetUseDatabaseStatement("`", "`", "a`; drop database x; `"), "use `a``; drop database x; ```");
    EXPECT_EQ(GetUseDatabaseStatement("", "", "shop"), "use shop");
}

TEST(DatabaseContext, CatalogNamesOnSqlServer)
{
    struct Case {
        const char* name;
        bool modern;
        const char* providerFile;
        bool odbc;
        const char* connectionString;
        const char* value;
    } cases[] = {
        {"pubs", true, "SQLOLEDB.DLL", false, "", "[pubs]"},
        {"pubs", true, "sqlncli.dll", false, "", "[pubs]"},
        {"odd]name", true, "SQLOLEDB.DLL", false, "", "[odd]]name]"},
        {"pubs", true, "MSDASQL.DLL", true, "DSN=x;QuotedId=No", "[pubs]"},
        {"pubs", true, "MSDASQL.DLL", true, "DSN=x;quotedid=no", "pubs"}, // the test is case-sensitive
        {"pubs", true, "MSDASQL.DLL", true, "DSN=x", "pubs"},
        {"pubs", false, "SQLOLEDB.DLL", false, "", "pubs"}, // SQL Server 6.x
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetCatalogPropertyValue(c.name, c.modern, c.providerFile, c.odbc, c.connectionString), c.value)
            << c.name << " " << c.providerFile << " " << c.connectionString;

    EXPECT_EQ(StripCatalogBrackets("[pubs]", true), "pubs");
    EXPECT_EQ(StripCatalogBrackets("[odd]]name]", true), "odd]name");
    EXPECT_EQ(StripCatalogBrackets("[pubs]", false), "[pubs]");
    EXPECT_EQ(StripCatalogBrackets("[", true), "[");
    EXPECT_EQ(StripCatalogBrackets("pubs", true), "pubs");
}

TEST(DatabaseContext, ListItems)
{
    const CDatabaseList loaded = BuildDatabaseList({"master", "Pubs", "pubs", "tempdb", "master"});
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(Texts(loaded), (std::vector<wxString>{"master", "Pubs", "tempdb", "<Refresh>"}));
    EXPECT_EQ(loaded.selected, -1);
    EXPECT_EQ(loaded.items.front().image, kImageDatabase);
    EXPECT_EQ(loaded.items.back().image, kImageRefresh);

    const CDatabaseList empty = BuildDatabaseList({});
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(Texts(empty), (std::vector<wxString>{"<No Data>", "<Refresh>"}));
    EXPECT_EQ(empty.selected, 0);
    EXPECT_EQ(empty.items.front().image, kImageLabel);

    EXPECT_EQ(DatabaseListErrorLabel(true, true), "<Provider Error>");
    EXPECT_EQ(DatabaseListErrorLabel(true, false), "<Provider Error>");
    EXPECT_EQ(DatabaseListErrorLabel(false, true), "<_com_error>");
    EXPECT_EQ(DatabaseListErrorLabel(false, false), "<Errors occurred>");
    const CDatabaseList failed = DatabaseListFailure("<_com_error>");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(Texts(failed), (std::vector<wxString>{"<_com_error>"}));
    EXPECT_EQ(failed.selected, 0);

    for (const char* command : {"<No Data>", "<not supported>", "<REFRESH>"})
        EXPECT_TRUE(IsDatabaseListCommand(command)) << command;
    for (const char* name : {"pubs", "<Provider Error>", " "})
        EXPECT_FALSE(IsDatabaseListCommand(name)) << name;
}

TEST(DatabaseContext, SetOptionsOffBeforeOn)
{
    struct Case {
        const char* text;
        SetOptionsChange change;
    } cases[] = {
        {"SET QUOTED_IDENTIFIER OFF", SetOptionsChange::QuotesOff},
        {"  set quoted_identifier  off\n", SetOptionsChange::QuotesOff},
        {"SET ANSI_DEFAULTS OFF", SetOptionsChange::QuotesOff},
        {"set ansi_defaults on", SetOptionsChange::QuotesOn},
        {"SET QUOTED_IDENTIFIER ON", SetOptionsChange::QuotesOn},
        {"SET QUOTED_IDENTIFIER\tON", SetOptionsChange::QuotesOn},
        // Both in one text: OFF is looked for first.
        {"SET QUOTED_IDENTIFIER ON\nSET ANSI_DEFAULTS OFF", SetOptionsChange::QuotesOff},
        {"SET NOCOUNT ON", SetOptionsChange::None},
        {"SELECT quoted_identifier FROM options", SetOptionsChange::None},
        {"", SetOptionsChange::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadSetOptions(c.text), c.change) << c.text;
}

TEST(DatabaseContext, UseIsFollowedOnlyWhereTheWindowKeepsADatabaseList)
{
    // Any text holding the three letters counts, as a column named Users does.
    EXPECT_TRUE(MayChangeDatabase(true, false, "select Users from t"));
    EXPECT_TRUE(MayChangeDatabase(false, true, "use shop"));
    // SQLite and PostgreSQL are neither: their USE (an error) and SET change nothing.
    EXPECT_FALSE(MayChangeDatabase(false, false, "USE shop"));
}

namespace {

class DatabaseContextOnDriver : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        m_store = std::make_unique<CSettingsStore>(wxString::FromUTF8(NewTempPath(".conf")));
        m_info = std::make_unique<CConnectionInfo>(*m_store);
        m_info->m_pConnection = ado::Connection::Create();
        m_info->m_pConnection->Open(ConnectionString());
        m_info->m_pRecordset = ado::Recordset::Create();
        ASSERT_TRUE(m_info->ReadConnectionInfo());
    }
    // After every operation the shared recordset is closed and the connection still works.
    void ExpectUsable()
    {
        EXPECT_EQ(m_info->m_pRecordset->GetState(), ado::adStateClosed);
        EXPECT_NO_THROW(m_info->m_pConnection->Execute("SELECT 1"));
    }
    std::unique_ptr<CSettingsStore> m_store;
    std::unique_ptr<CConnectionInfo> m_info;
};

TEST_P(DatabaseContextOnDriver, NoListWithoutDatabaseSwitching)
{
    CDatabaseContext context(*m_info);
    EXPECT_FALSE(context.HasDatabaseList());
    // SET changes nothing here: the window follows SET only on a T-SQL server.
    EXPECT_FALSE(m_info->m_bTSql);
}

TEST_P(DatabaseContextOnDriver, RefusedListQueriesBecomeTheListsLabel)
{
    CDatabaseContext context(*m_info);
    for (const bool mySql : {true, false}) {
        m_info->m_bMySql = mySql;
        m_info->m_bTSql = !mySql;
        const CDatabaseList list = context.LoadDatabaseList();
        EXPECT_FALSE(list.ok);
        EXPECT_EQ(Texts(list), (std::vector<wxString>{"<Provider Error>"})) << (mySql ? "MySQL" : "T-SQL");
        ExpectUsable();
    }
}

TEST_P(DatabaseContextOnDriver, CurrentDatabaseFailsQuietly)
{
    CDatabaseContext context(*m_info);
    const wxString before = m_info->m_strCurrentCatalog;
    m_info->m_bTSql = 1;
    EXPECT_EQ(context.GetCurrentDatabase(), "");
    ExpectUsable();
    // The failed read left the provider's catalog alone.
    EXPECT_EQ(context.ReadCurrentCatalog(), before);

    // MySQL with no database in use tries to switch to "MySQL", which this server refuses too.
    m_info->m_bTSql = 0;
    m_info->m_bMySql = 1;
    EXPECT_EQ(context.GetCurrentDatabase(), "");
    EXPECT_THROW(context.ChangeDatabase("test"), _com_error);
    ExpectUsable();
}

TEST_P(DatabaseContextOnDriver, CatalogsRowsetFillsTheList)
{
    m_info->m_bOlap = 1;
    CDatabaseContext context(*m_info);
    const CDatabaseList list = context.LoadDatabaseList();
    ASSERT_FALSE(list.items.empty());
    EXPECT_EQ(list.items.back().text, list.ok ? "<Refresh>" : list.items.back().text);
    if (IsPostgres()) {
        // The one database of the connection is its catalog.
        ASSERT_TRUE(list.ok);
        EXPECT_EQ(Texts(list), (std::vector<wxString>{wxString::FromUTF8(PostgresDatabaseName()), "<Refresh>"}));
        EXPECT_EQ(context.ReadCurrentCatalog(), wxString::FromUTF8(PostgresDatabaseName()));
    }
    ExpectUsable();
}

TEST_P(DatabaseContextOnDriver, SetStatementsSwitchQuoting)
{
    CDatabaseContext context(*m_info);
    context.TrackSetOptions("SET QUOTED_IDENTIFIER OFF");
    EXPECT_EQ(m_info->m_bUseQuotedIdentifiers, 0);
    EXPECT_EQ(m_info->m_strQuotePrefix, "");
    context.TrackSetOptions("set ansi_defaults on");
    EXPECT_EQ(m_info->m_bUseQuotedIdentifiers, 1);
    EXPECT_EQ(m_info->m_strQuotePrefix, m_info->m_strProviderQuotePrefix);
    EXPECT_EQ(m_info->m_strQuoteSuffix, m_info->m_strProviderQuoteSuffix);
    context.TrackSetOptions("SET NOCOUNT ON");
    EXPECT_EQ(m_info->m_bUseQuotedIdentifiers, 1);
}

TORVANE_INSTANTIATE_FOR_DRIVERS(DatabaseContextOnDriver);

} // namespace
