// The delimited-record reader (the workbook step's) on any bytes and on what the delimited
// writer makes of fields taken from the input. The first byte chooses a delimiter of one to
// three bytes from the next ones (without a quote or a line end, which the export does not
// use) and a block size; the rest is records split at byte 2 and fields at byte 1. Checked: the
// reader gives back exactly the records and fields the writer wrote, and on the raw input it
// reads the same records whatever the block size.
#include "FuzzCheck.h"

#include "querycore/DelimitedRecordReader.h"
#include "querycore/DelimitedTextWriter.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Records = std::vector<std::vector<std::string>>;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

Records ReadAll(std::string_view bytes, const std::string& delimiter, size_t blockSize)
{
    Records records;
    // fmemopen refuses an empty buffer: a file of no bytes has no records.
    if (bytes.empty())
        return records;
    const std::unique_ptr<std::FILE, FileCloser> file(
        fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb"));
    DelimitedRecordReader reader(file.get(), delimiter, nullptr, blockSize);
    std::vector<std::string> fields;
    size_t count = 0;
    while (reader.Next(fields, count))
        records.emplace_back(fields.begin(), fields.begin() + static_cast<ptrdiff_t>(count));
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty())
        return 0;
    const size_t length = 1 + (static_cast<unsigned char>(input[0]) & 3) % 3;
    const size_t blockSize = 1 + (static_cast<unsigned char>(input[0]) >> 2);
    if (input.size() < 1 + length)
        return 0;
    std::string delimiter(input.substr(1, length));
    const std::string_view rest = input.substr(1 + length);

    // Any bytes, any delimiter: the block size makes no difference.
    fuzz::Check(ReadAll(rest, delimiter, blockSize) == ReadAll(rest, delimiter, 4096),
                "the records do not depend on the block size", input);

    if (delimiter.find_first_of(std::string_view("\"\r\n", 3)) != std::string::npos)
        return 0;
    Records written;
    std::string text;
    const DelimitedTextWriter writer(delimiter, false);
    for (const std::string& record : fuzz::Split(rest, '\x02')) {
        written.push_back(fuzz::Split(record, '\x01'));
        for (size_t i = 0; i < written.back().size(); ++i)
            writer.AppendValue(text, written.back()[i], i == 0);
        DelimitedTextWriter::EndLine(text);
    }
    fuzz::Check(ReadAll(text, delimiter, blockSize) == written, "the reader gives back the fields written", input);
    return 0;
}
