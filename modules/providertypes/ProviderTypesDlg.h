// The modal "Provider Types" dialog: the provider's type names on the left, the 19 details of
// the selected one on the right, "Save &As..." for the text report and "Close".
// The connection is read before the window exists (LoadProviderTypes) and again on Save As;
// the dialog holds one reference to it until the modal run ends. UI thread only.
#pragma once

#include "ProviderTypeInfo.h"
#include "ProviderTypesReport.h"

#include "ado/ConnectionObject.h"

#include <wx/dialog.h>

#include <array>
#include <memory>

class wxImageList;
class wxListCtrl;
class wxListEvent;
class wxTextCtrl;

class CProviderTypesDlg : public wxDialog {
public:
    enum { IDD = 154, IDC_TYPES = 201 };

    CProviderTypesDlg();
    ~CProviderTypesDlg() override;

    // Takes a reference to the connection object's _Connection; E_NOINTERFACE leaves none
    // (loading then fails with E_POINTER); other failures are raised as _com_error.
    void SetConnection(IDispatch* conn);
    // Reads the provider types; throws _com_error when the rowset cannot be read.
    HRESULT LoadProviderTypes();
    // Creates the window (owner: the active window, if any), runs it modally, then lets go of
    // the connection.
    int DoModal();

    bool FillTypeList();
    bool ShowTypeDetails(long item);
    // Writes the text report to path; a failure is shown in a message box and the dialog stays.
    void SaveReport(const wxString& path);

private:
    void OnInitDialog();
    void OnItemChangedTypes(wxListEvent& event);
    void OnColumnClickTypes(wxListEvent& event);
    void OnSaveAs(wxCommandEvent& event);
    // The connection's facts for the report; empty once the connection is gone.
    ProviderTypesHeader ReadHeader() const;

    ComPtr<ado::_Connection> m_pConnection;
    wxListCtrl* m_listTypes = nullptr;
    std::array<wxTextCtrl*, kTypeDetailCount> m_details{};
    ProviderTypeMap m_mapTypes;
    bool m_bSortDirection = true;
    std::unique_ptr<wxImageList> m_imageList;
};
