#include <gtest/gtest.h>

#include <cstring>

#include "Orv/core_record.h"
#include "orv/orv.h"

namespace {

TEST(CountedMemory, CountsOnlyWhileTheCoreIsAlive) {
  CoreRecord& core = orv_core();
  core.alive = false;
  core.alloc_count = 0;

  void* before_init = OrvMemoryAlloc(16, 0);
  ASSERT_NE(before_init, nullptr);
  EXPECT_EQ(OrvGetAllocCount(), 0);  // not counted before the core exists

  core.alive = true;
  core.alloc_count = 0;                 // what the system init does
  void* zeroed = OrvMemoryAlloc(0, 1);  // a valid, freeable block even for size 0
  ASSERT_NE(zeroed, nullptr);
  auto* bytes = static_cast<unsigned char*>(OrvMemoryAlloc(64, 1));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(bytes[0] | bytes[31] | bytes[63], 0);
  EXPECT_EQ(OrvGetAllocCount(), 2);

  EXPECT_EQ(OrvMemoryFree(nullptr), 0);
  EXPECT_EQ(OrvGetAllocCount(), 2);
  EXPECT_EQ(OrvMemoryFree(zeroed), 1);
  EXPECT_EQ(OrvMemoryFree(bytes), 1);
  EXPECT_EQ(OrvGetAllocCount(), 0);
  // A block from before the core lowers the count without having raised it.
  EXPECT_EQ(OrvMemoryFree(before_init), 1);
  EXPECT_EQ(OrvGetAllocCount(), -1);

  core.alive = false;
  void* after = OrvMemoryAlloc(8, 0);
  OrvMemoryFree(after);
  EXPECT_EQ(OrvGetAllocCount(), -1);  // not counted after the core is gone
  core.alloc_count = 0;
}

TEST(CountedMemory, SizesOfTwoGigabytesOrMoreAreRefused) {
  CoreRecord& core = orv_core();
  core.alive = true;
  core.alloc_count = 0;
  for (uint32_t size : {0x80000000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(OrvMemoryAlloc(size, 1), nullptr) << size;
    EXPECT_EQ(OrvMemoryAlloc(size, 0), nullptr) << size;
  }
  EXPECT_EQ(OrvGetAllocCount(), 0);
  core.alive = false;
  core.alloc_count = 0;
}

}  // namespace
