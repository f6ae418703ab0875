// The SQL editor view of a query window: a styled text control in the window's editor pane.
#pragma once

#include <wx/docview.h>

class wxStyledTextCtrl;

class CQryView : public wxView {
public:
    CQryView() = default;

    // Creates the editor in the editor pane of the view's frame (CChildFrame::GetEditorPane).
    bool OnCreate(wxDocument* doc, long flags) override;
    void OnDraw(wxDC* dc) override;

    wxStyledTextCtrl* GetEditor() const { return m_pEdit; }

private:
    wxStyledTextCtrl* m_pEdit = nullptr;

    wxDECLARE_DYNAMIC_CLASS(CQryView);
};
