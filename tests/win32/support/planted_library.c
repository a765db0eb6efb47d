/* A DLL that lies in the probe's own folder, where a planted DLL would lie
   in a Downloads folder. The probe must never find it by its bare name. */
#include <windows.h>

__declspec(dllexport) int KvnPlantedLibraryMark(void) {
    return 0x504C4E54;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
