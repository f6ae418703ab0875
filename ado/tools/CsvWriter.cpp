#include "CsvWriter.h"

void CsvWriter::Separate()
{
    if (m_rowStarted)
        m_buffer.push_back(',');
    m_rowStarted = true;
}

void CsvWriter::Text(std::string_view value)
{
    Separate();
    if (!value.empty() && value.find_first_of(",\"\r\n") == std::string_view::npos) {
        m_buffer.append(value);
        return;
    }
    m_buffer.push_back('"');
    for (char c : value) {
        if (c == '"')
            m_buffer.push_back('"');
        m_buffer.push_back(c);
    }
    m_buffer.push_back('"');
}

void CsvWriter::Bytes(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789abcdef";
    Separate();
    m_buffer += "0x";
    for (unsigned char b : bytes) {
        m_buffer.push_back(kHex[b >> 4]);
        m_buffer.push_back(kHex[b & 0xF]);
    }
}

void CsvWriter::EndRow()
{
    m_buffer.push_back('\n');
    m_rowStarted = false;
    if (m_buffer.size() >= kFlushSize)
        Flush();
}

void CsvWriter::Flush()
{
    if (!m_buffer.empty())
        std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_out);
    m_buffer.clear();
    std::fflush(m_out);
}
