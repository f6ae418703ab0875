// The multi-select tree control the schema pane is built on: the schema tree interface over the
// toolkit's tree control (on GTK the generic tree, whose own selection, caret and "visible" walks
// do not fit), mouse and keys turned into the multiple selection's calls, and the selection's
// notifications sent to the parent as tree events. The selection logic itself is
// CMultiSelectTree, which tests drive without a window.
//
// Item data stays owned by the caller; each tree item holds a small record of its own (the item
// data pointer and the "loaded" mark). Window thread only.
#pragma once

#include "query/SchemaPane.h"
#include "schemacore/MultiSelectTree.h"
#include "schemacore/SchemaTree.h"

#include <wx/timer.h>

#include <memory>

class CTVTreeView : public CSchemaPane, public ITreeNotifications {
public:
    // style: the tree styles; wxTR_EDIT_LABELS arms the delayed label edit. disableDragDrop: no
    // drag notification.
    CTVTreeView(wxWindow* parent, long style, bool disableDragDrop);
    ~CTVTreeView() override;

    // The tree as the toolkit-free logic sees it.
    ISchemaTree& Tree() const;
    CMultiSelectTree& Selection() const { return *m_pSelection; }
    // Who hears of expansions, collapses and deletions (the multiple selection by default).
    void SetTreeListener(ITreeListener* listener) { m_pListener = listener; }

    static wxTreeItemId ToId(TreeItem item) { return wxTreeItemId(item.id); }
    static TreeItem FromId(const wxTreeItemId& id) { return TreeItem{id.GetID()}; }

    // The item under a point of the client area and where on it the point lies.
    TreeItem HitTestItem(const wxPoint& point, CMultiSelectTree::Where& where);

protected:
    // Press and navigation keys; the schema view puts its own rules in front.
    virtual CMultiSelectTree::Press HandleLButtonDown(TreeItem hit, CMultiSelectTree::Where where, bool shift,
                                                      bool ctrl, const wxPoint& point);
    virtual bool HandleNavigationKey(CMultiSelectTree::Key key, bool shift);
    // The control changed the selection on its own (keys it handles itself).
    virtual void OnSelectionChangedByControl() {}

    // ITreeNotifications: tree events to the parent window.
    void SelChanging(TreeItem itemNew, int x, int y) override;
    void SelChanged(TreeItem itemOld, TreeItem itemNew) override;
    void KeyDown(TreeKey key) override;
    void BeginDrag(TreeItem item, int x, int y) override;

private:
    class CItemRecord;
    class CTree;
    friend class CTree;

    CItemRecord* Record(const wxTreeItemId& item) const;
    // Puts the control's caret on the item (or none) without selecting anything.
    void PlaceCaret(const wxTreeItemId& item);
    // Selects or unselects one item, keeping the caret and the scroll position, with the
    // control's own selection events kept in.
    void SetItemSelected(const wxTreeItemId& item, bool selected);
    int LineHeight() const { return m_lineHeight > 0 ? m_lineHeight : GetCharHeight() + 4; }
    void SendNotification(wxTreeEvent& event);

    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftDClick(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnEditTimer(wxTimerEvent& event);
    void OnFocusChange(wxFocusEvent& event);
    void OnItemExpanding(wxTreeEvent& event);
    void OnItemCollapsing(wxTreeEvent& event);
    void OnDeleteItem(wxTreeEvent& event);
    void OnControlSelection(wxTreeEvent& event);

    std::unique_ptr<CTree> m_pTree;
    std::unique_ptr<CMultiSelectTree> m_pSelection;
    ITreeListener* m_pListener = nullptr;
    wxTimer m_editTimer;
    int m_nQuiet = 0;
    bool m_bNotifying = false;
};
