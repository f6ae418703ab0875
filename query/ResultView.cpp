#include "ResultView.h"

CResultView::CResultView(wxWindow* parent, CChildFrame* frame)
    : wxStyledTextCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), m_pFrame(frame)
{
    SetReadOnly(true);
    SetMarginWidth(1, 0);
    SetUseHorizontalScrollBar(true);
}

void CResultView::SetOutputText(const wxString& text)
{
    SetReadOnly(false);
    SetText(text);
    SetReadOnly(true);
}
