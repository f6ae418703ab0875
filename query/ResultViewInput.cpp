// The results view's keys, its reading key map, and its context menus: the text's (Copy, Select
// All) and the grid's (Copy, Select All, Save Selection), whose items take the states of their
// commands as the menu opens.
#include "ResultView.h"

#include "ChildFrame.h"
#include "common/CommandIds.h"
#include "common/EditHelpers.h"
#include "GridContextMenu.h"
#include "MenuCommands.h"
#include "MSHFlexGrid.h"
#include "ResultCommands.h"

#include <wx/grid.h>
#include <wx/menu.h>

void CResultView::UseReadingKeys()
{
    // The text is read, never typed: the control keeps its moving, selecting and copying keys,
    // and every other key goes on to the window's commands.
    CmdKeyClearAll();
    const int none = 0, shift = wxSTC_KEYMOD_SHIFT, ctrl = wxSTC_KEYMOD_CTRL, cs = ctrl | shift;
    const struct {
        int key, mods, cmd;
    } keys[] = {
        {wxSTC_KEY_DOWN, none, wxSTC_CMD_LINEDOWN}, {wxSTC_KEY_DOWN, shift, wxSTC_CMD_LINEDOWNEXTEND},
        {wxSTC_KEY_DOWN, ctrl, wxSTC_CMD_LINESCROLLDOWN}, {wxSTC_KEY_UP, none, wxSTC_CMD_LINEUP},
        {wxSTC_KEY_UP, shift, wxSTC_CMD_LINEUPEXTEND}, {wxSTC_KEY_UP, ctrl, wxSTC_CMD_LINESCROLLUP},
        {wxSTC_KEY_LEFT, none, wxSTC_CMD_CHARLEFT}, {wxSTC_KEY_LEFT, shift, wxSTC_CMD_CHARLEFTEXTEND},
        {wxSTC_KEY_LEFT, ctrl, wxSTC_CMD_WORDLEFT}, {wxSTC_KEY_LEFT, cs, wxSTC_CMD_WORDLEFTEXTEND},
        {wxSTC_KEY_RIGHT, none, wxSTC_CMD_CHARRIGHT}, {wxSTC_KEY_RIGHT, shift, wxSTC_CMD_CHARRIGHTEXTEND},
        {wxSTC_KEY_RIGHT, ctrl, wxSTC_CMD_WORDRIGHT}, {wxSTC_KEY_RIGHT, cs, wxSTC_CMD_WORDRIGHTEXTEND},
        {wxSTC_KEY_HOME, none, wxSTC_CMD_HOME}, {wxSTC_KEY_HOME, shift, wxSTC_CMD_HOMEEXTEND},
        {wxSTC_KEY_HOME, ctrl, wxSTC_CMD_DOCUMENTSTART}, {wxSTC_KEY_HOME, cs, wxSTC_CMD_DOCUMENTSTARTEXTEND},
        {wxSTC_KEY_END, none, wxSTC_CMD_LINEEND}, {wxSTC_KEY_END, shift, wxSTC_CMD_LINEENDEXTEND},
        {wxSTC_KEY_END, ctrl, wxSTC_CMD_DOCUMENTEND}, {wxSTC_KEY_END, cs, wxSTC_CMD_DOCUMENTENDEXTEND},
        {wxSTC_KEY_PRIOR, none, wxSTC_CMD_PAGEUP}, {wxSTC_KEY_PRIOR, shift, wxSTC_CMD_PAGEUPEXTEND},
        {wxSTC_KEY_NEXT, none, wxSTC_CMD_PAGEDOWN}, {wxSTC_KEY_NEXT, shift, wxSTC_CMD_PAGEDOWNEXTEND},
        {'C', ctrl, wxSTC_CMD_COPY}, {wxSTC_KEY_INSERT, ctrl, wxSTC_CMD_COPY}, {'A', ctrl, wxSTC_CMD_SELECTALL},
        {wxSTC_KEY_ESCAPE, none, wxSTC_CMD_CANCEL},
    };
    for (const auto& k : keys)
        CmdKeyAssign(k.key, k.mods, k.cmd);
}

// ---- Keyboard and context menu ----

void CResultView::OnKeyDown(wxKeyEvent& event)
{
    const int code = event.GetKeyCode();
    const bool ctrl = event.ControlDown();
    const bool shift = event.ShiftDown();
    if (ctrl && shift && code == 'L')
        return;
    if (ctrl && !shift && code == 'F') {
        wxCommandEvent find(wxEVT_MENU, ID_EDIT_FIND);
        OnEditFind(find);
        return;
    }
    if (ctrl && code == ']') {
        if (IsBraceAtCaret(*this))
            MatchBrace(*this);
        return;
    }
    if (code == WXK_F7 && !ctrl && !shift) {
        SetWordWrap(!IsWordWrap());
        return;
    }
    // F8 refreshes the messages while a run goes; otherwise it is the key of the next error.
    if (code == WXK_F8 && !ctrl && !shift && IsRefreshEnabled()) {
        wxCommandEvent refresh(wxEVT_MENU, ID_REFRESH);
        OnRefresh(refresh);
        return;
    }
    if (code == WXK_MENU || (code == WXK_F10 && shift)) {
        ShowTextContextMenu(PointFromPosition(GetSelectionEnd()), true);
        return;
    }
    event.Skip();
}

void CResultView::OnContextMenu(wxContextMenuEvent& event)
{
    const bool byKeyboard = event.GetPosition() == wxDefaultPosition;
    if (m_pFrame->RunView().m_strResultsPaneText.Contains("Results grid #")) {
        // A mouse click on a grid comes as the grid's own event.
        if (IsGridVisible()) {
            if (byKeyboard)
                ShowGridContextMenu(-1, -1, true, wxDefaultPosition);
        } else {
            ShowGridContextMenu(-1, -1, byKeyboard,
                                byKeyboard ? PointFromPosition(GetSelectionEnd()) : ScreenToClient(event.GetPosition()));
        }
        return;
    }
    const wxPoint position = byKeyboard ? PointFromPosition(GetSelectionEnd()) : ScreenToClient(event.GetPosition());
    ShowTextContextMenu(position, byKeyboard);
}

void CResultView::OnGridRightClick(wxGridEvent& event)
{
    if (!IsGridVisible() || event.GetEventObject() != m_pCurrentGrid)
        return;
    // Headers are row 0 and column 0 of the grid's own coordinates.
    const int row = event.GetRow() < 0 ? 0 : event.GetRow() + 1;
    const int col = event.GetCol() < 0 ? 0 : event.GetCol() + 1;
    ShowGridContextMenu(row, col, false, ScreenToClient(wxGetMousePosition()));
}

void CResultView::ShowGridContextMenu(int mouseRow, int mouseCol, bool byKeyboard, const wxPoint& position)
{
    wxMenu menu;
    menu.Append(ID_EDIT_COPY, "&Copy");
    menu.Append(ID_EDIT_SELECT_ALL, "Select &All");
    AppendMenuCommand(&menu, ID_SAVE_SELECTION);

    wxPoint at = position;
    if (CMSHFlexGrid* grid = IsGridVisible() ? m_pCurrentGrid : nullptr) {
        grid->SetFocus();
        grid->SetRedraw(false);
        CGridMenuInput in;
        in.row = grid->GetRow();
        in.col = grid->GetCol();
        in.rowSel = grid->GetRowSel();
        in.colSel = grid->GetColSel();
        in.mouseRow = mouseRow;
        in.mouseCol = mouseCol;
        in.rows = grid->GetRows();
        in.cols = grid->GetCols();
        in.byKeyboard = byKeyboard;
        in.filling = !grid->GetStore()->m_bComplete.load();
        in.hasRows = GetGridHasRows(grid) != 0;
        in.header = [grid](int col) { return grid->GetTextMatrix(0, col); };
        const CGridMenuModel model = BuildGridContextMenu(in);
        if (model.selectionMoved)
            grid->SetSelection(model.row, model.col, model.rowSel, model.colSel);
        if (byKeyboard) {
            // Near the middle of the selection's top left cell, scrolled into view first.
            const int top = std::min(model.row, model.rowSel), left = std::min(model.col, model.colSel);
            if (!grid->RowIsVisible(top))
                grid->SetTopRow(top);
            const wxRect cell = grid->CellToRect(top - 1, left - 1);
            const wxPoint inGrid = grid->CalcScrolledPosition(cell.GetPosition()) +
                                   wxPoint(cell.GetWidth() / 2, cell.GetHeight() / 2);
            at = ScreenToClient(grid->GetGridWindow()->ClientToScreen(inGrid));
        }
        grid->SetRedraw(true);
        grid->Refresh();
        grid->Update();
    }
    // The items take the states of their commands (the pane's update rules) as the menu opens.
    PopupMenu(&menu, at);
}

void CResultView::ShowTextContextMenu(const wxPoint& position, bool byKeyboard)
{
    if (IsGridVisible())
        return;
    if (!byKeyboard) {
        // A right click outside the selection moves the caret there.
        const int at = PositionFromPoint(position);
        const int from = GetSelectionStart(), to = GetSelectionEnd();
        if (from == to || at < from || at > to)
            SetSelection(at, at);
    }
    SetFocus();
    wxMenu menu;
    menu.Append(ID_EDIT_COPY, "&Copy")->Enable(GetSelectionStart() != GetSelectionEnd());
    menu.Append(ID_EDIT_SELECT_ALL, "Select &All")->Enable(GetLength() > 0);
    PopupMenu(&menu, position);
}
