#include "ItemComboBoxEx.h"

#include <wx/imaglist.h>

CItemComboBoxEx::CItemComboBoxEx(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxBitmapComboBox(parent, id, wxString(), pos, size, 0, nullptr, style)
{
}

int CItemComboBoxEx::InsertItem(const wxString& text, int image, int position, void* data)
{
    const int count = static_cast<int>(GetCount());
    if (position < -1 || position > count)
        return -1;
    wxBitmap bitmap;
    if (m_images && image >= 0 && image < m_images->GetImageCount())
        bitmap = m_images->GetBitmap(image);
    if (position == -1 || IsSorted())
        return Append(text, bitmap, data);
    return Insert(text, bitmap, static_cast<unsigned>(position), data);
}

void* CItemComboBoxEx::GetItemData(int index) const
{
    if (index < 0 || index >= static_cast<int>(GetCount()))
        return nullptr;
    return GetClientData(static_cast<unsigned>(index));
}

bool CItemComboBoxEx::GetItemText(int index, wxString& text) const
{
    if (index < 0 || index >= static_cast<int>(GetCount()))
        return false;
    text = GetString(static_cast<unsigned>(index));
    return true;
}

int CItemComboBoxEx::FindItemText(const wxString& text) const
{
    const int count = static_cast<int>(GetCount());
    for (int i = 0; i < count; ++i) {
        if (GetString(static_cast<unsigned>(i)).IsSameAs(text, false))
            return i;
    }
    return -1;
}

int CItemComboBoxEx::SelectNextByFirstChar(const wxString& ch)
{
    if (ch.empty())
        return -1;
    const wxString first = ch.Left(1);
    const int count = static_cast<int>(GetCount());
    const int current = GetSelection();
    for (int step = 1; step <= count; ++step) {
        const int i = (current + step) % count;
        if (GetString(static_cast<unsigned>(i)).Left(1).IsSameAs(first, false)) {
            SetSelection(i);
            return i;
        }
    }
    return -1;
}

bool CItemComboBoxEx::InsertAndSelect(const wxString& text)
{
    if (InsertItem(text, -1, -1, nullptr) < 0)
        return false;
    SetSelection(FindItemText(text));
    return true;
}
