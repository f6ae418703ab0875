#include "Unicode.h"

#include <algorithm>

namespace ado::detail {

namespace {

void AppendUtf16(char32_t cp, std::u16string& out)
{
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

} // namespace

bool DecodeUtf8(std::string_view text, size_t& pos, char32_t& codePoint)
{
    unsigned char c = static_cast<unsigned char>(text[pos]);
    if (c < 0x80) {
        codePoint = c;
        ++pos;
        return true;
    }
    size_t n;
    char32_t cp, min;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        cp = c & 0x1F;
        min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        cp = c & 0x0F;
        min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        cp = c & 0x07;
        min = 0x10000;
    } else {
        return false;
    }
    if (pos + n > text.size())
        return false;
    for (size_t k = 1; k < n; ++k) {
        unsigned char cc = static_cast<unsigned char>(text[pos + k]);
        if ((cc & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    codePoint = cp;
    pos += n;
    return true;
}

bool IsValidUtf8(std::string_view text)
{
    char32_t cp;
    for (size_t pos = 0; pos < text.size();)
        if (!DecodeUtf8(text, pos, cp))
            return false;
    return true;
}

void AppendUtf8(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

size_t CountCodePoints(std::string_view text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return !IsUtf8Continuation(c); }));
}

bool Utf8ToUtf16(std::string_view text, std::u16string& out)
{
    out.clear();
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp;
        if (!DecodeUtf8(text, pos, cp))
            return false;
        AppendUtf16(cp, out);
    }
    return true;
}

std::u16string ToWide(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp;
        if (!DecodeUtf8(utf8, pos, cp)) {
            cp = 0xFFFD;
            ++pos;
        }
        AppendUtf16(cp, out);
    }
    return out;
}

std::string FromWide(const SQLWCHAR* w, size_t n)
{
    std::string out;
    out.reserve(n);
    AppendUtf8(w, n, out);
    return out;
}

void AppendUtf8(const SQLWCHAR* w, size_t n, std::string& out)
{
    for (size_t i = 0; i < n; ++i) {
        char32_t cp = w[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < n && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        AppendUtf8(cp, out);
    }
}

} // namespace ado::detail
