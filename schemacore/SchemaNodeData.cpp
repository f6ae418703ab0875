#include "SchemaNodeData.h"

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
    return schema.empty() ? name : name + " (" + schema + ")";
}
