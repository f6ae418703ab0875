#include "CsvWriter.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

std::string Written(void (*write)(CsvWriter&))
{
    char* data = nullptr;
    size_t size = 0;
    std::FILE* f = open_memstream(&data, &size);
    {
        CsvWriter csv(f);
        write(csv);
    }
    std::fclose(f);
    std::string out(data, size);
    std::free(data);
    return out;
}

} // namespace

TEST(CsvWriter, QuotesOnlyWhatNeedsQuotingAndTellsEmptyFromNull)
{
    std::string out = Written([](CsvWriter& csv) {
        csv.Text("plain");
        csv.Text("with, comma");
        csv.Text("say \"hi\"");
        csv.Text("two\nlines");
        csv.Text("cr\r");
        csv.Text("");
        csv.Null();
        csv.Bytes(std::string("\x00\xff\x10", 3));
        csv.EndRow();
        csv.Null();
        csv.EndRow();
    });
    EXPECT_EQ(out, "plain,\"with, comma\",\"say \"\"hi\"\"\",\"two\nlines\",\"cr\r\",\"\",,0x00ff10\n\n");
}
