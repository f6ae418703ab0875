#include "QryView.h"

#include "query/ChildFrame.h"

#include <wx/stc/stc.h>

wxIMPLEMENT_DYNAMIC_CLASS(CQryView, wxView);

bool CQryView::OnCreate(wxDocument* doc, long flags)
{
    if (!wxView::OnCreate(doc, flags))
        return false;
    auto* frame = dynamic_cast<CChildFrame*>(GetFrame());
    if (!frame)
        return false;
    m_pEdit = new wxStyledTextCtrl(frame->GetEditorPane(), wxID_ANY);
    m_pEdit->SetLexer(wxSTC_LEX_SQL);
    m_pEdit->SetUseTabs(true);
    m_pEdit->Bind(wxEVT_STC_SAVEPOINTLEFT, [this](wxStyledTextEvent&) { GetDocument()->Modify(true); });
    m_pEdit->Bind(wxEVT_STC_SAVEPOINTREACHED, [this](wxStyledTextEvent&) { GetDocument()->Modify(false); });
    frame->SetEditorWindow(m_pEdit);
    return true;
}

void CQryView::OnDraw(wxDC*)
{
    // The editor control paints itself.
}
