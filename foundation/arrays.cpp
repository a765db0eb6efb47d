#include "foundation/arrays.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "foundation/page_alloc.h"

namespace {

// Buffers of more than this many slots come from the page allocator, smaller
// ones from the heap; the capacity alone tells which release applies.
constexpr int kHeapSlotLimit = 64;

void** AllocateSlots(int capacity) {
    const size_t bytes = size_t(capacity) * sizeof(void*);
    if (capacity > kHeapSlotLimit) return static_cast<void**>(PageAlloc(bytes));
    return static_cast<void**>(std::malloc(bytes));
}

void FreeSlots(void** slots, int capacity) {
    if (!slots) return;
    if (capacity > kHeapSlotLimit)
        PageFree(slots, size_t(capacity) * sizeof(void*));
    else
        std::free(slots);
}

}  // namespace

CWThreaded::CWThreaded() : m_mutex(CreateMutexW(nullptr, FALSE, nullptr)) {}

int CWThreaded::Lock() {
    // Giving up a hold first keeps one thread's hold single, so one Unlock
    // always frees the mutex; without a hold the release fails harmlessly.
    ReleaseMutex(m_mutex.Get());
    return WaitForSingleObject(m_mutex.Get(), INFINITE) == WAIT_OBJECT_0 ? 1 : 0;
}

int CWThreaded::Unlock() {
    return ReleaseMutex(m_mutex.Get()) ? 1 : 0;
}

CWThreaded::~CWThreaded() = default;  // m_mutex closes the mutex

CWCriticalSection::CWCriticalSection() {
    InitializeCriticalSection(&m_section);
}

void CWCriticalSection::Unlock() {
    LeaveCriticalSection(&m_section);
}

void CWCriticalSection::Lock() {
    EnterCriticalSection(&m_section);
}

CWCriticalSection::~CWCriticalSection() {
    DeleteCriticalSection(&m_section);
}

CWPtArray::CWPtArray() : m_count(0), m_elements(nullptr), m_capacity(5) {
    m_elements = static_cast<void**>(std::calloc(5, sizeof(void*)));
    if (!m_elements) m_capacity = 0;
}

CWPtArray::~CWPtArray() {
    FreeSlots(m_elements, m_capacity);
}

void* CWPtArray::GetAt(int index) const {
    if (index < 0 || index >= m_count) return nullptr;
    return m_elements[index];
}

int CWPtArray::Add(void* pointer) {
    if (m_count >= m_capacity) {
        if (m_capacity > INT_MAX / 2 || !Grow(m_capacity * 2)) return 0;
    }
    m_elements[m_count++] = pointer;
    return 1;
}

int CWPtArray::RemoveAt(int index) {
    if (index < 0 || index >= m_count) return 0;
    const int after = m_count - index - 1;
    if (after > 0) std::memmove(m_elements + index, m_elements + index + 1, size_t(after) * sizeof(void*));
    --m_count;
    return 1;
}

int CWPtArray::Grow(int slots) {
    if (slots <= 0 || slots > INT_MAX - 5) return 0;
    const int capacity = slots + 5;
    if (size_t(capacity) > SIZE_MAX / sizeof(void*)) return 0;
    void** elements = AllocateSlots(capacity);
    if (!elements) return 0;
    if (m_elements) {
        const int kept = m_capacity < capacity ? m_capacity : capacity;
        std::memcpy(elements, m_elements, size_t(kept) * sizeof(void*));
    }
    FreeSlots(m_elements, m_capacity);
    m_elements = elements;
    m_capacity = capacity;
    return 1;
}
