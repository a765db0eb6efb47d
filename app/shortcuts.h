#pragma once
#include <windows.h>
#include "app/setup_app.h"

// 1 when the link file "<Programs>\Korvane\Barcode Reader SDK\<linkName>.lnk" was saved.
int CreateShortcut(const wchar_t* folder, const wchar_t* fileName, const wchar_t* linkName);
// COM result of the creation, the IPersistFile request or the save.
HRESULT CreateLink(const wchar_t* target, const wchar_t* linkFile, const wchar_t* description);
// Result of CreateProcessW (non-zero when the demo started).
BOOL LaunchDemo(CKVNBarcodeSetupApp* app);
