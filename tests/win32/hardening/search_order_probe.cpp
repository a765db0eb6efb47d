// The program's own entry point (program/winmain.cpp) with an application
// object that probes the DLL search: a static constructor, which runs before
// wWinMain, and InitInstance try to load a DLL that lies in the program's
// folder by its bare name. Neither may find it. Run() returns the number of
// failed checks, which becomes the exit code.
#include "framework/winapp.h"
#include "tests/win32/support/dll_search_checks.h"

namespace {

const wchar_t kPlantedName[] = L"kvn_hardening_planted.dll";

// Runs while the C++ static objects are constructed, before wWinMain.
const LoadAttempt atStartUp = TryBareName(kPlantedName);

class SearchOrderProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        m_failures = CheckDllSearch(atStartUp, kPlantedName, "search order probe");
        return TRUE;
    }
    int Run() override { return m_failures; }

private:
    int m_failures = 0;
};

SearchOrderProbeApp theProbe;

}  // namespace
