#include "TVTreeView.h"

#include <wx/settings.h>

#include <algorithm>
#include <cstdint>
#include <optional>

// What each item of the control carries: the caller's item data (not owned) and whether the
// item's children were loaded.
class CTVTreeView::CItemRecord : public wxTreeItemData {
public:
    explicit CItemRecord(CSchemaItemData* data) : m_pData(data) {}

    CSchemaItemData* m_pData;
    bool m_bLoaded = false;
};

// The schema tree interface over the control. On GTK the control is the generic tree: a child
// cookie is the child's index, which lets a walk over many siblings step in constant time.
class CTVTreeView::CTree : public ISchemaTree {
public:
    explicit CTree(CTVTreeView& view) : m_view(view) {}

    TreeItem GetRoot() const override { return FromId(m_view.GetRootItem()); }
    TreeItem GetParent(TreeItem item) const override { return FromId(m_view.GetItemParent(ToId(item))); }
    TreeItem GetFirstChild(TreeItem item) const override
    {
        wxTreeItemIdValue cookie;
        return FromId(m_view.wxTreeCtrl::GetFirstChild(ToId(item), cookie));
    }
    TreeItem GetLastChild(TreeItem item) const override { return FromId(m_view.wxTreeCtrl::GetLastChild(ToId(item))); }
    TreeItem GetNextSibling(TreeItem item) const override { return Sibling(item, true); }
    TreeItem GetPrevSibling(TreeItem item) const override { return Sibling(item, false); }

    wxString GetText(TreeItem item) const override { return m_view.GetItemText(ToId(item)); }
    void SetText(TreeItem item, const wxString& text) override { m_view.SetItemText(ToId(item), text); }
    int GetKind(TreeItem item) const override { return m_view.GetItemImage(ToId(item)); }
    void SetKind(TreeItem item, int kind) override
    {
        m_view.SetItemImage(ToId(item), kind, wxTreeItemIcon_Normal);
        m_view.SetItemImage(ToId(item), kind, wxTreeItemIcon_Selected);
    }
    CSchemaItemData* GetData(TreeItem item) const override
    {
        CItemRecord* record = m_view.Record(ToId(item));
        return record ? record->m_pData : nullptr;
    }
    bool HasButton(TreeItem item) const override { return m_view.ItemHasChildren(ToId(item)); }
    void SetBold(TreeItem item, bool bold) override { m_view.SetItemBold(ToId(item), bold); }

    bool IsExpanded(TreeItem item) const override { return m_view.wxTreeCtrl::IsExpanded(ToId(item)); }
    void Expand(TreeItem item) override { m_view.wxTreeCtrl::Expand(ToId(item)); }
    void Collapse(TreeItem item) override { m_view.wxTreeCtrl::Collapse(ToId(item)); }
    bool IsLoaded(TreeItem item) const override
    {
        CItemRecord* record = m_view.Record(ToId(item));
        return record && record->m_bLoaded;
    }
    void SetLoaded(TreeItem item, bool loaded) override
    {
        if (CItemRecord* record = m_view.Record(ToId(item)))
            record->m_bLoaded = loaded;
    }

    bool IsSelected(TreeItem item) const override { return m_view.wxTreeCtrl::IsSelected(ToId(item)); }
    void SetSelected(TreeItem item, bool selected) override { m_view.SetItemSelected(ToId(item), selected); }
    TreeItem GetCaret() const override { return FromId(m_view.GetFocusedItem()); }
    void SetCaret(TreeItem item) override { m_view.PlaceCaret(ToId(item)); }

    TreeItem AppendItem(TreeItem parent, const std::optional<wxString>& text, int kind, bool button,
                        CSchemaItemData* data) override
    {
        const wxString label = text ? *text : wxString("<No Data>");
        wxTreeItemId id = parent ? m_view.wxTreeCtrl::AppendItem(ToId(parent), label, kind, kind, new CItemRecord(data))
                                 : m_view.AddRoot(label, kind, kind, new CItemRecord(data));
        if (button)
            m_view.SetItemHasChildren(id, true);
        return FromId(id);
    }
    TreeItem InsertItemAfter(TreeItem parent, TreeItem after, const wxString& text, int kind, bool button,
                             CSchemaItemData* data) override
    {
        wxTreeItemId id = after ? m_view.InsertItem(ToId(parent), ToId(after), text, kind, kind, new CItemRecord(data))
                                : m_view.InsertItem(ToId(parent), 0, text, kind, kind, new CItemRecord(data));
        if (button)
            m_view.SetItemHasChildren(id, true);
        return FromId(id);
    }
    void Delete(TreeItem item) override { m_view.wxTreeCtrl::Delete(ToId(item)); }
    void DeleteChildren(TreeItem item) override { m_view.wxTreeCtrl::DeleteChildren(ToId(item)); }
    void DeleteAll() override { m_view.DeleteAllItems(); }

    void BeginUpdate() override { m_view.Freeze(); }
    void EndUpdate() override { m_view.Thaw(); }
    std::pair<int, int> GetScrollPosition() const override
    {
        int x = 0, y = 0;
        m_view.GetViewStart(&x, &y);
        return {x, y};
    }
    void SetScrollPosition(int x, int y) override { m_view.Scroll(x, y); }
    void EnsureVisible(TreeItem item) override
    {
        if (item)
            m_view.wxTreeCtrl::EnsureVisible(ToId(item));
    }
    int GetPageSize() const override { return std::max(1, m_view.GetClientSize().y / m_view.LineHeight()); }

private:
    static wxTreeItemIdValue Cookie(size_t index) { return reinterpret_cast<wxTreeItemIdValue>(static_cast<uintptr_t>(index)); }

    wxTreeItemId ChildAt(const wxTreeItemId& parent, size_t index) const
    {
        wxTreeItemIdValue cookie = Cookie(index);
        return m_view.GetNextChild(parent, cookie);
    }

    TreeItem Sibling(TreeItem item, bool next) const
    {
        const wxTreeItemId id = ToId(item);
        const wxTreeItemId parent = m_view.GetItemParent(id);
        if (!parent.IsOk())
            return {};
        size_t index = m_nWalkIndex;
        // The child the last step ended on, unless the tree changed since.
        if (m_walkParent != parent || ChildAt(parent, index) != id) {
            wxTreeItemIdValue cookie;
            index = 0;
            wxTreeItemId child = m_view.wxTreeCtrl::GetFirstChild(parent, cookie);
            while (child.IsOk() && child != id) {
                child = m_view.GetNextChild(parent, cookie);
                ++index;
            }
            if (!child.IsOk())
                return {};
        }
        if (!next && index == 0)
            return {};
        const size_t target = next ? index + 1 : index - 1;
        const wxTreeItemId result = ChildAt(parent, target);
        if (result.IsOk()) {
            m_walkParent = parent;
            m_nWalkIndex = target;
        }
        return FromId(result);
    }

    CTVTreeView& m_view;
    mutable wxTreeItemId m_walkParent;
    mutable size_t m_nWalkIndex = 0;
};

CTVTreeView::CTVTreeView(wxWindow* parent, long style, bool disableDragDrop)
    : CSchemaPane(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, style | wxTR_MULTIPLE),
      m_pTree(std::make_unique<CTree>(*this)), m_editTimer(this)
{
    CMultiSelectTree::Options options;
    options.editLabels = (style & wxTR_EDIT_LABELS) != 0;
    options.disableDragDrop = disableDragDrop;
    const int dragX = wxSystemSettings::GetMetric(wxSYS_DRAG_X, this);
    const int dragY = wxSystemSettings::GetMetric(wxSYS_DRAG_Y, this);
    options.dragWidth = dragX > 0 ? dragX : 4;
    options.dragHeight = dragY > 0 ? dragY : 4;
    m_pSelection = std::make_unique<CMultiSelectTree>(*m_pTree, *this, options);

    Bind(wxEVT_LEFT_DOWN, &CTVTreeView::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CTVTreeView::OnLeftUp, this);
    Bind(wxEVT_MOTION, &CTVTreeView::OnMotion, this);
    Bind(wxEVT_LEFT_DCLICK, &CTVTreeView::OnLeftDClick, this);
    Bind(wxEVT_KEY_DOWN, &CTVTreeView::OnKeyDown, this);
    Bind(wxEVT_TIMER, &CTVTreeView::OnEditTimer, this, m_editTimer.GetId());
    Bind(wxEVT_SET_FOCUS, &CTVTreeView::OnFocusChange, this);
    Bind(wxEVT_KILL_FOCUS, &CTVTreeView::OnFocusChange, this);
    Bind(wxEVT_TREE_ITEM_EXPANDING, &CTVTreeView::OnItemExpanding, this);
    Bind(wxEVT_TREE_ITEM_COLLAPSING, &CTVTreeView::OnItemCollapsing, this);
    Bind(wxEVT_TREE_DELETE_ITEM, &CTVTreeView::OnDeleteItem, this);
    Bind(wxEVT_TREE_SEL_CHANGING, &CTVTreeView::OnControlSelection, this);
    Bind(wxEVT_TREE_SEL_CHANGED, &CTVTreeView::OnControlSelection, this);
}

CTVTreeView::~CTVTreeView()
{
    // The items go while what they report to still exists.
    m_pListener = nullptr;
    DeleteAllItems();
}

ISchemaTree& CTVTreeView::Tree() const
{
    return *m_pTree;
}

CTVTreeView::CItemRecord* CTVTreeView::Record(const wxTreeItemId& item) const
{
    return item.IsOk() ? static_cast<CItemRecord*>(GetItemData(item)) : nullptr;
}

void CTVTreeView::PlaceCaret(const wxTreeItemId& item)
{
    wxGenericTreeItem* const old = m_current;
    m_current = m_key_current = static_cast<wxGenericTreeItem*>(item.GetID());
    if (old && old != m_current)
        RefreshLine(old);
    if (m_current)
        RefreshLine(m_current);
}

void CTVTreeView::SetItemSelected(const wxTreeItemId& item, bool selected)
{
    ++m_nQuiet;
    if (selected) {
        // Selecting makes the item the control's caret and scrolls to it: both are put back.
        const wxTreeItemId caret = GetFocusedItem();
        int x = 0, y = 0;
        GetViewStart(&x, &y);
        wxTreeCtrl::SelectItem(item, true);
        PlaceCaret(caret);
        int nowX = 0, nowY = 0;
        GetViewStart(&nowX, &nowY);
        if (nowX != x || nowY != y)
            Scroll(x, y);
    } else {
        wxTreeCtrl::SelectItem(item, false);
    }
    --m_nQuiet;
}

TreeItem CTVTreeView::HitTestItem(const wxPoint& point, CMultiSelectTree::Where& where)
{
    int flags = 0;
    const wxTreeItemId item = HitTest(point, flags);
    if (!item.IsOk())
        where = CMultiSelectTree::Where::Nowhere;
    else if (flags & wxTREE_HITTEST_ONITEMBUTTON)
        where = CMultiSelectTree::Where::Button;
    else if (flags & wxTREE_HITTEST_ONITEMLABEL)
        where = CMultiSelectTree::Where::Label;
    else
        where = CMultiSelectTree::Where::Other;
    return FromId(item);
}

CMultiSelectTree::Press CTVTreeView::HandleLButtonDown(TreeItem hit, CMultiSelectTree::Where where, bool shift,
                                                       bool ctrl, const wxPoint& point)
{
    return m_pSelection->OnLButtonDown(hit, where, shift, ctrl, point.x, point.y);
}

bool CTVTreeView::HandleNavigationKey(CMultiSelectTree::Key key, bool shift)
{
    return m_pSelection->OnKeyDown(key, shift);
}

void CTVTreeView::OnLeftDown(wxMouseEvent& event)
{
    CMultiSelectTree::Where where;
    const TreeItem hit = HitTestItem(event.GetPosition(), where);
    switch (HandleLButtonDown(hit, where, event.ShiftDown(), event.ControlDown(), event.GetPosition())) {
    case CMultiSelectTree::Press::Default: event.Skip(); return;
    case CMultiSelectTree::Press::ArmEdit: {
        const int period = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC, this);
        m_editTimer.StartOnce(period > 0 ? period : 500);
        break;
    }
    case CMultiSelectTree::Press::Handled: break;
    }
    SetFocus();
}

void CTVTreeView::OnLeftUp(wxMouseEvent& event)
{
    // The control's own release would change a multiple selection: it never sees it.
    m_pSelection->OnLButtonUp(event.ShiftDown(), event.ControlDown(), event.GetX(), event.GetY());
}

void CTVTreeView::OnMotion(wxMouseEvent& event)
{
    if (!event.LeftIsDown()) {
        event.Skip();
        return;
    }
    m_pSelection->OnMouseMove(event.GetX(), event.GetY());
}

void CTVTreeView::OnLeftDClick(wxMouseEvent& event)
{
    m_editTimer.Stop();
    m_pSelection->OnLButtonDblClk();
    event.Skip();
}

void CTVTreeView::OnEditTimer(wxTimerEvent&)
{
    if (const TreeItem item = m_pSelection->OnEditTimer())
        EditLabel(ToId(item));
}

void CTVTreeView::OnKeyDown(wxKeyEvent& event)
{
    if (!event.ControlDown() && !event.AltDown()) {
        std::optional<CMultiSelectTree::Key> key;
        switch (event.GetKeyCode()) {
        case WXK_UP:
        case WXK_NUMPAD_UP: key = CMultiSelectTree::Key::Up; break;
        case WXK_DOWN:
        case WXK_NUMPAD_DOWN: key = CMultiSelectTree::Key::Down; break;
        case WXK_PAGEUP:
        case WXK_NUMPAD_PAGEUP: key = CMultiSelectTree::Key::PageUp; break;
        case WXK_PAGEDOWN:
        case WXK_NUMPAD_PAGEDOWN: key = CMultiSelectTree::Key::PageDown; break;
        default: break;
        }
        if (key && HandleNavigationKey(*key, event.ShiftDown()))
            return;
    }
    event.Skip();
}

void CTVTreeView::OnFocusChange(wxFocusEvent& event)
{
    Refresh();
    event.Skip();
}

void CTVTreeView::OnItemExpanding(wxTreeEvent& event)
{
    if (m_pListener)
        m_pListener->OnItemExpanding(FromId(event.GetItem()));
    event.Skip();
}

void CTVTreeView::OnItemCollapsing(wxTreeEvent& event)
{
    if (m_pListener)
        m_pListener->OnItemCollapsing(FromId(event.GetItem()));
    else
        m_pSelection->OnItemCollapsing(FromId(event.GetItem()));
    event.Skip();
}

void CTVTreeView::OnDeleteItem(wxTreeEvent& event)
{
    if (m_pListener)
        m_pListener->OnItemDeleted(FromId(event.GetItem()));
    else
        m_pSelection->OnItemDeleted(FromId(event.GetItem()));
    event.Skip();
}

void CTVTreeView::OnControlSelection(wxTreeEvent& event)
{
    // Our own notifications go on to the parent; the control's events while the selection logic
    // changes items stay here.
    if (m_bNotifying) {
        event.Skip();
        return;
    }
    if (m_nQuiet)
        return;
    if (event.GetEventType() == wxEVT_TREE_SEL_CHANGED)
        OnSelectionChangedByControl();
    event.Skip();
}

void CTVTreeView::SendNotification(wxTreeEvent& event)
{
    event.SetEventObject(this);
    m_bNotifying = true;
    GetEventHandler()->ProcessEvent(event);
    m_bNotifying = false;
}

void CTVTreeView::SelChanging(TreeItem itemNew, int x, int y)
{
    wxTreeEvent event(wxEVT_TREE_SEL_CHANGING, this, ToId(itemNew));
    event.SetPoint(wxPoint(x, y));
    SendNotification(event);
}

void CTVTreeView::SelChanged(TreeItem itemOld, TreeItem itemNew)
{
    wxTreeEvent event(wxEVT_TREE_SEL_CHANGED, this, ToId(itemNew));
    event.SetOldItem(ToId(itemOld));
    SendNotification(event);
}

void CTVTreeView::KeyDown(TreeKey key)
{
    wxTreeEvent event(wxEVT_TREE_KEY_DOWN, this);
    wxKeyEvent keyEvent(wxEVT_KEY_DOWN);
    keyEvent.m_keyCode = key == TreeKey::Up ? WXK_UP : key == TreeKey::Down ? WXK_DOWN
                       : key == TreeKey::PageUp ? WXK_PAGEUP : WXK_PAGEDOWN;
    event.SetKeyEvent(keyEvent);
    SendNotification(event);
}

void CTVTreeView::BeginDrag(TreeItem item, int x, int y)
{
    wxTreeEvent event(wxEVT_TREE_BEGIN_DRAG, this, ToId(item));
    event.SetPoint(wxPoint(x, y));
    SendNotification(event);
}
