#include "Orv/core/random_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "Orv/core_record.h"
#include "orv/orv.h"

namespace {

class RandomTableTest : public ::testing::Test {
 protected:
  void SetUp() override { orv_core().alive = true; }
  void TearDown() override {
    random_table_destroy();
    orv_core().alive = false;
  }
  std::vector<int32_t> deal(int n) {
    std::vector<int32_t> out;
    for (int i = 0; i < n; ++i) out.push_back(OrvRandomEx());
    return out;
  }
};

TEST(RandomGenerator, GivesTheSameSequenceForTheSameSeedOnEveryPlatform) {
  // x := x * 214013 + 2531011, value (x >> 16) & 0x7FFF.
  random_seed(1);
  EXPECT_EQ(random_next(), 41);
  EXPECT_EQ(random_next(), 18467);
  EXPECT_EQ(random_next(), 6334);
  random_seed(0xFFFFFFFF);  // wraps in 32 bits
  uint32_t x = 0xFFFFFFFFu * 214013u + 2531011u;
  EXPECT_EQ(random_next(), static_cast<int32_t>((x >> 16) & 0x7FFF));
}

TEST_F(RandomTableTest, DealsInACycleAndReplaysWhatWasSavedAndPutBack) {
  ASSERT_TRUE(random_table_create(4, false));
  const int32_t values[] = {10, 20, 30, 40};
  OrvRandomSetSeed(values, 4);
  EXPECT_EQ(deal(5), (std::vector<int32_t>{10, 20, 30, 40, 10}));

  // Outside debug mode OrvRandom leaves the table's index alone.
  OrvRandom();
  EXPECT_EQ(OrvRandomEx(), 20);

  // A shorter seed replaces the start only and restarts the cycle.
  const int32_t two[] = {1, 2};
  OrvRandomSetSeed(two, 2);
  EXPECT_EQ(deal(4), (std::vector<int32_t>{1, 2, 30, 40}));

  int32_t saved[8] = {};
  EXPECT_EQ(OrvRandomGetSeed(saved, 8), 4);   // no more than the size
  EXPECT_EQ(OrvRandomGetSeed(saved, -1), 4);  // negative counts compare as unsigned
  EXPECT_EQ(OrvRandomGetSeed(nullptr, 4), 0);

  OrvRandomReset();
  std::vector<int32_t> fresh = deal(4);
  for (int32_t v : fresh) EXPECT_TRUE(v >= 0 && v <= 32767);
  OrvRandomSetSeed(saved, -1);
  EXPECT_EQ(deal(4), (std::vector<int32_t>{1, 2, 30, 40}));
}

TEST_F(RandomTableTest, DebugModeDealsOrvRandomFromTheTable) {
  ASSERT_TRUE(random_table_create(2, true));
  const int32_t values[] = {7, 8};
  OrvRandomSetSeed(values, 2);
  EXPECT_EQ(OrvRandom(), 7);
  EXPECT_EQ(OrvRandomEx(), 8);
}

// An empty table deals from the generator; a count whose byte size would not fit is refused
// instead of giving a table shorter than its count.
TEST_F(RandomTableTest, SizesThatCannotIndexATableAreHandled) {
  ASSERT_TRUE(random_table_create(0, false));
  random_seed(1);
  EXPECT_EQ(OrvRandomEx(), 41);
  int32_t out[2] = {-1, -1};
  EXPECT_EQ(OrvRandomGetSeed(out, 2), 0);
  OrvRandomSetSeed(out, 2);  // nothing to copy into
  OrvRandomReset();

  int32_t before = OrvGetAllocCount();
  EXPECT_FALSE(random_table_create(0x40000001u, false));  // 4 x count overflows 32 bits
  EXPECT_FALSE(random_table_create(0xFFFFFFFFu, false));
  EXPECT_EQ(OrvGetAllocCount(), before);
}

}  // namespace
