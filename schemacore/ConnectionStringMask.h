// The connection string as the properties sheet shows it: the value of every password
// attribute replaced by "<*****>", so that the page never shows or copies a password.
#pragma once

#include <wx/string.h>

inline constexpr const char* kPasswordMask = "<*****>";

// Masks the values of the "Password" and "PWD" attributes, keys in any letter case and at any
// place, also inside a quoted or braced value that holds attributes of its own (the ODBC
// attributes of "Extended Properties"). A value in braces or quotes is masked whole, "}}" and
// doubled quotes included; an empty value gets the mask too. Everything else stays as written.
wxString MaskConnectionPasswords(const wxString& text);
