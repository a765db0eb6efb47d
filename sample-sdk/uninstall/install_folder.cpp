#include "sample-sdk/uninstall/install_folder.h"

#include <cwchar>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\'; }

// Length of the root ("C:\" or "\\server\share\"), 0 when the path has none.
std::size_t RootLength(const wchar_t* path) {
  const std::size_t length = std::wcslen(path);
  if (length >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
      path[1] == L':' && IsSeparator(path[2]))
    return 3;
  if (length >= 5 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] != L'?' &&
      path[2] != L'.') {
    // \\server\share\ : two non-empty names.
    const wchar_t* server = path + 2;
    const wchar_t* slash = std::wcschr(server, L'\\');
    if (!slash || slash == server) return 0;
    const wchar_t* share = slash + 1;
    const wchar_t* end = std::wcschr(share, L'\\');
    if (!end || end == share) return 0;
    return static_cast<std::size_t>(end - path) + 1;
  }
  return 0;
}

bool SameName(const wchar_t* name, std::size_t length, const wchar_t* expected) {
  return std::wcslen(expected) == length && _wcsnicmp(name, expected, length) == 0;
}

}  // namespace

bool IsSdkInstallFolder(const wchar_t* folder) {
  if (!folder || !*folder) return false;
  const std::size_t length = std::wcslen(folder);
  if (length >= MAX_PATH) return false;
  if (std::wcschr(folder, L'/')) return false;
  const std::size_t root = RootLength(folder);
  if (root == 0 || length <= root || IsSeparator(folder[length - 1])) return false;

  // Components after the root; the last two must be the vendor and SDK names.
  const wchar_t* previous = nullptr;
  std::size_t previousLength = 0;
  const wchar_t* last = nullptr;
  std::size_t lastLength = 0;
  const wchar_t* start = folder + root;
  for (const wchar_t* p = start;; ++p) {
    if (*p == L'\\' || *p == L'\0') {
      const std::size_t n = static_cast<std::size_t>(p - start);
      if (n == 0) return false;  // two separators in a row
      if (SameName(start, n, L".") || SameName(start, n, L"..")) return false;
      previous = last;
      previousLength = lastLength;
      last = start;
      lastLength = n;
      if (*p == L'\0') break;
      start = p + 1;
    }
  }
  return previous && SameName(last, lastLength, kSdkFolderName) &&
         SameName(previous, previousLength, kVendorFolderName);
}

bool ParentFolder(const wchar_t* path, wchar_t* folder, std::size_t size) {
  if (!path || !folder || size == 0) return false;
  folder[0] = L'\0';
  const wchar_t* last = std::wcsrchr(path, L'\\');
  if (!last || last == path) return false;
  std::size_t n = static_cast<std::size_t>(last - path);
  // Keep the separator of a drive root ("C:\file" has the folder "C:\").
  if (n == 2 && path[1] == L':') n = 3;
  if (n + 1 > size) return false;
  std::wmemcpy(folder, path, n);
  folder[n] = L'\0';
  return true;
}

bool OwnProgramPath(wchar_t* path, std::size_t size) {
  if (!path || size == 0 || size > MAXDWORD) return false;
  path[0] = L'\0';
  wchar_t raw[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, raw, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  const DWORD longLength = GetLongPathNameW(raw, path, static_cast<DWORD>(size));
  if (longLength == 0) {
    // No long form to be had (for example on a file system without short
    // names): the module path is used as it is.
    if (n + 1 > size) return false;
    std::wmemcpy(path, raw, n + 1);
    return true;
  }
  if (longLength >= size) {
    path[0] = L'\0';
    return false;
  }
  return true;
}
