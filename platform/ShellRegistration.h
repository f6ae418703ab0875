// Registration of the query file type with the desktop: a desktop entry for the program and the
// association of SQL files with it, both in the user's XDG data folder. Stands in for the shell's
// file-type registration.
#pragma once

#include <wx/string.h>

class CShellRegistration {
public:
    // The user's data folder: $XDG_DATA_HOME, or ~/.local/share.
    static wxString DataFolder();
    static wxString DesktopEntryPath();
    static wxString MimeAppsPath();

    // Writes the desktop entry (starting `executable` with the file) and makes it the default
    // application for SQL files. False when a file could not be written.
    static bool Register(const wxString& executable);
    // Removes the desktop entry and every association with it; other associations stay.
    static bool Unregister();
    static bool IsRegistered();

    // The desktop entry's text for the executable.
    static wxString DesktopEntryText(const wxString& executable);
    // mimeapps.list text with the program's association added (on) or removed (off); every
    // other line is kept as it stands.
    static wxString UpdateMimeApps(const wxString& text, bool on);
};
