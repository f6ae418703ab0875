// The print preview of a query window, shown in the window in place of its panes: the preview's
// bar (Print, the page buttons, the zoom and Close) above the pages. It owns the preview and its
// printouts; Close, Escape and the window's own commands end it.
#pragma once

#include <wx/panel.h>

#include <functional>
#include <memory>

class wxPreviewCanvas;
class wxPreviewControlBar;
class wxPrintPreview;

class CPrintPreviewPane : public wxPanel {
public:
    // close: asked for by Close or Escape; print: by the bar's Print button or Enter. Both are
    // called from the pane's own event handlers: they must not destroy the pane at once.
    CPrintPreviewPane(wxWindow* parent, std::unique_ptr<wxPrintPreview> preview, std::function<void()> close,
                      std::function<void()> print);
    ~CPrintPreviewPane() override;

    wxPrintPreview* GetPreview() const { return m_pPreview.get(); }
    wxPreviewCanvas* GetCanvas() const { return m_pCanvas; }
    wxPreviewControlBar* GetControlBar() const { return m_pBar; }
    int GetCurrentPage() const;
    // Shows the page when the preview has it.
    void GoToPage(int page);

private:
    void OnCanvasKey(wxKeyEvent& event);
    void OnCanvasWheel(wxMouseEvent& event);

    std::unique_ptr<wxPrintPreview> m_pPreview;
    std::function<void()> m_close;
    std::function<void()> m_print;
    wxPreviewControlBar* m_pBar = nullptr;
    wxPreviewCanvas* m_pCanvas = nullptr;
};
