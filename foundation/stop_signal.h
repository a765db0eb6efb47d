#pragma once
// The stop request of one installation run, seen by the long file operations
// (tree copies) on the run's thread, so a cancel ends a large copy between two
// files instead of waiting for the next progress report. A thread without a
// signal is never asked to stop.
#include <atomic>

class CWStopSignal {
public:
    // Becomes the calling thread's signal; keepGoing zero means "stop".
    explicit CWStopSignal(const std::atomic<int>* keepGoing);
    // Gives the thread back the signal it had before.
    ~CWStopSignal();
    CWStopSignal(const CWStopSignal&) = delete;
    CWStopSignal& operator=(const CWStopSignal&) = delete;

    bool Stopped() const { return m_keepGoing && m_keepGoing->load() == 0; }

private:
    CWStopSignal* m_previous;
    const std::atomic<int>* m_keepGoing;
};

// True when the calling thread's run has been asked to stop.
bool StopRequested();
