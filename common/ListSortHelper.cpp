#include "ListSortHelper.h"

#include "ListText.h"

#include <wx/listctrl.h>

CListSortHelper::CListSortHelper(wxListCtrl& list, int column, bool numeric)
    : m_list(list), m_nColumn(column), m_bNumeric(numeric)
{
    const long count = m_list.GetItemCount();
    m_items.reserve(static_cast<size_t>(count));
    for (long row = 0; row < count; ++row) {
        wxString text = m_list.GetItemText(row, m_nColumn);
        const uintptr_t data = m_list.GetItemData(row);
        if (m_bNumeric) {
            const int64_t value = ParseListSortNumber(text);
            m_items.push_back(std::make_unique<CListSortNumberItem>(std::move(text), value, data));
        } else {
            m_items.push_back(std::make_unique<CListSortItem>(std::move(text), data));
        }
        const auto holder = reinterpret_cast<uintptr_t>(m_items.back().get());
        m_holders.insert(holder);
        m_list.SetItemPtrData(row, holder);
    }
}

CListSortHelper::~CListSortHelper()
{
    const long count = m_list.GetItemCount();
    for (long row = 0; row < count; ++row) {
        const uintptr_t holder = m_list.GetItemData(row);
        if (m_holders.count(holder))
            m_list.SetItemPtrData(row, reinterpret_cast<const CListSortItem*>(holder)->m_data);
    }
}

void CListSortHelper::Sort(bool ascending)
{
    if (m_bNumeric)
        m_list.SortItems(ascending ? CompareNumberAscending : CompareNumberDescending, 0);
    else
        m_list.SortItems(ascending ? CompareTextAscending : CompareTextDescending, 0);
}

int CListSortHelper::CompareTextAscending(intptr_t first, intptr_t second, intptr_t)
{
    return reinterpret_cast<const CListSortItem*>(first)->m_strText.CmpNoCase(
        reinterpret_cast<const CListSortItem*>(second)->m_strText);
}

int CListSortHelper::CompareTextDescending(intptr_t first, intptr_t second, intptr_t)
{
    return CompareTextAscending(second, first, 0);
}

int CListSortHelper::CompareNumberAscending(intptr_t first, intptr_t second, intptr_t)
{
    const int64_t a = reinterpret_cast<const CListSortNumberItem*>(first)->m_nValue;
    const int64_t b = reinterpret_cast<const CListSortNumberItem*>(second)->m_nValue;
    return a < b ? -1 : (a > b ? 1 : 0);
}

int CListSortHelper::CompareNumberDescending(intptr_t first, intptr_t second, intptr_t)
{
    return CompareNumberAscending(second, first, 0);
}
