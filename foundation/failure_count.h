#pragma once
// Counts the file-system failures of one installation run: a file or folder
// that could not be created, written or copied. The run makes a
// CWFailureCount on its own thread; the tree copy, the version-aware copy and
// the package extraction running on that thread add to it. A thread without
// a counter counts nothing, so other threads never disturb a run.
class CWFailureCount {
public:
    // Becomes the counter of the calling thread.
    CWFailureCount();
    // Gives the thread back the counter it had before.
    ~CWFailureCount();
    CWFailureCount(const CWFailureCount&) = delete;
    CWFailureCount& operator=(const CWFailureCount&) = delete;

    int Count() const { return m_count; }
    void Add();  // saturates, never wraps to zero

private:
    CWFailureCount* m_previous;
    int m_count;
};

// Adds one failure to the calling thread's counter, if it has one.
void CountFailure();
// The calling thread's count; 0 without a counter.
int CurrentFailureCount();
