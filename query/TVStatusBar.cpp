#include "TVStatusBar.h"

#include <wx/dc.h>
#include <wx/tooltip.h>

CTVStatusBar::CTVStatusBar(wxWindow* parent, std::function<bool()> autoCommit)
    : wxStatusBar(parent, wxID_ANY, wxSTB_ELLIPSIZE_END | wxFULL_REPAINT_ON_RESIZE),
      m_autoCommit(std::move(autoCommit))
{
    Bind(wxEVT_MOTION, &CTVStatusBar::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, &CTVStatusBar::OnLeave, this);
}

wxColour CTVStatusBar::GetAutoCommitColour() const
{
    return m_autoCommit && m_autoCommit() ? wxColour(0, 128, 0) : wxColour(128, 0, 0);
}

void CTVStatusBar::SetTipText(int pane, const wxString& text)
{
    if (text.empty())
        m_tips.erase(pane);
    else
        m_tips[pane] = text;
    // A tip showing now follows its pane's new text.
    if (pane == m_nTipPane)
        ShowTipOf(pane);
}

wxString CTVStatusBar::GetTipText(int pane) const
{
    const auto it = m_tips.find(pane);
    return it == m_tips.end() ? wxString() : it->second;
}

int CTVStatusBar::PaneAt(const wxPoint& point) const
{
    for (int i = 0; i < GetFieldsCount(); ++i) {
        wxRect rect;
        if (GetFieldRect(i, rect) && rect.Contains(point))
            return i;
    }
    return -1;
}

void CTVStatusBar::ShowTipOf(int pane)
{
    m_nTipPane = pane;
    const wxString tip = pane < 0 ? wxString() : GetTipText(pane);
    if (tip.empty())
        UnsetToolTip();
    else if (GetToolTipText() != tip)
        SetToolTip(tip);
}

void CTVStatusBar::OnMotion(wxMouseEvent& event)
{
    event.Skip();
    const int pane = PaneAt(event.GetPosition());
    if (pane != m_nTipPane)
        ShowTipOf(pane);
}

void CTVStatusBar::OnLeave(wxMouseEvent& event)
{
    event.Skip();
    m_nTipPane = -1;
}

void CTVStatusBar::DoUpdateStatusText(int number)
{
    wxRect rect;
    if (GetFieldRect(number, rect) && rect.width > 0 && rect.height > 0)
        wxStatusBar::DoUpdateStatusText(number);
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
    if (rect.width <= 0 || rect.height <= 0)
        return;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(GetAutoCommitColour()));
    dc.DrawRectangle(rect);
}
