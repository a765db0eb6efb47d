// kvnbench_decode (setup|kvnpack) PAYLOAD FOLDER: one decode in a fresh
// process, so that its peak resident memory is the decode's own. "setup"
// decodes as the setup does; "kvnpack" runs the packaging tool's extract
// command. Prints the resident memory before the decode, the peak, and the time.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "bench/clock.h"
#include "bench/native_decode.h"
#include "tools/kvnpack/commands.h"

namespace {

// A "Vm...:  1234 kB" line of /proc/self/status, in KiB; -1 when missing.
long StatusKib(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
            return std::strtol(line.c_str() + n + 1, nullptr, 10);
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "setup") != 0 && std::strcmp(argv[1], "kvnpack") != 0)) {
        std::fprintf(stderr, "usage: kvnbench_decode (setup|kvnpack) PAYLOAD FOLDER\n");
        return 2;
    }
    const long baseline = StatusKib("VmRSS");
    const double start = NowSeconds();
    int status = 0;
    std::string error;
    if (std::strcmp(argv[1], "setup") == 0) {
        status = DecodePayloadFile(argv[2], argv[3], nullptr, nullptr, error);
    } else {
        std::ostringstream out, err;
        status = RunKvnpack({"extract", argv[2], argv[3]}, out, err);
        error = err.str();
    }
    const double seconds = NowSeconds() - start;
    const long peak = StatusKib("VmHWM");
    if (status != 0) {
        std::fprintf(stderr, "kvnbench_decode: %s\n", error.c_str());
        return 1;
    }
    std::printf("baseline_kib=%ld\npeak_kib=%ld\nseconds=%.6f\n", baseline, peak, seconds);
    return 0;
}
