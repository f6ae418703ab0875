// Helpers for the editor controls of the SQL editor and the results text: selection, lines,
// search, tab stops, words, braces and output that follows or keeps the user's view.
// Positions are the control's own positions.
#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxStyledTextCtrl;
class wxDC;

long GetEditSelLength(wxStyledTextCtrl& edit);
wxString GetEditSelText(wxStyledTextCtrl& edit);

// The text of the line that holds the position, without its line end.
wxString GetEditLineText(wxStyledTextCtrl& edit, long position);

// Selects the line lineCount - 1 lines below the position's line (the position's own line when
// lineCount is below 2). The view keeps its scroll position while the line is in view.
void SelectEditLine(wxStyledTextCtrl& edit, long position, int lineCount);

// Searches down from start to end (-1: the end of the text); the position found or -1.
long FindEditText(wxStyledTextCtrl& edit, const wxString& text, long start, long end, bool matchCase);

// Tab stops every tabSize characters.
// Binds the keys that move the caret and extend the selection (arrows, Home, End, Page Up and
// Down, with Shift and Ctrl), the same in every text pane.
void AssignCaretMovingKeys(wxStyledTextCtrl& edit);

void SetEditTabStops(wxStyledTextCtrl& edit, int tabSize);

// Selects the word around the caret; false when there is none.
bool SelectWordAtCaret(wxStyledTextCtrl& edit);

// True when nothing is selected and a brace stands at the caret or just before it.
bool IsBraceAtCaret(wxStyledTextCtrl& edit);

// Moves the caret just before the brace matching the one at the caret; stays without a match.
void MatchBrace(wxStyledTextCtrl& edit);

// Puts output text in the control: appended (append) or replacing the whole text. While the
// caret stands at the end with nothing selected the view follows the output; otherwise the
// user's selection, first visible line and horizontal scroll position are kept.
void AppendMessageText(wxStyledTextCtrl& edit, const wxString& text, bool append);
// Replaces the whole text of a read-only control.
void SetReadOnlyText(wxStyledTextCtrl& edit, const wxString& text);

// A rectangle in twips (1/1440 inch) to device pixels at the given resolution, rounded.
wxRect TwipsToPixelsRect(const wxRect& twips, const wxSize& pixelsPerInch);
wxRect TwipsToPixelsRect(wxDC& dc, const wxRect& twips);

// True when the screen has more than 96 pixels per inch; false without a screen.
bool IsLargeFontsMode();
