#pragma once
// Waiting on the GUI thread for a thread or another kernel object without
// making the window stop answering: every message that arrives meanwhile is
// handled through the sheet's loop (painting, sent messages, input), except
// the posted messages in [keptFirst, keptLast], which stay in the queue in
// their order for the loop to handle after the wait.
#include <windows.h>

class CPropertySheet;

// Waits at most ms milliseconds (INFINITE for no bound); WAIT_OBJECT_0 when
// the object was signalled, WAIT_TIMEOUT, or WAIT_FAILED.
DWORD WaitDispatching(HANDLE object, DWORD ms, CPropertySheet* sheet, UINT keptFirst, UINT keptLast);
