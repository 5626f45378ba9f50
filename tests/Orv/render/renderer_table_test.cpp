// The frame draw and the draw callbacks reach the renderer only through its table: a table
// that records its calls, chosen at init in place of the software one, sees every step of a
// frame drawn through the render list, and the software back buffer is never touched.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "Orv/core_record.h"
#include "Orv/render/fx_blend.h"
#include "Orv/render/image_store.h"
#include "Orv/render/render_list.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"
#include "platform/clock.h"

namespace {

struct Recording {
  std::vector<std::string> calls;
  std::vector<DrawRequest> sprites;
  DrawRequest fade_in, fade_out;
  float fade_t = -1;
  FxResult effect;
  uint32_t cleared = 0;
  RendererSetup setup;
  bool present_ok = true;
  uint32_t frame[4] = {0xFF112233u, 0xFF445566u, 0xFF778899u, 0xFFAABBCCu};  // 2 x 2
};
Recording g_rec;

uint32_t g_now = 0;
uint32_t fake_clock() {
  return g_now;
}

const Renderer kRecorder{
    .name = "recorder",
    .open =
        [](const RendererSetup& s) {
          g_rec.calls.push_back("open");
          g_rec.setup = s;
          return true;
        },
    .close = [] { g_rec.calls.push_back("close"); },
    .caps =
        [] {
          return RendererCaps{2048, true, 64u << 20, true};
        },
    .clear =
        [](uint32_t argb) {
          g_rec.calls.push_back("clear");
          g_rec.cleared = argb;
        },
    .draw_sprite =
        [](const DrawRequest& r) {
          g_rec.calls.push_back("sprite");
          g_rec.sprites.push_back(r);
          return int32_t{1};
        },
    .draw_crossfade =
        [](const DrawRequest& in, const DrawRequest& out, float t) {
          g_rec.calls.push_back("crossfade");
          g_rec.fade_in = in;
          g_rec.fade_out = out;
          g_rec.fade_t = t;
          return int32_t{1};
        },
    .draw_effect =
        [](const FxResult& fx) {
          g_rec.calls.push_back("effect");
          g_rec.effect = fx;
        },
    .read_back =
        [] {
          g_rec.calls.push_back("read_back");
          return BackBufferView{g_rec.frame, 2, 2, false};
        },
    .present =
        [](PresentFn sink) {
          g_rec.calls.push_back(sink ? "present+sink" : "present");
          return g_rec.present_ok;
        },
};

class RendererTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_rec = Recording{};
    g_now = 0;
    platform::set_clock_source(fake_clock);
    OrvUpdateTime();
    RenderParams params;
    params.game_width = 64;
    params.game_height = 48;
    params.device_flags = 1;
    params.display_flags = kDisplayFlagDirect3D | 0x2;
    params.gl = &kRecorder;
    bool ok = false;
    EXPECT_EQ(render_system_init(params, &ok), kDisplayFlagDirect3D | 0x2);
    ASSERT_TRUE(ok);
    orv_core().alive = true;
    orv_core().render.clear_color = 0xFF102030u;
    list = OrvRenderInit();
    ASSERT_NE(list, 0u);
    OrvRenderSetActive(list);
  }
  void TearDown() override {
    sprite_release_all();
    OrvRenderUninit(list);
    render_system_uninit();
    orv_core().alive = false;
    platform::set_clock_source(nullptr);
  }
  OrvHandle sprite(int32_t w, int32_t h, float x, float y, int32_t priority) {
    OrvHandle s = OrvSpriteCreate(list, w, h, priority);
    EXPECT_NE(s, 0u);
    OrvSpriteSetPos(s, x, y, 0);
    OrvSpriteViewCtrl(s, 1);
    return s;
  }
  OrvHandle list = 0;
};

// A GL peer that cannot start (its programs refused, no target).
const Renderer kRefuser{.name = "refuser", .open = [](const RendererSetup&) { return false; }};

TEST_F(RendererTableTest, TheDisplayFlagsChooseThePeerOnceAtInit) {
  EXPECT_EQ(render_renderer()->name, std::string("recorder"));
  EXPECT_EQ(g_rec.setup.game_width, 64);
  EXPECT_EQ(g_rec.setup.game_height, 48);
  EXPECT_EQ(g_rec.setup.device_flags, 1u);
  EXPECT_EQ(render_renderer()->caps().max_texture_side, 2048);

  struct Case {
    uint32_t flags;
    const Renderer* gl;
    const char* peer;
    uint32_t in_effect;
  };
  const Case cases[] = {
      {kDisplayFlagDirect3D, &kRecorder, "recorder", kDisplayFlagDirect3D},
      {0, &kRecorder, "software", 0},                            // GL not asked for
      {kDisplayFlagDirect3D | 0x2, nullptr, "software", 0x2},    // asked for, no GL peer
      {kDisplayFlagDirect3D | 0x2, &kRefuser, "software", 0x2},  // the GL peer fails to open
  };
  for (const Case& c : cases) {
    RenderParams params;
    params.game_width = 64;
    params.game_height = 48;
    params.display_flags = c.flags;
    params.gl = c.gl;
    bool ok = false;
    EXPECT_EQ(render_system_init(params, &ok), c.in_effect) << c.peer;
    ASSERT_TRUE(ok);
    EXPECT_EQ(render_renderer()->name, std::string(c.peer));
  }
  // The software peer keeps no textures and has no radial blur.
  EXPECT_EQ(render_renderer()->caps().max_texture_side, 0);
  EXPECT_FALSE(render_renderer()->caps().radial_blur);
  render_system_uninit();
  EXPECT_EQ(render_renderer(), nullptr);
  EXPECT_EQ(render_back_buffer().pixels, nullptr);
}

TEST_F(RendererTableTest, AFrameOfTheRenderListIsDrawnThroughTheTable) {
  OrvHandle back = sprite(16, 8, 3.75f, 5.0f, 10);
  OrvSpriteSetColor(back, 0x80FF0000u);
  OrvSpriteSetRenderMode(back, 2);
  OrvSpriteSetOffsetPos(back, 1, 2);
  OrvSpriteSetRotateFloat(back, 90.9f);
  OrvSpriteSetScale(back, 2.0f, 0.5f);
  OrvHandle in = sprite(8, 8, 20, 20, 5);
  OrvHandle out = sprite(8, 8, 30, 20, 5);
  OrvHandle fade = OrvSpriteCreateTransitionHandle();
  ASSERT_TRUE(OrvSpriteSetTransition(list, in, out, 1, 0, 1000, fade));
  uint32_t block[3] = {1000, 0, 0};
  float amp = 3.0f;
  std::memcpy(&block[1], &amp, 4);
  int32_t in_front = -100;
  ASSERT_EQ(OrvSetFxEffect(&in_front, kFxFullScreen, 1, 0, block), 1);
  RenderState& st = orv_core().render;
  st.present = [](const uint32_t*, int32_t, int32_t) { return true; };

  g_now = 250;
  OrvUpdateTime();
  ASSERT_TRUE(render_frame_draw());

  // Back to front: the clear, the sprite (key 10), the pair in place of its two sprites
  // (key 5), the full-screen blend (key -100), then the present to the window's sink.
  const std::vector<std::string> want = {"open",      "clear",  "sprite",
                                         "crossfade", "effect", "present+sink"};
  EXPECT_EQ(g_rec.calls, want);
  EXPECT_EQ(g_rec.cleared, 0xFF102030u);
  ASSERT_EQ(g_rec.sprites.size(), 1u);
  const DrawRequest& r = g_rec.sprites[0];
  EXPECT_EQ(r.x, 4);  // trunc(3.75) + 1
  EXPECT_EQ(r.y, 7);
  EXPECT_EQ(r.rotation, 90);
  EXPECT_EQ(r.scale_x, 2.0f);
  EXPECT_EQ(r.scale_y, 0.5f);
  EXPECT_EQ(r.color, 0x80FF0000u);
  EXPECT_EQ(r.render_mode, 2);
  EXPECT_EQ(r.rect.right, 16);
  EXPECT_EQ(r.rect.bottom, 8);
  EXPECT_NE(r.image, nullptr);
  EXPECT_EQ(r.fx, nullptr);
  EXPECT_EQ(g_rec.fade_t, 0.25f);
  EXPECT_EQ(g_rec.fade_in.x, 20);
  EXPECT_EQ(g_rec.fade_out.x, 30);
  EXPECT_EQ(g_rec.effect.effect, 1);
  EXPECT_EQ(g_rec.effect.amplitude1, 3.0f);

  // Thumbnails read the frame back through the table.
  uint32_t thumb[4] = {};
  g_rec.calls.clear();
  ASSERT_EQ(OrvThumbnailCreate(thumb, sizeof thumb, 2, 2), 1);
  EXPECT_EQ(g_rec.calls, std::vector<std::string>{"read_back"});
  EXPECT_EQ(std::memcmp(thumb, g_rec.frame, sizeof thumb), 0);

  // A failed present stops the frames until the display is restored.
  g_rec.present_ok = false;
  EXPECT_TRUE(render_frame_draw());
  g_rec.calls.clear();
  EXPECT_FALSE(render_frame_draw());
  EXPECT_TRUE(g_rec.calls.empty());
  render_present_restored();
  g_rec.present_ok = true;
  EXPECT_TRUE(render_frame_draw());
  EXPECT_EQ(g_rec.calls.front(), "clear");

  st.present = nullptr;
  OrvReleaseFxEffect(nullptr, kFxFullScreen);
  OrvSpriteReleaseTransitionHandle(fade);
}

// OrvSetPow asks the GPU peer for power-of-two storage; the software peer keeps images at
// their own size.
TEST_F(RendererTableTest, SetPowRoundsStorageOnlyForTheGpuPeer) {
  auto storage = [](int32_t w, int32_t h) {
    ImageObject* image = image_create(w, h, nullptr);
    int32_t pitch = 0, rows = 0;
    image_pixels(image, &pitch, &rows);
    image_release(image);
    return std::make_pair(pitch, rows);
  };
  OrvSetPow(1);
  EXPECT_EQ(storage(100, 50), std::make_pair(128, 64));
  OrvSetPow(0);
  EXPECT_EQ(storage(100, 50), std::make_pair(100, 50));

  RenderParams params;
  params.game_width = 64;
  params.game_height = 48;
  ASSERT_EQ(render_system_init(params, nullptr), 0u);  // the software peer
  OrvSetPow(1);
  EXPECT_EQ(storage(100, 50), std::make_pair(100, 50));
}

}  // namespace
