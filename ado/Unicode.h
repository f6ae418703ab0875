// UTF-8, the text of the layer, and the 16-bit UTF-16 text (SQLWCHAR) of ODBC's wide entry
// points. This is the program's one UTF-8 decoder and encoder; the layers above reach it
// through querycore/Utf8.h.
#pragma once

#include <sqltypes.h>

#include <string>
#include <string_view>

namespace ado::detail {

inline bool IsUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Decodes the code point at pos and advances pos; false for a malformed sequence, an
// overlong form, a surrogate or a value above U+10FFFF.
bool DecodeUtf8(std::string_view text, size_t& pos, char32_t& codePoint);
// True when the whole text decodes.
bool IsValidUtf8(std::string_view text);
// Appends the UTF-8 form of a code point (U+10FFFF at most).
void AppendUtf8(char32_t codePoint, std::string& out);
// The code points of UTF-8 text: its bytes that are not continuation bytes.
size_t CountCodePoints(std::string_view text);

// UTF-8 to UTF-16 (native order); false when the text is not valid UTF-8.
bool Utf8ToUtf16(std::string_view text, std::u16string& out);

// The same for text handed to a driver, where each byte that is not valid UTF-8 becomes
// U+FFFD rather than failing the call.
std::u16string ToWide(std::string_view utf8);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string FromWide(const SQLWCHAR* text, size_t length);
// Appends the UTF-8 form of 16-bit text to out (no allocation once out has room).
void AppendUtf8(const SQLWCHAR* text, size_t length, std::string& out);
inline std::string FromWide(const std::u16string& w) { return FromWide(reinterpret_cast<const SQLWCHAR*>(w.data()), w.size()); }

} // namespace ado::detail
