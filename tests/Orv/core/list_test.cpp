#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Orv/core/handle_table.h"
#include "Orv/core_record.h"
#include "orv/orv.h"

namespace {

// A list built from (data, key) pairs pushed last, with a leak check when the test ends.
class OrvListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv_core().alive = true;
    allocs_ = OrvGetAllocCount();
    handles_ = orv_handles().live_count();
    list_ = OrvListCreate();
    ASSERT_NE(list_, 0u);
  }
  void TearDown() override {
    OrvListRelease(list_);
    EXPECT_EQ(OrvGetAllocCount(), allocs_) << "nodes leaked";
    EXPECT_EQ(orv_handles().live_count(), handles_) << "list or cursor ids leaked";
    orv_core().alive = false;
  }
  void fill(std::vector<std::pair<uintptr_t, uint32_t>> nodes) {
    for (auto [data, key] : nodes) ASSERT_EQ(OrvListPushLast(list_, data, key), 1);
  }
  // Pops every node; the tests' data are never 0.
  std::vector<uintptr_t> drain() {
    std::vector<uintptr_t> out;
    while (uintptr_t data = OrvListPopFirst(list_)) out.push_back(data);
    return out;
  }

  OrvHandle list_ = 0;
  int32_t allocs_ = 0;
  uint32_t handles_ = 0;
};

TEST_F(OrvListTest, PushesKeepOrderAndPopsRemoveTheFirstMatch) {
  fill({{20, 7}, {30, 5}});
  ASSERT_EQ(OrvListPush(list_, 10, 5), 1);
  ASSERT_EQ(OrvListPushLast(list_, 40, 7), 1);
  int32_t count = OrvGetAllocCount();
  EXPECT_EQ(OrvListPop(list_, 9), 0u);  // no such key: nothing changes
  EXPECT_EQ(OrvGetAllocCount(), count);
  EXPECT_EQ(OrvListPop(list_, 7), 20u);
  EXPECT_EQ(OrvListDelete(list_, 10), 1);
  EXPECT_EQ(OrvListDelete(list_, 10), 0);
  EXPECT_EQ(OrvGetAllocCount(), count - 2);
  EXPECT_EQ(drain(), (std::vector<uintptr_t>{30, 40}));
  EXPECT_EQ(OrvListPopFirst(list_), 0u);

  // Data is pointer-sized.
  uintptr_t wide = static_cast<uintptr_t>(0x123456789ABCDEF0ull);
  ASSERT_EQ(OrvListPush(list_, wide, 9), 1);
  EXPECT_EQ(OrvListPop(list_, 9), wide);
}

TEST_F(OrvListTest, FindGivesTheNodeBeforeTheMatchAndReadsOnFromThere) {
  fill({{100, 5}, {200, 7}, {300, 5}, {400, 5}});
  // The first node's cursor is the list itself.
  EXPECT_EQ(OrvListFind(list_, 5), list_);
  EXPECT_EQ(OrvListGetData(list_, 5, 1), 300u);  // keys 5, 7, 5: the third node
  EXPECT_EQ(OrvListGetData(list_, 5, 3), 0u);
  EXPECT_EQ(OrvListGetData(list_, 5, -1), 0u);
  EXPECT_EQ(OrvListGetDataCount(list_, 5), 3);

  OrvHandle second = OrvListFindNext(list_);
  ASSERT_NE(second, 0u);
  EXPECT_EQ(OrvListGetData(second, 5, 0), 300u);
  EXPECT_EQ(OrvListGetData(second, 5, 1), 400u);
  OrvHandle third = OrvListFindNext(second);
  ASSERT_NE(third, 0u);
  EXPECT_EQ(OrvListFindNext(third), 0u);
  EXPECT_EQ(OrvListFind(list_, 8), 0u);

  // A cursor whose node was freed finds nothing; a cursor is not a list to change.
  EXPECT_EQ(OrvListPush(second, 1, 1), 0);
  EXPECT_EQ(OrvListDelete(list_, 200), 1);  // second's node
  EXPECT_EQ(OrvListGetData(second, 5, 0), 0u);
  EXPECT_EQ(OrvListFindNext(second), 0u);
}

TEST(OrvList, NullStaleAndForeignIdsDoNothing) {
  OrvHandle list = OrvListCreate();
  OrvListRelease(list);
  for (OrvHandle bad : {OrvHandle{0}, list, OrvHandle{0xFFFFFFFF}}) {
    EXPECT_EQ(OrvListPush(bad, 1, 1), 0);
    EXPECT_EQ(OrvListPushLast(bad, 1, 1), 0);
    EXPECT_EQ(OrvListPopFirst(bad), 0u);
    EXPECT_EQ(OrvListPop(bad, 1), 0u);
    EXPECT_EQ(OrvListDelete(bad, 1), 0);
    EXPECT_EQ(OrvListFind(bad, 1), 0u);
    EXPECT_EQ(OrvListFindNext(bad), 0u);
    EXPECT_EQ(OrvListGetData(bad, 1, 0), 0u);
    EXPECT_EQ(OrvListGetDataCount(bad, 1), 0);
    OrvListPrint(bad, 0);
    OrvListRelease(bad);
  }
}

TEST_F(OrvListTest, PrintReadsPointerDataAndSkipsNull) {
  uint32_t entry[2] = {0x00401000, 3};
  fill({{reinterpret_cast<uintptr_t>(entry), 5}, {0, 7}});
  testing::internal::CaptureStderr();
  OrvListPrint(list_, 2);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "OrvList ---- search id : 2\n"
            "ID=5 / Data=3 / RetPtr=00401000\n"
            "ID=7 / Data=0 / RetPtr=00000000\n");
}

}  // namespace
