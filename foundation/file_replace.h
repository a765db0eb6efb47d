#pragma once
// Replacing a file that Windows guards: read-only, hidden or system files
// refuse to be overwritten, and a file another program holds refuses to be
// opened for a while (virus scanners and indexers hold new files for
// moments). Windows only.
#include <windows.h>

// How long a held file is tried again in all before it counts as held for good.
constexpr DWORD kHeldFileRetryMs = 2000;
constexpr DWORD kHeldFileRetryStepMs = 100;

// True for the errors of a file that another program holds open.
bool IsHeldFileError(DWORD error);

// Runs action (a callable returning non-zero on success) until it succeeds,
// fails for another reason than a held file, or kHeldFileRetryMs have
// passed; the thread's last error is that of the last try.
template <typename Action>
bool RetryWhileHeld(Action action) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (action()) return true;
        const DWORD error = GetLastError();
        if (!IsHeldFileError(error) || GetTickCount() - start >= kHeldFileRetryMs) return false;
        Sleep(kHeldFileRetryStepMs);
        SetLastError(error);
    }
}

// CopyFileW(source, destination) over whatever is there: a read-only,
// hidden or system destination has its attributes cleared for the copy
// (and given back when the copy still fails), a held one is tried again.
// The copy carries the source's bytes and attributes.
bool CopyOverFile(const wchar_t* source, const wchar_t* destination);

// Deletes a file whatever its attributes; true when it is gone.
bool DeleteAnyFile(const wchar_t* path);
