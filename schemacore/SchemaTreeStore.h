// The items of the schema tree, kept for the pane that draws them: text, kind, item data,
// button, open, loaded, selected and bold per item, the caret, and the list of visible rows
// (items whose parents are all open) in display order, rebuilt when the shape changed. Sibling
// steps, row lookups and inserts at the end take constant time, so that folders of many
// thousands of objects stay quick. Items come from a pool: a deleted item's memory is given to
// a later item, as any allocator may do, so holders of item handles must heed OnItemDeleted.
//
// The window showing the store (ITreeDisplay) is told of every change and does the scrolling;
// without one the store keeps a scroll position and a page size of its own (tests). Window
// thread only; nothing throws but allocation.
#pragma once

#include "SchemaTree.h"

#include <deque>
#include <vector>

// What the window showing the store does for it.
class ITreeDisplay {
public:
    // Something changed: rows came, went, opened or closed (layout), or only what one shows.
    virtual void OnTreeChanged(bool layout) = 0;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual std::pair<int, int> GetScrollPosition() const = 0;
    virtual void SetScrollPosition(int x, int y) = 0;
    // Scrolls the row of a visible item into view.
    virtual void ScrollToRow(int row) = 0;
    virtual int GetPageSize() const = 0;

protected:
    ~ITreeDisplay() = default;
};

class CSchemaTreeStore : public ISchemaTree {
public:
    CSchemaTreeStore() = default;
    ~CSchemaTreeStore() override;
    CSchemaTreeStore(const CSchemaTreeStore&) = delete;
    CSchemaTreeStore& operator=(const CSchemaTreeStore&) = delete;

    void SetListener(ITreeListener* listener) { m_pListener = listener; }
    ITreeListener* GetListener() const { return m_pListener; }
    void SetDisplay(ITreeDisplay* display) { m_pDisplay = display; }

    // ---- ISchemaTree ----
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
    void SetData(TreeItem item, CSchemaItemData* data) override;
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
    void SetCaret(TreeItem item) override;
    TreeItem AppendItem(TreeItem parent, std::optional<wxString> text, int kind, bool button,
                        CSchemaItemData* data) override;
    TreeItem InsertItemAfter(TreeItem parent, TreeItem after, wxString text, int kind, bool button,
                             CSchemaItemData* data) override;
    void Delete(TreeItem item) override;
    void DeleteChildren(TreeItem item) override;
    void DeleteAll() override;
    void SortChildren(TreeItem item, const std::function<bool(TreeItem, TreeItem)>& less) override;
    void BeginUpdate() override;
    void EndUpdate() override;
    std::pair<int, int> GetScrollPosition() const override;
    void SetScrollPosition(int x, int y) override;
    void EnsureVisible(TreeItem item) override;
    int GetPageSize() const override;

    // ---- For the window ----

    void Toggle(TreeItem item);
    bool IsBold(TreeItem item) const;
    size_t GetChildCount(TreeItem item) const;
    // Levels below the root (the root is 0).
    int GetDepth(TreeItem item) const;
    // The visible items in display order.
    const std::vector<TreeItem>& VisibleRows() const;
    // The row of a visible item; -1 for a hidden one.
    int RowOf(TreeItem item) const;
    // Whether the item is its parent's last child.
    bool IsLastChild(TreeItem item) const;
    // The label's width in pixels as the window last measured it; -1 when never measured.
    int GetTextWidth(TreeItem item) const;
    void SetTextWidth(TreeItem item, int width);
    // Every label to be measured again (the font changed).
    void ForgetTextWidths();
    // Nested BeginUpdate calls not yet ended.
    int UpdateDepth() const { return m_nUpdateDepth; }
    // The page size without a window.
    void SetPageSize(int rows) { m_nPageSize = rows; }

private:
    struct Node {
        Node* parent = nullptr;
        std::vector<Node*> children;
        size_t index = 0; // among the parent's children
        int depth = 0;
        wxString text;
        int kind = 0;
        int textWidth = -1;
        int row = -1; // in the visible rows, valid while they are
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
    TreeItem Insert(TreeItem parent, size_t index, wxString text, int kind, bool button, CSchemaItemData* data);
    // Reports and unlinks the branch; its nodes go back to the pool.
    void Remove(Node* node);
    void Renumber(Node* parent, size_t from);
    // The shape changed (or only what a row shows, layout false).
    void Changed(bool layout);

    std::deque<Node> m_pool;
    std::vector<Node*> m_free;
    Node* m_pRoot = nullptr;
    TreeItem m_caret;
    ITreeListener* m_pListener = nullptr;
    ITreeDisplay* m_pDisplay = nullptr;
    mutable std::vector<TreeItem> m_rows;
    mutable bool m_bRowsValid = false;
    int m_nUpdateDepth = 0;
    bool m_bChangedWhileUpdating = false;
    bool m_bLayoutWhileUpdating = false;
    int m_nScrollX = 0;
    int m_nScrollY = 0;
    int m_nPageSize = 3;
};
