#include "editor/GotoLineDlg.h"

#include "common/DialogLayout.h"
#include "common/TextPositions.h"
#include "editor/QryView.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/docview.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/stc/stc.h>
#include <wx/textctrl.h>

CGoToDlg::CGoToDlg(wxWindow* parent, std::function<CGoToPane()> activePane)
    : wxDialog(parent, wxID_ANY, "Go To", wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      m_activePane(std::move(activePane))
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, "&Line number:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    m_pLine = new wxTextCtrl(this, IDC_LINE, wxString(), wxDefaultPosition, wxSize(90, -1));
    row->Add(m_pLine, 1, wxALIGN_CENTER_VERTICAL);

    auto* buttons = new wxBoxSizer(wxVERTICAL);
    m_pGoTo = new wxButton(this, IDC_GOTO, "&Next");
    m_pPrevious = new wxButton(this, IDC_PREVIOUS, "&Previous");
    buttons->Add(m_pGoTo, 0, wxEXPAND | wxBOTTOM, 4);
    buttons->Add(m_pPrevious, 0, wxEXPAND | wxBOTTOM, 4);
    buttons->Add(new wxButton(this, IDC_CLOSE, "Close"), 0, wxEXPAND);

    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(row, 1, wxALL, 10);
    top->Add(buttons, 0, wxALL, 10);
    SetSizer(top);
    ApplyNaturalLayout(*this);
    m_pGoTo->SetDefault();
    SetEscapeId(IDC_CLOSE);

    // An empty box starts in next/previous mode.
    m_bNext = true;

    Bind(wxEVT_TEXT, &CGoToDlg::OnLineChanged, this, IDC_LINE);
    Bind(wxEVT_BUTTON, &CGoToDlg::OnGoTo, this, IDC_GOTO);
    Bind(wxEVT_BUTTON, &CGoToDlg::OnPrevious, this, IDC_PREVIOUS);
    Bind(wxEVT_BUTTON, &CGoToDlg::OnClose, this, IDC_CLOSE);
    Bind(wxEVT_CLOSE_WINDOW, &CGoToDlg::OnCloseWindow, this);
    Bind(wxEVT_ACTIVATE, &CGoToDlg::OnActivate, this);
}

CGoToPane CGoToDlg::ActivePane() const
{
    if (m_activePane)
        return m_activePane();
    CGoToPane pane;
    wxDocManager* manager = wxDocManager::GetDocumentManager();
    if (auto* view = manager ? dynamic_cast<CQryView*>(manager->GetCurrentView()) : nullptr)
        pane.text = view->GetEditCtrl();
    return pane;
}

void CGoToDlg::OnLineChanged(wxCommandEvent&)
{
    m_strLine = m_pLine->GetValue();
    wxString trimmed = m_strLine;
    trimmed.Trim(true).Trim(false);
    m_bNext = trimmed.empty();
    m_pGoTo->SetLabel(m_bNext ? "&Next" : "&Go To");
    m_pPrevious->Enable(m_bNext);
}

void CGoToDlg::GoTo()
{
    const CGoToPane pane = ActivePane();
    if (pane.text)
        GoToLine(*pane.text);
    else if (pane.IsRows())
        GoToRow(pane);
    m_pLine->SetFocus();
}

GoToRequest CGoToDlg::Request() const
{
    return m_bPrevious ? GoToRequest::Previous : m_bNext ? GoToRequest::Next : GoToRequest::Number;
}

void CGoToDlg::ShowBoxText(const wxString& text)
{
    m_pLine->ChangeValue(text);
    wxCommandEvent changed;
    OnLineChanged(changed);
}

void CGoToDlg::GoToLine(wxStyledTextCtrl& edit)
{
    m_strLine = m_pLine->GetValue();
    const long current = edit.LineFromPosition(edit.GetSelectionStart());
    const GoToStep step =
        CGoToTarget::ForLines(Request(), CGoToTarget::ParseNumber(m_strLine), current, edit.GetLineCount());
    ShowBoxText(step.boxText);

    const int line = static_cast<int>(step.target - 1);
    const long start = edit.PositionFromLine(line);
    const long end = edit.GetLineEndPosition(line);
    if (start == end && line + 1 < edit.GetLineCount()) {
        // A line without text is shown by selecting its line break, the caret staying on the line.
        edit.SetAnchor(edit.PositionFromLine(line + 1));
        edit.SetCurrentPos(start);
    } else {
        edit.SetSelection(start, end);
    }
    edit.EnsureCaretVisible();
}

void CGoToDlg::GoToRow(const CGoToPane& grid)
{
    m_strLine = m_pLine->GetValue();
    const std::optional<GoToStep> step =
        CGoToTarget::ForGridRows(Request(), CGoToTarget::ParseNumber(m_strLine), grid.currentRow(), grid.rowCount());
    if (!step)
        return;
    ShowBoxText(step->boxText);
    grid.goToRow(step->target);
}

void CGoToDlg::RefreshForActivePane()
{
    const CGoToPane pane = ActivePane();
    wxString box;
    if (pane.text) {
        box = wxString::Format("%d", pane.text->LineFromPosition(pane.text->GetSelectionStart()) + 1);
    } else if (pane.IsRows()) {
        const long rows = pane.rowCount();
        box = !pane.hasResults ? wxString("0") : rows == 2 ? wxString("1") : wxString::Format("%ld", pane.currentRow());
    }
    ShowBoxText(box);
    const bool enabled = !pane.IsNone();
    m_pLine->Enable(enabled);
    m_pGoTo->Enable(enabled);
    m_pPrevious->Enable(enabled && m_bNext);
    if (enabled)
        m_pLine->SetFocus();
    else
        FindWindow(IDC_CLOSE)->SetFocus();
}

void CGoToDlg::OnGoTo(wxCommandEvent&)
{
    GoTo();
}

void CGoToDlg::OnPrevious(wxCommandEvent&)
{
    m_bPrevious = true;
    GoTo();
    m_bPrevious = false;
}

void CGoToDlg::OnClose(wxCommandEvent&)
{
    Destroy();
}

void CGoToDlg::OnCloseWindow(wxCloseEvent&)
{
    Destroy();
}

void CGoToDlg::OnActivate(wxActivateEvent& event)
{
    event.Skip();
    if (event.GetActive())
        RefreshForActivePane();
}
