#include "MemoryTree.h"

#include <algorithm>
#include <sstream>

CMemoryTree::Node* CMemoryTree::NewNode()
{
    if (m_bReuse && !m_free.empty()) {
        Node* node = m_free.back();
        m_free.pop_back();
        *node = Node();
        return node;
    }
    return &m_storage.emplace_back();
}

TreeItem CMemoryTree::GetRoot() const
{
    return T(m_pRoot);
}

TreeItem CMemoryTree::GetParent(TreeItem item) const
{
    return item ? T(N(item)->parent) : TreeItem();
}

TreeItem CMemoryTree::GetFirstChild(TreeItem item) const
{
    return item && !N(item)->children.empty() ? T(N(item)->children.front()) : TreeItem();
}

TreeItem CMemoryTree::GetLastChild(TreeItem item) const
{
    return item && !N(item)->children.empty() ? T(N(item)->children.back()) : TreeItem();
}

TreeItem CMemoryTree::GetNextSibling(TreeItem item) const
{
    Node* node = N(item);
    if (!node || !node->parent)
        return {};
    auto& siblings = node->parent->children;
    auto it = std::find(siblings.begin(), siblings.end(), node);
    return it + 1 < siblings.end() ? T(*(it + 1)) : TreeItem();
}

TreeItem CMemoryTree::GetPrevSibling(TreeItem item) const
{
    Node* node = N(item);
    if (!node || !node->parent)
        return {};
    auto& siblings = node->parent->children;
    auto it = std::find(siblings.begin(), siblings.end(), node);
    return it != siblings.begin() ? T(*(it - 1)) : TreeItem();
}

wxString CMemoryTree::GetText(TreeItem item) const
{
    return N(item)->text;
}

void CMemoryTree::SetText(TreeItem item, const wxString& text)
{
    N(item)->text = text;
}

int CMemoryTree::GetKind(TreeItem item) const
{
    return N(item)->kind;
}

void CMemoryTree::SetKind(TreeItem item, int kind)
{
    N(item)->kind = kind;
}

CSchemaItemData* CMemoryTree::GetData(TreeItem item) const
{
    return N(item)->data;
}

bool CMemoryTree::HasButton(TreeItem item) const
{
    return N(item)->button || !N(item)->children.empty();
}

void CMemoryTree::SetBold(TreeItem item, bool bold)
{
    N(item)->bold = bold;
}

bool CMemoryTree::IsExpanded(TreeItem item) const
{
    return N(item)->expanded;
}

void CMemoryTree::Expand(TreeItem item)
{
    Node* node = N(item);
    if (node->expanded || !HasButton(item))
        return;
    if (m_pListener)
        m_pListener->OnItemExpanding(item);
    node->expanded = true;
}

void CMemoryTree::Collapse(TreeItem item)
{
    Node* node = N(item);
    if (!node->expanded)
        return;
    if (m_pListener)
        m_pListener->OnItemCollapsing(item);
    node->expanded = false;
}

bool CMemoryTree::IsLoaded(TreeItem item) const
{
    return N(item)->loaded;
}

void CMemoryTree::SetLoaded(TreeItem item, bool loaded)
{
    N(item)->loaded = loaded;
}

bool CMemoryTree::IsSelected(TreeItem item) const
{
    return N(item)->selected;
}

void CMemoryTree::SetSelected(TreeItem item, bool selected)
{
    N(item)->selected = selected;
}

TreeItem CMemoryTree::Insert(TreeItem parent, size_t index, const wxString& text, int kind, bool button,
                             CSchemaItemData* data)
{
    Node* node = NewNode();
    node->text = text;
    node->kind = kind;
    node->button = button;
    node->data = data;
    if (!parent) {
        if (m_pRoot)
            return {};
        m_pRoot = node;
        return T(node);
    }
    node->parent = N(parent);
    auto& children = N(parent)->children;
    children.insert(children.begin() + static_cast<std::ptrdiff_t>(std::min(index, children.size())), node);
    return T(node);
}

TreeItem CMemoryTree::AppendItem(TreeItem parent, const std::optional<wxString>& text, int kind, bool button,
                                 CSchemaItemData* data)
{
    return Insert(parent, parent ? N(parent)->children.size() : 0, text ? *text : wxString("<No Data>"), kind,
                  button, data);
}

TreeItem CMemoryTree::InsertItemAfter(TreeItem parent, TreeItem after, const wxString& text, int kind, bool button,
                                      CSchemaItemData* data)
{
    size_t index = 0;
    if (after) {
        auto& children = N(parent)->children;
        index = static_cast<size_t>(std::find(children.begin(), children.end(), N(after)) - children.begin()) + 1;
    }
    return Insert(parent, index, text, kind, button, data);
}

void CMemoryTree::Remove(Node* node)
{
    for (Node* child : std::vector<Node*>(node->children))
        Remove(child);
    if (m_pListener)
        m_pListener->OnItemDeleted(T(node));
    if (m_caret == T(node))
        m_caret = {};
    if (node->parent) {
        auto& siblings = node->parent->children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), node));
    } else {
        m_pRoot = nullptr;
    }
    node->children.clear();
    node->parent = nullptr;
    m_free.push_back(node);
}

void CMemoryTree::Delete(TreeItem item)
{
    Remove(N(item));
}

void CMemoryTree::DeleteChildren(TreeItem item)
{
    for (Node* child : std::vector<Node*>(N(item)->children))
        Remove(child);
}

void CMemoryTree::DeleteAll()
{
    if (m_pRoot)
        Remove(m_pRoot);
}

void CMemoryTree::EnsureVisible(TreeItem item)
{
    for (Node* parent = N(item)->parent; parent; parent = parent->parent)
        Expand(T(parent));
}

std::vector<std::string> CMemoryTree::ChildTexts(TreeItem item) const
{
    std::vector<std::string> texts;
    for (Node* child : N(item)->children)
        texts.push_back(child->text.utf8_string());
    return texts;
}

std::vector<int> CMemoryTree::ChildKinds(TreeItem item) const
{
    std::vector<int> kinds;
    for (Node* child : N(item)->children)
        kinds.push_back(child->kind);
    return kinds;
}

TreeItem CMemoryTree::Child(TreeItem parent, const std::string& text) const
{
    if (!parent)
        return {};
    for (Node* child : N(parent)->children) {
        if (child->text.utf8_string() == text)
            return T(child);
    }
    return {};
}

TreeItem CMemoryTree::Find(const std::string& path) const
{
    TreeItem item = GetRoot();
    std::istringstream parts(path);
    std::string part;
    while (item && std::getline(parts, part, '|'))
        item = Child(item, part);
    return item;
}

void CMemoryTree::Collect(Node* node, std::vector<TreeItem>& out) const
{
    out.push_back(T(node));
    for (Node* child : node->children)
        Collect(child, out);
}

std::vector<TreeItem> CMemoryTree::AllItems() const
{
    std::vector<TreeItem> items;
    if (m_pRoot)
        Collect(m_pRoot, items);
    return items;
}

std::vector<std::string> CMemoryTree::SelectedTexts() const
{
    std::vector<std::string> texts;
    for (TreeItem item : AllItems()) {
        if (N(item)->selected)
            texts.push_back(N(item)->text.utf8_string());
    }
    return texts;
}
