#include "SchemaRow.h"

#include "common/ValueText.h"

#include <strings.h>

_variant_t RestrictionText(const wxString& text)
{
    return text.empty() ? _variant_t() : _variant_t(text.utf8_string());
}

_variant_t CSchemaRow::Value(const char* column)
{
    return m_recordset->GetCollect(IndexOf(column));
}

long CSchemaRow::Integer(const char* column)
{
    const _variant_t value = Value(column);
    return value.IsNull() || value.IsEmpty() ? 0 : value.ToLong();
}

long CSchemaRow::IndexOf(const char* column)
{
    for (const auto& [name, index] : m_indexes) {
        if (strcasecmp(name.c_str(), column) == 0)
            return index;
    }
    ado::FieldsPtr fields = m_recordset->GetFields();
    const long count = fields->GetCount();
    long index = 0;
    while (index < count && strcasecmp(fields->GetItem(index)->GetName().c_str(), column) != 0)
        ++index;
    if (index == count)
        fields->GetItem(column); // the layer's error for a column the rowset lacks
    m_indexes.emplace_back(column, index);
    return index;
}

wxString CSchemaRow::ValueText(const _variant_t& value)
{
    switch (value.vt) {
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
