#include "RecordsetPersistence.h"

#include "AdtgWriter.h"
#include "OdbcError.h"
#include "PersistOutput.h"
#include "RowsetXmlWriter.h"

#include <fmt/format.h>

#include <limits>

namespace ado {

namespace {

constexpr const char* kRecordsetSource = "ADODB.Recordset";

// DECIMAL holds at most 28 digits; wider numerics travel as their decimal text.
constexpr unsigned kMaxDecimalPrecision = 28;

// The wire type of a field in a TableGram and its fixed size (0 for variable-length data).
struct WireType {
    DataTypeEnum type;
    uint32_t size;
};

WireType AdtgTypeOf(const XmlColumn& c)
{
    switch (c.type) {
    case adSmallInt: return {adSmallInt, 2};
    case adInteger: return {adInteger, 4};
    case adSingle: return {adSingle, 4};
    case adDouble: return {adDouble, 8};
    case adCurrency: return {adCurrency, 8};
    case adDate: return {adDate, 8};
    case adFileTime: return {adDBTimeStamp, 16};
    case adBoolean: return {adBoolean, 2};
    case adTinyInt: return {adTinyInt, 1};
    case adUnsignedTinyInt: return {adUnsignedTinyInt, 1};
    case adUnsignedSmallInt: return {adUnsignedSmallInt, 2};
    case adUnsignedInt: return {adUnsignedInt, 4};
    case adBigInt: return {adBigInt, 8};
    case adUnsignedBigInt: return {adUnsignedBigInt, 8};
    case adGUID: return {adGUID, 16};
    case adDBDate: return {adDBDate, 6};
    case adDBTime: return {adDBTime, 6};
    case adDBTimeStamp: return {adDBTimeStamp, 16};
    case adDecimal:
    case adNumeric:
    case adVarNumeric:
        if (c.precision <= kMaxDecimalPrecision)
            return {adDecimal, 16};
        return {adWChar, 0};
    case adBinary:
    case adVarBinary:
    case adLongVarBinary: return {adBinary, 0};
    // Text of every kind is stored as Unicode, so nothing depends on a code page.
    default: return {adWChar, 0};
    }
}

adtg::Column AdtgColumnOf(const XmlColumn& c, size_t index)
{
    WireType w = AdtgTypeOf(c);
    adtg::Column col;
    col.ordinal = static_cast<uint16_t>(index + 1);
    col.name = c.name;
    col.type = w.type;
    col.precision = c.precision;
    col.scale = c.scale;
    col.flags = static_cast<uint32_t>(c.attributes) & 0xFFFF;
    if (w.size != 0) {
        col.maxLength = w.size;
        col.flags |= adFldFixed;
    } else {
        // Character and binary data are stored with their length, never padded to a fixed
        // size that could alter them.
        col.flags &= ~static_cast<uint32_t>(adFldFixed);
        if (w.type == adWChar && (c.type == adDecimal || c.type == adNumeric || c.type == adVarNumeric))
            col.maxLength = c.precision + 2u; // sign and decimal point
        else if (c.definedSize > 0 && !(c.attributes & adFldLong))
            col.maxLength = static_cast<uint32_t>(c.definedSize);
        else
            col.maxLength = adtg::kNoMaxLength;
    }
    return col;
}

class RowSource {
public:
    explicit RowSource(Recordset& rs) : m_rs(rs)
    {
        FieldsPtr fields = rs.GetFields();
        long count = fields->GetCount();
        for (long i = 0; i < count; ++i) {
            FieldPtr f = fields->GetItem(i);
            XmlColumn c;
            c.name = f->GetName();
            c.type = f->GetType();
            c.definedSize = f->GetDefinedSize();
            c.precision = f->GetPrecision();
            c.scale = f->GetNumericScale();
            c.attributes = f->GetAttributes();
            m_fields.push_back(f);
            m_columns.push_back(std::move(c));
        }
        m_values.resize(m_fields.size());
    }

    const std::vector<XmlColumn>& Columns() const { return m_columns; }

    // Reads the current row into Values; false at EOF.
    bool Next()
    {
        if (m_started)
            m_rs.MoveNext();
        m_started = true;
        if (m_rs.IsEOF())
            return false;
        for (size_t i = 0; i < m_fields.size(); ++i)
            m_values[i] = m_fields[i]->GetValue();
        ++m_row;
        return true;
    }
    const std::vector<_variant_t>& Values() const { return m_values; }
    long RowNumber() const { return m_row; }

private:
    Recordset& m_rs;
    std::vector<FieldPtr> m_fields;
    std::vector<XmlColumn> m_columns;
    std::vector<_variant_t> m_values;
    bool m_started = false;
    long m_row = 0;
};

void SaveAdtg(RowSource& rows, PersistOutput& out)
{
    const std::vector<XmlColumn>& columns = rows.Columns();
    if (columns.size() > std::numeric_limits<uint16_t>::max())
        detail::ThrowAdo(adErrDataConversion, "The recordset has more columns than the ADTG format can hold.", nullptr,
                         kRecordsetSource);
    AdtgWriter w(out);
    w.WriteHeader();
    w.WriteHandlerOptions(adtg::kAsyncSynch);
    adtg::ResultDescriptor d;
    d.visibleColumns = static_cast<uint16_t>(columns.size());
    d.totalColumns = d.visibleColumns;
    d.countRows = true;
    w.WriteResultDescriptor(d);
    w.WriteRecordsetContext();
    for (size_t i = 0; i < columns.size(); ++i)
        w.WriteColumnDescriptor(AdtgColumnOf(columns[i], i));
    while (rows.Next())
        w.WriteRow(rows.Values(), rows.RowNumber());
    w.Finish();
}

void SaveXml(RowSource& rows, PersistOutput& out)
{
    RowsetXmlWriter w(out, rows.Columns());
    w.WriteSchema();
    while (rows.Next())
        w.WriteRow(rows.Values(), rows.RowNumber());
    w.Finish();
}

// destination: the file's name, null when writing to an output.
void CheckPersistArguments(Recordset& recordset, PersistFormatEnum format, const std::string* destination)
{
    if (format != adPersistADTG && format != adPersistXML)
        detail::ThrowAdo(adErrInvalidArgument, detail::kBadArgumentsText, nullptr, kRecordsetSource);
    if (destination && destination->empty())
        detail::ThrowAdo(adErrInvalidArgument, "No file name was given to save the recordset to.", nullptr,
                         kRecordsetSource);
    if (!(recordset.GetState() & adStateOpen))
        detail::ThrowAdo(adErrObjectClosed, detail::kClosedText, nullptr, kRecordsetSource);
}

void WriteRows(Recordset& recordset, PersistOutput& out, PersistFormatEnum format)
{
    RowSource rows(recordset);
    if (format == adPersistADTG)
        SaveAdtg(rows, out);
    else
        SaveXml(rows, out);
}

} // namespace

void PersistRecordset(Recordset& recordset, const std::string& destination, PersistFormatEnum format)
{
    CheckPersistArguments(recordset, format, &destination);
    FileOutput out(destination);
    WriteRows(recordset, out, format);
    out.Commit();
}

void PersistRecordset(Recordset& recordset, PersistOutput& out, PersistFormatEnum format)
{
    CheckPersistArguments(recordset, format, nullptr);
    WriteRows(recordset, out, format);
}

} // namespace ado
