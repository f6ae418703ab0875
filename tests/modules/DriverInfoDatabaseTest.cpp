// The driver information pages on SQLite and PostgreSQL: each page's model against what the
// driver answers when asked directly (as the same ODBC 2 application), the whole report, the
// cursor library's visible effect, and the driver manager's errors for a connection that fails.
#include "modules/driverinfo/DriverInfoReport.h"
#include "modules/driverinfo/OdbcSession.h"
#include "querycore/ReportFile.h"

#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

#include <fstream>
#include <iterator>
#include <map>

namespace {

using namespace ferrow;
using namespace torvane::test;

// A connection of its own, made the way the plugin makes one, asked one thing at a time.
class Direct {
public:
    explicit Direct(const std::string& connect, bool cursorLibrary = false)
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC2), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
        if (cursorLibrary)
            SQLSetConnectAttr(m_dbc, SQL_ATTR_ODBC_CURSORS, reinterpret_cast<SQLPOINTER>(SQL_CUR_USE_ODBC), 0);
        const SQLRETURN rc = SQLDriverConnectA(m_dbc, nullptr, (SQLCHAR*)connect.c_str(), SQL_NTS, nullptr, 0, nullptr,
                                               SQL_DRIVER_NOPROMPT);
        EXPECT_TRUE(SQL_SUCCEEDED(rc)) << connect;
    }
    ~Direct()
    {
        SQLDisconnect(m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
    }
    std::optional<uint16_t> Word(uint16_t type)
    {
        SQLUSMALLINT v = 0;
        return SQL_SUCCEEDED(SQLGetInfoA(m_dbc, type, &v, sizeof v, nullptr)) ? std::optional<uint16_t>(v) : std::nullopt;
    }
    std::optional<uint32_t> Dword(uint16_t type)
    {
        SQLUINTEGER v = 0;
        return SQL_SUCCEEDED(SQLGetInfoA(m_dbc, type, &v, sizeof v, nullptr)) ? std::optional<uint32_t>(v) : std::nullopt;
    }
    uint32_t Mask(uint16_t type) { return Dword(type).value_or(0); }
    std::optional<std::string> Text(uint16_t type, size_t size = 200)
    {
        std::string buffer(size, '\0');
        if (!SQL_SUCCEEDED(SQLGetInfoA(m_dbc, type, buffer.data(), static_cast<SQLSMALLINT>(size), nullptr)))
            return std::nullopt;
        return std::string(buffer.c_str());
    }
    FunctionFlags Functions()
    {
        FunctionFlags flags{};
        SQLGetFunctions(m_dbc, SQL_API_ALL_FUNCTIONS, flags.data());
        return flags;
    }
    // TYPE_NAME and DATA_TYPE of every SQLGetTypeInfo row.
    std::vector<std::pair<std::string, int>> Types()
    {
        std::vector<std::pair<std::string, int>> types;
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &stmt);
        if (SQL_SUCCEEDED(SQLGetTypeInfoA(stmt, SQL_ALL_TYPES))) {
            while (SQL_SUCCEEDED(SQLFetch(stmt))) {
                char name[256] = "";
                SQLINTEGER type = 0;
                SQLLEN len = 0;
                SQLGetData(stmt, 1, SQL_C_CHAR, name, sizeof name, &len);
                SQLGetData(stmt, 2, SQL_C_SLONG, &type, 0, &len);
                types.emplace_back(name, type);
            }
        }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return types;
    }

private:
    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
};

// What a page shows for a coded answer: the code's text, unchanged (empty on a new page) for
// other codes, "<not reported>" when refused.
std::string Coded(const std::optional<unsigned>& answer, const std::map<unsigned, std::string>& codes)
{
    if (!answer)
        return kNotReported;
    auto found = codes.find(*answer);
    return found == codes.end() ? "" : found->second;
}

std::string Letter(const std::optional<std::string>& answer, const std::map<std::string, std::string>& letters,
                   bool keepOthers)
{
    if (!answer)
        return kNotReported;
    auto found = letters.find(*answer);
    return found != letters.end() ? found->second : keepOthers ? *answer : "";
}

std::string Number(const std::optional<uint32_t>& answer, const char* zero = "<none>")
{
    return !answer ? kNotReported : *answer == 0 ? zero : std::to_string(*answer);
}

const std::map<std::string, std::string> kYesNo = {{"Y", "Yes"}, {"N", "No"}};
const std::map<std::string, std::string> kSupported = {{"Y", "Supported"}, {"N", "Not Supported"}};

class DriverInfoDatabaseTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ASSERT_TRUE(m_session.Open(ConnectionString(), PromptMode::Never, false));
        m_direct = std::make_unique<Direct>(ConnectionString());
    }

    OdbcSession m_session;
    std::unique_ptr<Direct> m_direct;
};

TEST_P(DriverInfoDatabaseTest, DriverInformationPageShowsTheDriversAnswers)
{
    DriverInfoModel page;
    page.FetchInfo(m_session);
    Direct& d = *m_direct;
    using F = DriverInfoModel;
    for (F::Field f : {F::DataSourceName, F::DatabaseName, F::UserName, F::ServerName, F::DbmsName, F::DbmsVersion,
                       F::DriverName, F::DriverVersion, F::DriverOdbcVersion, F::OdbcVersion})
        EXPECT_EQ(page.texts[f], d.Text(F::Fields()[f].infoType).value_or(kNotReported)) << F::Fields()[f].label;
    const std::pair<F::Field, std::string> coded[] = {
        {F::ApiConformance, Coded(d.Word(SQL_ODBC_API_CONFORMANCE), {{0, "Core"}, {1, "Level 1"}, {2, "Level 2"}})},
        {F::SqlConformance, Coded(d.Word(SQL_ODBC_SQL_CONFORMANCE), {{0, "Minimum"}, {1, "Core"}, {2, "Extended"}})},
        {F::SagConformance, Coded(d.Word(SQL_ODBC_SAG_CLI_CONFORMANCE), {{0, "No"}, {1, "Yes"}})},
        {F::OptionalIef, Letter(d.Text(SQL_ODBC_SQL_OPT_IEF), kSupported, true)},
        {F::ActiveConnections, Number(d.Word(SQL_ACTIVE_CONNECTIONS), "No Limit")},
        {F::ActiveStatements, Number(d.Word(SQL_ACTIVE_STATEMENTS), "No Limit")},
        {F::MultipleResultSets, Letter(d.Text(SQL_MULT_RESULT_SETS), kSupported, true)},
        {F::FileUsage, Coded(d.Word(SQL_FILE_USAGE),
                             {{0, "<n/a>, Driver not single-tier"}, {1, "Files are Tables"}, {2, "Files are Qualifiers"}})},
        {F::ReadWriteStatus, Letter(d.Text(SQL_DATA_SOURCE_READ_ONLY),
                                    {{"Y", "Data source is read-only"}, {"N", "Data source is read-write"}}, false)},
        {F::AccessibleProcedures, Letter(d.Text(SQL_ACCESSIBLE_PROCEDURES), kYesNo, true)},
        {F::AccessibleTables, Letter(d.Text(SQL_ACCESSIBLE_TABLES), kYesNo, true)},
    };
    for (const auto& [field, want] : coded)
        EXPECT_EQ(page.texts[field], want) << F::Fields()[field].label;
    EXPECT_EQ(page.texts[F::DbmsName], IsPostgres() ? "PostgreSQL" : "SQLite");
    EXPECT_NE(page.texts[F::DriverName].find(IsPostgres() ? "psqlodbc" : "sqlite3odbc"), std::string::npos);
}

TEST_P(DriverInfoDatabaseTest, FunctionsPageShowsTheDriversFunctions)
{
    FunctionsModel page;
    page.FetchInfo(m_session);
    const FunctionFlags flags = m_direct->Functions();
    ASSERT_EQ(page.apiFunctions.size(), 56u);
    for (size_t i = 0; i < page.apiFunctions.size(); ++i)
        EXPECT_EQ(page.apiFunctions[i].supported, flags[FunctionsModel::ApiFunctions()[i].id] != 0)
            << page.apiFunctions[i].name;
    size_t i = 0;
    for (const auto& family : FunctionsModel::ScalarFamilies()) {
        const uint32_t mask = m_direct->Mask(family.infoType);
        for (const auto& f : family.functions) {
            EXPECT_EQ(page.sqlFunctions[i].name, f.name);
            EXPECT_EQ(page.sqlFunctions[i].supported, (mask & f.bit) != 0) << f.name;
            ++i;
        }
    }
    EXPECT_EQ(i, 64u);
    EXPECT_TRUE(page.apiFunctions[23 + (47 - 40)].supported) << "SQLGetTypeInfo";
}

TEST_P(DriverInfoDatabaseTest, SupportedSqlPageShowsTheDriversGrammar)
{
    SupportedSqlModel page;
    page.FetchInfo(m_session);
    Direct& d = *m_direct;
    const uint32_t subqueries = d.Mask(SQL_SUBQUERIES);
    const std::pair<bool, bool> flags[] = {
        {page.alterAdd, (d.Mask(SQL_ALTER_TABLE) & SQL_AT_ADD_COLUMN) != 0},
        {page.alterDrop, (d.Mask(SQL_ALTER_TABLE) & SQL_AT_DROP_COLUMN) != 0},
        {page.positionedDelete, (d.Mask(SQL_POSITIONED_STATEMENTS) & SQL_PS_POSITIONED_DELETE) != 0},
        {page.positionedUpdate, (d.Mask(SQL_POSITIONED_STATEMENTS) & SQL_PS_POSITIONED_UPDATE) != 0},
        {page.selectForUpdate, (d.Mask(SQL_POSITIONED_STATEMENTS) & SQL_PS_SELECT_FOR_UPDATE) != 0},
        {page.subqueryComparison, (subqueries & SQL_SQ_COMPARISON) != 0},
        {page.subqueryExists, (subqueries & SQL_SQ_EXISTS) != 0},
        {page.subqueryIn, (subqueries & SQL_SQ_IN) != 0},
        {page.subqueryQuantified, (subqueries & SQL_SQ_QUANTIFIED) != 0},
        {page.subqueryCorrelated, (subqueries & SQL_SQ_CORRELATED_SUBQUERIES) != 0},
        {page.unionPlain, (d.Mask(SQL_UNION) & SQL_U_UNION) != 0},
        {page.unionAll, (d.Mask(SQL_UNION) & SQL_U_UNION_ALL) != 0},
    };
    for (size_t i = 0; i < std::size(flags); ++i)
        EXPECT_EQ(flags[i].first, flags[i].second) << "flag " << i;
    const std::pair<std::string, std::string> texts[] = {
        {page.columnAliases, Letter(d.Text(SQL_COLUMN_ALIAS), kSupported, true)},
        {page.correlationNames,
         Coded(d.Word(SQL_CORRELATION_NAME),
               {{0, "Not Supported"}, {1, "Supported, table names must be different"}, {2, "Supported"}})},
        {page.orderByExpressions, Letter(d.Text(SQL_EXPRESSIONS_IN_ORDERBY), kSupported, true)},
        {page.groupBy, Coded(d.Word(SQL_GROUP_BY), {{0, "GROUP BY Not Supported"}, {1, "GROUP BY Equals SELECT"},
                                                    {2, "GROUP BY Contains SELECT"}, {3, "No Relation"}})},
        {page.likeEscape, Letter(d.Text(SQL_LIKE_ESCAPE_CLAUSE), kSupported, true)},
        {page.orderByInSelect, Letter(d.Text(SQL_ORDER_BY_COLUMNS_IN_SELECT), kYesNo, true)},
        {page.outerJoins,
         Letter(d.Text(SQL_OUTER_JOINS), {{"N", "No"}, {"Y", "Yes"}, {"P", "Partial"}, {"F", "Full"}}, false)},
    };
    for (size_t i = 0; i < std::size(texts); ++i)
        EXPECT_EQ(texts[i].first, texts[i].second) << "text " << i;
}

TEST_P(DriverInfoDatabaseTest, DataTypesPageListsTheDriversTypesAsOdbc2NamesThem)
{
    DataTypesModel page;
    page.FetchInfo(m_session);
    const auto types = m_direct->Types();
    ASSERT_FALSE(types.empty());
    ASSERT_EQ(page.types.size(), types.size());
    for (size_t i = 0; i < types.size(); ++i) {
        EXPECT_EQ(page.types[i].typeName, types[i].first);
        EXPECT_EQ(page.types[i].dataType, types[i].second) << types[i].first;
    }
    // An ODBC 2 application sees the date type as SQL_DATE (9), not as the ODBC 3 type 91.
    const std::string date = "date";
    auto details = page.Details(m_session, date);
    ASSERT_TRUE(details);
    EXPECT_EQ(details->sqlType, "SQL_DATE");
    const auto integer = page.Details(m_session, IsPostgres() ? "int4" : "integer");
    ASSERT_TRUE(integer);
    EXPECT_EQ(integer->sqlType, "SQL_INTEGER");
    EXPECT_EQ(integer->conversions, DataTypesModel::ConversionNames(m_direct->Mask(SQL_CONVERT_INTEGER)));
}

TEST_P(DriverInfoDatabaseTest, IdentifiersPageShowsTheDriversNamingRules)
{
    IdentifiersModel page;
    page.FetchInfo(m_session);
    Direct& d = *m_direct;
    const std::map<unsigned, std::string> cases = {{1, "Upper"}, {2, "Lower"}, {3, "Sensitive"}, {4, "Mixed"}};
    const std::pair<std::string, std::string> texts[] = {
        {page.identifierCase, Coded(d.Word(SQL_IDENTIFIER_CASE), cases)},
        {page.quoteChar, d.Text(SQL_IDENTIFIER_QUOTE_CHAR).value_or(kNotReported)},
        {page.ownerTerm, d.Text(SQL_OWNER_TERM).value_or(kNotReported)},
        {page.procedureTerm, d.Text(SQL_PROCEDURE_TERM).value_or(kNotReported)},
        {page.qualifierLocation, Coded(d.Word(SQL_QUALIFIER_LOCATION), {{1, "Start"}, {2, "End"}})},
        {page.qualifierSeparator, d.Text(SQL_QUALIFIER_NAME_SEPARATOR).value_or(kNotReported)},
        {page.qualifierTerm, d.Text(SQL_QUALIFIER_TERM).value_or(kNotReported)},
        {page.quotedIdentifierCase, Coded(d.Word(SQL_QUOTED_IDENTIFIER_CASE), cases)},
        {page.searchPatternEscape, d.Text(SQL_SEARCH_PATTERN_ESCAPE).value_or(kNotReported)},
        {page.specialCharacters, d.Text(SQL_SPECIAL_CHARACTERS).value_or(kNotReported)},
        {page.tableTerm, d.Text(SQL_TABLE_TERM).value_or(kNotReported)},
    };
    for (size_t i = 0; i < std::size(texts); ++i)
        EXPECT_EQ(texts[i].first, texts[i].second) << "text " << i;
    EXPECT_EQ(page.driverKeywords, IdentifiersModel::SortedKeywords(IdentifiersModel::SplitKeywords(
                                       d.Text(SQL_KEYWORDS, kKeywordsBuffer).value_or(""))));
    EXPECT_EQ(page.quoteChar, "\"");
    if (IsSqlite()) {
        EXPECT_TRUE(std::count(page.driverKeywords.begin(), page.driverKeywords.end(), "SELECT"));
    }
}

TEST_P(DriverInfoDatabaseTest, LimitsPageShowsTheDriversLimits)
{
    LimitsModel page;
    page.FetchInfo(m_session);
    for (size_t i = 0; i < LimitsModel::kLimitCount; ++i) {
        const auto& spec = LimitsModel::Limits()[i];
        const std::string want =
            spec.kind == LimitsModel::Dword  ? Number(m_direct->Dword(spec.infoType))
            : spec.kind == LimitsModel::Word ? Number(m_direct->Word(spec.infoType))
                                             : Letter(m_direct->Text(spec.infoType), kYesNo, true);
        EXPECT_EQ(page.texts[i], want) << spec.label;
    }
    const uint32_t functions = m_direct->Mask(SQL_TIMEDATE_FUNCTIONS);
    EXPECT_EQ(page.addIntervals.has_value(), (functions & SQL_FN_TD_TIMESTAMPADD) != 0);
    EXPECT_EQ(page.diffIntervals.has_value(), (functions & SQL_FN_TD_TIMESTAMPDIFF) != 0);
}

TEST_P(DriverInfoDatabaseTest, MiscPagesShowTheDriversBehaviour)
{
    Misc1Model misc1;
    Misc2Model misc2;
    misc1.FetchInfo(m_session);
    misc2.FetchInfo(m_session);
    Direct& d = *m_direct;
    const std::map<unsigned, std::string> cursor = {
        {0, "Close Cursors, Delete Statements"}, {1, "Close Cursors"}, {2, "Preserve Cursors"}};
    const auto capable = d.Word(SQL_TXN_CAPABLE);
    ASSERT_TRUE(capable);
    EXPECT_EQ(misc1.commitBehavior, *capable ? Coded(d.Word(SQL_CURSOR_COMMIT_BEHAVIOR), cursor) : "<n/a>");
    EXPECT_EQ(misc1.isolation, *capable ? d.Mask(SQL_TXN_ISOLATION_OPTION) : 0u);
    EXPECT_EQ(misc1.bookmarks, d.Mask(SQL_BOOKMARK_PERSISTENCE));
    EXPECT_EQ(misc1.lockTypes, d.Mask(SQL_LOCK_TYPES));
    EXPECT_EQ(misc1.staticSensitivity, d.Mask(SQL_STATIC_SENSITIVITY));
    for (size_t g = 0; g < Misc2Model::Groups().size(); ++g)
        EXPECT_EQ(misc2.masks[g], d.Mask(Misc2Model::Groups()[g].infoType)) << Misc2Model::Groups()[g].title;
    EXPECT_EQ(misc2.nullCollation, Coded(d.Word(SQL_NULL_COLLATION), {{0, "High"}, {1, "Low"}, {2, "Start"}, {4, "End"}}));
    EXPECT_EQ(misc2.rowUpdates, Letter(d.Text(SQL_ROW_UPDATES), kYesNo, true));
    EXPECT_EQ(misc2.procedures, Letter(d.Text(SQL_PROCEDURES), kSupported, true));
}

TEST_P(DriverInfoDatabaseTest, ReportHoldsEverySectionInPageOrder)
{
    DriverInfoPages pages;
    pages.FetchInfo(m_session);
    const std::string text = FormatDriverInfoReport(pages, m_session, false);
    EXPECT_EQ(text.rfind("Cursor Library is Not Loaded\n\nDriver Info\n-----------\n", 0), 0u);
    size_t at = 0;
    for (const char* header : {"\nDriver Info\n", "\nODBC API Functions\n", "\nSupported SQL\n", "\nData Types\n",
                               "\nIdentifiers\n", "\nLimits\n", "\nMiscellaneous\n", "\n          Qualifier Usage - "}) {
        const size_t found = text.find(header, at);
        ASSERT_NE(found, std::string::npos) << header;
        EXPECT_GT(found, at) << header;
        at = found + 1;
    }
    EXPECT_EQ(text.back(), '\n');

    const std::string path = NewTempPath(".txt");
    WriteDriverInfoReport(wxString::FromUTF8(path), text);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes, ToCrLf(text));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\r'));
}

TEST_P(DriverInfoDatabaseTest, CursorLibraryAnswersForTheDriver)
{
    OdbcSession withLibrary;
    ASSERT_TRUE(withLibrary.Open(ConnectionString(), PromptMode::Never, true));
    DriverInfoPages with, without;
    with.FetchInfo(withLibrary);
    without.FetchInfo(m_session);
    const std::string report = FormatDriverInfoReport(with, withLibrary, true);
    EXPECT_EQ(report.rfind("Cursor Library is Loaded\n\n", 0), 0u);
    EXPECT_NE(report.find("           Scroll Options - Forward Only,Static\n"), std::string::npos);
    EXPECT_NE(report.find("          Fetch Direction - Absolute,Bookmark,First,Last,Next,Prior,Relative\n"),
              std::string::npos);
    EXPECT_NE(report.find("    Positioned Operations - Position\n"), std::string::npos);
    EXPECT_NE(report.find("       Scroll Concurrency - Opt/Values,Read Only\n"), std::string::npos);
    EXPECT_NE(report.find("       Static Sensitivity - Updates\n"), std::string::npos);
    // The driver alone answers otherwise.
    const std::string plain = FormatDriverInfoReport(without, m_session, false);
    EXPECT_NE(plain.substr(plain.find("\nMiscellaneous\n")), report.substr(report.find("\nMiscellaneous\n")));
}

TEST(DriverInfoConnectionTest, FailedConnectionsGiveTheDriverManagersText)
{
    struct Case {
        std::string connect;
        PromptMode prompt;
        std::string text;
    } cases[] = {
        {"DSN=NoSuchTorvaneSource", PromptMode::Never, "Data source name not found"},
        {"driver={NoSuchTorvaneDriver};server=x", PromptMode::Complete, "Can't open lib"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PromptModeFor(c.connect), c.prompt) << c.connect;
        OdbcSession session;
        try {
            session.Open(c.connect, c.prompt, false);
            ADD_FAILURE() << "connected: " << c.connect;
        } catch (const DriverError& e) {
            EXPECT_NE(e.Description().find(c.text), std::string::npos) << e.Description();
            EXPECT_NE(e.StateText().find("State:"), std::string::npos) << e.StateText();
            EXPECT_EQ(e.ErrorText().find('['), std::string::npos) << "the origin goes to the state text";
        }
        EXPECT_FALSE(session.IsConnected());
    }
    EXPECT_EQ(PromptModeFor("DSN=x;UID=u"), PromptMode::Never);
    EXPECT_EQ(PromptModeFor("DrIvEr=x"), PromptMode::Complete);
}

TORVANE_INSTANTIATE_FOR_DRIVERS(DriverInfoDatabaseTest);

} // namespace
