// The virtual table behind a results grid: it reads the cells straight from the grid's store,
// only for the cells the grid draws, and shows the rows that the UI thread last learned of.
// Row 0 of the grid's own coordinates (the field names) are the column labels, column 0 (the
// row numbers) the row labels.
#pragma once

#include "querycore/GridSort.h"
#include "querycore/GridStore.h"

#include <wx/grid.h>

#include <memory>

class CResultTable : public wxGridTableBase {
public:
    // Longest cell text shown, in characters; the rest of a longer text is not drawn.
    static constexpr size_t kMaxShownChars = 2000;

    explicit CResultTable(std::shared_ptr<CGridStore> store);

    const std::shared_ptr<CGridStore>& GetStore() const { return m_pStore; }

    // Data rows the grid shows; the grid itself never has fewer than one row.
    size_t GetShownRows() const { return m_nShownRows; }
    // UI thread: shows the rows published so far, at most limit of them, and tells the grid.
    // True when the number of shown rows changed.
    bool SyncRows(size_t limit);

    // The order the grid shows the store's rows in, changed by sorting.
    CGridSort::Order& GetOrder() { return m_order; }
    const CGridSort::Order& GetOrder() const { return m_order; }
    // The store row of a data row of the grid (0-based).
    size_t StoreRow(size_t row) const { return CGridSort::StoreRow(m_order, row); }
    // The cell of a data row of the grid (0-based) as the store keeps it; empty outside.
    std::string_view GetCell(size_t row, size_t col) const;

    // The column (0-based) whose label carries the mark of the last whole-column sort, " >"
    // ascending or " <" descending; -1 for none. The mark is shown, never part of the name.
    int GetSortMarkColumn() const { return m_nSortMarkCol; }
    bool IsSortMarkAscending() const { return m_bSortMarkAscending; }
    void SetSortMark(int col, bool ascending);

    int GetNumberRows() override;
    int GetNumberCols() override;
    wxString GetValue(int row, int col) override;
    void SetValue(int row, int col, const wxString& value) override;
    bool IsEmptyCell(int row, int col) override;
    wxString GetRowLabelValue(int row) override;
    wxString GetColLabelValue(int col) override;

    // The text of a cell as it is drawn: on one line (each line break and tab a blank), at
    // most kMaxShownChars characters, bytes that are not UTF-8 shown as U+FFFD.
    static wxString DisplayText(std::string_view text);
    // The text itself, for copying and saving.
    static wxString FullText(std::string_view text);

private:
    std::shared_ptr<CGridStore> m_pStore;
    size_t m_nShownRows = 0;
    CGridSort::Order m_order;
    int m_nSortMarkCol = -1;
    bool m_bSortMarkAscending = false;
};
