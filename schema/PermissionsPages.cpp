#include "PermissionsPages.h"

#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include <algorithm>
#include <iterator>

namespace {

struct ListColumn {
    const char* header;
    int extra; // added to a quarter of the list's width
};
constexpr ListColumn kColumns[] = {{"Grantee", 20}, {"SELECT", -37}, {"INSERT", -37},
                                   {"UPDATE", -35}, {"DELETE", -37}, {"RI", -55}};

} // namespace

CPermissionsPage::CPermissionsPage(wxWindow* parent, wxImageList* images, bool columnPage)
    : CSchemaListPage(parent, images, true), m_bColumnPage(columnPage),
      m_allUsersKey(columnPage ? settings::ColPermAllUsers : settings::TablePermAllUsers)
{
    auto* page = new wxBoxSizer(wxVERTICAL);
    auto* choice = new wxBoxSizer(wxHORIZONTAL);
    m_pAllUsers = new wxRadioButton(this, 1056, "&All users", wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    m_pThisUser = new wxRadioButton(this, 1057, "&This user");
    choice->Add(m_pAllUsers, 0, wxRIGHT, 24);
    choice->Add(m_pThisUser);
    page->Add(choice, 0, wxALL, 6);
    page->Add(CreateList(this), 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    for (const ListColumn& column : kColumns)
        m_pList->AppendColumn(column.header);
    SetSizer(page);
    m_pAllUsers->Bind(wxEVT_RADIOBUTTON, &CPermissionsPage::OnChoice, this);
    m_pThisUser->Bind(wxEVT_RADIOBUTTON, &CPermissionsPage::OnChoice, this);
}

void CPermissionsPage::SetObject(ISchemaHost* host, const CSchemaNodeData* table, const CSchemaColumnData* column,
                                 const wxString& userName)
{
    m_pHost = host;
    m_pTable = table;
    m_pColumn = column;
    m_strUserName = userName;
}

void CPermissionsPage::ResetContents()
{
    CSchemaListPage::ResetContents();
    ShowMessageLayout(false);
    m_pAllUsers->Enable();
    m_pThisUser->Enable();
}

void CPermissionsPage::ShowMessageLayout(bool message)
{
    m_pList->SetSingleStyle(wxLC_NO_HEADER, message);
    if (message)
        m_pList->SetColumnWidth(0, wxLIST_AUTOSIZE);
}

void CPermissionsPage::Load()
{
    const int quarter = m_pList->GetClientSize().x / 4;
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
        m_pList->SetColumnWidth(i, std::max(quarter + kColumns[i].extra, 20));
    m_pThisUser->SetLabel(m_strUserName.empty() ? wxString("&This user") : "&This user (" + m_strUserName + ")");
    const bool allUsers = settings::ReadInt(m_allUsersKey) != 0;
    m_pAllUsers->SetValue(allUsers);
    m_pThisUser->SetValue(!allUsers);
    Layout();
    Reload();
}

void CPermissionsPage::OnChoice(wxCommandEvent&)
{
    wxBusyCursor wait;
    Reload();
}

void CPermissionsPage::Reload()
{
    if (!m_pHost || !m_pTable || (m_bColumnPage && !m_pColumn))
        return;
    m_pList->Freeze();
    m_pList->DeleteAllItems();
    const bool allUsers = m_pAllUsers->GetValue();
    // Remembered before the load, so that a failing load keeps the user's choice too.
    settings::WriteInt(m_allUsersKey, allUsers ? 1 : 0);
    CPrivilegesModel model(*m_pHost, *m_pTable, m_bColumnPage ? m_pColumn : nullptr, m_strUserName);
    const CPageLoadResult result = model.Load(allUsers);
    long index = 0;
    for (const CPrivilegeRow& row : model.Rows()) {
        const long item = m_pList->InsertItem(index++, row.grantee, row.image);
        for (size_t i = 0; i < row.cells.size(); ++i)
            m_pList->SetItem(item, static_cast<long>(i + 1), row.cells[i]);
    }
    if (result != CPageLoadResult::Loaded) {
        m_pAllUsers->Disable();
        m_pThisUser->Disable();
        ShowMessageLayout(true);
    } else {
        for (int column = 0; column < m_pList->GetColumnCount(); ++column)
            m_pList->SetColumnWidth(column, wxLIST_AUTOSIZE_USEHEADER);
        if (m_pList->GetItemCount() > 0)
            m_pList->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                  wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    }
    m_pList->Thaw();
    m_pList->Refresh();
}
