#include "FileException.h"

#include <cerrno>

CFileException::CFileException(int cause, int osError, wxString fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName))
{
    m_what = GetFileExceptionText(cause).utf8_string();
}

void CFileException::ThrowErrno(int osError, const wxString& fileName)
{
    throw CFileException(ErrnoToCause(osError), osError, fileName);
}

int CFileException::ErrnoToCause(int osError)
{
    switch (osError) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY: return removeCurrentDir;
    case ESPIPE: return badSeek;
    case EIO: return hardIO;
    case ETXTBSY: return sharingViolation;
    case EDEADLK:
    case ENOLCK: return lockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    default: return genericException;
    }
}

void FormatFileExceptionCause(int cause, wxString& text)
{
    switch (cause) {
    case CFileException::fileNotFound: text = "The file could not be located."; break;
    case CFileException::badPath: text = "All or part of the path is invalid."; break;
    case CFileException::tooManyOpenFiles: text = "The permitted number of open files was exceeded."; break;
    case CFileException::accessDenied: text = "The file could not be accessed."; break;
    case CFileException::invalidFile: text = "There was an attempt to use an invalid file handle."; break;
    case CFileException::removeCurrentDir: text = "The current working directory cannot be removed."; break;
    case CFileException::directoryFull: text = "There are no more directory entries."; break;
    case CFileException::badSeek: text = "There was an error trying to set the file pointer."; break;
    case CFileException::hardIO: text = "There was a hardware error."; break;
    case CFileException::sharingViolation: text = "SHARE.EXE was not loaded, or a shared region was locked."; break;
    case CFileException::lockViolation: text = "There was an attempt to lock a region that was already locked."; break;
    case CFileException::diskFull: text = "The disk is full."; break;
    case CFileException::endOfFile: text = "The end of file was reached."; break;
    default: text = "An unspecified error occurred."; break;
    }
}

wxString GetFileExceptionText(int cause)
{
    wxString text;
    FormatFileExceptionCause(cause, text);
    return text;
}
