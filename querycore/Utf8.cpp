#include "Utf8.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

namespace utf8 {

namespace {

// The code point at text[pos], advancing pos past it; -1 (pos unchanged) when the bytes there
// are not well-formed UTF-8.
long Decode(std::string_view text, size_t& pos)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    size_t len;
    long cp;
    long min;
    if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; min = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; min = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; min = 0x10000; }
    else return -1;
    if (pos + len > text.size())
        return -1;
    for (size_t i = 1; i < len; ++i) {
        unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80)
            return -1;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    pos += len;
    return cp;
}

} // namespace

char32_t Next(std::string_view text, size_t& pos)
{
    long cp = Decode(text, pos);
    if (cp < 0) {
        ++pos;
        return 0xFFFD;
    }
    return static_cast<char32_t>(cp);
}

void Append(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsValid(std::string_view text)
{
    for (size_t pos = 0; pos < text.size();)
        if (Decode(text, pos) < 0)
            return false;
    return true;
}

std::string ToUtf16LE(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    const auto unit = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    for (size_t pos = 0; pos < text.size();) {
        char32_t cp = Next(text, pos);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 | (cp >> 10));
            unit(0xDC00 | (cp & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return out;
}

std::string FromUtf16LE(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() / 2);
    const size_t units = bytes.size() / 2;
    const auto unit = [&](size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    };
    for (size_t i = 0; i < units; ++i) {
        char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            Append(out, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            Append(out, 0xFFFD);
        } else {
            Append(out, u);
        }
    }
    if (bytes.size() % 2)
        Append(out, 0xFFFD);
    return out;
}

std::string FromWindows1252(std::string_view bytes)
{
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        Append(out, b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b);
    }
    return out;
}

char32_t ToUpper(char32_t cp)
{
    if (cp < 0x80)
        return cp >= 'a' && cp <= 'z' ? cp - ('a' - 'A') : cp;
    // The process locale may be "C", whose tables know only ASCII; the built-in C.UTF-8
    // locale carries the full Unicode case mapping whatever the user's settings.
    static const locale_t utf8Locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (utf8Locale)
        return static_cast<char32_t>(towupper_l(static_cast<wint_t>(cp), utf8Locale));
    return static_cast<char32_t>(std::towupper(static_cast<wint_t>(cp)));
}

} // namespace utf8
