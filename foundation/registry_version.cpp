#include "foundation/registry_version.h"

#include <new>

#include "foundation/owned_handle.h"

namespace {

using GetFileVersionInfoSizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetFileVersionInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using VerQueryValueFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

template <class Fn>
Fn LookUp(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Reads the fixed file version with the three version functions.
uint64_t ReadFileVersion(const wchar_t* path, GetFileVersionInfoSizeFn getSize, GetFileVersionInfoFn getInfo,
                         VerQueryValueFn query) {
    DWORD handle = 0;
    const DWORD size = getSize(path, &handle);
    if (size == 0) return 0;
    BYTE* info = new (std::nothrow) BYTE[size];
    if (!info) return 0;
    uint64_t version = 0;
    void* fixed = nullptr;
    UINT fixedLength = 0;
    if (getInfo(path, 0, size, info) && query(info, L"\\", &fixed, &fixedLength) && fixed &&
        fixedLength >= sizeof(VS_FIXEDFILEINFO)) {
        const VS_FIXEDFILEINFO* file = static_cast<const VS_FIXEDFILEINFO*>(fixed);
        version = (uint64_t(file->dwFileVersionMS) << 32) | file->dwFileVersionLS;
    }
    delete[] info;
    return version;
}

wchar_t* PutDecimal(wchar_t* out, unsigned value) {
    wchar_t digits[5];
    int count = 0;
    do {
        digits[count++] = wchar_t(L'0' + value % 10);
        value /= 10;
    } while (value && count < 5);
    while (count > 0) *out++ = digits[--count];
    return out;
}

}  // namespace

int WriteRegistryValue(HKEY root, const wchar_t* keyPath, const wchar_t* valueName, DWORD type,
                       const BYTE* data, DWORD byteCount) {
    if (!data || byteCount == 0) return ERROR_INVALID_PARAMETER;
    CWRegKey key;
    const LONG opened = RegCreateKeyExW(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                        nullptr, key.Receive(), nullptr);
    if (opened != ERROR_SUCCESS) return int(opened);
    return int(RegSetValueExW(key.Get(), valueName, 0, type, data, byteCount));
}

uint64_t GetFileVersion(const wchar_t* path) {
    if (!path || !*path) return 0;
    // Loaded from the system folder only, never from beside the program.
    const CWModule module(LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!module) return 0;
    const auto getSize = LookUp<GetFileVersionInfoSizeFn>(module.Get(), "GetFileVersionInfoSizeW");
    const auto getInfo = LookUp<GetFileVersionInfoFn>(module.Get(), "GetFileVersionInfoW");
    const auto query = LookUp<VerQueryValueFn>(module.Get(), "VerQueryValueW");
    if (!getSize || !getInfo || !query) return 0;
    return ReadFileVersion(path, getSize, getInfo, query);
}

void FormatVersion(wchar_t* output, DWORD least, DWORD most) {
    if (!output) return;
    const unsigned parts[4] = {unsigned(most >> 16), unsigned(most & 0xFFFF), unsigned(least >> 16),
                               unsigned(least & 0xFFFF)};
    wchar_t* out = output;
    for (int i = 0; i < 4; ++i) {
        if (i) *out++ = L'.';
        out = PutDecimal(out, parts[i]);
    }
    *out = L'\0';
}
