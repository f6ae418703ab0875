#include "ResultView.h"

#include "BatchExecution.h"
#include "common/CommandIds.h"
#include "common/EditHelpers.h"
#include "common/FileException.h"
#include "common/FileHelpers.h"
#include "common/IdentifierText.h"
#include "common/ProfileFont.h"
#include "common/SettingsTable.h"
#include "common/ShellOpen.h"
#include "common/TVFontDialog.h"
#include "ExportDialogs.h"
#include "GridClipboardData.h"
#include "GridTextExport.h"
#include "GridViewContentsDlg.h"
#include "MSHFlexGrid.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "querycore/GridCopyText.h"
#include "querycore/GridSort.h"
#include "querycore/GridWorker.h"
#include "querycore/ReplacingFile.h"
#include "querycore/WorkbookExport.h"
#include "QueryHost.h"
#include "ResultCommands.h"
#include "ResultsHost.h"
#include "ResultTable.h"

#include <wx/frame.h>
#include <wx/clipbrd.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/grid.h>
#include <wx/fontdata.h>
#include <wx/utils.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

const char* const kPleaseWait = "Please wait...";
const char* const kGridExportFilter = "Export Files (*.csv)|*.csv|All Files (*.*)|*.*|";
const char* const kClearAllQuestion = "The requested operation cannot be undone. Are you sure you wish to continue?";

// The text font the results view uses when "Result\Font" holds none.
LogFont DefaultResultFont()
{
    LogFont lf;
    lf.lfHeight = IsLargeFontsMode() ? -17 : -13;
    lf.lfWeight = 400;
    lf.lfFaceName = "Courier New";
    return lf;
}

} // namespace

CResultView::CResultView(wxWindow* parent, IResultsHost* frame)
    : wxStyledTextCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), m_pFrame(frame)
{
    SetReadOnly(true);
    SetMarginWidth(1, 0);
    SetUseHorizontalScrollBar(true);
    SetEOLMode(wxSTC_EOL_LF);
    SetUndoCollection(false);
    // Nothing listens to changes of the text: large output then goes in without an event (and
    // a copy of the text) for every piece appended.
    SetModEventMask(0);
    SetWrapMode(settings::ReadInt(settings::ResultWrapWord) ? wxSTC_WRAP_WORD : wxSTC_WRAP_NONE);

    if (IQueryHost* main = GetHost(); main && !main->SharedSettings().m_fontResult.IsOk()) {
        LogFont lf;
        ReadProfileFont(settings::kResultFont, lf);
        if (lf.lfHeight == 0)
            lf = DefaultResultFont();
        main->SharedSettings().m_fontResult = lf.ToFont();
    }
    ApplyFont();
    // The stored tab size is repaired (and written back) when it lies outside 1..64.
    m_nTabSize = settings::ReadInt(settings::ResultTabSize);
    SetEditTabStops(*this, m_nTabSize);

    UseReadingKeys();

    Bind(wxEVT_SIZE, &CResultView::OnSize, this);
    Bind(wxEVT_SET_FOCUS, &CResultView::OnSetFocus, this);
    Bind(wxEVT_KEY_DOWN, &CResultView::OnKeyDown, this);
    Bind(wxEVT_CONTEXT_MENU, &CResultView::OnContextMenu, this);
    Bind(wxEVT_GRID_CELL_RIGHT_CLICK, &CResultView::OnGridRightClick, this);
    Bind(wxEVT_GRID_LABEL_RIGHT_CLICK, &CResultView::OnGridRightClick, this);
    Bind(wxEVT_MENU, &CResultView::OnEditCopy, this, ID_EDIT_COPY);
    Bind(wxEVT_MENU, &CResultView::OnEditSelectAll, this, ID_EDIT_SELECT_ALL);
    Bind(wxEVT_MENU, &CResultView::OnEditClearAll, this, ID_EDIT_CLEAR_ALL);
    Bind(wxEVT_MENU, &CResultView::OnFileSaveAs, this, ID_FILE_SAVE_AS);
    Bind(wxEVT_MENU, &CResultView::OnSaveSelection, this, ID_SAVE_SELECTION);
    Bind(wxEVT_MENU, &CResultView::OnFormatFont, this, ID_FORMAT_FONT);
    Bind(wxEVT_MENU, &CResultView::OnWordWrap, this, ID_VIEW_WORD_WRAP);
    Bind(wxEVT_MENU, &CResultView::OnMatchBrace, this, ID_EDIT_MATCH_BRACE);
    Bind(wxEVT_MENU, &CResultView::OnRefresh, this, ID_REFRESH);
    Bind(wxEVT_MENU, &CResultView::OnEditFind, this, ID_EDIT_FIND);
    Bind(wxEVT_MENU, &CResultView::OnSortCommand, this, ID_SORT_ASCENDING);
    Bind(wxEVT_MENU, &CResultView::OnSortCommand, this, ID_SORT_DESCENDING);
    Bind(wxEVT_MENU, &CResultView::OnSortCommand, this, ID_SORT_SELECTION_ASCENDING);
    Bind(wxEVT_MENU, &CResultView::OnSortCommand, this, ID_SORT_SELECTION_DESCENDING);
    Bind(wxEVT_MENU, &CResultView::OnViewContents, this, ID_VIEW_CONTENTS);
    for (int id : {ID_SORT_ASCENDING, ID_SORT_DESCENDING, ID_SORT_SELECTION_ASCENDING, ID_SORT_SELECTION_DESCENDING,
                   ID_VIEW_CONTENTS})
        Bind(wxEVT_UPDATE_UI, &CResultView::OnUpdateGridMenuCommand, this, id);
    Bind(wxEVT_GRID_LABEL_LEFT_CLICK, &CResultView::OnGridLabelLeftClick, this);
    Bind(wxEVT_GRID_CELL_LEFT_DCLICK, &CResultView::OnGridCellDoubleClick, this);
    Bind(wxEVT_MENU, &CResultView::OnGoToErrorBatch, this, ID_GO_TO_ERROR_BATCH);
    Bind(wxEVT_LEFT_DCLICK, &CResultView::OnLButtonDblClk, this);
    Bind(wxEVT_MENU, &CResultView::OnFilePrint, this, ID_FILE_PRINT);
    Bind(wxEVT_MENU, &CResultView::OnFilePrint, this, ID_FILE_PRINT_DIRECT);
    Bind(wxEVT_MENU, &CResultView::OnFilePrintPreview, this, ID_FILE_PRINT_PREVIEW);
    for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW})
        Bind(wxEVT_UPDATE_UI, &CResultView::OnUpdatePrint, this, id);
    for (int id : {int(ID_EDIT_COPY), int(ID_EDIT_SELECT_ALL), int(ID_FILE_SAVE_AS), int(ID_SAVE_SELECTION),
                   int(ID_VIEW_WORD_WRAP), int(ID_EDIT_MATCH_BRACE), int(ID_EDIT_CLEAR_ALL), int(ID_REFRESH),
                   int(ID_FORMAT_FONT), int(ID_EDIT_FIND), int(ID_GO_TO_ERROR_BATCH)})
        Bind(wxEVT_UPDATE_UI, &CResultView::OnUpdateCommand, this, id);
    for (int id : {ID_FILE_SAVE, ID_EDIT_PASTE, ID_EDIT_CUT, ID_EDIT_REPLACE, ID_FILE_SAVE_ALL})
        Bind(wxEVT_UPDATE_UI, &CResultView::OnDisabledCommand, this, id);
}

IQueryHost* CResultView::GetHost() const
{
    return m_pFrame ? m_pFrame->GetHost() : nullptr;
}

void CResultView::SetOutputText(const wxString& text)
{
    SetReadOnlyText(*this, text);
}

// ---- Grids ----

bool CResultView::IsGridVisible() const
{
    return m_pCurrentGrid && m_pCurrentGrid->IsShown();
}

int CResultView::GetGridHasRows(const CMSHFlexGrid* grid)
{
    return grid ? grid->GetStore()->m_nHasRows.load() : 0;
}

void CResultView::ShowGrid()
{
    if (!m_pCurrentGrid)
        return;
    Freeze();
    m_pCurrentGrid->Hide();
    m_pCurrentGrid->Show();
    m_pCurrentGrid->Raise();
    m_pCurrentGrid->SetFocus();
    Thaw();
    m_pCurrentGrid->Refresh();
    m_pCurrentGrid->Update();
}

void CResultView::OnSize(wxSizeEvent& event)
{
    event.Skip();
    if (m_pCurrentGrid && m_pFrame && !m_pFrame->GetExecution().View().m_grids.IsFailed()) {
        const wxSize size = GetClientSize();
        m_pFrame->ForceWindowSize(m_pCurrentGrid, size.x, size.y);
        m_pCurrentGrid->SetRedraw(true);
        m_pCurrentGrid->RefreshGrid();
        m_pCurrentGrid->Raise();
    }
    Refresh();
}

void CResultView::OnSetFocus(wxFocusEvent& event)
{
    if (IsGridVisible()) {
        // Pass the focus on once this focus change is over.
        CallAfter([this] {
            if (IsGridVisible() && wxWindow::FindFocus() == this)
                ShowGrid();
        });
    }
    event.Skip();
}

// ---- The grids of a run ----

std::unique_ptr<CWorkerThread> CResultView::StartGridWorker(std::shared_ptr<CExecutionBlock> block, int priority)
{
    m_pFrame->GetExecution().Grids().SetFailed(false);
    CGridWorker::Options options;
    options.rowLimit = m_pFrame->Connection().m_bRowLimit != 0;
    options.maxRows = m_pFrame->Connection().m_nMaxRows;
    options.multipleResults = block->multipleResults;
    options.kind = block->queryKind;
    options.priority = priority;
    return CWorkerThread::Begin([block, options]() mutable { ExecuteToGridThreadProc(std::move(block), options); },
                                priority);
}

int CResultView::GetGridCount() const
{
    return m_pFrame->GetExecution().View().m_grids.Count();
}

bool CResultView::IsBatchHeld() const
{
    return m_pFrame->GetExecution().View().m_grids.IsFailed();
}

bool CResultView::IsFilling() const
{
    const auto& grids = m_pFrame->GetExecution().View().m_grids.All();
    return !grids.empty() && !grids.back()->GetStore()->m_bComplete.load();
}

bool CResultView::IsGridFailed() const
{
    return m_pFrame->GetExecution().View().m_grids.IsFailed();
}

void CResultView::ShowResults()
{
    m_pFrame->ShowResults();
}

bool CResultView::ShowGrid(int n)
{
    CMSHFlexGrid* grid = m_pFrame->GetResultGrid(n);
    if (!grid)
        return false;
    m_pFrame->GetExecution().Grids().SetCurrent(n);
    m_pFrame->UpdateGridStatus(grid, n);
    return true;
}

void CResultView::HideAllGrids()
{
    m_pFrame->HideAllGrids();
}

void CResultView::DestroyAllGrids()
{
    m_pFrame->DestroyAllGrids();
}

void CResultView::EndRun()
{
    for (CMSHFlexGrid* grid : m_pFrame->GetExecution().View().m_grids.All()) {
        if (!grid->GetStore()->m_bComplete.exchange(true))
            grid->SyncWithStore();
    }
}

// ---- Text ----

void CResultView::SetWordWrap(bool on)
{
    if (on) {
        SetWrapMode(wxSTC_WRAP_WORD);
        SetXOffset(0);
    } else {
        SetWrapMode(wxSTC_WRAP_NONE);
    }
}

void CResultView::ApplyFont()
{
    IQueryHost* main = GetHost();
    wxFont font = main && main->SharedSettings().m_fontResult.IsOk() ? main->SharedSettings().m_fontResult : DefaultResultFont().ToFont();
    int from = GetSelectionStart(), to = GetSelectionEnd();
    StyleSetFont(wxSTC_STYLE_DEFAULT, font);
    StyleClearAll();
    SetEditTabStops(*this, m_nTabSize);
    SetSelection(from, to);
    Refresh();
}

std::string CResultView::TextForSave(const wxString& text, bool tabsAsSpaces, int tabSize)
{
    const std::string utf8 = text.utf8_string();
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 16);
    for (size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\r') {
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else if (c == '\n') {
            out += "\r\n";
        } else if (c == '\t' && tabsAsSpaces) {
            out.append(static_cast<size_t>(std::max(tabSize, 0)), ' ');
        } else {
            out += c;
        }
    }
    return out;
}

bool CResultView::SaveText(const wxString& path, wxString& error) const
{
    const std::string bytes =
        TextForSave(GetText(), settings::ReadInt(settings::ResultSaveTabsAsSpaces) != 0, m_nTabSize);
    // A failed write (disk full) keeps the file that was there.
    try {
        ReplacingFile file(path.utf8_string());
        file.Write(bytes);
        file.Commit();
    } catch (const std::filesystem::filesystem_error& e) {
        error = GetFileExceptionText(CFileException::ErrnoToCause(e.code().value()));
        return false;
    }
    return true;
}

CGridCopyText CResultView::MakeGridCopyText(bool names) const
{
    const CMSHFlexGrid* grid = m_pCurrentGrid;
    if (!grid)
        return CGridCopyText(1, 1, 0, 0, {}, [](int, int) { return std::string_view(); });
    const int top = std::min(grid->GetRow(), grid->GetRowSel());
    int bottom = std::max(grid->GetRow(), grid->GetRowSel());
    const int left = std::min(grid->GetCol(), grid->GetColSel());
    const int right = std::max(grid->GetCol(), grid->GetColSel());
    // A result set without rows shows one empty row that is no data.
    if (GetGridHasRows(grid) == 0)
        bottom = top - 1;
    std::vector<std::string> columnNames;
    if (names)
        for (int c = left; c <= right; ++c)
            columnNames.push_back(grid->GetColumnName(c));
    // The text is written when it is pasted, perhaps after the grid is sorted again or gone:
    // the reader keeps the store and the order of the rows as they are now.
    const CResultTable& table = *grid->GetResultTable();
    auto reader = std::make_shared<const CGridStore::Reader>(*grid->GetStore());
    return CGridCopyText(top, left, bottom, right, std::move(columnNames),
                         [store = grid->GetStore(), reader, order = table.GetOrder(),
                          shown = table.GetShownRows()](int row, int col) -> std::string_view {
                             if (row < 1 || col < 1 || static_cast<size_t>(row - 1) >= shown)
                                 return {};
                             return reader->GetCell(CGridSort::StoreRow(order, static_cast<size_t>(row - 1)),
                                                    static_cast<size_t>(col - 1));
                         });
}

std::string CResultView::GetGridSelectionText(bool names) const
{
    return MakeGridCopyText(names).Text();
}

void CResultView::CopyGridSelection()
{
    IQueryHost* main = GetHost();
    CGridCopyText text = MakeGridCopyText(main ? main->SharedSettings().m_bCopyColNames : true);
    if (wxTheClipboard->Open()) {
        wxTheClipboard->SetData(new CGridClipboardData(std::move(text)));
        wxTheClipboard->Close();
    }
}

// ---- Commands ----

void CResultView::OnEditCopy(wxCommandEvent&)
{
    if (!IsGridVisible()) {
        Copy();
        return;
    }
    m_pFrame->SetFindStatusText(kPleaseWait);
    if (m_pFrame->GetExecution().IsExecuting())
        m_pCurrentGrid->Refresh();
    CopyGridSelection();
    if (m_pFrame->GetExecution().IsExecuting())
        m_pCurrentGrid->Refresh();
    m_pFrame->SetFindStatusText(wxString());
}

void CResultView::OnEditSelectAll(wxCommandEvent&)
{
    if (!IsGridVisible()) {
        SelectAll();
        return;
    }
    m_pCurrentGrid->SetSelection(1, 1, m_pCurrentGrid->GetRows() - 1, m_pCurrentGrid->GetCols() - 1);
    ShowGrid();
}

void CResultView::OnEditClearAll(wxCommandEvent&)
{
    // The grids and buffers belong to the running worker until the run ends, and the results
    // stay as they are while their print preview shows.
    if (m_pFrame->GetExecution().View().m_grids.IsFailed() || m_pFrame->GetExecution().IsExecuting() || m_pFrame->IsPrintPreviewActive())
        return;
    if (TVMessageBox(kClearAllQuestion, wxYES_NO | wxICON_QUESTION, this) != wxID_YES)
        return;
    wxBusyCursor wait;
    m_pFrame->SetFindStatusText(kPleaseWait);
    CBatchExecution& execution = m_pFrame->GetExecution();
    if (!IsGridVisible()) {
        execution.ClearShownOutput(m_pFrame->GetExecution().View().m_strResultsPaneText.IsSameAs("Messages", false));
        execution.ResetErrorTags();
        execution.ResultsText().ClearView();
        Refresh();
    } else {
        m_pFrame->ActivateEditorPane();
        execution.ClearResults();
        m_pFrame->ActivateEditorPane();
    }
    wxCommandEvent messagesMode(wxEVT_MENU, ID_MESSAGES_MODE);
    execution.ResultsText().OnMessagesMode(messagesMode);
    if (execution.IsOutputEmpty() && execution.View().m_grids.IsEmpty())
        execution.ResetPaneTexts();
    if (execution.View().m_grids.IsEmpty() && GetLength() == 0 && m_pFrame->IsOutputPaneShown())
        m_pFrame->OnViewOutput();
    m_pFrame->SetFindStatusText(wxString());
    m_pFrame->UpdateStatusPanes();
}

void CResultView::OnFileSaveAs(wxCommandEvent&)
{
    if (IsGridVisible()) {
        SaveGrid(false);
        return;
    }
    if (m_bPrintPreview)
        return;
    CSettingsStore& store = CSettingsStore::Get();
    wxString folder = settings::ReadString(settings::ExportInitialDir, store);
    if (folder.empty())
        folder = GetTempFolder();
    wxFileDialog dialog(this, wxFileSelectorPromptStr, folder, "Untitled.txt",
                        "Output Files (*.txt)|*.txt|All Files (*.*)|*", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) {
        SetFocus();
        return;
    }
    const wxString path = dialog.GetPath();
    settings::WriteString(settings::ExportInitialDir, wxFileName(path).GetPathWithSep(), store);
    wxString error;
    if (!SaveText(path, error))
        TVMessageBox(wxString::Format("'%s'\n", path) + error, wxOK | wxICON_STOP, this);
    SetFocus();
}

void CResultView::OnSaveSelection(wxCommandEvent&)
{
    if (IsGridVisible())
        SaveGrid(true);
}

std::string CResultView::GetGridExportText(bool selectionOnly, const std::string& delimiter, bool names,
                                           bool exportToExcel) const
{
    const CMSHFlexGrid* grid = m_pCurrentGrid;
    if (!grid)
        return std::string();
    CGridRange range{1, 1, grid->GetRows() - 1, grid->GetCols() - 1};
    if (selectionOnly) {
        range.top = std::min(grid->GetRow(), grid->GetRowSel());
        range.bottom = std::max(grid->GetRow(), grid->GetRowSel());
        range.left = std::min(grid->GetCol(), grid->GetColSel());
        range.right = std::max(grid->GetCol(), grid->GetColSel());
    } else if (GetGridHasRows(grid) == 0) {
        // A result set without rows saves its names only.
        range.bottom = 0;
    }
    std::vector<std::string> columnNames;
    if (names)
        for (int c = range.left; c <= range.right; ++c)
            columnNames.push_back(grid->GetColumnName(c));
    return GridExportText(range, columnNames, [grid](int row, int col) { return grid->GetCellText(row, col); },
                          delimiter, exportToExcel);
}

void CResultView::SaveGrid(bool selectionOnly)
{
    if (m_pFrame->GetExecution().IsExecuting())
        m_pCurrentGrid->Refresh();
    wxString folder = settings::ReadString(settings::ExportInitialDir);
    if (folder.empty())
        folder = GetTempFolder();
    if (!folder.EndsWith("/"))
        folder += "/";
    const wxString name = MakeFileNameFromText(m_pFrame->GetExecution().View().m_strSqlText, wxString(), wxString());
    CExportDlg dialog(this, selectionOnly ? "Save Selection" : "Save Grid Results", kGridExportFilter, folder + name);
    if (dialog.ShowModal() != wxID_OK)
        return;
    if (IQueryHost* main = GetHost()) {
        main->GetHostWindow()->Refresh();
        main->GetHostWindow()->Update();
    }
    const wxString path = dialog.m_strPath;
    {
        wxBusyCursor wait;
        m_pFrame->SetFindStatusText(kPleaseWait);
        try {
            ReplacingFile file(path.utf8_string());
            file.Write(GetGridExportText(selectionOnly, dialog.m_strDelimiter.utf8_string(), dialog.m_bColumnNames != 0,
                                         dialog.m_bExportToExcel != 0));
            file.Commit();
        } catch (const std::filesystem::filesystem_error& e) {
            m_pFrame->SetFindStatusText(wxString());
            TVMessageBox(wxString::Format("'%s'\n", path) +
                             GetFileExceptionText(CFileException::ErrnoToCause(e.code().value())),
                         wxOK | wxICON_STOP, this);
            SetFocus();
            return;
        }
        if (dialog.m_bExportToExcel && OpenGridExportInSpreadsheet(path, dialog.m_strDelimiter, dialog.m_bColumnNames != 0)) {
            m_pFrame->SetFindStatusText(wxString());
            return;
        }
        m_pFrame->SetFindStatusText(wxString());
    }
    SetFocus();
}

bool CResultView::OpenGridExportInSpreadsheet(const wxString& path, const wxString& delimiter, bool names)
{
    std::string error;
    std::string workbook;
    // The header row stays in view when there is one.
    if (!ExportToExcel(path.utf8_string(), names, delimiter.utf8_string(), error, -1, workbook)) {
        m_pFrame->SetFindStatusText(wxString());
        TVMessageBox(wxString::FromUTF8(error.empty() ? std::string("Errors occurred.") : error), wxOK | wxICON_STOP, this);
        return false;
    }
    wxString launchError;
    if (!ShellOpenFile(wxString::FromUTF8(workbook), launchError)) {
        m_pFrame->SetFindStatusText(wxString());
        TVMessageBox("'" + wxString::FromUTF8(workbook) + "'.\n" + launchError, wxOK | wxICON_STOP, this);
        return false;
    }
    return true;
}

void CResultView::OnFormatFont(wxCommandEvent&)
{
    if (IsGridVisible())
        OnFormatGridFont();
    else
        OnFormatTextFont();
}

void CResultView::OnFormatGridFont()
{
    if (m_pFrame->GetExecution().IsExecuting())
        m_pCurrentGrid->Refresh();
    wxFontData data;
    data.SetInitialFont(m_pCurrentGrid->GetGridFont());
    CTVFontDialog dialog(this, data);
    dialog.m_strCaption = "Grid Font";
    const bool chosen = dialog.ShowModal() == wxID_OK;
    if (m_pFrame->GetExecution().IsExecuting())
        m_pCurrentGrid->Refresh();
    if (!chosen)
        return;
    const wxFont font = dialog.GetFontData().GetChosenFont();
    IQueryHost* main = GetHost();
    if (main) {
        main->SharedSettings().m_lfGrid = LogFont::FromFont(font);
        main->SharedSettings().m_nGridBold = font.GetWeight() >= wxFONTWEIGHT_BOLD;
        // The size is kept in ten-thousandths of a point, as the grids report it.
        main->SharedSettings().m_nGridSize = font.GetPointSize() * 10000;
        WriteProfileFont(settings::kGridFont, main->SharedSettings().m_lfGrid, true, main->SharedSettings().m_nGridBold, main->SharedSettings().m_nGridSize);
    }
    // Every window sizes its later columns with the new font.
    m_pFrame->SetGridFontEverywhere(font);
}

void CResultView::OnFormatTextFont()
{
    IQueryHost* main = GetHost();
    wxFontData data;
    data.SetInitialFont(main && main->SharedSettings().m_fontResult.IsOk() ? main->SharedSettings().m_fontResult : GetFont());
    CTVFontDialog dialog(this, data);
    dialog.m_strCaption = "Results in Text Font";
    if (dialog.ShowModal() != wxID_OK)
        return;
    const wxFont font = dialog.GetFontData().GetChosenFont();
    if (!main) {
        StyleSetFont(wxSTC_STYLE_DEFAULT, font);
        StyleClearAll();
        return;
    }
    main->SharedSettings().m_fontResult = font;
    m_pFrame->ApplyResultFontEverywhere();
    WriteProfileFont(settings::kResultFont, LogFont::FromFont(font));
}

void CResultView::OnWordWrap(wxCommandEvent&)
{
    if (!IsGridVisible())
        SetWordWrap(!IsWordWrap());
}

void CResultView::OnMatchBrace(wxCommandEvent&)
{
    if (!IsGridVisible() && IsBraceAtCaret(*this))
        MatchBrace(*this);
}

void CResultView::OnUpdateCommand(wxUpdateUIEvent& event)
{
    // While the preview shows, only saving stays (the grid's own Save As).
    if (m_pFrame->IsPrintPreviewActive() && event.GetId() != ID_FILE_SAVE_AS) {
        event.Enable(false);
        return;
    }
    const bool grid = IsGridVisible();
    const bool hasText = GetLength() > 0;
    switch (event.GetId()) {
    case ID_EDIT_COPY: event.Enable(grid || GetSelectionStart() != GetSelectionEnd()); break;
    case ID_EDIT_SELECT_ALL:
    case ID_FILE_SAVE_AS: event.Enable(grid || hasText); break;
    case ID_SAVE_SELECTION: event.Enable(grid); break;
    case ID_FORMAT_FONT: event.Enable(true); break;
    case ID_EDIT_FIND: event.Enable(!grid); break;
    case ID_VIEW_WORD_WRAP:
        event.Enable(!grid);
        event.Check(IsWordWrap());
        break;
    case ID_EDIT_MATCH_BRACE: event.Enable(!grid && IsBraceAtCaret(*this)); break;
    case ID_EDIT_CLEAR_ALL:
        event.Enable(!m_pFrame->GetExecution().View().m_grids.IsFailed() && !m_pFrame->GetExecution().IsExecuting() && (grid || hasText));
        break;
    case ID_REFRESH: event.Enable(IsRefreshEnabled()); break;
    case ID_GO_TO_ERROR_BATCH: event.Enable(IsGoToErrorBatchEnabled()); break;
    default: break;
    }
}

bool CResultView::IsRefreshEnabled() const
{
    if (IsGridVisible() || !m_pFrame->IsConnectionOpen() || !m_pFrame->GetExecution().IsExecuting())
        return false;
    return m_pFrame->GetExecution().HasMessages();
}

void CResultView::OnRefresh(wxCommandEvent&)
{
    if (!IsRefreshEnabled())
        return;
    CResultsText& text = m_pFrame->GetExecution().ResultsText();
    text.m_nSavedSelStart = GetSelectionStart();
    text.m_nSavedSelEnd = GetSelectionEnd();
    text.ShowMessages();
}

void CResultView::OnEditFind(wxCommandEvent&)
{
    if (IsGridVisible())
        return;
    if (m_pFindDialog) {
        m_pFindDialog->Raise();
        m_pFindDialog->Show();
        return;
    }
    // The selection seeds the search unless it is empty or spans lines.
    const wxString selected = GetSelectedText();
    if (!selected.empty() && selected.find_first_of("\r\n") == wxString::npos)
        m_findData.SetFindString(selected);
    m_pFindDialog = new wxFindReplaceDialog(this, &m_findData, "Find");
    if (wxWindow* cancel = m_pFindDialog->FindWindow(wxID_CANCEL))
        cancel->SetLabel("Close");
    m_pFindDialog->Bind(wxEVT_FIND, &CResultView::OnFindDialog, this);
    m_pFindDialog->Bind(wxEVT_FIND_NEXT, &CResultView::OnFindDialog, this);
    m_pFindDialog->Bind(wxEVT_FIND_CLOSE, &CResultView::OnFindDialog, this);
    m_pFindDialog->Show();
}

void CResultView::SetFindText(const wxString& find, bool matchCase, bool wholeWord)
{
    m_findData.SetFindString(find);
    int flags = wxFR_DOWN;
    if (matchCase)
        flags |= wxFR_MATCHCASE;
    if (wholeWord)
        flags |= wxFR_WHOLEWORD;
    m_findData.SetFlags(flags);
}

void CResultView::CloseFindDialog()
{
    if (m_pFindDialog)
        m_pFindDialog->Destroy();
    m_pFindDialog = nullptr;
}

void CResultView::OnFindDialog(wxFindDialogEvent& event)
{
    if (event.GetEventType() == wxEVT_FIND_CLOSE) {
        CloseFindDialog();
        return;
    }
    FindNext(event.GetFindString(), event.GetFlags());
    // After the "nothing found" box the dialog takes the focus again, so Enter and Escape reach it.
    if (m_pFindDialog && m_pFindDialog->IsShown())
        m_pFindDialog->Raise();
}

bool CResultView::FindNext(const wxString& text, int flags)
{
    int searchFlags = 0;
    if (flags & wxFR_MATCHCASE)
        searchFlags |= wxSTC_FIND_MATCHCASE;
    if (flags & wxFR_WHOLEWORD)
        searchFlags |= wxSTC_FIND_WHOLEWORD;
    const bool down = (flags & wxFR_DOWN) != 0;
    if (down)
        SetTargetRange(GetSelectionEnd(), GetLength());
    else
        SetTargetRange(GetSelectionStart(), 0);
    SetSearchFlags(searchFlags);
    const int found = text.empty() ? -1 : SearchInTarget(text);
    if (found < 0) {
        TVMessageBox("Finished searching the document.", wxOK | wxICON_INFORMATION, this);
        return false;
    }
    SetSelection(GetTargetStart(), GetTargetEnd());
    EnsureCaretVisible();
    return true;
}

void CResultView::OnDisabledCommand(wxUpdateUIEvent& event)
{
    event.Enable(false);
}
