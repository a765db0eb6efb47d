#include "foundation/page_alloc.h"

#ifdef _WIN32
#include <windows.h>

void* PageAlloc(size_t bytes) {
    if (bytes == 0) return nullptr;
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void PageFree(void* region, size_t /*bytes*/) {
    if (region) VirtualFree(region, 0, MEM_RELEASE);
}

#else
#include <sys/mman.h>

void* PageAlloc(size_t bytes) {
    if (bytes == 0) return nullptr;
    void* region = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return region == MAP_FAILED ? nullptr : region;
}

void PageFree(void* region, size_t bytes) {
    if (region && bytes) munmap(region, bytes);
}
#endif
