// The Relationships page of the properties sheet: a table's foreign keys, one name combo entry
// per column pair, and the pair's columns, constraint names and rules in a two-column list.
// Window thread only.
#pragma once

#include "SchemaListPage.h"
#include "schemacore/RelationshipsModel.h"

#include <memory>

class CRelationshipsPage : public CSchemaListPage {
public:
    CRelationshipsPage(wxWindow* parent, wxImageList* images);

    // The table and the window it belongs to, before the page loads.
    void SetObject(ISchemaHost* host, const CSchemaNodeData* table);
    void ResetContents() override;

private:
    void Load() override;
    void OnSelChangeName() override;

    ISchemaHost* m_pHost = nullptr;
    const CSchemaNodeData* m_pTable = nullptr;
    std::unique_ptr<CRelationshipsModel> m_pModel;
};
