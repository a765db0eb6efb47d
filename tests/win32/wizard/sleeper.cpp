// A small program that only stays alive: the wizard tests copy it under the
// demo's name, so a process of that name runs for as long as a test needs.
#include <windows.h>
#include <cstdlib>

int main(int argc, char** argv) {
    int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    if (seconds <= 0 || seconds > 600) seconds = 60;
    Sleep(static_cast<DWORD>(seconds) * 1000);
    return 0;
}
