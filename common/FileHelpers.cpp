#include "FileHelpers.h"

#include "ErrorText.h"
#include "FileException.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/filename.h>

namespace {

bool IsDirectory(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// rename() that fails with EEXIST instead of replacing the target.
int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // The file system cannot refuse a replacement itself: check first.
    if (PathExists(to)) {
        errno = EEXIST;
        return -1;
    }
    return std::rename(from.c_str(), to.c_str());
}

} // namespace

std::string ReadFileToString(const wxString& path)
{
    const std::string native = path.utf8_string();
    int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        CFileException::ThrowErrno(errno, path);
    std::string content;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int error = errno;
            ::close(fd);
            CFileException::ThrowErrno(error, path);
        }
        if (n == 0)
            break;
        content.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return content;
}

bool RenameFileWithMessage(const wxString& oldName, const wxString& newName, wxString& message)
{
    message.clear();
    if (RenameNoReplace(oldName.utf8_string(), newName.utf8_string()) == 0)
        return true;
    switch (errno) {
    case ENOENT:
        message = wxString::Format("File or path specified by '%s' not found.", oldName);
        break;
    case EACCES:
    case EPERM:
    case EEXIST:
    case ENOTEMPTY:
    case EROFS:
        message = wxString::Format("File or directory specified by '%s' already exists or could not be created.", newName);
        break;
    case EINVAL:
        message = wxString::Format("'%s'.\nName contains invalid characters.", newName);
        break;
    default:
        message = "Errors occurred.";
        break;
    }
    return false;
}

bool CreateDirectoryPath(const wxString& path, wxString& message)
{
    message.clear();
    const std::string native = path.utf8_string();
    if (IsDirectory(native))
        return true;
    int error = native.empty() ? ENOENT : 0;
    // Each missing folder from the top down; a part that exists must be a folder.
    for (size_t end = native.find('/', 1); !error; end = native.find('/', end + 1)) {
        const std::string part = native.substr(0, end);
        if (!part.empty() && part.back() != '/' && ::mkdir(part.c_str(), 0777) != 0) {
            if (errno != EEXIST)
                error = errno;
            else if (!IsDirectory(part))
                error = ENOTDIR;
        }
        if (end == std::string::npos)
            break;
    }
    if (!error && IsDirectory(native))
        return true;
    message = "'" + path + "'\n" + FormatErrnoAsComError(error ? error : ENOTDIR);
    return false;
}

void SplitPathName(const wxString& path, wxString& directory, wxString& fileName, wxString& extension)
{
    const size_t slash = path.rfind('/');
    directory = slash == wxString::npos ? wxString() : path.Left(slash + 1);
    const wxString name = slash == wxString::npos ? path : path.Mid(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == wxString::npos || dot == 0) {
        fileName = name;
        extension.clear();
    } else {
        fileName = name.Left(dot);
        extension = name.Mid(dot + 1);
    }
}

wxString GetPathDirectory(const wxString& path)
{
    const size_t slash = path.rfind('/');
    return slash == wxString::npos ? wxString() : path.Left(slash + 1);
}

wxString GetPathFileName(const wxString& path)
{
    const size_t slash = path.rfind('/');
    return slash == wxString::npos ? path : path.Mid(slash + 1);
}

const wxString& GetTempFolder()
{
    static const wxString folder = [] {
        wxString path = wxFileName::GetTempDir();
        if (!path.EndsWith("/"))
            path += "/";
        return path;
    }();
    return folder;
}
