#include "SchemaNodeData.h"

#include <wx/wxcrt.h>

#include <algorithm>

bool IsFolderKind(int kind)
{
    return ChildKindOfFolder(kind) != 0;
}

bool IsSortedKind(int kind)
{
    return kind >= kindTableSortedAscending && kind <= kindViewSortedDescending;
}

bool IsTableLikeKind(int kind)
{
    switch (kind) {
    case kindTable:
    case kindView:
    case kindSystemTable:
    case kindAlias:
    case kindTemporaryTable: return true;
    default: return IsSortedKind(kind);
    }
}

bool IsColumnKind(int kind)
{
    return kind == kindColumn || kind == kindPrimaryKeyColumn || kind == kindForeignKeyColumn;
}

int ChildKindOfFolder(int folderKind)
{
    switch (folderKind) {
    case kindTablesFolder: return kindTable;
    case kindViewsFolder: return kindView;
    case kindProceduresFolder: return kindProcedure;
    case kindSystemTablesFolder: return kindSystemTable;
    case kindAliasesFolder: return kindAlias;
    case kindTemporaryTablesFolder: return kindTemporaryTable;
    default: return 0;
    }
}

wxString GetNodeKey(const CSchemaNodeData& data)
{
    return data.m_strType + "." + data.m_strSchema + "." + data.m_strName;
}

wxString GetDisplayName(const wxString& name, const wxString& schema)
{
    if (schema.empty())
        return name;
    wxString text;
    text.reserve(name.length() + schema.length() + 3);
    text << name << " (" << schema << ")";
    return text;
}

int CompareNoCase(const wxString& a, const wxString& b)
{
    // Letters compare as their lower case, ASCII ones without a call into the C library.
    auto lower = [](wxUniChar c) -> wxUniChar::value_type {
        const wxUniChar::value_type v = c.GetValue();
        if (v < 128)
            return v >= 'A' && v <= 'Z' ? v + ('a' - 'A') : v;
        return static_cast<wxUniChar::value_type>(wxTolower(v));
    };
    const size_t n = std::min(a.length(), b.length());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = lower(a[i]), cb = lower(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.length() < b.length() ? -1 : a.length() > b.length() ? 1 : 0;
}
