// The 19 display texts of one provider type, the detail fields they come from, and the map of
// a provider's types by name. No window and no database: the loader and the dialog fill and
// show these.
#pragma once

#include "platform/com/Variant.h"

#include <wx/string.h>

#include <array>
#include <map>

// In the order the rowset is read, the dialog's fields run (ids 203-221) and the report
// lists them.
enum class TypeDetail {
    LocalTypeName,
    AdoType,
    ColumnSize,
    Literal,
    CreateParams,
    IsNullable,
    CaseSensitive,
    Searchable,
    UnsignedAttribute,
    FixedPrecScale,
    AutoUniqueValue,
    MinimumScale,
    MaximumScale,
    Guid,
    TypeLib,
    Version,
    IsLong,
    BestMatch,
    IsFixedLength,
};
inline constexpr size_t kTypeDetailCount = 19;

struct TypeDetailSpec {
    TypeDetail detail;
    const char* column;      // rowset column (LITERAL_PREFIX for the literal, with LITERAL_SUFFIX)
    const char* label;       // the dialog's label
    const char* reportLabel; // right-aligned to 22 in the report
    int controlId;
};
// Indexed by TypeDetail.
const std::array<TypeDetailSpec, kTypeDetailCount>& GetTypeDetailSpecs();

struct ProviderTypeInfo {
    std::array<wxString, kTypeDetailCount> texts; // all empty until read

    wxString& operator[](TypeDetail d) { return texts[static_cast<size_t>(d)]; }
    const wxString& operator[](TypeDetail d) const { return texts[static_cast<size_t>(d)]; }
};

// By type name in code-point order, which for UTF-8 is byte order: "INT" before "int".
typedef std::map<wxString, ProviderTypeInfo> ProviderTypeMap;

// The text of one detail from its column's value. Throws _com_error when the value does not
// convert (the loader then leaves the detail empty). Not for TypeDetail::Literal.
wxString ConvertTypeDetail(TypeDetail detail, const _variant_t& value);
// The literal detail: the prefix, followed by ", " and the suffix when the suffix is not empty.
wxString ConvertLiteralDetail(const _variant_t& prefix, const _variant_t& suffix);
