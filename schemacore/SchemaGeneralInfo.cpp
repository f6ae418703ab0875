#include "SchemaGeneralInfo.h"

#include "common/IdentifierText.h"
#include "querycore/ConnectionInfo.h"
#include "SchemaNodeData.h"

wxString GetFolderText(int kind)
{
    switch (kind) {
    case kindTablesFolder: return "Tables";
    case kindViewsFolder: return "Views";
    case kindProceduresFolder: return "Procedures/Functions";
    case kindSystemTablesFolder: return "System Tables";
    case kindAliasesFolder: return "Aliases/Synonyms";
    case kindTemporaryTablesFolder: return "Temporary Tables";
    default: return wxString();
    }
}

std::optional<CGeneralPairs> BuildGeneralPairs(const CConnectionInfo& connection, const wxString& quotePrefix,
                                               const wxString& quoteSuffix, int kind, const CSchemaNodeData* object,
                                               const CSchemaColumnData* column)
{
    auto pair = [](const char* label, const wxString& value) {
        return std::optional<std::pair<wxString, wxString>>(std::in_place, label, value);
    };
    CGeneralPairs pairs;
    if (kind == kindConnection) {
        pairs = {pair("User ID:", connection.m_strUserId), pair("Data source:", connection.m_strDataSource),
                 pair("Server:", connection.m_strServerName),
                 pair("DBMS name:", connection.m_strDbmsName + " " + connection.m_strDbmsVersion),
                 pair("Provider:", connection.m_strProviderFile + " " + connection.m_strProviderVersion),
                 pair("Driver:", connection.m_strDriverName + " " + connection.m_strDriverVersion)};
        return pairs;
    }
    if (IsFolderKind(kind)) {
        const wxString text = GetFolderText(kind);
        pairs[0] = pair("Name:", text);
        pairs[1] = pair("Type:", "All " + text);
        return pairs;
    }
    const bool objectKind = IsTableLikeKind(kind) || kind == kindProcedure;
    if (objectKind && object) {
        pairs[0] = pair("Name:", QuoteQualifiedName(object->m_strSchema, object->m_strName, quotePrefix, quoteSuffix));
        pairs[1] = pair("Type:", object->m_strType);
        pairs[2] = pair("Qualifier:", object->m_strCatalog);
        pairs[3] = pair("Schema:", object->m_strSchema);
        pairs[4] = pair("Remarks:", object->m_strDescription);
        return pairs;
    }
    if ((IsColumnKind(kind) || kind == kindParameter) && object && column) {
        wxString name = column->m_strName;
        if (kind != kindParameter) {
            name = QuoteIdentifier(column->m_strName, quotePrefix, quoteSuffix);
            if (!column->m_strDescription.empty())
                name += " (" + column->m_strDescription + ")";
            // The text driver's tables are files: their columns go unqualified.
            if (!connection.m_strDbmsNameUpper.IsSameAs("TEXT", false))
                name = QuoteQualifiedName(object->m_strSchema, object->m_strName, quotePrefix, quoteSuffix) + "." + name;
        }
        pairs = {pair("Name:", name), pair("Data type:", column->m_strDataType), pair("Length:", column->m_strLength),
                 pair("Precision:", column->m_strPrecision), pair("Scale:", column->m_strScale),
                 pair("Is nullable:", column->m_strNullable)};
        return pairs;
    }
    return std::nullopt;
}
