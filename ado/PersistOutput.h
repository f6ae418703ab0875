// Where the persistence writers put their bytes: a new file that is either completely written
// or not there at all, or a string for callers that keep the result in memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ado {

namespace detail {

// Writes all of bytes to the file open as fd (at position, for WriteFullyAt), going on after
// interrupted and partial writes. 0, or the errno of the write that failed.
int WriteFully(int fd, std::string_view bytes);
int WriteFullyAt(int fd, std::string_view bytes, uint64_t position);

} // namespace detail

class PersistOutput {
public:
    virtual ~PersistOutput() = default;
    virtual void Write(std::string_view bytes) = 0;
    // Bytes written so far.
    virtual uint64_t Position() const = 0;
    // Overwrites bytes already written (a count that is known only at the end).
    virtual void Patch(uint64_t position, std::string_view bytes) = 0;
};

class StringOutput final : public PersistOutput {
public:
    void Write(std::string_view bytes) override { m_data.append(bytes); }
    uint64_t Position() const override { return m_data.size(); }
    void Patch(uint64_t position, std::string_view bytes) override { m_data.replace(position, bytes.size(), bytes); }
    const std::string& Data() const { return m_data; }

private:
    std::string m_data;
};

// A file created for this output only: an existing file is never opened or replaced. Every
// failure (open, write, flush to disk, close) throws _com_error with adErrOpeningFile or
// adErrWriteFile naming the path and the system's reason. Unless Commit succeeds, the
// destructor removes the file again, so a failed or abandoned save leaves nothing behind.
class FileOutput final : public PersistOutput {
public:
    explicit FileOutput(std::string path);
    ~FileOutput() override;
    FileOutput(const FileOutput&) = delete;
    FileOutput& operator=(const FileOutput&) = delete;

    void Write(std::string_view bytes) override;
    uint64_t Position() const override { return m_flushed + m_buffer.size(); }
    void Patch(uint64_t position, std::string_view bytes) override;
    // Writes what is buffered, forces it to the disk and closes the file.
    void Commit();

private:
    void Flush();
    [[noreturn]] void WriteFailed(int err) const;

    std::string m_path;
    int m_fd = -1;
    bool m_committed = false;
    uint64_t m_flushed = 0;
    std::string m_buffer;
};

} // namespace ado
