#pragma once
// Items of tree views and list boxes that live in another process.
#include <windows.h>

#include <string>
#include <vector>

struct TreeItemFacts {
    std::wstring text;
    int stateImage = 0;  // 1 empty box, 2 crossed box, 0 none
    int selected = 0;    // the item is the tree's selection
    RECT textRect = {};  // screen coordinates of the label
    bool haveRect = false;
};

// The root items of a tree view, in order; false when the tree's process
// could not be reached. Tree messages carry pointers, so their records are
// placed in the tree's own process.
bool ReadTreeItems(HWND tree, std::vector<TreeItemFacts>* items);

// The strings of a list box, in order.
bool ReadListBoxItems(HWND list, std::vector<std::wstring>* items);
