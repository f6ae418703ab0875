#include "ReplacingFile.h"

#include "ado/UnfinishedFiles.h"
#include "Utf8.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include <fmt/format.h>

namespace {

constexpr size_t kBufferSize = 1 << 20;
// Symbolic links followed before giving up, as the system does.
constexpr int kMaxLinks = 40;

[[noreturn]] void Throw(const char* what, const std::filesystem::path& target, int error)
{
    throw std::filesystem::filesystem_error(what, target, std::error_code(error, std::generic_category()));
}

// Gives the file open as fd the owner, group and permissions of the existing file old.
// Where the group cannot be kept, the group's permissions are dropped rather than handed to
// another group; special bits (set-user-ID and the like) are never carried over.
bool TakeAttributes(int fd, const struct stat& old)
{
    mode_t mode = old.st_mode & 0777;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        struct stat now {};
        if (::fstat(fd, &now) != 0 || now.st_gid != old.st_gid)
            mode &= ~static_cast<mode_t>(070);
    }
    return ::fchmod(fd, mode) == 0;
}

// The file that the chain of symbolic links at target leads to, or target itself when it is
// none; the file need not exist.
std::filesystem::path FinalPath(const std::filesystem::path& target)
{
    std::filesystem::path path = target;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::error_code error;
        const std::filesystem::path link = std::filesystem::read_symlink(path, error);
        if (error)
            Throw("create", target, error.value());
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    Throw("create", target, ELOOP);
}

std::filesystem::path FolderOf(const std::filesystem::path& file)
{
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// A name beside file for its copy: the file's name and a random part, the name cut (at a
// character's start) so that the whole fits in a folder entry.
std::filesystem::path CopyNameFor(const std::filesystem::path& file, uint32_t random)
{
    const std::string suffix = fmt::format(".{:08x}.tmp", random);
    std::string name = file.filename().string();
    if (name.size() + suffix.size() > NAME_MAX) {
        size_t cut = NAME_MAX - suffix.size();
        while (cut > 0 && utf8::IsContinuationByte(name[cut]))
            --cut;
        name.resize(cut);
    }
    return FolderOf(file) / (name + suffix);
}

// Unnamed files are linked in through the descriptor links of /proc.
bool CanLinkUnnamed()
{
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

std::string DescriptorPath(int fd)
{
    return fmt::format("/proc/self/fd/{}", fd);
}

// Forces the folder's entries (a new or renamed file) to the disk; the error, or 0.
int SyncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // EINVAL: a file system that has nothing to synchronise.
    const int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return error;
}

} // namespace

ReplacingFile::ReplacingFile(std::filesystem::path target, mode_t newFileMode)
    : m_target(std::move(target)), m_final(FinalPath(m_target))
{
    // The copy of an existing file is private until it takes the file's own permissions.
    struct stat existing {};
    const mode_t mode = ::stat(m_final.c_str(), &existing) == 0 ? 0600 : newFileMode;
    // Where the file system refuses unnamed files, a named copy instead.
    if (CanLinkUnnamed())
        m_fd = ::open(FolderOf(m_final).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        const std::filesystem::path candidate = CopyNameFor(m_final, random());
        m_fd = ado::UnfinishedFiles::Create(candidate.string(), mode);
        if (m_fd >= 0)
            m_temporary = candidate;
        else if (errno != EEXIST)
            Fail("create", errno);
    }
    if (m_fd < 0)
        Fail("create", EEXIST);
    m_buffer.reserve(kBufferSize);
}

ReplacingFile::~ReplacingFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed && !m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        ado::UnfinishedFiles::Forget(m_temporary.string());
    }
}

std::string ReplacingFile::PathForWriter() const
{
    return m_temporary.empty() ? DescriptorPath(m_fd) : m_temporary.string();
}

void ReplacingFile::Write(std::string_view bytes)
{
    if (m_buffer.size() + bytes.size() > kBufferSize)
        Flush();
    if (bytes.size() >= kBufferSize)
        WriteAll(bytes);
    else
        m_buffer.append(bytes);
}

void ReplacingFile::Flush()
{
    WriteAll(m_buffer);
    m_buffer.clear();
}

void ReplacingFile::WriteAll(std::string_view bytes)
{
    if (const int error = ado::detail::WriteFully(m_fd, bytes))
        Fail("write", error);
    m_flushed += bytes.size();
}

void ReplacingFile::Patch(uint64_t position, std::string_view bytes)
{
    Flush();
    if (const int error = ado::detail::WriteFullyAt(m_fd, bytes, position))
        Fail("write", error);
}

void ReplacingFile::Commit()
{
    Flush();
    struct stat old {};
    if (::stat(m_final.c_str(), &old) == 0 && !TakeAttributes(m_fd, old))
        Fail("replace", errno);
    // Some file systems report a full disk or a lost server only when the data reaches the
    // disk; that fails the save before anything is replaced. EINVAL: a device or pipe.
    if (::fsync(m_fd) != 0 && errno != EINVAL)
        Fail("write", errno);
    if (m_temporary.empty())
        LinkIn();
    else if (::rename(m_temporary.c_str(), m_final.c_str()) != 0)
        Fail("replace", errno);
    // The content is on the disk already: closing has nothing left to report.
    ::close(m_fd);
    m_fd = -1;
    m_committed = true;
    if (!m_temporary.empty())
        ado::UnfinishedFiles::Forget(m_temporary.string());
    if (const int error = SyncFolder(FolderOf(m_final)))
        Fail("write", error);
}

void ReplacingFile::LinkIn()
{
    const std::string self = DescriptorPath(m_fd);
    // Where no file has the name, the copy takes it at once; a link never replaces a file.
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_final.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return;
    if (errno != EEXIST)
        Fail("replace", errno);
    // Replacing a file takes a rename, and that a name for the copy, for as long as the rename.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path name = CopyNameFor(m_final, random());
        ado::UnfinishedFiles::Record(name.string());
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            const int error = errno;
            ado::UnfinishedFiles::Forget(name.string());
            if (error == EEXIST)
                continue;
            Fail("replace", error);
        }
        const bool renamed = ::rename(name.c_str(), m_final.c_str()) == 0;
        const int error = errno;
        if (!renamed)
            ::unlink(name.c_str());
        ado::UnfinishedFiles::Forget(name.string());
        if (!renamed)
            Fail("replace", error);
        return;
    }
    Fail("replace", EEXIST);
}

void ReplacingFile::Fail(const char* what, int error)
{
    Throw(what, m_target, error);
}
