// The uninstaller's DLL-search restriction (uninstall/dll_search.cpp, linked
// here as in the uninstaller) probed as the setup's is: a static constructor
// and main load a DLL that lies beside the program by its bare name and must
// not find it; by its full path it loads; version.dll still comes from the
// system folder. The exit code is the number of failed checks.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t kPlantedName[] = L"kvn_uninstall_planted.dll";

struct Attempt {
    bool loaded = false;
    DWORD error = 0;
};

Attempt TryBareName(const wchar_t* name) {
    Attempt attempt;
    HMODULE module = LoadLibraryW(name);
    attempt.error = GetLastError();
    if (module) {
        attempt.loaded = true;
        FreeLibrary(module);
    }
    return attempt;
}

struct StaticProbe {
    Attempt attempt;
    StaticProbe() : attempt(TryBareName(kPlantedName)) {}
};
StaticProbe staticProbe;

int checks = 0, failures = 0;
void Expect(bool condition, const char* what) {
    ++checks;
    if (!condition) ++failures;
    std::printf("%s - %s\n", condition ? "ok" : "FAIL", what);
}

}  // namespace

int wmain() {
    Expect(!staticProbe.attempt.loaded, "a static constructor does not find the DLL beside the program");
    Expect(staticProbe.attempt.loaded || staticProbe.attempt.error == ERROR_MOD_NOT_FOUND,
           "that load fails with ERROR_MOD_NOT_FOUND");
    Expect(!TryBareName(kPlantedName).loaded, "main does not find it either");

    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* slash = length > 0 && length < MAX_PATH ? wcsrchr(path, L'\\') : nullptr;
    if (slash && static_cast<size_t>(slash - path) + 1 + wcslen(kPlantedName) < MAX_PATH) {
        wcscpy(slash + 1, kPlantedName);
        HMODULE planted = LoadLibraryExW(path, nullptr, 0);
        Expect(planted && GetProcAddress(planted, "KvnPlantedLibraryMark"), "by its full path the DLL loads");
        if (planted) FreeLibrary(planted);
    } else {
        Expect(false, "the program's folder is known");
    }

    wchar_t system[MAX_PATH], loaded[MAX_PATH];
    UINT systemLength = GetSystemDirectoryW(system, MAX_PATH);
    HMODULE version = LoadLibraryW(L"version.dll");
    DWORD loadedLength = version ? GetModuleFileNameW(version, loaded, MAX_PATH) : 0;
    Expect(version && systemLength > 0 && loadedLength > systemLength &&
               _wcsnicmp(loaded, system, systemLength) == 0,
           "version.dll loads by name from the system folder");
    if (version) FreeLibrary(version);
    std::printf("uninstaller search probe: %d checks, %d failed\n", checks, failures);
    return failures;
}
