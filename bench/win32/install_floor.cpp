#include "bench/win32/install_floor.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "app/setup_state.h"
#include "foundation/block.h"
#include "foundation/registry_version.h"
#include "package/aes_key.h"
#include "package/decode_pipeline.h"
#include "package/extract.h"
#include "foundation/file_tree.h"
#include <algorithm>
#include "package/key_blob.h"
#include "package/package_format.h"

namespace {

// One record of the package, with its place in the working folder and where
// the component copy puts it.
struct Entry {
    std::wstring working;      // below the working folder
    std::wstring destination;  // empty when no component copy takes it
    bool folder = false;
    bool topLevelFile = false;  // directly in a package folder: its versions are read
    uint32_t attributes = 0;
    const uint8_t* content = nullptr;
    uint32_t length = 0;
};

// The package image of the payload linked into this program.
bool DecodeImage(CWBlock& image) {
    HRSRC resource = FindResourceW(nullptr, kPayloadResourceName, kPayloadResourceType);
    HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(nullptr, resource) : 0;
    CWBlock container;
    if (!bytes || !size || !container.Append(bytes, size)) return false;
    uint8_t blob[kKeyBlobSize];
    WriteKeyBlob(blob);
    CWBlock keyBlob;
    keyBlob.Append(blob, kKeyBlobSize);
    CWCryptAESKey key;
    key.ImportKeyBlob(keyBlob);
    key.Decrypt(container);
    return InflatePackage(container, image) == 0;
}

bool StartsWithFolder(const std::wstring& path, const wchar_t* folder, size_t& rest) {
    const size_t length = wcslen(folder);
    if (length == 0 || path.size() < length || _wcsnicmp(path.c_str(), folder, length) != 0) return false;
    if (path.size() == length) {
        rest = length;
        return true;
    }
    if (path[length] != L'\\') return false;
    rest = length;
    return true;
}

// The component copies of an installation with every component selected:
// package folder k + 10 into destination k.
struct Pair {
    const wchar_t* destination;
    const wchar_t* source;
};

std::vector<Pair> Pairs(const SetupPaths& p) {
    return {{p.InstallDir, p.PkgMainDir},    {p.SystemDir, p.PkgSys32Dir},    {p.BinDir, p.PkgBinDir},
            {p.HelpDir, p.PkgHelpDir},       {p.SamplesDir, p.PkgSamplesDir}, {p.ImagesDir, p.PkgImagesDir},
            {p.IncludeDir, p.PkgIncludeDir}, {p.LibDir, p.PkgLibDir},         {p.RedistDir, p.PkgRedistDir}};
}

std::vector<Entry> ListEntries(const CWBlock& image, const SetupPaths& paths) {
    std::vector<Entry> entries;
    const std::vector<Pair> pairs = Pairs(paths);
    PackageRecordReader reader(image);
    PackageRecord record;
    while (reader.Next(record) == 1) {
        if (!record.IsNamed()) continue;
        Entry e;
        e.working = std::wstring(paths.PackageDir) + L"\\";
        for (const char16_t* c = record.name; *c; ++c) e.working += static_cast<wchar_t>(*c);
        e.folder = record.IsFolder();
        e.attributes = record.attributes;
        e.content = record.content;
        e.length = record.contentLength;
        for (const Pair& pair : pairs) {
            size_t rest = 0;
            if (!StartsWithFolder(e.working, pair.source, rest) || rest == e.working.size()) continue;
            const std::wstring below = e.working.substr(rest);  // "\name..."
            e.destination = pair.destination + below;
            e.topLevelFile = !e.folder && below.find(L'\\', 1) == std::wstring::npos;
            break;
        }
        entries.push_back(e);
    }
    return entries;
}

bool Extract(const std::wstring& packageDir, const std::vector<Entry>& entries,
             bool asTheSetupWrites = false) {
    bool ok = true;
    // The working folder and its missing parents, one creation each.
    for (size_t i = 0; i <= packageDir.size(); ++i) {
        if (i < packageDir.size() && packageDir[i] != L'\\') continue;
        const std::wstring part = packageDir.substr(0, i);
        if (part.size() > 2) CreateDirectoryW(part.c_str(), nullptr);
    }
    for (const Entry& e : entries) {
        if (e.folder) {
            ok &= CreateDirectoryW(e.working.c_str(), nullptr) != 0;
            if (e.attributes != FILE_ATTRIBUTE_DIRECTORY) SetFileAttributesW(e.working.c_str(), e.attributes);
            continue;
        }
        if (asTheSetupWrites) {
            DWORD attributes = 0;
            ok &= WriteBytesToFile(e.working.c_str(), e.content, e.length, CREATE_NEW, &attributes) == 0;
            if (attributes != e.attributes) SetFileAttributesW(e.working.c_str(), e.attributes);
            continue;
        }
        const HANDLE file = CreateFileW(e.working.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            ok = false;
            continue;
        }
        DWORD written = 0;
        if (e.length) ok &= WriteFile(file, e.content, e.length, &written, nullptr) && written == e.length;
        CloseHandle(file);
        if (e.attributes != FILE_ATTRIBUTE_ARCHIVE) SetFileAttributesW(e.working.c_str(), e.attributes);
    }
    return ok;
}

// One pass over a folder's entries, as a tree walk makes it.
void Enumerate(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    while (FindNextFileW(find, &entry)) {
    }
    FindClose(find);
}

bool Copy(const SetupPaths& paths, const std::vector<Entry>& entries) {
    bool ok = true;
    for (const Pair& pair : Pairs(paths)) {
        Enumerate(pair.source);
        CreateDirectoryW(pair.destination, nullptr);
    }
    for (const Entry& e : entries) {
        if (e.destination.empty()) continue;
        if (e.folder) {
            Enumerate(e.working);
            ok &= CreateDirectoryW(e.destination.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
            continue;
        }
        if (e.topLevelFile) {
            GetFileVersion(e.destination.c_str());
            GetFileVersion(e.working.c_str());
        }
        ok &= CopyFileW(e.working.c_str(), e.destination.c_str(), FALSE) != 0;
    }
    return ok;
}

bool Delete(const std::wstring& packageDir, const std::vector<Entry>& entries) {
    bool ok = true;
    Enumerate(packageDir);
    for (const Entry& e : entries)
        if (e.folder) Enumerate(e.working);
    for (const Entry& e : entries) {
        if (e.folder) continue;
        if (e.attributes & FILE_ATTRIBUTE_READONLY)
            SetFileAttributesW(e.working.c_str(), FILE_ATTRIBUTE_NORMAL);
        ok &= DeleteFileW(e.working.c_str()) != 0;
    }
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->folder) ok &= RemoveDirectoryW(it->working.c_str()) != 0;
    ok &= RemoveDirectoryW(packageDir.c_str()) != 0;
    return ok;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

// The setup's extraction against the bare one and against the bare one with
// the setup's way of writing a file, in turns in one process.
int CompareExtractions(int rounds) {
    CLPSSetupState app;
    app.ComputeSetupPaths();
    const SetupPaths& paths = app.m_paths;
    CWBlock image;
    if (!paths.PackageDir[0] || !DecodeImage(image)) return 1;
    const std::vector<Entry> entries = ListEntries(image, paths);
    std::vector<double> setup, bare, bareOwnWrite;
    for (int i = 0; i < rounds; ++i) {
        Stopwatch a;
        ExtractPackage(image, nullptr, paths.PackageDir);
        setup.push_back(a.Seconds());
        DeleteFolderTree(paths.PackageDir);
        Stopwatch b;
        Extract(paths.PackageDir, entries);
        bare.push_back(b.Seconds());
        DeleteFolderTree(paths.PackageDir);
        Stopwatch c;
        Extract(paths.PackageDir, entries, true);
        bareOwnWrite.push_back(c.Seconds());
        DeleteFolderTree(paths.PackageDir);
    }
    std::printf("extract.setup=%.6f\nextract.bare=%.6f\nextract.bare-with-the-setup's-write=%.6f\n",
                Median(setup), Median(bare), Median(bareOwnWrite));
    return 0;
}

int RunInstallFloor() {
    CLPSSetupState app;
    app.ComputeSetupPaths();
    const SetupPaths& paths = app.m_paths;
    CWBlock image;
    if (!paths.PackageDir[0] || !DecodeImage(image)) {
        std::printf("error=the payload could not be decoded\n");
        return 1;
    }
    const std::vector<Entry> entries = ListEntries(image, paths);

    Stopwatch extract;
    const bool extracted = Extract(paths.PackageDir, entries);
    const double extractSeconds = extract.Seconds();
    Stopwatch copy;
    const bool copied = Copy(paths, entries);
    const double copySeconds = copy.Seconds();
    Stopwatch remove;
    const bool removed = Delete(paths.PackageDir, entries);
    const double deleteSeconds = remove.Seconds();

    std::printf("floor.extract=%.6f\nfloor.copy=%.6f\nfloor.delete=%.6f\nfloor.ok=%d\n", extractSeconds,
                copySeconds, deleteSeconds, extracted && copied && removed ? 1 : 0);
    return extracted && copied && removed ? 0 : 1;
}
