#include "FileSizeLimit.h"
#include "querycore/DelimitedTextWriter.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using torvane::test::DatabaseTest;
using torvane::test::FileBytes;
using torvane::test::NewTempPath;

namespace {

class SaveRecordsetAsTextTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        Exec("CREATE TABLE t (id INTEGER, name VARCHAR(40), amount DOUBLE PRECISION, note VARCHAR(40))");
        Exec("INSERT INTO t VALUES (1, 'plain', 2.5, NULL)");
        Exec("INSERT INTO t VALUES (2, 'x,y', -0.25, 'say \"hi\"')");
        const std::string chr = IsPostgres() ? "chr" : "char";
        Exec("INSERT INTO t VALUES (3, 'two' || " + chr + "(13) || " + chr + "(10) || 'lines', 1e3, '')");
        Exec("INSERT INTO t VALUES (NULL, 'blank', 0, 'tab' || " + chr + "(9) || 'bed')");
        m_connection = ado::Connection::Create();
        m_connection->Open(ConnectionString());
    }
    void TearDown() override
    {
        if (m_connection && m_connection->GetState() != ado::adStateClosed)
            m_connection->Close();
    }
    ado::RecordsetPtr Query(const std::string& sql) { return m_connection->Execute(sql); }

    ado::ConnectionPtr m_connection;
    std::atomic<int> m_stop{0};
};

TEST_P(SaveRecordsetAsTextTest, WritesHeaderAndRowsQuotedWhereNeeded)
{
    const std::string path = NewTempPath(".csv");
    long columns = -1;
    auto rs = Query("SELECT id, name, amount, note FROM t ORDER BY id NULLS LAST");
    ASSERT_TRUE(SaveRecordsetAsText(*rs, path, ",", false, m_stop, &columns));
    EXPECT_EQ(columns, 4);
    // Numbers as the results grid shows them: SQLite's own text of its floating-point values.
    EXPECT_EQ(FileBytes(path),
              std::string("id,name,amount,note\r\n"
                          "1,plain,2.5,\r\n"
                          "2,\"x,y\",-0.25,\"say \"\"hi\"\"\"\r\n") +
                  (IsSqlite() ? "3,\"two\r\nlines\",1000.0,\r\n,blank,0.0,tab\tbed\r\n"
                              : "3,\"two\r\nlines\",1000,\r\n,blank,0,tab\tbed\r\n"));
}

TEST_P(SaveRecordsetAsTextTest, NonAsciiTextIsWrittenAsUtf8)
{
    m_connection->Execute("CREATE TABLE u (name VARCHAR(20))");
    m_connection->Execute("INSERT INTO u VALUES ('äöü, 日本')");
    const std::string path = NewTempPath(".csv");
    auto rs = Query("SELECT name AS \"名前\" FROM u");
    ASSERT_TRUE(SaveRecordsetAsText(*rs, path, ",", false, m_stop));
    EXPECT_EQ(FileBytes(path), "名前\r\n\"äöü, 日本\"\r\n");
}

TEST_P(SaveRecordsetAsTextTest, TabDelimiterAndSpreadsheetPlaceholders)
{
    const std::string tabbed = NewTempPath(".txt");
    auto rs = Query("SELECT id, note FROM t WHERE id IN (1, 2) OR id IS NULL ORDER BY id NULLS LAST");
    ASSERT_TRUE(SaveRecordsetAsText(*rs, tabbed, "\t", false, m_stop));
    EXPECT_EQ(FileBytes(tabbed), "id\tnote\r\n1\t\r\n2\t\"say \"\"hi\"\"\"\r\n\t\"tab\tbed\"\r\n");

    const std::string excel = NewTempPath(".csv");
    // PostgreSQL has no empty column names; SQLite shows the name placeholder too.
    rs = Query(std::string("SELECT id, note AS ") + (IsSqlite() ? "\"\"" : "n") + ", name FROM t WHERE id IN (1, 3) ORDER BY id");
    ASSERT_TRUE(SaveRecordsetAsText(*rs, excel, "||", true, m_stop));
    EXPECT_EQ(FileBytes(excel), std::string("id||") + (IsSqlite() ? "<No coumn name>" : "n") +
                                    "||name\r\n1||<NULL>||plain\r\n3||<NULL>||\"two\r\nlines\"\r\n");
}

TEST_P(SaveRecordsetAsTextTest, EmptyResultSetGivesTheHeaderOnly)
{
    const std::string path = NewTempPath(".csv");
    auto rs = Query("SELECT id, name FROM t WHERE id > 100");
    ASSERT_TRUE(SaveRecordsetAsText(*rs, path, ";", false, m_stop));
    EXPECT_EQ(FileBytes(path), "id;name\r\n");
}

TEST_P(SaveRecordsetAsTextTest, StopLeavesNoFileAndKeepsAnOldOne)
{
    const std::string path = NewTempPath(".csv");
    m_stop = 1;
    auto rs = Query("SELECT id, name FROM t");
    EXPECT_FALSE(SaveRecordsetAsText(*rs, path, ",", false, m_stop));
    EXPECT_FALSE(fs::exists(path));

    { std::ofstream(path) << "old"; }
    rs = Query("SELECT id, name FROM t");
    EXPECT_FALSE(SaveRecordsetAsText(*rs, path, ",", false, m_stop));
    EXPECT_EQ(FileBytes(path), "old");
}

TEST_P(SaveRecordsetAsTextTest, WriteErrorIsAnErrorAndLeavesNoPartialFile)
{
    const std::string path = NewTempPath(".csv");
    { std::ofstream(path) << "old"; }
    // Enough rows to pass the writer's buffer, so the failure comes from a write, not the close.
    auto rs = Query(IsPostgres()
                        ? "SELECT g, repeat('x', 100) FROM generate_series(1, 20000) g"
                        : "WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g WHERE n < 20000) "
                          "SELECT n, printf('%.100c', 'x') FROM g");
    {
        FileSizeLimit full(64 * 1024);
        EXPECT_THROW(SaveRecordsetAsText(*rs, path, ",", false, m_stop), fs::filesystem_error);
    }
    EXPECT_EQ(FileBytes(path), "old");
    for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path()))
        EXPECT_EQ(entry.path().string().find(path + "."), std::string::npos) << entry.path();

    // A folder that does not exist is an error too.
    rs = Query("SELECT id FROM t");
    EXPECT_THROW(SaveRecordsetAsText(*rs, path + ".missing/x.csv", ",", false, m_stop), fs::filesystem_error);
}

TORVANE_INSTANTIATE_FOR_DRIVERS(SaveRecordsetAsTextTest);

} // namespace
