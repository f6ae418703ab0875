#include "ConstraintsPage.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CConstraintsPage::CConstraintsPage(wxWindow* parent, wxImageList* images) : CSchemaListPage(parent, images, false)
{
    auto* page = new wxBoxSizer(wxVERTICAL);
    CreateNameCombo(page);
    auto* grid = new wxFlexGridSizer(2, 6, 6);
    grid->AddGrowableCol(1);
    grid->AddGrowableRow(1);
    grid->Add(new wxStaticText(this, wxID_ANY, "Type:"));
    m_pType = new wxStaticText(this, 212, wxString());
    grid->Add(m_pType, 1, wxEXPAND);
    grid->Add(new wxStaticText(this, wxID_ANY, "&Expr:"));
    m_pExpression = new wxTextCtrl(this, 1049, wxString(), wxDefaultPosition, wxDefaultSize,
                                   wxTE_MULTILINE | wxTE_READONLY | wxBORDER_SUNKEN);
    grid->Add(m_pExpression, 1, wxEXPAND);
    page->Add(grid, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    SetSizer(page);
}

void CConstraintsPage::SetObject(ISchemaHost* host, const CSchemaNodeData* table)
{
    m_pHost = host;
    m_pTable = table;
}

void CConstraintsPage::ResetContents()
{
    CSchemaListPage::ResetContents();
    m_pModel.reset();
    m_pType->SetLabel(wxString());
    m_pExpression->ChangeValue(wxString());
}

void CConstraintsPage::Load()
{
    if (!m_pHost || !m_pTable)
        return;
    m_pModel = std::make_unique<CConstraintsModel>(*m_pHost, *m_pTable);
    const CPageLoadResult result = m_pModel->Load();
    FillNameCombo(m_pModel->ComboEntries(), result == CPageLoadResult::Loaded);
}

void CConstraintsPage::OnSelChangeName()
{
    const int record = GetSelectedRecord();
    if (!m_pModel || record < 0)
        return;
    const CConstraintRecord& constraint = m_pModel->Records()[record];
    m_pType->SetLabel(constraint.type);
    m_pExpression->ChangeValue(m_pModel->Expression(constraint));
}
