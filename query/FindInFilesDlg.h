// The Find in Files dialog: the text to find, the file patterns, the folders to look in and four
// options, each text box with a history of its last 16 entries kept in the settings. Find checks
// that every folder exists before the dialog closes; the caller then reads the members.
#pragma once

#include <wx/dialog.h>

#include <vector>

class CChildFrame;
class wxCheckBox;
class wxComboBox;

// The folder picker behind the "..." button: a folder chooser modal to its owner.
class CFolderBrowseDlg {
public:
    explicit CFolderBrowseDlg(wxWindow* owner) : m_pOwner(owner) {}
    virtual ~CFolderBrowseDlg() = default;

    // Shows the chooser; true when the user confirmed a folder, which then stands in
    // m_strSelectedFolder.
    bool DoModal();

    wxString m_strSelectedFolder;
    wxString m_strInitialFolder; // shown selected when the chooser opens; empty: none
    wxString m_strTitle;

private:
    wxWindow* m_pOwner;
};

// A history as a combo lists it, newest first: the text goes on top unless an item equals it
// (exactly, or in any case when caseSensitive is off), and the list keeps at most 16 items.
void AddToFindHistory(std::vector<wxString>& items, const wxString& text, bool caseSensitive);

class CFindInFilesDlg : public wxDialog {
public:
    enum {
        ID_BROWSE = 1002,
        ID_WHOLE_WORD = 1003,
        ID_SUBFOLDERS = 1004,
        ID_FIND_WHAT = 1005,
        ID_LOOK_IN = 1006,
        ID_MATCH_CASE = 1007,
        ID_FILES_OF_TYPE = 1008,
        ID_NAMES_ONLY = 1009,
    };

    // The selected text of the frame's editor (else of its results pane) is proposed as the text
    // to find.
    explicit CFindInFilesDlg(CChildFrame* parent);

    wxString m_strFindWhat;
    wxString m_strFilesOfType;
    wxString m_strLookIn;
    std::vector<wxString> m_folders; // the folders to search, absolute, in order
    wxComboBox* m_cboFilesOfType = nullptr;
    wxComboBox* m_cboLookIn = nullptr;
    wxComboBox* m_cboFindWhat = nullptr;
    int m_bLookInSubfolders = 1;
    int m_bMatchCase = 0;
    int m_bMatchWholeWord = 0;
    int m_bFileNamesOnly = 0;
    CChildFrame* m_pFrame;

    // Checks the entries and writes the histories and options; false (after its message) when
    // the dialog must stay open.
    bool ReadRequest();

private:
    void OnInitDialog();
    void OnBrowseFolder(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);

    wxCheckBox* m_chkWholeWord = nullptr;
    wxCheckBox* m_chkSubfolders = nullptr;
    wxCheckBox* m_chkMatchCase = nullptr;
    wxCheckBox* m_chkNamesOnly = nullptr;
    // The working folder when the dialog opened: relative folders are resolved against it.
    wxString m_strWorkingFolder;
};
