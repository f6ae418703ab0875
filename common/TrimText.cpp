#include "TrimText.h"

std::string_view TrimWhitespace(std::string_view s)
{
    constexpr std::string_view ws = " \t\r\n\v\f";
    size_t first = s.find_first_not_of(ws);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(ws) - first + 1);
}
