#include "GridCopyText.h"

#include "DelimitedTextWriter.h"

std::string GridCopyText(int top, int left, int bottom, int right, const std::vector<std::string>& names,
                         const std::function<std::string_view(int row, int col)>& cell)
{
    const DelimitedTextWriter writer("\t", false);
    const bool single = top == bottom && left == right;
    std::string text;
    if (!names.empty()) {
        for (size_t i = 0; i < names.size(); ++i) {
            if (single) {
                text += names[i];
            } else {
                writer.AppendName(text, names[i], i == 0);
            }
        }
        text += "\r\n";
    }
    if (top > bottom)
        return text;
    // Rows of similar length: the first one tells how much room the text will take.
    for (int row = top; row <= bottom; ++row) {
        if (row > top)
            text += "\r\n";
        const size_t before = text.size();
        for (int col = left; col <= right; ++col) {
            const std::string_view value = cell(row, col);
            if (single)
                text.append(value.data(), value.size());
            else
                writer.AppendValue(text, value, col == left);
        }
        if (row == top && bottom > top)
            text.reserve(text.size() + (text.size() - before + 2) * static_cast<size_t>(bottom - top) * 11 / 10);
    }
    return text;
}
