// The text Copy puts on the clipboard for cells of a results grid: the field names first when
// asked for, the cells of each row separated by tabs, rows separated by CR LF with none after
// the last. When more than one cell is copied, a cell holding a tab, a line break or a double
// quote is enclosed in double quotes (its quotes doubled), so that a spreadsheet pastes it
// back into one cell; a single cell is copied as it stands.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// names: one per column of the range, or none for no name line. cell(row, col) for rows
// top..bottom and columns left..right, both ends included.
std::string GridCopyText(int top, int left, int bottom, int right, const std::vector<std::string>& names,
                         const std::function<std::string_view(int row, int col)>& cell);
