// Helpers for tree controls: inserting an item with all its attributes at once, and selecting
// the item under the mouse.
#pragma once

#include <wx/treebase.h>
#include <wx/string.h>

#include <optional>

class wxTreeCtrl;

// Places for InsertTreeItem besides "after this item": first, last, or in alphabetical order
// (ignoring case) among the parent's children.
extern const wxTreeItemId TVI_FIRST;
extern const wxTreeItemId TVI_LAST;
extern const wxTreeItemId TVI_SORT;

// Inserts an item under parent (an invalid parent makes it the root) with the image as both
// image and selected image, the item data (owned by the tree from then on) and an expand
// button when children is not 0. A missing text shows "<No Data>"; an empty text stays empty.
// Returns the new item, invalid when the control refuses it.
wxTreeItemId InsertTreeItem(wxTreeCtrl& tree, const wxTreeItemId& parent, int children, int image,
                            const std::optional<wxString>& text, wxTreeItemData* data,
                            const wxTreeItemId& insertAfter = TVI_LAST);

// Hit-tests the mouse position; an item hit anywhere but on its expand button becomes the
// selected (caret) item. Returns the hit item, invalid when nothing was hit.
wxTreeItemId SelectTreeItemAtCursor(wxTreeCtrl& tree);
