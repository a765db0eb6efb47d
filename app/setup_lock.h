#pragma once
// One setup of the product at a time on the machine. Two setups at once
// (a double click that started it twice) would unpack into the same working
// folder and replace the same files, and the cleanup of one would delete
// what the other copies. The first setup to take the lock keeps it until it
// ends, its rollback included; a second one waits on its welcome page, as
// it waits for the demo, and says so in its list. A setup that crashed or
// was killed leaves the lock abandoned, which the next one takes.
#include <windows.h>

#include "foundation/owned_handle.h"

class CLPSSetupLock {
public:
    CLPSSetupLock();
    virtual ~CLPSSetupLock();  // given back by the thread that took it
    CLPSSetupLock(const CLPSSetupLock&) = delete;
    CLPSSetupLock& operator=(const CLPSSetupLock&) = delete;

    // True when this process holds the lock, taken now or earlier; false
    // while another setup holds it. Never waits.
    virtual bool TryAcquire();
    bool Held() const { return m_held; }

private:
    CWHandle m_mutex;
    bool m_held;
};
