// Recordset.Save of values at the edges of what the formats' types hold: long decimals, dates
// with fractions far from 1899, doubles whose shortest text needs 17 digits, money, long
// binary data. Each arrives in both files exactly, or the save fails naming row and column and
// leaves no file; nothing is rounded on the way.
#include "AdtgReader.h"
#include "RowsetXmlReader.h"

#include "ado/Ado.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <filesystem>

using namespace ado;
using namespace torvane::test;
namespace fs = std::filesystem;

namespace {

class ExactValuesSaveTest : public DatabaseTest {
protected:
    struct Saved {
        XmlRowset xml;
        AdtgDocument adtg;
    };

    Saved SaveBoth(const std::string& sql)
    {
        ConnectionPtr cn = Connection::Create();
        cn->Open(ConnectionString());
        Saved saved;
        std::string xmlPath = NewTempPath(".xml");
        cn->Execute(sql)->Save(xmlPath, adPersistXML);
        saved.xml = ReadRowsetXml(FileBytes(xmlPath));
        std::string adtgPath = NewTempPath(".adtg");
        cn->Execute(sql)->Save(adtgPath, adPersistADTG);
        saved.adtg = ReadAdtg(FileBytes(adtgPath));
        return saved;
    }

    // The save fails with a data conversion error naming the row, the column and the value;
    // no file is left.
    void ExpectRefused(const std::string& sql, PersistFormatEnum format, const std::string& where,
                       const std::string& value)
    {
        SCOPED_TRACE(sql);
        ConnectionPtr cn = Connection::Create();
        cn->Open(ConnectionString());
        std::string path = NewTempPath(format == adPersistXML ? ".xml" : ".adtg");
        try {
            cn->Execute(sql)->Save(path, format);
            ADD_FAILURE() << "saved";
        } catch (const _com_error& e) {
            EXPECT_EQ(e.Error(), MakeControlHResult(adErrDataConversion));
            EXPECT_NE(e.Description().find(where), std::string::npos) << e.Description();
            EXPECT_NE(e.Description().find("'" + value + "'"), std::string::npos) << e.Description();
        }
        EXPECT_FALSE(fs::exists(path));
    }
};

size_t ColumnIndex(const XmlRowset& xml, const std::string& name)
{
    for (size_t i = 0; i < xml.columns.size(); ++i)
        if (xml.columns[i].columnName == name)
            return i;
    ADD_FAILURE() << "no column " << name;
    return 0;
}

} // namespace

// The XML attribute and the ADTG value (as text) of each column of row 1.
TEST_P(ExactValuesSaveTest, ValuesArriveExactly)
{
    struct Case {
        const char* column;
        const char* xml;
        const char* adtg;
    };
    std::string sql;
    std::vector<Case> cases;
    if (IsPostgres()) {
        sql = "SELECT 12345678901234567890.0123456789::numeric(38,10) AS n1, "
              "9999999999999999999999999999.9999999999::numeric(38,10) AS n2, "
              "-0.0000000001::numeric(38,10) AS n3, "
              "'9999-12-31 23:59:59.999'::timestamp AS ts1, '0001-01-01 00:00:00.000001'::timestamp AS ts2, "
              "'2024-02-29 13:45:07.123456'::timestamp AS ts3, "
              "1::float8 / 3 AS d1, 0.1::float8 + 0.2 AS d2, pi() AS d3, 1e-310::float8 AS d4, "
              "1234.56::money AS m1, (-5)::money AS m2";
        cases = {
            {"n1", "12345678901234567890.0123456789", "12345678901234567890.0123456789"},
            {"n2", "9999999999999999999999999999.9999999999", "9999999999999999999999999999.9999999999"},
            {"n3", "-0.0000000001", "-0.0000000001"},
            {"ts1", "9999-12-31T23:59:59.999", "9999-12-31T23:59:59.999"},
            {"ts2", "0001-01-01T00:00:00.000001", "0001-01-01T00:00:00.000001"},
            {"ts3", "2024-02-29T13:45:07.123456", "2024-02-29T13:45:07.123456"},
            {"d1", "0.3333333333333333", "0.3333333333333333"},
            {"d2", "0.30000000000000004", "0.30000000000000004"},
            {"d3", "3.141592653589793", "3.141592653589793"},
            {"d4", "1e-310", "1E-310"},
            {"m1", "1234.56", "1234.56"},
            {"m2", "-5", "-5"},
        };
    } else {
        Exec("CREATE TABLE t(ts TIMESTAMP, ts2 TIMESTAMP)");
        Exec("INSERT INTO t VALUES('9999-12-31 23:59:59.999', '2024-01-01 10:00:00.123456789')");
        sql = "SELECT ts, ts2 FROM t";
        cases = {
            {"ts", "9999-12-31T23:59:59.999", "9999-12-31T23:59:59.999"},
            {"ts2", "2024-01-01T10:00:00.123456789", "2024-01-01T10:00:00.123456789"},
        };
    }
    Saved saved = SaveBoth(sql);
    ASSERT_EQ(saved.xml.rows.size(), 1u);
    ASSERT_EQ(saved.adtg.rows.size(), 1u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        size_t i = ColumnIndex(saved.xml, c.column);
        EXPECT_EQ(saved.xml.rows[0][i].value_or("NULL"), c.xml);
        EXPECT_EQ(saved.adtg.rows[0][i].ToString(), c.adtg);
    }
}

// A time with a fraction: XML holds it; the ADTG time type has no fraction, so that save fails
// naming the row, the column and the value instead of dropping the fraction.
TEST_P(ExactValuesSaveTest, ATimeFractionIsKeptOrRefused)
{
    if (IsSqlite()) {
        Exec("CREATE TABLE t(id INTEGER, tm TIME)");
        Exec("INSERT INTO t VALUES(1, '10:00:00'), (2, '10:00:00.123456789')");
    } else {
        Exec("CREATE TABLE t(id integer, tm time)");
        Exec("INSERT INTO t VALUES(1, '10:00:00'), (2, '23:59:59.999999')");
    }
    const std::string sql = "SELECT id, tm FROM t ORDER BY id";
    const std::string fraction = IsSqlite() ? "10:00:00.123456789" : "23:59:59.999999";
    ExpectRefused(sql, adPersistADTG, "Row 2, column 'tm'", fraction);

    ConnectionPtr cn = Connection::Create();
    cn->Open(ConnectionString());
    std::string xmlPath = NewTempPath(".xml");
    cn->Execute(sql)->Save(xmlPath, adPersistXML);
    XmlRowset xml = ReadRowsetXml(FileBytes(xmlPath));
    ASSERT_EQ(xml.rows.size(), 2u);
    EXPECT_EQ(xml.rows[1][1].value_or("NULL"), fraction);
}

// Binary values of any length in a dynamically typed database: the schema declares long
// binary data, not the driver's made-up 255 fixed bytes, and ADTG takes values over 255 bytes.
TEST_P(ExactValuesSaveTest, LongBinaryValuesSaveWhole)
{
    if (IsSqlite()) {
        Exec("CREATE TABLE t(id INTEGER, b BLOB)");
        Exec("INSERT INTO t VALUES(1, zeroblob(300)), (2, randomblob(70000)), (3, x'00ff')");
    } else {
        Exec("CREATE TABLE t(id integer, b bytea)");
        Exec("INSERT INTO t VALUES(1, decode(repeat('00', 300), 'hex')), "
             "(2, decode(md5('x') || repeat('ab', 69984), 'hex')), (3, '\\x00ff'::bytea)");
    }
    const std::string sql = "SELECT id, b FROM t ORDER BY id";
    ConnectionPtr cn = Connection::Create();
    cn->Open(ConnectionString());
    std::vector<std::vector<uint8_t>> expected;
    for (RecordsetPtr rs = cn->Execute(sql); !rs->IsEOF(); rs->MoveNext())
        expected.push_back(rs->GetCollect(1).bytes);
    ASSERT_EQ(expected.size(), 3u);
    ASSERT_EQ(expected[1].size(), 70000u);

    Saved saved = SaveBoth(sql);
    const XmlColumnInfo& column = saved.xml.columns[1];
    EXPECT_EQ(column.datatype.at("dt:type"), "bin.hex");
    EXPECT_EQ(column.datatype.at("dt:maxLength"), "2147483647");
    EXPECT_EQ(column.datatype.at("rs:long"), "true");
    EXPECT_EQ(column.datatype.count("rs:fixedlength"), 0u);
    for (size_t r = 0; r < expected.size(); ++r) {
        SCOPED_TRACE(r + 1);
        EXPECT_EQ(saved.xml.rows[r][1].value_or("NULL").size(), expected[r].size() * 2);
        EXPECT_EQ(saved.adtg.rows[r][1].bytes, expected[r]);
    }
}

// The server's infinities fit no date type of either format: the save fails naming the row,
// the column and the value, rather than writing the driver's rendering as a date.
TEST_P(ExactValuesSaveTest, InfinityIsRefusedNamingRowAndColumn)
{
    if (!IsPostgres())
        GTEST_SKIP() << "only PostgreSQL has infinite dates";
    const struct {
        const char* type;
        const char* value;
    } cases[] = {{"timestamp", "infinity"}, {"timestamp", "-infinity"}, {"date", "infinity"}, {"date", "-infinity"}};
    for (const auto& c : cases) {
        std::string sql = fmt::format("SELECT id, v FROM (VALUES (1, '2024-01-01'::{0}), (2, '{1}'::{0})) AS t(id, v) "
                                      "ORDER BY id",
                                      c.type, c.value);
        ExpectRefused(sql, adPersistXML, "Row 2, column 'v'", c.value);
        ExpectRefused(sql, adPersistADTG, "Row 2, column 'v'", c.value);
    }
}

TORVANE_INSTANTIATE_FOR_DRIVERS(ExactValuesSaveTest);
