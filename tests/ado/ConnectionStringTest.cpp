#include "ado/ConnectionString.h"

#include <gtest/gtest.h>

using namespace ado::detail;

namespace {

std::string Dump(const AttributeList& list)
{
    std::string out;
    for (const auto& a : list.Items())
        out += "[" + a.key + "|" + a.value + "]";
    return out;
}

} // namespace

TEST(ConnectionString, ParsesAdoSyntax)
{
    struct Case {
        const char* text;
        const char* parsed;
    } cases[] = {
        {"", ""},
        {";; ;", ""},
        {"DSN=Sales", "[DSN|Sales]"},
        {"  Data Source = my dsn ; User ID=u;", "[Data Source|my dsn][User ID|u]"},
        {"Driver={SQLite3};Database=/tmp/a b.db", "[Driver|SQLite3][Database|/tmp/a b.db]"},
        {"Driver = { spaced } ;", "[Driver| spaced ]"},
        {"Pwd={a;b}}c};Uid=x", "[Pwd|a;b}c][Uid|x]"},
        {"Password=\"it\"\"s;here\"", "[Password|it\"s;here]"},
        {"Password='x;''y'", "[Password|x;'y]"},
        {"Extended Properties=\"DSN=a;UID=b\";Provider=MSDASQL.1", "[Extended Properties|DSN=a;UID=b][Provider|MSDASQL.1]"},
        {"a==b=c", "[a=b|c]"},
        {"Key=", "[Key|]"},
        {"Key=value=with=equals", "[Key|value=with=equals]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Dump(ParseAdoConnectionString(c.text)), c.parsed) << c.text;
}

TEST(ConnectionString, QuotesAreOrdinaryInOdbcSyntax)
{
    EXPECT_EQ(Dump(ParseOdbcConnectionString("PWD=\"a\";UID=b")), "[PWD|\"a\"][UID|b]");
    EXPECT_THROW(ParseOdbcConnectionString("PWD=\"a;b\""), ConnectionStringError) << "b\" has no value";
}

TEST(ConnectionString, RejectsMalformedTextWithAReason)
{
    struct Case {
        std::string text;
        const char* reasonPart;
    } cases[] = {
        {"=", "no key"},
        {"=value", "no key"},
        {"DSN=x;=y", "position 7"},
        {"JustAWord", "has no \"=\""},
        {"DSN=a;Other", "\"Other\""},
        {"Driver={SQLite3;Database=x", "not closed"},
        {"Password=\"abc", "not closed"},
        {"Password=\"abc\"def", "Unexpected text"},
        {"Driver={a}b", "Unexpected text"},
        {std::string("DSN=a\0b", 7), "NUL"},
        {"DSN=" + std::string(65536, 'x'), "limit is 32767"},
    };
    for (const auto& c : cases) {
        try {
            ParseAdoConnectionString(c.text);
            ADD_FAILURE() << "accepted: " << c.text.substr(0, 60);
        } catch (const ConnectionStringError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reasonPart), std::string::npos) << e.what();
        }
    }
}

TEST(ConnectionString, FormatsOdbcValuesThatNeedBraces)
{
    AttributeList a;
    a.Append({"DRIVER", "PostgreSQL Unicode"});
    a.Append({"PWD", "se;cr}et"});
    a.Append({"Database", "plain"});
    a.Append({"X", " padded "});
    std::string text = FormatOdbcConnectionString(a);
    EXPECT_EQ(text, "DRIVER={PostgreSQL Unicode};PWD={se;cr}}et};Database=plain;X={ padded };");
    EXPECT_EQ(Dump(ParseOdbcConnectionString(text)), Dump(a)) << "formatting and parsing round-trip";
}

// Whatever the keys and values, the formatted string parses back to the same attributes.
TEST(ConnectionString, FormattingRoundTripsEveryKeyAndValue)
{
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"ExtraSysTablePrefixes", "=x"}, {"K", "="}, {"K", "=="}, {"K", "a=b"}, {"A=B", "1"}, {"=", "v"},
        {"==", "=;"}, {"K", "{"}, {"K", "}"}, {"K", "}}{{"}, {"K", ";"}, {"K", " "}, {"K", "\t x"},
        {"K", "\"q\""}, {"K", "'"}, {"K", ""}, {"{K", "v"}, {"K}", "v"}, {"K", "caf\xC3\xA9"},
        {"Driver", "SQLite3"}, {"DRIVER", ""}, {"K", "x\ny"},
    };
    for (const auto& [key, value] : pairs) {
        AttributeList a;
        a.Append({key, value});
        a.Append({"Next", "n"});
        std::string text = FormatOdbcConnectionString(a);
        EXPECT_EQ(Dump(ParseOdbcConnectionString(text)), Dump(a)) << text;
    }
    // What no string can hold is refused rather than written so that it reads differently.
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"", "v"}, {" K", "v"}, {"K ", "v"}, {"K;L", "v"}, {std::string("K\0", 2), "v"}, {"K", std::string("a\0b", 3)}}) {
        AttributeList a;
        a.Append({key, value});
        EXPECT_THROW(FormatOdbcConnectionString(a), ConnectionStringError) << key;
    }
}

TEST(ConnectionString, QuotesAdoValuesOnlyWhenNeeded)
{
    EXPECT_EQ(QuoteAdoValue("plain"), "plain");
    EXPECT_EQ(QuoteAdoValue("a;b"), "\"a;b\"");
    EXPECT_EQ(QuoteAdoValue("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(Dump(ParseAdoConnectionString("K=" + QuoteAdoValue("x;\"y'"))), "[K|x;\"y']");
    for (const char* value : {"=x", "=", " a", "b ", "{c}", "d}", "'e'", "\"", ""})
        EXPECT_EQ(Dump(ParseAdoConnectionString("K=" + QuoteAdoValue(value))), std::string("[K|") + value + "]") << value;
}

TEST(ConnectionString, TranslatesBridgeKeywords)
{
    ConnectRequest r = TranslateConnectionString(
        "Provider=MSDASQL.1;Persist Security Info=True;User ID=alice;Password=p;Data Source=Sales;"
        "Initial Catalog=crm;Prompt=4;Connect Timeout=7;Extended Properties=\"Port=5433;Fetch=10\"");
    EXPECT_EQ(r.provider, "MSDASQL.1");
    EXPECT_TRUE(r.persistSecurityInfo);
    EXPECT_EQ(r.userId, "alice");
    EXPECT_EQ(r.password, "p");
    EXPECT_EQ(r.dataSource, "Sales");
    EXPECT_EQ(r.initialCatalog, "crm");
    EXPECT_EQ(r.prompt, 4);
    EXPECT_EQ(r.connectTimeout, 7);
    EXPECT_EQ(Dump(r.odbc), "[Port|5433][Fetch|10][DSN|Sales][UID|alice][PWD|p][DATABASE|crm]");
}

TEST(ConnectionString, OdbcAttributesWinOverBridgeKeywords)
{
    ConnectRequest r = TranslateConnectionString(
        "Extended Properties=\"DRIVER={SQLite3};Database=/tmp/x.db;UID=odbcuser\";Data Source=ignored;User ID=adouser");
    EXPECT_EQ(Dump(r.odbc), "[DRIVER|SQLite3][Database|/tmp/x.db][UID|odbcuser]")
        << "a DRIVER keeps Data Source from becoming a DSN, and UID stays as written";
    EXPECT_EQ(r.userId, "adouser");
    EXPECT_EQ(r.initialCatalog, "/tmp/x.db");
}

TEST(ConnectionString, PlainOdbcStringsPassThrough)
{
    ConnectRequest r = TranslateConnectionString("DSN=Sales;UID=bob;PWD={x;y};UID=carol");
    EXPECT_TRUE(r.provider.empty());
    EXPECT_EQ(Dump(r.odbc), "[DSN|Sales][UID|carol][PWD|x;y]") << "a repeated key keeps its last value";
    EXPECT_EQ(r.dataSource, "Sales");
    EXPECT_EQ(r.userId, "carol");
    EXPECT_EQ(r.password, "x;y");
}

TEST(ConnectionString, MalformedExtendedPropertiesSayWhere)
{
    try {
        TranslateConnectionString("Provider=MSDASQL;Extended Properties=\"DRIVER={x;\"");
        FAIL();
    } catch (const ConnectionStringError& e) {
        EXPECT_NE(std::string(e.what()).find("In Extended Properties"), std::string::npos) << e.what();
    }
    EXPECT_THROW(TranslateConnectionString("Prompt=sometimes"), ConnectionStringError);
}

TEST(ConnectionString, RecognisesTheBridgeProvider)
{
    for (const char* yes : {"MSDASQL", "msdasql", "MSDASQL.1", " MSDASQL.2 "})
        EXPECT_TRUE(IsBridgeProvider(yes)) << yes;
    for (const char* no : {"", "SQLOLEDB", "MSDASQLX", "MSDASQL.", "MSDASQL.a", "Microsoft.Jet.OLEDB.4.0"})
        EXPECT_FALSE(IsBridgeProvider(no)) << no;
}
