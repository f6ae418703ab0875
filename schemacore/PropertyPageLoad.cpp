#include "PropertyPageLoad.h"

#include "SchemaRow.h"

std::vector<CNameComboEntry> NameComboEntries(CPageLoadResult result, std::vector<CNameComboEntry> records)
{
    switch (result) {
    case CPageLoadResult::NotCapable: return {{property_texts::kNotCapable, imgCross, -1}};
    case CPageLoadResult::ErrorsOccurred: return {{property_texts::kErrorsOccurred, imgCross, -1}};
    case CPageLoadResult::Loaded: break;
    }
    if (records.empty())
        return {{property_texts::kNoData, imgErrorDisc, -1}};
    return records;
}

wxString GuardedText(CSchemaRow& row, const char* column, const wxString& fallback)
{
    try {
        return row.Text(column);
    } catch (const std::exception&) {
        return fallback;
    }
}

_variant_t GuardedValue(CSchemaRow& row, const char* column)
{
    try {
        return row.Value(column);
    } catch (const std::exception&) {
        return _variant_t();
    }
}

bool IsTrueValue(const _variant_t& value)
{
    return value.vt == VT_BOOL && value.num.boolVal != VARIANT_FALSE;
}
