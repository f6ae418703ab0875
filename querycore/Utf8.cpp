#include "Utf8.h"

#include <array>
#include <clocale>
#include <cwctype>
#include <locale.h>

namespace utf8 {

namespace {

// The code points of Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The Windows-1252 byte of a code point, or -1.
int Windows1252Byte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp)
            return static_cast<int>(0x80 + i);
    return -1;
}

} // namespace

char32_t Next(std::string_view text, size_t& pos)
{
    char32_t cp;
    if (ado::detail::DecodeUtf8(text, pos, cp))
        return cp;
    ++pos;
    return 0xFFFD;
}

std::string ToUtf16(std::string_view text, Utf16Order order)
{
    const std::u16string units = ado::detail::ToWide(text);
    const bool bigEndian = order == Utf16Order::BigEndian;
    std::string out;
    out.reserve(units.size() * 2);
    for (char16_t u : units) {
        const char low = static_cast<char>(u & 0xFF);
        const char high = static_cast<char>(u >> 8);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

std::string FromUtf16LE(std::string_view bytes)
{
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    std::string out = ado::detail::FromWide(units);
    if (bytes.size() % 2)
        Append(out, 0xFFFD);
    return out;
}

bool FromUtf16(std::string_view bytes, Utf16Order order, std::string& out, size_t& badAt)
{
    if (bytes.size() % 2 != 0) {
        badAt = bytes.size() - 1;
        return false;
    }
    const size_t high = order == Utf16Order::BigEndian ? 0 : 1;
    const auto unitAt = [&](size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1 - high]) |
                                     static_cast<unsigned char>(bytes[i + high]) << 8);
    };
    std::string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i < bytes.size(); i += 2) {
        char32_t cp = unitAt(i);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 2 < bytes.size() && unitAt(i + 2) >= 0xDC00 && unitAt(i + 2) < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00);
            i += 2;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            badAt = i;
            return false;
        }
        Append(text, cp);
    }
    out = std::move(text);
    return true;
}

std::optional<Utf16Order> Utf16OrderOfZeros(std::string_view bytes)
{
    size_t evenZeros = 0, oddZeros = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0')
            ++(i % 2 ? oddZeros : evenZeros);
    const size_t units = bytes.size() / 2;
    if (oddZeros > evenZeros && oddZeros * 4 >= units)
        return Utf16Order::LittleEndian;
    if (evenZeros > oddZeros && evenZeros * 4 >= units)
        return Utf16Order::BigEndian;
    return std::nullopt;
}

std::string FromWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        Append(out, b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b);
    }
    return out;
}

bool ToWindows1252(std::string_view text, std::string& out)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        char32_t cp;
        if (!ado::detail::DecodeUtf8(text, pos, cp))
            return false;
        const int byte = Windows1252Byte(cp);
        if (byte < 0)
            return false;
        bytes += static_cast<char>(byte);
    }
    out = std::move(bytes);
    return true;
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
