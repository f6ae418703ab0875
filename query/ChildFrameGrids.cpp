// The query window's results grids: the window's side of the grid worker's requests, showing a
// grid, walking through the grids of a run, and clearing them.
#include "ChildFrame.h"

#include "GoToGridDlg.h"
#include "MSHFlexGrid.h"
#include "platform/LayoutFromTop.h"
#include "querycore/GridGrowthFailure.h"
#include "querycore/GridWorker.h"
#include "QueryHost.h"
#include "QueryKeyRouting.h"
#include "ResultView.h"
#include "TVStatusBar.h"

#include <wx/app.h>
#include <wx/settings.h>

#include <algorithm>

namespace {

const char* const kResultsGridTag = "Results grid #";

CMSHFlexGrid* FindGridOfStore(const std::vector<CMSHFlexGrid*>& grids, const CGridStore* store)
{
    if (!store)
        return nullptr;
    // The grid being filled is nearly always the last one.
    for (auto it = grids.rbegin(); it != grids.rend(); ++it) {
        if ((*it)->GetStore().get() == store)
            return *it;
    }
    return nullptr;
}

} // namespace

void CChildFrame::BindResultGrids()
{
    CFrameMailbox& mailbox = GetMailbox();
    mailbox.SetHandler<CCreateResultGrid>([this](const CCreateResultGrid& m) { return OnCreateResultGrid(m); });
    mailbox.SetHandler<CSetGridRows>([this](const CSetGridRows& m) { return OnSetGridRows(m); });
    mailbox.SetHandler<CSetGridRedraw>([this](const CSetGridRedraw& m) { return OnSetGridRedraw(m); });
    for (int id : {ID_PREVIOUS_GRID, ID_NEXT_GRID, ID_FIRST_GRID, ID_LAST_GRID, ID_GO_TO_GRID}) {
        Bind(wxEVT_MENU, &CChildFrame::OnGridCommand, this, id);
        Bind(wxEVT_UPDATE_UI, &CChildFrame::OnUpdateGridCommand, this, id);
    }
    Bind(wxEVT_SYS_COLOUR_CHANGED, &CChildFrame::OnSysColourChanged, this);
}

wxFont CChildFrame::GetConfiguredGridFont() const
{
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    if (m_pHost && m_pHost->SharedSettings().m_lfGrid.lfHeight != 0) {
        wxFont configured = m_pHost->SharedSettings().m_lfGrid.ToFont();
        if (configured.IsOk()) {
            if (m_pHost->SharedSettings().m_nGridBold)
                configured.MakeBold();
            font = configured;
        }
    } else if (m_pHost && m_pHost->SharedSettings().m_bTahomaPresent) {
        font.SetFaceName("Tahoma");
    }
    return font;
}

CMSHFlexGrid* CChildFrame::GetResultGrid(int n) const
{
    return m_pExecution->Grids().At(n);
}

void CChildFrame::SetGridFont(const wxFont& font)
{
    for (CMSHFlexGrid* grid : m_pExecution->Grids().All())
        grid->SetGridFont(font);
    m_nFontPoints = -1;
    m_nTwipsPerPixel = -1;
}

// ---- The worker's requests ----

void CChildFrame::SetGridFontEverywhere(const wxFont& font)
{
    if (!m_pHost) {
        SetGridFont(font);
        return;
    }
    for (CChildFrame* frame : m_pHost->GetQueryWindows())
        frame->SetGridFont(font);
}

void CChildFrame::ApplyResultFontEverywhere()
{
    const std::vector<CChildFrame*> frames = m_pHost ? m_pHost->GetQueryWindows() : std::vector<CChildFrame*>{this};
    for (CChildFrame* frame : frames)
        if (frame->GetResultView())
            frame->GetResultView()->ApplyFont();
}

LRESULT CChildFrame::OnCreateResultGrid(const CCreateResultGrid& request)
{
    CGridWorkBlock* block = request.block;
    if (m_bDestroyed || !block || !m_pResultView)
        return 0;
    block->m_pCurrentGrid.reset();
    if (m_pExecution->Grids().Count() >= kMaxResultGrids)
        return kGridLimitReached;
    CMSHFlexGrid* grid = nullptr;
    try {
        const size_t columns = static_cast<size_t>(std::max(request.columns, 2) - 1);
        grid = new CMSHFlexGrid(m_pResultView, std::make_shared<CGridStore>(columns));
    } catch (...) {
        return -1;
    }
    grid->Hide();
    m_pExecution->Grids().Add(grid);
    if (m_pExecution->Grids().Count() == 1) {
        m_pResultView->SetCurrentGrid(grid);
        const wxSize size = m_pResultView->GetClientSize();
        ForceWindowSize(grid, size.x, size.y);
    }
    block->m_pCurrentGrid = grid->GetStore();
    grid->GetStore()->m_nHasRows = -1;

    grid->SetBackColor(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    grid->SetGridFont(GetConfiguredGridFont());
    if (m_nFontPoints == -1)
        m_nFontPoints = std::max(grid->GetGridFont().GetPointSize(), 1);
    if (m_nTwipsPerPixel == -1)
        m_nTwipsPerPixel = grid->GetTwipsPerPixel();
    block->m_nFontPoints = m_nFontPoints;
    block->m_nTwipsPerPixel = m_nTwipsPerPixel;
    block->m_bLargeFonts = m_bLargeFonts != 0;
    return 0;
}

LRESULT CChildFrame::OnSetGridRows(const CSetGridRows& request)
{
    CGridWorkBlock* block = request.block;
    if (m_bDestroyed || !block)
        return -1;
    CMSHFlexGrid* grid = FindGridOfStore(m_pExecution->Grids().All(), block->m_pCurrentGrid.get());
    if (!grid)
        return -1;
    grid->SetRedraw(false);
    try {
        grid->SetRows(std::max(request.rows, 2));
    } catch (...) {
        block->m_strFailure = BuildGridGrowthFailureText("Errors occurred.").utf8_string();
    }
    grid->SetRedraw(true);
    // The worker could not make room for more rows: the grid keeps those written.
    if (block->m_strFailure.empty())
        return 0;
    m_pExecution->Grids().SetFailed(true);
    return -1;
}

LRESULT CChildFrame::OnSetGridRedraw(const CSetGridRedraw& request)
{
    CMSHFlexGrid* grid = FindGridOfStore(m_pExecution->Grids().All(), request.grid);
    if (m_bDestroyed || !grid)
        return 0;
    const bool on = request.redraw;
    grid->SetRedraw(on);
    if (!on)
        return 0;
    // The widths the worker has just worked out.
    grid->SyncWithStore();
    if (m_pExecution->Grids().Count() == 1 && grid == m_pExecution->Grids().First() && !grid->IsShown() &&
        m_pExecution->View().m_strResultsPaneText.Contains(kResultsGridTag)) {
        // The first grid shows while the batch still runs.
        const wxSize size = m_pResultView->GetClientSize();
        ForceWindowSize(grid, size.x, size.y);
        const bool focusInView = PaneOf(wxWindow::FindFocus()) == m_pResultView;
        grid->Raise();
        grid->Show();
        if (focusInView)
            grid->SetFocus();
        grid->Refresh();
    } else if (m_pExecution->Grids().Count() == 2 && m_pExecution->Grids().Current() == 0) {
        m_pExecution->Grids().SetCurrent(1);
        UpdateWindowUI(wxUPDATE_UI_RECURSE);
    }
    return 0;
}

// ---- Showing grids ----

wxString CChildFrame::GetGridStatusText(CMSHFlexGrid* grid, int n) const
{
    unsigned long rows = 0, cols = 0;
    if (grid) {
        rows = grid->GetStore()->m_nHasRows == 0 ? 0 : static_cast<unsigned long>(grid->GetRows() - 1);
        cols = static_cast<unsigned long>(grid->GetCols() - 1);
    }
    return wxString::Format("Results grid #%d of %d; %lu row(s); %lu col(s)", n, m_pExecution->Grids().Count(), rows, cols);
}

void CChildFrame::UpdateGridStatus(CMSHFlexGrid* grid, int n)
{
    if (!grid)
        return;
    if (!m_bOutputShown)
        OnViewOutput();

    m_pResultView->CloseFindDialog();
    m_pResultView->Freeze();
    if (m_pExecution->View().m_strResultsPaneText.IsSameAs("Messages", false)) {
        long from = 0, to = 0;
        m_pResultView->GetSelection(&from, &to);
        if (from == to && to == m_pResultView->GetLength())
            from = to = -1;
        CResultsText& text = m_pExecution->ResultsText();
        text.m_nSavedSelStart = from;
        text.m_nSavedSelEnd = to;
    }
    m_pResultView->SetOutputText(wxString());
    if (m_pExecution->Grids().Count() > 1)
        HideAllGrids();

    m_pResultView->SetCurrentGrid(grid);
    const wxSize size = m_pResultView->GetClientSize();
    ForceWindowSize(grid, size.x, size.y);
    grid->SetRedraw(true);
    grid->SyncWithStore();
    grid->RefreshGrid();
    grid->Raise();
    grid->Show();
    ForceWindowSize(grid, size.x, size.y);
    grid->SetFocus();
    grid->Refresh();
    m_pResultView->Thaw();
    m_pResultView->Refresh();
    ActivateResultsPane();

    m_pExecution->SetResultsPaneText(GetGridStatusText(grid, n));
    UpdateStatusPanes();
}

void CChildFrame::ShowResults()
{
    // After a failed growth the grids stay hidden; the failure is among the messages.
    if (m_output.m_bResultsInText || m_pExecution->Grids().IsFailed() || m_pExecution->Grids().IsEmpty() ||
        !m_pExecution->View().m_strResultsPaneText.Contains(kResultsGridTag))
        return;
    const int n = m_pExecution->Grids().Current() > 0 ? m_pExecution->Grids().Current() : 1;
    CMSHFlexGrid* grid = GetResultGrid(n);
    if (!grid)
        return;
    grid->SyncWithStore();
    if (!grid->IsShown()) {
        const wxSize size = m_pResultView->GetClientSize();
        ForceWindowSize(grid, size.x, size.y);
        m_pResultView->SetCurrentGrid(grid);
        grid->Raise();
        grid->Show();
        ForceWindowSize(grid, size.x, size.y);
        if (PaneOf(wxWindow::FindFocus()) == m_pResultView)
            grid->SetFocus();
        grid->Refresh();
    }
    if (!grid->GetRedraw()) {
        grid->SetRedraw(true);
        grid->Refresh();
    }
    m_pExecution->SetResultsPaneText(GetGridStatusText(grid, n));
    UpdateStatusPanes();
}

void CChildFrame::HideAllGrids()
{
    for (CMSHFlexGrid* grid : m_pExecution->Grids().All())
        grid->Hide();
}

void CChildFrame::DestroyAllGrids()
{
    if (m_pResultView)
        m_pResultView->Freeze();
    for (CMSHFlexGrid* grid : m_pExecution->Grids().All())
        grid->Destroy();
    m_pExecution->Grids().Clear();
    if (m_pResultView) {
        m_pResultView->SetCurrentGrid(nullptr);
        m_pResultView->Thaw();
        m_pResultView->Refresh();
    }
}

void CChildFrame::ForceWindowSize(wxWindow* window, int width, int height)
{
    if (!window || m_pExecution->Grids().IsFailed())
        return;
    // A window that never takes the size is left after a few tries.
    for (int attempt = 0; attempt < 5; ++attempt) {
        window->SetSize(0, 0, width, height);
        if (window->GetSize() == wxSize(width, height))
            break;
    }
    // The size is only asked for; the window gets it on screen in the toolkit's next layout.
    LayoutFromTop(*window);
    window->Refresh();
}

// ---- The Results Grid commands ----

void CChildFrame::OnGridCommand(wxCommandEvent& event)
{
    if (m_pExecution->Grids().IsFailed())
        return;
    int n = m_pExecution->Grids().Current();
    switch (event.GetId()) {
    case ID_PREVIOUS_GRID:
        if (m_pExecution->Grids().Current() <= 1)
            return;
        n = m_pExecution->Grids().Current() - 1;
        break;
    case ID_NEXT_GRID:
        if (m_pExecution->Grids().Current() < 1 || m_pExecution->Grids().Current() >= m_pExecution->Grids().Count())
            return;
        n = m_pExecution->Grids().Current() + 1;
        break;
    case ID_FIRST_GRID:
        if (m_pExecution->Grids().Current() <= 1)
            return;
        n = 1;
        break;
    case ID_LAST_GRID:
        if (m_pExecution->Grids().Current() < 1 || m_pExecution->Grids().Current() >= m_pExecution->Grids().Count())
            return;
        n = m_pExecution->Grids().Count();
        break;
    case ID_GO_TO_GRID: {
        if (m_pExecution->Grids().Count() <= 1)
            return;
        CGoToGridDlg dialog(this, m_pExecution->Grids().Current() > 0 ? m_pExecution->Grids().Current() : 1);
        if (dialog.ShowModal() != wxID_OK)
            return;
        n = std::clamp(dialog.m_nGridNumber, 1, m_pExecution->Grids().Count());
        break;
    }
    default:
        return;
    }
    m_pExecution->Grids().SetCurrent(n);
    UpdateGridStatus(GetResultGrid(n), n);
}

void CChildFrame::OnUpdateGridCommand(wxUpdateUIEvent& event)
{
    if (m_pExecution->Grids().IsFailed()) {
        event.Enable(false);
        return;
    }
    switch (event.GetId()) {
    case ID_PREVIOUS_GRID:
    case ID_FIRST_GRID: event.Enable(m_pExecution->Grids().Current() > 1); break;
    case ID_NEXT_GRID:
    case ID_LAST_GRID: event.Enable(m_pExecution->Grids().Current() > 0 && m_pExecution->Grids().Current() < m_pExecution->Grids().Count()); break;
    case ID_GO_TO_GRID: event.Enable(m_pExecution->Grids().Count() > 1); break;
    default: break;
    }
}

void CChildFrame::OnSysColourChanged(wxSysColourChangedEvent& event)
{
    event.Skip();
    const wxColour window = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
    for (CMSHFlexGrid* grid : m_pExecution->Grids().All())
        grid->SetBackColor(window);
    Refresh();
}
