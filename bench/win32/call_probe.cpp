#include "bench/win32/call_probe.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "foundation/file_tree.h"
#include "foundation/registry_version.h"

namespace {

constexpr int kCalls = 400;

void Print(const char* name, double seconds, int calls) {
    std::printf("probe.%s=%.1f\n", name, seconds * 1e6 / calls);
}

std::wstring Numbered(const std::wstring& folder, const wchar_t* stem, int i) {
    return folder + L"\\" + stem + std::to_wstring(i) + L".bin";
}

bool WriteSmallFile(const std::wstring& path, const std::vector<char>& bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

}  // namespace

int RunCallProbe(const wchar_t* scratchFolder) {
    const std::wstring root = scratchFolder;
    DeleteFolderTree(root.c_str());
    const std::wstring deep = root + L"\\a\\b\\c";
    if (!CreateFolderPath(deep.c_str()) && GetFileAttributesW(deep.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("error=cannot create the scratch folder\n");
        return 1;
    }
    const std::vector<char> bytes(4096, 'k');
    const std::wstring missing = root + L"\\missing.bin";

    // What extraction does around each record.
    Stopwatch w1;
    for (int i = 0; i < kCalls; ++i) CreateFolderPath(deep.c_str());
    Print("CreateFolderPath of an existing folder", w1.Seconds(), kCalls);

    Stopwatch w2;
    for (int i = 0; i < kCalls; ++i) CreateDirectoryW(deep.c_str(), nullptr);
    Print("CreateDirectoryW of an existing folder", w2.Seconds(), kCalls);

    Stopwatch w3;
    for (int i = 0; i < kCalls; ++i) DeleteFileW(missing.c_str());
    Print("DeleteFileW of a missing file", w3.Seconds(), kCalls);

    Stopwatch w4;
    for (int i = 0; i < kCalls; ++i) WriteSmallFile(Numbered(deep, L"w", i), bytes);
    Print("CreateFileW + WriteFile 4 KiB + CloseHandle", w4.Seconds(), kCalls);

    // The extraction's own way against the bare create and the delete-then-replace one, in
    // turns, each in a folder of its own so that each folder holds as many files.
    const std::wstring bare = root + L"\\bare", own = root + L"\\own", replace = root + L"\\replace";
    const std::wstring anew = root + L"\\new";
    for (const std::wstring* folder : {&bare, &own, &replace, &anew})
        CreateDirectoryW(folder->c_str(), nullptr);
    double bareWay = 0, ownWay = 0, replaceWay = 0, newWay = 0;
    for (int i = 0; i < kCalls; ++i) {
        Stopwatch n;
        WriteBytesToFile(Numbered(anew, L"f", i).c_str(), bytes.data(), static_cast<uint32_t>(bytes.size()),
                         CREATE_NEW);
        newWay += n.Seconds();
        Stopwatch a;
        WriteSmallFile(Numbered(bare, L"f", i), bytes);
        bareWay += a.Seconds();
        Stopwatch b;
        DWORD attributes = 0;
        WriteBytesToFile(Numbered(own, L"f", i).c_str(), bytes.data(), static_cast<uint32_t>(bytes.size()),
                         CREATE_NEW, &attributes);
        ownWay += b.Seconds();
        Stopwatch c;
        DeleteFileW(Numbered(replace, L"f", i).c_str());
        WriteBytesToFile(Numbered(replace, L"f", i).c_str(), bytes.data(),
                         static_cast<uint32_t>(bytes.size()), CREATE_ALWAYS);
        replaceWay += c.Seconds();
    }
    Print("CreateFileW CREATE_ALWAYS + WriteFile 4 KiB + CloseHandle, 400 in a folder", bareWay, kCalls);
    Print("CREATE_NEW + WriteFile 4 KiB + CloseHandle", newWay, kCalls);
    Print("CREATE_NEW + WriteFile 4 KiB + attributes by handle + CloseHandle", ownWay, kCalls);
    Print("DeleteFileW of a missing file + CREATE_ALWAYS + WriteFile 4 KiB + CloseHandle", replaceWay,
          kCalls);

    Stopwatch w5;
    for (int i = 0; i < kCalls; ++i)
        SetFileAttributesW(Numbered(deep, L"w", i).c_str(), FILE_ATTRIBUTE_ARCHIVE);
    Print("SetFileAttributesW", w5.Seconds(), kCalls);

    // What the component copy does for each file.
    Stopwatch w6;
    for (int i = 0; i < kCalls; ++i) GetFileVersion(Numbered(deep, L"w", i).c_str());
    Print("GetFileVersion of a file without a version", w6.Seconds(), kCalls);

    Stopwatch w7;
    for (int i = 0; i < kCalls; ++i)
        CopyFileW(Numbered(deep, L"w", i).c_str(), Numbered(root, L"c", i).c_str(), FALSE);
    Print("CopyFileW 4 KiB", w7.Seconds(), kCalls);

    // What the removal of the working folder does.
    Stopwatch w8;
    for (int i = 0; i < kCalls; ++i) DeleteFileW(Numbered(deep, L"w", i).c_str());
    Print("DeleteFileW of a file", w8.Seconds(), kCalls);

    DeleteFolderTree(root.c_str());
    return 0;
}
