// The uninstaller's DLL-search restriction (foundation/dll_search_restriction.cpp,
// linked here as in the uninstaller) probed as the setup's is: a static
// constructor and main load a DLL that lies beside the program by its bare
// name and must not find it. The exit code is the number of failed checks.
#include "tests/win32/support/dll_search_checks.h"

namespace {

const wchar_t kPlantedName[] = L"kvn_uninstall_planted.dll";

// Runs while the C++ static objects are constructed, before wmain.
const LoadAttempt atStartUp = TryBareName(kPlantedName);

}  // namespace

int wmain() {
    return CheckDllSearch(atStartUp, kPlantedName, "uninstaller search probe");
}
