// The manifest of the built KVNBarcodeSetup.exe, read back through Wine's
// side-by-side loader: comctl32.dll, the one static import that is not a
// KnownDLL, must come from the shared Common Controls 6 assembly, and the
// manifest must not make the loader look in the program's folder.
#include <windows.h>

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
    HMODULE module = LoadLibraryExW(kSetup, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
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

AssemblyFacts QueryAssembly(HANDLE context, DWORD index) {
    AssemblyFacts facts;
    SIZE_T needed = 0;
    QueryActCtxW(0, context, &index, AssemblyDetailedInformationInActivationContext, nullptr, 0, &needed);
    if (needed == 0) return facts;
    std::vector<BYTE> buffer(needed);
    if (!QueryActCtxW(0, context, &index, AssemblyDetailedInformationInActivationContext, buffer.data(),
                      buffer.size(), &needed))
        return facts;
    const auto* info = reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
    facts.known = true;
    if (info->lpAssemblyEncodedAssemblyIdentity)
        facts.identity.assign(info->lpAssemblyEncodedAssemblyIdentity, info->ulEncodedAssemblyIdentityLength / 2);
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
    // The record is followed by its strings: ask for the size first.
    SIZE_T needed = 0;
    QueryActCtxW(0, m_context, nullptr, ActivationContextDetailedInformation, nullptr, 0, &needed);
    ASSERT_GE(needed, sizeof(ACTIVATION_CONTEXT_DETAILED_INFORMATION));
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(QueryActCtxW(0, m_context, nullptr, ActivationContextDetailedInformation, buffer.data(),
                             buffer.size(), &needed));
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

}  // namespace
