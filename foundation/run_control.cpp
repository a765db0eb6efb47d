#include "foundation/run_control.h"

#include <climits>

CWRunControl::CWRunControl(const std::atomic<int>* keepGoing, std::atomic<int>* cleaningUp)
    : m_keepGoing(keepGoing), m_cleaningUp(cleaningUp), m_failures(0), m_journal(nullptr) {}

void CWRunControl::CountFailure() {
    if (m_failures < INT_MAX) ++m_failures;
}
