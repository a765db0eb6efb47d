// Starts the installed demo application and leaves it running.
#include "app/shortcuts.h"

#include "app/command_line.h"
#include "foundation/owned_handle.h"
#include "foundation/path_util.h"
#include "app/product_names.h"

BOOL LaunchDemo(CLPSSetupState* app) {
    if (!app) return FALSE;
    const wchar_t* binDir = app->m_paths.BinDir;
    // Quoted, so a folder with spaces cannot be split into another program's
    // name; CreateProcessW may write into the command line, so it gets a copy.
    wchar_t commandLine[kQuotedPathUnits];
    if (!QuoteJoinedPath(commandLine, kQuotedPathUnits, binDir, L"" KVN_NAME_DEMO_PROGRAM)) return FALSE;

    STARTUPINFOW startup;
    ZeroFill(&startup, static_cast<int>(sizeof(startup)));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    ZeroFill(&process, static_cast<int>(sizeof(process)));

    BOOL started =
        CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, binDir, &startup, &process);
    // The demo is not waited for: both handles are closed on return.
    CWHandle demoThread(process.hThread);
    CWHandle demoProcess(process.hProcess);
    return started;
}
