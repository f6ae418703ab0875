#include "FindNoCase.h"

#include "Utf8.h"

namespace {

// True when pattern matches text at pos ignoring case; end receives the byte after the match.
bool MatchesAt(std::string_view text, size_t pos, std::string_view pattern, size_t& end)
{
    size_t p = 0;
    while (p < pattern.size()) {
        if (pos >= text.size())
            return false;
        char32_t a = utf8::Next(text, pos);
        char32_t b = utf8::Next(pattern, p);
        if (a != b && utf8::ToUpper(a) != utf8::ToUpper(b))
            return false;
    }
    end = pos;
    return true;
}

} // namespace

long FindNoCase(std::string_view text, std::string_view pattern, long start)
{
    if (start < 0 || static_cast<size_t>(start) > text.size())
        return -1;
    size_t pos = static_cast<size_t>(start);
    if (pos < text.size() && utf8::IsContinuationByte(text[pos]))
        return -1;
    if (pattern.empty())
        return start;
    size_t end;
    while (pos < text.size()) {
        if (MatchesAt(text, pos, pattern, end))
            return static_cast<long>(pos);
        utf8::Next(text, pos);
    }
    return -1;
}

long MatchNoCaseAt(std::string_view text, size_t pos, std::string_view pattern)
{
    size_t end;
    return MatchesAt(text, pos, pattern, end) ? static_cast<long>(end) : -1;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    size_t end;
    return MatchesAt(a, 0, b, end) && end == a.size();
}
