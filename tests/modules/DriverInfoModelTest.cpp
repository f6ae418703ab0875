// The driver information pages without a driver: value rules, every report section's exact
// text, the type details, wrapping, and the default report name, over a scripted InfoSource.
#include "modules/driverinfo/DriverInfoReport.h"
#include "querycore/DriverInfoConnectString.h"
#include "querycore/ReportFile.h"

#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

#include <map>
#include <set>
#include <sstream>

namespace {

using namespace ferrow;

// Answers as scripted; an unscripted number is 0 and an unscripted string empty, as a driver's
// zeroed buffer would be.
class FakeSource final : public InfoSource {
public:
    bool connected = true;
    std::map<uint16_t, uint32_t> numbers;
    std::map<uint16_t, std::string> strings;
    std::set<uint16_t> refused;
    FunctionFlags functions{};
    std::vector<TypeInfoRow> types;
    int calls = 0;

    bool IsConnected() const override { return connected; }
    std::optional<uint16_t> GetInfoWord(uint16_t t) override
    {
        ++calls;
        if (refused.count(t))
            return std::nullopt;
        return static_cast<uint16_t>(numbers[t]);
    }
    std::optional<uint32_t> GetInfoDword(uint16_t t) override
    {
        ++calls;
        if (refused.count(t))
            return std::nullopt;
        return numbers[t];
    }
    std::optional<std::string> GetInfoString(uint16_t t, size_t) override
    {
        ++calls;
        if (refused.count(t))
            return std::nullopt;
        return strings[t];
    }
    FunctionFlags GetFunctions() override
    {
        ++calls;
        return functions;
    }
    bool HasFunction(uint16_t id) override { return functions[id] != 0; }
    std::vector<TypeInfoRow> GetTypeInfo() override
    {
        ++calls;
        if (!functions[SQL_API_SQLGETTYPEINFO])
            throw DriverError("Driver is not capable of performing requested operation.", "");
        return types;
    }
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(DriverInfoValueTest, AnswersBecomeTextsByTheSharedRules)
{
    FakeSource s;
    s.strings = {{SQL_ACCESSIBLE_TABLES, "Y"}, {SQL_ACCESSIBLE_PROCEDURES, "N"}, {SQL_MULT_RESULT_SETS, "y"}};
    s.numbers = {{SQL_MAX_COLUMN_NAME_LEN, 65535}, {SQL_MAX_ROW_SIZE, 3000000000u}};
    s.refused = {SQL_MAX_INDEX_SIZE, SQL_ACTIVE_CONNECTIONS};
    struct Case {
        std::string got, want;
    } cases[] = {
        {GetInfoYesNo(s, SQL_ACCESSIBLE_TABLES), "Yes"},
        {GetInfoYesNo(s, SQL_ACCESSIBLE_PROCEDURES), "No"},
        {GetInfoSupported(s, SQL_ACCESSIBLE_TABLES), "Supported"},
        {GetInfoSupported(s, SQL_ACCESSIBLE_PROCEDURES), "Not Supported"},
        {GetInfoYesNo(s, SQL_MULT_RESULT_SETS), "y"},
        {FormatInfoWord(s, SQL_MAX_COLUMN_NAME_LEN), "65535"},
        {FormatInfoWord(s, SQL_MAX_CURSOR_NAME_LEN), "<none>"},
        {FormatInfoDword(s, SQL_MAX_ROW_SIZE), "3000000000"},
        {FormatInfoDword(s, SQL_MAX_STATEMENT_LEN), "<none>"},
        // A refused request is no fact: neither "<none>" nor "No Limit".
        {FormatInfoDword(s, SQL_MAX_INDEX_SIZE), "<not reported>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want);
    DriverInfoModel page;
    page.FetchInfo(s);
    EXPECT_EQ(page.texts[DriverInfoModel::ActiveConnections], "<not reported>");
    EXPECT_EQ(page.texts[DriverInfoModel::ActiveStatements], "No Limit");
}

TEST(DriverInfoValueTest, WithoutAConnectionNothingIsAskedOrReported)
{
    FakeSource s;
    s.connected = false;
    DriverInfoPages pages;
    pages.FetchInfo(s);
    EXPECT_EQ(FormatDriverInfoReport(pages, s, false), "Cursor Library is Not Loaded\n\n");
    EXPECT_EQ(s.calls, 0);
    EXPECT_EQ(pages.driverInfo.texts[DriverInfoModel::DbmsName], "");
    ASSERT_EQ(pages.functions.apiFunctions.size(), 56u);
    ASSERT_EQ(pages.functions.sqlFunctions.size(), 64u);
    for (const auto& f : pages.functions.apiFunctions)
        EXPECT_FALSE(f.supported) << f.name;
    for (const auto& f : pages.functions.sqlFunctions)
        EXPECT_FALSE(f.supported) << f.name;
    EXPECT_FALSE(pages.limits.addIntervals);
}

TEST(DriverInfoPageTest, SectionHasEveryLineInOrder)
{
    FakeSource s;
    s.strings = {{SQL_DATA_SOURCE_NAME, "Sales"}, {SQL_DBMS_NAME, "PostgreSQL"},  {SQL_DRIVER_NAME, "psqlodbcw.so"},
                 {SQL_DRIVER_VER, "16.00"},       {SQL_DATA_SOURCE_READ_ONLY, "N"}, {SQL_ODBC_SQL_OPT_IEF, "N"},
                 {SQL_ACCESSIBLE_TABLES, "Y"},    {SQL_MULT_RESULT_SETS, "Y"}};
    s.numbers = {{SQL_ODBC_API_CONFORMANCE, 3}, {SQL_ODBC_SQL_CONFORMANCE, 1}, {SQL_ACTIVE_CONNECTIONS, 65535},
                 {SQL_FILE_USAGE, 0}};
    DriverInfoModel page;
    page.FetchInfo(s);
    std::string out;
    page.WriteReport(s, out);
    EXPECT_EQ(out, "Driver Info\n-----------\n"
                   "     Data Source Name - Sales\n"
                   "        Database Name - \n"
                   "            User Name - \n"
                   "          Server Name - \n"
                   "                 DBMS - PostgreSQL version \n"
                   "               Driver - psqlodbcw.so version 16.00\n"
                   "     Driver ODBC Ver. - \n"
                   "         ODBC Version - \n"
                   "      API Conformance - \n"
                   "      SQL Conformance - Core\n"
                   "  SAG CLI Conformance - No\n"
                   "     Optional SQL IEF - Not Supported\n"
                   "   Active Connections - 65535\n"
                   "    Active Statements - No Limit\n"
                   " Multiple Result Sets - Supported\n"
                   "           File Usage - <n/a>, Driver not single-tier\n"
                   "    Read/Write Status - Data source is read-write\n"
                   "Accessible Procedures - \n"
                   "    Accessible Tables - Yes\n\n");
}

TEST(FunctionsPageTest, ReportAlignsNamesAndFollowsTheDriver)
{
    FakeSource s;
    s.functions[SQL_API_SQLGETTYPEINFO] = 1;
    s.functions[30] = 1; // ids 24 to 39 are no function of the list
    s.numbers = {{SQL_CONVERT_FUNCTIONS, SQL_FN_CVT_CONVERT}, {SQL_STRING_FUNCTIONS, SQL_FN_STR_LENGTH}};
    FunctionsModel page;
    page.FetchInfo(s);
    std::string out;
    page.WriteReport(s, out);
    const auto lines = Lines(out);
    EXPECT_EQ(lines[0], "ODBC API Functions");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find(" - ") != std::string::npos; }),
              56 + 64);
    EXPECT_NE(out.find("\n       SQLGetTypeInfo - Supported\n"), std::string::npos);
    EXPECT_NE(out.find("\n  SQLColumnPrivileges - Not Supported\n"), std::string::npos);
    EXPECT_NE(out.find("SQL Conversion Functions\n------------------------\n            Convert() - Supported\n"),
              std::string::npos);
    EXPECT_NE(out.find("\n             Lenght() - Supported\n"), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 2), "\n\n");
    EXPECT_TRUE(page.apiFunctions[23 + (47 - 40)].supported); // SQLGetTypeInfo, id 47
    EXPECT_EQ(page.sqlFunctions[0].category, "Conversion");
    EXPECT_EQ(page.sqlFunctions[63].name, "Year()");
}

TEST(SupportedSqlPageTest, FlagLinesPlaceTheirSpacesAsWritten)
{
    struct Case {
        uint32_t alter, positioned, subqueries, unions;
        std::vector<std::string> want; // the four list lines
    } cases[] = {
        {SQL_AT_DROP_COLUMN, 0, 0, 0,
         {"  ALTER TABLE Support -DROP", "Positioned Statements - <none>", "     Subquery Support -<none>",
          "        UNION Support -<none>"}},
        {SQL_AT_ADD_COLUMN | SQL_AT_DROP_COLUMN, SQL_PS_POSITIONED_UPDATE | SQL_PS_SELECT_FOR_UPDATE, 0x1f,
         SQL_U_UNION | SQL_U_UNION_ALL,
         {"  ALTER TABLE Support - ADD,DROP", "Positioned Statements -Update,Select for Update",
          "     Subquery Support - Correlated,Comparison,EXISTS,IN,Quantified", "        UNION Support - UNION,UNION with ALL"}},
        {0, SQL_PS_POSITIONED_DELETE, SQL_SQ_IN, SQL_U_UNION_ALL,
         {"  ALTER TABLE Support - <none>", "Positioned Statements - Delete", "     Subquery Support -IN",
          "        UNION Support -UNION with ALL"}},
    };
    for (const Case& c : cases) {
        FakeSource s;
        s.numbers = {{SQL_ALTER_TABLE, c.alter}, {SQL_POSITIONED_STATEMENTS, c.positioned}, {SQL_SUBQUERIES, c.subqueries},
                     {SQL_UNION, c.unions}, {SQL_GROUP_BY, 7}};
        s.strings = {{SQL_OUTER_JOINS, "p"}};
        SupportedSqlModel page;
        page.FetchInfo(s);
        EXPECT_EQ(page.outerJoins, "") << "a lower-case letter is no code";
        EXPECT_EQ(page.groupBy, "");
        std::string out;
        page.WriteReport(s, out);
        const auto lines = Lines(out);
        ASSERT_EQ(lines.size(), 14u);
        EXPECT_EQ(lines[2], c.want[0]);
        EXPECT_EQ(lines[10], c.want[1]);
        EXPECT_EQ(lines[11], c.want[2]);
        EXPECT_EQ(lines[12], c.want[3]);
        EXPECT_EQ(lines[13], "");
    }
}

TypeInfoRow Type(std::string name, int dataType)
{
    TypeInfoRow r;
    r.typeName = std::move(name);
    r.dataType = dataType;
    return r;
}

TEST(DataTypesPageTest, DetailsOfATypeFollowItsRowAndDefineEveryText)
{
    FakeSource s;
    s.functions[SQL_API_SQLGETTYPEINFO] = 1;
    s.numbers = {{SQL_CONVERT_INTEGER, SQL_CVT_CHAR | SQL_CVT_BIGINT | SQL_CVT_VARCHAR}};
    TypeInfoRow integer = Type("int4", SQL_INTEGER);
    integer.precision = 10;
    integer.nullable = 1;
    integer.caseSensitive = 0;
    integer.searchable = 2;
    integer.unsignedAttribute = 0;
    integer.money = 0;
    integer.autoIncrement = std::nullopt;
    integer.minimumScale = 0;
    TypeInfoRow text = Type("text", SQL_LONGVARCHAR);
    text.literalPrefix = "'";
    text.literalSuffix = "'";
    text.createParams = "max length";
    text.nullable = 7;
    text.searchable = 9;
    TypeInfoRow stamp = Type("timestamptz", 93);
    TypeInfoRow second = Type("int4", SQL_SMALLINT);
    s.types = {integer, text, stamp, second};
    DataTypesModel page;
    page.FetchInfo(s);

    auto i = page.Details(s, "int4");
    ASSERT_TRUE(i);
    EXPECT_EQ(i->sqlType, "SQL_INTEGER") << "the first row of a name";
    EXPECT_EQ(i->precision, "10");
    EXPECT_EQ(i->literals, "<n/a>,<n/a>");
    EXPECT_EQ(i->createParams, "<none>");
    EXPECT_EQ(i->nullable, "Yes");
    EXPECT_EQ(i->caseSensitive, "No");
    EXPECT_EQ(i->searchable, "with all except LIKE");
    EXPECT_EQ(i->unsignedText, "No");
    EXPECT_EQ(i->autoIncrement, "<n/a>");
    EXPECT_EQ(i->minimumScale, "0");
    EXPECT_EQ(i->maximumScale, "<n/a>");
    EXPECT_EQ(i->conversions, (std::vector<std::string>{"SQL_BIGINT", "SQL_CHAR", "SQL_VARCHAR"}));

    auto t = page.Details(s, "text");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->literals, "','");
    EXPECT_EQ(t->createParams, "max length");
    // Codes no list knows show as themselves, never as the previous type's text.
    EXPECT_EQ(t->nullable, "7");
    EXPECT_EQ(t->searchable, "9");
    EXPECT_EQ(t->conversions, std::vector<std::string>{"<none>"});

    auto d = page.Details(s, "timestamptz");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->sqlType, "<new or driver-specific>");
    EXPECT_EQ(d->nullable, "Unknown") << "NULL";
    EXPECT_EQ(d->conversions, std::vector<std::string>{"<none>"});
    EXPECT_FALSE(page.Details(s, "INT4")) << "names match exactly";
}

TEST(DataTypesPageTest, ReportTablesKeepTheirColumnsAndWrapConversions)
{
    FakeSource s;
    s.functions[SQL_API_SQLGETTYPEINFO] = 1;
    s.numbers = {{SQL_CONVERT_CHAR, 0x7ffff}};
    TypeInfoRow chr = Type("char", SQL_CHAR);
    chr.precision = 255;
    chr.minimumScale = 0;
    chr.nullable = 1;
    chr.caseSensitive = 1;
    chr.money = 0;
    chr.searchable = 7;
    TypeInfoRow longName = Type(std::string(25, 'n'), 93);
    longName.searchable = 3;
    s.types = {chr, longName};
    DataTypesModel page;
    std::string out;
    page.WriteReport(s, out);
    const auto lines = Lines(out);
    EXPECT_EQ(lines[3], "Native type         SQL Type          Precision   Min Scale  Max Scale");
    EXPECT_EQ(lines[5], "char                SQL_CHAR          255         0          <n/a>      ");
    EXPECT_EQ(lines[6], std::string(25, 'n') + "<unknown type>    <n/a>       <n/a>      <n/a>      ");
    EXPECT_EQ(lines[10], "char                Yes       <n/a>     <n/a>     No     Yes");
    // A searchable code outside the list still ends its line.
    EXPECT_EQ(lines[15], "char                <n/a>,<n/a>         <none>           7");
    EXPECT_EQ(lines[16], std::string(25, 'n') + "<n/a>,<n/a>         <none>           Yes");
    // All 19 conversions: wrapped below 76 characters, continued 20 spaces in, no trailing comma.
    size_t at = 0;
    while (lines[at] != "Native type         Convert() Conversions")
        ++at;
    std::string joined;
    size_t i = at + 2;
    for (; !lines[i].empty(); ++i) {
        EXPECT_LT(lines[i].size(), 76u) << lines[i];
        EXPECT_NE(lines[i].back(), ',') << lines[i];
        if (i > at + 2) {
            EXPECT_EQ(lines[i].substr(0, 21), std::string(20, ' ') + "S") << lines[i];
        }
        joined += (i > at + 2 ? "," : "") + lines[i].substr(20);
    }
    EXPECT_GT(i - (at + 2), 1u);
    EXPECT_EQ(joined, "SQL_BIGINT,SQL_BINARY,SQL_BIT,SQL_CHAR,SQL_DATE,SQL_DECIMAL,SQL_DOUBLE,SQL_FLOAT,"
                      "SQL_INTEGER,SQL_LONGVARBINARY,SQL_LONGVARCHAR,SQL_NUMERIC,SQL_REAL,SQL_SMALLINT,SQL_TIME,"
                      "SQL_TIMESTAMP,SQL_TINYINT,SQL_VARBINARY,SQL_VARCHAR");
    EXPECT_EQ(lines[i + 1], std::string(25, 'n') + "<none>");
}

TEST(DataTypesPageTest, NoRowsGiveHeadersOnlyAndNoFunctionGivesTheDriversText)
{
    FakeSource s;
    s.functions[SQL_API_SQLGETTYPEINFO] = 1;
    DataTypesModel page;
    std::string out;
    page.WriteReport(s, out);
    EXPECT_EQ(out, "Data Types\n----------\n\n"
                   "Native type         SQL Type          Precision   Min Scale  Max Scale\n"
                   "-----------         --------          ---------   ---------  ---------\n\n"
                   "Native type         Nullable  Unsigned  Auto Inc  Money  Case Sensitive\n"
                   "-----------         --------  --------  --------  -----  --------------\n\n"
                   "Native type         Lit. Prefix,Suffix  Create Params    Searchable\n"
                   "-----------         ------------------  -------------    ----------\n\n"
                   "Native type         Convert() Conversions\n"
                   "-----------         ---------------------\n\n");
    s.functions[SQL_API_SQLGETTYPEINFO] = 0;
    try {
        page.FetchInfo(s);
        FAIL() << "no error";
    } catch (const DriverError& e) {
        EXPECT_EQ(e.Description(), "Driver is not capable of performing requested operation.");
    }
}

TEST(IdentifiersPageTest, KeywordsSplitSortAndWrap)
{
    const std::pair<std::string, std::vector<std::string>> splits[] = {
        {"", {}}, {"A", {"A"}}, {"A,B", {"A", "B"}}, {"A,", {"A"}}, {",A", {"", "A"}}, {"A,,B", {"A", "", "B"}}};
    for (const auto& [list, words] : splits)
        EXPECT_EQ(IdentifiersModel::SplitKeywords(list), words) << list;
    const auto& odbc = IdentifiersModel::OdbcKeywords();
    ASSERT_EQ(odbc.size(), 235u);
    EXPECT_EQ(odbc.front(), "ABSOLUTE");
    EXPECT_EQ(odbc.back(), "ZONE");
    EXPECT_TRUE(std::count(odbc.begin(), odbc.end(), "ROWSSCHEMA"));
    EXPECT_EQ(IdentifiersModel::SortedKeywords({"b", "A", "_x", "a"}), (std::vector<std::string>{"_x", "A", "a", "b"}))
        << "letter case ignored, then byte order";

    FakeSource s;
    std::string many;
    for (int i = 0; i < 40; ++i)
        many += (i ? "," : "") + std::string("KEYWORD") + std::to_string(i);
    s.strings = {{SQL_KEYWORDS, many}, {SQL_SPECIAL_CHARACTERS, std::string(150, '#') + "\xc3\xa9\xc3\xa9\xc3\xa9" + "1234567"}};
    s.numbers = {{SQL_QUALIFIER_LOCATION, 0}, {SQL_IDENTIFIER_CASE, 3}};
    IdentifiersModel page;
    page.FetchInfo(s);
    EXPECT_EQ(page.qualifierLocation, "");
    EXPECT_EQ(page.identifierCase, "Sensitive");
    EXPECT_EQ(page.driverKeywords.size(), 40u);
    std::string out;
    page.WriteReport(s, out);
    const auto lines = Lines(out);
    size_t i = 5;
    std::string joined;
    for (; !lines[i].empty(); ++i) {
        EXPECT_LT(lines[i].size(), 76u);
        joined += lines[i];
    }
    EXPECT_GT(i, 6u);
    // The comma is lost where a line wraps; each line starts with a word.
    EXPECT_EQ(std::count(joined.begin(), joined.end(), ','), 39 - static_cast<long>(i - 6));
    // 160 characters of special characters: 75, 75 and 10, cut between characters.
    const size_t special = std::find(lines.begin(), lines.end(), "Special Characters:") - lines.begin();
    EXPECT_EQ(lines[special + 2], std::string(75, '#'));
    EXPECT_EQ(lines[special + 3], std::string(75, '#'));
    EXPECT_EQ(lines[special + 4], "\xc3\xa9\xc3\xa9\xc3\xa9" "1234567");

    s.strings = {};
    page.specialCharacters.clear();
    out.clear();
    page.WriteReport(s, out);
    EXPECT_NE(out.find("Driver-Specific Keywords:\n-------------------------\n\n\n"), std::string::npos);
    EXPECT_NE(out.find("Special Characters:\n-------------------\n<none>\n\n\n"), std::string::npos);
}

TEST(LimitsPageTest, IntervalsFollowTheirFunctionBits)
{
    struct Case {
        uint32_t functions, addMask;
        std::string addLines, diffLines;
    } cases[] = {
        {0, 0x1ff, "Timestamp Add Intervals: <n/a>\n\n", "Timestamp Diff Intervals: <n/a>\n\n"},
        {SQL_FN_TD_TIMESTAMPADD, 0, "Timestamp Add Intervals:\n\n\n", "Timestamp Diff Intervals: <n/a>\n\n"},
        {SQL_FN_TD_TIMESTAMPADD | SQL_FN_TD_TIMESTAMPDIFF, 0x1ff,
         "Timestamp Add Intervals:\nSecond Fraction,Second,Minute,Hour,Day,Week,Month,Quarter,Year\n\n",
         "Timestamp Diff Intervals:\n\n\n"},
    };
    for (const Case& c : cases) {
        FakeSource s;
        s.numbers = {{SQL_TIMEDATE_FUNCTIONS, c.functions}, {SQL_TIMEDATE_ADD_INTERVALS, c.addMask},
                     {SQL_MAX_ROW_SIZE, 0}, {SQL_MAX_COLUMNS_IN_TABLE, 65535}};
        LimitsModel page;
        page.FetchInfo(s);
        EXPECT_EQ(page.addIntervals.has_value(), (c.functions & SQL_FN_TD_TIMESTAMPADD) != 0);
        std::string out;
        page.WriteReport(s, out);
        EXPECT_NE(out.find("\n             Max Row Size - <none>\n"), std::string::npos);
        EXPECT_NE(out.find("\n     Max Columns in Table - 65535\n"), std::string::npos);
        EXPECT_NE(out.find("     Max User Name Length - <none>\n\n" + c.addLines + c.diffLines + "\n"), std::string::npos)
            << out;
    }
}

TEST(MiscPagesTest, TransactionsAndFlagLines)
{
    FakeSource s;
    s.numbers = {{SQL_TXN_CAPABLE, 0},
                 {SQL_TXN_ISOLATION_OPTION, 0xf},
                 {SQL_LOCK_TYPES, SQL_LCK_NO_CHANGE},
                 {SQL_NULL_COLLATION, 3},
                 {SQL_FETCH_DIRECTION, 0xbf},
                 {SQL_OWNER_USAGE, SQL_OU_DML_STATEMENTS | SQL_OU_PRIVILEGE_DEFINITION}};
    Misc1Model misc1;
    Misc2Model misc2;
    misc1.FetchInfo(s);
    misc2.FetchInfo(s);
    EXPECT_EQ(misc1.transactionCapable, "None");
    EXPECT_EQ(misc1.commitBehavior, "<n/a>");
    EXPECT_EQ(misc1.isolation, 0u);
    EXPECT_EQ(misc2.nullCollation, "");
    std::string out;
    misc1.WriteReport(s, out);
    misc2.WriteReport(s, out);
    EXPECT_EQ(out, "Miscellaneous\n-------------\n\n"
                   " Transaction Capabilities - None\n"
                   "   Cursor Commit Behavior - <n/a>\n"
                   " Cursor Rollback Behavior - <n/a>\n"
                   "  Trans. Isolation Levels - <none>\n"
                   " Default Trans. Isolation - <n/a>\n"
                   "   Multiple Active Trans. - <n/a>\n"
                   "     Bookmark Persistance - <none>\n"
                   // Lock types are no transaction matter: read without transactions too.
                   "               Lock Types - No Change\n"
                   "       Static Sensitivity - <none>\n\n"
                   "    Need Long Data Length - \n"
                   "     Non-Nullable Columns - Not Supported\n"
                   "       Null Concatenation - Result is NULL\n"
                   "           Null Collation - \n"
                   "               Procedures - \n"
                   "              Row Updates - \n"
                   "          Fetch Direction - Absolute,Bookmark,First,Last,Next,Prior,Relative\n"
                   "      Get Data Extensions - <none>\n"
                   "    Positioned Operations - <none>\n"
                   "       Scroll Concurrency - <none>\n"
                   "           Scroll Options - <none>\n"
                   "              Owner Usage - DML Stmt,Priv Def\n"
                   "          Qualifier Usage - <none>\n");

    s.numbers[SQL_TXN_CAPABLE] = 2;
    s.numbers[SQL_TXN_ISOLATION_OPTION] = SQL_TXN_READ_COMMITTED | SQL_TXN_SERIALIZABLE;
    s.numbers[SQL_DEFAULT_TXN_ISOLATION] = SQL_TXN_READ_COMMITTED;
    misc1.FetchInfo(s);
    out.clear();
    misc1.WriteReport(s, out);
    EXPECT_NE(out.find("  Trans. Isolation Levels - Read Commit,Serializable\n"), std::string::npos);
    EXPECT_NE(out.find(" Default Trans. Isolation - Read Committed\n"), std::string::npos);
}

TEST(DriverInfoReportTest, DefaultNameIsTheDriverFilesBaseName)
{
    const std::pair<std::string, std::string> cases[] = {
        {"psqlodbcw.so", "psqlodbcw"}, {"libsqlite3odbc-0.9998.so", "libsqlite3odbc-0"}, {"NAME", "NAME"},
        {"", ""}, {"/usr/lib/x.so", "x"}, {"..\\..\\evil.dll", "evil"}, {"../../etc/passwd", "passwd"}};
    for (const auto& [driver, name] : cases)
        EXPECT_EQ(DefaultReportName(driver), name) << driver;
    EXPECT_EQ(ToCrLf("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(DropPartialUtf8("ab\xc3"), "ab");
    EXPECT_EQ(DropPartialUtf8("ab\xe2\x82"), "ab");
    EXPECT_EQ(DropPartialUtf8("ab\xe2\x82\xac"), "ab\xe2\x82\xac");
    EXPECT_EQ(DriverError("", "").Description(), "Errors occurred.");
    EXPECT_EQ(DriverError("", "State:01000\n").Description(), "State:01000\n");
    EXPECT_EQ(DriverError("text\n", "State:01000\n").Description(), "text\nState:01000\n");
}

TEST(DriverInfoConnectStringTest, TheWindowsConnectionGivesItsOdbcAttributes)
{
    struct Case {
        std::string connection, openedWith, want;
    } cases[] = {
        {"Provider=MSDASQL.1;Persist Security Info=False;Extended Properties=\"DSN=Sales;UID=u\"", "", "DSN=Sales;UID=u;"},
        // The password the connection does not give back comes from the string it was opened with.
        {"Provider=MSDASQL.1;Persist Security Info=False;Extended Properties=\"DRIVER={PostgreSQL Unicode};SERVER=h;UID=u\"",
         "Provider=MSDASQL;Driver={PostgreSQL Unicode};Server=h;Uid=u;Pwd=s3", "DRIVER={PostgreSQL Unicode};SERVER=h;UID=u;PWD=s3;"},
        {"Provider=MSDASQL.1;Extended Properties=\"FILEDSN=/tmp/a.dsn;UID=u\"", "", "FILEDSN=/tmp/a.dsn;UID=u;"},
        {"Provider=MSDASQL.1;Data Source=Sales;User ID=me", "", "DSN=Sales;UID=me;"},
        {"Provider=MSDASQL.1;Extended Properties=\"DSN=Sales;PWD=\"\"q\"\";\"", "", "DSN=Sales;PWD=\"q\";"},
        {"ODBC;DSN=Sales", "", "DSN=Sales"},
        {"ODBC;Server=x", "", "Server=x"},
        {"Server=x", "", "Server=x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeDriverInfoConnectString(c.connection, c.openedWith), c.want) << c.connection;
}

} // namespace
