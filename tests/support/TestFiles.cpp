#include "TestFiles.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace torvane::test {

std::string FileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    if (fs::exists(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Utf16Bytes(std::u16string_view text, bool bigEndian)
{
    std::string bytes;
    for (char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

namespace {

// The largest size of the files process pid has open in folder; -1 when it has none open there.
std::intmax_t LargestFileOpenIn(pid_t pid, const fs::path& folder)
{
    std::error_code error;
    const fs::path wanted = fs::weakly_canonical(folder, error);
    std::intmax_t largest = -1;
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        // A file without a name shows as "<folder>/#<number> (deleted)"; its size is still read
        // through the descriptor.
        const fs::path open = fs::read_symlink(entry.path(), error);
        if (error || open.parent_path() != wanted)
            continue;
        const std::uintmax_t size = fs::file_size(entry.path(), error);
        largest = std::max<std::intmax_t>(largest, error ? 0 : static_cast<std::intmax_t>(size));
    }
    return largest;
}

} // namespace

bool HasFileOpenIn(pid_t pid, const fs::path& folder)
{
    return LargestFileOpenIn(pid, folder) >= 0;
}

bool IsWritingIn(pid_t pid, const fs::path& folder)
{
    return LargestFileOpenIn(pid, folder) > 0;
}

} // namespace torvane::test
