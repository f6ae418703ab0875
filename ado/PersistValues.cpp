#include "PersistValues.h"

#include "platform/com/Calendar.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ado::persist {

namespace {

bool FromOleDate(double value, DateParts& out)
{
    // Years 1 to 9999: the layer hands on dates before the year 100 that databases hold,
    // although the automation conversions stop there.
    if (!std::isfinite(value) || value < -693594.0 || value >= 2958466.0)
        return false;
    // Negative dates count days backwards but the time of day forwards.
    double whole = std::trunc(value);
    int64_t micros = std::llround(std::fabs(value - whole) * 86400e6);
    int64_t day = static_cast<int64_t>(whole);
    if (micros >= 86400000000LL) {
        micros -= 86400000000LL;
        day += value < 0 ? -1 : 1;
    }
    int64_t y;
    CivilFromDays(day - kDaysFrom1899To1970, y, out.month, out.day);
    out.year = static_cast<int>(y);
    if (out.year < 1)
        return false;
    int64_t seconds = micros / 1000000;
    out.hour = static_cast<unsigned>(seconds / 3600);
    out.minute = static_cast<unsigned>(seconds / 60 % 60);
    out.second = static_cast<unsigned>(seconds % 60);
    out.nanosecond = static_cast<uint32_t>(micros % 1000000 * 1000);
    return true;
}

bool ParseUnsigned(std::string_view text, size_t& pos, size_t digits, unsigned& out)
{
    if (pos + digits > text.size())
        return false;
    out = 0;
    for (size_t i = 0; i < digits; ++i) {
        char c = text[pos + i];
        if (c < '0' || c > '9')
            return false;
        out = out * 10 + static_cast<unsigned>(c - '0');
    }
    pos += digits;
    return true;
}

bool Expect(std::string_view text, size_t& pos, char c)
{
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

bool ParseTime(std::string_view text, size_t& pos, DateParts& out)
{
    if (!ParseUnsigned(text, pos, 2, out.hour) || !Expect(text, pos, ':') || !ParseUnsigned(text, pos, 2, out.minute) ||
        !Expect(text, pos, ':') || !ParseUnsigned(text, pos, 2, out.second))
        return false;
    out.nanosecond = 0;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        uint32_t scale = 100000000;
        size_t start = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            if (scale == 0)
                return false; // finer than a nanosecond: not exact
            out.nanosecond += static_cast<uint32_t>(text[pos] - '0') * scale;
            scale /= 10;
            ++pos;
        }
        if (pos == start)
            return false;
    }
    return out.hour < 24 && out.minute < 60 && out.second < 62;
}

bool ParseDate(std::string_view text, size_t& pos, DateParts& out)
{
    unsigned y;
    if (!ParseUnsigned(text, pos, 4, y) || !Expect(text, pos, '-') || !ParseUnsigned(text, pos, 2, out.month) ||
        !Expect(text, pos, '-') || !ParseUnsigned(text, pos, 2, out.day))
        return false;
    out.year = static_cast<int>(y);
    if (out.month < 1 || out.month > 12 || out.day < 1)
        return false;
    // The day must exist: converting there and back must give the same date.
    int64_t cy;
    unsigned cm, cd;
    CivilFromDays(DaysFromCivil(out.year, out.month, out.day), cy, cm, cd);
    return cm == out.month && cd == out.day;
}

bool FromIsoText(std::string_view text, DateParts& out)
{
    size_t pos = 0;
    out = DateParts{};
    if (text.size() >= 3 && text[2] == ':')
        return ParseTime(text, pos, out) && pos == text.size();
    if (!ParseDate(text, pos, out))
        return false;
    if (pos == text.size())
        return true;
    if (text[pos] != 'T' && text[pos] != ' ')
        return false;
    ++pos;
    return ParseTime(text, pos, out) && pos == text.size();
}

std::string Fraction(uint32_t nanosecond)
{
    if (nanosecond == 0)
        return {};
    std::string f = fmt::format(".{:09}", nanosecond);
    while (f.back() == '0')
        f.pop_back();
    return f;
}

typedef unsigned __int128 u128;

// "1.5e-07" as "0.00000015": the exponent moves the decimal point.
std::string PlainDecimal(const std::string& text)
{
    size_t e = text.find_first_of("eE");
    if (e == std::string::npos)
        return text;
    std::string mantissa = text.substr(0, e);
    int exponent = std::stoi(text.substr(e + 1));
    std::string sign;
    if (!mantissa.empty() && mantissa[0] == '-') {
        sign = "-";
        mantissa.erase(0, 1);
    }
    size_t dot = mantissa.find('.');
    std::string digits = mantissa;
    int pointAt = static_cast<int>(mantissa.size());
    if (dot != std::string::npos) {
        digits.erase(dot, 1);
        pointAt = static_cast<int>(dot);
    }
    pointAt += exponent;
    if (pointAt <= 0)
        return sign + "0." + std::string(static_cast<size_t>(-pointAt), '0') + digits;
    if (pointAt >= static_cast<int>(digits.size()))
        return sign + digits + std::string(static_cast<size_t>(pointAt) - digits.size(), '0');
    return sign + digits.substr(0, static_cast<size_t>(pointAt)) + "." + digits.substr(static_cast<size_t>(pointAt));
}

bool DecimalFromInteger(bool negative, uint64_t magnitude, DECIMAL& out)
{
    out = DECIMAL{};
    out.negative = negative && magnitude != 0;
    out.Lo64 = magnitude;
    return true;
}

} // namespace

bool ToDateParts(const _variant_t& value, DateParts& out)
{
    switch (value.vt) {
    case VT_DATE:
    case VT_R8: return FromOleDate(value.num.date, out);
    case VT_BSTR: return FromIsoText(value.str, out);
    default: return false;
    }
}

std::string FormatDate(const DateParts& p) { return fmt::format("{:04}-{:02}-{:02}", p.year, p.month, p.day); }

std::string FormatTime(const DateParts& p)
{
    return fmt::format("{:02}:{:02}:{:02}{}", p.hour, p.minute, p.second, Fraction(p.nanosecond));
}

std::string FormatDateTime(const DateParts& p) { return FormatDate(p) + "T" + FormatTime(p); }

bool ToDecimal(const _variant_t& value, DECIMAL& out)
{
    switch (value.vt) {
    case VT_DECIMAL: out = value.num.decVal; return true;
    case VT_I1: return DecimalFromInteger(value.num.cVal < 0, static_cast<uint64_t>(std::abs(int{value.num.cVal})), out);
    case VT_UI1: return DecimalFromInteger(false, value.num.bVal, out);
    case VT_I2: return DecimalFromInteger(value.num.iVal < 0, static_cast<uint64_t>(std::abs(int{value.num.iVal})), out);
    case VT_UI2: return DecimalFromInteger(false, value.num.uiVal, out);
    case VT_I4:
    case VT_INT: return DecimalFromInteger(value.num.lVal < 0, static_cast<uint64_t>(std::abs(int64_t{value.num.lVal})), out);
    case VT_UI4:
    case VT_UINT: return DecimalFromInteger(false, value.num.ulVal, out);
    case VT_I8: {
        int64_t v = value.num.llVal;
        return DecimalFromInteger(v < 0, v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v), out);
    }
    case VT_UI8: return DecimalFromInteger(false, value.num.ullVal, out);
    case VT_CY: {
        int64_t v = value.num.cyVal.int64;
        DecimalFromInteger(v < 0, v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v), out);
        out.scale = 4;
        return true;
    }
    case VT_R4:
    case VT_R8: {
        double d = value.vt == VT_R4 ? value.num.fltVal : value.num.dblVal;
        if (!std::isfinite(d))
            return false;
        // The shortest text that reads back as the same double is the number the user sees;
        // beyond 28 places or 96 bits it is not representable.
        return DECIMAL::Parse(PlainDecimal(fmt::format("{}", d)), out);
    }
    case VT_BSTR: return DECIMAL::Parse(value.str, out);
    default: return false;
    }
}

bool ToCurrency(const _variant_t& value, int64_t& out)
{
    if (value.vt == VT_CY) {
        out = value.num.cyVal.int64;
        return true;
    }
    DECIMAL d;
    if (!ToDecimal(value, d))
        return false;
    u128 m = (static_cast<u128>(d.Hi32) << 64) | d.Lo64;
    // Bring the mantissa to four decimal places; digits below that must be zeros.
    for (int s = d.scale; s > 4; --s) {
        if (m % 10 != 0)
            return false;
        m /= 10;
    }
    for (int s = d.scale; s < 4; ++s)
        m *= 10;
    u128 limit = d.negative ? (static_cast<u128>(1) << 63) : (static_cast<u128>(1) << 63) - 1;
    if (m > limit)
        return false;
    out = d.negative ? static_cast<int64_t>(0 - static_cast<uint64_t>(m)) : static_cast<int64_t>(m);
    return true;
}

std::string ShortText(std::string_view text)
{
    constexpr size_t kLimit = 60;
    size_t end = 0, count = 0;
    while (end < text.size() && count < kLimit) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
        ++count;
    }
    if (end == text.size())
        return std::string(text);
    return std::string(text.substr(0, end)) + "...";
}

std::string HexEncode(const std::vector<uint8_t>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.resize(bytes.size() * 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        out[2 * i] = digits[bytes[i] >> 4];
        out[2 * i + 1] = digits[bytes[i] & 0xF];
    }
    return out;
}

bool ToGuid(const _variant_t& value, GUID& out)
{
    if (value.vt == VT_BSTR)
        return GUID::Parse(value.str, out);
    if (value.vt == (VT_ARRAY | VT_UI1) && value.bytes.size() == 16) {
        const uint8_t* b = value.bytes.data();
        out.Data1 = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
                    static_cast<uint32_t>(b[3]) << 24;
        out.Data2 = static_cast<uint16_t>(b[4] | b[5] << 8);
        out.Data3 = static_cast<uint16_t>(b[6] | b[7] << 8);
        std::copy(b + 8, b + 16, out.Data4);
        return true;
    }
    return false;
}

} // namespace ado::persist
