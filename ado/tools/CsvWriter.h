// Writes result rows as CSV (RFC 4180): fields with a comma, quote or line break are quoted
// with the quote doubled; an empty text is written as "" so that it differs from NULL, which
// is written as nothing. Output is buffered and written in large pieces.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

class CsvWriter {
public:
    explicit CsvWriter(std::FILE* out) : m_out(out) { m_buffer.reserve(kFlushSize + 4096); }
    ~CsvWriter() { Flush(); }
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    void Text(std::string_view value);
    void Null() { Separate(); }
    // Binary values as 0x followed by hex digits.
    void Bytes(std::string_view bytes);
    void EndRow();
    void Flush();

private:
    static constexpr size_t kFlushSize = 1 << 16;
    void Separate();

    std::FILE* m_out;
    std::string m_buffer;
    bool m_rowStarted = false;
};
