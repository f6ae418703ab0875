#include "RelationshipsModel.h"

#include "common/IdentifierText.h"
#include "SchemaRow.h"

CPageLoadResult CRelationshipsModel::Load()
{
    m_records.clear();
    m_result = GuardedLoad([this] {
        LoadForeignKeys(true);
        LoadForeignKeys(false);
    });
    return m_result;
}

void CRelationshipsModel::LoadForeignKeys(bool primaryKeySide)
{
    const std::vector<_variant_t> table = {RestrictionText(m_table.m_strCatalog), RestrictionText(m_table.m_strSchema),
                                           RestrictionText(m_table.m_strName)};
    std::vector<_variant_t> restrictions(3);
    restrictions.insert(primaryKeySide ? restrictions.begin() : restrictions.end(), table.begin(), table.end());
    CSchemaRow row(m_host.OpenSchema(ado::adSchemaForeignKeys, restrictions));
    if (row.IsEmpty())
        return;
    const wxString prefix = m_host.GetQuotePrefix();
    const wxString suffix = m_host.GetQuoteSuffix();
    auto column = [&](const char* schema, const char* name, const char* columnName) {
        return QuoteQualifiedName(GuardedText(row, schema), GuardedText(row, name), prefix, suffix) + "." +
               QuoteIdentifier(GuardedText(row, columnName), prefix, suffix);
    };
    while (!row.AtEnd()) {
        CRelationshipRecord record;
        record.side = primaryKeySide ? 1 : 0;
        record.pkColumn = column("PK_TABLE_SCHEMA", "PK_TABLE_NAME", "PK_COLUMN_NAME");
        record.pkName = GuardedText(row, "PK_NAME");
        record.fkColumn = column("FK_TABLE_SCHEMA", "FK_TABLE_NAME", "FK_COLUMN_NAME");
        record.fkName = GuardedText(row, "FK_NAME");
        record.updateRule = GuardedText(row, "UPDATE_RULE");
        record.deleteRule = GuardedText(row, "DELETE_RULE");
        m_records.push_back(std::move(record));
        row.MoveNext();
    }
}

std::vector<CNameComboEntry> CRelationshipsModel::ComboEntries() const
{
    std::vector<CNameComboEntry> entries;
    for (size_t i = 0; i < m_records.size(); ++i) {
        const CRelationshipRecord& r = m_records[i];
        entries.push_back({r.fkName.empty() ? r.fkColumn : r.fkName, r.side == 1 ? imgKey : imgRelationship,
                           static_cast<int>(i)});
    }
    return NameComboEntries(m_result, std::move(entries));
}

std::vector<std::pair<wxString, wxString>> CRelationshipsModel::PropertyRows(const CRelationshipRecord& record)
{
    return {{"FK column name ", record.fkColumn}, {"PK column name ", record.pkColumn},
            {"PK constraint name ", record.pkName}, {"Update rule ", record.updateRule},
            {"Delete rule ", record.deleteRule}, {"FK constraint name ", record.fkName}};
}
