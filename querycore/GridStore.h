// The cells of one results grid: its field names and the rows of text that the grid worker
// appends while the window already shows them. One writer thread appends; any thread reads the
// rows published so far. A row is kept as length-prefixed cell texts in large pages with one
// index entry per row, so a million rows cost little more than their text, no cell is an object
// of its own, and nothing already written ever moves.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class CGridStore {
    struct RowRef {
        uint32_t page;
        uint32_t offset;
    };

public:
    // columns: the number of fields (the grid shows one more, the row numbers).
    explicit CGridStore(size_t columns);
    CGridStore(const CGridStore&) = delete;
    CGridStore& operator=(const CGridStore&) = delete;

    size_t GetColumnCount() const { return m_nColumns; }

    // Field names, written by the worker before its first row; read on any thread.
    void SetColumnName(size_t column, std::string name);
    std::string GetColumnName(size_t column) const;

    // ---- Writer (one thread) ----

    // Appends the next cell of the row being written; cells beyond the column count are ignored.
    void AppendCell(std::string_view text);
    // Ends the row being written, its missing cells empty, and publishes it. A row with no
    // cell at all still counts.
    void EndRow();

    // Makes room in the row index for this many rows; throws std::bad_alloc when memory runs out.
    void ReserveRows(size_t rows);

    // ---- Readers (any thread) ----

    // Rows published so far.
    size_t GetRowCount() const { return m_nRows.load(std::memory_order_acquire); }
    // The text of a cell of a published row (empty outside); valid as long as the store lives.
    std::string_view GetCell(size_t row, size_t column) const;

    // Reads cells without taking the store's lock for each one: the rows published when it was
    // made, for as long as the store lives. For passes over many cells (sorting, copying).
    class Reader {
    public:
        explicit Reader(const CGridStore& store);
        size_t GetRowCount() const { return m_nRows; }
        size_t GetColumnCount() const { return m_nColumns; }
        std::string_view GetCell(size_t row, size_t column) const;

    private:
        std::vector<const char*> m_pages;
        std::vector<const RowRef*> m_index;
        size_t m_nRows;
        size_t m_nColumns;
    };

    // Bytes held for cells, the row index and the names.
    size_t GetMemoryUsage() const;

    // Column widths wanted by the worker, in pixels by column of the grid (0 = row numbers);
    // the window applies them on its own thread. Each Set makes a new generation.
    void SetColumnWidths(std::vector<int> widths);
    std::vector<int> GetColumnWidths(unsigned* generation = nullptr) const;
    unsigned GetColumnWidthsGeneration() const { return m_nWidthGeneration.load(std::memory_order_acquire); }

    // Grid columns (1-based) of the integer, other numeric and date classes, for sorting.
    void SetTypeClasses(std::vector<int> integers, std::vector<int> decimals, std::vector<int> dates);
    std::vector<int> GetIntegerColumns() const;
    std::vector<int> GetDecimalColumns() const;
    std::vector<int> GetDateColumns() const;

    // -1 while the result's rows are being written, 0 when the result set had no rows.
    std::atomic<int> m_nHasRows{-1};
    // Set once the worker has written its last row.
    std::atomic<bool> m_bComplete{false};

private:

    static constexpr size_t kIndexChunkRows = 16384;

    // Writer: room for need more bytes of the row being written, moving its first bytes to a
    // new page when the current one is full.
    void MakeRoom(size_t need);
    RowRef* IndexSlot(size_t row);

    const size_t m_nColumns;

    // Guards the page and index tables (not their contents), the names, widths and type lists.
    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<char[]>> m_pages;
    std::vector<size_t> m_pageSizes;
    std::vector<std::unique_ptr<RowRef[]>> m_index;
    std::vector<std::string> m_names;
    std::vector<int> m_widths;
    std::vector<int> m_integerColumns, m_decimalColumns, m_dateColumns;

    std::atomic<size_t> m_nRows{0};
    std::atomic<unsigned> m_nWidthGeneration{0};

    // Writer state.
    char* m_pPage = nullptr;
    size_t m_nPageSize = 0;
    uint32_t m_nPageIndex = 0;
    size_t m_nRowStart = 0;  // where the row being written begins in the current page
    size_t m_nWritePos = 0;  // end of what is written in the current page
    size_t m_nCellsInRow = 0;
    RowRef* m_pIndexChunk = nullptr;
    size_t m_nIndexChunk = SIZE_MAX;
};
