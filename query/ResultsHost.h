// What the results pane needs of its query window beyond what a run does: the run itself, the
// grids of the run, error navigation, the editor pane, the status panes and the print preview.
// The query window implements it; the pane knows the window only through it. UI thread only.
#pragma once

#include "RunWindow.h"

#include <functional>
#include <memory>

class CBatchExecution;
class CMSHFlexGrid;
class CWindowConnection;
class wxFont;
class wxPrintPreview;

class IResultsHost : public IRunWindow {
public:
    // The window's runs: Execute, batches, Cancel and what the window shows of them.
    virtual CBatchExecution& GetExecution() const = 0;
    virtual CWindowConnection& Connection() = 0;

    // Grid n (1-based) of this run, or null.
    virtual CMSHFlexGrid* GetResultGrid(int n) const = 0;
    // Shows grid n and writes the result-set pane text.
    virtual void UpdateGridStatus(CMSHFlexGrid* grid, int n) = 0;
    // At the end of a grid-mode batch: shows the current grid.
    virtual void ShowResults() = 0;
    virtual void HideAllGrids() = 0;
    virtual void DestroyAllGrids() = 0;
    // Every query window's grids take the font (this window's alone without a shell).
    virtual void SetGridFontEverywhere(const wxFont& font) = 0;
    // Every query window's results text takes the shell's shared font.
    virtual void ApplyResultFontEverywhere() = 0;
    // Moves the window to (0, 0) with the given size, repeating while it takes another size.
    virtual void ForceWindowSize(wxWindow* window, int width, int height) = 0;

    virtual bool HasErrorBatches() const = 0;
    // The pane lists the hits of the last Find in Files search: its lines are tags of files.
    virtual bool IsFindInFilesTagMode() const = 0;
    // Opens the hit a line of the pane shows (0-based); false when the line shows none.
    virtual bool OpenFindInFilesHitAtLine(long line) = 0;
    virtual bool HasFindInFilesHitAtLine(long line) const = 0;
    // Looks the tag up in the error batch list: the batch start, or -1.
    virtual long FindErrorBatch(const wxString& tag) = 0;
    // Selects the line of the editor where a failed batch began and activates the editor.
    virtual void SelectBatchLine(long batchStart) = 0;

    virtual void ActivateEditorPane() = 0;
    // Brings the status bar panes up to date.
    virtual void UpdateStatusPanes() = 0;
    // Shows the preview, which the window keeps until it closes; ended runs then.
    virtual void ShowPrintPreview(std::unique_ptr<wxPrintPreview> preview, std::function<void()> ended) = 0;
};
