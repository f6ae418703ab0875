#include "SchemaTreeModel.h"

#include "common/ErrorText.h"
#include "common/SettingsTable.h"

#include <algorithm>

namespace {

const char* const kPleaseWait = "Please wait...";
const char* const kExceptionOccurred = "<Exception occurred>";

struct Folder {
    const char* text;
    int kind;
};
const Folder kShowAllFolders[] = {
    {"System Tables", kindSystemTablesFolder},
    {"Aliases/Synonyms", kindAliasesFolder},
    {"Temporary Tables", kindTemporaryTablesFolder},
};

// The hourglass for as long as it lives.
class CWaitCursor {
public:
    explicit CWaitCursor(ISchemaHost& host, bool show = true) : m_host(host), m_show(show)
    {
        if (m_show)
            m_host.BeginWaitCursor();
    }
    ~CWaitCursor()
    {
        if (m_show)
            m_host.EndWaitCursor();
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    ISchemaHost& m_host;
    bool m_show;
};

} // namespace

CSchemaTreeModel::CSchemaTreeModel(ISchemaTree& tree, CMultiSelectTree& selection, ISchemaHost& host,
                                   CSettingsStore& store)
    : m_tree(tree), m_selection(selection), m_host(host), m_store(store)
{
    m_bShowAllRoot = settings::ReadInt(settings::ShowAllRoot, m_store) != 0;
    m_bShowAllTables = settings::ReadInt(settings::ShowAllTables, m_store) != 0;
    m_bShowAllViews = settings::ReadInt(settings::ShowAllViews, m_store) != 0;
    m_bShowAllProcs = settings::ReadInt(settings::ShowAllProcs, m_store) != 0;
}

CSchemaTreeModel::~CSchemaTreeModel() = default;

std::deque<CSchemaNodeData>& CSchemaTreeModel::ObjectList(int childKind)
{
    return m_objects[childKind];
}

const std::deque<CSchemaNodeData>& CSchemaTreeModel::GetObjectList(int childKind) const
{
    static const std::deque<CSchemaNodeData> none;
    auto it = m_objects.find(childKind);
    return it == m_objects.end() ? none : it->second;
}

void CSchemaTreeModel::ClearCaches()
{
    m_savedOrders.clear();
    m_objects.clear();
    m_columns.clear();
}

wxString CSchemaTreeModel::GetConnectionCaption() const
{
    const CConnectionInfo& c = m_host.Connection();
    wxString catalog = c.m_strCurrentCatalog;
    if (catalog.empty())
        catalog = c.m_strDataSource;
    wxString server = c.m_strServerName;
    if (server.empty())
        server = c.m_strDbmsNameUpper;
    const wxString caption =
        !catalog.empty() && !server.empty() ? wxString::Format("%s (%s)", catalog, server) : c.m_strDataSource;
    return caption.empty() ? wxString("<Unknown>") : caption;
}

void CSchemaTreeModel::ResetTree()
{
    CTreeUpdateLock lock(m_tree);
    // Items go before the data they point at.
    m_tree.DeleteAll();
    ClearCaches();
    const TreeItem root = m_tree.AppendItem({}, GetConnectionCaption(), kindConnection, true, nullptr);
    m_tree.SetBold(root, true);
    m_selection.SelectOnly(root);
    m_lastSelectionParent = {};
    m_tree.Expand(root);
}

bool CSchemaTreeModel::AddFolderNodes(TreeItem connection)
{
    m_tree.AppendItem(connection, wxString("Tables"), kindTablesFolder, true, nullptr);
    m_tree.AppendItem(connection, wxString("Views"), kindViewsFolder, true, nullptr);
    if (m_bShowAllRoot) {
        for (const Folder& f : kShowAllFolders)
            m_tree.AppendItem(connection, wxString(f.text), f.kind, true, nullptr);
    }
    m_tree.AppendItem(connection, wxString("Procedures/Functions"), kindProceduresFolder, true, nullptr);
    return true;
}

void CSchemaTreeModel::RedrawOff()
{
    if (!m_bRedrawOff) {
        m_bRedrawOff = true;
        m_tree.BeginUpdate();
    }
}

void CSchemaTreeModel::RedrawOn()
{
    if (m_bRedrawOff) {
        m_bRedrawOff = false;
        m_tree.EndUpdate();
    }
}

void CSchemaTreeModel::EndBusyState()
{
    RedrawOn();
}

void CSchemaTreeModel::OnItemExpanding(TreeItem item)
{
    if (m_tree.IsLoaded(item))
        return;
    const int kind = m_tree.GetKind(item);
    if (kind == kindConnection) {
        AddFolderNodes(item);
        m_tree.SetLoaded(item, true);
        return;
    }
    // Nothing is read while a query runs on the connection; the node stays unloaded, so that
    // a later expansion loads it.
    if (m_host.IsExecuting())
        return;
    CWaitCursor wait(m_host, !m_bFindRunning);
    const bool manage = !m_bRefreshRunning && !m_bFindRunning && !m_bExpandAllRunning;
    if (manage) {
        m_host.SetStatusText(kPleaseWait);
        RedrawOff();
    }
    m_bLastLoadResult = ExpandNode(kind, item, false);
    // Also after a failure: the node stays as far as it got until it is refreshed.
    m_tree.SetLoaded(item, true);
    if (manage) {
        m_host.SetStatusText(wxString());
        RedrawOn();
        const auto [x, y] = m_tree.GetScrollPosition();
        if (x != 0)
            m_tree.SetScrollPosition(0, y);
    }
}

void CSchemaTreeModel::OnItemCollapsing(TreeItem item)
{
    m_selection.OnItemCollapsing(item);
}

void CSchemaTreeModel::OnItemDeleted(TreeItem item)
{
    m_selection.OnItemDeleted(item);
    if (m_lastSelectionParent == item)
        m_lastSelectionParent = {};
    // A node that goes takes its kept column order with it: reloaded, its columns may differ,
    // and a Restore must not bring back names of columns that are no more.
    if (const auto* data = dynamic_cast<const CSchemaNodeData*>(m_tree.GetData(item)))
        m_savedOrders.erase(GetNodeKey(*data));
}

bool CSchemaTreeModel::ExpandNode(int kind, TreeItem item, bool markLoaded)
{
    bool loaded = false;
    switch (kind) {
    case kindTablesFolder:
    case kindViewsFolder:
    case kindSystemTablesFolder:
    case kindAliasesFolder:
    case kindTemporaryTablesFolder: loaded = LoadTablesGuarded(kind, item); break;
    case kindTable:
    case kindView:
    case kindSystemTable:
    case kindAlias:
    case kindTemporaryTable: loaded = LoadColumns(item); break;
    case kindProceduresFolder: loaded = LoadProceduresIfSupported(kindProcedure, item); break;
    case kindProcedure: loaded = LoadProcedureParameters(item); break;
    default: return false;
    }
    if (loaded && markLoaded)
        m_tree.SetLoaded(item, true);
    return loaded;
}

TreeItem CSchemaTreeModel::InsertMarker(TreeItem parent, const std::optional<wxString>& text, int kind)
{
    const wxString label = text ? *text : wxString("<No Data>");
    TreeItem after;
    for (TreeItem child = m_tree.GetFirstChild(parent); child; child = m_tree.GetNextSibling(child)) {
        if (CompareNoCase(m_tree.GetText(child), label) > 0)
            break;
        after = child;
    }
    if (!after && !m_tree.GetFirstChild(parent))
        return m_tree.AppendItem(parent, text, kind, false, nullptr);
    return m_tree.InsertItemAfter(parent, after, label, kind, false, nullptr);
}

void CSchemaTreeModel::InsertSorted(TreeItem parent, std::vector<std::pair<wxString, CSchemaNodeData*>>& nodes)
{
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const auto& a, const auto& b) { return CompareNoCase(a.first, b.first) < 0; });
    // A node being loaded has no children yet; should it have some, each goes to its place.
    if (!m_tree.GetFirstChild(parent)) {
        for (auto& [text, data] : nodes)
            m_tree.AppendItem(parent, std::move(text), data->m_nKind, true, data);
    } else {
        for (auto& [text, data] : nodes) {
            TreeItem after;
            for (TreeItem child = m_tree.GetFirstChild(parent); child; child = m_tree.GetNextSibling(child)) {
                if (CompareNoCase(m_tree.GetText(child), text) > 0)
                    break;
                after = child;
            }
            m_tree.InsertItemAfter(parent, after, text, data->m_nKind, true, data);
        }
    }
    nodes.clear();
}

TreeItem CSchemaTreeModel::FindChild(TreeItem parent, const wxString& text) const
{
    for (TreeItem child = m_tree.GetFirstChild(parent); child; child = m_tree.GetNextSibling(child)) {
        if (m_tree.GetText(child).IsSameAs(text, false))
            return child;
    }
    return {};
}

CSchemaTreeModel::CRefreshState CSchemaTreeModel::PrepareRefresh(TreeItem item)
{
    CRefreshState state;
    state.expanded = m_tree.IsExpanded(item);
    for (TreeItem child = m_tree.GetFirstChild(item); child; child = m_tree.GetNextSibling(child)) {
        if (m_tree.IsLoaded(child))
            state.records.push_back({m_tree.GetText(child), m_tree.GetKind(child), m_tree.IsExpanded(child)});
    }
    m_tree.DeleteChildren(item);
    m_tree.SetLoaded(item, false);
    return state;
}

bool CSchemaTreeModel::LoadByExpansion(TreeItem item)
{
    m_bLastLoadResult = true;
    OnItemExpanding(item);
    m_tree.Expand(item);
    return m_bLastLoadResult;
}

bool CSchemaTreeModel::CompleteRefresh(TreeItem item, CRefreshState& state)
{
    if (!LoadByExpansion(item)) {
        InsertMarker(item, wxString(kExceptionOccurred), kindMarker);
        return false;
    }
    if (!state.expanded)
        m_tree.Collapse(item);
    bool result = true;
    for (TreeItem child = m_tree.GetFirstChild(item); child; child = m_tree.GetNextSibling(child)) {
        const wxString text = m_tree.GetText(child);
        auto record = std::find_if(state.records.begin(), state.records.end(),
                                   [&](const CSchemaRefreshEntry& r) { return r.m_strText == text; });
        // Only what was loaded before is loaded again.
        if (record == state.records.end())
            continue;
        const bool expanded = record->m_bExpanded;
        const int kind = record->m_nKind;
        state.records.erase(record);
        result = LoadByExpansion(child);
        if (!result) {
            InsertMarker(child, wxString(kExceptionOccurred), kindMarker);
            return false;
        }
        // Sorted columns come back sorted the same way; the node keeps its open or closed state.
        if (IsSortedKind(kind))
            SortColumns(kind == kindTableSortedAscending || kind == kindViewSortedAscending,
                        kind == kindViewSortedAscending || kind == kindViewSortedDescending, child);
        if (!expanded)
            m_tree.Collapse(child);
    }
    return result;
}

bool CSchemaTreeModel::RefreshNode(TreeItem item)
{
    if (!m_tree.IsLoaded(item))
        return true;
    CRefreshState state = PrepareRefresh(item);
    return CompleteRefresh(item, state);
}

bool CSchemaTreeModel::CanRefresh() const
{
    const TreeItem caret = m_tree.GetCaret();
    if (!caret || !m_host.IsConnectionOpen() || m_host.IsExecuting())
        return false;
    const int kind = m_tree.GetKind(caret);
    return kind == kindConnection || IsFolderKind(kind);
}

void CSchemaTreeModel::OnRefresh()
{
    CWaitCursor wait(m_host);
    m_bRefreshRunning = true;
    m_host.SetStatusText(kPleaseWait);
    const TreeItem caret = m_tree.GetCaret();
    const int kind = caret ? m_tree.GetKind(caret) : -1;
    if (kind == kindConnection || IsFolderKind(kind)) {
        RedrawOff();
        const auto [scrollX, scrollY] = m_tree.GetScrollPosition();
        if (kind == kindConnection) {
            m_host.UpdateConnectionTitle();
            m_tree.SetText(caret, GetConnectionCaption());
            // Every node below the folders goes before the data it points at is released; a
            // folder after one whose reload fails stays unloaded, to load on its next expansion.
            std::vector<std::pair<TreeItem, CRefreshState>> folders;
            for (TreeItem folder = m_tree.GetFirstChild(caret); folder; folder = m_tree.GetNextSibling(folder)) {
                if (m_tree.IsLoaded(folder))
                    folders.emplace_back(folder, PrepareRefresh(folder));
            }
            ClearCaches();
            bool ok = true;
            for (auto& [folder, state] : folders) {
                if (ok)
                    ok = CompleteRefresh(folder, state);
                else
                    m_tree.Collapse(folder);
            }
        } else {
            CRefreshState state;
            const bool loaded = m_tree.IsLoaded(caret);
            if (loaded)
                state = PrepareRefresh(caret);
            ObjectList(ChildKindOfFolder(kind)).clear();
            if (loaded)
                CompleteRefresh(caret, state);
        }
        m_tree.SetScrollPosition(scrollX, scrollY);
        RedrawOn();
        m_tree.EnsureVisible(caret);
    }
    m_bRefreshRunning = false;
    m_host.SetStatusText(wxString());
}

std::optional<bool> CSchemaTreeModel::GetShowAllState() const
{
    const TreeItem caret = m_tree.GetCaret();
    switch (caret ? m_tree.GetKind(caret) : -1) {
    case kindConnection: return m_bShowAllRoot;
    case kindTablesFolder: return m_bShowAllTables;
    case kindViewsFolder: return m_bShowAllViews;
    case kindProceduresFolder: return m_bShowAllProcs;
    default: return std::nullopt;
    }
}

void CSchemaTreeModel::OnShowAllObjects()
{
    CWaitCursor wait(m_host);
    const TreeItem caret = m_tree.GetCaret();
    switch (caret ? m_tree.GetKind(caret) : -1) {
    case kindConnection: {
        m_bShowAllRoot = !m_bShowAllRoot;
        m_bShowAllTables = m_bShowAllViews = m_bShowAllProcs = m_bShowAllRoot;
        if (m_bShowAllRoot) {
            TreeItem after = FindChild(caret, "Views");
            if (after) {
                for (const Folder& f : kShowAllFolders)
                    after = m_tree.InsertItemAfter(caret, after, f.text, f.kind, true, nullptr);
            }
        } else {
            CTreeUpdateLock lock(m_tree);
            for (const Folder& f : kShowAllFolders) {
                while (TreeItem folder = FindChild(caret, f.text)) {
                    // Its objects' data goes with it.
                    m_tree.Delete(folder);
                    ObjectList(ChildKindOfFolder(f.kind)).clear();
                }
            }
        }
        break;
    }
    case kindTablesFolder: m_bShowAllTables = !m_bShowAllTables; break;
    case kindViewsFolder: m_bShowAllViews = !m_bShowAllViews; break;
    case kindProceduresFolder: m_bShowAllProcs = !m_bShowAllProcs; break;
    default: return;
    }
    OnRefresh();
    WriteShowAllSettings();
}

void CSchemaTreeModel::WriteShowAllSettings()
{
    settings::WriteInt(settings::ShowAllRoot, m_bShowAllRoot ? 1 : 0, m_store);
    settings::WriteInt(settings::ShowAllTables, m_bShowAllTables ? 1 : 0, m_store);
    settings::WriteInt(settings::ShowAllViews, m_bShowAllViews ? 1 : 0, m_store);
    settings::WriteInt(settings::ShowAllProcs, m_bShowAllProcs ? 1 : 0, m_store);
}

bool CSchemaTreeModel::ReportFailure(std::exception_ptr failure, bool memoryIsOutOfMemory)
{
    wxString text;
    try {
        std::rethrow_exception(failure);
    } catch (const _com_error& e) {
        text = m_host.GetProviderErrorsText();
        if (text.empty())
            text = GetComErrorText(e);
    } catch (const std::bad_alloc&) {
        text = memoryIsOutOfMemory ? "Out-of-memory." : "Errors occurred.";
    } catch (const std::exception& e) {
        text = wxString::FromUTF8(e.what());
    } catch (...) {
        text = "Errors occurred.";
    }
    EndBusyState();
    m_host.ShowStopMessage(text);
    return false;
}

CMultiSelectTree::Press CSchemaTreeModel::OnLButtonDown(TreeItem hit, CMultiSelectTree::Where where, bool shift,
                                                        bool ctrl, int x, int y)
{
    if (!hit)
        return CMultiSelectTree::Press::Default;
    if (where == CMultiSelectTree::Where::Button ||
        (IsColumnKind(m_tree.GetKind(hit)) && m_tree.GetParent(hit) == m_lastSelectionParent))
        return m_selection.OnLButtonDown(hit, where, shift, ctrl, x, y);
    m_selection.SelectItemOnClick(hit, false, false, x, y);
    m_lastSelectionParent = m_tree.GetParent(hit);
    return CMultiSelectTree::Press::Handled;
}

bool CSchemaTreeModel::OnKeyDown(CMultiSelectTree::Key key, bool shift)
{
    const TreeItem oldCaret = m_tree.GetCaret();
    const TreeItem target = m_selection.KeyTarget(key);
    if (!target)
        return m_selection.OnKeyDown(key, shift);
    const TreeItem parent = m_tree.GetParent(target);
    if (IsColumnKind(m_tree.GetKind(target)) && parent == m_lastSelectionParent)
        return m_selection.OnKeyDown(key, shift);
    const bool keep =
        oldCaret && parent == m_tree.GetParent(oldCaret) && (target == oldCaret || IsColumnKind(m_tree.GetKind(target)));
    if (!keep)
        m_selection.ClearSelection();
    m_tree.SetCaret(target);
    if (!m_tree.IsSelected(target))
        m_tree.SetSelected(target, true);
    m_selection.SetAnchor(target);
    m_lastSelectionParent = parent;
    m_tree.EnsureVisible(target);
    return true;
}

void CSchemaTreeModel::OnCaretMovedByControl()
{
    const TreeItem caret = m_tree.GetCaret();
    m_selection.SetAnchor(caret);
    m_lastSelectionParent = caret ? m_tree.GetParent(caret) : TreeItem();
}

void CSchemaTreeModel::OnRButtonDown(TreeItem hit)
{
    if (!hit)
        return;
    if (m_selection.GetSelectedCount(true) > 1 && m_tree.IsSelected(hit))
        return;
    m_selection.SelectOnly(hit);
    m_lastSelectionParent = m_tree.GetParent(hit);
}
