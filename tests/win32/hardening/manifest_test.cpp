// The manifest of the built KVNBarcodeSetup.exe, read back through Wine's
// side-by-side loader: comctl32.dll, the one static import that is not a
// KnownDLL, must come from the shared Common Controls 6 assembly, and the
// manifest must not make the loader look in the program's folder.
#include <windows.h>
#include <objbase.h>

#include <cstddef>
#include <cwchar>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const wchar_t kSetup[] = KVN_SETUP_EXE;
const wchar_t kCommonControlsToken[] = L"6595b64144ccf1df";

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

// The manifest resource (RT_MANIFEST 1) as text; empty when there is none.
std::string ManifestText() {
    HMODULE module =
        LoadLibraryExW(kSetup, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return std::string();
    std::string text;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (found) {
        HGLOBAL loaded = LoadResource(module, found);
        const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
        if (bytes) text.assign(bytes, SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

// One assembly of an activation context: its identity and manifest path.
struct AssemblyFacts {
    bool known = false;
    std::wstring identity;
    std::wstring manifestPath;
};

// One record of an activation context, followed by its strings: the size
// is asked first. Empty when the query fails.
std::vector<BYTE> QueryContext(HANDLE context, void* subject, ULONG infoClass) {
    SIZE_T needed = 0;
    QueryActCtxW(0, context, subject, infoClass, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !QueryActCtxW(0, context, subject, infoClass, buffer.data(), buffer.size(), &needed))
        buffer.clear();
    return buffer;
}

AssemblyFacts QueryAssembly(HANDLE context, DWORD index) {
    AssemblyFacts facts;
    std::vector<BYTE> buffer = QueryContext(context, &index, AssemblyDetailedInformationInActivationContext);
    if (buffer.empty()) return facts;
    const auto* info =
        reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
    facts.known = true;
    if (info->lpAssemblyEncodedAssemblyIdentity)
        facts.identity.assign(info->lpAssemblyEncodedAssemblyIdentity,
                              info->ulEncodedAssemblyIdentityLength / 2);
    if (info->lpAssemblyManifestPath)
        facts.manifestPath.assign(info->lpAssemblyManifestPath, info->ulManifestPathLength / 2);
    return facts;
}

class SetupActivationContext : public ::testing::Test {
protected:
    void SetUp() override {
        ACTCTXW request = {};
        request.cbSize = sizeof(request);
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = kSetup;
        request.lpResourceName = MAKEINTRESOURCEW(1);
        m_context = CreateActCtxW(&request);
        ASSERT_NE(INVALID_HANDLE_VALUE, m_context)
            << "no activation context from the manifest of the setup, error " << GetLastError();
    }
    void TearDown() override {
        if (m_context != INVALID_HANDLE_VALUE) ReleaseActCtx(m_context);
    }
    HANDLE m_context = INVALID_HANDLE_VALUE;
};

TEST(SetupManifest, IsEmbeddedAndNamesNoFilesOfTheProgramsFolder) {
    std::string text = ManifestText();
    ASSERT_FALSE(text.empty()) << "no RT_MANIFEST resource 1 in the setup";
    EXPECT_NE(std::string::npos, text.find("Microsoft.Windows.Common-Controls"));
    // <file> elements redirect DLL names to files beside the manifest, that
    // is into the program's (Downloads) folder.
    EXPECT_EQ(std::string::npos, text.find("<file")) << text;
}

TEST_F(SetupActivationContext, RedirectsComctl32ToTheSharedCommonControls6Assembly) {
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(m_context, &cookie));
    ACTCTX_SECTION_KEYED_DATA keyed = {};
    keyed.cbSize = sizeof(keyed);
    BOOL redirected = FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                               L"comctl32.dll", &keyed);
    HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    wchar_t loadedPath[MAX_PATH] = {};
    if (comctl) GetModuleFileNameW(comctl, loadedPath, MAX_PATH);
    DeactivateActCtx(0, cookie);

    ASSERT_TRUE(redirected) << "comctl32.dll is not redirected by the setup's manifest";
    AssemblyFacts assembly = QueryAssembly(m_context, keyed.ulAssemblyRosterIndex);
    ASSERT_TRUE(assembly.known);
    std::wstring identity = Lower(assembly.identity);
    EXPECT_NE(std::wstring::npos, identity.find(L"microsoft.windows.common-controls")) << assembly.identity;
    EXPECT_NE(std::wstring::npos, identity.find(kCommonControlsToken)) << assembly.identity;
    EXPECT_NE(std::wstring::npos, identity.find(L"version=\"6.")) << assembly.identity;

    ASSERT_NE(nullptr, comctl);
    EXPECT_NE(std::wstring::npos, Lower(loadedPath).find(L"\\winsxs\\")) << loadedPath;
    if (comctl) FreeLibrary(comctl);
}

TEST_F(SetupActivationContext, EveryDependentAssemblyIsASharedOneFromWinSxS) {
    std::vector<BYTE> buffer = QueryContext(m_context, nullptr, ActivationContextDetailedInformation);
    ASSERT_GE(buffer.size(), sizeof(ACTIVATION_CONTEXT_DETAILED_INFORMATION));
    const auto* details = reinterpret_cast<const ACTIVATION_CONTEXT_DETAILED_INFORMATION*>(buffer.data());
    // Index 1 is the program's own assembly; the rest are its dependencies.
    ASSERT_GE(details->ulAssemblyCount, 2u) << "the manifest declares no dependency";
    for (DWORD index = 2; index <= details->ulAssemblyCount; ++index) {
        AssemblyFacts assembly = QueryAssembly(m_context, index);
        ASSERT_TRUE(assembly.known) << "assembly " << index;
        EXPECT_NE(std::wstring::npos, Lower(assembly.manifestPath).find(L"\\winsxs\\"))
            << "assembly " << index << " (" << assembly.identity
            << ") is not a shared assembly: " << assembly.manifestPath;
    }
}

// The system draws the wizard at the screen's DPI (no bitmap stretching) and
// treats it as a program of Windows 7 to 11: the loader must read both
// declarations, so a wrong namespace or GUID fails here.
TEST_F(SetupActivationContext, DeclaresSystemDpiAwarenessAndWindows7To11) {
    wchar_t value[32] = {};
    SIZE_T written = 0;
    ASSERT_TRUE(QueryActCtxSettingsW(0, m_context, nullptr, L"dpiAware", value, 32, &written))
        << "no dpiAware setting, error " << GetLastError();
    EXPECT_STREQ(L"true", value);

    std::vector<BYTE> buffer = QueryContext(m_context, nullptr, CompatibilityInformationInActivationContext);
    ASSERT_GE(buffer.size(), sizeof(DWORD));
    // The record as Windows 10 and Wine give it; the compiler's header still
    // has the older element without MaxVersionTested.
    struct Element {
        GUID id;
        DWORD type;
        ULONGLONG maxVersionTested;
    };
    struct Information {
        DWORD count;
        Element elements[1];
    };
    const auto* info = reinterpret_cast<const Information*>(buffer.data());
    ASSERT_GE(buffer.size(), offsetof(Information, elements) + info->count * sizeof(Element));
    std::vector<std::wstring> systems;
    for (DWORD i = 0; i < info->count; ++i) {
        if (info->elements[i].type != ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) continue;
        wchar_t id[40] = {};
        StringFromGUID2(info->elements[i].id, id, 40);
        systems.push_back(Lower(id));
    }
    const std::vector<std::wstring> expected = {
        L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
        L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
        L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
        L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
    };
    EXPECT_EQ(expected, systems);
}

}  // namespace
