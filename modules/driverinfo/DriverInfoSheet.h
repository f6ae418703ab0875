// The modal "ODBC Driver Information" sheet: the eight pages over one connection, "Save &As..."
// for the text report (it never closes the sheet) and "Close". A label beside the buttons says
// whether the cursor library was asked for. The Data Types page reads the driver's types when
// it is first shown, so that a driver failing them fails only that page.
// Every handler catches what it raises and shows it: nothing leaves the modal loop.
// Threads: the UI thread.
#pragma once

#include "DriverInfoReport.h"

#include <wx/dialog.h>

class wxNotebook;
class wxBookCtrlEvent;
class wxStaticText;

namespace ferrow {

class CInfoPage;
class CDataTypes;

class CMyPropertySheet final : public wxDialog {
public:
    CMyPropertySheet(wxWindow* parent, InfoSource& source, bool cursorLibrary);

private:
    void SaveReport(const wxString& path);
    void OnInitDialog();
    void OnSaveAs(wxCommandEvent& event);
    void OnPageChanged(wxBookCtrlEvent& event);
    void ShowDataTypes();

    InfoSource& m_source;
    bool m_cursorLibrary;
    DriverInfoPages m_pages;
    wxNotebook* m_notebook = nullptr;
    std::vector<CInfoPage*> m_pageWindows;
    CDataTypes* m_dataTypes = nullptr;
    wxStaticText* m_cursorLabel = nullptr;
};

} // namespace ferrow
