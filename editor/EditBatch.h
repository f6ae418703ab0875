// Hides the selection and keeps redraw off while a multi-step edit of the SQL editor runs.
#pragma once

#include <wx/stc/stc.h>

class CEditBatch {
public:
    explicit CEditBatch(wxStyledTextCtrl* edit, bool hideSelection) : m_edit(edit), m_hide(hideSelection)
    {
        m_edit->Freeze();
        if (m_hide)
            m_edit->HideSelection(true);
    }
    ~CEditBatch()
    {
        if (m_hide)
            m_edit->HideSelection(false);
        m_edit->Thaw();
        m_edit->Refresh();
    }

private:
    wxStyledTextCtrl* m_edit;
    bool m_hide;
};
