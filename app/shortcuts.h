#pragma once
#include <windows.h>
#include "app/setup_state.h"

class CWRunControl;

// The product's folder below the Start menu's Programs folder, and its parent.
extern const wchar_t kStartMenuProductFolder[];  // "Korvane\Barcode Reader SDK"
extern const wchar_t kStartMenuVendorFolder[];   // "Korvane"

// The current user's Programs folder into programs (260 units). 1 when it is
// known and the user's Startup folder resolves too; 0 otherwise (no Start-menu
// entry is then made or removed).
int GetStartMenuPrograms(wchar_t* programs);

// 1 when the link file "<Programs>\Korvane\Barcode Reader SDK\<linkName>.lnk" was saved.
int CreateShortcut(const wchar_t* folder, const wchar_t* fileName, const wchar_t* linkName);
// CreateShortcut through the journal of run (foundation/run_control.h), when
// it keeps one: a link of that name is saved aside first, and the Start-menu
// folders the link makes are recorded, so a rollback gives back the links
// that were there.
int CreateShortcutOfRun(const wchar_t* folder, const wchar_t* fileName, const wchar_t* linkName,
                        CWRunControl* run);
// COM result of the creation, the IPersistFile request or the save.
HRESULT CreateLink(const wchar_t* target, const wchar_t* linkFile, const wchar_t* description);
// Result of CreateProcessW (non-zero when the demo started).
BOOL LaunchDemo(CLPSSetupState* app);
