// The GL peer's targets in a started library: their sizes from the game size, and their rebuild
// when the window's mode, size or aspect changes (or power-of-two storage is asked for) while
// frames run. The test thread is both the window thread (it makes the changes) and the game
// thread (it draws the frames, with the window's context current).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orv/core/window/process.h"
#include "Orv/core/window/window_geometry.h"
#include "Orv/render/gl/gl_renderer.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"
#include "platform/gl_context.h"
#include "platform/window.h"
#include "support/gl_available.h"

namespace {

using testsupport::gl_available;

int32_t start_never_called() {
  return 0;
}

// The library started on GL for a game of w x h in a window of the same size, its context
// current here, frames allowed to change the window, and an active render list.
class GlStarted : public ::testing::Test {
 protected:
  void start(int32_t w, int32_t h) {
    if (!gl_available()) GTEST_SKIP() << "no GL 3.3 core context";
    StartParams params;
    OrvDefaultCreate(&params);
    params.client_width = params.screen_width = w;
    params.client_height = params.screen_height = h;
    params.start_func = &start_never_called;
    params.full_screen = 0;
    params.display_flags = 0x440B;  // GL, without the effect library
    ASSERT_EQ(OrvInit(&params), 1);
    started_ = true;
    ASSERT_NE(Orv3DIs(), 0u);
    ASSERT_TRUE(platform::gl_context_make_current(orv_process().gl_context, nullptr));
    orv_process().running = true;  // as under OrvRun, where mode changes are carried out
    list_ = OrvRenderInit();
    OrvRenderSetActive(list_);
  }
  void TearDown() override {
    if (!started_) return;
    OrvSetPow(0);
    OrvRenderUninit(list_);
    orv_process().running = false;
    platform::gl_context_release(orv_process().gl_context);
    EXPECT_EQ(OrvUninit(), 1);
  }
  // Draws a frame and reads it; then draws the (empty) target list, so that the temporary
  // target is made.
  std::vector<uint32_t> frame() {
    EXPECT_TRUE(render_frame_draw());
    BackBufferView v = render_back_buffer();
    std::vector<uint32_t> out(v.pixels, v.pixels + static_cast<size_t>(v.width) * v.height);
    OrvTargetRenderListClear();
    EXPECT_EQ(OrvTargetRenderListDraw(), 1);
    return out;
  }
  bool started_ = false;
  OrvHandle list_ = 0;
};

std::vector<uint32_t> picture(int32_t w, int32_t h, bool opaque) {
  std::vector<uint32_t> px(static_cast<size_t>(w) * h);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint32_t a = opaque ? 255u : static_cast<uint32_t>(40 + (x * 3 + y * 5) % 200);
      px[static_cast<size_t>(y) * w + x] = a << 24 | static_cast<uint32_t>(x * 7 + y * 13) << 4;
    }
  }
  return px;
}

TEST_F(GlStarted, TargetsTakeTheSquareAndTemporarySides) {
  struct Case {
    int32_t w, h;
    bool pow2;
    int32_t square, temp;
  };
  const Case cases[] = {{1280, 720, false, 1280, 2048},
                        {1280, 720, true, 2048, 2048},
                        {800, 600, false, 800, 1024},
                        {800, 600, true, 1024, 1024}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << (c.pow2 ? " pow2" : ""));
    start(c.w, c.h);
    if (IsSkipped()) return;
    OrvSetPow(c.pow2 ? 1 : 0);
    std::vector<uint32_t> bg = picture(c.w, c.h, true);
    OrvHandle s = sprite_create_from_bgra(list_, c.w, c.h, bg.data(), c.w, 0);
    OrvSpriteViewCtrl(s, 1);
    std::vector<uint32_t> shown = frame();
    GlRendererFacts facts = gl_renderer_facts();
    EXPECT_EQ(facts.game_target_w, c.square);
    EXPECT_EQ(facts.game_target_h, c.square);
    EXPECT_EQ(facts.temp_target_w, c.temp);
    EXPECT_EQ(facts.temp_target_h, c.temp);
    // The raster grid covers the square: a vertex every 16 pixels and one beyond.
    EXPECT_EQ(facts.grid_columns, (c.square >> 4) + 2);
    // Read back at the game size, the picture is where it was drawn (an opaque texel keeps
    // 254/256 of itself over the black frame).
    ASSERT_EQ(shown.size(), bg.size());
    for (size_t i : {size_t{0}, bg.size() / 2 + 17, bg.size() - 1}) {
      for (int sh = 0; sh < 24; sh += 8) {
        const int d =
            static_cast<int>((bg[i] >> sh) & 255) - static_cast<int>((shown[i] >> sh) & 255);
        EXPECT_TRUE(d >= 0 && d <= 3) << i << " " << std::hex << shown[i] << " " << bg[i];
      }
    }
    TearDown();
    started_ = false;
  }
}

// Window mode, size and aspect changes (and power-of-two storage) between frames and in the
// middle of one: each is carried out before the next frame draws, the targets are made again,
// the images and their textures stay (nothing is uploaded again) and the picture is the same.
TEST_F(GlStarted, ModeSizeAndAspectChangesRebuildTargetsAndKeepImages) {
  start(640, 360);
  if (IsSkipped()) return;
  const std::vector<uint32_t> bg = picture(640, 360, true), figure = picture(200, 300, false);
  OrvHandle a = sprite_create_from_bgra(list_, 640, 360, bg.data(), 640, 0);
  OrvHandle b = sprite_create_from_bgra(list_, 200, 300, figure.data(), 200, 0);
  OrvSpriteSetPos(b, 220, 30, 0);
  OrvSpriteViewCtrl(a, 1);
  OrvSpriteViewCtrl(b, 1);
  const std::vector<uint32_t> first = frame();
  ASSERT_EQ(gl_renderer_facts().game_target_w, 640);
  gl_renderer_reset_stats();

  struct Change {
    const char* what;
    int32_t (*apply)();
    int32_t square;  // the game target's side afterwards
  };
  const Change changes[] = {
      {"to full screen", [] { return geometry_change_mode(1); }, 640},
      {"aspect mode 2", [] { return geometry_change_aspect(2); }, 640},
      {"aspect mode 3", [] { return geometry_change_aspect(3); }, 640},
      {"back to a window", [] { return geometry_change_mode(0); }, 640},
      {"window size", [] { return geometry_change_size(960, 540); }, 640},
      {"power-of-two storage",
       [] {
         OrvSetPow(1);
         return 1;
       },
       1024},
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(c.what);
    const uint32_t before = gl_renderer_facts().rebuilds;
    ASSERT_EQ(c.apply(), 1);
    // Nothing is rebuilt outside the game thread's frame.
    EXPECT_EQ(gl_renderer_facts().rebuilds, before);
    EXPECT_EQ(frame(), first);
    GlRendererFacts facts = gl_renderer_facts();
    EXPECT_EQ(facts.rebuilds, before + 1);
    EXPECT_EQ(facts.game_target_w, c.square);
    EXPECT_EQ(facts.temp_target_w, 1024);
    // A frame without a change rebuilds nothing.
    EXPECT_EQ(frame(), first);
    EXPECT_EQ(gl_renderer_facts().rebuilds, before + 1);
  }
  EXPECT_EQ(gl_renderer_stats().uploads, 0u);

  // A change that arrives while the target list is drawn waits for the frame after it.
  const uint32_t before = gl_renderer_facts().rebuilds;
  OrvTargetRenderListClear();
  OrvTargetRenderListAdd(static_cast<uintptr_t>(b));
  geometry_change_aspect(1);
  EXPECT_EQ(OrvTargetRenderListDraw(), 1);
  EXPECT_EQ(gl_renderer_facts().rebuilds, before);
  EXPECT_EQ(frame(), first);
  EXPECT_EQ(gl_renderer_facts().rebuilds, before + 1);
}

}  // namespace
