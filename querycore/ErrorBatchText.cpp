#include "ErrorBatchText.h"

#include <algorithm>

namespace error_batch_text {

namespace {

constexpr std::string_view kLineEnds = "\r\n";

size_t LineStart(std::string_view text, size_t pos)
{
    if (pos == 0)
        return 0;
    const size_t end = text.find_last_of(kLineEnds, pos - 1);
    return end == std::string_view::npos ? 0 : end + 1;
}

size_t LineEnd(std::string_view text, size_t pos)
{
    const size_t end = text.find_first_of(kLineEnds, pos);
    return end == std::string_view::npos ? text.size() : end;
}

} // namespace

std::string TagAt(std::string_view text, size_t pos)
{
    pos = std::min(pos, text.size());
    const size_t open = text.rfind(kOpenTag, pos);
    if (open == std::string_view::npos)
        return {};
    // The first closing tag that ends at or after pos: the caret may stand inside one.
    size_t close = text.find(kCloseTag, open + kOpenTag.size());
    while (close != std::string_view::npos) {
        const size_t closeEnd = text.find('>', close);
        if (closeEnd == std::string_view::npos)
            return {};
        if (closeEnd >= pos)
            return std::string(text.substr(open, closeEnd + 1 - open));
        close = text.find(kCloseTag, closeEnd);
    }
    return {};
}

Selection MessageLineSelection(std::string_view text, size_t pos)
{
    pos = std::min(pos, text.size());
    const size_t start = LineStart(text, pos);
    const size_t end = LineEnd(text, pos);
    const std::string_view line = text.substr(start, end - start);

    if (const size_t open = line.find(kOpenTag); open != std::string_view::npos) {
        const size_t gt = line.find('>', open);
        const size_t from = gt == std::string_view::npos ? end : start + gt + 1;
        const size_t close = text.find(kCloseTag, from);
        return {from, close == std::string_view::npos ? end : close};
    }
    if (const size_t close = line.find(kCloseTag); close != std::string_view::npos)
        return {start, start + close};
    return {start, std::min(text.size(), std::max(end, start + 1))};
}

} // namespace error_batch_text
