// A combo box whose items carry an image (by index into an image list) and item data.
#pragma once

#include <wx/bmpcbox.h>

class wxImageList;

class CItemComboBoxEx : public wxBitmapComboBox {
public:
    CItemComboBoxEx() = default;
    CItemComboBoxEx(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                    const wxSize& size = wxDefaultSize, long style = wxCB_READONLY);

    // The images that InsertItem's image indexes refer to; not owned.
    void SetImageList(wxImageList* images) { m_images = images; }
    wxImageList* GetImageList() const { return m_images; }

    // Inserts an item at position (-1: at the end; a sorted combo box places it itself) with
    // the image (-1: none) and the item data; the new item's index, or -1 when refused.
    int InsertItem(const wxString& text, int image, int position, void* data);
    // The item's data; null when there is no such item.
    void* GetItemData(int index) const;
    // The item's text; false when there is no such item.
    bool GetItemText(int index, wxString& text) const;
    // The first item whose text equals text, ignoring case; -1 when none does.
    int FindItemText(const wxString& text) const;
    // Selects the next item after the selection, wrapping to the top, whose text begins with
    // the first character of ch (ignoring case); its index, or -1 with nothing changed.
    int SelectNextByFirstChar(const wxString& ch);
    // Appends text as an item without image or data and selects the first item of that text.
    bool InsertAndSelect(const wxString& text);

private:
    wxImageList* m_images = nullptr;
};
