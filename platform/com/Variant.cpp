#include "Variant.h"

#include "Calendar.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

typedef unsigned __int128 u128;

// 2^96 - 1, the largest DECIMAL mantissa.
constexpr u128 kMaxMantissa = (static_cast<u128>(1) << 96) - 1;

u128 Mantissa(const DECIMAL& d) { return (static_cast<u128>(d.Hi32) << 64) | d.Lo64; }

void SetMantissa(DECIMAL& d, u128 m)
{
    d.Hi32 = static_cast<uint32_t>(m >> 64);
    d.Lo64 = static_cast<uint64_t>(m);
}

u128 Pow10(int n)
{
    u128 r = 1;
    while (n-- > 0)
        r *= 10;
    return r;
}

[[noreturn]] void TypeMismatch() { throw _com_error(DISP_E_TYPEMISMATCH); }
[[noreturn]] void Overflow() { throw _com_error(DISP_E_OVERFLOW); }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool ParseDouble(std::string_view text, double& out)
{
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && ptr == text.data() + text.size();
}

// Automation coercions round half to even.
int64_t RoundToInt64(double v)
{
    if (std::isnan(v))
        Overflow();
    double r = std::nearbyint(v);
    if (r < -9223372036854775808.0 || r >= 9223372036854775808.0)
        Overflow();
    return static_cast<int64_t>(r);
}

// Integer division of a non-negative value by 10^n, rounding half to even.
u128 DivRoundEven(u128 m, int n)
{
    if (n <= 0)
        return m;
    u128 p = Pow10(n);
    u128 q = m / p;
    u128 r = m % p;
    if (r * 2 > p || (r * 2 == p && (q & 1)))
        ++q;
    return q;
}

// The exact value of a currency amount.
DECIMAL CurrencyAsDecimal(const CY& c)
{
    DECIMAL d;
    d.negative = c.int64 < 0;
    d.Lo64 = d.negative ? 0 - static_cast<uint64_t>(c.int64) : static_cast<uint64_t>(c.int64);
    d.scale = 4;
    return d;
}

std::string FormatCurrency(const CY& c)
{
    std::string s = CurrencyAsDecimal(c).ToString();
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.')
            s.pop_back();
    }
    return s;
}

int64_t DecimalToInt64(const DECIMAL& d)
{
    u128 q = DivRoundEven(Mantissa(d), d.scale);
    if (d.negative) {
        if (q > static_cast<u128>(std::numeric_limits<int64_t>::max()) + 1)
            Overflow();
        return static_cast<int64_t>(0 - static_cast<uint64_t>(q));
    }
    if (q > static_cast<u128>(std::numeric_limits<int64_t>::max()))
        Overflow();
    return static_cast<int64_t>(q);
}

int CompareDecimal(const DECIMAL& a, const DECIMAL& b)
{
    u128 ma = Mantissa(a), mb = Mantissa(b);
    bool za = ma == 0, zb = mb == 0;
    int sa = za ? 0 : (a.negative ? -1 : 1);
    int sb = zb ? 0 : (b.negative ? -1 : 1);
    if (sa != sb)
        return sa < sb ? -1 : 1;
    if (sa == 0)
        return 0;
    // Bring both to the larger scale; 96 bits times 10^28 fits in neither 128 bits, so compare
    // integer parts first, then the remainders.
    u128 pa = Pow10(a.scale), pb = Pow10(b.scale);
    u128 ia = ma / pa, ib = mb / pb;
    int mag;
    if (ia != ib) {
        mag = ia < ib ? -1 : 1;
    } else {
        u128 ra = ma % pa, rb = mb % pb;
        int s = std::max(a.scale, b.scale);
        u128 fa = ra * Pow10(s - a.scale), fb = rb * Pow10(s - b.scale);
        mag = fa == fb ? 0 : (fa < fb ? -1 : 1);
    }
    return sa > 0 ? mag : -mag;
}

// The value of an empty variant or of an integer type narrower than 64 bits, which every
// numeric conversion takes as it is; false for any other type.
bool SmallIntegerValue(const _variant_t& v, int64_t& out)
{
    const auto& num = v.num;
    switch (v.vt) {
    case VT_EMPTY: out = 0; return true;
    case VT_I1: out = num.cVal; return true;
    case VT_UI1: out = num.bVal; return true;
    case VT_I2: out = num.iVal; return true;
    case VT_UI2: out = num.uiVal; return true;
    case VT_I4:
    case VT_INT: out = num.lVal; return true;
    case VT_UI4:
    case VT_UINT: out = num.ulVal; return true;
    default: return false;
    }
}

} // namespace

// The date part is left out for a pure time (day zero) and the time part for midnight, as the
// automation conversion does; the form itself is ISO 8601.
void AppendDateText(DATE value, std::string& out)
{
    if (!std::isfinite(value) || value <= -657435.0 || value >= 2958466.0)
        TypeMismatch();
    double whole = std::trunc(value);
    int64_t seconds = std::llround(std::fabs(value - whole) * 86400.0);
    int64_t day = static_cast<int64_t>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++day;
    }
    auto it = std::back_inserter(out);
    if (seconds == 0 || day != 0) {
        int64_t y;
        unsigned mo, d;
        CivilFromDays(day - kDaysFrom1899To1970, y, mo, d);
        fmt::format_to(it, "{:04}-{:02}-{:02}", y, mo, d);
        if (seconds == 0)
            return;
        out.push_back(' ');
    }
    fmt::format_to(it, "{:02}:{:02}:{:02}", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

namespace {

// The value in the automation style ("0.1", "1E+20": at least `digits` significant digits,
// exponent notation when the exponent is below -4 or not below the digits shown) with the
// digits of the shortest text that reads back as the same number: a text that rounds the value
// away would lose data.
template <typename T>
void AppendRoundTripText(T v, int digits, std::string& out)
{
    if (std::isnan(v)) {
        out += "NaN";
        return;
    }
    if (std::isinf(v)) {
        out += v > 0 ? "Infinity" : "-Infinity";
        return;
    }
    // The shortest round trip in scientific form: "-d.ddde-XX".
    char buf[64];
    char* end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific).ptr;
    std::string_view text(buf, static_cast<size_t>(end - buf));
    size_t e = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), end, exponent);
    std::string mantissa;
    for (char c : text.substr(0, e))
        if (c >= '0' && c <= '9')
            mantissa.push_back(c);
    if (text.front() == '-')
        out.push_back('-');
    const int shown = std::max(digits, static_cast<int>(mantissa.size()));
    if (exponent < -4 || exponent >= shown) {
        out.push_back(mantissa[0]);
        if (mantissa.size() > 1) {
            out.push_back('.');
            out.append(mantissa, 1);
        }
        fmt::format_to(std::back_inserter(out), "E{}{:02}", exponent < 0 ? '-' : '+', std::abs(exponent));
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += mantissa;
    } else {
        const size_t whole = static_cast<size_t>(exponent) + 1;
        if (mantissa.size() <= whole) {
            out += mantissa;
            out.append(whole - mantissa.size(), '0');
        } else {
            out.append(mantissa, 0, whole);
            out.push_back('.');
            out.append(mantissa, whole);
        }
    }
}

} // namespace

void AppendDoubleText(double value, std::string& out)
{
    AppendRoundTripText(value, 15, out);
}

void AppendFloatText(float value, std::string& out)
{
    AppendRoundTripText(value, 7, out);
}

std::string DECIMAL::ToString() const
{
    u128 m = Mantissa(*this);
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(m % 10)));
        m /= 10;
    } while (m != 0);
    while (digits.size() <= scale)
        digits.push_back('0');
    std::reverse(digits.begin(), digits.end());
    if (scale > 0)
        digits.insert(digits.size() - scale, 1, '.');
    bool zero = Hi32 == 0 && Lo64 == 0;
    if (negative && !zero)
        digits.insert(digits.begin(), '-');
    return digits;
}

bool DECIMAL::Parse(std::string_view text, DECIMAL& out)
{
    text = Trim(text);
    bool neg = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        neg = text.front() == '-';
        text.remove_prefix(1);
    }
    size_t dot = text.find('.');
    std::string_view intPart = text.substr(0, dot);
    std::string_view fracPart = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (intPart.empty() && fracPart.empty())
        return false;
    auto allDigits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!allDigits(intPart) || !allDigits(fracPart))
        return false;

    u128 m = 0;
    for (char c : intPart) {
        m = m * 10 + static_cast<unsigned>(c - '0');
        if (m > kMaxMantissa)
            return false;
    }
    // Fraction digits are kept as written within 28 places and 96 bits; beyond that only zeros
    // may follow, as a rounded decimal would be a different number.
    int scale = 0;
    size_t i = 0;
    for (; i < fracPart.size() && scale < 28; ++i) {
        u128 next = m * 10 + static_cast<unsigned>(fracPart[i] - '0');
        if (next > kMaxMantissa)
            break;
        m = next;
        ++scale;
    }
    if (fracPart.find_first_not_of('0', i) != std::string_view::npos)
        return false;
    DECIMAL d;
    SetMantissa(d, m);
    d.scale = static_cast<uint8_t>(scale);
    d.negative = neg && m != 0;
    out = d;
    return true;
}

double DECIMAL::ToDouble() const
{
    // Through the text so the result is the correctly rounded nearest double.
    std::string s = ToString();
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

int64_t _variant_t::ToInt64() const
{
    if (int64_t small; SmallIntegerValue(*this, small))
        return small;
    switch (vt) {
    case VT_I8: return num.llVal;
    case VT_UI8:
        if (num.ullVal > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
            Overflow();
        return static_cast<int64_t>(num.ullVal);
    case VT_R4: return RoundToInt64(num.fltVal);
    case VT_R8:
    case VT_DATE: return RoundToInt64(num.dblVal);
    case VT_BOOL: return num.boolVal ? -1 : 0;
    case VT_CY: return DecimalToInt64(CurrencyAsDecimal(num.cyVal));
    case VT_DECIMAL: return DecimalToInt64(num.decVal);
    case VT_BSTR: {
        std::string_view t = Trim(str);
        if (!t.empty() && t.front() == '+')
            t.remove_prefix(1);
        int64_t v = 0;
        auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        if (!t.empty() && ptr == t.data() + t.size()) {
            if (ec == std::errc::result_out_of_range)
                Overflow();
            if (ec == std::errc())
                return v;
        }
        double d;
        if (!ParseDouble(str, d))
            TypeMismatch();
        return RoundToInt64(d);
    }
    default: TypeMismatch();
    }
}

int32_t _variant_t::ToLong() const
{
    int64_t v = ToInt64();
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        Overflow();
    return static_cast<int32_t>(v);
}

double _variant_t::ToDouble() const
{
    if (int64_t small; SmallIntegerValue(*this, small))
        return static_cast<double>(small);
    switch (vt) {
    case VT_I8: return static_cast<double>(num.llVal);
    case VT_UI8: return static_cast<double>(num.ullVal);
    case VT_R4: return num.fltVal;
    case VT_R8:
    case VT_DATE: return num.dblVal;
    case VT_BOOL: return num.boolVal ? -1.0 : 0.0;
    case VT_CY: return static_cast<double>(num.cyVal.int64) / 10000.0;
    case VT_DECIMAL: return num.decVal.ToDouble();
    case VT_BSTR: {
        double d;
        if (!ParseDouble(str, d))
            TypeMismatch();
        return d;
    }
    default: TypeMismatch();
    }
}

bool _variant_t::ToBool() const
{
    switch (vt) {
    case VT_BOOL: return num.boolVal != VARIANT_FALSE;
    case VT_R4: return num.fltVal != 0;
    case VT_R8:
    case VT_DATE: return num.dblVal != 0;
    case VT_DECIMAL: return num.decVal.Hi32 != 0 || num.decVal.Lo64 != 0;
    case VT_BSTR: {
        std::string_view t = Trim(str);
        auto equalsNoCase = [&](std::string_view word) {
            return t.size() == word.size() && std::equal(t.begin(), t.end(), word.begin(), [](char a, char b) {
                       return std::tolower(static_cast<unsigned char>(a)) == b;
                   });
        };
        if (equalsNoCase("true"))
            return true;
        if (equalsNoCase("false"))
            return false;
        return ToDouble() != 0;
    }
    default: return ToInt64() != 0;
    }
}

std::string _variant_t::ToString() const
{
    switch (vt) {
    case VT_EMPTY: return {};
    case VT_BSTR: return str;
    case VT_I1: return fmt::format("{}", num.cVal);
    case VT_UI1: return fmt::format("{}", num.bVal);
    case VT_I2: return fmt::format("{}", num.iVal);
    case VT_UI2: return fmt::format("{}", num.uiVal);
    case VT_I4:
    case VT_INT: return fmt::format("{}", num.lVal);
    case VT_UI4:
    case VT_UINT: return fmt::format("{}", num.ulVal);
    case VT_I8: return fmt::format("{}", num.llVal);
    case VT_UI8: return fmt::format("{}", num.ullVal);
    case VT_R4: {
        std::string out;
        AppendFloatText(num.fltVal, out);
        return out;
    }
    case VT_R8: {
        std::string out;
        AppendDoubleText(num.dblVal, out);
        return out;
    }
    case VT_DATE: {
        std::string out;
        AppendDateText(num.date, out);
        return out;
    }
    case VT_BOOL: return num.boolVal ? "True" : "False";
    case VT_CY: return FormatCurrency(num.cyVal);
    case VT_DECIMAL: return num.decVal.ToString();
    default: TypeMismatch();
    }
}

bool _variant_t::operator==(const _variant_t& o) const
{
    if (vt != o.vt)
        return false;
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL: return true;
    case VT_BSTR: return str == o.str;
    case VT_I1: return num.cVal == o.num.cVal;
    case VT_UI1: return num.bVal == o.num.bVal;
    case VT_I2: return num.iVal == o.num.iVal;
    case VT_UI2: return num.uiVal == o.num.uiVal;
    case VT_BOOL: return (num.boolVal != 0) == (o.num.boolVal != 0);
    case VT_I4:
    case VT_INT: return num.lVal == o.num.lVal;
    case VT_UI4:
    case VT_UINT: return num.ulVal == o.num.ulVal;
    case VT_ERROR: return num.scode == o.num.scode;
    case VT_I8: return num.llVal == o.num.llVal;
    case VT_UI8: return num.ullVal == o.num.ullVal;
    case VT_R4: return num.fltVal == o.num.fltVal;
    case VT_R8:
    case VT_DATE: return num.dblVal == o.num.dblVal;
    case VT_CY: return num.cyVal == o.num.cyVal;
    case VT_DECIMAL: return CompareDecimal(num.decVal, o.num.decVal) == 0;
    case VT_ARRAY | VT_UI1: return bytes == o.bytes;
    default: return false;
    }
}
