#include "editor/PrintRangeDlg.h"

#include <wx/radiobox.h>
#include <wx/sizer.h>

CPrintRangeDlg::CPrintRangeDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Print", wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE)
{
    const wxString choices[] = {"&All", "&Selection"};
    m_pRange = new wxRadioBox(this, IDC_RANGE, "Print range", wxDefaultPosition, wxDefaultSize, 2, choices, 1,
                              wxRA_SPECIFY_COLS);
    m_pRange->SetSelection(kSelection);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(m_pRange, 0, wxEXPAND | wxALL, 10);
    top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    SetSizerAndFit(top);
    CentreOnParent();
}

bool CPrintRangeDlg::IsSelection() const
{
    return m_pRange->GetSelection() == kSelection;
}

void CPrintRangeDlg::SetRange(Range range)
{
    m_pRange->SetSelection(range);
}
