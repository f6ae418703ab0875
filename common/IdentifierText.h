// Identifier quoting, names made from text or a new GUID, and small checks of texts.
#pragma once

#include "platform/com/ComTypes.h"

#include <wx/string.h>

// A copy in which every character other than "_", an ASCII letter or an ASCII digit is "_";
// the length in characters stays.
void FormatIdentifierName(const wxString& text, wxString& name);
wxString MakeIdentifierName(const wxString& text);

// A new GUID as "XXXXXXXX_XXXX_XXXX_XXXX_XXXXXXXXXXXX" (36 characters, upper case), usable in
// file and sheet names.
void CreateGuidString(wxString& text);
wxString MakeUniqueName();
// The same form for a given GUID; empty for the all-zero GUID.
wxString FormatGuidName(const GUID& guid);

// openQuote + name + closeQuote: one identifier, the closing quote doubled inside it whatever
// the quote character ("]" becomes "]]", "`" becomes "``") so that the name cannot end its
// quotes early; a "." inside stays part of the name. Empty or blank quotes (a driver's " " means
// it does not quote) return the name unchanged.
wxString QuoteIdentifier(const wxString& name, const wxString& openQuote, const wxString& closeQuote);

// [schema quoted + "."] + name quoted, each part on its own as above.
wxString QuoteQualifiedName(const wxString& schema, const wxString& name, const wxString& openQuote,
                            const wxString& closeQuote);

// True when the text holds no blank, TAB, CR or LF.
bool HasNoWhitespace(const wxString& text);

// True when the text is empty or every character equals the first.
bool HasUniformChars(const wxString& text);

// A file name from SQL text: its first 15 characters, CR and LF as "_", the two given texts
// removed, then made an identifier name.
wxString MakeFileNameFromText(const wxString& text, const wxString& drop1, const wxString& drop2);

// "Required ", "Optional ", "Read " or "Write ": the first that the property attribute mask
// holds; empty when none.
wxString GetPropertyAttributesText(long attributes);
