// Value conversions shared by the two persistence writers (ADTG and XML): strict UTF-8,
// calendar parts of date values, exact decimals. Every function reports a value it cannot
// convert exactly instead of approximating it.
#pragma once

#include "platform/com/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ado::persist {

// Decodes the code point at pos and advances pos; false for a malformed sequence, an
// overlong form, a surrogate or a value above U+10FFFF.
bool DecodeUtf8(std::string_view text, size_t& pos, char32_t& codePoint);

// UTF-8 to UTF-16 (native order); false when the text is not valid UTF-8.
bool Utf8ToUtf16(std::string_view text, std::u16string& out);

struct DateTimeParts {
    int year = 1899;
    unsigned month = 12;
    unsigned day = 30;
    unsigned hour = 0;
    unsigned minute = 0;
    unsigned second = 0;
    uint32_t nanosecond = 0;
};

// From VT_DATE (days since 1899-12-30, the fraction the time of day, rounded to the
// microsecond) or from ISO text "YYYY-MM-DD", "hh:mm:ss[.f]" or "YYYY-MM-DD[T ]hh:mm:ss[.f]".
bool ToDateTimeParts(const _variant_t& value, DateTimeParts& out);

// "YYYY-MM-DDThh:mm:ss" with ".fffffffff" (trailing zeros dropped) when there is a fraction.
std::string FormatDateTime(const DateTimeParts& parts);
std::string FormatDate(const DateTimeParts& parts);
// "hh:mm:ss" with the fraction as above.
std::string FormatTime(const DateTimeParts& parts);

// The exact decimal value of an integer, currency, decimal, double or numeric text; false
// when it needs more than 96 bits or 28 decimal places, or the text is not a number.
bool ToDecimal(const _variant_t& value, DECIMAL& out);

// Currency (a 64-bit integer scaled by 10,000) of the same kinds of value; false when the
// value has more than four decimal places or is out of range.
bool ToCurrency(const _variant_t& value, int64_t& out);

// Lower-case hexadecimal, two digits per byte.
std::string HexEncode(const std::vector<uint8_t>& bytes);

// A GUID from its text (braced or not) or from 16 bytes in memory order (Data1..Data3
// little-endian).
bool ToGuid(const _variant_t& value, GUID& out);

} // namespace ado::persist
