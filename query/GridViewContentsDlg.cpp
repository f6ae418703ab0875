#include "GridViewContentsDlg.h"

#include "common/CommandIds.h"
#include "common/DialogLayout.h"
#include "common/SettingsTable.h"
#include "MSHFlexGrid.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CGridViewContentsDlg::CGridViewContentsDlg(wxWindow* parent, std::function<void()> rowShown)
    : wxDialog(parent, wxID_ANY, "View Contents", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_rowShown(std::move(rowShown))
{
    m_bWordWrap = settings::ReadInt(settings::GridViewContents) != 0;

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(this, wxID_ANY, "&Field value:"), 0, wxLEFT | wxRIGHT | wxTOP, 10);
    auto* boxes = new wxBoxSizer(wxVERTICAL);
    const long style = wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2;
    m_pNoWrap = new wxTextCtrl(this, kNoWrapId, wxString(), wxDefaultPosition, wxSize(560, 300),
                               style | wxTE_DONTWRAP | wxHSCROLL);
    m_pWrap = new wxTextCtrl(this, kWrapId, wxString(), wxDefaultPosition, wxSize(560, 300), style | wxTE_WORDWRAP);
    boxes->Add(m_pNoWrap, 1, wxEXPAND);
    boxes->Add(m_pWrap, 1, wxEXPAND);
    sizer->Add(boxes, 1, wxEXPAND | wxALL, 10);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_pWordWrap = new wxCheckBox(this, kWordWrapId, "&Word wrap");
    m_pWordWrap->SetValue(m_bWordWrap != 0);
    buttons->Add(m_pWordWrap, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
    m_pStatus = new wxStaticText(this, wxID_ANY, wxString());
    buttons->Add(m_pStatus, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
    m_pNext = new wxButton(this, kNextId, "&Next");
    m_pPrevious = new wxButton(this, kPreviousId, "&Previous");
    auto* close = new wxButton(this, wxID_OK, "Close");
    buttons->Add(m_pNext, 0, wxRIGHT, 6);
    buttons->Add(m_pPrevious, 0, wxRIGHT, 6);
    buttons->Add(close);
    sizer->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    SetSizer(sizer);
    m_pWrap->Hide();
    ApplyNaturalLayout(*this);
    SetEscapeId(wxID_OK);

    Bind(wxEVT_INIT_DIALOG, &CGridViewContentsDlg::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CGridViewContentsDlg::OnNext, this, kNextId);
    Bind(wxEVT_BUTTON, &CGridViewContentsDlg::OnPrevious, this, kPreviousId);
    Bind(wxEVT_CHECKBOX, &CGridViewContentsDlg::OnWordWrap, this, kWordWrapId);
    Bind(wxEVT_MENU, &CGridViewContentsDlg::OnCopy, this, ID_EDIT_COPY);
    Bind(wxEVT_MENU, &CGridViewContentsDlg::OnSelectAll, this, ID_EDIT_SELECT_ALL);
    m_pNoWrap->Bind(wxEVT_CONTEXT_MENU, &CGridViewContentsDlg::OnBoxContextMenu, this);
    m_pWrap->Bind(wxEVT_CONTEXT_MENU, &CGridViewContentsDlg::OnBoxContextMenu, this);
}

CGridViewContentsDlg::~CGridViewContentsDlg()
{
    settings::WriteInt(settings::GridViewContents, m_pWordWrap->GetValue() ? 1 : 0);
}

wxTextCtrl* CGridViewContentsDlg::GetVisibleBox() const
{
    return m_bWordWrap ? m_pWrap : m_pNoWrap;
}

void CGridViewContentsDlg::OnInitDialog(wxInitDialogEvent& event)
{
    event.Skip();
    if (!m_pGrid)
        return;
    m_nCol = m_pGrid->GetCol();
    m_nRow = m_pGrid->GetRow();
    // The field name, never the mark of a sort.
    SetTitle("View Contents -- " + wxString::FromUTF8(m_pGrid->GetColumnName(m_nCol)));
    ShowValue();
    SetButtons();
}

void CGridViewContentsDlg::ShowValue()
{
    if (!m_pGrid)
        return;
    const wxString text = m_pGrid->GetTextMatrix(m_nRow, m_nCol);
    wxTextCtrl* shown = GetVisibleBox();
    wxTextCtrl* hidden = shown == m_pWrap ? m_pNoWrap : m_pWrap;
    shown->ChangeValue(text);
    shown->SetInsertionPoint(0);
    shown->ShowPosition(0);
    hidden->Hide();
    hidden->ChangeValue(wxString());
    shown->Show();
    Layout();
    Refresh();
    Update();
}

void CGridViewContentsDlg::SetButtons()
{
    if (!m_pGrid)
        return;
    if (!m_pGrid->RowIsVisible(m_nRow))
        m_pGrid->SetTopRow(m_nRow);
    m_pGrid->SetCurrentCell(m_nRow, m_nCol);
    const int rows = m_pGrid->GetRows();
    const bool next = m_nRow + 1 != rows;
    const bool previous = m_nRow != 1;
    m_pNext->Enable(next);
    m_pPrevious->Enable(previous);
    if (!next && previous)
        m_pPrevious->SetFocus();
    else if (!previous && next)
        m_pNext->SetFocus();
    m_pStatus->SetLabel(wxString::Format("Row %d of %d", m_nRow, rows - 1));
}

void CGridViewContentsDlg::ShowRow(int row)
{
    if (!m_pGrid || row < 1 || row >= m_pGrid->GetRows())
        return;
    m_nRow = row;
    ShowValue();
    SetButtons();
    // The window's line and column pane follows the row shown.
    if (m_rowShown)
        m_rowShown();
}

void CGridViewContentsDlg::OnNext(wxCommandEvent&)
{
    ShowRow(m_nRow + 1);
}

void CGridViewContentsDlg::OnPrevious(wxCommandEvent&)
{
    ShowRow(m_nRow - 1);
}

void CGridViewContentsDlg::OnWordWrap(wxCommandEvent&)
{
    m_bWordWrap = m_pWordWrap->GetValue() ? 1 : 0;
    ShowValue();
}

void CGridViewContentsDlg::OnBoxContextMenu(wxContextMenuEvent& event)
{
    wxTextCtrl* box = GetVisibleBox();
    wxMenu menu;
    menu.Append(wxID_UNDO, "&Undo")->Enable(false);
    menu.AppendSeparator();
    menu.Append(wxID_CUT, "Cu&t")->Enable(false);
    menu.Append(ID_EDIT_COPY, "&Copy")->Enable(box->CanCopy());
    menu.Append(wxID_PASTE, "&Paste")->Enable(false);
    menu.Append(wxID_CLEAR, "&Delete")->Enable(false);
    menu.AppendSeparator();
    menu.Append(ID_EDIT_SELECT_ALL, "Select &All")->Enable(!box->IsEmpty());
    const wxPoint at = event.GetPosition() == wxDefaultPosition ? wxDefaultPosition : ScreenToClient(event.GetPosition());
    PopupMenu(&menu, at);
}

void CGridViewContentsDlg::OnCopy(wxCommandEvent&)
{
    GetVisibleBox()->Copy();
}

void CGridViewContentsDlg::OnSelectAll(wxCommandEvent&)
{
    GetVisibleBox()->SelectAll();
}
