// A file written under a temporary name beside its target and moved over the target only when
// the whole content is written: a stopped or failed write never leaves a partial file, and
// an existing file is kept until its replacement is complete. The replacement keeps the
// replaced file's permissions (and its owner and group where the process may set them), so a
// private file stays private; while it is written, the copy is readable by its owner only. The
// temporary file is recorded as unfinished (ado/UnfinishedFiles.h) until it takes the target's
// name. Write errors (disk full, no permission) are thrown as
// std::filesystem::filesystem_error naming the target.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

class ReplacingFile {
public:
    // Creates the temporary file; throws when the folder cannot take it. newFileMode: the
    // permissions (less the umask) when no file is replaced; 0600 for files that may hold a
    // password.
    explicit ReplacingFile(std::filesystem::path target, mode_t newFileMode = 0666);
    // Removes the temporary file unless Commit succeeded.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Buffered; large writes go straight to the file.
    void Write(std::string_view bytes);
    // Writes what is buffered, closes the file and moves it over the target.
    void Commit();

    const std::filesystem::path& Target() const { return m_target; }

    // Moves a complete file written elsewhere over target, with the permissions, owner and
    // group of the file it replaces; throws filesystem_error naming target.
    static void MoveOver(const std::filesystem::path& complete, const std::filesystem::path& target);
    // A name beside target that nothing uses yet, for a file another writer completes there
    // before MoveOver.
    static std::string TemporaryPathBeside(const std::string& target);

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
