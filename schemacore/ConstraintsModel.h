// The Constraints page without its window: a table's constraints from the TABLE_CONSTRAINTS
// rowset with their deferrability, and, when there are any, the check clauses of the table's
// catalog and schema from CHECK_CONSTRAINTS. Window thread only; reads synchronously on the
// window's connection.
#pragma once

#include "PropertyPageLoad.h"
#include "SchemaHost.h"
#include "SchemaNodeData.h"

#include <map>
#include <string>
#include <vector>

struct CConstraintRecord {
    wxString name;        // as the rowset gives it
    wxString displayName; // the name with " (deferrable)" or " (not deferrable)"
    wxString type;        // CONSTRAINT_TYPE as the provider spells it
};

class CConstraintsModel {
public:
    CConstraintsModel(ISchemaHost& host, const CSchemaNodeData& table) : m_host(host), m_table(table) {}

    // The constraints, then the check clauses when there are constraints.
    CPageLoadResult Load();
    // Throws _com_error for the rowset's failures.
    void LoadConstraints();
    // Never fails: clauses that cannot be read are missing.
    void LoadCheckConstraints();

    const std::vector<CConstraintRecord>& Records() const { return m_records; }
    CPageLoadResult Result() const { return m_result; }
    bool CheckClausesRead() const { return m_bCheckClausesRead; }
    // One entry per constraint, in the rowset's order, with the text image.
    std::vector<CNameComboEntry> ComboEntries() const;
    // The check clause of a constraint; "<Provider not capable>" for a check constraint whose
    // clause could not be found; empty for other constraints.
    wxString Expression(const CConstraintRecord& record) const;

private:
    wxString ClauseKey(const wxString& name) const;

    ISchemaHost& m_host;
    const CSchemaNodeData& m_table;
    std::vector<CConstraintRecord> m_records;
    // catalog + "." + schema + "." + name -> clause; the row read last wins.
    std::map<std::string, wxString> m_checkClauses;
    bool m_bCheckClausesRead = false;
    CPageLoadResult m_result = CPageLoadResult::Loaded;
};
