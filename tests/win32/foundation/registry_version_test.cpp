// Registry writes read back from the real registry, file versions of real
// files, and the version text.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/block.h"
#include "foundation/file_tree.h"
#include "foundation/registry_version.h"
#include "tests/win32/support/paths.h"
#include "tests/win32/support/registry.h"

namespace {

const wchar_t kTestRoot[] = L"SOFTWARE\\KVNTestFoundation";

struct StoredValue {
    LONG status = -1;
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

StoredValue Query(const std::wstring& keyPath, const wchar_t* name) {
    StoredValue value;
    HKEY key = nullptr;
    value.status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key);
    if (value.status != ERROR_SUCCESS) return value;
    DWORD size = 0;
    value.status = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (value.status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.status = RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &size);
    }
    RegCloseKey(key);
    return value;
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestRoot); }
    void TearDown() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestRoot);
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kTestRoot));
    }
    const std::wstring deep = std::wstring(kTestRoot) + L"\\Missing\\Parents\\Key";
};

TEST_F(Registry, TextValueIsStoredWithItsTerminatorInMissingKeys) {
    const wchar_t text[] = L"abc";
    ASSERT_EQ(sizeof text, 8u);
    EXPECT_EQ(WriteRegistryValue(HKEY_LOCAL_MACHINE, deep.c_str(), L"Name", REG_SZ,
                                 reinterpret_cast<const BYTE*>(text), sizeof text),
              0);
    const StoredValue stored = Query(deep, L"Name");
    ASSERT_EQ(stored.status, ERROR_SUCCESS);
    EXPECT_EQ(stored.type, DWORD(REG_SZ));
    ASSERT_EQ(stored.bytes.size(), 8u);
    EXPECT_EQ(std::memcmp(stored.bytes.data(), text, 8), 0);
}

TEST_F(Registry, ValueOfTheSameNameIsReplacedTypeIncluded) {
    const wchar_t text[] = L"first";
    ASSERT_EQ(WriteRegistryValue(HKEY_LOCAL_MACHINE, deep.c_str(), L"V", REG_SZ,
                                 reinterpret_cast<const BYTE*>(text), sizeof text),
              0);
    const DWORD number = 0x01020304;
    EXPECT_EQ(WriteRegistryValue(HKEY_LOCAL_MACHINE, deep.c_str(), L"V", REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&number), sizeof number),
              0);
    const BYTE binary[3] = {0, 0xFF, 7};
    EXPECT_EQ(WriteRegistryValue(HKEY_LOCAL_MACHINE, deep.c_str(), nullptr, REG_BINARY, binary, 3), 0);

    StoredValue stored = Query(deep, L"V");
    EXPECT_EQ(stored.type, DWORD(REG_DWORD));
    ASSERT_EQ(stored.bytes.size(), 4u);
    EXPECT_EQ(std::memcmp(stored.bytes.data(), &number, 4), 0);
    stored = Query(deep, nullptr);
    EXPECT_EQ(stored.type, DWORD(REG_BINARY));
    EXPECT_EQ(stored.bytes, std::vector<BYTE>(binary, binary + 3));
}

TEST_F(Registry, MissingDataIsRefusedWithoutCreatingTheKey) {
    const BYTE byte = 1;
    EXPECT_EQ(WriteRegistryValue(HKEY_LOCAL_MACHINE, deep.c_str(), L"V", REG_BINARY, &byte, 0), 87);
    EXPECT_EQ(WriteRegistryValue(HKEY_LOCAL_MACHINE, deep.c_str(), L"V", REG_BINARY, nullptr, 4), 87);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kTestRoot));
}

TEST_F(Registry, KeyFailureReturnsItsErrorCode) {
    const BYTE byte = 1;
    HKEY key = nullptr;
    const LONG direct = RegCreateKeyExW(nullptr, L"Any", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                        nullptr, &key, nullptr);
    ASSERT_NE(direct, ERROR_SUCCESS);
    EXPECT_EQ(WriteRegistryValue(nullptr, L"Any", L"V", REG_BINARY, &byte, 1), int(direct));
}

TEST(FileVersion, VersionOfALibraryWithAVersionResource) {
    const std::wstring library = ProgramFolder() + L"\\kvn_versioned.dll";
    const uint64_t version = GetFileVersion(library.c_str());
    EXPECT_EQ(version, (uint64_t(2 * 65536 + 1) << 32) | (7 * 65536 + 13));

    wchar_t text[128] = {};
    FormatVersion(text, DWORD(version), DWORD(version >> 32));
    EXPECT_STREQ(text, L"2.1.7.13");
}

TEST(FileVersion, NoVersionGivesZero) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring plain =
        std::wstring(temp) + L"kvn-plain-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    CWBlock block;
    block.Append("not a program", 13);
    ASSERT_EQ(WriteBlockToFile(plain.c_str(), block), 0);
    EXPECT_EQ(GetFileVersion(plain.c_str()), 0u);
    DeleteFileW(plain.c_str());

    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(GetFileVersion(self), 0u) << "this test program carries no version resource";
    EXPECT_EQ(GetFileVersion((ProgramFolder() + L"\\no-such-file.dll").c_str()), 0u);
    EXPECT_EQ(GetFileVersion(L""), 0u);
    EXPECT_EQ(GetFileVersion(nullptr), 0u);
}

// The names of the libraries this program imports statically.
std::vector<std::string> StaticImports() {
    std::vector<std::string> names;
    const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress) return names;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         entry->Name; ++entry) {
        std::string name(reinterpret_cast<const char*>(base + entry->Name));
        for (char& c : name) c = char(tolower(static_cast<unsigned char>(c)));
        names.push_back(name);
    }
    return names;
}

TEST(FileVersion, VersionLibraryIsLoadedOnlyWhileReading) {
    const std::vector<std::string> imports = StaticImports();
    ASSERT_FALSE(imports.empty());
    for (const std::string& name : imports) EXPECT_NE(name, "version.dll");

    ASSERT_EQ(GetModuleHandleW(L"version.dll"), nullptr);
    GetFileVersion((ProgramFolder() + L"\\kvn_versioned.dll").c_str());
    EXPECT_EQ(GetModuleHandleW(L"version.dll"), nullptr) << "version.dll was not freed";
}

TEST(FormatVersion, PartsAndLimits) {
    wchar_t text[32];
    std::fill(text, text + 32, L'#');
    FormatVersion(text, 0, 0);
    EXPECT_STREQ(text, L"0.0.0.0");

    std::fill(text, text + 32, L'#');
    FormatVersion(text, 0xFFFFFFFF, 0xFFFFFFFF);
    EXPECT_STREQ(text, L"65535.65535.65535.65535");
    EXPECT_EQ(text[24], L'#') << "wrote past the longest result";

    FormatVersion(text, 0x000A0100, 0x00010002);
    EXPECT_STREQ(text, L"1.2.10.256");
    FormatVersion(nullptr, 1, 1);
}

}  // namespace
