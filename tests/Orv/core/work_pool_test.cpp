#include "Orv/core/work_pool.h"

#include <gtest/gtest.h>

#include <thread>

#include "orv/orv.h"

namespace {

// Each thread loads through a pool of its own; a pool is given back when its thread exits or
// when every pool is released at the end.
TEST(WorkPool, EachThreadHasItsOwnPool) {
  work_pools_release_all();
  uint32_t size = 0;
  auto* mine = static_cast<unsigned char*>(GetMemoryPool(&size));
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(size, kWorkPoolSize);
  EXPECT_EQ(OrvGetlpPool(), mine);
  EXPECT_EQ(GetMemoryPool(nullptr), mine);
  mine[0] = 1;
  mine[kWorkPoolSize - 1] = 2;  // the whole size is usable
  EXPECT_EQ(work_pools_live_count(), 1u);

  void* theirs = nullptr;
  std::thread worker([&] {
    theirs = OrvGetlpPool();
    static_cast<unsigned char*>(theirs)[kWorkPoolSize - 1] = 3;
    EXPECT_EQ(work_pools_live_count(), 2u);
  });
  worker.join();
  EXPECT_NE(theirs, nullptr);
  EXPECT_NE(theirs, mine);
  EXPECT_EQ(mine[kWorkPoolSize - 1], 2);
  EXPECT_EQ(work_pools_live_count(), 1u);  // the worker's went with it

  work_pools_release_all();
  EXPECT_EQ(work_pools_live_count(), 0u);
  auto* again = static_cast<unsigned char*>(OrvGetlpPool());  // a fresh one after release
  ASSERT_NE(again, nullptr);
  again[kWorkPoolSize - 1] = 4;
  EXPECT_EQ(work_pools_live_count(), 1u);
  work_pools_release_all();
}

}  // namespace
