// Cell animations on real sprites of the software renderer, stepped by the task pass on the
// injected clock.
#include <gtest/gtest.h>

#include <vector>

#include "Orv/core/cell_animation.h"
#include "Orv/core/task.h"
#include "support/render_fixture.h"

namespace {

using rendertest::RenderTest;
using rendertest::set_time;

void idle(void*) {}

class CellAnimations : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    ASSERT_TRUE(task_scheduler_create());
    set_time(1000);
    // The animations are children of the task that runs (or ran last) when they are made.
    owner_ = OrvTaskCreate(idle, nullptr, 0, nullptr, kTaskLinkAfter, 0, "Owner");
    ASSERT_NE(owner_, 0u);
    TaskTreeRun();
  }
  void TearDown() override {
    task_scheduler_destroy();
    RenderTest::TearDown();
  }

  // A sheet of columns x rows cells of 10 x 10 pixels.
  OrvHandle sheet(int32_t columns, int32_t rows) {
    const OrvHandle s = solid(10 * columns, 10 * rows, 0xFF00FF00u);
    OrvSpriteSetOffsetRect(s, 10, 10);
    OrvSpriteRectSetPos(s, 0, 0);
    return s;
  }
  // The shown cell as (column, row).
  static std::pair<int32_t, int32_t> cell(OrvHandle sprite) {
    OrvRect r{};
    OrvSpriteGetRect(sprite, &r);
    return {r.left / 10, r.top / 10};
  }
  static int32_t column(OrvHandle sprite) { return cell(sprite).first; }
  static OrvRect rect(OrvHandle sprite) {
    OrvRect r{};
    OrvSpriteGetRect(sprite, &r);
    return r;
  }
  // One frame at the given frame time.
  static void frame_at(uint32_t ms) {
    set_time(ms);
    TaskTreeRun();
  }

  OrvHandle owner_ = 0;
};

TEST_F(CellAnimations, CellsFollowTheClockAndTheWrapIsReportedOnce) {
  const OrvHandle s = sheet(4, 1);
  const OrvHandle a = OrvAnimation(s, 1, 100);
  ASSERT_NE(a, 0u);
  frame_at(1000);  // first pass: counts the cells, times cell 0 from here
  struct Step {
    uint32_t at;
    int32_t column;
    int32_t looped;
  };
  // Each cell is timed from the pass that showed it, not from the ideal boundary.
  const Step steps[] = {{1099, 0, 0}, {1100, 1, 0}, {1150, 1, 0}, {1205, 2, 0}, {1304, 2, 0},
                        {1305, 3, 0}, {1405, 0, 1}, {1450, 0, 0}, {1505, 1, 0}};
  for (const Step& st : steps) {
    frame_at(st.at);
    EXPECT_EQ(column(s), st.column) << "at " << st.at;
    EXPECT_EQ(OrvAnimationLoopIs(a), st.looped) << "at " << st.at;
  }
  EXPECT_EQ(OrvAnimationLoopIs(a), 0);  // the read cleared it
}

TEST_F(CellAnimations, StopHoldsTheCellAndStartGoesOnFromIt) {
  const OrvHandle s = sheet(4, 1);
  const OrvHandle a = OrvAnimation(s, 1, 100);
  frame_at(1000);
  frame_at(1100);
  ASSERT_EQ(column(s), 1);
  EXPECT_EQ(OrvAnimationStop(a), 1);
  frame_at(1500);
  EXPECT_EQ(column(s), 1);
  // Running again: the held cell's timer still counts from 1100, so the next pass moves on.
  EXPECT_EQ(OrvAnimationStart(a), 1);
  frame_at(1501);
  EXPECT_EQ(column(s), 2);

  // A new time restarts the cell timer; a reset shows cell 0 and keeps running.
  EXPECT_EQ(OrvAnimationSetTime(a, 300), 1);
  EXPECT_EQ(OrvAnimationGetTime(a), 300);
  frame_at(1700);
  EXPECT_EQ(column(s), 2);
  frame_at(1801);
  EXPECT_EQ(column(s), 3);
  EXPECT_EQ(OrvAnimationReset(a), 1);
  EXPECT_EQ(column(s), 0);
  frame_at(2100);
  EXPECT_EQ(column(s), 0);
  frame_at(2101);
  EXPECT_EQ(column(s), 1);
}

TEST_F(CellAnimations, DirectionAcrossUnlessOnlyDownIsAsked) {
  const struct {
    uint32_t direction;
    std::pair<int32_t, int32_t> after_one;
  } cases[] = {{0, {1, 0}}, {1, {1, 0}}, {2, {0, 1}}, {3, {1, 0}}, {0x10, {1, 0}}, {0x12, {0, 1}}};
  uint32_t t = 1000;
  for (const auto& c : cases) {
    const OrvHandle s = sheet(3, 3);
    const OrvHandle a = OrvAnimation(s, c.direction, 10);
    frame_at(t += 100);
    frame_at(t + 10);
    EXPECT_EQ(cell(s), c.after_one) << "direction " << c.direction;
    OrvAnimationRelease(a);
    OrvSpriteRelease(list, s);
  }
}

TEST_F(CellAnimations, ASpriteWithoutWholeCellsKeepsItsRectangle) {
  const OrvHandle no_cells = solid(40, 10, 0xFF00FF00u);  // no cell size at all
  const OrvHandle narrow = sheet(1, 1);                   // one cell: nothing to step
  const OrvHandle small = solid(8, 8, 0xFF00FF00u);       // smaller than its cell
  OrvSpriteSetOffsetRect(small, 10, 10);
  for (OrvHandle s : {no_cells, narrow, small}) ASSERT_NE(OrvAnimation(s, 1, 10), 0u);
  const OrvRect before[] = {rect(no_cells), rect(narrow), rect(small)};
  for (uint32_t t = 1000; t <= 1100; t += 10) frame_at(t);
  const OrvRect after[] = {rect(no_cells), rect(narrow), rect(small)};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(after[i].left, before[i].left) << i;
    EXPECT_EQ(after[i].right, before[i].right) << i;
  }
}

TEST_F(CellAnimations, FrameTablesLoopOrStopOnTheirLastRectangle) {
  const OrvHandle s = solid(40, 10, 0xFF00FF00u);
  // Frame 2 goes back to 0 in the looping table and ends the other.
  const AnimationFrame looping[] = {
      {{0, 0, 10, 10}, 50, 1}, {{10, 0, 20, 10}, 20, 2}, {{20, 0, 30, 10}, 30, 0}};
  const AnimationFrame once[] = {
      {{0, 0, 10, 10}, 50, 1}, {{10, 0, 20, 10}, 20, 2}, {{20, 0, 30, 10}, 30, -1}};
  const OrvHandle a = OrvAnimationEx(s, looping);
  ASSERT_NE(a, 0u);
  EXPECT_EQ(rect(s).left, 0);  // frame 0 at once
  frame_at(1000);
  const struct {
    uint32_t at;
    int32_t left, point;
  } loop_steps[] = {{1049, 0, 0}, {1050, 10, 1}, {1069, 10, 1}, {1070, 20, 2},
                    {1100, 0, 0}, {1150, 10, 1}, {1170, 20, 2}, {1200, 0, 0}};
  for (const auto& st : loop_steps) {
    frame_at(st.at);
    EXPECT_EQ(rect(s).left, st.left) << "at " << st.at;
    EXPECT_EQ(OrvAnimationGetAnimationPoint(a), st.point) << "at " << st.at;
  }

  // Stopped, it holds; started again, it goes on.
  EXPECT_EQ(OrvAnimationStopEx(a), 1);
  frame_at(1400);
  EXPECT_EQ(OrvAnimationGetAnimationPoint(a), 0);
  EXPECT_EQ(OrvAnimationStartEx(a), 1);
  frame_at(1401);
  EXPECT_EQ(OrvAnimationGetAnimationPoint(a), 1);

  // The other table, from frame 0 at the frame time: it ends on frame 2's rectangle.
  EXPECT_EQ(OrvAnimationResetEx(a, once), 1);
  EXPECT_EQ(rect(s).left, 0);
  for (uint32_t t : {1451u, 1471u, 1501u, 2000u}) frame_at(t);
  EXPECT_EQ(OrvAnimationGetAnimationPoint(a), -1);
  EXPECT_EQ(rect(s).left, 20);
  EXPECT_EQ(rect(s).right, 30);
}

TEST_F(CellAnimations, BadHandlesAndTheOtherKindAreRefused) {
  const OrvHandle s = sheet(4, 1);
  const AnimationFrame frames[] = {{{0, 0, 10, 10}, 10, -1}};
  EXPECT_EQ(OrvAnimation(0, 1, 100), 0u);
  EXPECT_EQ(OrvAnimationEx(0, frames), 0u);
  EXPECT_EQ(OrvAnimationEx(s, nullptr), 0u);

  const OrvHandle cells = OrvAnimation(s, 1, 100);
  const OrvHandle table = OrvAnimationEx(s, frames);
  ASSERT_NE(cells, 0u);
  ASSERT_NE(table, 0u);
  // 0 (which names the current task elsewhere), a task of another kind, and each kind's handle
  // given to the other family.
  for (OrvHandle bad : {OrvHandle{0}, owner_, table}) {
    EXPECT_EQ(OrvAnimationStart(bad), 0);
    EXPECT_EQ(OrvAnimationStop(bad), 0);
    EXPECT_EQ(OrvAnimationGetTime(bad), -1);
    EXPECT_EQ(OrvAnimationSetTime(bad, 5), 0);
    EXPECT_EQ(OrvAnimationReset(bad), 0);
    EXPECT_EQ(OrvAnimationLoopIs(bad), 0);
  }
  for (OrvHandle bad : {OrvHandle{0}, owner_, cells}) {
    EXPECT_EQ(OrvAnimationStartEx(bad), 0);
    EXPECT_EQ(OrvAnimationStopEx(bad), 0);
    EXPECT_EQ(OrvAnimationResetEx(bad, frames), 0);
    EXPECT_EQ(OrvAnimationGetAnimationPoint(bad), -1);
  }
  EXPECT_EQ(OrvAnimationResetEx(table, nullptr), 0);
  EXPECT_EQ(OrvAnimationRelease(0), 0);
  EXPECT_EQ(OrvAnimationRelease(owner_), 0);  // not an animation: left running
  EXPECT_EQ(OrvTaskGetState(owner_), 1);

  // Released, the task ends on the next pass and its handle is stale.
  EXPECT_EQ(OrvAnimationRelease(cells), 1);
  EXPECT_EQ(OrvAnimationRelease(table), 1);
  frame_at(1000);
  EXPECT_EQ(OrvAnimationGetTime(cells), -1);
  EXPECT_EQ(OrvAnimationGetAnimationPoint(table), -1);
  EXPECT_EQ(OrvAnimationRelease(cells), 0);
}

TEST_F(CellAnimations, AnAnimationEndsWithItsOwner) {
  const OrvHandle s = sheet(4, 1);
  const OrvHandle a = OrvAnimation(s, 1, 10);
  frame_at(1000);
  frame_at(1010);
  ASSERT_EQ(column(s), 1);
  OrvTaskFree(owner_);
  frame_at(1020);
  EXPECT_EQ(OrvAnimationGetTime(a), -1);
  frame_at(1100);
  EXPECT_EQ(column(s), 1);
}

}  // namespace
