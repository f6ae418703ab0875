// Sizing a status bar pane to its text.
#pragma once

#include <wx/string.h>

class wxStatusBar;

// The text's width in pixels in the bar's own font; style and width receive the pane's style
// and current width.
int MeasureTextInWindowFont(int index, int& style, int& width, wxStatusBar& bar, const wxString& text);
