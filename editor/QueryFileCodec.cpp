#include "QueryFileCodec.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves undefined map to the C1
// control of the same value, as Windows itself does, so that every byte survives a round trip.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The Windows-1252 byte of a code point, or -1.
int ToWindows1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return static_cast<int>(0x80 + i);
    return -1;
}

} // namespace

// Well-formed UTF-8 as RFC 3629 defines it: no overlong forms, no surrogates, nothing past U+10FFFF.
bool CQueryFileCodec::IsValidUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        unsigned char lo = 0x80, hi = 0xBF; // bounds of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0)
                lo = 0xA0;
            else if (b == 0xED)
                hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0)
                lo = 0x90;
            else if (b == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        if (i + len > n || p[i + 1] < lo || p[i + 1] > hi)
            return false;
        for (size_t k = 2; k < len; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        i += len;
    }
    return true;
}

QueryFileLineEnd CQueryFileCodec::DetectLineEnd(std::string_view text)
{
    size_t pos = text.find_first_of("\r\n");
    if (pos == std::string_view::npos || text[pos] == '\n')
        return QueryFileLineEnd::LF;
    if (pos + 1 < text.size() && text[pos + 1] == '\n')
        return QueryFileLineEnd::CRLF;
    return QueryFileLineEnd::CR;
}

QueryFileText CQueryFileCodec::Decode(std::string_view bytes)
{
    QueryFileText result;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom && IsValidUtf8(bytes.substr(kUtf8Bom.size()))) {
        result.encoding = QueryFileEncoding::Utf8Bom;
        result.utf8.assign(bytes.substr(kUtf8Bom.size()));
    } else if (IsValidUtf8(bytes)) {
        result.encoding = QueryFileEncoding::Utf8;
        result.utf8.assign(bytes);
    } else {
        result.encoding = QueryFileEncoding::Windows1252;
        result.utf8.reserve(bytes.size() + bytes.size() / 8);
        for (unsigned char b : bytes) {
            if (b >= 0x80 && b < 0xA0)
                AppendUtf8(result.utf8, kHighControls[b - 0x80]);
            else
                AppendUtf8(result.utf8, b);
        }
    }
    result.lineEnd = DetectLineEnd(result.utf8);
    return result;
}

bool CQueryFileCodec::Encode(std::string_view utf8, QueryFileEncoding encoding, std::string& out)
{
    if (encoding == QueryFileEncoding::Utf8) {
        out.assign(utf8);
        return true;
    }
    if (encoding == QueryFileEncoding::Utf8Bom) {
        out.assign(kUtf8Bom);
        out.append(utf8);
        return true;
    }
    std::string bytes;
    bytes.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        auto b = static_cast<unsigned char>(utf8[i]);
        char32_t c;
        size_t len;
        if (b < 0x80) {
            c = b;
            len = 1;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            len = 3;
        } else {
            return false; // four-byte sequences lie beyond the code page, as do stray bytes
        }
        if (i + len > utf8.size())
            return false;
        for (size_t k = 1; k < len; ++k) {
            auto cont = static_cast<unsigned char>(utf8[i + k]);
            if ((cont & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (cont & 0x3F);
        }
        int byte = ToWindows1252(c);
        if (byte < 0)
            return false;
        bytes += static_cast<char>(byte);
        i += len;
    }
    out = std::move(bytes);
    return true;
}
