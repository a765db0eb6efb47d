#include "foundation/debug_trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {

std::atomic<TraceSink> g_traceSink{nullptr};

}  // namespace

TraceSink SetTraceSink(TraceSink sink) {
    return g_traceSink.exchange(sink);
}

void DebugTrace(const wchar_t* format, ...) {
    if (!format) return;
    constexpr int kTraceUnits = 1024;
    wchar_t line[kTraceUnits];
    va_list arguments;
    va_start(arguments, format);
    // The Microsoft-style formatter: "%s" takes a wide string here. A line
    // that does not fit is cut; the last unit is always the terminator.
    _vsnwprintf(line, kTraceUnits - 1, format, arguments);
    va_end(arguments);
    line[kTraceUnits - 1] = L'\0';
    if (TraceSink sink = g_traceSink.load())
        sink(line);
    else
        OutputDebugStringW(line);
}
