// Records of a delimited text file as the delimited export writes them, one at a time: fields
// split at the exact delimiter (every byte of it), a field that starts with a double quote read
// up to its closing quote with doubled inner quotes as one, line ends CR LF or LF. A record is a
// line, or several when a quoted field holds a line break; the quoted field keeps those line
// ends. Text after a closing quote up to the next delimiter belongs to the field as it stands; a
// quote that is still open at the end of the file ends there. With an empty delimiter a line is
// one field and quotes are text.
//
// The file is read in large blocks and each byte looked at once, so a record of millions of
// lines costs no more than as many records of one line. A stop flag is looked at before every
// block, also inside a record.
//
// Thread: one reader per file, used by one thread. Errors: a failed read throws errno (int).
#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

class DelimitedRecordReader {
public:
    // file: open for reading, positioned at the first record; stop: when it becomes non-zero,
    // Next returns false at the next block; blockSize: the bytes read at a time.
    DelimitedRecordReader(std::FILE* file, std::string delimiter, const std::atomic<int>* stop = nullptr,
                          size_t blockSize = size_t(1) << 20);

    // The next record's fields into the first count of fields (strings there are reused); false
    // at the end of the file or when stop was seen (Stopped tells which).
    bool Next(std::vector<std::string>& fields, size_t& count);

    bool Stopped() const { return m_stopped; }

private:
    // The bytes not yet looked at.
    std::string_view Pending() const { return {m_block.data() + m_pos, m_end - m_pos}; }
    // Reads more, keeping the pending bytes; false at the end of the file or when stopped.
    bool Refill();
    // True when a byte is pending, reading more when needed.
    bool Available() { return m_pos < m_end || Refill(); }
    // Unquoted text of the field up to the delimiter or the line end; true when the line (the
    // record) ends there.
    bool ReadPlain(std::string& field);
    // A quoted field's text after its opening quote, up to and past the closing quote; false
    // when the file ends (or the read stops) first.
    bool ReadQuoted(std::string& field);

    std::FILE* m_file;
    std::string m_delimiter;
    const std::atomic<int>* m_stop;
    // The bytes at which unquoted text may end: the line feed and the delimiter's first byte.
    bool m_stops[256] = {};
    std::vector<char> m_block;
    size_t m_pos = 0;
    size_t m_end = 0;
    bool m_atEnd = false;
    bool m_stopped = false;
};
