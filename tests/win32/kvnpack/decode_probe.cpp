// decode_probe.exe FOLDER: runs the setup's decode (DecodePayloadResource)
// on the payload that kvnpack setup wrote into this program, into FOLDER,
// and prints its result and the process's peak commit. Built
// large-address-aware like the setup; measure-decode-limit feeds it
// growing payloads to find the largest package the 32-bit setup decodes.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "package/decode_pipeline.h"
#include "tests/win32/support/progress_callbacks.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: decode_probe FOLDER\n");
        return 2;
    }
    NeverStopCallback progress;
    const int result = DecodePayloadResource(&progress, nullptr, argv[1]);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    std::printf("decode result %d, peak commit %llu MiB\n", result,
                static_cast<unsigned long long>(counters.PeakPagefileUsage >> 20));
    return result == 1 ? 0 : 1;
}
