// The setup kvnpack made from the stub, through the Windows loader:
// FindResourceW finds the payload and the licence text with the bytes they
// were made from, every resource of the stub is there unchanged, and the
// program maps as an image.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "package/payload_resource_names.h"
#include "package/string_ids.h"

namespace {

const wchar_t* const kType = kPayloadResourceType;
const wchar_t* const kPayload = kPayloadResourceName;
const WORD kEnglishUS = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

class Module {
public:
    Module(const wchar_t* path, DWORD flags) : m_module(LoadLibraryExW(path, nullptr, flags)) {}
    ~Module() {
        if (m_module) FreeLibrary(m_module);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    HMODULE get() const { return m_module; }

private:
    HMODULE m_module;
};

std::vector<char> FileBytes(const wchar_t* path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// A resource's bytes; found is false when FindResourceExW has none.
std::vector<char> ResourceBytes(HMODULE module, const wchar_t* type, const wchar_t* name, WORD language,
                                bool& found) {
    HRSRC resource = FindResourceExW(module, type, name, language);
    found = resource != nullptr;
    if (!resource) return {};
    HGLOBAL loaded = LoadResource(module, resource);
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return bytes ? std::vector<char>(bytes, bytes + SizeofResource(module, resource)) : std::vector<char>();
}

// A resource name or type as the enumeration hands it over, kept after the
// callback returns.
struct Key {
    bool named;
    std::wstring text;
    ULONG_PTR id;
    const wchar_t* get() const { return named ? text.c_str() : MAKEINTRESOURCEW(id); }
    static Key From(const wchar_t* value) {
        return IS_INTRESOURCE(value) ? Key{false, L"", reinterpret_cast<ULONG_PTR>(value)}
                                     : Key{true, value, 0};
    }
};

struct StubResource {
    Key type, name;
    WORD language;
};

BOOL CALLBACK OnLanguage(HMODULE, const wchar_t* type, const wchar_t* name, WORD language, LONG_PTR list) {
    reinterpret_cast<std::vector<StubResource>*>(list)->push_back(
        {Key::From(type), Key::From(name), language});
    return TRUE;
}
BOOL CALLBACK OnName(HMODULE module, const wchar_t* type, wchar_t* name, LONG_PTR list) {
    return EnumResourceLanguagesW(module, type, name, OnLanguage, list);
}
BOOL CALLBACK OnType(HMODULE module, wchar_t* type, LONG_PTR list) {
    return EnumResourceNamesW(module, type, OnName, list);
}

const DWORD kAsData = LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE;

TEST(KvnpackSetup, PayloadAndLicenceTextReadBackThroughFindResource) {
    Module setup(KVN_SETUP_EXE, kAsData);
    ASSERT_TRUE(setup.get()) << GetLastError();
    bool found = false;
    const std::vector<char> payload = ResourceBytes(setup.get(), kType, kPayload, kEnglishUS, found);
    ASSERT_TRUE(found);
    EXPECT_EQ(FileBytes(KVN_EXPECTED_PAYLOAD), payload);
    // Looked up as the setup does: FindResourceW, the name in any letter case.
    EXPECT_TRUE(FindResourceW(setup.get(), L"{8d4f2b16-c05a-4e93-a7b1-3f6e92d0c845}", kType));
    const std::vector<char> agreement =
        ResourceBytes(setup.get(), kType, kAgreementResourceName, kEnglishUS, found);
    ASSERT_TRUE(found);
    EXPECT_EQ(FileBytes(KVN_EXPECTED_AGREEMENT), agreement);
    EXPECT_TRUE(FindResourceW(setup.get(), kAgreementResourceName, kType));

    Module stub(KVN_SETUP_STUB, kAsData);
    ASSERT_TRUE(stub.get());
    EXPECT_FALSE(FindResourceW(stub.get(), kPayload, kType)) << "the stub carries no payload";
    EXPECT_FALSE(FindResourceW(stub.get(), kAgreementResourceName, kType));
}

TEST(KvnpackSetup, EveryResourceOfTheStubIsKeptByteForByte) {
    Module stub(KVN_SETUP_STUB, kAsData), setup(KVN_SETUP_EXE, kAsData);
    ASSERT_TRUE(stub.get() && setup.get());
    std::vector<StubResource> resources;
    ASSERT_TRUE(EnumResourceTypesW(stub.get(), OnType, reinterpret_cast<LONG_PTR>(&resources)));
    // Strings, dialogs, bitmaps, icon, manifest and version at least.
    for (ULONG_PTR kind : {6, 5, 2, 3, 14, 24, 16}) {
        bool present = false;
        for (const StubResource& r : resources) present |= !r.type.named && r.type.id == kind;
        EXPECT_TRUE(present) << "the stub has resources of type " << kind;
    }
    for (const StubResource& r : resources) {
        bool inStub = false, inSetup = false;
        const std::vector<char> before =
            ResourceBytes(stub.get(), r.type.get(), r.name.get(), r.language, inStub);
        const std::vector<char> after =
            ResourceBytes(setup.get(), r.type.get(), r.name.get(), r.language, inSetup);
        EXPECT_TRUE(inSetup) << "type " << r.type.id << " name " << r.name.id;
        EXPECT_EQ(before, after) << "type " << r.type.id << " name " << r.name.id;
    }
}

TEST(KvnpackSetup, MapsAsAnImageWithItsResources) {
    Module image(KVN_SETUP_EXE, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_TRUE(image.get()) << GetLastError();
    EXPECT_TRUE(FindResourceW(image.get(), kPayload, kType));
    wchar_t text[128] = {};
    EXPECT_GT(LoadStringW(image.get(), IDS_VALIDATING_PACKAGE, text, 128), 0)
        << "a string of the stub's table";
}

}  // namespace
