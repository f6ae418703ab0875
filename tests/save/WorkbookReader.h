// Reader of the workbooks the spreadsheet export writes, for the tests: the parts are taken
// out of the zip file with unzip and parsed with libxml2. Gives the first sheet's name, its
// cells as text rows of one length (an empty string for a cell not written), whether every written cell is an
// inline string in the text number format, the frozen rows and the column widths. Throws
// std::runtime_error on a file that is not such a workbook or fails unzip's test of its parts.
#pragma once

#include <string>
#include <vector>

namespace torvane::test {

struct Workbook {
    std::string sheetName;
    std::vector<std::vector<std::string>> rows;
    // Every written cell is a string cell whose style has the text number format ("@"), aligned
    // left and centred vertically.
    bool allTextCells = true;
    int frozenRows = 0;
    std::string dimension; // the used range the sheet declares, "A1:C3"

    std::vector<double> columnWidths;
};

Workbook ReadWorkbook(const std::string& path);

} // namespace torvane::test
