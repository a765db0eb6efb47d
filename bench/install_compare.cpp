#include "bench/install_compare.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <vector>

#include "app/product_names.h"
#include "bench/child_process.h"
#include "bench/clock.h"
#include "bench/install_check.h"
#include "bench/install_phases.h"
#include "bench/stats.h"

namespace fs = std::filesystem;

namespace {

const char kUninstallKey[] = "HKLM\\" KVN_NAME_UNINSTALL_KEY;

// Reinstall: the setup run again over the installation its run just made;
// Before: an older build of the setup, when one is given.
enum class Side { Setup, Nsis, Floor, Before, Reinstall };

const char* Label(Side side) {
    switch (side) {
        case Side::Setup: return "setup";
        case Side::Reinstall: return "reinstall";
        case Side::Nsis: return "NSIS";
        case Side::Before: return "before";
        default: return "floor";
    }
}

struct Run {
    bool ok = false;
    double wall = 0;                       // the whole process, as the user waits for it
    double inside = 0;                     // InstallProducts alone (ours only)
    std::map<std::string, double> phases;  // ours and the floor's
};

// The file phases that the floor program makes too, under the setup's names.
const InstallPhase kFloorPhases[] = {InstallPhase::Extract, InstallPhase::Copy, InstallPhase::Delete};
const char* FloorKey(InstallPhase phase) {
    switch (phase) {
        case InstallPhase::Extract: return "floor.extract";
        case InstallPhase::Copy: return "floor.copy";
        default: return "floor.delete";
    }
}

ChildResult Tool(const InstallComparison& c, const std::vector<std::string>& arguments) {
    std::vector<std::string> all = {"--in", c.build};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return RunChild(c.wineRun, all, {});
}

// Wine's reg works in the 64-bit view whatever its own bitness: the view of
// the programs measured is named.
std::string RegistryView(const InstallComparison& c) {
    return c.bits == 32 ? "/reg:32" : "/reg:64";
}

ChildResult Program(const InstallComparison& c, const std::string& program,
                    const std::vector<std::string>& arguments) {
    std::vector<std::string> all = {program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return RunChild(c.wineRun, all, {});
}

void Clean(const InstallComparison& c, const PrefixPaths& paths) {
    RemoveInstallation(c.tree, paths);
    Tool(c, {"reg", "delete", kUninstallKey, "/f", RegistryView(c)});
}

Run Install(const InstallComparison& c, Side side) {
    Run run;
    const double start = NowSeconds();
    const bool ours = side == Side::Setup || side == Side::Reinstall;
    const ChildResult child = ours                   ? Program(c, c.setup, {})
                              : side == Side::Before ? Program(c, c.before, {})
                              : side == Side::Nsis   ? Program(c, c.nsis, {"/S"})
                                                     : Program(c, c.setup, {"--floor"});
    run.wall = NowSeconds() - start;
    run.ok = child.exitCode == 0;
    if (ours || side == Side::Before) {
        run.inside = std::atof(FindValue(child.output, "seconds").c_str());
        for (int p = 0; p < static_cast<int>(InstallPhase::Count); ++p) {
            const std::string name = PhaseName(static_cast<InstallPhase>(p));
            run.phases[name] = std::atof(FindValue(child.output, "phase." + name).c_str());
        }
        if (FindValue(child.output, "decoded") != "1") run.ok = false;
    } else if (side == Side::Floor) {
        for (InstallPhase phase : kFloorPhases)
            run.phases[PhaseName(phase)] = std::atof(FindValue(child.output, FloorKey(phase)).c_str());
        if (FindValue(child.output, "floor.ok") != "1") run.ok = false;
    }
    return run;
}

bool Verify(const char* label, const InstallComparison& c, const PrefixPaths& paths) {
    std::vector<std::string> problems = CheckInstallation(c.tree, paths);
    const ChildResult reg = Tool(c, {"reg", "query", kUninstallKey, RegistryView(c)});
    for (const char* value : {"ProductName", "DisplayName", "UninstallString"})
        if (reg.output.find(value) == std::string::npos)
            problems.push_back(std::string("registry value missing: ") + value);
    std::cout << "  " << label << ": installation " << (problems.empty() ? "complete" : "INCOMPLETE") << "\n";
    for (size_t i = 0; i < problems.size() && i < 10; ++i) std::cout << "    " << problems[i] << "\n";
    return problems.empty();
}

std::string S(double seconds) {
    return Fixed(seconds, 2) + " s";
}

struct TreeCounts {
    double files = 0, folders = 0;  // every entry is one record of the package
    double topFiles = 0;            // files directly in a package folder
};

TreeCounts CountTree(const fs::path& tree) {
    TreeCounts counts;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(tree, ec), end; !ec && it != end; it.increment(ec)) {
        const bool folder = it->is_directory(ec);
        (folder ? counts.folders : counts.files) += 1;
        if (!folder && it.depth() == 1) counts.topFiles += 1;
    }
    return counts;
}

// Single calls measured in the prefix, and what the phases would cost if
// they were nothing but those calls.
void ExplainWithSingleCalls(const InstallComparison& c, const std::map<std::string, double>& measured) {
    const ChildResult probe = Program(c, c.setup, {"--probe", "C:\\Program Files\\kvnbench-probe"});
    if (probe.exitCode != 0) {
        std::cout << "\n(the single-call probe failed)\n";
        return;
    }
    auto us = [&](const char* call) {
        return std::atof(FindValue(probe.output, std::string("probe.") + call).c_str()) / 1e6;
    };
    const double makeFolder = us("CreateFolderPath of an existing folder");
    const double write = us("CREATE_NEW + WriteFile 4 KiB + attributes by handle + CloseHandle");
    const double version = us("GetFileVersion of a file without a version");
    const double copy = us("CopyFileW 4 KiB");
    const double remove = us("DeleteFileW of a file");
    const TreeCounts t = CountTree(c.tree);

    std::cout << "\nsingle calls in this prefix (microseconds each):\n";
    std::istringstream lines(probe.output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, 6, "probe.") == 0) std::cout << "  " << line.substr(6) << "\n";
    }
    const double extract = t.folders * makeFolder + t.files * write;
    const double copies = t.files * copy + 2 * t.topFiles * version;
    const double removal = t.files * remove;
    std::cout << "the phases as those calls alone (" << t.files << " files, " << t.folders << " folders):\n";
    std::cout << "  extract: " << t.folders << " x CreateFolderPath + " << t.files
              << " x (CreateFileW CREATE_NEW/WriteFile/attributes by handle/CloseHandle) = " << S(extract)
              << ", measured " << S(measured.at(PhaseName(InstallPhase::Extract))) << "\n";
    std::cout << "  copy:    " << t.files << " x CopyFileW + " << 2 * t.topFiles
              << " x GetFileVersion = " << S(copies) << ", measured "
              << S(measured.at(PhaseName(InstallPhase::Copy))) << "\n";
    std::cout << "  delete:  " << t.files << " x DeleteFileW = " << S(removal) << ", measured "
              << S(measured.at(PhaseName(InstallPhase::Delete))) << "\n";
}

// The older build against this one, phase by phase (medians of the runs in turns).
void ReportBeforeAfter(const std::vector<Run>& before, const std::vector<Run>& after, double nsis) {
    auto median = [](const std::vector<Run>& runs, const std::string& phase) {
        std::vector<double> values;
        for (const Run& r : runs)
            values.push_back(phase == "wall"              ? r.wall
                             : phase == "InstallProducts" ? r.inside
                                                          : r.phases.at(phase));
        return Median(values);
    };
    std::cout << "\nbefore and after, in turns (median of " << after.size() << " runs each):\n";
    std::cout << "  phase                       before   after    after / before\n";
    std::vector<std::string> names;
    for (int p = 0; p < static_cast<int>(InstallPhase::Count); ++p)
        names.push_back(PhaseName(static_cast<InstallPhase>(p)));
    names.push_back("InstallProducts");
    names.push_back("wall");
    for (const std::string& name : names) {
        const double b = median(before, name), a = median(after, name);
        std::cout << "  " << name << std::string(28 - name.size(), ' ') << S(b) << "   " << S(a) << "   "
                  << Fixed(b > 0 ? a / b : 0, 2) << " x\n";
    }
    const double decodeBefore = median(before, PhaseName(InstallPhase::CopyDecrypt)) +
                                median(before, PhaseName(InstallPhase::Inflate));
    const double decodeAfter =
        median(after, PhaseName(InstallPhase::CopyDecrypt)) + median(after, PhaseName(InstallPhase::Inflate));
    std::cout << "  decode (copy + decrypt, inflate): " << S(decodeBefore) << " -> " << S(decodeAfter) << ", "
              << Fixed(decodeBefore > 0 ? decodeAfter / decodeBefore : 0, 2)
              << " x; goal <= 0.5 x: " << (decodeAfter <= 0.5 * decodeBefore ? "met" : "MISSED") << "\n";
    if (nsis > 0)
        std::cout << "  whole against NSIS: before " << Fixed(median(before, "wall") / nsis, 2)
                  << " x, after " << Fixed(median(after, "wall") / nsis, 2) << " x\n";
}

}  // namespace

int CompareInstallations(const InstallComparison& c) {
    const PrefixPaths paths = LocatePrefix(c.prefix, c.bits);
    if (paths.menuDir.empty()) {
        std::cerr << "kvnbench: " << c.prefix << " holds no user folder: not a Wine prefix\n";
        return 1;
    }
    int failures = 0;

    std::vector<double> starts;
    for (int i = 0; i < 3; ++i) {
        const double begin = NowSeconds();
        Program(c, c.setup, {"--noop"});
        starts.push_back(NowSeconds() - begin);
    }
    const double startCost = Median(starts);

    std::map<Side, std::vector<Run>> runs;
    std::vector<Side> order = {Side::Setup, Side::Nsis, Side::Floor};
    if (!c.before.empty()) order.push_back(Side::Before);
    const int sides = static_cast<int>(order.size());
    std::cout << "runs (wall time of the process; the setup's InstallProducts in brackets):\n";
    for (int i = 0; i < c.runs; ++i) {
        // Each run starts with another side, so that a slow spell of the machine hits all alike.
        for (int k = 0; k < sides; ++k) {
            const Side side = order[(i + k) % sides];
            Clean(c, paths);
            // The setup's turn installs twice: on the clean machine, then over itself.
            for (Side turn : {side, Side::Reinstall}) {
                if (turn == Side::Reinstall && side != Side::Setup) break;
                const Run run = Install(c, turn);
                std::cout << "  " << (i + 1) << " " << Label(turn)
                          << std::string(10 - std::string(Label(turn)).size(), ' ') << S(run.wall);
                if (turn == Side::Setup || turn == Side::Reinstall || turn == Side::Before)
                    std::cout << "  (" << S(run.inside) << ")";
                std::cout << (run.ok ? "" : "  FAILED") << "\n";
                if (!run.ok) ++failures;
                if (i == 0 && turn != Side::Floor && !Verify(Label(turn), c, paths)) ++failures;
                runs[turn].push_back(run);
            }
        }
    }
    Clean(c, paths);

    auto median = [&](Side side, const std::string& phase) {
        std::vector<double> values;
        for (const Run& r : runs[side]) values.push_back(phase.empty() ? r.wall : r.phases.at(phase));
        return Median(values);
    };
    std::vector<double> insides;
    for (const Run& r : runs[Side::Setup]) insides.push_back(r.inside);
    const double mine = median(Side::Setup, ""), inside = Median(insides), nsis = median(Side::Nsis, "");
    std::cout << "\nmedian of " << c.runs << " runs each (" << c.bits << "-bit programs):\n";
    std::cout << "  setup (kvn_install_bench)  " << S(mine) << "   InstallProducts alone " << S(inside)
              << "\n";
    std::cout << "  NSIS installer /S          " << S(nsis) << "\n";
    std::vector<double> reinsides;
    for (const Run& r : runs[Side::Reinstall]) reinsides.push_back(r.inside);
    const double again = median(Side::Reinstall, ""), againInside = Median(reinsides);
    std::cout << "  reinstall over itself      " << S(again) << "   InstallProducts alone " << S(againInside)
              << "\n";
    std::cout << "  starting a Wine process    " << S(startCost) << " (in both wall times)\n";

    std::cout << "\nwhere the setup's time goes (median per phase), against the floor's bare calls:\n";
    std::cout << "  phase                       setup    share    floor    setup / floor\n";
    std::map<std::string, double> medians;
    bool phasesMet = true;
    for (int p = 0; p < static_cast<int>(InstallPhase::Count); ++p) {
        const InstallPhase phase = static_cast<InstallPhase>(p);
        const std::string name = PhaseName(phase);
        const double v = median(Side::Setup, name);
        medians[name] = v;
        std::cout << "  " << name << std::string(28 - name.size(), ' ') << S(v) << "   "
                  << Fixed(inside > 0 ? 100 * v / inside : 0) << " %";
        bool floored = false;
        for (InstallPhase f : kFloorPhases) floored |= f == phase;
        if (floored) {
            const double floor = median(Side::Floor, name);
            const double ratio = floor > 0 ? v / floor : 0;
            phasesMet &= ratio <= 1.15;
            std::cout << "   " << S(floor) << "   " << Fixed(ratio, 2) << " x";
        }
        std::cout << "\n";
    }
    const double ratio = nsis > 0 ? mine / nsis : 0;
    std::cout << "  goal: every file phase <= 1.15 x its floor: " << (phasesMet ? "met" : "MISSED") << "\n";
    std::cout << "  whole: setup / NSIS " << Fixed(ratio, 2)
              << " x (wall); goal <= 2.0 x: " << (ratio <= 2.0 ? "met" : "MISSED") << "\n";
    const double reinstallRatio = inside > 0 ? againInside / inside : 0;
    std::cout << "\nthe reinstall over itself beside the first installation (median per phase):\n";
    std::cout << "  phase                       first    reinstall   reinstall / first\n";
    for (int p = 0; p < static_cast<int>(InstallPhase::Count); ++p) {
        const std::string name = PhaseName(static_cast<InstallPhase>(p));
        const double first = medians[name], later = median(Side::Reinstall, name);
        std::cout << "  " << name << std::string(28 - name.size(), ' ') << S(first) << "   " << S(later);
        if (first >= 0.005) std::cout << "      " << Fixed(later / first, 2) << " x";
        std::cout << "\n";
    }
    std::cout << "  InstallProducts             " << S(inside) << "   " << S(againInside) << "      "
              << Fixed(reinstallRatio, 2) << " x; goal <= 1.2 x: " << (reinstallRatio <= 1.2 ? "met" : "MISSED")
              << "\n";
    std::cout << "  wall                        " << S(mine) << "   " << S(again) << "      "
              << Fixed(mine > 0 ? again / mine : 0, 2) << " x\n";
    if (!c.before.empty()) ReportBeforeAfter(runs.at(Side::Before), runs.at(Side::Setup), nsis);
    ExplainWithSingleCalls(c, medians);
    if (failures) std::cout << failures << " checks FAILED\n";
    return failures ? 1 : 0;
}
