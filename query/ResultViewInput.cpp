// The results view's keys, its reading key map, and its context menus: the text's (Copy, Select
// All, Go to Error Batch/Tag) and the grid's (Copy, Select All, Save Selection, the sorts, View
// Contents), whose items take the states of their commands as the menu opens.
#include "ResultView.h"

#include "BatchExecution.h"
#include "common/CommandIds.h"
#include "common/EditHelpers.h"
#include "GridContextMenu.h"
#include "MenuCommands.h"
#include "MSHFlexGrid.h"
#include "ResultCommands.h"
#include "ResultsHost.h"

#include <wx/grid.h>
#include <wx/menu.h>

void CResultView::UseReadingKeys()
{
    // The text is read, never typed: the control keeps its moving, selecting and copying keys,
    // and every other key goes on to the window's commands.
    CmdKeyClearAll();
    const int none = 0, ctrl = wxSTC_KEYMOD_CTRL;
    const struct {
        int key, mods, cmd;
    } keys[] = {
        {'C', ctrl, wxSTC_CMD_COPY}, {wxSTC_KEY_INSERT, ctrl, wxSTC_CMD_COPY}, {'A', ctrl, wxSTC_CMD_SELECTALL},
        {wxSTC_KEY_ESCAPE, none, wxSTC_CMD_CANCEL},
    };
    AssignCaretMovingKeys(*this);
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
    if (m_pFrame->GetExecution().View().m_strResultsPaneText.Contains("Results grid #")) {
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
    // With no grid shown every item stays greyed.
    CGridMenuModel model;
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
        model = BuildGridContextMenu(in);
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

    wxMenu menu;
    menu.Append(ID_EDIT_COPY, "&Copy");
    menu.Append(ID_EDIT_SELECT_ALL, "Select &All");
    AppendMenuCommand(&menu, ID_SAVE_SELECTION);
    menu.AppendSeparator();
    menu.Append(ID_SORT_ASCENDING, model.sortAscending.label);
    menu.Append(ID_SORT_DESCENDING, model.sortDescending.label);
    menu.AppendSeparator();
    menu.Append(ID_SORT_SELECTION_ASCENDING, model.sortSelectionAscending.label);
    menu.Append(ID_SORT_SELECTION_DESCENDING, model.sortSelectionDescending.label);
    menu.AppendSeparator();
    menu.Append(ID_VIEW_CONTENTS, "View C&ontents");
    // The items take the states of their commands as the menu opens: the sort items and View
    // Contents those decided here.
    m_gridMenu = model;
    PopupMenu(&menu, at);
    m_gridMenu.reset();
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
    AppendMenuCommand(&menu, ID_GO_TO_ERROR_BATCH)->Enable(IsGoToErrorBatchEnabled());
    PopupMenu(&menu, position);
}
