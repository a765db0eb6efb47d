#include "bench/install_phases.h"

#include <cstddef>

#include "package/string_ids.h"

namespace {

// The reports' string ids, short for the table below.
enum Text {
    kExtracting = IDS_EXTRACTING_PACKAGE,
    kValidating = IDS_VALIDATING_PACKAGE,
    kTools = IDS_INSTALLING_TOOLS,
    kHelp = IDS_INSTALLING_HELP,
    kSamples = IDS_INSTALLING_SAMPLES,
    kRedist = IDS_INSTALLING_REDIST,
    kMain = IDS_INSTALLING_MAIN,
};

struct Point {
    int id;
    int percent;
};

struct Span {
    Point from, to;
    InstallPhase phase;
};

// The intervals of the installation steps that are not "other": which
// report opens them and which one closes them.
const Span kSpans[] = {
    {{kMain, 0}, {kMain, 10}, InstallPhase::Copy},         // main components
    {{kMain, 10}, {kMain, 50}, InstallPhase::Registry},    // uninstall entry
    {{kMain, 50}, {kTools, 20}, InstallPhase::Copy},       // system-folder files
    {{kTools, 80}, {kMain, 100}, InstallPhase::Shortcut},  // uninstall shortcut
    {{kTools, 0}, {kTools, 0}, InstallPhase::Copy},        // SDK tools
    {{kTools, 0}, {kTools, 100}, InstallPhase::Shortcut},
    {{kHelp, 0}, {kHelp, 50}, InstallPhase::Copy},
    {{kHelp, 50}, {kHelp, 100}, InstallPhase::Shortcut},   // two shortcuts
    {{kSamples, 0}, {kSamples, 20}, InstallPhase::Copy},   // samples
    {{kSamples, 20}, {kSamples, 40}, InstallPhase::Copy},  // images
    {{kSamples, 40}, {kSamples, 50}, InstallPhase::Copy},  // include
    {{kSamples, 50}, {kSamples, 70}, InstallPhase::Copy},  // lib
    {{kSamples, 70}, {kSamples, 100}, InstallPhase::Shortcut},
    {{kRedist, 0}, {kRedist, 50}, InstallPhase::Copy},
    {{kRedist, 50}, {kRedist, 100}, InstallPhase::Shortcut},
};

bool Is(const TimedReport& r, int id, int percent) {
    return r.stringId == id && r.percent == percent;
}

InstallPhase Classify(const TimedReport& from, const TimedReport& to) {
    if (Is(to, kValidating, 50)) return InstallPhase::CopyDecrypt;
    if (Is(to, kValidating, 90)) return InstallPhase::Inflate;
    if (to.stringId == kExtracting) return InstallPhase::Extract;
    if (from.stringId == kExtracting) return InstallPhase::Release;
    for (const Span& span : kSpans)
        if (Is(from, span.from.id, span.from.percent) && Is(to, span.to.id, span.to.percent))
            return span.phase;
    return InstallPhase::Other;
}

}  // namespace

const char* PhaseName(InstallPhase phase) {
    switch (phase) {
        case InstallPhase::Open: return "open payload";
        case InstallPhase::CopyDecrypt: return "copy + decrypt";
        case InstallPhase::Inflate: return "inflate";
        case InstallPhase::Pause: return "pause";
        case InstallPhase::Extract: return "extract to working folder";
        case InstallPhase::Release: return "free blocks";
        case InstallPhase::Copy: return "copy components";
        case InstallPhase::Registry: return "uninstall entry";
        case InstallPhase::Shortcut: return "shortcuts";
        case InstallPhase::Delete: return "delete working folder";
        case InstallPhase::Other: return "other";
        default: return "?";
    }
}

PhaseTotals SplitIntoPhases(const std::vector<TimedReport>& reports, double endSeconds) {
    PhaseTotals totals;
    totals.total = endSeconds;
    auto add = [&](InstallPhase phase, double seconds) {
        if (seconds > 0) totals.seconds[static_cast<int>(phase)] += seconds;
    };
    if (reports.empty()) {
        add(InstallPhase::Other, endSeconds);
        return totals;
    }
    add(Is(reports[0], kValidating, 0) ? InstallPhase::Open : InstallPhase::Other, reports[0].seconds);
    for (std::size_t i = 1; i < reports.size(); ++i) {
        const TimedReport& from = reports[i - 1];
        const TimedReport& to = reports[i];
        const double span = to.seconds - from.seconds;
        if (Is(from, kValidating, 90) && to.stringId == kExtracting) {
            const double pause = span < kPipelinePause ? span : kPipelinePause;
            add(InstallPhase::Pause, pause);
            add(InstallPhase::Extract, span - pause);
            continue;
        }
        add(Classify(from, to), span);
    }
    add(InstallPhase::Delete, endSeconds - reports.back().seconds);
    return totals;
}
