// Sorting the rows of a results grid on one key column, decided without a window. The grid's
// rows are never moved or rewritten: a sort reorders a permutation of the store's rows (the
// order the grid shows them in), over the whole grid or over a range of it.
//
// How the key column compares follows its field type and what its cells hold:
//   - integer and other numeric fields: by number (the leading number of each text);
//   - date fields: by date and time;
//   - text fields: by number when every non-empty cell is a number (IsNumericText or
//     IsNumberText), else by date when every non-empty cell is a date, else as text ignoring
//     case.
// An empty cell (NULL) counts as 0 for numbers and as day 0 for dates; a date text that cannot
// be read counts as day 0 too. Equal keys keep their order (the sort is stable both ways).
//
// Thread contract: none of it is tied to a thread; the store may be appended to meanwhile
// (only the rows published before the sort takes part).
#pragma once

#include "GridStore.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Texts as the key tests read them.
namespace gridsort {

// Digits, full stops and commas in any number, and "e+" or "e-" (either case) before more
// text; no sign, blank or bare exponent. The empty text is numeric.
bool IsNumericText(std::string_view text);

// The whole text, blanks around it aside, is one number as LeadingNumber reads it ("-1",
// "0", " 2.5e-3 "); the empty text is not.
bool IsNumberText(std::string_view text);

// The number a text begins with: blanks skipped, an optional sign, digits with an optional
// decimal point and an optional exponent; 0 when the text begins with none. Independent of
// the locale.
double LeadingNumber(std::string_view text);

// A date and time of day read from a text: "YYYY-MM-DD", "MM/DD/YYYY" (either optionally
// followed by a blank or "T" and a time) or a time alone "HH:MM[:SS]" (on day 0, 1899-12-30).
// The text ends there, blanks aside. seconds: since 1899-12-30 00:00:00, negative before it.
bool ParseDateText(std::string_view text, double& seconds);

// The two sort keys of a date text: its part before the first full stop read as a date (in
// seconds; 0 when it cannot be read) and the leading number of the rest (0 without a stop).
struct DateKey {
    double seconds = 0;
    double fraction = 0;
};
DateKey DateKeyOf(std::string_view text);

// Compares two numbers written as decimal texts exactly (their leading numbers), so that
// numbers longer than a double holds still order correctly; <0, 0, >0.
int CompareDecimalTexts(std::string_view a, std::string_view b);

} // namespace gridsort

enum class GridSortKind { Number, Date, Text };

// The field type class of a grid column, from the store's type lists.
enum class GridColumnClass { Integer, Decimal, Date, Text };

GridColumnClass GetGridColumnClass(const CGridStore& store, int gridColumn);

class CGridSort {
public:
    // The store's rows in the grid's order: row i of the grid (0-based, data rows) shows store
    // row order[i]. Rows beyond the order show themselves.
    using Order = std::vector<uint32_t>;

    // How a column sorts, from its class and the cells of the data rows first..last (0-based,
    // in the grid's order, both included).
    static GridSortKind Classify(const CGridStore::Reader& reader, const Order& order, GridColumnClass columnClass,
                                 size_t column, size_t first, size_t last);

    // Sorts the grid rows first..last (0-based, both included) of order on the store column.
    // order is filled up to the reader's rows first when shorter. Throws std::bad_alloc.
    static void Sort(const CGridStore::Reader& reader, Order& order, size_t column, GridSortKind kind, bool ascending,
                     size_t first, size_t last);

    // The store row that grid row i shows.
    static size_t StoreRow(const Order& order, size_t row) { return row < order.size() ? order[row] : row; }
};
