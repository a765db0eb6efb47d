#pragma once
// The stop request of one installation run, seen by the long file operations
// (tree copies) on the run's thread, so a cancel ends a large copy between two
// files instead of waiting for the next progress report. A thread without a
// signal is never asked to stop.
#include <atomic>

class CWStopSignal {
public:
    // Becomes the calling thread's signal; keepGoing zero means "stop".
    // cleaningUp, when given, is set once the run has passed its last point
    // of stopping and only removes its own working files.
    explicit CWStopSignal(const std::atomic<int>* keepGoing, std::atomic<int>* cleaningUp = nullptr);
    // Gives the thread back the signal it had before.
    ~CWStopSignal();
    CWStopSignal(const CWStopSignal&) = delete;
    CWStopSignal& operator=(const CWStopSignal&) = delete;

    bool Stopped() const { return m_keepGoing && m_keepGoing->load() == 0; }
    void MarkCleaningUp() {
        if (m_cleaningUp) m_cleaningUp->store(1);
    }

private:
    CWStopSignal* m_previous;
    const std::atomic<int>* m_keepGoing;
    std::atomic<int>* m_cleaningUp;
};

// True when the calling thread's run has been asked to stop.
bool StopRequested();

// Tells whoever waits for the calling thread's run that only its cleanup is
// left: a thread ended by force in the middle of file operations can leave
// locks of the process held, so the waiter lets that part finish.
void MarkRunCleaningUp();
