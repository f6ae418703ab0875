// The main window's stored placement, "Settings"/"WindowPos": ten numbers, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d",
// the flags, the show command, the minimised and maximised positions and the normal rectangle.
#pragma once

#include "platform/SettingsStore.h"

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxTopLevelWindow;

// Show commands as stored.
enum ShowCommand : unsigned {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_SHOWMAXIMIZED = 3,
    SW_SHOW = 5,
    SW_MINIMIZE = 6,
    SW_RESTORE = 9,
};

// Placement flag: the window goes back to maximised when restored from minimised.
constexpr unsigned WPF_RESTORETOMAXIMIZED = 2;

struct WindowPlacement {
    unsigned length = sizeof(WindowPlacement);
    unsigned flags = 0;
    unsigned showCmd = SW_SHOWNORMAL;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 0, bottom = 0;

    wxString Format() const;
    // True only when the text is exactly ten numbers in the stored format.
    static bool Parse(const wxString& text, WindowPlacement& out);

    // The window's placement now: how it is shown, with the rectangle it has when neither
    // maximised nor minimised (which the window's owner keeps track of).
    static WindowPlacement Of(const wxTopLevelWindow& window, const wxRect& normalRect);
};

// Writes the window's placement; with WPF_RESTORETOMAXIMIZED when it is maximised.
void SaveWindowPlacement(const WindowPlacement& wp, CSettingsStore& store = CSettingsStore::Get());
bool ReadWindowPlacement(WindowPlacement& wp, CSettingsStore& store = CSettingsStore::Get());

// Shows the window with the stored placement: the stored show command is replaced by the given
// one unless that is SW_SHOWNORMAL. Without a stored placement (or one that lies on no display)
// the window is centred and shown with the given command. Either way the window keeps the outer
// size it was given when the window manager frames it after it shows.
void RestoreWindowPlacement(wxTopLevelWindow& window, unsigned showCmd,
                            CSettingsStore& store = CSettingsStore::Get());
