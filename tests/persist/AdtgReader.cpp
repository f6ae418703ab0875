#include "AdtgReader.h"

#include <fmt/format.h>

#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>

namespace torvane::test {

namespace {

class Cursor {
public:
    explicit Cursor(const std::string& bytes) : m_b(bytes) {}

    size_t Pos() const { return m_pos; }
    bool AtEnd() const { return m_pos == m_b.size(); }
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw std::runtime_error(fmt::format("ADTG offset {:#x}: {}", m_pos, what));
    }
    void Need(size_t n) const
    {
        if (m_pos + n > m_b.size())
            Fail(fmt::format("{} more bytes expected, {} left", n, m_b.size() - m_pos));
    }
    uint8_t Peek() const
    {
        Need(1);
        return static_cast<uint8_t>(m_b[m_pos]);
    }
    uint8_t U8()
    {
        Need(1);
        return static_cast<uint8_t>(m_b[m_pos++]);
    }
    uint16_t U16()
    {
        uint16_t lo = U8();
        return static_cast<uint16_t>(lo | U8() << 8);
    }
    uint32_t U32()
    {
        uint32_t lo = U16();
        return lo | static_cast<uint32_t>(U16()) << 16;
    }
    uint64_t U64()
    {
        uint64_t lo = U32();
        return lo | static_cast<uint64_t>(U32()) << 32;
    }
    std::string Raw(size_t n)
    {
        Need(n);
        std::string s = m_b.substr(m_pos, n);
        m_pos += n;
        return s;
    }
    GUID Guid()
    {
        GUID g;
        g.Data1 = U32();
        g.Data2 = U16();
        g.Data3 = U16();
        for (uint8_t& b : g.Data4)
            b = U8();
        return g;
    }
    void Expect(uint8_t token, const char* what)
    {
        if (Peek() != token)
            Fail(fmt::format("{} token {:#04x} expected, found {:#04x}", what, token, Peek()));
        ++m_pos;
    }

private:
    const std::string& m_b;
    size_t m_pos = 0;
};

std::string Utf8FromUtf16(const std::string& raw)
{
    std::string out;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        char32_t c = static_cast<uint8_t>(raw[i]) | static_cast<uint8_t>(raw[i + 1]) << 8;
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < raw.size()) {
            char32_t lo = static_cast<uint8_t>(raw[i + 2]) | static_cast<uint8_t>(raw[i + 3]) << 8;
            c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
            i += 2;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | c >> 6));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | c >> 12));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | c >> 18));
            out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string LengthPrefixed(Cursor& c)
{
    uint16_t chars = c.U16();
    return Utf8FromUtf16(c.Raw(size_t{chars} * 2));
}

std::vector<AdtgPropertySet> PropertySets(Cursor& c)
{
    std::vector<AdtgPropertySet> sets(c.U16());
    for (AdtgPropertySet& set : sets) {
        set.id = c.Guid();
        set.properties.resize(c.U16());
        for (AdtgProperty& p : set.properties) {
            p.id = c.U32();
            // Booleans are DBPROP_IRowsetChange and DBPROP_IRowsetUpdate of the rowset set.
            bool isBool = set.id.Data1 == 0xC8B522BE && (p.id == 0x7F || p.id == 0x86);
            uint16_t size = c.U16();
            if (isBool) {
                if (size != 2)
                    c.Fail("boolean property of size " + std::to_string(size));
                p.kind = AdtgProperty::Kind::Boolean;
                p.boolean = c.U16() != 0;
            } else if (size == 4 && !(set.id.Data1 == 0xB68E3CC1 && (p.id == 0x0D || p.id == 0x0E || p.id == 0x0F ||
                                                                     p.id == 0x10 || p.id == 0x12))) {
                p.kind = AdtgProperty::Kind::Integer;
                p.integer = static_cast<int32_t>(c.U32());
            } else {
                p.kind = AdtgProperty::Kind::String;
                p.text = Utf8FromUtf16(c.Raw(size));
            }
        }
    }
    return sets;
}

// Runs body on the element's content and checks that it used exactly the declared size.
template <typename F>
void Sized(Cursor& c, const char* what, F body)
{
    uint16_t size = c.U16();
    size_t end = c.Pos() + size;
    body(end);
    if (c.Pos() != end)
        c.Fail(fmt::format("{} declares {} bytes but holds {}", what, size, size + c.Pos() - end));
}

bool IsNullable(const AdtgColumnInfo& col) { return (col.flags & (0x20 | 0x40)) != 0; }
bool IsFixed(const AdtgColumnInfo& col) { return (col.flags & 0x10) != 0; }

_variant_t ReadValue(Cursor& c, const AdtgColumnInfo& col)
{
    auto variable = [&](bool wide) -> std::string {
        if (IsFixed(col))
            return c.Raw(wide ? size_t{col.maxLength} * 2 : col.maxLength);
        uint64_t maxOctets = col.maxLength == 0xFFFFFFFF ? 0xFFFFFFFF : (wide ? uint64_t{col.maxLength} * 2 : col.maxLength);
        size_t n = maxOctets <= 255 ? c.U8() : c.U32();
        return c.Raw(n);
    };
    switch (col.type) {
    case 2: return _variant_t(static_cast<int16_t>(c.U16()));
    case 3: return _variant_t(static_cast<int32_t>(c.U32()));
    case 4: {
        uint32_t bits = c.U32();
        float f;
        std::memcpy(&f, &bits, 4);
        return _variant_t(f);
    }
    case 5:
    case 7: {
        uint64_t bits = c.U64();
        double d;
        std::memcpy(&d, &bits, 8);
        return _variant_t(d, col.type == 7 ? VT_DATE : VT_R8);
    }
    case 6: {
        CY cy;
        cy.int64 = static_cast<int64_t>(c.U64());
        return _variant_t(cy);
    }
    case 11: return _variant_t(c.U16() != 0);
    case 14: {
        if (c.U16() != 0)
            c.Fail("decimal's reserved bytes are not zero");
        DECIMAL d;
        d.scale = c.U8();
        uint8_t sign = c.U8();
        if (sign != 0 && sign != 0x80)
            c.Fail("decimal sign byte");
        d.negative = sign == 0x80;
        d.Hi32 = c.U32();
        uint64_t lo = c.U32();
        d.Lo64 = lo | static_cast<uint64_t>(c.U32()) << 32;
        return _variant_t(d);
    }
    case 16: {
        _variant_t v = _variant_t::OfType(VT_I1);
        v.num.cVal = static_cast<int8_t>(c.U8());
        return v;
    }
    case 17: {
        _variant_t v = _variant_t::OfType(VT_UI1);
        v.num.bVal = c.U8();
        return v;
    }
    case 18: {
        _variant_t v = _variant_t::OfType(VT_UI2);
        v.num.uiVal = c.U16();
        return v;
    }
    case 19: {
        _variant_t v = _variant_t::OfType(VT_UI4);
        v.num.ulVal = c.U32();
        return v;
    }
    case 20: return _variant_t::I8(static_cast<int64_t>(c.U64()));
    case 21: return _variant_t::UI8(c.U64());
    case 72: return _variant_t(c.Guid().ToString());
    case 128: {
        std::string raw = variable(false);
        return _variant_t::Bytes(std::vector<uint8_t>(raw.begin(), raw.end()));
    }
    case 129: return _variant_t(variable(false));
    case 8:
    case 130: return _variant_t(Utf8FromUtf16(variable(true)));
    case 133: {
        unsigned y = c.U16(), m = c.U16(), d = c.U16();
        return _variant_t(fmt::format("{:04}-{:02}-{:02}", y, m, d));
    }
    case 134: {
        unsigned h = c.U16(), mi = c.U16(), s = c.U16();
        return _variant_t(fmt::format("{:02}:{:02}:{:02}", h, mi, s));
    }
    case 135: {
        unsigned y = c.U16(), m = c.U16(), d = c.U16(), h = c.U16(), mi = c.U16(), s = c.U16();
        uint32_t ns = c.U32();
        std::string text = fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}", y, m, d, h, mi, s);
        if (ns != 0) {
            std::string f = fmt::format("{:09}", ns);
            while (f.back() == '0')
                f.pop_back();
            text += "." + f;
        }
        return _variant_t(text);
    }
    default: c.Fail(fmt::format("column {} has the unsupported type {}", col.ordinal, col.type));
    }
}

} // namespace

AdtgDocument ReadAdtg(const std::string& bytes)
{
    Cursor c(bytes);
    AdtgDocument doc;

    c.Expect(0x01, "header");
    if (c.U8() != 7)
        c.Fail("header size is not 7");
    if (c.Raw(3) != "TG!")
        c.Fail("signature is not TG!");
    doc.versionMajor = c.U8();
    doc.versionMinor = c.U8();
    doc.byteOrder = c.U8();
    doc.unicode = c.U8();
    if (doc.byteOrder != 0)
        c.Fail("big-endian TableGram");

    c.Expect(0x02, "handler options");
    Sized(c, "handler options", [&](size_t) {
        doc.handler = c.Guid();
        doc.updateType = c.U8();
        LengthPrefixed(c);
        LengthPrefixed(c);
        LengthPrefixed(c);
        doc.asyncOption = c.U16();
    });

    c.Expect(0x03, "result descriptor");
    Sized(c, "result descriptor", [&](size_t end) {
        doc.resultId = c.Guid();
        c.U8();
        doc.cursorModel = c.U8();
        if (c.U8() != 0)
            c.Fail("normalised TableGram");
        doc.visibleColumns = c.U16();
        doc.totalColumns = c.U16();
        doc.computedColumns = c.U16();
        doc.tableCount = c.U16();
        c.U16();
        doc.rowCount = c.U32();
        if (c.Pos() < end)
            doc.resultProperties = PropertySets(c);
    });

    c.Expect(0x10, "recordset context");
    Sized(c, "recordset context", [&](size_t end) {
        if (c.Pos() < end)
            doc.contextProperties = PropertySets(c);
    });

    for (uint16_t t = 0; t < doc.tableCount; ++t) {
        c.Expect(0x05, "table descriptor");
        AdtgTableInfo table;
        Sized(c, "table descriptor", [&](size_t) {
            table.ordinal = c.U16();
            table.originalName = LengthPrefixed(c);
            table.updateName = LengthPrefixed(c);
            c.U16();
            table.columnCount = c.U16();
            table.keyColumns.resize(c.U16());
            for (uint16_t& k : table.keyColumns)
                k = c.U16();
        });
        doc.tables.push_back(table);
    }

    for (uint16_t i = 0; i < doc.totalColumns; ++i) {
        c.Expect(0x06, "column descriptor");
        AdtgColumnInfo col;
        Sized(c, "column descriptor", [&](size_t) {
            col.presence = static_cast<uint32_t>(c.U8()) << 16;
            col.presence |= static_cast<uint32_t>(c.U8()) << 8;
            col.presence |= c.U8();
            if (col.presence & ~0xF3F1FCu)
                c.Fail(fmt::format("reserved presence bits {:#08x}", col.presence));
            if (col.presence & 0x00F0FC)
                c.Fail(fmt::format("optional column fields this reader does not know: {:#08x}", col.presence & 0x00F0FC));
            col.ordinal = c.U16();
            if (col.presence & 0x800000)
                col.name = LengthPrefixed(c);
            if (col.presence & 0x400000)
                col.baseTableOrdinal = c.U16();
            if (col.presence & 0x200000)
                col.baseColumnOrdinal = c.U16();
            if (col.presence & 0x100000)
                col.baseColumnName = LengthPrefixed(c);
            col.type = c.U16();
            col.maxLength = c.U32();
            col.precision = c.U32();
            col.scale = static_cast<int32_t>(c.U32());
            col.flags = c.U32();
            if (col.presence & 0x020000)
                col.baseCatalog = LengthPrefixed(c);
            if (col.presence & 0x010000)
                col.baseSchema = LengthPrefixed(c);
            if (col.presence & 0x000100)
                col.autoIncrement = c.U16() != 0;
            col.visible = c.U16() != 0;
        });
        if (col.ordinal != i + 1)
            c.Fail(fmt::format("column ordinal {} where {} was due", col.ordinal, i + 1));
        doc.columns.push_back(col);
    }

    size_t nullable = 0;
    for (const AdtgColumnInfo& col : doc.columns)
        nullable += IsNullable(col) ? 1 : 0;
    while (c.Peek() == 0x07) {
        c.U8();
        std::string presence = c.Raw((nullable + 7) / 8);
        std::vector<_variant_t> row;
        size_t bit = 0;
        for (const AdtgColumnInfo& col : doc.columns) {
            if (IsNullable(col)) {
                bool present = (static_cast<uint8_t>(presence[bit / 8]) & (0x80u >> (bit % 8))) != 0;
                ++bit;
                if (!present) {
                    row.push_back(_variant_t::Null());
                    continue;
                }
            }
            row.push_back(ReadValue(c, col));
        }
        doc.rows.push_back(std::move(row));
    }
    c.Expect(0x0F, "done");
    if (!c.AtEnd())
        c.Fail("bytes after the done token");
    return doc;
}

std::string BytesFromDump(const std::string& dump, size_t first, size_t last)
{
    std::map<size_t, uint8_t> bytes;
    std::istringstream lines(dump);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::string word;
        if (!(in >> word))
            continue;
        size_t offset = std::stoul(word, nullptr, 16);
        for (int i = 0; i < 16 && in >> word; ++i) {
            if (word.size() != 2 || !std::isxdigit(static_cast<unsigned char>(word[0])) ||
                !std::isxdigit(static_cast<unsigned char>(word[1])))
                break;
            bytes[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(std::stoul(word, nullptr, 16));
        }
    }
    std::string out;
    for (size_t i = first; i <= last; ++i) {
        auto it = bytes.find(i);
        if (it == bytes.end())
            throw std::runtime_error(fmt::format("the dump has no byte at {:#x}", i));
        out.push_back(static_cast<char>(it->second));
    }
    return out;
}

} // namespace torvane::test
