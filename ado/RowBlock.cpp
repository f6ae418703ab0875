#include "RowBlock.h"

#include "OdbcError.h"
#include "TypeMapping.h"
#include "Unicode.h"

#include "platform/com/Calendar.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

namespace ado::detail {

namespace {

// Buffers of text and binary cells: a value up to this size is read in the block.
constexpr SQLLEN kBlockCellCap = 4096;
// A driver that fills the rest of every buffer with zeros pays for its whole size in each cell,
// so its text buffers stay small; longer values are read again in full.
constexpr SQLLEN kPaddedCellCap = 256;
// In one-row blocks a larger buffer costs little and saves reading long values twice.
constexpr SQLLEN kRowCellCap = 65536;
// The bound buffers of one block stay within this size.
constexpr size_t kBlockBytes = 4 * 1024 * 1024;

// Days since 1899-12-30 with the time of day as fraction; before that day the fraction
// still counts forward from midnight, as the automation date type has it.
DATE MakeDate(int y, unsigned m, unsigned d, unsigned h, unsigned mi, unsigned s, unsigned long fractionNs)
{
    double day = static_cast<double>(DaysFromCivil(y, m, d) + kDaysFrom1899To1970);
    double time = (h * 3600.0 + mi * 60.0 + s + fractionNs / 1e9) / 86400.0;
    return day >= 0 ? day + time : day - time;
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

// "HH:MM[:SS[.fff]]" from pos to the end (an optional trailing Z allowed).
bool ParseTime(std::string_view s, size_t pos, unsigned& h, unsigned& mi, unsigned& sec, unsigned long& ns)
{
    sec = 0;
    ns = 0;
    if (!Digits(s, pos, 2, h) || pos + 2 >= s.size() || s[pos + 2] != ':' || !Digits(s, pos + 3, 2, mi))
        return false;
    pos += 5;
    if (pos < s.size() && s[pos] == ':') {
        if (!Digits(s, pos + 1, 2, sec))
            return false;
        pos += 3;
        if (pos < s.size() && s[pos] == '.') {
            ++pos;
            unsigned long scale = 100000000;
            size_t start = pos;
            while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
                ns += static_cast<unsigned long>(s[pos] - '0') * scale;
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
    return pos == s.size() && h < 24 && mi < 60 && sec < 60;
}

// Text a dynamically typed database keeps in a date or time column.
bool ParseDateText(std::string_view s, DataTypeEnum type, DATE& out)
{
    unsigned h = 0, mi = 0, sec = 0;
    unsigned long ns = 0;
    if (type == adDBTime && s.size() >= 5 && s[2] == ':') {
        if (!ParseTime(s, 0, h, mi, sec, ns))
            return false;
        out = (h * 3600.0 + mi * 60.0 + sec + ns / 1e9) / 86400.0;
        return true;
    }
    unsigned y, m, d;
    if (!Digits(s, 0, 4, y) || s.size() < 10 || s[4] != '-' || !Digits(s, 5, 2, m) || s[7] != '-' || !Digits(s, 8, 2, d))
        return false;
    if (!ValidDate(static_cast<int>(y), m, d))
        return false;
    if (s.size() > 10) {
        if ((s[10] != ' ' && s[10] != 'T') || !ParseTime(s, 11, h, mi, sec, ns))
            return false;
    }
    out = MakeDate(static_cast<int>(y), m, d, h, mi, sec, ns);
    return true;
}

_variant_t OfType(VARTYPE vt)
{
    return _variant_t::OfType(vt);
}

// The variant of an integer column: the column's own VT_ where the value fits, else the
// 64-bit type, so no value is cut.
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

// A value read as text: the declared type's variant where the text is a value of that type;
// false when it stays text (a dynamically typed database keeps any value in any column, and
// values such as 'infinity' have no variant of their type).
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
        DATE date;
        if (ParseDateText(text, type, date)) {
            out = _variant_t::Date(date);
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

// Appends what ToString gives, without a temporary string for the common types.
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
    case VT_R4: AppendDoubleText(v.num.fltVal, 7, out); break;
    case VT_R8: AppendDoubleText(v.num.dblVal, 15, out); break;
    case VT_DATE: AppendDateText(v.num.date, out); break;
    case VT_BSTR: out += v.str; break;
    default: out += v.ToString(); break;
    }
}

void AppendGuid(const SQLGUID& g, std::string& out)
{
    fmt::format_to(std::back_inserter(out), "{{{:08X}-{:04X}-{:04X}-{:02X}{:02X}-{:02X}{:02X}{:02X}{:02X}{:02X}{:02X}}}",
                   static_cast<uint32_t>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                   g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
}

// The column's name and SQL description.
std::string DescribeColumn(SQLHSTMT h, SQLUSMALLINT col, bool utf8Ansi, ColumnInfo& c, StatementCheck& check)
{
    SQLSMALLINT nameLen = 0;
    if (utf8Ansi) {
        std::vector<SQLCHAR> name(512);
        check.Check(SQLDescribeCol(h, col, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLen, &c.sqlType,
                                   &c.columnSize, &c.decimalDigits, &c.nullable));
        if (nameLen >= static_cast<SQLSMALLINT>(name.size())) {
            name.resize(static_cast<size_t>(nameLen) + 1);
            check.Check(SQLDescribeCol(h, col, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLen, &c.sqlType,
                                       &c.columnSize, &c.decimalDigits, &c.nullable));
        }
        return std::string(reinterpret_cast<const char*>(name.data()));
    }
    std::vector<SQLWCHAR> name(256);
    check.Check(SQLDescribeColW(h, col, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLen, &c.sqlType,
                                &c.columnSize, &c.decimalDigits, &c.nullable));
    if (nameLen >= static_cast<SQLSMALLINT>(name.size())) {
        name.resize(static_cast<size_t>(nameLen) + 1);
        check.Check(SQLDescribeColW(h, col, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLen, &c.sqlType,
                                    &c.columnSize, &c.decimalDigits, &c.nullable));
    }
    // Some drivers count the name in bytes: the name ends at its terminator in any case.
    size_t length = std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(nameLen, 0)), name.size() - 1);
    length = static_cast<size_t>(std::find(name.begin(), name.begin() + static_cast<long>(length), SQLWCHAR(0)) - name.begin());
    return FromWide(name.data(), length);
}

} // namespace

void RowBlock::ChooseBinding(ColumnInfo& c, const DriverTraits& traits, bool blockRepair)
{
    const SQLLEN cap = traits.padsBuffers ? kPaddedCellCap : kBlockCellCap;
    auto textual = [&](bool binary) {
        SQLULEN size = c.columnSize;
        bool unbounded = size == 0 || size > static_cast<SQLULEN>(kBlockCellCap) || IsLongSqlType(c.sqlType);
        SQLLEN needed = unbounded ? cap : binary ? static_cast<SQLLEN>(size)
                        : traits.utf8Text ? static_cast<SQLLEN>(size * 4 + 1) : static_cast<SQLLEN>(size * 2 + 2);
        c.width = std::min(needed, cap);
        c.mayOverflow = unbounded || traits.dynamicTyping || needed > cap;
        if (binary) {
            c.kind = CellKind::Binary;
            c.cType = SQL_C_BINARY;
        } else if (traits.utf8Text) {
            c.kind = CellKind::Text;
            c.cType = SQL_C_CHAR;
        } else {
            c.kind = CellKind::WideText;
            c.cType = SQL_C_WCHAR;
        }
    };
    auto fixed = [&](CellKind kind, SQLSMALLINT cType, SQLLEN width) {
        c.kind = kind;
        c.cType = cType;
        c.width = width;
    };

    switch (c.sqlType) {
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY: textual(true); return;
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR: textual(false); return;
    default: break;
    }
    if (traits.utf8Text) {
        SQLLEN width = c.type == adNumeric ? std::clamp<SQLLEN>(static_cast<SQLLEN>(c.columnSize) + 3, 48, 512) : 64;
        fixed(CellKind::TypedText, SQL_C_CHAR, width);
        // A dynamically typed database may hold any text in the column; an unconstrained
        // numeric may be longer than its declared precision.
        c.mayOverflow = traits.dynamicTyping || c.type == adNumeric;
        return;
    }
    switch (c.type) {
    case adTinyInt: case adUnsignedTinyInt: case adSmallInt: case adUnsignedSmallInt: case adInteger:
    case adUnsignedInt: case adBigInt: fixed(CellKind::Integer, SQL_C_SBIGINT, sizeof(SQLBIGINT)); return;
    case adUnsignedBigInt: fixed(CellKind::Unsigned, SQL_C_UBIGINT, sizeof(SQLUBIGINT)); return;
    case adBoolean: fixed(CellKind::Bit, SQL_C_BIT, 1); return;
    case adSingle: fixed(CellKind::Single, SQL_C_FLOAT, sizeof(SQLREAL)); return;
    case adDouble: fixed(CellKind::Double, SQL_C_DOUBLE, sizeof(SQLDOUBLE)); return;
    case adNumeric:
        // Exact digits as text; the declared precision sizes the buffer, and a longer value
        // (an unconstrained numeric) is read again in full.
        fixed(CellKind::Decimal, SQL_C_CHAR, std::clamp<SQLLEN>(static_cast<SQLLEN>(c.columnSize) + 3, 48, 512));
        c.mayOverflow = blockRepair;
        return;
    case adDBDate: fixed(CellKind::Date, SQL_C_TYPE_DATE, sizeof(SQL_DATE_STRUCT)); return;
    case adDBTime: fixed(CellKind::Time, SQL_C_TYPE_TIME, sizeof(SQL_TIME_STRUCT)); return;
    case adDBTimeStamp: fixed(CellKind::Timestamp, SQL_C_TYPE_TIMESTAMP, sizeof(SQL_TIMESTAMP_STRUCT)); return;
    case adGUID: fixed(CellKind::Guid, SQL_C_GUID, sizeof(SQLGUID)); return;
    default: textual(false); return;
    }
}

void RowBlock::Bind(SQLHSTMT h, const DriverTraits& traits, SQLSMALLINT numColumns, long preferredRows, StatementCheck& check)
{
    m_columns.assign(static_cast<size_t>(numColumns), {});
    m_blockRepair = traits.getDataBlock;
    m_anyOverflow = false;
    m_anyUnbound = false;
    for (SQLSMALLINT i = 0; i < numColumns; ++i) {
        ColumnInfo& c = m_columns[static_cast<size_t>(i)];
        c.name = DescribeColumn(h, static_cast<SQLUSMALLINT>(i + 1), traits.utf8Ansi, c, check);
        SQLLEN isUnsigned = SQL_FALSE;
        SQLColAttributeW(h, static_cast<SQLUSMALLINT>(i + 1), SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned);
        c.isUnsigned = isUnsigned == SQL_TRUE;
        c.type = AdoTypeOfSqlType(c.sqlType, c.isUnsigned && (c.sqlType == SQL_TINYINT || c.sqlType == SQL_SMALLINT
                                                              || c.sqlType == SQL_INTEGER || c.sqlType == SQL_BIGINT));
        FieldShape shape = ShapeOfColumn(c.sqlType, c.type, c.columnSize, c.decimalDigits, c.nullable);
        c.definedSize = shape.definedSize;
        c.precision = shape.precision;
        c.numericScale = shape.numericScale;
        c.attributes = shape.attributes;
        ChooseBinding(c, traits, m_blockRepair);
        m_anyOverflow = m_anyOverflow || c.mayOverflow;
    }

    // Without SQLGetData on any row of a block, a value longer than its buffer can only be
    // read in full while its row is the only one fetched.
    bool rowMode = m_anyOverflow && !m_blockRepair;
    if (rowMode) {
        bool afterUnbound = false;
        for (auto& c : m_columns) {
            if (!traits.padsBuffers && c.mayOverflow
                && (c.kind == CellKind::Text || c.kind == CellKind::WideText || c.kind == CellKind::Binary))
                c.width = std::max(c.width, c.kind == CellKind::WideText ? kRowCellCap * 2 : kRowCellCap);
            // Without SQLGetData on bound columns, such columns and every one after them are
            // read with SQLGetData alone.
            if (!traits.getDataBound && (c.mayOverflow || afterUnbound)) {
                c.bound = false;
                afterUnbound = true;
                m_anyUnbound = true;
            }
        }
    }

    size_t rowBytes = 0;
    for (const auto& c : m_columns)
        rowBytes += static_cast<size_t>(c.bound ? c.width : 0) + sizeof(SQLLEN);
    m_rows = rowMode ? 1 : static_cast<size_t>(std::clamp<long>(preferredRows, 1, std::max<long>(1, static_cast<long>(kBlockBytes / std::max<size_t>(rowBytes, 1)))));

    SQLFreeStmt(h, SQL_UNBIND);
    SQLSetStmtAttrW(h, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0);
    SQLSetStmtAttrW(h, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(m_rows)), 0);
    SQLULEN actual = 0;
    if (SQL_SUCCEEDED(SQLGetStmtAttrW(h, SQL_ATTR_ROW_ARRAY_SIZE, &actual, 0, nullptr)) && actual >= 1 && actual < m_rows)
        m_rows = actual;
    m_status.assign(m_rows, SQL_ROW_SUCCESS);
    m_fetched = 0;
    SQLSetStmtAttrW(h, SQL_ATTR_ROWS_FETCHED_PTR, &m_fetched, 0);
    SQLSetStmtAttrW(h, SQL_ATTR_ROW_STATUS_PTR, m_status.data(), 0);

    m_cells.assign(m_columns.size(), {});
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const ColumnInfo& c = m_columns[i];
        CellArray& a = m_cells[i];
        a.ind.assign(m_rows, SQL_NULL_DATA);
        if (c.kind == CellKind::Text || c.kind == CellKind::WideText || c.kind == CellKind::Binary
            || c.kind == CellKind::Decimal || c.kind == CellKind::TypedText)
            a.whole.resize(m_rows);
        if (!c.bound)
            continue;
        a.data.assign(m_rows * static_cast<size_t>(c.width), 0);
        check.Check(SQLBindCol(h, static_cast<SQLUSMALLINT>(i + 1), c.cType, a.data.data(), c.width, a.ind.data()));
    }
}

bool RowBlock::Truncated(const ColumnInfo& c, SQLLEN ind) const
{
    if (ind == SQL_NO_TOTAL)
        return true;
    switch (c.kind) {
    case CellKind::Text:
    case CellKind::Decimal:
    case CellKind::TypedText: return ind >= c.width;
    case CellKind::WideText: return ind > c.width - 2;
    case CellKind::Binary: return ind > c.width;
    default: return false;
    }
}

void RowBlock::ReadWhole(SQLHSTMT h, size_t row, size_t col, StatementCheck& check)
{
    const ColumnInfo& c = m_columns[col];
    CellArray& a = m_cells[col];
    std::string& whole = a.whole[row];
    whole.clear();
    m_wideScratch.clear();
    const bool wide = c.kind == CellKind::WideText;
    const SQLSMALLINT cType = wide ? SQL_C_WCHAR : c.kind == CellKind::Binary ? SQL_C_BINARY : SQL_C_CHAR;
    const SQLLEN terminator = wide ? 2 : cType == SQL_C_CHAR ? 1 : 0;
    char chunk[16384];
    while (true) {
        SQLLEN ind = 0;
        SQLRETURN rc = SQLGetData(h, static_cast<SQLUSMALLINT>(col + 1), cType, chunk, sizeof chunk, &ind);
        if (rc == SQL_NO_DATA)
            break;
        check.Check(rc);
        if (ind == SQL_NULL_DATA) {
            a.ind[row] = SQL_NULL_DATA;
            return;
        }
        SQLLEN room = static_cast<SQLLEN>(sizeof chunk) - terminator;
        SQLLEN n = (ind == SQL_NO_TOTAL || ind > room) ? room : ind;
        if (wide)
            m_wideScratch.append(reinterpret_cast<const char16_t*>(chunk), static_cast<size_t>(n) / 2);
        else
            whole.append(chunk, static_cast<size_t>(n));
        if (rc == SQL_SUCCESS)
            break;
        // The rest is known: make room for it at once.
        if (ind != SQL_NO_TOTAL && ind > n && !wide)
            whole.reserve(whole.size() + static_cast<size_t>(ind - n));
    }
    if (wide)
        AppendUtf8(reinterpret_cast<const SQLWCHAR*>(m_wideScratch.data()), m_wideScratch.size(), whole);
    a.ind[row] = kInWhole;
}

void RowBlock::RepairBlock(SQLHSTMT h, StatementCheck& check)
{
    for (size_t col = 0; col < m_columns.size(); ++col) {
        const ColumnInfo& c = m_columns[col];
        if (!c.bound || m_cells[col].whole.empty())
            continue;
        const std::vector<SQLLEN>& ind = m_cells[col].ind;
        for (size_t row = 0; row < m_fetched; ++row) {
            if (ind[row] == SQL_NULL_DATA || !Truncated(c, ind[row]))
                continue;
            if (m_rows > 1) {
                if (!m_blockRepair)
                    check.Fail(fmt::format("The driver returned a value in column \"{}\" longer than the column's declared "
                                           "size; the value cannot be read in full.",
                                           c.name));
                check.Check(SQLSetPos(h, static_cast<SQLSETPOSIROW>(row + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE));
            }
            ReadWhole(h, row, col, check);
        }
    }
}

bool RowBlock::Fetch(SQLHSTMT h, StatementCheck& check)
{
    m_fetched = 0;
    SQLRETURN rc = SQLFetch(h);
    if (rc == SQL_NO_DATA)
        return false;
    check.Check(rc);
    if (m_fetched == 0)
        return false;
    for (size_t r = 0; r < m_fetched; ++r)
        if (m_status[r] == SQL_ROW_ERROR)
            check.Check(SQL_ERROR);
    if (m_anyUnbound)
        for (size_t col = 0; col < m_columns.size(); ++col)
            if (!m_columns[col].bound)
                ReadWhole(h, 0, col, check);
    RepairBlock(h, check);
    return true;
}

std::string_view RowBlock::Bytes(size_t row, size_t col) const
{
    const CellArray& a = m_cells[col];
    SQLLEN ind = a.ind[row];
    if (ind == kInWhole)
        return a.whole[row];
    const ColumnInfo& c = m_columns[col];
    const char* p = reinterpret_cast<const char*>(a.data.data()) + row * static_cast<size_t>(c.width);
    return std::string_view(p, static_cast<size_t>(std::max<SQLLEN>(ind, 0)));
}

_variant_t RowBlock::Value(size_t row, size_t col) const
{
    const CellArray& a = m_cells[col];
    if (a.ind[row] == SQL_NULL_DATA)
        return _variant_t::Null();
    const ColumnInfo& c = m_columns[col];
    const unsigned char* p = a.data.data() + row * static_cast<size_t>(c.width);
    switch (c.kind) {
    case CellKind::Integer: {
        SQLBIGINT v;
        std::memcpy(&v, p, sizeof v);
        return IntegerVariant(c.type, v);
    }
    case CellKind::Unsigned: {
        SQLUBIGINT v;
        std::memcpy(&v, p, sizeof v);
        return _variant_t::UI8(v);
    }
    case CellKind::Bit: return _variant_t(*p != 0);
    case CellKind::Single: {
        SQLREAL v;
        std::memcpy(&v, p, sizeof v);
        return _variant_t(v);
    }
    case CellKind::Double: {
        SQLDOUBLE v;
        std::memcpy(&v, p, sizeof v);
        return _variant_t(v);
    }
    case CellKind::Decimal: {
        std::string_view text = Bytes(row, col);
        DECIMAL d;
        // Digits beyond what the decimal type holds stay as text rather than being lost.
        if (DECIMAL::Parse(text, d))
            return _variant_t(d);
        return _variant_t(text);
    }
    case CellKind::Date: {
        SQL_DATE_STRUCT v;
        std::memcpy(&v, p, sizeof v);
        return _variant_t::Date(MakeDate(v.year, v.month, v.day, 0, 0, 0, 0));
    }
    case CellKind::Time: {
        SQL_TIME_STRUCT v;
        std::memcpy(&v, p, sizeof v);
        return _variant_t::Date((v.hour * 3600.0 + v.minute * 60.0 + v.second) / 86400.0);
    }
    case CellKind::Timestamp: {
        SQL_TIMESTAMP_STRUCT v;
        std::memcpy(&v, p, sizeof v);
        return _variant_t::Date(MakeDate(v.year, v.month, v.day, v.hour, v.minute, v.second, v.fraction));
    }
    case CellKind::Guid: {
        SQLGUID g;
        std::memcpy(&g, p, sizeof g);
        std::string s;
        AppendGuid(g, s);
        return _variant_t(std::move(s));
    }
    case CellKind::Text: return _variant_t(Bytes(row, col));
    case CellKind::WideText: {
        if (a.ind[row] == kInWhole)
            return _variant_t(a.whole[row]);
        std::string s;
        AppendUtf8(reinterpret_cast<const SQLWCHAR*>(p), static_cast<size_t>(a.ind[row]) / 2, s);
        return _variant_t(std::move(s));
    }
    case CellKind::Binary: {
        std::string_view b = Bytes(row, col);
        return _variant_t::Bytes(std::vector<uint8_t>(b.begin(), b.end()));
    }
    case CellKind::TypedText: {
        std::string_view text = Bytes(row, col);
        _variant_t v;
        if (ConvertText(text, c.type, v))
            return v;
        return _variant_t(text);
    }
    }
    return _variant_t::Null();
}

bool RowBlock::AppendText(size_t row, size_t col, std::string& out) const
{
    const CellArray& a = m_cells[col];
    if (a.ind[row] == SQL_NULL_DATA)
        return false;
    const ColumnInfo& c = m_columns[col];
    const unsigned char* p = a.data.data() + row * static_cast<size_t>(c.width);
    switch (c.kind) {
    case CellKind::Text:
    case CellKind::Binary: {
        std::string_view b = Bytes(row, col);
        out.append(b.data(), b.size());
        return true;
    }
    case CellKind::WideText:
        if (a.ind[row] == kInWhole)
            out += a.whole[row];
        else
            AppendUtf8(reinterpret_cast<const SQLWCHAR*>(p), static_cast<size_t>(a.ind[row]) / 2, out);
        return true;
    case CellKind::Guid: {
        SQLGUID g;
        std::memcpy(&g, p, sizeof g);
        AppendGuid(g, out);
        return true;
    }
    case CellKind::TypedText: {
        // The database's own text of the value: converting it to the declared type and back
        // would cost more than reading it.
        std::string_view text = Bytes(row, col);
        out.append(text.data(), text.size());
        return true;
    }
    default: AppendVariantText(Value(row, col), out); return true;
    }
}

long RowBlock::ActualSize(size_t row, size_t col) const
{
    const CellArray& a = m_cells[col];
    if (a.ind[row] == SQL_NULL_DATA)
        return -1;
    const ColumnInfo& c = m_columns[col];
    switch (c.kind) {
    case CellKind::Text:
    case CellKind::TypedText:
    case CellKind::Decimal: return static_cast<long>(CountCodePoints(Bytes(row, col)));
    case CellKind::WideText: {
        if (a.ind[row] == kInWhole)
            return static_cast<long>(CountCodePoints(a.whole[row]));
        const SQLWCHAR* w = reinterpret_cast<const SQLWCHAR*>(a.data.data() + row * static_cast<size_t>(c.width));
        size_t units = static_cast<size_t>(a.ind[row]) / 2;
        return static_cast<long>(units - static_cast<size_t>(std::count_if(w, w + units, [](SQLWCHAR u) { return u >= 0xDC00 && u < 0xE000; })));
    }
    case CellKind::Binary: return static_cast<long>(Bytes(row, col).size());
    default: return c.definedSize;
    }
}

} // namespace ado::detail
