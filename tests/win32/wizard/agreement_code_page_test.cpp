// The agreement text is decoded in the code page of its resource's language,
// whatever the ANSI code page of the Windows it runs on. ctest runs this
// program twice: as it is, and under a Japanese locale (ANSI code page 932,
// where the "®" byte 0xAE is a katakana and "“" 0x93 a lead byte).
#include <windows.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "app/setup_state.h"
#include "package/decode_pipeline.h"
#include "tests/win32/app/test_support.h"
#include "wizard/agreement_text.h"

namespace {

std::wstring Load(HMODULE module) {
    CLPSSetupState app;
    app.m_hResources = module;
    const wchar_t* text = LoadAgreementText(&app);
    return text ? std::wstring(text) : std::wstring(L"(none)");
}

// A copy of the blank DLL with one AGREEMENT resource in the given language.
class AgreementModule {
public:
    AgreementModule(WORD language, const std::string& bytes) {
        m_folder = MakeTempFolder(L"agreement");
        const std::wstring path = Join(m_folder, L"agreement.dll");
        CopyFileW(Join(ProgramFolder(), L"wizard_blank.dll").c_str(), path.c_str(), FALSE);
        HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
        if (update) {
            UpdateResourceW(update, kPayloadResourceType, kAgreementResourceName, language,
                            const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size()));
            EndUpdateResourceW(update, FALSE);
        }
        m_module =
            LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    ~AgreementModule() {
        if (m_module) FreeLibrary(m_module);
        RemoveTree(m_folder);
    }
    HMODULE get() const { return m_module; }

private:
    std::wstring m_folder;
    HMODULE m_module = nullptr;
};

TEST(AgreementCodePage, TheLocaleOfThisRunIsTheOneAsked) {
    const char* expected = std::getenv("KVN_EXPECT_ACP");
    if (!expected) GTEST_SKIP() << "run without a locale of its own (ANSI code page " << GetACP() << ")";
    EXPECT_EQ(static_cast<UINT>(std::atoi(expected)), GetACP());
}

TEST(AgreementCodePage, TheProgramsTextReadsAsWrittenInCodePage1252) {
    const std::wstring text = Load(GetModuleHandleW(nullptr));
    EXPECT_NE(text.find(L"Korvane\u00AE Barcode Reader SDK test tree"), std::wstring::npos) << GetACP();
    EXPECT_NE(text.find(L"\u201CI Agree\u201D"), std::wstring::npos) << GetACP();
    EXPECT_EQ(text.substr(text.size() - 18), L"END OF AGREEMENT\r\n");
}

TEST(AgreementCodePage, EachLanguageBringsItsCodePage) {
    const std::string bytes = "\xC0\xAE\x93x\x94";
    AgreementModule russian(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), bytes);  // 1251
    ASSERT_TRUE(russian.get());
    EXPECT_EQ(L"\u0410\u00AE\u201Cx\u201D", Load(russian.get()));
    AgreementModule english(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), bytes);  // 1252
    EXPECT_EQ(L"\u00C0\u00AE\u201Cx\u201D", Load(english.get()));
    // A neutral language names no code page: the system's is used.
    AgreementModule neutral(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), "plain\xAE");
    wchar_t expected[8] = {};
    MultiByteToWideChar(CP_ACP, 0, "plain\xAE", 6, expected, 8);
    EXPECT_EQ(std::wstring(expected), Load(neutral.get()));
}

}  // namespace
