// View Contents: the whole value of a results grid's current cell in a large box, with Next and
// Previous to walk down its column and a word-wrap switch that is remembered ("Grid"/"View
// contents"). The box is one of two read-only texts in the same place, one wrapping and one not,
// of which one is shown. Next and Previous make the row shown the grid's current row.
#pragma once

#include <wx/dialog.h>

#include <functional>

class CMSHFlexGrid;
class wxButton;
class wxCheckBox;
class wxStaticText;
class wxTextCtrl;

class CGridViewContentsDlg : public wxDialog {
public:
    static constexpr int kNoWrapId = 1111;
    static constexpr int kWrapId = 1112;
    static constexpr int kNextId = 1101;
    static constexpr int kPreviousId = 1102;
    static constexpr int kWordWrapId = 1042;

    // The word-wrap state is read from the settings here and written back when the dialog goes.
    // rowShown is told each time Next or Previous shows another row.
    CGridViewContentsDlg(wxWindow* parent, std::function<void()> rowShown);
    ~CGridViewContentsDlg() override;

    // The grid whose current cell is shown; set before ShowModal.
    CMSHFlexGrid* m_pGrid = nullptr;

    int GetRowShown() const { return m_nRow; }
    int GetColumnShown() const { return m_nCol; }
    // The box shown and its text.
    wxTextCtrl* GetVisibleBox() const;
    wxButton* GetNextButton() const { return m_pNext; }
    wxButton* GetPreviousButton() const { return m_pPrevious; }
    wxCheckBox* GetWordWrapBox() const { return m_pWordWrap; }

    // Next and Previous.
    void ShowRow(int row);

private:
    void OnInitDialog(wxInitDialogEvent& event);
    void OnNext(wxCommandEvent& event);
    void OnPrevious(wxCommandEvent& event);
    void OnWordWrap(wxCommandEvent& event);
    void OnBoxContextMenu(wxContextMenuEvent& event);
    void OnCopy(wxCommandEvent& event);
    void OnSelectAll(wxCommandEvent& event);
    // The value of the cell shown into the box the word-wrap state chooses.
    void ShowValue();
    // Scrolls the grid to the row, makes it current, and enables Next and Previous.
    void SetButtons();

    wxTextCtrl* m_pNoWrap;
    wxTextCtrl* m_pWrap;
    wxButton* m_pNext;
    wxButton* m_pPrevious;
    wxCheckBox* m_pWordWrap;
    wxStaticText* m_pStatus;
    int m_nCol = 1;
    int m_nRow = 1;
    int m_bWordWrap = 0;
    std::function<void()> m_rowShown;
};
