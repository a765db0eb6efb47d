#include "sample-sdk/uninstall/removal.h"

#include <shlobj.h>

#include <cwchar>

namespace {

bool CopyPath(wchar_t* out, const wchar_t* text) {
  const std::size_t n = text ? std::wcslen(text) : 0;
  if (n >= MAX_PATH) return false;
  if (n) std::wmemcpy(out, text, n);
  out[n] = L'\0';
  return true;
}

bool RemoveFolderWithRetries(const wchar_t* folder, const RemovalTargets& targets,
                             RemovalReport* report) {
  const int attempts = targets.attempts > 0 ? targets.attempts : 1;
  for (int i = 0; i < attempts; ++i) {
    RemovalReport round;
    if (RemoveFolderTree(folder, &round)) return true;
    if (i + 1 == attempts) {
      if (round.failures) {
        NoteFailure(report, round.firstFailure);
        report->failures += round.failures - 1;
      }
      return false;
    }
    Sleep(targets.pauseMilliseconds);
  }
  return false;
}

bool RemoveRegistryEntry(const RemovalTargets& targets, RemovalReport* report) {
  if (!targets.registryKey[0]) return true;
  LONG result = RegDeleteTreeW(targets.registryRoot, targets.registryKey);
  if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) {
    // RegDeleteTreeW leaves the key itself on some systems; remove it too.
    result = RegDeleteKeyW(targets.registryRoot, targets.registryKey);
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) return true;
  }
  NoteFailure(report, targets.registryKey);
  return false;
}

bool RemoveStartMenu(const RemovalTargets& targets, RemovalReport* report) {
  if (!targets.programsFolder[0]) return true;
  wchar_t vendor[MAX_PATH];
  wchar_t product[MAX_PATH];
  int n = std::swprintf(vendor, MAX_PATH, L"%ls\\%ls", targets.programsFolder,
                        kStartMenuVendorFolder);
  if (n <= 0 || n >= MAX_PATH) {
    NoteFailure(report, targets.programsFolder);
    return false;
  }
  n = std::swprintf(product, MAX_PATH, L"%ls\\%ls", vendor, kStartMenuProductFolder);
  if (n <= 0 || n >= MAX_PATH) {
    NoteFailure(report, vendor);
    return false;
  }
  const bool removed = RemoveFolderWithRetries(product, targets, report);
  // Only an empty vendor folder goes: other products' entries keep it.
  RemoveDirectoryW(vendor);
  return removed;
}

}  // namespace

bool DefaultRemovalTargets(const wchar_t* installFolder, RemovalTargets* targets) {
  if (!targets) return false;
  *targets = RemovalTargets();
  if (!installFolder || !*installFolder || !CopyPath(targets->installFolder, installFolder))
    return false;
  CopyPath(targets->registryKey, kUninstallKeyPath);
  targets->registryRoot = HKEY_LOCAL_MACHINE;
  wchar_t programs[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs)) ||
      !programs[0])
    return false;
  return CopyPath(targets->programsFolder, programs);
}

bool RemoveInstallation(const RemovalTargets& targets, RemovalReport* report) {
  RemovalReport local;
  RemovalReport* out = report ? report : &local;
  bool all = true;
  if (targets.installFolder[0] && !RemoveFolderWithRetries(targets.installFolder, targets, out))
    all = false;
  if (!RemoveRegistryEntry(targets, out)) all = false;
  if (!RemoveStartMenu(targets, out)) all = false;
  return all;
}
