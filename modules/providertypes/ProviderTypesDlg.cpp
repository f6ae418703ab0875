#include "ProviderTypesDlg.h"

#include "ProviderTypesReport.h"
#include "TamselStrings.h"

#include "common/DialogLayout.h"
#include "common/FileException.h"
#include "common/ListSortHelper.h"
#include "common/ReportPathDialog.h"
#include "platform/MessageBox.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

CProviderTypesDlg::CProviderTypesDlg() = default;

CProviderTypesDlg::~CProviderTypesDlg()
{
    m_pConnection.Release();
}

void CProviderTypesDlg::SetConnection(IDispatch* conn)
{
    ComPtr<ado::_Connection> connection;
    const HRESULT hr = conn ? conn->QueryInterface(ado::IID__Connection, connection.AsOut()) : E_POINTER;
    if (FAILED(hr) && hr != E_NOINTERFACE)
        throw _com_error(hr);
    m_pConnection = connection;
}

HRESULT CProviderTypesDlg::LoadProviderTypes()
{
    ado::ConnectionPtr connection = m_pConnection ? m_pConnection->GetConnection() : nullptr;
    if (!connection)
        throw _com_error(E_POINTER);
    ::LoadProviderTypes(*connection, m_mapTypes);
    return S_OK;
}

int CProviderTypesDlg::DoModal()
{
    Create(wxGetActiveWindow(), IDD, tamsel::kDialogCaption, wxDefaultPosition, wxDefaultSize,
           wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    OnInitDialog();
    const int result = ShowModal();
    // Closed: nothing reads the connection any more.
    m_pConnection.Release();
    return result;
}

void CProviderTypesDlg::OnInitDialog()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* body = new wxBoxSizer(wxHORIZONTAL);
    m_listTypes = new wxListCtrl(this, IDC_TYPES, wxDefaultPosition, wxSize(200, 380),
                                 wxLC_REPORT | wxLC_SINGLE_SEL);
    body->Add(m_listTypes, 0, wxEXPAND | wxALL, 7);

    auto* grid = new wxFlexGridSizer(2, 4, 6);
    grid->AddGrowableCol(1);
    for (const TypeDetailSpec& spec : GetTypeDetailSpecs()) {
        wxString label = spec.label;
        grid->Add(new wxStaticText(this, wxID_ANY, label.Trim(false)), 0, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
        auto* edit = new wxTextCtrl(this, spec.controlId, wxString(), wxDefaultPosition, wxSize(300, -1),
                                    wxTE_READONLY);
        m_details[static_cast<size_t>(spec.detail)] = edit;
        grid->Add(edit, 1, wxEXPAND);
    }
    body->Add(grid, 1, wxEXPAND | wxTOP | wxBOTTOM | wxRIGHT, 7);
    top->Add(body, 1, wxEXPAND);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(new wxButton(this, wxID_OK, tamsel::kSaveAsButton), 0, wxRIGHT, 7);
    buttons->Add(new wxButton(this, wxID_CANCEL, tamsel::kCloseButton), 0);
    top->Add(buttons, 0, wxEXPAND | wxALL, 7);
    SetSizer(top);
    // Its content's size, in the middle of the program's window and wholly on the screen.
    ApplyNaturalLayout(*this);
    // Save As never ends the dialog; Close and Escape do.
    Bind(wxEVT_BUTTON, &CProviderTypesDlg::OnSaveAs, this, wxID_OK);
    SetEscapeId(wxID_CANCEL);
    SetAffirmativeId(wxID_NONE);

    m_listTypes->InsertColumn(0, tamsel::kTypeNameColumn, wxLIST_FORMAT_LEFT,
                              m_listTypes->GetClientSize().GetWidth());
    const wxBitmap mark = wxArtProvider::GetBitmap(wxART_NORMAL_FILE, wxART_LIST, wxSize(16, 16));
    if (mark.IsOk()) {
        m_imageList = std::make_unique<wxImageList>(16, 16, true, 1);
        m_imageList->Add(mark);
        m_listTypes->SetImageList(m_imageList.get(), wxIMAGE_LIST_SMALL);
    }
    m_listTypes->Bind(wxEVT_LIST_ITEM_SELECTED, &CProviderTypesDlg::OnItemChangedTypes, this);
    m_listTypes->Bind(wxEVT_LIST_COL_CLICK, &CProviderTypesDlg::OnColumnClickTypes, this);

    if (FillTypeList() && m_listTypes->GetItemCount() > 0) {
        m_listTypes->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                  wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        ShowTypeDetails(0);
    }
    m_listTypes->SetFocus();
}

bool CProviderTypesDlg::FillTypeList()
{
    long row = 0;
    for (const auto& entry : m_mapTypes) {
        if (m_listTypes->InsertItem(row, entry.first, m_imageList ? 0 : -1) < 0)
            return false;
        ++row;
    }
    return true;
}

bool CProviderTypesDlg::ShowTypeDetails(long item)
{
    if (item < 0 || item >= m_listTypes->GetItemCount())
        return false;
    auto found = m_mapTypes.find(m_listTypes->GetItemText(item, 0));
    if (found == m_mapTypes.end())
        return false;
    for (size_t i = 0; i < kTypeDetailCount; ++i)
        m_details[i]->ChangeValue(found->second.texts[i]);
    return true;
}

void CProviderTypesDlg::OnItemChangedTypes(wxListEvent& event)
{
    ShowTypeDetails(event.GetIndex());
}

void CProviderTypesDlg::OnColumnClickTypes(wxListEvent& event)
{
    // The list starts in ascending order, so the first click sorts descending.
    const bool ascending = !m_bSortDirection;
    m_bSortDirection = !m_bSortDirection;
    CListSortHelper sorter(*m_listTypes, event.GetColumn() < 0 ? 0 : event.GetColumn(), false);
    sorter.Sort(ascending);
}

void CProviderTypesDlg::OnSaveAs(wxCommandEvent&)
{
    wxString defaultName;
    {
        wxBusyCursor wait;
        defaultName = GetDefaultFileName(MakeReportIdentifier(ReadHeader()));
    }
    const wxString path = ChooseTextReportPath(this, tamsel::kSaveAsTitle, defaultName, tamsel::kReportFilter);
    if (!path.empty())
        SaveReport(path);
}

void CProviderTypesDlg::SaveReport(const wxString& path)
{
    wxBusyCursor wait;
    try {
        WriteProviderTypesReport(path, ReadHeader(), m_mapTypes);
    } catch (const CFileException& e) {
        TVMessageBox(e.m_strFileName + "\n" + GetFileExceptionText(e.m_cause), wxOK | wxICON_STOP, this,
                     tamsel::kAppTitle);
    } catch (const std::exception&) {
        TVMessageBox(tamsel::kErrorsOccurred, wxOK | wxICON_STOP, this, tamsel::kAppTitle);
    }
}

ProviderTypesHeader CProviderTypesDlg::ReadHeader() const
{
    ado::ConnectionPtr connection = m_pConnection ? m_pConnection->GetConnection() : nullptr;
    return connection ? ReadReportHeader(*connection) : ProviderTypesHeader{};
}
