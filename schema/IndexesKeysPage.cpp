#include "IndexesKeysPage.h"

#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CIndexesKeysPage::CIndexesKeysPage(wxWindow* parent, wxImageList* images) : CSchemaListPage(parent, images, false)
{
    auto* page = new wxBoxSizer(wxVERTICAL);
    CreateNameCombo(page);
    auto* body = new wxBoxSizer(wxHORIZONTAL);
    body->Add(CreateList(this), 3, wxEXPAND | wxRIGHT, 8);
    m_pList->AppendColumn("Column Name/Expression");
    m_pList->AppendColumn("Order");
    auto* fields = new wxFlexGridSizer(2, 4, 6);
    const char* labels[] = {"Is primary key:", "Is unique:", "Type:", "Cardinality:", "Fill Factor:"};
    const int ids[] = {205, 206, 212, 211, 214};
    for (int i = 0; i < 5; ++i) {
        fields->Add(new wxStaticText(this, wxID_ANY, labels[i]), 0, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
        m_fields[i] = new wxTextCtrl(this, ids[i], wxString(), wxDefaultPosition, wxSize(130, -1), wxTE_READONLY);
        fields->Add(m_fields[i], 1, wxEXPAND);
    }
    body->Add(fields, 2, wxEXPAND);
    page->Add(body, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    SetSizer(page);
}

void CIndexesKeysPage::SetObject(ISchemaHost* host, const CSchemaNodeData* object)
{
    m_pHost = host;
    m_pObject = object;
}

void CIndexesKeysPage::ResetContents()
{
    CSchemaListPage::ResetContents();
    m_pModel.reset();
    for (wxTextCtrl* field : m_fields)
        field->ChangeValue(wxString());
}

void CIndexesKeysPage::Load()
{
    const int width = m_pList->GetClientSize().x;
    m_pList->SetColumnWidth(0, 3 * width / 4);
    m_pList->SetColumnWidth(1, width / 4);
    if (!m_pHost || !m_pObject)
        return;
    m_pModel = std::make_unique<CIndexesModel>(*m_pHost, *m_pObject);
    const CPageLoadResult result = m_pModel->Load();
    FillNameCombo(m_pModel->ComboEntries(), result == CPageLoadResult::Loaded);
}

void CIndexesKeysPage::OnSelChangeName()
{
    const CIndexRecord* record = m_pModel ? m_pModel->Record(GetSelectedRecord()) : nullptr;
    if (!record)
        return;
    m_pList->Freeze();
    m_pList->DeleteAllItems();
    long index = 0;
    for (const auto& [column, order] : record->columns) {
        const long row = m_pList->InsertItem(index++, column, imgWindowLines);
        m_pList->SetItem(row, 1, order);
    }
    for (int column = 0; column < m_pList->GetColumnCount(); ++column)
        m_pList->SetColumnWidth(column, wxLIST_AUTOSIZE_USEHEADER);
    m_pList->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                          wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    m_pList->Thaw();
    const wxString* values[] = {&record->primaryKey, &record->unique, &record->type, &record->cardinality,
                                &record->fillFactor};
    for (int i = 0; i < 5; ++i)
        m_fields[i]->ChangeValue(*values[i]);
}
