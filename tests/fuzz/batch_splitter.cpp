// The batch splitter on any text and separator setting (the input's first line): the batches
// and the separator tokens between them make up the text exactly, no batch holds a separator
// line, offsets and character positions only grow, and the text prepared for running is trimmed
// with LF line ends.
#include "FuzzCheck.h"

#include "querycore/BatchSplitter.h"

#include <cstdint>

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t cut = input.find('\n');
    const std::string_view setting = cut == std::string_view::npos ? std::string_view() : input.substr(0, cut);
    const std::string_view text = cut == std::string_view::npos ? input : input.substr(cut + 1);

    const BatchSplitter splitter(BatchSplitter::SeparatorFromSetting(setting));
    const std::vector<Batch> batches = splitter.Split(text);
    fuzz::Check(!batches.empty(), "there is at least one batch", input);

    size_t start = 0;
    long lastPosition = 0;
    for (size_t i = 0; i < batches.size(); ++i) {
        const Batch& b = batches[i];
        fuzz::Check(text.substr(start, b.text.size()) == b.text, "each batch is the text where it stands", input);
        fuzz::Check(b.offset >= start && b.offset <= start + b.text.size(), "the offset lies in its batch", input);
        fuzz::Check(b.position >= lastPosition, "positions only grow", input);
        lastPosition = b.position;
        fuzz::Check(splitter.Split(b.text).size() == 1, "no batch holds a separator line", input);

        const std::string prepared = BatchSplitter::PrepareBatchText(b.text);
        fuzz::Check(prepared.find('\r') == std::string::npos, "prepared text has LF line ends", input);
        fuzz::Check(prepared.empty() || (kBlanks.find(prepared.front()) == std::string_view::npos
                                         && kBlanks.find(prepared.back()) == std::string_view::npos),
                    "prepared text is trimmed", input);

        start += b.text.size();
        if (i + 1 == batches.size())
            break;
        // The separator token (settings hold no blanks) follows, alone on its line.
        size_t end = text.find_first_of(kBlanks, start);
        std::string_view token = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        fuzz::Check(!token.empty() && splitter.IsSeparatorLine(token), "batches are cut at separators", input);
        start += token.size();
    }
    fuzz::Check(start == text.size(), "the batches end with the text", input);
    return 0;
}
