#include "SchemaView.h"

#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "query/ChildFrame.h"

#include <wx/stc/stc.h>

CSchemaView::CSchemaView(wxWindow* parent, CChildFrame* frame)
    : CSchemaPane(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE | wxBORDER_NONE),
      m_pFrame(frame)
{
}

wxString CSchemaView::GetConnectionCaption() const
{
    wxString catalog = m_pFrame->Connection().m_strCurrentCatalog;
    if (catalog.empty())
        catalog = m_pFrame->Connection().m_strDataSource;
    wxString server = m_pFrame->Connection().m_strServerName;
    if (server.empty())
        server = m_pFrame->Connection().m_strDbmsNameUpper;
    wxString caption = !catalog.empty() && !server.empty() ? wxString::Format("%s (%s)", catalog, server)
                                                           : m_pFrame->Connection().m_strDataSource;
    return caption.empty() ? wxString("<Unknown>") : caption;
}

void CSchemaView::ResetTree()
{
    Freeze();
    DeleteAllItems();
    const wxTreeItemId root = AddRoot(GetConnectionCaption());
    SetItemBold(root, true);
    SelectItem(root);
    Expand(root);
    Thaw();
    Refresh();
}

void CSchemaView::AppendToQueryEditor(const wxString& statement)
{
    CQryView* view = m_pFrame->GetQueryView();
    wxStyledTextCtrl* edit = view ? view->GetEditCtrl() : nullptr;
    if (!edit)
        return;
    const wxString eol = edit->GetEOLMode() == wxSTC_EOL_CRLF ? "\r\n" : (edit->GetEOLMode() == wxSTC_EOL_CR ? "\r" : "\n");
    wxString prefix = edit->GetLength() > 0 ? eol + eol : wxString();
    wxString body = statement;
    if (m_pFrame->Connection().m_bFoxPro || m_pFrame->Connection().m_bDb2 || m_pFrame->Connection().m_bMySql)
        body += ";";
    wxString text = prefix + body;
    if (!m_pFrame->Connection().m_strBatchSeparator.empty())
        text += eol + m_pFrame->Connection().m_strBatchSeparator;

    const int end = edit->GetLength();
    edit->BeginUndoAction();
    edit->SetTargetStart(end);
    edit->SetTargetEnd(end);
    edit->ReplaceTarget(text);
    edit->EndUndoAction();
    const int start = end + static_cast<int>(prefix.utf8_string().size());
    edit->SetSelection(start, start + static_cast<int>(body.utf8_string().size()));
    edit->EnsureCaretVisible();
    if (wxDocument* doc = view->GetDocument())
        doc->Modify(true);
}
