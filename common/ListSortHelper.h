// Sorts the rows of a list control by one column, as text (case-insensitive) or as numbers.
// While the helper lives every row's item data is a holder of its sort key; the destructor
// gives each row its own item data back.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

class wxListCtrl;

class CListSortHelper {
public:
    CListSortHelper(wxListCtrl& list, int column, bool numeric);
    virtual ~CListSortHelper();
    CListSortHelper(const CListSortHelper&) = delete;
    CListSortHelper& operator=(const CListSortHelper&) = delete;

    void Sort(bool ascending);

private:
    struct CListSortItem {
        CListSortItem(wxString text, uintptr_t data) : m_strText(std::move(text)), m_data(data) {}
        virtual ~CListSortItem() = default;
        wxString m_strText;
        uintptr_t m_data; // the row's own item data
    };
    struct CListSortNumberItem : CListSortItem {
        CListSortNumberItem(wxString text, int64_t value, uintptr_t data)
            : CListSortItem(std::move(text), data), m_nValue(value) {}
        int64_t m_nValue;
    };

    static int CompareTextAscending(intptr_t first, intptr_t second, intptr_t);
    static int CompareTextDescending(intptr_t first, intptr_t second, intptr_t);
    static int CompareNumberAscending(intptr_t first, intptr_t second, intptr_t);
    static int CompareNumberDescending(intptr_t first, intptr_t second, intptr_t);

    wxListCtrl& m_list;
    int m_nColumn;
    bool m_bNumeric;
    std::vector<std::unique_ptr<CListSortItem>> m_items;
    std::unordered_set<uintptr_t> m_holders;
};
