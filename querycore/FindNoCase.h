// Case-insensitive substring search over UTF-8 text.
#pragma once

#include <string_view>

// The byte index of the first occurrence of pattern in text at or after start, ignoring case,
// or -1. Letters are compared by their upper-case forms one code point at a time, so indices
// stay those of the original text. A start below 0, beyond the text's length or inside a
// multibyte character yields -1.
long FindNoCase(std::string_view text, std::string_view pattern, long start);

// The byte after a match of pattern that begins exactly at text[pos], ignoring case (the same
// comparison as FindNoCase), or -1 when pattern does not begin there.
long MatchNoCaseAt(std::string_view text, size_t pos, std::string_view pattern);

// True when both texts are equal ignoring case (the same comparison as FindNoCase).
bool EqualsNoCase(std::string_view a, std::string_view b);
