#include "TVTreeView.h"

#include <wx/dcclient.h>
#include <wx/imaglist.h>
#include <wx/renderer.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/time.h>
#include <wx/treebase.h>

#include <algorithm>
#include <optional>

namespace {

wxTreeItemId Id(TreeItem item)
{
    return wxTreeItemId(item.id);
}

constexpr int kTextGap = 4;        // between the image and the label
constexpr int kLabelPadding = 2;   // around the label's text inside its highlight
constexpr long kFindResetMs = 1000; // typing pauses this long start a new name

} // namespace

CTVTreeView::CTVTreeView(wxWindow* parent, int style)
    : CSchemaPane(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE | wxWANTS_CHARS | wxHSCROLL | wxVSCROLL),
      m_nStyle(style), m_pStore(std::make_unique<CSchemaTreeStore>()), m_editTimer(this)
{
    CMultiSelectTree::Options options;
    options.editLabels = (style & kEditLabels) != 0;
    options.disableDragDrop = (style & kDisableDragDrop) != 0;
    const int dragX = wxSystemSettings::GetMetric(wxSYS_DRAG_X, this);
    const int dragY = wxSystemSettings::GetMetric(wxSYS_DRAG_Y, this);
    options.dragWidth = dragX > 0 ? dragX : 4;
    options.dragHeight = dragY > 0 ? dragY : 4;
    m_pSelection = std::make_unique<CMultiSelectTree>(*m_pStore, *this, options);
    m_pStore->SetListener(this);
    m_pStore->SetDisplay(this);

    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX));
    UpdateMetrics();

    Bind(wxEVT_PAINT, &CTVTreeView::OnPaint, this);
    Bind(wxEVT_SIZE, &CTVTreeView::OnSize, this);
    Bind(wxEVT_LEFT_DOWN, &CTVTreeView::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CTVTreeView::OnLeftUp, this);
    Bind(wxEVT_MOTION, &CTVTreeView::OnMotion, this);
    Bind(wxEVT_LEFT_DCLICK, &CTVTreeView::OnLeftDClick, this);
    Bind(wxEVT_RIGHT_DOWN, &CTVTreeView::OnRightDown, this);
    Bind(wxEVT_KEY_DOWN, &CTVTreeView::OnKeyDown, this);
    Bind(wxEVT_CHAR, &CTVTreeView::OnChar, this);
    Bind(wxEVT_TIMER, &CTVTreeView::OnEditTimer, this, m_editTimer.GetId());
    Bind(wxEVT_SET_FOCUS, &CTVTreeView::OnFocusChange, this);
    Bind(wxEVT_KILL_FOCUS, &CTVTreeView::OnFocusChange, this);
}

CTVTreeView::~CTVTreeView()
{
    // The items go without telling anybody: their holders go with the view.
    m_pStore->SetListener(nullptr);
    m_pStore->SetDisplay(nullptr);
}

void CTVTreeView::AssignImageList(wxImageList* images)
{
    m_pImages.reset(images);
    UpdateMetrics();
}

bool CTVTreeView::SetFont(const wxFont& font)
{
    if (!CSchemaPane::SetFont(font))
        return false;
    m_pStore->ForgetTextWidths();
    UpdateMetrics();
    return true;
}

void CTVTreeView::UpdateMetrics()
{
    int width = 0, height = 0;
    if (m_pImages && m_pImages->GetImageCount() > 0)
        m_pImages->GetSize(0, width, height);
    m_nImageWidth = width;
    m_nLineHeight = std::max({GetCharHeight() + 6, height + 2, 19});
    m_nIndent = std::max(width + 2, 19);
    SetScrollRate(10, m_nLineHeight);
    m_bLayoutDirty = true;
    Refresh();
}

// ---- Display of the store ----

void CTVTreeView::OnTreeChanged(bool layout)
{
    m_bLayoutDirty = m_bLayoutDirty || layout;
    Refresh();
}

std::pair<int, int> CTVTreeView::GetScrollPosition() const
{
    int x = 0, y = 0;
    GetViewStart(&x, &y);
    return {x, y};
}

void CTVTreeView::SetScrollPosition(int x, int y)
{
    UpdateLayout();
    Scroll(x, y);
}

int CTVTreeView::GetPageSize() const
{
    return std::max(1, GetClientSize().y / m_nLineHeight);
}

void CTVTreeView::ScrollToRow(int row)
{
    if (row < 0)
        return;
    UpdateLayout();
    int x = 0, top = 0;
    GetViewStart(&x, &top);
    const int page = GetPageSize();
    if (row < top)
        Scroll(-1, row);
    else if (row >= top + page)
        Scroll(-1, row - page + 1);
}

void CTVTreeView::EnsureCaretVisible()
{
    m_pStore->EnsureVisible(m_pStore->GetCaret());
}

void CTVTreeView::OnItemExpanding(TreeItem item)
{
    if (m_pListener)
        m_pListener->OnItemExpanding(item);
}

void CTVTreeView::OnItemCollapsing(TreeItem item)
{
    if (m_pListener)
        m_pListener->OnItemCollapsing(item);
    else
        m_pSelection->OnItemCollapsing(item);
}

void CTVTreeView::OnItemDeleted(TreeItem item)
{
    if (m_editItem == item)
        EndEdit(false);
    if (m_pListener)
        m_pListener->OnItemDeleted(item);
    else
        m_pSelection->OnItemDeleted(item);
}

// ---- Geometry ----

int CTVTreeView::Level(TreeItem item) const
{
    return m_pStore->GetDepth(item) + ((m_nStyle & kLinesAtRoot) ? 1 : 0);
}

int CTVTreeView::TextX(TreeItem item) const
{
    return ImageX(item) + (m_nImageWidth > 0 ? m_nImageWidth + kTextGap : 0);
}

wxFont CTVTreeView::FontOf(TreeItem item) const
{
    wxFont font = GetFont();
    if (m_pStore->IsBold(item))
        font.MakeBold();
    return font;
}

int CTVTreeView::MeasureText(TreeItem item, wxDC& dc)
{
    int width = m_pStore->GetTextWidth(item);
    if (width < 0) {
        dc.SetFont(FontOf(item));
        width = dc.GetTextExtent(m_pStore->GetText(item)).x;
        m_pStore->SetTextWidth(item, width);
        // A label wider than the estimate widens the scrolled area.
        if (TextX(item) + width + 2 * kLabelPadding > m_nVirtualWidth)
            m_bLayoutDirty = true;
    }
    return width;
}

void CTVTreeView::UpdateLayout()
{
    if (!m_bLayoutDirty)
        return;
    m_bLayoutDirty = false;
    const std::vector<TreeItem>& rows = m_pStore->VisibleRows();
    // Labels not drawn yet are estimated from their length.
    const int charWidth = GetCharWidth();
    int width = 0;
    for (TreeItem item : rows) {
        const int text = m_pStore->GetTextWidth(item);
        const int estimate = text >= 0 ? text : static_cast<int>(m_pStore->GetText(item).length()) * charWidth;
        width = std::max(width, TextX(item) + estimate + 2 * kLabelPadding);
    }
    m_nVirtualWidth = width;
    SetVirtualSize(width, static_cast<int>(rows.size()) * m_nLineHeight);
}

TreeItem CTVTreeView::HitTestItem(const wxPoint& point, CMultiSelectTree::Where& where)
{
    UpdateLayout();
    where = CMultiSelectTree::Where::Nowhere;
    const wxPoint logical = CalcUnscrolledPosition(point);
    const std::vector<TreeItem>& rows = m_pStore->VisibleRows();
    if (logical.y < 0 || logical.y >= static_cast<int>(rows.size()) * m_nLineHeight)
        return {};
    const TreeItem item = rows[static_cast<size_t>(logical.y / m_nLineHeight)];
    const int level = Level(item);
    if (level > 0 && m_pStore->HasButton(item) && logical.x >= (level - 1) * m_nIndent &&
        logical.x < level * m_nIndent) {
        where = CMultiSelectTree::Where::Button;
    } else {
        wxClientDC dc(this);
        const int textX = TextX(item);
        const int width = MeasureText(item, dc);
        where = logical.x >= textX - kLabelPadding && logical.x < textX + width + kLabelPadding
                    ? CMultiSelectTree::Where::Label
                    : CMultiSelectTree::Where::Other;
    }
    return item;
}

wxRect CTVTreeView::GetItemRect(TreeItem item, bool labelOnly)
{
    UpdateLayout();
    const int row = m_pStore->RowOf(item);
    if (row < 0)
        return wxRect();
    wxRect rect(0, row * m_nLineHeight, GetVirtualSize().x, m_nLineHeight);
    if (labelOnly) {
        wxClientDC dc(this);
        rect.x = TextX(item) - kLabelPadding;
        rect.width = MeasureText(item, dc) + 2 * kLabelPadding;
    }
    rect.SetPosition(CalcScrolledPosition(rect.GetPosition()));
    return rect;
}

// ---- Drawing ----

void CTVTreeView::OnPaint(wxPaintEvent&)
{
    UpdateLayout();
    wxPaintDC dc(this);
    DoPrepareDC(dc);
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    const std::vector<TreeItem>& rows = m_pStore->VisibleRows();
    int x = 0, top = 0;
    GetViewStart(&x, &top);
    const int last = std::min(static_cast<int>(rows.size()), top + GetPageSize() + 2);
    for (int row = std::max(0, top); row < last; ++row)
        DrawRow(dc, rows[static_cast<size_t>(row)], row);
    // Labels measured while drawing may widen the area.
    if (m_bLayoutDirty)
        CallAfter([this] { UpdateLayout(); });
}

void CTVTreeView::DrawRow(wxDC& dc, TreeItem item, int row)
{
    const int y = row * m_nLineHeight;
    const int middle = y + m_nLineHeight / 2;
    const int level = Level(item);
    const wxColour lineColour = wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT);
    dc.SetPen(wxPen(lineColour, 1, wxPENSTYLE_DOT));
    // The lines of the item's own column and of every ancestor with siblings below.
    if (level > 0 && m_pStore->GetParent(item)) {
        const int column = (level - 1) * m_nIndent + m_nIndent / 2;
        dc.DrawLine(column, y, column, m_pStore->IsLastChild(item) ? middle : y + m_nLineHeight);
        dc.DrawLine(column, middle, level * m_nIndent, middle);
    } else if (level > 0) {
        const int column = (level - 1) * m_nIndent + m_nIndent / 2;
        dc.DrawLine(column, middle, level * m_nIndent, middle);
    }
    for (TreeItem at = m_pStore->GetParent(item); at && m_pStore->GetParent(at); at = m_pStore->GetParent(at)) {
        const int atLevel = Level(at);
        if (atLevel > 0 && !m_pStore->IsLastChild(at)) {
            const int column = (atLevel - 1) * m_nIndent + m_nIndent / 2;
            dc.DrawLine(column, y, column, y + m_nLineHeight);
        }
    }
    if (level > 0 && m_pStore->HasButton(item)) {
        const int size = 11;
        const wxRect button((level - 1) * m_nIndent + (m_nIndent - size) / 2, middle - size / 2, size, size);
        wxRendererNative::Get().DrawTreeItemButton(this, dc, button,
                                                   m_pStore->IsExpanded(item) ? int(wxCONTROL_EXPANDED) : 0);
    }
    if (m_pImages) {
        int width = 0, height = 0;
        m_pImages->GetSize(0, width, height);
        m_pImages->Draw(m_pStore->GetKind(item), dc, ImageX(item), y + (m_nLineHeight - height) / 2,
                        wxIMAGELIST_DRAW_TRANSPARENT);
    }
    const int textX = TextX(item);
    const int textWidth = MeasureText(item, dc);
    const wxRect label(textX - kLabelPadding, y + 1, textWidth + 2 * kLabelPadding, m_nLineHeight - 2);
    const bool focused = HasFocus();
    dc.SetFont(FontOf(item));
    if (m_pStore->IsSelected(item)) {
        wxRendererNative::Get().DrawItemSelectionRect(this, dc, label,
                                                      wxCONTROL_SELECTED | (focused ? int(wxCONTROL_FOCUSED) : 0));
        dc.SetTextForeground(focused ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT) : GetForegroundColour());
    } else {
        dc.SetTextForeground(GetForegroundColour());
    }
    dc.DrawText(m_pStore->GetText(item), textX, y + (m_nLineHeight - dc.GetCharHeight()) / 2);
    if (focused && item == m_pStore->GetCaret())
        wxRendererNative::Get().DrawFocusRect(this, dc, label);
}

void CTVTreeView::OnSize(wxSizeEvent& event)
{
    m_bLayoutDirty = true;
    Refresh();
    event.Skip();
}

void CTVTreeView::OnFocusChange(wxFocusEvent& event)
{
    Refresh();
    event.Skip();
}

// ---- Mouse ----

CMultiSelectTree::Press CTVTreeView::HandleLButtonDown(TreeItem hit, CMultiSelectTree::Where where, bool shift,
                                                       bool ctrl, const wxPoint& point)
{
    return m_pSelection->OnLButtonDown(hit, where, shift, ctrl, point.x, point.y);
}

void CTVTreeView::HandleRButtonDown(TreeItem hit, CMultiSelectTree::Where where, const wxPoint&)
{
    if (hit && where != CMultiSelectTree::Where::Button && !m_pStore->IsSelected(hit))
        m_pSelection->SelectItemOnClick(hit, false, false);
}

void CTVTreeView::OnLeftDown(wxMouseEvent& event)
{
    if (m_pEdit)
        EndEdit(true);
    SetFocus();
    CMultiSelectTree::Where where;
    const TreeItem hit = HitTestItem(event.GetPosition(), where);
    switch (HandleLButtonDown(hit, where, event.ShiftDown(), event.ControlDown(), event.GetPosition())) {
    case CMultiSelectTree::Press::Default:
        if (hit && where == CMultiSelectTree::Where::Button)
            m_pStore->Toggle(hit);
        break;
    case CMultiSelectTree::Press::ArmEdit: {
        const int period = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC, this);
        m_editTimer.StartOnce(period > 0 ? period : 500);
        break;
    }
    case CMultiSelectTree::Press::Handled: break;
    }
}

void CTVTreeView::OnLeftUp(wxMouseEvent& event)
{
    m_pSelection->OnLButtonUp(event.ShiftDown(), event.ControlDown(), event.GetX(), event.GetY());
}

void CTVTreeView::OnMotion(wxMouseEvent& event)
{
    if (event.LeftIsDown())
        m_pSelection->OnMouseMove(event.GetX(), event.GetY());
    event.Skip();
}

void CTVTreeView::OnLeftDClick(wxMouseEvent& event)
{
    m_editTimer.Stop();
    m_pSelection->OnLButtonDblClk();
    CMultiSelectTree::Where where;
    const TreeItem hit = HitTestItem(event.GetPosition(), where);
    // The press before the double click toggled a button already.
    if (!hit || where == CMultiSelectTree::Where::Button)
        return;
    if (!OnItemActivated(hit))
        m_pStore->Toggle(hit);
}

void CTVTreeView::OnRightDown(wxMouseEvent& event)
{
    if (m_pEdit)
        EndEdit(true);
    SetFocus();
    CMultiSelectTree::Where where;
    const TreeItem hit = HitTestItem(event.GetPosition(), where);
    HandleRButtonDown(hit, where, event.GetPosition());
}

void CTVTreeView::OnEditTimer(wxTimerEvent&)
{
    if (const TreeItem item = m_pSelection->OnEditTimer())
        EditLabel(item);
}

bool CTVTreeView::OnItemActivated(TreeItem item)
{
    wxTreeEvent event(wxEVT_TREE_ITEM_ACTIVATED, GetId());
    event.SetItem(Id(item));
    SendNotification(event);
    return false;
}

// ---- Keys ----

bool CTVTreeView::HandleNavigationKey(CMultiSelectTree::Key key, bool shift)
{
    return m_pSelection->OnKeyDown(key, shift);
}

bool CTVTreeView::HandleKey(const wxKeyEvent&)
{
    return false;
}

void CTVTreeView::MoveCaretTo(TreeItem item)
{
    if (!item)
        return;
    const TreeItem old = m_pStore->GetCaret();
    m_pSelection->SelectOnly(item);
    m_pStore->EnsureVisible(item);
    SelChanged(old, item);
    OnCaretMovedByControl();
}

void CTVTreeView::OnKeyDown(wxKeyEvent& event)
{
    if (HandleKey(event))
        return;
    const int code = event.GetKeyCode();
    const bool plain = !event.ControlDown() && !event.AltDown();
    if (plain) {
        std::optional<CMultiSelectTree::Key> key;
        switch (code) {
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
    const TreeItem caret = m_pStore->GetCaret();
    if (plain && !event.ShiftDown() && caret) {
        switch (code) {
        case WXK_LEFT:
        case WXK_NUMPAD_LEFT:
            if (m_pStore->IsExpanded(caret))
                m_pStore->Collapse(caret);
            else
                MoveCaretTo(m_pStore->GetParent(caret));
            return;
        case WXK_RIGHT:
        case WXK_NUMPAD_RIGHT:
            if (!m_pStore->IsExpanded(caret))
                m_pStore->Expand(caret);
            else
                MoveCaretTo(m_pStore->GetFirstChild(caret));
            return;
        case WXK_ADD:
        case WXK_NUMPAD_ADD: m_pStore->Expand(caret); return;
        case WXK_SUBTRACT:
        case WXK_NUMPAD_SUBTRACT: m_pStore->Collapse(caret); return;
        case WXK_HOME:
        case WXK_NUMPAD_HOME: MoveCaretTo(m_pSelection->FirstVisible()); return;
        case WXK_END:
        case WXK_NUMPAD_END: {
            const std::vector<TreeItem>& rows = m_pStore->VisibleRows();
            if (!rows.empty())
                MoveCaretTo(rows.back());
            return;
        }
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            if (!OnItemActivated(caret))
                m_pStore->Toggle(caret);
            return;
        default: break;
        }
    }
    event.Skip();
}

void CTVTreeView::OnChar(wxKeyEvent& event)
{
    const wxChar c = event.GetUnicodeKey();
    if (event.ControlDown() || event.AltDown() || c == WXK_NONE || c < 32 || c == 127) {
        event.Skip();
        return;
    }
    // Typing a name goes to the next visible item that starts with it.
    const wxLongLong now = wxGetLocalTimeMillis();
    if (now - m_lastCharTime > kFindResetMs)
        m_strFindPrefix.clear();
    m_lastCharTime = now;
    m_strFindPrefix += c;
    const std::vector<TreeItem>& rows = m_pStore->VisibleRows();
    if (rows.empty())
        return;
    const int caretRow = m_pStore->RowOf(m_pStore->GetCaret());
    // A new name starts after the caret; a longer one may stay on it.
    const size_t first = m_strFindPrefix.length() == 1 ? static_cast<size_t>(caretRow + 1) : static_cast<size_t>(std::max(caretRow, 0));
    for (size_t n = 0; n < rows.size(); ++n) {
        const TreeItem item = rows[(first + n) % rows.size()];
        if (m_pStore->GetText(item).Lower().StartsWith(m_strFindPrefix.Lower())) {
            if (item != m_pStore->GetCaret())
                MoveCaretTo(item);
            return;
        }
    }
}

// ---- Label editing ----

void CTVTreeView::EditLabel(TreeItem item)
{
    if (!(m_nStyle & kEditLabels) || !item || m_pEdit)
        return;
    wxTreeEvent begin(wxEVT_TREE_BEGIN_LABEL_EDIT, GetId());
    begin.SetItem(Id(item));
    SendNotification(begin);
    if (!begin.IsAllowed())
        return;
    m_pStore->EnsureVisible(item);
    const wxRect rect = GetItemRect(item, true);
    m_editItem = item;
    m_pEdit = new wxTextCtrl(this, wxID_ANY, m_pStore->GetText(item), rect.GetPosition() - wxPoint(2, 2),
                             wxSize(std::max(rect.width + 40, 80), rect.height + 4), wxTE_PROCESS_ENTER);
    m_pEdit->SelectAll();
    m_pEdit->SetFocus();
    m_pEdit->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { CallAfter([this] { EndEdit(true); }); });
    m_pEdit->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& key) {
        if (key.GetKeyCode() == WXK_ESCAPE)
            CallAfter([this] { EndEdit(false); });
        else
            key.Skip();
    });
    m_pEdit->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& focus) {
        focus.Skip();
        CallAfter([this] { EndEdit(true); });
    });
}

void CTVTreeView::EndEdit(bool accept)
{
    if (!m_pEdit)
        return;
    wxTextCtrl* edit = m_pEdit;
    const TreeItem item = m_editItem;
    m_pEdit = nullptr;
    m_editItem = {};
    wxTreeEvent end(wxEVT_TREE_END_LABEL_EDIT, GetId());
    end.SetItem(Id(item));
    end.SetLabel(edit->GetValue());
    end.SetEditCanceled(!accept);
    if (item)
        SendNotification(end);
    if (item && accept && end.IsAllowed())
        m_pStore->SetText(item, edit->GetValue());
    edit->Destroy();
    SetFocus();
}

// ---- Notifications ----

void CTVTreeView::SendNotification(wxTreeEvent& event)
{
    event.SetEventObject(this);
    GetEventHandler()->ProcessEvent(event);
}

void CTVTreeView::SelChanging(TreeItem itemNew, int x, int y)
{
    wxTreeEvent event(wxEVT_TREE_SEL_CHANGING, GetId());
    event.SetItem(Id(itemNew));
    event.SetPoint(wxPoint(x, y));
    SendNotification(event);
}

void CTVTreeView::SelChanged(TreeItem itemOld, TreeItem itemNew)
{
    wxTreeEvent event(wxEVT_TREE_SEL_CHANGED, GetId());
    event.SetItem(Id(itemNew));
    event.SetOldItem(Id(itemOld));
    SendNotification(event);
}

void CTVTreeView::KeyDown(TreeKey key)
{
    wxTreeEvent event(wxEVT_TREE_KEY_DOWN, GetId());
    wxKeyEvent keyEvent(wxEVT_KEY_DOWN);
    keyEvent.m_keyCode = key == TreeKey::Up     ? WXK_UP
                         : key == TreeKey::Down ? WXK_DOWN
                         : key == TreeKey::PageUp ? WXK_PAGEUP
                                                  : WXK_PAGEDOWN;
    event.SetKeyEvent(keyEvent);
    SendNotification(event);
}

void CTVTreeView::BeginDrag(TreeItem item, int x, int y)
{
    wxTreeEvent event(wxEVT_TREE_BEGIN_DRAG, GetId());
    event.SetItem(Id(item));
    event.SetPoint(wxPoint(x, y));
    SendNotification(event);
}
