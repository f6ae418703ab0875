#include "DelimitedTextWriter.h"

#include "FieldValueText.h"
#include "ReplacingFile.h"
#include "Utf8.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
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

namespace {

// Rows on their way from the fetching thread to the writing one: the cells' texts one after
// another and the length of each, row after row.
struct CellChunk {
    std::string bytes;
    std::vector<uint32_t> lengths;
    bool Full() const { return bytes.size() >= kChunk || lengths.size() >= 64 * 1024; }
};

// A fixed set of chunks going round between the two threads, so that memory stays bounded
// whatever the row count: the fetching side fills an empty chunk while the writing side
// formats a full one.
class ChunkPipe {
public:
    explicit ChunkPipe(size_t chunks) : m_store(chunks)
    {
        for (CellChunk& c : m_store)
            m_empty.push_back(&c);
    }

    // Fetching side. Null once the writing side failed.
    CellChunk* TakeEmpty()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_empty.empty() || m_error; });
        if (m_error)
            return nullptr;
        CellChunk* c = m_empty.front();
        m_empty.pop_front();
        c->bytes.clear();
        c->lengths.clear();
        return c;
    }
    void PutFull(CellChunk* c)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_full.push_back(c);
        m_changed.notify_all();
    }
    // No more rows come.
    void Close()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }
    std::exception_ptr Error()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_error;
    }

    // Writing side: null once closed and drained.
    CellChunk* TakeFull()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_full.empty() || m_closed; });
        if (m_full.empty())
            return nullptr;
        CellChunk* c = m_full.front();
        m_full.pop_front();
        return c;
    }
    void PutEmpty(CellChunk* c)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_empty.push_back(c);
        m_changed.notify_all();
    }
    void Fail(std::exception_ptr error)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_error = std::move(error);
        m_changed.notify_all();
    }

private:
    std::vector<CellChunk> m_store;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<CellChunk*> m_empty;
    std::deque<CellChunk*> m_full;
    bool m_closed = false;
    std::exception_ptr m_error;
};

// The writing thread's work: the header line, then the rows of every chunk as lines, into the
// file in large pieces.
void WriteChunks(ChunkPipe& pipe, ReplacingFile& file, const DelimitedTextWriter& writer,
                 const std::vector<std::string>& names, size_t count)
{
    try {
        std::string out;
        out.reserve(kChunk + 64 * 1024);
        for (size_t i = 0; i < names.size(); ++i)
            writer.AppendName(out, names[i], i == 0);
        if (!names.empty())
            DelimitedTextWriter::EndLine(out);
        while (CellChunk* chunk = pipe.TakeFull()) {
            const char* at = chunk->bytes.data();
            for (size_t cell = 0; cell < chunk->lengths.size(); ++cell) {
                const size_t column = cell % count;
                const uint32_t length = chunk->lengths[cell];
                writer.AppendValue(out, std::string_view(at, length), column == 0);
                at += length;
                if (column + 1 == count) {
                    DelimitedTextWriter::EndLine(out);
                    if (out.size() >= kChunk) {
                        file.Write(out);
                        out.clear();
                    }
                }
            }
            pipe.PutEmpty(chunk);
        }
        file.Write(out);
    } catch (...) {
        pipe.Fail(std::current_exception());
    }
}

} // namespace

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
    std::vector<std::string> names;
    items.reserve(static_cast<size_t>(count));
    for (long i = 0; i < count; ++i) {
        items.push_back(fields->GetItem(i));
        reads.push_back(ReadOf(items.back()->GetType()));
        names.push_back(items.back()->GetName());
    }
    if (stopped())
        return false;

    // Fetching (this thread, where the driver is) and formatting and writing (a thread of its
    // own) overlap; the rows pass between them in a few chunks of bounded size.
    const DelimitedTextWriter writer(delimiter, DelimitedTextWriter::UsesPlaceholders(delimiter, exportToExcel));
    ChunkPipe pipe(3);
    std::thread writing(WriteChunks, std::ref(pipe), std::ref(file), std::cref(writer), std::cref(names),
                        static_cast<size_t>(count));
    const auto finishWriting = [&] {
        if (writing.joinable()) {
            pipe.Close();
            writing.join();
        }
    };
    try {
        if (count > 0 && !recordset.IsBOF()) {
            CellChunk* chunk = pipe.TakeEmpty();
            std::string text;
            while (chunk && !stopped() && !recordset.IsEOF()) {
                for (long i = 0; i < count; ++i) {
                    const size_t before = chunk->bytes.size();
                    if (reads[i] == CellRead::Text) {
                        recordset.AppendCellText(i, chunk->bytes);
                    } else {
                        text.clear();
                        FieldValueText(*items[i], text);
                        chunk->bytes += text;
                    }
                    chunk->lengths.push_back(static_cast<uint32_t>(chunk->bytes.size() - before));
                }
                if (chunk->Full()) {
                    pipe.PutFull(chunk);
                    chunk = pipe.TakeEmpty();
                }
                recordset.MoveNext();
            }
            if (chunk)
                pipe.PutFull(chunk);
        }
    } catch (...) {
        finishWriting();
        throw;
    }
    finishWriting();
    if (const std::exception_ptr error = pipe.Error())
        std::rethrow_exception(error);
    if (stopped())
        return false;
    file.Commit();
    return true;
}
