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

// Reads the connect string of a data link file: UTF-16LE with its byte order mark or 8-bit
// text; the "[oledb]" line and ";" comment lines are skipped. The string is trimmed, and empty
// when it names no provider. A missing file throws CDataLinkFileError with the not-found text.
wxString LoadDataLinkFile(const wxString& path);
