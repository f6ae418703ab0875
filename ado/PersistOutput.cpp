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
    const char* p = m_buffer.data();
    size_t left = m_buffer.size();
    while (left > 0) {
        ssize_t n = ::write(m_fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            WriteFailed(errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
        m_flushed += static_cast<uint64_t>(n);
    }
    m_buffer.clear();
}

void FileOutput::Patch(uint64_t position, std::string_view bytes)
{
    Flush();
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(m_fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(position + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            WriteFailed(errno);
        }
        done += static_cast<size_t>(n);
    }
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
