// The query window's status bar: five panes (message, autocommit indicator, elapsed time,
// result set, caret position), the autocommit pane drawn as a coloured block, and a tip text
// per pane that shows while the mouse rests on that pane. UI thread only.
#pragma once

#include <wx/statusbr.h>

#include <functional>
#include <map>

class CTVStatusBar : public wxStatusBar {
public:
    static constexpr int kAutoCommitPane = 1;

    // autoCommit tells the pane whether the window's autocommit mode is on.
    CTVStatusBar(wxWindow* parent, std::function<bool()> autoCommit);

    // The colour the autocommit pane is drawn in: dark green when on, dark red when off.
    wxColour GetAutoCommitColour() const;

    // The tip of a pane; an empty text removes it.
    void SetTipText(int pane, const wxString& text);
    wxString GetTipText(int pane) const;
    // The pane at a point of the bar, or -1.
    int PaneAt(const wxPoint& point) const;

protected:
    void DrawField(wxDC& dc, int i, int textHeight) override;
    // While the window manager frames the window the bar can be narrower than its fixed panes:
    // a pane of no width has nothing to repaint, and asking GTK to would log an invalid rectangle.
    void DoUpdateStatusText(int number) override;

private:
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void ShowTipOf(int pane);

    std::function<bool()> m_autoCommit;
    std::map<int, wxString> m_tips;
    int m_nTipPane = -1; // the pane whose tip the bar shows now
};
