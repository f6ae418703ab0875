// Value conversions shared by the two persistence writers (ADTG and XML): calendar parts of
// date values, exact decimals, currency, GUIDs. Every function reports a value it cannot
// convert exactly instead of approximating it.
#pragma once

#include "DateParts.h"
#include "platform/com/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ado::persist {

// Why a value cannot be written as its column asks; the writers turn it into the error of the
// row and column.
class ValueError {
public:
    explicit ValueError(std::string why) : m_why(std::move(why)) {}
    const std::string& Why() const { return m_why; }

private:
    std::string m_why;
};

// From VT_DATE (days since 1899-12-30, the fraction the time of day, rounded to the
// microsecond) or from ISO text "YYYY-MM-DD", "hh:mm:ss[.f]" or "YYYY-MM-DD[T ]hh:mm:ss[.f]".
bool ToDateParts(const _variant_t& value, DateParts& out);

// "YYYY-MM-DDThh:mm:ss" with ".fffffffff" (trailing zeros dropped) when there is a fraction.
std::string FormatDateTime(const DateParts& parts);
std::string FormatDate(const DateParts& parts);
// "hh:mm:ss" with the fraction as above.
std::string FormatTime(const DateParts& parts);

// The exact decimal value of an integer, currency, decimal, double or numeric text; false
// when it needs more than 96 bits or 28 decimal places, or the text is not a number.
bool ToDecimal(const _variant_t& value, DECIMAL& out);

// Currency (a 64-bit integer scaled by 10,000) of the same kinds of value; false when the
// value has more than four decimal places or is out of range.
bool ToCurrency(const _variant_t& value, int64_t& out);

// A value's text as error messages quote it: cut after 60 characters, with "...".
std::string ShortText(std::string_view text);

// Lower-case hexadecimal, two digits per byte.
std::string HexEncode(const std::vector<uint8_t>& bytes);

// A GUID from its text (braced or not) or from 16 bytes in memory order (Data1..Data3
// little-endian).
bool ToGuid(const _variant_t& value, GUID& out);

} // namespace ado::persist
