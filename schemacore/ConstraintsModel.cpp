#include "ConstraintsModel.h"

#include "SchemaRow.h"

CPageLoadResult CConstraintsModel::Load()
{
    m_records.clear();
    m_checkClauses.clear();
    m_bCheckClausesRead = false;
    m_result = GuardedLoad([this] { LoadConstraints(); });
    if (m_result != CPageLoadResult::Loaded)
        m_records.clear();
    else if (!m_records.empty())
        LoadCheckConstraints();
    return m_result;
}

void CConstraintsModel::LoadConstraints()
{
    const _variant_t catalog = RestrictionText(m_table.m_strCatalog);
    const _variant_t schema = RestrictionText(m_table.m_strSchema);
    CSchemaRow row(m_host.OpenSchema(ado::adSchemaTableConstraints,
                                     {catalog, schema, _variant_t(), catalog, schema,
                                      _variant_t(m_table.m_strName.utf8_string()), _variant_t()}));
    if (row.IsEmpty())
        return;
    wxString constraintCatalog, constraintSchema, table;
    while (!row.AtEnd()) {
        constraintCatalog = GuardedText(row, "CONSTRAINT_CATALOG", constraintCatalog);
        constraintSchema = GuardedText(row, "CONSTRAINT_SCHEMA", constraintSchema);
        table = GuardedText(row, "TABLE_NAME", table);
        if (constraintCatalog == m_table.m_strCatalog && constraintSchema == m_table.m_strSchema &&
            table == m_table.m_strName) {
            CConstraintRecord record;
            record.name = GuardedText(row, "CONSTRAINT_NAME");
            record.displayName = record.name;
            if (!record.name.empty()) {
                try {
                    record.displayName += IsTrueValue(row.Value("IS_DEFERRABLE")) ? " (deferrable)" : " (not deferrable)";
                } catch (const std::exception&) {
                }
            }
            record.type = GuardedText(row, "CONSTRAINT_TYPE");
            m_records.push_back(std::move(record));
        }
        row.MoveNext();
    }
}

void CConstraintsModel::LoadCheckConstraints()
{
    m_checkClauses.clear();
    m_bCheckClausesRead = true;
    try {
        CSchemaRow row(m_host.OpenSchema(ado::adSchemaCheckConstraints,
                                         {RestrictionText(m_table.m_strCatalog), RestrictionText(m_table.m_strSchema),
                                          _variant_t()}));
        if (row.IsEmpty())
            return;
        while (!row.AtEnd()) {
            const wxString key = GuardedText(row, "CONSTRAINT_CATALOG") + "." + GuardedText(row, "CONSTRAINT_SCHEMA") +
                                 "." + GuardedText(row, "CONSTRAINT_NAME");
            m_checkClauses[key.utf8_string()] = GuardedText(row, "CHECK_CLAUSE");
            row.MoveNext();
        }
    } catch (const _com_error&) {
        // The clauses read so far stay; a check constraint without one says so itself.
    }
}

std::vector<CNameComboEntry> CConstraintsModel::ComboEntries() const
{
    std::vector<CNameComboEntry> entries;
    for (size_t i = 0; i < m_records.size(); ++i)
        entries.push_back({m_records[i].displayName, imgTextLines, static_cast<int>(i)});
    return NameComboEntries(m_result, std::move(entries));
}

wxString CConstraintsModel::ClauseKey(const wxString& name) const
{
    return m_table.m_strCatalog + "." + m_table.m_strSchema + "." + name;
}

wxString CConstraintsModel::Expression(const CConstraintRecord& record) const
{
    auto it = m_checkClauses.find(ClauseKey(record.name).utf8_string());
    if (it != m_checkClauses.end())
        return it->second;
    return record.type.Contains("CHECK") ? wxString(property_texts::kNotCapable) : wxString();
}
