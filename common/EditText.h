// Scans of editor text used by the editor helpers: words and braces. Positions are byte
// offsets into the UTF-8 text, as the editor control counts them.
#pragma once

#include <string_view>
#include <utility>

// Word characters: everything but blank, CR, LF, TAB and ASCII punctuation, "_" included.
bool IsEditWordChar(char c);

// The word around the caret as [start, end); start == end when there is none.
std::pair<long, long> FindWordAt(std::string_view text, long caret);

// True when the character at the caret, or else the one before it, is one of "{}()[]<>".
bool IsBraceAt(std::string_view text, long caret);

// The position just before the brace that matches the one at the caret (or before it; a
// caret at the end counts as on the last character), counting nesting of the same pair only.
// -1 when there is no brace or no match.
long FindMatchingBrace(std::string_view text, long caret);
