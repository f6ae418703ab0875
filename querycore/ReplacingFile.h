// A file written beside its target and put in the target's place only when the whole content
// is written: a stopped or failed write never leaves a partial file, and an existing file is
// kept until its replacement is complete. Every saved file goes through here, whatever its
// format.
//
// Where the file system allows, the copy has no name until it is complete (an unnamed
// temporary file, linked in at the end), so even a process killed outright leaves nothing
// behind; elsewhere it is a named file beside the target, recorded as unfinished
// (ado/UnfinishedFiles.h) until it takes the target's name, whose name is cut to fit the
// folder's name length where the target's own name is long. A target that is a symbolic link
// stays one: the file it leads to gets the new content, replaced in its own folder. On commit
// the content and the folder are forced to the disk.
//
// The replacement keeps the replaced file's permissions (and its owner and group where the
// process may set them), so a private file stays private; while it is written, the copy is
// readable by its owner only. Write errors (disk full, no permission) are thrown as
// std::filesystem::filesystem_error naming the target.
//
// Thread: one thread uses an object at a time.
#pragma once

#include "ado/PersistOutput.h"

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

class ReplacingFile final : public ado::PersistOutput {
public:
    // Creates the copy; throws when the folder cannot take it. newFileMode: the permissions
    // (less the umask) when no file is replaced; 0600 for files that may hold a password.
    explicit ReplacingFile(std::filesystem::path target, mode_t newFileMode = 0666);
    // Discards the copy unless Commit succeeded.
    ~ReplacingFile() override;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Buffered; large writes go straight to the file.
    void Write(std::string_view bytes) override;
    uint64_t Position() const override { return m_flushed + m_buffer.size(); }
    // Overwrites bytes already written.
    void Patch(uint64_t position, std::string_view bytes) override;

    // A path under which a writer that opens files by name (a library) writes the copy's
    // content itself, in place of Write.
    std::string PathForWriter() const;

    // Writes what is buffered, forces it to the disk and puts it in the target's place.
    void Commit();

    const std::filesystem::path& Target() const { return m_target; }

private:
    void Flush();
    void WriteAll(std::string_view bytes);
    // Links the unnamed copy in at m_final.
    void LinkIn();
    [[noreturn]] void Fail(const char* what, int error);

    std::filesystem::path m_target;
    // The file replaced: the target, or the file its symbolic links lead to.
    std::filesystem::path m_final;
    // The named copy; empty while the copy has no name.
    std::filesystem::path m_temporary;
    int m_fd = -1;
    bool m_committed = false;
    uint64_t m_flushed = 0;
    std::string m_buffer;
};
