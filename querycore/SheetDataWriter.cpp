#include "SheetDataWriter.h"

#include "Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

// Flushes to the row file at about this size; a row longer than that goes out whole.
constexpr size_t kBufferSize = 1 << 20;

// "A", "B", ..., "Z", "AA", ... for columns from 0.
void AppendColumnName(std::string& out, lxw_col_t column)
{
    char letters[4];
    int n = 0;
    for (unsigned c = column + 1u; c > 0; c = (c - 1) / 26)
        letters[n++] = static_cast<char>('A' + (c - 1) % 26);
    while (n > 0)
        out += letters[--n];
}

void AppendNumber(std::string& out, unsigned long value)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (n > 0)
        out += digits[--n];
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// A character the sheet writes as "_xHHHH_": a control character other than tab and line feed,
// U+FFFE or U+FFFF.
bool WrittenAsEscape(std::string_view text, size_t pos)
{
    const unsigned char c = static_cast<unsigned char>(text[pos]);
    if (c < 0x20)
        return c != '\t' && c != '\n';
    return text.substr(pos, 2) == "\xEF\xBF" && pos + 2 < text.size() &&
           (text[pos + 2] == '\xBE' || text[pos + 2] == '\xBF');
}

// "_xHHHH" at pos followed by a "_" in the written text (its own, or the one of the escape the
// next character is written as), which a worksheet would read as one escaped character.
bool StartsEscapeForm(std::string_view text, size_t pos)
{
    return pos + 7 <= text.size() && text[pos + 1] == 'x' && IsHex(text[pos + 2]) && IsHex(text[pos + 3]) &&
           IsHex(text[pos + 4]) && IsHex(text[pos + 5]) && (text[pos + 6] == '_' || WrittenAsEscape(text, pos + 6));
}

bool NeedsAttention(unsigned char c) { return c < 0x20 || c >= 0x80 || c == '&' || c == '<' || c == '>' || c == '_'; }

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

} // namespace

SheetDataWriter::SheetDataWriter(lxw_worksheet* sheet, lxw_format* format) : m_sheet(sheet)
{
    if (const int index = lxw_format_get_xf_index(format); index != 0) {
        m_style = " s=\"";
        AppendNumber(m_style, static_cast<unsigned long>(index));
        m_style += '"';
    }
    m_buffer.reserve(kBufferSize + kBufferSize / 4);
}

bool SheetDataWriter::AppendEscaped(std::string& out, std::string_view text)
{
    size_t done = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!NeedsAttention(c))
            continue;
        const char* replacement = nullptr;
        char control[8];
        if (c >= 0x80) {
            size_t end = i;
            char32_t cp = 0;
            if (!utf8::Decode(text, end, cp))
                return false;
            if (cp != 0xFFFE && cp != 0xFFFF) {
                i = end - 1;
                continue;
            }
            std::snprintf(control, sizeof control, "_x%04X_", static_cast<unsigned>(cp));
            out.append(text.substr(done, i - done));
            out += control;
            done = end;
            i = end - 1;
            continue;
        }
        switch (c) {
        case '&': replacement = "&amp;"; break;
        case '<': replacement = "&lt;"; break;
        case '>': replacement = "&gt;"; break;
        case '\t':
        case '\n': continue;
        case '_':
            if (!StartsEscapeForm(text, i))
                continue;
            replacement = "_x005F_";
            break;
        default:
            std::snprintf(control, sizeof control, "_x%04X_", c);
            replacement = control;
        }
        out.append(text.substr(done, i - done));
        out += replacement;
        done = i + 1;
    }
    out.append(text.substr(done));
    return true;
}

std::optional<size_t> SheetDataWriter::WriteRow(lxw_row_t row, const std::vector<std::string>& fields, size_t count)
{
    // Where the row starts, to take it back when a field is refused.
    const size_t rowStart = m_buffer.size();
    const bool any = m_any;
    const lxw_row_t rowMin = m_rowMin;
    const lxw_col_t colMin = m_colMin;
    const lxw_col_t colMax = m_colMax;
    bool opened = false;
    for (size_t c = 0; c < count; ++c) {
        const std::string& text = fields[c];
        if (text.empty())
            continue;
        const auto column = static_cast<lxw_col_t>(c);
        if (!opened) {
            m_buffer += "<row r=\"";
            AppendNumber(m_buffer, row + 1ul);
            m_buffer += "\">";
            opened = true;
            if (!m_any) {
                m_rowMin = row;
                m_colMin = column;
                m_colMax = column;
                m_any = true;
            }
            m_colMin = std::min(m_colMin, column);
        }
        m_colMax = std::max(m_colMax, column);
        m_buffer += "<c r=\"";
        AppendColumnName(m_buffer, column);
        AppendNumber(m_buffer, row + 1ul);
        m_buffer += '"';
        m_buffer += m_style;
        m_buffer += IsSpace(text.front()) || IsSpace(text.back()) ? " t=\"inlineStr\"><is><t xml:space=\"preserve\">"
                                                                   : " t=\"inlineStr\"><is><t>";
        if (!AppendEscaped(m_buffer, text)) {
            m_buffer.resize(rowStart);
            m_any = any;
            m_rowMin = rowMin;
            m_colMin = colMin;
            m_colMax = colMax;
            return c;
        }
        m_buffer += "</t></is></c>";
    }
    if (!opened)
        return std::nullopt;
    m_buffer += "</row>";
    m_rowMax = row;
    if (m_buffer.size() >= kBufferSize)
        Flush();
    return std::nullopt;
}

void SheetDataWriter::Flush()
{
    if (!m_buffer.empty() && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_sheet->optimize_tmpfile) != m_buffer.size())
        throw errno ? errno : EIO;
    m_buffer.clear();
}

void SheetDataWriter::Finish()
{
    Flush();
    if (!m_any)
        return;
    // The library writes the row file into the sheet only when it knows of a used range.
    m_sheet->dim_rowmin = std::min(m_sheet->dim_rowmin, m_rowMin);
    m_sheet->dim_rowmax = std::max(m_sheet->dim_rowmax, m_rowMax);
    m_sheet->dim_colmin = std::min(m_sheet->dim_colmin, m_colMin);
    m_sheet->dim_colmax = std::max(m_sheet->dim_colmax, m_colMax);
}
