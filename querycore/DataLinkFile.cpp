#include "DataLinkFile.h"

#include "common/ErrorText.h"
#include "common/TrimText.h"

#include "ConnectStringUtil.h"
#include "platform/com/ComTypes.h"
#include "platform/MessageBox.h"
#include "ReplacingFile.h"
#include "Utf8.h"

#include <fmt/format.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::string_view kUtf16Bom = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianBom = "\xFE\xFF";
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

std::string ByteText(size_t offset)
{
    return fmt::format("byte {}", offset + 1);
}

// Strict UTF-16 in either byte order: the text, or BadContent naming the unit that is not text.
std::string FromUtf16(std::string_view bytes, utf8::Utf16Order order, size_t offset)
{
    const char* orderName = order == utf8::Utf16Order::BigEndian ? "big-endian" : "little-endian";
    std::string text;
    size_t badAt = 0;
    if (!utf8::FromUtf16(bytes, order, text, badAt)) {
        if (bytes.size() % 2 != 0)
            throw DataLinkFile::BadContent(fmt::format(
                "The file is UTF-16 ({}) text, but it ends in half a character (an odd number of bytes).", orderName));
        throw DataLinkFile::BadContent(
            fmt::format("The file is UTF-16 ({}) text, but the character at {} is half of a surrogate pair.",
                        orderName, ByteText(offset + badAt)));
    }
    // A NUL character is two zero bytes in either order.
    for (size_t i = 0; i < bytes.size(); i += 2)
        if (bytes[i] == '\0' && bytes[i + 1] == '\0')
            throw DataLinkFile::BadContent(fmt::format("The file is UTF-16 ({}) text, but it holds a NUL character at {}.",
                                                       orderName, ByteText(offset + i)));
    return text;
}

} // namespace

std::string DataLinkFile::DecodeText(std::string_view bytes)
{
    if (bytes.substr(0, 2) == kUtf16Bom)
        return FromUtf16(bytes.substr(2), utf8::Utf16Order::LittleEndian, 2);
    if (bytes.substr(0, 2) == kUtf16BigEndianBom)
        return FromUtf16(bytes.substr(2), utf8::Utf16Order::BigEndian, 2);
    if (bytes.substr(0, 3) == utf8::kByteOrderMark) {
        std::string_view rest = bytes.substr(3);
        for (size_t pos = 0; pos < rest.size();) {
            char32_t cp;
            size_t at = pos;
            if (!utf8::Decode(rest, pos, cp))
                throw BadContent(fmt::format("The file begins with a UTF-8 byte order mark, but {} is not UTF-8.",
                                             ByteText(at + 3)));
            if (cp == 0)
                throw BadContent(fmt::format("The file holds a NUL character at {}.", ByteText(at + 3)));
        }
        return std::string(rest);
    }
    // Without a mark, UTF-16 text shows in its ASCII characters (those of the "[oledb]" line and
    // the keywords at least), each with its zero byte on the side of the byte order.
    if (const std::optional<utf8::Utf16Order> order = utf8::Utf16OrderOfZeros(bytes))
        return FromUtf16(bytes, *order, 0);
    if (bytes.find('\0') != std::string_view::npos)
        throw BadContent(fmt::format("The file holds a NUL byte at {} and is neither UTF-16 nor 8-bit text.",
                                     ByteText(bytes.find('\0'))));
    if (utf8::IsValid(bytes))
        return std::string(bytes);
    return utf8::FromWindows1252(bytes);
}

std::string DataLinkFile::Decode(std::string_view bytes)
{
    const std::string text = DecodeText(bytes);
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
    try {
        return Decode(bytes);
    } catch (const BadContent& e) {
        throw _com_error(E_FAIL, "'" + path + "'.\n" + e.what());
    }
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
