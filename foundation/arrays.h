#pragma once
// Pointer arrays, the owning object array, the mutex base and the
// critical-section wrapper. Windows only.
#include <windows.h>

#include "foundation/owned_handle.h"

class CWThreaded {
public:
    CWThreaded();
    virtual int Lock();    // releases, then waits: 1 when acquired
    virtual int Unlock();  // outcome of ReleaseMutex
    virtual ~CWThreaded();
    CWThreaded(const CWThreaded&) = delete;
    CWThreaded& operator=(const CWThreaded&) = delete;

protected:
    CWHandle m_mutex;
};

class CWCriticalSection {
public:
    CWCriticalSection();
    virtual void Unlock();
    virtual void Lock();
    virtual ~CWCriticalSection();
    CWCriticalSection(const CWCriticalSection&) = delete;
    CWCriticalSection& operator=(const CWCriticalSection&) = delete;

private:
    CRITICAL_SECTION m_section;
};

class CWPtArray : public CWThreaded {
public:
    CWPtArray();
    ~CWPtArray() override;
    int GetCount() const { return m_count; }
    int GetCapacity() const { return m_capacity; }
    void* GetAt(int index) const;
    int Add(void* pointer);
    int RemoveAt(int index);

protected:
    int Grow(int slots);
    int m_count;
    void** m_elements;
    int m_capacity;
    CWCriticalSection m_lock;  // initialised with the array, never entered
};

template <class T>
class CWObjArray : public CWPtArray {
public:
    ~CWObjArray() override { RemoveAll(); }
    T* GetAt(int index) const { return static_cast<T*>(CWPtArray::GetAt(index)); }
    int Add(T* element) { return CWPtArray::Add(element); }
    // Deletes every element, first to last, under the array's Lock.
    void RemoveAll() {
        Lock();
        while (GetCount() > 0) {
            T* p = GetAt(0);
            RemoveAt(0);
            if (p) {
                try {
                    delete p;
                } catch (...) {
                }
            }
        }
        Unlock();
    }
};
