#include "platform/SettingsStore.h"
#include "querycore/ConnectionInfo.h"
#include "querycore/ConnectRules.h"
#include "tests/support/TestDatabases.h"

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>

namespace {

TEST(ConnectRules, Clamps)
{
    const struct {
        int in, login, query, cache;
    } cases[] = {
        {-1, 0, 0, 100}, {0, 0, 0, 100}, {1, 1, 1, 1}, {99999, 99999, 99999, 99999},
        {100000, 0, 0, 100000}, {999999, 0, 0, 999999}, {1000000, 0, 0, 100},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClampLoginTimeout(c.in), c.login) << c.in;
        EXPECT_EQ(ClampQueryTimeout(c.in), c.query) << c.in;
        EXPECT_EQ(ClampCacheSize(c.in), c.cache) << c.in;
    }
}

class DialectFlags : public ::testing::Test {
protected:
    DialectFlags() : m_store(torvane::test::NewTempPath(".conf")), m_info(m_store) {}
    CConnectionInfo& Info(const char* provider, const char* dbms, const char* version = "",
                          const char* driver = "")
    {
        m_info.m_strProviderFile = provider;
        m_info.m_strDbmsNameUpper = wxString(dbms).Upper();
        m_info.m_strDbmsVersion = version;
        m_info.m_strDriverName = driver;
        m_info.ApplyDialectFlags();
        return m_info;
    }
    CSettingsStore m_store;
    CConnectionInfo m_info;
};

TEST_F(DialectFlags, FromNames)
{
    const struct {
        const char* provider;
        const char* dbms;
        const char* driver;
        int odbc, jet, fox, db2, oracle, mysql, olap;
    } cases[] = {
        {"MSDASQL.DLL", "SQLite", "libsqlite3odbc.so", 1, 0, 0, 0, 0, 0, 0},
        {"msdasql.dll", "PostgreSQL", "psqlodbcw.so", 1, 0, 0, 0, 0, 0, 0},
        {"MSDASQL.DLL", "MySQL", "", 1, 0, 0, 0, 0, 1, 0},
        {"MSDASQL.DLL", "mysql", "", 1, 0, 0, 0, 0, 1, 0},
        {"MSDASQL.DLL", "MySQL Community", "", 1, 0, 0, 0, 0, 0, 0}, // whole name only
        {"MSDASQL.DLL", "  MySQL ", "", 1, 0, 0, 0, 0, 1, 0},         // padded names still match
        {"MSDASQL.DLL", "DB2/LINUXX8664", "", 1, 0, 0, 1, 0, 0, 0},
        {"MSDASQL.DLL", "Oracle", "", 1, 0, 0, 0, 1, 0, 0},
        {"MSDASQL.DLL", "Orac", "", 1, 0, 0, 0, 1, 0, 0},
        {"MSDASQL.DLL", "Oracle9i Enterprise", "", 1, 0, 0, 0, 1, 0, 0},
        {"MSDASQL.DLL", "Visual FoxPro", "", 1, 0, 1, 0, 0, 0, 0},
        {"MSDASQL.DLL", "OLAP Server", "", 1, 0, 0, 0, 0, 0, 1},
        {"MSDASQL.DLL", "MS Jet", "", 1, 1, 0, 0, 0, 0, 0},
        {"MSDASQL.DLL", "ACCESS", "odbcjt32.dll", 1, 1, 0, 0, 0, 0, 0}, // Jet by its driver
        {"SQLOLEDB.DLL", "ACCESS", "ODBCJT32.DLL", 0, 0, 0, 0, 0, 0, 0}, // driver counts only over ODBC
        {"MSDASQL.DLL", "", "", 1, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const CConnectionInfo& info = Info(c.provider, c.dbms, "", c.driver);
        SCOPED_TRACE(c.dbms);
        EXPECT_EQ(info.m_bOdbcProvider, c.odbc);
        EXPECT_EQ(info.m_bJet, c.jet);
        EXPECT_EQ(info.m_bFoxPro, c.fox);
        EXPECT_EQ(info.m_bDb2, c.db2);
        EXPECT_EQ(info.m_bOracle, c.oracle);
        EXPECT_EQ(info.m_bMySql, c.mysql);
        EXPECT_EQ(info.m_bOlap, c.olap);
    }
}

TEST_F(DialectFlags, QuotesInForce)
{
    const struct {
        const char* dbms;
        const char* version;
        const char* prefix;
        const char* suffix;
        bool use;
        const char* inPrefix;
        const char* inSuffix;
    } cases[] = {
        // A modern SQL Server quotes with brackets when the provider gives nothing, QI on or off.
        {"Microsoft SQL Server", "08.00.2039", "", "", true, "[", "]"},
        {"MICROSOFT SQL SERVER", "08.00.2039", "\"", "\"", false, "[", "]"},
        {"MS SQL Server", "09.00", "", "", true, "[", "]"},
        {"Microsoft SQL Server", "06.50", "", "", true, "", ""},
        {"Microsoft SQL Server", "8", "", "", true, "", ""},
        // Others quote only with the provider's characters and only while QI is on.
        {"PostgreSQL", "15.0", "\"", "\"", true, "\"", "\""},
        {"PostgreSQL", "15.0", "\"", "\"", false, "", ""},
        {"MS Jet", "04.00", "", "", false, "[", "]"},
        {"OLAP Server", "", "", "", false, "[", "]"},
    };
    for (const auto& c : cases) {
        CConnectionInfo& info = Info("MSDASQL.DLL", c.dbms, c.version);
        info.m_strProviderQuotePrefix = c.prefix;
        info.m_strProviderQuoteSuffix = c.suffix;
        SCOPED_TRACE(std::string(c.dbms) + " " + c.version);
        EXPECT_TRUE(info.SetQuotedIdentifiers(c.use));
        EXPECT_EQ(info.m_strQuotePrefix, c.inPrefix);
        EXPECT_EQ(info.m_strQuoteSuffix, c.inSuffix);
        EXPECT_EQ(info.m_bUseQuotedIdentifiers, c.use ? 1 : 0);
    }
}

} // namespace
