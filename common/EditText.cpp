#include "EditText.h"

#include <cctype>

namespace {

constexpr std::string_view kBraces = "{}()[]<>";

bool IsBrace(char c)
{
    return kBraces.find(c) != std::string_view::npos;
}

} // namespace

bool IsEditWordChar(char c)
{
    if (c == '_')
        return true;
    if (c == ' ' || c == '\r' || c == '\n' || c == '\t')
        return false;
    const unsigned char u = static_cast<unsigned char>(c);
    return !(u < 0x80 && std::ispunct(u));
}

std::pair<long, long> FindWordAt(std::string_view text, long caret)
{
    const long length = static_cast<long>(text.size());
    if (caret < 0 || caret > length)
        return {caret, caret};
    long start = caret;
    while (start > 0 && IsEditWordChar(text[static_cast<size_t>(start - 1)]))
        --start;
    long end = caret;
    while (end < length && IsEditWordChar(text[static_cast<size_t>(end)]))
        ++end;
    return {start, end};
}

bool IsBraceAt(std::string_view text, long caret)
{
    const long length = static_cast<long>(text.size());
    if (caret >= 0 && caret < length && IsBrace(text[static_cast<size_t>(caret)]))
        return true;
    return caret > 0 && caret <= length && IsBrace(text[static_cast<size_t>(caret - 1)]);
}

long FindMatchingBrace(std::string_view text, long caret)
{
    const long length = static_cast<long>(text.size());
    if (length == 0 || caret < 0)
        return -1;
    if (caret >= length)
        caret = length - 1;
    long at = caret;
    if (!IsBrace(text[static_cast<size_t>(at)])) {
        if (at == 0 || !IsBrace(text[static_cast<size_t>(at - 1)]))
            return -1;
        --at;
    }
    const char brace = text[static_cast<size_t>(at)];
    const size_t pair = kBraces.find(brace) & ~size_t{1};
    const char open = kBraces[pair];
    const char close = kBraces[pair + 1];
    const bool forward = brace == open;
    int depth = 0;
    for (long i = forward ? at + 1 : at - 1; i >= 0 && i < length; i += forward ? 1 : -1) {
        const char c = text[static_cast<size_t>(i)];
        if (c == brace)
            ++depth;
        else if (c == (forward ? close : open)) {
            if (depth == 0)
                return i;
            --depth;
        }
    }
    return -1;
}
