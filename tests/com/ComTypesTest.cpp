#include "platform/com/ComTypes.h"
#include "platform/com/Variant.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

TEST(Guid, TextRoundTripAndRejectsMalformed)
{
    GUID g;
    ASSERT_TRUE(GUID::Parse("{00000514-0000-0010-8000-00AA006D2EA4}", g));
    EXPECT_EQ(g.Data1, 0x00000514u);
    EXPECT_EQ(g.Data2, 0x0000);
    EXPECT_EQ(g.Data3, 0x0010);
    EXPECT_EQ(g.Data4[0], 0x80);
    EXPECT_EQ(g.Data4[7], 0xA4);
    EXPECT_EQ(g.ToString(), "{00000514-0000-0010-8000-00AA006D2EA4}");

    GUID lower;
    ASSERT_TRUE(GUID::Parse("00000514-0000-0010-8000-00aa006d2ea4", lower));
    EXPECT_EQ(lower, g);

    for (const char* bad : {"", "{00000514-0000-0010-8000-00AA006D2EA4", "00000514-0000-0010-8000-00AA006D2EA",
                            "{00000514-0000-0010-8000-00AA006D2EAG}", "0000051400000010800000AA006D2EA4",
                            "(00000514-0000-0010-8000-00AA006D2EA4)"}) {
        GUID out = g;
        EXPECT_FALSE(GUID::Parse(bad, out)) << bad;
        EXPECT_EQ(out, g) << "a failed parse leaves the output alone";
    }
}

TEST(Guid, CreateGivesDistinctVersion4Values)
{
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        GUID g = GUID::Create();
        EXPECT_EQ(g.Data3 >> 12, 4);
        EXPECT_EQ(g.Data4[0] & 0xC0, 0x80);
        seen.insert(g.ToString());
    }
    EXPECT_EQ(seen.size(), 1000u);
}

TEST(HResult, MessagesAndComError)
{
    EXPECT_EQ(HResultMessage(E_FAIL), "Unspecified error");
    EXPECT_EQ(HResultMessage(MakeControlHResult(3706)), "Unknown error 0x800A0E7A");
    _com_error bare(E_NOINTERFACE);
    EXPECT_STREQ(bare.what(), "No such interface supported");
    EXPECT_TRUE(bare.Description().empty());
    _com_error full(E_FAIL, "Syntax error", "Provider");
    EXPECT_STREQ(full.what(), "Syntax error");
    EXPECT_EQ(full.ErrorMessage(), "Unspecified error");
    EXPECT_EQ(full.Source(), "Provider");
}

TEST(Decimal, ParseAndFormat)
{
    struct Case {
        const char* text;
        const char* formatted;
    } cases[] = {
        {"0", "0"},
        {"-0.00", "0.00"},
        {"123.450", "123.450"},
        {"-1.5", "-1.5"},
        {"+7", "7"},
        {".25", "0.25"},
        {"5.", "5"},
        {"79228162514264337593543950335", "79228162514264337593543950335"},
        {"0.0000000000000000000000000001", "0.0000000000000000000000000001"},
        // Zeros beyond 28 places or 96 bits change nothing and are dropped.
        {"0.100000000000000000000000000000000", "0.1000000000000000000000000000"},
        {"79228162514264337593543950335.000", "79228162514264337593543950335"},
    };
    for (const auto& c : cases) {
        DECIMAL d;
        ASSERT_TRUE(DECIMAL::Parse(c.text, d)) << c.text;
        EXPECT_EQ(d.ToString(), c.formatted) << c.text;
    }
    // A value the type cannot hold exactly is refused rather than rounded: more than 28
    // decimals, or more than 96 bits in the integer part or with the fraction.
    for (const char* bad : {"", "-", ".", "1e5", "12a", "1.2.3", "79228162514264337593543950336", "NaN",
                            "0.00000000000000000000000000015", "792281625142643375935439503.36",
                            "12345678901234567890.0123456789", "9999999999999999999999999999.9999999999"}) {
        DECIMAL d;
        EXPECT_FALSE(DECIMAL::Parse(bad, d)) << bad;
    }
    DECIMAL d;
    ASSERT_TRUE(DECIMAL::Parse("-12345.678", d));
    EXPECT_DOUBLE_EQ(d.ToDouble(), -12345.678);
}

TEST(Variant, NumericCoercions)
{
    EXPECT_EQ(_variant_t(2.5).ToLong(), 2) << "half to even";
    EXPECT_EQ(_variant_t(3.5).ToLong(), 4);
    EXPECT_EQ(_variant_t(-2.5).ToLong(), -2);
    EXPECT_EQ(_variant_t(" 42 ").ToLong(), 42);
    EXPECT_EQ(_variant_t("1.5").ToLong(), 2);
    EXPECT_EQ(_variant_t(true).ToLong(), -1);
    EXPECT_EQ(_variant_t::I8(1LL << 40).ToInt64(), 1LL << 40);
    EXPECT_EQ(_variant_t().ToLong(), 0);
    DECIMAL d;
    ASSERT_TRUE(DECIMAL::Parse("-9.5", d));
    EXPECT_EQ(_variant_t(d).ToLong(), -10);
    EXPECT_DOUBLE_EQ(_variant_t(CY{125000}).ToDouble(), 12.5);
    EXPECT_TRUE(_variant_t("TRUE").ToBool());
    EXPECT_FALSE(_variant_t("0").ToBool());

    auto hr = [](auto fn) {
        try {
            fn();
        } catch (const _com_error& e) {
            return e.Error();
        }
        return S_OK;
    };
    EXPECT_EQ(hr([] { _variant_t::I8(1LL << 40).ToLong(); }), DISP_E_OVERFLOW);
    EXPECT_EQ(hr([] { _variant_t(1e300).ToInt64(); }), DISP_E_OVERFLOW);
    EXPECT_EQ(hr([] { _variant_t("abc").ToLong(); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(hr([] { _variant_t::Null().ToLong(); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(hr([] { _variant_t::Null().ToString(); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(hr([] { _variant_t("99999999999999999999").ToInt64(); }), DISP_E_OVERFLOW);
}

TEST(Variant, TextForms)
{
    EXPECT_EQ(_variant_t(int16_t(-7)).ToString(), "-7");
    EXPECT_EQ(_variant_t(0.1).ToString(), "0.1");
    EXPECT_EQ(_variant_t(1e20).ToString(), "1E+20");
    EXPECT_EQ(_variant_t(1.5f).ToString(), "1.5");
    EXPECT_EQ(_variant_t(false).ToString(), "False");
    EXPECT_EQ(_variant_t(CY{-12345}).ToString(), "-1.2345");
    EXPECT_EQ(_variant_t(CY{20000}).ToString(), "2");
    EXPECT_EQ(_variant_t::Date(0.0).ToString(), "1899-12-30");
    EXPECT_EQ(_variant_t::Date(45306.5).ToString(), "2024-01-15 12:00:00");
    EXPECT_EQ(_variant_t::Date(0.25).ToString(), "06:00:00");
    EXPECT_EQ(_variant_t::Date(-1.25).ToString(), "1899-12-29 06:00:00");
    EXPECT_EQ(_variant_t::Date(36526.0).ToString(), "2000-01-01");
}

// Numbers keep the automation style (15 significant digits, 7 for a single, decide where the
// exponent form starts) with the digits of the shortest text that reads back as the same
// number, so no digit of a value is lost.
TEST(Variant, FloatingPointTextReadsBackAsTheSameNumber)
{
    const struct {
        _variant_t value;
        const char* text;
    } cases[] = {
        {_variant_t(1.0 / 3), "0.3333333333333333"},
        {_variant_t(0.1 + 0.2), "0.30000000000000004"},
        {_variant_t(3.141592653589793), "3.141592653589793"},
        {_variant_t(0.1), "0.1"},
        {_variant_t(-2.5), "-2.5"},
        {_variant_t(1e20), "1E+20"},
        {_variant_t(1.7976931348623157e308), "1.7976931348623157E+308"},
        {_variant_t(5e-324), "5E-324"},
        {_variant_t(1e-310), "1E-310"},
        {_variant_t(1e14), "100000000000000"},
        {_variant_t(1e15), "1E+15"},
        {_variant_t(1234567890123456789e3), "1.2345678901234568E+21"},
        {_variant_t(0.0001), "0.0001"},
        {_variant_t(0.00001), "1E-05"},
        {_variant_t(-0.0), "-0"},
        {_variant_t(123456789012345678.0), "1.2345678901234568E+17"},
        {_variant_t(1.0f / 3), "0.33333334"},
        {_variant_t(0.1f), "0.1"},
        {_variant_t(16777217.0f), "16777216"},
    };
    for (const auto& c : cases) {
        std::string text = c.value.ToString();
        EXPECT_EQ(text, c.text);
        if (c.value.vt == VT_R8)
            EXPECT_EQ(std::strtod(text.c_str(), nullptr), c.value.num.dblVal) << text;
        else
            EXPECT_EQ(std::strtof(text.c_str(), nullptr), c.value.num.fltVal) << text;
    }
}

TEST(Variant, EqualityKeepsTheTag)
{
    EXPECT_EQ(_variant_t("a"), _variant_t(std::string("a")));
    EXPECT_FALSE(_variant_t(int32_t(1)) == _variant_t(int16_t(1)));
    EXPECT_FALSE(_variant_t(1.0) == _variant_t::Date(1.0));
    EXPECT_EQ(_variant_t::Null(), _variant_t::Null());
    EXPECT_FALSE(_variant_t::Null() == _variant_t());
    DECIMAL a, b;
    ASSERT_TRUE(DECIMAL::Parse("1.50", a));
    ASSERT_TRUE(DECIMAL::Parse("1.5", b));
    EXPECT_EQ(_variant_t(a), _variant_t(b)) << "decimals compare by value";
    ASSERT_TRUE(DECIMAL::Parse("-1.5", b));
    EXPECT_FALSE(_variant_t(a) == _variant_t(b));
    EXPECT_EQ(_variant_t::Bytes({1, 2}), _variant_t::Bytes({1, 2}));
    EXPECT_FALSE(_variant_t::Bytes({1, 2}) == _variant_t::Bytes({1, 3}));
}
