#include "SplitterShare.h"

#include <wx/splitter.h>

#include <algorithm>
#include <cmath>

CSplitterShare::CSplitterShare(wxSplitterWindow& splitter, double share)
    : m_splitter(splitter), m_share(std::clamp(share, 0.0, 1.0))
{
    // The splitter's own gravity would move the sash once more after this has set it.
    m_splitter.SetSashGravity(0.0);
    m_splitter.Bind(wxEVT_SIZE, &CSplitterShare::OnSize, this);
    m_splitter.Bind(wxEVT_SPLITTER_SASH_POS_CHANGED, &CSplitterShare::OnSashChanged, this);
}

CSplitterShare::~CSplitterShare()
{
    m_splitter.Unbind(wxEVT_SIZE, &CSplitterShare::OnSize, this);
    m_splitter.Unbind(wxEVT_SPLITTER_SASH_POS_CHANGED, &CSplitterShare::OnSashChanged, this);
}

int CSplitterShare::PositionFor(double share, int size)
{
    return static_cast<int>(std::lround(share * std::max(size, 0)));
}

int CSplitterShare::SplitSize() const
{
    const wxSize size = m_splitter.GetClientSize();
    return m_splitter.GetSplitMode() == wxSPLIT_HORIZONTAL ? size.y : size.x;
}

void CSplitterShare::SetShare(double share)
{
    m_share = std::clamp(share, 0.0, 1.0);
    Apply();
}

void CSplitterShare::SplitHorizontally(wxWindow* top, wxWindow* bottom)
{
    m_splitter.SplitHorizontally(top, bottom, PositionFor(m_share, m_splitter.GetClientSize().y));
}

void CSplitterShare::SplitVertically(wxWindow* left, wxWindow* right)
{
    m_splitter.SplitVertically(left, right, PositionFor(m_share, m_splitter.GetClientSize().x));
}

void CSplitterShare::Apply()
{
    if (m_splitter.IsSplit() && SplitSize() > 0)
        m_splitter.SetSashPosition(PositionFor(m_share, SplitSize()));
}

void CSplitterShare::OnSize(wxSizeEvent& event)
{
    // Before the splitter lays its panes out at the new size.
    event.Skip();
    Apply();
}

void CSplitterShare::OnSashChanged(wxSplitterEvent& event)
{
    event.Skip();
    const int size = SplitSize();
    if (event.GetEventObject() == &m_splitter && size > 0)
        m_share = std::clamp(double(event.GetSashPosition()) / size, 0.0, 1.0);
}
