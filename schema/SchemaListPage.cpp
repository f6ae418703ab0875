#include "SchemaListPage.h"

#include "common/ItemComboBoxEx.h"
#include "common/ListHelpers.h"
#include "common/ListSortHelper.h"

#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <cctype>

CSchemaListPage::CSchemaListPage(wxWindow* parent, wxImageList* images, bool sortStart)
    : wxPanel(parent, wxID_ANY), m_pImages(images), m_bSortStart(sortStart), m_bSortAscending(sortStart)
{
    Bind(wxEVT_MENU, &CSchemaListPage::OnCopy, this, ID_PROPERTIES_COPY);
}

void CSchemaListPage::EnsureLoaded()
{
    if (m_bLoaded)
        return;
    wxBusyCursor wait;
    ResetContents();
    m_bLoaded = true;
    Load();
}

void CSchemaListPage::ResetContents()
{
    m_bLoaded = false;
    m_bSortAscending = m_bSortStart;
    if (m_pCombo)
        m_pCombo->Clear();
    if (m_pList)
        m_pList->DeleteAllItems();
}

void CSchemaListPage::CreateNameCombo(wxBoxSizer* page)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, "&Name:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    m_pCombo = new CItemComboBoxEx(this, 1036);
    m_pCombo->SetImageList(m_pImages);
    row->Add(m_pCombo, 1, wxEXPAND);
    page->Add(row, 0, wxEXPAND | wxALL, 6);
    m_pCombo->Bind(wxEVT_COMBOBOX, &CSchemaListPage::OnComboSelected, this);
    m_pCombo->Bind(wxEVT_KEY_DOWN, &CSchemaListPage::OnComboKeyDown, this);
}

wxListCtrl* CSchemaListPage::CreateList(wxWindow* parent)
{
    m_pList = new wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                             wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_SUNKEN);
    if (m_pImages)
        m_pList->SetImageList(m_pImages, wxIMAGE_LIST_SMALL);
    m_pList->Bind(wxEVT_LIST_COL_CLICK, &CSchemaListPage::OnColumnClick, this);
    m_pList->Bind(wxEVT_CONTEXT_MENU, &CSchemaListPage::OnListContextMenu, this);
    m_pList->Bind(wxEVT_KEY_DOWN, &CSchemaListPage::OnListKeyDown, this);
    return m_pList;
}

void CSchemaListPage::FillNameCombo(const std::vector<CNameComboEntry>& entries, bool enabled)
{
    m_pCombo->Clear();
    for (const CNameComboEntry& entry : entries)
        m_pCombo->InsertItem(entry.text, entry.image, -1, reinterpret_cast<void*>(static_cast<intptr_t>(entry.record + 1)));
    m_pCombo->Enable(enabled);
    if (m_pCombo->GetCount() > 0)
        m_pCombo->SetSelection(0);
    OnSelChangeName();
}

int CSchemaListPage::GetSelectedRecord() const
{
    if (!m_pCombo)
        return -1;
    return static_cast<int>(reinterpret_cast<intptr_t>(m_pCombo->GetItemData(m_pCombo->GetSelection()))) - 1;
}

void CSchemaListPage::OnComboSelected(wxCommandEvent&)
{
    OnSelChangeName();
}

void CSchemaListPage::OnComboKeyDown(wxKeyEvent& event)
{
    const int code = event.GetKeyCode();
    if (!event.HasAnyModifiers() && code < 128 && std::isalnum(code) &&
        m_pCombo->SelectNextByFirstChar(wxString(wxUniChar(code))) >= 0) {
        OnSelChangeName();
        return;
    }
    event.Skip();
}

void CSchemaListPage::OnColumnClick(wxListEvent& event)
{
    m_bSortAscending = !m_bSortAscending;
    CListSortHelper sorter(*m_pList, event.GetColumn(), false);
    sorter.Sort(m_bSortAscending);
}

// A right click anywhere in the list comes here too: the list lets it through as a context menu.
void CSchemaListPage::OnListContextMenu(wxContextMenuEvent& event)
{
    wxPoint point = event.GetPosition();
    GetListPopupPoint(*m_pList, point);
    ShowPropertiesPopup(m_pList->ScreenToClient(point));
}

void CSchemaListPage::ShowPropertiesPopup(wxPoint point)
{
    wxMenu popup;
    popup.Append(ID_PROPERTIES_COPY, "&Copy");
    popup.Enable(ID_PROPERTIES_COPY, GetSelectedListItem(*m_pList, false) >= 0);
    m_pList->PopupMenu(&popup, point);
}

void CSchemaListPage::OnListKeyDown(wxKeyEvent& event)
{
    if (event.GetModifiers() == wxMOD_CONTROL && (event.GetKeyCode() == 'C' || event.GetKeyCode() == 'c')) {
        CopyListRowToClipboard(*m_pList);
        return;
    }
    event.Skip();
}

void CSchemaListPage::OnCopy(wxCommandEvent&)
{
    CopyListRowToClipboard(*m_pList);
}
