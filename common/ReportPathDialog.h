// The file chooser of a Save As, as the plugins' text reports and the program's exports use it.
// UI thread.
#pragma once

#include <wx/string.h>

class wxWindow;

// filter ("description|pattern|..." with or without a trailing "|") as the desktop's file
// chooser takes it: the all-files pattern "*.*" becomes "*", since the chooser would match
// "*.*" only against names holding a dot. The descriptions stay as they are written.
wxString DesktopFileFilter(const wxString& filter);

// Asks where to save a ".txt" report: the chooser (caption title) starts in the user's documents
// folder with defaultName + ".txt" proposed (nothing when defaultName is empty). The chooser
// adds no extension of its own, so ".txt" is added to a name chosen under the first filter that
// lacks it; and since the chooser then asked about the other name, the question whether to
// replace an existing file of the new name is asked here. Empty when the user cancels either.
wxString ChooseTextReportPath(wxWindow* parent, const wxString& title, const wxString& defaultName,
                              const wxString& filter);
