#include "ExportDialogs.h"

#include "common/DialogLayout.h"
#include "common/ReportPathDialog.h"
#include "common/SettingsTable.h"
#include "platform/MessageBox.h"
#include "querycore/ExportOptions.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <filesystem>

namespace {

// String 61225.
const char* const kReplaceExisting = "%s\nThis file already exists.\nReplace existing file?";

std::string Utf8(const wxString& text)
{
    return text.utf8_string();
}

wxString FromUtf8(const std::string& text)
{
    return wxString::FromUTF8(text);
}

// The folder part of a path with its trailing "/"; the whole path when it has none.
wxString InitialDirOf(const wxString& path)
{
    const size_t slash = path.rfind('/');
    return slash == wxString::npos ? path : path.Left(slash + 1);
}

} // namespace

// ---- Delimiter list ----

void FillDelimiterCombo(wxComboBox& combo, const wxString& stored)
{
    std::vector<std::string> items;
    for (unsigned i = 0; i < combo.GetCount(); ++i)
        items.push_back(Utf8(combo.GetString(i)));
    const size_t before = items.size();
    export_options::FillDelimiterList(items, Utf8(stored));
    for (size_t i = before; i < items.size(); ++i)
        combo.Append(FromUtf8(items[i]));
}

wxString GetDelimiterComboList(wxComboBox& combo, const wxString& current)
{
    std::vector<std::string> items;
    for (unsigned i = 0; i < combo.GetCount(); ++i)
        items.push_back(Utf8(combo.GetString(i)));
    const size_t before = items.size();
    const std::string stored = export_options::StoreDelimiterList(items, Utf8(current));
    if (items.size() > before)
        combo.Insert(current, 0);
    return FromUtf8(stored);
}

// ---- Shared part ----

CExportDialogBase::CExportDialogBase(wxWindow* parent, const wxString& title, const wxString& filter,
                                     const wxString& path)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE)
{
    wxString rest = DesktopFileFilter(filter);
    while (!rest.empty()) {
        const wxString description = rest.BeforeFirst('|');
        rest = rest.AfterFirst('|');
        const wxString pattern = rest.BeforeFirst('|');
        rest = rest.AfterFirst('|');
        m_descriptions.push_back(description);
        m_patterns.push_back(pattern);
    }
    m_path = new wxTextCtrl(this, IDC_FILE_NAME, path, wxDefaultPosition, wxSize(420, -1));
    m_delimiter = new wxComboBox(this, IDC_DELIMITER, wxString(), wxDefaultPosition, wxSize(160, -1));
    Bind(wxEVT_BUTTON, &CExportDialogBase::OnBrowse, this, IDC_BROWSE);
    Bind(wxEVT_BUTTON, &CExportDialogBase::OnOK, this, wxID_OK);
}

void CExportDialogBase::LayOut(wxSizer* extra)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* name = new wxBoxSizer(wxHORIZONTAL);
    name->Add(new wxStaticText(this, wxID_ANY, "File &name:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    name->Add(m_path, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    name->Add(new wxButton(this, IDC_BROWSE, "&Browse..."), 0, wxALIGN_CENTER_VERTICAL);
    top->Add(name, 0, wxEXPAND | wxALL, 10);
    top->Add(extra, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
    top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 10);
    if (auto* ok = FindWindow(wxID_OK))
        ok->SetLabel("&Save");
    SetSizer(top);
    ApplyNaturalLayout(*this);
}

wxString CExportDialogBase::GetBasePath() const
{
    return m_path->GetValue();
}

void CExportDialogBase::SetBasePath(const wxString& path)
{
    m_path->ChangeValue(path);
}

bool CExportDialogBase::CheckDelimiter(const wxString& delimiter)
{
    if (std::optional<std::string> refusal = export_options::CheckDelimiter(Utf8(delimiter))) {
        TVMessageBox(FromUtf8(*refusal), wxOK | wxICON_INFORMATION, this);
        m_delimiter->SetFocus();
        return false;
    }
    return true;
}

bool CExportDialogBase::ConfirmReplace(const wxString& path)
{
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(Utf8(path)), error))
        return true;
    if (TVMessageBox(wxString::Format(kReplaceExisting, path), wxYES_NO | wxICON_QUESTION, this) == wxID_YES)
        return true;
    m_path->SetFocus();
    return false;
}

void CExportDialogBase::LoadDelimiter()
{
    FillDelimiterCombo(*m_delimiter, settings::ReadString(settings::ExportDelimiterList));
    const wxString format = settings::ReadString(settings::ExportFormat);
    if (format.IsSameAs("<None>", false)) {
        m_delimiter->SetValue(wxString());
        return;
    }
    const int index = m_delimiter->FindString(format, true);
    m_delimiter->SetSelection(index == wxNOT_FOUND ? 0 : index);
}

void CExportDialogBase::StoreDelimiter(const wxString& delimiter)
{
    settings::WriteString(settings::ExportFormat, FromUtf8(export_options::StoredFormat(Utf8(delimiter))));
    settings::WriteString(settings::ExportDelimiterList, GetDelimiterComboList(*m_delimiter, delimiter));
}

void CExportDialogBase::StoreInitialDir(const wxString& path)
{
    settings::WriteString(settings::ExportInitialDir, InitialDirOf(path));
}

void CExportDialogBase::OnBrowse(wxCommandEvent&)
{
    wxString wildcard;
    for (size_t i = 0; i < m_descriptions.size(); ++i)
        wildcard += (i ? "|" : "") + m_descriptions[i] + "|" + m_patterns[i];
    wxFileName current(GetBasePath());
    wxFileDialog dlg(this, GetTitle(), current.GetPath(), current.GetFullName(), wildcard, wxFD_SAVE);
    dlg.SetFilterIndex(GetBrowseFilterIndex());
    if (dlg.ShowModal() == wxID_OK)
        OnBrowsed(dlg.GetPath(), dlg.GetFilterIndex());
}

void CExportDialogBase::OnBrowsed(const wxString& path, int)
{
    SetBasePath(path);
}

void CExportDialogBase::OnOK(wxCommandEvent&)
{
    if (!OnFileNameOK())
        EndModal(wxID_OK);
}

// ---- Execute and Save As ----

CExportDialogEx::CExportDialogEx(wxWindow* parent, const wxString& title, const wxString& filter,
                                 const wxString& path)
    : CExportDialogBase(parent, title, filter, path), m_nFileType(settings::ReadInt(settings::ExportFilterIndex))
{
    // The program writes the workbook itself (WorkbookExport.h), so the step is always there.
    m_bExcelAvailable = 1;
    if (m_nFileType < 1 || m_nFileType > static_cast<int>(Descriptions().size()))
        m_nFileType = export_options::XML;

    m_fileType = new wxChoice(this, IDC_FILE_TYPE);
    for (const wxString& description : Descriptions())
        m_fileType->Append(description);
    m_excel = new wxCheckBox(this, IDC_EXPORT_TO_EXCEL, "&Export the resulting CSV data to Excel");
    m_publish = new wxCheckBox(this, IDC_PUBLISH, "&Apply XSLT to the resulting XML data and publish it");

    auto* grid = new wxFlexGridSizer(2, 6, 6);
    grid->Add(new wxStaticText(this, wxID_ANY, "Save as &type:"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_fileType, 0);
    grid->Add(new wxStaticText(this, wxID_ANY, "Delimite&r:"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_delimiter, 0);
    auto* extra = new wxBoxSizer(wxVERTICAL);
    extra->Add(grid, 0, wxBOTTOM, 8);
    extra->Add(m_excel, 0, wxBOTTOM, 4);
    extra->Add(m_publish, 0);
    LayOut(extra);

    LoadDelimiter();
    m_excel->SetValue(settings::ReadInt(settings::ExportToExcel) != 0);
    m_publish->SetValue(settings::ReadInt(settings::PublishXmlAsHtmlTable) != 0);
    m_fileType->SetSelection(m_nFileType - 1);

    m_fileType->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnTypeChange(); });
    m_path->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnTypeChange(); });
    OnTypeChange();
}

void CExportDialogEx::SetFileType(int fileType)
{
    m_fileType->SetSelection(fileType - 1);
    OnTypeChange();
}

void CExportDialogEx::OnTypeChange()
{
    m_nFileType = m_fileType->GetSelection() + 1;
    m_delimiter->Enable(m_nFileType == export_options::Delimited);
    m_publish->Enable(m_nFileType == export_options::XML);
    m_excel->Enable(m_nFileType == export_options::Delimited && m_bExcelAvailable);
}

void CExportDialogEx::OnBrowsed(const wxString& path, int filterIndex)
{
    SetBasePath(path);
    if (filterIndex >= 0 && filterIndex < static_cast<int>(Descriptions().size()))
        SetFileType(filterIndex + 1);
}

wxString CExportDialogEx::GetPathName() const
{
    return FromUtf8(export_options::PathWithExtension(Utf8(GetBasePath()), m_nFileType));
}

bool CExportDialogEx::OnFileNameOK()
{
    OnTypeChange();
    if (wxFileName(GetBasePath()).GetName().empty()) {
        m_path->SetFocus();
        return true;
    }
    m_strPath = GetPathName();
    const bool delimited = m_nFileType == export_options::Delimited && m_delimiter->IsEnabled();
    const bool xml = m_nFileType == export_options::XML && m_publish->IsEnabled();
    if (delimited) {
        m_strDelimiter = m_delimiter->GetValue();
        if (!CheckDelimiter(m_strDelimiter))
            return true;
    }
    if (xml && !export_options::HasXmlExtension(Utf8(m_strPath))) {
        TVMessageBox(export_options::kXmlExtensionMessage, wxOK | wxICON_INFORMATION, this);
        m_path->SetFocus();
        return true;
    }
    if (!ConfirmReplace(m_strPath))
        return true;

    if (delimited) {
        StoreDelimiter(m_strDelimiter);
        if (m_excel->IsEnabled()) {
            m_bExportToExcel = m_excel->GetValue();
            settings::WriteInt(settings::ExportToExcel, m_bExportToExcel);
        }
    }
    if (xml) {
        m_bPublish = m_publish->GetValue();
        settings::WriteInt(settings::PublishXmlAsHtmlTable, m_bPublish);
    }
    StoreInitialDir(m_strPath);
    settings::WriteInt(settings::ExportFilterIndex, m_nFileType);
    return false;
}

// ---- Grid export ----

CExportDlg::CExportDlg(wxWindow* parent, const wxString& title, const wxString& filter, const wxString& path)
    : CExportDialogBase(parent, title, filter, path)
{
    // The program writes the workbook itself (WorkbookExport.h), so the step is always there.
    m_bExcelAvailable = 1;
    m_columnNames = new wxCheckBox(this, IDC_COLUMN_NAMES, "&First row contains field names");
    m_excel = new wxCheckBox(this, IDC_EXPORT_TO_EXCEL, "&Export the resulting CSV data to Excel");

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, "Delimite&r:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    row->Add(m_delimiter, 0);
    auto* extra = new wxBoxSizer(wxVERTICAL);
    extra->Add(row, 0, wxBOTTOM, 8);
    extra->Add(m_columnNames, 0, wxBOTTOM, 4);
    extra->Add(m_excel, 0);
    LayOut(extra);

    LoadDelimiter();
    m_columnNames->SetValue(settings::ReadInt(settings::ExportColumnNames) != 0);
    m_excel->SetValue(settings::ReadInt(settings::ExportToExcel) != 0);
    m_excel->Enable(m_bExcelAvailable != 0);
}

wxString CExportDlg::GetPathName() const
{
    return FromUtf8(export_options::PathWithExtension(Utf8(GetBasePath()), export_options::Delimited));
}

bool CExportDlg::OnFileNameOK()
{
    if (wxFileName(GetBasePath()).GetName().empty()) {
        m_path->SetFocus();
        return true;
    }
    m_strPath = GetPathName();
    m_strDelimiter = m_delimiter->GetValue();
    if (!CheckDelimiter(m_strDelimiter))
        return true;
    if (!ConfirmReplace(m_strPath))
        return true;
    StoreInitialDir(m_strPath);
    StoreDelimiter(m_strDelimiter);
    if (m_columnNames->IsEnabled()) {
        m_bColumnNames = m_columnNames->GetValue();
        settings::WriteInt(settings::ExportColumnNames, m_bColumnNames);
    }
    if (m_excel->IsEnabled()) {
        m_bExportToExcel = m_excel->GetValue();
        settings::WriteInt(settings::ExportToExcel, m_bExportToExcel);
    }
    return false;
}
