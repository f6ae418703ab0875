// A splitter whose sash keeps its share of the splitter's size through every resize, instead of
// moving by whole pixels (which rounds, and clamps at the smallest pane size, so that shrinking
// and growing again lose the panes' proportions). The share changes only when the user drags
// the sash or the window sets it anew.
//
// Thread contract: the UI thread. Errors: none.
#pragma once

class wxSizeEvent;
class wxSplitterEvent;
class wxSplitterWindow;
class wxWindow;

class CSplitterShare {
public:
    // share: the first pane's part of the splitter's size, from 0 to 1.
    // The splitter outlives this object (a child window of the object's owner).
    CSplitterShare(wxSplitterWindow& splitter, double share);
    ~CSplitterShare();
    CSplitterShare(const CSplitterShare&) = delete;
    CSplitterShare& operator=(const CSplitterShare&) = delete;

    double GetShare() const { return m_share; }
    // A new share, applied at once when the splitter is split.
    void SetShare(double share);
    // Splits the splitter again (horizontally or vertically as it was made) at the share.
    void SplitHorizontally(wxWindow* top, wxWindow* bottom);
    void SplitVertically(wxWindow* left, wxWindow* right);

    // The sash position of a share in a splitter size, in whole pixels.
    static int PositionFor(double share, int size);

private:
    int SplitSize() const;
    void Apply();
    void OnSize(wxSizeEvent& event);
    void OnSashChanged(wxSplitterEvent& event);

    wxSplitterWindow& m_splitter;
    double m_share;
};
