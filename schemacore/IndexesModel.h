// The Indexes page without its window: a table's or view's indexes from the INDEXES rowset,
// one record per index name (names in byte order), each with its columns and their order and
// the primary key, unique, type, cardinality and fill factor texts of its last row.
// Window thread only; reads synchronously on the window's connection.
#pragma once

#include "PropertyPageLoad.h"
#include "SchemaHost.h"
#include "SchemaNodeData.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

struct CIndexRecord {
    wxString name;
    // Column (or expression) and its order: "Asc", "Desc" or empty. Kept apart, since an
    // expression may hold any character.
    std::vector<std::pair<wxString, wxString>> columns;
    wxString primaryKey; // "Yes", "No", or empty when the rowset cannot tell
    wxString unique;
    wxString type;
    wxString fillFactor;
    wxString cardinality;
};

class CIndexesModel {
public:
    CIndexesModel(ISchemaHost& host, const CSchemaNodeData& object) : m_host(host), m_object(object) {}

    CPageLoadResult Load();
    // Fills the map; throws _com_error for the rowset's failures.
    void LoadIndexes();

    // By the name's bytes, so "IX_C" comes before "IX_b".
    const std::map<std::string, CIndexRecord>& Indexes() const { return m_indexes; }
    // The record a combo entry stands for.
    const CIndexRecord* Record(int index) const;
    CPageLoadResult Result() const { return m_result; }
    // One entry per index, in the map's order, with the window image.
    std::vector<CNameComboEntry> ComboEntries() const;

private:
    ISchemaHost& m_host;
    const CSchemaNodeData& m_object;
    std::map<std::string, CIndexRecord> m_indexes;
    std::vector<const CIndexRecord*> m_order;
    CPageLoadResult m_result = CPageLoadResult::Loaded;
};
