#include "foundation/stop_signal.h"

namespace {

thread_local CWStopSignal* t_signal = nullptr;

} // namespace

CWStopSignal::CWStopSignal(const std::atomic<int>* keepGoing) : m_previous(t_signal), m_keepGoing(keepGoing)
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
