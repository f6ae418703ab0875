// The command-line parser on any arguments (the input cut at NUL bytes): parsing, the start
// action, the options and their file lists, and the request. The request is asked for only
// when the output file names no folder, so that the folder it may create is the current one,
// a folder of the fuzzer's own.
#include "FuzzCheck.h"

#include "app/TorvaneCommandLineInfo.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {

char g_folder[] = "/tmp/torvane-fuzz-cwd.XXXXXX";

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!mkdtemp(g_folder) || chdir(g_folder) != 0)
        std::abort();
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<wxString> args{"torvane"};
    for (size_t pos = 0; pos <= input.size() && args.size() < 64;) {
        size_t end = input.find('\0', pos);
        std::string_view piece = input.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        wxString arg = wxString::FromUTF8(piece.data(), piece.size());
        args.push_back(arg.empty() && !piece.empty() ? wxString::From8BitData(piece.data(), piece.size()) : arg);
        if (end == std::string_view::npos)
            break;
        pos = end + 1;
    }

    CTorvaneCommandLineInfo info;
    ParseCommandLine(info, static_cast<int>(args.size()), args.data());
    info.GetStartAction();
    for (const char* option : {"C", "f", "F", "e", "E", "i", "o", "d", "q"}) {
        wxString value;
        if (!info.GetOption(option, value))
            continue;
        std::vector<wxString> files;
        CTorvaneCommandLineInfo::SplitFileList(value, files);
        for (const wxString& file : files) {
            wxString trimmed = file;
            trimmed.Trim(true).Trim(false);
            fuzz::Check(!file.empty() && trimmed == file, "listed files are trimmed and not empty", input);
        }
    }
    wxString output;
    if (!info.GetOption("o", output) || output.Find('/') == wxNOT_FOUND)
        info.GetRequest();
    return 0;
}
