// Delimited text export of result sets: a header line of field names, then one line per
// record, fields joined by the delimiter, every line ended by CR LF, UTF-8 text. A name or
// value that holds the delimiter, a double quote, CR or LF is enclosed in double quotes with
// its inner quotes doubled, so the file reads back into the same columns; every other text is
// written as it stands. With an empty delimiter nothing is quoted.
#pragma once

#include "ado/Ado.h"

#include <atomic>
#include <string>
#include <string_view>

class DelimitedTextWriter {
public:
    // placeholders: write "<NULL>" for an empty value and "<No coumn name>" for an empty name
    // (see UsesPlaceholders).
    DelimitedTextWriter(std::string delimiter, bool placeholders);

    // True when the file will be opened in a spreadsheet that treats consecutive delimiters as
    // one, that is with the spreadsheet step and a delimiter longer than one character: empty
    // fields then need a placeholder to keep the columns aligned.
    static bool UsesPlaceholders(std::string_view delimiter, bool exportToExcel);

    // Appends a field to a line being built: the delimiter first unless it is the line's first.
    void AppendName(std::string& line, std::string_view name, bool first) const;
    void AppendValue(std::string& line, std::string_view value, bool first) const;
    static void EndLine(std::string& line) { line += "\r\n"; }

    // True when text must be quoted with this writer's delimiter.
    bool NeedsQuoting(std::string_view text) const;

private:
    void AppendText(std::string& line, std::string_view text, bool first) const;

    std::string m_delimiter;
    bool m_placeholders;
    // The bytes that force quoting: the delimiter's, the double quote, CR and LF.
    bool m_special[256] = {};
};

// Writes the current result set of recordset (from its current row to the end) to path.
// Returns true when the whole result set was written; false when stop became non-zero, in
// which case no file is left behind (an existing file at path is kept). Throws
// std::filesystem::filesystem_error for file errors (a full disk included) and _com_error for
// errors of the recordset; the file at path is then untouched as well. columnCount receives
// the number of fields.
bool SaveRecordsetAsText(ado::Recordset& recordset, const std::string& path, const std::string& delimiter,
                         bool exportToExcel, const std::atomic<int>& stop, long* columnCount = nullptr);
