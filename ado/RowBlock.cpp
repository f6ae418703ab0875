#include "RowBlock.h"

#include "CellValues.h"
#include "OdbcError.h"
#include "TypeMapping.h"
#include "Unicode.h"

#include <fmt/format.h>

#include <algorithm>
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

void AppendGuid(const SQLGUID& g, std::string& out)
{
    fmt::format_to(std::back_inserter(out), "{{{:08X}-{:04X}-{:04X}-{:02X}{:02X}-{:02X}{:02X}{:02X}{:02X}{:02X}{:02X}}}",
                   static_cast<uint32_t>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                   g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
}

// The database's own name of a column's type (empty when the driver does not say).
std::string ColumnTypeName(SQLHSTMT h, SQLUSMALLINT col)
{
    SQLWCHAR name[64] = {};
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(SQLColAttributeW(h, col, SQL_DESC_TYPE_NAME, name, sizeof name, &bytes, nullptr)))
        return {};
    size_t units = std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(bytes, 0)) / sizeof(SQLWCHAR), 63);
    return FromWide(name, std::find(name, name + units, SQLWCHAR(0)) - name);
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

// The column's label through the ANSI entry point, which gives UTF-8 as it stands on the one
// driver that cuts names (see utf8Ansi); empty when the driver does not say.
std::string ColumnLabel(SQLHSTMT h, SQLUSMALLINT col)
{
    std::vector<SQLCHAR> label(512);
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(SQLColAttribute(h, col, SQL_DESC_LABEL, label.data(), static_cast<SQLSMALLINT>(label.size()), &bytes, nullptr)))
        return {};
    if (bytes >= static_cast<SQLSMALLINT>(label.size())) {
        label.resize(static_cast<size_t>(bytes) + 1);
        if (!SQL_SUCCEEDED(SQLColAttribute(h, col, SQL_DESC_LABEL, label.data(), static_cast<SQLSMALLINT>(label.size()), &bytes, nullptr)))
            return {};
    }
    return std::string(reinterpret_cast<const char*>(label.data()));
}

// The name a query gave the column. A driver that cuts names at their last dot keeps the
// whole in the label, when it keeps it at all: a label that ends in "." and the cut name is
// that whole.
std::string WholeName(SQLHSTMT h, SQLUSMALLINT col, const DriverTraits& traits, std::string name)
{
    if (!traits.cutsNamesAtDots)
        return name;
    std::string label = ColumnLabel(h, col);
    if (label.size() > name.size() && label.compare(label.size() - name.size(), name.size(), name) == 0
        && label[label.size() - name.size() - 1] == '.')
        return label;
    return name;
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
    m_anyInfinityAsDate = false;
    for (SQLSMALLINT i = 0; i < numColumns; ++i) {
        ColumnInfo& c = m_columns[static_cast<size_t>(i)];
        c.name = WholeName(h, static_cast<SQLUSMALLINT>(i + 1), traits,
                           DescribeColumn(h, static_cast<SQLUSMALLINT>(i + 1), traits.utf8Ansi, c, check));
        SQLLEN isUnsigned = SQL_FALSE;
        SQLColAttributeW(h, static_cast<SQLUSMALLINT>(i + 1), SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned);
        c.isUnsigned = isUnsigned == SQL_TRUE;
        // A dynamically typed database keeps values of any length in any column, and its
        // driver makes up a size for binary columns: their values are long binary data.
        if (traits.dynamicTyping && (c.sqlType == SQL_BINARY || c.sqlType == SQL_VARBINARY)) {
            c.sqlType = SQL_LONGVARBINARY;
            c.columnSize = 0;
        }
        c.type = AdoTypeOfSqlType(c.sqlType, c.isUnsigned && (c.sqlType == SQL_TINYINT || c.sqlType == SQL_SMALLINT
                                                              || c.sqlType == SQL_INTEGER || c.sqlType == SQL_BIGINT));
        if (traits.family == DriverFamily::PostgreSQL) {
            // The driver reports money as a floating-point type, but its values are exact
            // amounts in the server's own text ("$1,234.56").
            if (c.type == adDouble && ColumnTypeName(h, static_cast<SQLUSMALLINT>(i + 1)) == "money")
                c.type = adCurrency;
            c.infinityAsDate = traits.getDataBlock && (c.type == adDBDate || c.type == adDBTimeStamp);
            m_anyInfinityAsDate = m_anyInfinityAsDate || c.infinityAsDate;
        }
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
    if (m_anyInfinityAsDate)
        ResolveInfinities(h, check);
    return true;
}

void RowBlock::ResolveInfinities(SQLHSTMT h, StatementCheck& check)
{
    for (size_t col = 0; col < m_columns.size(); ++col) {
        const ColumnInfo& c = m_columns[col];
        if (!c.infinityAsDate)
            continue;
        CellArray& a = m_cells[col];
        for (size_t row = 0; row < m_fetched; ++row) {
            if (a.ind[row] == SQL_NULL_DATA)
                continue;
            std::string_view text = Bytes(row, col);
            if (text != "9999-12-31 23:59:59" && text != "9999-01-01 00:00:00 BC" && text != "0000-00-00")
                continue;
            if (m_rows > 1)
                check.Check(SQLSetPos(h, static_cast<SQLSETPOSIROW>(row + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE));
            SQLDOUBLE number = 0;
            SQLLEN ind = 0;
            check.Check(SQLGetData(h, static_cast<SQLUSMALLINT>(col + 1), SQL_C_DOUBLE, &number, sizeof number, &ind));
            if (std::isinf(number)) {
                a.whole[row] = number > 0 ? "infinity" : "-infinity";
                a.ind[row] = kInWhole;
            }
        }
    }
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
        DateParts parts{v.year, v.month, v.day};
        return DateVariant(c.type, parts, DateText(c.type, parts));
    }
    case CellKind::Time: {
        SQL_TIME_STRUCT v;
        std::memcpy(&v, p, sizeof v);
        DateParts parts{1899, 12, 30, v.hour, v.minute, v.second};
        return DateVariant(c.type, parts, DateText(c.type, parts));
    }
    case CellKind::Timestamp: {
        SQL_TIMESTAMP_STRUCT v;
        std::memcpy(&v, p, sizeof v);
        DateParts parts{v.year, v.month, v.day, v.hour, v.minute, v.second, v.fraction};
        return DateVariant(c.type, parts, DateText(c.type, parts));
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
