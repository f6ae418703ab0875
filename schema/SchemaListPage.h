// What the list pages of the properties sheet (Relationships, Indexes, Constraints, the two
// permissions pages) share: loading once per opening of the sheet when the page first shows,
// the name combo with its images and first-letter type-ahead, the report list sorted by a
// click on a column header (one direction flag for all columns, flipped by every click), the
// list's "Properties" popup with "&Copy" and Ctrl+C, and the reset when the sheet closes.
// Window thread only.
#pragma once

#include "schemacore/PropertyPageLoad.h"

#include <wx/panel.h>

#include <vector>

class CItemComboBoxEx;
class wxBoxSizer;
class wxImageList;
class wxListCtrl;
class wxListEvent;

// The list's popup command.
enum : int { ID_PROPERTIES_COPY = 184 };

class CSchemaListPage : public wxPanel {
public:
    // sortStart: the direction flag's value after construction and after every reset.
    CSchemaListPage(wxWindow* parent, wxImageList* images, bool sortStart);

    // Loads the page's records unless it has since the last reset.
    void EnsureLoaded();
    bool IsLoaded() const { return m_bLoaded; }
    // Empties the page for the next opening.
    virtual void ResetContents();

    CItemComboBoxEx* GetNameCombo() const { return m_pCombo; }
    wxListCtrl* GetList() const { return m_pList; }
    bool GetSortAscending() const { return m_bSortAscending; }

protected:
    // Reads the records and fills the controls.
    virtual void Load() = 0;
    // Shows the record of the combo's selection; nothing for an entry without one.
    virtual void OnSelChangeName() {}

    // The "&Name:" label and combo as the first row of the page's sizer.
    void CreateNameCombo(wxBoxSizer* page);
    // A report list; single selection, full rows.
    wxListCtrl* CreateList(wxWindow* parent);
    // The entries; the combo is disabled when the load failed. Selects the first entry and
    // shows it.
    void FillNameCombo(const std::vector<CNameComboEntry>& entries, bool enabled);
    // The record the combo's selection stands for; -1 for none.
    int GetSelectedRecord() const;

    wxImageList* m_pImages;
    CItemComboBoxEx* m_pCombo = nullptr;
    wxListCtrl* m_pList = nullptr;

private:
    void OnComboSelected(wxCommandEvent& event);
    void OnComboKeyDown(wxKeyEvent& event);
    void OnColumnClick(wxListEvent& event);
    void OnListContextMenu(wxContextMenuEvent& event);
    void OnListKeyDown(wxKeyEvent& event);
    void OnCopy(wxCommandEvent& event);
    void ShowPropertiesPopup(wxPoint point);

    const bool m_bSortStart;
    bool m_bSortAscending;
    bool m_bLoaded = false;
};
