// The text Copy puts on the clipboard for cells of a results grid: the field names first when
// asked for, the cells of each row separated by tabs, rows separated by CR LF with none after
// the last. When more than one cell is copied, a cell holding a tab, a line break or a double
// quote is enclosed in double quotes (its quotes doubled), so that a spreadsheet pastes it
// back into one cell; a single cell is copied as it stands.
//
// The text of a large selection is as large as the grid itself, so it can be measured and
// written straight into a buffer of its reader's without ever being held whole.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CGridCopyText {
public:
    // cell(row, col) for rows top..bottom and columns left..right, both ends included; called
    // on whichever thread measures or writes. names: one per column, or none for no name line.
    using CellReader = std::function<std::string_view(int row, int col)>;
    CGridCopyText(int top, int left, int bottom, int right, std::vector<std::string> names, CellReader cell);

    // Bytes of the text.
    size_t Size() const;
    // Writes the text into out, which holds Size() bytes.
    void Write(char* out) const;
    std::string Text() const;

private:
    template <class Sink>
    void Emit(Sink& sink) const;

    int m_nTop, m_nLeft, m_nBottom, m_nRight;
    std::vector<std::string> m_names;
    CellReader m_cell;
};
