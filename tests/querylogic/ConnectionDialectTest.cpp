#include "querycore/ConnectionDialect.h"

#include <gtest/gtest.h>

namespace {

TEST(ConnectionDialect, FlagsFromNames)
{
    struct Case {
        const char* provider;
        const char* dbms;
        const char* driver;
        const char* flags; // o j f d r m l
    } cases[] = {
        {"MSDASQL.DLL", "SQLite", "libsqlite3odbc.so", "o......"},
        {"MSDASQL.DLL", "PostgreSQL", "psqlodbcw.so", "o......"},
        {"msdasql.dll", "MySQL", "", "o....m."},
        {"MSDASQL.DLL", "mysql", "", "o....m."},
        {"MSDASQL.DLL", "MySQL 8", "", "o......"},
        {"MSDASQL.DLL", " MySQL", "", "o......"},
        {"MSDASQL.DLL", "DB2/LINUXX8664", "", "o..d..."},
        {"MSDASQL.DLL", "db2", "", "o..d..."},
        {"MSDASQL.DLL", "Oracle", "", "o...r.."},
        {"MSDASQL.DLL", "ORAC", "", "o...r.."},
        {"MSDASQL.DLL", "Oracle9i Enterprise", "", "o...r.."},
        {"MSDASQL.DLL", "Visual FoxPro", "", "o.f...."},
        {"MSOLAP.DLL", "OLAP Server", "", "......l"},
        {"MSJETOLEDB40.DLL", "MS Jet", "", ".j....."},
        {"MSDASQL.DLL", "ACCESS", "odbcjt32.dll", "oj....."},
        {"OTHER.DLL", "ACCESS", "ODBCJT32.DLL", "......."},
        {"MSDASQL.DLL", "", "", "o......"},
    };
    for (const Case& c : cases) {
        ConnectionDialect d = ConnectionDialect::FromNames(c.provider, c.dbms, c.driver);
        std::string flags;
        flags += d.odbcProvider ? 'o' : '.';
        flags += d.jet ? 'j' : '.';
        flags += d.foxPro ? 'f' : '.';
        flags += d.db2 ? 'd' : '.';
        flags += d.oracle ? 'r' : '.';
        flags += d.mySql ? 'm' : '.';
        flags += d.olap ? 'l' : '.';
        EXPECT_EQ(flags, c.flags) << c.provider << " / " << c.dbms << " / " << c.driver;
    }
    EXPECT_EQ(UpperDbmsName(" PostgreSQL "), " POSTGRESQL ");
}

TEST(ConnectionDialect, Quotes)
{
    EXPECT_EQ(ProviderIdentifierQuotes(" [ ", ""), (IdentifierQuotes{"[", "]"}));
    EXPECT_EQ(ProviderIdentifierQuotes("\"", ""), (IdentifierQuotes{"\"", "\""}));
    EXPECT_EQ(ProviderIdentifierQuotes("`", ""), (IdentifierQuotes{"`", "`"}));
    EXPECT_EQ(ProviderIdentifierQuotes("", ""), (IdentifierQuotes{"", ""}));
    EXPECT_EQ(ProviderIdentifierQuotes("`", "`"), (IdentifierQuotes{"`", "`"}));

    const IdentifierQuotes none;
    const IdentifierQuotes dq{"\"", "\""};
    const IdentifierQuotes brackets{"[", "]"};
    const ConnectionDialect plain;
    ConnectionDialect jet;
    jet.jet = true;
    struct Case {
        IdentifierQuotes provider;
        bool use;
        ConnectionDialect dialect;
        const char* dbms;
        const char* version;
        IdentifierQuotes expected;
    } cases[] = {
        {dq, true, plain, "POSTGRESQL", "15.4", dq},
        {dq, false, plain, "POSTGRESQL", "15.4", none},
        {none, true, plain, "MICROSOFT SQL SERVER", "08.00.2039", brackets},
        {none, false, plain, "microsoft sql server", "08.00.2039", brackets},
        {dq, false, plain, "MS SQL SERVER", "09.00", brackets},
        {dq, true, plain, "MICROSOFT SQL SERVER", "09.00", dq},
        {none, true, plain, "MICROSOFT SQL SERVER", "06.50", none},
        {none, true, plain, "MICROSOFT SQL SERVER", "8", none},
        {none, false, jet, "ACCESS", "", brackets},
        {ProviderIdentifierQuotes("`", ""), true, plain, "MYSQL", "8.0", IdentifierQuotes{"`", "`"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QuotesInForce(c.provider, c.use, c.dialect, c.dbms, c.version), c.expected)
            << c.dbms << " " << c.version << " use " << c.use;
}

} // namespace
