#include "tests/win32/support/progress_callbacks.h"

#include "package/string_ids.h"

RecordingCallback::RecordingCallback() {
    QueryPerformanceFrequency(&m_frequency);
    QueryPerformanceCounter(&m_start);
}

RecordingCallback::RecordingCallback(ProgressReport stopAt) : RecordingCallback() {
    m_stopAt = stopAt;
    m_stopArmed = true;
}

RecordingCallback RecordingCallback::StoppingAtIndex(size_t index) {
    RecordingCallback callback;
    callback.m_stopIndex = static_cast<long>(index);
    return callback;
}

RecordingCallback RecordingCallback::StoppingFrom(size_t number) {
    RecordingCallback callback;
    callback.m_stopFrom = number;
    return callback;
}

int RecordingCallback::ReportProgress(int stringId, int percent) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    reports.emplace_back(stringId, percent);
    milliseconds.push_back(1000.0 * static_cast<double>(now.QuadPart - m_start.QuadPart) /
                           static_cast<double>(m_frequency.QuadPart));
    bool stop = false;
    if (stringId == IDS_EXTRACTING_PACKAGE && ++m_extractReports == stopAtExtractReport) stop = true;
    if (stringId == IDS_VALIDATING_PACKAGE && ++m_validationReports == stopAtValidationReport) stop = true;
    if (m_stopIndex >= 0 && reports.size() == static_cast<size_t>(m_stopIndex) + 1) {
        stop = true;
    } else if (m_stopArmed && reports.back() == m_stopAt) {
        m_stopArmed = false;
        stop = true;
    }
    if (m_stopFrom != 0 && reports.size() >= m_stopFrom) stop = true;
    return stop ? 0 : 1;
}
