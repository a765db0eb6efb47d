#include "wizard/dispatching_wait.h"
#include "framework/property_sheet.h"

namespace {

// Removes one waiting message outside [keptFirst, keptLast].
bool TakeMessage(MSG* msg, UINT keptFirst, UINT keptLast) {
    if (keptFirst > 0 && PeekMessageW(msg, nullptr, 0, keptFirst - 1, PM_REMOVE)) return true;
    return keptLast < 0xFFFFFFFFu && PeekMessageW(msg, nullptr, keptLast + 1, 0xFFFFFFFFu, PM_REMOVE);
}

}  // namespace

DWORD WaitDispatching(HANDLE object, DWORD ms, CPropertySheet* sheet, UINT keptFirst, UINT keptLast) {
    const DWORD start = GetTickCount();
    bool quit = false;
    int quitCode = 0;
    DWORD result = WAIT_TIMEOUT;
    for (;;) {
        DWORD left = INFINITE;
        if (ms != INFINITE) {
            const DWORD elapsed = GetTickCount() - start;
            left = elapsed >= ms ? 0 : ms - elapsed;
        }
        // Wakes for what arrived since the queue was last read, so the kept
        // messages left in it do not wake the wait again. After a WM_QUIT
        // only sent messages are answered: the quit is for the loop outside.
        const DWORD wait = MsgWaitForMultipleObjects(1, &object, FALSE, left, quit ? QS_SENDMESSAGE : QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1) {
            result = wait;
            break;
        }
        MSG msg;
        if (quit) {
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        while (TakeMessage(&msg, keptFirst, keptLast)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                break;
            }
            if (sheet && sheet->IsWindow()) {
                sheet->ProcessMessage(msg);
            } else {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    if (quit) PostQuitMessage(quitCode);
    return result;
}
