#include "sample-sdk/demo/cwd_report.h"

#include <cwchar>

namespace {

constexpr int kMaxText = MAX_PATH - 1;

bool WriteAll(HANDLE file, const char* bytes, DWORD count) {
  while (count > 0) {
    DWORD written = 0;
    if (!WriteFile(file, bytes, count, &written, nullptr) || written == 0) return false;
    bytes += written;
    count -= written;
  }
  return true;
}

}  // namespace

bool WriteUtf8File(const wchar_t* path, const wchar_t* text) {
  if (!path || !*path || !text) return false;
  const std::size_t textLength = std::wcslen(text);
  if (textLength > kMaxText) return false;
  wchar_t temporary[MAX_PATH];
  const int n = std::swprintf(temporary, MAX_PATH, L"%ls.tmp", path);
  if (n <= 0 || n >= MAX_PATH) return false;

  char utf8[4 * MAX_PATH];
  int bytes = 0;
  if (textLength > 0) {
    bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(textLength), utf8,
                                static_cast<int>(sizeof utf8), nullptr, nullptr);
    if (bytes <= 0) return false;
  }
  HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteAll(file, utf8, static_cast<DWORD>(bytes));
  const bool closed = CloseHandle(file) != 0;
  if (!written || !closed ||
      !MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary);
    return false;
  }
  return true;
}

bool ReportCurrentFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(kCwdReportVariable, path, MAX_PATH);
  if (length == 0) return true;  // not asked for (or set to nothing)
  if (length >= MAX_PATH) return false;
  wchar_t folder[MAX_PATH] = {};
  const DWORD folderLength = GetCurrentDirectoryW(MAX_PATH, folder);
  if (folderLength == 0 || folderLength >= MAX_PATH) return false;
  return WriteUtf8File(path, folder);
}
