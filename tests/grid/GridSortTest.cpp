// Sorting a grid's rows on one column without a window: how each column is classified, the
// order each kind gives (numbers, dates, NULLs, text ignoring case, non-ASCII text), sorts of
// a range of rows, and stability; the number and date readers the keys are built from.
#include "querycore/GridSort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// A one-column store holding the texts, row by row.
std::unique_ptr<CGridStore> ColumnStore(const std::vector<std::string>& texts)
{
    auto store = std::make_unique<CGridStore>(2);
    for (size_t i = 0; i < texts.size(); ++i) {
        store->AppendCell(texts[i]);
        // The second column tells rows with equal keys apart.
        store->AppendCell(std::to_string(i));
        store->EndRow();
    }
    return store;
}

// The texts of column 0 in the order the sort leaves.
std::vector<std::string> Sorted(const CGridStore& store, const CGridSort::Order& order)
{
    const CGridStore::Reader reader(store);
    std::vector<std::string> texts;
    for (size_t i = 0; i < reader.GetRowCount(); ++i)
        texts.emplace_back(reader.GetCell(CGridSort::StoreRow(order, i), 0));
    return texts;
}

std::vector<std::string> Tags(const CGridStore& store, const CGridSort::Order& order)
{
    const CGridStore::Reader reader(store);
    std::vector<std::string> tags;
    for (size_t i = 0; i < reader.GetRowCount(); ++i)
        tags.emplace_back(reader.GetCell(CGridSort::StoreRow(order, i), 1));
    return tags;
}

struct SortCase {
    const char* name;
    GridColumnClass columnClass;
    std::vector<std::string> cells;
    GridSortKind kind;
    std::vector<std::string> ascending;
    // No two keys are equal: descending is ascending reversed.
    bool distinct = true;
};

} // namespace

TEST(GridSort, EachColumnSortsByWhatItHolds)
{
    const SortCase cases[] = {
        {"integers by value, NULL as 0", GridColumnClass::Integer, {"10", "", "-3", "2", "0"}, GridSortKind::Number,
         {"-3", "", "0", "2", "10"}, false},
        {"decimals with fractions and exponents", GridColumnClass::Decimal, {"1.5", "1e+2", "-0.25", "1.25"},
         GridSortKind::Number, {"-0.25", "1.25", "1.5", "1e+2"}},
        {"big integers beyond a double's digits", GridColumnClass::Decimal,
         {"9007199254740993", "9007199254740992", "-9007199254740993", "9007199254740994"}, GridSortKind::Number,
         {"-9007199254740993", "9007199254740992", "9007199254740993", "9007199254740994"}},
        {"numbers as text", GridColumnClass::Text, {"100", "9", "25.5", "", "1,000"}, GridSortKind::Number,
         {"", "1,000", "9", "25.5", "100"}},
        {"numbers with a zero and negatives, as an expression gives them", GridColumnClass::Text,
         {"10", "2", "30", "-1", "0"}, GridSortKind::Number, {"-1", "0", "2", "10", "30"}},
        {"signed numbers with fractions, exponents and blanks", GridColumnClass::Text,
         {"-2.5", " 7 ", "+3", "-1e2", "0.0", ""}, GridSortKind::Number, {"-1e2", "-2.5", "0.0", "", "+3", " 7 "},
         false},
        {"a sign or text after a number makes text", GridColumnClass::Text, {"10", "-", "9", "3 apples"},
         GridSortKind::Text, {"-", "10", "3 apples", "9"}},
        {"dates as text", GridColumnClass::Text, {"2024-03-01", "1999-12-31 23:59:59", "2024-02-29 10:00"},
         GridSortKind::Date, {"1999-12-31 23:59:59", "2024-02-29 10:00", "2024-03-01"}},
        {"date fields with times, fractions and NULL", GridColumnClass::Date,
         {"2024-01-02 10:00:00.5", "2024-01-02 10:00:00.25", "", "1899-12-29", "2024-01-02"}, GridSortKind::Date,
         {"1899-12-29", "", "2024-01-02", "2024-01-02 10:00:00.25", "2024-01-02 10:00:00.5"}},
        {"US dates and times of day", GridColumnClass::Text, {"12/31/2023", "01/15/2024", "06/01/2023 08:30"},
         GridSortKind::Date, {"06/01/2023 08:30", "12/31/2023", "01/15/2024"}},
        {"mixed text ignoring case", GridColumnClass::Text, {"beta", "Alpha", "2024-01-01", "10", "alpha"},
         GridSortKind::Text, {"10", "2024-01-01", "Alpha", "alpha", "beta"}, false},
        {"non-ASCII text ignoring case", GridColumnClass::Text, {"émile", "Zoë", "Éa", "ZOË", "zoe"},
         GridSortKind::Text, {"zoe", "Zoë", "ZOË", "Éa", "émile"}, false},
        {"long texts equal in their first bytes", GridColumnClass::Text,
         {"row \"1000002\", x", "ROW \"1000001\", x", "row \"100000\", x"}, GridSortKind::Text,
         {"row \"100000\", x", "ROW \"1000001\", x", "row \"1000002\", x"}},
    };
    for (const SortCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto store = ColumnStore(c.cells);
        const CGridStore::Reader reader(*store);
        CGridSort::Order order;
        const GridSortKind kind =
            CGridSort::Classify(reader, order, c.columnClass, 0, 0, c.cells.size() - 1);
        EXPECT_EQ(kind, c.kind);
        CGridSort::Sort(reader, order, 0, kind, true, 0, c.cells.size() - 1);
        EXPECT_EQ(Sorted(*store, order), c.ascending);
        CGridSort::Sort(reader, order, 0, kind, false, 0, c.cells.size() - 1);
        const std::vector<std::string> descending = Sorted(*store, order);
        if (c.distinct) {
            EXPECT_EQ(std::vector<std::string>(descending.rbegin(), descending.rend()), c.ascending);
        }
    }
}

TEST(GridSort, EqualKeysKeepTheirOrderBothWays)
{
    // Three groups; the second column numbers the rows as they came.
    const auto store = ColumnStore({"b", "A", "a", "B", "", "a", "0", "b"});
    const CGridStore::Reader reader(*store);
    CGridSort::Order order;
    CGridSort::Sort(reader, order, 0, GridSortKind::Text, true, 0, 7);
    EXPECT_EQ(Tags(*store, order), (std::vector<std::string>{"4", "6", "1", "2", "5", "0", "3", "7"}));
    CGridSort::Order fresh;
    CGridSort::Sort(reader, fresh, 0, GridSortKind::Text, false, 0, 7);
    EXPECT_EQ(Tags(*store, fresh), (std::vector<std::string>{"0", "3", "7", "1", "2", "5", "6", "4"}));

    // Unreadable dates all count as day 0 and stay together in their order.
    const auto dates = ColumnStore({"2001-01-01", "soon", "1899-12-30", "later", "1899-12-29"});
    const CGridStore::Reader dateReader(*dates);
    CGridSort::Order dateOrder;
    CGridSort::Sort(dateReader, dateOrder, 0, GridSortKind::Date, true, 0, 4);
    EXPECT_EQ(Sorted(*dates, dateOrder),
              (std::vector<std::string>{"1899-12-29", "soon", "1899-12-30", "later", "2001-01-01"}));
}

TEST(GridSort, ASelectionSortsOnlyItsRowsAndKeysOnTheirCells)
{
    const auto store = ColumnStore({"5", "4", "3", "2", "1", "0"});
    const CGridStore::Reader reader(*store);
    CGridSort::Order order;
    // Rows 2..4 (0-based 1..3) of the grid's current order.
    EXPECT_EQ(CGridSort::Classify(reader, order, GridColumnClass::Text, 0, 1, 3), GridSortKind::Number)
        << "the zero outside the selection does not count";
    CGridSort::Sort(reader, order, 0, GridSortKind::Number, true, 1, 3);
    EXPECT_EQ(Sorted(*store, order), (std::vector<std::string>{"5", "2", "3", "4", "1", "0"}));
    // A later sort of another range works on the order the first left.
    CGridSort::Sort(reader, order, 0, GridSortKind::Number, false, 0, 2);
    EXPECT_EQ(Sorted(*store, order), (std::vector<std::string>{"5", "3", "2", "4", "1", "0"}));
}

TEST(GridSortTexts, NumericTextAndLeadingNumbers)
{
    const struct {
        const char* text;
        bool numeric;
        bool number;
        double leading;
    } cases[] = {
        {"", true, false, 0},          {"12", true, true, 12},        {"-5", false, true, -5},
        {"1e5", false, true, 1e5},     {"1e+5", true, true, 1e5},     {"1,2.3", true, false, 1},
        {"1.2.3", true, false, 1.2},   {" 7", false, true, 7},        {"3.5abc", false, false, 3.5},
        {"abc", false, false, 0},      {"0.00", true, true, 0},       {"+2.5e-1x", false, false, 0.25},
        {"inf", false, false, 0},      {"0x1A", false, false, 0},     {".5", true, true, 0.5},
        {"1e", false, false, 1},       {"-", false, false, 0},        {"- 1", false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(gridsort::IsNumericText(c.text), c.numeric);
        EXPECT_EQ(gridsort::IsNumberText(c.text), c.number);
        EXPECT_DOUBLE_EQ(gridsort::LeadingNumber(c.text), c.leading);
    }
    EXPECT_EQ(gridsort::CompareDecimalTexts("-0.10", "-0.1"), 0);
    EXPECT_EQ(gridsort::CompareDecimalTexts("0", "-0"), 0);
    EXPECT_LT(gridsort::CompareDecimalTexts("-12345678901234567890", "-12345678901234567889"), 0);
    EXPECT_GT(gridsort::CompareDecimalTexts("100000000000000000001", "99999999999999999999"), 0);
}

TEST(GridSortTexts, DatesAreReadOnOneContinuousScale)
{
    const struct {
        const char* text;
        bool ok;
        double seconds;
    } cases[] = {
        {"1899-12-30", true, 0},
        {"1899-12-31 06:00", true, 86400 + 21600},
        {"1899-12-29 18:00:00", true, -86400 + 64800},
        {"12:30:15", true, 45015},
        {"2024-02-29T01:02:03", true, (45351.0) * 86400 + 3723},
        {"02/29/2024", true, 45351.0 * 86400},
        {"2023-02-29", false, 0},
        {"2024-13-01", false, 0},
        {"2024-01-01 25:00", false, 0},
        {"2024-01-01x", false, 0},
        {"20240101", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double seconds = -1;
        EXPECT_EQ(gridsort::ParseDateText(c.text, seconds), c.ok);
        if (c.ok) {
            EXPECT_DOUBLE_EQ(seconds, c.seconds);
        }
    }
    const gridsort::DateKey key = gridsort::DateKeyOf("2024-01-02 10:00:00.125");
    EXPECT_DOUBLE_EQ(key.fraction, 0.125);
    EXPECT_EQ(gridsort::DateKeyOf("no date.5").seconds, 0);
    EXPECT_EQ(gridsort::DateKeyOf("no date.5").fraction, 0) << "an unreadable date has no fraction either";
}
