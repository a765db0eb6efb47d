#include "dll_search_checks.h"

#include <cstdio>
#include <cwchar>

namespace {

class Checks {
public:
    void Expect(bool condition, const char* what) {
        ++m_checks;
        if (!condition) ++m_failures;
        std::printf("%s - %s\n", condition ? "ok" : "FAIL", what);
    }
    int Summary(const char* probe) const {
        std::printf("%s: %d checks, %d failed\n", probe, m_checks, m_failures);
        return m_failures;
    }

private:
    int m_checks = 0;
    int m_failures = 0;
};

// path = the program's folder joined with name; false when it does not fit.
bool ProgramFolderFile(const wchar_t* name, wchar_t* path, DWORD size) {
    DWORD length = GetModuleFileNameW(nullptr, path, size);
    if (length == 0 || length >= size) return false;
    wchar_t* slash = wcsrchr(path, L'\\');
    if (!slash) return false;
    size_t folderLength = static_cast<size_t>(slash - path) + 1;
    size_t nameLength = wcslen(name);
    if (folderLength + nameLength >= size) return false;
    wmemcpy(slash + 1, name, nameLength + 1);
    return true;
}

bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix) {
    size_t length = wcslen(prefix);
    return wcslen(text) >= length && _wcsnicmp(text, prefix, length) == 0;
}

}  // namespace

LoadAttempt TryBareName(const wchar_t* name) {
    LoadAttempt attempt;
    HMODULE module = LoadLibraryW(name);
    attempt.error = GetLastError();
    if (module) {
        attempt.loaded = true;
        FreeLibrary(module);
    }
    return attempt;
}

int CheckDllSearch(const LoadAttempt& atStartUp, const wchar_t* plantedName, const char* probe) {
    Checks checks;
    checks.Expect(!atStartUp.loaded,
                  "a static constructor does not find the DLL of the program's folder by its bare name");
    checks.Expect(atStartUp.loaded || atStartUp.error == ERROR_MOD_NOT_FOUND,
                  "the load in the static constructor fails with ERROR_MOD_NOT_FOUND");
    checks.Expect(!TryBareName(plantedName).loaded,
                  "the program's code does not find the DLL of the program's folder by its bare name");

    // The DLL itself is sound: by its full path it loads.
    wchar_t path[MAX_PATH];
    bool havePath = ProgramFolderFile(plantedName, path, MAX_PATH);
    checks.Expect(havePath, "the program's folder is known");
    if (havePath) {
        HMODULE module = LoadLibraryExW(path, nullptr, 0);
        checks.Expect(module != nullptr, "the DLL of the program's folder loads by its full path");
        if (module) {
            checks.Expect(GetProcAddress(module, "KvnPlantedLibraryMark") != nullptr,
                          "the DLL loaded by full path is the planted one");
            FreeLibrary(module);
        }
    }

    // System DLLs are still found by name, in the system folder.
    wchar_t system[MAX_PATH];
    UINT systemLength = GetSystemDirectoryW(system, MAX_PATH);
    HMODULE version = LoadLibraryW(L"version.dll");
    checks.Expect(version != nullptr, "version.dll loads by its bare name");
    if (version && systemLength > 0 && systemLength < MAX_PATH) {
        wchar_t loaded[MAX_PATH];
        DWORD length = GetModuleFileNameW(version, loaded, MAX_PATH);
        checks.Expect(length > 0 && length < MAX_PATH && StartsWithNoCase(loaded, system),
                      "version.dll comes from the system folder");
    }
    if (version) FreeLibrary(version);
    return checks.Summary(probe);
}
