#include "ResultTable.h"

#include "querycore/Utf8.h"

#include <algorithm>

namespace {

// Decodes UTF-8 leniently: a malformed sequence becomes U+FFFD instead of emptying the text.
wxString Decode(std::string_view text)
{
    if (text.empty())
        return wxString();
    wxString decoded = wxString::FromUTF8(text.data(), text.size());
    if (!decoded.empty())
        return decoded;
    std::string valid;
    valid.reserve(text.size() + 8);
    for (size_t pos = 0; pos < text.size();)
        utf8::Append(valid, utf8::Next(text, pos));
    return wxString::FromUTF8(valid.data(), valid.size());
}

} // namespace

CResultTable::CResultTable(std::shared_ptr<CGridStore> store) : m_pStore(std::move(store)) {}

bool CResultTable::SyncRows(size_t limit)
{
    const size_t rows = std::min(m_pStore->GetRowCount(), limit);
    if (rows == m_nShownRows)
        return false;
    const int before = GetNumberRows();
    m_nShownRows = rows;
    const int after = GetNumberRows();
    if (wxGrid* grid = GetView()) {
        if (after > before) {
            wxGridTableMessage message(this, wxGRIDTABLE_NOTIFY_ROWS_APPENDED, after - before);
            grid->ProcessTableMessage(message);
        } else if (after < before) {
            wxGridTableMessage message(this, wxGRIDTABLE_NOTIFY_ROWS_DELETED, after, before - after);
            grid->ProcessTableMessage(message);
        }
    }
    return true;
}

std::string_view CResultTable::GetCell(size_t row, size_t col) const
{
    if (row >= m_nShownRows)
        return {};
    return m_pStore->GetCell(StoreRow(row), col);
}

void CResultTable::SetSortMark(int col, bool ascending)
{
    m_nSortMarkCol = col;
    m_bSortMarkAscending = ascending;
}

int CResultTable::GetNumberRows()
{
    return static_cast<int>(std::max<size_t>(m_nShownRows, 1));
}

int CResultTable::GetNumberCols()
{
    return static_cast<int>(m_pStore->GetColumnCount());
}

wxString CResultTable::GetValue(int row, int col)
{
    if (row < 0 || static_cast<size_t>(row) >= m_nShownRows || col < 0)
        return wxString();
    return DisplayText(GetCell(static_cast<size_t>(row), static_cast<size_t>(col)));
}

void CResultTable::SetValue(int, int, const wxString&)
{
    // Results are read-only.
}

bool CResultTable::IsEmptyCell(int row, int col)
{
    if (row < 0 || static_cast<size_t>(row) >= m_nShownRows || col < 0)
        return true;
    return GetCell(static_cast<size_t>(row), static_cast<size_t>(col)).empty();
}

wxString CResultTable::GetRowLabelValue(int row)
{
    if (m_pStore->m_nHasRows.load(std::memory_order_relaxed) == 0)
        return row == 0 ? wxString("0") : wxString();
    // A row keeps its number when a sort moves it, as its other cells do.
    if (row >= 0 && static_cast<size_t>(row) < m_nShownRows)
        return wxString::Format("%zu", StoreRow(static_cast<size_t>(row)) + 1);
    return wxString();
}

wxString CResultTable::GetColLabelValue(int col)
{
    if (col < 0)
        return wxString();
    const wxString name = Decode(m_pStore->GetColumnName(static_cast<size_t>(col)));
    if (col != m_nSortMarkCol)
        return name;
    return name + (m_bSortMarkAscending ? " >" : " <");
}

wxString CResultTable::DisplayText(std::string_view text)
{
    // Cut at a character boundary once the text is certainly longer than what is shown.
    size_t end = text.size();
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == kMaxShownChars) {
            end = i;
            break;
        }
    }
    std::string_view shown = text.substr(0, end);
    if (shown.find_first_of("\r\n\t") == std::string_view::npos)
        return Decode(shown);
    std::string line;
    line.reserve(shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        const char c = shown[i];
        if (c == '\r' && i + 1 < shown.size() && shown[i + 1] == '\n')
            continue; // CR LF is one break
        line += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
    }
    return Decode(line);
}

wxString CResultTable::FullText(std::string_view text)
{
    return Decode(text);
}
