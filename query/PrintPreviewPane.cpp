#include "PrintPreviewPane.h"

#include <wx/print.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include <algorithm>

CPrintPreviewPane::CPrintPreviewPane(wxWindow* parent, std::unique_ptr<wxPrintPreview> preview,
                                     std::function<void()> close, std::function<void()> print)
    : wxPanel(parent, wxID_ANY), m_pPreview(std::move(preview)), m_close(std::move(close)), m_print(std::move(print))
{
    m_pCanvas = new wxPreviewCanvas(m_pPreview.get(), this);
    m_pPreview->SetCanvas(m_pCanvas);
    m_pBar = new wxPreviewControlBar(m_pPreview.get(), wxPREVIEW_PRINT | wxPREVIEW_DEFAULT, this);
    m_pBar->CreateButtons();
    // The pages are counted once the first one is made; a preview frame would be told then.
    m_pPreview->RenderPage(m_pPreview->GetCurrentPage());
    m_pBar->SetPageInfo(m_pPreview->GetMinPage(), m_pPreview->GetMaxPage());
    m_pBar->SetZoomControl(m_pPreview->GetZoom());

    // The bar's Close and Print belong to a preview frame of their own; here the window does
    // them. Bound handlers come before the bar's own.
    m_pBar->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { m_close(); }, wxID_PREVIEW_CLOSE);
    m_pBar->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { m_print(); }, wxID_PREVIEW_PRINT);
    // The canvas would ask a preview frame for the bar: its keys and wheel are handled here.
    m_pCanvas->Bind(wxEVT_CHAR, &CPrintPreviewPane::OnCanvasKey, this);
    m_pCanvas->Bind(wxEVT_MOUSEWHEEL, &CPrintPreviewPane::OnCanvasWheel, this);

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_pBar, 0, wxEXPAND);
    sizer->Add(m_pCanvas, 1, wxEXPAND);
    SetSizer(sizer);
}

CPrintPreviewPane::~CPrintPreviewPane()
{
    // The canvas and the bar point at the preview: they go first.
    DestroyChildren();
}

int CPrintPreviewPane::GetCurrentPage() const
{
    return m_pPreview->GetCurrentPage();
}

void CPrintPreviewPane::GoToPage(int page)
{
    if (page < m_pPreview->GetMinPage() || page > m_pPreview->GetMaxPage())
        return;
    m_pPreview->SetCurrentPage(page);
    m_pBar->SetPageInfo(m_pPreview->GetMinPage(), m_pPreview->GetMaxPage());
    // SetPageInfo shows the first page's number; the page shown is another.
    if (auto* text = dynamic_cast<wxTextCtrl*>(m_pBar->FindWindow(wxID_PREVIEW_GOTO)))
        text->ChangeValue(wxString::Format("%d", page));
}

void CPrintPreviewPane::OnCanvasKey(wxKeyEvent& event)
{
    const int page = m_pPreview->GetCurrentPage();
    switch (event.GetKeyCode()) {
    case WXK_ESCAPE: m_close(); return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: m_print(); return;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN: GoToPage(page + 1); return;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP: GoToPage(page - 1); return;
    case WXK_HOME:
        if (event.ControlDown()) {
            GoToPage(m_pPreview->GetMinPage());
            return;
        }
        break;
    case WXK_END:
        if (event.ControlDown()) {
            GoToPage(m_pPreview->GetMaxPage());
            return;
        }
        break;
    case WXK_UP:
    case WXK_DOWN:
    case WXK_LEFT:
    case WXK_RIGHT: {
        int x = 0, y = 0;
        m_pCanvas->GetViewStart(&x, &y);
        const int code = event.GetKeyCode();
        x += code == WXK_LEFT ? -1 : code == WXK_RIGHT ? 1 : 0;
        y += code == WXK_UP ? -1 : code == WXK_DOWN ? 1 : 0;
        m_pCanvas->Scroll(std::max(x, 0), std::max(y, 0));
        return;
    }
    case '+':
    case WXK_NUMPAD_ADD: m_pBar->DoZoomIn(); return;
    case '-':
    case WXK_NUMPAD_SUBTRACT: m_pBar->DoZoomOut(); return;
    default: break;
    }
    // Nothing else: the canvas's own key handling expects a preview frame around it.
}

void CPrintPreviewPane::OnCanvasWheel(wxMouseEvent& event)
{
    if (event.ControlDown()) {
        if (event.GetWheelRotation() > 0)
            m_pBar->DoZoomIn();
        else if (event.GetWheelRotation() < 0)
            m_pBar->DoZoomOut();
        return;
    }
    int x = 0, y = 0;
    m_pCanvas->GetViewStart(&x, &y);
    const int lines = event.GetLinesPerAction() * event.GetWheelRotation() / std::max(event.GetWheelDelta(), 1);
    m_pCanvas->Scroll(x, std::max(y - lines, 0));
}
