// The file exception of the program's file operations: a cause from a fixed list, the system
// error number and the file's name, with the English sentence for each cause.
#pragma once

#include <wx/string.h>

#include <exception>
#include <string>

class CFileException : public std::exception {
public:
    enum Cause {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    CFileException(int cause, int osError, wxString fileName);

    // Throws the exception for a failed system call on fileName, its cause taken from errno.
    [[noreturn]] static void ThrowErrno(int osError, const wxString& fileName);
    static int ErrnoToCause(int osError);

    int m_cause;
    int m_lOsError;
    wxString m_strFileName;

    const char* what() const noexcept override { return m_what.c_str(); }

private:
    std::string m_what;
};

// The English sentence for a cause; "An unspecified error occurred." for any other code.
void FormatFileExceptionCause(int cause, wxString& text);
wxString GetFileExceptionText(int cause);
