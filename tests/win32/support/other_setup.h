#pragma once
// Another setup of the product that runs: a thread of this process takes the
// setup lock (app/setup_lock.h) the way a second process would, holds it
// until End (or destruction) and ends holding it, as a killed setup leaves
// it (abandoned). Header only: the programs that use it link the app layer.
#include <windows.h>

#include "app/setup_lock.h"
#include "foundation/owned_handle.h"

class OtherSetup {
public:
    OtherSetup()
        : m_holding(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        if (!m_holding || !m_release) return;
        m_thread.Reset(CreateThread(nullptr, 0, &OtherSetup::Run, this, 0, nullptr));
        if (m_thread) m_running = WaitForSingleObject(m_holding.Get(), 10000) == WAIT_OBJECT_0;
    }
    ~OtherSetup() { End(); }
    OtherSetup(const OtherSetup&) = delete;
    OtherSetup& operator=(const OtherSetup&) = delete;

    bool Running() const { return m_running; }
    void End() {
        if (!m_thread) return;
        SetEvent(m_release.Get());
        WaitForSingleObject(m_thread.Get(), 10000);
        m_thread.Reset();
        m_running = false;
    }

private:
    static DWORD WINAPI Run(LPVOID parameter) {
        auto* self = static_cast<OtherSetup*>(parameter);
        CLPSSetupLock lock;
        if (!lock.TryAcquire()) return 1;
        SetEvent(self->m_holding.Get());
        WaitForSingleObject(self->m_release.Get(), INFINITE);
        return 0;
    }

    CWHandle m_holding, m_release, m_thread;
    bool m_running = false;
};
