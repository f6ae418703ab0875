// The data link dialog: picks an ODBC data source or driver, takes the fields the driver needs
// (database file, or server, port and database; user and password; further attributes), tests
// the connection, and gives back the ADO connection string. Can also save it as a data link file.
#pragma once

#include "querycore/DataLinkFields.h"
#include "querycore/OdbcCatalog.h"

#include <wx/dialog.h>

#include <vector>

class wxCheckBox;
class wxChoice;
class wxRadioButton;
class wxTextCtrl;
class wxButton;

class CDataLinkDlg : public wxDialog {
public:
    enum {
        IDC_USE_DSN = 1200,
        IDC_DSN,
        IDC_USE_DRIVER,
        IDC_DRIVER,
        IDC_REFRESH,
        IDC_DATABASE_FILE,
        IDC_BROWSE,
        IDC_SERVER,
        IDC_PORT,
        IDC_DATABASE,
        IDC_USER,
        IDC_PASSWORD,
        IDC_BLANK_PASSWORD,
        IDC_SAVE_PASSWORD,
        IDC_OTHER,
        IDC_TEST,
        IDC_SAVE_UDL,
    };

    explicit CDataLinkDlg(wxWindow* parent, const CDataLinkFields& initial = CDataLinkFields());

    // A new connection string; false when the user cancels.
    static bool PromptNew(wxWindow* parent, wxString& connectString);
    // Edits an existing connection string; false (and the string unchanged) when the user cancels.
    static bool PromptEdit(wxWindow* parent, wxString& connectString);

    void SetFields(const CDataLinkFields& fields);
    CDataLinkFields GetFields() const;
    wxString GetConnectString() const { return GetFields().BuildConnectString(); }

    // Opens a connection from the fields and reports the outcome; true when it opened.
    bool TestConnection();
    // Writes the connection string as a data link file (UTF-16 with its byte order mark, as the
    // system writes them), with the password only when "Allow saving password" is checked;
    // false with the reason shown when it cannot.
    bool SaveDataLinkFile(const wxString& path);
    // The fields are complete enough to try a connection; otherwise says why and moves the focus.
    bool Validate() override;

private:
    void FillSources();
    void UpdateControls();
    bool IsFileDriverSelected() const;

    void OnSourceKind(wxCommandEvent& event);
    void OnSourceChanged(wxCommandEvent& event);
    void OnRefresh(wxCommandEvent& event);
    void OnBrowse(wxCommandEvent& event);
    void OnBlankPassword(wxCommandEvent& event);
    void OnTest(wxCommandEvent& event);
    void OnSaveDataLinkFile(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);

    std::vector<COdbcDriver> m_drivers;
    std::vector<COdbcDataSource> m_sources;

    wxRadioButton* m_useDsn;
    wxChoice* m_dsn;
    wxRadioButton* m_useDriver;
    wxChoice* m_driver;
    wxTextCtrl* m_databaseFile;
    wxButton* m_browse;
    wxTextCtrl* m_server;
    wxTextCtrl* m_port;
    wxTextCtrl* m_database;
    wxTextCtrl* m_user;
    wxTextCtrl* m_password;
    wxCheckBox* m_blankPassword;
    wxCheckBox* m_savePassword;
    wxTextCtrl* m_other;
};
