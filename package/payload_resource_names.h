#pragma once
// The resources of a setup program that carry the payload and the licence
// text: one custom resource type, two names. kvnpack writes them (UTF-16,
// char16_t), the setup reads them (FindResourceW, wchar_t). Portable: no
// windows.h, kvnpack builds natively.
//
// Each text is written once, as a macro; the typed forms below are the same
// literal with a prefix: u"" KVN_PAYLOAD_RESOURCE_TYPE is the char16_t form,
// L"" KVN_PAYLOAD_RESOURCE_TYPE the wchar_t form.
#define KVN_PAYLOAD_RESOURCE_TYPE "{61C38F02-7412}"
#define KVN_PAYLOAD_RESOURCE_NAME "{8D4F2B16-C05A-4E93-A7B1-3F6E92D0C845}"
#define KVN_AGREEMENT_RESOURCE_NAME "AGREEMENT"

#ifndef RC_INVOKED
// What the setup looks up (wchar_t, the Windows API's UTF-16).
inline constexpr wchar_t kPayloadResourceType[] = L"" KVN_PAYLOAD_RESOURCE_TYPE;
inline constexpr wchar_t kPayloadResourceName[] = L"" KVN_PAYLOAD_RESOURCE_NAME;
inline constexpr wchar_t kAgreementResourceName[] = L"" KVN_AGREEMENT_RESOURCE_NAME;

// What kvnpack writes (char16_t on every host).
inline constexpr char16_t kPayloadResourceTypeU16[] = u"" KVN_PAYLOAD_RESOURCE_TYPE;
inline constexpr char16_t kPayloadResourceNameU16[] = u"" KVN_PAYLOAD_RESOURCE_NAME;
inline constexpr char16_t kAgreementResourceNameU16[] = u"" KVN_AGREEMENT_RESOURCE_NAME;
#endif
