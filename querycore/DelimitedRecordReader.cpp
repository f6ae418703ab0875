#include "DelimitedRecordReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

std::string& Field(std::vector<std::string>& fields, size_t index)
{
    if (index == fields.size())
        fields.emplace_back();
    fields[index].clear();
    return fields[index];
}

// The line end of the file's last line, which is no part of its last field.
void TrimLineEnd(std::string& field)
{
    if (!field.empty() && field.back() == '\n')
        field.pop_back();
    if (!field.empty() && field.back() == '\r')
        field.pop_back();
}

} // namespace

DelimitedRecordReader::DelimitedRecordReader(std::FILE* file, std::string delimiter, const std::atomic<int>* stop,
                                             size_t blockSize)
    : m_file(file), m_delimiter(std::move(delimiter)), m_stop(stop), m_block(std::max<size_t>(blockSize, 1))
{
    m_stops[static_cast<unsigned char>('\n')] = true;
    if (!m_delimiter.empty())
        m_stops[static_cast<unsigned char>(m_delimiter.front())] = true;
}

bool DelimitedRecordReader::Refill()
{
    if (m_stop && m_stop->load(std::memory_order_relaxed)) {
        m_stopped = true;
        return false;
    }
    if (m_atEnd)
        return false;
    const size_t kept = m_end - m_pos;
    std::memmove(m_block.data(), m_block.data() + m_pos, kept);
    m_pos = 0;
    m_end = kept;
    if (m_end == m_block.size())
        m_block.resize(m_block.size() * 2);
    const size_t got = std::fread(m_block.data() + m_end, 1, m_block.size() - m_end, m_file);
    if (got == 0) {
        if (std::ferror(m_file))
            throw errno ? errno : EIO;
        m_atEnd = true;
        return false;
    }
    m_end += got;
    return true;
}

bool DelimitedRecordReader::ReadPlain(std::string& field)
{
    for (;;) {
        const std::string_view rest = Pending();
        for (size_t i = 0; i < rest.size(); ++i) {
            if (!m_stops[static_cast<unsigned char>(rest[i])])
                continue;
            if (rest[i] == '\n') {
                // CR LF ends a line too.
                field.append(rest.substr(0, i > 0 && rest[i - 1] == '\r' ? i - 1 : i));
                m_pos += i + 1;
                return true;
            }
            if (rest.size() - i < m_delimiter.size() && !m_atEnd)
                break; // may be a delimiter that the next block completes
            if (rest.compare(i, m_delimiter.size(), m_delimiter) == 0) {
                field.append(rest.substr(0, i));
                m_pos += i + m_delimiter.size();
                return false;
            }
        }
        if (m_atEnd) {
            // The file's last line, without a line end.
            std::string_view last = rest;
            if (!last.empty() && last.back() == '\r')
                last.remove_suffix(1);
            field.append(last);
            m_pos = m_end;
            return true;
        }
        // Keep back what may start a delimiter or be the CR of a CR LF.
        const size_t keep = std::min(rest.size(), std::max<size_t>(m_delimiter.size(), 2) - 1);
        field.append(rest.substr(0, rest.size() - keep));
        m_pos += rest.size() - keep;
        if (!Refill() && m_stopped)
            return true; // the caller drops the record
    }
}

bool DelimitedRecordReader::ReadQuoted(std::string& field)
{
    for (;;) {
        const std::string_view rest = Pending();
        const size_t quote = rest.find('"');
        if (quote == std::string_view::npos) {
            field.append(rest);
            m_pos = m_end;
            if (!Refill())
                return false;
            continue;
        }
        field.append(rest.substr(0, quote));
        m_pos += quote;
        if (quote + 1 == rest.size() && !Refill()) {
            if (m_stopped)
                return false;
            ++m_pos; // a closing quote that ends the file
            return true;
        }
        if (m_block[m_pos + 1] == '"') {
            field += '"';
            m_pos += 2;
            continue;
        }
        ++m_pos;
        return true;
    }
}

bool DelimitedRecordReader::Next(std::vector<std::string>& fields, size_t& count)
{
    count = 0;
    if (!Available())
        return false;
    for (;;) {
        std::string& field = Field(fields, count++);
        if (!m_delimiter.empty() && Available() && m_block[m_pos] == '"') {
            ++m_pos;
            if (!ReadQuoted(field)) {
                // A quote still open at the end of the file ends there.
                TrimLineEnd(field);
                return !m_stopped;
            }
        }
        if (m_stopped)
            return false;
        if (ReadPlain(field))
            return !m_stopped;
    }
}
