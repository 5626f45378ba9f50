// Counted memory: OrvMemoryAlloc and OrvMemoryFree.
//
// Every block the library hands out, and most blocks of the game program, go through these two
// functions so that debug mode can report the blocks that were never freed. The count lives in
// CoreRecord::alloc_count and moves only while the core is alive (orv_core().alive): blocks taken
// before OrvInit are not counted, and freeing such a block afterwards lowers the count without
// having raised it. The system init sets the count to 0 once the core exists.
//
// Exports (orv/exports.h, "memory and lists"):
//
//   void* OrvMemoryAlloc(uint32_t size, uint32_t flags)
//     size bytes from the run-time heap; flag bit 0 zeroes them. A size of 0 still gives a
//     valid block that OrvMemoryFree accepts. Counts one block while the core is alive. A size of
//     kOrvMemoryLargest or more is refused as out of memory. Out of memory: writes
//     "MemoryAllocFail...\n" to stderr and returns null. Any thread.
//
//   OrvBool OrvMemoryFree(void* block)
//     null: returns 0 and does nothing. Otherwise frees the block, lowers the count while the
//     core is alive, and returns 1. The block must come from OrvMemoryAlloc. Any thread.
//
//   int32_t OrvGetAllocCount(void)
//     the count of live counted blocks (may be negative, see above). Any thread.
#pragma once

#include <cstdint>

// Flag bit 0 of OrvMemoryAlloc.
constexpr uint32_t kOrvMemoryZero = 1;
// The first size OrvMemoryAlloc refuses: 2 GiB, which a 32-bit process could never take.
constexpr uint32_t kOrvMemoryLargest = 0x80000000u;
