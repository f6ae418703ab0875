// The multiple selection on an in-memory tree: clicks, presses and releases, drags, keys and
// collapses as a table of cases (selection, caret and anchor before; the action; selection,
// caret, anchor and the notifications after).
#include "schemacore/SchemaTreeStore.h"
#include "TreeTestHelpers.h"
#include "schemacore/MultiSelectTree.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Key = CMultiSelectTree::Key;
using Where = CMultiSelectTree::Where;
using Press = CMultiSelectTree::Press;

// root
//   A (open): a1 a2 a3
//   B (closed): b1 b2
//   C
class SelectionTree : public ITreeNotifications {
public:
    explicit SelectionTree(CMultiSelectTree::Options options = {}) : m_selection(m_tree, *this, options)
    {
        m_tree.SetPageSize(3);
        Add("root", {});
        Add("A", m_items["root"]);
        for (const char* name : {"a1", "a2", "a3"})
            Add(name, m_items["A"]);
        Add("B", m_items["root"]);
        Add("b1", m_items["B"]);
        Add("b2", m_items["B"]);
        Add("C", m_items["root"]);
        m_tree.Expand(m_items["root"]);
        m_tree.Expand(m_items["A"]);
    }

    TreeItem operator[](const std::string& name) { return name.empty() ? TreeItem() : m_items.at(name); }
    std::string Name(TreeItem item) const
    {
        for (const auto& [name, at] : m_items) {
            if (at == item)
                return name;
        }
        return "";
    }

    void SelChanging(TreeItem itemNew, int, int) override { m_notes.push_back("changing " + Name(itemNew)); }
    void SelChanged(TreeItem itemOld, TreeItem itemNew) override
    {
        m_notes.push_back("changed " + Name(itemOld) + ">" + Name(itemNew));
    }
    void KeyDown(TreeKey key) override { m_notes.push_back(key == TreeKey::Up ? "key Up" : "key Down"); }
    void BeginDrag(TreeItem item, int, int) override { m_notes.push_back("drag " + Name(item)); }

    CSchemaTreeStore m_tree;
    CMultiSelectTree m_selection;
    std::vector<std::string> m_notes;

private:
    void Add(const std::string& name, TreeItem parent)
    {
        m_items[name] = m_tree.AppendItem(parent, wxString(name), 0, false, nullptr);
    }
    std::map<std::string, TreeItem> m_items;
};

struct Case {
    const char* title;
    std::vector<std::string> selected;
    std::string caret;
    std::string anchor;
    std::function<void(SelectionTree&)> action;
    std::vector<std::string> expectSelected;
    std::string expectCaret;
    std::string expectAnchor;
    std::vector<std::string> expectNotes;
};

void Click(SelectionTree& t, const std::string& item, bool shift, bool ctrl)
{
    t.m_selection.OnLButtonDown(t[item], item.empty() ? Where::Nowhere : Where::Label, shift, ctrl, 10, 10);
    t.m_selection.OnLButtonUp(shift, ctrl, 10, 10);
}

TEST(MultiSelectTree, SelectionCases)
{
    const std::vector<Case> cases = {
        {"plain click replaces the selection", {"a1", "a3"}, "a1", "a1",
         [](SelectionTree& t) { Click(t, "a2", false, false); }, {"a2"}, "a2", "a2", {"changed a1>a2"}},
        {"Ctrl+click on an unselected item adds it and moves the caret", {"a1"}, "a1", "a1",
         [](SelectionTree& t) { Click(t, "a3", false, true); }, {"a1", "a3"}, "a3", "a1",
         {"changing a3", "changed >a3"}},
        {"Ctrl+click on a selected item removes it and keeps the caret", {"a1", "a2"}, "a2", "a2",
         [](SelectionTree& t) { Click(t, "a1", false, true); }, {"a2"}, "a2", "a2", {"changing a1", "changed >a1"}},
        {"Ctrl+click without an anchor makes the item the anchor", {}, "A", "",
         [](SelectionTree& t) { Click(t, "a2", false, true); }, {"a2"}, "a2", "a2", {"changing a2", "changed >a2"}},
        {"Shift+click selects from the anchor down", {"a1"}, "a1", "a1",
         [](SelectionTree& t) { Click(t, "a3", true, false); }, {"a1", "a2", "a3"}, "a3", "a1", {"changed a1>a3"}},
        {"Shift+click selects from the anchor up", {"a3"}, "a3", "a3",
         [](SelectionTree& t) { Click(t, "a1", true, false); }, {"a1", "a2", "a3"}, "a1", "a3", {"changed a3>a1"}},
        {"Shift+click without an anchor starts at the caret", {"A"}, "A", "",
         [](SelectionTree& t) { Click(t, "a2", true, false); }, {"A", "a1", "a2"}, "a2", "A", {"changed A>a2"}},
        {"Shift+click with neither anchor nor caret runs to the last visible item", {}, "", "",
         [](SelectionTree& t) { Click(t, "a2", true, false); }, {"a2", "a3", "B", "C"}, "a2", "", {"changed >a2"}},
        {"a press on empty space clears the selection", {"a1", "a2"}, "a2", "a1",
         [](SelectionTree& t) { Click(t, "", false, false); }, {}, "", "", {"changed a2>"}},
        {"a press on a selected item waits for the release", {"a1", "a2"}, "a1", "a1",
         [](SelectionTree& t) {
             EXPECT_EQ(t.m_selection.OnLButtonDown(t["a2"], Where::Label, false, false, 10, 10), Press::Handled);
             EXPECT_TRUE(t.m_selection.IsClickDeferred());
             EXPECT_EQ(SelectedTexts(t.m_tree).size(), 2u);
             t.m_selection.OnLButtonUp(false, false, 10, 10);
         },
         {"a2"}, "a2", "a2", {"changed a1>a2"}},
        {"a drag from a selected item keeps the selection", {"a1", "a2"}, "a1", "a1",
         [](SelectionTree& t) {
             t.m_selection.OnLButtonDown(t["a2"], Where::Label, false, false, 10, 10);
             t.m_selection.OnMouseMove(12, 13); // inside the drag box
             EXPECT_TRUE(t.m_selection.IsClickDeferred());
             t.m_selection.OnMouseMove(30, 10);
             t.m_selection.OnMouseMove(60, 10);
             t.m_selection.OnLButtonUp(false, false, 60, 10);
         },
         {"a1", "a2"}, "a1", "a1", {"drag a2"}},
        {"a press on an expand button changes nothing", {"a1"}, "a1", "a1",
         [](SelectionTree& t) {
             EXPECT_EQ(t.m_selection.OnLButtonDown(t["B"], Where::Button, false, false, 1, 1), Press::Default);
             t.m_selection.OnLButtonUp(false, false, 1, 1);
         },
         {"a1"}, "a1", "a1", {}},
        {"Down moves the caret and the selection", {"a1"}, "a1", "a1",
         [](SelectionTree& t) { t.m_selection.OnKeyDown(Key::Down, false); }, {"a2"}, "a2", "a2", {"changed a1>a2"}},
        {"Down clears a multiple selection", {"a1", "a2"}, "a2", "a1",
         [](SelectionTree& t) { t.m_selection.OnKeyDown(Key::Down, false); }, {"a3"}, "a3", "a3", {"changed a2>a3"}},
        {"Down skips the children of a closed branch", {"B"}, "B", "B",
         [](SelectionTree& t) { t.m_selection.OnKeyDown(Key::Down, false); }, {"C"}, "C", "C", {"changed B>C"}},
        {"Up goes from a branch's first item to its parent", {"a1"}, "a1", "a1",
         [](SelectionTree& t) { t.m_selection.OnKeyDown(Key::Up, false); }, {"A"}, "A", "A", {"changed a1>A"}},
        {"Up at the first item stays", {"root"}, "root", "root",
         [](SelectionTree& t) { t.m_selection.OnKeyDown(Key::Up, false); }, {"root"}, "root", "root", {}},
        {"Shift+Down extends from the anchor", {"a1"}, "a1", "a1",
         [](SelectionTree& t) { t.m_selection.OnKeyDown(Key::Down, true); }, {"a1", "a2"}, "a2", "a1",
         {"changed >a2", "key Down"}},
        {"Shift+Up after Shift+Down shrinks the range", {"a1"}, "a1", "a1",
         [](SelectionTree& t) {
             t.m_selection.OnKeyDown(Key::Down, true);
             t.m_selection.OnKeyDown(Key::Down, true);
             t.m_selection.OnKeyDown(Key::Up, true);
         },
         {"a1", "a2"}, "a2", "a1",
         {"changed >a2", "key Down", "changed >a3", "key Down", "changed >a2", "key Up"}},
        {"Shift+Up at the first item only reports the key", {"root"}, "root", "root",
         [](SelectionTree& t) { t.m_selection.OnKeyDown(Key::Up, true); }, {"root"}, "root", "root", {"key Up"}},
        {"Page Down moves a page", {"root"}, "root", "root",
         [](SelectionTree& t) { t.m_selection.OnKeyDown(Key::PageDown, false); }, {"a2"}, "a2", "a2",
         {"changed root>a2"}},
        {"Page Down stops at the last visible item", {"a3"}, "a3", "a3",
         [](SelectionTree& t) { t.m_selection.OnKeyDown(Key::PageDown, false); }, {"C"}, "C", "C",
         {"changed a3>C"}},
        {"Shift+Page Up selects a page up to the anchor", {"a3"}, "a3", "a3",
         [](SelectionTree& t) { t.m_selection.OnKeyDown(Key::PageUp, true); }, {"A", "a1", "a2", "a3"}, "A", "a3",
         {"changed >A"}},
        {"collapsing a branch unselects what it hides", {"a1", "a3", "C"}, "C", "C",
         [](SelectionTree& t) {
             t.m_tree.Collapse(t["A"]);
             EXPECT_EQ(t.m_selection.GetSelectedCount(false), 1u);
         },
         {"C"}, "C", "C", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        SelectionTree t(CMultiSelectTree::Options{false, false, 4, 4});
        // Collapses reach the selection as the control's listener would pass them on.
        struct Listener : ITreeListener {
            CMultiSelectTree& s;
            explicit Listener(CMultiSelectTree& sel) : s(sel) {}
            void OnItemExpanding(TreeItem) override {}
            void OnItemCollapsing(TreeItem item) override { s.OnItemCollapsing(item); }
            void OnItemDeleted(TreeItem item) override { s.OnItemDeleted(item); }
        } listener(t.m_selection);
        t.m_tree.SetListener(&listener);
        for (const std::string& name : c.selected)
            t.m_tree.SetSelected(t[name], true);
        t.m_tree.SetCaret(t[c.caret]);
        t.m_selection.SetAnchor(t[c.anchor]);
        c.action(t);
        EXPECT_EQ(SelectedTexts(t.m_tree), c.expectSelected);
        EXPECT_EQ(t.Name(t.m_tree.GetCaret()), c.expectCaret);
        EXPECT_EQ(t.Name(t.m_selection.GetAnchor()), c.expectAnchor);
        EXPECT_EQ(t.m_notes, c.expectNotes);
        t.m_tree.SetListener(nullptr);
    }
}

TEST(MultiSelectTree, SelectRangeEnds)
{
    const struct {
        const char* title;
        const char* anchor;
        const char* item;
        bool found;
        std::vector<std::string> selected;
    } cases[] = {
        {"anchor equal to the item", "a2", "a2", true, {"a2"}},
        {"hidden anchor: from the item to the last visible one", "b1", "a2", true, {"a2", "a3", "B", "C"}},
        {"both ends hidden", "b1", "b2", false, {"a1"}},
        {"no anchor", "", "a3", true, {"a3", "B", "C"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        SelectionTree t;
        t.m_tree.SetSelected(t["a1"], true);
        t.m_tree.SetCaret(t["a1"]);
        EXPECT_EQ(t.m_selection.SelectRange(t[c.anchor], t[c.item]), c.found);
        EXPECT_EQ(SelectedTexts(t.m_tree), c.selected);
        EXPECT_EQ(t.Name(t.m_tree.GetCaret()), c.found ? c.item : "a1");
    }
}

TEST(MultiSelectTree, CountsStopAtTwoAndSkipHiddenItems)
{
    SelectionTree t;
    EXPECT_EQ(t.m_selection.GetSelectedCount(true), 0u);
    for (const char* name : {"a1", "a2", "a3"})
        t.m_tree.SetSelected(t[name], true);
    EXPECT_EQ(t.m_selection.GetSelectedCount(true), 2u);
    EXPECT_EQ(t.m_selection.GetSelectedCount(false), 3u);
    // Only the visible items count.
    t.m_tree.SetSelected(t["b1"], true);
    EXPECT_EQ(t.m_selection.GetSelectedCount(false), 3u);
    t.m_selection.ClearSelection();
    EXPECT_EQ(SelectedTexts(t.m_tree), std::vector<std::string>{"b1"});
    CSchemaTreeStore empty;
    CMultiSelectTree none(empty, t, {});
    EXPECT_EQ(none.GetSelectedCount(true), 0u);
    EXPECT_FALSE(none.SelectRange({}, {}));
}

TEST(MultiSelectTree, ForgetsDeletedItemsWhoseAddressesComeBack)
{
    SelectionTree t;
    struct Listener : ITreeListener {
        CMultiSelectTree& s;
        explicit Listener(CMultiSelectTree& sel) : s(sel) {}
        void OnItemExpanding(TreeItem) override {}
        void OnItemCollapsing(TreeItem item) override { s.OnItemCollapsing(item); }
        void OnItemDeleted(TreeItem item) override { s.OnItemDeleted(item); }
    } listener(t.m_selection);
    t.m_tree.SetListener(&listener);
    t.m_selection.SelectItemOnClick(t["a2"], false, false);
    t.m_selection.OnLButtonDown(t["a2"], Where::Label, false, false, 5, 5); // pressed, deferred
    const TreeItem old = t["a2"];
    t.m_tree.Delete(old);
    EXPECT_FALSE(t.m_selection.GetAnchor());
    EXPECT_FALSE(t.m_selection.GetPressedItem());
    EXPECT_FALSE(t.m_selection.IsClickDeferred());
    // A new item at the old address is not mistaken for the anchor or the pressed item.
    const TreeItem reused = t.m_tree.AppendItem(t["C"], wxString("c1"), 0, false, nullptr);
    EXPECT_EQ(reused, old);
    t.m_selection.OnLButtonUp(false, false, 5, 5);
    EXPECT_TRUE(SelectedTexts(t.m_tree).empty());
    t.m_tree.SetListener(nullptr);
}

TEST(MultiSelectTree, DelayedLabelEdit)
{
    CMultiSelectTree::Options options;
    options.editLabels = true;
    SelectionTree t(options);
    t.m_selection.SelectItemOnClick(t["a1"], false, false);
    t.m_tree.SetSelected(t["a3"], true);
    // A second press on the caret's label arms the edit and leaves the caret alone selected.
    EXPECT_EQ(t.m_selection.OnLButtonDown(t["a1"], Where::Label, false, false, 5, 5), Press::ArmEdit);
    EXPECT_EQ(SelectedTexts(t.m_tree), std::vector<std::string>{"a1"});
    EXPECT_EQ(t.m_selection.OnEditTimer(), t["a1"]);
    EXPECT_FALSE(t.m_selection.OnEditTimer());
    // A double click cancels it; so does a press elsewhere; a press with Ctrl never arms it.
    t.m_selection.OnLButtonDown(t["a1"], Where::Label, false, false, 5, 5);
    t.m_selection.OnLButtonDblClk();
    EXPECT_FALSE(t.m_selection.OnEditTimer());
    t.m_selection.OnLButtonDown(t["a1"], Where::Label, false, false, 5, 5);
    t.m_selection.OnLButtonDown(t["a2"], Where::Label, false, false, 5, 5);
    EXPECT_FALSE(t.m_selection.IsEditPending());
    EXPECT_NE(t.m_selection.OnLButtonDown(t["a2"], Where::Label, false, true, 5, 5), Press::ArmEdit);
    // Without the style a press on the caret's label is an ordinary click.
    SelectionTree plain;
    plain.m_selection.SelectItemOnClick(plain["a1"], false, false);
    EXPECT_EQ(plain.m_selection.OnLButtonDown(plain["a1"], Where::Label, false, false, 5, 5), Press::Handled);
    EXPECT_FALSE(plain.m_selection.IsEditPending());
}

} // namespace
