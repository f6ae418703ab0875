// Data link (.udl) files: the connect string they hold.
#pragma once

#include <wx/string.h>

#include <stdexcept>

// The message of a data link file that is not there, shown as it stands.
class CDataLinkFileError : public std::runtime_error {
public:
    explicit CDataLinkFileError(const wxString& message)
        : std::runtime_error(std::string(message.utf8_str())), m_message(message) {}
    const wxString& Message() const { return m_message; }

private:
    wxString m_message;
};

// Reads the connect string of a data link file (in either of its encodings): trimmed, and empty
// when it names no provider. A missing file throws CDataLinkFileError with the not-found text;
// a file that cannot be read throws _com_error.
wxString LoadDataLinkFile(const wxString& path);

// The connect string of a data link file named on the command line ("File Name=<path>"). A
// failure is shown with the stop icon (a missing file with string 61226, a COM error as its
// text, anything else as "Errors occurred.") and gives an empty string, as does a file that
// names no provider; reported (when given) tells the two apart.
wxString ConnectFromCommandLine(const wxString& path, bool* reported = nullptr);
