// kvnbench: the benchmarks' command line. "run" is the native benchmark of
// the setup's decoding, "generate" writes the SDK tree alone, "install" the
// comparison of installations under Wine.
#include <cstdlib>
#include <iostream>
#include <string>

#include "bench/install_compare.h"
#include "bench/native_bench.h"
#include "bench/stats.h"

namespace {

const char kUsage[] =
    "usage:\n"
    "  kvnbench run [--work DIR] [--scale X] [--reps N] [--keep]\n"
    "      Makes the SDK tree, packs it and measures the decode (default work folder: a new\n"
    "      folder below /dev/shm, removed afterwards unless --keep).\n"
    "  kvnbench generate DIR [--scale X]\n"
    "      Writes the SDK tree only.\n"
    "  kvnbench install --prefix WINEPREFIX --wine-run SCRIPT --build DIR --setup EXE --nsis EXE\n"
    "                   --tree DIR [--bits 32|64] [--runs N] [--before EXE]\n"
    "      Times the setup's installation against its floor and an NSIS installer of the same\n"
    "      tree under Wine (scripts/bench-install prepares all of it). --before EXE: the same\n"
    "      program built from older code takes its turns too, and its phases are set beside ours.\n"
    "options: --scale 1.0 is about 50 MB in about 1,400 files; --reps runs of each measurement (9).\n";

struct Options {
    std::string command, folder, work;
    double scale = 1.0;
    int reps = 9;
    bool keep = false;
    InstallComparison install;
};

bool Parse(int argc, char** argv, Options& o) {
    if (argc < 2) return false;
    o.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--work" && hasValue)
            o.work = argv[++i];
        else if (a == "--scale" && hasValue)
            o.scale = std::atof(argv[++i]);
        else if (a == "--reps" && hasValue)
            o.reps = std::atoi(argv[++i]);
        else if (a == "--keep")
            o.keep = true;
        else if (a == "--prefix" && hasValue)
            o.install.prefix = argv[++i];
        else if (a == "--setup" && hasValue)
            o.install.setup = argv[++i];
        else if (a == "--before" && hasValue)
            o.install.before = argv[++i];
        else if (a == "--nsis" && hasValue)
            o.install.nsis = argv[++i];
        else if (a == "--wine-run" && hasValue)
            o.install.wineRun = argv[++i];
        else if (a == "--build" && hasValue)
            o.install.build = argv[++i];
        else if (a == "--bits" && hasValue)
            o.install.bits = std::atoi(argv[++i]);
        else if (a == "--tree" && hasValue)
            o.install.tree = argv[++i];
        else if (a == "--runs" && hasValue)
            o.install.runs = std::atoi(argv[++i]);
        else if (a[0] != '-' && o.folder.empty())
            o.folder = a;
        else
            return false;
    }
    if (o.scale <= 0 || o.scale > 4 || o.reps < 1) return false;
    if (o.command == "generate") return !o.folder.empty();
    if (o.command == "install")
        return o.folder.empty() && !o.install.prefix.empty() && !o.install.setup.empty() &&
               !o.install.nsis.empty() && !o.install.tree.empty() && !o.install.wineRun.empty() &&
               !o.install.build.empty() && (o.install.bits == 32 || o.install.bits == 64) &&
               o.install.runs >= 1;
    return o.command == "run" && o.folder.empty();
}

int Main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::cerr << kUsage;
        return 2;
    }
    if (options.command == "generate") {
        PlanStats stats;
        std::string error;
        if (!GenerateTree(options.folder, options.scale, stats, error)) {
            std::cerr << "kvnbench: " << error << "\n";
            return 1;
        }
        std::cout << "kvnbench: " << stats.files << " files, " << stats.folders << " folders, "
                  << Mb(stats.bytes) << " (" << Fixed(100.0 * stats.binaryBytes / stats.bytes)
                  << " % incompressible) -> " << options.folder << "\n";
        return 0;
    }
    if (options.command == "install") return CompareInstallations(options.install);
    NativeBenchOptions native;
    native.work = options.work;
    native.scale = options.scale;
    native.reps = options.reps;
    native.keep = options.keep;
    return RunNativeBenchmark(native);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Main(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "kvnbench: " << e.what() << "\n";
        return 1;
    }
}
