#include "GridCopyText.h"

#include <cstring>

namespace {

bool NeedsQuotes(std::string_view text)
{
    return text.find_first_of("\t\r\n\"") != std::string_view::npos;
}

struct CountingSink {
    size_t size = 0;
    void Put(std::string_view text) { size += text.size(); }
    void PutQuoted(std::string_view text)
    {
        size += text.size() + 2;
        for (char c : text)
            size += c == '"';
    }
};

struct WritingSink {
    char* out;
    void Put(std::string_view text)
    {
        std::memcpy(out, text.data(), text.size());
        out += text.size();
    }
    void PutQuoted(std::string_view text)
    {
        *out++ = '"';
        for (char c : text) {
            if (c == '"')
                *out++ = '"';
            *out++ = c;
        }
        *out++ = '"';
    }
};

} // namespace

CGridCopyText::CGridCopyText(int top, int left, int bottom, int right, std::vector<std::string> names, CellReader cell)
    : m_nTop(top), m_nLeft(left), m_nBottom(bottom), m_nRight(right), m_names(std::move(names)), m_cell(std::move(cell))
{
}

template <class Sink>
void CGridCopyText::Emit(Sink& sink) const
{
    const bool single = m_nTop == m_nBottom && m_nLeft == m_nRight;
    const auto put = [&sink, single](std::string_view text) {
        if (!single && NeedsQuotes(text))
            sink.PutQuoted(text);
        else
            sink.Put(text);
    };
    if (!m_names.empty()) {
        for (size_t i = 0; i < m_names.size(); ++i) {
            if (i)
                sink.Put("\t");
            put(m_names[i]);
        }
        sink.Put("\r\n");
    }
    for (int row = m_nTop; row <= m_nBottom; ++row) {
        if (row > m_nTop)
            sink.Put("\r\n");
        for (int col = m_nLeft; col <= m_nRight; ++col) {
            if (col > m_nLeft)
                sink.Put("\t");
            put(m_cell(row, col));
        }
    }
}

size_t CGridCopyText::Size() const
{
    CountingSink sink;
    Emit(sink);
    return sink.size;
}

void CGridCopyText::Write(char* out) const
{
    WritingSink sink{out};
    Emit(sink);
}

std::string CGridCopyText::Text() const
{
    std::string text(Size(), '\0');
    Write(text.data());
    return text;
}
