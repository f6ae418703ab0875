// The connection string as the properties sheet shows it: the value of every password
// attribute replaced by "<*****>", so that the page never shows or copies a password.
#pragma once

#include <wx/string.h>

#include <string>
#include <string_view>

inline constexpr const char* kPasswordMask = "<*****>";

// Masks the value of every attribute that the connection hands on as a password ("Password",
// "PWD", keys in any letter case and at any place), read as the connection reads the string:
// also inside "Extended Properties", whose value holds the ODBC attributes. A value in braces
// or quotes is masked whole, an empty value gets the mask too, and everything else stays as
// written. Text the connection cannot read is shown only up to its first word that may name a
// password, followed by the mask.
std::string MaskConnectionPasswords(std::string_view text);
wxString MaskConnectionPasswords(const wxString& text);
