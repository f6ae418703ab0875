// The modeless "Go To" dialog of the main window: moves to a line of the active query window's
// editor or results text, or to a row of its results grid, or steps line by line (Next,
// Previous) while its number box is empty. It works on whatever pane is active when a button is
// pressed, as the window it serves reports it.
#pragma once

#include "editor/GoToTarget.h"

#include <wx/dialog.h>

#include <functional>

class wxButton;
class wxStyledTextCtrl;
class wxTextCtrl;

// What the dialog moves in: the lines of a text pane, or the rows of a results grid (row 0 is its
// header). Neither: the dialog's controls are disabled (the schema pane, or no window).
struct CGoToPane {
    wxStyledTextCtrl* text = nullptr;
    // The grid's rows, header included, and its current row.
    std::function<long()> rowCount;
    std::function<long()> currentRow;
    // The grid holds the results of a query (not a result set without rows).
    bool hasResults = true;
    // Makes the row visible and current, at column 1, selected across the grid.
    std::function<void(long row)> goToRow;

    bool IsRows() const { return static_cast<bool>(goToRow); }
    bool IsNone() const { return !text && !IsRows(); }
};

class CGoToDlg : public wxDialog {
public:
    enum {
        IDC_CLOSE = 3,
        IDC_LINE = 1004,
        IDC_PREVIOUS = 1005,
        IDC_GOTO = 1006,
    };

    // activePane tells the pane to work on; without it, the editor of the document manager's
    // current view.
    explicit CGoToDlg(wxWindow* parent, std::function<CGoToPane()> activePane = {});

    // The go-to step on the active pane.
    void GoTo();
    // Fills the number box for the active pane and enables the controls (on activation).
    void RefreshForActivePane();

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

    CGoToPane ActivePane() const;
    GoToRequest Request() const;
    void GoToLine(wxStyledTextCtrl& edit);
    void GoToRow(const CGoToPane& grid);
    // The box shows the step's text; an empty box switches to next/previous mode.
    void ShowBoxText(const wxString& text);

    std::function<CGoToPane()> m_activePane;
    wxTextCtrl* m_pLine;
    wxButton* m_pGoTo;
    wxButton* m_pPrevious;
};
