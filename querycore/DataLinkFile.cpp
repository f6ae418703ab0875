#include "DataLinkFile.h"

#include "common/ErrorText.h"
#include "common/TrimText.h"

#include "ConnectStringUtil.h"
#include "platform/com/ComTypes.h"
#include "platform/MessageBox.h"
#include "ReplacingFile.h"
#include "Utf8.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::string_view kUtf16Bom = "\xFF\xFE";
constexpr std::string_view kHeader = "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n";

bool IsSectionLine(std::string_view line)
{
    constexpr std::string_view section = "[oledb]";
    if (line.size() != section.size())
        return false;
    for (size_t i = 0; i < line.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != section[i])
            return false;
    return true;
}

} // namespace

std::string DataLinkFile::Decode(std::string_view bytes)
{
    std::string text;
    if (bytes.substr(0, 2) == kUtf16Bom)
        text = utf8::FromUtf16LE(bytes.substr(2));
    else if (bytes.substr(0, 3) == utf8::kByteOrderMark)
        text = bytes.substr(3);
    else if (utf8::IsValid(bytes))
        text = bytes;
    else
        text = utf8::FromWindows1252(bytes);

    std::string_view rest = text;
    while (!rest.empty()) {
        size_t end = rest.find_first_of("\r\n");
        std::string_view line = TrimWhitespace(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.empty() || line.front() == ';' || IsSectionLine(line))
            continue;
        return std::string(line);
    }
    return {};
}

std::string DataLinkFile::Encode(std::string_view connectString, Encoding encoding)
{
    std::string text(kHeader);
    text += connectString;
    text += "\r\n";
    if (encoding == Encoding::EightBit)
        return text;
    return std::string(kUtf16Bom) + utf8::ToUtf16LE(text);
}

std::string DataLinkFile::Read(const std::string& path)
{
    const auto failure = [&](int error) {
        return _com_error(error == EACCES ? E_ACCESSDENIED : E_FAIL, "'" + path + "'.\n" + std::strerror(error));
    };
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            throw NotFound("'" + path + "'.\nCannot open file. File not found.");
        throw failure(error);
    }
    std::string bytes;
    char block[4096];
    for (;;) {
        ssize_t n = ::read(fd, block, sizeof block);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int error = errno;
            ::close(fd);
            throw failure(error);
        }
        bytes.append(block, static_cast<size_t>(n));
    }
    ::close(fd);
    return Decode(bytes);
}

void DataLinkFile::Write(const std::string& path, std::string_view connectString, Encoding encoding)
{
    // The string may hold a password: a new file is private, like the settings file.
    ReplacingFile file(path, 0600);
    file.Write(Encode(connectString, encoding));
    file.Commit();
}

std::string DataLinkFile::LoadConnectString(const std::string& path)
{
    std::string s = Read(path);
    return HasProviderKeyword(s) ? s : std::string();
}

wxString DataLinkFile::ConnectFromCommandLine(const wxString& path, bool* reported)
{
    wxString message;
    try {
        wxString connect = wxString::FromUTF8(LoadConnectString(path.utf8_string()));
        if (reported)
            *reported = false;
        return connect;
    } catch (const NotFound& e) {
        message = wxString::FromUTF8(e.what());
    } catch (const _com_error& e) {
        message = GetComErrorText(e);
    } catch (...) {
        message = "Errors occurred.";
    }
    TVMessageBox(message, wxOK | wxICON_STOP);
    if (reported)
        *reported = true;
    return wxString();
}
