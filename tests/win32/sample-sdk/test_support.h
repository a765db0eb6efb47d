#pragma once
// Helpers of the sample-SDK tests: files, processes, windows; temporary
// folders, files and text come from the shared test support.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/support/files.h"
#include "tests/win32/support/temp_folder.h"
#include "tests/win32/support/text.h"

// stage-relative path, e.g. Stage(L"Main\\KVNBarcodeUninstall.exe").
std::wstring Stage(const std::wstring& relative);
std::wstring Source(const std::wstring& relative);

bool FolderIsEmpty(const std::wstring& path);
// False when the file cannot be read (bytes then empty).
bool ReadBytes(const std::wstring& path, std::string* bytes);

struct ProcessOutcome {
    bool started = false;
    DWORD exitCode = 0xFFFFFFFF;  // of the first process
    bool allEnded = false;        // every process of the job ended in time
    std::string output;           // standard output, when captured
};

struct ProcessOptions {
    std::wstring currentFolder;                      // empty: the test's own
    std::vector<std::wstring> environmentOverrides;  // "NAME=value"
    bool captureOutput = false;
    DWORD timeoutMs = 60000;
};

// Runs commandLine in a job object and waits until the first process and
// every process it started have ended (or the timeout passed).
ProcessOutcome RunInJob(const std::wstring& commandLine, const ProcessOptions& options);

// A started process with its job; the job's processes are ended on destruction.
class RunningProcess {
public:
    RunningProcess(const std::wstring& commandLine, const ProcessOptions& options);
    virtual ~RunningProcess();
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;
    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    // Exit code of the first process once it ended within timeoutMs, else nothing.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);
    // True once no process of the job runs any more.
    bool WaitForAll(DWORD timeoutMs);
    void Terminate();

private:
    HANDLE job_ = nullptr;
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// The first visible top-level window whose title is title and, when
// processId is not 0, belongs to that process; waits up to timeoutMs.
HWND WaitForWindow(const std::wstring& title, DWORD processId, DWORD timeoutMs);
// The texts of a window's "Static" children, joined by newlines.
std::wstring StaticTexts(HWND window);
std::wstring WindowText(HWND window);
