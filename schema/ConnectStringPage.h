// The Connection String page of the properties sheet: the window's connection string with its
// passwords masked, read-only, with a context menu of Copy and Select All. Window thread only.
#pragma once

#include <wx/panel.h>

class wxTextCtrl;

class CConnectStringPage : public wxPanel {
public:
    explicit CConnectStringPage(wxWindow* parent);

    // Shows the string with every password masked.
    void SetConnectString(const wxString& text);
    wxTextCtrl* GetEdit() const { return m_pEdit; }

private:
    void OnContextMenu(wxContextMenuEvent& event);
    void OnCopy(wxCommandEvent& event);
    void OnSelectAll(wxCommandEvent& event);

    wxTextCtrl* m_pEdit = nullptr;
};
