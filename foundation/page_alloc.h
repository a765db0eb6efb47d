#pragma once
// Page allocator: committed, zero-filled read-write pages at an address the
// system chooses (VirtualAlloc on Windows, mmap elsewhere). Both systems
// hand out new pages zeroed, so the block relies on that and writes no zeros
// of its own into a region it takes fresh.
#include <cstddef>

void* PageAlloc(size_t bytes);              // null on failure or for 0 bytes
void PageFree(void* region, size_t bytes);  // releases a whole region; null is ignored
