#include "foundation/stop_signal.h"

namespace {

thread_local CWStopSignal* t_signal = nullptr;

} // namespace

CWStopSignal::CWStopSignal(const std::atomic<int>* keepGoing, std::atomic<int>* cleaningUp)
    : m_previous(t_signal), m_keepGoing(keepGoing), m_cleaningUp(cleaningUp)
{
    t_signal = this;
}

CWStopSignal::~CWStopSignal()
{
    if (t_signal == this)
        t_signal = m_previous;
}

bool StopRequested()
{
    return t_signal && t_signal->Stopped();
}

void MarkRunCleaningUp()
{
    if (t_signal)
        t_signal->MarkCleaningUp();
}
