#include "sample-sdk/uninstall/arguments.h"

#include <cwchar>

namespace {

bool IsSwitch(const wchar_t* argument, const wchar_t* name) {
  return (argument[0] == L'/' || argument[0] == L'-') && _wcsicmp(argument + 1, name) == 0;
}

bool ParseHandle(const wchar_t* text, unsigned long* value) {
  if (!*text) return false;
  unsigned long long number = 0;
  for (const wchar_t* p = text; *p; ++p) {
    if (*p < L'0' || *p > L'9') return false;
    number = number * 10 + static_cast<unsigned>(*p - L'0');
    if (number > 0xFFFFFFFFull) return false;
  }
  if (number == 0) return false;
  *value = static_cast<unsigned long>(number);
  return true;
}

bool Append(wchar_t* out, std::size_t size, std::size_t* used, const wchar_t* text) {
  const std::size_t n = std::wcslen(text);
  if (*used + n + 1 > size) return false;
  std::wmemcpy(out + *used, text, n + 1);
  *used += n;
  return true;
}

bool QuotablePath(const wchar_t* path) {
  if (!path || !*path || std::wcschr(path, L'"')) return false;
  return path[std::wcslen(path) - 1] != L'\\';
}

}  // namespace

bool ParseUninstallArguments(int argc, const wchar_t* const* argv, UninstallArguments* out) {
  if (!out || argc < 0 || (argc > 0 && !argv)) return false;
  *out = UninstallArguments();
  for (int i = 1; i < argc; ++i) {
    const wchar_t* argument = argv[i];
    if (!argument) return false;
    if (IsSwitch(argument, L"quiet")) {
      if (out->quiet) return false;
      out->quiet = true;
    } else if (IsSwitch(argument, L"relay")) {
      if (out->relay || i + 2 >= argc) return false;
      if (!ParseHandle(argv[i + 1], &out->firstProcess)) return false;
      const wchar_t* folder = argv[i + 2];
      const std::size_t n = folder ? std::wcslen(folder) : 0;
      if (n == 0 || n >= MAX_PATH) return false;
      std::wmemcpy(out->installFolder, folder, n + 1);
      out->relay = true;
      i += 2;
    } else {
      return false;
    }
  }
  return true;
}

bool BuildRelayCommandLine(const wchar_t* program, unsigned long firstProcess,
                           const wchar_t* installFolder, bool quiet, wchar_t* commandLine,
                           std::size_t size) {
  if (!commandLine || size == 0) return false;
  commandLine[0] = L'\0';
  if (!QuotablePath(program) || !QuotablePath(installFolder) || firstProcess == 0) return false;
  wchar_t handle[16];
  std::swprintf(handle, 16, L"%lu", firstProcess);
  std::size_t used = 0;
  const bool ok = Append(commandLine, size, &used, L"\"") &&
                  Append(commandLine, size, &used, program) &&
                  Append(commandLine, size, &used, L"\" /relay ") &&
                  Append(commandLine, size, &used, handle) &&
                  Append(commandLine, size, &used, L" \"") &&
                  Append(commandLine, size, &used, installFolder) &&
                  Append(commandLine, size, &used, L"\"") &&
                  (!quiet || Append(commandLine, size, &used, L" /quiet"));
  if (!ok) commandLine[0] = L'\0';
  return ok;
}
