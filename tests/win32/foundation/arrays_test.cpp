// Pointer arrays (growth, heap-or-pages buffers, removal), the owning array,
// and the locks.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "foundation/arrays.h"

namespace {

// Exposes the buffer and the mutex to the tests.
class InspectableArray : public CWPtArray {
public:
    void** Buffer() const { return m_elements; }
    HANDLE Mutex() const { return m_mutex.Get(); }
};

bool IsWholePageRegion(const void* p) {
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(p, &info, sizeof info)) return false;
    return info.State == MEM_COMMIT && info.Type == MEM_PRIVATE && info.AllocationBase == p;
}

bool IsFreeAddress(const void* p) {
    MEMORY_BASIC_INFORMATION info;
    return VirtualQuery(p, &info, sizeof info) && info.State == MEM_FREE;
}

TEST(PtArray, GrowsAtTheDocumentedAddsKeepingElementsInOrder) {
    CWPtArray array;
    EXPECT_EQ(array.GetCount(), 0);
    EXPECT_EQ(array.GetCapacity(), 5);
    std::vector<int> items(200);
    std::vector<int> capacityAfter(201);
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(array.Add(&items[i]), 1);
        capacityAfter[i + 1] = array.GetCapacity();
    }
    const struct {
        int add;
        int capacity;
    } expected[] = {{5, 5}, {6, 15}, {15, 15}, {16, 35}, {35, 35}, {36, 75}, {75, 75}, {76, 155}, {156, 315}};
    for (const auto& e : expected) EXPECT_EQ(capacityAfter[e.add], e.capacity) << "after add " << e.add;
    ASSERT_EQ(array.GetCount(), 200);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(array.GetAt(i), &items[i]) << i;
}

TEST(PtArray, BuffersAbove64SlotsAreWholePageRegionsReleasedWithTheArray) {
    void** pageBuffer = nullptr;
    {
        InspectableArray array;
        int item = 0;
        while (array.GetCapacity() < 35) array.Add(&item);
        EXPECT_FALSE(IsWholePageRegion(array.Buffer())) << "35 slots must come from the heap";
        while (array.GetCapacity() < 75) array.Add(&item);
        pageBuffer = array.Buffer();
        EXPECT_TRUE(IsWholePageRegion(pageBuffer));
        while (array.GetCapacity() < 155) array.Add(&item);
        EXPECT_TRUE(IsWholePageRegion(array.Buffer()));
        EXPECT_TRUE(IsFreeAddress(pageBuffer)) << "the 75-slot region was not released";
        pageBuffer = array.Buffer();
    }
    EXPECT_TRUE(IsFreeAddress(pageBuffer)) << "the array did not release its pages";
}

TEST(PtArray, IndexRulesAndRemoval) {
    CWPtArray array;
    int a = 1, b = 2, c = 3;
    array.Add(&a);
    array.Add(&b);
    array.Add(&c);
    EXPECT_EQ(array.GetAt(-1), nullptr);
    EXPECT_EQ(array.GetAt(3), nullptr);
    EXPECT_EQ(array.RemoveAt(3), 0);
    EXPECT_EQ(array.RemoveAt(-1), 0);
    EXPECT_EQ(array.GetCount(), 3);

    EXPECT_EQ(array.RemoveAt(0), 1);
    ASSERT_EQ(array.GetCount(), 2);
    EXPECT_EQ(array.GetAt(0), &b);
    EXPECT_EQ(array.GetAt(1), &c);
    EXPECT_EQ(array.RemoveAt(1), 1);
    ASSERT_EQ(array.GetCount(), 1);
    EXPECT_EQ(array.GetAt(0), &b);
    EXPECT_EQ(array.GetAt(1), nullptr);

    EXPECT_EQ(array.Add(nullptr), 1);
    EXPECT_EQ(array.GetCount(), 2);
    EXPECT_EQ(array.GetAt(1), nullptr);
}

// Element whose destruction is recorded, to check ownership.
struct Tracked {
    static std::vector<int>& Log() {
        static std::vector<int> log;
        return log;
    }
    explicit Tracked(int id, bool throws = false) : id(id), throws(throws) {}
    virtual ~Tracked() noexcept(false) {
        Log().push_back(id);
        if (throws) throw std::runtime_error("element failure");
    }
    int id;
    bool throws;
};

TEST(ObjArray, PtArrayLeavesObjectsAliveObjArrayDeletesEachOnceInOrder) {
    Tracked::Log().clear();
    Tracked kept(99);
    {
        CWPtArray borrowed;
        borrowed.Add(&kept);
    }
    EXPECT_TRUE(Tracked::Log().empty());

    {
        CWObjArray<Tracked> owned;
        for (int id = 1; id <= 80; ++id) {
            owned.Add(new Tracked(id));
            if (id == 40) owned.Add(nullptr);
        }
    }
    ASSERT_EQ(Tracked::Log().size(), 80u);
    for (int i = 0; i < 80; ++i) EXPECT_EQ(Tracked::Log()[i], i + 1);
}

TEST(ObjArray, RemoveAllGoesOnPastAFailingElementAndLeavesArrayUsable) {
    Tracked::Log().clear();
    CWObjArray<Tracked> owned;
    owned.Add(new Tracked(1));
    owned.Add(new Tracked(2, true));
    owned.Add(new Tracked(3));
    owned.RemoveAll();
    EXPECT_EQ(Tracked::Log(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(owned.GetCount(), 0);

    owned.Add(new Tracked(4));
    EXPECT_EQ(owned.GetAt(0)->id, 4);
}

struct MutexProbe {
    HANDLE mutex;
    DWORD waitResult;
};

DWORD WINAPI TryTakeAndRelease(void* parameter) {
    auto* probe = static_cast<MutexProbe*>(parameter);
    probe->waitResult = WaitForSingleObject(probe->mutex, 0);
    if (probe->waitResult == WAIT_OBJECT_0) ReleaseMutex(probe->mutex);
    return 0;
}

DWORD ProbeFromOtherThread(HANDLE mutex) {
    MutexProbe probe{mutex, WAIT_FAILED};
    HANDLE thread = CreateThread(nullptr, 0, TryTakeAndRelease, &probe, 0, nullptr);
    if (!thread) return WAIT_FAILED;
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    return probe.waitResult;
}

TEST(Locks, OneUnlockFreesTheMutexAfterTwoLocks) {
    InspectableArray array;
    EXPECT_EQ(array.Unlock(), 0) << "release without a hold";
    EXPECT_EQ(array.Lock(), 1);
    EXPECT_EQ(ProbeFromOtherThread(array.Mutex()), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(array.Lock(), 1);
    EXPECT_EQ(array.Unlock(), 1);
    EXPECT_EQ(ProbeFromOtherThread(array.Mutex()), DWORD(WAIT_OBJECT_0));
    EXPECT_EQ(array.Unlock(), 0);
}

// An element that checks, while it is deleted, that RemoveAll holds the mutex.
struct HeldCheck {
    static HANDLE mutex;
    static std::vector<DWORD>& Seen() {
        static std::vector<DWORD> seen;
        return seen;
    }
    virtual ~HeldCheck() { Seen().push_back(ProbeFromOtherThread(mutex)); }
};
HANDLE HeldCheck::mutex = nullptr;

class InspectableObjArray : public CWObjArray<HeldCheck> {
public:
    HANDLE Mutex() const { return m_mutex.Get(); }
};

TEST(Locks, RemoveAllHoldsTheMutexAcrossTheDeletion) {
    InspectableObjArray owned;
    HeldCheck::mutex = owned.Mutex();
    HeldCheck::Seen().clear();
    owned.Add(new HeldCheck);
    owned.Add(new HeldCheck);
    owned.RemoveAll();
    EXPECT_EQ(HeldCheck::Seen(), (std::vector<DWORD>{WAIT_TIMEOUT, WAIT_TIMEOUT}));
    EXPECT_EQ(ProbeFromOtherThread(owned.Mutex()), DWORD(WAIT_OBJECT_0));
}

}  // namespace
