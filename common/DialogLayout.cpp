#include "DialogLayout.h"

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/toplevel.h>

#include <algorithm>

namespace {

// The window to centre on: a top-level one, whose place is known without asking the display
// where its inner windows are (they may not be on screen yet).
wxWindow* ShownAnchor(wxTopLevelWindow& window)
{
    for (wxWindow* w = window.GetParent() ? wxGetTopLevelParent(window.GetParent()) : nullptr; w;
         w = w->GetParent() ? wxGetTopLevelParent(w->GetParent()) : nullptr)
        if (w->IsShown())
            return w;
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    return top && top != &window && top->IsShown() ? top : nullptr;
}

} // namespace

void CentreOnShownParent(wxTopLevelWindow& window)
{
    wxWindow* anchor = ShownAnchor(window);
    const int index = wxDisplay::GetFromWindow(anchor ? anchor : &window);
    const wxRect work = wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
    const wxRect area = anchor ? anchor->GetScreenRect() : work;
    const wxSize size = window.GetSize();
    wxPoint position(area.x + (area.width - size.x) / 2, area.y + (area.height - size.y) / 2);
    position.x = std::max(work.x, std::min(position.x, work.GetRight() + 1 - size.x));
    position.y = std::max(work.y, std::min(position.y, work.GetBottom() + 1 - size.y));
    window.Move(position);
}

void ApplyNaturalLayout(wxDialog& dialog, const wxSize& minClient)
{
    wxSizer* sizer = dialog.GetSizer();
    if (!sizer)
        return;
    wxSize natural = sizer->GetMinSize();
    natural.IncTo(minClient);
    dialog.SetClientSize(natural);
    // One pixel above the size: when the title bar's height arrives, the toolkit then grows the
    // window by it instead of taking it from the content.
    dialog.SetMinSize(dialog.GetSize() + wxSize(0, 1));
    CentreOnShownParent(dialog);

    dialog.Bind(wxEVT_SIZE, [&dialog, natural](wxSizeEvent& event) {
        event.Skip();
        const wxSize client = dialog.GetClientSize();
        if (client.x >= natural.x && client.y >= natural.y)
            return;
        // Once the title bar's height is known, the size asked for before is the client size again.
        dialog.SetMinClientSize(natural);
        dialog.SetClientSize(wxSize(std::max(client.x, natural.x), std::max(client.y, natural.y)));
        CentreOnShownParent(dialog);
    });
    dialog.Bind(wxEVT_SHOW, [&dialog](wxShowEvent& event) {
        event.Skip();
        if (!event.IsShown())
            return;
        CentreOnShownParent(dialog);
        // A window manager that has not framed a window of this kind yet places it itself once
        // it shows (at the top left); placed again after that, it stays in the middle.
        dialog.CallAfter([&dialog] { CentreOnShownParent(dialog); });
    });
}
