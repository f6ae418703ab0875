#include "MDIClientWnd.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/regex.h>

#include <memory>

wxBEGIN_EVENT_TABLE(CMDIClientWnd, wxAuiMDIClientWindow)
    EVT_PAINT(CMDIClientWnd::OnPaint)
    EVT_ERASE_BACKGROUND(CMDIClientWnd::OnEraseBackground)
    EVT_SIZE(CMDIClientWnd::OnSize)
wxEND_EVENT_TABLE()

namespace {

const wxColour kBackground(0x80, 0x80, 0x80);

} // namespace

CMDIClientWnd::CMDIClientWnd(wxAuiMDIParentFrame* parent) : wxAuiMDIClientWindow(parent)
{
    m_background = MakeBackgroundBitmap();
    SetBackgroundColour(kBackground);
}

wxBitmap CMDIClientWnd::MakeBackgroundBitmap()
{
    // The program's emblem: a database drum drawn in light strokes, so that it reads on gray.
    const int w = 120;
    const int h = 140;
    wxBitmap bmp(w, h, 32);
    bmp.UseAlpha();
    {
        wxMemoryDC dc(bmp);
        dc.SetBackground(wxBrush(kBackground));
        dc.Clear();
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
        if (gc) {
            gc->SetPen(wxPen(wxColour(0xD8, 0xD8, 0xD8), 3));
            gc->SetBrush(wxBrush(wxColour(0x98, 0x98, 0x98)));
            const double left = 12;
            const double right = w - 12;
            const double ry = 14;
            for (int band = 2; band >= 0; --band) {
                double top = 14 + band * 36;
                wxGraphicsPath body = gc->CreatePath();
                body.MoveToPoint(left, top + ry);
                body.AddLineToPoint(left, top + ry + 36);
                body.AddArc(w / 2.0, top + ry + 36, (right - left) / 2, M_PI, 0, false);
                body.AddLineToPoint(right, top + ry);
                gc->DrawPath(body);
                gc->DrawEllipse(left, top, right - left, 2 * ry);
            }
        }
    }
    return bmp;
}

std::vector<wxAuiTabCtrl*> CMDIClientWnd::TabCtrls()
{
    std::vector<wxAuiTabCtrl*> ctrls;
    for (wxWindow* child : GetChildren())
        if (auto* ctrl = dynamic_cast<wxAuiTabCtrl*>(child))
            if (ctrl->GetPageCount() > 0)
                ctrls.push_back(ctrl);
    return ctrls;
}

int CMDIClientWnd::GetTabSetCount()
{
    return static_cast<int>(TabCtrls().size());
}

void CMDIClientWnd::UnsplitAll()
{
    if (GetPageCount() == 0)
        return;
    const int selection = GetSelection();
    wxWindow* selected = selection >= 0 ? GetPage(selection) : nullptr;
    wxAuiTabCtrl* main = nullptr;
    int at = 0;
    if (!FindTab(GetPage(0), &main, &at))
        return;
    bool moved = false;
    for (size_t i = 0; i < GetPageCount(); ++i) {
        wxWindow* page = GetPage(i);
        wxAuiTabCtrl* ctrl = nullptr;
        if (!FindTab(page, &ctrl, &at) || ctrl == main)
            continue;
        wxAuiNotebookPage info = ctrl->GetPage(at);
        info.active = false;
        ctrl->RemovePage(page);
        // Every page before this one is already in the main set, so page order is kept.
        main->InsertPage(page, info, std::min(i, main->GetPageCount()));
        moved = true;
    }
    if (!moved)
        return;
    RemoveEmptyTabFrames();
    DoSizing();
    main->DoShowHide();
    main->Refresh();
    if (selected) {
        // The selection is set afresh so that the moved page's set shows it.
        m_curPage = wxNOT_FOUND;
        SetSelection(GetPageIndex(selected));
    }
}

void CMDIClientWnd::TileAll(wxOrientation orient)
{
    UnsplitAll();
    const size_t count = GetPageCount();
    if (count < 2)
        return;
    const int selection = GetSelection();
    wxWindow* selected = selection >= 0 ? GetPage(selection) : nullptr;
    Freeze();
    const int direction = orient == wxVERTICAL ? wxRIGHT : wxBOTTOM;
    // Later pages go furthest out, so the panes read in page order.
    for (size_t i = count - 1; i >= 1; --i)
        Split(i, direction);

    // Every outer pane gets an equal share; the centre pane takes what is left.
    const wxSize client = GetClientSize();
    const int share = (orient == wxVERTICAL ? client.x : client.y) / static_cast<int>(count);
    wxString perspective = m_mgr.SavePerspective();
    wxRegEx dockSize("dock_size\\(([0-9]+),([0-9]+),([0-9]+)\\)=[0-9]+");
    const wxString wanted = orient == wxVERTICAL ? "2" : "3";
    wxString out;
    wxString rest = perspective;
    size_t start = 0;
    size_t len = 0;
    while (dockSize.Matches(rest) && dockSize.GetMatch(&start, &len, 0)) {
        out += rest.Left(start);
        wxString dir = dockSize.GetMatch(rest, 1);
        wxString match = rest.Mid(start, len);
        if (dir == wanted)
            match = wxString::Format("dock_size(%s,%s,%s)=%d", dir, dockSize.GetMatch(rest, 2),
                                     dockSize.GetMatch(rest, 3), share);
        out += match;
        rest = rest.Mid(start + len);
    }
    out += rest;
    m_mgr.LoadPerspective(out, true);
    DoSizing();
    Thaw();
    if (selected) {
        m_curPage = wxNOT_FOUND;
        SetSelection(GetPageIndex(selected));
    }
    Refresh();
}

void CMDIClientWnd::OrderTabs(const std::vector<wxWindow*>& order)
{
    for (wxAuiTabCtrl* ctrl : TabCtrls()) {
        size_t target = 0;
        for (wxWindow* page : order) {
            int at = ctrl->GetIdxFromWindow(page);
            if (at == wxNOT_FOUND)
                continue;
            ctrl->MovePage(page, target++);
        }
        ctrl->Refresh();
    }
    // The notebook's own page list follows the same order.
    size_t target = 0;
    for (wxWindow* page : order) {
        int at = m_tabs.GetIdxFromWindow(page);
        if (at == wxNOT_FOUND)
            continue;
        m_tabs.MovePage(page, target++);
    }
}

void CMDIClientWnd::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(kBackground));
    dc.Clear();
    if (GetPageCount() > 0 || !m_background.IsOk())
        return;
    // Lower right corner, a thirtieth of the width from the right and a twentieth of the
    // height from the bottom.
    const wxSize size = GetClientSize();
    const int x = size.x - size.x / 30 - m_background.GetWidth();
    const int y = size.y - size.y / 20 - m_background.GetHeight();
    dc.DrawBitmap(m_background, x, y, true);
}

void CMDIClientWnd::OnEraseBackground(wxEraseEvent&)
{
    // Painted in OnPaint, without flicker.
}

void CMDIClientWnd::OnSize(wxSizeEvent& event)
{
    Refresh();
    event.Skip();
}
