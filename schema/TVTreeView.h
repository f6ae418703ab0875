// The multi-select tree control the schema pane is built on. It draws the items of its tree
// store (CSchemaTreeStore) row by row, only the rows on screen, with their lines, expand
// buttons, images and labels, and turns mouse and keys into the calls of the multiple selection
// (CMultiSelectTree), whose notifications go to the parent as tree events. A label is measured
// when its row is first drawn, so a folder of thousands of objects opens without measuring them
// all. The toolkit's own tree control would keep a caret that selects, visible walks that mean
// "on screen", and the layout of every item after each expansion.
//
// Window thread only.
#pragma once

#include "query/SchemaPane.h"
#include "schemacore/MultiSelectTree.h"
#include "schemacore/SchemaTreeStore.h"

#include <wx/timer.h>

#include <memory>

class wxImageList;
class wxTextCtrl;
class wxTreeEvent;

class CTVTreeView : public CSchemaPane, public ITreeNotifications, private ITreeDisplay, private ITreeListener {
public:
    enum Style {
        kEditLabels = 1,      // a second click on the focused item's label edits it
        kDisableDragDrop = 2, // no drag notification
        kLinesAtRoot = 4,     // the root has a button and a line
    };

    CTVTreeView(wxWindow* parent, int style);
    ~CTVTreeView() override;

    CSchemaTreeStore& Tree() const { return *m_pStore; }
    CMultiSelectTree& Selection() const { return *m_pSelection; }
    // Who hears of expansions, collapses and deletions (the multiple selection when none).
    void SetTreeListener(ITreeListener* listener) { m_pListener = listener; }
    // One image per node kind; the view owns the list.
    void AssignImageList(wxImageList* images);

    // The item under a point of the client area and where on it the point lies.
    TreeItem HitTestItem(const wxPoint& point, CMultiSelectTree::Where& where);
    // The rectangle of a visible item's label (or of its whole row) in client coordinates;
    // empty for a hidden item.
    wxRect GetItemRect(TreeItem item, bool labelOnly = true);
    void EnsureCaretVisible() override;
    // A new font changes the rows' height and every label's width.
    bool SetFont(const wxFont& font) override;
    // Starts editing the item's label (in a control with the kEditLabels style).
    void EditLabel(TreeItem item);

protected:
    // Press, right press, navigation keys and other keys; a derived view puts its own rules in
    // front. HandleKey returns true for a key it took.
    virtual CMultiSelectTree::Press HandleLButtonDown(TreeItem hit, CMultiSelectTree::Where where, bool shift,
                                                      bool ctrl, const wxPoint& point);
    virtual void HandleRButtonDown(TreeItem hit, CMultiSelectTree::Where where, const wxPoint& point);
    virtual bool HandleNavigationKey(CMultiSelectTree::Key key, bool shift);
    virtual bool HandleKey(const wxKeyEvent& event);
    // A double click or Enter on an item; false lets the item open or close instead.
    virtual bool OnItemActivated(TreeItem item);
    // The control moved the caret itself (Left, Right, Home, End, typing a name).
    virtual void OnCaretMovedByControl() {}

    // ITreeNotifications: tree events to the parent window.
    void SelChanging(TreeItem itemNew, int x, int y) override;
    void SelChanged(TreeItem itemOld, TreeItem itemNew) override;
    void KeyDown(TreeKey key) override;
    void BeginDrag(TreeItem item, int x, int y) override;

private:
    // ITreeDisplay
    void OnTreeChanged(bool layout) override;
    void BeginUpdate() override { Freeze(); }
    void EndUpdate() override { Thaw(); }
    std::pair<int, int> GetScrollPosition() const override;
    void SetScrollPosition(int x, int y) override;
    void ScrollToRow(int row) override;
    int GetPageSize() const override;

    // ITreeListener: passed on to the listener, else to the selection.
    void OnItemExpanding(TreeItem item) override;
    void OnItemCollapsing(TreeItem item) override;
    void OnItemDeleted(TreeItem item) override;

    // Row height and indent from the font and the images.
    void UpdateMetrics();
    // Row geometry: the level counts the columns of lines left of the item's image.
    int Level(TreeItem item) const;
    int ImageX(TreeItem item) const { return Level(item) * m_nIndent + 2; }
    int TextX(TreeItem item) const;
    // The label's width, measured when unknown.
    int MeasureText(TreeItem item, wxDC& dc);
    wxFont FontOf(TreeItem item) const;
    void UpdateLayout();
    void DrawRow(wxDC& dc, TreeItem item, int row);
    // Moves the caret with the selection, as a single-selection tree's own keys do.
    void MoveCaretTo(TreeItem item);
    void SendNotification(wxTreeEvent& event);
    void EndEdit(bool accept);

    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftDClick(wxMouseEvent& event);
    void OnRightDown(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnEditTimer(wxTimerEvent& event);
    void OnFocusChange(wxFocusEvent& event);

    int m_nStyle;
    std::unique_ptr<CSchemaTreeStore> m_pStore;
    std::unique_ptr<CMultiSelectTree> m_pSelection;
    ITreeListener* m_pListener = nullptr;
    std::unique_ptr<wxImageList> m_pImages;
    int m_nImageWidth = 0;
    int m_nLineHeight = 0;
    int m_nIndent = 0;
    bool m_bLayoutDirty = true;
    int m_nVirtualWidth = 0;
    wxTimer m_editTimer;
    wxTextCtrl* m_pEdit = nullptr;
    TreeItem m_editItem;
    wxString m_strFindPrefix;
    wxLongLong m_lastCharTime = 0;
};
