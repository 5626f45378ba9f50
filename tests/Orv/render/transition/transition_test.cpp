// Screen transitions on the software renderer with an injected clock: frames compared with
// pixels worked out from the blend formula of the alpha mode and each type's formula.
#include <map>
#include <string>
#include <vector>

#include "Orv/core/task.h"
#include "Orv/render/filters/kernels.h"
#include "Orv/render/pixel_kernels.h"
#include "Orv/render/render_state.h"
#include "Orv/render/transition/screen_transition.h"
#include "Orv/render/transition/transition_types.h"
#include "ge_writer/ge_writer.h"
#include "support/render_fixture.h"

namespace rendertest {
namespace {

using Px = std::vector<uint32_t>;

std::map<std::string, std::string> g_files;
std::vector<std::string> g_asked;
int32_t fake_read(const char* path, std::vector<uint8_t>* out, size_t) {
  g_asked.push_back(path);
  auto it = g_files.find(path);
  if (it == g_files.end()) return 0;
  out->assign(it->second.begin(), it->second.end());
  return 1;
}

void le(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 255));
}

// A grey 24-bit BMP: value(x, y) in all three colours; rows bottom-up, padded to 4 bytes.
template <typename F>
std::string grey_bmp(int w, int h, F value) {
  const int row = (w * 3 + 3) & ~3;
  std::string s = "BM";
  le(s, 54 + row * h, 4);
  le(s, 0, 4);
  le(s, 54, 4);
  le(s, 40, 4);
  le(s, w, 4);
  le(s, h, 4);
  le(s, 1, 2);
  le(s, 24, 2);
  s.append(24, '\0');
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) s.append(3, static_cast<char>(value(x, y)));
    s.append(row - w * 3, '\0');
  }
  return s;
}

// The alpha blend of the software renderer: capture pixel o with alpha sa, drawn with colour
// alpha ca (colour bytes 255) over n.
uint32_t over(uint32_t n, uint32_t o, uint32_t ca, uint32_t sa) {
  if (sa == 0) return n;
  uint32_t m = (ca * sa) >> 8, out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t d = (n >> shift) & 255, s = (o >> shift) & 255;
    out |= ((d * (256 - m) + ((s * 255) >> 8) * m) >> 8) << shift;
  }
  return out;
}

class Transition : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    ASSERT_TRUE(screen_transition_create());
    saved_ = orv_render().read_file;
    orv_render().read_file = fake_read;
    g_files.clear();
    g_asked.clear();
    scene = OrvSpriteCreate(list, kW, kH, 0);
    OrvSpriteViewCtrl(scene, 1);
    paint_new();
    ASSERT_TRUE(render_frame_draw());
    N = frame();
    paint_old();
    ASSERT_TRUE(render_frame_draw());
    O = frame();
  }
  void TearDown() override {
    OrvInputClear();
    orv_render().read_file = saved_;
    screen_transition_destroy();
    RenderTest::TearDown();
  }
  void paint_old() {
    uint32_t* p = OrvSpriteLock(scene, nullptr, nullptr);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        p[y * kW + x] = 0xFF000000u | (x * 4) << 16 | (y * 5) << 8 | (x + y) * 2;
    OrvSpriteUnlock(scene);
  }
  void paint_new() { OrvSpritePaint(scene, nullptr, 0xFF804020); }
  Px frame() {
    Px f;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) f.push_back(pixel(x, y));
    return f;
  }
  // Starts a transition at time 0 over the old scene and puts the new scene in place.
  void start(int32_t type, int32_t duration, int32_t skippable = 0) {
    set_time(0);
    ASSERT_EQ(OrvEffectEx(type, duration, skippable, 0), 1);
    paint_new();
  }
  // Draws frames until the running transition is over and reset.
  void finish() {
    for (int i = 0; i < 4 && OrvEffectIs(); ++i) draw_at(g_now + 100000);
    ASSERT_EQ(OrvEffectIs(), 0);
    OrvInputClear();
    paint_old();
    draw_at(g_now + 16);
  }
  Px draw_at(uint32_t ms) {
    set_time(ms);
    EXPECT_TRUE(render_frame_draw());
    return frame();
  }
  // The new scene under a capture drawn with one alpha everywhere.
  Px expected(const Px& capture, uint32_t colour_alpha) {
    Px e(N.size());
    for (size_t i = 0; i < N.size(); ++i)
      e[i] = over(N[i], capture[i], colour_alpha, capture[i] >> 24);
    return e;
  }

  OrvHandle scene = 0;
  Px N, O;
  FileReader saved_ = nullptr;
};

TEST_F(Transition, FadeGoldenFrames) {
  start(1, 1000);
  EXPECT_EQ(OrvEffectIs(), 1);
  // alpha trunc((1 - e / 1000) x 255)
  EXPECT_EQ(draw_at(0), expected(O, 255));
  EXPECT_EQ(draw_at(250), expected(O, 191));
  EXPECT_EQ(draw_at(500), expected(O, 127));
  EXPECT_EQ(draw_at(1000), N);
  EXPECT_EQ(OrvEffectIs(), 1);  // the last picture was shown; the record resets next frame
  EXPECT_EQ(draw_at(1016), N);
  EXPECT_EQ(OrvEffectIs(), 0);
}

TEST_F(Transition, WhiteBoxAndSoftFade) {
  // The first frame starts the clock.
  start(5, 1000);
  EXPECT_EQ(draw_at(0), N);
  EXPECT_EQ(draw_at(250), expected(Px(N.size(), 0xFFFFFFFF), 63));
  finish();

  start(3, 1000);
  EXPECT_EQ(draw_at(0), expected(O, 255));
  // Half way: a 32 x 24 box of the capture at (16, 12).
  Px want = N;
  for (int y = 12; y < 36; ++y)
    for (int x = 16; x < 48; ++x) want[y * kW + x] = over(N[y * kW + x], O[y * kW + x], 255, 255);
  EXPECT_EQ(draw_at(500), want);
  EXPECT_EQ(draw_at(1000), N);
  finish();

  start(2, 1000);
  Px soft = O;
  Filter3x3(soft.data(), kW, kH, kW);
  EXPECT_EQ(draw_at(0), expected(soft, 255));
  Filter3x3(soft.data(), kW, kH, kW);  // once more every frame
  EXPECT_EQ(draw_at(500), expected(soft, 127));
}

TEST_F(Transition, MosaicBlocksAndRecapture) {
  EXPECT_EQ(mosaic_block(0.0), 1);
  EXPECT_EQ(mosaic_block(0.5), 129);
  EXPECT_EQ(mosaic_block(1.0), 1);
  start(6, 1000);
  EXPECT_EQ(draw_at(0), expected(O, 255));  // block 1
  // e = 8: k = 2, h = trunc((1 - sin(2 pi / 256)) x 255) = 248, block 5. The capture is scaled
  // down by 1/5 (columns 5x) and back up by 5 with 7-bit steps of 25 (column (25 x) >> 7);
  // the 60 x 45 pixels written cover the rest, which keeps the capture.
  Px cap = O;
  for (int y = 0; y < 45; ++y)
    for (int x = 0; x < 60; ++x)
      cap[y * kW + x] = O[(5 * ((25 * y) >> 7)) * kW + 5 * ((25 * x) >> 7)];
  EXPECT_EQ(draw_at(8), expected(cap, 255));
  // Past half the new scene is captured; block 129 is wider than the screen: no pixelation.
  EXPECT_EQ(draw_at(600), expected(N, 255));
  EXPECT_EQ(draw_at(1000), expected(N, 255));
  draw_at(1016);
  EXPECT_EQ(OrvEffectIs(), 0);
}

TEST_F(Transition, MaskWipeThresholds) {
  const uint8_t m[8] = {0, 100, 128, 140, 159, 160, 200, 255};
  g_files["Mask\\Mask02.bmp"] = grey_bmp(8, 1, [&](int x, int) { return m[x]; });
  start(12, 1000);
  struct Step {
    uint32_t ms;
    uint32_t alpha[8];  // of the capture over the mask's pixels
  };
  const std::vector<Step> steps = {
      {0, {255, 255, 255, 255, 255, 255, 255, 0}},  // a = 255, c = 255
      {498, {255, 255, 248, 152, 0, 0, 0, 0}},      // a = 128, c = 159
      {1000, {248, 0, 0, 0, 0, 0, 0, 0}},           // a = 0, c = 31
  };
  for (const Step& s : steps) {
    Px cap = O;
    for (int x = 0; x < 8; ++x) cap[x] = (O[x] & 0xFFFFFF) | s.alpha[x] << 24;
    EXPECT_EQ(draw_at(s.ms), expected(cap, 255)) << s.ms;
  }
  EXPECT_EQ(g_asked, (std::vector<std::string>{"Mask\\Mask02.bmp"}));
}

TEST_F(Transition, MaskSearchOrderSizesAndBadMasks) {
  // Only a TGA: the four names are tried in order. A mask larger than the screen pairs pixels
  // by place and writes nothing past the capture.
  std::string tga;
  le(tga, 0, 2);
  tga.push_back(3);  // grey
  tga.append(9, '\0');
  le(tga, kW + 7, 2);
  le(tga, kH + 3, 2);
  tga.push_back(8);
  tga.push_back(0);
  tga.append(size_t(kW + 7) * (kH + 3), '\0');  // all 0: full alpha while a > 0
  g_files["Mask\\Mask05.tga"] = tga;
  start(15, 100);
  EXPECT_EQ(draw_at(0), expected(O, 255));
  EXPECT_EQ(g_asked, (std::vector<std::string>{"Mask\\Mask05.bmp", "Mask\\Mask05.png",
                                               "Mask\\Mask05.vkx", "Mask\\Mask05.tga"}));

  // Missing and undecodable masks end the transition on its first frame, drawing nothing.
  g_files["Mask\\Mask07.bmp"] = "BM not a picture";
  finish();
  for (int32_t type : {16, 17}) {
    start(type, 1000);
    EXPECT_EQ(draw_at(10), N) << type;
    EXPECT_EQ(OrvEffectIs(), 1);
    draw_at(20);
    EXPECT_EQ(OrvEffectIs(), 0) << type;
    finish();
  }
}

TEST_F(Transition, VkxMaskIsItsBaseWithTheDifference) {
  g_files["base.bmp"] = grey_bmp(2, 1, [](int, int) { return 0; });
  gewriter::VkxOptions o;
  o.base_name = "base.bmp";
  o.bits = 24;
  g_files["Mask\\Mask00.vkx"] = gewriter::vkx_write(2, 1, {0x000000, 0xFFFFFF}, o);
  start(10, 1000);
  Px cap = O;
  cap[1] = O[1] & 0xFFFFFF;  // the mask's 255 hides the capture at a = 255
  EXPECT_EQ(draw_at(0), expected(cap, 255));
}

TEST_F(Transition, StartRules) {
  EXPECT_EQ(OrvEffectEx(0, 100, 0, 0), 1);
  EXPECT_EQ(OrvEffectIs(), 0);
  EXPECT_EQ(OrvEffectEx(100, 100, 0, 0), 0);
  EXPECT_EQ(OrvEffectEx(-1, 100, 0, 0), 0);
  EXPECT_EQ(OrvEffect(1, 100), 1);
  EXPECT_EQ(OrvEffectEx(1, 100, 0, 0), 0);  // one at a time
  finish();
  OrvEffectEnable(0);
  EXPECT_EQ(OrvEffectEnableIs(), 0);
  EXPECT_EQ(OrvEffectEx(1, 100, 0, 0), 1);
  EXPECT_EQ(OrvEffectIs(), 0);
  OrvEffectEnable(1);
  EXPECT_EQ(OrvEffectEnableIs(), 1);
  // Types without a picture end on the next frame.
  for (int32_t type : {4, 7, 8, 9}) {
    ASSERT_EQ(OrvEffectEx(type, 1000, 0, 0), 1);
    EXPECT_EQ(OrvEffectIs(), 1);
    draw_at(300);
    EXPECT_EQ(OrvEffectIs(), 0) << type;
  }
}

TEST_F(Transition, DurationZeroShowsTheFinalPicture) {
  for (int32_t type : {1, 2, 3, 5, 6}) {
    start(type, 0);
    Px f = draw_at(0);
    if (type == 5) {
      EXPECT_EQ(f, expected(Px(N.size(), 0xFFFFFFFF), 255)) << type;
    } else if (type == 6) {
      EXPECT_EQ(f, expected(N, 255)) << type;  // recaptured
    } else {
      EXPECT_EQ(f, N) << type;
    }
    draw_at(16);
    EXPECT_EQ(OrvEffectIs(), 0) << type;
    finish();
  }
}

TEST_F(Transition, SkipBitsEndASkippableTransition) {
  for (uint32_t bit : {0x2u, 0x4u, 0x800000u}) {
    start(1, 1000, 1);
    draw_at(0);
    EXPECT_EQ(draw_at(10), expected(O, 252));
    OrvInputSetKeyPush(bit);
    EXPECT_EQ(draw_at(20), N) << bit;
    OrvInputClear();
    draw_at(30);
    EXPECT_EQ(OrvEffectIs(), 0) << bit;
    finish();
  }
  OrvInputSetKeyPush(0x1);  // not a skip bit
  start(1, 1000, 1);
  EXPECT_EQ(draw_at(0), expected(O, 255));
  finish();
  start(1, 1000, 0);
  OrvInputSetKeyPush(0x800006);
  EXPECT_EQ(draw_at(0), expected(O, 255));  // not skippable
  OrvInputClear();
  EXPECT_EQ(OrvEffectEx(1, 1000, 1, 0), 0);  // refused: one still runs
  EXPECT_EQ(OrvEffectIs(), 1);
}

TEST_F(Transition, WindowModeChangeEndsItAtTheNextStep) {
  start(1, 100000);
  draw_at(10);
  screen_transition_mode_changed();
  EXPECT_EQ(draw_at(20), N);
  draw_at(30);
  EXPECT_EQ(OrvEffectIs(), 0);
}

// A waiting transition holds the tasks after the one that started it until it is over.
TEST_F(Transition, WaitTaskIsFreedWithTheReset) {
  ASSERT_TRUE(task_scheduler_create());
  static int32_t runs = 0;
  runs = 0;
  void* data = nullptr;
  OrvTaskCreate(
      [](void*) {
        if (runs++ == 0) OrvEffectEx(7, 0, 0, 1);
      },
      nullptr, 4, &data, kTaskLinkAfter, 0, "starter");
  TaskTreeRun();
  ScreenTransition* t = screen_transition();
  ASSERT_NE(t->wait_task, 0u);
  OrvHandle wait = t->wait_task;
  EXPECT_NE(OrvTaskGetState(wait), 0);
  draw_at(16);
  EXPECT_EQ(t->wait_task, 0u);
  EXPECT_EQ(OrvEffectIs(), 0);
  task_scheduler_destroy();
}

}  // namespace
}  // namespace rendertest
