#include "CellValues.h"

#include "platform/com/Calendar.h"

#include <fmt/format.h>

#include <charconv>
#include <climits>
#include <cmath>

namespace ado::detail {

namespace {

constexpr int64_t kMicrosPerDay = 86400000000LL;

// Days since 1899-12-30 with the time of day as fraction; before that day the fraction
// still counts forward from midnight, as the automation date type has it.
DATE MakeDate(const DateParts& p)
{
    double day = static_cast<double>(DaysFromCivil(p.year, p.month, p.day) + kDaysFrom1899To1970);
    double time = (p.hour * 3600.0 + p.minute * 60.0 + p.second + p.nanosecond / 1e9) / 86400.0;
    return day >= 0 ? day + time : day - time;
}

// True when the automation date gives back the parts to the microsecond.
bool ReadsBackExactly(DATE value, const DateParts& p, bool timeOnly)
{
    if (p.nanosecond % 1000 != 0)
        return false;
    double whole = std::trunc(value);
    int64_t micros = std::llround(std::fabs(value - whole) * 86400e6);
    int64_t day = static_cast<int64_t>(whole);
    if (micros >= kMicrosPerDay) {
        micros -= kMicrosPerDay;
        day += value < 0 ? -1 : 1;
    }
    int64_t expected = ((p.hour * 60LL + p.minute) * 60 + p.second) * 1000000 + static_cast<int64_t>(p.nanosecond / 1000);
    if (micros != expected)
        return false;
    if (timeOnly)
        return day == 0;
    int64_t y;
    unsigned m, d;
    CivilFromDays(day - kDaysFrom1899To1970, y, m, d);
    return y == p.year && m == p.month && d == p.day;
}

bool ValidDate(int y, unsigned m, unsigned d)
{
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1)
        return false;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

// Reads exactly n digits.
bool Digits(std::string_view s, size_t pos, size_t n, unsigned& out)
{
    if (pos + n > s.size())
        return false;
    out = 0;
    for (size_t i = 0; i < n; ++i) {
        char c = s[pos + i];
        if (c < '0' || c > '9')
            return false;
        out = out * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

// "HH:MM[:SS[.fffffffff]]" from pos to the end (an optional trailing Z allowed).
bool ParseTime(std::string_view s, size_t pos, DateParts& p)
{
    p.second = 0;
    p.nanosecond = 0;
    if (!Digits(s, pos, 2, p.hour) || pos + 2 >= s.size() || s[pos + 2] != ':' || !Digits(s, pos + 3, 2, p.minute))
        return false;
    pos += 5;
    if (pos < s.size() && s[pos] == ':') {
        if (!Digits(s, pos + 1, 2, p.second))
            return false;
        pos += 3;
        if (pos < s.size() && s[pos] == '.') {
            ++pos;
            unsigned long scale = 100000000;
            size_t start = pos;
            while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
                // A digit finer than a nanosecond has no place in the value: it stays text.
                if (scale == 0 && s[pos] != '0')
                    return false;
                p.nanosecond += static_cast<unsigned long>(s[pos] - '0') * scale;
                scale /= 10;
                ++pos;
            }
            if (pos == start)
                return false;
        }
    }
    // A zone (Z, +01, -05:30) as a server renders a time with zone: the wall time is kept,
    // as a driver converting to its time structure keeps it.
    if (pos < s.size() && s[pos] == 'Z') {
        ++pos;
    } else if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        unsigned zone;
        if (!Digits(s, pos + 1, 2, zone))
            return false;
        pos += 3;
        if (pos < s.size() && s[pos] == ':') {
            if (!Digits(s, pos + 1, 2, zone))
                return false;
            pos += 3;
        }
    }
    return pos == s.size() && p.hour < 24 && p.minute < 60 && p.second < 60;
}

// Text a database keeps or renders in a date or time column: "YYYY-MM-DD", "HH:MM[:SS[.f]]"
// or both with " " or "T" between. Anything else (an era, "infinity") is no such value.
bool ParseDateText(std::string_view s, DataTypeEnum type, DateParts& p)
{
    if (type == adDBTime && s.size() >= 5 && s[2] == ':')
        return ParseTime(s, 0, p);
    unsigned y;
    if (!Digits(s, 0, 4, y) || s.size() < 10 || s[4] != '-' || !Digits(s, 5, 2, p.month) || s[7] != '-'
        || !Digits(s, 8, 2, p.day))
        return false;
    p.year = static_cast<int>(y);
    if (!ValidDate(p.year, p.month, p.day))
        return false;
    p.hour = p.minute = p.second = 0;
    p.nanosecond = 0;
    if (s.size() > 10 && ((s[10] != ' ' && s[10] != 'T') || !ParseTime(s, 11, p)))
        return false;
    return true;
}

_variant_t OfType(VARTYPE vt)
{
    return _variant_t::OfType(vt);
}

bool ParseInt64(std::string_view s, int64_t& v)
{
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return !s.empty() && ec == std::errc() && p == s.data() + s.size();
}

bool ParseDouble(std::string_view s, double& v)
{
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return !s.empty() && ec == std::errc() && p == s.data() + s.size();
}

bool IsIntegerType(DataTypeEnum t)
{
    switch (t) {
    case adTinyInt: case adUnsignedTinyInt: case adSmallInt: case adUnsignedSmallInt: case adInteger:
    case adUnsignedInt: case adBigInt: case adUnsignedBigInt: return true;
    default: return false;
    }
}

// An amount as a server renders money in the C and English locales: a sign ("-" or
// parentheses), a currency symbol before or after, digits in groups of three split by ",", and
// "." before one to four decimals ("$1,234.56", "-$5.00"). False for any other form (a decimal
// comma, say), so that no amount is read with the wrong separator, and for amounts beyond the
// currency type's range.
bool ParseMoneyText(std::string_view text, CY& out)
{
    bool negative = false, grouped = false, point = false, ended = false;
    size_t groupDigits = 0; // digits since the last "," (or the first digit)
    size_t decimals = 0;
    uint64_t scaled = 0;
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            if (ended || __builtin_mul_overflow(scaled, 10u, &scaled) || __builtin_add_overflow(scaled, unsigned(ch - '0'), &scaled))
                return false;
            if (point)
                ++decimals;
            else
                ++groupDigits;
        } else if (ch == ',') {
            if (point || ended || groupDigits == 0 || (grouped && groupDigits != 3) || groupDigits > 3)
                return false;
            grouped = true;
            groupDigits = 0;
        } else if (ch == '.') {
            if (point || ended || groupDigits == 0 || (grouped && groupDigits != 3))
                return false;
            point = true;
        } else if (ch == '-' || ch == '(') {
            if (negative || groupDigits > 0 || point)
                return false;
            negative = true;
        } else if (groupDigits > 0 || point) {
            // A closing parenthesis or a symbol after the amount ends it; after its integer part
            // that would leave a separator in doubt.
            if (!point || (ch == ')' && !negative))
                return false;
            ended = true;
        }
    }
    if (!point || decimals < 1 || decimals > 4)
        return false;
    for (size_t i = decimals; i < 4; ++i)
        if (__builtin_mul_overflow(scaled, 10u, &scaled))
            return false;
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    if (scaled > limit)
        return false;
    out.int64 = negative ? static_cast<int64_t>(0 - scaled) : static_cast<int64_t>(scaled);
    return true;
}

} // namespace

_variant_t DateVariant(DataTypeEnum type, const DateParts& p, std::string_view text)
{
    const bool timeOnly = type == adDBTime;
    DATE value = timeOnly ? MakeDate({1899, 12, 30, p.hour, p.minute, p.second, p.nanosecond}) : MakeDate(p);
    if (ReadsBackExactly(value, p, timeOnly))
        return _variant_t::Date(value);
    return _variant_t(text);
}

std::string DateText(DataTypeEnum type, const DateParts& p)
{
    std::string out;
    auto it = std::back_inserter(out);
    if (type != adDBTime)
        fmt::format_to(it, "{:04}-{:02}-{:02}", p.year, p.month, p.day);
    if (type == adDBDate)
        return out;
    if (type != adDBTime)
        out.push_back(' ');
    fmt::format_to(it, "{:02}:{:02}:{:02}", p.hour, p.minute, p.second);
    if (p.nanosecond != 0) {
        fmt::format_to(it, ".{:09}", p.nanosecond);
        while (out.back() == '0')
            out.pop_back();
    }
    return out;
}

_variant_t IntegerVariant(DataTypeEnum type, int64_t v)
{
    _variant_t r;
    switch (type) {
    case adBoolean: return _variant_t(v != 0);
    case adTinyInt:
        if (v >= INT8_MIN && v <= INT8_MAX) { r = OfType(VT_I1); r.num.cVal = static_cast<int8_t>(v); return r; }
        break;
    case adUnsignedTinyInt:
        if (v >= 0 && v <= UINT8_MAX) { r = OfType(VT_UI1); r.num.bVal = static_cast<uint8_t>(v); return r; }
        break;
    case adSmallInt:
        if (v >= INT16_MIN && v <= INT16_MAX) return _variant_t(static_cast<int16_t>(v));
        break;
    case adUnsignedSmallInt:
        if (v >= 0 && v <= UINT16_MAX) { r = OfType(VT_UI2); r.num.uiVal = static_cast<uint16_t>(v); return r; }
        break;
    case adInteger:
        if (v >= INT32_MIN && v <= INT32_MAX) return _variant_t(static_cast<int32_t>(v));
        break;
    case adUnsignedInt:
        if (v >= 0 && v <= UINT32_MAX) { r = OfType(VT_UI4); r.num.ulVal = static_cast<uint32_t>(v); return r; }
        break;
    case adUnsignedBigInt:
        if (v >= 0) return _variant_t::UI8(static_cast<uint64_t>(v));
        break;
    default: break;
    }
    return _variant_t::I8(v);
}

bool ConvertText(std::string_view text, DataTypeEnum type, _variant_t& out)
{
    int64_t i;
    double d;
    if (IsIntegerType(type) || type == adBoolean) {
        if (ParseInt64(text, i)) {
            out = IntegerVariant(type, i);
            return true;
        }
        if (type == adBoolean) {
            if (text == "true" || text == "TRUE" || text == "True" || text == "false" || text == "FALSE" || text == "False") {
                out = _variant_t(text.front() == 't' || text.front() == 'T');
                return true;
            }
        } else if (ParseDouble(text, d)) {
            out = _variant_t(d);
            return true;
        }
    } else if (type == adSingle) {
        float f;
        if (!text.empty() && text.front() == '+')
            text.remove_prefix(1);
        auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), f);
        if (!text.empty() && ec == std::errc() && p == text.data() + text.size()) {
            out = _variant_t(f);
            return true;
        }
    } else if (type == adDouble) {
        if (ParseDouble(text, d)) {
            out = _variant_t(d);
            return true;
        }
    } else if (type == adNumeric) {
        DECIMAL dec;
        if (DECIMAL::Parse(text, dec)) {
            out = _variant_t(dec);
            return true;
        }
        // Exact digits beyond the decimal type stay text; only a number written with an
        // exponent (which a dynamically typed database may hold) becomes a double.
        if (text.find_first_of("eEnN") != std::string_view::npos && ParseDouble(text, d)) {
            out = _variant_t(d);
            return true;
        }
    } else if (type == adDBDate || type == adDBTime || type == adDBTimeStamp) {
        DateParts p;
        if (ParseDateText(text, type, p)) {
            out = DateVariant(type, p, text);
            return out.vt == VT_DATE;
        }
    } else if (type == adCurrency) {
        CY amount;
        if (ParseMoneyText(text, amount)) {
            out = _variant_t(amount);
            return true;
        }
    } else if (type == adGUID) {
        GUID g;
        if (GUID::Parse(std::string(text), g)) {
            out = _variant_t(g.ToString());
            return true;
        }
    }
    return false;
}

void AppendVariantText(const _variant_t& v, std::string& out)
{
    auto it = std::back_inserter(out);
    switch (v.vt) {
    case VT_I1: fmt::format_to(it, "{}", v.num.cVal); break;
    case VT_UI1: fmt::format_to(it, "{}", v.num.bVal); break;
    case VT_I2: fmt::format_to(it, "{}", v.num.iVal); break;
    case VT_UI2: fmt::format_to(it, "{}", v.num.uiVal); break;
    case VT_I4: fmt::format_to(it, "{}", v.num.lVal); break;
    case VT_UI4: fmt::format_to(it, "{}", v.num.ulVal); break;
    case VT_I8: fmt::format_to(it, "{}", v.num.llVal); break;
    case VT_UI8: fmt::format_to(it, "{}", v.num.ullVal); break;
    case VT_R4: AppendFloatText(v.num.fltVal, out); break;
    case VT_R8: AppendDoubleText(v.num.dblVal, out); break;
    case VT_DATE: AppendDateText(v.num.date, out); break;
    case VT_BSTR: out += v.str; break;
    default: out += v.ToString(); break;
    }
}

} // namespace ado::detail
