// The spreadsheet step of an export: a delimited text file (as the delimited export or the grid
// save wrote it) becomes a workbook "<base>.xlsx" beside it, which the desktop's spreadsheet
// program then opens. The delimited file stays as written. Every field is a text cell, as a
// spreadsheet importing the file with every column marked text would show it; the used range is
// centred vertically and left-aligned, each column as wide as its longest text, the sheet named
// after the file, and the first row frozen when asked.
//
// The file is read a record at a time (DelimitedRecordReader) and the workbook written in
// libxlsxwriter's constant-memory mode, so memory does not grow with the file. Data beyond a
// worksheet's limits (kMaxRows rows, kMaxColumns columns, kMaxCellChars characters a cell) or
// text that is not valid UTF-8 fails the export with a message saying which line and field;
// nothing is cut off or changed.
//
// Thread: any; one call keeps its own state.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

namespace workbook_export {

inline constexpr long kMaxRows = 1048576;
inline constexpr long kMaxColumns = 16384;
inline constexpr long kMaxCellChars = 32767;

// The workbook written for a delimited file: its path with the extension replaced by ".xlsx".
std::string WorkbookPathFor(const std::string& delimitedPath);

// The sheet name for a file's base name: cut to its first 30 characters when longer than 31,
// "[" and "]" removed, every other character that is not an ASCII letter, digit or "_" made
// "_". Empty when nothing is left (the sheet keeps its default name).
std::string SheetNameFor(std::string_view baseName);

// Characters of text as a worksheet cell counts them (UTF-16 units).
long CellLength(std::string_view utf8);

} // namespace workbook_export

// ExportToExcel: writes the workbook for the delimited file at path, replacing a file of that
// name only once it is complete. freezeHeader keeps the first row in view. columnCount (the
// columns the file was written with, -1 when unknown) gives the sheet its columns even when no
// line has them all. True on success with workbookPath set; false with errorText set, or with
// errorText empty when stop became non-zero.
bool ExportToExcel(const std::string& path, bool freezeHeader, const std::string& delimiter, std::string& errorText,
                   long columnCount, std::string& workbookPath, const std::atomic<int>* stop = nullptr);
