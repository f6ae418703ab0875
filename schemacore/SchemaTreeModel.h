// The schema tree of a query window without its window: the connection node and its folders,
// lazy loading of each node on its first expansion from the connection's schema rowsets (tables,
// views, system tables, aliases and synonyms, temporary tables, procedures with their parameters
// and result columns, columns with their key marks and details), Refresh that keeps the shape of
// a branch, Show All Objects, the selection rules of the pane, and the row-limited SELECT for the
// caret's object or columns.
//
// The lists here own every node's item data; tree items only point at it, and a list entry never
// moves while it is listed. Loaders report their failures themselves (a stop-icon message) and
// return false; nodes loaded before a failure stay. Everything runs synchronously on the window
// thread, on the window's connection.
//
// Files: SchemaTreeModel.cpp (tree, refresh, selection), SchemaObjectLoaders.cpp (tables and
// procedures), SchemaColumnLoaders.cpp (columns, keys, column lists, statements),
// SchemaTreeCommands.cpp (the pane's commands: menu state, Copy, Design, column sorting,
// Expand All).
#pragma once

#include "MultiSelectTree.h"
#include "SchemaContextMenu.h"
#include "SchemaHost.h"
#include "SchemaNodeData.h"
#include "SchemaTree.h"

#include <wx/string.h>

#include <deque>
#include <exception>
#include <map>
#include <optional>
#include <set>
#include <vector>

class CSettingsStore;
class CSchemaRow;

class CSchemaTreeModel : public ITreeListener {
public:
    CSchemaTreeModel(ISchemaTree& tree, CMultiSelectTree& selection, ISchemaHost& host, CSettingsStore& store);
    ~CSchemaTreeModel();
    CSchemaTreeModel(const CSchemaTreeModel&) = delete;
    CSchemaTreeModel& operator=(const CSchemaTreeModel&) = delete;

    ISchemaTree& Tree() const { return m_tree; }
    CMultiSelectTree& Selection() const { return m_selection; }

    // ---- The tree (SchemaTreeModel.cpp) ----

    // Deletes every item and every cached item data, then inserts the connection node (bold,
    // selected, expanded, so that its folders appear).
    void ResetTree();
    // "<catalog> (<server>)", else the data source; "<Unknown>" when empty.
    wxString GetConnectionCaption() const;
    // Tables, Views, [System Tables, Aliases/Synonyms, Temporary Tables,] Procedures/Functions.
    bool AddFolderNodes(TreeItem connection);
    // Loads the children of one node by its kind; markLoaded marks it loaded on success.
    bool ExpandNode(int kind, TreeItem item, bool markLoaded);
    // Reloads a loaded node; its children that were expanded come back expanded (and sorted
    // columns sorted), one level deep. False when a reload failed ("<Exception occurred>").
    bool RefreshNode(TreeItem item);
    // Empties every object list, the column list and the kept column orders.
    void ClearCaches();

    // Refresh of the caret item: the connection node or a folder.
    void OnRefresh();
    bool CanRefresh() const;
    // Show All Objects for the caret item (the connection node or the Tables, Views or
    // Procedures/Functions folder); writes the four settings.
    void OnShowAllObjects();
    // Whether the caret's Show All flag is on (none for other kinds).
    std::optional<bool> GetShowAllState() const;

    // The pane's selection rules: several items can be selected only when they are columns of
    // one parent (the last selection parent).
    CMultiSelectTree::Press OnLButtonDown(TreeItem hit, CMultiSelectTree::Where where, bool shift, bool ctrl, int x,
                                          int y);
    // A navigation key; false when the control's own handling should run.
    bool OnKeyDown(CMultiSelectTree::Key key, bool shift);
    // The control moved the caret itself (keys it handles): the caret is the one selected item.
    void OnCaretMovedByControl();
    // Right press: a press on an unselected item in a multiple selection replaces it; with at
    // most one selected the item under the pointer is selected.
    void OnRButtonDown(TreeItem hit);
    TreeItem GetLastSelectionParent() const { return m_lastSelectionParent; }

    // ITreeListener
    void OnItemExpanding(TreeItem item) override;
    void OnItemCollapsing(TreeItem item) override;
    void OnItemDeleted(TreeItem item) override;

    // ---- Objects (SchemaObjectLoaders.cpp) ----

    // The TABLES rowset into the folder, filtered by TABLE_TYPE; throws on failure.
    bool LoadTables(int folderKind, TreeItem folder);
    bool LoadTablesGuarded(int folderKind, TreeItem folder);
    bool LoadProcedures(int nodeKind, TreeItem folder);
    bool LoadProceduresIfSupported(int nodeKind, TreeItem folder);
    bool LoadProcedureParameters(TreeItem procedure);

    // ---- Columns (SchemaColumnLoaders.cpp) ----

    bool LoadColumns(TreeItem node);
    bool GetPrimaryKeyColumns(const std::vector<_variant_t>& restrictions, std::set<wxString>& out);
    bool GetForeignKeyColumns(const CSchemaNodeData& table, std::set<wxString>& out);
    // The details of one column, parameter or result column from the row.
    static void ReadColumnDetails(CSchemaRow& row, CSchemaColumnData& data, bool isParameter, bool isResultColumn);
    // The table's quoted column names joined by ", " in the rowset's order.
    bool GetColumnList(const CSchemaNodeData& table, wxString& out);
    // The quoted names of the caret's column children in the tree's order.
    bool GetSelectedColumnList(wxString& out);

    // The SELECT for the caret's object or columns, rows as BuildRowLimitedSelect takes them;
    // empty when there is nothing to build. objectName receives the quoted object name (for a
    // column node: name + "." + column, or name + "._" for several).
    wxString BuildSelectStatement(int rows, wxString* objectName = nullptr);

    // ---- Commands (SchemaTreeCommands.cpp) ----

    // The caret's kind, the selection and the window's state, as the menus' rules read them
    // (the pane is taken as shown).
    CSchemaMenuState GetMenuState() const;
    // What Copy puts on the clipboard for the caret: an object's qualified name, the selected
    // columns' qualified names joined by ", ", a procedure's name, a parameter's name with its
    // direction; empty for other kinds, and for columns on a DBMS named "TEXT".
    wxString GetCopyText() const;
    // Design's query for an object (see ComposeObjectSourceQuery); always true.
    bool GetObjectSourceQuery(CSchemaNodeData& object, wxString& out, bool isProcedure);
    // Design's query for the caret: a view (6, 21, 22) or a procedure (8) with its item data;
    // empty while the window is busy and for every other node.
    wxString BuildObjectSourceQuery();

    // Sorts the columns of a table or view (the caret when item is none), loading them first
    // when they never were: ascending in the tree's order of texts, descending by the names'
    // characters; the node takes the sorted kind (19 to 22) and opens. The order as loaded is
    // kept first, for Restore. False when loading failed (kind and order unchanged).
    bool SortColumns(bool ascending, bool isView, TreeItem item = {});
    // SortColumns on the caret with "Please wait..." and the hourglass.
    void OnSortColumns(bool ascending, bool isView);
    // Keeps the order of the node's column children under its node key, unless one is kept.
    void SaveOriginalColumnOrder(TreeItem item);
    // Gives the caret's columns their kept order back, and the node its kind as loaded.
    void RestoreOriginalOrder();
    bool HasSavedOrder(const wxString& nodeKey) const { return m_savedOrders.count(nodeKey) != 0; }

    // Opens and loads the item and its following siblings with everything below them (the
    // first root item when none); false at the first load that fails.
    bool ExpandSubtree(TreeItem first);
    // ExpandSubtree of the whole tree with "Please wait...", the hourglass and redraw off; the
    // scroll position stays.
    bool ExpandAll();

    // The cached item data (the object lists by the kind of their nodes, and the column list).
    const std::deque<CSchemaNodeData>& GetObjectList(int childKind) const;
    const std::deque<CSchemaColumnData>& GetColumnDataList() const { return m_columns; }

    bool m_bShowAllRoot = true;
    bool m_bShowAllTables = true;
    bool m_bShowAllViews = true;
    bool m_bShowAllProcs = true;
    bool m_bFindRunning = false;
    bool m_bRefreshRunning = false;
    bool m_bExpandAllRunning = false;

private:
    // What a reload needs to know of the branch it replaces.
    struct CRefreshState {
        bool expanded = false;
        std::vector<CSchemaRefreshEntry> records; // the children that were loaded
    };
    // Records the children's shape, deletes them and marks the node unloaded.
    CRefreshState PrepareRefresh(TreeItem item);
    // Loads the node again and gives the children that were loaded their shape back.
    bool CompleteRefresh(TreeItem item, CRefreshState& state);
    // Loads an unloaded node as its expansion would, and expands it; the load's result.
    bool LoadByExpansion(TreeItem item);

    std::deque<CSchemaNodeData>& ObjectList(int childKind);
    TreeItem InsertMarker(TreeItem parent, const std::optional<wxString>& text, int kind);
    // Inserts the nodes in alphabetical order (ignoring case) among the parent's children.
    void InsertSorted(TreeItem parent, std::vector<std::pair<wxString, CSchemaNodeData*>>& nodes);
    TreeItem FindChild(TreeItem parent, const wxString& text) const;
    void RedrawOff();
    void RedrawOn();
    // Redraw back on before a message box.
    void EndBusyState();
    // The text of a load failure, shown after the busy state ends; false for the caller.
    bool ReportFailure(std::exception_ptr failure, bool memoryIsOutOfMemory);
    void WriteShowAllSettings();

    ISchemaTree& m_tree;
    CMultiSelectTree& m_selection;
    ISchemaHost& m_host;
    CSettingsStore& m_store;

    TreeItem m_lastSelectionParent;
    bool m_bRedrawOff = false;
    // The result of the last load started by an expansion.
    bool m_bLastLoadResult = true;

    std::map<int, std::deque<CSchemaNodeData>> m_objects;
    std::deque<CSchemaColumnData> m_columns;
    // The loaded column order of the nodes whose columns were sorted, by node key; it points
    // into m_columns.
    std::map<wxString, std::vector<CSchemaColumnData*>> m_savedOrders;
};
