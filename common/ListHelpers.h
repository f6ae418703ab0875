// Helpers for report-style list controls: rows from "|"-terminated fields, the selected row,
// the point of a context menu and copying a row.
#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxListCtrl;

// Inserts a row from a text whose fields each end in "|": the first field is the item (with
// the image unless it is -1, at index unless that is -1, else after the last row), the others
// fill columns 1, 2, ... Returns the new row, or -1 when the text holds no "|" or the control
// refuses the row.
long AddListCtrlRow(wxListCtrl& list, const wxString& rowText, int image = -1, long index = -1);

// The first selected row; with orFocused and no selection, the focused row; else -1.
long GetSelectedListItem(wxListCtrl& list, bool orFocused);

// A context-menu point in screen coordinates: a real point is kept; the keyboard's
// wxDefaultPosition becomes the centre of the selected row (its right edge clipped to the
// client width) or, without a visible selected row, the centre of the client area.
void GetListPopupPoint(wxListCtrl& list, wxPoint& point);

// The first selected row's column texts, each followed by a TAB, trailing white space removed;
// empty without a selected row.
wxString GetListRowText(wxListCtrl& list);

// Places GetListRowText on the clipboard; false when the clipboard cannot be opened.
bool CopyListRowToClipboard(wxListCtrl& list);
