// kvn_install_bench: one installation of the payload linked into this
// program, run as the setup's install worker runs it (COM initialised,
// every component selected, InstallProducts with a callback that always
// answers "go on"), into the real Program Files, system folder, registry and
// Start menu of the Wine prefix. The callback stamps every report with the
// time, so the run's time splits into phases. "--noop" returns at once, to
// measure what starting a process costs; "--probe FOLDER" measures single
// file-system calls in a scratch folder; "--floor" makes only the bare calls
// of the installation's file phases (bench/win32/install_floor.h).
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "app/install_sequence.h"
#include "app/setup_state.h"
#include "bench/install_phases.h"
#include "bench/win32/call_probe.h"
#include "bench/win32/install_floor.h"

namespace {

class TimingCallback : public IProductInstallerCallbak {
public:
    TimingCallback() {
        QueryPerformanceFrequency(&m_frequency);
        QueryPerformanceCounter(&m_start);
        m_reports.reserve(4096);
    }
    double Elapsed() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) /
               static_cast<double>(m_frequency.QuadPart);
    }
    int ReportProgress(int stringId, int percent) override {
        m_reports.push_back({stringId, percent, Elapsed()});
        return 1;
    }
    void ReservedOperation(int, int) override {}
    const std::vector<TimedReport>& Reports() const { return m_reports; }

private:
    LARGE_INTEGER m_frequency, m_start;
    std::vector<TimedReport> m_reports;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"--noop") == 0) return 0;
    if (argc > 2 && std::wcscmp(argv[1], L"--probe") == 0) return RunCallProbe(argv[2]);
    if (argc > 1 && std::wcscmp(argv[1], L"--floor") == 0) return RunInstallFloor();
    if (argc > 2 && std::wcscmp(argv[1], L"--compare-extractions") == 0)
        return CompareExtractions(_wtoi(argv[2]));
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::printf("error=COM could not be initialised\n");
        return 1;
    }
    int exitCode = 1;
    {
        CLPSSetupState app;
        app.ComputeSetupPaths();
        app.BuildProductList();
        for (int i = 0; i < app.m_products.GetCount(); ++i)
            if (CLPProduct* product = app.m_products.GetAt(i)) product->selected = 1;

        TimingCallback callback;
        InstallOutcome outcome;
        const int result = InstallProducts(&app, &callback, &outcome);
        const double end = callback.Elapsed();

        const PhaseTotals totals = SplitIntoPhases(callback.Reports(), end);
        std::printf("result=%d\ndecoded=%d\nreports=%u\nseconds=%.6f\n", result, outcome.packageDecoded,
                    static_cast<unsigned>(callback.Reports().size()), end);
        for (int p = 0; p < static_cast<int>(InstallPhase::Count); ++p)
            std::printf("phase.%s=%.6f\n", PhaseName(static_cast<InstallPhase>(p)), totals.seconds[p]);
        exitCode = (result == 1 && outcome.packageDecoded) ? 0 : 1;
    }
    CoUninitialize();
    return exitCode;
}
