// The properties window of the schema browser: one small floating frame for the whole program
// (CSchemaPropertiesSheetFrame), made the first time it is asked for and afterwards shown and
// hidden, holding the sheet (CSchemaPropertiesSheet) with the pages the selected node's kind
// calls for: General always; Connection String for the connection; Relationships, Indexes,
// Constraints and table permissions for tables; Indexes and table permissions for views;
// column permissions for columns. While the frame shows, the main window is disabled, so that
// the tree and the item data the pages borrow cannot change under them; every way of closing
// (the "Close" button, Esc, the window's close box) removes the pages but General, enables the
// main window again and hides the frame. Window thread only.
#pragma once

#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/weakref.h>

#include <memory>
#include <vector>

class CColumnPermPage;
class CConnectStringPage;
class CConstraintsPage;
class CIndexesKeysPage;
class CRelationshipsPage;
class CSchemaListPage;
class CSchemaPropertyPage;
class CTablePermPage;
class ISchemaHost;
class ISchemaTree;
class wxBookCtrlEvent;
class wxButton;
class wxImageList;
class wxNotebook;

enum class CPropertyPageKind {
    General,
    ConnectionString,
    Relationships,
    Indexes,
    Constraints,
    TablePermissions,
    ColumnPermissions,
};

class CSchemaPropertiesSheet : public wxPanel {
public:
    explicit CSchemaPropertiesSheet(wxWindow* parent);
    ~CSchemaPropertiesSheet() override;

    // Adds the pages of the node kind after General.
    void AddPagesForKind(int kind);
    // Adds the pages for the tree's caret item and fills them from it and the window (host);
    // false when filling failed, the pages filled so far staying.
    bool ShowObjectProperties(ISchemaTree& tree, ISchemaHost& host);
    // Makes the page the active one and loads it; false when the sheet does not carry it.
    bool SetActivePage(CPropertyPageKind page);
    // Resets and removes every page but General.
    void ResetPages();

    // "Connection Properties" or "Database Object Properties" after a fill.
    const wxString& GetCaption() const { return m_strCaption; }
    std::vector<CPropertyPageKind> GetPageKinds() const;
    CPropertyPageKind GetActivePageKind() const;
    wxNotebook* GetNotebook() const { return m_pNotebook; }
    wxButton* GetCloseButton() const { return m_pClose; }

    CSchemaPropertyPage* GetGeneralPage() const { return m_pGeneral; }
    CConnectStringPage* GetConnectStringPage() const { return m_pConnectString; }
    CRelationshipsPage* GetRelationshipsPage() const { return m_pRelationships; }
    CIndexesKeysPage* GetIndexesPage() const { return m_pIndexes; }
    CConstraintsPage* GetConstraintsPage() const { return m_pConstraints; }
    CTablePermPage* GetTablePermPage() const { return m_pTablePerm; }
    CColumnPermPage* GetColumnPermPage() const { return m_pColumnPerm; }

private:
    wxWindow* PageOf(CPropertyPageKind page) const;
    void AddPage(CPropertyPageKind page);
    void OnPageChanged(wxBookCtrlEvent& event);
    void LoadActivePage();

    std::unique_ptr<wxImageList> m_pImages;
    wxNotebook* m_pNotebook = nullptr;
    wxButton* m_pClose = nullptr;
    wxString m_strCaption;
    CSchemaPropertyPage* m_pGeneral = nullptr;
    CConnectStringPage* m_pConnectString = nullptr;
    CRelationshipsPage* m_pRelationships = nullptr;
    CIndexesKeysPage* m_pIndexes = nullptr;
    CConstraintsPage* m_pConstraints = nullptr;
    CTablePermPage* m_pTablePerm = nullptr;
    CColumnPermPage* m_pColumnPerm = nullptr;
};

class CSchemaPropertiesSheetFrame : public wxFrame {
public:
    // The program's one properties frame, made (hidden) over the main window when create is
    // true and there is none yet; null when there is none.
    static CSchemaPropertiesSheetFrame* Get(wxWindow* mainWindow, bool create);
    ~CSchemaPropertiesSheetFrame() override;

    CSchemaPropertiesSheet* GetSheet() const { return m_pSheet; }
    // The window that gets the keys back when the frame closes (the schema pane that opened it).
    void SetReturnFocus(wxWindow* window) { m_returnFocus = window; }
    // Resets the pages, enables the main window, hides the frame and gives the keys back.
    void ClosePropertiesFrame();

private:
    explicit CSchemaPropertiesSheetFrame(wxWindow* mainWindow);
    void OnClose(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);

    static CSchemaPropertiesSheetFrame* s_pFrame;
    CSchemaPropertiesSheet* m_pSheet = nullptr;
    wxWeakRef<wxWindow> m_returnFocus;
};
