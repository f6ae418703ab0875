// Values a database delivers as text become variants of their column's type only where the
// variant holds them exactly; everything else stays text, digit for digit.
#include "ado/CellValues.h"

#include <gtest/gtest.h>

using namespace ado;
using namespace ado::detail;

namespace {

struct TextCase {
    const char* text;
    DataTypeEnum type;
    VARTYPE vt;          // VT_EMPTY: stays text
    const char* asText;  // ToString of the variant when converted
};

} // namespace

TEST(CellValues, TextBecomesItsTypeOnlyWhereNothingIsLost)
{
    const TextCase cases[] = {
        {"12.340", adNumeric, VT_DECIMAL, "12.340"},
        {"79228162514264337593543950335", adNumeric, VT_DECIMAL, "79228162514264337593543950335"},
        {"12345678901234567890.0123456789", adNumeric, VT_EMPTY, nullptr},
        {"9999999999999999999999999999.9999999999", adNumeric, VT_EMPTY, nullptr},
        {"0.00000000000000000000000000015", adNumeric, VT_EMPTY, nullptr},
        {"1.5e10", adNumeric, VT_R8, "15000000000"},
        {"2024-02-29 13:45:07.123456", adDBTimeStamp, VT_DATE, "2024-02-29 13:45:07"},
        {"2024-02-29T13:45:07", adDBTimeStamp, VT_DATE, "2024-02-29 13:45:07"},
        // A double near the year 9999 cannot hold milliseconds; no double holds nanoseconds.
        {"9999-12-31 23:59:59.999", adDBTimeStamp, VT_EMPTY, nullptr},
        {"2024-01-01 10:00:00.123456789", adDBTimeStamp, VT_EMPTY, nullptr},
        {"2024-01-01 10:00:00.1234560000", adDBTimeStamp, VT_DATE, "2024-01-01 10:00:00"},
        {"4713-01-01 10:00:00 BC", adDBTimeStamp, VT_EMPTY, nullptr},
        {"infinity", adDBTimeStamp, VT_EMPTY, nullptr},
        {"0000-00-00", adDBDate, VT_EMPTY, nullptr},
        {"2023-02-29", adDBDate, VT_EMPTY, nullptr},
        {"10:11:12.25", adDBTime, VT_DATE, "10:11:12"},
        {"10:11:12.0000001", adDBTime, VT_EMPTY, nullptr},
        {"$1,234.56", adCurrency, VT_CY, "1234.56"},
        {"-$5.00", adCurrency, VT_CY, "-5"},
        {"($1,000,000.25)", adCurrency, VT_CY, "-1000000.25"},
        {"$922,337,203,685,477.5807", adCurrency, VT_CY, "922337203685477.5807"},
        {"-$922,337,203,685,477.5808", adCurrency, VT_CY, "-922337203685477.5808"},
        {"$922,337,203,685,477.5808", adCurrency, VT_EMPTY, nullptr},
        {"5.00 kr", adCurrency, VT_CY, "5"},
        {"5.0x0", adCurrency, VT_EMPTY, nullptr},
        {"(5.00)1", adCurrency, VT_EMPTY, nullptr},
        {"5.00)", adCurrency, VT_EMPTY, nullptr},
        {"$922,337,203,685,478.00", adCurrency, VT_EMPTY, nullptr}, // beyond the currency type
        {"1.234,56 €", adCurrency, VT_EMPTY, nullptr},              // a decimal comma
        {"1,23", adCurrency, VT_EMPTY, nullptr},
        {"$1,234", adCurrency, VT_EMPTY, nullptr},                  // no decimals: which separator?
        {"12,34.00", adCurrency, VT_EMPTY, nullptr},
        {"¥1234", adCurrency, VT_EMPTY, nullptr},
        {"1.5", adDouble, VT_R8, "1.5"},
        {"0.30000000000000004", adDouble, VT_R8, "0.30000000000000004"},
        {"abc", adDouble, VT_EMPTY, nullptr},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        _variant_t v;
        bool converted = ConvertText(c.text, c.type, v);
        EXPECT_EQ(converted, c.vt != VT_EMPTY);
        if (!converted)
            continue;
        EXPECT_EQ(v.vt, c.vt);
        EXPECT_EQ(v.ToString(), c.asText);
    }
}

TEST(CellValues, DatePartsFromAStructureKeepTheirFraction)
{
    DateParts exact{2024, 2, 29, 13, 45, 7, 123456000};
    EXPECT_EQ(DateVariant(adDBTimeStamp, exact, DateText(adDBTimeStamp, exact)).vt, VT_DATE);

    DateParts far{9999, 12, 31, 23, 59, 59, 999000000};
    _variant_t v = DateVariant(adDBTimeStamp, far, DateText(adDBTimeStamp, far));
    EXPECT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(v.str, "9999-12-31 23:59:59.999");

    DateParts time{1899, 12, 30, 8, 0, 0, 5};
    EXPECT_EQ(DateText(adDBTime, time), "08:00:00.000000005");
    EXPECT_EQ(DateVariant(adDBTime, time, DateText(adDBTime, time)).str, "08:00:00.000000005");
    EXPECT_EQ(DateText(adDBDate, far), "9999-12-31");
}
