#pragma once
// Thin wrappers of the list box and tree-view controls a page binds with
// DDX_Control. They own nothing: the page's dialog owns the windows.
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "framework/wnd.h"

class CImageList;

class CListBox : public CWnd {
public:
    int GetCount() const;
    // Index of the new string, LB_ERR or LB_ERRSPACE.
    int AddString(const wchar_t* text) const;
    int InsertString(int index, const wchar_t* text) const;
    void ResetContent() const;
    // The text at index; empty when there is none.
    std::wstring GetText(int index) const;
};

class CTreeCtrl : public CWnd {
public:
    HTREEITEM InsertItem(UINT mask, const wchar_t* text, int image, int selectedImage, UINT state,
                         UINT stateMask, LPARAM data, HTREEITEM parent, HTREEITEM after) const;
    // The previous image list of that kind (TVSIL_NORMAL or TVSIL_STATE).
    HIMAGELIST SetImageList(HIMAGELIST list, int kind) const;
    HIMAGELIST SetImageList(const CImageList* list, int kind) const;
    HIMAGELIST GetImageList(int kind) const;
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const;
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    BOOL SelectItem(HTREEITEM item) const;
    UINT GetCount() const;
    UINT GetItemState(HTREEITEM item, UINT stateMask) const;
    BOOL SetItemState(HTREEITEM item, UINT state, UINT stateMask) const;
    LPARAM GetItemData(HTREEITEM item) const;
    std::wstring GetItemText(HTREEITEM item) const;
    // Client rectangle of the item (of its text alone when textOnly).
    BOOL GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const;
    // The item at a client point; *flags gets the TVHT_ flags.
    HTREEITEM HitTest(POINT point, UINT* flags) const;
};

// The state-image index (bits 12 to 15) of a tree item state.
inline UINT StateImageIndex(UINT state) {
    return (state & TVIS_STATEIMAGEMASK) >> 12;
}
