#include "SchemaPropertiesSheet.h"

#include "ConnectStringPage.h"
#include "ConstraintsPage.h"
#include "IndexesKeysPage.h"
#include "PermissionsPages.h"
#include "RelationshipsPage.h"
#include "SchemaImages.h"
#include "SchemaPropertyPage.h"
#include "schemacore/SchemaHost.h"
#include "schemacore/SchemaNodeData.h"
#include "schemacore/SchemaTree.h"

#include <wx/button.h>
#include <wx/imaglist.h>
#include <wx/notebook.h>
#include <wx/sizer.h>
#include <wx/utils.h>

namespace {

const char* PageTitle(CPropertyPageKind page)
{
    switch (page) {
    case CPropertyPageKind::General: return "General";
    case CPropertyPageKind::ConnectionString: return "Connection String";
    case CPropertyPageKind::Relationships: return "Relationships";
    case CPropertyPageKind::Indexes: return "Indexes";
    case CPropertyPageKind::Constraints: return "Constraints";
    case CPropertyPageKind::TablePermissions:
    case CPropertyPageKind::ColumnPermissions: return "Permissions";
    }
    return "";
}

constexpr CPropertyPageKind kAllPages[] = {
    CPropertyPageKind::General,     CPropertyPageKind::ConnectionString, CPropertyPageKind::Relationships,
    CPropertyPageKind::Indexes,     CPropertyPageKind::Constraints,      CPropertyPageKind::TablePermissions,
    CPropertyPageKind::ColumnPermissions};

} // namespace

CSchemaPropertiesSheet::CSchemaPropertiesSheet(wxWindow* parent)
    : wxPanel(parent, wxID_ANY), m_pImages(CreatePropertySheetImageList())
{
    m_pNotebook = new wxNotebook(this, wxID_ANY);
    m_pGeneral = new CSchemaPropertyPage(m_pNotebook);
    m_pConnectString = new CConnectStringPage(m_pNotebook);
    m_pRelationships = new CRelationshipsPage(m_pNotebook, m_pImages.get());
    m_pIndexes = new CIndexesKeysPage(m_pNotebook, m_pImages.get());
    m_pConstraints = new CConstraintsPage(m_pNotebook, m_pImages.get());
    m_pTablePerm = new CTablePermPage(m_pNotebook, m_pImages.get());
    m_pColumnPerm = new CColumnPermPage(m_pNotebook, m_pImages.get());
    m_pNotebook->AddPage(m_pGeneral, PageTitle(CPropertyPageKind::General));
    m_pNotebook->SetMinSize(m_pNotebook->ConvertDialogToPixels(wxSize(326, 151)) + wxSize(0, 30));
    m_pNotebook->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, &CSchemaPropertiesSheet::OnPageChanged, this);

    m_pClose = new wxButton(this, wxID_CANCEL, "Close");
    auto* sheet = new wxBoxSizer(wxVERTICAL);
    sheet->Add(m_pNotebook, 1, wxEXPAND | wxALL, 6);
    sheet->Add(m_pClose, 0, wxALIGN_RIGHT | wxRIGHT | wxBOTTOM, 6);
    SetSizer(sheet);
}

CSchemaPropertiesSheet::~CSchemaPropertiesSheet()
{
    // The pages that are not in the notebook are still its children: they go with it, before
    // the image list they show.
    m_pNotebook->Destroy();
}

wxWindow* CSchemaPropertiesSheet::PageOf(CPropertyPageKind page) const
{
    switch (page) {
    case CPropertyPageKind::General: return m_pGeneral;
    case CPropertyPageKind::ConnectionString: return m_pConnectString;
    case CPropertyPageKind::Relationships: return m_pRelationships;
    case CPropertyPageKind::Indexes: return m_pIndexes;
    case CPropertyPageKind::Constraints: return m_pConstraints;
    case CPropertyPageKind::TablePermissions: return m_pTablePerm;
    case CPropertyPageKind::ColumnPermissions: return m_pColumnPerm;
    }
    return nullptr;
}

void CSchemaPropertiesSheet::AddPage(CPropertyPageKind page)
{
    // The notebook switches only to a page that is shown.
    PageOf(page)->Show();
    m_pNotebook->AddPage(PageOf(page), PageTitle(page));
}

void CSchemaPropertiesSheet::AddPagesForKind(int kind)
{
    if (kind == kindConnection) {
        AddPage(CPropertyPageKind::ConnectionString);
    } else if (kind == kindView || kind == kindViewSortedAscending || kind == kindViewSortedDescending) {
        AddPage(CPropertyPageKind::Indexes);
        AddPage(CPropertyPageKind::TablePermissions);
    } else if (IsTableLikeKind(kind)) {
        AddPage(CPropertyPageKind::Relationships);
        AddPage(CPropertyPageKind::Indexes);
        AddPage(CPropertyPageKind::Constraints);
        AddPage(CPropertyPageKind::TablePermissions);
    } else if (IsColumnKind(kind)) {
        AddPage(CPropertyPageKind::ColumnPermissions);
    }
}

bool CSchemaPropertiesSheet::ShowObjectProperties(ISchemaTree& tree, ISchemaHost& host)
{
    const TreeItem item = tree.GetCaret();
    if (!item)
        return false;
    const int kind = tree.GetKind(item);
    AddPagesForKind(kind);
    bool filled = true;
    try {
        CConnectionInfo& connection = host.Connection();
        const wxString prefix = host.GetQuotePrefix();
        const wxString suffix = host.GetQuoteSuffix();
        if (kind == kindConnection) {
            m_strCaption = "Connection Properties";
            m_pGeneral->FillGeneral(BuildGeneralPairs(connection, prefix, suffix, kind, nullptr, nullptr));
            if (!host.IsConnectionOpen())
                throw _com_error(E_POINTER);
            m_pConnectString->SetConnectString(host.GetConnectionString());
        } else {
            m_strCaption = "Database Object Properties";
            if (IsFolderKind(kind)) {
                m_pGeneral->FillGeneral(BuildGeneralPairs(connection, prefix, suffix, kind, nullptr, nullptr));
            } else if (IsTableLikeKind(kind) || kind == kindProcedure) {
                if (const auto* object = dynamic_cast<const CSchemaNodeData*>(tree.GetData(item))) {
                    m_pGeneral->FillGeneral(BuildGeneralPairs(connection, prefix, suffix, kind, object, nullptr));
                    const bool view = kind == kindView || kind == kindViewSortedAscending ||
                                      kind == kindViewSortedDescending;
                    if (kind != kindProcedure) {
                        if (!view) {
                            m_pRelationships->SetObject(&host, object);
                            m_pConstraints->SetObject(&host, object);
                        }
                        m_pIndexes->SetObject(&host, object);
                        m_pTablePerm->SetObject(&host, object, nullptr, connection.m_strUserId);
                    }
                }
            } else if (IsColumnKind(kind) || kind == kindParameter) {
                const auto* column = dynamic_cast<const CSchemaColumnData*>(tree.GetData(item));
                const auto* object = dynamic_cast<const CSchemaNodeData*>(tree.GetData(tree.GetParent(item)));
                if (column && object) {
                    m_pGeneral->FillGeneral(BuildGeneralPairs(connection, prefix, suffix, kind, object, column));
                    if (kind != kindParameter)
                        m_pColumnPerm->SetObject(&host, object, column, connection.m_strUserId);
                }
            }
        }
    } catch (const std::exception&) {
        filled = false;
    }
    if (wxWindow* frame = GetParent())
        frame->SetLabel(m_strCaption);
    return filled;
}

std::vector<CPropertyPageKind> CSchemaPropertiesSheet::GetPageKinds() const
{
    std::vector<CPropertyPageKind> kinds;
    for (size_t i = 0; i < m_pNotebook->GetPageCount(); ++i)
        for (CPropertyPageKind page : kAllPages)
            if (PageOf(page) == m_pNotebook->GetPage(i))
                kinds.push_back(page);
    return kinds;
}

CPropertyPageKind CSchemaPropertiesSheet::GetActivePageKind() const
{
    wxWindow* current = m_pNotebook->GetCurrentPage();
    for (CPropertyPageKind page : kAllPages)
        if (PageOf(page) == current)
            return page;
    return CPropertyPageKind::General;
}

bool CSchemaPropertiesSheet::SetActivePage(CPropertyPageKind page)
{
    const int index = m_pNotebook->FindPage(PageOf(page));
    if (index == wxNOT_FOUND)
        return false;
    m_pNotebook->ChangeSelection(static_cast<size_t>(index));
    LoadActivePage();
    // The keys go to the sheet, whatever a page's load disabled.
    m_pNotebook->SetFocus();
    return true;
}

void CSchemaPropertiesSheet::OnPageChanged(wxBookCtrlEvent& event)
{
    event.Skip();
    LoadActivePage();
}

void CSchemaPropertiesSheet::LoadActivePage()
{
    // A list page reads its rowset the first time it shows after being added.
    if (auto* page = dynamic_cast<CSchemaListPage*>(m_pNotebook->GetCurrentPage())) {
        m_pNotebook->Layout();
        page->Layout();
        page->EnsureLoaded();
    }
}

void CSchemaPropertiesSheet::ResetPages()
{
    m_pNotebook->ChangeSelection(0);
    while (m_pNotebook->GetPageCount() > 1) {
        wxWindow* page = m_pNotebook->GetPage(1);
        if (auto* listPage = dynamic_cast<CSchemaListPage*>(page))
            listPage->ResetContents();
        m_pNotebook->RemovePage(1);
    }
    m_pRelationships->SetObject(nullptr, nullptr);
    m_pIndexes->SetObject(nullptr, nullptr);
    m_pConstraints->SetObject(nullptr, nullptr);
    m_pTablePerm->SetObject(nullptr, nullptr, nullptr, wxString());
    m_pColumnPerm->SetObject(nullptr, nullptr, nullptr, wxString());
}

// ---- The frame ----

CSchemaPropertiesSheetFrame* CSchemaPropertiesSheetFrame::s_pFrame = nullptr;

CSchemaPropertiesSheetFrame* CSchemaPropertiesSheetFrame::Get(wxWindow* mainWindow, bool create)
{
    if (!s_pFrame && create && mainWindow) {
        wxBusyCursor wait;
        s_pFrame = new CSchemaPropertiesSheetFrame(mainWindow);
    }
    return s_pFrame;
}

CSchemaPropertiesSheetFrame::CSchemaPropertiesSheetFrame(wxWindow* mainWindow)
    : wxFrame(mainWindow, wxID_ANY, "Connection Properties", wxDefaultPosition, wxDefaultSize,
              wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU | wxFRAME_FLOAT_ON_PARENT)
{
    m_pSheet = new CSchemaPropertiesSheet(this);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_pSheet, 1, wxEXPAND);
    SetSizerAndFit(sizer);
    Bind(wxEVT_CLOSE_WINDOW, &CSchemaPropertiesSheetFrame::OnClose, this);
    Bind(wxEVT_CHAR_HOOK, &CSchemaPropertiesSheetFrame::OnCharHook, this);
    m_pSheet->GetCloseButton()->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ClosePropertiesFrame(); });
}

CSchemaPropertiesSheetFrame::~CSchemaPropertiesSheetFrame()
{
    if (s_pFrame == this)
        s_pFrame = nullptr;
}

void CSchemaPropertiesSheetFrame::ClosePropertiesFrame()
{
    m_pSheet->ResetPages();
    wxWindow* main = GetParent();
    if (main)
        main->Enable(true);
    Hide();
    if (main)
        main->Raise();
    if (m_returnFocus)
        m_returnFocus->SetFocus();
}

void CSchemaPropertiesSheetFrame::OnClose(wxCloseEvent& event)
{
    // The frame lives as long as the main window; closing it only hides it.
    if (!event.CanVeto()) {
        event.Skip();
        return;
    }
    event.Veto();
    ClosePropertiesFrame();
}

void CSchemaPropertiesSheetFrame::OnCharHook(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_ESCAPE || event.GetKeyCode() == WXK_CANCEL) {
        ClosePropertiesFrame();
        return;
    }
    event.Skip();
}
