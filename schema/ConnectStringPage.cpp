#include "ConnectStringPage.h"

#include "schemacore/ConnectionStringMask.h"

#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

CConnectStringPage::CConnectStringPage(wxWindow* parent) : wxPanel(parent, wxID_ANY)
{
    m_pEdit = new wxTextCtrl(this, 1016, wxString(), wxDefaultPosition, wxDefaultSize,
                             wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2 | wxBORDER_SUNKEN);
    auto* page = new wxBoxSizer(wxVERTICAL);
    page->Add(m_pEdit, 1, wxEXPAND | wxALL, 6);
    SetSizer(page);
    // Our menu in place of the text control's own, which offers editing.
    m_pEdit->Bind(wxEVT_CONTEXT_MENU, &CConnectStringPage::OnContextMenu, this);
    Bind(wxEVT_MENU, &CConnectStringPage::OnCopy, this, wxID_COPY);
    Bind(wxEVT_MENU, &CConnectStringPage::OnSelectAll, this, wxID_SELECTALL);
}

void CConnectStringPage::SetConnectString(const wxString& text)
{
    m_pEdit->ChangeValue(MaskConnectionPasswords(text));
}

void CConnectStringPage::OnContextMenu(wxContextMenuEvent& event)
{
    wxMenu menu;
    menu.Append(wxID_UNDO, "&Undo");
    menu.AppendSeparator();
    menu.Append(wxID_CUT, "Cu&t");
    menu.Append(wxID_COPY, "&Copy");
    menu.Append(wxID_PASTE, "&Paste");
    menu.Append(wxID_DELETE, "&Delete");
    menu.AppendSeparator();
    menu.Append(wxID_SELECTALL, "Select &All");
    for (int id : {wxID_UNDO, wxID_CUT, wxID_PASTE, wxID_DELETE})
        menu.Enable(id, false);
    long from = 0, to = 0;
    m_pEdit->GetSelection(&from, &to);
    menu.Enable(wxID_COPY, from != to);
    menu.Enable(wxID_SELECTALL, !m_pEdit->GetValue().empty());
    wxPoint point = event.GetPosition();
    point = point == wxDefaultPosition ? wxPoint(m_pEdit->GetClientSize().x / 2, m_pEdit->GetClientSize().y / 2)
                                       : m_pEdit->ScreenToClient(point);
    m_pEdit->PopupMenu(&menu, point);
}

void CConnectStringPage::OnCopy(wxCommandEvent&)
{
    m_pEdit->Copy();
}

void CConnectStringPage::OnSelectAll(wxCommandEvent&)
{
    m_pEdit->SetSelection(-1, -1);
}
