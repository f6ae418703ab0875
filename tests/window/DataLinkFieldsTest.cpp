#include "querycore/DataLinkFields.h"

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>

namespace {

TEST(DataLinkFields, BuildsTheBridgeString)
{
    CDataLinkFields sqlite;
    sqlite.driver = "SQLite3";
    sqlite.database = "/tmp/a b.db";
    EXPECT_EQ(sqlite.BuildOdbcString(), "DRIVER={SQLite3};Database=/tmp/a b.db;");
    EXPECT_EQ(sqlite.BuildConnectString(),
              "Provider=MSDASQL.1;Persist Security Info=False;Extended Properties=\"DRIVER={SQLite3};Database=/tmp/a "
              "b.db;\"");

    CDataLinkFields pg;
    pg.driver = "PostgreSQL Unicode";
    pg.server = "127.0.0.1";
    pg.port = "5432";
    pg.database = "postgres";
    pg.user = "torvane";
    pg.hasUser = true;
    pg.password = "p;w}\"d";
    pg.hasPassword = true;
    pg.persistSecurityInfo = true;
    pg.otherAttributes = "SSLMode=disable";
    EXPECT_EQ(pg.BuildOdbcString(), "DRIVER={PostgreSQL Unicode};Server=127.0.0.1;Port=5432;Database=postgres;"
                                    "UID=torvane;PWD={p;w}}\"d};SSLMode=disable;");
    // The double quote inside the ODBC string is doubled inside the quoted ADO value.
    EXPECT_EQ(pg.BuildConnectString(),
              "Provider=MSDASQL.1;Persist Security Info=True;Extended Properties=\"DRIVER={PostgreSQL Unicode};"
              "Server=127.0.0.1;Port=5432;Database=postgres;UID=torvane;PWD={p;w}}\"\"d};SSLMode=disable;\"");

    CDataLinkFields dsn;
    dsn.useDsn = true;
    dsn.dsn = "Sales";
    dsn.hasPassword = true; // a blank password is still a password
    EXPECT_EQ(dsn.BuildOdbcString(), "DSN=Sales;PWD=;");
}

TEST(DataLinkFields, TheSavedStringHoldsThePasswordOnlyWhenAllowed)
{
    struct Case {
        wxString password;
        bool hasPassword;
        wxString other;
        bool allowed;
        wxString odbc; // inside Extended Properties
    } cases[] = {
        {"pw", true, "", false, "DRIVER={PostgreSQL Unicode};Server=h;UID=u;"},
        {"pw", true, "", true, "DRIVER={PostgreSQL Unicode};Server=h;UID=u;PWD=pw;"},
        {"", true, "", false, "DRIVER={PostgreSQL Unicode};Server=h;UID=u;"},
        {"", true, "", true, "DRIVER={PostgreSQL Unicode};Server=h;UID=u;PWD=;"},
        {"pw", true, "PWD={a;b};SSLmode=require;password=c", false,
         "DRIVER={PostgreSQL Unicode};Server=h;UID=u;SSLmode=require;"},
        {"pw", true, "SSLmode=require", true, "DRIVER={PostgreSQL Unicode};Server=h;UID=u;PWD=pw;SSLmode=require;"},
    };
    for (const Case& c : cases) {
        CDataLinkFields fields;
        fields.driver = "PostgreSQL Unicode";
        fields.server = "h";
        fields.user = "u";
        fields.hasUser = true;
        fields.password = c.password;
        fields.hasPassword = c.hasPassword;
        fields.otherAttributes = c.other;
        fields.persistSecurityInfo = c.allowed;
        const wxString saved = fields.BuildSavedConnectString();
        EXPECT_EQ(CDataLinkFields::Parse(saved).BuildOdbcString(), c.odbc) << saved;
        EXPECT_EQ(CDataLinkFields::Parse(saved).persistSecurityInfo, c.allowed) << saved;
    }
}

TEST(DataLinkFields, ParsesWhatItBuildsAndOtherForms)
{
    CDataLinkFields pg;
    pg.driver = "PostgreSQL Unicode";
    pg.server = "db.example";
    pg.database = "sales";
    pg.user = "u";
    pg.hasUser = true;
    pg.password = "a;b=c}";
    pg.hasPassword = true;
    pg.otherAttributes = "SSLMode=disable;";
    const CDataLinkFields back = CDataLinkFields::Parse(pg.BuildConnectString());
    EXPECT_FALSE(back.useDsn);
    EXPECT_EQ(back.driver, pg.driver);
    EXPECT_EQ(back.server, pg.server);
    EXPECT_EQ(back.database, pg.database);
    EXPECT_EQ(back.user, pg.user);
    EXPECT_EQ(back.password, pg.password);
    EXPECT_EQ(back.otherAttributes, pg.otherAttributes);
    EXPECT_EQ(back.BuildConnectString(), pg.BuildConnectString());

    // The ODBC provider's own login keywords.
    const CDataLinkFields ole = CDataLinkFields::Parse(
        "Provider=MSDASQL.1;Password=secret;Persist Security Info=True;User ID=sa;Data Source=Sales;"
        "Initial Catalog=north");
    EXPECT_TRUE(ole.useDsn);
    EXPECT_EQ(ole.dsn, "Sales");
    EXPECT_EQ(ole.user, "sa");
    EXPECT_EQ(ole.password, "secret");
    EXPECT_EQ(ole.database, "north");
    EXPECT_TRUE(ole.persistSecurityInfo);

    // A bare ODBC string, and the string the driver menu builds.
    const CDataLinkFields odbc = CDataLinkFields::Parse("Driver={SQLite3};Database=/x/y.db");
    EXPECT_EQ(odbc.driver, "SQLite3");
    EXPECT_EQ(odbc.database, "/x/y.db");
    const CDataLinkFields menu = CDataLinkFields::Parse(
        "PROVIDER=MSDASQL;Persist Security Info=False;Extended Properties=\"DRIVER={PostgreSQL Unicode};\"");
    EXPECT_EQ(menu.driver, "PostgreSQL Unicode");
    EXPECT_FALSE(menu.hasUser);

    // Read as the connection reads it, also without a provider: quotes after any blanks enclose
    // a value.
    const CDataLinkFields quoted = CDataLinkFields::Parse("Driver={SQLite3};PWD=\t'a;b';Database=/x.db");
    EXPECT_EQ(quoted.driver, "SQLite3");
    EXPECT_EQ(quoted.password, "a;b");
    EXPECT_EQ(quoted.database, "/x.db");
    EXPECT_EQ(quoted.otherAttributes, "");

    // ODBC attributes written beside the provider, as a command line gives them; the provider's
    // own settings are not among them.
    const CDataLinkFields beside = CDataLinkFields::Parse(
        "Provider=MSDASQL;Driver=SQLite3;Database=/x/y z.db;Prompt=2;Connect Timeout=5;SyncPragma=off");
    EXPECT_EQ(beside.driver, "SQLite3");
    EXPECT_EQ(beside.database, "/x/y z.db");
    EXPECT_EQ(beside.otherAttributes, "SyncPragma=off;");
    EXPECT_EQ(beside.BuildOdbcString(), "DRIVER={SQLite3};Database=/x/y z.db;SyncPragma=off;");
}

TEST(DataLinkFields, MissingLogin)
{
    const struct {
        const char* connect;
        int missing;
    } cases[] = {
        {"Driver={PostgreSQL Unicode};", CDataLinkFields::MissingUser | CDataLinkFields::MissingPassword |
                                             CDataLinkFields::MissingDatabase},
        {"Driver={PostgreSQL Unicode};Server=h;Database=d;UID=u;", CDataLinkFields::MissingPassword},
        {"Driver={PostgreSQL Unicode};Server=h;Database=d;UID=u;PWD=;", 0},
        {"Driver={SQLite3};", CDataLinkFields::MissingDatabase},
        {"Driver={SQLite3};Database=/tmp/x.db;", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CDataLinkFields::Parse(c.connect).GetMissingLogin(), c.missing) << c.connect;
}

TEST(DataLinkFields, OdbcValueQuoting)
{
    EXPECT_EQ(QuoteOdbcValue("plain"), "plain");
    EXPECT_EQ(QuoteOdbcValue("a;b"), "{a;b}");
    EXPECT_EQ(QuoteOdbcValue("a}b"), "{a}}b}");
    EXPECT_EQ(QuoteOdbcValue(" lead"), "{ lead}");
    const auto pairs = SplitOdbcString("A={x;}}y};B = 2 ;C");
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].second, "x;}y");
    EXPECT_EQ(pairs[1].first, "B");
    EXPECT_EQ(pairs[1].second, "2");
}

} // namespace

namespace {

TEST(DataLinkFields, OnlyTheOdbcProviderIsAskedForALogin)
{
    EXPECT_EQ(CDataLinkFields::Parse("Provider=NoSuchProvider.1;Data Source=x").GetMissingLogin(), 0);
    EXPECT_NE(CDataLinkFields::Parse("Provider=MSDASQL.1;Data Source=x").GetMissingLogin(), 0);
    EXPECT_NE(CDataLinkFields::Parse("Provider=msdasql;Extended Properties=\"DRIVER={PostgreSQL Unicode};\"")
                  .GetMissingLogin(),
              0);
}

} // namespace
