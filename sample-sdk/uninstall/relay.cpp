#include "sample-sdk/uninstall/relay.h"

#include <cwchar>

#include "foundation/owned_handle.h"

#include "sample-sdk/uninstall/arguments.h"
#include "sample-sdk/uninstall/install_folder.h"

namespace {

constexpr std::size_t kCommandLineSize = 3 * MAX_PATH;

// Copies program into the temp folder under a name of its own; false when
// no free name is found or the copy fails.
bool CopyToTemp(const wchar_t* program, const wchar_t* tempFolder, wchar_t* copy) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int n = std::swprintf(copy, MAX_PATH, L"%lsKVNBarcodeUninstall-%08lX-%02d.exe",
                                tempFolder, GetCurrentProcessId(), attempt);
    if (n <= 0 || n >= MAX_PATH) return false;
    if (CopyFileW(program, copy, TRUE)) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

}  // namespace

bool StartRelay(const wchar_t* installFolder, bool quiet) {
  wchar_t program[MAX_PATH];
  if (!OwnProgramPath(program, MAX_PATH)) return false;
  wchar_t temp[MAX_PATH] = {};
  const DWORD tempLength = GetTempPathW(MAX_PATH, temp);
  if (tempLength == 0 || tempLength >= MAX_PATH) return false;
  if (GetFileAttributesW(temp) == INVALID_FILE_ATTRIBUTES) return false;

  wchar_t copy[MAX_PATH];
  if (!CopyToTemp(program, temp, copy)) return false;

  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  // Closing the last handle of the file deletes the copy: when the copy was
  // not started, that is this one, on every way out.
  const CWFileHandle file(CreateFileW(copy, DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit,
                                      OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!file) {
    DeleteFileW(copy);
    return false;
  }
  CWHandle self;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(),
                       self.Receive(), SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0)) {
    return false;
  }

  wchar_t commandLine[kCommandLineSize];
  bool started = BuildRelayCommandLine(
      copy, static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(self.Get())), installFolder,
      quiet, commandLine, kCommandLineSize);
  if (started) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    started = CreateProcessW(copy, commandLine, nullptr, nullptr, TRUE, 0, nullptr, temp,
                             &startup, &process) != 0;
    if (started) {
      // The copy may need to bring its message to the front.
      AllowSetForegroundWindow(process.dwProcessId);
      const CWHandle copyProcess(process.hProcess);
      const CWHandle thread(process.hThread);  // closed first, then the process
    }
  }
  return started;  // closes self, then file
}

bool WaitForFirstProcess(unsigned long handleValue, DWORD timeoutMs) {
  HANDLE first = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handleValue));
  const DWORD id = GetProcessId(first);
  if (id == 0 || id == GetCurrentProcessId()) return false;
  const CWHandle owned(first);  // inherited from the first process, ours to close
  const DWORD waited = WaitForSingleObject(first, timeoutMs);
  return waited == WAIT_OBJECT_0 || waited == WAIT_TIMEOUT;
}
