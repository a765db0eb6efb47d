#pragma once
// Splits the time of one installation run into phases from the progress
// reports it made: each interval between two reports (and from the start to
// the first, and from the last to the end) belongs to the action that the
// two reports enclose. Portable: the Windows benchmark records the reports,
// this turns them into totals.
#include <vector>

enum class InstallPhase {
    Open,         // start to the first report: payload located, blocks made
    CopyDecrypt,  // the payload copied into a block and decrypted
    Inflate,
    Pause,     // the pipeline's fixed pause before extraction
    Extract,   // the records written into the working folder
    Release,   // the pipeline's blocks freed
    Copy,      // package folders copied into their destinations
    Registry,  // the uninstall entry
    Shortcut,
    Delete,  // the working folder removed (last report to the end)
    Other,
    Count
};

const char* PhaseName(InstallPhase phase);

struct TimedReport {
    int stringId;
    int percent;
    double seconds;  // since the start of the run
};

struct PhaseTotals {
    double seconds[static_cast<int>(InstallPhase::Count)] = {};
    double total = 0;  // the end of the run
    double Of(InstallPhase phase) const { return seconds[static_cast<int>(phase)]; }
};

// The pause of the pipeline, in seconds: the interval from the last
// validation report to the first extraction report holds it and the first
// record; up to this much of it counts as the pause. It is the setup's
// kPauseBeforeExtractionMs (package/decode_pipeline.h, a Windows header that
// this portable code cannot include).
constexpr double kPipelinePause = 0.050;

PhaseTotals SplitIntoPhases(const std::vector<TimedReport>& reports, double endSeconds);
