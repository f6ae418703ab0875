// A file written under a temporary name beside its target and moved over the target only when
// the whole content is written: a stopped or failed write never leaves a partial file, and
// an existing file is kept until its replacement is complete. Write errors (disk full, no
// permission) are thrown as std::filesystem::filesystem_error naming the target.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

class ReplacingFile {
public:
    // Creates the temporary file; throws when the folder cannot take it.
    explicit ReplacingFile(std::filesystem::path target);
    // Removes the temporary file unless Commit succeeded.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Buffered; large writes go straight to the file.
    void Write(std::string_view bytes);
    // Writes what is buffered, closes the file and moves it over the target.
    void Commit();

    const std::filesystem::path& Target() const { return m_target; }

private:
    void Flush();
    void WriteAll(std::string_view bytes);
    [[noreturn]] void Fail(const char* what, int error);

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    int m_fd = -1;
    bool m_committed = false;
    std::string m_buffer;
};
