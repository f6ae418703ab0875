#include "TVStatusBar.h"

#include <wx/dc.h>

CTVStatusBar::CTVStatusBar(wxWindow* parent, std::function<bool()> autoCommit)
    : wxStatusBar(parent, wxID_ANY, wxSTB_SHOW_TIPS | wxFULL_REPAINT_ON_RESIZE), m_autoCommit(std::move(autoCommit))
{
}

wxColour CTVStatusBar::GetAutoCommitColour() const
{
    return m_autoCommit && m_autoCommit() ? wxColour(0, 128, 0) : wxColour(128, 0, 0);
}

void CTVStatusBar::DrawField(wxDC& dc, int i, int textHeight)
{
    if (i != kAutoCommitPane) {
        wxStatusBar::DrawField(dc, i, textHeight);
        return;
    }
    wxRect rect;
    if (!GetFieldRect(i, rect))
        return;
    rect.Deflate(4, 3);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(GetAutoCommitColour()));
    dc.DrawRectangle(rect);
}
