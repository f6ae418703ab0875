// The Relationships page without its window: the foreign keys in which a table takes part,
// read from the FOREIGN_KEYS rowset twice (other tables referring to this one, then this table
// referring to others), one record per column pair, each with its six property rows.
// Window thread only; reads synchronously on the window's connection.
#pragma once

#include "PropertyPageLoad.h"
#include "SchemaHost.h"
#include "SchemaNodeData.h"

#include <utility>
#include <vector>

struct CRelationshipRecord {
    int side = 0; // 1: read with this table as the primary-key side; 0: as the foreign-key side
    wxString pkColumn; // quoted schema.table.column of the primary-key side
    wxString pkName;
    wxString fkColumn;
    wxString fkName;
    wxString updateRule;
    wxString deleteRule;
};

class CRelationshipsModel {
public:
    CRelationshipsModel(ISchemaHost& host, const CSchemaNodeData& table) : m_host(host), m_table(table) {}

    // Reads both sides; records read before a failure stay but are not offered.
    CPageLoadResult Load();
    // Appends one record per row of one side; throws _com_error for the rowset's failures.
    void LoadForeignKeys(bool primaryKeySide);

    const std::vector<CRelationshipRecord>& Records() const { return m_records; }
    CPageLoadResult Result() const { return m_result; }
    // The name combo: the foreign key's name (its column when it has none), with the key image
    // for other tables' references and the linked boxes for this table's own.
    std::vector<CNameComboEntry> ComboEntries() const;
    // The six "Property" and "Value" rows of a record.
    static std::vector<std::pair<wxString, wxString>> PropertyRows(const CRelationshipRecord& record);

private:
    ISchemaHost& m_host;
    const CSchemaNodeData& m_table;
    std::vector<CRelationshipRecord> m_records;
    CPageLoadResult m_result = CPageLoadResult::Loaded;
};
