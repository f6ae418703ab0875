// The XML persistence writer against a hand-checked document, and its refusal of characters
// XML 1.0 cannot hold.
#include "RowsetXmlReader.h"

#include "ado/RowsetXmlWriter.h"

#include <gtest/gtest.h>

using namespace ado;
using namespace torvane::test;

namespace {

std::vector<XmlColumn> FixtureColumns()
{
    const long nullable = adFldIsNullable | adFldMayBeNull;
    return {
        {"id", adInteger, 4, 10, 0, adFldFixed | adFldUnknownUpdatable | adFldKeyColumn},
        {"Order Date", adDBTimeStamp, 16, 26, 6, adFldFixed | adFldIsNullable},
        {"name", adVarWChar, 50, 0, 0, nullable | adFldUpdatable},
        {"amount", adNumeric, 19, 10, 2, adFldFixed | adFldIsNullable},
        {"flag", adBoolean, 2, 0, 0, adFldFixed | adFldMayBeNull},
        {"data", adLongVarBinary, 2147483647, 0, 0, adFldLong | adFldMayBeNull},
        {"ratio", adDouble, 8, 15, 0, adFldFixed | adFldMayBeNull},
        {"name", adChar, 3, 0, 0, adFldFixed | adFldMayBeNull},
        {"a:b", adGUID, 16, 0, 0, adFldFixed | adFldMayBeNull},
        {"c8", adDBDate, 6, 0, 0, adFldFixed | adFldMayBeNull},
        {"", adCurrency, 8, 19, 0, adFldFixed | adFldMayBeNull},
        {"xmlns", adBigInt, 8, 19, 0, adFldFixed | adFldMayBeNull},
    };
}

// Checked by hand against the format: namespaces, schema attributes in the format's order,
// aliases c<index> for names that are no XML names (a space, a colon, empty, the reserved
// xmlns) or repeat an earlier one (and c8_1 because a real column is called c8), escaping with
// character references for TAB, LF and CR, NULL as a missing attribute.
const char* kFixture = R"(<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'
	xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'
	xmlns:rs='urn:schemas-microsoft-com:rowset'
	xmlns:z='#RowsetSchema'>
<s:Schema id='RowsetSchema'>
	<s:ElementType name='row' content='eltOnly'>
		<s:AttributeType name='id' rs:number='1' rs:writeunknown='true' rs:keycolumn='true'>
			<s:datatype dt:type='int' dt:maxLength='4' rs:precision='10' rs:fixedlength='true' rs:maybenull='false'/>
		</s:AttributeType>
		<s:AttributeType name='c1' rs:name='Order Date' rs:number='2' rs:nullable='true'>
			<s:datatype dt:type='dateTime' rs:dbtype='timestamp' dt:maxLength='16' rs:scale='6' rs:precision='26' rs:fixedlength='true' rs:maybenull='false'/>
		</s:AttributeType>
		<s:AttributeType name='name' rs:number='3' rs:nullable='true' rs:write='true'>
			<s:datatype dt:type='string' dt:maxLength='50'/>
		</s:AttributeType>
		<s:AttributeType name='amount' rs:number='4' rs:nullable='true'>
			<s:datatype dt:type='number' rs:dbtype='numeric' dt:maxLength='19' rs:scale='2' rs:precision='10' rs:fixedlength='true' rs:maybenull='false'/>
		</s:AttributeType>
		<s:AttributeType name='flag' rs:number='5'>
			<s:datatype dt:type='boolean' dt:maxLength='2' rs:fixedlength='true'/>
		</s:AttributeType>
		<s:AttributeType name='data' rs:number='6'>
			<s:datatype dt:type='bin.hex' dt:maxLength='2147483647' rs:long='true'/>
		</s:AttributeType>
		<s:AttributeType name='ratio' rs:number='7'>
			<s:datatype dt:type='float' dt:maxLength='8' rs:precision='15' rs:fixedlength='true'/>
		</s:AttributeType>
		<s:AttributeType name='c7' rs:name='name' rs:number='8'>
			<s:datatype dt:type='string' rs:dbtype='str' dt:maxLength='3' rs:fixedlength='true'/>
		</s:AttributeType>
		<s:AttributeType name='c8_1' rs:name='a:b' rs:number='9'>
			<s:datatype dt:type='uuid' dt:maxLength='16' rs:fixedlength='true'/>
		</s:AttributeType>
		<s:AttributeType name='c8' rs:number='10'>
			<s:datatype dt:type='date' dt:maxLength='6' rs:fixedlength='true'/>
		</s:AttributeType>
		<s:AttributeType name='c10' rs:name='' rs:number='11'>
			<s:datatype dt:type='number' rs:dbtype='currency' dt:maxLength='8' rs:precision='19' rs:fixedlength='true'/>
		</s:AttributeType>
		<s:AttributeType name='c11' rs:name='xmlns' rs:number='12'>
			<s:datatype dt:type='i8' dt:maxLength='8' rs:precision='19' rs:fixedlength='true'/>
		</s:AttributeType>
		<s:extends type='rs:rowbase'/>
	</s:ElementType>
</s:Schema>
<rs:data>
	<z:row id='1' c1='2024-02-29T13:45:07.123456' name='O&apos;Brien &amp; &lt;Sons&gt; &quot;x&quot;&#x9;tab&#xA;line&#xD;' amount='-1234.50' flag='True' data='00ff7f' ratio='0.1' c7='ab ' c8_1='{00000535-0000-0010-8000-00AA006D2EA4}' c8='1999-12-31' c10='-12.3456' c11='-9223372036854775808'/>
	<z:row id='2' name='Grüße 😀'/>
</rs:data>
</xml>
)";

std::vector<std::vector<_variant_t>> FixtureRows()
{
    DECIMAL amount;
    DECIMAL::Parse("-1234.50", amount);
    CY cash;
    cash.int64 = -123456;
    std::vector<_variant_t> first = {
        _variant_t(int32_t{1}),
        _variant_t("2024-02-29 13:45:07.123456"),
        _variant_t("O'Brien & <Sons> \"x\"\ttab\nline\r"),
        _variant_t(amount),
        _variant_t(true),
        _variant_t::Bytes({0x00, 0xFF, 0x7F}),
        _variant_t(0.1),
        _variant_t("ab "),
        _variant_t("{00000535-0000-0010-8000-00AA006D2EA4}"),
        _variant_t("1999-12-31"),
        _variant_t(cash),
        _variant_t::I8(-9223372036854775807LL - 1),
    };
    std::vector<_variant_t> second(first.size(), _variant_t::Null());
    second[0] = _variant_t(int32_t{2});
    second[2] = _variant_t("Grüße 😀");
    return {first, second};
}

std::string WriteFixture()
{
    StringOutput out;
    RowsetXmlWriter w(out, FixtureColumns());
    w.WriteSchema();
    long n = 0;
    for (const auto& row : FixtureRows())
        w.WriteRow(row, ++n);
    w.Finish();
    return out.Data();
}

} // namespace

TEST(RowsetXmlWriterTest, MatchesTheHandCheckedDocument) { EXPECT_EQ(WriteFixture(), kFixture); }

// What any XML reader makes of the document: the real names behind the aliases and the values
// exactly as they were, control characters included.
TEST(RowsetXmlWriterTest, AnXmlReaderGetsNamesAndValuesBack)
{
    XmlRowset doc = ReadRowsetXml(WriteFixture());
    std::vector<std::string> names;
    for (const XmlColumnInfo& c : doc.columns)
        names.push_back(c.columnName);
    std::vector<std::string> expectedNames;
    for (const XmlColumn& c : FixtureColumns())
        expectedNames.push_back(c.name);
    EXPECT_EQ(names, expectedNames);
    EXPECT_EQ(doc.columns[1].datatype.at("rs:dbtype"), "timestamp");

    ASSERT_EQ(doc.rows.size(), 2u);
    EXPECT_EQ(doc.rows[0][2], "O'Brien & <Sons> \"x\"\ttab\nline\r");
    EXPECT_EQ(doc.rows[0][7], "ab ");
    EXPECT_EQ(doc.rows[1][2], "Grüße 😀");
    for (size_t i : {1, 3, 4, 5, 6, 7, 8, 9, 10, 11})
        EXPECT_FALSE(doc.rows[1][i].has_value()) << "column " << i + 1 << " is NULL";
}

// Nothing is silently replaced: each character XML 1.0 cannot hold stops the save and the
// error names the row and the column.
TEST(RowsetXmlWriterTest, CharactersXmlCannotHoldNameRowAndColumn)
{
    struct Case {
        std::string text;
        const char* what;
    };
    const std::vector<Case> cases = {
        {std::string("nul\0here", 8), "U+0000"},
        {"bell\x07", "U+0007"},
        {"vertical\x0Btab", "U+000B"},
        {"form\x0C" "feed", "U+000C"},
        {"escape\x1B", "U+001B"},
        {"\xEF\xBF\xBE", "U+FFFE"},
        {"\xEF\xBF\xBF", "U+FFFF"},
        {"broken \xC3", "not valid UTF-8"},
        {"surrogate \xED\xA0\x80", "not valid UTF-8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StringOutput out;
        RowsetXmlWriter w(out, {{"id", adInteger, 4, 10, 0, adFldFixed}, {"note", adVarWChar, 100, 0, 0, adFldMayBeNull}});
        w.WriteSchema();
        w.WriteRow({_variant_t(int32_t{1}), _variant_t("fine")}, 1);
        try {
            w.WriteRow({_variant_t(int32_t{2}), _variant_t(c.text)}, 2);
            ADD_FAILURE() << "no error";
        } catch (const _com_error& e) {
            EXPECT_EQ(e.Error(), MakeControlHResult(adErrDataConversion));
            EXPECT_NE(e.Description().find("Row 2, column 'note'"), std::string::npos) << e.Description();
            EXPECT_NE(e.Description().find(c.what), std::string::npos) << e.Description();
        }
    }
}

TEST(RowsetXmlWriterTest, ColumnNameXmlCannotHoldIsRefused)
{
    StringOutput out;
    try {
        RowsetXmlWriter w(out, {{"id", adInteger, 4, 10, 0, 0}, {"bad\x01name", adVarWChar, 10, 0, 0, 0}});
        ADD_FAILURE() << "no error";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), MakeControlHResult(adErrDataConversion));
        EXPECT_NE(e.Description().find("Column 2"), std::string::npos) << e.Description();
        EXPECT_NE(e.Description().find("U+0001"), std::string::npos) << e.Description();
    }
}
