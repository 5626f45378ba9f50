// The section kinds: what each writes into an image's frame deltas and actionSet, with values
// worked out by hand from their formulas.
#include <gtest/gtest.h>

#include "program/graphics/actions/actions_fixture.h"

namespace actionstest {
namespace {

using ActionKindsTest = ActionsTest;

TEST_F(ActionKindsTest, MovesFollowTheirSpeedCurves) {
  struct Case {
    uint32_t command;
    int32_t dx;
    uint32_t t;  // ms after the start
    int32_t x;   // frame delta then
  } cases[] = {
      {kStraight, 10, 50, 5},    // trunc(10.5 * 0.5)
      {kStraight, -10, 50, -5},  // trunc(-10.5 * 0.5)
      {kStraight, 10, 100, 10},  // no frame at the end: finished (below)
      {kAccele, 100, 49, 16},    // x = 0.5: -0.55 log10(0.5) = 0.1656, of 100.5
      {kDecele, 100, 49, 76},    // x = 0.5: 1 + 0.8 log10(0.5) = 0.7592, of 100.5
      {kDecele, 100, 4, 0},      // x = 0.05: still before 5.6 %
      {0x11001d, 100, 50, 71},   // straight2: sin(pi / 4) of 100.5
  };
  uint32_t layer = 10;
  for (const Case& c : cases) {
    layers::ImageRecord& image = layer_image(layer);
    call(c.command, {0, layer, static_cast<uint32_t>(c.dx), 0, 0, 100});
    at(1000);
    call(kRun, {0, 0xFFFFFFFF});
    frame(1000);
    frame(1000 + c.t);
    if (c.t < 100) {
      EXPECT_EQ(image.frame.actionPos.x, c.x) << std::hex << c.command << std::dec << " at " << c.t;
      EXPECT_NEAR(image.frame.actionFPos.x, static_cast<float>(c.x), 1.0f);
    } else {
      EXPECT_EQ(image.actionSet.pos.x, c.x);
      EXPECT_EQ(image.actionSet.fPos.x, static_cast<float>(c.x));
    }
    call(kClear, {0});
    ++layer;
  }
}

TEST_F(ActionKindsTest, ZeroLengthMovesCommitTheirWholeChangeAtOnce) {
  layers::ImageRecord& image = layer_image(1);
  call(kAccele, {0, 1, 33, 0, 0, 0});
  call(kDecele, {1, 1, 0, 44, 0, 0});
  call(kRun, {0, 0xFFFFFFFF});
  frame(1000);
  EXPECT_EQ(image.actionSet.pos.x, 33);
  EXPECT_EQ(image.actionSet.pos.y, 44);
}

TEST_F(ActionKindsTest, AMissingSpriteIsReportedEveryFrameAndTheFinishStillCommits) {
  layers::ImageRecord& image = layer_image(1);
  const uint32_t sprite = image.hSprite;
  image.hSprite = 0;
  call(kStraight, {0, 1, 10, 0, 0, 100});
  call(kRun, {0, 0xFFFFFFFF});
  frame(1000);
  frame(1010);
  frame(1020);
  EXPECT_EQ(log_count(0), 2u * 2u) << "the kind's line and the current line, per step";
  EXPECT_TRUE(logged(0, "ActionStraightのレイヤーがない"));
  EXPECT_TRUE(logged(0, "name="));
  frame(1100);
  EXPECT_EQ(image.actionSet.pos.x, 10);
  image.hSprite = sprite;
}

TEST_F(ActionKindsTest, ShakeWithAmplitudeZeroStaysStill) {
  layers::ImageRecord& image = layer_image(1);
  call(kShake, {0, 1, 2, 0, 100});
  call(kRun, {0, 0xFFFFFFFF});
  for (uint32_t t = 1000; t < 1100; t += 10) {
    frame(t);
    EXPECT_EQ(image.frame.shakeX, 0);
    EXPECT_EQ(image.frame.shakeY, 0);
  }
}

TEST_F(ActionKindsTest, CircleOffsetsByItsStartPointAndKeepsOrReturnsAtTheEnd) {
  for (const uint32_t command : {kCircle, kCircleReturn}) {
    layers::ImageRecord& image = layer_image(command == kCircle ? 1 : 2);
    const uint32_t layer = command == kCircle ? 1 : 2;
    // angles 0, radii 10, no changes, 100 ms, linear
    call(command, {0, layer, 0, 0, 10, 10, 0, 0, 0, 0, 100, 0});
    at(1000);
    call(kRun, {0, 0xFFFFFFFF});
    frame(1000);
    frame(1050);
    EXPECT_EQ(image.frame.animPos.x, 0);   // 10 sin 0
    EXPECT_EQ(image.frame.animPos.y, 10);  // 10 cos 0
    frame(1100);
    frame(1101);
    EXPECT_EQ(image.frame.animPos.y, 0);
    EXPECT_EQ(image.actionSet.pos.y, command == kCircle ? 10 : 0);
    call(kClear, {0});
  }
}

TEST_F(ActionKindsTest, SetAlphaHoldsTheLowByteOfItsValue) {
  layers::ImageRecord& image = layer_image(1);
  image.base.colorOfs.a = 20;
  call(kSetAlpha, {0, 1, 300, 100});
  call(kRun, {0, 0xFFFFFFFF});
  frame(1000);
  EXPECT_EQ(image.base.dwColor >> 24, 44u);
  EXPECT_EQ(image.base.colorOfs.a, 0);
  call(kSetAlpha, {1, 0x03000000, 7, 100});  // no such image
  call(kRun, {1, 0xFFFFFFFF});
  frame(1001);
  EXPECT_TRUE(logged(0, "action_set_alpha not Image"));
}

TEST_F(ActionKindsTest, StraightDeceleWithoutFirstTimeStartsWithTheFirstChangeComplete) {
  layers::ImageRecord& image = layer_image(1);
  call(kStraightDecele, {0, 1, 10, 0, 0, 0, 20, 0, 0, 100});
  call(kRun, {0, 0xFFFFFFFF});
  frame(1000);
  frame(1001);
  EXPECT_EQ(image.frame.actionPos.x, 10);  // 10 + trunc(20.5 * 0.0199)
  frame(1050);
  EXPECT_EQ(image.frame.actionPos.x, 25);  // 10 + trunc(20.5 * 0.75)
  frame(1100);
  EXPECT_EQ(image.actionSet.pos.x, 30);
}

TEST_F(ActionKindsTest, EasedAlphaFadeNeverOvershoots) {
  layers::ImageRecord& image = layer_image(1);
  call(kAlphaEase, {0, 1, 100, 44, 1000});  // elastic out: 1.25 at x = 0.1
  call(kRun, {0, 0xFFFFFFFF});
  frame(1000);
  frame(1100);
  EXPECT_EQ(image.frame.actionColor.a, 100);
  call(kSetActive, {1});
  call(kAlpha, {0, 1, static_cast<uint32_t>(-60), 100});
  call(kRun, {1, 0xFFFFFFFF});
  frame(1101);
  frame(1150);
  // The eased fade, at x = 0.15 still above 1, gives 100; the linear one started at 1101.
  EXPECT_EQ(image.frame.actionColor.a, 100 - 29) << "100 + trunc(-60 * 0.49)";
}

TEST_F(ActionKindsTest, ScaleExEndsAtTheCurvesValueAtTheWindowEnd) {
  layers::ImageRecord& image = layer_image(1);
  call(kEaseWindow, {0, 500});
  call(kScaleEx, {0, 1, 22, 100, 100});  // quad in over 0..500: ends at 0.25
  call(kEaseWindow, {800, 200});
  EXPECT_EQ(engine::action_ease_start, 200u);
  EXPECT_EQ(engine::action_ease_end, 800u);
  call(kEaseWindow, {1200, 900});
  EXPECT_EQ(engine::action_ease_start, 0u);
  EXPECT_EQ(engine::action_ease_end, 900u);
  call(kRun, {0, 0xFFFFFFFF});
  frame(1000);
  frame(1050);
  EXPECT_FLOAT_EQ(image.frame.actionScale.x, 0.0625f);
  frame(1100);
  EXPECT_FLOAT_EQ(image.actionSet.scale.x, 0.25f);
  EXPECT_FLOAT_EQ(image.actionSet.scale.y, 0.25f);
}

TEST_F(ActionKindsTest, MaskWipeRevealsThroughTheMaskWithASoftEdge) {
  // Source, mask and target layers of 6 x 1 pixels.
  auto pixels = [&](uint32_t layer, std::vector<uint32_t> p) {
    layers::ImageRecord& image = layer_image(layer, 6, 1);
    fake().sprites[image.hSprite].pixels = std::move(p);
  };
  pixels(1, std::vector<uint32_t>(6, 0xFF123456u));
  pixels(2, {200, 140, 128, 110, 97, 0});  // mask grey levels (blue byte)
  pixels(3, std::vector<uint32_t>(6, 0u));
  call(kSetMask, {0, 1, 2, 3, 100});
  call(kRun, {0, 0xFFFFFFFF});
  frame(1000);
  const std::vector<uint32_t>& target = fake().sprites[vm().layers[3].lpImage->hSprite].pixels;
  EXPECT_EQ(target[0], 0x00123456u) << "the source copied with alpha 0";
  frame(1050);  // T = 127, E = 158
  const uint32_t want[] = {255, 255, 31 * 255 / 32, 13 * 255 / 32, 0, 0};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(target[i] >> 24, want[i]) << "pixel " << i;
    EXPECT_EQ(target[i] & 0xFFFFFF, 0x123456u);
  }
  frame(1100);
  EXPECT_EQ(target, std::vector<uint32_t>(6, 0xFF123456u)) << "the end shows the source whole";
}

TEST_F(ActionKindsTest, ShowLayerWaitsForItsPictureAndRefusesBadNumbers) {
  call(kGraphShow, {0, 5, 0});
  call(kWait, {0, 50});
  call(kGraphShow, {1, 200, 0});
  call(kRun, {0, 0xFFFFFFFF});
  frame(1000);
  frame(1010);
  EXPECT_EQ(slot(0).lineStates[0].nCurrent, 0u) << "an empty layer: not started";
  EXPECT_TRUE(logged(0, "no = 200"));
  layers::ImageRecord& image = layer_image(5);
  frame(1020);
  EXPECT_TRUE(fake().called("view " + std::to_string(image.hSprite) + " 1"));
  EXPECT_EQ(slot(0).lineStates[0].nCurrent, 1u);
}

TEST_F(ActionKindsTest, SoundEffectSectionPlaysTheLoadedChannel) {
  static std::vector<std::string>* played;
  std::vector<std::string> calls;
  played = &calls;
  OrvApi saved = orv;
  orv.OrvSoundPlay = [](OrvSoundHandle h, int32_t loop) -> OrvBool {
    played->push_back("play " + std::to_string(h) + " " + std::to_string(loop));
    return 1;
  };
  orv.OrvSoundPlayFade = [](OrvSoundHandle h, int32_t loop, int32_t ms) -> OrvBool {
    played->push_back("fade " + std::to_string(h) + " " + std::to_string(loop) + " " +
                      std::to_string(ms));
    return 1;
  };
  vm().sound.se[3].sound = 77;
  call(0x110010, {0, 3, 1, 1, 500});
  call(0x110010, {1, 3, 0, 0, 0});
  call(0x110010, {2, 16, 0, 0, 0});
  call(kRun, {0, 0xFFFFFFFF});
  frame(1000);
  EXPECT_EQ(calls, (std::vector<std::string>{"fade 77 1 500", "play 77 0"}));
  EXPECT_EQ(vm().sound.se[3].flags, 0x5u);
  EXPECT_TRUE(logged(0, "channel over [16]"));
  orv = saved;
}

}  // namespace
}  // namespace actionstest
