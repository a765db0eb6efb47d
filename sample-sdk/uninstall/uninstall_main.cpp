// KVNBarcodeUninstall.exe: removes the Korvane Barcode Reader SDK that the
// setup installed. The first process checks where it runs and asks; its copy
// in the temp folder (see relay.h) does the removal.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "app/product_names.h"
#include "sample-sdk/uninstall/arguments.h"
#include "sample-sdk/uninstall/exit_codes.h"
#include "sample-sdk/uninstall/install_folder.h"
#include "sample-sdk/uninstall/relay.h"
#include "sample-sdk/uninstall/removal.h"

namespace {

constexpr const wchar_t* kTitle = L"Korvane\u00AE Barcode Reader SDK Uninstall";
// The first process ends right after starting the copy; a minute is ample.
constexpr DWORD kFirstProcessTimeout = 60000;

int Show(const wchar_t* text, UINT style) {
  return MessageBoxW(nullptr, text, kTitle, style | MB_SETFOREGROUND);
}

void ShowFormatted(UINT style, const wchar_t* format, const wchar_t* path) {
  wchar_t text[4 * MAX_PATH];
  std::swprintf(text, 4 * MAX_PATH, format, path);
  Show(text, style);
}

bool MentionsQuiet(int argc, const wchar_t* const* argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] && (argv[i][0] == L'/' || argv[i][0] == L'-') && _wcsicmp(argv[i] + 1, L"quiet") == 0)
      return true;
  }
  return false;
}

int RunFirst(const UninstallArguments& arguments) {
  wchar_t program[MAX_PATH];
  wchar_t folder[MAX_PATH];
  if (!OwnProgramPath(program, MAX_PATH) || !ParentFolder(program, folder, MAX_PATH) ||
      !IsSdkInstallFolder(folder)) {
    if (!arguments.quiet)
      ShowFormatted(MB_OK | MB_ICONSTOP,
                    L"This program removes the Korvane\u00AE Barcode Reader SDK only from its "
                    L"own installation folder (...\\" KVN_NAME_INSTALL_SUBFOLDER ").\n\n"
                    L"It was started from:\n%ls\n\nNothing was removed.",
                    program);
    return kExitRefused;
  }
  if (!arguments.quiet) {
    wchar_t question[4 * MAX_PATH];
    std::swprintf(question, 4 * MAX_PATH,
                  L"Do you want to remove Korvane\u00AE Barcode Reader SDK from your computer?"
                  L"\n\nThis removes the folder\n%ls\nwith everything in it, the SDK's "
                  L"Start-menu entries and its uninstall entry.",
                  folder);
    if (Show(question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
      return kExitCancelled;
  }
  if (!StartRelay(folder, arguments.quiet)) {
    if (!arguments.quiet)
      Show(L"The uninstaller could not prepare the removal (its copy in the temp folder "
           L"could not be started).\n\nNothing was removed.",
           MB_OK | MB_ICONSTOP);
    return kExitFailed;
  }
  return kExitRemoved;
}

int RunRelay(const UninstallArguments& arguments) {
  if (!IsSdkInstallFolder(arguments.installFolder) ||
      !WaitForFirstProcess(arguments.firstProcess, kFirstProcessTimeout)) {
    if (!arguments.quiet)
      ShowFormatted(MB_OK | MB_ICONSTOP,
                    L"The removal was not started by the uninstaller of the folder\n%ls\n\n"
                    L"Nothing was removed.",
                    arguments.installFolder);
    return kExitRefused;
  }
  RemovalTargets targets;
  // Without a Programs folder the rest is still removed; the run is incomplete.
  const bool startMenuKnown = DefaultRemovalTargets(arguments.installFolder, &targets);
  RemovalReport report;
  bool complete = RemoveInstallation(targets, &report) && startMenuKnown;
  if (!startMenuKnown && report.failures == 0) NoteFailure(&report, L"Start menu");
  if (!arguments.quiet) {
    if (complete) {
      Show(L"Korvane\u00AE Barcode Reader SDK was removed from your computer.",
           MB_OK | MB_ICONINFORMATION);
    } else {
      wchar_t text[4 * MAX_PATH];
      std::swprintf(text, 4 * MAX_PATH,
                    L"Some items could not be removed (%d), for example:\n%ls\n\nClose the "
                    L"programs that use them and remove them by hand.",
                    report.failures, report.firstFailure);
      Show(text, MB_OK | MB_ICONWARNING);
    }
  }
  return complete ? kExitRemoved : kExitIncomplete;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return kExitRefused;
  UninstallArguments arguments;
  const bool parsed = ParseUninstallArguments(argc, argv, &arguments);
  const bool quiet = MentionsQuiet(argc, argv);
  LocalFree(argv);
  if (!parsed) {
    if (!quiet)
      Show(L"Usage: " KVN_NAME_UNINSTALL_PROGRAM " [/quiet]\n\n"
           L"/quiet removes the SDK without asking and without messages.",
           MB_OK | MB_ICONINFORMATION);
    return kExitRefused;
  }
  return arguments.relay ? RunRelay(arguments) : RunFirst(arguments);
}
