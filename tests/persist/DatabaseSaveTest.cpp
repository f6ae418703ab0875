// Recordset.Save of real SQLite and PostgreSQL recordsets: every value type, NULL and Unicode
// come back from both files exactly as the recordset delivered them.
#include "AdtgReader.h"
#include "RowsetXmlReader.h"

#include "ado/Ado.h"
#include "ado/PersistValues.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <cmath>
#include <filesystem>
#include <fstream>

using namespace ado;
using namespace torvane::test;
namespace fs = std::filesystem;

namespace {

struct Column {
    std::string name;
    DataTypeEnum type;
};

// What the recordset itself delivers, read with a second execution of the same query.
struct Direct {
    std::vector<Column> columns;
    std::vector<std::vector<_variant_t>> rows;
};

Direct ReadAll(const RecordsetPtr& rs)
{
    Direct out;
    FieldsPtr fields = rs->GetFields();
    for (long i = 0; i < fields->GetCount(); ++i)
        out.columns.push_back({fields->GetItem(i)->GetName(), fields->GetItem(i)->GetType()});
    for (; !rs->IsEOF(); rs->MoveNext()) {
        std::vector<_variant_t> row;
        for (long i = 0; i < fields->GetCount(); ++i)
            row.push_back(fields->GetItem(i)->GetValue());
        out.rows.push_back(std::move(row));
    }
    return out;
}

bool IsDateType(DataTypeEnum t) { return t == adDBDate || t == adDBTime || t == adDBTimeStamp || t == adDate; }

// The value in one canonical text, whatever its variant type, for comparing a file's value
// with the recordset's: numbers by value, dates as ISO text, binary as hex, GUIDs upper-case.
std::string Canonical(DataTypeEnum type, const _variant_t& v)
{
    if (v.IsNull() || v.IsEmpty())
        return "NULL";
    if (v.vt == (VT_ARRAY | VT_UI1))
        return persist::HexEncode(v.bytes);
    if (IsDateType(type)) {
        DateParts p;
        if (!persist::ToDateParts(v, p))
            return "unreadable date " + v.ToString();
        if (type == adDBDate)
            return persist::FormatDate(p);
        if (type == adDBTime)
            return persist::FormatTime(p);
        return persist::FormatDateTime(p);
    }
    if (type == adGUID) {
        GUID g;
        return persist::ToGuid(v, g) ? g.ToString() : "unreadable GUID " + v.ToString();
    }
    if (v.vt == VT_R4 || v.vt == VT_R8) {
        double d = v.vt == VT_R4 ? v.num.fltVal : v.num.dblVal;
        return std::isnan(d) ? "NaN" : fmt::format("{}", d);
    }
    if (v.vt == VT_BOOL)
        return v.num.boolVal ? "True" : "False";
    bool numeric = type == adNumeric || type == adDecimal || type == adVarNumeric;
    DECIMAL d;
    if ((v.vt != VT_BSTR || numeric) && persist::ToDecimal(v, d)) {
        std::string s = d.ToString();
        if (s.find('.') != std::string::npos) {
            while (s.back() == '0')
                s.pop_back();
            if (s.back() == '.')
                s.pop_back();
        }
        return s;
    }
    return v.ToString();
}

// An XML attribute value in the same canonical text, read by its schema type.
std::string CanonicalXml(DataTypeEnum type, const std::string& dtType, const std::optional<std::string>& text)
{
    if (!text)
        return "NULL";
    if (dtType == "bin.hex")
        return *text;
    if (dtType == "dateTime" || dtType == "date" || dtType == "time" || dtType == "uuid" || dtType == "boolean")
        return Canonical(type, _variant_t(*text));
    if (dtType == "float" || dtType == "r4") {
        if (*text == "NaN")
            return "NaN";
        double d = std::stod(*text);
        return fmt::format("{}", dtType == "r4" ? static_cast<double>(static_cast<float>(d)) : d);
    }
    if (dtType == "string")
        return *text;
    DECIMAL d;
    if (DECIMAL::Parse(*text, d))
        return Canonical(type, _variant_t(d));
    return *text;
}

// The XML file holds the recordset's columns and values.
void ExpectXmlHolds(const std::string& path, const Direct& direct)
{
    XmlRowset xml = ReadRowsetXml(FileBytes(path));
    ASSERT_EQ(xml.columns.size(), direct.columns.size());
    ASSERT_EQ(xml.rows.size(), direct.rows.size());
    for (size_t c = 0; c < direct.columns.size(); ++c) {
        EXPECT_EQ(xml.columns[c].columnName, direct.columns[c].name);
        for (size_t r = 0; r < direct.rows.size(); ++r)
            EXPECT_EQ(CanonicalXml(direct.columns[c].type, xml.columns[c].datatype["dt:type"], xml.rows[r][c]),
                      Canonical(direct.columns[c].type, direct.rows[r][c]))
                << "XML row " << r + 1 << " column " << direct.columns[c].name;
    }
}

// The ADTG file holds the recordset's columns, row count and values.
void ExpectAdtgHolds(const std::string& path, const Direct& direct)
{
    AdtgDocument adtg = ReadAdtg(FileBytes(path));
    EXPECT_EQ(adtg.rowCount, direct.rows.size());
    ASSERT_EQ(adtg.columns.size(), direct.columns.size());
    ASSERT_EQ(adtg.rows.size(), direct.rows.size());
    for (size_t c = 0; c < direct.columns.size(); ++c) {
        EXPECT_EQ(adtg.columns[c].name, direct.columns[c].name);
        for (size_t r = 0; r < direct.rows.size(); ++r)
            EXPECT_EQ(Canonical(direct.columns[c].type, adtg.rows[r][c]), Canonical(direct.columns[c].type, direct.rows[r][c]))
                << "ADTG row " << r + 1 << " column " << direct.columns[c].name;
    }
}

struct Schema {
    std::string create;
    std::vector<std::string> inserts;
    // Values that must arrive exactly so, column name to canonical text of row 1.
    std::vector<std::pair<std::string, std::string>> row1;
};

std::string Quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

const std::string kText = "Grüße, 世界 😀 O'Brien & <tag> \"q\"\ttab\nline";

Schema SchemaFor(bool postgres)
{
    if (postgres)
        return {"CREATE TABLE t(id integer PRIMARY KEY, i2 smallint, i4 integer, i8 bigint, r4 real, "
                "r8 double precision, num numeric(12,3), wide numeric(40,10), b boolean, d date, tm time, "
                "ts timestamp, vc varchar(20), ch char(5), tx text, by bytea, u uuid)",
                {"INSERT INTO t VALUES(1, -32768, 2147483647, -9223372036854775808, 1.5, 0.1, -123456789.125, "
                 "123456789012345678901234567890.0123456789, true, '2024-02-29', '13:45:07', "
                 "'2024-02-29 13:45:07.123456', 'Unicode ☃', 'ab', " + Quoted(kText) + ", '\\x00ff10'::bytea, "
                 "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11')",
                 "INSERT INTO t(id) VALUES(2)",
                 "INSERT INTO t VALUES(3, 32767, -2147483648, 9223372036854775807, 'NaN', -1e300, 0, 0, false, "
                 "'0001-01-01', '00:00:00', '1999-12-31 23:59:59', '', '', '', ''::bytea, "
                 "'00000000-0000-0000-0000-000000000000')"},
                {{"tx", kText},
                 {"vc", "Unicode ☃"},
                 {"num", "-123456789.125"},
                 {"wide", "123456789012345678901234567890.0123456789"},
                 {"ts", "2024-02-29T13:45:07.123456"},
                 {"by", "00ff10"},
                 {"u", "{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}"},
                 {"i8", "-9223372036854775808"}}};
    return {"CREATE TABLE t(id INTEGER PRIMARY KEY, i2 SMALLINT, i4 INTEGER, i8 BIGINT, r4 REAL, r8 DOUBLE, "
            "num NUMERIC(12,3), b BOOLEAN, d DATE, tm TIME, ts TIMESTAMP, vc VARCHAR(20), ch CHAR(5), tx TEXT, "
            "by BLOB)",
            {"INSERT INTO t VALUES(1, -32768, 2147483647, -9223372036854775808, 1.5, 0.1, -123456789.125, 1, "
             "'2024-02-29', '13:45:07', '2024-02-29 13:45:07.123', 'Unicode ☃', 'ab', " + Quoted(kText) +
                 ", X'00FF10')",
             "INSERT INTO t(id) VALUES(2)",
             "INSERT INTO t VALUES(3, 32767, -2147483648, 9223372036854775807, 0.25, -1e300, 0, 0, '2000-01-01', "
             "'00:00:00', '1999-12-31 23:59:59', '', '', '', X'')"},
            {{"tx", kText}, {"vc", "Unicode ☃"}, {"by", "00ff10"}, {"i8", "-9223372036854775808"},
             {"ts", "2024-02-29T13:45:07.123"}}};
}

class DatabaseSaveTest : public DatabaseTest {};

} // namespace

TEST_P(DatabaseSaveTest, EveryTypeNullAndUnicodeComeBackFromBothFormats)
{
    Schema schema = SchemaFor(IsPostgres());
    if (IsPostgres())
        Exec("SET client_encoding = 'UTF8'");
    Exec(schema.create);
    for (const std::string& sql : schema.inserts)
        Exec(sql);

    ConnectionPtr cn = Connection::Create();
    cn->Open(ConnectionString());
    const std::string sql = "SELECT * FROM t ORDER BY id";
    Direct direct = ReadAll(cn->Execute(sql));
    ASSERT_EQ(direct.rows.size(), 3u);

    auto columnIndex = [&](const std::string& name) {
        for (size_t i = 0; i < direct.columns.size(); ++i)
            if (direct.columns[i].name == name)
                return i;
        ADD_FAILURE() << "no column " << name;
        return size_t{0};
    };
    // The recordset itself delivers the literals; the files must then hold the same.
    for (const auto& [name, expected] : schema.row1) {
        size_t i = columnIndex(name);
        EXPECT_EQ(Canonical(direct.columns[i].type, direct.rows[0][i]), expected) << name;
    }

    std::string xmlPath = NewTempPath(".xml");
    cn->Execute(sql)->Save(xmlPath, adPersistXML);
    ExpectXmlHolds(xmlPath, direct);

    std::string adtgPath = NewTempPath(".adtg");
    cn->Execute(sql)->Save(adtgPath, adPersistADTG);
    ExpectAdtgHolds(adtgPath, direct);
}

// Schema rowsets are built in memory rather than fetched; they save like any recordset, with
// their typed columns (unsigned, boolean, GUID, long text), NULLs and non-ASCII names.
TEST_P(DatabaseSaveTest, SchemaRowsetsSaveInBothFormats)
{
    Exec("CREATE TABLE \"Größe\" (id INTEGER PRIMARY KEY, \"maß\" VARCHAR(20) DEFAULT 'x', note TEXT)");
    Exec("CREATE INDEX \"ix_Größe\" ON \"Größe\" (\"maß\")");
    ConnectionPtr cn = Connection::Create();
    cn->Open(ConnectionString());
    const _variant_t none;
    struct Case {
        SchemaEnum schema;
        std::vector<_variant_t> restrictions;
        size_t minRows;
    };
    const std::vector<Case> cases = {
        {adSchemaTables, {none, none, _variant_t("Größe")}, 1},
        {adSchemaColumns, {none, none, _variant_t("Größe")}, 3},
        {adSchemaIndexes, {none, none, none, none, _variant_t("Größe")}, 1},
        {adSchemaProviderTypes, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(fmt::format("schema {}", static_cast<int>(c.schema)));
        Direct direct = ReadAll(cn->OpenSchema(c.schema, c.restrictions));
        ASSERT_GE(direct.rows.size(), c.minRows);
        std::string xmlPath = NewTempPath(".xml");
        cn->OpenSchema(c.schema, c.restrictions)->Save(xmlPath, adPersistXML);
        ExpectXmlHolds(xmlPath, direct);
        std::string adtgPath = NewTempPath(".adtg");
        cn->OpenSchema(c.schema, c.restrictions)->Save(adtgPath, adPersistADTG);
        ExpectAdtgHolds(adtgPath, direct);
    }
}

// A text value with a control character XML cannot hold: the XML save fails naming the row
// and column and leaves no file; the ADTG save, which can hold it, succeeds.
TEST_P(DatabaseSaveTest, XmlRefusesControlCharactersNamingRowAndColumn)
{
    Exec("CREATE TABLE c(id integer, note varchar(40))");
    Exec("INSERT INTO c VALUES(1, 'plain')");
    Exec(IsPostgres() ? "INSERT INTO c VALUES(2, 'bell' || chr(7))" : "INSERT INTO c VALUES(2, 'bell' || char(7))");
    ConnectionPtr cn = Connection::Create();
    cn->Open(ConnectionString());

    std::string path = NewTempPath(".xml");
    try {
        cn->Execute("SELECT id, note FROM c ORDER BY id")->Save(path, adPersistXML);
        ADD_FAILURE() << "no error";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), MakeControlHResult(adErrDataConversion));
        EXPECT_NE(e.Description().find("Row 2, column 'note'"), std::string::npos) << e.Description();
        EXPECT_NE(e.Description().find("U+0007"), std::string::npos) << e.Description();
    }
    EXPECT_FALSE(fs::exists(path));

    std::string adtgPath = NewTempPath(".adtg");
    cn->Execute("SELECT id, note FROM c ORDER BY id")->Save(adtgPath, adPersistADTG);
    AdtgDocument doc = ReadAdtg(FileBytes(adtgPath));
    ASSERT_EQ(doc.rows.size(), 2u);
    EXPECT_EQ(doc.rows[1][1].ToString(), "bell\x07");
}

TORVANE_INSTANTIATE_FOR_DRIVERS(DatabaseSaveTest);
