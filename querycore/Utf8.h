// UTF-8 text and the other encodings the program reads and writes: UTF-16 files and 8-bit
// Windows-1252 files. Decoding and encoding UTF-8 is the data layer's (ado/Unicode.h); this is
// its face for the layers above, with the file encodings and the case mapping.
//
// Windows-1252 has its own table rather than the system's converter: that refuses the five
// bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D), where the program maps
// them to the C1 controls of the same value, as Windows does, so that every byte of a file
// survives a round trip.
#pragma once

#include "ado/Unicode.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace utf8 {

// The byte order mark some UTF-8 files begin with.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

inline bool IsContinuationByte(char c)
{
    return ado::detail::IsUtf8Continuation(c);
}

// Decodes the code point at text[pos] and advances pos past it. A malformed sequence yields
// U+FFFD and advances by one byte.
char32_t Next(std::string_view text, size_t& pos);

// The same, strictly: false (pos unchanged) for a malformed sequence.
inline bool Decode(std::string_view text, size_t& pos, char32_t& cp)
{
    return ado::detail::DecodeUtf8(text, pos, cp);
}

inline void Append(std::string& out, char32_t cp)
{
    ado::detail::AppendUtf8(cp, out);
}

// True when text is well-formed UTF-8.
inline bool IsValid(std::string_view text)
{
    return ado::detail::IsValidUtf8(text);
}

// Code points of UTF-8 text.
inline size_t CountCodePoints(std::string_view text)
{
    return ado::detail::CountCodePoints(text);
}

enum class Utf16Order { LittleEndian, BigEndian };

// UTF-16 bytes in the order (no byte order mark) from UTF-8 text; each malformed UTF-8 byte
// becomes U+FFFD.
std::string ToUtf16(std::string_view text, Utf16Order order);

// Little-endian UTF-16 bytes (no byte order mark) from UTF-8 text, and back. Each malformed
// UTF-8 byte, an unpaired surrogate and a trailing odd byte become U+FFFD.
inline std::string ToUtf16LE(std::string_view text)
{
    return ToUtf16(text, Utf16Order::LittleEndian);
}
std::string FromUtf16LE(std::string_view bytes);

// UTF-16 bytes in the order (no byte order mark) to UTF-8, strictly: false, leaving out
// untouched, for an odd number of bytes (badAt is then the last byte's offset) or a surrogate
// without its pair (badAt is its offset).
bool FromUtf16(std::string_view bytes, Utf16Order order, std::string& out, size_t& badAt);

// The byte order of UTF-16 text without a byte order mark, told from where its zero bytes are:
// each character below U+0100 (every ASCII one) has its zero on the side of the order, and at
// least a quarter of the characters must have one. Empty when the bytes do not say so.
std::optional<Utf16Order> Utf16OrderOfZeros(std::string_view bytes);

// Windows-1252 bytes to UTF-8.
std::string FromWindows1252(std::string_view bytes);
// UTF-8 text to Windows-1252 bytes. False, leaving out untouched, when the text is not valid
// UTF-8 or holds a character the code page cannot represent.
bool ToWindows1252(std::string_view text, std::string& out);

// Upper-case form of a code point by the Unicode simple case mapping.
char32_t ToUpper(char32_t cp);

} // namespace utf8
