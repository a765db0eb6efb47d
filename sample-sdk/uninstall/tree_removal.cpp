#include "sample-sdk/uninstall/tree_removal.h"

#include <cwchar>

#include "foundation/owned_handle.h"

namespace {

bool Join(wchar_t* out, const wchar_t* folder, const wchar_t* name) {
  const int n = std::swprintf(out, MAX_PATH, L"%ls\\%ls", folder, name);
  return n > 0 && n < MAX_PATH;
}

void MakeWritable(const wchar_t* path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

bool RemoveEntry(const wchar_t* path, DWORD attributes, RemovalReport* report);

// Everything below folder; true when all of it went.
bool RemoveContent(const wchar_t* folder, RemovalReport* report) {
  wchar_t pattern[MAX_PATH];
  if (!Join(pattern, folder, L"*")) {
    NoteFailure(report, folder);
    return false;
  }
  WIN32_FIND_DATAW entry;
  const CWFindHandle find(FindFirstFileW(pattern, &entry));
  if (!find) {
    // An empty enumeration is no failure; a folder we cannot list is.
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return true;
    NoteFailure(report, folder);
    return false;
  }
  bool all = true;
  do {
    if (std::wcscmp(entry.cFileName, L".") == 0 || std::wcscmp(entry.cFileName, L"..") == 0)
      continue;
    wchar_t path[MAX_PATH];
    if (!Join(path, folder, entry.cFileName)) {
      NoteFailure(report, folder);
      all = false;
      continue;
    }
    if (!RemoveEntry(path, entry.dwFileAttributes, report)) all = false;
  } while (FindNextFileW(find.Get(), &entry));
  return all;
}

bool RemoveEntry(const wchar_t* path, DWORD attributes, RemovalReport* report) {
  MakeWritable(path, attributes);
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  bool removed;
  if (!folder) {
    removed = DeleteFileW(path) != 0;
  } else if (link) {
    removed = RemoveDirectoryW(path) != 0;  // the link only
  } else {
    removed = RemoveContent(path, report);
    // A folder that keeps content stays; the content was counted already.
    if (!removed) return false;
    removed = RemoveDirectoryW(path) != 0;
  }
  if (!removed) NoteFailure(report, path);
  return removed;
}

}  // namespace

void NoteFailure(RemovalReport* report, const wchar_t* path) {
  if (!report) return;
  if (report->failures == 0 && path) {
    const std::size_t n = std::wcslen(path);
    const std::size_t keep = n < MAX_PATH - 1 ? n : MAX_PATH - 1;
    std::wmemcpy(report->firstFailure, path, keep);
    report->firstFailure[keep] = L'\0';
  }
  ++report->failures;
}

bool RemoveFolderTree(const wchar_t* folder, RemovalReport* report) {
  if (!folder || !*folder || std::wcslen(folder) >= MAX_PATH) {
    NoteFailure(report, folder);
    return false;
  }
  const DWORD attributes = GetFileAttributesW(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    NoteFailure(report, folder);
    return false;
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    NoteFailure(report, folder);
    return false;
  }
  return RemoveEntry(folder, attributes, report);
}
