// The Constraints page of the properties sheet: a table's constraints in the name combo with
// their deferrability, and the selected one's type and, for a check constraint, its clause.
// Window thread only.
#pragma once

#include "SchemaListPage.h"
#include "schemacore/ConstraintsModel.h"

#include <memory>

class wxStaticText;
class wxTextCtrl;

class CConstraintsPage : public CSchemaListPage {
public:
    CConstraintsPage(wxWindow* parent, wxImageList* images);

    void SetObject(ISchemaHost* host, const CSchemaNodeData* table);
    void ResetContents() override;

    wxStaticText* GetTypeLabel() const { return m_pType; }
    wxTextCtrl* GetExpression() const { return m_pExpression; }

private:
    void Load() override;
    void OnSelChangeName() override;

    ISchemaHost* m_pHost = nullptr;
    const CSchemaNodeData* m_pTable = nullptr;
    std::unique_ptr<CConstraintsModel> m_pModel;
    wxStaticText* m_pType = nullptr;
    wxTextCtrl* m_pExpression = nullptr;
};
