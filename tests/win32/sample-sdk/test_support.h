#pragma once
// Helpers of the sample-SDK tests: temp folders, files, processes, windows.
#include <windows.h>

#include <string>
#include <vector>

// stage-relative path, e.g. Stage(L"Main\\KVNBarcodeUninstall.exe").
std::wstring Stage(const std::wstring& relative);
std::wstring Source(const std::wstring& relative);

// A fresh folder below the temp folder, removed with its content on destruction.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& name);
  virtual ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

 private:
  std::wstring path_;
};

bool Exists(const std::wstring& path);
bool FolderIsEmpty(const std::wstring& path);
bool ReadBytes(const std::wstring& path, std::string* bytes);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Creates the folder and all missing parents.
bool MakeFolders(const std::wstring& path);
// Removes a tree with the shell (independent of the code under test).
void RemoveTree(const std::wstring& path);
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

struct ProcessOutcome {
  bool started = false;
  DWORD exitCode = 0xFFFFFFFF;   // of the first process
  bool allEnded = false;         // every process of the job ended in time
  std::string output;            // standard output, when captured
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
