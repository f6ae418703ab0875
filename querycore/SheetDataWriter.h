// The rows of a worksheet as text cells, written straight into the row file of a worksheet in
// libxlsxwriter's constant-memory mode. The library's own cell path costs an allocation per
// cell and per string and a formatted print per cell, two thirds of a large export's time;
// here each row is appended to one reused buffer and written with one call. The markup is the
// one the library writes there itself (rows of inline-string cells), and the library still
// wraps it in the sheet, so the workbook is the same.
//
// Text is escaped as a worksheet expects: "&", "<" and ">" as XML entities; characters below
// U+0020 other than tab and line feed, and U+FFFE and U+FFFF, which XML cannot hold, as
// "_xHHHH_"; and the "_" that would start that form in the written text (text already in it,
// or "_xHHHH" before a character written as an escape) as "_x005F_", so such text reads back as
// written. Text with leading or trailing white space keeps it (xml:space="preserve").
// Text that is not valid UTF-8 cannot be part of the sheet: it is refused, never written.
//
// Thread: one writer per worksheet, used by one thread. Errors: a failed write throws errno (int);
// text that is not UTF-8 is an answer of WriteRow.
#pragma once

#include <xlsxwriter.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SheetDataWriter {
public:
    // sheet: a worksheet of a constant-memory workbook with nothing written to it yet; format: the
    // cells' format.
    SheetDataWriter(lxw_worksheet* sheet, lxw_format* format);

    // Writes the row's non-empty fields (the first count of fields); rows come in ascending order.
    // A row without any text is left out, as the library leaves out rows without cells. Returns
    // the index of the first field that is not valid UTF-8, writing nothing of the row; nothing
    // when the row was written.
    std::optional<size_t> WriteRow(lxw_row_t row, const std::vector<std::string>& fields, size_t count);

    // Writes what is buffered and gives the worksheet the range the rows used. Call once, before the
    // workbook is closed.
    void Finish();

    // The escaped cell text appended to out; false (out then holds part of it) when text is not
    // valid UTF-8.
    static bool AppendEscaped(std::string& out, std::string_view text);

private:
    void Flush();

    lxw_worksheet* m_sheet;
    std::string m_style;
    std::string m_buffer;
    bool m_any = false;
    lxw_row_t m_rowMin = 0;
    lxw_row_t m_rowMax = 0;
    lxw_col_t m_colMin = 0;
    lxw_col_t m_colMax = 0;
};
