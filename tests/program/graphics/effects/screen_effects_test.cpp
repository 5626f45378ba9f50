// The screen effects as assembled scripts, stepped frame by frame through the machine's job
// updates with the frame time, the random numbers and the sprite calls faked.
#include "graphics/effects/screen_effects.h"
#include "program/graphics/layers/layers_fixture.h"

namespace effectstest {
namespace {

uint32_t g_now = 0;
uint32_t g_random = 0;
int32_t g_enabled = 1;

class ScreenEffectsTest : public layerstest::LayersTest {
 protected:
  void SetUp() override {
    LayersTest::SetUp();
    g_now = 5000;
    g_random = 0;
    g_enabled = 1;
    orv.OrvtimeGetTime = []() -> uint32_t { return g_now; };
    orv.OrvClockGetTime = []() -> uint32_t { return g_now; };
    orv.OrvRandomEx = []() -> int32_t { return static_cast<int32_t>(g_random++); };
    orv.OrvEffectEnableIs = []() -> int32_t { return g_enabled; };
    orv.OrvSpriteSetOffsetPos = [](OrvHandle, int32_t, int32_t) -> OrvBool { return 1; };
    orv.OrvSpriteRectSetPos = [](OrvHandle, int32_t, int32_t) -> OrvBool { return 1; };
  }
  void TearDown() override {
    effects::screen_effects_release(vm());
    vm().screenEffects = engine::ScreenEffectState{};
    LayersTest::TearDown();
  }
  layers::ImageRecord& picture(uint32_t n) {
    layers::ImageRecord* image = layers::image_alloc(layers::kBaseLayer, n);
    image->hSprite = fake().add("pic", 64, 64);
    vm().layers[n].lpImage = image;
    return *image;
  }
  // The frame procedure's part: each active job's update, its bit cleared when it ends.
  void frame(uint32_t now) {
    g_now = now;
    engine::ScreenEffectState& fx = vm().screenEffects;
    if ((fx.dwActiveJobs & 1) && effects::effect_shake_update(vm())) fx.dwActiveJobs &= ~1u;
    if ((fx.dwActiveJobs & 4) && effects::effect_snow_update(vm())) fx.dwActiveJobs &= ~4u;
  }
};

TEST_F(ScreenEffectsTest, TimedShakeHoldsTheScriptShrinksAndEndsAtZero) {
  layers::ImageRecord& a = picture(0);
  layers::ImageRecord& b = picture(1);
  vm().layers[1].dwFlags = 0x1000000;  // locked: not shaken
  load("  call shake(2, 10, 1000, 0)\n  mov r1, 7\n");
  run();
  EXPECT_EQ(vm().reg[1], 0u) << "the script waits";
  EXPECT_EQ(vm().screenEffects.dwSyncBits, 1u);
  EXPECT_EQ(vm().runner.dwPointCount, 1u);
  frame(5000);
  // Range 20: x = 0 % 20 - 10, y = 1 % 20 - 10.
  EXPECT_EQ(a.frame.shakeX, -10);
  EXPECT_EQ(a.frame.shakeY, -9);
  EXPECT_EQ(b.frame.shakeX, 0);
  g_random = 7;
  frame(5999);  // range (1 - 0.999) x 20 truncated to 0, raised to 1
  EXPECT_EQ(a.frame.shakeX, 0);
  EXPECT_EQ(a.frame.shakeY, 0);
  a.frame.shakeX = 5;
  frame(6000);
  EXPECT_EQ(a.frame.shakeX, 0);
  EXPECT_EQ(vm().screenEffects.dwActiveJobs, 0u);
  EXPECT_EQ(vm().screenEffects.dwSyncBits, 0u);
  EXPECT_EQ(vm().runner.dwPointCount, 0u) << "the script point is popped";
  EXPECT_TRUE(logged(10, "shake 2, 10, 1000, 0"));
}

TEST_F(ScreenEffectsTest, EndlessShakeIgnoresSkipAndDiesOutAfterEffectStop) {
  layers::ImageRecord& a = picture(0);
  vm().run.bSceneSkip = 1;
  load("  call shake(1, 4, -1, 2)\n  call shake(0, 4, 500, 0)\n");
  run();
  EXPECT_TRUE(logged(10, "shake off")) << "a timed shake does not start while skipping";
  vm().run.bSceneSkip = 0;
  EXPECT_EQ(vm().screenEffects.dwSyncBits, 0u) << "an endless shake holds nothing";
  g_random = 3;
  frame(5100);
  EXPECT_EQ(a.frame.shakeX, 3 - 4);
  EXPECT_EQ(a.frame.shakeY, 0) << "mode 1 moves x only";
  load("  call effect_stop(1, 500)\n");
  run();
  EXPECT_EQ(vm().screenEffects.dwShakeState, engine::kEffectFading);
  frame(5300);
  EXPECT_NE(vm().screenEffects.dwActiveJobs & 1, 0u);
  frame(5700);
  EXPECT_EQ(vm().screenEffects.dwActiveJobs & 1, 0u);
  EXPECT_EQ(vm().screenEffects.dwShakeState, engine::kEffectOff);
}

TEST_F(ScreenEffectsTest, FlushShowsTheColourAndIsOffWhileEffectsAreOff) {
  load("  call flush(255, 0x180, 16, 200)\n");
  run();
  const engine::ScreenEffectState& fx = vm().screenEffects;
  ASSERT_NE(fx.dwFlushSprite, 0u);
  EXPECT_TRUE(fake().called("paint " + std::to_string(fx.dwFlushSprite) + " whole " +
                            std::to_string(0xFFFF8010u)));
  EXPECT_EQ(fx.dwActiveJobs, 2u);
  EXPECT_TRUE(logged(10, "flush 0xFFFF8010"));
  // A reset while it shows takes the sprite with it.
  const uint32_t sprite = fx.dwFlushSprite;
  effects::screen_effects_release(vm());
  EXPECT_TRUE(fake().called("release " + std::to_string(sprite)));
  g_enabled = 0;
  load("  call flush(1, 2, 3, 100)\n");
  run();
  EXPECT_TRUE(logged(10, "flush off"));
}

TEST_F(ScreenEffectsTest, SnowClampsItsArgumentsAndMovesOnlyCountFlakes) {
  fake().files = {{"FLAKE.png", {48, 16}}};
  load("  call snow(file\"FLAKE\", 0, 0, 300)\n");
  run();
  engine::ScreenEffectState& fx = vm().screenEffects;
  EXPECT_TRUE(logged(10, "snow FLAKE, 0, 1, 255"));
  EXPECT_EQ(fx.snowArgs[2], 255u);
  EXPECT_EQ(fx.snowArgs[3], 1u);
  load("  call snow(file\"FLAKE\", 0, -600, 10)\n");
  run();
  EXPECT_TRUE(logged(10, "snow FLAKE, 0, -512, 10"));
  size_t live = 0;
  for (const auto& [id, s] : fake().sprites) live += !s.released;
  EXPECT_EQ(live, 255u) << "the first snow's sprites were released";
  const uint32_t sway9 = fx.flakes[9].dwSwayPhase, sway10 = fx.flakes[10].dwSwayPhase;
  frame(6000);
  EXPECT_EQ(fx.flakes[9].dwSwayPhase, sway9 + 1);
  EXPECT_EQ(fx.flakes[10].dwSwayPhase, sway10) << "flake 11 does not move";
  // A fade out over 100 ms, then everything goes.
  load("  call effect_stop(4, 100)\n");
  run();
  frame(6050);
  EXPECT_EQ(fake().at(fx.flakes[0].hSprite)->color, 0x7FFFFFFFu);
  frame(6100);
  EXPECT_EQ(fx.dwActiveJobs & 4, 0u);
  EXPECT_EQ(fx.flakes[0].hSprite, 0u);
  live = 0;
  for (const auto& [id, s] : fake().sprites) live += !s.released;
  EXPECT_EQ(live, 0u);
}

TEST_F(ScreenEffectsTest, ASnowSheetThatCannotLoadLeavesNoFlakes) {
  load("  call snow(file\"NONE\", 0, 10, 5)\n");
  run();
  EXPECT_TRUE(logged(0, "スプライトの読み込みに失敗。[NONE]"));
  EXPECT_EQ(vm().screenEffects.dwActiveJobs, 0u);
}

// Petals are copies of one row of the sheet at scales 0.5, 0.75 and 1.0 in turn, and turn
// through their eight cells every 50-99 ms.
TEST_F(ScreenEffectsTest, PetalsTakeThreeScalesAndCycleTheirCells) {
  fake().files = {{"PETAL.png", {80, 40}}};
  static std::vector<std::string> copies;
  static std::vector<std::string> cells;
  copies.clear();
  cells.clear();
  orv.OrvSpriteCopy = [](OrvHandle, OrvHandle, const OrvRect* src, const OrvRect* dst,
                         int32_t priority) -> OrvHandle {
    copies.push_back(std::to_string(src->bottom - src->top) + ":" + std::to_string(dst->right) +
                     "x" + std::to_string(dst->bottom) + "@" + std::to_string(priority));
    return layerstest::g_fake->add("petal", dst->right, dst->bottom);
  };
  orv.OrvSpriteRectSetPos = [](OrvHandle, int32_t column, int32_t row) -> OrvBool {
    cells.push_back(std::to_string(column) + "," + std::to_string(row));
    return 1;
  };
  load("  call sakura(file\"PETAL\", 0, 0, 2)\n");
  run();
  ASSERT_EQ(copies.size(), 127u);
  EXPECT_EQ(copies[0], "40:40x20@5000");
  EXPECT_EQ(copies[1], "40:60x30@4990");
  EXPECT_EQ(copies[2], "40:80x40@4980");
  EXPECT_TRUE(logged(10, "sakura PETAL, 0, 0, 2"));
  engine::ScreenEffectState& fx = vm().screenEffects;
  EXPECT_GE(fx.petals[0].dwCellInterval, 50u);
  EXPECT_LE(fx.petals[0].dwCellInterval, 99u);
  g_now = 5000 + 99;
  effects::effect_sakura_update(vm());
  EXPECT_EQ(cells, (std::vector<std::string>{"1,0", "1,0"})) << "only the first two petals";
  EXPECT_EQ(fx.petals[2].wCell, 0u);
}

}  // namespace
}  // namespace effectstest
