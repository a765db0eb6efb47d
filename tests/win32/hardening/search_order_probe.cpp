// The program's own entry point (framework/winmain.cpp) with an application
// object that probes the DLL search: a static constructor, which runs before
// wWinMain, and InitInstance try to load a DLL that lies in the program's
// folder by its bare name. Neither may find it; by its full path it loads.
// Run() returns the number of failed checks, which becomes the exit code.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "framework/winapp.h"

namespace {

const wchar_t kPlantedName[] = L"kvn_hardening_planted.dll";

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

// Runs while the C++ static objects are constructed, before wWinMain.
struct StaticProbe {
    Attempt attempt;
    StaticProbe() : attempt(TryBareName(kPlantedName)) {}
};
StaticProbe staticProbe;

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

class SearchOrderProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        Expect(!staticProbe.attempt.loaded,
               "a static constructor does not find the DLL of the program's folder by its bare name");
        Expect(staticProbe.attempt.loaded || staticProbe.attempt.error == ERROR_MOD_NOT_FOUND,
               "the load in the static constructor fails with ERROR_MOD_NOT_FOUND");

        Attempt late = TryBareName(kPlantedName);
        Expect(!late.loaded, "InitInstance does not find the DLL of the program's folder by its bare name");

        // The DLL itself is sound: by its full path it loads.
        wchar_t path[MAX_PATH];
        bool havePath = ProgramFolderFile(kPlantedName, path, MAX_PATH);
        Expect(havePath, "the program's folder is known");
        if (havePath) {
            HMODULE module = LoadLibraryExW(path, nullptr, 0);
            Expect(module != nullptr, "the DLL of the program's folder loads by its full path");
            if (module) {
                Expect(GetProcAddress(module, "KvnPlantedLibraryMark") != nullptr,
                       "the DLL loaded by full path is the planted one");
                FreeLibrary(module);
            }
        }

        // System DLLs are still found by name, in the system folder.
        wchar_t system[MAX_PATH];
        UINT systemLength = GetSystemDirectoryW(system, MAX_PATH);
        HMODULE version = LoadLibraryW(L"version.dll");
        Expect(version != nullptr, "version.dll loads by its bare name");
        if (version && systemLength > 0 && systemLength < MAX_PATH) {
            wchar_t loaded[MAX_PATH];
            DWORD length = GetModuleFileNameW(version, loaded, MAX_PATH);
            Expect(length > 0 && length < MAX_PATH && StartsWithNoCase(loaded, system),
                   "version.dll comes from the system folder");
        }
        if (version) FreeLibrary(version);
        return TRUE;
    }

    int Run() override {
        std::printf("search order probe: %d checks, %d failed\n", m_checks, m_failures);
        return m_failures;
    }

private:
    void Expect(bool condition, const char* what) {
        ++m_checks;
        if (!condition) {
            ++m_failures;
            std::printf("FAIL - %s\n", what);
        } else {
            std::printf("ok - %s\n", what);
        }
    }

    int m_checks = 0;
    int m_failures = 0;
};

SearchOrderProbeApp theProbe;

}  // namespace
