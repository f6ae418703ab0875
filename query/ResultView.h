// The results pane of a query window: the messages and text output, in a read-only text control.
// The results grids and the pane's commands live on top of this.
#pragma once

#include <wx/stc/stc.h>

class CChildFrame;

class CResultView : public wxStyledTextCtrl {
public:
    CResultView(wxWindow* parent, CChildFrame* frame);

    CChildFrame* GetFrame() const { return m_pFrame; }
    // Replaces the shown text.
    void SetOutputText(const wxString& text);

private:
    CChildFrame* m_pFrame;
};
