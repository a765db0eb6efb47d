#include "framework/controls.h"
#include "framework/image_list.h"
#include <vector>

int CListBox::GetCount() const {
    return static_cast<int>(Send(LB_GETCOUNT));
}

int CListBox::AddString(const wchar_t* text) const {
    return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CListBox::InsertString(int index, const wchar_t* text) const {
    return static_cast<int>(
        Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}

void CListBox::ResetContent() const {
    Send(LB_RESETCONTENT);
}

std::wstring CListBox::GetText(int index) const {
    LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR || length < 0) return std::wstring();
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    if (copied == LB_ERR || copied < 0) return std::wstring();
    return std::wstring(text.data(), static_cast<size_t>(copied));
}

HTREEITEM CTreeCtrl::InsertItem(UINT mask, const wchar_t* text, int image, int selectedImage, UINT state,
                                UINT stateMask, LPARAM data, HTREEITEM parent, HTREEITEM after) const {
    TVINSERTSTRUCTW insert;
    ZeroMemory(&insert, sizeof(insert));
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = mask;
    insert.item.pszText = const_cast<wchar_t*>(text);
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.state = state;
    insert.item.stateMask = stateMask;
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

HIMAGELIST CTreeCtrl::SetImageList(HIMAGELIST list, int kind) const {
    return reinterpret_cast<HIMAGELIST>(
        Send(TVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(list)));
}

HIMAGELIST CTreeCtrl::SetImageList(const CImageList* list, int kind) const {
    return SetImageList(list ? list->GetSafeHandle() : nullptr, kind);
}

HIMAGELIST CTreeCtrl::GetImageList(int kind) const {
    return reinterpret_cast<HIMAGELIST>(Send(TVM_GETIMAGELIST, static_cast<WPARAM>(kind)));
}

HTREEITEM CTreeCtrl::GetNextItem(HTREEITEM item, UINT code) const {
    return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

BOOL CTreeCtrl::SelectItem(HTREEITEM item) const {
    return Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
}

UINT CTreeCtrl::GetCount() const {
    return static_cast<UINT>(Send(TVM_GETCOUNT));
}

UINT CTreeCtrl::GetItemState(HTREEITEM item, UINT stateMask) const {
    TVITEMW tvItem;
    ZeroMemory(&tvItem, sizeof(tvItem));
    tvItem.mask = TVIF_STATE | TVIF_HANDLE;
    tvItem.hItem = item;
    tvItem.stateMask = stateMask;
    if (!Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvItem))) return 0;
    return tvItem.state & stateMask;
}

BOOL CTreeCtrl::SetItemState(HTREEITEM item, UINT state, UINT stateMask) const {
    TVITEMW tvItem;
    ZeroMemory(&tvItem, sizeof(tvItem));
    tvItem.mask = TVIF_STATE | TVIF_HANDLE;
    tvItem.hItem = item;
    tvItem.state = state;
    tvItem.stateMask = stateMask;
    return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvItem)) != 0;
}

LPARAM CTreeCtrl::GetItemData(HTREEITEM item) const {
    TVITEMW tvItem;
    ZeroMemory(&tvItem, sizeof(tvItem));
    tvItem.mask = TVIF_PARAM | TVIF_HANDLE;
    tvItem.hItem = item;
    if (!Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvItem))) return 0;
    return tvItem.lParam;
}

std::wstring CTreeCtrl::GetItemText(HTREEITEM item) const {
    wchar_t text[260] = {};
    TVITEMW tvItem;
    ZeroMemory(&tvItem, sizeof(tvItem));
    tvItem.mask = TVIF_TEXT | TVIF_HANDLE;
    tvItem.hItem = item;
    tvItem.pszText = text;
    tvItem.cchTextMax = 260;
    if (!Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvItem))) return std::wstring();
    text[259] = L'\0';
    return std::wstring(tvItem.pszText ? tvItem.pszText : text);
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const {
    if (!rect) return FALSE;
    // TVM_GETITEMRECT takes the item handle in the rectangle's first field.
    *reinterpret_cast<HTREEITEM*>(rect) = item;
    return Send(TVM_GETITEMRECT, static_cast<WPARAM>(textOnly), reinterpret_cast<LPARAM>(rect)) != 0;
}

HTREEITEM CTreeCtrl::HitTest(POINT point, UINT* flags) const {
    TVHITTESTINFO hit;
    ZeroMemory(&hit, sizeof(hit));
    hit.pt = point;
    HTREEITEM item = reinterpret_cast<HTREEITEM>(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (flags) *flags = hit.flags;
    return item;
}
