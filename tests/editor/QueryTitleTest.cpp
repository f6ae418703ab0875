#include "editor/QueryTitle.h"

#include <gtest/gtest.h>

namespace {

struct TitleCase {
    const char* what;
    std::optional<wxString> argument;
    wxString currentTitle;
    CQueryTitleConnection connection;
    wxString editorText;
    wxString lastSql;
    wxString expected;
};

CQueryTitleConnection Dsn(const wxString& dsn, const wxString& user = {})
{
    CQueryTitleConnection c;
    c.dataSource = dsn;
    c.userId = user;
    return c;
}

CQueryTitleConnection Server(const wxString& server, const wxString& catalog, const wxString& user)
{
    CQueryTitleConnection c;
    c.dataSource = "ignored";
    c.serverName = server;
    c.catalog = catalog;
    c.userId = user;
    return c;
}

CQueryTitleConnection WithDbms(CQueryTitleConnection c, const wxString& name, const wxString& version)
{
    c.displayDbmsVer = true;
    c.dbmsName = name;
    c.dbmsVersion = version;
    return c;
}

TEST(QueryTitle, ComposeTable)
{
    const TitleCase cases[] = {
        {"untitled window", wxString("Untitled_1 - (New Query)"), "", Dsn("Sample"), "select 1", "",
         "Sample - Untitled_1 - (New Query)"},
        {"file name takes the editor text", wxString("a.sql"), "", Dsn("Sample", "bob"), "select * from t", "",
         "Sample (bob) - a.sql - (select * from t)"},
        {"15 characters stand whole", wxString("a.sql"), "", Dsn("S"), "123456789012345", "",
         "S - a.sql - (123456789012345)"},
        {"16 characters are cut", wxString("a.sql"), "", Dsn("S"), "1234567890123456", "",
         "S - a.sql - (123456789012345...)"},
        {"line breaks become blanks and are trimmed", wxString("a.sql"), "", Dsn("S"), "select\r\n1\r\n", "",
         "S - a.sql - (select  1)"},
        {"empty editor", wxString("a.sql"), "", Dsn("S"), "", "", "S - a.sql - (New Query)"},
        {"server, catalog and user", wxString("a.sql"), "", Server(" pg1 ", "shop", "ann"), "x", "",
         "pg1.\"shop\".ann - a.sql - (x)"},
        {"server and catalog without user", wxString("a.sql"), "", Server("pg1", "shop", ""), "x", "",
         "pg1.\"shop\" - a.sql - (x)"},
        {"dashes in the data source", wxString("a.sql"), "", Dsn("My - Source", "u - 1"), "x", "",
         "My -- Source (u -- 1) - a.sql - (x)"},
        {"refresh keeps the name and shows the last SQL", std::nullopt, "Old - b.sql* - (abc)", Dsn("New"),
         "ignored", "select 2", "New - b.sql* - (select 2)"},
        {"refresh of a title without a name", std::nullopt, "Nothing", Dsn("D"), "", "", "D -  - (New Query)"},
        {"DBMS prefix", wxString("a.sql"), "", WithDbms(Dsn("S"), " PostgreSQL ", "15 - 2"), "x", "",
         "{PostgreSQL 15 -- 2} S - a.sql - (x)"},
        {"DBMS prefix with empty values", wxString("a.sql"), "", WithDbms(Dsn("S"), "", " "), "x", "",
         "{<Unknown> <Unknown>} S - a.sql - (x)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CQueryTitle::Compose(c.argument, c.currentTitle, &c.connection, c.editorText, c.lastSql),
                  c.expected)
            << c.what;
}

TEST(QueryTitle, WithoutConnectionTheArgumentIsTheTitle)
{
    EXPECT_EQ(CQueryTitle::Compose(wxString(" a.sql\n"), "x", nullptr, "sel", "sql"), "a.sql");
    EXPECT_EQ(CQueryTitle::Compose(std::nullopt, "x", nullptr, "sel", "sql"), "");
}

TEST(QueryTitle, PlainTable)
{
    struct {
        wxString title;
        bool marked;
        wxString plain;
    } const cases[] = {
        {"S - a.sql - (select 1)", false, "a.sql"},
        {"S - a.sql* - (select 1)", true, "a.sql"},
        {"S - Untitled_1 * - (x)", true, "Untitled_1"},
        {"My -- Source - b - c.sql - (x)", false, "b - c.sql"},
        {"S - a*b.sql* - (x)", true, "a*b.sql"},
        {"{PG 15} S - a.sql - (x)", false, "a.sql"},
        {"a.sql", false, "a.sql"},
        {"S - a.sql", false, "a.sql"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CQueryTitle::Plain(c.title, c.marked), c.plain) << c.title;
}

TEST(QueryTitle, MarkedArgument)
{
    EXPECT_EQ(CQueryTitle::MarkedArgument("S - a.sql - (x)"), wxString("a.sql*"));
    EXPECT_EQ(CQueryTitle::MarkedArgument("S - Untitled_1 - (New Query)"), wxString("Untitled_1*"));
    EXPECT_EQ(CQueryTitle::MarkedArgument("a.sql"), std::nullopt);
    EXPECT_EQ(CQueryTitle::MarkedArgument("S - a.sql"), std::nullopt);
    // The marked name refreshes the text part from the editor.
    CQueryTitleConnection c;
    c.dataSource = "S";
    EXPECT_EQ(CQueryTitle::Compose(CQueryTitle::MarkedArgument("S - a.sql - (New Query)"), "S - a.sql - (New Query)",
                                   &c, "select 9", ""),
              "S - a.sql* - (select 9)");
}

} // namespace
