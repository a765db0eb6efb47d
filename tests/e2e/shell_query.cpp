// shell_query.exe: reads what the shell knows, for the end-to-end test.
//
//   shell_query.exe --folders        programs=, startup=, program_files=,
//                                    system= (Windows paths of this prefix)
//   shell_query.exe --links FOLDER   every *.lnk of FOLDER read back through
//                                    IShellLinkW: linkN.name, linkN.target,
//                                    linkN.description, linkN.arguments,
//                                    linkN.workdir; count=
//
// Output: "key=value" lines (UTF-8). Exit code 0, 1 when a query failed,
// 64 wrong arguments.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/text_out.h"

namespace {

const int kExitOk = 0;
const int kExitFailed = 1;
const int kExitUsage = 64;

bool PrintFolder(const wchar_t* key, int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return false;
    PrintField(key, path);
    return true;
}

int PrintFolders() {
    bool ok = PrintFolder(L"programs", CSIDL_PROGRAMS);
    ok = PrintFolder(L"startup", CSIDL_STARTUP) && ok;
    ok = PrintFolder(L"program_files", CSIDL_PROGRAM_FILES) && ok;
    wchar_t system[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        PrintField(L"system", system);
    } else {
        ok = false;
    }
    return ok ? kExitOk : kExitFailed;
}

std::vector<std::wstring> LinkNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry = {};
    HANDLE find = FindFirstFileW((folder + L"\\*.lnk").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// One link file through the shell-link object; false when it cannot be read.
bool PrintLink(const std::wstring& key, const std::wstring& path) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    bool ok = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            wchar_t text[INFOTIPSIZE] = {};
            link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
            PrintField(key + L"target", text);
            text[0] = L'\0';
            link->GetDescription(text, INFOTIPSIZE);
            PrintField(key + L"description", text);
            text[0] = L'\0';
            link->GetArguments(text, INFOTIPSIZE);
            PrintField(key + L"arguments", text);
            text[0] = L'\0';
            link->GetWorkingDirectory(text, MAX_PATH);
            PrintField(key + L"workdir", text);
            ok = true;
        }
        file->Release();
    }
    link->Release();
    return ok;
}

int PrintLinks(const std::wstring& folder) {
    if (FAILED(CoInitialize(nullptr))) return kExitFailed;
    std::vector<std::wstring> names = LinkNames(folder);
    bool ok = true;
    PrintNumber(L"count", static_cast<long long>(names.size()));
    for (size_t i = 0; i < names.size(); ++i) {
        std::wstring key = L"link" + std::to_wstring(i) + L".";
        PrintField(key + L"name", names[i]);
        if (!PrintLink(key, folder + L"\\" + names[i])) {
            PrintField(key + L"error", L"unreadable");
            ok = false;
        }
    }
    CoUninitialize();
    return ok ? kExitOk : kExitFailed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && wcscmp(argv[1], L"--folders") == 0) return PrintFolders();
    if (argc == 3 && wcscmp(argv[1], L"--links") == 0 && argv[2][0] != L'\0') return PrintLinks(argv[2]);
    PrintError(L"usage: shell_query.exe --folders | --links FOLDER");
    return kExitUsage;
}
