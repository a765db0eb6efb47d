// A library whose only purpose is its version resource (2.1.7.13).
#include <windows.h>

extern "C" __declspec(dllexport) int KvnVersionedProbe() {
    return 2171;
}
