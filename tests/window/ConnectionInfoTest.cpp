#include "platform/SettingsStore.h"
#include "querycore/ConnectionInfo.h"
#include "tests/support/TestDatabases.h"

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>

using namespace torvane::test;

namespace {

class ConnectionInfoTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        m_store = std::make_unique<CSettingsStore>(wxString::FromUTF8(NewTempPath(".conf")));
    }
    std::unique_ptr<CConnectionInfo> Open()
    {
        auto info = std::make_unique<CConnectionInfo>(*m_store);
        info->m_pConnection = ado::Connection::Create();
        info->m_pConnection->Open(ConnectionString());
        info->m_pRecordset = ado::Recordset::Create();
        return info;
    }
    std::unique_ptr<CSettingsStore> m_store;
};

TEST_P(ConnectionInfoTest, NamesCapabilitiesFlagsAndQuotes)
{
    auto info = Open();
    ASSERT_TRUE(info->ReadConnectionInfo());
    EXPECT_EQ(info->m_strProviderFile, "MSDASQL.DLL");
    EXPECT_TRUE(info->m_bOdbcProvider);
    EXPECT_FALSE(info->m_strProviderFriendlyName.empty());
    EXPECT_EQ(info->m_strDbmsName, IsPostgres() ? "PostgreSQL" : "SQLite");
    EXPECT_EQ(info->m_strDbmsNameUpper, info->m_strDbmsName.Upper());
    EXPECT_FALSE(info->m_strDbmsVersion.empty());
    EXPECT_TRUE(info->m_strDriverName.Lower().Contains(IsPostgres() ? "psqlodbc" : "sqlite"))
        << info->m_strDriverName;
    EXPECT_FALSE(info->m_strDriverVersion.empty());
    EXPECT_FALSE(info->m_strDataSource.empty());
    EXPECT_TRUE(info->m_bTransactions);
    if (IsPostgres()) {
        EXPECT_EQ(info->m_strUserId, "torvane");
        EXPECT_TRUE(info->m_bMultipleResults);
        EXPECT_EQ(info->m_strCurrentCatalog, wxString::FromUTF8(PostgresDatabaseName()));
    }
    // Neither database speaks a dialect the window treats specially.
    EXPECT_FALSE(info->m_bJet || info->m_bFoxPro || info->m_bDb2 || info->m_bOracle || info->m_bMySql ||
                 info->m_bOlap);
    // The T-SQL catalog query fails quietly, and the connection is fine afterwards.
    EXPECT_FALSE(info->m_bTSql);
    EXPECT_EQ(info->m_pRecordset->GetState(), ado::adStateClosed);
    info->m_pConnection->Execute("SELECT 1");
    EXPECT_EQ(info->m_strProviderQuotePrefix, "\"");
    EXPECT_EQ(info->m_strProviderQuoteSuffix, "\"");
    EXPECT_EQ(info->m_strQuotePrefix, "\"");
    EXPECT_EQ(info->m_strQuoteSuffix, "\"");
    EXPECT_EQ(info->m_strBatchSeparator, "GO");

    info->SetQuotedIdentifiers(false);
    EXPECT_EQ(info->m_strQuotePrefix, "");
    EXPECT_EQ(info->m_strQuoteSuffix, "");
}

TEST_P(ConnectionInfoTest, SettingsShapeTheResult)
{
    m_store->WriteProfileString("Configure", "Batch Separator", "<null>");
    m_store->WriteProfileInt("Configure", "Use QI", 0);
    auto info = Open();
    ASSERT_TRUE(info->ReadConnectionInfo());
    EXPECT_EQ(info->m_strBatchSeparator, "");
    EXPECT_EQ(info->m_bUseQuotedIdentifiers, 0);
    EXPECT_EQ(info->m_strQuotePrefix, "");
}

TEST_P(ConnectionInfoTest, AsynchronousProbeLeavesTheConnectionUsable)
{
    auto info = Open();
    EXPECT_TRUE(info->ProbeAsyncExecution());
    _variant_t affected;
    ado::RecordsetPtr rs = info->m_pConnection->Execute("SELECT 2*3", &affected);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->GetCollect(0).ToLong(), 6);
    rs->Close();
}

TORVANE_INSTANTIATE_FOR_DRIVERS(ConnectionInfoTest);

} // namespace
