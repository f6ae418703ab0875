// The results pane of a query window: the messages and text output in a read-only text
// control, with the results grids as child windows on top of it. One grid, the current grid,
// is shown at a time; while it is visible the pane's commands (copy, select all, save, font,
// keyboard) work on the grid, otherwise on the text.
#pragma once

#include "GridContextMenu.h"
#include "ResultsGrids.h"
#include "querycore/GridCopyText.h"

#include <wx/fdrepdlg.h>
#include <wx/stc/stc.h>

#include <memory>
#include <optional>
#include <string>

class IResultsHost;
class wxGridEvent;
class wxPrintout;
class CMSHFlexGrid;
class IQueryHost;

// It is also what a run needs of the grids: it starts the grid worker of each grid-mode batch
// and shows, hides and drops the grids at the ends of batches and runs.
class CResultView : public wxStyledTextCtrl, public IResultsGrids {
public:
    CResultView(wxWindow* parent, IResultsHost* frame);

    IResultsHost* GetFrame() const { return m_pFrame; }
    // Replaces the shown text.
    void SetOutputText(const wxString& text);

    // ---- Grids ----

    CMSHFlexGrid* GetCurrentGrid() const { return m_pCurrentGrid; }
    void SetCurrentGrid(CMSHFlexGrid* grid) { m_pCurrentGrid = grid; }
    // The current grid exists and is shown.
    bool IsGridVisible() const;
    // Non-zero while the grid holds result rows: -1 from its creation, 0 when its result set
    // had no rows (a grid of no one's is 0).
    static int GetGridHasRows(const CMSHFlexGrid* grid);
    // Shows the current grid on top and gives it the focus.
    void ShowGrid();

    // ---- The grids of a run ----

    std::unique_ptr<CWorkerThread> StartGridWorker(std::shared_ptr<CExecutionBlock> block, int priority) override;
    int GetGridCount() const override;
    // Making room for rows failed in this batch: the run stops after it.
    bool IsBatchHeld() const override;
    // The last grid is still being filled.
    bool IsFilling() const override;
    bool IsGridFailed() const override;
    void ShowResults() override;
    bool ShowGrid(int n) override;
    void HideAllGrids() override;
    void DestroyAllGrids() override;
    // A grid the worker left unfinished is taken as it stands.
    void EndRun() override;

    // ---- Text ----

    void SetWordWrap(bool on);
    bool IsWordWrap() const { return GetWrapMode() != wxSTC_WRAP_NONE; }
    // Takes the results text font of the main window.
    void ApplyFont();
    int GetTabSize() const { return m_nTabSize; }

    // The text as Save As writes it: LF line ends (CR LF and a lone CR each become one), and
    // with tabsAsSpaces every tab replaced by tabSize blanks; then every line end as CR LF.
    static std::string TextForSave(const wxString& text, bool tabsAsSpaces, int tabSize);
    // Writes the text to path; false with the reason when the file cannot be written.
    bool SaveText(const wxString& path, wxString& error) const;

    // The selected cells of the current grid as Copy puts them on the clipboard (UTF-8): the
    // field names first when names is set, cells separated by tabs, rows by CR LF.
    std::string GetGridSelectionText(bool names) const;
    // The same, to be measured and written when it is wanted.
    CGridCopyText MakeGridCopyText(bool names) const;
    // The current grid's cells (or its selected ones) as the grid save writes them.
    std::string GetGridExportText(bool selectionOnly, const std::string& delimiter, bool names,
                                  bool exportToExcel) const;

    // ---- Commands ----

    void OnEditCopy(wxCommandEvent& event);
    void OnEditSelectAll(wxCommandEvent& event);
    void OnEditClearAll(wxCommandEvent& event);
    // Saves the text; with a grid shown, exports the whole grid (SaveGrid).
    void OnFileSaveAs(wxCommandEvent& event);
    void OnSaveSelection(wxCommandEvent& event);
    void OnFormatFont(wxCommandEvent& event);
    void OnWordWrap(wxCommandEvent& event);
    void OnMatchBrace(wxCommandEvent& event);
    // The Find dialog of the text; its searches select what they find.
    void OnEditFind(wxCommandEvent& event);
    // Searches the text from the selection; false (and the not-found message) when nothing is found.
    bool FindNext(const wxString& text, int flags);
    wxFindReplaceDialog* GetFindDialog() const { return m_pFindDialog; }
    // The text the pane's Find looks for next, as after a Find.
    void SetFindText(const wxString& find, bool matchCase, bool wholeWord);
    // A grid takes the pane: its text's Find dialog goes.
    void CloseFindDialog();
    // The four sort commands of the grid context menu: the whole current column, or the
    // selected rows on the selection's left column, ascending or descending.
    void OnSortCommand(wxCommandEvent& event);
    void SortColumn(bool ascending);
    void SortSelection(bool ascending);
    // The View Contents dialog on the current cell of the current grid.
    void OnViewContents(wxCommandEvent& event);
    // Direction of the last sort: a header click sorts that way, or the other way round on the
    // column it sorted last. Descending before any sort.
    int m_bSortAscending = 0;

    // Reloads the messages collected so far, keeping the selection.
    void OnRefresh(wxCommandEvent& event);
    bool IsRefreshEnabled() const;

    // ---- Error batches (ResultViewErrors.cpp) ----

    // Selects the error text of the line at the position (only the text between an error's
    // tags, across its lines), or the whole line; nothing for -1.
    void GoToMessageLine(long position);
    // The error tag around the position, tags included, as the error batch list holds it;
    // empty when the position lies in none.
    wxString GetErrorBatchAt(long position);
    // Goes to the error batch of the tag when the window knows it: the error text selected
    // here, its batch's first line in the editor. False when the tag is unknown.
    bool GoToErrorBatchAt(const wxString& tag, long position);
    bool GoToErrorBatchAtCaret();
    // The line of a batch an error is shown at, counted from the batch's first line.
    static int GetDefaultLineNumber(const wxString&) { return 1; }
    // Go to Error Batch/Tag: the caret lies in an error's text that the window knows, and the
    // selection holds no tag of its own.
    bool IsGoToErrorBatchEnabled();
    void OnGoToErrorBatch(wxCommandEvent& event);

    // ---- Printing (ResultViewPrint.cpp) ----

    // The shown grid is what prints (else the text): a grid is current and the result-set
    // pane names it.
    bool IsGridPrintMode() const;
    // Print and Print Direct are enabled: a shown grid that no worker is filling, or some text.
    bool CanPrint() const;
    // Print Preview is enabled: a shown grid that no worker is filling.
    bool CanPrintPreview() const;
    // The text prints its selection only when asked for and the selection holds more than blanks.
    bool IsPrintSelection();
    // What prints: the shown grid, or the text (its selection only when selection is set).
    std::unique_ptr<wxPrintout> CreatePrintout(bool selection);
    // After the checks: prints through the print dialog (or, direct, without it).
    void Print(bool direct);
    // After the checks: shows the grid's print preview in the window; false when there is no
    // grid to preview or the preview could not be made.
    bool PrintPreview();
    void OnFilePrint(wxCommandEvent& event);
    void OnFilePrintPreview(wxCommandEvent& event);
    void OnUpdatePrint(wxUpdateUIEvent& event);

    // Set while a print preview of this view runs; text Save As does nothing meanwhile.
    int m_bPrintPreview = 0;

private:
    // The export dialog, then the grid or its selection into the chosen delimited file.
    void SaveGrid(bool selectionOnly);
    // The grid save's spreadsheet step: the workbook beside the saved file, opened with the
    // desktop's default application. A failure is shown; false then.
    bool OpenGridExportInSpreadsheet(const wxString& path, const wxString& delimiter, bool names);
    void UseReadingKeys();
    void OnSize(wxSizeEvent& event);
    void OnSetFocus(wxFocusEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnGridKeyDown(wxKeyEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnLButtonDblClk(wxMouseEvent& event);
    void OnUpdateCommand(wxUpdateUIEvent& event);
    void OnDisabledCommand(wxUpdateUIEvent& event);
    void OnFormatTextFont();
    // Sorts the current grid on its current column (a selection-only sort: on the selection's
    // left column, its rows only) in the direction m_bSortAscending, which the column's sort
    // mark may turn round; failures are shown in a message box.
    void SortGrid();
    void RunSort();
    void OnGridLabelLeftClick(wxGridEvent& event);
    void OnGridCellDoubleClick(wxGridEvent& event);
    void OnUpdateGridMenuCommand(wxUpdateUIEvent& event);
    void OnFormatGridFont();
    void CopyGridSelection();
    void ShowTextContextMenu(const wxPoint& position, bool byKeyboard);
    void OnGridRightClick(wxGridEvent& event);
    // The grid's context menu: the click at (mouseRow, mouseCol) in the grid's coordinates moves
    // the selection first; by keyboard it opens at the selection's top left cell.
    void ShowGridContextMenu(int mouseRow, int mouseCol, bool byKeyboard, const wxPoint& position);
    IQueryHost* GetHost() const;
    void OnFindDialog(wxFindDialogEvent& event);

    IResultsHost* m_pFrame;
    CMSHFlexGrid* m_pCurrentGrid = nullptr;
    int m_bSortSelection = 0;
    // The grid context menu's items while it is open: their commands take these states.
    std::optional<CGridMenuModel> m_gridMenu;
    int m_nTabSize = 4;
    wxFindReplaceData m_findData{wxFR_DOWN};
    wxFindReplaceDialog* m_pFindDialog = nullptr;
};
