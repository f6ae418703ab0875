#include "RowCountDlg.h"

#include "platform/MessageBox.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <cstdlib>

CRowCountDlg::CRowCountDlg(wxWindow* parent, int rows)
    : wxDialog(parent, wxID_ANY, "Number of Rows"), m_strRowCount(wxString::Format("%d", rows))
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(new wxStaticText(this, wxID_ANY, "&Maximum number of rows to fetch:"), 0, wxLEFT | wxRIGHT | wxTOP, 10);
    wxTextValidator digits(wxFILTER_DIGITS, &m_strRowCount);
    m_pEdit = new wxTextCtrl(this, IDC_ROW_COUNT, wxString(), wxDefaultPosition, wxSize(160, -1), 0, digits);
    m_pEdit->SetMaxLength(9);
    top->Add(m_pEdit, 0, wxEXPAND | wxALL, 10);
    auto* buttons = new wxStdDialogButtonSizer();
    auto* ok = new wxButton(this, wxID_OK, "OK");
    ok->SetDefault();
    buttons->AddButton(ok);
    buttons->AddButton(new wxButton(this, wxID_CANCEL, "Cancel"));
    buttons->Realize();
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    SetSizerAndFit(top);
    m_pEdit->SetFocus();
    Bind(wxEVT_BUTTON, &CRowCountDlg::OnOK, this, wxID_OK);
}

bool CRowCountDlg::TransferDataToWindow()
{
    const bool done = wxDialog::TransferDataToWindow();
    m_pEdit->SelectAll();
    return done;
}

int CRowCountDlg::GetRowCount() const
{
    return std::atoi(m_strRowCount.utf8_string().c_str());
}

void CRowCountDlg::OnOK(wxCommandEvent& event)
{
    TransferDataFromWindow();
    m_strRowCount.Trim(true).Trim(false);
    if (m_strRowCount.empty()) {
        TVMessageBox("<Maximum number of rows to fetch> is a required field.", wxOK | wxICON_INFORMATION, this);
        m_pEdit->SetFocus();
        return;
    }
    event.Skip();
}
