// Multiple selection on a tree that has one caret: plain, Ctrl and Shift clicks, a click on a
// selected item applied on release (so that a drag keeps the selection), drag detection, a
// delayed label edit, Up/Down and Page Up/Page Down with and without Shift, and the clearing of
// the selection inside a branch that collapses. The tree control turns mouse and keys into these
// calls and the notifications back into its own events.
//
// Every walk over the selection visits the visible items only (those whose parents are all
// expanded, whether or not they are on screen), which is sound because a collapse clears the
// selection inside it. Items that are deleted must be reported (OnItemDeleted): the tree may
// give a later item the same address. Window thread only; nothing throws.
#pragma once

#include "SchemaTree.h"

enum class TreeKey { Up, Down, PageUp, PageDown };

// What the selection logic tells the tree's parent window.
class ITreeNotifications {
public:
    // Before a Ctrl+click toggles itemNew; the answer cannot veto it.
    virtual void SelChanging(TreeItem itemNew, int x, int y) = 0;
    // After a selection change by click or key; itemOld is the caret before (none after a
    // Ctrl+click or a Shift+key).
    virtual void SelChanged(TreeItem itemOld, TreeItem itemNew) = 0;
    // After Shift+Up or Shift+Down, which the tree itself never sees.
    virtual void KeyDown(TreeKey key) = 0;
    virtual void BeginDrag(TreeItem item, int x, int y) = 0;

protected:
    ~ITreeNotifications() = default;
};

class CMultiSelectTree {
public:
    struct Options {
        bool editLabels = false;      // a second click on the caret's label starts an edit
        bool disableDragDrop = false; // no drag notification
        int dragWidth = 4;            // the pointer moves this far before a press becomes a drag
        int dragHeight = 4;
    };

    enum class Where { Nowhere, Label, Button, Other };
    enum class Press {
        Default,  // the control's own handling (a press on an expand button)
        Handled,  // the selection logic took it
        ArmEdit,  // start the label-edit timer
    };
    using Key = TreeKey;

    CMultiSelectTree(ISchemaTree& tree, ITreeNotifications& notify, Options options);

    ISchemaTree& Tree() const { return m_tree; }

    // Visible items (all parents expanded) in display order.
    TreeItem FirstVisible() const;
    TreeItem NextVisible(TreeItem item) const;
    TreeItem PrevVisible(TreeItem item) const;
    // Whether every parent of the item is expanded.
    bool IsVisible(TreeItem item) const;

    // Selected visible items; with stopAtTwo the count stops at 2.
    unsigned GetSelectedCount(bool stopAtTwo) const;
    void ClearSelection();
    // Moves the caret to item and selects the visible items from one end to the other, clearing
    // all others; false when neither end is visible.
    bool SelectRange(TreeItem anchor, TreeItem item);
    // One click with its key state.
    void SelectItemOnClick(TreeItem item, bool shift, bool ctrl, int x = 0, int y = 0);
    // Clears the selection and makes item the caret, the one selected item and the anchor.
    void SelectOnly(TreeItem item);

    Press OnLButtonDown(TreeItem hit, Where where, bool shift, bool ctrl, int x, int y);
    void OnLButtonUp(bool shift, bool ctrl, int x, int y);
    void OnMouseMove(int x, int y);
    // Double click: a pending label edit is cancelled.
    void OnLButtonDblClk() { m_bEditPending = false; }
    // The label-edit timer: the item whose label to edit, or none.
    TreeItem OnEditTimer();
    // Handles the key; false when the control's own handling should run instead.
    bool OnKeyDown(Key key, bool shift);
    // Where the key would move the caret, without moving it.
    TreeItem KeyTarget(Key key) const;

    // Every descendant of the collapsing item loses its selection.
    void OnItemCollapsing(TreeItem item);
    // Forgets every reference to the deleted item.
    void OnItemDeleted(TreeItem item);

    TreeItem GetAnchor() const { return m_anchor; }
    void SetAnchor(TreeItem item) { m_anchor = item; }
    TreeItem GetPressedItem() const { return m_pressed; }
    bool IsClickDeferred() const { return m_bDeferredClick; }
    bool IsEditPending() const { return m_bEditPending; }

private:
    void Select(TreeItem item, bool selected);

    ISchemaTree& m_tree;
    ITreeNotifications& m_notify;
    Options m_options;
    bool m_bDeferredClick = false;
    int m_nPressX = 0;
    int m_nPressY = 0;
    TreeItem m_pressed;
    TreeItem m_anchor;
    bool m_bEditPending = false;
};
