#include "GridSort.h"

#include "Utf8.h"

#include <algorithm>
#include <cmath>
#include <charconv>
#include <cstring>
#include <system_error>

namespace gridsort {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Days from 1970-01-01 of a date of the proleptic Gregorian calendar.
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

bool IsLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

// Reads 1 to maxDigits digits at text[pos].
bool ReadNumber(std::string_view text, size_t& pos, int maxDigits, int& value)
{
    value = 0;
    int digits = 0;
    while (pos < text.size() && IsDigit(text[pos]) && digits < maxDigits) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits > 0 && (pos == text.size() || !IsDigit(text[pos]));
}

bool ReadTime(std::string_view text, size_t& pos, int& seconds)
{
    int h = 0, m = 0, s = 0;
    if (!ReadNumber(text, pos, 2, h) || pos >= text.size() || text[pos] != ':')
        return false;
    ++pos;
    if (!ReadNumber(text, pos, 2, m))
        return false;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if (!ReadNumber(text, pos, 2, s))
            return false;
    }
    if (h > 23 || m > 59 || s > 59)
        return false;
    seconds = h * 3600 + m * 60 + s;
    return true;
}

constexpr long long kDaysTo1899_12_30 = -25569; // DaysFromCivil(1899, 12, 30)

} // namespace

bool IsNumericText(std::string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c == 'e' || c == 'E') && i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-')) {
            ++i;
            continue;
        }
        if (!IsDigit(c) && c != '.' && c != ',')
            return false;
    }
    return true;
}

namespace {

// The number at the start of a text as LeadingNumber reads it: blanks, an optional sign, then
// digits with an optional decimal point and exponent in [start, end). False without digits.
bool ScanNumber(std::string_view text, size_t& start, size_t& end, bool& negative)
{
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    start = pos;
    size_t digits = 0;
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos, ++digits;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && IsDigit(text[pos]))
            ++pos, ++digits;
    }
    if (digits == 0)
        return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        size_t at = pos + 1;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (at < text.size() && IsDigit(text[at])) {
            while (at < text.size() && IsDigit(text[at]))
                ++at;
            pos = at;
        }
    }
    end = pos;
    return true;
}

} // namespace

bool IsNumberText(std::string_view text)
{
    size_t start = 0, end = 0;
    bool negative = false;
    if (!ScanNumber(text, start, end, negative))
        return false;
    while (end < text.size() && IsBlank(text[end]))
        ++end;
    return end == text.size();
}

double LeadingNumber(std::string_view text)
{
    // The extent of the number is found first; from_chars then converts it, correctly rounded
    // and whatever the locale's decimal point.
    size_t start = 0, pos = 0;
    bool negative = false;
    if (!ScanNumber(text, start, pos, negative))
        return 0;
    double value = 0;
    const auto result = std::from_chars(text.data() + start, text.data() + pos, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: infinity or zero in the text's direction.
        const size_t e = text.find_first_of("eE", start);
        const bool tiny = e < pos && e + 1 < pos && text[e + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

bool ParseDateText(std::string_view text, double& seconds)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    size_t pos = 0;
    int a = 0;
    if (!ReadNumber(text, pos, 4, a))
        return false;
    int year = 0, month = 0, day = 0, time = 0;
    if (pos < text.size() && text[pos] == ':') {
        // A time alone.
        pos = 0;
        if (!ReadTime(text, pos, time) || pos != text.size())
            return false;
        seconds = time;
        return true;
    }
    if (pos < text.size() && text[pos] == '-' && pos == 4) {
        year = a;
        ++pos;
        if (!ReadNumber(text, pos, 2, month) || pos >= text.size() || text[pos] != '-')
            return false;
        ++pos;
        if (!ReadNumber(text, pos, 2, day))
            return false;
    } else if (pos < text.size() && text[pos] == '/' && pos <= 2) {
        month = a;
        ++pos;
        if (!ReadNumber(text, pos, 2, day) || pos >= text.size() || text[pos] != '/')
            return false;
        ++pos;
        const size_t start = pos;
        if (!ReadNumber(text, pos, 4, year) || pos - start != 4)
            return false;
    } else {
        return false;
    }
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    if (pos < text.size()) {
        if (text[pos] != ' ' && text[pos] != 'T')
            return false;
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == 'T'))
            ++pos;
        if (!ReadTime(text, pos, time) || pos != text.size())
            return false;
    }
    const long long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                           kDaysTo1899_12_30;
    seconds = static_cast<double>(days) * 86400.0 + time;
    return true;
}

DateKey DateKeyOf(std::string_view text)
{
    DateKey key;
    const size_t stop = text.find('.');
    if (!ParseDateText(text.substr(0, stop), key.seconds)) {
        key.seconds = 0;
        return key;
    }
    if (stop != std::string_view::npos)
        key.fraction = LeadingNumber(text.substr(stop));
    return key;
}

int CompareDecimalTexts(std::string_view a, std::string_view b)
{
    struct Parts {
        bool negative = false;
        std::string_view integer, fraction;
        bool plain = true;
    };
    const auto split = [](std::string_view t) {
        Parts p;
        size_t pos = 0;
        while (pos < t.size() && IsBlank(t[pos]))
            ++pos;
        if (pos < t.size() && (t[pos] == '+' || t[pos] == '-'))
            p.negative = t[pos++] == '-';
        while (pos < t.size() && t[pos] == '0')
            ++pos;
        size_t start = pos;
        while (pos < t.size() && IsDigit(t[pos]))
            ++pos;
        p.integer = t.substr(start, pos - start);
        if (pos < t.size() && t[pos] == '.') {
            start = ++pos;
            while (pos < t.size() && IsDigit(t[pos]))
                ++pos;
            p.fraction = t.substr(start, pos - start);
            while (!p.fraction.empty() && p.fraction.back() == '0')
                p.fraction.remove_suffix(1);
        }
        if (pos < t.size() && (t[pos] == 'e' || t[pos] == 'E'))
            p.plain = false;
        if (p.integer.empty() && p.fraction.empty())
            p.negative = false;
        return p;
    };
    const Parts x = split(a), y = split(b);
    if (!x.plain || !y.plain) {
        const double u = LeadingNumber(a), v = LeadingNumber(b);
        return u < v ? -1 : u > v ? 1 : 0;
    }
    if (x.negative != y.negative)
        return x.negative ? -1 : 1;
    int magnitude = 0;
    if (x.integer.size() != y.integer.size()) {
        magnitude = x.integer.size() < y.integer.size() ? -1 : 1;
    } else if (int c = x.integer.compare(y.integer); c != 0) {
        magnitude = c < 0 ? -1 : 1;
    } else if (int f = x.fraction.compare(y.fraction); f != 0) {
        magnitude = f < 0 ? -1 : 1;
    }
    return x.negative ? -magnitude : magnitude;
}

} // namespace gridsort

GridColumnClass GetGridColumnClass(const CGridStore& store, int gridColumn)
{
    const auto holds = [gridColumn](const std::vector<int>& columns) {
        return std::find(columns.begin(), columns.end(), gridColumn) != columns.end();
    };
    if (holds(store.GetIntegerColumns()))
        return GridColumnClass::Integer;
    if (holds(store.GetDecimalColumns()))
        return GridColumnClass::Decimal;
    if (holds(store.GetDateColumns()))
        return GridColumnClass::Date;
    return GridColumnClass::Text;
}

namespace {

using gridsort::LeadingNumber;

// Numbers longer than this many significant digits may not survive as a double.
constexpr size_t kExactDigits = 15;

bool HasManyDigits(std::string_view text)
{
    size_t digits = 0;
    for (char c : text)
        digits += c >= '0' && c <= '9';
    return digits > kExactDigits;
}

} // namespace

GridSortKind CGridSort::Classify(const CGridStore::Reader& reader, const Order& order, GridColumnClass columnClass,
                                 size_t column, size_t first, size_t last)
{
    switch (columnClass) {
    case GridColumnClass::Integer:
    case GridColumnClass::Decimal: return GridSortKind::Number;
    case GridColumnClass::Date: return GridSortKind::Date;
    case GridColumnClass::Text: break;
    }
    last = std::min(last, reader.GetRowCount() - 1);
    if (reader.GetRowCount() == 0 || first > last)
        return GridSortKind::Text;
    bool numbers = true;
    for (size_t row = first; row <= last && numbers; ++row) {
        const std::string_view text = reader.GetCell(StoreRow(order, row), column);
        // Zeros and negative numbers count too: a column of numbers whose type the driver does
        // not declare (an expression, a VALUES list) sorts by value whatever values it holds.
        if (!text.empty() && !gridsort::IsNumericText(text) && !gridsort::IsNumberText(text))
            numbers = false;
    }
    if (numbers)
        return GridSortKind::Number;
    for (size_t row = first; row <= last; ++row) {
        const std::string_view text = reader.GetCell(StoreRow(order, row), column);
        double seconds;
        if (!text.empty() && !gridsort::ParseDateText(text.substr(0, text.find('.')), seconds))
            return GridSortKind::Text;
    }
    return GridSortKind::Date;
}

namespace {

// Upper-case folding, as a case-insensitive comparison reads text: ASCII through a table, other
// characters by the Unicode simple case mapping.
struct Fold {
    unsigned char ascii[128];
    Fold()
    {
        for (int c = 0; c < 128; ++c)
            ascii[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
};
const Fold kFold;

// The first eight bytes of the folded UTF-8 text, big-endian, zero-padded: equal prefixes
// leave the decision to the whole texts.
uint64_t FoldedPrefix(std::string_view text)
{
    unsigned char bytes[8] = {};
    size_t n = 0;
    for (size_t pos = 0; pos < text.size() && n < 8;) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80) {
            bytes[n++] = kFold.ascii[c];
            ++pos;
            continue;
        }
        std::string encoded;
        utf8::Append(encoded, utf8::ToUpper(utf8::Next(text, pos)));
        for (char e : encoded)
            if (n < 8)
                bytes[n++] = static_cast<unsigned char>(e);
    }
    uint64_t prefix = 0;
    for (unsigned char b : bytes)
        prefix = prefix << 8 | b;
    return prefix;
}

// Compares two texts ignoring case, by folded code point (the order of their folded UTF-8).
int CompareFolded(std::string_view a, std::string_view b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[j]);
        char32_t u, v;
        if (x < 0x80) {
            u = kFold.ascii[x];
            ++i;
        } else {
            u = utf8::ToUpper(utf8::Next(a, i));
        }
        if (y < 0x80) {
            v = kFold.ascii[y];
            ++j;
        } else {
            v = utf8::ToUpper(utf8::Next(b, j));
        }
        if (u != v)
            return u < v ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

// One row of a sort: its key, the store row it shows and its place before the sort, which
// decides between equal keys so that the sort is stable.
struct NumberEntry {
    double key;
    uint32_t row;
    uint32_t place; // top bit: the text has more digits than a double keeps
};
struct TextEntry {
    uint64_t prefix;
    uint32_t row;
    uint32_t place;
};

constexpr uint32_t kLongNumber = 0x80000000u;

} // namespace

void CGridSort::Sort(const CGridStore::Reader& reader, Order& order, size_t column, GridSortKind kind, bool ascending,
                     size_t first, size_t last)
{
    const size_t rows = reader.GetRowCount();
    if (order.size() < rows) {
        const size_t from = order.size();
        order.resize(rows);
        for (size_t i = from; i < rows; ++i)
            order[i] = static_cast<uint32_t>(i);
    }
    if (rows == 0 || first >= rows)
        return;
    last = std::min(last, rows - 1);
    if (first >= last)
        return;
    const size_t count = last - first + 1;
    const auto cell = [&reader, column](uint32_t row) { return reader.GetCell(row, column); };
    // -1 or 1 for the direction, applied to every decided comparison.
    const int sign = ascending ? 1 : -1;

    if (kind == GridSortKind::Text) {
        std::vector<TextEntry> entries(count);
        for (size_t i = 0; i < count; ++i) {
            const uint32_t row = order[first + i];
            entries[i] = TextEntry{FoldedPrefix(cell(row)), row, static_cast<uint32_t>(i)};
        }
        std::sort(entries.begin(), entries.end(), [&](const TextEntry& a, const TextEntry& b) {
            if (a.prefix != b.prefix)
                return (a.prefix < b.prefix) == ascending;
            if (const int c = CompareFolded(cell(a.row), cell(b.row)); c != 0)
                return c * sign < 0;
            return a.place < b.place;
        });
        for (size_t i = 0; i < count; ++i)
            order[first + i] = entries[i].row;
        return;
    }

    std::vector<NumberEntry> entries(count);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t row = order[first + i];
        const std::string_view text = cell(row);
        NumberEntry& e = entries[i];
        e.row = row;
        e.place = static_cast<uint32_t>(i);
        if (kind == GridSortKind::Number) {
            e.key = LeadingNumber(text);
            if (HasManyDigits(text))
                e.place |= kLongNumber;
        } else {
            // Seconds and the fraction after them: the fraction of a date text that is read
            // is below one, so the sum keeps the order of (date, fraction).
            const gridsort::DateKey key = gridsort::DateKeyOf(text);
            e.key = key.seconds + std::clamp(key.fraction, 0.0, 0.999999);
        }
    }
    std::sort(entries.begin(), entries.end(), [&](const NumberEntry& a, const NumberEntry& b) {
        if (a.key != b.key)
            return (a.key < b.key) == ascending;
        if ((a.place & kLongNumber) && (b.place & kLongNumber)) {
            if (const int c = gridsort::CompareDecimalTexts(cell(a.row), cell(b.row)); c != 0)
                return c * sign < 0;
        }
        return (a.place & ~kLongNumber) < (b.place & ~kLongNumber);
    });
    for (size_t i = 0; i < count; ++i)
        order[first + i] = entries[i].row;
}
