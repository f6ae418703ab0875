#include "IndexesModel.h"

#include "SchemaRow.h"

#include <cstdint>
#include <optional>

namespace {

std::optional<int64_t> IntegerValue(const _variant_t& value)
{
    if (value.IsNull() || value.IsEmpty())
        return std::nullopt;
    try {
        return value.ToInt64();
    } catch (const _com_error&) {
        return std::nullopt;
    }
}

// "Yes" for a true value, "No" for any other, empty when the column cannot be read.
wxString YesNoText(CSchemaRow& row, const char* column)
{
    try {
        return IsTrueValue(row.Value(column)) ? "Yes" : "No";
    } catch (const std::exception&) {
        return wxString();
    }
}

wxString IndexTypeText(const std::optional<int64_t>& type)
{
    switch (type.value_or(0)) {
    case 1: return "B+-tree";
    case 2: return "Hash file";
    case 3: return "Content index";
    case 4: return "Other";
    default: return wxString();
    }
}

} // namespace

CPageLoadResult CIndexesModel::Load()
{
    m_indexes.clear();
    m_order.clear();
    m_result = GuardedLoad([this] { LoadIndexes(); });
    if (m_result != CPageLoadResult::Loaded)
        m_indexes.clear();
    for (const auto& [key, record] : m_indexes)
        m_order.push_back(&record);
    return m_result;
}

void CIndexesModel::LoadIndexes()
{
    CSchemaRow row(m_host.OpenSchema(ado::adSchemaIndexes,
                                     {RestrictionText(m_object.m_strCatalog), RestrictionText(m_object.m_strSchema),
                                      _variant_t(), _variant_t(), _variant_t(m_object.m_strName.utf8_string())}));
    if (row.IsEmpty())
        return;
    wxString catalog, schema, table;
    while (!row.AtEnd()) {
        // The table's own catalog and schema: an index may live in another schema than its table.
        // A provider that ignores restrictions is filtered here.
        catalog = GuardedText(row, "TABLE_CATALOG", catalog);
        schema = GuardedText(row, "TABLE_SCHEMA", schema);
        table = GuardedText(row, "TABLE_NAME", table);
        wxString name = GuardedText(row, "INDEX_NAME");
        name.Trim(true).Trim(false);
        if (catalog == m_object.m_strCatalog && schema == m_object.m_strSchema && table == m_object.m_strName &&
            !name.empty()) {
            CIndexRecord record;
            record.name = name;
            const std::optional<int64_t> collation = IntegerValue(GuardedValue(row, "COLLATION"));
            const wxString order = collation == 1 ? "Asc" : collation == 2 ? "Desc" : "";
            record.primaryKey = YesNoText(row, "PRIMARY_KEY");
            record.unique = YesNoText(row, "UNIQUE");
            if (IsTrueValue(GuardedValue(row, "CLUSTERED")))
                record.type = "Clustered";
            else
                record.type = IndexTypeText(IntegerValue(GuardedValue(row, "TYPE")));
            const std::optional<int64_t> cardinality = IntegerValue(GuardedValue(row, "CARDINALITY"));
            if (cardinality && *cardinality >= INT32_MIN && *cardinality <= INT32_MAX)
                record.cardinality = wxString::Format("%d", static_cast<int>(*cardinality));
            record.fillFactor = GuardedText(row, "FILL_FACTOR");
            if (!record.fillFactor.empty())
                record.fillFactor += " %";
            CIndexRecord& stored = m_indexes[name.utf8_string()];
            record.columns = std::move(stored.columns);
            record.columns.emplace_back(GuardedText(row, "COLUMN_NAME"), order);
            stored = std::move(record);
        }
        row.MoveNext();
    }
}

const CIndexRecord* CIndexesModel::Record(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_order.size() ? m_order[index] : nullptr;
}

std::vector<CNameComboEntry> CIndexesModel::ComboEntries() const
{
    std::vector<CNameComboEntry> entries;
    for (size_t i = 0; i < m_order.size(); ++i)
        entries.push_back({m_order[i]->name, imgConnection, static_cast<int>(i)});
    return NameComboEntries(m_result, std::move(entries));
}
