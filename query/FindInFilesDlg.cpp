#include "FindInFilesDlg.h"

#include "ChildFrame.h"
#include "common/DialogLayout.h"
#include "common/SettingsTable.h"
#include "editor/QryView.h"
#include "platform/MessageBox.h"
#include "ResultView.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dirdlg.h>
#include <wx/filename.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <algorithm>

namespace {

const char* const kFixedFileTypes[] = {"*.sql;*.qry;*.txt;*.tsq;*.ssq", "*.htm;*.html;*.aspx;*.ascx;*.asp;*.xml",
                                       "*.log", "*.*"};

wxString Trimmed(wxString text)
{
    return text.Trim(true).Trim(false);
}

// The history items of a section, Find_1 first, the empty ones left out.
std::vector<wxString> ReadHistory(const char* section, bool trim)
{
    std::vector<wxString> items;
    for (int n = 1; n <= settings::kFindHistorySize; ++n) {
        wxString item = CSettingsStore::Get().GetProfileString(section, settings::FindHistoryKey(n), "");
        if (trim)
            item = Trimmed(item);
        if (!item.empty())
            items.push_back(item);
    }
    return items;
}

void FillCombo(wxComboBox& combo, const std::vector<wxString>& items)
{
    for (const wxString& item : items)
        combo.Append(item);
}

// The combo's items with the current text added, written back as the history; the current text
// becomes the section's initial value.
void SaveHistory(wxComboBox& combo, const settings::StringKey& initial, const wxString& text, bool caseSensitive)
{
    std::vector<wxString> items;
    for (unsigned i = 0; i < combo.GetCount(); ++i)
        items.push_back(combo.GetString(i));
    AddToFindHistory(items, text, caseSensitive);
    CSettingsStore& store = CSettingsStore::Get();
    for (size_t i = 0; i < items.size(); ++i)
        store.WriteProfileString(initial.section, settings::FindHistoryKey(static_cast<int>(i) + 1), items[i]);
    settings::WriteString(initial, text);
}

} // namespace

void AddToFindHistory(std::vector<wxString>& items, const wxString& text, bool caseSensitive)
{
    const bool known = std::any_of(items.begin(), items.end(), [&](const wxString& item) {
        return caseSensitive ? item == text : item.IsSameAs(text, false);
    });
    if (!known)
        items.insert(items.begin(), text);
    if (items.size() > static_cast<size_t>(settings::kFindHistorySize))
        items.resize(settings::kFindHistorySize);
}

bool CFolderBrowseDlg::DoModal()
{
    wxDirDialog chooser(m_pOwner, m_strTitle, m_strInitialFolder, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (chooser.ShowModal() != wxID_OK)
        return false;
    m_strSelectedFolder = chooser.GetPath();
    return !m_strSelectedFolder.empty();
}

CFindInFilesDlg::CFindInFilesDlg(CChildFrame* parent)
    : wxDialog(parent, wxID_ANY, "Find in Files"), m_pFrame(parent), m_strWorkingFolder(wxGetCwd())
{
    auto* grid = new wxFlexGridSizer(3, 6, 6);
    grid->AddGrowableCol(1);
    auto addRow = [&](const char* label, int id, wxComboBox*& combo) {
        grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
        combo = new wxComboBox(this, id, wxString(), wxDefaultPosition, wxSize(360, -1), 0, nullptr, wxCB_DROPDOWN);
        grid->Add(combo, 1, wxEXPAND);
    };
    addRow("F&ind what:", ID_FIND_WHAT, m_cboFindWhat);
    grid->AddSpacer(0);
    addRow("Files of &type:", ID_FILES_OF_TYPE, m_cboFilesOfType);
    grid->AddSpacer(0);
    addRow("&Look in:", ID_LOOK_IN, m_cboLookIn);
    grid->Add(new wxButton(this, ID_BROWSE, "&...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT), 0,
             wxALIGN_CENTER_VERTICAL);

    auto* checks = new wxFlexGridSizer(2, 4, 16);
    m_chkWholeWord = new wxCheckBox(this, ID_WHOLE_WORD, "Match &whole word only");
    m_chkSubfolders = new wxCheckBox(this, ID_SUBFOLDERS, "Look in &subfolders");
    m_chkMatchCase = new wxCheckBox(this, ID_MATCH_CASE, "Match &case");
    m_chkNamesOnly = new wxCheckBox(this, ID_NAMES_ONLY, "Output file &names only");
    for (wxCheckBox* box : {m_chkWholeWord, m_chkSubfolders, m_chkMatchCase, m_chkNamesOnly})
        checks->Add(box);

    auto* buttons = new wxBoxSizer(wxVERTICAL);
    auto* find = new wxButton(this, wxID_OK, "&Find");
    find->SetDefault();
    buttons->Add(find, 0, wxEXPAND | wxBOTTOM, 6);
    buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxEXPAND);

    auto* left = new wxBoxSizer(wxVERTICAL);
    left->Add(grid, 0, wxEXPAND);
    left->Add(checks, 0, wxTOP, 10);
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(left, 1, wxEXPAND | wxALL, 10);
    sizer->Add(buttons, 0, wxTOP | wxRIGHT | wxBOTTOM, 10);
    SetSizer(sizer);
    ApplyNaturalLayout(*this);

    Bind(wxEVT_BUTTON, &CFindInFilesDlg::OnBrowseFolder, this, ID_BROWSE);
    Bind(wxEVT_BUTTON, &CFindInFilesDlg::OnOK, this, wxID_OK);
    OnInitDialog();
}

void CFindInFilesDlg::OnInitDialog()
{
    const wxString initialFind = settings::ReadString(settings::InitialFindWhat);
    if (!initialFind.empty())
        FillCombo(*m_cboFindWhat, ReadHistory(settings::InitialFindWhat.section, false));
    wxString selected;
    if (CQryView* editor = m_pFrame ? m_pFrame->GetQueryView() : nullptr)
        selected = editor->GetSelectedText();
    if (selected.empty() && m_pFrame && m_pFrame->GetResultView())
        selected = m_pFrame->GetResultView()->GetSelectedText();
    if (!selected.empty() && selected.find_first_of("\r\n") == wxString::npos)
        m_cboFindWhat->SetValue(selected);
    else if (!initialFind.empty())
        m_cboFindWhat->SetValue(initialFind);

    const wxString initialTypes = settings::ReadString(settings::InitialFilesOfType);
    if (!initialTypes.empty()) {
        FillCombo(*m_cboFilesOfType, ReadHistory(settings::InitialFilesOfType.section, true));
        m_cboFilesOfType->SetValue(initialTypes);
    } else {
        for (const char* type : kFixedFileTypes)
            m_cboFilesOfType->Append(type);
        m_cboFilesOfType->SetSelection(0);
    }

    const wxString initialFolder = settings::ReadString(settings::InitialFindFolder);
    if (!initialFolder.empty()) {
        FillCombo(*m_cboLookIn, ReadHistory(settings::InitialFindFolder.section, true));
        m_cboLookIn->SetValue(initialFolder);
    }

    m_bMatchWholeWord = settings::ReadInt(settings::FindMatchWholeWord);
    m_bMatchCase = settings::ReadInt(settings::FindMatchCase);
    m_bLookInSubfolders = settings::ReadInt(settings::FindLookInSubFolders);
    m_bFileNamesOnly = settings::ReadInt(settings::FindFileNamesOnly);
    m_chkWholeWord->SetValue(m_bMatchWholeWord != 0);
    m_chkMatchCase->SetValue(m_bMatchCase != 0);
    m_chkSubfolders->SetValue(m_bLookInSubfolders != 0);
    m_chkNamesOnly->SetValue(m_bFileNamesOnly != 0);
    m_cboFindWhat->SetFocus();
    m_cboFindWhat->SelectAll();
}

void CFindInFilesDlg::OnBrowseFolder(wxCommandEvent&)
{
    wxBusyCursor wait;
    CFolderBrowseDlg picker(this);
    picker.m_strTitle = "Select the folder where you want to begin the search.";
    wxString first = m_cboLookIn->GetValue();
    const size_t semicolon = first.find(';');
    if (semicolon != wxString::npos)
        first = first.substr(0, semicolon);
    picker.m_strInitialFolder = first;
    if (picker.DoModal()) {
        m_strLookIn = picker.m_strSelectedFolder;
        m_cboLookIn->SetValue(m_strLookIn);
    }
}

void CFindInFilesDlg::OnOK(wxCommandEvent&)
{
    if (ReadRequest())
        EndModal(wxID_OK);
}

bool CFindInFilesDlg::ReadRequest()
{
    m_bMatchWholeWord = m_chkWholeWord->GetValue();
    m_bMatchCase = m_chkMatchCase->GetValue();
    m_bLookInSubfolders = m_chkSubfolders->GetValue();
    m_bFileNamesOnly = m_chkNamesOnly->GetValue();

    auto refuse = [this](const wxString& text, wxComboBox* combo) {
        TVMessageBox(text, wxOK | wxICON_INFORMATION, this);
        combo->SetFocus();
        return false;
    };
    m_strFindWhat = m_cboFindWhat->GetValue();
    if (m_strFindWhat.empty())
        return refuse("<Find what> is a required field.", m_cboFindWhat);
    m_strFilesOfType = Trimmed(m_cboFilesOfType->GetValue());
    if (m_strFilesOfType.empty())
        return refuse("<Files of type> is a required field.", m_cboFilesOfType);
    m_strLookIn = Trimmed(m_cboLookIn->GetValue());
    if (m_strLookIn.empty())
        return refuse("<Look in> is a required field.", m_cboLookIn);

    // Every folder is checked against the folder the dialog opened in; the process's own
    // folder is never changed.
    m_folders.clear();
    size_t start = 0;
    for (;;) {
        const size_t end = m_strLookIn.find(';', start);
        const wxString part = m_strLookIn.substr(start, end == wxString::npos ? wxString::npos : end - start);
        wxFileName folder = wxFileName::DirName(part);
        folder.MakeAbsolute(m_strWorkingFolder);
        if (part.empty() || !folder.DirExists()) {
            TVMessageBox(wxString::Format("The folder '%s' does not exist.", part), wxOK | wxICON_INFORMATION, this);
            m_cboLookIn->SetFocus();
            const wxString shown = m_cboLookIn->GetValue();
            const size_t at = shown.find(part);
            if (at != wxString::npos)
                m_cboLookIn->SetSelection(static_cast<long>(at), static_cast<long>(at + part.length()));
            return false;
        }
        m_folders.push_back(folder.GetFullPath());
        if (end == wxString::npos)
            break;
        start = end + 1;
    }

    SaveHistory(*m_cboFindWhat, settings::InitialFindWhat, m_strFindWhat, true);
    SaveHistory(*m_cboFilesOfType, settings::InitialFilesOfType, m_strFilesOfType, false);
    SaveHistory(*m_cboLookIn, settings::InitialFindFolder, m_strLookIn, false);
    settings::WriteInt(settings::FindMatchWholeWord, m_bMatchWholeWord);
    settings::WriteInt(settings::FindMatchCase, m_bMatchCase);
    settings::WriteInt(settings::FindLookInSubFolders, m_bLookInSubfolders);
    settings::WriteInt(settings::FindFileNamesOnly, m_bFileNamesOnly);
    return true;
}
