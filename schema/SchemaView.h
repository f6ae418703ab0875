// The schema pane of a query window: the connection's objects as a tree (connection node,
// folders, objects, columns and parameters), loaded from the connection's schema rowsets on a
// node's first expansion, with Refresh, Show All Objects, multiple selection of sibling columns,
// Return All Rows / Return Top / Save As, which write a row-limited SELECT into the editor,
// select it and run it, Design, which runs the query of a view's or procedure's source text with
// the results in text, Copy of names, column sorting, Expand All / Collapse All and the schema
// font; a context menu per node kind. The logic lives in CSchemaTreeModel and the menus' rules
// in SchemaContextMenu; this class renders them, turns mouse, keys and menu commands into their
// calls, and stands for the query window towards them (ISchemaHost). Window thread only.
//
// Files: SchemaView.cpp (the host, mouse and keys, menus), SchemaViewCommands.cpp (commands).
#pragma once

#include "SchemaPropertiesSheet.h"
#include "schemacore/SchemaHost.h"
#include "schemacore/SchemaTreeModel.h"
#include "TVTreeView.h"

#include <memory>

struct CRunOptions;

class CChildFrame;
class wxMenu;

class CSchemaView : public CTVTreeView, public ISchemaHost {
public:
    CSchemaView(wxWindow* parent, CChildFrame* frame);
    ~CSchemaView() override;

    CSchemaTreeModel& Model() { return *m_pModel; }

    // Deletes every item and inserts the connection node, bold, selected and expanded.
    void ResetTree() override;
    // "<catalog> (<server>)", else the data source; "<Unknown>" when empty.
    wxString GetConnectionCaption() const { return m_pModel->GetConnectionCaption(); }

    // Appends the statement at the end of the window's editor as one undoable step and leaves it
    // selected: a blank line before it when the editor holds text, ";" after it for dialects that
    // end statements so, then the batch separator on a line of its own when one is set.
    void AppendToQueryEditor(const wxString& statement) override;
    // Appends the statement and runs it with the options.
    void AppendAndExecute(const wxString& statement, const CRunOptions& options);

    // Builds the SELECT for the caret's object or columns (rows: -1 all, 0 headings only, n at
    // most n), appends it and runs it, with results in grids for that run. Nothing while the
    // window executes or searches files; false when nothing ran.
    bool ReturnRows(int rows);
    // The commands of the pane.
    void OnReturnAllRows(wxCommandEvent& event);
    void OnReturnTopRows(wxCommandEvent& event);
    void OnFileSaveAs(wxCommandEvent& event);
    void OnRefresh(wxCommandEvent& event);
    void OnShowAllObjects(wxCommandEvent& event);
    // Properties and the commands that open the properties sheet on one page.
    void OnProperties(wxCommandEvent& event);

    // The program's properties frame, made when there is none yet and centred over the main
    // window; null when it cannot be made.
    CSchemaPropertiesSheetFrame* ShowConnectionProperties();
    // Fills the sheet for the caret item and shows the frame on the page, the main window
    // disabled meanwhile; nothing while the frame shows already.
    void ShowPropertiesPage(CPropertyPageKind page);

    // Design: the query of the caret view's or procedure's source text, appended and run with
    // the results in text for that run. Nothing while the window is busy or on other nodes.
    void OnDesign();
    // Copy: the caret's name text on the clipboard (an empty text too).
    void OnEditCopy(wxCommandEvent& event);
    // Font...: the schema font of every query window, kept in the profile.
    void OnViewFont(wxCommandEvent& event);
    // Sets the shared schema font (or the default one) on the tree.
    void ApplyFont();
    void OnExpandAll(wxCommandEvent& event);
    void OnCollapseAll(wxCommandEvent& event);
    void OnSortColumns(wxCommandEvent& event);
    void OnRestoreOriginalOrder(wxCommandEvent& event);

    // Whether a command of the pane can run now: a command of the query window's menus by their
    // rules, a context menu's command by the context menu's.
    bool IsCommandEnabled(int id) const;
    // The context menu for the caret's kind, with its items greyed and checked; null for kinds
    // without one. The caller owns it.
    wxMenu* CreateContextMenu() const;

private:
    // ISchemaHost
    CConnectionInfo& Connection() override;
    ado::RecordsetPtr OpenSchema(ado::SchemaEnum schema, const std::vector<_variant_t>& restrictions) override;
    wxString GetProviderErrorsText() override;
    wxString GetQuotePrefix() const override { return m_strQuotePrefix; }
    wxString GetQuoteSuffix() const override { return m_strQuoteSuffix; }
    wxString GetConnectionString() const override;
    bool IsConnectionOpen() const override;
    bool IsExecuting() const override;
    bool IsFindInFilesRunning() const override;
    bool IsBusy() const override;
    void SetStatusText(const wxString& text) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void ShowStopMessage(const wxString& text) override;
    void UpdateConnectionTitle() override;

    // The pane's rules in front of the multiple selection's: several items only among sibling
    // columns, a right press that keeps a multiple selection and opens the menu.
    CMultiSelectTree::Press HandleLButtonDown(TreeItem hit, CMultiSelectTree::Where where, bool shift, bool ctrl,
                                              const wxPoint& point) override;
    void HandleRButtonDown(TreeItem hit, CMultiSelectTree::Where where, const wxPoint& point) override;
    bool HandleNavigationKey(CMultiSelectTree::Key key, bool shift) override;
    // Enter, F8 (Refresh) and the menu keys.
    bool HandleKey(const wxKeyEvent& event) override;
    // A double click on a table, view or column returns its rows instead of opening it.
    bool OnItemActivated(TreeItem item) override;
    void OnCaretMovedByControl() override;

    CSchemaMenuState GetMenuState() const;
    wxWindow* GetMainWindow() const;
    void ShowContextMenu(const wxPoint& point);
    void OnContextMenu(wxContextMenuEvent& event);
    // Enter: Return All Rows on tables, views and selected columns; otherwise opens or closes.
    void OnEnterKey();
    void OnUpdateCommand(wxUpdateUIEvent& event);
    void OnUpdateDisabledCommand(wxUpdateUIEvent& event);

    CChildFrame* m_pFrame;
    std::unique_ptr<CSchemaTreeModel> m_pModel;
};
