// The results view's grid sorting (the four sort commands and the header click), View Contents
// and the grid's double click.
#include "ResultView.h"

#include "common/SettingsTable.h"
#include "GridViewContentsDlg.h"
#include "MSHFlexGrid.h"
#include "platform/MessageBox.h"
#include "querycore/GridSort.h"
#include "ResultCommands.h"
#include "ResultsHost.h"
#include "ResultTable.h"

#include <wx/grid.h>
#include <wx/utils.h>

#include <algorithm>
#include <new>

void CResultView::OnSortCommand(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case ID_SORT_ASCENDING: SortColumn(true); break;
    case ID_SORT_DESCENDING: SortColumn(false); break;
    case ID_SORT_SELECTION_ASCENDING: SortSelection(true); break;
    case ID_SORT_SELECTION_DESCENDING: SortSelection(false); break;
    default: break;
    }
}

void CResultView::SortColumn(bool ascending)
{
    m_bSortSelection = 0;
    m_bSortAscending = ascending ? 1 : 0;
    RunSort();
}

void CResultView::SortSelection(bool ascending)
{
    m_bSortSelection = 1;
    m_bSortAscending = ascending ? 1 : 0;
    RunSort();
}

void CResultView::RunSort()
{
    // The grid a worker is still filling is never sorted, whatever a stale menu state allowed.
    if (!IsGridVisible() || !m_pCurrentGrid->GetStore()->m_bComplete.load()) {
        m_bSortSelection = 0;
        return;
    }
    try {
        SortGrid();
    } catch (const std::bad_alloc&) {
        m_pCurrentGrid->SetRedraw(true);
        m_pFrame->SetFindStatusText(wxString());
        TVMessageBox("Out-of-Memory.", wxOK | wxICON_STOP, this);
    } catch (const std::exception&) {
        m_pCurrentGrid->SetRedraw(true);
        m_pFrame->SetFindStatusText(wxString());
        TVMessageBox("Errors occurred.", wxOK | wxICON_STOP, this);
    }
    m_bSortSelection = 0;
}

void CResultView::SortGrid()
{
    CMSHFlexGrid* grid = m_pCurrentGrid;
    wxBusyCursor wait;
    m_pFrame->SetFindStatusText("Please wait...");
    grid->Refresh();
    grid->Update();
    grid->SetRedraw(false);

    const bool selectionOnly = m_bSortSelection != 0;
    const int key = selectionOnly ? std::min(grid->GetCol(), grid->GetColSel()) : grid->GetCol();
    // Sorting the marked column again turns its direction round; the mark leaves its column.
    CResultTable& table = *grid->GetResultTable();
    if (table.GetSortMarkColumn() == key - 1)
        m_bSortAscending = table.IsSortMarkAscending() ? 0 : 1;
    table.SetSortMark(-1, false);

    // The rows: the selected ones, or all when the selection is one row (as a whole-column sort).
    const size_t shown = table.GetShownRows();
    size_t first = 0, last = shown ? shown - 1 : 0;
    if (selectionOnly) {
        const int top = std::min(grid->GetRow(), grid->GetRowSel());
        const int bottom = std::max(grid->GetRow(), grid->GetRowSel());
        if (top != bottom) {
            first = static_cast<size_t>(top - 1);
            last = std::min(static_cast<size_t>(bottom - 1), last);
        }
    }
    const bool ascending = m_bSortAscending != 0;
    if (shown > 1 && key >= 1) {
        const CGridStore::Reader reader(*grid->GetStore());
        const size_t column = static_cast<size_t>(key - 1);
        const GridSortKind kind = CGridSort::Classify(reader, table.GetOrder(),
                                                      GetGridColumnClass(*grid->GetStore(), key), column, first, last);
        CGridSort::Sort(reader, table.GetOrder(), column, kind, ascending, first, last);
    }
    if (!selectionOnly)
        table.SetSortMark(key - 1, ascending);

    grid->SetRedraw(true);
    grid->ForceRefresh();
    grid->Update();
    m_pFrame->SetFindStatusText(wxString());
}

void CResultView::OnGridLabelLeftClick(wxGridEvent& event)
{
    CMSHFlexGrid* grid = IsGridVisible() ? m_pCurrentGrid : nullptr;
    const int col = event.GetCol() + 1;
    if (grid && event.GetEventObject() == grid && event.GetRow() == -1 && col == 0) {
        // The corner selects every cell as Select All does, from the first one, so that the
        // current cell stays a corner of the selection that Copy and the sorts read.
        wxCommandEvent all(wxEVT_MENU, ID_EDIT_SELECT_ALL);
        OnEditSelectAll(all);
        grid->SetFocus();
        return;
    }
    // A click on a column header sorts that column when the settings ask for it, the grid
    // holds two rows or more and no worker fills it; otherwise the grid selects as usual.
    if (!grid || event.GetEventObject() != grid || event.GetRow() != -1 || col < 1 || GetGridHasRows(grid) == 0 ||
        settings::ReadInt(settings::SortColumn) == 0 || !grid->GetStore()->m_bComplete.load() ||
        grid->GetRows() < 3) {
        // A header click selects cells, so the keys that follow (Ctrl+C) are the grid's.
        if (grid && event.GetEventObject() == grid)
            grid->SetFocus();
        event.Skip();
        return;
    }
    grid->SetSelection(1, col, grid->GetRows() - 1, col);
    m_bSortSelection = 0;
    RunSort();
    grid->SetFocus();
}

void CResultView::OnGridCellDoubleClick(wxGridEvent& event)
{
    if (!IsGridVisible() || event.GetEventObject() != m_pCurrentGrid || GetGridHasRows(m_pCurrentGrid) == 0) {
        event.Skip();
        return;
    }
    m_pCurrentGrid->SetCurrentCell(event.GetRow() + 1, event.GetCol() + 1);
    wxCommandEvent view(wxEVT_MENU, ID_VIEW_CONTENTS);
    OnViewContents(view);
}

void CResultView::OnViewContents(wxCommandEvent&)
{
    if (!IsGridVisible() || GetGridHasRows(m_pCurrentGrid) == 0)
        return;
    CGridViewContentsDlg dialog(&m_pFrame->GetRunWindow(), [this] { m_pFrame->UpdateStatusPanes(); });
    dialog.m_pGrid = m_pCurrentGrid;
    dialog.ShowModal();
    if (IsGridVisible())
        m_pCurrentGrid->SetFocus();
}

void CResultView::OnUpdateGridMenuCommand(wxUpdateUIEvent& event)
{
    // These commands live in the grid's context menu only, which decides their states as it opens.
    if (!m_gridMenu || !IsGridVisible()) {
        event.Enable(false);
        return;
    }
    switch (event.GetId()) {
    case ID_SORT_ASCENDING: event.Enable(m_gridMenu->sortAscending.enabled); break;
    case ID_SORT_DESCENDING: event.Enable(m_gridMenu->sortDescending.enabled); break;
    case ID_SORT_SELECTION_ASCENDING: event.Enable(m_gridMenu->sortSelectionAscending.enabled); break;
    case ID_SORT_SELECTION_DESCENDING: event.Enable(m_gridMenu->sortSelectionDescending.enabled); break;
    case ID_VIEW_CONTENTS: event.Enable(m_gridMenu->viewContents); break;
    default: break;
    }
}
