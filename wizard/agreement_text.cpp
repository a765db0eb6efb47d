#include "wizard/agreement_text.h"
#include <cstring>
#include "app/setup_app.h"
#include "foundation/block.h"
#include "package/decode_pipeline.h"

const wchar_t kAgreementResourceName[] = L"AGREEMENT";

const wchar_t* LoadAgreementText(CKVNBarcodeSetupApp* app) {
    if (!app) return nullptr;
    HMODULE module = app->m_hInstance;
    HRSRC resource = FindResourceW(module, kAgreementResourceName, kPayloadResourceType);
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
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, text, length, wide, length);
    return wide;
}
