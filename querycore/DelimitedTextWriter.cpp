#include "DelimitedTextWriter.h"

#include "FieldValueText.h"
#include "ReplacingFile.h"
#include "Utf8.h"

#include <vector>

namespace {

constexpr std::string_view kNullPlaceholder = "<NULL>";
constexpr std::string_view kNoNamePlaceholder = "<No coumn name>";
// Lines are collected up to this size before they go to the file.
constexpr size_t kChunk = 256 * 1024;

// How a column's values are read: most straight from the recordset's row as text (the text
// the results grid shows), Booleans and byte values through their own display rules.
enum class CellRead { Text, Field };

CellRead ReadOf(ado::DataTypeEnum type)
{
    const bool bytes = type == ado::adBinary || type == ado::adVarBinary || type == ado::adLongVarBinary;
    return bytes || type == ado::adBoolean ? CellRead::Field : CellRead::Text;
}

} // namespace

DelimitedTextWriter::DelimitedTextWriter(std::string delimiter, bool placeholders)
    : m_delimiter(std::move(delimiter)), m_placeholders(placeholders)
{
    if (m_delimiter.empty())
        return;
    // Every byte of the delimiter counts, so that a reader splitting at any one of them (as a
    // spreadsheet does with a repeated delimiter) still sees the quoted field whole.
    for (char c : m_delimiter)
        m_special[static_cast<unsigned char>(c)] = true;
    m_special[static_cast<unsigned char>('"')] = true;
    m_special[static_cast<unsigned char>('\r')] = true;
    m_special[static_cast<unsigned char>('\n')] = true;
}

bool DelimitedTextWriter::UsesPlaceholders(std::string_view delimiter, bool exportToExcel)
{
    if (!exportToExcel)
        return false;
    // Longer than one character, not one byte.
    return utf8::CountCodePoints(delimiter) > 1;
}

bool DelimitedTextWriter::NeedsQuoting(std::string_view text) const
{
    if (m_delimiter.empty())
        return false;
    for (char c : text)
        if (m_special[static_cast<unsigned char>(c)])
            return true;
    return false;
}

void DelimitedTextWriter::AppendName(std::string& line, std::string_view name, bool first) const
{
    AppendText(line, name.empty() && m_placeholders ? kNoNamePlaceholder : name, first);
}

void DelimitedTextWriter::AppendValue(std::string& line, std::string_view value, bool first) const
{
    AppendText(line, value.empty() && m_placeholders ? kNullPlaceholder : value, first);
}

void DelimitedTextWriter::AppendText(std::string& line, std::string_view text, bool first) const
{
    if (!first)
        line += m_delimiter;
    if (!NeedsQuoting(text)) {
        line += text;
        return;
    }
    line += '"';
    for (char c : text) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

bool SaveRecordsetAsText(ado::Recordset& recordset, const std::string& path, const std::string& delimiter,
                         bool exportToExcel, const std::atomic<int>& stop, long* columnCount)
{
    const auto stopped = [&] { return stop.load(std::memory_order_relaxed) != 0; };
    ReplacingFile file(path);
    ado::FieldsPtr fields = recordset.GetFields();
    const long count = fields->GetCount();
    if (columnCount)
        *columnCount = count;
    std::vector<ado::FieldPtr> items;
    std::vector<CellRead> reads;
    items.reserve(static_cast<size_t>(count));
    for (long i = 0; i < count; ++i) {
        items.push_back(fields->GetItem(i));
        reads.push_back(ReadOf(items.back()->GetType()));
    }

    const DelimitedTextWriter writer(delimiter, DelimitedTextWriter::UsesPlaceholders(delimiter, exportToExcel));
    std::string chunk;
    chunk.reserve(kChunk + 4096);
    if (!stopped() && count > 0) {
        for (long i = 0; i < count && !stopped(); ++i)
            writer.AppendName(chunk, items[i]->GetName(), i == 0);
        DelimitedTextWriter::EndLine(chunk);
    }
    if (!stopped() && !recordset.IsBOF()) {
        std::string text;
        while (!stopped() && !recordset.IsEOF()) {
            for (long i = 0; i < count && !stopped(); ++i) {
                text.clear();
                if (reads[i] == CellRead::Text)
                    recordset.AppendCellText(i, text);
                else
                    FieldValueText(*items[i], text);
                writer.AppendValue(chunk, text, i == 0);
            }
            DelimitedTextWriter::EndLine(chunk);
            if (chunk.size() >= kChunk) {
                file.Write(chunk);
                chunk.clear();
            }
            recordset.MoveNext();
        }
    }
    if (stopped())
        return false;
    file.Write(chunk);
    file.Commit();
    return true;
}
