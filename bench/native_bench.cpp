// The native benchmark run: the tree made and packed, then each measurement
// reported with its goal.
#include "bench/native_bench.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <vector>

#include "bench/child_process.h"
#include "bench/clock.h"
#include "bench/measurements.h"
#include "bench/stats.h"
#include "bench/tree_files.h"
#include "package/aes_engine.h"
#include "package/package_format.h"
#include "tools/kvnpack/commands.h"
#include "tools/kvnpack/file_io.h"
#include "tools/kvnpack/payload_writer.h"
#include "tools/kvnpack/tree_scan.h"

namespace fs = std::filesystem;

namespace {

std::string Ms(double seconds) {
    return Fixed(seconds * 1000, seconds < 0.01 ? 2 : 0) + " ms";
}
std::string Verdict(bool met) {
    return met ? "met" : "MISSED";
}

// The tree packed as kvnpack pack packs it.
bool Pack(const fs::path& tree, const fs::path& payload, uint64_t& imageBytes, CWBlock& container,
          std::string& error) {
    std::vector<TreeEntry> entries;
    std::vector<uint8_t> image;
    if (!ScanTree(tree, entries, error) || !BuildPackageImage(entries, image, error) ||
        !SealPackageImage(image, false, container, error))
        return false;
    imageBytes = image.size();
    return WriteFileReplacing(payload, container.GetData(), container.GetLength(), error);
}

std::string MakeWorkFolder(const std::string& requested) {
    if (!requested.empty()) {
        std::error_code ec;
        fs::create_directories(requested, ec);
        return fs::is_directory(requested) ? fs::absolute(requested).string() : std::string();
    }
    // RAM-backed when there is one: the disk's own slowness after large
    // deletes would otherwise show up in the extraction times.
    std::string base =
        access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp");
    std::string pattern = base + "/kvnbench-XXXXXX";
    return mkdtemp(&pattern[0]) ? pattern : std::string();
}

struct OpenSslVariant {
    const char* label;
    const char* ia32cap;  // null: the library's own choice (AES-NI here)
};
const OpenSslVariant kOpenSslVariants[] = {
    {"OpenSSL, AES-NI", nullptr},
    {"OpenSSL, SSSE3 code", "~0x200000200000000"},
    {"OpenSSL, table-form assembly", "~0x200020200000000"},
};

// What every section works on.
struct Context {
    std::string work, programs;  // the work folder; the folder of kvnbench and its children
    fs::path tree, payload;
    PlanStats stats;
    CWBlock container;
    double payloadBytes = 0, imageBytes = 0;
    int reps = 0;
    int failures = 0;
    void Fail(const std::string& what) {
        std::cout << "FAILED: " << what << "\n";
        ++failures;
    }
};

void ReportDecryption(Context& c) {
    // Decryption: ours on both engines in this process, OpenSSL's three code
    // paths in children, in rounds so that a change of the machine's load
    // touches all alike.
    const int rounds = c.reps >= 3 ? 3 : 1;
    const int perRound = (c.reps + rounds - 1) / rounds;
    const bool haveAesNi = ProcessorHasAesNi();
    std::vector<double> oursNi, oursTable;
    std::string niDigest, tableDigest;
    std::vector<std::vector<double>> theirs(3);
    bool agree = true;
    const std::string openssl = c.programs + "/kvnbench_openssl";
    const bool haveOpenSsl = access(openssl.c_str(), X_OK) == 0;
    for (int r = 0; r < rounds; ++r) {
        if (haveAesNi) {
            SelectAesEngine(AesEngine::kAesNi);
            const DecryptRuns runs = MeasureDecrypt(c.container, perRound);
            oursNi.insert(oursNi.end(), runs.seconds.begin(), runs.seconds.end());
            niDigest = runs.digest;
        }
        SelectAesEngine(AesEngine::kTableForm);
        const DecryptRuns runs = MeasureDecrypt(c.container, perRound);
        oursTable.insert(oursTable.end(), runs.seconds.begin(), runs.seconds.end());
        tableDigest = runs.digest;
        SelectAesEngine(AesEngine::kAesNi);
        for (int v = 0; haveOpenSsl && v < 3; ++v) {
            std::vector<std::pair<std::string, std::string>> env;
            if (kOpenSslVariants[v].ia32cap) env.push_back({"OPENSSL_ia32cap", kOpenSslVariants[v].ia32cap});
            const ChildResult child = RunChild(openssl, {c.payload.string(), std::to_string(perRound)}, env);
            if (child.exitCode != 0) {
                c.Fail(std::string(kOpenSslVariants[v].label) + ": the child process failed");
                continue;
            }
            theirs[v].push_back(std::atof(FindValue(child.output, "seconds").c_str()));
            if (FindValue(child.output, "digest") != tableDigest) agree = false;
        }
    }
    // Best of the runs for the ratios: on a shared machine the noise only
    // ever adds time. The medians show how much it added.
    const double layerBytes = 2.0 * (c.container.GetLength() / 16 * 16);
    std::cout
        << "Decryption, two AES-256-CBC layers over the payload (CWCryptAESKey::Decrypt), best and median of "
        << oursTable.size() << ":\n";
    auto showOurs = [&](const char* label, const std::vector<double>& times) {
        const double t = Minimum(times);
        std::cout << "  " << label << std::string(30 - std::strlen(label), ' ') << Ms(t) << " (median "
                  << Ms(Median(times)) << ")  " << Fixed(MegabytesPerSecond(c.payloadBytes, t))
                  << " MB/s of payload, " << Fixed(MegabytesPerSecond(layerBytes, t)) << " MB/s per layer\n";
    };
    if (haveAesNi)
        showOurs("ours, AES-NI", oursNi);
    else
        std::cout << "  ours, AES-NI: this processor has no AES instructions\n";
    showOurs("ours, table form", oursTable);
    const double niTime = haveAesNi ? Minimum(oursNi) : 0, tableTime = Minimum(oursTable);
    double niRatio = 0, tableRatio = 0;
    if (!haveOpenSsl)
        std::cout << "  OpenSSL comparison skipped: kvnbench_openssl was not built (no libcrypto)\n";
    for (int v = 0; haveOpenSsl && v < 3; ++v) {
        const double t = Minimum(theirs[v]);
        // AES-NI is set beside OpenSSL's AES-NI code, the table form beside the rest.
        const double ours = v == 0 ? niTime : tableTime;
        const double ratio = ours > 0 ? t / ours : 0;
        std::cout << "  " << kOpenSslVariants[v].label
                  << std::string(30 - std::strlen(kOpenSslVariants[v].label), ' ') << Ms(t) << " (median "
                  << Ms(Median(theirs[v])) << ")  " << Fixed(MegabytesPerSecond(layerBytes, t))
                  << " MB/s per layer; ours (" << (v == 0 ? "AES-NI" : "table form")
                  << ") = " << Fixed(ratio, 2) << " x\n";
        if (v == 0) niRatio = ratio;
        if (v == 2) tableRatio = ratio;
    }
    const bool enginesAgree = !haveAesNi || niDigest == tableDigest;
    std::cout << "  our two engines give the same plaintext: " << (enginesAgree ? "yes" : "NO") << "\n";
    if (haveOpenSsl) {
        std::cout << "  OpenSSL's plaintext equals ours: " << (agree ? "yes" : "NO") << "\n";
        if (haveAesNi)
            std::cout << "  goal: ours (AES-NI) >= 0.5 x OpenSSL's AES-NI code: " << Fixed(niRatio, 2)
                      << " x, " << Verdict(niRatio >= 0.5) << "\n";
        std::cout << "  goal: ours (table form) >= 1.0 x OpenSSL's table-form assembly: "
                  << Fixed(tableRatio, 2) << " x, " << Verdict(tableRatio >= 1.0) << "\n";
    }
    std::cout << "\n";
    if (!agree) c.Fail("OpenSSL decrypted the payload to other bytes than CWCryptAESKey");
    if (!enginesAgree) c.Fail("the AES-NI and the table-form engine decrypted the payload to other bytes");
}

void ReportInflationAndWalk(Context& c) {
    // Inflation of the decrypted compressed image.
    CWBlock image;
    image.CopyFrom(c.container);
    DecryptContainer(image);
    const InflateRuns inflate = MeasureInflate(image, c.reps);
    const double inflated = c.imageBytes;
    const double oursInflate = Minimum(inflate.ours), fresh = Minimum(inflate.bareFresh),
                 warm = Minimum(inflate.bareWarm);
    const double slower = fresh > 0 ? oursInflate / fresh - 1 : 0;
    std::cout << "Inflation (InflatePackage), MB/s of output, best and median of " << c.reps << ":\n";
    std::cout << "  ours                          " << Ms(oursInflate) << " (median "
              << Ms(Median(inflate.ours)) << ")  " << Fixed(MegabytesPerSecond(inflated, oursInflate))
              << " MB/s\n";
    std::cout << "  uncompress, new buffer        " << Ms(fresh) << " (median "
              << Ms(Median(inflate.bareFresh)) << ")  " << Fixed(MegabytesPerSecond(inflated, fresh))
              << " MB/s\n";
    std::cout << "  uncompress, buffer in use     " << Ms(warm) << " (median " << Ms(Median(inflate.bareWarm))
              << ")  " << Fixed(MegabytesPerSecond(inflated, warm)) << " MB/s\n";
    std::cout << "  of ours: CWBlock::SetSize of the new block " << Ms(Minimum(inflate.setSize))
              << " (pages from the system, zeroed there, faulted in as inflate writes them); one memset pass "
                 "over the image size "
              << Ms(Minimum(inflate.zeroPass)) << "\n";
    std::cout << "  goal: within 2 % of a bare uncompress (new buffer): " << (slower >= 0 ? "+" : "")
              << Fixed(100 * slower) << " %, " << Verdict(slower <= 0.02) << "\n\n";
    if (!inflate.same) c.Fail("InflatePackage and uncompress disagree, or inflation failed");

    // The record walk over the inflated package image.
    CWBlock package;
    InflatePackage(image, package);
    const WalkRuns walk = MeasureWalk(package, c.reps * 4);
    const double walkTime = Median(walk.seconds);
    std::cout << "Record walk (PackageRecordReader): " << walk.records << " records, "
              << Mb(walk.contentBytes) << " of contents, " << Ms(walkTime) << ", "
              << Fixed(MegabytesPerSecond(package.GetLength(), walkTime), 0) << " MB/s of image\n\n";
    if (!walk.complete) c.Fail("the record walk met a fault");
    package.Free();
    image.Free();
}

void ReportDecode(Context& c) {
    std::string error;
    // The whole decode with extraction.
    const int decodeReps = c.reps < 3 ? c.reps : 3;
    const DecodeRuns decode = MeasureDecode(c.payload.string(), c.work, c.tree.string(), decodeReps);
    if (decode.times.size() != static_cast<size_t>(decodeReps)) {
        c.Fail("decode: " + decode.error);
    } else {
        std::vector<double> total, read, dec, inf, ext;
        for (const DecodeTimes& t : decode.times) {
            total.push_back(t.Total());
            read.push_back(t.read);
            dec.push_back(t.decrypt);
            inf.push_back(t.inflate);
            ext.push_back(t.extract);
        }
        std::cout << "Whole decode with extraction into " << c.work << ", median of " << decodeReps << ":\n";
        std::cout << "  total " << Ms(Median(total)) << ": read payload " << Ms(Median(read)) << ", decrypt "
                  << Ms(Median(dec)) << ", inflate " << Ms(Median(inf)) << ", write " << decode.counts.files
                  << " files and " << decode.counts.folders << " folders " << Ms(Median(ext)) << "\n";
        std::cout << "  removing the extracted tree: " << Ms(Median(decode.removal)) << "\n";
        std::cout << "  extracted tree equals the source tree: "
                  << (decode.differences.empty() ? "yes" : "NO") << "\n";
        for (size_t i = 0; i < decode.differences.size() && i < 10; ++i)
            std::cout << "    " << decode.differences[i] << "\n";
        if (!decode.differences.empty() || decode.counts.refused)
            c.Fail("the extracted tree differs from the source tree");
    }

    // kvnpack extract, the tool's own path, for comparison.
    {
        const std::string target = c.work + "/kvnpack-extract";
        std::ostringstream out, err;
        const double begin = NowSeconds();
        const int status = RunKvnpack({"extract", c.payload.string(), target}, out, err);
        const double seconds = NowSeconds() - begin;
        const bool same = status == 0 && CompareTrees(c.tree, target).empty();
        std::cout << "  kvnpack extract (checks every record first, writes beside and renames): "
                  << Ms(seconds) << (same ? "" : "  (tree differs)") << "\n\n";
        if (!same) c.Fail("kvnpack extract: " + err.str());
        RemoveTree(target, error);
    }
}

void ReportMemory(Context& c) {
    std::string error;
    // Peak resident memory of the decode alone, each in a fresh process.
    const double limitKib = (c.payloadBytes + c.imageBytes) / 1024.0 + 5 * 1024;
    const double largestFile = static_cast<double>(c.stats.largestFile);
    std::cout << "Peak resident memory of the decode (fresh process, VmHWM):\n";
    for (const char* mode : {"setup", "kvnpack"}) {
        const std::string target = c.work + "/rss-" + mode;
        const ChildResult child =
            RunChild(c.programs + "/kvnbench_decode", {mode, c.payload.string(), target}, {});
        RemoveTree(target, error);
        if (child.exitCode != 0) {
            c.Fail(std::string("the ") + mode + " decode in its own process failed");
            continue;
        }
        const double peak = std::atof(FindValue(child.output, "peak_kib").c_str());
        const double baseline = std::atof(FindValue(child.output, "baseline_kib").c_str());
        // The decode's own memory is the peak above what the process held before it.
        const double own = peak - baseline;
        if (std::strcmp(mode, "setup") == 0) {
            std::cout << "  setup's decode                peak " << Fixed(peak / 1024) << " MiB, of it "
                      << Fixed(baseline / 1024) << " MiB before the decode: the decode's own "
                      << Fixed(own / 1024) << " MiB\n";
            std::cout << "  goal: decode <= payload copy + package image + 5 MiB = " << Fixed(limitKib / 1024)
                      << " MiB: " << Verdict(own <= limitKib) << " (largest file "
                      << Fixed(largestFile / 1048576.0) << " MiB, copied into its own block)\n";
        } else {
            std::cout << "  kvnpack extract               peak " << Fixed(peak / 1024)
                      << " MiB, the decode's own " << Fixed(own / 1024) << " MiB (for comparison)\n";
        }
    }
}

}  // namespace

std::string Mb(double bytes) {
    return Fixed(bytes / 1e6, 1) + " MB";
}

bool GenerateTree(const fs::path& root, double scale, PlanStats& stats, std::string& error) {
    TreeShape shape;
    shape.scale = scale;
    const TreePlan plan = PlanSdkTree(shape);
    stats = Measure(plan);
    return WriteTree(plan, root, error);
}

int RunNativeBenchmark(const NativeBenchOptions& o) {
    Context c;
    c.work = MakeWorkFolder(o.work);
    if (c.work.empty()) {
        std::cerr << "kvnbench: cannot make a work folder\n";
        return 1;
    }
    c.programs = ProgramFolder();
    c.tree = fs::path(c.work) / "tree";
    c.payload = fs::path(c.work) / "payload.bin";
    c.reps = o.reps;
    std::string error;

    double start = NowSeconds();
    if (!GenerateTree(c.tree, o.scale, c.stats, error)) {
        std::cerr << "kvnbench: " << error << "\n";
        return 1;
    }
    std::cout << "tree      " << c.stats.files << " files, " << c.stats.folders << " folders, "
              << Mb(c.stats.bytes) << " (" << Fixed(100.0 * c.stats.binaryBytes / c.stats.bytes)
              << " % incompressible binaries) in " << c.tree.string() << "  [" << Fixed(NowSeconds() - start)
              << " s]\n";

    start = NowSeconds();
    uint64_t imageBytes = 0;
    if (!Pack(c.tree, c.payload, imageBytes, c.container, error)) {
        std::cerr << "kvnbench: " << error << "\n";
        return 1;
    }
    c.imageBytes = static_cast<double>(imageBytes);
    c.payloadBytes = c.container.GetLength();
    std::cout << "packed    package image " << Mb(c.imageBytes) << ", payload " << Mb(c.payloadBytes)
              << " (kvnpack's packing code)  [" << Fixed(NowSeconds() - start) << " s]\n\n";

    ReportDecryption(c);
    ReportInflationAndWalk(c);
    ReportDecode(c);
    ReportMemory(c);

    if (!o.keep) {
        if (!RemoveTree(c.work, error)) std::cerr << "kvnbench: " << error << "\n";
    } else {
        std::cout << "\nwork folder kept: " << c.work << "\n";
    }
    if (c.failures) {
        std::cout << c.failures << " checks FAILED\n";
        return 1;
    }
    return 0;
}
