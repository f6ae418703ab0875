// "Number of Rows": the row count of Return Top, digits only and at most 9 of them.
#pragma once

#include <wx/dialog.h>

class wxTextCtrl;

class CRowCountDlg : public wxDialog {
public:
    enum { IDC_ROW_COUNT = 1027 };

    // The box starts with the window's current row-limit number.
    CRowCountDlg(wxWindow* parent, int rows);

    // The number at the start of the text (its leading digits); 0 when there are none.
    int GetRowCount() const;
    wxTextCtrl* GetEdit() const { return m_pEdit; }
    // The number shown selected, so that typing replaces it.
    bool TransferDataToWindow() override;

    wxString m_strRowCount;

private:
    // An empty text is refused with a message and the dialog stays open.
    void OnOK(wxCommandEvent& event);

    wxTextCtrl* m_pEdit;
};
