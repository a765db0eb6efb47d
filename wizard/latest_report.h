#pragma once
// The newest progress report of a run, handed from the worker to the page.
// The worker stores every report; only when none is waiting for the page
// does it post a message, so however fast the reports come, at most one
// report message is in the page's queue and the page always shows the
// newest one when it gets there.
#include <atomic>

#include "foundation/arrays.h"

class CLPSLatestReport {
public:
    // Worker: keeps the report. True when the page must be told with a
    // message (none is waiting yet); the caller then posts one.
    bool Store(int percent, int stringId);
    // Worker: the message could not be posted; the next report tries again.
    void PostFailed();
    // Page: takes the newest report, false when there is none.
    bool Take(int* percent, int* stringId);
    // Forgets everything (a new run).
    void Clear();
    // How many reports were stored since the last Clear.
    long Stored() const { return m_stored.load(); }

private:
    CWCriticalSection m_lock;
    bool m_waiting = false;  // a report is kept that the page has not taken
    bool m_told = false;     // a message for it is in the page's queue
    int m_percent = 0;
    int m_stringId = 0;
    std::atomic<long> m_stored{0};
};
