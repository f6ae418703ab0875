#include "GoToGridDlg.h"

#include "common/DialogLayout.h"
#include "platform/MessageBox.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cstdlib>

CGoToGridDlg::CGoToGridDlg(wxWindow* parent, int current)
    : wxDialog(parent, wxID_ANY, "Go To Grid")
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, "&Grid number:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    m_pEdit = new wxTextCtrl(this, kEditId, wxString::Format("%d", current));
    m_pEdit->SetMaxLength(4);
    row->Add(m_pEdit, 1);
    sizer->Add(row, 0, wxEXPAND | wxALL, 10);
    sizer->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    SetSizer(sizer);
    ApplyNaturalLayout(*this);
    m_pEdit->SetFocus();
    m_pEdit->SelectAll();
    Bind(wxEVT_BUTTON, &CGoToGridDlg::OnOK, this, wxID_OK);
}

void CGoToGridDlg::OnOK(wxCommandEvent&)
{
    if (ReadGridNumber())
        EndModal(wxID_OK);
}

bool CGoToGridDlg::ReadGridNumber()
{
    wxString text = m_pEdit->GetValue();
    text.Trim(true).Trim(false);
    if (text.empty()) {
        TVMessageBox("<Grid number> is a required field.", wxOK | wxICON_INFORMATION, this);
        m_pEdit->SetFocus();
        return false;
    }
    // The leading decimal integer, as atoi reads it.
    m_nGridNumber = std::atoi(text.utf8_str());
    return true;
}
