#include "GridTextExport.h"

#include "querycore/DelimitedTextWriter.h"

wxString GridColumnName(const wxString& header)
{
    for (const char* mark : {" >", " <"}) {
        const int at = header.Find(mark);
        if (at != wxNOT_FOUND)
            return header.Left(static_cast<size_t>(at));
    }
    return header;
}

std::string GridExportText(const CGridRange& range, const std::vector<std::string>& names,
                           const std::function<std::string_view(int row, int col)>& cell, const std::string& delimiter,
                           bool exportToExcel)
{
    const DelimitedTextWriter writer(delimiter, DelimitedTextWriter::UsesPlaceholders(delimiter, exportToExcel));
    std::string text;
    if (!names.empty()) {
        for (size_t i = 0; i < names.size(); ++i)
            writer.AppendName(text, names[i], i == 0);
        DelimitedTextWriter::EndLine(text);
    }
    for (int row = range.top; row <= range.bottom; ++row) {
        if (row > range.top)
            DelimitedTextWriter::EndLine(text);
        for (int col = range.left; col <= range.right; ++col)
            writer.AppendValue(text, cell(row, col), col == range.left);
    }
    return text;
}
