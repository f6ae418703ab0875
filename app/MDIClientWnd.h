// The main window's client area: the query windows as tabs, which can be spread out into panes
// side by side and gathered back into one set of tabs; with no window open it shows the
// program's background picture at its lower right corner on gray.
#pragma once

#include <wx/defs.h>
#include <wx/aui/tabmdi.h>
#include <wx/bitmap.h>

#include <vector>

class CMDIClientWnd : public wxAuiMDIClientWindow {
public:
    explicit CMDIClientWnd(wxAuiMDIParentFrame* parent);

    // Every page back into the tab set that holds the first page, in page order.
    void UnsplitAll();
    // Each page in a tab set of its own: side by side (wxVERTICAL) or one above the other
    // (wxHORIZONTAL), sharing the client area equally.
    void TileAll(wxOrientation orient);
    // Puts the pages of each tab set in the given order.
    void OrderTabs(const std::vector<wxWindow*>& order);
    // How many tab sets hold pages.
    int GetTabSetCount();

    static wxBitmap MakeBackgroundBitmap();

private:
    // The tiled panes each get the same share of the client area.
    void ShareEqually();
    void OnSize(wxSizeEvent& event);
    void OnIdle(wxIdleEvent& event);
    void PaintBackground(wxPaintEvent& event);
    std::vector<wxAuiTabCtrl*> TabCtrls();

    wxBitmap m_background;
    // Covers the empty client area: the tab library's own windows show plain white there.
    wxWindow* m_emptyPane = nullptr;
    // wxVERTICAL or wxHORIZONTAL while the windows are tiled, else 0.
    int m_tileOrientation = 0;

    wxDECLARE_EVENT_TABLE();
};
