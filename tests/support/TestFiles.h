// Reading and writing the files tests make and check, byte for byte.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace torvane::test {

// The whole file; empty when it cannot be read.
std::string FileBytes(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// The names in a folder, sorted; none when the folder does not exist.
std::vector<std::string> Names(const std::filesystem::path& folder);

} // namespace torvane::test
