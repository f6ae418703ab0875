#include "SchemaObjectLoaders.h"

#include "SchemaRow.h"
#include "SchemaTreeModel.h"

#include <cstdlib>

std::vector<_variant_t> TablesRestrictions(int folderKind, bool showAllTables, bool showAllViews,
                                           const wxString& userName, bool jet, const wxString& providerFile)
{
    const bool ownSchema = !userName.empty() && !jet &&
                           ((folderKind == kindTablesFolder && !showAllTables) ||
                            (folderKind == kindViewsFolder && !showAllViews));
    _variant_t types;
    if (providerFile.IsSameAs("MSDASQL.DLL", false)) {
        std::string list = "'TABLE'";
        switch (folderKind) {
        case kindViewsFolder: list += ",'VIEW'"; break;
        case kindSystemTablesFolder: list += ",'SYSTEM TABLE'"; break;
        case kindAliasesFolder: list += ",'ALIAS','SYNONYM'"; break;
        case kindTemporaryTablesFolder: list += ",'GLOBAL TEMPORARY','LOCAL TEMPORARY'"; break;
        default: break;
        }
        types = _variant_t(list);
    }
    return {_variant_t(), ownSchema ? _variant_t(userName.utf8_string()) : _variant_t(), _variant_t(), types};
}

std::vector<_variant_t> ProceduresRestrictions(bool showAllProcs, const wxString& userName, bool jet)
{
    const bool ownSchema = !userName.empty() && !showAllProcs && !jet;
    return {_variant_t(), ownSchema ? _variant_t(userName.utf8_string()) : _variant_t(), _variant_t(), _variant_t()};
}

int FolderKindOfTableType(const wxString& type)
{
    if (type.IsSameAs("TABLE", false))
        return kindTablesFolder;
    if (type.IsSameAs("VIEW", false))
        return kindViewsFolder;
    if (type.IsSameAs("SYSTEM TABLE", false))
        return kindSystemTablesFolder;
    if (type.IsSameAs("SYNONYM", false) || type.IsSameAs("ALIAS", false))
        return kindAliasesFolder;
    if (type.IsSameAs("GLOBAL TEMPORARY", false) || type.IsSameAs("LOCAL TEMPORARY", false))
        return kindTemporaryTablesFolder;
    return 0;
}

wxString ProcedureTypeText(const wxString& typeText)
{
    // The integer at the start of the text, as the C library reads one.
    switch (std::atoi(typeText.utf8_string().c_str())) {
    case 1: return "<Unknown>";
    case 2: return "Procedure";
    case 3: return "Function";
    default: return typeText;
    }
}

bool CSchemaTreeModel::LoadTables(int folderKind, TreeItem folder)
{
    const CConnectionInfo& c = m_host.Connection();
    CSchemaRow row(m_host.OpenSchema(ado::adSchemaTables,
                                     TablesRestrictions(folderKind, m_bShowAllTables, m_bShowAllViews, c.m_strUserId,
                                                        c.m_bJet != 0, c.m_strProviderFile)));
    if (row.IsEmpty()) {
        InsertMarker(folder, std::nullopt, kindMarker);
        return true;
    }
    const int childKind = ChildKindOfFolder(folderKind);
    std::deque<CSchemaNodeData>& list = ObjectList(childKind);
    std::vector<std::pair<wxString, CSchemaNodeData*>> nodes;
    nodes.reserve(row.RowCountHint());
    int inserted = 0;
    try {
        for (; !row.AtEnd(); row.MoveNext()) {
            wxString type = row.RepeatedText("TABLE_TYPE");
            const int rowFolder = FolderKindOfTableType(type);
            if (!rowFolder)
                continue;
            CSchemaNodeData data;
            data.m_strName = row.Text("TABLE_NAME");
            data.m_strCatalog = row.RepeatedText("TABLE_CATALOG");
            data.m_strSchema = row.RepeatedText("TABLE_SCHEMA");
            data.m_strDescription = row.Text("DESCRIPTION");
            if (rowFolder != folderKind)
                continue;
            data.m_strType = std::move(type);
            data.m_nKind = childKind;
            CSchemaNodeData& stored = list.emplace_back(std::move(data));
            nodes.emplace_back(GetDisplayName(stored.m_strName, stored.m_strSchema), &stored);
            ++inserted;
        }
    } catch (...) {
        // What was read before the failure stays in the tree.
        InsertSorted(folder, nodes);
        throw;
    }
    InsertSorted(folder, nodes);
    if (inserted == 0)
        InsertMarker(folder, std::nullopt, kindMarker);
    return true;
}

bool CSchemaTreeModel::LoadTablesGuarded(int folderKind, TreeItem folder)
{
    try {
        return LoadTables(folderKind, folder);
    } catch (...) {
        return ReportFailure(std::current_exception(), true);
    }
}

bool CSchemaTreeModel::LoadProcedures(int nodeKind, TreeItem folder)
{
    std::vector<std::pair<wxString, CSchemaNodeData*>> nodes;
    try {
        const CConnectionInfo& c = m_host.Connection();
        CSchemaRow row(m_host.OpenSchema(ado::adSchemaProcedures,
                                         ProceduresRestrictions(m_bShowAllProcs, c.m_strUserId, c.m_bJet != 0)));
        if (row.IsEmpty()) {
            InsertMarker(folder, std::nullopt, kindMarker);
            return true;
        }
        std::deque<CSchemaNodeData>& list = ObjectList(nodeKind);
        nodes.reserve(row.RowCountHint());
        for (; !row.AtEnd(); row.MoveNext()) {
            CSchemaNodeData data;
            data.m_strName = row.Text("PROCEDURE_NAME");
            data.m_strType = ProcedureTypeText(row.Text("PROCEDURE_TYPE"));
            data.m_strCatalog = row.RepeatedText("PROCEDURE_CATALOG");
            data.m_strSchema = row.RepeatedText("PROCEDURE_SCHEMA");
            data.m_strDescription = row.Text("DESCRIPTION");
            data.m_nKind = nodeKind;
            CSchemaNodeData& stored = list.emplace_back(std::move(data));
            nodes.emplace_back(GetDisplayName(stored.m_strName, stored.m_strSchema), &stored);
        }
        InsertSorted(folder, nodes);
        return true;
    } catch (...) {
        InsertSorted(folder, nodes);
        // Running out of memory here is reported as any other failure.
        return ReportFailure(std::current_exception(), false);
    }
}

bool CSchemaTreeModel::LoadProceduresIfSupported(int nodeKind, TreeItem folder)
{
    if (!m_host.Connection().m_bStoredProcedures) {
        InsertMarker(folder, wxString("<Provider not capable>"), kindNotCapable);
        return true;
    }
    return LoadProcedures(nodeKind, folder);
}

bool CSchemaTreeModel::LoadProcedureParameters(TreeItem procedure)
{
    try {
        // A procedure node always carries its data; without it nothing would narrow the rowset
        // to this procedure, and every procedure's parameters would be listed.
        const auto* data = dynamic_cast<const CSchemaNodeData*>(m_tree.GetData(procedure));
        if (!data) {
            InsertMarker(procedure, std::nullopt, kindMarker);
            return true;
        }
        const std::vector<_variant_t> restrictions = {RestrictionText(data->m_strCatalog), RestrictionText(data->m_strSchema),
                                                      _variant_t(data->m_strName.utf8_string())};
        int inserted = 0;
        auto addRow = [&](CSchemaRow& row, const char* nameColumn, bool isParameter) {
            CSchemaColumnData column;
            const wxString name = row.Text(nameColumn);
            column.m_strName = name;
            column.m_nKind = kindParameter;
            ReadColumnDetails(row, column, isParameter, !isParameter);
            CSchemaColumnData& stored = m_columns.emplace_back(std::move(column));
            m_tree.AppendItem(procedure, name, kindParameter, false, &stored);
            ++inserted;
        };
        {
            CSchemaRow row(m_host.OpenSchema(ado::adSchemaProcedureParameters, restrictions));
            if (!row.IsEmpty()) {
                for (; !row.AtEnd(); row.MoveNext())
                    addRow(row, "PARAMETER_NAME", true);
            }
        }
        // Result columns are not reported when the provider cannot give them.
        try {
            CSchemaRow row(m_host.OpenSchema(ado::adSchemaProcedureColumns, restrictions));
            if (!row.IsEmpty()) {
                for (; !row.AtEnd(); row.MoveNext())
                    addRow(row, "COLUMN_NAME", false);
            }
        } catch (const _com_error&) {
        }
        if (inserted == 0)
            InsertMarker(procedure, std::nullopt, kindMarker);
        return true;
    } catch (...) {
        return ReportFailure(std::current_exception(), true);
    }
}
