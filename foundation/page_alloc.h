#pragma once
// Page allocator: committed, zero-filled read-write pages at an address the
// system chooses (VirtualAlloc on Windows, mmap elsewhere).
#include <cstddef>

void* PageAlloc(size_t bytes);              // null on failure or for 0 bytes
void PageFree(void* region, size_t bytes);  // releases a whole region; null is ignored
