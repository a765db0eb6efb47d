#pragma once
// Report receivers for runs of the setup's code: one that records every
// report and can ask to stop, one that never asks to stop.
#include <windows.h>

#include <cstddef>
#include <utility>
#include <vector>

#include "package/product_installer_callback.h"

using ProgressReport = std::pair<int, int>;  // string id, percent
using ReportList = std::vector<ProgressReport>;

// Records every report and when it came; answers zero when one of its stop
// rules is met (none by default), otherwise 1.
class RecordingCallback : public IProductInstallerCallbak {
public:
    RecordingCallback();
    // Zero to the first report equal to stopAt.
    explicit RecordingCallback(ProgressReport stopAt);
    // Zero to the report with this index (0-based) only.
    static RecordingCallback StoppingAtIndex(size_t index);
    // Zero to the report with this number (1-based) and to every later one;
    // 0: never.
    static RecordingCallback StoppingFrom(size_t number);

    int ReportProgress(int stringId, int percent) override;
    void ReservedOperation(int, int) override {}

    ReportList reports;
    std::vector<double> milliseconds;  // when each report came, since the callback was made
    int stopAtExtractReport = 0;       // zero to the n-th IDS_EXTRACTING_PACKAGE report (1-based); 0: never
    int stopAtValidationReport = 0;    // the same for the IDS_VALIDATING_PACKAGE reports

private:
    ProgressReport m_stopAt{0, 0};
    bool m_stopArmed = false;
    long m_stopIndex = -1;
    size_t m_stopFrom = 0;
    int m_extractReports = 0, m_validationReports = 0;
    LARGE_INTEGER m_start, m_frequency;
};

// Shows nothing and never asks to stop; holds no state, so threads may share one.
class NeverStopCallback : public IProductInstallerCallbak {
public:
    int ReportProgress(int, int) override { return 1; }
    void ReservedOperation(int, int) override {}
};
