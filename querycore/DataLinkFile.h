// Data link (.udl) files: an "[oledb]" line, the comment line "; Everything after this line is
// an OLE DB initstring" and the connect string, in UTF-16LE with a byte order mark as the
// system writes them, or in the other encodings other programs write. Reading, writing and the encodings; the connect
// commands, the data link dialog and the command line all go through here.
#pragma once

#include <wx/string.h>

#include <stdexcept>
#include <string>
#include <string_view>

class DataLinkFile {
public:
    enum class Encoding { Utf16LE, EightBit };

    // The text of a file's content. UTF-16 in either byte order is recognised by its byte order
    // mark or, without one, by the zero bytes of its ASCII characters; UTF-8 by its mark or by
    // being well-formed; other 8-bit text is read as Windows-1252. Content that is none of
    // these (invalid bytes after a UTF-8 mark, half a UTF-16 character, a NUL) throws BadContent
    // naming the fault and where it is.
    static std::string DecodeText(std::string_view bytes);

    // The connect string held by a file's content: the first line of DecodeText that is
    // neither blank, the "[oledb]" line nor a ";" comment, trimmed.
    static std::string Decode(std::string_view bytes);

    // The content of a file holding connectString.
    static std::string Encode(std::string_view connectString, Encoding encoding = Encoding::Utf16LE);

    // Reads the connect string of a file. A missing file throws NotFound with the text
    // "'<path>'.\nCannot open file. File not found."; other read failures, and content that is
    // not text, throw _com_error ("'<path>'.\n" and the reason).
    static std::string Read(const std::string& path);

    // Writes connectString as a file (replacing an existing one only once the new one is
    // complete, with its permissions; a new file is readable by its owner only); throws
    // std::filesystem::filesystem_error.
    static void Write(const std::string& path, std::string_view connectString,
                      Encoding encoding = Encoding::Utf16LE);

    // The connect string to connect with, as the connect commands take it from a file: the
    // file's string, emptied when it names no provider ("PROVIDER=", ignoring case).
    static std::string LoadConnectString(const std::string& path);

    // LoadConnectString for a file named on the command line ("File Name=<path>"). A failure is
    // shown with the stop icon (a missing file with its not-found text, a COM error as its text,
    // anything else as "Errors occurred.") and gives an empty string, as does a file that names
    // no provider; reported (when given) tells the two apart.
    static wxString ConnectFromCommandLine(const wxString& path, bool* reported = nullptr);

    class NotFound : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    class BadContent : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };
};
