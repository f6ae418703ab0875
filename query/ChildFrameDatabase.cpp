// The database context of a query window: the toolbar's database list, switching the current
// database, following the USE and SET statements of a run, and the provider's keyword and
// literal lists run through the window's normal execution.
#include "ChildFrame.h"

#include "common/ErrorText.h"
#include "common/ItemComboBoxEx.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "querycore/DatabaseContext.h"
#include "ResultCommands.h"
#include "ResultsText.h"
#include "SchemaPane.h"

#include <wx/artprov.h>
#include <wx/imaglist.h>
#include <wx/utils.h>

using namespace database_list;

namespace {

const char* const kPleaseWait = "Please wait...";

} // namespace

void CChildFrame::CreateDatabaseListImages()
{
    // In the order of the list's image indexes: not supported, label, database, refresh.
    m_pDatabaseImages = std::make_unique<wxImageList>(16, 16, true, 4);
    for (const char* art : {wxART_CROSS_MARK, wxART_WARNING, wxART_HARDDISK, wxART_REDO})
        m_pDatabaseImages->Add(wxArtProvider::GetBitmap(art, wxART_MENU, wxSize(16, 16)));
    m_wndDatabaseList->SetImageList(m_pDatabaseImages.get());
}

void CChildFrame::FillDatabaseList(const std::optional<wxString>& database)
{
    CDatabaseContext context(m_connection);
    m_bDatabaseListInUse = context.HasDatabaseList();
    if (m_bDatabaseListInUse) {
        if (database && !database->empty() && !database->IsSameAs(kNoData, false)) {
            try {
                context.ChangeDatabase(*database);
            } catch (const _com_error&) {
                // The list loaded below selects the database the window did get.
            }
        }
        LoadDatabaseList();
        return;
    }
    // One database per file (SQLite), or per connection (PostgreSQL): nothing to switch to.
    m_wndDatabaseList->Clear();
    m_wndDatabaseList->InsertItem(kNotSupported, kImageNotSupported, -1, nullptr);
    m_wndDatabaseList->SetSelection(0);
    m_wndDatabaseList->Disable();
}

bool CChildFrame::LoadDatabaseList()
{
    m_wndDatabaseList->Clear();
    const CDatabaseList list = CDatabaseContext(m_connection).LoadDatabaseList();
    for (const CDatabaseListItem& item : list.items)
        m_wndDatabaseList->InsertItem(item.text, item.image, -1, nullptr);
    if (list.selected >= 0)
        m_wndDatabaseList->SetSelection(list.selected);
    if (list.ok) {
        m_wndDatabaseList->Enable();
        if (list.selected < 0)
            SelectCurrentDatabase();
    }
    return list.ok;
}

void CChildFrame::SelectDatabaseItem(const wxString& name)
{
    const int index = m_wndDatabaseList->FindItemText(name);
    if (index >= 0) {
        m_wndDatabaseList->SetSelection(index);
        return;
    }
    int blank = m_wndDatabaseList->FindItemText(kBlank);
    if (blank < 0)
        blank = m_wndDatabaseList->InsertItem(kBlank, -1, -1, nullptr);
    m_wndDatabaseList->SetSelection(blank);
}

bool CChildFrame::SelectCurrentDatabase()
{
    m_connection.m_strCurrentCatalog = CDatabaseContext(m_connection).ReadCurrentCatalog();
    const wxString& current = m_connection.m_strCurrentCatalog;
    const int index = m_wndDatabaseList->FindItemText(current);
    if (index >= 0) {
        m_wndDatabaseList->SetSelection(index);
        return true;
    }
    if (!current.empty())
        SelectDatabaseItem(current);
    return false;
}

wxString CChildFrame::GetCurrentDatabase()
{
    return CDatabaseContext(m_connection).GetCurrentDatabase();
}

void CChildFrame::ChangeDatabase(const wxString& name)
{
    CDatabaseContext(m_connection).ChangeDatabase(name);
}

void CChildFrame::OnDatabaseChanged()
{
    if (m_pSchemaView)
        m_pSchemaView->ResetTree();
    if (CTorvaneDoc* doc = GetQueryDoc())
        doc->SetTitle(static_cast<const wxString*>(nullptr));
}

bool CChildFrame::RefreshCurrentDatabase()
{
    SetMainStatusText(kPleaseWait);
    const wxString current = GetCurrentDatabase();
    if (!current.empty() && current != m_connection.m_strCurrentCatalog) {
        m_connection.m_strCurrentCatalog = current;
        OnDatabaseChanged();
        if (m_wndDatabaseList->FindItemText(current) >= 0)
            m_wndDatabaseList->SetSelection(m_wndDatabaseList->FindItemText(current));
        else if (LoadDatabaseList() && m_wndDatabaseList->FindItemText(current) < 0)
            SelectDatabaseItem(current);
    }
    SetMainStatusText(wxString());
    return !current.empty();
}

void CChildFrame::OnChangeDatabase(wxCommandEvent&)
{
    wxBusyCursor wait;
    SetMainStatusText(kPleaseWait);
    const wxString selected = m_wndDatabaseList->GetStringSelection();
    if (selected.IsSameAs(kRefresh, false)) {
        LoadDatabaseList();
    } else if (!IsDatabaseListCommand(selected) && selected != kBlank && selected != m_connection.m_strCurrentCatalog) {
        wxString failure;
        try {
            ChangeDatabase(selected);
            m_connection.m_strCurrentCatalog = selected;
            OnDatabaseChanged();
            SelectDatabaseItem(selected);
        } catch (const _com_error& e) {
            failure = GetConnectionErrorText(m_connection.m_pConnection.get(), e);
            failure.Trim(true).Trim(false);
            if (failure.empty())
                failure = "Errors occurred.";
        } catch (...) {
            failure = "Errors occurred.";
        }
        if (!failure.empty()) {
            TVMessageBox(failure, wxOK | wxICON_STOP, this);
            const int previous = m_wndDatabaseList->FindItemText(m_connection.m_strCurrentCatalog);
            if (previous >= 0)
                m_wndDatabaseList->SetSelection(previous);
            else if (m_wndDatabaseList->GetCount() > 1)
                SelectDatabaseItem(m_connection.m_strCurrentCatalog);
        }
    }
    SetMainStatusText(wxString());
}

void CChildFrame::TrackSetOptions(const wxString& text)
{
    CDatabaseContext(m_connection).TrackSetOptions(text);
}

// ---- Provider keywords and literals ----

bool CChildFrame::IsProviderCommandEnabled() const
{
    return IsConnectionOpen() && !m_pRunState->IsBusy();
}

void CChildFrame::DumpProviderList(int kind, const wxString& note)
{
    if (!IsProviderCommandEnabled())
        return;
    if (m_pSchemaView)
        m_pSchemaView->AppendToQueryEditor(note);
    // The list is a grid, whatever output the window has chosen.
    CRunOptions options;
    options.resultsInText = false;
    options.queryKind = kind;
    m_pExecution->ExecuteQuery(options);
}

void CChildFrame::OnDumpKeywords(wxCommandEvent&)
{
    DumpProviderList(ado::adSchemaDBInfoKeywords, "Provider-specific keywords // IDBInfo::GetKeywords*");
}

void CChildFrame::OnDumpLiterals(wxCommandEvent&)
{
    DumpProviderList(ado::adSchemaDBInfoLiterals, "Provider-specific literals // IDBInfo::GetLiteralInfo*");
}

void CChildFrame::BindDatabaseCommands()
{
    CreateDatabaseListImages();
    m_wndDatabaseList->Bind(wxEVT_COMBOBOX, &CChildFrame::OnChangeDatabase, this);
    Bind(wxEVT_MENU, &CChildFrame::OnDumpKeywords, this, ID_DUMP_KEYWORDS);
    Bind(wxEVT_MENU, &CChildFrame::OnDumpLiterals, this, ID_DUMP_LITERALS);
    for (int id : {int(ID_DUMP_KEYWORDS), int(ID_DUMP_LITERALS)})
        Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Enable(IsProviderCommandEnabled()); }, id);

    CBatchExecution& execution = *m_pExecution;
    execution.m_fnReadCurrentDatabase = [this] { GetCurrentDatabase(); };
    execution.m_fnRefreshCurrentDatabase = [this] { RefreshCurrentDatabase(); };
    execution.m_fnTrackSetOptions = [this](const wxString& text) { TrackSetOptions(text); };
}
