// UTF-8, the text of the layer, and the 16-bit UTF-16 text (SQLWCHAR) of ODBC's wide entry
// points.
#pragma once

#include <sqltypes.h>

#include <string>
#include <string_view>

namespace ado::detail {

// Decodes the code point at pos and advances pos; false for a malformed sequence, an
// overlong form, a surrogate or a value above U+10FFFF.
bool DecodeUtf8(std::string_view text, size_t& pos, char32_t& codePoint);

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
