#include "SchemaTreeStore.h"

#include <algorithm>

CSchemaTreeStore::~CSchemaTreeStore() = default;

CSchemaTreeStore::Node* CSchemaTreeStore::NewNode()
{
    if (!m_free.empty()) {
        Node* node = m_free.back();
        m_free.pop_back();
        return node;
    }
    return &m_pool.emplace_back();
}

void CSchemaTreeStore::Changed(bool layout)
{
    if (layout)
        m_bRowsValid = false;
    if (m_nUpdateDepth > 0) {
        m_bChangedWhileUpdating = true;
        m_bLayoutWhileUpdating = m_bLayoutWhileUpdating || layout;
        return;
    }
    if (m_pDisplay)
        m_pDisplay->OnTreeChanged(layout);
}

TreeItem CSchemaTreeStore::GetRoot() const
{
    return T(m_pRoot);
}

TreeItem CSchemaTreeStore::GetParent(TreeItem item) const
{
    return item ? T(N(item)->parent) : TreeItem();
}

TreeItem CSchemaTreeStore::GetFirstChild(TreeItem item) const
{
    return item && !N(item)->children.empty() ? T(N(item)->children.front()) : TreeItem();
}

TreeItem CSchemaTreeStore::GetLastChild(TreeItem item) const
{
    return item && !N(item)->children.empty() ? T(N(item)->children.back()) : TreeItem();
}

TreeItem CSchemaTreeStore::GetNextSibling(TreeItem item) const
{
    const Node* node = N(item);
    if (!node || !node->parent || node->index + 1 >= node->parent->children.size())
        return {};
    return T(node->parent->children[node->index + 1]);
}

TreeItem CSchemaTreeStore::GetPrevSibling(TreeItem item) const
{
    const Node* node = N(item);
    if (!node || !node->parent || node->index == 0)
        return {};
    return T(node->parent->children[node->index - 1]);
}

wxString CSchemaTreeStore::GetText(TreeItem item) const
{
    return N(item)->text;
}

void CSchemaTreeStore::SetText(TreeItem item, const wxString& text)
{
    N(item)->text = text;
    N(item)->textWidth = -1;
    Changed(true);
}

int CSchemaTreeStore::GetKind(TreeItem item) const
{
    return N(item)->kind;
}

void CSchemaTreeStore::SetKind(TreeItem item, int kind)
{
    N(item)->kind = kind;
    Changed(false);
}

CSchemaItemData* CSchemaTreeStore::GetData(TreeItem item) const
{
    return N(item)->data;
}

void CSchemaTreeStore::SetData(TreeItem item, CSchemaItemData* data)
{
    N(item)->data = data;
}

bool CSchemaTreeStore::HasButton(TreeItem item) const
{
    return N(item)->button || !N(item)->children.empty();
}

void CSchemaTreeStore::SetBold(TreeItem item, bool bold)
{
    N(item)->bold = bold;
    N(item)->textWidth = -1;
    Changed(true);
}

bool CSchemaTreeStore::IsBold(TreeItem item) const
{
    return N(item)->bold;
}

bool CSchemaTreeStore::IsExpanded(TreeItem item) const
{
    return N(item)->expanded;
}

void CSchemaTreeStore::Expand(TreeItem item)
{
    Node* node = N(item);
    if (node->expanded || !HasButton(item))
        return;
    if (m_pListener)
        m_pListener->OnItemExpanding(item);
    node->expanded = true;
    Changed(true);
}

void CSchemaTreeStore::Collapse(TreeItem item)
{
    Node* node = N(item);
    if (!node->expanded)
        return;
    if (m_pListener)
        m_pListener->OnItemCollapsing(item);
    node->expanded = false;
    // A caret hidden inside goes to the item that closed.
    for (Node* at = N(m_caret) ? N(m_caret)->parent : nullptr; at; at = at->parent) {
        if (at == node) {
            m_caret = item;
            break;
        }
    }
    Changed(true);
}

void CSchemaTreeStore::Toggle(TreeItem item)
{
    if (IsExpanded(item))
        Collapse(item);
    else
        Expand(item);
}

bool CSchemaTreeStore::IsLoaded(TreeItem item) const
{
    return N(item)->loaded;
}

void CSchemaTreeStore::SetLoaded(TreeItem item, bool loaded)
{
    N(item)->loaded = loaded;
}

bool CSchemaTreeStore::IsSelected(TreeItem item) const
{
    return N(item)->selected;
}

void CSchemaTreeStore::SetSelected(TreeItem item, bool selected)
{
    N(item)->selected = selected;
    Changed(false);
}

void CSchemaTreeStore::SetCaret(TreeItem item)
{
    m_caret = item;
    Changed(false);
}

void CSchemaTreeStore::Renumber(Node* parent, size_t from)
{
    for (size_t i = from; i < parent->children.size(); ++i)
        parent->children[i]->index = i;
}

TreeItem CSchemaTreeStore::Insert(TreeItem parent, size_t index, wxString text, int kind, bool button,
                                  CSchemaItemData* data)
{
    if (!parent && m_pRoot)
        return {};
    Node* node = NewNode();
    *node = Node();
    node->text = std::move(text);
    node->kind = kind;
    node->button = button;
    node->data = data;
    if (!parent) {
        m_pRoot = node;
    } else {
        node->parent = N(parent);
        node->depth = N(parent)->depth + 1;
        auto& children = N(parent)->children;
        index = std::min(index, children.size());
        children.insert(children.begin() + static_cast<std::ptrdiff_t>(index), node);
        Renumber(N(parent), index);
    }
    Changed(true);
    return T(node);
}

TreeItem CSchemaTreeStore::AppendItem(TreeItem parent, std::optional<wxString> text, int kind, bool button,
                                      CSchemaItemData* data)
{
    return Insert(parent, parent ? N(parent)->children.size() : 0, text ? std::move(*text) : wxString("<No Data>"),
                  kind, button, data);
}

TreeItem CSchemaTreeStore::InsertItemAfter(TreeItem parent, TreeItem after, wxString text, int kind, bool button,
                                           CSchemaItemData* data)
{
    return Insert(parent, after ? N(after)->index + 1 : 0, std::move(text), kind, button, data);
}

void CSchemaTreeStore::Remove(Node* node)
{
    for (Node* child : node->children)
        Remove(child);
    node->children.clear();
    if (m_pListener)
        m_pListener->OnItemDeleted(T(node));
    if (m_caret == T(node))
        m_caret = {};
    node->parent = nullptr;
    node->data = nullptr;
    m_free.push_back(node);
}

void CSchemaTreeStore::Delete(TreeItem item)
{
    Node* node = N(item);
    Node* parent = node->parent;
    Remove(node);
    if (parent) {
        parent->children.erase(parent->children.begin() + static_cast<std::ptrdiff_t>(node->index));
        Renumber(parent, node->index);
    } else {
        m_pRoot = nullptr;
    }
    Changed(true);
}

void CSchemaTreeStore::SortChildren(TreeItem item, const std::function<bool(TreeItem, TreeItem)>& less)
{
    std::vector<Node*>& children = N(item)->children;
    std::stable_sort(children.begin(), children.end(), [&less](Node* a, Node* b) { return less(T(a), T(b)); });
    Renumber(N(item), 0);
    Changed(true);
}

void CSchemaTreeStore::DeleteChildren(TreeItem item)
{
    Node* node = N(item);
    for (Node* child : node->children)
        Remove(child);
    node->children.clear();
    Changed(true);
}

void CSchemaTreeStore::DeleteAll()
{
    if (m_pRoot)
        Delete(T(m_pRoot));
}

void CSchemaTreeStore::BeginUpdate()
{
    if (m_nUpdateDepth++ == 0) {
        m_bChangedWhileUpdating = false;
        m_bLayoutWhileUpdating = false;
    }
    if (m_pDisplay)
        m_pDisplay->BeginUpdate();
}

void CSchemaTreeStore::EndUpdate()
{
    if (m_nUpdateDepth > 0 && --m_nUpdateDepth == 0 && m_bChangedWhileUpdating && m_pDisplay)
        m_pDisplay->OnTreeChanged(m_bLayoutWhileUpdating);
    if (m_pDisplay)
        m_pDisplay->EndUpdate();
}

std::pair<int, int> CSchemaTreeStore::GetScrollPosition() const
{
    return m_pDisplay ? m_pDisplay->GetScrollPosition() : std::pair<int, int>(m_nScrollX, m_nScrollY);
}

void CSchemaTreeStore::SetScrollPosition(int x, int y)
{
    if (m_pDisplay) {
        m_pDisplay->SetScrollPosition(x, y);
    } else {
        m_nScrollX = x;
        m_nScrollY = y;
    }
}

void CSchemaTreeStore::EnsureVisible(TreeItem item)
{
    if (!item)
        return;
    std::vector<Node*> parents;
    for (Node* parent = N(item)->parent; parent; parent = parent->parent)
        parents.push_back(parent);
    for (auto it = parents.rbegin(); it != parents.rend(); ++it)
        Expand(T(*it));
    if (m_pDisplay)
        m_pDisplay->ScrollToRow(RowOf(item));
}

int CSchemaTreeStore::GetPageSize() const
{
    return m_pDisplay ? m_pDisplay->GetPageSize() : m_nPageSize;
}

size_t CSchemaTreeStore::GetChildCount(TreeItem item) const
{
    return N(item)->children.size();
}

int CSchemaTreeStore::GetDepth(TreeItem item) const
{
    return N(item)->depth;
}

const std::vector<TreeItem>& CSchemaTreeStore::VisibleRows() const
{
    if (m_bRowsValid)
        return m_rows;
    m_rows.clear();
    // Depth first, into open items only.
    std::vector<const Node*> stack;
    if (m_pRoot)
        stack.push_back(m_pRoot);
    while (!stack.empty()) {
        Node* node = const_cast<Node*>(stack.back());
        stack.pop_back();
        node->row = static_cast<int>(m_rows.size());
        m_rows.push_back(T(node));
        if (node->expanded) {
            for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
                stack.push_back(*it);
        }
    }
    m_bRowsValid = true;
    return m_rows;
}

int CSchemaTreeStore::RowOf(TreeItem item) const
{
    if (!item)
        return -1;
    const std::vector<TreeItem>& rows = VisibleRows();
    const int row = N(item)->row;
    return row >= 0 && static_cast<size_t>(row) < rows.size() && rows[static_cast<size_t>(row)] == item ? row : -1;
}

bool CSchemaTreeStore::IsLastChild(TreeItem item) const
{
    const Node* node = N(item);
    return !node->parent || node->index + 1 == node->parent->children.size();
}

int CSchemaTreeStore::GetTextWidth(TreeItem item) const
{
    return N(item)->textWidth;
}

void CSchemaTreeStore::SetTextWidth(TreeItem item, int width)
{
    N(item)->textWidth = width;
}

void CSchemaTreeStore::ForgetTextWidths()
{
    for (Node& node : m_pool)
        node.textWidth = -1;
    Changed(true);
}
