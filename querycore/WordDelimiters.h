// Whole-word tests for text searches (Find in Files' whole-word option).
#pragma once

#include <wx/string.h>

// True for the zero character, blank, tab, CR, LF and punctuation characters.
bool IsWordDelimiter(wxUniChar c);

// True when the match of length characters at position is a whole word of text: it covers the
// whole text, or the characters on both sides of it are delimiters (the text's start and end
// count as delimiters). A negative position or a match that runs past the text's end is not.
bool IsWholeWordAt(long position, const wxString& text, long length);
