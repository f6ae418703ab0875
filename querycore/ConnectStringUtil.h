// Connect-string rules of the connect commands and of opening a connection: the string built
// for an ODBC driver, the driver login remembered in the recent DSN-less list, the string of
// the second connection attempt, and the texts that mean the user cancelled a prompt.
#pragma once

#include <string>
#include <string_view>

// "PROVIDER=MSDASQL;Persist Security Info=False;Extended Properties="DRIVER={<driver>};""
std::string BuildMsdasqlConnectString(std::string_view driver);

// The ODBC driver name of a connect string, as remembered in the recent DSN-less logins: the
// text after "DRIVER={" or else "DRIVER=" (either ignoring case) up to the first ";" or "}",
// with braces removed and trimmed. Empty when the string names no driver, so that nothing
// else of the string (a password above all) reaches the list.
std::string ExtractDriverLogin(std::string_view connectString);

// True when the string holds "DRIVER={" (ignoring case): a login through an ODBC driver without
// a data source name, whose missing attributes the driver asks for.
bool IsDsnLessConnectString(std::string_view connectString);

// True when the string holds "PROVIDER=" (ignoring case); a string without a provider is not
// used to connect (the data link dialog asks instead).
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
