#include "SchemaTreeModel.h"

#include "common/IdentifierText.h"
#include "ObjectSourceQuery.h"

namespace {

const char* const kPleaseWait = "Please wait...";

// "Please wait..." and the hourglass for as long as it lives.
class CBusyState {
public:
    explicit CBusyState(ISchemaHost& host) : m_host(host)
    {
        m_host.BeginWaitCursor();
        m_host.SetStatusText(kPleaseWait);
    }
    ~CBusyState()
    {
        m_host.SetStatusText(wxString());
        m_host.EndWaitCursor();
    }
    CBusyState(const CBusyState&) = delete;
    CBusyState& operator=(const CBusyState&) = delete;

private:
    ISchemaHost& m_host;
};

// What a column node sorts by: its column's name, or its text when it carries no column.
wxString SortName(const ISchemaTree& tree, TreeItem item)
{
    if (const auto* column = dynamic_cast<const CSchemaColumnData*>(tree.GetData(item)))
        return column->m_strName;
    return tree.GetText(item);
}

} // namespace

CSchemaMenuState CSchemaTreeModel::GetMenuState() const
{
    CSchemaMenuState state;
    const TreeItem caret = m_tree.GetCaret();
    state.kind = caret ? m_tree.GetKind(caret) : -1;
    state.selected = m_selection.GetSelectedCount(true);
    state.connectionOpen = m_host.IsConnectionOpen();
    state.executing = m_host.IsExecuting();
    state.findInFiles = m_host.IsFindInFilesRunning();
    state.loaded = caret && m_tree.IsLoaded(caret);
    state.showAll = GetShowAllState().value_or(false);
    return state;
}

wxString CSchemaTreeModel::GetCopyText() const
{
    const TreeItem caret = m_tree.GetCaret();
    if (!caret)
        return wxString();
    const int kind = m_tree.GetKind(caret);
    const wxString prefix = m_host.GetQuotePrefix(), suffix = m_host.GetQuoteSuffix();
    if (IsTableLikeKind(kind)) {
        const auto* data = dynamic_cast<const CSchemaNodeData*>(m_tree.GetData(caret));
        return data ? QuoteQualifiedName(data->m_strSchema, data->m_strName, prefix, suffix) : wxString();
    }
    if (IsColumnKind(kind)) {
        if (m_host.Connection().m_strDbmsNameUpper.IsSameAs("TEXT", false))
            return wxString();
        const TreeItem parent = m_tree.GetParent(caret);
        const auto* table = parent ? dynamic_cast<const CSchemaNodeData*>(m_tree.GetData(parent)) : nullptr;
        if (!table)
            return wxString();
        const wxString name = QuoteQualifiedName(table->m_strSchema, table->m_strName, prefix, suffix);
        if (m_selection.GetSelectedCount(true) < 2)
            return name + "." + QuoteIdentifier(m_tree.GetText(caret), prefix, suffix);
        wxString text;
        for (TreeItem child = m_tree.GetFirstChild(parent); child; child = m_tree.GetNextSibling(child)) {
            if (m_tree.IsSelected(child))
                text += name + "." + QuoteIdentifier(m_tree.GetText(child), prefix, suffix) + ", ";
        }
        if (!text.empty())
            text.RemoveLast(2);
        return text;
    }
    if (kind == kindProcedure) {
        const auto* data = dynamic_cast<const CSchemaNodeData*>(m_tree.GetData(caret));
        if (!data)
            return wxString();
        // A T-SQL server lists procedures with their group number (";1").
        return m_host.Connection().m_bTSql ? data->m_strName.BeforeFirst(';') : data->m_strName;
    }
    if (kind == kindParameter) {
        // The name with its direction or " (Result Column)", which the node itself leaves out.
        const auto* data = dynamic_cast<const CSchemaColumnData*>(m_tree.GetData(caret));
        return data ? data->m_strName : m_tree.GetText(caret);
    }
    return wxString();
}

bool CSchemaTreeModel::GetObjectSourceQuery(CSchemaNodeData& object, wxString& out, bool isProcedure)
{
    const CSelectDialect dialect = CSelectDialect::FromConnection(m_host.Connection(), m_host.GetConnectionString());
    out = ComposeObjectSourceQuery(dialect, m_host.GetQuotePrefix(), m_host.GetQuoteSuffix(), object, isProcedure);
    return true;
}

wxString CSchemaTreeModel::BuildObjectSourceQuery()
{
    if (m_host.IsBusy())
        return wxString();
    const TreeItem caret = m_tree.GetCaret();
    const int kind = caret ? m_tree.GetKind(caret) : -1;
    if (kind != kindView && kind != kindProcedure && kind != kindViewSortedAscending &&
        kind != kindViewSortedDescending)
        return wxString();
    auto* data = dynamic_cast<CSchemaNodeData*>(m_tree.GetData(caret));
    if (!data)
        return wxString();
    wxString sql;
    GetObjectSourceQuery(*data, sql, kind == kindProcedure);
    return sql;
}

bool CSchemaTreeModel::SortColumns(bool ascending, bool isView, TreeItem item)
{
    if (!item)
        item = m_tree.GetCaret();
    if (!item)
        return false;
    if (!m_tree.IsLoaded(item) && !m_bRefreshRunning) {
        if (!ExpandNode(m_tree.GetKind(item), item, true))
            return false;
    }
    SaveOriginalColumnOrder(item);
    if (ascending) {
        m_tree.SortChildren(item, [this](TreeItem a, TreeItem b) {
            return CompareNoCase(m_tree.GetText(a), m_tree.GetText(b)) < 0;
        });
    } else {
        // Case-sensitive, second against first: the names' characters in descending order.
        m_tree.SortChildren(item, [this](TreeItem a, TreeItem b) {
            return SortName(m_tree, b).compare(SortName(m_tree, a)) < 0;
        });
    }
    if (isView)
        m_tree.SetKind(item, ascending ? kindViewSortedAscending : kindViewSortedDescending);
    else
        m_tree.SetKind(item, ascending ? kindTableSortedAscending : kindTableSortedDescending);
    if (!m_tree.IsExpanded(item)) {
        CTreeUpdateLock lock(m_tree);
        m_tree.Expand(item);
    }
    return true;
}

void CSchemaTreeModel::OnSortColumns(bool ascending, bool isView)
{
    CBusyState busy(m_host);
    SortColumns(ascending, isView);
}

void CSchemaTreeModel::SaveOriginalColumnOrder(TreeItem item)
{
    const auto* data = dynamic_cast<const CSchemaNodeData*>(m_tree.GetData(item));
    if (!data)
        return;
    const wxString key = GetNodeKey(*data);
    // The first order kept wins: it is the order as loaded.
    if (m_savedOrders.count(key))
        return;
    std::vector<CSchemaColumnData*> order;
    for (TreeItem child = m_tree.GetFirstChild(item); child; child = m_tree.GetNextSibling(child)) {
        if (auto* column = dynamic_cast<CSchemaColumnData*>(m_tree.GetData(child)))
            order.push_back(column);
    }
    if (!order.empty())
        m_savedOrders.emplace(key, std::move(order));
}

void CSchemaTreeModel::RestoreOriginalOrder()
{
    CBusyState busy(m_host);
    const TreeItem caret = m_tree.GetCaret();
    const auto* data = caret ? dynamic_cast<const CSchemaNodeData*>(m_tree.GetData(caret)) : nullptr;
    if (!data)
        return;
    auto saved = m_savedOrders.find(GetNodeKey(*data));
    if (saved != m_savedOrders.end()) {
        TreeItem child = m_tree.GetFirstChild(caret);
        if (child && m_tree.GetKind(child) != kindMarker) {
            // The items keep their places; each shows and carries the next column as loaded.
            CTreeUpdateLock lock(m_tree);
            for (auto column = saved->second.begin(); child && column != saved->second.end();
                 child = m_tree.GetNextSibling(child), ++column) {
                m_tree.SetText(child, (*column)->m_strName);
                m_tree.SetKind(child, (*column)->m_nKind);
                m_tree.SetData(child, *column);
            }
        }
        m_savedOrders.erase(saved);
    }
    m_tree.SetKind(caret, data->m_nKind);
}

bool CSchemaTreeModel::ExpandSubtree(TreeItem first)
{
    TreeItem item = first ? first : m_tree.GetRoot();
    for (; item; item = m_tree.GetNextSibling(item)) {
        if (!m_tree.HasButton(item))
            continue;
        m_bLastLoadResult = true;
        m_tree.Expand(item);
        if (!m_bLastLoadResult)
            return false;
        if (const TreeItem child = m_tree.GetFirstChild(item); child && !ExpandSubtree(child))
            return false;
    }
    return true;
}

bool CSchemaTreeModel::ExpandAll()
{
    CBusyState busy(m_host);
    m_bExpandAllRunning = true;
    const auto [x, y] = m_tree.GetScrollPosition();
    bool result = false;
    {
        CTreeUpdateLock lock(m_tree);
        result = ExpandSubtree({});
    }
    m_tree.SetScrollPosition(x, y);
    m_bExpandAllRunning = false;
    return result;
}
