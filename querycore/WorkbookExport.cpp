#include "WorkbookExport.h"

#include "common/IdentifierText.h"
#include "DelimitedRecordReader.h"
#include "ReplacingFile.h"
#include "SheetDataWriter.h"
#include "WorkbookPacking.h"

#include <fmt/format.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

namespace workbook_export {

std::string WorkbookPathFor(const std::string& delimitedPath)
{
    const size_t slash = delimitedPath.rfind('/');
    const size_t dot = delimitedPath.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? delimitedPath.substr(0, dot) : delimitedPath) + ".xlsx";
}

std::string SheetNameFor(std::string_view baseName)
{
    wxString name = wxString::FromUTF8(baseName.data(), baseName.size());
    if (name.length() > 31)
        name.Truncate(30);
    name.Replace("[", "");
    name.Replace("]", "");
    return MakeIdentifierName(name).utf8_string();
}

long CellLength(std::string_view utf8)
{
    long units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80)
            ++units;
        // A character outside the basic plane takes two units.
        if (c >= 0xF0)
            ++units;
    }
    return units;
}

} // namespace workbook_export

namespace {

using namespace workbook_export;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string Quoted(const std::string& path) { return "'" + path + "'.\n"; }

std::string TooLargeText(const std::string& path, const std::string& what)
{
    return Quoted(path) + what + " The workbook was not written.";
}

} // namespace

bool ExportToExcel(const std::string& path, bool freezeHeader, const std::string& delimiter, std::string& errorText,
                   long columnCount, std::string& workbookPath, const std::atomic<int>* stop)
{
    errorText.clear();
    workbookPath.clear();
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rbe"));
    if (!file) {
        errorText = Quoted(path) + std::strerror(errno) + ".";
        return false;
    }
    const std::string target = WorkbookPathFor(path);
    std::optional<ReplacingFile> out;
    try {
        out.emplace(target);
    } catch (const std::filesystem::filesystem_error& e) {
        errorText = Quoted(target) + e.code().message() + ".";
        return false;
    }

    // Outlives the workbook, whose temporary row file uses it.
    std::vector<char> streamBuffer(1 << 20);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    // The library opens the file by name: it writes the copy that replaces the target.
    lxw_workbook* book = workbook_new_opt(out->PathForWriter().c_str(), &options);
    const auto fail = [&](std::string text) {
        if (book) {
            // Closing is the only way to free the workbook; what it writes goes with the copy.
            workbook_close(book);
            book = nullptr;
        }
        errorText = std::move(text);
        return false;
    };
    if (!book)
        return fail(Quoted(target) + "The workbook could not be created.");

    const size_t slash = path.rfind('/');
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (const size_t dot = base.rfind('.'); dot != std::string::npos && dot > 0)
        base.resize(dot);
    const std::string sheetName = SheetNameFor(base);
    lxw_worksheet* sheet = workbook_add_worksheet(book, sheetName.empty() ? nullptr : sheetName.c_str());
    if (!sheet)
        sheet = workbook_add_worksheet(book, nullptr);
    if (!sheet)
        return fail(Quoted(target) + "The worksheet could not be created.");
    // The rows go through a temporary file; with the stream's default small buffer that is a
    // system call every few kilobytes. Nothing has been written to it yet.
    if (sheet && sheet->optimize_tmpfile)
        std::setvbuf(sheet->optimize_tmpfile, streamBuffer.data(), _IOFBF, streamBuffer.size());
    lxw_format* cellFormat = workbook_add_format(book);
    format_set_num_format_index(cellFormat, 49); // the built-in text format, "@"
    format_set_align(cellFormat, LXW_ALIGN_LEFT);
    format_set_align(cellFormat, LXW_ALIGN_VERTICAL_CENTER);

    std::vector<long> widths(columnCount > 0 ? static_cast<size_t>(std::min(columnCount, kMaxColumns)) : 0, 0);
    std::vector<std::string> fields;
    size_t count = 0;
    long row = 0;
    try {
        SheetDataWriter rows(sheet, cellFormat);
        DelimitedRecordReader records(file.get(), delimiter, stop);
        while (records.Next(fields, count)) {
            if (stop && (row & 1023) == 0 && stop->load(std::memory_order_relaxed))
                return fail(std::string());
            if (row == kMaxRows)
                return fail(TooLargeText(path, "The data has more lines than a worksheet has rows "
                                               "(1,048,576)."));
            if (count > static_cast<size_t>(kMaxColumns))
                return fail(TooLargeText(path, fmt::format("Line {} has {} fields; a worksheet holds at most 16,384 "
                                                           "columns.",
                                                           row + 1, count)));
            if (count > widths.size())
                widths.resize(count, 0);
            for (size_t c = 0; c < count; ++c) {
                const std::string& text = fields[c];
                if (text.empty())
                    continue;
                const long length = CellLength(text);
                if (length > kMaxCellChars)
                    return fail(TooLargeText(path, fmt::format("Line {}, field {} has {} characters; a worksheet cell "
                                                               "holds at most 32,767.",
                                                               row + 1, c + 1, length)));
                widths[c] = std::max(widths[c], length);
            }
            if (const std::optional<size_t> bad = rows.WriteRow(static_cast<lxw_row_t>(row), fields, count))
                return fail(fmt::format("{}Line {}, field {} holds a byte sequence that is not valid UTF-8. The "
                                        "workbook was not written.",
                                        Quoted(path), row + 1, *bad + 1));
            ++row;
        }
        rows.Finish();
    } catch (int error) {
        return fail(Quoted(path) + std::strerror(error) + ".");
    }
    if (stop && stop->load(std::memory_order_relaxed))
        return fail(std::string());
    for (size_t c = 0; c < widths.size(); ++c) {
        // As wide as the longest text and a little margin; a worksheet column is at most 255 wide.
        const double width = static_cast<double>(std::clamp(widths[c] + 2, 3L, 255L));
        worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), width, cellFormat);
    }
    if (freezeHeader && row > 0)
        worksheet_freeze_panes(sheet, 1, 0);
    lxw_error closed;
    {
        const FastPackingScope packing;
        closed = workbook_close(book);
    }
    book = nullptr;
    if (closed != LXW_NO_ERROR)
        return fail(Quoted(target) + lxw_strerror(closed));
    try {
        out->Commit();
    } catch (const std::filesystem::filesystem_error& e) {
        return fail(Quoted(target) + e.code().message() + ".");
    }
    workbookPath = target;
    return true;
}
