// Go To Grid: asks for the number of the results grid to show. The caller checks the range.
#pragma once

#include <wx/dialog.h>

class wxTextCtrl;

class CGoToGridDlg : public wxDialog {
public:
    static constexpr int kEditId = 1004;

    // current: the number the entry starts with.
    CGoToGridDlg(wxWindow* parent, int current);

    // The number entered, after OK.
    int m_nGridNumber = 0;

    wxTextCtrl* GetEdit() const { return m_pEdit; }

private:
    void OnOK(wxCommandEvent& event);

    wxTextCtrl* m_pEdit;
};
