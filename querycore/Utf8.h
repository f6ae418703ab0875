// UTF-8 decoding and encoding, and conversions between UTF-8 and the other encodings the
// program reads and writes (UTF-16LE files, 8-bit Windows-1252 files).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace utf8 {

// Decodes the code point at text[pos] and advances pos past it. A malformed sequence yields
// U+FFFD and advances by one byte.
char32_t Next(std::string_view text, size_t& pos);

void Append(std::string& out, char32_t cp);

// True when text is well-formed UTF-8.
bool IsValid(std::string_view text);

// Little-endian UTF-16 bytes (no byte order mark) from UTF-8 text, and back. Unpaired
// surrogates and a trailing odd byte decode as U+FFFD.
std::string ToUtf16LE(std::string_view text);
std::string FromUtf16LE(std::string_view bytes);

// Windows-1252 bytes to UTF-8 (the code page's undefined bytes map to the C1 controls of the
// same value, as the system's conversion does).
std::string FromWindows1252(std::string_view bytes);

// Upper-case form of a code point by the Unicode simple case mapping.
char32_t ToUpper(char32_t cp);

} // namespace utf8
