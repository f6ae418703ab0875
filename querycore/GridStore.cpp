#include "GridStore.h"

#include <algorithm>
#include <cstring>

namespace {

// Large enough that the page tables stay short, small enough that the unused tail of the last
// page is negligible next to a grid's text.
constexpr size_t kPageSize = 256 * 1024;

size_t VarintSize(size_t value)
{
    size_t size = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++size;
    }
    return size;
}

char* PutVarint(char* p, size_t value)
{
    while (value >= 0x80) {
        *p++ = static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    *p++ = static_cast<char>(value);
    return p;
}

const char* GetVarint(const char* p, size_t& value)
{
    value = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*p++);
        value |= static_cast<size_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return p;
    }
}

} // namespace

CGridStore::CGridStore(size_t columns) : m_nColumns(columns), m_names(columns) {}

void CGridStore::SetColumnName(size_t column, std::string name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (column < m_nColumns)
        m_names[column] = std::move(name);
}

std::string CGridStore::GetColumnName(size_t column) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return column < m_nColumns ? m_names[column] : std::string();
}

void CGridStore::MakeRoom(size_t need)
{
    if (m_pPage && m_nWritePos + need <= m_nPageSize)
        return;
    const size_t rowBytes = m_nWritePos - m_nRowStart;
    const size_t size = std::max(kPageSize, rowBytes + need);
    auto page = std::make_unique<char[]>(size);
    if (rowBytes)
        std::memcpy(page.get(), m_pPage + m_nRowStart, rowBytes);
    char* raw = page.get();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pages.push_back(std::move(page));
        m_pageSizes.push_back(size);
        m_nPageIndex = static_cast<uint32_t>(m_pages.size() - 1);
    }
    m_pPage = raw;
    m_nPageSize = size;
    m_nRowStart = 0;
    m_nWritePos = rowBytes;
}

void CGridStore::AppendCell(std::string_view text)
{
    if (m_nCellsInRow >= m_nColumns)
        return;
    MakeRoom(VarintSize(text.size()) + text.size());
    char* p = PutVarint(m_pPage + m_nWritePos, text.size());
    if (!text.empty())
        std::memcpy(p, text.data(), text.size());
    m_nWritePos = static_cast<size_t>(p - m_pPage) + text.size();
    ++m_nCellsInRow;
}

CGridStore::RowRef* CGridStore::IndexSlot(size_t row)
{
    const size_t chunk = row / kIndexChunkRows;
    if (chunk != m_nIndexChunk) {
        std::lock_guard<std::mutex> lock(m_mutex);
        while (m_index.size() <= chunk)
            m_index.push_back(std::make_unique<RowRef[]>(kIndexChunkRows));
        m_pIndexChunk = m_index[chunk].get();
        m_nIndexChunk = chunk;
    }
    return m_pIndexChunk + row % kIndexChunkRows;
}

void CGridStore::EndRow()
{
    // Missing cells are empty: one zero length byte each.
    const size_t missing = m_nColumns - m_nCellsInRow;
    MakeRoom(missing);
    std::memset(m_pPage + m_nWritePos, 0, missing);
    m_nWritePos += missing;

    const size_t row = m_nRows.load(std::memory_order_relaxed);
    *IndexSlot(row) = RowRef{m_nPageIndex, static_cast<uint32_t>(m_nRowStart)};
    m_nRowStart = m_nWritePos;
    m_nCellsInRow = 0;
    m_nRows.store(row + 1, std::memory_order_release);
}

void CGridStore::ReserveRows(size_t rows)
{
    const size_t chunks = (rows + kIndexChunkRows - 1) / kIndexChunkRows;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_index.size() >= chunks)
        return;
    m_index.reserve(chunks);
    while (m_index.size() < chunks)
        m_index.push_back(std::make_unique<RowRef[]>(kIndexChunkRows));
}

std::string_view CGridStore::GetCell(size_t row, size_t column) const
{
    if (column >= m_nColumns || row >= GetRowCount())
        return {};
    const char* p;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const RowRef ref = m_index[row / kIndexChunkRows][row % kIndexChunkRows];
        p = m_pages[ref.page].get() + ref.offset;
    }
    size_t length;
    for (size_t c = 0;; ++c) {
        p = GetVarint(p, length);
        if (c == column)
            return std::string_view(p, length);
        p += length;
    }
}

CGridStore::Reader::Reader(const CGridStore& store)
    : m_nRows(store.GetRowCount()), m_nColumns(store.m_nColumns)
{
    std::lock_guard<std::mutex> lock(store.m_mutex);
    m_pages.reserve(store.m_pages.size());
    for (const auto& page : store.m_pages)
        m_pages.push_back(page.get());
    m_index.reserve(store.m_index.size());
    for (const auto& chunk : store.m_index)
        m_index.push_back(chunk.get());
}

std::string_view CGridStore::Reader::GetCell(size_t row, size_t column) const
{
    if (column >= m_nColumns || row >= m_nRows)
        return {};
    const RowRef ref = m_index[row / kIndexChunkRows][row % kIndexChunkRows];
    const char* p = m_pages[ref.page] + ref.offset;
    size_t length;
    for (size_t c = 0;; ++c) {
        p = GetVarint(p, length);
        if (c == column)
            return std::string_view(p, length);
        p += length;
    }
}

size_t CGridStore::GetMemoryUsage() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t bytes = sizeof(*this) + m_index.size() * kIndexChunkRows * sizeof(RowRef);
    for (size_t size : m_pageSizes)
        bytes += size;
    for (const std::string& name : m_names)
        bytes += name.capacity();
    return bytes;
}

void CGridStore::SetColumnWidths(std::vector<int> widths)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_widths = std::move(widths);
    m_nWidthGeneration.fetch_add(1, std::memory_order_release);
}

std::vector<int> CGridStore::GetColumnWidths(unsigned* generation) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (generation)
        *generation = m_nWidthGeneration.load(std::memory_order_relaxed);
    return m_widths;
}

void CGridStore::SetTypeClasses(std::vector<int> integers, std::vector<int> decimals, std::vector<int> dates)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_integerColumns = std::move(integers);
    m_decimalColumns = std::move(decimals);
    m_dateColumns = std::move(dates);
}

std::vector<int> CGridStore::GetIntegerColumns() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_integerColumns;
}

std::vector<int> CGridStore::GetDecimalColumns() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_decimalColumns;
}

std::vector<int> CGridStore::GetDateColumns() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dateColumns;
}
