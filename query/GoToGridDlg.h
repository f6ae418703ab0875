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
    // Reads the entry into m_nGridNumber; a blank entry is refused with a message and the
    // focus back in the entry.
    bool ReadGridNumber();

private:
    void OnOK(wxCommandEvent& event);

    wxTextCtrl* m_pEdit;
};
