// The query window's bars and panes: toolbar with the database list, status bar panes and
// their texts, showing and hiding the schema and output panes, moving the focus between panes,
// and the enabling rules of the window's commands.
#include "ChildFrame.h"

#include "common/CommandIds.h"
#include "common/EditHelpers.h"
#include "common/ItemComboBoxEx.h"
#include "editor/QryView.h"
#include "MSHFlexGrid.h"
#include "QueryHost.h"
#include "QueryKeyRouting.h"
#include "querycore/StatusPaneWidths.h"
#include "ResultCommands.h"
#include "SplitterShare.h"
#include "ResultView.h"
#include "SchemaPane.h"
#include "ToolbarImages.h"
#include "TVStatusBar.h"

#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/stc/stc.h>
#include <wx/toolbar.h>

#include <iterator>
#include <vector>

namespace {

const char* const kResultsPaneSample = "Results grid #888 of 888; 88888 row(s); 88 col(s)";
const char* const kLineColumnSample = "Ln 88888, Col 8888";
const char* const kLinesOfText = "Number of lines of text:";
const char* const kResultsGridTag = "Results grid #";

int PaneTextWidth(wxWindow* window, const wxString& text)
{
    return window->GetTextExtent(text).GetWidth() + 12;
}

// The database list's font when the status bar's is not the small one: made once, for every
// query window.
const wxFont& SharedListFont(bool tahoma)
{
    static const wxFont font = [tahoma] {
        wxFont f(wxFontInfo(wxSize(0, 11)).FaceName(tahoma ? "Tahoma" : "Lucida Console"));
        f.SetWeight(wxFONTWEIGHT_NORMAL);
        return f;
    }();
    return font;
}

} // namespace

void CChildFrame::CreateBars(wxSizer* sizer)
{
    m_bLargeFonts = IsLargeFontsMode();

    m_wndToolBar = new wxToolBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                 wxTB_HORIZONTAL | wxTB_FLAT | wxTB_NODIVIDER);
    m_wndToolBar->SetToolBitmapSize(wxSize(16, 16));
    m_wndToolBar->AddTool(ID_QUERY_EXECUTE, "Execute", GetToolbarImage(ToolbarImage::Execute), "Execute");
    m_wndToolBar->AddTool(ID_QUERY_CANCEL, "Cancel", GetToolbarImage(ToolbarImage::Cancel), "Cancel Executing Query");
    m_wndToolBar->AddSeparator();
    m_wndToolBar->AddCheckTool(ID_RESULTS_IN_TEXT, "Results in Text", GetToolbarImage(ToolbarImage::ResultsInText),
                               wxBitmapBundle(), "Results in Text");
    m_wndToolBar->AddTool(ID_MESSAGES_MODE, "Messages", GetToolbarImage(ToolbarImage::Messages), "Messages / Results Grid");
    m_wndToolBar->AddSeparator();
    m_wndToolBar->AddCheckTool(ID_VIEW_SCHEMA, "Schema", GetToolbarImage(ToolbarImage::Schema), wxBitmapBundle(), "Schema");
    m_wndToolBar->AddCheckTool(ID_VIEW_OUTPUT, "Output", GetToolbarImage(ToolbarImage::Output), wxBitmapBundle(), "Output");
    m_wndToolBar->AddSeparator();
    m_wndToolBar->AddTool(ID_PREVIOUS_GRID, "Previous Grid", GetToolbarImage(ToolbarImage::PreviousGrid),
                          "Previous results grid");
    m_wndToolBar->AddTool(ID_NEXT_GRID, "Next Grid", GetToolbarImage(ToolbarImage::NextGrid), "Next results grid");
    m_wndToolBar->AddSeparator();
    m_wndDatabaseList = new CItemComboBoxEx(m_wndToolBar, ID_DATABASE_LIST, wxDefaultPosition, wxSize(205, -1));
    m_wndDatabaseList->SetToolTip("Change Database Context (Alt+D)");
    m_wndToolBar->AddControl(m_wndDatabaseList);
    m_wndToolBar->Realize();
    m_wndDatabaseList->Disable();
    sizer->Add(m_wndToolBar, 0, wxEXPAND);

    m_wndStatusBar = new CTVStatusBar(this, [this] { return m_connection.m_bAutoCommit != 0; });
    m_nPaneWidths[0] = -1;
    m_nPaneWidths[1] = 24;
    // The elapsed-time pane takes the width of the run's first text once the run exists.
    m_nPaneWidths[2] = PaneTextWidth(m_wndStatusBar, "Exec time: 00:00:00");
    m_nPaneWidths[3] = PaneTextWidth(m_wndStatusBar, kResultsPaneSample);
    m_nPaneWidths[4] = PaneTextWidth(m_wndStatusBar, kLineColumnSample);
    m_wndStatusBar->SetFieldsCount(5, m_nPaneWidths);
    m_wndStatusBar->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        ApplyStatusWidths();
    });
    m_wndStatusBar->SetStatusText(m_strLineColText, 4);

    // The database list takes the status bar's font when that is the small one, else the
    // shared list font.
    const wxFont barFont = m_wndStatusBar->GetFont();
    if (barFont.GetPixelSize().GetHeight() == 11 && !m_bLargeFonts)
        m_wndDatabaseList->SetFont(barFont);
    else
        m_wndDatabaseList->SetFont(SharedListFont(m_pHost && m_pHost->SharedSettings().m_bTahomaPresent));
    m_wndStatusBar->Bind(wxEVT_UPDATE_UI, &CChildFrame::OnStatusBarUpdate, this);
}

void CChildFrame::BindPaneCommands()
{
    Bind(wxEVT_MENU, &CChildFrame::OnViewOutputCommand, this, ID_VIEW_OUTPUT);
    Bind(wxEVT_UPDATE_UI, &CChildFrame::OnUpdateViewOutput, this, ID_VIEW_OUTPUT);
    Bind(wxEVT_MENU, &CChildFrame::OnViewSchema, this, ID_VIEW_SCHEMA);
    Bind(wxEVT_UPDATE_UI, &CChildFrame::OnUpdateViewSchema, this, ID_VIEW_SCHEMA);
    Bind(wxEVT_MENU, &CChildFrame::OnPaneCommand, this, ID_NEXT_PANE);
    Bind(wxEVT_MENU, &CChildFrame::OnPaneCommand, this, ID_PREVIOUS_PANE);
    Bind(wxEVT_MENU, &CChildFrame::OnFocusDatabaseList, this, ID_FOCUS_DATABASE_LIST);
    Bind(wxEVT_CHAR_HOOK, &CChildFrame::OnPaneKeys, this);

    // Enabling rules of commands whose handlers live elsewhere in the window.
    const auto open = [this] { return IsConnectionOpen(); };
    const auto rule = [this](int id, std::function<bool()> enabled) {
        Bind(wxEVT_UPDATE_UI, [enabled](wxUpdateUIEvent& event) { event.Enable(enabled()); }, id);
    };
    rule(ID_QUERY_EXECUTE_SAVE_AS, [this] { return m_pExecution->IsExecuteEnabled() && !m_bPreviewMode; });
    rule(ID_DATABASE_LIST,
         [this, open] { return open() && m_bDatabaseListInUse && !m_pRunState->IsExecuting() && !m_bPreviewMode; });
    rule(ID_NEXT_PANE, [this] { return !m_bPreviewMode; });
    rule(ID_PREVIOUS_PANE, [this] { return !m_bPreviewMode; });
}

// ---- Status bar panes ----

void CChildFrame::FitStatusPane(int index, const wxString& text)
{
    const int width = PaneTextWidth(m_wndStatusBar, text);
    if (width <= m_nPaneWidths[index])
        return;
    m_nPaneWidths[index] = width;
    ApplyStatusWidths();
}

void CChildFrame::ShowRunPaneTexts()
{
    const CRunViewState& view = m_pExecution->View();
    m_nPaneWidths[2] = PaneTextWidth(m_wndStatusBar, view.m_strExecTime);
    ApplyStatusWidths();
    m_wndStatusBar->SetStatusText(view.m_strExecTime, 2);
    m_wndStatusBar->SetStatusText(view.m_strResultsPaneText, 3);
}

void CChildFrame::ApplyStatusWidths()
{
    // In a narrow window (tiled beside others) the panes share what room there is, each text cut
    // short with an ellipsis, rather than the last panes going out of sight.
    const std::vector<int> widths =
        FitStatusPaneWidths(std::vector<int>(std::begin(m_nPaneWidths), std::end(m_nPaneWidths)),
                            m_wndStatusBar->GetClientSize().x);
    m_wndStatusBar->SetStatusWidths(static_cast<int>(widths.size()), widths.data());
}

void CChildFrame::OnStatusBarUpdate(wxUpdateUIEvent&)
{
    UpdateStatusPanes();
}

void CChildFrame::UpdateStatusPanes()
{
    if (!m_wndStatusBar || !m_pExecution || m_bDestroyed)
        return;
    const auto show = [this](int index, const wxString& text) {
        if (m_wndStatusBar->GetStatusText(index) != text)
            m_wndStatusBar->SetStatusText(text, index);
    };
    show(0, m_pExecution->View().m_strStatusText);

    // The autocommit pane repaints and tells its mode when the mode changes.
    if (m_connection.m_bAutoCommit != m_bShownAutoCommit) {
        m_bShownAutoCommit = m_connection.m_bAutoCommit;
        m_wndStatusBar->SetTipText(CTVStatusBar::kAutoCommitPane, m_bShownAutoCommit ? "Autocommit mode is on"
                                                                                     : "Autocommit mode is off");
        m_wndStatusBar->Refresh();
    }

    if (!m_bOutputShown) {
        show(2, wxString());
        show(3, wxString());
    } else {
        FitStatusPane(2, m_pExecution->View().m_strExecTime);
        show(2, m_pExecution->View().m_strExecTime);
        if (m_pExecution->View().m_strResultsPaneText.Contains(kLinesOfText)) {
            m_pExecution->SetResultsPaneText(wxString::Format("%s %d", kLinesOfText, m_pResultView->GetLineCount()));
        } else if (m_pRunState->IsExecuting() && m_pExecution->View().m_strResultsPaneText.Contains(kResultsGridTag)) {
            // While a run fills the grid shown, its row count grows.
            const int n = m_pExecution->Grids().Current() > 0 ? m_pExecution->Grids().Current() : 1;
            if (CMSHFlexGrid* grid = GetResultGrid(n); grid && grid->IsShown())
                m_pExecution->SetResultsPaneText(GetGridStatusText(grid, n));
        }
        FitStatusPane(3, m_pExecution->View().m_strResultsPaneText);
        show(3, m_pExecution->View().m_strResultsPaneText);
    }
    UpdateLineColumnPane();
    show(4, m_strLineColText);
}

void CChildFrame::UpdateLineColumnPane()
{
    wxWindow* active = m_pActivePane;
    if (!active)
        return;
    const auto caretText = [](wxStyledTextCtrl& edit) {
        const int pos = edit.GetCurrentPos();
        const int line = edit.LineFromPosition(pos);
        const int column = edit.CountCharacters(edit.PositionFromLine(line), pos);
        return wxString::Format("Ln %d, Col %d", line + 1, column + 1);
    };
    if (active == m_pSchemaView && m_bSchemaShown) {
        m_strLineColText.clear();
    } else if (active == m_pResultView && m_bOutputShown && m_pResultView->IsGridVisible()) {
        CMSHFlexGrid* grid = m_pResultView->GetCurrentGrid();
        const int row = grid->GetStore()->m_nHasRows == 0 ? 0 : grid->GetRow();
        m_strLineColText = wxString::Format("Ln %d, Col %d", row, grid->GetCol());
    } else if (active == m_pResultView) {
        m_strLineColText = caretText(*m_pResultView);
    } else if (active == m_pEditorPane && GetQueryView() && GetQueryView()->GetEditCtrl()) {
        m_strLineColText = caretText(*GetQueryView()->GetEditCtrl());
    } else {
        return;
    }
    FitStatusPane(4, m_strLineColText);
}

// ---- Showing and hiding panes ----

void CChildFrame::OnPaneKeys(wxKeyEvent& event)
{
    const int code = event.GetKeyCode();
    const bool alt = event.AltDown() && !event.ControlDown() && !event.ShiftDown();
    const bool ctrl = event.ControlDown() && !event.AltDown() && !event.ShiftDown();
    int command = 0;
    if ((alt && code == '0') || (ctrl && code == 'M'))
        command = ID_VIEW_SCHEMA;
    else if (alt && code == '2')
        command = ID_VIEW_OUTPUT;
    else if (alt && code == 'D')
        command = ID_FOCUS_DATABASE_LIST;
    if (!command) {
        event.Skip();
        return;
    }
    wxQueueEvent(GetEventHandler(), new wxCommandEvent(wxEVT_MENU, command));
}

void CChildFrame::OnViewOutputCommand(wxCommandEvent&)
{
    // A key reaches here whatever the toolbar shows.
    if (IsViewOutputEnabled())
        OnViewOutput();
}

void CChildFrame::OnViewOutput()
{
    ClosePrintPreview();
    if (m_bOutputShown) {
        wxWindow* active = m_pActivePane;
        m_bOutputShown = 0;
        m_wndOuterSplitter->Unsplit(m_pResultView);
        if (active == m_pSchemaView)
            ActivateSchemaPane();
        else if (active == m_pResultView)
            m_bSchemaShown ? ActivateSchemaPane() : ActivateEditorPane();
        else
            ActivateEditorPane();
    } else {
        m_pResultView->Show();
        m_outerShare->SplitHorizontally(m_wndInnerSplitter, m_pResultView);
        m_bOutputShown = 1;
        if (m_pExecution->Grids().Count() > 0 || m_pResultView->GetLength() > 0)
            ActivateResultsPane();
    }
    if (PaneOf(wxWindow::FindFocus()) == m_pSchemaView)
        m_pSchemaView->Refresh();
    UpdateStatusPanes();
}

bool CChildFrame::IsViewOutputEnabled()
{
    return !m_bPreviewMode && !m_pRunState->IsBusy() &&
           (m_pExecution->Grids().Count() > 0 || m_pRunState->HasMessages() || m_pResultView->GetLength() > 0);
}

void CChildFrame::OnUpdateViewOutput(wxUpdateUIEvent& event)
{
    event.Enable(IsViewOutputEnabled());
    event.Check(m_bOutputShown != 0);
}

void CChildFrame::OnViewSchema(wxCommandEvent&)
{
    if (m_bPreviewMode)
        return;
    ShowSchemaPane(!m_bSchemaShown);
    if (m_bSchemaShown)
        ActivateSchemaPane();
}

void CChildFrame::OnUpdateViewSchema(wxUpdateUIEvent& event)
{
    event.Enable(!m_bPreviewMode);
    event.Check(m_bSchemaShown != 0);
}

void CChildFrame::OnFocusDatabaseList(wxCommandEvent&)
{
    m_wndDatabaseList->SetFocus();
}

// ---- Moving the focus ----

void CChildFrame::ActivateEditorPane()
{
    ActivatePaneWindow(m_pEditorPane);
}

void CChildFrame::ActivateResultsPane()
{
    if (!m_bOutputShown)
        return;
    m_pActivePane = m_pResultView;
    if (m_pResultView->IsGridVisible()) {
        CMSHFlexGrid* grid = m_pResultView->GetCurrentGrid();
        if (!grid->RowIsVisible(grid->GetRow()))
            grid->SetTopRow(grid->GetRow());
        grid->SetFocus();
    } else {
        m_pResultView->SetFocus();
    }
}

void CChildFrame::ActivateSchemaPane()
{
    if (!m_bSchemaShown)
        return;
    ActivatePaneWindow(m_pSchemaView);
    m_pSchemaView->EnsureCaretVisible();
}

void CChildFrame::OnPaneCommand(wxCommandEvent& event)
{
    if (m_bPreviewMode)
        return;
    MoveFocusToPane(event.GetId() == ID_NEXT_PANE);
}

void CChildFrame::MoveFocusToPane(bool next)
{
    wxWindow* focus = PaneOf(wxWindow::FindFocus());
    if (!focus)
        focus = m_pActivePane;
    if (focus == m_pSchemaView) {
        if (!next && m_bOutputShown)
            ActivateResultsPane();
        else
            ActivateEditorPane();
    } else if (focus == m_pResultView) {
        if (next && m_bSchemaShown)
            ActivateSchemaPane();
        else
            ActivateEditorPane();
    } else if (focus == m_pEditorPane) {
        if (next) {
            if (m_bOutputShown)
                ActivateResultsPane();
            else if (m_bSchemaShown)
                ActivateSchemaPane();
        } else if (m_bSchemaShown) {
            ActivateSchemaPane();
        } else if (m_bOutputShown) {
            ActivateResultsPane();
        }
    }
}

CGoToPane CChildFrame::GetGoToPane()
{
    CGoToPane pane;
    if (m_pActivePane == m_pResultView && m_bOutputShown) {
        if (m_pResultView->IsGridVisible()) {
            CMSHFlexGrid* grid = m_pResultView->GetCurrentGrid();
            pane.rowCount = [grid] { return static_cast<long>(grid->GetRows()); };
            pane.currentRow = [grid] { return static_cast<long>(grid->GetRow()); };
            pane.hasResults = CResultView::GetGridHasRows(grid) != 0;
            pane.goToRow = [grid](long row) {
                const int target = static_cast<int>(row);
                if (!grid->RowIsVisible(target))
                    grid->SetTopRow(target);
                grid->SetSelection(target, 1, target, grid->GetCols() - 1);
            };
        } else {
            pane.text = m_pResultView;
        }
    } else if (m_pActivePane == m_pEditorPane && GetQueryView()) {
        pane.text = GetQueryView()->GetEditCtrl();
    }
    return pane;
}

bool CChildFrame::TryBefore(wxEvent& event)
{
    const wxEventType type = event.GetEventType();
    if ((type != wxEVT_MENU && type != wxEVT_UPDATE_UI) || m_bDestroyed)
        return CChildFrameBase::TryBefore(event);
    // As the active view of a split window: the active pane sees its commands first, then the
    // document; the editor's own commands reach the editor only while it is the active pane.
    if (m_pActivePane && m_pActivePane != m_pEditorPane) {
        if (m_pActivePane->ProcessWindowEventLocally(event))
            return true;
        if (CTorvaneDoc* doc = GetQueryDoc(); doc && doc->ProcessEventLocally(event))
            return true;
    } else if (wxView* view = GetView(); view && view->ProcessEventLocally(event)) {
        return true;
    }
    return wxAuiMDIChildFrame::TryBefore(event);
}
