// Opening a file, folder or address with the desktop's default application, or starting a
// program with parameters.
#pragma once

#include <wx/string.h>

// With parameters, target is a program (a path, or a name found on PATH) started with the
// parameters split into arguments as a shell would split them, without running a shell.
// Without, an address ("scheme:...") opens in the default browser and a file or folder with
// its default application. On failure returns false with the error text; an existing file that
// nothing opens gives kNoAssociation.
inline constexpr const char* kNoAssociation = "There is no application associated with the given file name extension.";

bool ShellOpenFile(const wxString& target, wxString& errorText, const wxString& parameters = wxString());
