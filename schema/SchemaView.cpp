#include "SchemaView.h"

#include "common/ErrorText.h"
#include "common/ProfileFont.h"
#include "common/SettingsTable.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "query/ChildFrame.h"
#include "query/QueryHost.h"
#include "RowCountDlg.h"
#include "SchemaCommands.h"
#include "SchemaImages.h"
#include "schemacore/SelectStatement.h"

#include <wx/imaglist.h>
#include <wx/menu.h>
#include <wx/stc/stc.h>
#include <wx/utils.h>

#include <algorithm>
#include <set>

namespace {

// The commands that open the properties sheet, and the page each makes active.
constexpr int kPropertiesCommands[] = {ID_SCHEMA_PROPERTIES,  ID_SCHEMA_CONNECTION_STRING, ID_SCHEMA_RELATIONSHIPS,
                                       ID_SCHEMA_INDEXES,     ID_SCHEMA_CONSTRAINTS,       ID_SCHEMA_TABLE_PERMISSIONS,
                                       ID_SCHEMA_COLUMN_PERMISSIONS};

CPropertyPageKind PageOfCommand(int id)
{
    switch (id) {
    case ID_SCHEMA_CONNECTION_STRING: return CPropertyPageKind::ConnectionString;
    case ID_SCHEMA_RELATIONSHIPS: return CPropertyPageKind::Relationships;
    case ID_SCHEMA_INDEXES: return CPropertyPageKind::Indexes;
    case ID_SCHEMA_CONSTRAINTS: return CPropertyPageKind::Constraints;
    case ID_SCHEMA_TABLE_PERMISSIONS: return CPropertyPageKind::TablePermissions;
    case ID_SCHEMA_COLUMN_PERMISSIONS: return CPropertyPageKind::ColumnPermissions;
    default: return CPropertyPageKind::General;
    }
}

// Whether the context menu of the kind offers the command; a page the node has no data for is
// not opened from elsewhere either.
bool IsOfferedFor(int kind, int id)
{
    const CSchemaPopup* popup = FindSchemaPopup(kind);
    if (!popup)
        return false;
    for (const CSchemaMenuEntry& entry : BuiltEntries(*popup)) {
        if (entry.id == id || std::find(entry.items.begin(), entry.items.end(), id) != entry.items.end())
            return true;
    }
    return false;
}

} // namespace

CSchemaView::CSchemaView(wxWindow* parent, CChildFrame* frame)
    : CTVTreeView(parent, kLinesAtRoot | kDisableDragDrop), m_pFrame(frame)
{
    m_pModel = std::make_unique<CSchemaTreeModel>(Tree(), Selection(), *this, CSettingsStore::Get());
    SetTreeListener(m_pModel.get());
    AssignImageList(CreateSchemaImageList());
    // A stored font becomes every pane's font unless one was chosen or stored before.
    LogFont font;
    ReadProfileFont(settings::kSchemaFont, font);
    if (font.lfHeight != 0) {
        IQueryHost* host = m_pFrame->GetHost();
        if (host && !host->SharedSettings().m_fontSchema.IsOk())
            host->SharedSettings().m_fontSchema = font.ToFont();
        SetFont(host ? host->SharedSettings().m_fontSchema : font.ToFont());
    }

    Bind(wxEVT_CONTEXT_MENU, &CSchemaView::OnContextMenu, this);
    Bind(wxEVT_MENU, &CSchemaView::OnReturnAllRows, this, ID_SCHEMA_RETURN_ALL);
    Bind(wxEVT_MENU, &CSchemaView::OnReturnAllRows, this, ID_SCHEMA_RETURN_ALL_COLUMNS);
    Bind(wxEVT_MENU, &CSchemaView::OnReturnTopRows, this, ID_SCHEMA_RETURN_TOP);
    Bind(wxEVT_MENU, &CSchemaView::OnReturnTopRows, this, ID_SCHEMA_RETURN_TOP_COLUMNS);
    Bind(wxEVT_MENU, &CSchemaView::OnFileSaveAs, this, ID_FILE_SAVE_AS);
    Bind(wxEVT_MENU, &CSchemaView::OnRefresh, this, ID_REFRESH);
    Bind(wxEVT_MENU, &CSchemaView::OnShowAllObjects, this, ID_SCHEMA_SHOW_ALL);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnDesign(); }, ID_SCHEMA_DESIGN);
    Bind(wxEVT_MENU, &CSchemaView::OnEditCopy, this, ID_EDIT_COPY);
    Bind(wxEVT_MENU, &CSchemaView::OnViewFont, this, ID_FORMAT_FONT);
    Bind(wxEVT_MENU, &CSchemaView::OnExpandAll, this, ID_SCHEMA_EXPAND_ALL);
    Bind(wxEVT_MENU, &CSchemaView::OnCollapseAll, this, ID_SCHEMA_COLLAPSE_ALL);
    for (int id : {int(ID_SCHEMA_SORT_ASCENDING), int(ID_SCHEMA_SORT_DESCENDING), int(ID_SCHEMA_SORT_VIEW_ASCENDING),
                   int(ID_SCHEMA_SORT_VIEW_DESCENDING)})
        Bind(wxEVT_MENU, &CSchemaView::OnSortColumns, this, id);
    Bind(wxEVT_MENU, &CSchemaView::OnRestoreOriginalOrder, this, ID_SCHEMA_RESTORE_ORDER);
    Bind(wxEVT_MENU, &CSchemaView::OnRestoreOriginalOrder, this, ID_SCHEMA_RESTORE_VIEW_ORDER);
    // Every command the pane has answers for its menu item, and the font in the window's menu.
    std::set<int> commands = {ID_FORMAT_FONT};
    for (const CSchemaPopup& popup : SchemaPopups()) {
        for (const CSchemaMenuEntry& entry : popup.entries) {
            for (int id : entry.submenu ? entry.items : std::vector<int>{entry.id}) {
                if (FindSchemaCommand(id))
                    commands.insert(id);
            }
        }
    }
    for (int id : commands)
        Bind(wxEVT_UPDATE_UI, &CSchemaView::OnUpdateCommand, this, id);
    for (int id : kPropertiesCommands)
        Bind(wxEVT_MENU, &CSchemaView::OnProperties, this, id);
    // The query, not the pane, is what Save and Save All would save.
    Bind(wxEVT_UPDATE_UI, &CSchemaView::OnUpdateDisabledCommand, this, ID_FILE_SAVE);
    Bind(wxEVT_UPDATE_UI, &CSchemaView::OnUpdateDisabledCommand, this, ID_FILE_SAVE_ALL);
}

CSchemaView::~CSchemaView()
{
    // The model goes before the tree that reports to it.
    SetTreeListener(nullptr);
}

void CSchemaView::ResetTree()
{
    m_pModel->ResetTree();
    Refresh();
}

// ---- ISchemaHost ----

CConnectionInfo& CSchemaView::Connection()
{
    return m_pFrame->Connection();
}

ado::RecordsetPtr CSchemaView::OpenSchema(ado::SchemaEnum schema, const std::vector<_variant_t>& restrictions)
{
    const ado::ConnectionPtr& connection = m_pFrame->Connection().m_pConnection;
    if (!connection)
        throw _com_error(E_POINTER);
    return connection->OpenSchema(schema, restrictions);
}

wxString CSchemaView::GetProviderErrorsText()
{
    try {
        return ::GetProviderErrorsText(m_pFrame->Connection().m_pConnection.get());
    } catch (const _com_error&) {
        return wxString();
    }
}

wxString CSchemaView::GetConnectionString() const
{
    return m_pFrame->GetConnectionString();
}

bool CSchemaView::IsConnectionOpen() const
{
    return m_pFrame->IsConnectionOpen();
}

bool CSchemaView::IsExecuting() const
{
    return m_pFrame->IsExecuting();
}

bool CSchemaView::IsFindInFilesRunning() const
{
    return m_pFrame->IsFindInFilesRunning();
}

bool CSchemaView::IsBusy() const
{
    return m_pFrame->IsBusy();
}

void CSchemaView::SetStatusText(const wxString& text)
{
    if (IQueryHost* host = m_pFrame->GetHost())
        host->SetStatusMessage(text);
}

void CSchemaView::BeginWaitCursor()
{
    wxBeginBusyCursor();
}

void CSchemaView::EndWaitCursor()
{
    wxEndBusyCursor();
}

void CSchemaView::ShowStopMessage(const wxString& text)
{
    wxBusyCursorSuspender normalCursor;
    TVMessageBox(text, wxOK | wxICON_STOP, this);
}

void CSchemaView::UpdateConnectionTitle()
{
    CWindowConnection& connection = m_pFrame->Connection();
    if (connection.m_pConnection) {
        try {
            ado::PropertiesPtr properties = connection.m_pConnection->GetProperties();
            properties->Refresh();
            connection.UpdateConnectionTitle(properties);
        } catch (const _com_error&) {
        }
    }
    if (CTorvaneDoc* doc = m_pFrame->GetQueryDoc())
        doc->SetTitle(nullptr);
}

// ---- Mouse and keys ----

CMultiSelectTree::Press CSchemaView::HandleLButtonDown(TreeItem hit, CMultiSelectTree::Where where, bool shift,
                                                       bool ctrl, const wxPoint& point)
{
    return m_pModel->OnLButtonDown(hit, where, shift, ctrl, point.x, point.y);
}

bool CSchemaView::HandleNavigationKey(CMultiSelectTree::Key key, bool shift)
{
    return m_pModel->OnKeyDown(key, shift);
}

void CSchemaView::OnCaretMovedByControl()
{
    m_pModel->OnCaretMovedByControl();
}

void CSchemaView::HandleRButtonDown(TreeItem hit, CMultiSelectTree::Where where, const wxPoint& point)
{
    if (where != CMultiSelectTree::Where::Button)
        m_pModel->OnRButtonDown(hit);
    ShowContextMenu(point);
}

void CSchemaView::OnContextMenu(wxContextMenuEvent& event)
{
    const wxPoint position = event.GetPosition();
    if (position == wxDefaultPosition) {
        ShowContextMenu(wxDefaultPosition);
        return;
    }
    const wxPoint point = ScreenToClient(position);
    if (!GetClientRect().Contains(point)) {
        event.Skip();
        return;
    }
    ShowContextMenu(point);
}

void CSchemaView::ShowContextMenu(const wxPoint& point)
{
    const TreeItem caret = Tree().GetCaret();
    if (!caret)
        return;
    std::unique_ptr<wxMenu> menu(CreateContextMenu());
    if (!menu)
        return;
    wxPoint at = point;
    if (at == wxDefaultPosition) {
        // From the keyboard: the middle of the caret's label, cut to the pane's width.
        Tree().EnsureVisible(caret);
        wxRect label = GetItemRect(caret, true);
        label.width = std::min(label.GetRight(), GetClientSize().x) - label.x;
        at = label.IsEmpty() || !GetClientRect().Contains(label.GetPosition())
                 ? wxPoint(GetClientSize().x / 2, GetClientSize().y / 2)
                 : label.GetPosition() + wxPoint(label.width / 2, label.height / 2);
    }
    PopupMenu(menu.get(), at);
}

bool CSchemaView::OnItemActivated(TreeItem item)
{
    const int kind = Tree().GetKind(item);
    if (IsBusy())
        return false;
    if (IsTableLikeKind(kind) || IsColumnKind(kind)) {
        ReturnRows(kAllRows);
        return true;
    }
    if (kind == kindProcedure) {
        OnDesign();
        return true;
    }
    return false;
}

bool CSchemaView::HandleKey(const wxKeyEvent& event)
{
    const int code = event.GetKeyCode();
    const bool plain = !event.ControlDown() && !event.AltDown() && !event.ShiftDown();
    if (plain && (code == WXK_RETURN || code == WXK_NUMPAD_ENTER)) {
        OnEnterKey();
        return true;
    }
    if (plain && code == WXK_F8 && m_pModel->CanRefresh()) {
        m_pModel->OnRefresh();
        return true;
    }
    if ((plain && code == WXK_MENU) || (code == WXK_F10 && event.ShiftDown() && !event.ControlDown())) {
        ShowContextMenu(wxDefaultPosition);
        return true;
    }
    // Ctrl+Insert copies as Ctrl+C does, which the window's menu takes.
    if (event.GetModifiers() == wxMOD_CONTROL && (code == WXK_INSERT || code == WXK_NUMPAD_INSERT)) {
        if (IsCommandEnabled(ID_EDIT_COPY)) {
            wxCommandEvent copy(wxEVT_MENU, ID_EDIT_COPY);
            OnEditCopy(copy);
        }
        return true;
    }
    return false;
}

void CSchemaView::OnEnterKey()
{
    wxBusyCursor wait;
    const TreeItem caret = Tree().GetCaret();
    if (!caret)
        return;
    const int kind = Tree().GetKind(caret);
    if (!IsBusy()) {
        if (IsTableLikeKind(kind) || (IsColumnKind(kind) && Selection().GetSelectedCount(true) >= 1)) {
            ReturnRows(kAllRows);
            return;
        }
        if (kind == kindProcedure) {
            OnDesign();
            return;
        }
    } else if (IsExecuting() && !Tree().IsLoaded(caret)) {
        // Nothing is loaded while a query runs.
        return;
    }
    Tree().Toggle(caret);
}

// ---- Commands ----

CSchemaMenuState CSchemaView::GetMenuState() const
{
    CSchemaMenuState state = m_pModel->GetMenuState();
    state.paneShown = m_pFrame->IsSchemaPaneShown();
    return state;
}

bool CSchemaView::IsCommandEnabled(int id) const
{
    const CSchemaMenuState state = GetMenuState();
    switch (id) {
    case ID_EDIT_COPY:
    case ID_REFRESH:
    case ID_FILE_SAVE_AS:
    case ID_FORMAT_FONT:
    case ID_SCHEMA_PROPERTIES: return IsSchemaMenuCommandEnabled(id, state);
    default: return FindSchemaCommand(id) && !GreyedPopupItems(state).count(id);
    }
}

wxMenu* CSchemaView::CreateContextMenu() const
{
    const CSchemaMenuState state = GetMenuState();
    const CSchemaPopup* popup = FindSchemaPopup(state.kind);
    if (!popup)
        return nullptr;
    const std::vector<CSchemaMenuEntry> entries = BuiltEntries(*popup);
    if (entries.empty())
        return nullptr;
    const std::set<int> greyed = GreyedPopupItems(state);
    auto append = [&](wxMenu& menu, int id) {
        const CSchemaCommand* command = FindSchemaCommand(id);
        wxMenuItem* item = menu.Append(id, wxString::FromUTF8(command->text), wxString(),
                                       command->check ? wxITEM_CHECK : wxITEM_NORMAL);
        item->Enable(!greyed.count(id));
        if (command->check)
            item->Check(IsPopupItemChecked(id, state));
    };
    auto menu = std::make_unique<wxMenu>();
    for (const CSchemaMenuEntry& entry : entries) {
        if (entry.submenu) {
            auto* submenu = new wxMenu;
            for (int id : entry.items)
                append(*submenu, id);
            menu->AppendSubMenu(submenu, wxString::FromUTF8(entry.submenu));
        } else if (entry.id == 0) {
            menu->AppendSeparator();
        } else {
            append(*menu, entry.id);
        }
    }
    return menu.release();
}

void CSchemaView::OnUpdateCommand(wxUpdateUIEvent& event)
{
    const int id = event.GetId();
    // A context menu keeps the states its own rules gave; the window's menus follow theirs.
    const auto* menu = dynamic_cast<wxMenu*>(event.GetEventObject());
    if (menu && !menu->GetMenuBar()) {
        const CSchemaMenuState state = GetMenuState();
        event.Enable(!GreyedPopupItems(state).count(id));
        if (id == ID_SCHEMA_SHOW_ALL)
            event.Check(IsPopupItemChecked(id, state));
        return;
    }
    event.Enable(IsCommandEnabled(id));
}

void CSchemaView::OnUpdateDisabledCommand(wxUpdateUIEvent& event)
{
    event.Enable(false);
}

wxWindow* CSchemaView::GetMainWindow() const
{
    if (IQueryHost* host = m_pFrame->GetHost())
        return host->GetHostWindow();
    return wxGetTopLevelParent(const_cast<CSchemaView*>(this));
}

void CSchemaView::OnProperties(wxCommandEvent& event)
{
    const int id = event.GetId();
    if (!IsCommandEnabled(id) || (id != ID_SCHEMA_PROPERTIES && !IsOfferedFor(GetMenuState().kind, id)))
        return;
    if (ShowConnectionProperties())
        ShowPropertiesPage(PageOfCommand(id));
}

CSchemaPropertiesSheetFrame* CSchemaView::ShowConnectionProperties()
{
    wxBusyCursor wait;
    wxWindow* main = GetMainWindow();
    CSchemaPropertiesSheetFrame* frame = CSchemaPropertiesSheetFrame::Get(main, true);
    if (frame && main)
        frame->CentreOnParent();
    return frame;
}

void CSchemaView::ShowPropertiesPage(CPropertyPageKind page)
{
    CSchemaPropertiesSheetFrame* frame = CSchemaPropertiesSheetFrame::Get(GetMainWindow(), false);
    if (!frame || frame->IsShown())
        return;
    wxWindow* main = frame->GetParent();
    // Disabled while the frame shows: nothing may change the tree whose item data the pages
    // borrow.
    main->Enable(false);
    frame->SetReturnFocus(this);
    try {
        frame->GetSheet()->ShowObjectProperties(Tree(), *this);
        frame->Enable(true);
        frame->Show();
        frame->Raise();
        frame->GetSheet()->SetActivePage(page);
    } catch (const std::exception&) {
        main->Enable(true);
    }
}

void CSchemaView::OnRefresh(wxCommandEvent&)
{
    if (m_pModel->CanRefresh())
        m_pModel->OnRefresh();
}

void CSchemaView::OnShowAllObjects(wxCommandEvent&)
{
    if (m_pModel->GetShowAllState() && !IsExecuting())
        m_pModel->OnShowAllObjects();
}

bool CSchemaView::ReturnRows(int rows)
{
    if (IsBusy())
        return false;
    const wxString sql = m_pModel->BuildSelectStatement(rows);
    if (sql.empty())
        return false;
    // The rows go to grids, whatever output the window has chosen.
    CRunOptions options;
    options.resultsInText = false;
    AppendAndExecute(sql, options);
    return true;
}

void CSchemaView::OnReturnAllRows(wxCommandEvent&)
{
    ReturnRows(kAllRows);
}

void CSchemaView::OnReturnTopRows(wxCommandEvent& event)
{
    if (!IsCommandEnabled(event.GetId()))
        return;
    CWindowConnection& connection = m_pFrame->Connection();
    CRowCountDlg dialog(this, connection.m_nMaxRows);
    if (dialog.ShowModal() != wxID_OK)
        return;
    const int rows = dialog.GetRowCount();
    // The limit holds for the run that follows only; the number stays for the next time.
    connection.m_nMaxRows = rows;
    connection.m_bRowLimit = 1;
    // No run, no limit left behind for the user's next query.
    if (!ReturnRows(rows))
        connection.m_bRowLimit = 0;
}

void CSchemaView::OnFileSaveAs(wxCommandEvent&)
{
    if (!IsCommandEnabled(ID_FILE_SAVE_AS))
        return;
    wxString objectName;
    const wxString sql = m_pModel->BuildSelectStatement(kAllRows, &objectName);
    if (sql.empty())
        return;
    const wxString fileName = SaveAsFileName(objectName, m_strQuotePrefix, m_strQuoteSuffix);
    m_pFrame->GetSaveAs().PromptSaveAsFile(fileName, "Save " + fileName + " As", sql);
}

// ---- The editor ----

void CSchemaView::AppendToQueryEditor(const wxString& statement)
{
    CQryView* view = m_pFrame->GetQueryView();
    wxStyledTextCtrl* edit = view ? view->GetEditCtrl() : nullptr;
    if (!edit)
        return;
    const int mode = edit->GetEOLMode();
    const wxString lineEnd = mode == wxSTC_EOL_CRLF ? "\r\n" : mode == wxSTC_EOL_CR ? "\r" : "\n";
    const CWindowConnection& connection = m_pFrame->Connection();
    const CEditorAppend append =
        ComposeEditorAppend(statement, edit->GetLength() > 0,
                            connection.m_bFoxPro || connection.m_bDb2 || connection.m_bMySql,
                            connection.m_strBatchSeparator, lineEnd);
    // Editor positions count bytes: the selection starts where the insertion began plus the
    // bytes of the blank lines before the statement.
    const int end = edit->GetLength();
    edit->BeginUndoAction();
    edit->SetTargetStart(end);
    edit->SetTargetEnd(end);
    edit->ReplaceTarget(append.text);
    edit->EndUndoAction();
    const int start = end + static_cast<int>(append.text.Left(append.selectFrom).utf8_string().size());
    edit->SetSelection(start, end + static_cast<int>(append.text.utf8_string().size()));
    edit->EnsureCaretVisible();
    // Scrolling to the caret can leave the view scrolled sideways by a few characters, hiding
    // the start of every line: the lines show from their start whenever the caret shows there.
    const int caretX = edit->PointFromPosition(edit->GetCurrentPos()).x + edit->GetXOffset();
    if (caretX < edit->GetClientSize().x)
        edit->SetXOffset(0);
    if (wxDocument* doc = view->GetDocument())
        doc->Modify(true);
}

void CSchemaView::AppendAndExecute(const wxString& statement, const CRunOptions& options)
{
    AppendToQueryEditor(statement);
    m_pFrame->GetExecution().ExecuteQuery(options);
}
