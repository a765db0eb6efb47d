#pragma once
// One installation run as the long file operations see it: whether the run
// has been asked to stop (so a cancel ends a large copy between two files
// instead of waiting for the next progress report), the mark that only its
// cleanup is left, and the count of its file-system failures (a file or
// folder that could not be created, written or copied).
//
// The run makes one object and hands it down explicitly: InstallProducts ->
// the component copies -> CopyFolderTree, and the package extraction. Code
// given none (nullptr) is never asked to stop and counts nothing.
#include <atomic>

class CWFileJournal;

class CWRunControl {
public:
    // keepGoing, when given, is the caller's flag: zero means "stop".
    // cleaningUp, when given, is set once the run has passed its last point
    // of stopping and only removes its own working files.
    explicit CWRunControl(const std::atomic<int>* keepGoing = nullptr,
                          std::atomic<int>* cleaningUp = nullptr);
    CWRunControl(const CWRunControl&) = delete;
    CWRunControl& operator=(const CWRunControl&) = delete;

    // True when the run has been asked to stop.
    bool StopRequested() const { return m_keepGoing && m_keepGoing->load() == 0; }
    // Tells whoever waits for the run that only its cleanup is left: a thread
    // ended by force in the middle of file operations can leave locks of the
    // process held, so the waiter lets that part finish.
    void MarkCleaningUp() {
        if (m_cleaningUp) m_cleaningUp->store(1);
    }

    // The failures counted so far; the count saturates, never wraps to zero.
    int Failures() const { return m_failures; }
    void CountFailure();

    // The journal of what the run changes (foundation/file_journal.h), so
    // that it can be undone; none: files are replaced in place.
    CWFileJournal* Journal() const { return m_journal; }
    void SetJournal(CWFileJournal* journal) { m_journal = journal; }

private:
    const std::atomic<int>* m_keepGoing;
    std::atomic<int>* m_cleaningUp;
    int m_failures;
    CWFileJournal* m_journal;
};

// The same for a run that may be missing: without one, never stopped and
// nothing counted.
inline bool StopRequested(const CWRunControl* run) {
    return run && run->StopRequested();
}
inline void CountFailure(CWRunControl* run) {
    if (run) run->CountFailure();
}
inline CWFileJournal* JournalOf(const CWRunControl* run) {
    return run ? run->Journal() : nullptr;
}
