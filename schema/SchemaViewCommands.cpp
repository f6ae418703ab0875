// The schema pane's own commands: Design, Copy, the schema font, column sorting, Expand All
// and Collapse All.
#include "SchemaView.h"

#include "common/ProfileFont.h"
#include "common/SettingsTable.h"
#include "common/TVFontDialog.h"
#include "query/ChildFrame.h"
#include "query/QueryHost.h"
#include "SchemaCommands.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/settings.h>
#include <wx/utils.h>

void CSchemaView::OnDesign()
{
    const wxString sql = m_pModel->BuildObjectSourceQuery();
    if (sql.empty())
        return;
    // The source lines arrive as text, whatever output the window has chosen.
    CRunOptions options;
    options.resultsInText = true;
    AppendAndExecute(sql, options);
}

void CSchemaView::OnEditCopy(wxCommandEvent&)
{
    if (!IsCommandEnabled(ID_EDIT_COPY))
        return;
    const wxString text = m_pModel->GetCopyText();
    wxClipboardLocker clipboard;
    if (!clipboard)
        return;
    wxTheClipboard->SetData(new wxTextDataObject(text));
}

void CSchemaView::OnViewFont(wxCommandEvent&)
{
    IQueryHost* host = m_pFrame->GetHost();
    wxFontData data;
    data.SetInitialFont(host && host->SharedSettings().m_fontSchema.IsOk() ? host->SharedSettings().m_fontSchema
                                                                            : GetFont());
    CTVFontDialog dialog(this, data);
    dialog.m_strCaption = "Schema Font";
    if (dialog.ShowModal() != wxID_OK)
        return;
    wxBusyCursor wait;
    const wxFont font = dialog.GetFontData().GetChosenFont();
    if (!host) {
        SetFont(font);
        Refresh();
    } else {
        host->SharedSettings().m_fontSchema = font;
        for (CChildFrame* frame : host->GetQueryWindows()) {
            if (auto* view = dynamic_cast<CSchemaView*>(frame->GetSchemaView()))
                view->ApplyFont();
        }
    }
    WriteProfileFont(settings::kSchemaFont, LogFont::FromFont(font));
}

void CSchemaView::ApplyFont()
{
    IQueryHost* host = m_pFrame->GetHost();
    const wxFont& shared = host ? host->SharedSettings().m_fontSchema : wxNullFont;
    SetFont(shared.IsOk() ? shared : wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    Refresh();
    Update();
}

void CSchemaView::OnExpandAll(wxCommandEvent&)
{
    if (!IsCommandEnabled(ID_SCHEMA_EXPAND_ALL))
        return;
    // The menu goes from the screen before the tree is loaded.
    m_pFrame->Update();
    m_pModel->ExpandAll();
    Refresh();
}

void CSchemaView::OnCollapseAll(wxCommandEvent&)
{
    m_pFrame->Update();
    ResetTree();
}

void CSchemaView::OnSortColumns(wxCommandEvent& event)
{
    const int id = event.GetId();
    if (!IsCommandEnabled(id))
        return;
    const bool ascending = id == ID_SCHEMA_SORT_ASCENDING || id == ID_SCHEMA_SORT_VIEW_ASCENDING;
    const bool isView = id == ID_SCHEMA_SORT_VIEW_ASCENDING || id == ID_SCHEMA_SORT_VIEW_DESCENDING;
    // Only a table's or a view's columns sort, each by its own command.
    const int kind = Tree().GetCaret() ? Tree().GetKind(Tree().GetCaret()) : -1;
    const bool fits = isView ? (kind == kindView || kind == kindViewSortedAscending || kind == kindViewSortedDescending)
                             : (IsTableLikeKind(kind) && kind != kindView && kind != kindViewSortedAscending &&
                                kind != kindViewSortedDescending);
    if (fits)
        m_pModel->OnSortColumns(ascending, isView);
}

void CSchemaView::OnRestoreOriginalOrder(wxCommandEvent& event)
{
    if (IsCommandEnabled(event.GetId()) && Tree().GetCaret() && IsTableLikeKind(Tree().GetKind(Tree().GetCaret())))
        m_pModel->RestoreOriginalOrder();
}
