// Connect-string rules of the connect commands and of opening a connection: the string built
// for an ODBC driver, the driver login remembered in the recent DSN-less list, the string of
// the second connection attempt, and the texts that mean the user cancelled a prompt.
#pragma once

#include <string>
#include <string_view>

// "PROVIDER=MSDASQL;Persist Security Info=False;Extended Properties="DRIVER={<driver>};""
std::string BuildMsdasqlConnectString(std::string_view driver);

// The connect string is read by the data layer's parser, as the connection reads it (the
// ODBC attributes inside Extended Properties in their place); of a malformed string, the
// attributes before the fault count.

// The ODBC driver name of a connect string, as remembered in the recent DSN-less logins: the
// DRIVER value the connection takes (the last written) up to its first ";" or "}", with "{"
// removed, trimmed. Empty when the string names no driver, so that nothing else of the string
// (a password above all) reaches the list.
std::string ExtractDriverLogin(std::string_view connectString);

// True when a DRIVER value is written in braces ("DRIVER={", any letter case): a login through
// an ODBC driver without a data source name, whose missing attributes the driver asks for.
bool IsDsnLessConnectString(std::string_view connectString);

// True when the string names a Provider (any letter case); a string without one is not used to
// connect (the data link dialog asks instead).
bool HasProviderKeyword(std::string_view connectString);

// The string of the second attempt after a failed open: ";Persist Security Info=False" is
// appended when ";Persist Security Info=" is missing, then every "Persist Security Info=False"
// becomes "Persist Security Info=True" (both case-sensitive).
std::string MakeRetryConnectString(std::string_view connectString);

// False for an OLAP provider ("Provider=MSOLAP", case-sensitive), which is retried without the
// "Prompt" property.
bool RetryWithPromptProperty(std::string_view connectString);

// True when an error text says that the user cancelled a provider prompt ("Operation was
// canceled." or "Operation Canceled"); such a failure is not reported.
bool IsCancelledPromptText(std::string_view message);
