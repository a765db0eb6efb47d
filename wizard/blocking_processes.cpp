#include "wizard/blocking_processes.h"
#include <psapi.h>
#include <cwchar>
#include "foundation/owned_handle.h"
#include "app/product_names.h"

const wchar_t* const BlockingProcessNames[] = {L"" KVN_NAME_DEMO_PROGRAM, nullptr};

namespace {
constexpr size_t kFirstIdCount = 1024;
// No system has that many processes; it only bounds the growth.
constexpr size_t kMostIds = 1u << 20;
// An image path may be longer than MAX_PATH (up to 32,767 units).
constexpr DWORD kImagePathUnits = 32768;
}  // namespace

BOOL ReadProcessIds(ProcessEnumerator enumerate, std::vector<DWORD>& ids) {
    ids.clear();
    if (!enumerate) return FALSE;
    std::vector<DWORD> buffer(kFirstIdCount);
    for (;;) {
        DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(DWORD));
        DWORD returned = 0;
        if (!enumerate(buffer.data(), bytes, &returned)) return FALSE;
        if (returned > bytes) returned = bytes;
        // A full buffer may have cut the list short: ask again with a bigger one.
        if (returned < bytes || buffer.size() >= kMostIds) {
            buffer.resize(returned / sizeof(DWORD));
            ids.swap(buffer);
            return TRUE;
        }
        buffer.assign(buffer.size() * 2, 0);
    }
}

namespace {

// The first module's base name; false when the modules cannot be read (a
// 32-bit caller cannot list a 64-bit process's modules).
bool ReadFirstModuleName(DWORD processId, wchar_t (&name)[260]) {
    const CWHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) return false;
    HMODULE module = nullptr;
    DWORD needed = 0;
    if (!K32EnumProcessModules(process.Get(), &module, sizeof(module), &needed) || !module) return false;
    if (K32GetModuleBaseNameW(process.Get(), module, name, 260) == 0) return false;
    name[259] = L'\0';
    return true;
}

// The file name of the process's image, read with the least right there is,
// the same for a process of either bitness.
bool ReadImageFileName(DWORD processId, wchar_t (&name)[260]) {
    const CWHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return false;
    std::vector<wchar_t> path(kImagePathUnits, L'\0');
    DWORD size = kImagePathUnits;
    if (!QueryFullProcessImageNameW(process.Get(), 0, path.data(), &size) || size == 0) return false;
    const wchar_t* file = path.data();
    for (const wchar_t* c = path.data(); *c; ++c) {
        if (*c == L'\\' || *c == L'/') file = c + 1;
    }
    if (*file == L'\0' || wcslen(file) >= 260) return false;
    wcscpy(name, file);
    return true;
}

}  // namespace

void ReadProcessModuleName(DWORD processId, wchar_t (&name)[260]) {
    wmemset(name, L'\0', 260);
    if (ReadFirstModuleName(processId, name)) return;
    wmemset(name, L'\0', 260);
    if (ReadImageFileName(processId, name)) return;
    wmemset(name, L'\0', 260);
    wcscpy(name, L"<unknown>");
}

void AppendBlockingMatches(const wchar_t* moduleName, CWPtArray& list) {
    if (!moduleName) return;
    for (const wchar_t* const* entry = BlockingProcessNames; *entry; ++entry) {
        if (_wcsicmp(moduleName, *entry) == 0) list.Add(const_cast<wchar_t*>(*entry));
    }
}

int FindBlockingProcesses(CWPtArray& list) {
    std::vector<DWORD> ids;
    if (!ReadProcessIds(&K32EnumProcesses, ids)) return 0;
    wchar_t name[260];
    for (DWORD id : ids) {
        ReadProcessModuleName(id, name);
        AppendBlockingMatches(name, list);
    }
    return 1;
}
