// The action commands: section bookkeeping, slot arguments and the ways a slot is started.
#include <gtest/gtest.h>

#include "engine/frame_procedure.h"
#include "program/graphics/actions/actions_fixture.h"

namespace actionstest {
namespace {

using ActionCommandsTest = ActionsTest;

TEST_F(ActionCommandsTest, RefusedLinesAndFullLinesTakeTheirArgumentsAndAddNothing) {
  EXPECT_EQ(call(kStraight, {60, 1, 2, 3, 4, 5}), 0u);
  EXPECT_TRUE(logged(0, "action line over [60]"));
  EXPECT_EQ(call(kStraight, {0xFFFFFFFF, 1, 2, 3, 4, 5}), 0u);
  EXPECT_EQ(call(kStraightDecele, {60, 1, 2, 3, 4, 5, 6, 7, 8, 9}), 0u);
  for (int i = 0; i < 120; ++i) call(kWait, {7, 10});
  EXPECT_EQ(call(kWait, {7, 10}), 0u);
  EXPECT_TRUE(logged(0, "action section over [120]"));
  EXPECT_EQ(engine::action_lines[0][7].nSections, 120u);
}

TEST_F(ActionCommandsTest, SectionsStoreDecodedImagesTimesAndTheEaseWindow) {
  call(kEaseWindow, {250, 750});
  call(kEaseMove, {0, 0x0100000F, 1, 2, 3, 22, 400});
  call(kStraightDecele, {1, 5, 1, 2, 3, 40, 4, 5, 6, 60});
  call(kCircle, {2, 0x00000080, 1, 2, 3, 4, 5, 6, 7, 8, 300, 33});
  call(kSetMask, {3, 1, 2, 3, 10});
  const engine::ActionSection& ease = engine::action_lines[0][0].sections[0];
  EXPECT_EQ(ease.dwKind, 26u);
  EXPECT_EQ(ease.params[0], 15u) << "system image 15";
  EXPECT_EQ(ease.params[4], 22u);
  EXPECT_EQ(ease.params[5], 400u);
  EXPECT_EQ(ease.dwDuration, 400u);
  EXPECT_EQ(ease.wEaseStart, 250);
  EXPECT_EQ(ease.wEaseEnd, 750);
  const engine::ActionSection& two = engine::action_lines[0][1].sections[0];
  EXPECT_EQ(two.params[0], 21u);
  EXPECT_EQ(two.dwDuration, 100u);
  const engine::ActionSection& circle = engine::action_lines[0][2].sections[0];
  EXPECT_EQ(circle.params[0], 0xFFFFFFFFu) << "a number that does not decode";
  EXPECT_EQ(circle.dwDuration, 300u);
  EXPECT_EQ(circle.params[9], 33u);
  EXPECT_EQ(circle.params[10], 1u);
  EXPECT_EQ(engine::action_lines[0][3].sections[0].params[2], 3u) << "stored raw";
}

TEST_F(ActionCommandsTest, RandomWaitsStayInTheirRange) {
  struct Case {
    int32_t minimum, maximum;
    uint32_t low, high;  // inclusive
  } cases[] = {{500, 100, 100, 499}, {-5, 100, 0, 0}, {50, 50, 0, 0}, {0, 1, 0, 0}};
  uint32_t line = 0;
  for (const Case& c : cases) {
    for (int i = 0; i < 20; ++i) {
      call(kWaitRandom, {line, static_cast<uint32_t>(c.minimum), static_cast<uint32_t>(c.maximum)});
      const engine::ActionLine& l = engine::action_lines[0][line];
      const uint32_t d = l.sections[l.nSections - 1].dwDuration;
      EXPECT_GE(d, c.low) << c.minimum << ".." << c.maximum;
      EXPECT_LE(d, c.high) << c.minimum << ".." << c.maximum;
    }
    ++line;
  }
}

TEST_F(ActionCommandsTest, SlotArgumentsAndTheActiveSlot) {
  vm().dwResultReg = 3;
  EXPECT_EQ(call(kSetActive, {0xFFFFFFFF}), 0u);
  EXPECT_TRUE(logged(0, "action count over [-1][old=0]"));
  vm().reg[3] = 99;
  EXPECT_EQ(call(kSetActive, {16}), 0u);
  EXPECT_EQ(vm().reg[3], 99u) << "a refusal leaves the result alone";
  call(kSetActive, {4});
  EXPECT_EQ(vm().reg[3], 0u) << "the previous active slot";
  call(kGetActive, {});
  EXPECT_EQ(vm().reg[3], 4u);
  call(kWait, {0, 100});
  call(kRun, {kActive, 500});
  EXPECT_TRUE(slot(4).bRunning);
  EXPECT_EQ(slot(4).dwLimit, 500u);
  call(kRun, {kActive, 900});
  EXPECT_EQ(slot(4).dwLimit, 500u) << "a running slot is left alone";
  call(kLoopRun, {kActive, 3});
  EXPECT_EQ(slot(4).dwMode, 1u);
  call(kIsRun, {4});
  EXPECT_EQ(vm().reg[3], 1u);
  call(kIsRun, {16});
  EXPECT_EQ(vm().reg[3], 0u);
  EXPECT_TRUE(logged(0, "is_action_run [16]"));
  EXPECT_EQ(call(kRun, {16, 0}), 0u);
  EXPECT_TRUE(logged(0, "action_run count over [16]"));
  EXPECT_EQ(call(kClear, {20}), 0u);
  EXPECT_TRUE(logged(0, "action_clear count over [20]"));
}

TEST_F(ActionCommandsTest, WithEffectsOffRunsApplyAtOnceButLoopsStillPlay) {
  OrvApi saved = orv;
  auto saved_enable = engine::neighbours.transitions.effect_enable_is;
  engine::neighbours.transitions.effect_enable_is = []() -> uint32_t { return 0; };
  layers::ImageRecord& image = layer_image(1);
  call(kStraight, {0, 1, 10, 0, 0, 1000});
  call(kRun, {0, 0xFFFFFFFF});
  EXPECT_FALSE(slot(0).bRunning);
  EXPECT_EQ(image.base.pos.x, 10);
  call(kStraight, {0, 1, 10, 0, 0, 1000});
  call(kSyncRun, {0, 0xFFFFFFFF});
  EXPECT_FALSE(slot(0).bRunning);
  EXPECT_EQ(image.base.pos.x, 20);
  EXPECT_EQ(vm().runner.dwPointCount, 0u) << "pushed and popped";
  call(kStraight, {0, 1, 10, 0, 0, 1000});
  call(kLoopRun, {0, 1});
  EXPECT_TRUE(slot(0).bRunning);
  engine::neighbours.transitions.effect_enable_is = saved_enable;
  orv = saved;
}

TEST_F(ActionCommandsTest, RunAllStartsEveryIdleSlot) {
  call(kWait, {0, 100});
  call(kRun, {0, 50});
  call(kRunAll, {300});
  for (uint32_t s = 0; s < 16; ++s) {
    EXPECT_TRUE(slot(s).bRunning) << s;
    EXPECT_EQ(slot(s).dwLimit, s == 0 ? 50u : 300u) << s;
  }
  call(kClearAll, {});
  for (uint32_t s = 0; s < 16; ++s) EXPECT_FALSE(slot(s).bRunning) << s;
}

TEST_F(ActionCommandsTest, IsActionMoveFindsMovingKindsOfRunningSlots) {
  layer_image(1);
  call(kAlpha, {0, 1, 10, 100});
  call(kRun, {0, 0xFFFFFFFF});
  vm().dwResultReg = 2;
  call(kIsMove, {1});
  EXPECT_EQ(vm().reg[2], 0u) << "an alpha fade does not move";
  call(kSetActive, {1});
  call(kShake, {3, 1, 0, 5, 100});
  call(kIsMove, {1});
  EXPECT_EQ(vm().reg[2], 0u) << "the slot does not run";
  call(kRun, {1, 0xFFFFFFFF});
  call(kIsMove, {1});
  EXPECT_EQ(vm().reg[2], 1u);
  call(kIsMove, {2});
  EXPECT_EQ(vm().reg[2], 0u);
  call(kShake, {4, 0x03000000, 0, 5, 100});  // its image number did not decode
  call(kIsMove, {0x03000000});
  EXPECT_EQ(vm().reg[2], 0u) << "a number that does not decode names no image";
}

// Through the assembler and the interpreter: the script stands still while its slot plays.
TEST_F(ActionCommandsTest, ScriptWaitsForItsSynchronousSlot) {
  layers::ImageRecord& image = layer_image(1);
  load(
      "  call action_straight(0, 1, 100, 0, 0, 200)\n"
      "  call action_sync_run(-1, 200)\n"
      "  add r1, 1\n"
      "  end\n");
  uint32_t t = 1000;
  auto frame_procedure = [&] {
    at(t);
    engine::script_update(vm());
    layers::images_frame_deltas_clear(vm());
    actions::action_update(vm());
    t += 10;
  };
  frame_procedure();
  EXPECT_TRUE(slot(0).bRunning);
  while (t < 1200) {
    frame_procedure();
    EXPECT_EQ(vm().reg[1], 0u) << "at " << t;
  }
  EXPECT_EQ(image.frame.actionPos.x, 95);  // trunc(100.5 * 190 / 200), the last step
  frame_procedure();                       // the slot ends at 200 ms
  EXPECT_EQ(image.base.pos.x, 100);
  frame_procedure();
  EXPECT_EQ(vm().reg[1], 1u);
}

}  // namespace
}  // namespace actionstest
