#include "DataLinkDlg.h"

#include "ado/Ado.h"
#include "common/DialogLayout.h"
#include "platform/MessageBox.h"
#include "querycore/DataLinkFile.h"

#include <wx/button.h>
#include <wx/busyinfo.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

CDataLinkDlg::CDataLinkDlg(wxWindow* parent, const CDataLinkFields& initial)
    : wxDialog(parent, wxID_ANY, "Data Link Properties", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER)
{
    auto* top = new wxBoxSizer(wxVERTICAL);

    auto* sourceBox = new wxStaticBoxSizer(wxVERTICAL, this, "1. Specify the source of data");
    auto* sourceGrid = new wxFlexGridSizer(2, wxSize(8, 6));
    sourceGrid->AddGrowableCol(1);
    m_useDsn = new wxRadioButton(sourceBox->GetStaticBox(), IDC_USE_DSN, "Use &data source name:",
                                 wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    m_dsn = new wxChoice(sourceBox->GetStaticBox(), IDC_DSN);
    m_useDriver = new wxRadioButton(sourceBox->GetStaticBox(), IDC_USE_DRIVER, "Use dri&ver:");
    m_driver = new wxChoice(sourceBox->GetStaticBox(), IDC_DRIVER);
    sourceGrid->Add(m_useDsn, 0, wxALIGN_CENTER_VERTICAL);
    sourceGrid->Add(m_dsn, 1, wxEXPAND);
    sourceGrid->Add(m_useDriver, 0, wxALIGN_CENTER_VERTICAL);
    sourceGrid->Add(m_driver, 1, wxEXPAND);
    sourceBox->Add(sourceGrid, 0, wxEXPAND | wxALL, 4);
    sourceBox->Add(new wxButton(sourceBox->GetStaticBox(), IDC_REFRESH, "&Refresh"), 0, wxALIGN_RIGHT | wxALL, 4);
    top->Add(sourceBox, 0, wxEXPAND | wxALL, 8);

    auto* databaseBox = new wxStaticBoxSizer(wxVERTICAL, this, "2. Specify the database");
    auto* databaseGrid = new wxFlexGridSizer(3, wxSize(8, 6));
    databaseGrid->AddGrowableCol(1);
    wxWindow* dbParent = databaseBox->GetStaticBox();
    m_databaseFile = new wxTextCtrl(dbParent, IDC_DATABASE_FILE);
    m_browse = new wxButton(dbParent, IDC_BROWSE, "&Browse...");
    m_server = new wxTextCtrl(dbParent, IDC_SERVER);
    m_port = new wxTextCtrl(dbParent, IDC_PORT);
    m_database = new wxTextCtrl(dbParent, IDC_DATABASE);
    databaseGrid->Add(new wxStaticText(dbParent, wxID_ANY, "Database &file:"), 0, wxALIGN_CENTER_VERTICAL);
    databaseGrid->Add(m_databaseFile, 1, wxEXPAND);
    databaseGrid->Add(m_browse);
    databaseGrid->Add(new wxStaticText(dbParent, wxID_ANY, "&Server:"), 0, wxALIGN_CENTER_VERTICAL);
    databaseGrid->Add(m_server, 1, wxEXPAND);
    databaseGrid->AddSpacer(0);
    databaseGrid->Add(new wxStaticText(dbParent, wxID_ANY, "P&ort:"), 0, wxALIGN_CENTER_VERTICAL);
    databaseGrid->Add(m_port, 1, wxEXPAND);
    databaseGrid->AddSpacer(0);
    databaseGrid->Add(new wxStaticText(dbParent, wxID_ANY, "Data&base:"), 0, wxALIGN_CENTER_VERTICAL);
    databaseGrid->Add(m_database, 1, wxEXPAND);
    databaseGrid->AddSpacer(0);
    databaseBox->Add(databaseGrid, 0, wxEXPAND | wxALL, 4);
    top->Add(databaseBox, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);

    auto* loginBox = new wxStaticBoxSizer(wxVERTICAL, this, "3. Enter information to log on to the server");
    auto* loginGrid = new wxFlexGridSizer(2, wxSize(8, 6));
    loginGrid->AddGrowableCol(1);
    wxWindow* loginParent = loginBox->GetStaticBox();
    m_user = new wxTextCtrl(loginParent, IDC_USER);
    m_password = new wxTextCtrl(loginParent, IDC_PASSWORD, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                wxTE_PASSWORD);
    loginGrid->Add(new wxStaticText(loginParent, wxID_ANY, "&User name:"), 0, wxALIGN_CENTER_VERTICAL);
    loginGrid->Add(m_user, 1, wxEXPAND);
    loginGrid->Add(new wxStaticText(loginParent, wxID_ANY, "&Password:"), 0, wxALIGN_CENTER_VERTICAL);
    loginGrid->Add(m_password, 1, wxEXPAND);
    loginBox->Add(loginGrid, 0, wxEXPAND | wxALL, 4);
    auto* checks = new wxBoxSizer(wxHORIZONTAL);
    m_blankPassword = new wxCheckBox(loginParent, IDC_BLANK_PASSWORD, "Blank passwor&d");
    m_savePassword = new wxCheckBox(loginParent, IDC_SAVE_PASSWORD, "&Allow saving password");
    checks->Add(m_blankPassword, 0, wxRIGHT, 16);
    checks->Add(m_savePassword);
    loginBox->Add(checks, 0, wxALL, 4);
    top->Add(loginBox, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);

    auto* otherBox = new wxStaticBoxSizer(wxVERTICAL, this, "4. Further attributes (key=value;...)");
    m_other = new wxTextCtrl(otherBox->GetStaticBox(), IDC_OTHER);
    otherBox->Add(m_other, 0, wxEXPAND | wxALL, 4);
    top->Add(otherBox, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(new wxButton(this, IDC_TEST, "&Test Connection"), 0, wxRIGHT, 8);
    buttons->Add(new wxButton(this, IDC_SAVE_UDL, "Sa&ve As Data Link File..."), 0, wxRIGHT, 8);
    buttons->AddStretchSpacer();
    buttons->Add(new wxButton(this, wxID_OK, "OK"), 0, wxRIGHT, 8);
    buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"));
    top->Add(buttons, 0, wxEXPAND | wxALL, 8);

    SetSizer(top);

    Bind(wxEVT_RADIOBUTTON, &CDataLinkDlg::OnSourceKind, this, IDC_USE_DSN);
    Bind(wxEVT_RADIOBUTTON, &CDataLinkDlg::OnSourceKind, this, IDC_USE_DRIVER);
    Bind(wxEVT_CHOICE, &CDataLinkDlg::OnSourceChanged, this, IDC_DSN);
    Bind(wxEVT_CHOICE, &CDataLinkDlg::OnSourceChanged, this, IDC_DRIVER);
    Bind(wxEVT_BUTTON, &CDataLinkDlg::OnRefresh, this, IDC_REFRESH);
    Bind(wxEVT_BUTTON, &CDataLinkDlg::OnBrowse, this, IDC_BROWSE);
    Bind(wxEVT_CHECKBOX, &CDataLinkDlg::OnBlankPassword, this, IDC_BLANK_PASSWORD);
    Bind(wxEVT_BUTTON, &CDataLinkDlg::OnTest, this, IDC_TEST);
    Bind(wxEVT_BUTTON, &CDataLinkDlg::OnSaveDataLinkFile, this, IDC_SAVE_UDL);
    Bind(wxEVT_BUTTON, &CDataLinkDlg::OnOK, this, wxID_OK);

    FillSources();
    SetFields(initial);
    // Wide enough for long driver and data source names.
    ApplyNaturalLayout(*this, wxSize(540, 0));
}

bool CDataLinkDlg::PromptNew(wxWindow* parent, wxString& connectString)
{
    CDataLinkDlg dlg(parent);
    if (dlg.ShowModal() != wxID_OK)
        return false;
    connectString = dlg.GetConnectString();
    return true;
}

bool CDataLinkDlg::PromptEdit(wxWindow* parent, wxString& connectString)
{
    CDataLinkDlg dlg(parent, CDataLinkFields::Parse(connectString));
    if (dlg.ShowModal() != wxID_OK)
        return false;
    connectString = dlg.GetConnectString();
    return true;
}

void CDataLinkDlg::FillSources()
{
    const wxString dsn = m_dsn->GetStringSelection();
    const wxString driver = m_driver->GetStringSelection();
    m_drivers = EnumOdbcDrivers();
    m_sources = EnumOdbcDataSources();
    m_dsn->Clear();
    for (const COdbcDataSource& source : m_sources)
        m_dsn->Append(source.name + " (" + source.driver + ")");
    m_driver->Clear();
    for (const COdbcDriver& d : m_drivers)
        m_driver->Append(d.name);
    for (size_t i = 0; i < m_sources.size(); ++i)
        if (m_sources[i].name == dsn)
            m_dsn->SetSelection(static_cast<int>(i));
    m_driver->SetStringSelection(driver);
}

void CDataLinkDlg::SetFields(const CDataLinkFields& fields)
{
    const bool useDsn = fields.useDsn || (fields.driver.empty() && !m_sources.empty() && m_drivers.empty());
    m_useDsn->SetValue(useDsn);
    m_useDriver->SetValue(!useDsn);
    m_dsn->SetSelection(wxNOT_FOUND);
    for (size_t i = 0; i < m_sources.size(); ++i)
        if (m_sources[i].name == fields.dsn)
            m_dsn->SetSelection(static_cast<int>(i));
    if (!m_driver->SetStringSelection(fields.driver) && !fields.driver.empty()) {
        // A driver the manager does not list (any more) stays selectable, so the string survives.
        m_drivers.push_back({fields.driver, wxString()});
        m_driver->Append(fields.driver);
        m_driver->SetStringSelection(fields.driver);
    }
    if (m_driver->GetSelection() == wxNOT_FOUND && fields.driver.empty() && !m_drivers.empty())
        m_driver->SetSelection(0);
    const bool file = IsFileDriverSelected();
    m_databaseFile->ChangeValue(file ? fields.database : wxString());
    m_database->ChangeValue(file ? wxString() : fields.database);
    m_server->ChangeValue(fields.server);
    m_port->ChangeValue(fields.port);
    m_user->ChangeValue(fields.user);
    m_password->ChangeValue(fields.password);
    m_blankPassword->SetValue(fields.hasPassword && fields.password.empty());
    m_savePassword->SetValue(fields.persistSecurityInfo);
    m_other->ChangeValue(fields.otherAttributes);
    UpdateControls();
}

CDataLinkFields CDataLinkDlg::GetFields() const
{
    CDataLinkFields fields;
    fields.useDsn = m_useDsn->GetValue();
    const int dsn = m_dsn->GetSelection();
    if (dsn != wxNOT_FOUND && dsn < static_cast<int>(m_sources.size()))
        fields.dsn = m_sources[dsn].name;
    fields.driver = m_driver->GetStringSelection();
    if (IsFileDriverSelected()) {
        fields.database = m_databaseFile->GetValue().Strip(wxString::both);
    } else {
        fields.server = m_server->GetValue().Strip(wxString::both);
        fields.port = m_port->GetValue().Strip(wxString::both);
        fields.database = m_database->GetValue().Strip(wxString::both);
    }
    fields.user = m_user->GetValue().Strip(wxString::both);
    fields.hasUser = !fields.user.empty();
    fields.password = m_blankPassword->GetValue() ? wxString() : m_password->GetValue();
    fields.hasPassword = m_blankPassword->GetValue() || !fields.password.empty();
    fields.persistSecurityInfo = m_savePassword->GetValue();
    fields.otherAttributes = m_other->GetValue().Strip(wxString::both);
    return fields;
}

bool CDataLinkDlg::IsFileDriverSelected() const
{
    if (m_useDsn->GetValue()) {
        const int dsn = m_dsn->GetSelection();
        return dsn != wxNOT_FOUND && dsn < static_cast<int>(m_sources.size()) &&
               IsFileDatabaseDriver(m_sources[dsn].driver);
    }
    const int driver = m_driver->GetSelection();
    return driver != wxNOT_FOUND && driver < static_cast<int>(m_drivers.size()) &&
           IsFileDatabaseDriver(m_drivers[driver].name, m_drivers[driver].attributes);
}

void CDataLinkDlg::UpdateControls()
{
    const bool useDsn = m_useDsn->GetValue();
    const bool file = IsFileDriverSelected();
    m_dsn->Enable(useDsn);
    m_driver->Enable(!useDsn);
    // A data source name carries its own database; the login may still be given.
    m_databaseFile->Enable(!useDsn && file);
    m_browse->Enable(!useDsn && file);
    m_server->Enable(!useDsn && !file);
    m_port->Enable(!useDsn && !file);
    m_database->Enable(!useDsn && !file);
    m_password->Enable(!m_blankPassword->GetValue());
}

void CDataLinkDlg::OnSourceKind(wxCommandEvent&)
{
    UpdateControls();
}

void CDataLinkDlg::OnSourceChanged(wxCommandEvent&)
{
    UpdateControls();
}

void CDataLinkDlg::OnRefresh(wxCommandEvent&)
{
    FillSources();
    UpdateControls();
}

void CDataLinkDlg::OnBrowse(wxCommandEvent&)
{
    wxFileDialog dlg(this, "Select Database File", wxEmptyString, m_databaseFile->GetValue(),
                     "Database Files (*.db;*.sqlite;*.sqlite3)|*.db;*.sqlite;*.sqlite3|All Files (*)|*", wxFD_OPEN);
    if (dlg.ShowModal() == wxID_OK)
        m_databaseFile->ChangeValue(dlg.GetPath());
}

void CDataLinkDlg::OnBlankPassword(wxCommandEvent&)
{
    if (m_blankPassword->GetValue())
        m_password->Clear();
    UpdateControls();
}

bool CDataLinkDlg::Validate()
{
    const bool useDsn = m_useDsn->GetValue();
    if (useDsn && m_dsn->GetSelection() == wxNOT_FOUND) {
        TVMessageBox("Please select a data source name.", wxOK | wxICON_INFORMATION, this);
        m_dsn->SetFocus();
        return false;
    }
    if (!useDsn && m_driver->GetSelection() == wxNOT_FOUND) {
        TVMessageBox("Please select a driver.", wxOK | wxICON_INFORMATION, this);
        m_driver->SetFocus();
        return false;
    }
    return true;
}

bool CDataLinkDlg::TestConnection()
{
    if (!Validate())
        return false;
    wxString error;
    {
        wxBusyCursor wait;
        ado::ConnectionPtr connection;
        try {
            connection = ado::Connection::Create();
            connection->Open(GetConnectString().utf8_string());
            connection->Close();
        } catch (const _com_error& e) {
            error = wxString::FromUTF8(e.Description().empty() ? e.ErrorMessage() : e.Description());
        } catch (...) {
            error = "Errors occurred.";
        }
    }
    if (error.empty()) {
        TVMessageBox("Test connection succeeded.", wxOK | wxICON_INFORMATION, this);
        return true;
    }
    TVMessageBox("Test connection failed because of an error in initializing provider. " + error,
                 wxOK | wxICON_STOP, this);
    return false;
}

void CDataLinkDlg::OnTest(wxCommandEvent&)
{
    TestConnection();
}

void CDataLinkDlg::OnSaveDataLinkFile(wxCommandEvent&)
{
    if (!Validate())
        return;
    wxFileDialog dlg(this, "Save Data Link File", wxEmptyString, "connection.udl",
                     "Microsoft Data Link Files (*.udl)|*.udl|All Files (*)|*", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dlg.ShowModal() == wxID_OK)
        SaveDataLinkFile(dlg.GetPath());
}

bool CDataLinkDlg::SaveDataLinkFile(const wxString& path)
{
    try {
        DataLinkFile::Write(path.utf8_string(), GetFields().BuildSavedConnectString().utf8_string());
        return true;
    } catch (const std::exception& e) {
        TVMessageBox(wxString::FromUTF8(e.what()), wxOK | wxICON_STOP, this);
        return false;
    }
}

void CDataLinkDlg::OnOK(wxCommandEvent& event)
{
    if (Validate())
        EndModal(wxID_OK);
}
