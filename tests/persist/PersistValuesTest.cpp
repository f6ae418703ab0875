// Value conversions of the persistence writers: exact or refused, never approximated.
#include "ado/PersistValues.h"

#include <gtest/gtest.h>

using namespace ado::persist;
using ado::DateParts;

TEST(PersistValuesTest, DatesToCalendarParts)
{
    struct Case {
        _variant_t value;
        const char* expected; // nullptr: refused
    };
    const std::vector<Case> cases = {
        {_variant_t::Date(0.0), "1899-12-30T00:00:00"},
        {_variant_t::Date(2.25), "1900-01-01T06:00:00"},
        // Negative dates count days back but the time of day forward.
        {_variant_t::Date(-1.25), "1899-12-29T06:00:00"},
        {_variant_t::Date(45351.5 + 0.123456 / 86400), "2024-02-29T12:00:00.123456"},
        // Rounded to the microsecond, carrying into the next day.
        {_variant_t::Date(1.0 + 86399.9999996 / 86400), "1900-01-01T00:00:00"},
        {_variant_t::Date(2958465.5), "9999-12-31T12:00:00"},
        {_variant_t::Date(2958466.0), nullptr},
        {_variant_t::Date(-693593.0), "0001-01-01T00:00:00"},
        {_variant_t::Date(-693594.0), nullptr},
        {_variant_t("2024-02-29"), "2024-02-29T00:00:00"},
        {_variant_t("2024-02-29 13:45:07.5"), "2024-02-29T13:45:07.5"},
        {_variant_t("2024-02-29T13:45:07.123456789"), "2024-02-29T13:45:07.123456789"},
        {_variant_t("13:45:07"), "1899-12-30T13:45:07"},
        {_variant_t("2023-02-29"), nullptr},
        {_variant_t("2024-13-01"), nullptr},
        {_variant_t("24:00:00"), nullptr},
        {_variant_t("2024-02-29 13:45:07.1234567891"), nullptr},
        {_variant_t("2024-02-29 13:45"), nullptr},
        {_variant_t("yesterday"), nullptr},
        {_variant_t(int32_t{5}), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.vt == VT_BSTR ? c.value.str : std::to_string(c.value.num.dblVal));
        DateParts p;
        bool ok = ToDateParts(c.value, p);
        if (!c.expected) {
            EXPECT_FALSE(ok);
            continue;
        }
        ASSERT_TRUE(ok);
        EXPECT_EQ(FormatDateTime(p), c.expected);
    }
}

TEST(PersistValuesTest, DecimalsAreExactOrRefused)
{
    struct Case {
        _variant_t value;
        const char* expected; // nullptr: refused
    };
    CY cy;
    cy.int64 = -15000; // -1.5
    const std::vector<Case> cases = {
        {_variant_t(0.1), "0.1"},
        {_variant_t(1.5e-7), "0.00000015"},
        {_variant_t(-2.5e10), "-25000000000"},
        {_variant_t(1e30), nullptr},
        {_variant_t(1e-30), nullptr},
        {_variant_t("1234.50"), "1234.50"},
        {_variant_t(" -0.5 "), "-0.5"},
        {_variant_t("0.00000000000000000000000000001"), nullptr}, // 29 places
        {_variant_t("79228162514264337593543950336"), nullptr},   // 2^96
        {_variant_t("1e5"), nullptr},
        {_variant_t::I8(-9223372036854775807LL - 1), "-9223372036854775808"},
        {_variant_t::UI8(18446744073709551615ULL), "18446744073709551615"},
        {_variant_t(cy), "-1.5000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.vt == VT_BSTR ? c.value.str : c.value.ToString());
        DECIMAL d;
        bool ok = ToDecimal(c.value, d);
        if (!c.expected) {
            EXPECT_FALSE(ok);
            continue;
        }
        ASSERT_TRUE(ok);
        EXPECT_EQ(d.ToString(), c.expected);
    }
}

TEST(PersistValuesTest, CurrencyKeepsFourPlacesAndItsRange)
{
    struct Case {
        _variant_t value;
        bool ok;
        int64_t expected;
    };
    const std::vector<Case> cases = {
        {_variant_t("1.2345"), true, 12345},
        {_variant_t("1.23450"), true, 12345},
        {_variant_t("1.23456"), false, 0},
        {_variant_t("922337203685477.5807"), true, 9223372036854775807LL},
        {_variant_t("922337203685477.5808"), false, 0},
        {_variant_t("-922337203685477.5808"), true, -9223372036854775807LL - 1},
        {_variant_t(int32_t{-3}), true, -30000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.ToString());
        int64_t got = 0;
        EXPECT_EQ(ToCurrency(c.value, got), c.ok);
        if (c.ok) {
            EXPECT_EQ(got, c.expected);
        }
    }
}

