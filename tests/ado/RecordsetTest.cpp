#include "AdoTestHelpers.h"

#include <fmt/format.h>

using namespace ado;
using namespace adotest;

class AdoRecordset : public torvane::test::DatabaseTest {
protected:
    ConnectionPtr Open() { return Connect(ConnectionString()); }

    RecordsetPtr Query(const ConnectionPtr& cn, const std::string& sql)
    {
        auto rs = Recordset::Create();
        rs->Open(_variant_t(sql), cn, adOpenForwardOnly, adLockReadOnly, adCmdText);
        return rs;
    }
};

TEST_P(AdoRecordset, ValuesKeepTheirTypesAndNullsStayNull)
{
    struct Expect {
        const char* column;
        DataTypeEnum type;
        VARTYPE vt;
        const char* text;              // the variant's ToString
        const char* raw = nullptr;     // AppendCellText where it gives the database's own text
    };
    std::vector<Expect> expected;
    auto cn = Open();
    if (IsSqlite()) {
        cn->Execute("create table types (i integer, si smallint, bi bigint, r real, n numeric(10,2), t text, "
                    "vc varchar(20), b blob, dt date, ts timestamp, tm time, bo boolean)");
        cn->Execute("insert into types values (2147483647, -32768, 9223372036854775807, -2.25e-10, 12.5, 'text', "
                    "'vc', x'00ff10', '2024-02-29', '2024-01-02 03:04:05', '13:14:15', 1)");
        expected = {
            {"i", adInteger, VT_I4, "2147483647"},
            {"si", adSmallInt, VT_I2, "-32768"},
            {"bi", adBigInt, VT_I8, "9223372036854775807"},
            {"r", adDouble, VT_R8, "-2.25E-10", "-2.25e-10"},
            {"n", adDouble, VT_R8, "12.5"},
            {"t", adLongVarChar, VT_BSTR, "text"},
            {"vc", adVarChar, VT_BSTR, "vc"},
            // Values of any length: the driver's size of a BLOB column is made up.
            {"b", adLongVarBinary, VT_ARRAY | VT_UI1, std::string("\0\xff\x10", 3).c_str()},
            {"dt", adDBDate, VT_DATE, "2024-02-29"},
            {"ts", adDBTimeStamp, VT_DATE, "2024-01-02 03:04:05"},
            {"tm", adDBTime, VT_DATE, "13:14:15"},
            {"bo", adBoolean, VT_BOOL, "True", "1"},
        };
    } else {
        cn->Execute("create table types (i integer, si smallint, bi bigint, r real, d double precision, "
                    "n numeric(10,2), t text, vc varchar(20), b bytea, dt date, ts timestamp, tm time, bo boolean, "
                    "u uuid, c char(3))");
        cn->Execute("insert into types values (2147483647, -32768, 9223372036854775807, 1.5, -2.25e-10, 12.34, "
                    "'text', 'vc', '\\x00ff10', '2024-02-29', '2024-01-02 03:04:05', '13:14:15', true, "
                    "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11', 'ab')");
        expected = {
            {"i", adInteger, VT_I4, "2147483647"},
            {"si", adSmallInt, VT_I2, "-32768"},
            {"bi", adBigInt, VT_I8, "9223372036854775807"},
            {"r", adSingle, VT_R4, "1.5"},
            {"d", adDouble, VT_R8, "-2.25E-10", "-2.25e-10"},
            {"n", adNumeric, VT_DECIMAL, "12.34"},
            {"t", adLongVarWChar, VT_BSTR, "text"},
            {"vc", adVarWChar, VT_BSTR, "vc"},
            {"b", adLongVarBinary, VT_ARRAY | VT_UI1, nullptr},
            {"dt", adDBDate, VT_DATE, "2024-02-29"},
            {"ts", adDBTimeStamp, VT_DATE, "2024-01-02 03:04:05"},
            {"tm", adDBTime, VT_DATE, "13:14:15"},
            {"bo", adVarChar, VT_BSTR, "1"}, // the driver sends booleans as text by default
            {"u", adGUID, VT_BSTR, "{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}", "A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11"},
            {"c", adWChar, VT_BSTR, "ab "},
        };
    }
    cn->Execute("insert into types (i) values (null)");

    auto rs = Query(cn, "select * from types order by case when si is null then 1 else 0 end");
    auto fields = rs->GetFields();
    ASSERT_EQ(fields->GetCount(), static_cast<long>(expected.size()));
    std::string text;
    for (size_t i = 0; i < expected.size(); ++i) {
        const Expect& e = expected[i];
        auto f = fields->GetItem(static_cast<long>(i));
        SCOPED_TRACE(e.column);
        EXPECT_EQ(f->GetName(), e.column);
        EXPECT_EQ(f->GetType(), e.type);
        EXPECT_NE(f->GetAttributes() & adFldMayBeNull, 0);
        _variant_t v = f->GetValue();
        EXPECT_EQ(v.vt, e.vt);
        text.clear();
        EXPECT_TRUE(rs->AppendCellText(static_cast<long>(i), text));
        if (v.vt == (VT_ARRAY | VT_UI1)) {
            EXPECT_EQ(v.bytes, (std::vector<uint8_t>{0x00, 0xff, 0x10}));
            EXPECT_EQ(text, std::string("\0\xff\x10", 3));
            EXPECT_EQ(f->GetActualSize(), 3);
        } else {
            EXPECT_EQ(v.ToString(), e.text);
            EXPECT_EQ(text, e.raw ? e.raw : e.text);
        }
    }
    EXPECT_EQ(fields->GetItem("VC")->GetDefinedSize(), 20);

    rs->MoveNext();
    ASSERT_FALSE(rs->IsEOF());
    for (long i = 0; i < fields->GetCount(); ++i) {
        if (i == 0)
            continue; // the only column given a value (NULL) above is i itself; all are NULL
        EXPECT_TRUE(rs->GetCollect(i).IsNull()) << expected[static_cast<size_t>(i)].column;
        text = "kept";
        EXPECT_FALSE(rs->AppendCellText(i, text));
        EXPECT_EQ(text, "kept");
        EXPECT_EQ(fields->GetItem(i)->GetActualSize(), -1);
    }
    EXPECT_TRUE(rs->GetCollect(0L).IsNull());
    rs->MoveNext();
    EXPECT_TRUE(rs->IsEOF());
}

TEST_P(AdoRecordset, UnicodeTextAndNamesRoundTrip)
{
    auto cn = Open();
    const std::string values[] = {"héllo", "€ 100", "𝄞 clef", "Ünïcödé 日本語 ✓", ""};
    cn->Execute("create table u (id integer, v varchar(50))");
    for (size_t i = 0; i < std::size(values); ++i)
        cn->Execute(fmt::format("insert into u values ({}, '{}')", i, values[i]));
    auto rs = Query(cn, "select v as \"naïve_名前\" from u order by id");
    EXPECT_EQ(rs->GetFields()->GetItem(0L)->GetName(), "naïve_名前");
    for (const auto& expected : values) {
        ASSERT_FALSE(rs->IsEOF());
        EXPECT_EQ(rs->GetCollect(0L).ToString(), expected);
        rs->MoveNext();
    }
    auto one = Query(cn, "select v from u where id = 2");
    EXPECT_EQ(one->GetFields()->GetItem(0L)->GetActualSize(), 6) << "characters, not bytes: 𝄞 clef";
}

// Names holding dots are the names the query gave, wherever the driver keeps them whole (the
// SQLite driver cuts them at their last dot in its description of a column).
TEST_P(AdoRecordset, ColumnNamesWithDotsArriveWhole)
{
    auto cn = Open();
    cn->Execute("create table t (a integer, \"b.c\" integer)");
    cn->Execute("create table u (a integer)");
    cn->Execute("insert into t values (1, 2)");
    cn->Execute("insert into u values (3)");
    struct Case {
        const char* sql;
        std::vector<std::string> names;
    } cases[] = {
        {"select 1 as \"x.y\", 2 as \"..\", 3 as \"a.b.c\", 4 as \"é.ü\", 5 as plain", {"x.y", "..", "a.b.c", "é.ü", "plain"}},
        {"select t.\"b.c\", u.a, t.a as \"t.a\" from t, u", {"b.c", "a", "t.a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        auto results = RunAll(cn, c.sql);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].names, c.names);
        EXPECT_EQ(results[0].cells.size(), 1u);
    }
}

TEST_P(AdoRecordset, LongTextAndBinaryValuesArriveWhole)
{
    auto cn = Open();
    std::string longText;
    for (int i = 0; i < 30000; ++i)
        longText += fmt::format("{:05}é;,\"'", i);
    std::string hex;
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 100000; ++i) {
        bytes.push_back(static_cast<uint8_t>(i * 7));
        hex += fmt::format("{:02x}", bytes.back());
    }
    std::string quoted;
    for (char c : longText)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    cn->Execute(IsSqlite() ? "create table big (t text, b blob)" : "create table big (t text, b bytea)");
    cn->Execute(IsSqlite() ? fmt::format("insert into big values ('{}', x'{}')", quoted, hex)
                           : fmt::format("insert into big values ('{}', decode('{}', 'hex'))", quoted, hex));
    auto rs = Query(cn, "select t, b from big");
    _variant_t t = rs->GetCollect(0L);
    _variant_t b = rs->GetCollect(1L);
    EXPECT_EQ(t.str.size(), longText.size());
    EXPECT_TRUE(t.str == longText);
    EXPECT_EQ(b.bytes.size(), bytes.size());
    EXPECT_TRUE(b.bytes == bytes);
    EXPECT_EQ(rs->GetFields()->GetItem(0L)->GetActualSize(), 30000 * 10);
    EXPECT_EQ(rs->GetFields()->GetItem(1L)->GetActualSize(), 100000);
    std::string text;
    rs->AppendCellText(0, text);
    EXPECT_TRUE(text == longText);
}

TEST_P(AdoRecordset, LongValuesAnywhereInABlockAreReadInFull)
{
    auto cn = Open();
    cn->Execute("create table mixed (id integer, v varchar(10000))");
    std::string batch;
    for (int i = 1; i <= 250; ++i) {
        int length = i % 10 == 3 ? 6000 + i : i % 50;
        batch += fmt::format("insert into mixed values ({}, '{}');", i, std::string(static_cast<size_t>(length), 'a' + i % 26));
    }
    RunAll(cn, batch);
    auto rs = Recordset::Create();
    rs->PutCacheSize(64);
    rs->Open(_variant_t("select id, v from mixed order by id"), cn, adOpenForwardOnly, adLockReadOnly, adCmdText);
    int rows = 0;
    for (; !rs->IsEOF(); rs->MoveNext()) {
        int id = rs->GetCollect(0L).ToLong();
        int length = id % 10 == 3 ? 6000 + id : id % 50;
        ASSERT_EQ(rs->GetCollect(1L).ToString(), std::string(static_cast<size_t>(length), 'a' + id % 26)) << id;
        ++rows;
    }
    EXPECT_EQ(rows, 250);
}

TEST_P(AdoRecordset, BatchesReturnEveryResultWithItsRowCount)
{
    auto cn = Open();
    auto results = RunAll(cn,
                          "create table r (id integer);\n"
                          "insert into r values (1);\n"
                          "insert into r values (2), (3);\n"
                          "select id from r order by id;\n"
                          "update r set id = id + 10 where id > 1;\n"
                          "-- a comment; with a semicolon\n"
                          "delete from r where id = 1;\n"
                          "select count(*) as n from r");
    ASSERT_EQ(results.size(), 7u);
    EXPECT_FALSE(results[0].rows);
    EXPECT_EQ(results[1].recordsAffected, 1);
    EXPECT_EQ(results[2].recordsAffected, 2);
    ASSERT_TRUE(results[3].rows);
    EXPECT_EQ(results[3].recordsAffected, -1);
    EXPECT_EQ(results[3].cells, (std::vector<std::vector<std::string>>{{"1"}, {"2"}, {"3"}}));
    EXPECT_EQ(results[4].recordsAffected, 2);
    EXPECT_EQ(results[5].recordsAffected, 1);
    ASSERT_TRUE(results[6].rows);
    EXPECT_EQ(results[6].names, std::vector<std::string>{"n"});
    EXPECT_EQ(results[6].cells.at(0).at(0), "2");

    // An UPDATE that touches nothing counts 0, not "unknown".
    EXPECT_EQ(RunAll(cn, "update r set id = 0 where id < 0").at(0).recordsAffected, 0);
}

TEST_P(AdoRecordset, TriggerBodiesWithSemicolonsRunWhole)
{
    auto cn = Open();
    std::string trigger = IsSqlite()
        ? "create trigger audit_insert after insert on audited begin\n"
          "  insert into audit values (new.id, 'added; once');\n"
          "  insert into audit values (new.id * 10, 'and -- twice');\n"
          "end;\n"
        : "create function audit_row() returns trigger language plpgsql as $$ begin\n"
          "  insert into audit values (new.id, 'added; once');\n"
          "  insert into audit values (new.id * 10, 'and -- twice');\n"
          "  return new;\n"
          "end $$;\n"
          "create trigger audit_insert after insert on audited for each row execute function audit_row();\n";
    auto results = RunAll(cn, "create table audited (id integer); create table audit (id integer, what varchar(40));\n" + trigger +
                                  "insert into audited values (7); select id, what from audit order by id");
    ASSERT_FALSE(results.empty());
    ASSERT_TRUE(results.back().rows);
    EXPECT_EQ(results.back().cells, (std::vector<std::vector<std::string>>{{"7", "added; once"}, {"70", "and -- twice"}}));
}

TEST_P(AdoRecordset, ErrorsCarryTheDriversSqlState)
{
    auto cn = Open();
    cn->Execute("create table uq (id integer primary key)");
    cn->Execute("insert into uq values (1)");
    struct Case {
        const char* sql;
        const char* sqlite;
        const char* postgres;
        const char* textPart;
    } cases[] = {
        {"select * from no_such_table", "HY000", "42P01", "no_such_table"},
        {"selec 1", "HY000", "42601", "selec"},
        {"select * from naïve_𝄞", "HY000", "42P01", "naïve_𝄞"},
        {"insert into uq values (1)", "HY000", "23505", "uq"},
    };
    for (const auto& c : cases) {
        try {
            cn->Execute(c.sql);
            ADD_FAILURE() << "no error: " << c.sql;
        } catch (const _com_error& e) {
            auto errors = cn->GetErrors();
            ASSERT_GE(errors->GetCount(), 1) << c.sql;
            auto first = errors->GetItem(0);
            EXPECT_EQ(first->GetSQLState(), IsSqlite() ? c.sqlite : c.postgres) << c.sql;
            EXPECT_EQ(first->GetDescription(), e.Description());
            EXPECT_NE(e.Description().find(c.textPart), std::string::npos) << e.Description();
            EXPECT_FALSE(first->GetSource().empty());
            EXPECT_TRUE(FAILED(first->GetNumber()));
        }
    }
    EXPECT_EQ(Scalar(cn, "select count(*) from uq"), "1") << "the connection goes on working";
}

TEST_P(AdoRecordset, AnErrorInsideABatchIsNeverSilent)
{
    auto cn = Open();
    cn->Execute("create table e (id integer)");
    bool thrown = false;
    try {
        RunAll(cn, "insert into e values (1); insert into no_such values (2); insert into e values (3)");
    } catch (const _com_error& e) {
        thrown = true;
        EXPECT_NE(e.Description().find("no_such"), std::string::npos) << e.Description();
    }
    EXPECT_TRUE(thrown);
    // PostgreSQL runs a multi-statement string as one transaction; the split batch of SQLite
    // stops at the failing statement.
    EXPECT_EQ(Scalar(cn, "select count(*) from e"), IsSqlite() ? "1" : "0");
}

TEST_P(AdoRecordset, MaxRecordsAndCacheSizeLimitAndBlockTheRows)
{
    auto cn = Open();
    cn->Execute("create table seq (id integer)");
    std::string values;
    for (int i = 1; i <= 1000; ++i)
        values += fmt::format("{}({})", i == 1 ? "" : ",", i);
    cn->Execute("insert into seq values " + values);

    auto rs = Recordset::Create();
    rs->PutCacheSize(7);
    EXPECT_EQ(rs->GetCacheSize(), 7);
    rs->Open(_variant_t("select id from seq order by id"), cn, adOpenForwardOnly, adLockReadOnly, adCmdText);
    long sum = 0;
    for (; !rs->IsEOF(); rs->MoveNext())
        sum += rs->GetCollect(0L).ToLong();
    EXPECT_EQ(sum, 500500);
    EXPECT_EQ(ErrorOf([&] { rs->PutMaxRecords(5); }), AdoError(adErrObjectOpen));
    rs->Close();

    rs->PutMaxRecords(5);
    rs->Open(_variant_t("select id from seq order by id; select count(*) from seq"), cn, adOpenForwardOnly,
             adLockReadOnly, adCmdText);
    int rows = 0;
    for (; !rs->IsEOF(); rs->MoveNext())
        ++rows;
    EXPECT_EQ(rows, 5);
    ASSERT_TRUE(rs->NextRecordset());
    EXPECT_EQ(rs->GetCollect(0L).ToString(), "1000") << "the limit counts rows per result";
    EXPECT_EQ(ErrorOf([&] { rs->PutCacheSize(0); }), AdoError(adErrInvalidArgument));
}

TEST_P(AdoRecordset, CursorStateErrorsFollowTheObjectModel)
{
    auto cn = Open();
    auto rs = Query(cn, "select 1 as a where 1 = 0");
    EXPECT_EQ(rs->GetState(), adStateOpen);
    EXPECT_TRUE(rs->IsBOF());
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), AdoError(adErrNoCurrentRecord));
    EXPECT_EQ(ErrorOf([&] { rs->GetCollect(0L); }), AdoError(adErrNoCurrentRecord));
    EXPECT_EQ(ErrorOf([&] { rs->GetCollect(5L); }), AdoError(adErrItemNotFound));
    EXPECT_EQ(ErrorOf([&] { rs->GetFields()->GetItem("nope"); }), AdoError(adErrItemNotFound));
    EXPECT_EQ(ErrorOf([&] { rs->Open(_variant_t("select 1"), cn, adOpenForwardOnly, adLockReadOnly, adCmdText); }),
              AdoError(adErrObjectOpen));
    EXPECT_EQ(ErrorOf([&] { rs->Save("", adPersistXML); }), AdoError(adErrInvalidArgument));
    rs->Close();
    EXPECT_EQ(rs->GetState(), adStateClosed);
    EXPECT_EQ(ErrorOf([&] { rs->Close(); }), AdoError(adErrObjectClosed));
    EXPECT_EQ(ErrorOf([&] { rs->IsEOF(); }), AdoError(adErrObjectClosed));
    EXPECT_EQ(ErrorOf([&] { rs->NextRecordset(); }), AdoError(adErrObjectClosed));
    EXPECT_EQ(rs->GetFields()->GetCount(), 0);

    auto two = Query(cn, "select 1 as a; select 2 as b");
    FieldPtr a = two->GetFields()->GetItem(0L);
    EXPECT_EQ(a->GetValue().ToLong(), 1);
    EXPECT_EQ(two->NextRecordset(), two) << "the next result comes in the same object";
    EXPECT_EQ(ErrorOf([&] { a->GetValue(); }), AdoError(adErrObjectClosed)) << "a field of an earlier result";
    EXPECT_EQ(two->GetFields()->GetItem(0L)->GetName(), "b");
    EXPECT_EQ(two->NextRecordset(), nullptr);
    EXPECT_EQ(two->GetState(), adStateClosed);

    auto closedConnection = Connection::Create();
    EXPECT_EQ(ErrorOf([&] { Recordset::Create()->Open(_variant_t("select 1"), closedConnection, adOpenForwardOnly, adLockReadOnly, adCmdText); }),
              AdoError(adErrInvalidConnection));
    EXPECT_EQ(ErrorOf([&] { Recordset::Create()->Open(_variant_t("select 1"), nullptr, adOpenForwardOnly, adLockReadOnly, adCmdText); }),
              AdoError(adErrInvalidConnection));
}

TEST_P(AdoRecordset, TableAndNoRecordsOptions)
{
    auto cn = Open();
    cn->Execute("create table opt (id integer)");
    _variant_t affected;
    EXPECT_EQ(cn->Execute("insert into opt values (1); insert into opt values (2)", &affected, long(adCmdText) | adExecuteNoRecords),
              nullptr);
    EXPECT_EQ(affected.ToLong(), 1);
    EXPECT_EQ(Scalar(cn, "select count(*) from opt"), "2") << "every statement ran";
    auto rs = Recordset::Create();
    rs->Open(_variant_t("opt"), cn, adOpenForwardOnly, adLockReadOnly, adCmdTable);
    EXPECT_EQ(rs->GetFields()->GetItem(0L)->GetName(), "id");
}

TORVANE_INSTANTIATE_FOR_DRIVERS(AdoRecordset);
