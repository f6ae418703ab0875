#include "PersistOutput.h"

#include "OdbcError.h"
#include "UnfinishedFiles.h"

#include <fmt/format.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace ado {

namespace {

constexpr const char* kRecordsetSource = "ADODB.Recordset";
constexpr size_t kBufferSize = 1 << 16;

} // namespace

namespace detail {

int WriteFully(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

int WriteFullyAt(int fd, std::string_view bytes, uint64_t position)
{
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(position));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        bytes.remove_prefix(static_cast<size_t>(n));
        position += static_cast<uint64_t>(n);
    }
    return 0;
}

} // namespace detail

FileOutput::FileOutput(std::string path) : m_path(std::move(path))
{
    // Exclusive: the object model never overwrites an existing file, and it also refuses a
    // symbolic link planted under the name. Recorded until complete, so that a process that
    // has to end at once removes it.
    m_fd = UnfinishedFiles::Create(m_path, 0666);
    if (m_fd < 0) {
        int err = errno;
        std::string reason = err == EEXIST ? "the file already exists" : std::strerror(err);
        detail::ThrowAdo(adErrOpeningFile, fmt::format("File could not be opened: '{}': {}.", m_path, reason),
                         nullptr, kRecordsetSource);
    }
    m_buffer.reserve(kBufferSize);
}

FileOutput::~FileOutput()
{
    if (m_committed)
        return;
    if (m_fd >= 0)
        ::close(m_fd);
    ::unlink(m_path.c_str());
    UnfinishedFiles::Forget(m_path);
}

void FileOutput::WriteFailed(int err) const
{
    detail::ThrowAdo(adErrWriteFile, fmt::format("Write to file failed: '{}': {}.", m_path, std::strerror(err)),
                     nullptr, kRecordsetSource);
}

void FileOutput::Write(std::string_view bytes)
{
    m_buffer.append(bytes);
    if (m_buffer.size() >= kBufferSize)
        Flush();
}

void FileOutput::Flush()
{
    if (const int err = detail::WriteFully(m_fd, m_buffer))
        WriteFailed(err);
    m_flushed += m_buffer.size();
    m_buffer.clear();
}

void FileOutput::Patch(uint64_t position, std::string_view bytes)
{
    Flush();
    if (const int err = detail::WriteFullyAt(m_fd, bytes, position))
        WriteFailed(err);
}

void FileOutput::Commit()
{
    Flush();
    // Some file systems report a full disk or a lost server only when the data reaches the
    // disk or the file is closed; both count as a failed save. EINVAL: the destination is a
    // device or pipe that has nothing to synchronise.
    if (::fsync(m_fd) != 0 && errno != EINVAL)
        WriteFailed(errno);
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        WriteFailed(errno);
    m_committed = true;
    UnfinishedFiles::Forget(m_path);
}

} // namespace ado
