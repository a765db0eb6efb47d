// Runs installations from damaged payloads and writes one result line per
// payload, in index order. Started by the damaged-payload test, which starts
// it again after a payload without a line (a crash) or with a hang.
// Arguments: first index, number of payloads, results file, parallel runs.
// Index -1 is the undamaged payload (the yardstick of the time and memory
// that scripts measure with one payload at a time).
//
// Each payload is first installed in a run of its own folders (a private
// Program Files), several at once: a payload that cannot be decoded ends
// there, before anything of the machine is touched. A payload that decodes is
// stopped at its first report after the pipeline and installed again, alone
// and to the end, into the machine's own folders.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/install_sequence.h"
#include "app/rollback.h"
#include "app/setup_paths.h"
#include "package/decode_pipeline.h"
#include "package/string_ids.h"
#include "tests/win32/app/install_checks.h"
#include "tests/win32/faults/damaged_payloads.h"
#include "tests/win32/faults/faults_support.h"

namespace {

constexpr int kMaxParallel = 8;

// Answers zero to the first report after the pipeline's own
// (IDS_VALIDATING_PACKAGE, IDS_EXTRACTING_PACKAGE).
class StopAfterPipeline : public IProductInstallerCallbak {
public:
    int ReportProgress(int stringId, int) override {
        return stringId == IDS_EXTRACTING_PACKAGE || stringId == IDS_VALIDATING_PACKAGE ? 1 : 0;
    }
    void ReservedOperation(int, int) override {}
};

// Writes the payload as the resource of a copy of the blank DLL; an empty
// payload leaves the resource out.
bool WriteModule(const std::wstring& blank, const std::wstring& module, const std::vector<uint8_t>& payload) {
    if (!CopyFileW(blank.c_str(), module.c_str(), FALSE)) return false;
    HANDLE update = BeginUpdateResourceW(module.c_str(), FALSE);
    if (!update) return false;
    if (!payload.empty() &&
        !UpdateResourceW(update, kPayloadResourceType, kPayloadResourceName,
                         MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), const_cast<uint8_t*>(payload.data()),
                         static_cast<DWORD>(payload.size()))) {
        EndUpdateResourceW(update, TRUE);
        return false;
    }
    return EndUpdateResourceW(update, FALSE) != 0;
}

bool InstalledSomething(const CLPSSetupState& app) {
    const std::wstring install = app.m_paths.InstallDir;
    return (PathExists(install) && CountEntries(install, true) > 0) || UninstallKeyExists() ||
           PathExists(StartMenuProductFolder());
}

// One payload's run in a slot of its own: module file, application object,
// folders. A private slot's thread also rolls back and looks for leftovers.
struct Slot {
    CLPSSetupState app;
    std::wstring module;
    const std::wstring* blank = nullptr;
    std::vector<uint8_t> payload;
    IProductInstallerCallbak* callback = nullptr;
    bool rollBack = false;
    bool ready = false;  // the module was written and loaded
    InstallOutcome outcome;
    bool installedBefore = false, leftovers = false;
};

bool Prepare(Slot& slot) {
    slot.outcome = InstallOutcome();
    slot.installedBefore = slot.leftovers = false;
    if (!WriteModule(*slot.blank, slot.module, slot.payload)) return false;
    slot.app.m_hResources = LoadLibraryExW(slot.module.c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return slot.app.m_hResources != nullptr;
}

void Release(Slot& slot) {
    if (slot.app.m_hResources) FreeLibrary(slot.app.m_hResources);
    slot.app.m_hResources = nullptr;
}

DWORD WINAPI InstallSlot(LPVOID parameter) {
    Slot* slot = static_cast<Slot*>(parameter);
    slot->ready = Prepare(*slot);
    if (!slot->ready) return 0;
    CoInitialize(nullptr);
    InstallProducts(&slot->app, slot->callback, &slot->outcome);
    if (slot->rollBack) {
        slot->installedBefore = InstalledSomething(slot->app);
        NeverStopCallback quiet;
        RollbackInstallation(&slot->app, &quiet);
        slot->leftovers = FindLeftovers(slot->app).Any();
        Release(*slot);
    }
    CoUninitialize();
    return 0;
}

// Runs the slots at once, each on its own thread; false when one of them
// does not end within the limit (its index in hung).
bool RunSlots(std::vector<Slot*>& slots, size_t& hung) {
    std::vector<HANDLE> threads;
    for (Slot* slot : slots) threads.push_back(CreateThread(nullptr, 0, InstallSlot, slot, 0, nullptr));
    bool ended = true;
    const DWORD start = GetTickCount();
    for (size_t i = 0; i < threads.size(); ++i) {
        if (!threads[i]) {
            ended = false;
            hung = i;
            break;
        }
        const DWORD elapsed = GetTickCount() - start;
        const DWORD left = elapsed < kRunLimitMs ? kRunLimitMs - elapsed : 0;
        if (WaitForSingleObject(threads[i], left) != WAIT_OBJECT_0) {
            ended = false;
            hung = i;
            break;
        }
    }
    for (HANDLE thread : threads)
        if (thread) {
            if (!ended) TerminateThread(thread, 0);
            CloseHandle(thread);
        }
    return ended;
}

// A crash ends the process at once with exit code 6, without a debugger
// that would wait for someone; the lines written so far are on disk.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS*) {
    TerminateProcess(GetCurrentProcess(), 6);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(EndOnCrash);
    if (argc < 5) return 2;
    const int first = std::atoi(argv[1]);
    const int count = std::atoi(argv[2]);
    const int parallel = std::max(1, std::min(kMaxParallel, std::atoi(argv[4])));
    std::ofstream results(argv[3], std::ios::app);
    if (!results) return 2;
    const std::string good = ReadFileBytes(Widen(KVN_FAULTS_PAYLOAD));
    if (good.size() < 36) return 2;
    const std::vector<uint8_t> payload(good.begin(), good.end());
    CoInitialize(nullptr);

    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring blank = Join(ProgramFolder(), L"faults_blank.dll");
    const std::wstring work = MakeTempFolder(L"payloads");
    StopAfterPipeline stopAfterPipeline;
    NeverStopCallback goOn;

    std::vector<std::unique_ptr<Slot>> slots;
    for (int i = 0; i < parallel; ++i) {
        slots.push_back(std::make_unique<Slot>());
        Slot& slot = *slots.back();
        const std::wstring root = Join(work, L"pf" + std::to_wstring(i));
        MakeFolders(root);
        FillSetupPaths(slot.app.m_paths, root.c_str(), system);
        slot.app.BuildProductList();
        slot.module = Join(work, L"damaged" + std::to_wstring(i) + L".dll");
        slot.blank = &blank;
        slot.callback = &stopAfterPipeline;
        slot.rollBack = true;
    }
    // The machine's own folders, for the payloads that decode.
    Slot machine;
    machine.app.ComputeSetupPaths();
    machine.app.BuildProductList();
    machine.module = Join(work, L"decoded.dll");
    machine.blank = &blank;
    machine.callback = &goOn;
    CleanMachine(machine.app);

    const int end = std::min(first + count, kDamagedPayloads);
    for (int batch = first; batch < end; batch += parallel) {
        std::vector<Slot*> running;
        std::vector<RunResult> lines;
        for (int index = batch; index < end && index < batch + parallel; ++index) {
            const Damage damage = index < 0 ? Undamaged(payload) : DamageFor(index, payload);
            Slot& slot = *slots[running.size()];
            slot.payload = ApplyDamage(payload, damage);
            RunResult result;
            result.index = index;
            result.kind = KindName(damage.kind);
            result.position = damage.position;
            result.bit = damage.bit;
            result.size = static_cast<uint32_t>(slot.payload.size());
            lines.push_back(result);
            running.push_back(&slot);
        }
        size_t hung = 0;
        const DWORD start = GetTickCount();
        const bool ended = RunSlots(running, hung);
        const unsigned elapsed = GetTickCount() - start;
        if (!ended) {
            for (size_t i = 0; i < hung; ++i) {
                lines[i].verdict = "unjudged";  // the process is not to be trusted after a hang
            }
            lines[hung].verdict = "hang";
            lines[hung].milliseconds = elapsed;
            for (size_t i = 0; i <= hung; ++i)
                if (lines[i].verdict == "hang") results << FormatResult(lines[i]) << std::endl;
            return 3;
        }

        for (size_t i = 0; i < running.size(); ++i) {
            Slot& slot = *running[i];
            if (!slot.ready) return 4;
            RunResult& result = lines[i];
            result.milliseconds = elapsed;
            result.decoded = slot.outcome.packageDecoded;
            result.failures = slot.outcome.failures;
            result.stopped = slot.outcome.stopped;
            result.installedBefore = slot.installedBefore ? 1 : 0;
            result.leftovers = slot.leftovers ? 1 : 0;
            if (!result.decoded) {
                // A package that could not be decoded installs nothing at all.
                result.verdict = result.installedBefore ? "wrong" : "refused";
                continue;
            }

            // It decodes: the whole run, alone, into the machine's folders.
            machine.payload = slot.payload;
            std::vector<Slot*> alone{&machine};
            const DWORD wholeStart = GetTickCount();
            if (!RunSlots(alone, hung)) {
                result.verdict = "hang";
                result.milliseconds = GetTickCount() - wholeStart;
                for (size_t j = 0; j <= i; ++j)
                    if (!lines[j].verdict.empty()) results << FormatResult(lines[j]) << std::endl;
                return 3;
            }
            if (!machine.ready) return 4;
            result.milliseconds += GetTickCount() - wholeStart;
            result.decoded = machine.outcome.packageDecoded;
            result.failures = machine.outcome.failures;
            result.stopped = machine.outcome.stopped;
            if (ClaimsSuccess(machine.outcome)) {
                // The damage missed the data (filler, or a trailer that still
                // covers the stream): the installation must be the exact tree.
                result.verdict = InstallationDifferences(machine.app).empty() ? "intact" : "wrong";
                result.installedBefore = 1;
            } else {
                result.installedBefore = InstalledSomething(machine.app) ? 1 : 0;
                result.verdict = result.decoded ? "refused" : (result.installedBefore ? "wrong" : "refused");
            }
            RollbackInstallation(&machine.app, &goOn);
            if (FindLeftovers(machine.app).Any()) result.leftovers = 1;
            CleanMachine(machine.app);
            Release(machine);
        }
        for (const RunResult& result : lines) results << FormatResult(result) << std::endl;
    }
    // Nothing of the private runs may have reached the machine.
    if (UninstallKeyExists() || PathExists(StartMenuProductFolder())) return 5;
    RemoveTree(work);
    CoUninitialize();
    return 0;
}
