#include "common/ValueText.h"

#include "WxStringPrinter.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct VariantCase {
    const char* name;
    VARIANT value;
    const char* text;
};

VARIANT Typed(VARTYPE vt)
{
    return _variant_t::OfType(vt);
}

VARIANT Bool(VARIANT_BOOL b)
{
    VARIANT v = Typed(VT_BOOL);
    v.num.boolVal = b;
    return v;
}

VARIANT Byte(uint8_t b)
{
    VARIANT v = Typed(VT_UI1);
    v.num.bVal = b;
    return v;
}

VARIANT Currency(int64_t scaled)
{
    return _variant_t(CY{scaled});
}

TEST(VariantText, RendersEachTypeAsSpecified)
{
    const VariantCase cases[] = {
        {"empty", Typed(VT_EMPTY), ""},
        {"null", _variant_t::Null(), ""},
        {"I2", _variant_t(int16_t(-5)), "-5"},
        {"I4", _variant_t(int32_t(123456)), "123456"},
        {"I4 min", _variant_t(int32_t(INT32_MIN)), "-2147483648"},
        {"R8 three exponent digits", _variant_t(1.5), "1.500000e+000"},
        {"R8 negative exponent", _variant_t(-1.5e-7), "-1.500000e-007"},
        {"R8 large exponent", _variant_t(1e100), "1.000000e+100"},
        {"R4 widened", _variant_t(0.25f), "2.500000e-001"},
        {"BSTR", _variant_t("h\xC3\xA9llo"), "h\xC3\xA9llo"},
        {"BOOL true", Bool(VARIANT_TRUE), "1"},
        {"BOOL false", Bool(VARIANT_FALSE), "0"},
        {"BOOL other non-zero", Bool(5), "1"},
        {"UI1", Byte(10), "0x0A"},
        {"UI1 max", Byte(255), "0xFF"},
        {"CY fraction", Currency(12345), "1.2345"},
        {"CY trailing zeros dropped", Currency(15000), "1.5"},
        {"CY negative", Currency(-25000), "-2.5"},
        {"CY whole", Currency(1000000), "100"},
        {"CY smallest", Currency(INT64_MIN), "-922337203685477.5808"},
        {"DECIMAL", _variant_t(DECIMAL{}), "<Unknown>"},
        {"I8 by name", _variant_t::I8(5), "VT_I8"},
        {"UI8 by name", _variant_t::UI8(5), "VT_UI8"},
        {"UI2 by name", Typed(VT_UI2), "VT_UI2"},
        {"DISPATCH", Typed(9), "VT_DISPATCH"},
        {"ERROR", _variant_t::Error(E_FAIL), "VT_ERROR"},
        {"VARIANT", Typed(12), "VT_VARIANT"},
        {"UNKNOWN", Typed(13), "VT_UNKNOWN"},
        {"I1", Typed(16), "VT_I1"},
        {"PTR", Typed(26), "VT_PTR"},
        {"LPWSTR", Typed(31), "VT_LPWSTR"},
        {"FILETIME", Typed(64), "VT_FILETIME"},
        {"CF", Typed(71), "VT_CF"},
        {"CLSID", Typed(72), "VT_CLSID"},
        {"15 is no type", Typed(15), "<Unknown>"},
        {"gap 32-63", Typed(40), "<Unknown>"},
        {"73 and above", Typed(73), "<Unknown>"},
        {"vector flag", Typed(VT_VECTOR | VT_I4), "<Unknown>"},
        {"array of variants", Typed(VT_ARRAY | VT_VARIANT), "Array of VT_VARIANT"},
        {"array of I4", Typed(VT_ARRAY | VT_I4), "Array of VT_I4"},
        {"binary value", _variant_t::Bytes({1, 2}), "Array of VT_UI1"},
        {"reference", Typed(VT_BYREF | VT_I4), "Pointer to VT_I4"},
        {"array of references", Typed(VT_ARRAY | VT_BYREF | VT_BSTR), "Array of Pointer to VT_BSTR"},
        {"array of empty", Typed(VT_ARRAY | VT_EMPTY), "Array of VT_EMPTY"},
        {"array of an unnamed type", Typed(VT_ARRAY | 100), "Array of "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(VariantToText(c.value), wxString::FromUTF8(c.text));
        wxString worker = "stale";
        FormatVariant(c.value, worker);
        EXPECT_EQ(worker, wxString::FromUTF8(c.text));
    }
}

// The tests run in the C locale, whose "%c" is "%a %b %e %H:%M:%S %Y".
TEST(VariantText, DatesInTheLocaleForm)
{
    const struct {
        DATE date;
        const char* text;
    } cases[] = {
        {0.0, "Sat Dec 30 00:00:00 1899"},
        {45000.5, "Wed Mar 15 12:00:00 2023"},
        {-1.25, "Fri Dec 29 06:00:00 1899"},        // the fraction counts forward from the day
        {45000.0 + 86399.6 / 86400, "Thu Mar 16 00:00:00 2023"}, // rounds to the next day
        {2958465.0, "Fri Dec 31 00:00:00 9999"},
        {3000000.0, "<Unknown>"},
        {-700000.0, "<Unknown>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        EXPECT_EQ(VariantToText(_variant_t::Date(c.date)), c.text);
    }
}

TEST(AdoDataTypeText, NamesKnownCodesAndNumbersOthers)
{
    const struct {
        long code;
        const char* text;
    } cases[] = {
        {0, "(adEmpty) No value was specified"},
        {20, "(adBigInt) An 8-byte signed integer"},
        {6, "(adCurrency) A currency value (8-byte signed integer scaled by 10,000)"},
        {64, "(adFileTime) A 64-bit value representing the number of 100-nanosecond intervals since January 1, 1601"},
        {135, "(adDBTimeStamp) A date-time stamp (yyyymmddhhmmss plus a fraction in billionths)"},
        {205, "(adLongVarBinary) A long binary value (Parameter object only)"},
        {8192, "(AdArray) A flag value, always combined with another data type constant, that indicates an array of that other data type"},
        {15, "15 <new or provider-specific>"},
        {8195, "8195 <new or provider-specific>"},
        {137, "137 <new or provider-specific>"},
        {-1, "-1 <new or provider-specific>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(GetAdoDataTypeText(c.code), c.text);
    }
}

} // namespace
