// File and path helpers. Paths use "/" as the separator; none of these changes the process's
// current directory.
#pragma once

#include <wx/string.h>

// The whole file as bytes in a string (decoding is the caller's business). Throws
// CFileException with the system error when the file cannot be opened or read.
std::string ReadFileToString(const wxString& path);

// Renames a file or folder. Never replaces an existing file or folder: that fails with the
// "already exists" message. On failure returns false with the message for the error.
bool RenameFileWithMessage(const wxString& oldName, const wxString& newName, wxString& message);

// Creates the folder and every missing parent; true when the folder exists afterwards. On
// failure message = "'" + path + "'\n" + the COM error text of the system error.
bool CreateDirectoryPath(const wxString& path, wxString& message);

// Splits a path into its folder (with its trailing "/", empty when the path has none), the
// file name without extension and the extension without its dot. A name that begins with a
// dot and holds no other dot has no extension.
void SplitPathName(const wxString& path, wxString& directory, wxString& fileName, wxString& extension);

// The folder of a path, with its trailing "/".
wxString GetPathDirectory(const wxString& path);

// The text after the last "/" (the whole path when it holds none).
wxString GetPathFileName(const wxString& path);

// The system's folder for temporary files, with its trailing "/".
const wxString& GetTempFolder();
