#include "ListHelpers.h"

#include "ListText.h"

#include <wx/clipbrd.h>
#include <wx/listctrl.h>

long AddListCtrlRow(wxListCtrl& list, const wxString& rowText, int image, long index)
{
    const std::vector<wxString> fields = SplitListRowFields(rowText);
    if (fields.empty())
        return -1;
    const long count = list.GetItemCount();
    const long at = index == -1 ? count : index;
    if (at < 0 || at > count)
        return -1;
    const long row = list.InsertItem(at, fields[0], image);
    if (row < 0)
        return -1;
    // Columns the control does not have are skipped, as the native control ignores them.
    const size_t columns = static_cast<size_t>(std::max(list.GetColumnCount(), 1));
    for (size_t column = 1; column < fields.size() && column < columns; ++column)
        list.SetItem(row, static_cast<long>(column), fields[column]);
    return row;
}

long GetSelectedListItem(wxListCtrl& list, bool orFocused)
{
    long row = list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (row == -1 && orFocused)
        row = list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    return row;
}

void GetListPopupPoint(wxListCtrl& list, wxPoint& point)
{
    if (point != wxDefaultPosition)
        return;
    const wxSize client = list.GetClientSize();
    const wxRect clientRect(client);
    wxPoint centre(client.x / 2, client.y / 2);
    const long row = GetSelectedListItem(list, false);
    wxRect rect;
    if (row != -1 && list.GetItemRect(row, rect)) {
        rect.width = std::min(rect.GetRight() + 1, client.x) - rect.x;
        const wxPoint rowCentre(rect.x + rect.width / 2, rect.y + rect.height / 2);
        if (clientRect.Contains(rowCentre))
            centre = rowCentre;
    }
    point = list.ClientToScreen(centre);
}

wxString GetListRowText(wxListCtrl& list)
{
    wxString text;
    const long row = GetSelectedListItem(list, false);
    if (row != -1) {
        const int columns = std::max(list.GetColumnCount(), 1);
        for (int column = 0; column < columns; ++column)
            text << list.GetItemText(row, column) << '\t';
    }
    return text.Trim(true);
}

bool CopyListRowToClipboard(wxListCtrl& list)
{
    const wxString text = GetListRowText(list);
    wxClipboardLocker locker;
    if (!locker)
        return false;
    return wxTheClipboard->SetData(new wxTextDataObject(text));
}
