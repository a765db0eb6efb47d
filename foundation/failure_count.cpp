#include "foundation/failure_count.h"

#include <climits>

namespace {

// The counter of this thread's run; counters nest like the scopes that own them.
thread_local CWFailureCount* t_counter = nullptr;

} // namespace

CWFailureCount::CWFailureCount() : m_previous(t_counter), m_count(0)
{
    t_counter = this;
}

CWFailureCount::~CWFailureCount()
{
    if (t_counter == this)
        t_counter = m_previous;
}

void CWFailureCount::Add()
{
    if (m_count < INT_MAX)
        ++m_count;
}

void CountFailure()
{
    if (t_counter)
        t_counter->Add();
}

int CurrentFailureCount()
{
    return t_counter ? t_counter->Count() : 0;
}
