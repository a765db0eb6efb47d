#pragma once
// Exit codes of KVNBarcodeUninstall.exe (also documented in its readme).

enum UninstallExitCode {
  kExitRemoved = 0,     // everything was removed (or the helper copy was started)
  kExitCancelled = 1,   // the user answered No
  kExitRefused = 2,     // wrong folder or wrong command line: nothing touched
  kExitFailed = 3,      // the helper copy could not be started: nothing touched
  kExitIncomplete = 4,  // some items could not be removed
};
