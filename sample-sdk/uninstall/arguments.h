#pragma once
// The uninstaller's command line:
//   KVNBarcodeUninstall.exe [/quiet]
//   KVNBarcodeUninstall.exe /relay <process handle> "<installation folder>" [/quiet]
// The second form is what the first starts from its copy in the temp folder.
#include <windows.h>

#include <cstddef>

struct UninstallArguments {
  bool quiet = false;
  bool relay = false;
  // Relay only: the inherited handle of the first process, as its number.
  unsigned long firstProcess = 0;
  // Relay only: the installation folder to remove.
  wchar_t installFolder[MAX_PATH] = {};
};

// Reads argv[1..argc-1]. Switches are matched without regard to case and may
// start with "/" or "-". False for an unknown or repeated switch, a /relay
// without both of its values, a handle that is not a decimal number from 1 to
// 0xFFFFFFFF, or a folder that is empty or does not fit.
bool ParseUninstallArguments(int argc, const wchar_t* const* argv, UninstallArguments* out);

// The relay's command line: "program" /relay <handle> "folder" [/quiet].
// False when a path is empty or holds a quote, the folder ends in "\" (which
// would escape the closing quote), or the result does not fit into size units.
bool BuildRelayCommandLine(const wchar_t* program, unsigned long firstProcess,
                           const wchar_t* installFolder, bool quiet, wchar_t* commandLine,
                           std::size_t size);
