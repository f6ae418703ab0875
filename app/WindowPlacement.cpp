#include "WindowPlacement.h"

#include "common/SettingsTable.h"

#include <wx/display.h>
#include <wx/toplevel.h>

#include <cstdio>
#include <memory>

wxString WindowPlacement::Format() const
{
    return wxString::Format("%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", flags, showCmd, minX, minY, maxX, maxY, left, top,
                            right, bottom);
}

bool WindowPlacement::Parse(const wxString& text, WindowPlacement& out)
{
    WindowPlacement wp;
    int consumed = 0;
    std::string s = text.ToStdString();
    int n = std::sscanf(s.c_str(), "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d%n", &wp.flags, &wp.showCmd, &wp.minX, &wp.minY,
                        &wp.maxX, &wp.maxY, &wp.left, &wp.top, &wp.right, &wp.bottom, &consumed);
    if (n != 10)
        return false;
    // Nothing but blanks may follow the tenth number.
    for (size_t i = consumed; i < s.size(); ++i)
        if (s[i] != ' ' && s[i] != '\t')
            return false;
    wp.length = sizeof(WindowPlacement);
    out = wp;
    return true;
}

WindowPlacement WindowPlacement::Of(const wxTopLevelWindow& window, const wxRect& normalRect)
{
    WindowPlacement wp;
    wp.left = normalRect.GetLeft();
    wp.top = normalRect.GetTop();
    wp.right = normalRect.GetRight() + 1;
    wp.bottom = normalRect.GetBottom() + 1;
    if (window.IsIconized())
        wp.showCmd = SW_SHOWMINIMIZED;
    else if (window.IsMaximized())
        wp.showCmd = SW_SHOWMAXIMIZED;
    else
        wp.showCmd = SW_SHOWNORMAL;
    if (window.IsMaximized())
        wp.flags |= WPF_RESTORETOMAXIMIZED;
    return wp;
}

void SaveWindowPlacement(const WindowPlacement& wp, CSettingsStore& store)
{
    settings::WriteString(settings::WindowPos, wp.Format(), store);
}

bool ReadWindowPlacement(WindowPlacement& wp, CSettingsStore& store)
{
    wxString text = settings::ReadString(settings::WindowPos, store);
    return !text.empty() && WindowPlacement::Parse(text, wp);
}

namespace {

void Show(wxTopLevelWindow& window, unsigned showCmd)
{
    switch (showCmd) {
    case SW_HIDE:
        window.Hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        window.Show();
        window.Iconize(true);
        break;
    case SW_SHOWMAXIMIZED:
        window.Show();
        window.Maximize(true);
        break;
    default:
        window.Show();
        break;
    }
}

// A window shown before the window manager has told the size of its title bar and borders
// grows by them once they are known (the toolkit keeps the client area), so a stored size would
// come back larger at every start. The size asked for is put back once, when they are known.
void KeepSizeOnceFramed(wxTopLevelWindow& window)
{
#ifdef __WXGTK__
    const auto framed = [&window] {
        const auto& decor = window.m_decorSize;
        return decor.left + decor.right + decor.top + decor.bottom > 0;
    };
    if (framed())
        return;
    const wxSize wanted = window.GetSize();
    auto pending = std::make_shared<bool>(true);
    window.Bind(wxEVT_SIZE, [&window, framed, wanted, pending](wxSizeEvent& event) {
        event.Skip();
        if (!*pending || !framed())
            return;
        *pending = false;
        if (!window.IsMaximized() && !window.IsIconized() && window.GetSize() != wanted)
            window.CallAfter([&window, wanted] { window.SetSize(wanted); });
    });
#else
    wxUnusedVar(window);
#endif
}

} // namespace

void RestoreWindowPlacement(wxTopLevelWindow& window, unsigned showCmd, CSettingsStore& store)
{
    WindowPlacement wp;
    wxRect rect;
    bool placed = ReadWindowPlacement(wp, store);
    if (placed) {
        rect = wxRect(wxPoint(wp.left, wp.top), wxPoint(wp.right - 1, wp.bottom - 1));
        // A rectangle on a display that is gone would leave the window out of sight.
        placed = rect.width > 0 && rect.height > 0 && wxDisplay::GetFromPoint(rect.GetTopLeft()) != wxNOT_FOUND;
    }
    if (placed) {
        if (showCmd != SW_SHOWNORMAL)
            wp.showCmd = showCmd;
        window.SetSize(rect);
        // A window stored maximised comes back maximised unless the caller asked for another state.
        if (wp.showCmd == SW_SHOWMINIMIZED && (wp.flags & WPF_RESTORETOMAXIMIZED))
            window.Maximize(true);
        KeepSizeOnceFramed(window);
        Show(window, wp.showCmd);
    } else {
        window.Centre();
        KeepSizeOnceFramed(window);
        Show(window, showCmd);
    }
    window.Update();
}
