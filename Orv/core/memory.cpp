// Counted memory: every block the library hands out goes through here so that debug mode can
// report the blocks that were never freed.
#include "Orv/core/memory.h"

#include <cstdio>
#include <cstdlib>

#include "Orv/core/error_report.h"
#include "Orv/core_record.h"
#include "orv/orv.h"

extern "C" {

void* OrvMemoryAlloc(uint32_t size, uint32_t flags) {
  // malloc(0) may return null; a zero-sized request still gets a valid, freeable block. A
  // zeroed block comes from calloc, which takes large blocks as fresh pages the system has
  // already cleared instead of writing zeros over every page up front.
  // A request of 2 GiB or more is a damaged size (a script's or a file's): a 32-bit process
  // never gets one, and asking the heap for it here would commit gigabytes for a game that
  // cannot mean them. It fails as out of memory does.
  const size_t bytes = size ? size : 1;
  void* block = size >= kOrvMemoryLargest  ? nullptr
                : (flags & kOrvMemoryZero) ? std::calloc(bytes, 1)
                                           : std::malloc(bytes);
  if (!block) {
    error_report("MemoryAllocFail...");
    return nullptr;
  }
  CoreRecord& core = orv_core();
  if (core.alive.load(std::memory_order_acquire)) {
    core.alloc_count.fetch_add(1, std::memory_order_relaxed);
  }
  return block;
}

OrvBool OrvMemoryFree(void* block) {
  if (!block) return 0;
  CoreRecord& core = orv_core();
  if (core.alive.load(std::memory_order_acquire)) {
    core.alloc_count.fetch_sub(1, std::memory_order_relaxed);
  }
  std::free(block);
  return 1;
}

int32_t OrvGetAllocCount(void) {
  return orv_core().alloc_count.load(std::memory_order_relaxed);
}

}  // extern "C"
