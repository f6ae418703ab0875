#include "querycore/GridStore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string CellText(size_t row, size_t col)
{
    // Lengths vary from empty to a few hundred bytes, with bytes of every value.
    std::string text((row * 7 + col * 13) % 300, '\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>((row + col + i) % 256);
    return text;
}

} // namespace

TEST(GridStore, RowsReadBackAsWritten)
{
    CGridStore store(3);
    store.SetColumnName(0, "id");
    store.SetColumnName(2, "naïve");
    EXPECT_EQ(store.GetColumnName(0), "id");
    EXPECT_EQ(store.GetColumnName(1), "");
    EXPECT_EQ(store.GetColumnName(2), "naïve");
    EXPECT_EQ(store.GetColumnName(3), "") << "past the last column";

    const size_t rows = 5000;
    for (size_t r = 0; r < rows; ++r) {
        for (size_t c = 0; c < 3; ++c)
            store.AppendCell(CellText(r, c));
        store.EndRow();
    }
    ASSERT_EQ(store.GetRowCount(), rows);
    for (size_t r = 0; r < rows; ++r) {
        for (size_t c = 0; c < 3; ++c)
            ASSERT_EQ(store.GetCell(r, c), CellText(r, c)) << r << "," << c;
    }
    EXPECT_EQ(store.GetCell(rows, 0), "") << "an unwritten row";
    EXPECT_EQ(store.GetCell(0, 3), "") << "a column past the last";
}

TEST(GridStore, ShortRowsArePaddedAndExtraCellsDropped)
{
    CGridStore store(3);
    store.AppendCell("a");
    store.EndRow();
    store.EndRow();
    for (const char* text : {"1", "2", "3", "4"})
        store.AppendCell(text);
    store.EndRow();
    ASSERT_EQ(store.GetRowCount(), 3u);
    EXPECT_EQ(store.GetCell(0, 0), "a");
    EXPECT_EQ(store.GetCell(0, 1), "");
    EXPECT_EQ(store.GetCell(0, 2), "");
    EXPECT_EQ(store.GetCell(1, 0), "");
    EXPECT_EQ(store.GetCell(2, 2), "3");
}

TEST(GridStore, CellsLargerThanAPageKeepTheirNeighbours)
{
    CGridStore store(2);
    const std::string huge(3 * 1024 * 1024 + 17, 'x');
    store.AppendCell("before");
    store.AppendCell("b");
    store.EndRow();
    store.AppendCell(std::string(200 * 1024, 'y')); // crosses the end of the first page
    store.AppendCell(huge);
    store.EndRow();
    store.AppendCell("after");
    store.EndRow();
    EXPECT_EQ(store.GetCell(0, 0), "before");
    EXPECT_EQ(store.GetCell(1, 0), std::string(200 * 1024, 'y'));
    EXPECT_EQ(store.GetCell(1, 1), huge);
    EXPECT_EQ(store.GetCell(2, 0), "after");
    EXPECT_EQ(store.GetCell(2, 1), "");
}

TEST(GridStore, MemoryStaysCloseToTheText)
{
    CGridStore store(5);
    size_t textBytes = 0;
    for (size_t r = 0; r < 200000; ++r) {
        for (size_t c = 0; c < 5; ++c) {
            const std::string text = std::to_string(r * 31 + c) + "-value";
            textBytes += text.size();
            store.AppendCell(text);
        }
        store.EndRow();
    }
    // One length byte per cell and one index entry per row on top of the text.
    const double perRowOverhead = (static_cast<double>(store.GetMemoryUsage()) - textBytes) / 200000;
    EXPECT_LT(perRowOverhead, 5 + 8 + 4) << store.GetMemoryUsage() << " bytes for " << textBytes;
}

TEST(GridStore, ReaderSeesOnlyWholeRowsWhileTheWriterAppends)
{
    CGridStore store(4);
    std::atomic<bool> done{false};
    const size_t rows = 100000;
    std::thread writer([&] {
        for (size_t r = 0; r < rows; ++r) {
            for (size_t c = 0; c < 4; ++c)
                store.AppendCell(CellText(r, c));
            store.EndRow();
            if (r % 1000 == 0)
                store.ReserveRows(r + 2000);
        }
        done = true;
    });
    size_t checked = 0;
    while (!done || checked < store.GetRowCount()) {
        const size_t published = store.GetRowCount();
        for (; checked < published; ++checked) {
            for (size_t c = 0; c < 4; ++c)
                ASSERT_EQ(store.GetCell(checked, c), CellText(checked, c)) << checked;
        }
    }
    writer.join();
    EXPECT_EQ(checked, rows);
}

TEST(GridStore, WidthsAndTypeClassesAreKeptForTheWindow)
{
    CGridStore store(3);
    const unsigned before = store.GetColumnWidthsGeneration();
    store.SetColumnWidths({20, 30, 40, 50});
    unsigned generation = 0;
    EXPECT_EQ(store.GetColumnWidths(&generation), (std::vector<int>{20, 30, 40, 50}));
    EXPECT_NE(generation, before);
    store.SetTypeClasses({1}, {2, 3}, {});
    EXPECT_EQ(store.GetIntegerColumns(), std::vector<int>{1});
    EXPECT_EQ(store.GetDecimalColumns(), (std::vector<int>{2, 3}));
    EXPECT_TRUE(store.GetDateColumns().empty());
}
