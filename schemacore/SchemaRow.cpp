#include "SchemaRow.h"

#include "common/ValueText.h"

#include <strings.h>

_variant_t RestrictionText(const wxString& text)
{
    return text.empty() ? _variant_t() : _variant_t(text.utf8_string());
}

size_t CSchemaRow::RowCountHint() const
{
    return m_pMemory ? static_cast<size_t>(m_pMemory->GetRecordCount()) : 0;
}

CSchemaRow::Column& CSchemaRow::Find(const char* column)
{
    // Callers name columns with literals: the same pointer finds the same column.
    for (Column& c : m_columns) {
        if (c.name == column)
            return c;
    }
    for (Column& c : m_columns) {
        if (strcasecmp(c.name, column) == 0)
            return c;
    }
    ado::FieldsPtr fields = m_recordset->GetFields();
    const long count = fields->GetCount();
    long index = 0;
    while (index < count && strcasecmp(fields->GetItem(index)->GetName().c_str(), column) != 0)
        ++index;
    if (index == count)
        fields->GetItem(column); // the layer's error for a column the rowset lacks
    return m_columns.emplace_back(Column{column, index, {}, {}, false});
}

wxString CSchemaRow::Text(long index) const
{
    if (m_pMemory)
        return ValueText(m_pMemory->GetValueRef(index));
    return ValueText(Value(index));
}

wxString CSchemaRow::RepeatedText(const char* column)
{
    Column& c = Find(column);
    if (!m_pMemory)
        return Text(c.index);
    const _variant_t& value = m_pMemory->GetValueRef(c.index);
    if (value.vt != VT_BSTR)
        return ValueText(value);
    if (!c.converted || c.utf8 != value.str) {
        c.utf8 = value.str;
        c.text = wxString::FromUTF8(value.str.data(), value.str.size());
        c.converted = true;
    }
    return c.text;
}

long CSchemaRow::Integer(const char* column)
{
    const _variant_t value = Value(column);
    return value.IsNull() || value.IsEmpty() ? 0 : value.ToLong();
}

wxString CSchemaRow::ValueText(const _variant_t& value)
{
    switch (value.vt) {
    case VT_BSTR: return wxString::FromUTF8(value.str.data(), value.str.size());
    // Sizes and counts come as unsigned or wide integers; the general value text would show
    // their type name where a number is expected.
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT: return wxString::FromUTF8(value.ToString());
    default: return VariantToText(value);
    }
}
