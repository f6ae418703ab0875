// The modeless "Go To" dialog of the main window: moves to a line of the active query window's
// editor, or steps line by line (Next, Previous) while its number box is empty. It works on
// whatever pane is active when a button is pressed.
#pragma once

#include "editor/GoToTarget.h"

#include <wx/dialog.h>

class wxButton;
class wxStyledTextCtrl;
class wxTextCtrl;

class CGoToDlg : public wxDialog {
public:
    enum {
        IDC_CLOSE = 3,
        IDC_LINE = 1004,
        IDC_PREVIOUS = 1005,
        IDC_GOTO = 1006,
    };

    explicit CGoToDlg(wxWindow* parent);

    // The go-to step on the active pane.
    void GoTo();
    // Fills the number box for the active pane and enables the controls (on activation).
    void RefreshForActivePane();

    // The line text pane that the dialog drives: the active editor, or none.
    static wxStyledTextCtrl* ActiveTextPane();

    wxString m_strLine;
    bool m_bPrevious = false;
    bool m_bNext = false;

private:
    void OnLineChanged(wxCommandEvent& event);
    void OnGoTo(wxCommandEvent& event);
    void OnPrevious(wxCommandEvent& event);
    void OnClose(wxCommandEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void OnActivate(wxActivateEvent& event);

    void GoToLine(wxStyledTextCtrl& edit);

    wxTextCtrl* m_pLine;
    wxButton* m_pGoTo;
    wxButton* m_pPrevious;
};
