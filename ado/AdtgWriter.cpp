#include "AdtgWriter.h"

#include "OdbcError.h"
#include "PersistValues.h"
#include "Unicode.h"

#include <fmt/format.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace ado {

using namespace adtg;

namespace {

using persist::ValueError;

constexpr const char* kRecordsetSource = "ADODB.Recordset";

// Little-endian encoding of the format's fields.
class Bytes {
public:
    void U8(uint8_t v) { m_s.push_back(static_cast<char>(v)); }
    void U16(uint16_t v)
    {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v)
    {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void U64(uint64_t v)
    {
        U32(static_cast<uint32_t>(v));
        U32(static_cast<uint32_t>(v >> 32));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void F32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        U32(bits);
    }
    void F64(double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        U64(bits);
    }
    void Guid(const GUID& g)
    {
        U32(g.Data1);
        U16(g.Data2);
        U16(g.Data3);
        for (uint8_t b : g.Data4)
            U8(b);
    }
    void Raw(std::string_view bytes) { m_s.append(bytes); }
    void Utf16(const std::u16string& text)
    {
        for (char16_t c : text)
            U16(static_cast<uint16_t>(c));
    }

    std::string& Str() { return m_s; }
    size_t Size() const { return m_s.size(); }
    void Clear() { m_s.clear(); }

private:
    std::string m_s;
};

[[noreturn]] void InvalidMeta(const std::string& what)
{
    detail::ThrowAdo(adErrDataConversion, fmt::format("The recordset cannot be saved in ADTG format: {}.", what), nullptr,
                     kRecordsetSource);
}

std::u16string ToUtf16OrThrow(const std::string& text, const char* what)
{
    std::u16string w;
    if (!detail::Utf8ToUtf16(text, w))
        InvalidMeta(fmt::format("the {} is not valid UTF-8", what));
    return w;
}

// LENGTH-PREFIXED-STRING: a count of UTF-16 units, then the units.
void LengthPrefixed(Bytes& b, const std::string& text, const char* what)
{
    std::u16string w = ToUtf16OrThrow(text, what);
    if (w.size() > 0xFFFF)
        InvalidMeta(fmt::format("the {} is longer than 65535 characters", what));
    b.U16(static_cast<uint16_t>(w.size()));
    b.Utf16(w);
}

// BYTECOUNT-PREFIXED-STRING: a count of bytes, then the UTF-16 units.
void ByteCountPrefixed(Bytes& b, const std::string& text, const char* what)
{
    std::u16string w = ToUtf16OrThrow(text, what);
    if (w.size() * 2 > 0xFFFF)
        InvalidMeta(fmt::format("the {} is longer than 32767 characters", what));
    b.U16(static_cast<uint16_t>(w.size() * 2));
    b.Utf16(w);
}

void PropertySets(Bytes& b, const std::vector<PropertySet>& sets)
{
    b.U16(static_cast<uint16_t>(sets.size()));
    for (const PropertySet& set : sets) {
        b.Guid(set.id);
        b.U16(static_cast<uint16_t>(set.properties.size()));
        for (const adtg::Property& p : set.properties) {
            b.U32(p.id);
            switch (p.kind) {
            case adtg::Property::Kind::Boolean:
                b.U16(2);
                b.U16(p.boolean ? 0xFFFF : 0x0000);
                break;
            case adtg::Property::Kind::Integer:
                b.U16(4);
                b.I32(p.integer);
                break;
            case adtg::Property::Kind::String: ByteCountPrefixed(b, p.text, "property text"); break;
            }
        }
    }
}

// Token, USHORT size of the rest, the rest.
void Element(PersistOutput& out, uint8_t token, Bytes& body, const char* what)
{
    if (body.Size() > 0xFFFF)
        InvalidMeta(fmt::format("the {} is larger than 65535 bytes", what));
    Bytes head;
    head.U8(token);
    head.U16(static_cast<uint16_t>(body.Size()));
    out.Write(head.Str());
    out.Write(body.Str());
}

bool IsNullable(const Column& c) { return (c.flags & (adFldIsNullable | adFldMayBeNull)) != 0; }
bool IsFixed(const Column& c) { return (c.flags & adFldFixed) != 0; }

// The largest value of a variable-length column in bytes; its length prefix is one byte
// when that fits in a byte, else four. The format words the rule as "the column's maximum
// length is at most 255"; for Unicode text, whose maximum counts characters, the bytes are
// what the prefix counts, so the byte maximum decides.
uint64_t MaxOctets(const Column& c)
{
    if (c.maxLength == kNoMaxLength)
        return kNoMaxLength;
    return (c.type == adWChar || c.type == adBSTR) ? uint64_t{c.maxLength} * 2 : c.maxLength;
}

[[noreturn]] void Mismatch(const _variant_t& v, const char* type)
{
    if (v.vt == VT_BSTR)
        throw ValueError(fmt::format("'{}' cannot be stored as {}", persist::ShortText(v.str), type));
    throw ValueError(fmt::format("the value (variant type {}) cannot be stored as {}", v.vt, type));
}

template <typename T>
T IntegerValue(const _variant_t& v, const char* type)
{
    int64_t x;
    try {
        if (v.vt == VT_UI8) {
            if (v.num.ullVal > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
                throw ValueError(fmt::format("{} is out of range for {}", v.num.ullVal, type));
            x = static_cast<int64_t>(v.num.ullVal);
        } else if (v.vt == VT_R4 || v.vt == VT_R8 || v.vt == VT_DECIMAL || v.vt == VT_CY || v.vt == VT_BSTR) {
            // Only whole numbers: rounding would change the value.
            DECIMAL d;
            if (!persist::ToDecimal(v, d))
                Mismatch(v, type);
            std::string text = d.ToString();
            if (text.find('.') != std::string::npos && text.find_first_not_of('0', text.find('.') + 1) != std::string::npos)
                throw ValueError(fmt::format("{} is not a whole number", text));
            x = v.ToInt64();
        } else {
            x = v.ToInt64();
        }
    } catch (const _com_error&) {
        Mismatch(v, type);
    }
    if (x < static_cast<int64_t>(std::numeric_limits<T>::min()) || x > static_cast<int64_t>(std::numeric_limits<T>::max()))
        throw ValueError(fmt::format("{} is out of range for {}", x, type));
    return static_cast<T>(x);
}

uint64_t UnsignedBigValue(const _variant_t& v)
{
    if (v.vt == VT_UI8)
        return v.num.ullVal;
    int64_t x = IntegerValue<int64_t>(v, "an unsigned 8-byte integer");
    if (x < 0)
        throw ValueError(fmt::format("{} is out of range for an unsigned 8-byte integer", x));
    return static_cast<uint64_t>(x);
}

double DoubleValue(const _variant_t& v)
{
    switch (v.vt) {
    case VT_R8: return v.num.dblVal;
    case VT_R4: return v.num.fltVal;
    default:
        try {
            return v.ToDouble();
        } catch (const _com_error&) {
            Mismatch(v, "a floating-point number");
        }
    }
}

void ReadDateParts(const _variant_t& v, DateParts& p)
{
    if (!persist::ToDateParts(v, p))
        Mismatch(v, "a date");
    if (p.year < 0 || p.year > 9999)
        throw ValueError(fmt::format("the year {} is outside 0 to 9999", p.year));
}

std::string TextValue(const _variant_t& v)
{
    if (v.vt == VT_BSTR)
        return v.str;
    try {
        return v.ToString();
    } catch (const _com_error&) {
        Mismatch(v, "text");
    }
}

// Character or binary data: either exactly the column's fixed length (padded) or a length
// prefix and the bytes.
void VariableOrFixed(Bytes& b, const Column& c, std::string data, char pad)
{
    if (IsFixed(c)) {
        uint64_t size = c.type == adWChar || c.type == adBSTR ? uint64_t{c.maxLength} * 2 : c.maxLength;
        if (data.size() > size)
            throw ValueError(fmt::format("the value is longer than the column's fixed length of {}", c.maxLength));
        while (data.size() < size) {
            data.push_back(pad);
            if (pad == ' ' && (c.type == adWChar || c.type == adBSTR))
                data.push_back('\0');
        }
        b.Raw(data);
        return;
    }
    if (MaxOctets(c) <= 255) {
        if (data.size() > 255)
            throw ValueError(fmt::format("the value is longer than the column's defined size of {}", c.maxLength));
        b.U8(static_cast<uint8_t>(data.size()));
    } else {
        if (data.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
            throw ValueError("the value is longer than 2 GB");
        b.U32(static_cast<uint32_t>(data.size()));
    }
    b.Raw(data);
}

void EncodeValue(Bytes& b, const Column& c, const _variant_t& v)
{
    switch (c.type) {
    case adSmallInt: b.U16(static_cast<uint16_t>(IntegerValue<int16_t>(v, "a 2-byte integer"))); break;
    case adInteger: b.I32(IntegerValue<int32_t>(v, "a 4-byte integer")); break;
    case adTinyInt: b.U8(static_cast<uint8_t>(IntegerValue<int8_t>(v, "a 1-byte integer"))); break;
    case adUnsignedTinyInt: b.U8(IntegerValue<uint8_t>(v, "an unsigned 1-byte integer")); break;
    case adUnsignedSmallInt: b.U16(IntegerValue<uint16_t>(v, "an unsigned 2-byte integer")); break;
    case adUnsignedInt: b.U32(IntegerValue<uint32_t>(v, "an unsigned 4-byte integer")); break;
    case adBigInt: b.U64(static_cast<uint64_t>(IntegerValue<int64_t>(v, "an 8-byte integer"))); break;
    case adUnsignedBigInt: b.U64(UnsignedBigValue(v)); break;
    case adSingle: {
        double d = DoubleValue(v);
        float f = static_cast<float>(d);
        if (v.vt != VT_R4 && std::isfinite(d) && static_cast<double>(f) != d)
            throw ValueError(fmt::format("{} does not fit a 4-byte floating-point number exactly", d));
        b.F32(f);
        break;
    }
    case adDouble: b.F64(DoubleValue(v)); break;
    case adCurrency: {
        int64_t cy;
        if (!persist::ToCurrency(v, cy))
            throw ValueError(fmt::format("'{}' is not a currency value", TextValue(v)));
        b.U64(static_cast<uint64_t>(cy));
        break;
    }
    case adDate:
        if (v.vt != VT_DATE && v.vt != VT_R8)
            Mismatch(v, "a date");
        b.F64(v.num.date);
        break;
    case adBoolean:
        try {
            b.U16(v.ToBool() ? 0xFFFF : 0x0000);
        } catch (const _com_error&) {
            Mismatch(v, "a boolean");
        }
        break;
    case adDecimal: {
        DECIMAL d;
        if (!persist::ToDecimal(v, d))
            throw ValueError(fmt::format("'{}' does not fit a decimal of 28 digits", TextValue(v)));
        b.U16(0);
        b.U8(d.scale);
        b.U8(d.negative ? 0x80 : 0x00);
        b.U32(d.Hi32);
        b.U32(static_cast<uint32_t>(d.Lo64));
        b.U32(static_cast<uint32_t>(d.Lo64 >> 32));
        break;
    }
    case adGUID: {
        GUID g;
        if (!persist::ToGuid(v, g))
            throw ValueError(fmt::format("'{}' is not a GUID", TextValue(v)));
        b.Guid(g);
        break;
    }
    case adDBDate: {
        DateParts p;
        ReadDateParts(v, p);
        b.U16(static_cast<uint16_t>(p.year));
        b.U16(static_cast<uint16_t>(p.month));
        b.U16(static_cast<uint16_t>(p.day));
        break;
    }
    case adDBTime: {
        DateParts p;
        ReadDateParts(v, p);
        if (p.nanosecond != 0)
            throw ValueError(fmt::format("the time '{}' has fractional seconds, which the time type does not hold",
                                         persist::FormatTime(p)));
        b.U16(static_cast<uint16_t>(p.hour));
        b.U16(static_cast<uint16_t>(p.minute));
        b.U16(static_cast<uint16_t>(p.second));
        break;
    }
    case adDBTimeStamp: {
        DateParts p;
        ReadDateParts(v, p);
        b.U16(static_cast<uint16_t>(p.year));
        b.U16(static_cast<uint16_t>(p.month));
        b.U16(static_cast<uint16_t>(p.day));
        b.U16(static_cast<uint16_t>(p.hour));
        b.U16(static_cast<uint16_t>(p.minute));
        b.U16(static_cast<uint16_t>(p.second));
        b.U32(p.nanosecond);
        break;
    }
    case adBinary:
        if (v.vt != (VT_ARRAY | VT_UI1))
            Mismatch(v, "binary data");
        VariableOrFixed(b, c, std::string(v.bytes.begin(), v.bytes.end()), '\0');
        break;
    case adChar: {
        // Non-Unicode text: the header declares no code page, so only ASCII is unambiguous.
        std::string text = TextValue(v);
        for (char ch : text)
            if (static_cast<unsigned char>(ch) >= 0x80)
                throw ValueError("non-ASCII text cannot be stored in a non-Unicode column");
        VariableOrFixed(b, c, std::move(text), ' ');
        break;
    }
    case adWChar:
    case adBSTR: {
        std::u16string w;
        if (!detail::Utf8ToUtf16(TextValue(v), w))
            throw ValueError("the text is not valid UTF-8");
        Bytes u;
        u.Utf16(w);
        VariableOrFixed(b, c, std::move(u.Str()), ' ');
        break;
    }
    default: throw ValueError(fmt::format("the column's data type {} cannot be saved in ADTG format", static_cast<int>(c.type)));
    }
}

bool Supported(DataTypeEnum t)
{
    switch (t) {
    case adSmallInt:
    case adInteger:
    case adSingle:
    case adDouble:
    case adCurrency:
    case adDate:
    case adBSTR:
    case adBoolean:
    case adDecimal:
    case adTinyInt:
    case adUnsignedTinyInt:
    case adUnsignedSmallInt:
    case adUnsignedInt:
    case adBigInt:
    case adUnsignedBigInt:
    case adGUID:
    case adBinary:
    case adChar:
    case adWChar:
    case adDBDate:
    case adDBTime:
    case adDBTimeStamp: return true;
    default: return false;
    }
}

} // namespace

void AdtgWriter::WriteHeader()
{
    Bytes b;
    b.U8(kTokenHeader);
    b.U8(7);
    b.Raw("TG!");
    b.U8(0); // version 0.0
    b.U8(0);
    b.U8(0); // little-endian
    b.U8(0); // non-Unicode format for character data
    m_out.Write(b.Str());
}

void AdtgWriter::WriteHandlerOptions(AsyncOption async)
{
    Bytes b;
    b.Guid(kRecordsetHandler);
    b.U8(0x01); // update columns only, the one value the format allows
    b.U16(0);   // original URL
    b.U16(0);   // update URL
    b.U16(0);   // friendly name
    b.U16(async);
    Element(m_out, kTokenHandlerOptions, b, "handler options");
}

void AdtgWriter::WriteResultDescriptor(const ResultDescriptor& d)
{
    Bytes b;
    b.Guid(d.id);
    b.U8(0); // reserved
    b.U8(d.cursorModel);
    b.U8(0); // not normalised
    b.U16(d.visibleColumns);
    b.U16(d.totalColumns);
    b.U16(d.computedColumns);
    b.U16(d.tableCount);
    b.U16(0); // order-by columns: reserved
    size_t rowCountOffset = b.Size();
    b.U32(d.rowCount);
    if (!d.propertySets.empty())
        PropertySets(b, d.propertySets);
    if (d.countRows)
        m_rowCountPosition = m_out.Position() + 3 + rowCountOffset;
    Element(m_out, kTokenResultDescriptor, b, "result descriptor");
}

void AdtgWriter::WriteRecordsetContext(const std::vector<PropertySet>& propertySets)
{
    Bytes b;
    if (!propertySets.empty())
        PropertySets(b, propertySets);
    Element(m_out, kTokenRecordsetContext, b, "recordset context");
}

void AdtgWriter::WriteTableDescriptor(const TableDescriptor& t)
{
    Bytes b;
    b.U16(t.ordinal);
    LengthPrefixed(b, t.originalName, "table name");
    LengthPrefixed(b, t.updateName, "table name");
    b.U16(0); // code page: reserved
    b.U16(t.columnCount);
    b.U16(static_cast<uint16_t>(t.keyColumns.size()));
    for (uint16_t k : t.keyColumns)
        b.U16(k);
    Element(m_out, kTokenTableDescriptor, b, "table descriptor");
}

void AdtgWriter::WriteColumnDescriptor(const Column& c)
{
    if (!Supported(c.type))
        InvalidMeta(fmt::format("column {} has the data type {}, which the format cannot hold", c.ordinal,
                                static_cast<int>(c.type)));
    if ((c.flags & adFldIsChapter) != 0)
        InvalidMeta(fmt::format("column {} is a chapter column", c.ordinal));

    uint32_t presence = 0;
    if (c.name)
        presence |= kHasFriendlyName;
    if (c.baseColumn)
        presence |= kHasBaseTableOrdinal | kHasBaseColumnOrdinal | kHasBaseColumnName;
    if (c.baseCatalog)
        presence |= kHasBaseCatalogName;
    if (c.baseSchema)
        presence |= kHasBaseSchemaName;
    if (c.autoIncrement)
        presence |= kHasAutoIncrement;

    Bytes b;
    b.U8(static_cast<uint8_t>(presence >> 16));
    b.U8(static_cast<uint8_t>(presence >> 8));
    b.U8(static_cast<uint8_t>(presence));
    b.U16(c.ordinal);
    if (c.name)
        LengthPrefixed(b, *c.name, "column name");
    if (c.baseColumn) {
        b.U16(c.baseColumn->tableOrdinal);
        b.U16(c.baseColumn->columnOrdinal);
        LengthPrefixed(b, c.baseColumn->name, "base column name");
    }
    b.U16(static_cast<uint16_t>(c.type));
    b.U32(c.maxLength);
    b.U32(c.precision);
    b.I32(c.scale);
    b.U32(c.flags);
    if (c.baseCatalog)
        LengthPrefixed(b, *c.baseCatalog, "catalog name");
    if (c.baseSchema)
        LengthPrefixed(b, *c.baseSchema, "schema name");
    if (c.autoIncrement)
        b.U16(*c.autoIncrement ? 0xFFFF : 0x0000);
    b.U16(c.visible ? 0xFFFF : 0x0000);
    Element(m_out, kTokenColumnDescriptor, b, "column descriptor");
    m_columns.push_back(c);
    if (IsNullable(c))
        ++m_nullableColumns;
}

void AdtgWriter::WriteRow(const std::vector<_variant_t>& values, long rowNumber)
{
    if (values.size() != m_columns.size())
        detail::ThrowAdo(adErrInvalidArgument,
                         fmt::format("Row {} has {} values for {} columns.", rowNumber, values.size(), m_columns.size()),
                         nullptr, kRecordsetSource);

    // One presence bit per nullable column, first column in the high bit of the first byte;
    // the bits past the last column stay set, as the published example has them.
    std::string presence((m_nullableColumns + 7) / 8, static_cast<char>(0xFF));

    Bytes data;
    size_t bit = 0;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const Column& c = m_columns[i];
        const _variant_t& v = values[i];
        bool isNull = v.vt == VT_NULL || v.vt == VT_EMPTY;
        auto fail = [&](const std::string& why) {
            detail::ThrowAdo(adErrDataConversion,
                             fmt::format("Row {}, column '{}': {}.", rowNumber, c.name ? *c.name : fmt::format("#{}", c.ordinal), why),
                             nullptr, kRecordsetSource);
        };
        if (IsNullable(c)) {
            if (isNull)
                presence[bit / 8] = static_cast<char>(static_cast<uint8_t>(presence[bit / 8]) & ~(0x80u >> (bit % 8)));
            ++bit;
        } else if (isNull) {
            fail("NULL in a column that does not allow NULL");
        }
        if (isNull)
            continue;
        try {
            EncodeValue(data, c, v);
        } catch (const ValueError& e) {
            fail(e.Why());
        }
    }

    m_row.clear();
    m_row.push_back(static_cast<char>(kTokenOriginalRow));
    m_row.append(presence);
    m_row.append(data.Str());
    m_out.Write(m_row);
    ++m_rows;
}

void AdtgWriter::Finish()
{
    m_out.Write(std::string(1, static_cast<char>(kTokenDone)));
    if (m_rowCountPosition) {
        Bytes b;
        b.U32(m_rows);
        m_out.Patch(*m_rowCountPosition, b.Str());
    }
}

} // namespace ado
