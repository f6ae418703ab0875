#include "ConnectPromptDlg.h"

#include "common/DialogLayout.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CConnectPromptDlg::CConnectPromptDlg(wxWindow* parent, const CDataLinkFields& fields, int missing)
    : wxDialog(parent, wxID_ANY, "Connect to " + fields.GetSourceName()), m_fields(fields)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* text = new wxStaticText(this, wxID_ANY, "The data source needs more information to connect.");
    text->Wrap(420);
    top->Add(text, 0, wxALL, 10);

    auto* grid = new wxFlexGridSizer(2, wxSize(8, 6));
    grid->AddGrowableCol(1);
    const auto addField = [&](int id, const wxString& label, const wxString& value, long style) {
        grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
        auto* field = new wxTextCtrl(this, id, value, wxDefaultPosition, wxSize(260, -1), style);
        grid->Add(field, 1, wxEXPAND);
        return field;
    };
    const bool file = fields.IsFileDatabase();
    if (!file && !fields.useDsn) {
        m_server = addField(IDC_PROMPT_SERVER, "&Server:", fields.server, 0);
        m_port = addField(IDC_PROMPT_PORT, "P&ort:", fields.port, 0);
    }
    m_user = addField(IDC_PROMPT_USER, "&User name:", fields.user, 0);
    m_password = addField(IDC_PROMPT_PASSWORD, "&Password:", fields.password, wxTE_PASSWORD);
    m_database = addField(IDC_PROMPT_DATABASE, file ? "Database &file:" : "Data&base:", fields.database, 0);
    if (file) {
        m_user->Disable();
        m_password->Disable();
    }
    top->Add(grid, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
    top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 10);
    SetSizer(top);
    ApplyNaturalLayout(*this);

    if (missing & CDataLinkFields::MissingUser)
        m_user->SetFocus();
    else if (missing & CDataLinkFields::MissingPassword)
        m_password->SetFocus();
    else
        m_database->SetFocus();
}

CDataLinkFields CConnectPromptDlg::GetFields() const
{
    CDataLinkFields fields = m_fields;
    if (m_user->IsEnabled()) {
        fields.user = m_user->GetValue().Strip(wxString::both);
        fields.hasUser = true;
        fields.password = m_password->GetValue();
        fields.hasPassword = true;
    }
    fields.database = m_database->GetValue().Strip(wxString::both);
    if (m_server) {
        fields.server = m_server->GetValue().Strip(wxString::both);
        fields.port = m_port->GetValue().Strip(wxString::both);
    }
    return fields;
}

bool CConnectPromptDlg::Complete(wxWindow* parent, wxString& connectString, bool& cancelled)
{
    cancelled = false;
    const CDataLinkFields fields = CDataLinkFields::Parse(connectString);
    const int missing = fields.GetMissingLogin();
    if (!missing)
        return false;
    CConnectPromptDlg dlg(parent, fields, missing);
    if (dlg.ShowModal() != wxID_OK) {
        cancelled = true;
        return false;
    }
    connectString = dlg.GetFields().BuildConnectString();
    return true;
}
