// Items of tree views and list boxes that live in another process.
#include "tests/e2e/remote_items.h"

#include <commctrl.h>

#include <cstring>

namespace {

const UINT kSendTimeoutMs = 3000;
const int kTextUnits = 520;
const int kMaxItems = 4096;

// A few pages of memory in another process, released with the object.
class RemoteBuffer {
public:
    RemoteBuffer(HWND owner, SIZE_T size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(owner, &processId);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                        FALSE, processId);
        if (process_ != nullptr) {
            address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        }
    }
    ~RemoteBuffer() {
        if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_ != nullptr) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Ok() const { return address_ != nullptr; }
    char* At(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
        SIZE_T done = 0;
        return WriteProcessMemory(process_, At(offset), data, size, &done) && done == size;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const {
        SIZE_T done = 0;
        return ReadProcessMemory(process_, At(offset), data, size, &done) && done == size;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, result) !=
           0;
}

// Layout of the remote buffer: item record, rectangle, text.
const SIZE_T kItemOffset = 0;
const SIZE_T kRectOffset = 64;
const SIZE_T kTextOffset = 128;

bool ReadOneItem(HWND tree, const RemoteBuffer& remote, HTREEITEM item, TreeItemFacts* facts) {
    TVITEMW record = {};
    record.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE;
    record.hItem = item;
    record.stateMask = TVIS_STATEIMAGEMASK | TVIS_SELECTED;
    record.pszText = reinterpret_cast<LPWSTR>(remote.At(kTextOffset));
    record.cchTextMax = kTextUnits - 1;
    wchar_t text[kTextUnits] = {};
    DWORD_PTR result = 0;
    if (!remote.Write(kItemOffset, &record, sizeof record) || !remote.Write(kTextOffset, text, sizeof text))
        return false;
    if (!Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At(kItemOffset)), &result) || !result)
        return false;
    if (!remote.Read(kItemOffset, &record, sizeof record) || !remote.Read(kTextOffset, text, sizeof text))
        return false;
    text[kTextUnits - 1] = L'\0';
    facts->text = text;
    facts->stateImage = static_cast<int>((record.state & TVIS_STATEIMAGEMASK) >> 12);
    facts->selected = (record.state & TVIS_SELECTED) != 0;

    // The rectangle's first field carries the item on the way in.
    RECT rect = {};
    memcpy(&rect, &item, sizeof item);
    if (remote.Write(kRectOffset, &rect, sizeof rect) &&
        Send(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.At(kRectOffset)), &result) &&
        result && remote.Read(kRectOffset, &rect, sizeof rect)) {
        MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        facts->textRect = rect;
        facts->haveRect = true;
    }
    return true;
}

}  // namespace

bool ReadTreeItems(HWND tree, std::vector<TreeItemFacts>* items) {
    items->clear();
    RemoteBuffer remote(tree, kTextOffset + kTextUnits * sizeof(wchar_t));
    if (!remote.Ok()) return false;
    DWORD_PTR next = 0;
    if (!Send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, &next)) return false;
    while (next != 0 && items->size() < static_cast<size_t>(kMaxItems)) {
        HTREEITEM item = reinterpret_cast<HTREEITEM>(next);
        TreeItemFacts facts;
        if (!ReadOneItem(tree, remote, item, &facts)) return false;
        items->push_back(facts);
        if (!Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item), &next)) return false;
    }
    return true;
}

bool ReadListBoxItems(HWND list, std::vector<std::wstring>* items) {
    items->clear();
    DWORD_PTR count = 0;
    if (!Send(list, LB_GETCOUNT, 0, 0, &count)) return false;
    if (static_cast<LONG_PTR>(count) < 0) return false;
    for (DWORD_PTR i = 0; i < count && i < static_cast<DWORD_PTR>(kMaxItems); ++i) {
        DWORD_PTR length = 0;
        if (!Send(list, LB_GETTEXTLEN, i, 0, &length) || static_cast<LONG_PTR>(length) < 0) return false;
        // The system copies list-box strings between processes itself.
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        DWORD_PTR copied = 0;
        if (!Send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]), &copied)) return false;
        if (static_cast<LONG_PTR>(copied) < 0) return false;
        if (copied > length) copied = length;
        text.resize(static_cast<size_t>(copied));
        items->push_back(text);
    }
    return true;
}
