#include "BatchSplitter.h"

#include "common/TextPositions.h"
#include "FindNoCase.h"

#include <fmt/format.h>

namespace {

constexpr std::string_view kBatchWhiteSpace = " \t\r\n\v\f";
// The separator setting is refused when it holds any of these.
constexpr std::string_view kSettingWhiteSpace = " \t\r\n";
// Around a separator on its line.
constexpr std::string_view kLineBlanks = " \t";

} // namespace

std::string BatchSplitter::SeparatorFromSetting(std::string_view setting)
{
    if (setting.empty() || setting.find_first_of(kSettingWhiteSpace) != std::string_view::npos)
        return "GO";
    if (EqualsNoCase(setting, "<NULL>"))
        return {};
    return std::string(setting);
}

BatchSplitter::BatchSplitter(std::string separator) : m_separator(std::move(separator)) {}

bool BatchSplitter::IsSeparatorLine(std::string_view line) const
{
    if (m_separator.empty())
        return false;
    size_t first = line.find_first_not_of(kLineBlanks);
    if (first == std::string_view::npos)
        return false;
    size_t last = line.find_last_not_of(kLineBlanks);
    return EqualsNoCase(line.substr(first, last - first + 1), m_separator);
}

std::vector<Batch> BatchSplitter::Split(std::string_view text, const std::atomic<int>* stop) const
{
    std::vector<Batch> batches;
    const auto add = [&](size_t from, size_t to) {
        Batch b;
        b.text.assign(text.substr(from, to - from));
        size_t first = b.text.find_first_not_of(kBatchWhiteSpace);
        b.offset = from + (first == std::string::npos ? 0 : first);
        batches.push_back(std::move(b));
    };

    bool separated = false;
    bool stopped = false;
    size_t batchStart = 0;
    for (size_t lineStart = 0; !m_separator.empty() && lineStart < text.size();) {
        if (stop && stop->load(std::memory_order_relaxed)) {
            stopped = true;
            break;
        }
        size_t lineEnd = text.find_first_of("\r\n", lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = text.size();
        std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        if (IsSeparatorLine(line)) {
            size_t tokenStart = lineStart + line.find_first_not_of(kLineBlanks);
            add(batchStart, tokenStart);
            // The rest of the separator line (blanks and its line end) starts the next batch.
            batchStart = lineStart + line.find_last_not_of(kLineBlanks) + 1;
            separated = true;
        }
        if (lineEnd == text.size())
            break;
        lineStart = lineEnd + (text.substr(lineEnd, 2) == "\r\n" ? 2 : 1);
    }
    if (!stopped)
        add(separated ? batchStart : 0, text.size());

    size_t counted = 0;
    long position = 0;
    for (Batch& b : batches) {
        position += CTextPositions::CountChars(text, counted, b.offset);
        counted = b.offset;
        b.position = position;
    }
    return batches;
}

size_t BatchSplitter::LineOfNulCharacter(std::string_view text)
{
    const size_t nul = text.find('\0');
    if (nul == std::string_view::npos)
        return 0;
    size_t line = 1;
    for (size_t i = 0; i < nul; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
            ++line;
    }
    return line;
}

std::string BatchSplitter::NulCharacterRefusal(std::string_view file, size_t line)
{
    return fmt::format("'{}'.\nLine {} holds a NUL character (byte 0), which SQL text cannot contain.", file, line);
}

std::string BatchSplitter::PrepareBatchText(std::string_view batch)
{
    size_t first = batch.find_first_not_of(kBatchWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    size_t last = batch.find_last_not_of(kBatchWhiteSpace);
    std::string_view trimmed = batch.substr(first, last - first + 1);
    std::string out;
    out.reserve(trimmed.size());
    for (size_t i = 0; i < trimmed.size(); ++i) {
        if (trimmed[i] == '\r') {
            out += '\n';
            if (i + 1 < trimmed.size() && trimmed[i + 1] == '\n')
                ++i;
        } else {
            out += trimmed[i];
        }
    }
    return out;
}
