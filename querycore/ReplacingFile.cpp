#include "ReplacingFile.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <system_error>
#include <unistd.h>

#include <fmt/format.h>

namespace {

constexpr size_t kBufferSize = 1 << 20;

} // namespace

ReplacingFile::ReplacingFile(std::filesystem::path target) : m_target(std::move(target))
{
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        std::filesystem::path candidate = m_target;
        candidate += fmt::format(".{:08x}.tmp", random());
        m_fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
    if (!m_committed && !m_temporary.empty())
        ::unlink(m_temporary.c_str());
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
    // Delayed allocation can report a full disk only at close.
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        Fail("write", errno);
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        Fail("replace", errno);
    m_committed = true;
}

void ReplacingFile::Fail(const char* what, int error)
{
    throw std::filesystem::filesystem_error(what, m_target, std::error_code(error, std::generic_category()));
}
