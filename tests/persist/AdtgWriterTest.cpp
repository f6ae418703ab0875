// The TableGram writer against the published format's own example, and the encoding of every
// column type read back by an independent reader.
#include "AdtgReader.h"

#include "ado/AdtgWriter.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

using namespace ado;
using namespace torvane::test;

namespace {

// The format description's example of a query response (an execute response carrying the
// Publishers row of the pubs sample database), as its hexadecimal dump shows it. The TableGram
// runs from offset 0x1B6 (the header token) to 0x49D (the done token).
const char* kExampleResponseDump = R"(
 000001B0  00 AA 00 5F FE 58 01 07 54 47 21 00 00 00 00 02 ..._.X..TG!.....
 000001C0  19 00 B6 92 F2 3F 04 B2 CF 11 8D 23 00 AA 00 5F .....?.....#..._
 000001D0  FE 58 01 00 00 00 00 00 00 03 00 03 67 00 D2 AD .X..........g...
 000001E0  63 F6 02 EB CF 11 B0 E3 00 AA 00 3F 00 0F 00 00 c..........?....
 000001F0  00 05 00 05 00 00 00 01 00 00 00 01 00 00 00 01 ................
 00000200  00 C1 3C 8E B6 EB 6D D0 11 8D F6 00 AA 00 5F FE ..<...m......._.
 00000210  58 07 00 0B 00 00 00 04 00 01 00 00 00 13 00 00 X...............
 00000220  00 04 00 01 00 00 00 0D 00 00 00 00 00 0E 00 00 ................
 00000230  00 00 00 0F 00 00 00 00 00 10 00 00 00 00 00 12 ................
 00000240  00 00 00 00 00 10 7C 00 02 00 BE 22 B5 C8 F3 5C ......|...."...\
 00000250  CE 11 AD E5 00 AA 00 44 77 3D 04 00 7F 00 00 00 .......Dw=......
 00000260  02 00 FF FF 86 00 00 00 02 00 FF FF 22 00 00 00 ............"...
 00000270  04 00 1E 00 00 00 49 00 00 00 04 00 00 00 00 00 ......I.........
 00000280  C1 3C 8E B6 EB 6D D0 11 8D F6 00 AA 00 5F FE 58 .<...m......._.X
 00000290  05 00 04 00 00 00 04 00 0F 00 00 00 05 00 00 00 ................
 000002A0  04 00 02 00 00 00 03 00 00 00 04 00 0F 00 00 00 ................
 000002B0  07 00 00 00 04 00 32 00 00 00 08 00 00 00 04 00 ......2.........
 000002C0  03 00 00 00 05 4A 00 01 00 14 00 22 00 70 00 75 .....J.....".p.u
 000002D0  00 62 00 73 00 22 00 2E 00 2E 00 22 00 50 00 75 .b.s.".....".P.u
 000002E0  00 62 00 6C 00 69 00 73 00 68 00 65 00 72 00 73 .b.l.i.s.h.e.r.s
 000002F0  00 22 00 0A 00 50 00 75 00 62 00 6C 00 69 00 73 ."...P.u.b.l.i.s
 00000300  00 68 00 65 00 72 00 73 00 00 00 05 00 01 00 01 .h.e.r.s........
 00000310  00 06 45 00 F2 01 00 01 00 06 00 70 00 75 00 62 ..E........p.u.b
 00000320  00 5F 00 69 00 64 00 01 00 01 00 06 00 70 00 75 ._.i.d.......p.u
 00000330  00 62 00 5F 00 69 00 64 00 81 00 04 00 00 00 FF .b._.i.d........
 00000340  00 00 00 FF 00 00 00 18 80 00 00 04 00 70 00 75 .............p.u
 00000350  00 62 00 73 00 00 00 FF FF 06 4D 00 F2 01 00 02 .b.s......M.....
 00000360  00 08 00 70 00 75 00 62 00 5F 00 6E 00 61 00 6D ...p.u.b._.n.a.m
 00000370  00 65 00 01 00 02 00 08 00 70 00 75 00 62 00 5F .e.......p.u.b._
 00000380  00 6E 00 61 00 6D 00 65 00 81 00 28 00 00 00 FF .n.a.m.e...(....
 00000390  00 00 00 FF 00 00 00 68 00 00 00 04 00 70 00 75 .......h.....p.u
 000003A0  00 62 00 73 00 00 00 FF FF 06 3D 00 F2 01 00 03 .b.s......=.....
 000003B0  00 04 00 63 00 69 00 74 00 79 00 01 00 03 00 04 ...c.i.t.y......
 000003C0  00 63 00 69 00 74 00 79 00 81 00 14 00 00 00 FF .c.i.t.y........
 000003D0  00 00 00 FF 00 00 00 68 00 00 00 04 00 70 00 75 .......h.....p.u
 000003E0  00 62 00 73 00 00 00 FF FF 06 41 00 F2 01 00 04 .b.s......A.....
 000003F0  00 05 00 73 00 74 00 61 00 74 00 65 00 01 00 04 ...s.t.a.t.e....
 00000400  00 05 00 73 00 74 00 61 00 74 00 65 00 81 00 02 ...s.t.a.t.e....
 00000410  00 00 00 FF 00 00 00 FF 00 00 00 78 00 00 00 04 ...........x....
 00000420  00 70 00 75 00 62 00 73 00 00 00 FF FF 06 49 00 .p.u.b.s......I.
 00000430  F2 01 00 05 00 07 00 63 00 6F 00 75 00 6E 00 74 .......c.o.u.n.t
 00000440  00 72 00 79 00 01 00 05 00 07 00 63 00 6F 00 75 .r.y.......c.o.u
 00000450  00 6E 00 74 00 72 00 79 00 81 00 1E 00 00 00 FF .n.t.r.y........
 00000460  00 00 00 FF 00 00 00 68 00 00 00 04 00 70 00 75 .......h.....p.u
 00000470  00 62 00 73 00 00 00 FF FF 07 FF 30 37 33 36 0E .b.s.......0736.
 00000480  4E 65 77 20 4D 6F 6F 6E 20 42 6F 6F 6B 73 08 4E New.Moon.Books.N
 00000490  65 77 20 59 6F 72 6B 4D 41 03 55 53 41 0F 0D 0A ew.YorkMA.USA...
)";

std::string ExampleTableGram() { return BytesFromDump(kExampleResponseDump, 0x1B6, 0x49D); }

adtg::Column PubsColumn(uint16_t ordinal, const char* name, uint32_t maxLength, uint32_t flags)
{
    adtg::Column c;
    c.ordinal = ordinal;
    c.name = name;
    c.baseColumn = adtg::BaseColumn{1, ordinal, name};
    c.type = adChar;
    c.maxLength = maxLength;
    c.precision = 255;
    c.scale = 255;
    c.flags = flags;
    c.baseCatalog = "pubs";
    c.autoIncrement = false;
    return c;
}

std::string Hex(const std::string& bytes)
{
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i)
        out += fmt::format("{}{:02X}", i % 16 == 0 ? (i ? "\n" : "") : " ", static_cast<uint8_t>(bytes[i]));
    return out;
}

} // namespace

TEST(AdtgWriterTest, ReproducesThePublishedExampleByteForByte)
{
    StringOutput out;
    AdtgWriter w(out);
    w.WriteHeader();
    w.WriteHandlerOptions(adtg::kAsyncNonBlocking);

    adtg::ResultDescriptor d;
    d.visibleColumns = 5;
    d.totalColumns = 5;
    d.tableCount = 1;
    d.rowCount = 1;
    d.propertySets = {{adtg::kPropsetAdc,
                       {adtg::Property::Int(0x0B, 1), adtg::Property::Int(0x13, 1), adtg::Property::Text(0x0D, ""),
                        adtg::Property::Text(0x0E, ""), adtg::Property::Text(0x0F, ""), adtg::Property::Text(0x10, ""),
                        adtg::Property::Text(0x12, "")}}};
    w.WriteResultDescriptor(d);
    w.WriteRecordsetContext({{adtg::kPropsetRowset,
                              {adtg::Property::Bool(0x7F, true), adtg::Property::Bool(0x86, true),
                               adtg::Property::Int(0x22, 30), adtg::Property::Int(0x49, 0)}},
                             {adtg::kPropsetAdc,
                              {adtg::Property::Int(0x04, 15), adtg::Property::Int(0x05, 2), adtg::Property::Int(0x03, 15),
                               adtg::Property::Int(0x07, 50), adtg::Property::Int(0x08, 3)}}});
    w.WriteTableDescriptor({1, "\"pubs\"..\"Publishers\"", "Publishers", 5, {1}});
    w.WriteColumnDescriptor(PubsColumn(1, "pub_id", 4, 0x8018));
    w.WriteColumnDescriptor(PubsColumn(2, "pub_name", 40, 0x68));
    w.WriteColumnDescriptor(PubsColumn(3, "city", 20, 0x68));
    w.WriteColumnDescriptor(PubsColumn(4, "state", 2, 0x78));
    w.WriteColumnDescriptor(PubsColumn(5, "country", 30, 0x68));
    w.WriteRow({_variant_t("0736"), _variant_t("New Moon Books"), _variant_t("New York"), _variant_t("MA"), _variant_t("USA")},
               1);
    w.Finish();

    EXPECT_EQ(Hex(out.Data()), Hex(ExampleTableGram()));
}

TEST(AdtgWriterTest, ReaderUnderstandsThePublishedExample)
{
    AdtgDocument doc = ReadAdtg(ExampleTableGram());
    EXPECT_EQ(doc.handler, adtg::kRecordsetHandler);
    EXPECT_EQ(doc.asyncOption, 3);
    EXPECT_EQ(doc.resultId, adtg::kResultDescriptorId);
    EXPECT_EQ(doc.rowCount, 1u);
    ASSERT_EQ(doc.contextProperties.size(), 2u);
    EXPECT_EQ(doc.contextProperties[0].properties[2].integer, 30); // command timeout
    ASSERT_EQ(doc.tables.size(), 1u);
    EXPECT_EQ(doc.tables[0].originalName, "\"pubs\"..\"Publishers\"");
    EXPECT_EQ(doc.tables[0].keyColumns, std::vector<uint16_t>{1});
    ASSERT_EQ(doc.columns.size(), 5u);
    EXPECT_EQ(doc.columns[1].name, "pub_name");
    EXPECT_EQ(doc.columns[1].baseCatalog, "pubs");
    EXPECT_EQ(doc.columns[3].maxLength, 2u);
    ASSERT_EQ(doc.rows.size(), 1u);
    std::vector<std::string> texts;
    for (const _variant_t& v : doc.rows[0])
        texts.push_back(v.ToString());
    EXPECT_EQ(texts, (std::vector<std::string>{"0736", "New Moon Books", "New York", "MA", "USA"}));
}

namespace {

struct TypeCase {
    const char* label;
    DataTypeEnum type;
    uint32_t maxLength;
    uint32_t flags;
    _variant_t value;
    std::string expected; // the value read back, as text
};

adtg::Column ColumnFor(const TypeCase& tc, uint16_t ordinal)
{
    adtg::Column c;
    c.ordinal = ordinal;
    c.name = tc.label;
    c.type = tc.type;
    c.maxLength = tc.maxLength;
    c.flags = tc.flags | adFldIsNullable | adFldMayBeNull;
    return c;
}

std::string ReadBackText(const _variant_t& v)
{
    if (v.vt == VT_DATE)
        return fmt::format("{}", v.num.date);
    if (v.vt == (VT_ARRAY | VT_UI1)) {
        std::string s;
        for (uint8_t b : v.bytes)
            s += fmt::format("{:02x}", b);
        return s;
    }
    return v.ToString();
}

DECIMAL Dec(const char* text)
{
    DECIMAL d;
    EXPECT_TRUE(DECIMAL::Parse(text, d)) << text;
    return d;
}

} // namespace

// Every wire type, each column once holding a value and once NULL, read back by the reader.
TEST(AdtgWriterTest, EveryTypeRoundTripsThroughTheReader)
{
    CY cy;
    cy.int64 = -123456789; // -12345.6789
    std::string longText(300, 'x');
    std::string longHex;
    for (int i = 0; i < 300; ++i)
        longHex += "ab";
    const std::vector<TypeCase> cases = {
        {"i2", adSmallInt, 2, adFldFixed, _variant_t(int16_t{-32768}), "-32768"},
        {"i4", adInteger, 4, adFldFixed, _variant_t(int32_t{2147483647}), "2147483647"},
        {"i1", adTinyInt, 1, adFldFixed, _variant_t(int32_t{-128}), "-128"},
        {"ui1", adUnsignedTinyInt, 1, adFldFixed, _variant_t(int32_t{255}), "255"},
        {"ui2", adUnsignedSmallInt, 2, adFldFixed, _variant_t(int32_t{65535}), "65535"},
        {"ui4", adUnsignedInt, 4, adFldFixed, _variant_t::I8(4294967295LL), "4294967295"},
        {"i8", adBigInt, 8, adFldFixed, _variant_t::I8(-9223372036854775807LL - 1), "-9223372036854775808"},
        {"ui8", adUnsignedBigInt, 8, adFldFixed, _variant_t::UI8(18446744073709551615ULL), "18446744073709551615"},
        {"r4", adSingle, 4, adFldFixed, _variant_t(1.5f), "1.5"},
        {"r8", adDouble, 8, adFldFixed, _variant_t(0.1), "0.1"},
        {"cy", adCurrency, 8, adFldFixed, _variant_t(cy), "-12345.6789"},
        {"date", adDate, 8, adFldFixed, _variant_t::Date(45351.5), "45351.5"},
        {"bool", adBoolean, 2, adFldFixed, _variant_t(true), "True"},
        {"dec", adDecimal, 16, adFldFixed, _variant_t(Dec("-79228162514264337593543950335")), "-79228162514264337593543950335"},
        {"decfrac", adDecimal, 16, adFldFixed, _variant_t(Dec("0.0000000000000000000000000001")), "0.0000000000000000000000000001"},
        {"guid", adGUID, 16, adFldFixed, _variant_t("{00000535-0000-0010-8000-00AA006D2EA4}"),
         "{00000535-0000-0010-8000-00AA006D2EA4}"},
        {"dbdate", adDBDate, 6, adFldFixed, _variant_t("2024-02-29"), "2024-02-29"},
        {"dbtime", adDBTime, 6, adFldFixed, _variant_t("23:59:58"), "23:59:58"},
        {"stamp", adDBTimeStamp, 16, adFldFixed, _variant_t("1999-12-31 23:59:59.123456789"), "1999-12-31T23:59:59.123456789"},
        {"stampdate", adDBTimeStamp, 16, adFldFixed, _variant_t::Date(45351.75), "2024-02-29T18:00:00"},
        {"bytes", adBinary, 8, 0, _variant_t::Bytes({0x00, 0xFF, 0x10}), "00ff10"},
        {"longbytes", adBinary, adtg::kNoMaxLength, adFldLong, _variant_t::Bytes(std::vector<uint8_t>(300, 0xAB)), longHex},
        {"fixedbytes", adBinary, 4, adFldFixed, _variant_t::Bytes({1, 2}), "01020000"},
        {"str", adChar, 10, 0, _variant_t("abc"), "abc"},
        {"wstr", adWChar, 20, 0, _variant_t("Grüße, 世界 😀"), "Grüße, 世界 😀"},
        {"wstrlong", adWChar, 1000, 0, _variant_t(longText), longText},
        {"wstrfixed", adWChar, 5, adFldFixed, _variant_t("ab"), "ab   "},
        {"empty", adWChar, 10, 0, _variant_t(""), ""},
    };
    for (bool nulls : {false, true}) {
        StringOutput out;
        AdtgWriter w(out);
        w.WriteHeader();
        w.WriteHandlerOptions();
        adtg::ResultDescriptor d;
        d.visibleColumns = d.totalColumns = static_cast<uint16_t>(cases.size());
        d.countRows = true;
        w.WriteResultDescriptor(d);
        w.WriteRecordsetContext();
        for (size_t i = 0; i < cases.size(); ++i)
            w.WriteColumnDescriptor(ColumnFor(cases[i], static_cast<uint16_t>(i + 1)));
        std::vector<_variant_t> values;
        for (size_t i = 0; i < cases.size(); ++i)
            values.push_back(nulls && i % 3 != 1 ? _variant_t::Null() : cases[i].value);
        w.WriteRow(values, 1);
        w.WriteRow(values, 2);
        w.Finish();

        AdtgDocument doc = ReadAdtg(out.Data());
        EXPECT_EQ(doc.rowCount, 2u) << "the row count is filled in at the end";
        ASSERT_EQ(doc.rows.size(), 2u);
        for (size_t i = 0; i < cases.size(); ++i) {
            SCOPED_TRACE(cases[i].label);
            EXPECT_EQ(doc.columns[i].type, cases[i].type);
            const _variant_t& got = doc.rows[1][i];
            if (values[i].IsNull()) {
                EXPECT_TRUE(got.IsNull());
                continue;
            }
            EXPECT_EQ(ReadBackText(got), cases[i].expected);
        }
    }
}

// A value the column cannot hold stops the save with the row and the column named; nothing is
// truncated or rounded.
TEST(AdtgWriterTest, ValuesThatDoNotFitNameTheRowAndColumn)
{
    struct Case {
        const char* label;
        DataTypeEnum type;
        uint32_t maxLength;
        uint32_t flags;
        _variant_t value;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"small", adSmallInt, 2, adFldIsNullable, _variant_t(int32_t{40000}), "out of range"},
        {"whole", adInteger, 4, adFldIsNullable, _variant_t(2.5), "not a whole number"},
        {"short", adWChar, 100, adFldIsNullable, _variant_t(std::string(200, 'y')), "longer than the column's defined size"},
        {"fixed", adWChar, 2, adFldIsNullable | adFldFixed, _variant_t("abc"), "longer than the column's fixed length"},
        {"narrow", adChar, 10, adFldIsNullable, _variant_t("é"), "non-ASCII"},
        {"notnull", adInteger, 4, 0, _variant_t::Null(), "NULL in a column that does not allow NULL"},
        {"cur", adCurrency, 8, adFldIsNullable, _variant_t("1.23456"), "not a currency value"},
        {"old", adDBDate, 6, adFldIsNullable, _variant_t("12345-01-01"), "cannot be stored as a date"},
        {"r4", adSingle, 4, adFldIsNullable, _variant_t(0.1), "does not fit a 4-byte floating-point number exactly"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StringOutput out;
        AdtgWriter w(out);
        adtg::Column col;
        col.name = c.label;
        col.type = c.type;
        col.maxLength = c.maxLength;
        col.flags = c.flags;
        w.WriteColumnDescriptor(col);
        try {
            w.WriteRow({c.value}, 7);
            ADD_FAILURE() << "no error";
        } catch (const _com_error& e) {
            EXPECT_EQ(e.Error(), MakeControlHResult(adErrDataConversion));
            EXPECT_NE(e.Description().find(fmt::format("Row 7, column '{}'", c.label)), std::string::npos) << e.Description();
            EXPECT_NE(e.Description().find(c.reason), std::string::npos) << e.Description();
        }
    }
}

// Nine nullable columns need two presence bytes; the first column owns the high bit.
TEST(AdtgWriterTest, PresenceMapSpansBytesHighBitFirst)
{
    StringOutput out;
    AdtgWriter w(out);
    w.WriteHeader();
    w.WriteHandlerOptions();
    adtg::ResultDescriptor d;
    d.visibleColumns = d.totalColumns = 10;
    w.WriteResultDescriptor(d);
    w.WriteRecordsetContext();
    for (uint16_t i = 1; i <= 10; ++i) {
        adtg::Column c;
        c.ordinal = i;
        c.type = adInteger;
        c.maxLength = 4;
        c.flags = adFldFixed | (i == 5 ? 0 : adFldMayBeNull); // column 5 cannot be NULL
        w.WriteColumnDescriptor(c);
    }
    std::vector<_variant_t> row;
    for (int i = 1; i <= 10; ++i)
        row.push_back(i == 1 || i == 10 ? _variant_t::Null() : _variant_t(int32_t{i}));
    size_t rowStart = out.Data().size();
    w.WriteRow(row, 1);
    w.Finish();

    const std::string& bytes = out.Data();
    EXPECT_EQ(static_cast<uint8_t>(bytes[rowStart]), adtg::kTokenOriginalRow);
    // Nullable columns 1-4 and 6-10 own bits 0-8: column 1 is 0x80 of the first byte, column 10
    // is 0x80 of the second; the seven bits after it stay set.
    EXPECT_EQ(static_cast<uint8_t>(bytes[rowStart + 1]), 0x7F);
    EXPECT_EQ(static_cast<uint8_t>(bytes[rowStart + 2]), 0x7F);
    AdtgDocument doc = ReadAdtg(bytes);
    ASSERT_EQ(doc.rows.size(), 1u);
    EXPECT_TRUE(doc.rows[0][0].IsNull());
    EXPECT_EQ(doc.rows[0][4].ToLong(), 5);
    EXPECT_TRUE(doc.rows[0][9].IsNull());
}
