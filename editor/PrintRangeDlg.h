// Asked before the print dialog when the editor holds a selection: print the selection (the
// choice it starts with) or the whole text. The desktop's print dialog has no such choice.
#pragma once

#include <wx/dialog.h>

class wxRadioBox;

class CPrintRangeDlg : public wxDialog {
public:
    enum { IDC_RANGE = 1100 };
    enum Range { kAll = 0, kSelection = 1 };

    explicit CPrintRangeDlg(wxWindow* parent);

    bool IsSelection() const;
    void SetRange(Range range);

private:
    wxRadioBox* m_pRange;
};
