// The loader's conversions from the provider-types rowset's values to the dialog's texts.
#include "modules/providertypes/ProviderTypeInfo.h"

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>

namespace {

_variant_t Bool(VARIANT_BOOL raw)
{
    _variant_t v = _variant_t::OfType(VT_BOOL);
    v.num.boolVal = raw;
    return v;
}

_variant_t UInt32(uint32_t n)
{
    _variant_t v = _variant_t::OfType(VT_UI4);
    v.num.ulVal = n;
    return v;
}

struct ConversionCase {
    const char* name;
    TypeDetail detail;
    _variant_t value;
    const char* text;
};

TEST(ProviderTypeInfo, ConvertsEachColumnAsTheDialogShowsIt)
{
    const ConversionCase cases[] = {
        {"nullable true", TypeDetail::IsNullable, Bool(VARIANT_TRUE), "Yes"},
        {"nullable false", TypeDetail::IsNullable, Bool(VARIANT_FALSE), "No"},
        {"nullable null", TypeDetail::IsNullable, _variant_t::Null(), "<Unknown>"},
        {"nullable odd boolean", TypeDetail::IsNullable, Bool(1), "<Unknown>"},
        {"unsigned true", TypeDetail::UnsignedAttribute, Bool(VARIANT_TRUE), "Unsigned"},
        {"unsigned false", TypeDetail::UnsignedAttribute, Bool(VARIANT_FALSE), "Signed"},
        // A character type has no sign: the provider says NULL, which is no "Signed".
        {"unsigned null", TypeDetail::UnsignedAttribute, _variant_t::Null(), "<Not applicable>"},
        {"unsigned empty", TypeDetail::UnsignedAttribute, _variant_t(), "<Not applicable>"},
        {"fixed length null", TypeDetail::IsFixedLength, _variant_t::Null(), "<Not known>"},
        {"fixed length true", TypeDetail::IsFixedLength, Bool(VARIANT_TRUE), "Yes"},
        {"case sensitive null", TypeDetail::CaseSensitive, _variant_t::Null(), ""},
        {"case sensitive true", TypeDetail::CaseSensitive, Bool(VARIANT_TRUE), "Yes"},
        {"fixed prec false", TypeDetail::FixedPrecScale, Bool(VARIANT_FALSE), "No"},
        {"auto unique null", TypeDetail::AutoUniqueValue, _variant_t::Null(), ""},
        {"is long true", TypeDetail::IsLong, Bool(VARIANT_TRUE), "Yes"},
        {"best match false", TypeDetail::BestMatch, Bool(VARIANT_FALSE), "No"},
        {"boolean as a number", TypeDetail::IsLong, _variant_t(int32_t(1)), "Yes"},
        {"boolean as text", TypeDetail::IsLong, _variant_t("maybe"), ""},
        {"searchable 1", TypeDetail::Searchable, UInt32(1), "No"},
        {"searchable 2", TypeDetail::Searchable, UInt32(2), "Only with LIKE"},
        {"searchable 3", TypeDetail::Searchable, UInt32(3), "All except LIKE"},
        {"searchable 4", TypeDetail::Searchable, UInt32(4), "Yes"},
        {"searchable other", TypeDetail::Searchable, UInt32(7), ""},
        {"column size", TypeDetail::ColumnSize, UInt32(2147483647), "2147483647"},
        {"column size null", TypeDetail::ColumnSize, _variant_t::Null(), ""},
        {"ado type", TypeDetail::AdoType, _variant_t(int16_t(3)), "(adInteger) A 4-byte signed integer"},
        {"local type name", TypeDetail::LocalTypeName, _variant_t("int4"), "int4"},
        {"minimum scale", TypeDetail::MinimumScale, _variant_t(int16_t(-2)), "-2"},
        {"maximum scale null", TypeDetail::MaximumScale, _variant_t::Null(), ""},
        {"create params", TypeDetail::CreateParams, _variant_t("precision,scale"), "precision,scale"},
        {"guid null", TypeDetail::Guid, _variant_t::Null(), ""},
    };
    for (const ConversionCase& c : cases)
        EXPECT_EQ(ConvertTypeDetail(c.detail, c.value), wxString(c.text)) << c.name;
}

TEST(ProviderTypeInfo, ValuesThatDoNotConvertAreRefused)
{
    // The loader leaves the field empty for these.
    EXPECT_THROW(ConvertTypeDetail(TypeDetail::AdoType, _variant_t::Null()), _com_error);
    EXPECT_THROW(ConvertTypeDetail(TypeDetail::AdoType, _variant_t(int32_t(70000))), _com_error);
    EXPECT_THROW(ConvertTypeDetail(TypeDetail::Searchable, _variant_t::Null()), _com_error);
}

TEST(ProviderTypeInfo, LiteralJoinsPrefixAndSuffix)
{
    const struct {
        _variant_t prefix, suffix;
        const char* text;
    } cases[] = {
        {_variant_t("'"), _variant_t("'"), "', '"},
        {_variant_t("X'"), _variant_t::Null(), "X'"},
        {_variant_t::Null(), _variant_t("'"), ", '"},
        {_variant_t::Null(), _variant_t::Null(), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConvertLiteralDetail(c.prefix, c.suffix), wxString(c.text));
}

TEST(ProviderTypeInfo, DetailsRunInTheDialogsOrder)
{
    const auto& specs = GetTypeDetailSpecs();
    for (size_t i = 0; i < specs.size(); ++i) {
        EXPECT_EQ(static_cast<size_t>(specs[i].detail), i);
        EXPECT_EQ(specs[i].controlId, 203 + static_cast<int>(i));
        EXPECT_EQ(strlen(specs[i].reportLabel), 22u) << specs[i].reportLabel;
    }
}

} // namespace
