// Reading and writing the files tests make and check, byte for byte.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::test {

// The whole file; empty when it cannot be read.
std::string FileBytes(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// The names in a folder, sorted; none when the folder does not exist.
std::vector<std::string> Names(const std::filesystem::path& folder);
// The bytes of text in UTF-16 of either order, as written, without adding a byte order mark.
std::string Utf16Bytes(std::u16string_view text, bool bigEndian);
// True when process pid has a file open in folder, one without a name yet included: a save
// under way, before its file shows among the names.
bool HasFileOpenIn(pid_t pid, const std::filesystem::path& folder);
// True when such a file already holds bytes: the save has written some of its rows.
bool IsWritingIn(pid_t pid, const std::filesystem::path& folder);

} // namespace torvane::test
