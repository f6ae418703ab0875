#include "ReportFile.h"

#include "ReplacingFile.h"

#include "common/FileException.h"

#include <filesystem>

std::string ToCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

void WriteTextReport(const wxString& path, const std::string& text)
{
    try {
        ReplacingFile file(std::filesystem::path(path.utf8_string()));
        file.Write(ToCrLf(text));
        file.Commit();
    } catch (const std::filesystem::filesystem_error& e) {
        CFileException::ThrowErrno(e.code().value(), path);
    }
}
