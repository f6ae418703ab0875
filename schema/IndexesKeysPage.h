// The Indexes page of the properties sheet: a table's or view's indexes in the name combo, the
// selected index's columns with their order, and whether it is the primary key, unique, its
// type, cardinality and fill factor. Window thread only.
#pragma once

#include "SchemaListPage.h"
#include "schemacore/IndexesModel.h"

#include <memory>

class wxTextCtrl;

class CIndexesKeysPage : public CSchemaListPage {
public:
    CIndexesKeysPage(wxWindow* parent, wxImageList* images);

    void SetObject(ISchemaHost* host, const CSchemaNodeData* object);
    void ResetContents() override;

    // The value fields: primary key, unique, type, cardinality, fill factor.
    wxTextCtrl* GetField(int index) const { return m_fields[index]; }

private:
    void Load() override;
    void OnSelChangeName() override;

    ISchemaHost* m_pHost = nullptr;
    const CSchemaNodeData* m_pObject = nullptr;
    std::unique_ptr<CIndexesModel> m_pModel;
    wxTextCtrl* m_fields[5] = {};
};
