#include "TreeHelpers.h"

#include <wx/treectrl.h>
#include <wx/utils.h>

namespace {
// Distinct addresses that no tree item can have.
char s_first, s_last, s_sort;
} // namespace

const wxTreeItemId TVI_FIRST(&s_first);
const wxTreeItemId TVI_LAST(&s_last);
const wxTreeItemId TVI_SORT(&s_sort);

wxTreeItemId InsertTreeItem(wxTreeCtrl& tree, const wxTreeItemId& parent, int children, int image,
                            const std::optional<wxString>& text, wxTreeItemData* data,
                            const wxTreeItemId& insertAfter)
{
    const wxString label = text ? *text : wxString("<No Data>");
    wxTreeItemId item;
    wxTreeItemId under = parent;
    // With a hidden root the top-level items are the root's children.
    if (!under.IsOk() && tree.GetRootItem().IsOk() && tree.HasFlag(wxTR_HIDE_ROOT))
        under = tree.GetRootItem();
    if (!under.IsOk()) {
        if (tree.GetRootItem().IsOk()) {
            delete data; // a tree has one root
            return wxTreeItemId();
        }
        item = tree.AddRoot(label, image, image, data);
    } else if (insertAfter == TVI_LAST) {
        item = tree.AppendItem(under, label, image, image, data);
    } else if (insertAfter == TVI_FIRST) {
        item = tree.InsertItem(under, 0, label, image, image, data);
    } else if (insertAfter == TVI_SORT) {
        size_t index = 0;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = tree.GetFirstChild(under, cookie); child.IsOk();
             child = tree.GetNextChild(under, cookie), ++index) {
            if (tree.GetItemText(child).CmpNoCase(label) > 0)
                break;
        }
        item = tree.InsertItem(under, index, label, image, image, data);
    } else {
        item = tree.InsertItem(under, insertAfter, label, image, image, data);
    }
    if (item.IsOk() && children != 0)
        tree.SetItemHasChildren(item, true);
    return item;
}

wxTreeItemId SelectTreeItemAtCursor(wxTreeCtrl& tree)
{
    int flags = 0;
    const wxTreeItemId item = tree.HitTest(tree.ScreenToClient(wxGetMousePosition()), flags);
    if (item.IsOk() && !(flags & wxTREE_HITTEST_ONITEMBUTTON)) {
        if (tree.HasFlag(wxTR_MULTIPLE))
            tree.SetFocusedItem(item);
        tree.SelectItem(item);
    }
    return item;
}
