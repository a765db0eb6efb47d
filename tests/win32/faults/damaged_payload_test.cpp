// 1000 damaged payloads, each installed in its own run by the runner program:
// every run ends on the interrupted page's path with nothing left after the
// rollback, or (when the damage missed the data) installs the exact tree;
// never a crash, never a hang, never a wrong installation.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "tests/win32/app/install_checks.h"
#include "tests/win32/faults/damaged_payloads.h"
#include "tests/win32/faults/faults_support.h"

namespace {

// Runs the runner from index first; its exit code, or -1 when it did not end in time.
long RunRunner(int first, int count, int parallel, const std::wstring& results) {
    std::wstring command = L"\"" + Join(ProgramFolder(), L"faults_payload_runner.exe") + L"\" " +
                           std::to_wstring(first) + L" " + std::to_wstring(count) + L" \"" + results +
                           L"\" " + std::to_wstring(parallel);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -2;
    // Every run has its own limit inside the runner; this one only guards the whole.
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 420000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<long>(code);
}

std::map<int, RunResult> ReadResults(const std::wstring& path) {
    std::map<int, RunResult> results;
    std::ifstream in(path.c_str());
    std::string line;
    while (std::getline(in, line)) {
        RunResult result;
        if (ParseResult(line, result)) results[result.index] = result;
    }
    return results;
}

class DamagedPayloads : public MachineTest {};

TEST_F(DamagedPayloads, NoneIsInstalledWrongCrashesHangsOrLeavesAnything) {
    const std::string good = ReadFileBytes(Widen(KVN_FAULTS_PAYLOAD));
    ASSERT_GT(good.size(), 1000u);
    const std::vector<uint8_t> payload(good.begin(), good.end());
    ASSERT_GT(FillerBytes(payload), 0u) << "the filler flips need filler (change the tree's size)";
    const std::wstring folder = MakeTempFolder(L"damaged");
    const std::wstring resultsFile = Join(folder, L"results.txt");

    // The runner goes on after a crash or a hang from the payload that
    // follows. Six runs at once; after a crash, one at a time, so the
    // payload without a line is the one that crashed.
    int crashes = 0, restarts = 0, parallel = 6;
    std::map<int, RunResult> results, crashed;
    const DWORD start = GetTickCount();
    for (int next = 0; next < kDamagedPayloads && restarts < 50; ++restarts) {
        const long code = RunRunner(next, kDamagedPayloads - next, parallel, resultsFile);
        results = ReadResults(resultsFile);
        int done = next;
        while (results.count(done) || crashed.count(done)) ++done;
        if (done >= kDamagedPayloads) {
            EXPECT_EQ(0, code) << "the runner's end (5: a private run reached the machine)";
            break;
        }
        if (code == 2 || code == 4 || code == -2 || code == 5) {
            ADD_FAILURE() << "the runner could not run (exit code " << code << ") at payload " << done;
            break;
        }
        if (parallel > 1) {
            parallel = 1;  // the batch again, one payload at a time
            next = done;
            continue;
        }
        if (code == 3) {
            next = done;  // the hung payload has its line; go on after it
            continue;
        }
        // The runner ended without a line for this payload: it crashed there.
        RunResult crash;
        crash.index = done;
        crash.verdict = "crash";
        crashed[done] = crash;
        ++crashes;
        ADD_FAILURE() << "payload " << done << " crashed the run (exit code " << code << ")";
        next = done + 1;
    }
    const DWORD elapsed = GetTickCount() - start;
    results.insert(crashed.begin(), crashed.end());

    std::map<std::string, std::map<std::string, int>> byKind;
    int wrong = 0, hangs = 0, leftovers = 0, installedBeforeRollback = 0;
    unsigned slowest = 0;
    for (const auto& entry : results) {
        const RunResult& r = entry.second;
        byKind[r.kind][r.verdict]++;
        if (r.verdict == "wrong") {
            ++wrong;
            ADD_FAILURE() << "payload " << r.index << " (" << r.kind << " at " << r.position
                          << ") installed wrongly";
        }
        if (r.verdict == "hang") {
            ++hangs;
            ADD_FAILURE() << "payload " << r.index << " (" << r.kind << " at " << r.position << ") hung";
        }
        if (r.leftovers) {
            ++leftovers;
            ADD_FAILURE() << "payload " << r.index << " (" << r.kind << " at " << r.position
                          << ") left something";
        }
        if (r.verdict == "refused" && r.installedBefore) ++installedBeforeRollback;
        if (r.milliseconds > slowest) slowest = r.milliseconds;
    }
    std::printf(
        "damaged payloads: %u runs of a %u-byte payload (%u filler bytes), %d crashes, %d hangs, %d wrong "
        "installations, %d with leftovers after the rollback, %d refused runs that had installed something "
        "before it; slowest run %u ms; %lu ms in all\n",
        unsigned(results.size()), unsigned(payload.size()), FillerBytes(payload), crashes, hangs, wrong,
        leftovers, installedBeforeRollback, slowest, static_cast<unsigned long>(elapsed));
    for (const auto& kind : byKind) {
        std::printf("  %-12s", kind.first.c_str());
        for (const auto& verdict : kind.second) std::printf(" %s %d", verdict.first.c_str(), verdict.second);
        std::printf("\n");
    }
    EXPECT_EQ(static_cast<size_t>(kDamagedPayloads), results.size());
    EXPECT_EQ(0, crashes);
    EXPECT_EQ(0, hangs);
    EXPECT_EQ(0, wrong);
    EXPECT_EQ(0, leftovers);
    // Nearly every random flip lands in the encrypted image, where it is always caught.
    EXPECT_GT(byKind["random-bit"]["refused"], 400);
    RemoveTree(folder);
}

}  // namespace
