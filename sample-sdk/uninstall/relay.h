#pragma once
// Removing the running program itself: a running executable cannot be
// deleted, so the uninstaller copies itself to the temp folder, starts the
// copy with /relay and ends; the copy waits for it, removes the installation
// and ends in turn. The copy runs from a file opened with delete-on-close
// whose handle it inherits, so the system deletes that file when it exits.
#include <windows.h>

// Starts the relay copy for installFolder. The copy's current folder is the
// temp folder, so it holds no handle inside the installation. False (and
// nothing left behind) when the copy cannot be made or started.
bool StartRelay(const wchar_t* installFolder, bool quiet);

// Relay side: waits up to timeoutMs for the first process, given as the
// number of an inherited process handle, and closes that handle. False when
// the number is no handle of another process.
bool WaitForFirstProcess(unsigned long handleValue, DWORD timeoutMs);
