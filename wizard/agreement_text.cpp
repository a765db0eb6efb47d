#include "wizard/agreement_text.h"
#include <cstring>
#include "app/setup_state.h"
#include "foundation/block.h"
#include "package/decode_pipeline.h"

namespace {

struct FoundLanguage {
    bool found = false;
    WORD language = 0;
};

BOOL CALLBACK TakeFirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR parameter) {
    auto* found = reinterpret_cast<FoundLanguage*>(parameter);
    found->found = true;
    found->language = language;
    return FALSE;  // one is enough
}

// The vendor writes the text once, in the ANSI code page of the resource's
// language (1252 for 1033), so every Windows shows it as written. A neutral
// language, or one without an ANSI code page, leaves the system's.
UINT CodePageOfLanguage(WORD language) {
    if (PRIMARYLANGID(language) == LANG_NEUTRAL) return CP_ACP;
    DWORD codePage = 0;
    if (!GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&codePage), sizeof(codePage) / sizeof(wchar_t)))
        return CP_ACP;
    return codePage != 0 && IsValidCodePage(codePage) ? codePage : CP_ACP;
}

}  // namespace

const wchar_t* LoadAgreementText(CLPSSetupState* app) {
    if (!app) return nullptr;
    HMODULE module = app->m_hResources;
    // The text and its code page come from one resource: the first language
    // the module carries it in.
    FoundLanguage language;
    EnumResourceLanguagesW(module, kPayloadResourceType, kAgreementResourceName, TakeFirstLanguage,
                           reinterpret_cast<LONG_PTR>(&language));
    HRSRC resource = language.found ? FindResourceExW(module, kPayloadResourceType, kAgreementResourceName,
                                                      language.language)
                                    : FindResourceW(module, kAgreementResourceName, kPayloadResourceType);
    const UINT codePage = language.found ? CodePageOfLanguage(language.language) : CP_ACP;
    app->m_agreementText.SetSize(0);
    if (!resource) return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD size = SizeofResource(module, resource);
    if (!bytes || size == 0) return nullptr;
    // Room for the wide text and its terminating zero.
    if (size > (0x7FFFFFFFu - 2) / 2) return nullptr;

    CWBlock narrow;
    const char zero = '\0';
    if (!narrow.Append(bytes, size) || !narrow.Append(&zero, 1)) return nullptr;
    uint32_t wideBytes = 2 * size + 2;
    if (!app->m_agreementText.SetSize(wideBytes)) return nullptr;
    auto* wide = reinterpret_cast<wchar_t*>(app->m_agreementText.GetData());
    std::memset(wide, 0, wideBytes);

    const char* text = reinterpret_cast<const char*>(narrow.GetData());
    int length = static_cast<int>(strnlen(text, size));
    if (length > 0) MultiByteToWideChar(codePage, 0, text, length, wide, length);
    return wide;
}
