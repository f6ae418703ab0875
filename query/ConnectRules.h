// The rules of opening a query window's connection that need neither a window nor a database:
// the connect string of the second attempt, the cancelled-prompt test and the clamps of the
// values read from the profile.
#pragma once

#include <wx/string.h>

// The connect string of the second attempt after a failed first one: ";Persist Security Info=False"
// is appended when the string does not name the keyword, then every
// "Persist Security Info=False" becomes "Persist Security Info=True" (both case-sensitive).
wxString MakeRetryConnectString(const wxString& connectString);

// Whether the second attempt asks for missing login information: every provider but an OLAP one.
bool RetryWithPrompt(const wxString& connectString);

// A provider's text for a login prompt the user cancelled; such a failure ends silently.
bool IsCancelledPromptMessage(const wxString& message);

// The text a cancelled login prompt leaves as the connection's error.
extern const char* const kOperationCanceled;

// Values outside their bounds fall back: login and query time-outs to 0 (none), cache size to 100.
int ClampLoginTimeout(int seconds);
int ClampQueryTimeout(int seconds);
int ClampCacheSize(int rows);

// The batch separator in force for a stored value: empty or holding a blank, tab, CR or LF gives
// "GO"; "<NULL>" in any letter case gives the empty string (no splitting); anything else is kept.
wxString NormaliseBatchSeparator(const wxString& stored);
