#include "ProviderTypeInfo.h"

#include "common/ValueText.h"

namespace {

// Boolean columns: VARIANT_TRUE and VARIANT_FALSE have their texts; a null value, or one that
// holds no boolean, the column's own text for "neither".
wxString BooleanText(const _variant_t& value, const char* yes, const char* no, const char* neither)
{
    if (value.IsNull() || value.IsEmpty())
        return neither;
    if (value.vt == VT_BOOL) {
        if (value.num.boolVal == VARIANT_TRUE)
            return yes;
        return value.num.boolVal == VARIANT_FALSE ? no : neither;
    }
    try {
        return value.ToBool() ? yes : no;
    } catch (const _com_error&) {
        return neither;
    }
}

} // namespace

const std::array<TypeDetailSpec, kTypeDetailCount>& GetTypeDetailSpecs()
{
    static const std::array<TypeDetailSpec, kTypeDetailCount> specs = {{
        {TypeDetail::LocalTypeName, "LOCAL_TYPE_NAME", "   Local type name:", "       Local type name", 203},
        {TypeDetail::AdoType, "DATA_TYPE", "             ADO type:", "              ADO type", 204},
        {TypeDetail::ColumnSize, "COLUMN_SIZE", "          Column size:", "           Column size", 205},
        {TypeDetail::Literal, "LITERAL_PREFIX", "Literal prefix, suffix:", "Literal prefix, suffix", 206},
        {TypeDetail::CreateParams, "CREATE_PARAMS", "Create parameters:", "     Create parameters", 207},
        {TypeDetail::IsNullable, "IS_NULLABLE", "             Is nullable:", "           Is nullable", 208},
        {TypeDetail::CaseSensitive, "CASE_SENSITIVE", "      Case sensitive:", "        Case sensitive", 209},
        {TypeDetail::Searchable, "SEARCHABLE", "           Searchable:", "            Searchable", 210},
        {TypeDetail::UnsignedAttribute, "UNSIGNED_ATTRIBUTE", "Unsigned attribute:", "    Unsigned attribute", 211},
        {TypeDetail::FixedPrecScale, "FIXED_PREC_SCALE", "Fixed prec, scale:", "     Fixed prec, scale", 212},
        {TypeDetail::AutoUniqueValue, "AUTO_UNIQUE_VALUE", "Auto unique value:", "     Auto unique value", 213},
        {TypeDetail::MinimumScale, "MINIMUM_SCALE", "Minimum scale:", "         Minimum scale", 214},
        {TypeDetail::MaximumScale, "MAXIMUM_SCALE", "Maximum scale:", "         Maximum scale", 215},
        {TypeDetail::Guid, "GUID", "GUID:", "                  GUID", 216},
        {TypeDetail::TypeLib, "TYPELIB", "Type library:", "          Type library", 217},
        {TypeDetail::Version, "VERSION", "Version:", "               Version", 218},
        {TypeDetail::IsLong, "IS_LONG", "Is long:", "               Is long", 219},
        {TypeDetail::BestMatch, "BEST_MATCH", "Best match:", "            Best match", 220},
        {TypeDetail::IsFixedLength, "IS_FIXEDLENGTH", "Is fixed length:", "       Is fixed length", 221},
    }};
    return specs;
}

wxString ConvertTypeDetail(TypeDetail detail, const _variant_t& value)
{
    switch (detail) {
    case TypeDetail::AdoType: {
        const int32_t type = value.ToLong();
        if (type < 0 || type > 0xFFFF)
            throw _com_error(DISP_E_OVERFLOW);
        return GetAdoDataTypeText(type);
    }
    case TypeDetail::ColumnSize:
        // A null size has no decimal form: its value text, which is empty.
        return value.IsNull() || value.IsEmpty() ? VariantToText(value) : wxString::FromUTF8(value.ToString());
    case TypeDetail::IsNullable: return BooleanText(value, "Yes", "No", "<Unknown>");
    case TypeDetail::UnsignedAttribute: return BooleanText(value, "Unsigned", "Signed", "<Not applicable>");
    case TypeDetail::IsFixedLength: return BooleanText(value, "Yes", "No", "<Not known>");
    case TypeDetail::CaseSensitive:
    case TypeDetail::FixedPrecScale:
    case TypeDetail::AutoUniqueValue:
    case TypeDetail::IsLong:
    case TypeDetail::BestMatch: return BooleanText(value, "Yes", "No", "");
    case TypeDetail::Searchable:
        switch (value.ToLong()) {
        case 1: return "No";              // DB_UNSEARCHABLE
        case 2: return "Only with LIKE";  // DB_LIKE_ONLY
        case 3: return "All except LIKE"; // DB_ALL_EXCEPT_LIKE
        case 4: return "Yes";             // DB_SEARCHABLE
        default: return wxString();
        }
    case TypeDetail::Literal: return ConvertLiteralDetail(value, _variant_t());
    default: return VariantToText(value);
    }
}

wxString ConvertLiteralDetail(const _variant_t& prefix, const _variant_t& suffix)
{
    const wxString suffixText = VariantToText(suffix);
    const wxString prefixText = VariantToText(prefix);
    return suffixText.empty() ? prefixText : prefixText + ", " + suffixText;
}
