// The tree the schema browser works on, without any toolkit: items, their text, kind, item
// data, button, expansion, "loaded" mark, selection and the caret (the focused item). The tree
// control of a schema pane implements it (schema/), and so does an in-memory tree in the tests;
// the browser's logic (selection rules, lazy loading, refresh, statements) sees only this.
//
// Contract of an implementation: Expand raises OnItemExpanding on its listener before the item
// opens (the listener loads the children then), Collapse raises OnItemCollapsing first, and every
// deletion (one item, the children of one, or all) raises OnItemDeleted for each item that goes,
// before its address can be reused. SetSelected and SetCaret raise nothing. Window thread only.
#pragma once

#include <wx/string.h>

#include <functional>
#include <optional>
#include <utility>

class CSchemaItemData;

// An item of the tree; a default-constructed one is "no item".
struct TreeItem {
    void* id = nullptr;

    bool IsOk() const { return id != nullptr; }
    explicit operator bool() const { return IsOk(); }
    friend bool operator==(TreeItem a, TreeItem b) { return a.id == b.id; }
    friend bool operator!=(TreeItem a, TreeItem b) { return a.id != b.id; }
};

// What the tree tells the logic above it.
class ITreeListener {
public:
    virtual void OnItemExpanding(TreeItem item) = 0;
    virtual void OnItemCollapsing(TreeItem item) = 0;
    virtual void OnItemDeleted(TreeItem item) = 0;

protected:
    ~ITreeListener() = default;
};

class ISchemaTree {
public:
    virtual ~ISchemaTree() = default;

    // Structure; each gives "no item" when there is none.
    virtual TreeItem GetRoot() const = 0;
    virtual TreeItem GetParent(TreeItem item) const = 0;
    virtual TreeItem GetFirstChild(TreeItem item) const = 0;
    virtual TreeItem GetLastChild(TreeItem item) const = 0;
    virtual TreeItem GetNextSibling(TreeItem item) const = 0;
    virtual TreeItem GetPrevSibling(TreeItem item) const = 0;

    // What an item shows and carries. The kind is the item's image; the item data is owned by
    // the caller (the browser's lists), never by the tree.
    virtual wxString GetText(TreeItem item) const = 0;
    virtual void SetText(TreeItem item, const wxString& text) = 0;
    virtual int GetKind(TreeItem item) const = 0;
    virtual void SetKind(TreeItem item, int kind) = 0;
    virtual CSchemaItemData* GetData(TreeItem item) const = 0;
    virtual void SetData(TreeItem item, CSchemaItemData* data) = 0;
    virtual bool HasButton(TreeItem item) const = 0;
    virtual void SetBold(TreeItem item, bool bold) = 0;

    virtual bool IsExpanded(TreeItem item) const = 0;
    virtual void Expand(TreeItem item) = 0;
    virtual void Collapse(TreeItem item) = 0;
    // Whether the item's children were loaded (the control's "expanded once").
    virtual bool IsLoaded(TreeItem item) const = 0;
    virtual void SetLoaded(TreeItem item, bool loaded) = 0;

    virtual bool IsSelected(TreeItem item) const = 0;
    virtual void SetSelected(TreeItem item, bool selected) = 0;
    virtual TreeItem GetCaret() const = 0;
    // Moves the focus to the item (or to none) without touching any selection.
    virtual void SetCaret(TreeItem item) = 0;

    // Appends a child of parent (no parent: the root); a missing text shows "<No Data>".
    virtual TreeItem AppendItem(TreeItem parent, std::optional<wxString> text, int kind, bool button,
                                CSchemaItemData* data) = 0;
    // Inserts a child right after the sibling "after" (no sibling: as the first child).
    virtual TreeItem InsertItemAfter(TreeItem parent, TreeItem after, wxString text, int kind, bool button,
                                     CSchemaItemData* data) = 0;
    virtual void Delete(TreeItem item) = 0;
    virtual void DeleteChildren(TreeItem item) = 0;
    virtual void DeleteAll() = 0;
    // Puts the item's children in the order of less (a stable sort); their own children go
    // with them.
    virtual void SortChildren(TreeItem item, const std::function<bool(TreeItem, TreeItem)>& less) = 0;

    // Redraw off and on again around many changes; calls nest.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    // The scroll position, and setting it back.
    virtual std::pair<int, int> GetScrollPosition() const = 0;
    virtual void SetScrollPosition(int x, int y) = 0;
    // Scrolls the item into view (opening its parents).
    virtual void EnsureVisible(TreeItem item) = 0;
    // How many items one page of the pane shows (at least 1).
    virtual int GetPageSize() const = 0;
};

// Redraw off for as long as it lives.
class CTreeUpdateLock {
public:
    explicit CTreeUpdateLock(ISchemaTree& tree) : m_tree(tree) { m_tree.BeginUpdate(); }
    ~CTreeUpdateLock() { m_tree.EndUpdate(); }
    CTreeUpdateLock(const CTreeUpdateLock&) = delete;
    CTreeUpdateLock& operator=(const CTreeUpdateLock&) = delete;

private:
    ISchemaTree& m_tree;
};
