/* A DLL that only carries resources: linked without the C runtime, loaded
   by the tests as a data file, so this entry point never runs. */
#include <windows.h>

BOOL WINAPI DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
