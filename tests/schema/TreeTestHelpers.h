// Reading a schema tree in tests: the texts and kinds of an item's children, an item found by its
// path of texts, and the selected items.
#pragma once

#include "schemacore/SchemaTree.h"

#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> ChildTexts(const ISchemaTree& tree, TreeItem item)
{
    std::vector<std::string> texts;
    for (TreeItem child = tree.GetFirstChild(item); child; child = tree.GetNextSibling(child))
        texts.push_back(tree.GetText(child).utf8_string());
    return texts;
}

inline std::vector<int> ChildKinds(const ISchemaTree& tree, TreeItem item)
{
    std::vector<int> kinds;
    for (TreeItem child = tree.GetFirstChild(item); child; child = tree.GetNextSibling(child))
        kinds.push_back(tree.GetKind(child));
    return kinds;
}

// The first child with this text, or none.
inline TreeItem Child(const ISchemaTree& tree, TreeItem parent, const std::string& text)
{
    for (TreeItem child = parent ? tree.GetFirstChild(parent) : TreeItem(); child; child = tree.GetNextSibling(child)) {
        if (tree.GetText(child).utf8_string() == text)
            return child;
    }
    return {};
}

// The item at a path of texts below the root, separated by "|" ("Tables|orders"); "" is the root.
inline TreeItem Find(const ISchemaTree& tree, const std::string& path)
{
    TreeItem item = tree.GetRoot();
    std::istringstream parts(path);
    std::string part;
    while (item && std::getline(parts, part, '|'))
        item = Child(tree, item, part);
    return item;
}

// Every item in display order, hidden ones included.
inline void CollectItems(const ISchemaTree& tree, TreeItem item, std::vector<TreeItem>& out)
{
    out.push_back(item);
    for (TreeItem child = tree.GetFirstChild(item); child; child = tree.GetNextSibling(child))
        CollectItems(tree, child, out);
}

inline std::vector<TreeItem> AllItems(const ISchemaTree& tree)
{
    std::vector<TreeItem> items;
    if (tree.GetRoot())
        CollectItems(tree, tree.GetRoot(), items);
    return items;
}

// The texts of the selected items in display order, hidden ones included.
inline std::vector<std::string> SelectedTexts(const ISchemaTree& tree)
{
    std::vector<std::string> texts;
    for (TreeItem item : AllItems(tree)) {
        if (tree.IsSelected(item))
            texts.push_back(tree.GetText(item).utf8_string());
    }
    return texts;
}
