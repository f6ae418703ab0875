#include "RowsetXmlWriter.h"

#include "OdbcError.h"
#include "PersistValues.h"
#include "Unicode.h"

#include <libxml/tree.h>

#include <fmt/format.h>

#include <cmath>
#include <limits>
#include <optional>
#include <set>

namespace ado {

namespace {

using persist::ValueError;

constexpr const char* kRecordsetSource = "ADODB.Recordset";

// How a column's data type is described in the schema and how its values are written.
enum class ValueKind { Integer, Unsigned, Single, Double, Number, Currency, Boolean, DateTime, Date, Time, Uuid, Binary, Text };

struct XmlType {
    const char* dtType;
    const char* dbType;   // rs:dbtype, or nullptr
    long fixedSize;       // dt:maxLength of a fixed-size type; 0: the column's defined size
    int precision;        // rs:precision of a fixed-size numeric type; -1: the column's; 0: none
    bool scale;           // rs:scale from the column
    ValueKind kind;
};

XmlType TypeOf(DataTypeEnum t)
{
    switch (t) {
    case adTinyInt: return {"i1", nullptr, 1, 3, false, ValueKind::Integer};
    case adUnsignedTinyInt: return {"ui1", nullptr, 1, 3, false, ValueKind::Unsigned};
    case adSmallInt: return {"i2", nullptr, 2, 5, false, ValueKind::Integer};
    case adUnsignedSmallInt: return {"ui2", nullptr, 2, 5, false, ValueKind::Unsigned};
    case adInteger: return {"int", nullptr, 4, 10, false, ValueKind::Integer};
    case adUnsignedInt: return {"ui4", nullptr, 4, 10, false, ValueKind::Unsigned};
    case adBigInt: return {"i8", nullptr, 8, 19, false, ValueKind::Integer};
    case adUnsignedBigInt: return {"ui8", nullptr, 8, 20, false, ValueKind::Unsigned};
    case adSingle: return {"r4", nullptr, 4, 7, false, ValueKind::Single};
    case adDouble: return {"float", nullptr, 8, 15, false, ValueKind::Double};
    case adCurrency: return {"number", "currency", 8, 19, false, ValueKind::Currency};
    case adDecimal: return {"number", "decimal", 16, -1, true, ValueKind::Number};
    case adNumeric: return {"number", "numeric", 19, -1, true, ValueKind::Number};
    case adVarNumeric: return {"number", "varnumeric", 0, -1, true, ValueKind::Number};
    case adBoolean: return {"boolean", nullptr, 2, 0, false, ValueKind::Boolean};
    case adDate: return {"dateTime", "variantdate", 16, 0, false, ValueKind::DateTime};
    case adFileTime: return {"dateTime", "filetime", 8, 0, false, ValueKind::DateTime};
    case adDBDate: return {"date", nullptr, 6, 0, false, ValueKind::Date};
    case adDBTime: return {"time", nullptr, 6, 0, false, ValueKind::Time};
    case adDBTimeStamp: return {"dateTime", "timestamp", 16, -1, true, ValueKind::DateTime};
    case adGUID: return {"uuid", nullptr, 16, 0, false, ValueKind::Uuid};
    case adBinary:
    case adVarBinary:
    case adLongVarBinary: return {"bin.hex", nullptr, 0, 0, false, ValueKind::Binary};
    case adChar:
    case adVarChar:
    case adLongVarChar: return {"string", "str", 0, 0, false, ValueKind::Text};
    case adBSTR: return {"string", "bstr", 0, 0, false, ValueKind::Text};
    case adVariant: return {"string", "variant", 0, 0, false, ValueKind::Text};
    default: return {"string", nullptr, 0, 0, false, ValueKind::Text};
    }
}

bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Appends text as the content of an attribute delimited by apostrophes. TAB, CR and LF become
// character references, so that attribute-value normalisation gives them back unchanged.
// Returns the description of the first character XML 1.0 cannot hold, if any.
std::optional<std::string> AppendEscaped(std::string& out, std::string_view text)
{
    size_t pos = 0;
    while (pos < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c >= 0x80) {
            size_t start = pos;
            char32_t cp;
            if (!detail::DecodeUtf8(text, pos, cp))
                return std::string("a byte sequence that is not valid UTF-8");
            if (!IsXmlChar(cp))
                return fmt::format("the character U+{:04X}, which XML 1.0 cannot represent", static_cast<uint32_t>(cp));
            out.append(text.substr(start, pos - start));
            continue;
        }
        ++pos;
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\'': out += "&apos;"; break;
        case '"': out += "&quot;"; break;
        case '\t': out += "&#x9;"; break;
        case '\n': out += "&#xA;"; break;
        case '\r': out += "&#xD;"; break;
        default:
            if (c < 0x20)
                return fmt::format("the character U+{:04X}, which XML 1.0 cannot represent", static_cast<uint32_t>(c));
            out.push_back(static_cast<char>(c));
        }
    }
    return std::nullopt;
}

// A name that can stand as an attribute of z:row: an XML name without a colon (the part
// before a colon would be read as a namespace prefix) and not in the reserved "xml" space.
bool IsAttributeName(const std::string& name)
{
    if (name.empty() || xmlValidateNCName(reinterpret_cast<const xmlChar*>(name.c_str()), 0) != 0)
        return false;
    return !(name.size() >= 3 && (name[0] | 0x20) == 'x' && (name[1] | 0x20) == 'm' && (name[2] | 0x20) == 'l');
}

[[noreturn]] void Mismatch(const _variant_t& v, const char* what)
{
    if (v.vt == VT_BSTR)
        throw ValueError(fmt::format("'{}', which is not {}", persist::ShortText(v.str), what));
    throw ValueError(fmt::format("a value (variant type {}) that is not {}", v.vt, what));
}

std::string FloatText(double d, bool single)
{
    if (std::isnan(d))
        return "NaN";
    if (std::isinf(d))
        return d > 0 ? "INF" : "-INF";
    // The shortest text that reads back as the same number.
    return single ? fmt::format("{}", static_cast<float>(d)) : fmt::format("{}", d);
}

bool IsNumberText(std::string_view t)
{
    size_t i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        ++i;
    size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9')
        ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '-' || t[i] == '+'))
            ++i;
        size_t exp = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i, ++exp;
        if (exp == 0)
            return false;
    }
    return i == t.size();
}

// The value's text in the form its schema type prescribes (not yet escaped).
std::string ValueText(ValueKind kind, const _variant_t& v)
{
    try {
        switch (kind) {
        case ValueKind::Integer: return fmt::format("{}", v.ToInt64());
        case ValueKind::Unsigned:
            if (v.vt == VT_UI8)
                return fmt::format("{}", v.num.ullVal);
            if (v.ToInt64() < 0)
                throw ValueError(fmt::format("a negative value ({}) in an unsigned column", v.ToInt64()));
            return fmt::format("{}", v.ToInt64());
        case ValueKind::Single: return FloatText(v.vt == VT_R4 ? v.num.fltVal : v.ToDouble(), true);
        case ValueKind::Double: return FloatText(v.vt == VT_R8 ? v.num.dblVal : v.ToDouble(), false);
        case ValueKind::Number: {
            DECIMAL d;
            if (persist::ToDecimal(v, d))
                return d.ToString();
            // Beyond 28 digits the number travels as the database wrote it.
            if (v.vt == VT_BSTR && (IsNumberText(v.str) || v.str == "NaN"))
                return v.str;
            if (v.vt == VT_R8 || v.vt == VT_R4)
                return FloatText(v.ToDouble(), v.vt == VT_R4);
            Mismatch(v, "a number");
        }
        case ValueKind::Currency: {
            int64_t cy;
            if (!persist::ToCurrency(v, cy))
                Mismatch(v, "a currency value");
            return _variant_t(CY{cy}).ToString();
        }
        case ValueKind::Boolean: return v.ToBool() ? "True" : "False";
        case ValueKind::DateTime:
        case ValueKind::Date:
        case ValueKind::Time: {
            DateParts p;
            if (!persist::ToDateParts(v, p))
                Mismatch(v, "a date");
            if (kind == ValueKind::Date)
                return persist::FormatDate(p);
            if (kind == ValueKind::Time)
                return persist::FormatTime(p);
            return persist::FormatDateTime(p);
        }
        case ValueKind::Uuid: {
            GUID g;
            if (!persist::ToGuid(v, g))
                Mismatch(v, "a GUID");
            return g.ToString();
        }
        case ValueKind::Binary:
            if (v.vt != (VT_ARRAY | VT_UI1))
                Mismatch(v, "binary data");
            return persist::HexEncode(v.bytes);
        case ValueKind::Text: return v.vt == VT_BSTR ? v.str : v.ToString();
        }
    } catch (const _com_error&) {
        Mismatch(v, "convertible to the column's type");
    }
    return {};
}

std::string ColumnLabel(const XmlColumn& c, size_t index)
{
    return c.name.empty() ? fmt::format("#{}", index + 1) : c.name;
}

} // namespace

RowsetXmlWriter::RowsetXmlWriter(PersistOutput& out, std::vector<XmlColumn> columns)
    : m_out(out), m_columns(std::move(columns))
{
    std::set<std::string> taken;
    for (const XmlColumn& c : m_columns)
        if (IsAttributeName(c.name))
            taken.insert(c.name);
    std::set<std::string> used;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const XmlColumn& c = m_columns[i];
        std::string probe;
        if (auto bad = AppendEscaped(probe, c.name))
            detail::ThrowAdo(adErrDataConversion,
                             fmt::format("Column {}: the name holds {}; the recordset cannot be saved as XML.", i + 1, *bad),
                             nullptr, kRecordsetSource);
        std::string attr = c.name;
        if (!IsAttributeName(attr) || used.count(attr)) {
            attr = fmt::format("c{}", i);
            // A generated name must not meet a real column of that name.
            for (int k = 1; taken.count(attr) || used.count(attr); ++k)
                attr = fmt::format("c{}_{}", i, k);
        }
        used.insert(attr);
        m_attributeNames.push_back(attr);
    }
}

void RowsetXmlWriter::WriteSchema()
{
    std::string s;
    s += "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n"
         "\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n"
         "\txmlns:rs='urn:schemas-microsoft-com:rowset'\n"
         "\txmlns:z='#RowsetSchema'>\n"
         "<s:Schema id='RowsetSchema'>\n"
         "\t<s:ElementType name='row' content='eltOnly'>\n";
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const XmlColumn& c = m_columns[i];
        const long a = c.attributes;
        s += "\t\t<s:AttributeType name='";
        AppendEscaped(s, m_attributeNames[i]);
        s += "'";
        if (m_attributeNames[i] != c.name) {
            s += " rs:name='";
            AppendEscaped(s, c.name);
            s += "'";
        }
        s += fmt::format(" rs:number='{}'", i + 1);
        if (a & adFldIsNullable)
            s += " rs:nullable='true'";
        if (a & adFldMayDefer)
            s += " rs:maydefer='true'";
        if (a & adFldRowID)
            s += " rs:rowid='true'";
        if (a & adFldRowVersion)
            s += " rs:rowver='true'";
        if (a & adFldUpdatable)
            s += " rs:write='true'";
        if (a & adFldUnknownUpdatable)
            s += " rs:writeunknown='true'";
        if (a & adFldCacheDeferred)
            s += " rs:cachedeferred='true'";
        if (a & adFldKeyColumn)
            s += " rs:keycolumn='true'";
        s += ">\n";

        XmlType t = TypeOf(c.type);
        s += fmt::format("\t\t\t<s:datatype dt:type='{}'", t.dtType);
        if (t.dbType)
            s += fmt::format(" rs:dbtype='{}'", t.dbType);
        long maxLength = t.fixedSize ? t.fixedSize : c.definedSize;
        if (maxLength > 0)
            s += fmt::format(" dt:maxLength='{}'", maxLength);
        // 255 is the "not applicable" precision and scale of the layer's fields.
        if (t.scale && c.scale != 255)
            s += fmt::format(" rs:scale='{}'", c.scale);
        int precision = t.precision < 0 ? c.precision : t.precision;
        if (precision > 0 && precision != 255)
            s += fmt::format(" rs:precision='{}'", precision);
        if (a & adFldFixed)
            s += " rs:fixedlength='true'";
        if (!(a & adFldMayBeNull))
            s += " rs:maybenull='false'";
        if (a & adFldLong)
            s += " rs:long='true'";
        s += "/>\n\t\t</s:AttributeType>\n";
    }
    s += "\t\t<s:extends type='rs:rowbase'/>\n"
         "\t</s:ElementType>\n"
         "</s:Schema>\n"
         "<rs:data>\n";
    m_out.Write(s);
}

void RowsetXmlWriter::WriteRow(const std::vector<_variant_t>& values, long rowNumber)
{
    if (values.size() != m_columns.size())
        detail::ThrowAdo(adErrInvalidArgument,
                         fmt::format("Row {} has {} values for {} columns.", rowNumber, values.size(), m_columns.size()),
                         nullptr, kRecordsetSource);
    m_line = "\t<z:row";
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const _variant_t& v = values[i];
        if (v.vt == VT_NULL || v.vt == VT_EMPTY)
            continue;
        std::optional<std::string> bad;
        try {
            m_value = ValueText(TypeOf(m_columns[i].type).kind, v);
            m_line += ' ';
            m_line += m_attributeNames[i];
            m_line += "='";
            bad = AppendEscaped(m_line, m_value);
            m_line += '\'';
        } catch (const ValueError& e) {
            bad = e.Why();
        }
        if (bad)
            detail::ThrowAdo(adErrDataConversion,
                             fmt::format("Row {}, column '{}' holds {}; the recordset was not saved.", rowNumber,
                                         ColumnLabel(m_columns[i], i), *bad),
                             nullptr, kRecordsetSource);
    }
    m_line += "/>\n";
    m_out.Write(m_line);
}

void RowsetXmlWriter::Finish() { m_out.Write("</rs:data>\n</xml>\n"); }

} // namespace ado
