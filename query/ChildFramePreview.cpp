// The query window's print preview: shown in the window in place of its toolbar, panes and
// status bar, which come back as they were when it closes.
#include "ChildFrame.h"

#include "common/CommandIds.h"
#include "PrintPreviewPane.h"
#include "TVStatusBar.h"

#include <wx/print.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/toolbar.h>

void CChildFrame::ShowPrintPreview(std::unique_ptr<wxPrintPreview> preview, std::function<void()> ended)
{
    ClosePrintPreview();
    m_previewEnded = std::move(ended);
    m_pPreviewPane = new CPrintPreviewPane(
        this, std::move(preview), [this] { CallAfter([this] { ClosePrintPreview(); }); },
        [this] { wxQueueEvent(this, new wxCommandEvent(wxEVT_MENU, ID_FILE_PRINT)); });
    OnSetPreviewMode(true);
}

void CChildFrame::ClosePrintPreview()
{
    if (!m_pPreviewPane)
        return;
    OnSetPreviewMode(false);
    if (std::function<void()> ended = std::move(m_previewEnded)) {
        m_previewEnded = nullptr;
        ended();
    }
}

void CChildFrame::OnSetPreviewMode(bool preview)
{
    m_bPreviewMode = preview;
    wxSizer* sizer = GetSizer();
    Freeze();
    if (preview) {
        m_wndToolBar->Hide();
        m_wndOuterSplitter->Hide();
        m_wndStatusBar->Hide();
        sizer->Prepend(m_pPreviewPane, 1, wxEXPAND);
        Layout();
        m_pPreviewPane->GetPreview()->AdjustScrollbars(m_pPreviewPane->GetCanvas());
        m_pPreviewPane->GetCanvas()->SetFocus();
    } else {
        CPrintPreviewPane* pane = m_pPreviewPane;
        m_pPreviewPane = nullptr;
        sizer->Detach(pane);
        pane->Destroy();
        m_wndToolBar->Show();
        m_wndOuterSplitter->Show();
        m_wndStatusBar->Show();
        Layout();
    }
    Thaw();
}

void CChildFrame::OnPrintPreviewCommand(wxCommandEvent&)
{
    ClosePrintPreview();
}

void CChildFrame::OnUpdatePrintPreview(wxUpdateUIEvent& event)
{
    event.Enable(IsPrintPreviewActive());
    event.Check(IsPrintPreviewActive());
}
