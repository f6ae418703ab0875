#include "MultiSelectTree.h"

#include <cstdlib>

CMultiSelectTree::CMultiSelectTree(ISchemaTree& tree, ITreeNotifications& notify, Options options)
    : m_tree(tree), m_notify(notify), m_options(options)
{
}

TreeItem CMultiSelectTree::FirstVisible() const
{
    return m_tree.GetRoot();
}

TreeItem CMultiSelectTree::NextVisible(TreeItem item) const
{
    if (!item)
        return {};
    if (m_tree.IsExpanded(item)) {
        if (TreeItem child = m_tree.GetFirstChild(item))
            return child;
    }
    for (TreeItem at = item; at; at = m_tree.GetParent(at)) {
        if (TreeItem next = m_tree.GetNextSibling(at))
            return next;
    }
    return {};
}

TreeItem CMultiSelectTree::PrevVisible(TreeItem item) const
{
    if (!item)
        return {};
    TreeItem prev = m_tree.GetPrevSibling(item);
    if (!prev)
        return m_tree.GetParent(item);
    // The last visible item of the previous sibling's branch.
    while (m_tree.IsExpanded(prev)) {
        TreeItem last = m_tree.GetLastChild(prev);
        if (!last)
            break;
        prev = last;
    }
    return prev;
}

bool CMultiSelectTree::IsVisible(TreeItem item) const
{
    if (!item)
        return false;
    for (TreeItem parent = m_tree.GetParent(item); parent; parent = m_tree.GetParent(parent)) {
        if (!m_tree.IsExpanded(parent))
            return false;
    }
    return true;
}

unsigned CMultiSelectTree::GetSelectedCount(bool stopAtTwo) const
{
    unsigned count = 0;
    for (TreeItem item = FirstVisible(); item; item = NextVisible(item)) {
        if (m_tree.IsSelected(item) && ++count > 1 && stopAtTwo)
            break;
    }
    return count;
}

void CMultiSelectTree::Select(TreeItem item, bool selected)
{
    if (item && m_tree.IsSelected(item) != selected)
        m_tree.SetSelected(item, selected);
}

void CMultiSelectTree::ClearSelection()
{
    for (TreeItem item = FirstVisible(); item; item = NextVisible(item))
        Select(item, false);
}

bool CMultiSelectTree::SelectRange(TreeItem anchor, TreeItem item)
{
    TreeItem first;
    for (TreeItem at = FirstVisible(); at; at = NextVisible(at)) {
        if ((anchor && at == anchor) || (item && at == item)) {
            first = at;
            break;
        }
    }
    if (!first)
        return false;
    m_tree.SetCaret(item);
    // The other end; when it is hidden or gone, the range runs to the last visible item.
    const TreeItem last = first == anchor ? item : anchor;
    bool inside = false;
    bool done = false;
    for (TreeItem at = FirstVisible(); at; at = NextVisible(at)) {
        if (at == first && !done)
            inside = true;
        Select(at, inside);
        if (inside && at == last) {
            inside = false;
            done = true;
        }
    }
    return true;
}

void CMultiSelectTree::SelectOnly(TreeItem item)
{
    ClearSelection();
    m_tree.SetCaret(item);
    Select(item, true);
    m_anchor = item;
}

void CMultiSelectTree::SelectItemOnClick(TreeItem item, bool shift, bool ctrl, int x, int y)
{
    const TreeItem oldCaret = m_tree.GetCaret();
    if (item && shift) {
        if (!m_anchor)
            m_anchor = oldCaret;
        SelectRange(m_anchor, item);
        m_notify.SelChanged(oldCaret, item);
    } else if (item && ctrl) {
        m_notify.SelChanging(item, x, y);
        const bool wasSelected = m_tree.IsSelected(item);
        if (!wasSelected)
            m_tree.SetCaret(item);
        Select(item, !wasSelected);
        if (!m_anchor)
            m_anchor = item;
        m_notify.SelChanged({}, item);
    } else {
        // A press on empty space clears the selection.
        SelectOnly(item);
        m_notify.SelChanged(oldCaret, item);
    }
}

CMultiSelectTree::Press CMultiSelectTree::OnLButtonDown(TreeItem hit, Where where, bool shift, bool ctrl, int x,
                                                        int y)
{
    if (!shift && !ctrl && m_options.editLabels && where == Where::Label && hit && hit == m_tree.GetCaret()) {
        ClearSelection();
        Select(hit, true);
        m_bEditPending = true;
        return Press::ArmEdit;
    }
    m_bEditPending = false;
    if (where == Where::Button)
        return Press::Default;
    m_pressed = hit;
    m_nPressX = x;
    m_nPressY = y;
    if (hit && m_tree.IsSelected(hit)) {
        // Decided on release, and not at all when a drag starts first.
        m_bDeferredClick = true;
        return Press::Handled;
    }
    SelectItemOnClick(hit, shift, ctrl, x, y);
    m_bDeferredClick = false;
    return Press::Handled;
}

void CMultiSelectTree::OnLButtonUp(bool shift, bool ctrl, int x, int y)
{
    if (m_bDeferredClick) {
        m_bDeferredClick = false;
        SelectItemOnClick(m_pressed, shift, ctrl, x, y);
    }
    m_pressed = {};
}

void CMultiSelectTree::OnMouseMove(int x, int y)
{
    if (!m_pressed)
        return;
    if (std::abs(m_nPressX - x) <= m_options.dragWidth && std::abs(m_nPressY - y) <= m_options.dragHeight)
        return;
    m_bDeferredClick = false;
    if (!m_options.disableDragDrop)
        m_notify.BeginDrag(m_pressed, x, y);
    m_pressed = {};
}

TreeItem CMultiSelectTree::OnEditTimer()
{
    const bool pending = m_bEditPending;
    m_bEditPending = false;
    return pending ? m_tree.GetCaret() : TreeItem();
}

TreeItem CMultiSelectTree::KeyTarget(Key key) const
{
    const TreeItem caret = m_tree.GetCaret();
    if (!caret)
        return FirstVisible();
    switch (key) {
    case Key::Up: return PrevVisible(caret);
    case Key::Down: return NextVisible(caret);
    case Key::PageUp:
    case Key::PageDown: {
        const bool down = key == Key::PageDown;
        TreeItem target = caret;
        for (int n = m_tree.GetPageSize(); n > 0; --n) {
            TreeItem next = down ? NextVisible(target) : PrevVisible(target);
            if (!next)
                break;
            target = next;
        }
        return target == caret ? TreeItem() : target;
    }
    }
    return {};
}

bool CMultiSelectTree::OnKeyDown(Key key, bool shift)
{
    const TreeItem oldCaret = m_tree.GetCaret();
    const TreeItem target = KeyTarget(key);
    const bool line = key == Key::Up || key == Key::Down;
    if (!shift) {
        if (GetSelectedCount(true) > 1)
            ClearSelection();
        if (target) {
            // As a single-selection tree moves: the selection goes with the caret.
            Select(oldCaret, false);
            m_tree.SetCaret(target);
            Select(target, true);
            m_tree.EnsureVisible(target);
            m_notify.SelChanged(oldCaret, target);
        }
        m_anchor = m_tree.GetCaret();
        return true;
    }
    if (target) {
        // The range from the anchor follows the caret, growing or shrinking.
        if (!m_anchor)
            m_anchor = oldCaret;
        SelectRange(m_anchor, target);
        m_tree.EnsureVisible(target);
        m_notify.SelChanged({}, target);
    }
    if (line)
        m_notify.KeyDown(key);
    return true;
}

void CMultiSelectTree::OnItemCollapsing(TreeItem item)
{
    // Depth first through every descendant, expanded or not.
    TreeItem at = m_tree.GetFirstChild(item);
    while (at) {
        Select(at, false);
        if (TreeItem child = m_tree.GetFirstChild(at)) {
            at = child;
            continue;
        }
        while (at && at != item && !m_tree.GetNextSibling(at))
            at = m_tree.GetParent(at);
        if (!at || at == item)
            break;
        at = m_tree.GetNextSibling(at);
    }
}

void CMultiSelectTree::OnItemDeleted(TreeItem item)
{
    if (m_anchor == item)
        m_anchor = {};
    if (m_pressed == item) {
        m_pressed = {};
        m_bDeferredClick = false;
    }
}
