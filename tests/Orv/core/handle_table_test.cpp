#include "Orv/core/handle_table.h"

#include <gtest/gtest.h>

namespace {

TEST(HandleTable, IdsFindTheirObjectOnlyWhileLiveAndOfTheirKind) {
  HandleTable table;
  int a = 0, b = 0;
  OrvHandle ia = table.add(HandleKind::kSprite, &a);
  OrvHandle ib = table.add(HandleKind::kTask, &b);
  ASSERT_NE(ia, 0u);
  ASSERT_NE(ib, 0u);
  EXPECT_NE(ia, ib);
  EXPECT_EQ(table.get(ia, HandleKind::kSprite), &a);
  EXPECT_EQ(table.get(ia, HandleKind::kTask), nullptr);  // foreign kind
  EXPECT_EQ(table.get(0, HandleKind::kSprite), nullptr);
  EXPECT_EQ(table.get(0xFFFFFFFF, HandleKind::kSprite), nullptr);
  EXPECT_EQ(table.live_count(), 2u);

  EXPECT_EQ(table.remove(ia, HandleKind::kSprite), &a);
  EXPECT_EQ(table.remove(ia, HandleKind::kSprite), nullptr);  // twice
  EXPECT_EQ(table.get(ia, HandleKind::kSprite), nullptr);     // stale

  // The slot is reused with a new generation: the old id stays dead.
  OrvHandle ic = table.add(HandleKind::kSprite, &b);
  EXPECT_NE(ic, ia);
  EXPECT_EQ(table.get(ia, HandleKind::kSprite), nullptr);
  EXPECT_EQ(table.get(ic, HandleKind::kSprite), &b);
  EXPECT_EQ(table.add(HandleKind::kSprite, nullptr), 0u);
}

// Past the point where 12 generation bits wrap, a released id still finds nothing: not the
// object made in its slot later, not one of another kind.
TEST(HandleTable, ReleasedIdsStayDeadPastTheGenerationWrap) {
  HandleTable table;
  int x = 0, y = 0;
  const OrvHandle old_list = table.add(HandleKind::kList, &x);
  ASSERT_EQ(table.remove(old_list, HandleKind::kList), &x);
  for (int i = 0; i < 10000; ++i) {
    const OrvHandle id = table.add(HandleKind::kList, &y);
    ASSERT_NE(id, 0u);
    ASSERT_NE(id, old_list) << "after " << i << " reuses";
    ASSERT_EQ(table.get(old_list, HandleKind::kList), nullptr);
    ASSERT_EQ(table.remove(id, HandleKind::kList), &y);
  }
  EXPECT_EQ(table.live_count(), 0u);
}

// The oldest free slot comes back first: released ids are far from being reused.
TEST(HandleTable, ReusesTheOldestFreeSlotFirst) {
  HandleTable table;
  int x = 0;
  const OrvHandle a = table.add(HandleKind::kList, &x);
  const OrvHandle b = table.add(HandleKind::kList, &x);
  table.remove(a, HandleKind::kList);
  table.remove(b, HandleKind::kList);
  const uint32_t slot_mask = HandleTable::kMaxSlots - 1;
  EXPECT_EQ(table.add(HandleKind::kList, &x) & slot_mask, a & slot_mask);
  EXPECT_EQ(table.add(HandleKind::kList, &x) & slot_mask, b & slot_mask);
}

}  // namespace
