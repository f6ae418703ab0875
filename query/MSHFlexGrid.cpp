#include "MSHFlexGrid.h"

#include "common/CommandIds.h"
#include "ResultTable.h"

#include <wx/dcclient.h>

#include <algorithm>

CMSHFlexGrid::CMSHFlexGrid(wxWindow* parent, std::shared_ptr<CGridStore> store)
    : wxGrid(parent, kControlId, wxPoint(0, 0), parent->GetClientSize(), wxWANTS_CHARS | wxHSCROLL | wxVSCROLL),
      m_pStore(std::move(store)),
      m_timer(this)
{
    m_pTable = new CResultTable(m_pStore);
    SetTable(m_pTable, true, wxGridSelectCells);
    EnableEditing(false);
    EnableDragRowSize(false);
    // A long text stays inside its own cell.
    SetDefaultCellOverflow(false);
    SetColLabelAlignment(wxALIGN_LEFT, wxALIGN_CENTRE);
    SetRowLabelAlignment(wxALIGN_RIGHT, wxALIGN_CENTRE);
    SetGridLineColour(wxColour(0xC0, 0xC0, 0xC0));
    SetTabBehaviour(Tab_Wrap);

    Bind(wxEVT_TIMER, &CMSHFlexGrid::OnTimer, this);
    Bind(wxEVT_KEY_DOWN, &CMSHFlexGrid::OnKeyDown, this);
    for (wxWindow* window : {GetGridWindow(), GetGridRowLabelWindow(), GetGridColLabelWindow(),
                             GetGridCornerLabelWindow()}) {
        window->Bind(wxEVT_MOTION, &CMSHFlexGrid::OnMouseMotion, this);
        window->Bind(wxEVT_RIGHT_DOWN, &CMSHFlexGrid::OnMouseMotion, this);
        window->Bind(wxEVT_LEFT_DOWN, &CMSHFlexGrid::OnMouseMotion, this);
    }
    m_timer.Start(kSyncMilliseconds);
}

CMSHFlexGrid::~CMSHFlexGrid()
{
    m_timer.Stop();
}

int CMSHFlexGrid::GetRows() const
{
    return GetNumberRows() + 1;
}

void CMSHFlexGrid::SetRows(int n)
{
    m_nRowLimit = static_cast<size_t>(std::max(n, 2) - 1);
    SyncWithStore();
}

int CMSHFlexGrid::GetCols() const
{
    return GetNumberCols() + 1;
}

void CMSHFlexGrid::SyncWithStore()
{
    const bool changed = m_pTable->SyncRows(m_nRowLimit);
    unsigned generation = 0;
    if (m_pStore->GetColumnWidthsGeneration() != m_nWidthGeneration) {
        const std::vector<int> widths = m_pStore->GetColumnWidths(&generation);
        m_nWidthGeneration = generation;
        if (!widths.empty())
            SetRowLabelSize(widths[0]);
        for (size_t c = 1; c < widths.size() && c <= static_cast<size_t>(GetNumberCols()); ++c)
            SetColSize(static_cast<int>(c - 1), widths[c]);
        m_nLabelDigits = 0;
    }
    if (changed || m_nLabelDigits == 0)
        FitRowLabels();
    if (m_pStore->m_bComplete.load(std::memory_order_acquire) &&
        m_pTable->GetShownRows() == std::min(m_pStore->GetRowCount(), m_nRowLimit) &&
        m_nWidthGeneration == m_pStore->GetColumnWidthsGeneration())
        m_timer.Stop();
}

void CMSHFlexGrid::FitRowLabels()
{
    size_t digits = 1;
    for (size_t rows = m_pTable->GetShownRows(); rows >= 10; rows /= 10)
        ++digits;
    if (digits <= m_nLabelDigits)
        return;
    m_nLabelDigits = digits;
    wxClientDC dc(GetGridRowLabelWindow());
    dc.SetFont(GetLabelFont());
    const int needed = dc.GetTextExtent(wxString('8', digits)).GetWidth() + 10;
    if (needed > GetRowLabelSize())
        SetRowLabelSize(needed);
}

void CMSHFlexGrid::OnTimer(wxTimerEvent&)
{
    SyncWithStore();
}

wxString CMSHFlexGrid::GetTextMatrix(int row, int col) const
{
    if (row < 0 || col < 0 || col >= GetCols())
        return wxString();
    if (row == 0)
        return col == 0 ? wxString() : m_pTable->GetColLabelValue(col - 1);
    if (col == 0)
        return m_pTable->GetRowLabelValue(row - 1);
    return CResultTable::FullText(GetCellText(row, col));
}

std::string_view CMSHFlexGrid::GetCellText(int row, int col) const
{
    if (row < 1 || col < 1)
        return {};
    return m_pTable->GetCell(static_cast<size_t>(row - 1), static_cast<size_t>(col - 1));
}

std::string CMSHFlexGrid::GetColumnName(int col) const
{
    return col < 1 ? std::string() : m_pStore->GetColumnName(static_cast<size_t>(col - 1));
}

void CMSHFlexGrid::OnKeyDown(wxKeyEvent& event)
{
    const int code = event.GetKeyCode();
    const bool ctrl = event.ControlDown();
    const bool shift = event.ShiftDown();
    if (ctrl && !shift && (code == 'C' || code == 'A' || code == WXK_INSERT)) {
        wxCommandEvent command(wxEVT_MENU, code == 'A' ? ID_EDIT_SELECT_ALL : ID_EDIT_COPY);
        command.SetEventObject(this);
        GetParent()->GetEventHandler()->ProcessEvent(command);
        return;
    }
    // The menu key and Shift+F10 open the results view's menu for the grid, at the current cell.
    if (code == WXK_MENU || (code == WXK_F10 && shift && !ctrl)) {
        wxContextMenuEvent menu(wxEVT_CONTEXT_MENU, GetId(), wxDefaultPosition);
        menu.SetEventObject(this);
        GetParent()->GetEventHandler()->ProcessEvent(menu);
        return;
    }
    const auto goTo = [this](int row, int col) {
        if (!RowIsVisible(row))
            SetTopRow(row);
        SetCurrentCell(row, col);
    };
    if ((code == WXK_RETURN || code == WXK_NUMPAD_ENTER) && !ctrl) {
        if (!shift)
            MoveCursorDown(false);
        else if (GetRow() != 1)
            goTo(GetRow() - 1, GetCol());
        return;
    }
    if (MoveByKey(code, ctrl, shift))
        return;
    if (code == WXK_TAB && !ctrl) {
        const int row = GetRow(), col = GetCol();
        if (!shift) {
            if (col < GetCols() - 1) {
                MoveCursorRight(false);
            } else if (row < GetRows() - 1) {
                goTo(row + 1, 1);
                Scroll(0, -1);
            }
        } else if (col != 1) {
            if (!ColIsVisible(col - 1))
                SetLeftCol(col - 1);
            SetCurrentCell(row, col - 1);
        } else if (row > 1) {
            goTo(row - 1, GetCols() - 1);
            Scroll(GetVirtualSize().GetWidth(), -1);
        }
        return;
    }
    event.Skip();
}

bool CMSHFlexGrid::MoveByKey(int code, bool ctrl, bool shift)
{
    const int rows = GetNumberRows();
    const int cols = GetNumberCols();
    const int row = std::max(GetGridCursorRow(), 0);
    const auto moveTo = [&](int toRow, int toCol) {
        if (rows == 0 || cols == 0)
            return;
        const wxGridCellCoords anchor(row, std::max(GetGridCursorCol(), 0));
        if (!shift)
            ClearSelection();
        GoToCell(toRow, toCol);
        if (shift)
            SelectBlock(anchor, wxGridCellCoords(toRow, toCol));
    };
    switch (code) {
    case WXK_UP:
    case WXK_NUMPAD_UP:
        ctrl ? MoveCursorUpBlock(shift) : MoveCursorUp(shift);
        return true;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
        ctrl ? MoveCursorDownBlock(shift) : MoveCursorDown(shift);
        return true;
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT:
        ctrl ? MoveCursorLeftBlock(shift) : MoveCursorLeft(shift);
        return true;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT:
        ctrl ? MoveCursorRightBlock(shift) : MoveCursorRight(shift);
        return true;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP:
        MovePageUp();
        return true;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN:
        MovePageDown();
        return true;
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
        moveTo(ctrl ? 0 : row, 0);
        return true;
    case WXK_END:
    case WXK_NUMPAD_END:
        moveTo(ctrl ? rows - 1 : row, cols - 1);
        return true;
    default:
        return false;
    }
}

// ---- Current cell and selection ----

int CMSHFlexGrid::GetRow() const
{
    return std::max(GetGridCursorRow(), 0) + 1;
}

int CMSHFlexGrid::GetCol() const
{
    return std::max(GetGridCursorCol(), 0) + 1;
}

int CMSHFlexGrid::GetRowSel() const
{
    const int row = GetGridCursorRow();
    const int col = GetGridCursorCol();
    for (const wxGridBlockCoords& block : GetSelectedBlocks()) {
        if (block.Contains(wxGridCellCoords(row, col)))
            return (row == block.GetTopRow() ? block.GetBottomRow() : block.GetTopRow()) + 1;
    }
    return GetRow();
}

int CMSHFlexGrid::GetColSel() const
{
    const int row = GetGridCursorRow();
    const int col = GetGridCursorCol();
    for (const wxGridBlockCoords& block : GetSelectedBlocks()) {
        if (block.Contains(wxGridCellCoords(row, col)))
            return (col == block.GetLeftCol() ? block.GetRightCol() : block.GetLeftCol()) + 1;
    }
    return GetCol();
}

void CMSHFlexGrid::SetCurrentCell(int row, int col)
{
    SetSelection(row, col, row, col);
}

void CMSHFlexGrid::SetSelection(int row, int col, int rowSel, int colSel)
{
    const auto clampRow = [this](int r) { return std::clamp(r, 1, GetRows() - 1) - 1; };
    const auto clampCol = [this](int c) { return std::clamp(c, 1, std::max(GetCols() - 1, 1)) - 1; };
    ClearSelection();
    SetGridCursor(clampRow(row), clampCol(col));
    if (row != rowSel || col != colSel)
        SelectBlock(clampRow(row), clampCol(col), clampRow(rowSel), clampCol(colSel));
}

int CMSHFlexGrid::GetTopRow() const
{
    return std::max(GetFirstFullyVisibleRow(), 0) + 1;
}

void CMSHFlexGrid::SetTopRow(int row)
{
    row = std::clamp(row, 1, GetRows() - 1);
    int unitX = 0, unitY = 0;
    GetScrollPixelsPerUnit(&unitX, &unitY);
    if (unitY > 0)
        Scroll(-1, GetRowTop(row - 1) / unitY);
}

int CMSHFlexGrid::GetLeftCol() const
{
    return std::max(GetFirstFullyVisibleColumn(), 0) + 1;
}

void CMSHFlexGrid::SetLeftCol(int col)
{
    col = std::clamp(col, 1, std::max(GetCols() - 1, 1));
    int unitX = 0, unitY = 0;
    GetScrollPixelsPerUnit(&unitX, &unitY);
    if (unitX > 0)
        Scroll(GetColLeft(col - 1) / unitX, -1);
}

bool CMSHFlexGrid::RowIsVisible(int row) const
{
    if (row < 1 || row >= GetRows())
        return false;
    return IsVisible(row - 1, std::max(GetFirstFullyVisibleColumn(), 0), false);
}

bool CMSHFlexGrid::ColIsVisible(int col) const
{
    if (col < 1 || col >= GetCols())
        return false;
    return IsVisible(std::max(GetFirstFullyVisibleRow(), 0), col - 1, false);
}

void CMSHFlexGrid::OnMouseMotion(wxMouseEvent& event)
{
    event.Skip();
    TrackMouse(static_cast<wxWindow*>(event.GetEventObject()), event.GetPosition());
}

void CMSHFlexGrid::TrackMouse(wxWindow* window, const wxPoint& position)
{
    const wxPoint logical = CalcUnscrolledPosition(position);
    if (window == GetGridCornerLabelWindow()) {
        m_nMouseRow = m_nMouseCol = 0;
    } else if (window == GetGridColLabelWindow()) {
        m_nMouseRow = 0;
        const int col = XToCol(logical.x);
        m_nMouseCol = col < 0 ? -1 : col + 1;
    } else if (window == GetGridRowLabelWindow()) {
        const int row = YToRow(logical.y);
        m_nMouseRow = row < 0 ? -1 : row + 1;
        m_nMouseCol = 0;
    } else {
        const int row = YToRow(logical.y);
        const int col = XToCol(logical.x);
        m_nMouseRow = row < 0 ? -1 : row + 1;
        m_nMouseCol = col < 0 ? -1 : col + 1;
    }
}

// ---- Appearance ----

int CMSHFlexGrid::GetTwipsPerPixel() const
{
    const int dpi = GetDPI().GetWidth();
    return 1440 / (dpi > 0 ? dpi : 96);
}

int CMSHFlexGrid::GetColWidthTwips(int col) const
{
    if (col < 0 || col >= GetCols())
        return 0;
    return (col == 0 ? GetRowLabelSize() : GetColSize(col - 1)) * GetTwipsPerPixel();
}

void CMSHFlexGrid::SetColWidthTwips(int col, int twips)
{
    if (col < 0 || col >= GetCols())
        return;
    const int pixels = std::max(twips / GetTwipsPerPixel(), 0);
    if (col == 0)
        SetRowLabelSize(pixels);
    else
        SetColSize(col - 1, pixels);
}

void CMSHFlexGrid::SetRedraw(bool on)
{
    if (on == m_bRedraw)
        return;
    m_bRedraw = on;
    if (on)
        EndBatch();
    else
        BeginBatch();
}

void CMSHFlexGrid::RefreshGrid()
{
    ForceRefresh();
}

void CMSHFlexGrid::SetGridFont(const wxFont& font)
{
    if (!font.IsOk())
        return;
    SetDefaultCellFont(font);
    SetLabelFont(font);
    wxClientDC dc(GetGridWindow());
    dc.SetFont(font);
    const int height = dc.GetCharHeight();
    SetDefaultRowSize(height + 6, true);
    SetColLabelSize(height + 8);
    m_nLabelDigits = 0;
    FitRowLabels();
    ForceRefresh();
}

wxFont CMSHFlexGrid::GetGridFont() const
{
    return GetDefaultCellFont();
}

void CMSHFlexGrid::SetBackColor(const wxColour& colour)
{
    SetDefaultCellBackgroundColour(colour);
    GetGridWindow()->SetBackgroundColour(colour);
    ForceRefresh();
}
