#include "MDIClientWnd.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/regex.h>


wxBEGIN_EVENT_TABLE(CMDIClientWnd, wxAuiMDIClientWindow)
    EVT_SIZE(CMDIClientWnd::OnSize)
    EVT_IDLE(CMDIClientWnd::OnIdle)
wxEND_EVENT_TABLE()

namespace {

const wxColour kBackground(0x80, 0x80, 0x80);

} // namespace

CMDIClientWnd::CMDIClientWnd(wxAuiMDIParentFrame* parent) : wxAuiMDIClientWindow(parent)
{
    m_background = MakeBackgroundBitmap();
    m_emptyPane = new wxWindow(this, wxID_ANY, wxPoint(0, 0), GetClientSize(), wxFULL_REPAINT_ON_RESIZE);
    m_emptyPane->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_emptyPane->Bind(wxEVT_PAINT, &CMDIClientWnd::PaintBackground, this);
}

wxBitmap CMDIClientWnd::MakeBackgroundBitmap()
{
    // The program's emblem: a database drum in light strokes, so that it reads on gray.
    const int w = 120;
    const int h = 140;
    const int left = 10;
    const int width = 100;
    const int rim = 28;
    const int top = 22;
    const int bottom = 116;
    wxBitmap bmp(w, h);
    wxMemoryDC dc(bmp);
    dc.SetBackground(wxBrush(kBackground));
    dc.Clear();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxColour(0x98, 0x98, 0x98)));
    dc.DrawRectangle(left, top, width, bottom - top);
    dc.DrawEllipse(left, bottom - rim / 2, width, rim);
    dc.SetPen(wxPen(wxColour(0xD8, 0xD8, 0xD8), 3));
    dc.DrawLine(left, top, left, bottom);
    dc.DrawLine(left + width, top, left + width, bottom);
    for (int y : {bottom - 62, bottom - 31, bottom})
        dc.DrawEllipticArc(left, y - rim / 2, width, rim, 180, 360);
    dc.SetBrush(wxBrush(wxColour(0xB0, 0xB0, 0xB0)));
    dc.DrawEllipse(left, top - rim / 2, width, rim);
    dc.SelectObject(wxNullBitmap);
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
    m_tileOrientation = 0;
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
    // Each split goes furthest out, so the panes read in page order.
    for (size_t i = 1; i < count; ++i)
        Split(i, direction);
    m_tileOrientation = orient;
    ShareEqually();
    Thaw();
    if (selected) {
        m_curPage = wxNOT_FOUND;
        SetSelection(GetPageIndex(selected));
    }
    Refresh();
}

void CMDIClientWnd::ShareEqually()
{
    const size_t count = GetPageCount();
    if (count < 2 || m_tileOrientation == 0)
        return;
    // Every outer pane gets an equal share; the centre pane takes what is left.
    const wxSize client = GetClientSize();
    const int share = (m_tileOrientation == wxVERTICAL ? client.x : client.y) / static_cast<int>(count);
    wxString perspective = m_mgr.SavePerspective();
    wxRegEx dockSize("dock_size\\(([0-9]+),([0-9]+),([0-9]+)\\)=[0-9]+");
    const wxString wanted = m_tileOrientation == wxVERTICAL ? "2" : "3";
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
    if (out == perspective)
        return;
    m_mgr.LoadPerspective(out, true);
    DoSizing();
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

void CMDIClientWnd::PaintBackground(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(m_emptyPane);
    dc.SetBackground(wxBrush(kBackground));
    dc.Clear();
    if (!m_background.IsOk())
        return;
    // Lower right corner, a thirtieth of the width from the right and a twentieth of the
    // height from the bottom.
    const wxSize size = m_emptyPane->GetClientSize();
    const int x = size.x - size.x / 30 - m_background.GetWidth();
    const int y = size.y - size.y / 20 - m_background.GetHeight();
    dc.DrawBitmap(m_background, x, y, true);
}

void CMDIClientWnd::OnSize(wxSizeEvent& event)
{
    if (m_emptyPane)
        m_emptyPane->SetSize(GetClientSize());
    event.Skip();
    // Tiled windows keep equal shares as the main window changes its size; gathered into one
    // set of tabs again, they are no longer tiled.
    if (m_tileOrientation != 0 && GetTabSetCount() < 2)
        m_tileOrientation = 0;
    if (m_tileOrientation != 0)
        CallAfter([this] { ShareEqually(); });
}

void CMDIClientWnd::OnIdle(wxIdleEvent& event)
{
    const bool empty = GetPageCount() == 0;
    if (m_emptyPane && m_emptyPane->IsShown() != empty) {
        m_emptyPane->Show(empty);
        if (empty) {
            m_emptyPane->SetSize(GetClientSize());
            m_emptyPane->Raise();
        }
    }
    event.Skip();
}
