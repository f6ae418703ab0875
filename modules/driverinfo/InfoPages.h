// The eight pages of the driver information sheet. Each page shows its model (DriverInfoPages)
// and reads nothing itself, except that the Data Types page asks for the details and
// conversions of the type selected. Nothing on a page can be changed.
// Threads: the UI thread.
#pragma once

#include "DriverInfoReport.h"

#include <wx/panel.h>

#include <vector>

class wxCheckBox;
class wxImageList;
class wxListBox;
class wxListCtrl;
class wxListEvent;
class wxStaticText;
class wxTextCtrl;

namespace ferrow {

class CInfoPage : public wxPanel {
public:
    CInfoPage(wxWindow* parent, InfoSource& source);
    // Shows what the model holds now.
    virtual void Render() = 0;

protected:
    InfoSource& m_source;
};

// The marks of the list pages: image 0 "not supported", image 1 "supported".
wxImageList* CreateSupportImages();

class CDriverInfo final : public CInfoPage {
public:
    CDriverInfo(wxWindow* parent, InfoSource& source, DriverInfoModel& model);
    void Render() override;

private:
    DriverInfoModel& m_model;
    std::vector<wxWindow*> m_values; // by DriverInfoModel::Field
};

class CFunctions final : public CInfoPage {
public:
    CFunctions(wxWindow* parent, InfoSource& source, FunctionsModel& model);
    ~CFunctions() override;
    void Render() override;

private:
    void OnColumnClickSqlFunctions(wxListEvent& event);

    FunctionsModel& m_model;
    wxImageList* m_images;
    wxListCtrl* m_apiList;
    wxListCtrl* m_sqlList;
    bool m_sortAscending = true;
};

class CSupportedSQL final : public CInfoPage {
public:
    CSupportedSQL(wxWindow* parent, InfoSource& source, SupportedSqlModel& model);
    void Render() override;

private:
    SupportedSqlModel& m_model;
    std::vector<wxStaticText*> m_texts;
    std::vector<wxCheckBox*> m_flags;
};

class CDataTypes final : public CInfoPage {
public:
    CDataTypes(wxWindow* parent, InfoSource& source, DataTypesModel& model);
    void Render() override;
    // Reads the types (once the page is first shown) and shows them; DriverError when the
    // driver cannot give them.
    void FetchAndRender();
    bool IsFetched() const { return m_fetched; }

private:
    void OnSelchangeDataTypes();

    DataTypesModel& m_model;
    bool m_fetched = false;
    wxListBox* m_types;
    wxListBox* m_conversions;
    std::vector<wxStaticText*> m_details;
};

class CIdentifiers final : public CInfoPage {
public:
    CIdentifiers(wxWindow* parent, InfoSource& source, IdentifiersModel& model);
    void Render() override;

private:
    IdentifiersModel& m_model;
    wxListBox* m_odbcKeywords;
    wxListBox* m_driverKeywords;
    wxTextCtrl* m_specialCharacters;
    std::vector<wxStaticText*> m_texts;
};

class CLimits final : public CInfoPage {
public:
    CLimits(wxWindow* parent, InfoSource& source, LimitsModel& model);
    ~CLimits() override;
    void Render() override;

private:
    LimitsModel& m_model;
    wxImageList* m_images;
    wxListCtrl* m_addList;
    wxListCtrl* m_diffList;
    std::vector<wxStaticText*> m_texts;
};

class CMisc1 final : public CInfoPage {
public:
    CMisc1(wxWindow* parent, InfoSource& source, Misc1Model& model);
    void Render() override;

private:
    Misc1Model& m_model;
    std::vector<wxStaticText*> m_texts;
    std::vector<std::vector<wxCheckBox*>> m_groups;
};

class CMisc2 final : public CInfoPage {
public:
    CMisc2(wxWindow* parent, InfoSource& source, Misc2Model& model);
    void Render() override;

private:
    Misc2Model& m_model;
    std::vector<wxStaticText*> m_texts;
    std::vector<std::vector<wxCheckBox*>> m_groups;
};

} // namespace ferrow
