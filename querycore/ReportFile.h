// The plain-text reports of the plugins: CR LF line ends, and a file that is replaced only
// once the whole report is written (ReplacingFile), so that a failed save (a full disk, no
// permission) keeps the earlier report as it was and leaves no partial one. Any thread.
//
// Errors: WriteTextReport throws CFileException naming path, its cause from the system error.
#pragma once

#include <wx/string.h>

#include <string>

// text with every "\n" written as CR LF.
std::string ToCrLf(const std::string& text);

// Writes text (with "\n" line ends) to path as CR LF lines.
void WriteTextReport(const wxString& path, const std::string& text);
