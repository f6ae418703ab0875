// Connect strings that the connect commands build and take apart.
#pragma once

#include <wx/string.h>

// The connect string for a DSN-less login through the ODBC bridge with the given driver.
wxString BuildMsdasqlConnectString(const wxString& driver);

// The driver name of a DSN-less connect string: after "DRIVER={" up to "}", or after "DRIVER="
// up to the first "}" or ";"; braces removed, trimmed. Empty when the string names no driver:
// nothing else of it (no password) is ever taken.
wxString ExtractDriverLogin(const wxString& connectString);
