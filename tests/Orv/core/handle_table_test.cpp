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

TEST(HandleTable, GenerationsWrapWithoutEverGivingZero) {
  HandleTable table;
  int x = 0;
  for (int i = 0; i < 5000; ++i) {
    OrvHandle id = table.add(HandleKind::kList, &x);
    ASSERT_NE(id, 0u);
    ASSERT_EQ(table.remove(id, HandleKind::kList), &x);
  }
  EXPECT_EQ(table.live_count(), 0u);
}

}  // namespace
