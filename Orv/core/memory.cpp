// Counted memory: every block the library hands out goes through here so that debug mode can
// report the blocks that were never freed.
#include "Orv/core/memory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Orv/core/error_report.h"
#include "Orv/core_record.h"
#include "orv/orv.h"

extern "C" {

void* OrvMemoryAlloc(uint32_t size, uint32_t flags) {
  // malloc(0) may return null; a zero-sized request still gets a valid, freeable block.
  void* block = std::malloc(size ? size : 1);
  if (!block) {
    error_report("MemoryAllocFail...");
    return nullptr;
  }
  if (flags & kOrvMemoryZero) std::memset(block, 0, size);
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
