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

CGoToDlg::CGoToDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Go To", wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE)
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

wxStyledTextCtrl* CGoToDlg::ActiveTextPane()
{
    wxDocManager* manager = wxDocManager::GetDocumentManager();
    auto* view = manager ? wxDynamicCast(manager->GetCurrentView(), CQryView) : nullptr;
    return view ? view->GetEditCtrl() : nullptr;
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
    if (wxStyledTextCtrl* edit = ActiveTextPane())
        GoToLine(*edit);
    m_pLine->SetFocus();
}

void CGoToDlg::GoToLine(wxStyledTextCtrl& edit)
{
    m_strLine = m_pLine->GetValue();
    GoToRequest request = m_bPrevious ? GoToRequest::Previous : m_bNext ? GoToRequest::Next : GoToRequest::Number;
    const long current = edit.LineFromPosition(edit.GetSelectionStart());
    GoToStep step = CGoToTarget::ForLines(request, CGoToTarget::ParseNumber(m_strLine), current, edit.GetLineCount());
    m_pLine->ChangeValue(step.boxText);
    wxCommandEvent changed;
    OnLineChanged(changed);

    const int line = static_cast<int>(step.target - 1);
    long start = edit.PositionFromLine(line);
    long end = edit.GetLineEndPosition(line);
    // A line without text is shown by selecting its line break.
    if (start == end && line + 1 < edit.GetLineCount())
        end = edit.PositionFromLine(line + 1);
    edit.SetSelection(start, end);
    edit.EnsureCaretVisible();
    if (auto* view = wxDynamicCast(wxDocManager::GetDocumentManager()->GetCurrentView(), CQryView))
        view->SetLineColText(wxString::Format("Ln %ld, Col %ld", step.target,
                                              CTextPositions::LineLength(edit, line) + 1));
}

void CGoToDlg::RefreshForActivePane()
{
    wxStyledTextCtrl* edit = ActiveTextPane();
    if (edit)
        m_pLine->ChangeValue(wxString::Format("%d", edit->LineFromPosition(edit->GetSelectionStart()) + 1));
    else
        m_pLine->ChangeValue(wxString());
    wxCommandEvent changed;
    OnLineChanged(changed);
    m_pLine->Enable(edit != nullptr);
    m_pGoTo->Enable(edit != nullptr);
    m_pPrevious->Enable(edit != nullptr && m_bNext);
    if (edit)
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
