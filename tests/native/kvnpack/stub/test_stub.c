/* A small Windows program with resources of every kind the setup carries
   (strings, dialog, manifest, version, a named type): the stub the native
   tests write payloads into. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
    (void)previous, (void)line, (void)show;
    wchar_t text[64];
    return LoadStringW(instance, 1, text, 64) > 0 ? 0 : 1;
}
