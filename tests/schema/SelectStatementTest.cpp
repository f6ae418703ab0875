// The row-limited SELECT per dialect, the T-SQL row count, the Save As file name and the text
// handed to the editor, as tables.
#include "schemacore/SelectStatement.h"

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>

namespace {

CSelectDialect Dialect(const char* which)
{
    CSelectDialect d;
    const std::string w = which;
    d.oracle = w == "oracle";
    d.db2 = w == "db2";
    d.jet = w == "jet";
    d.foxPro = w == "foxpro";
    d.mySql = w == "mysql";
    d.tSql = w == "tsql" || w == "tsql+mysql";
    if (w == "tsql+mysql")
        d.mySql = true;
    if (w == "informix")
        d.dbmsNameUpper = "INFORMIX";
    if (w == "olap")
        d.connectionString = "Provider=MSOLAP;Data Source=cube";
    return d;
}

TEST(RowLimitedSelect, EachDialectAsTheRulesSay)
{
    const struct {
        const char* dialect;
        bool columnNode;
        int rows;
        const char* sql;
    } cases[] = {
        // The generic rule: SQLite and PostgreSQL, where the row limit is the run's maximum.
        {"", false, -1, "SELECT [OrderID], [Total] FROM [dbo].[Orders]"},
        {"", false, 10, "SELECT [OrderID], [Total] FROM [dbo].[Orders]"},
        {"", false, 0, "SELECT [OrderID], [Total] FROM [dbo].[Orders] WHERE 1 = 2"},
        {"", true, 0, "SELECT [OrderID], [Total] FROM [dbo].[Orders] WHERE 1 = 2"},
        {"olap", false, 0, "SELECT [OrderID], [Total] FROM [dbo].[Orders]"},
        {"olap", true, 0, "SELECT [OrderID], [Total] FROM [dbo].[Orders] WHERE 1 = 2"},
        {"oracle", false, 10, "SELECT [OrderID], [Total] FROM [dbo].[Orders] WHERE ROWNUM < 11"},
        {"oracle", false, 0, "SELECT [OrderID], [Total] FROM [dbo].[Orders] WHERE ROWNUM < 1"},
        {"oracle", false, -1, "SELECT [OrderID], [Total] FROM [dbo].[Orders]"},
        {"db2", false, 10, "SELECT [OrderID], [Total] FROM [dbo].[Orders] FETCH FIRST 10 ROWS ONLY"},
        {"db2", true, 0, "SELECT [OrderID], [Total] FROM [dbo].[Orders] WHERE 1 = 2"},
        {"jet", false, 10, "SELECT TOP 10 [OrderID], [Total] FROM [dbo].[Orders]"},
        {"jet", false, 0, "SELECT [OrderID], [Total] FROM [dbo].[Orders] WHERE 1 = 2"},
        {"foxpro", false, 5, "SELECT TOP 5 [OrderID], [Total] FROM [dbo].[Orders] ORDER BY 1"},
        {"foxpro", false, 0, "SELECT [OrderID], [Total] FROM [dbo].[Orders] WHERE 1 = 2"},
        {"informix", false, 10, "SELECT FIRST 10 [OrderID], [Total] FROM [dbo].[Orders]"},
        {"informix", false, 0, "SELECT [OrderID], [Total] FROM [dbo].[Orders] WHERE 1 = 2"},
        {"mysql", false, 10, "SELECT [OrderID], [Total] FROM [dbo].[Orders] LIMIT 10"},
        {"mysql", false, 0, "SELECT [OrderID], [Total] FROM [dbo].[Orders] LIMIT 0"},
        // The worked example of a T-SQL server.
        {"tsql", false, 10, "SET ROWCOUNT 10\nSELECT [OrderID], [Total] FROM [dbo].[Orders]\nSET ROWCOUNT 0"},
        {"tsql", false, -1, "SET ROWCOUNT 0\nSELECT [OrderID], [Total] FROM [dbo].[Orders]"},
        {"tsql", false, 0, "SELECT [OrderID], [Total] FROM [dbo].[Orders] WHERE 1 = 2"},
        // Both flags: the dialect's rule, then the row count around it.
        {"tsql+mysql", false, 3, "SET ROWCOUNT 3\nSELECT [OrderID], [Total] FROM [dbo].[Orders] LIMIT 3\nSET ROWCOUNT 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dialect) + " " + std::to_string(c.rows) + (c.columnNode ? " columns" : ""));
        EXPECT_EQ(BuildRowLimitedSelect(Dialect(c.dialect), "[dbo].[Orders]", "[OrderID], [Total]", c.columnNode,
                                        c.rows),
                  c.sql);
    }
    // The Jet example: no schema.
    EXPECT_EQ(BuildRowLimitedSelect(Dialect("jet"), "[Orders]", "[OrderID], [Total]", false, 10),
              "SELECT TOP 10 [OrderID], [Total] FROM [Orders]");
}

TEST(RowLimitedSelect, SetRowcountWrapping)
{
    const struct {
        int rows;
        const char* sql;
    } cases[] = {
        {-1, "SET ROWCOUNT 0\nSELECT 1"},
        {1, "SET ROWCOUNT 1\nSELECT 1\nSET ROWCOUNT 0"},
        {999999999, "SET ROWCOUNT 999999999\nSELECT 1\nSET ROWCOUNT 0"},
        {0, "SELECT 1"},
        {-5, "SELECT 1"},
    };
    for (const auto& c : cases) {
        wxString sql = "SELECT 1";
        WrapSetRowcount(sql, c.rows);
        EXPECT_EQ(sql, c.sql) << c.rows;
    }
}

TEST(RowLimitedSelect, SaveAsFileNames)
{
    const struct {
        const char* objectName;
        const char* prefix;
        const char* suffix;
        const char* fileName;
    } cases[] = {
        {"[dbo].[Orders]", "[", "]", "dbo_Orders"},
        {"[dbo].[Orders].[Total]", "[", "]", "dbo_Orders_Total"},
        {"[dbo].[Orders]._", "[", "]", "dbo_Orders__"},
        {"\"public\".\"order lines\"", "\"", "\"", "public_order_lines"},
        {"orders", "", "", "orders"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SaveAsFileName(c.objectName, c.prefix, c.suffix), c.fileName) << c.objectName;
}

TEST(RowLimitedSelect, EditorTextAndSelection)
{
    const struct {
        const char* title;
        bool hasText;
        bool terminate;
        const char* separator;
        const char* lineEnd;
        const char* text;
        size_t selectFrom;
    } cases[] = {
        {"an empty editor", false, false, "GO", "\n", "SELECT 1\nGO", 0},
        {"after text", true, false, "GO", "\n", "\n\nSELECT 1\nGO", 2},
        {"CR LF lines", true, false, "GO", "\r\n", "\r\n\r\nSELECT 1\r\nGO", 4},
        {"no separator", true, false, "", "\n", "\n\nSELECT 1", 2},
        {"a terminating dialect", false, true, "GO", "\n", "SELECT 1;\nGO", 0},
        {"a terminating dialect without separator", true, true, "", "\n", "\n\nSELECT 1;", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        const CEditorAppend append = ComposeEditorAppend("SELECT 1", c.hasText, c.terminate, c.separator, c.lineEnd);
        EXPECT_EQ(append.text, c.text);
        EXPECT_EQ(append.selectFrom, c.selectFrom);
    }
}

} // namespace
