#pragma once
// Decodes the embedded payload resource into the package working folder.
#include "wizard/product_installer_callback.h"

class CKVNBarcodeSetupApp;

extern const wchar_t kPayloadResourceType[];  // "{61C38F02-7412}"
extern const wchar_t kPayloadResourceName[];  // "{8D4F2B16-C05A-4E93-A7B1-3F6E92D0C845}"

// 1 when the package was decoded and extracted (also when the callback asked
// to stop), 0 when there was no package to decode or decoding failed.
int DecodeInstallationPackage(IProductInstallerCallbak* callback, CKVNBarcodeSetupApp* app);
