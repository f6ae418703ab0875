#include "AdoTestHelpers.h"

#include <filesystem>
#include <fstream>
#include <set>

using namespace ado;
using namespace adotest;

class AdoConnection : public torvane::test::DatabaseTest {};

TEST_P(AdoConnection, OpensAsTheOdbcBridgeAndReportsItsProperties)
{
    auto cn = Connection::Create();
    EXPECT_EQ(cn->GetState(), adStateClosed);
    EXPECT_EQ(cn->GetVersion(), "2.8");
    cn->Open(ConnectionString());
    EXPECT_EQ(cn->GetState(), adStateOpen);
    EXPECT_EQ(cn->GetProvider(), "MSDASQL.1");

    auto props = cn->GetProperties();
    auto text = [&](const char* name) { return props->GetItem(name)->GetValue().ToString(); };
    EXPECT_EQ(text("Provider Name"), "MSDASQL.DLL");
    EXPECT_FALSE(text("Provider Friendly Name").empty());
    EXPECT_FALSE(text("Provider Version").empty());
    EXPECT_EQ(text("DBMS Name"), IsSqlite() ? "SQLite" : "PostgreSQL");
    EXPECT_FALSE(text("DBMS Version").empty());
    EXPECT_NE(text("Driver Name").find(IsSqlite() ? "sqlite" : "psqlodbc"), std::string::npos);
    EXPECT_FALSE(text("Driver Version").empty());
    EXPECT_EQ(props->GetItem("multiple results")->GetValue().ToLong(), 1) << "names are found in any letter case";
    EXPECT_NE(props->GetItem("Transaction DDL")->GetValue().ToLong(), 0);
    EXPECT_EQ(props->GetItem("Stored Procedures")->GetValue().ToBool(), IsPostgres());
    EXPECT_EQ(props->GetItem("Stored Procedures")->GetValue().vt, VT_BOOL);
    if (IsPostgres()) {
        EXPECT_EQ(text("Current Catalog"), torvane::test::PostgresDatabaseName());
        EXPECT_EQ(cn->GetDefaultDatabase(), torvane::test::PostgresDatabaseName());
        EXPECT_EQ(text("User Name"), "torvane");
        EXPECT_EQ(text("User ID"), "torvane");
        EXPECT_EQ(text("Server Name"), "127.0.0.1");
    }

    // Every property reads (a report lists them all), and none is there twice.
    std::set<std::string> names;
    for (long i = 0; i < props->GetCount(); ++i) {
        auto p = props->GetItem(i);
        EXPECT_TRUE(names.insert(p->GetName()).second) << p->GetName();
        EXPECT_NO_THROW(p->GetValue()) << p->GetName();
        EXPECT_NE(p->GetAttributes() & adPropRead, 0) << p->GetName();
    }
    EXPECT_EQ(ErrorOf([&] { props->GetItem("No Such Property"); }), AdoError(adErrItemNotFound));
    EXPECT_EQ(ErrorOf([&] { props->GetItem("DBMS Name")->PutValue(_variant_t("x")); }), AdoError(adErrIllegalOperation));

    cn->Close();
    EXPECT_EQ(cn->GetState(), adStateClosed);
    EXPECT_EQ(ErrorOf([&] { cn->Close(); }), AdoError(adErrObjectClosed));
    EXPECT_EQ(ErrorOf([&] { cn->Execute("select 1"); }), AdoError(adErrInvalidConnection));
    EXPECT_EQ(cn->GetErrors()->GetCount(), 1);
}

TEST_P(AdoConnection, ConnectionStringHasTheAdoFormAndOpensTheSameDatabase)
{
    auto cn = Connect(ConnectionString());
    std::string ado = cn->GetConnectionString();
    EXPECT_EQ(ado.rfind("Provider=MSDASQL.1;Persist Security Info=False;", 0), 0u) << ado;
    EXPECT_NE(ado.find("Extended Properties=\""), std::string::npos) << ado;
    EXPECT_EQ(ado.back(), '"');

    cn->Execute("create table shared_t (id integer)");
    cn->Execute("insert into shared_t values (42)");
    auto again = Connect(ado);
    EXPECT_EQ(Scalar(again, "select id from shared_t"), "42");
    EXPECT_EQ(ErrorOf([&] { again->Open(ado); }), AdoError(adErrObjectOpen));
    EXPECT_EQ(ErrorOf([&] { again->PutConnectionString("x"); }), AdoError(adErrObjectOpen));

    // The same string wrapped as the bridge writes it opens too, with and without ".1".
    for (const char* provider : {"MSDASQL", "msdasql.1"}) {
        std::string wrapped = std::string("Provider=") + provider + ";Extended Properties='" + ConnectionString() + "'";
        EXPECT_EQ(Scalar(Connect(wrapped), "select id from shared_t"), "42") << wrapped;
    }
}

TEST_P(AdoConnection, PasswordStaysOutOfTheStringUnlessAskedToPersist)
{
    // Both test servers accept any password; only where it shows matters here.
    std::string base = ConnectionString();
    auto hidden = Connect("Provider=MSDASQL;Persist Security Info=False;Extended Properties=\"" + base + "PWD=s3cret;\"");
    EXPECT_EQ(hidden->GetConnectionString().find("s3cret"), std::string::npos) << hidden->GetConnectionString();
    EXPECT_EQ(hidden->GetProperties()->GetItem("Password")->GetValue().ToString(), "");
    // Attributes whose values start with "=", hold ";" or braces, or whose keys hold "=": the
    // string read back still parses, so the password is filtered out of it.
    for (const char* extra : {"ExtraSysTablePrefixes={=x};", "Extra1={a;b}};c};", "Extra2={=};", "Ex==tra3=1;"}) {
        auto cn = Connect("Provider=MSDASQL;Persist Security Info=False;Extended Properties=\"" + base + extra +
                          "PWD=pw2;\"");
        std::string back = cn->GetConnectionString();
        EXPECT_EQ(back.find("pw2"), std::string::npos) << back;
        EXPECT_EQ(Scalar(Connect(back + ";Extended Properties=\"PWD=pw2\""), "select 1"), "1") << back;
    }

    auto kept = Connect("Provider=MSDASQL;Persist Security Info=True;Password=s3cret;Extended Properties=\"" + base + "\"");
    std::string s = kept->GetConnectionString();
    EXPECT_NE(s.find("Password=s3cret;"), std::string::npos) << s;
    EXPECT_NE(s.find("Persist Security Info=True;"), std::string::npos) << s;
    EXPECT_EQ(Scalar(Connect(s), "select 1"), "1");
}

TEST_P(AdoConnection, PropertiesSetBeforeOpeningAreUsed)
{
    auto cn = Connection::Create();
    auto props = cn->GetProperties();
    props->GetItem("Prompt")->PutValue(_variant_t(int16_t(adPromptComplete)));
    props->GetItem("Extended Properties")->PutValue(_variant_t(ConnectionString()));
    cn->PutConnectionTimeout(5);
    cn->Open("");
    EXPECT_EQ(cn->GetState(), adStateOpen);
    EXPECT_EQ(cn->GetProperties()->GetItem("Prompt")->GetValue().ToLong(), adPromptComplete);
    EXPECT_EQ(cn->GetProperties()->GetItem("Connect Timeout")->GetValue().ToLong(), 5);
    EXPECT_EQ(ErrorOf([&] { cn->GetProperties()->GetItem("Prompt")->PutValue(_variant_t(int16_t(1))); }),
              AdoError(adErrObjectOpen));
}

TEST_P(AdoConnection, TransactionsCommitRollBackAndCloseRollsBack)
{
    auto cn = Connect(ConnectionString());
    cn->Execute("create table tx (id integer)");
    auto other = Connect(ConnectionString());

    EXPECT_EQ(cn->BeginTrans(), 1);
    cn->Execute("insert into tx values (1)");
    EXPECT_EQ(Scalar(cn, "select count(*) from tx"), "1");
    EXPECT_EQ(ErrorOf([&] { cn->BeginTrans(); }), static_cast<HRESULT>(0x8004D013));
    cn->RollbackTrans();
    EXPECT_EQ(Scalar(cn, "select count(*) from tx"), "0");
    EXPECT_EQ(ErrorOf([&] { cn->CommitTrans(); }), static_cast<HRESULT>(0x8004D00E));
    EXPECT_EQ(ErrorOf([&] { cn->RollbackTrans(); }), static_cast<HRESULT>(0x8004D00E));

    cn->BeginTrans();
    cn->Execute("insert into tx values (2)");
    cn->CommitTrans();
    EXPECT_EQ(Scalar(other, "select count(*) from tx"), "1");

    // Back in autocommit after the commit: this insert is visible at once.
    cn->Execute("insert into tx values (3)");
    EXPECT_EQ(Scalar(other, "select count(*) from tx"), "2");

    // Closing with an open transaction rolls it back and disconnects cleanly.
    cn->BeginTrans();
    cn->Execute("insert into tx values (4)");
    cn->Close();
    EXPECT_EQ(Scalar(other, "select count(*) from tx where id = 4"), "0");
}

TEST_P(AdoConnection, IsolationLevelReadsBackWhatTheDriverUses)
{
    auto cn = Connect(ConnectionString());
    if (IsPostgres()) {
        EXPECT_EQ(cn->GetIsolationLevel(), adXactReadCommitted);
        cn->PutIsolationLevel(adXactSerializable);
        EXPECT_EQ(cn->GetIsolationLevel(), adXactSerializable);
    } else {
        EXPECT_EQ(cn->GetIsolationLevel(), adXactSerializable) << "SQLite serialises every transaction";
    }
    EXPECT_EQ(ErrorOf([&] { cn->PutIsolationLevel(adXactChaos); }), AdoError(adErrFeatureNotAvailable));
}

TEST_P(AdoConnection, NoticesArriveAsInfoMessagesOnePerMessage)
{
    if (IsSqlite())
        GTEST_SKIP() << "SQLite sends no notices";
    auto cn = Connect(ConnectionString());
    EventLog log;
    long cookie = cn->Advise(&log);
    cn->Execute("do $$ begin raise notice 'first one'; raise notice 'second; with a semicolon'; end $$");
    auto infos = log.Infos();
    ASSERT_EQ(infos.size(), 1u);
    ASSERT_EQ(infos[0].size(), 2u);
    EXPECT_EQ(infos[0][0], "NOTICE: first one");
    EXPECT_EQ(infos[0][1], "NOTICE: second; with a semicolon");
    EXPECT_EQ(log.FirstInfos().at(0), "NOTICE: first one");
    cn->Unadvise(cookie);
    cn->Execute("do $$ begin raise notice 'unheard'; end $$");
    EXPECT_EQ(log.Infos().size(), 1u);
    EXPECT_EQ(ErrorOf([&] { cn->Unadvise(cookie); }), AdoError(adErrInvalidArgument));
}

TEST_P(AdoConnection, CurrentCatalogChangesOnlyWhenTheDriverDoesIt)
{
    auto cn = Connect(ConnectionString());
    auto catalog = cn->GetProperties()->GetItem("Current Catalog");
    std::string before = catalog->GetValue().ToString();
    EXPECT_NO_THROW(catalog->PutValue(_variant_t(before))) << "the catalog it is in already";
    // Neither driver can move a connection to another database; saying so beats a silent no.
    EXPECT_EQ(ErrorOf([&] { catalog->PutValue(_variant_t("template1")); }), E_FAIL);
    EXPECT_EQ(cn->GetErrors()->GetItem(0)->GetSQLState(), "HYC00");
    EXPECT_EQ(catalog->GetValue().ToString(), before);
}

TEST_P(AdoConnection, SchemaReadsLeaveAnOpenTransactionUsable)
{
    auto cn = Connect(ConnectionString());
    cn->Execute("create table kept (id integer)");
    cn->BeginTrans();
    cn->Execute("insert into kept values (1)");
    try {
        cn->OpenSchema(adSchemaTables, {_variant_t(), _variant_t(), _variant_t("no_such_table_%")});
    } catch (const _com_error&) {
        // Whether the rowset is supported is not the point here.
    }
    EXPECT_EQ(Scalar(cn, "select count(*) from kept"), "1");
    cn->CommitTrans();
    EXPECT_EQ(Scalar(Connect(ConnectionString()), "select count(*) from kept"), "1");
}

TORVANE_INSTANTIATE_FOR_DRIVERS(AdoConnection);

TEST(AdoConnectionFailures, BadStringsAndProvidersGiveClearErrors)
{
    const std::string sqlite = torvane::test::NewSqliteConnectionString();
    struct Case {
        std::string text;
        HRESULT hr;
        const char* description;
        const char* detail; // in the second error, for malformed strings
    } cases[] = {
        {"Provider=SQLOLEDB;Data Source=server", AdoError(adErrProviderNotFound),
         "Provider cannot be found. It may not be properly installed.", nullptr},
        {"Provider=Microsoft.Jet.OLEDB.4.0;" + sqlite, AdoError(adErrProviderNotFound),
         "Provider cannot be found. It may not be properly installed.", nullptr},
        {"Driver={SQLite3;Database=x", E_FAIL, "Format of the initialization string is not valid.", "not closed"},
        {"=", E_FAIL, "Format of the initialization string is not valid.", "no key"},
        {"Driver=SQLite3;Database", E_FAIL, "Format of the initialization string is not valid.", "\"Database\""},
        {std::string("Driver=SQLite3;Database=a\0b", 27), E_FAIL,
         "Format of the initialization string is not valid.", "NUL"},
        {sqlite + "Padding=" + std::string(65536, 'p'), E_FAIL,
         "Format of the initialization string is not valid.", "limit"},
    };
    for (const auto& c : cases) {
        auto cn = Connection::Create();
        try {
            cn->Open(c.text);
            ADD_FAILURE() << "opened: " << c.text.substr(0, 60);
        } catch (const _com_error& e) {
            EXPECT_EQ(e.Error(), c.hr) << c.text.substr(0, 60);
            EXPECT_EQ(e.Description(), c.description);
            auto errors = cn->GetErrors();
            ASSERT_GE(errors->GetCount(), 1);
            EXPECT_EQ(errors->GetItem(0)->GetDescription(), c.description);
            if (c.detail) {
                ASSERT_EQ(errors->GetCount(), 2);
                EXPECT_NE(errors->GetItem(1)->GetDescription().find(c.detail), std::string::npos)
                    << errors->GetItem(1)->GetDescription();
            }
        }
        EXPECT_EQ(cn->GetState(), adStateClosed);
    }
}

TEST(AdoConnectionFailures, DriverManagerErrorsReachErrors)
{
    for (const std::string text : {"Driver={No Such Driver};Database=x", "DSN=NoSuchDataSource", ""}) {
        auto cn = Connection::Create();
        EXPECT_EQ(ErrorOf([&] { cn->Open(text); }), E_FAIL) << text;
        auto errors = cn->GetErrors();
        ASSERT_GE(errors->GetCount(), 1) << text;
        EXPECT_FALSE(errors->GetItem(0)->GetDescription().empty());
        EXPECT_FALSE(errors->GetItem(0)->GetSQLState().empty());
        EXPECT_EQ(cn->GetState(), adStateClosed);
    }
}

TEST(AdoConnectionFailures, AFileThatIsNotADatabaseFailsToOpen)
{
    std::string path = torvane::test::NewTempPath(".txt");
    std::ofstream(path) << std::string(4096, 'x');
    auto cn = Connection::Create();
    try {
        cn->Open("Driver=SQLite3;Database=" + path);
        FAIL() << "opened a text file as a database";
    } catch (const _com_error& e) {
        EXPECT_NE(e.Description().find("not a database"), std::string::npos) << e.Description();
    }
    EXPECT_EQ(cn->GetState(), adStateClosed);
    // The connection object stays usable.
    cn->Open(torvane::test::NewSqliteConnectionString());
    EXPECT_EQ(Scalar(cn, "select 7"), "7");
}

// The SQLite driver takes text only through its ANSI entry points: a database path beyond
// ASCII must open the file it names, and come back unchanged.
TEST(AdoSqliteConnection, ANonAsciiPathOpensTheFileItNames)
{
    const std::string path = torvane::test::NewTempPath(" Größe 😀.db");
    auto cn = Connect("Driver=SQLite3;NoCreat=0;Database=" + path);
    cn->Execute("create table t (id integer)");
    cn->Execute("insert into t values (5)");
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_NE(cn->GetConnectionString().find(path), std::string::npos) << cn->GetConnectionString();
    EXPECT_EQ(Scalar(Connect(cn->GetConnectionString()), "select id from t"), "5");
}

namespace {

std::set<std::string> FolderNames(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace

// The driver would create any file it is pointed at: a mistyped path, or a string without a
// Database at all (named after the rest of the string, in the current folder). The layer opens
// existing files only, unless the string asks for a new database.
TEST(AdoSqliteConnection, OpensExistingDatabaseFilesOnlyUnlessAskedToCreate)
{
    const std::filesystem::path folder = torvane::test::NewTempPath("-create");
    std::filesystem::create_directory(folder);
    const std::string missing = (folder / "mistyped.db").string();
    const std::set<std::string> here = FolderNames(std::filesystem::current_path());
    struct Case {
        std::string text;
        const char* says;
    } refused[] = {
        {"Driver=SQLite3;", "names no SQLite database file"},
        {"Driver={SQLite3};StepAPI=1;", "names no SQLite database file"},
        {"Driver=SQLite3;Database=;", "names no SQLite database file"},
        {"Provider=MSDASQL;Extended Properties=\"Driver=SQLite3;Database=  \"", "names no SQLite database file"},
        {"Driver=SQLite3;Database=" + missing, "does not exist"},
        {"Driver=SQLite3;NoCreat=1;Database=" + missing, "does not exist"},
        {"Driver=SQLite3;NoCreat=;Database=" + missing, "does not exist"},
    };
    for (const Case& c : refused) {
        auto cn = Connection::Create();
        try {
            cn->Open(c.text);
            ADD_FAILURE() << "opened: " << c.text;
        } catch (const _com_error& e) {
            EXPECT_NE(e.Description().find(c.says), std::string::npos) << c.text << ": " << e.Description();
            ASSERT_EQ(cn->GetErrors()->GetCount(), 1);
            EXPECT_EQ(cn->GetErrors()->GetItem(0)->GetDescription(), e.Description());
        }
        EXPECT_EQ(cn->GetState(), adStateClosed);
    }
    EXPECT_TRUE(FolderNames(folder).empty());
    EXPECT_EQ(FolderNames(std::filesystem::current_path()), here);

    // Asked for, a new database is made; an in-memory one needs no file.
    auto created = Connect("Driver=SQLite3;Database=" + missing + ";NoCreat=0");
    created->Execute("create table t (n integer)");
    EXPECT_TRUE(std::filesystem::exists(missing));
    EXPECT_EQ(Scalar(Connect("Driver=SQLite3;Database=" + missing), "select count(*) from t"), "0");
    EXPECT_EQ(Scalar(Connect("Driver=SQLite3;Database=:memory:"), "select 3"), "3");
}

// The driver reads the Database value up to the next ";" and does not take braces off: a path
// with "{" or "}" goes to it as it stands, one with ";" cannot reach it and is refused.
TEST(AdoSqliteConnection, APathWithBracesOrASemicolonReachesTheDriverWholeOrIsRefused)
{
    const std::filesystem::path folder = torvane::test::NewTempPath("-braces");
    std::filesystem::create_directory(folder);
    for (const char* name : {"a{b.db", "c}d.db", "{e}.db", "f}}g{.db"}) {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary);
        std::string braced = "{";
        for (char ch : path)
            braced += ch == '}' ? std::string("}}") : std::string(1, ch);
        braced += "}";
        for (const std::string& text : {"Driver=SQLite3;Database=" + braced + ";",
                                        "Provider=MSDASQL;Driver=SQLite3;Database=\"" + path + "\""}) {
            auto cn = Connect(text);
            cn->Execute("create table if not exists t (n integer)");
            cn->Execute("insert into t values (1)");
        }
        EXPECT_EQ(Scalar(Connect("Driver=SQLite3;Database=" + braced), "select count(*) from t"), "2") << name;
    }
    EXPECT_EQ(FolderNames(folder), (std::set<std::string>{"a{b.db", "c}d.db", "{e}.db", "f}}g{.db"}));

    const std::string semicolon = (folder / "h;i.db").string();
    std::ofstream(semicolon, std::ios::binary);
    auto cn = Connection::Create();
    try {
        cn->Open("Driver=SQLite3;Database={" + semicolon + "}");
        ADD_FAILURE() << "opened " << semicolon;
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Description(), "The SQLite driver cannot open a database file whose path holds \";\": '" +
                                       semicolon + "'.");
    }
    EXPECT_EQ(FolderNames(folder).size(), 5u);
}
