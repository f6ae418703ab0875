// The node kinds of the schema tree and the item data its object and column nodes carry. The
// kind of a node is its image; the browser's lists own the item data, the tree only points at it.
#pragma once

#include <wx/string.h>

enum SchemaNodeKind : int {
    kindMarker = 0,             // "<No Data>" or "<Exception occurred>"
    kindConnection = 1,
    kindTablesFolder = 2,
    kindTable = 3,
    kindColumn = 4,
    kindViewsFolder = 5,
    kindView = 6,
    kindProceduresFolder = 7,
    kindProcedure = 8,
    kindSystemTablesFolder = 9,
    kindSystemTable = 10,
    kindAliasesFolder = 11,
    kindAlias = 12,
    kindTemporaryTablesFolder = 13,
    kindTemporaryTable = 14,
    kindParameter = 15,         // a procedure's parameter or result column
    kindPrimaryKeyColumn = 16,
    kindForeignKeyColumn = 17,
    kindNotCapable = 18,        // "<Provider not capable>" under the procedures folder
    kindTableSortedAscending = 19,
    kindTableSortedDescending = 20,
    kindViewSortedAscending = 21,
    kindViewSortedDescending = 22,
    kindCount = 23,
};

bool IsFolderKind(int kind);
// Tables, views, system tables, aliases, temporary tables and the sorted tables and views.
bool IsTableLikeKind(int kind);
bool IsSortedKind(int kind);
bool IsColumnKind(int kind); // 4, 16, 17
// The kind of the objects a folder lists (3 for the tables folder ...); 0 for other kinds.
int ChildKindOfFolder(int folderKind);

// Item data of any node that has some: object nodes and column nodes.
class CSchemaItemData {
public:
    virtual ~CSchemaItemData() = default;
};

// An object node: table, view, system table, alias, temporary table or procedure.
class CSchemaNodeData : public CSchemaItemData {
public:
    wxString m_strName;
    wxString m_strType;
    wxString m_strCatalog;
    wxString m_strSchema;
    wxString m_strDescription;
    int m_nKind = 0; // the kind the node had when it was inserted
};

// A column, parameter or result-column node. For parameters and result columns the name
// carries the direction suffix or " (Result Column)"; the node itself shows the plain name.
class CSchemaColumnData : public CSchemaItemData {
public:
    wxString m_strName;
    wxString m_strDataType;
    wxString m_strLength;
    wxString m_strPrecision;
    wxString m_strScale;
    wxString m_strDescription;
    wxString m_strNullable;
    int m_nKind = 0;
};

// What Refresh remembers of a child it deletes, to give the reloaded child the same shape.
struct CSchemaRefreshEntry {
    wxString m_strText;
    int m_nKind = 0;
    bool m_bExpanded = false;
};

// type + "." + schema + "." + name: an object node across reloads.
wxString GetNodeKey(const CSchemaNodeData& data);
// The order of the tree's objects: texts compared letter by letter in lower case.
int CompareNoCase(const wxString& a, const wxString& b);
// The name alone when the schema is empty, else "name (schema)".
wxString GetDisplayName(const wxString& name, const wxString& schema);
