#include "wizard/latest_report.h"

bool CLPSLatestReport::Store(int percent, int stringId) {
    m_lock.Lock();
    m_percent = percent;
    m_stringId = stringId;
    m_waiting = true;
    ++m_stored;
    const bool tell = !m_told;
    m_told = true;
    m_lock.Unlock();
    return tell;
}

void CLPSLatestReport::PostFailed() {
    m_lock.Lock();
    m_told = false;
    m_lock.Unlock();
}

bool CLPSLatestReport::Take(int* percent, int* stringId) {
    m_lock.Lock();
    const bool had = m_waiting;
    if (had) {
        *percent = m_percent;
        *stringId = m_stringId;
    }
    m_waiting = false;
    m_told = false;
    m_lock.Unlock();
    return had;
}

void CLPSLatestReport::Clear() {
    m_lock.Lock();
    m_stored = 0;
    m_waiting = false;
    m_told = false;
    m_lock.Unlock();
}
