#include "RelationshipsPage.h"

#include <wx/listctrl.h>
#include <wx/sizer.h>

CRelationshipsPage::CRelationshipsPage(wxWindow* parent, wxImageList* images)
    : CSchemaListPage(parent, images, true)
{
    auto* page = new wxBoxSizer(wxVERTICAL);
    CreateNameCombo(page);
    page->Add(CreateList(this), 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    m_pList->AppendColumn("Property");
    m_pList->AppendColumn("Value");
    SetSizer(page);
}

void CRelationshipsPage::SetObject(ISchemaHost* host, const CSchemaNodeData* table)
{
    m_pHost = host;
    m_pTable = table;
}

void CRelationshipsPage::ResetContents()
{
    CSchemaListPage::ResetContents();
    m_pModel.reset();
}

void CRelationshipsPage::Load()
{
    const int width = m_pList->GetClientSize().x;
    m_pList->SetColumnWidth(0, width / 4 + 10);
    m_pList->SetColumnWidth(1, width - (width / 4 + 10));
    if (!m_pHost || !m_pTable)
        return;
    m_pModel = std::make_unique<CRelationshipsModel>(*m_pHost, *m_pTable);
    const CPageLoadResult result = m_pModel->Load();
    FillNameCombo(m_pModel->ComboEntries(), result == CPageLoadResult::Loaded);
}

void CRelationshipsPage::OnSelChangeName()
{
    const int record = GetSelectedRecord();
    if (!m_pModel || record < 0)
        return;
    m_pList->Freeze();
    m_pList->DeleteAllItems();
    long index = 0;
    // Cells are set one by one: a name may hold any character.
    for (const auto& [label, value] : CRelationshipsModel::PropertyRows(m_pModel->Records()[record])) {
        const long row = m_pList->InsertItem(index++, label, -1);
        m_pList->SetItem(row, 1, value);
    }
    m_pList->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                          wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    m_pList->Thaw();
}
