// The two export file dialogs: CExportDialogEx chooses the file, type and options of Execute and
// Save As (ADTG, delimited text or XML); CExportDlg chooses the delimited file of a results
// grid's export. Each keeps its choices in "Grid\Export Options" and checks them when the user
// confirms: a refused delimiter or extension keeps the dialog open with the focus on the
// field, and an existing file is asked about only once everything else has passed. Nothing is
// deleted here: the file is replaced when the new one is complete.
#pragma once

#include <wx/dialog.h>

#include <string>
#include <vector>

class wxCheckBox;
class wxChoice;
class wxComboBox;
class wxTextCtrl;

// The stored delimiter list ("<item/>" each) into the box's items, at most 16 in an empty box,
// leaving out items the box holds already (ignoring case).
void FillDelimiterCombo(wxComboBox& combo, const wxString& stored);
// The list to store: the current text first when it is not an item yet, then every item.
wxString GetDelimiterComboList(wxComboBox& combo, const wxString& current);

// What both dialogs share: the file name box with its Browse button, the delimiter box and the
// checks of the delimiter and of an existing file.
class CExportDialogBase : public wxDialog {
public:
    enum {
        IDC_DELIMITER = 1012,
        IDC_PUBLISH = 1033,
        IDC_COLUMN_NAMES = 1034,
        IDC_EXPORT_TO_EXCEL = 1097,
        IDC_FILE_NAME = 1152,
        IDC_FILE_TYPE = 1136,
        IDC_BROWSE = 1153,
    };

    // The box's text as typed, before any default extension.
    wxString GetBasePath() const;
    void SetBasePath(const wxString& path);
    wxComboBox* GetDelimiterBox() const { return m_delimiter; }
    wxCheckBox* GetExcelBox() const { return m_excel; }

    // The validation of OK; true keeps the dialog open (a refused or unconfirmed name).
    virtual bool OnFileNameOK() = 0;

protected:
    // filter: "Description|pattern|..." with an optional "|" at the end.
    CExportDialogBase(wxWindow* parent, const wxString& title, const wxString& filter, const wxString& path);

    // The file name row, then the extra rows, then the buttons.
    void LayOut(wxSizer* extra);
    // The delimiter text is acceptable; otherwise says why (information icon) and puts the focus
    // back on the box.
    bool CheckDelimiter(const wxString& delimiter);
    // The file does not exist, or the user agreed to replace it.
    bool ConfirmReplace(const wxString& path);
    // The box filled from "DelimiterList" with the "Format" entry selected ("<None>": none, the
    // box empty; the first entry when none equals it).
    void LoadDelimiter();
    // "Format" and "DelimiterList" from the confirmed delimiter.
    void StoreDelimiter(const wxString& delimiter);
    // "InitialDir": the confirmed path's folder.
    void StoreInitialDir(const wxString& path);
    // The filter's descriptions and patterns.
    const std::vector<wxString>& Descriptions() const { return m_descriptions; }
    const std::vector<wxString>& Patterns() const { return m_patterns; }
    // The Browse button's dialog came back with a file (and the type it showed, from 0).
    virtual void OnBrowsed(const wxString& path, int filterIndex);
    virtual int GetBrowseFilterIndex() const { return 0; }

    wxTextCtrl* m_path = nullptr;
    wxComboBox* m_delimiter = nullptr;
    wxCheckBox* m_excel = nullptr;

private:
    void OnBrowse(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);

    std::vector<wxString> m_descriptions;
    std::vector<wxString> m_patterns;
};

// Execute and Save As: file types ADTG (1), delimited text (2) and XML (3).
class CExportDialogEx : public CExportDialogBase {
public:
    // filter: "ADTG Files (*.adtg)|*.adtg|Export Files (*.csv)|*.csv|XML Files (*.xml)|*.xml|";
    // path: the initial folder and file name.
    CExportDialogEx(wxWindow* parent, const wxString& title, const wxString& filter, const wxString& path);

    // The path with ".adtg", ".csv" or ".xml" for the file type when it has no extension.
    wxString GetPathName() const;
    int GetFileType() const { return m_nFileType; }
    void SetFileType(int fileType);
    wxCheckBox* GetPublishBox() const { return m_publish; }

    bool OnFileNameOK() override;
    // Enables the boxes the file type uses.
    void OnTypeChange();

    wxString m_strDelimiter = "|";
    int m_bExportToExcel = 0;
    wxString m_strPath;
    int m_bPublish = 0;
    int m_bExcelAvailable = 0;

private:
    void OnBrowsed(const wxString& path, int filterIndex) override;
    int GetBrowseFilterIndex() const override { return m_nFileType - 1; }

    wxChoice* m_fileType = nullptr;
    wxCheckBox* m_publish = nullptr;
    int m_nFileType;
};

// A results grid's export to a delimited file, with or without the field names.
class CExportDlg : public CExportDialogBase {
public:
    CExportDlg(wxWindow* parent, const wxString& title, const wxString& filter, const wxString& path);

    // The path with ".csv" when it has no extension.
    wxString GetPathName() const;
    wxCheckBox* GetColumnNamesBox() const { return m_columnNames; }

    bool OnFileNameOK() override;

    wxString m_strDelimiter = "|";
    int m_bColumnNames = 0;
    int m_bExportToExcel = 0;
    wxString m_strPath;
    int m_bExcelAvailable = 0;

private:
    wxCheckBox* m_columnNames = nullptr;
};
