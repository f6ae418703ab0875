// Whitespace trimming shared by the parsers of connect strings, data link files and options.
#pragma once

#include <string_view>

// s without leading and trailing ASCII whitespace (space, tab, CR, LF, VT, FF).
std::string_view TrimWhitespace(std::string_view s);
