// The size and place of the program's dialogs: each gets the size its content needs and opens in
// the middle of the window it belongs to.
//
// On GTK the height of a window's title bar and border is learnt only when the first window of
// its kind is shown; a dialog sized before then loses that much of its content (buttons squashed
// to slivers). So the content's size stays the dialog's smallest client size, and the dialog
// grows back to it whenever it is made smaller. A parent that is not on screen yet (a query
// window still being opened) cannot be centred on; the nearest shown window above it is used.
// Window thread only.
#pragma once

#include <wx/gdicmn.h>

class wxDialog;
class wxTopLevelWindow;

// Sizes the dialog to its sizer's content (at least minClient) and centres it now and each time
// it is shown. Call once, after the dialog's controls and sizer are in place.
void ApplyNaturalLayout(wxDialog& dialog, const wxSize& minClient = wxDefaultSize);

// Moves the window to the middle of its nearest shown parent (else of the application's main
// window, else of its display), kept inside that display's work area.
void CentreOnShownParent(wxTopLevelWindow& window);
