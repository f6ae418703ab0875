// Asks for the login attributes a connect string lacks (user, password, database), as an ODBC
// driver does when it is told to complete a connection; the server and port can be corrected at
// the same time. OK gives the completed string; Cancel fails the connection with
// "Operation was canceled.".
#pragma once

#include "querycore/DataLinkFields.h"

#include <wx/dialog.h>

class wxTextCtrl;

class CConnectPromptDlg : public wxDialog {
public:
    enum { IDC_PROMPT_USER = 1300, IDC_PROMPT_PASSWORD, IDC_PROMPT_DATABASE, IDC_PROMPT_SERVER, IDC_PROMPT_PORT };

    // missing: the CDataLinkFields::Missing bits; those fields are offered, the first one focused.
    CConnectPromptDlg(wxWindow* parent, const CDataLinkFields& fields, int missing);

    CDataLinkFields GetFields() const;

    // Shows the dialog when the string lacks login attributes; true with the completed string on OK.
    // False when nothing is missing (no dialog) or the user cancels (cancelled set).
    static bool Complete(wxWindow* parent, wxString& connectString, bool& cancelled);

private:
    CDataLinkFields m_fields;
    wxTextCtrl* m_user = nullptr;
    wxTextCtrl* m_password = nullptr;
    wxTextCtrl* m_database = nullptr;
    wxTextCtrl* m_server = nullptr;
    wxTextCtrl* m_port = nullptr;
};
