// The runner: section timing on the slot's clock, the modes and the ways a slot ends.
#include <gtest/gtest.h>

#include "program/graphics/actions/actions_fixture.h"

namespace actionstest {
namespace {

using ActionRunnerTest = ActionsTest;

TEST_F(ActionRunnerTest, ZeroLengthSectionsFinishInTheFrameTheirPredecessorEnds) {
  layers::ImageRecord& image = layer_image(1);
  call(kWait, {0, 100});
  call(kStraight, {0, 1, 10, 0, 0, 0});
  call(kStraight, {0, 1, 0, 20, 0, 0});
  call(kWait, {0, 200});
  call(kRun, {0, 0xFFFFFFFF});
  frame(1050);
  EXPECT_EQ(slot(0).lineStates[0].nCurrent, 0u);
  frame(1100);
  EXPECT_EQ(slot(0).lineStates[0].nCurrent, 3u) << "both zero-length moves done at 100 ms";
  EXPECT_EQ(slot(0).lineStates[0].dwEndTime, 300u);
  EXPECT_EQ(image.actionSet.pos.x, 10);
  EXPECT_EQ(image.actionSet.pos.y, 20);
  frame(1299);
  EXPECT_EQ(slot(0).lineStates[0].nCurrent, 3u);
  frame(1300);
  EXPECT_EQ(slot(0).lineStates[0].nCurrent, 4u);
  EXPECT_TRUE(slot(0).bRunning) << "an endless limit runs on after its lines are done";
}

TEST_F(ActionRunnerTest, LateFramesCatchUpOneTimedSectionPerFrameOnTheSlotClock) {
  call(kWait, {0, 100});
  call(kWait, {0, 100});
  call(kWait, {0, 100});
  call(kRun, {0, 0xFFFFFFFF});
  frame(1001);
  frame(1250);  // late: the first ends, the second starts and ends at 200
  EXPECT_EQ(slot(0).lineStates[0].nCurrent, 1u);
  EXPECT_EQ(slot(0).lineStates[0].dwEndTime, 200u);
  frame(1251);
  EXPECT_EQ(slot(0).lineStates[0].nCurrent, 2u);
  EXPECT_EQ(slot(0).lineStates[0].dwEndTime, 300u);
}

TEST_F(ActionRunnerTest, StopFlagKeepsWhereTheMoveGotOtherwiseEverythingJumpsToItsEnd) {
  struct Case {
    uint32_t layer, stop;
    int32_t x, y;
  } cases[] = {{2, 0, 100 + 10, 50 + 7}, {3, 1, 100 + 5, 50}};
  for (const Case& c : cases) {
    layers::ImageRecord& image = layer_image(c.layer);
    image.base.pos = {100, 50, 0};
    call(kStraight, {0, c.layer, 10, 0, 0, 100});
    call(kStraight, {0, c.layer, 0, 7, 0, 100});  // not yet started when the slot ends
    call(kSetStop, {0, c.stop});
    at(1000);
    call(kRun, {0, 50});
    frame(1000);
    frame(1049);
    EXPECT_EQ(image.frame.actionPos.x, 5) << "trunc(10.5 * 0.49)";
    frame(1050);
    EXPECT_FALSE(slot(0).bRunning);
    EXPECT_EQ(image.base.pos.x, c.x) << "stop " << c.stop;
    EXPECT_EQ(image.base.pos.y, c.y) << "stop " << c.stop;
    EXPECT_EQ(vm().actions.stopFlags[0], 0u);
    EXPECT_EQ(engine::action_lines[0][0].nSections, 0u) << "an ended slot is empty";
  }
}

TEST_F(ActionRunnerTest, RunWithLimitZeroPlaysOneFrameAndAppliesTheRest) {
  layers::ImageRecord& image = layer_image(7);
  call(kStraight, {0, 7, 30, 0, 0, 300});
  call(kStraight, {1, 7, 0, 40, 0, 300});
  call(kRun, {0, 0});
  frame(1000);
  EXPECT_FALSE(slot(0).bRunning);
  EXPECT_EQ(image.base.pos.x, 30);
  EXPECT_EQ(image.base.pos.y, 40);
}

TEST_F(ActionRunnerTest, LoopCountsPassesAndZeroPassesTurnEndless) {
  call(kWait, {0, 100});
  call(kLoopRun, {0, 2});
  frame(1000);
  frame(1100);  // the wait ends, the pass completes
  EXPECT_EQ(slot(0).dwLimit, 1u);
  EXPECT_EQ(slot(0).dwStartTime, 1100u);
  frame(1150);
  frame(1200);
  EXPECT_FALSE(slot(0).bRunning);

  call(kWait, {0, 100});
  call(kLoopRun, {0, 0});
  frame(1300);
  frame(1400);
  EXPECT_TRUE(slot(0).bRunning);
  EXPECT_EQ(slot(0).dwLimit, 0xFFFFFFFFu);
  frame(1500);
  frame(1600);
  EXPECT_EQ(slot(0).bPassEnded, 1u) << "an endless pass ended in this frame";
  frame(1601);
  EXPECT_EQ(slot(0).bPassEnded, 0u);

  call(kLoopRun, {1, 3});  // no sections: a pass in every frame
  frame(1602);
  frame(1603);
  EXPECT_TRUE(slot(1).bRunning);
  frame(1604);
  EXPECT_FALSE(slot(1).bRunning);
}

TEST_F(ActionRunnerTest, SyncRunParksTheScriptUntilTheSlotEnds) {
  call(kWait, {0, 100});
  vm().runner.dwPc = 480;
  call(kSyncRun, {0, 100});
  EXPECT_EQ(vm().runner.dwPointCount, 1u);
  EXPECT_EQ(vm().runner.dwPointStack[0], 480u);
  EXPECT_EQ(vm().runner.bYield, 1u);
  EXPECT_TRUE(engine::neighbours.layers.action_sync_run(vm()));
  frame(1099);
  EXPECT_EQ(vm().runner.dwPointCount, 1u);
  frame(1100);
  EXPECT_EQ(vm().runner.dwPointCount, 0u);
  EXPECT_FALSE(engine::neighbours.layers.action_sync_run(vm()));

  call(kSyncRun, {0, 0});  // applies at once and pops its point again
  EXPECT_EQ(vm().runner.dwPointCount, 0u);
  EXPECT_FALSE(slot(0).bRunning);
  EXPECT_EQ(vm().runner.bYield, 1u);
}

TEST_F(ActionRunnerTest, ReservedClearEndsMarkedSlotsAndAButtonClickTheActiveOneToo) {
  layers::ImageRecord& image = layer_image(4);
  call(kStraight, {0, 4, 10, 0, 0, 1000});
  call(kRun, {0, 0xFFFFFFFF});
  call(kSetActive, {1});
  call(kStraight, {0, 4, 0, 10, 0, 1000});
  call(kRun, {1, 0xFFFFFFFF});
  call(kSetActive, {2});
  call(kStraight, {0, 4, 0, 0, 10, 1000});
  call(kRun, {2, 0xFFFFFFFF});
  call(kSetClear, {0});
  frame(1010);
  engine::neighbours.layers.action_clear_marked(vm());
  EXPECT_FALSE(slot(0).bRunning);
  EXPECT_EQ(vm().actions.clearMarks[0], 0u);
  EXPECT_EQ(image.base.pos.x, 10);
  EXPECT_TRUE(slot(1).bRunning);
  engine::neighbours.layers.action_end_active_and_marked(vm());
  EXPECT_FALSE(slot(2).bRunning) << "the active slot";
  EXPECT_TRUE(slot(1).bRunning);
}

TEST_F(ActionRunnerTest, ResetAppliesFilledSlotsThatNeverRanAndDropsThePushedOne) {
  layers::ImageRecord& image = layer_image(5);
  call(kStraight, {0, 5, 0, 0, 0, 100});
  call(kRun, {0, 0xFFFFFFFF});
  call(kPush, {});
  call(kStraight, {0, 5, 10, 0, 0, 100});  // filled, never run
  call(kEaseWindow, {100, 900});
  actions::action_uninit_all(vm());
  EXPECT_EQ(image.base.pos.x, 10);
  EXPECT_EQ(vm().actions.lpPushBuffer, nullptr);
  EXPECT_EQ(engine::action_ease_start, 0u);
  EXPECT_EQ(engine::action_ease_end, 1000u);
  EXPECT_EQ(engine::action_lines[0][0].nSections, 0u);
}

TEST_F(ActionRunnerTest, PushSetsARunningSlotAsideAndPopBringsItBackOnItsOldClock) {
  layers::ImageRecord& image = layer_image(6);
  call(kStraight, {0, 6, 100, 0, 0, 100});
  call(kRun, {0, 0xFFFFFFFF});
  frame(1000);
  call(kPush, {});
  EXPECT_FALSE(slot(0).bRunning);
  call(kStraight, {0, 6, 0, 8, 0, 10});
  call(kRun, {0, 0xFFFFFFFF});
  frame(1050);
  EXPECT_EQ(image.frame.actionPos.x, 0) << "the pushed move does not play";
  call(kPop, {});  // ends the program in its place, which jumps to its end
  EXPECT_EQ(image.base.pos.y, 8);
  EXPECT_TRUE(slot(0).bRunning);
  EXPECT_EQ(slot(0).dwStartTime, 1000u);
  frame(1060);
  EXPECT_EQ(image.frame.actionPos.x, 60);
  frame(1100);
  EXPECT_EQ(image.actionSet.pos.x, 100);
}

TEST_F(ActionRunnerTest, ALoadEmptiesTheSystemSlotsSevenAndEight) {
  layers::ImageRecord& image = layer_image(1);
  for (uint32_t s : {6u, 7u, 8u}) {
    call(kSetActive, {s});
    call(kStraight, {0, 1, 10, 0, 0, 100});
  }
  call(kRun, {7, 0xFFFFFFFF});
  engine::neighbours.layers.action_slots_system_clear(vm());
  EXPECT_FALSE(slot(7).bRunning);
  EXPECT_EQ(image.base.pos.x, 10) << "slot 7 ended: its move jumps to its end";
  EXPECT_EQ(engine::action_lines[8][0].nSections, 0u) << "slot 8 emptied unplayed";
  EXPECT_EQ(engine::action_lines[6][0].nSections, 1u);
}

TEST_F(ActionRunnerTest, DebugMapShowsEachSlotsMode) {
  std::string map;
  static std::string* seen;
  seen = &map;
  OrvApi saved = orv;
  orv.DebugSetActionList = [](const char* m) { *seen = m; };
  call(kWait, {0, 100});
  call(kRun, {0, 0xFFFFFFFF});
  call(kSetActive, {1});
  call(kWait, {0, 100});
  call(kSyncRun, {1, 0xFFFFFFFF});
  call(kLoopRun, {3, 0xFFFFFFFF});
  frame(1001);
  EXPECT_EQ(map, "RS-L------------");
  orv = saved;
}

}  // namespace
}  // namespace actionstest
