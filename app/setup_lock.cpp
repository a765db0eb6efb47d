#include "app/setup_lock.h"

#include "app/product_names.h"

namespace {

// Global: setups of every session share Program Files and the system folder.
const wchar_t kSetupLockName[] = L"Global\\KVNBarcodeSetup-" KVN_NAME_PRODUCT_CODE;

}  // namespace

CLPSSetupLock::CLPSSetupLock() : m_held(false) {}

CLPSSetupLock::~CLPSSetupLock() {
    if (m_held) ReleaseMutex(m_mutex.Get());
}

bool CLPSSetupLock::TryAcquire() {
    if (m_held) return true;
    if (!m_mutex) m_mutex.Reset(CreateMutexW(nullptr, FALSE, kSetupLockName));
    // Without a lock object the setup goes on rather than wait forever.
    if (!m_mutex) return true;
    const DWORD wait = WaitForSingleObject(m_mutex.Get(), 0);
    m_held = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    return m_held;
}
