// The schema tree interface over items held in memory, behaving as the tree control does for
// the browser: Expand and Collapse report to the listener first (and Expand opens only an item
// with a button or children), deletions report each item, an item without text shows
// "<No Data>". Deleted items' memory is kept until the tree goes, so a handle never points at
// freed memory, while a new item may be given the address of a deleted one (ReuseDeleted) to
// catch code that keeps handles of deleted items.
#pragma once

#include "schemacore/SchemaTree.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

class CMemoryTree : public ISchemaTree {
public:
    CMemoryTree() = default;

    void SetListener(ITreeListener* listener) { m_pListener = listener; }
    // New items take the place of deleted ones, as the control's allocator may do.
    void ReuseDeleted(bool reuse) { m_bReuse = reuse; }

    TreeItem GetRoot() const override;
    TreeItem GetParent(TreeItem item) const override;
    TreeItem GetFirstChild(TreeItem item) const override;
    TreeItem GetLastChild(TreeItem item) const override;
    TreeItem GetNextSibling(TreeItem item) const override;
    TreeItem GetPrevSibling(TreeItem item) const override;
    wxString GetText(TreeItem item) const override;
    void SetText(TreeItem item, const wxString& text) override;
    int GetKind(TreeItem item) const override;
    void SetKind(TreeItem item, int kind) override;
    CSchemaItemData* GetData(TreeItem item) const override;
    bool HasButton(TreeItem item) const override;
    void SetBold(TreeItem item, bool bold) override;
    bool IsExpanded(TreeItem item) const override;
    void Expand(TreeItem item) override;
    void Collapse(TreeItem item) override;
    bool IsLoaded(TreeItem item) const override;
    void SetLoaded(TreeItem item, bool loaded) override;
    bool IsSelected(TreeItem item) const override;
    void SetSelected(TreeItem item, bool selected) override;
    TreeItem GetCaret() const override { return m_caret; }
    void SetCaret(TreeItem item) override { m_caret = item; }
    TreeItem AppendItem(TreeItem parent, const std::optional<wxString>& text, int kind, bool button,
                        CSchemaItemData* data) override;
    TreeItem InsertItemAfter(TreeItem parent, TreeItem after, const wxString& text, int kind, bool button,
                             CSchemaItemData* data) override;
    void Delete(TreeItem item) override;
    void DeleteChildren(TreeItem item) override;
    void DeleteAll() override;
    void BeginUpdate() override { ++m_nUpdateDepth; }
    void EndUpdate() override { --m_nUpdateDepth; }
    std::pair<int, int> GetScrollPosition() const override { return {m_nScrollX, m_nScrollY}; }
    void SetScrollPosition(int x, int y) override
    {
        m_nScrollX = x;
        m_nScrollY = y;
    }
    void EnsureVisible(TreeItem item) override;
    int GetPageSize() const override { return m_nPageSize; }

    // ---- For tests ----

    // Nested redraw-off calls not yet ended.
    int UpdateDepth() const { return m_nUpdateDepth; }
    void SetPageSize(int rows) { m_nPageSize = rows; }
    // The children's texts.
    std::vector<std::string> ChildTexts(TreeItem item) const;
    std::vector<int> ChildKinds(TreeItem item) const;
    // The first child with this text (or none).
    TreeItem Child(TreeItem parent, const std::string& text) const;
    // The item at a path of texts below the root, separated by "|" ("Tables|orders").
    TreeItem Find(const std::string& path) const;
    // The texts of the selected items in display order, hidden ones included.
    std::vector<std::string> SelectedTexts() const;
    // Every item that exists, in display order.
    std::vector<TreeItem> AllItems() const;

private:
    struct Node {
        Node* parent = nullptr;
        std::vector<Node*> children;
        wxString text;
        int kind = 0;
        bool button = false;
        bool expanded = false;
        bool loaded = false;
        bool selected = false;
        bool bold = false;
        CSchemaItemData* data = nullptr;
    };

    static Node* N(TreeItem item) { return static_cast<Node*>(item.id); }
    static TreeItem T(Node* node) { return TreeItem{node}; }
    Node* NewNode();
    TreeItem Insert(TreeItem parent, size_t index, const wxString& text, int kind, bool button, CSchemaItemData* data);
    // Reports and unlinks the branch; its nodes wait for reuse.
    void Remove(Node* node);
    void Collect(Node* node, std::vector<TreeItem>& out) const;

    std::list<Node> m_storage;
    std::vector<Node*> m_free;
    Node* m_pRoot = nullptr;
    TreeItem m_caret;
    ITreeListener* m_pListener = nullptr;
    bool m_bReuse = false;
    int m_nUpdateDepth = 0;
    int m_nScrollX = 0;
    int m_nScrollY = 0;
    int m_nPageSize = 3;
};
