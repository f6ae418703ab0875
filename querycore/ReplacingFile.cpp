#include "ReplacingFile.h"

#include "ado/UnfinishedFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include <fmt/format.h>

namespace {

constexpr size_t kBufferSize = 1 << 20;

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

} // namespace

ReplacingFile::ReplacingFile(std::filesystem::path target, mode_t newFileMode) : m_target(std::move(target))
{
    // The copy of an existing file is private until it takes the file's own permissions.
    struct stat existing {};
    const mode_t mode = ::stat(m_target.c_str(), &existing) == 0 ? 0600 : newFileMode;
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        std::filesystem::path candidate = m_target;
        candidate += fmt::format(".{:08x}.tmp", random());
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

std::string ReplacingFile::TemporaryPathBeside(const std::string& target)
{
    std::random_device random;
    std::error_code error;
    for (;;) {
        std::string candidate = fmt::format("{}.{:08x}.tmp", target, random());
        if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, error)))
            return candidate;
    }
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
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(m_fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail("write", errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
}

void ReplacingFile::Commit()
{
    Flush();
    struct stat old {};
    if (::stat(m_target.c_str(), &old) == 0 && !TakeAttributes(m_fd, old))
        Fail("replace", errno);
    // Delayed allocation can report a full disk only at close.
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        Fail("write", errno);
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        Fail("replace", errno);
    m_committed = true;
    ado::UnfinishedFiles::Forget(m_temporary.string());
}

void ReplacingFile::MoveOver(const std::filesystem::path& complete, const std::filesystem::path& target)
{
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        const int fd = ::open(complete.c_str(), O_RDONLY | O_CLOEXEC);
        const bool taken = fd >= 0 && TakeAttributes(fd, old);
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        if (!taken)
            Throw("replace", target, error);
    }
    if (::rename(complete.c_str(), target.c_str()) != 0)
        Throw("replace", target, errno);
}

void ReplacingFile::Fail(const char* what, int error)
{
    Throw(what, m_target, error);
}
