// The cells of a results grid as the grid save writes them into a delimited text file: the
// field names first when asked for, then one line per row, the cells joined by the delimiter
// (quoted where they hold it, as in every delimited export), rows separated by CR LF with none
// after the last. Decided without a window: the caller reads the cells.
#pragma once

#include <wx/string.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Rows and columns in the grid's coordinates (row 0 the field names, column 0 the row numbers),
// both ends included.
struct CGridRange {
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;
};

// A column header without the sort mark a sort appends: cut before " >", else before " <".
wxString GridColumnName(const wxString& header);

// The file's text (UTF-8). names: the field names of the range's columns, or none for no name
// line; cell(row, col): a cell's text. With exportToExcel and a delimiter longer than one
// character, an empty name is written as "<No coumn name>" and an empty cell as "<NULL>".
std::string GridExportText(const CGridRange& range, const std::vector<std::string>& names,
                           const std::function<std::string_view(int row, int col)>& cell, const std::string& delimiter,
                           bool exportToExcel);
