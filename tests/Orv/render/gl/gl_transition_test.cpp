// Screen transitions drawn by the GL renderer against the software renderer: the same scene,
// the same transition and the same frame times give frames within 3 per channel (fade, soft
// fade, box, white, mosaic with its recapture, a mask wipe).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "Orv/render/gl/gl_renderer.h"
#include "Orv/render/image_store.h"
#include "Orv/render/render_state.h"
#include "Orv/render/transition/screen_transition.h"
#include "platform/gl_context.h"
#include "platform/window.h"
#include "support/gl_available.h"
#include "support/render_fixture.h"

namespace rendertest {
namespace {

constexpr int32_t kW = 64, kH = 48;
using Px = std::vector<uint32_t>;

platform::GlContext* context() {
  return testsupport::hidden_gl_context(kW, kH);
}

// A 16 x 1 grey BMP ramp, the mask of the wipe (rows bottom-up, 24-bit, padded).
std::string mask_bmp() {
  std::string s = "BM";
  auto le = [&s](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 255));
  };
  le(54 + 48, 4);
  le(0, 4);
  le(54, 4);
  le(40, 4);
  le(16, 4);
  le(1, 4);
  le(1, 2);
  le(24, 2);
  s.append(24, '\0');
  for (int x = 0; x < 16; ++x) s.append(3, static_cast<char>(x * 17));
  return s;
}

int32_t read_mask(const char* path, std::vector<uint8_t>* out, size_t) {
  if (std::string(path) != "Mask\\Mask02.bmp") return 0;
  std::string bmp = mask_bmp();
  out->assign(bmp.begin(), bmp.end());
  return 1;
}

Px frame() {
  BackBufferView v = render_back_buffer();
  return Px(v.pixels, v.pixels + static_cast<size_t>(v.width) * v.height);
}

// The game size and whether the GL peer is asked for power-of-two storage (OrvSetPow) after
// start; the software renderer does not take it.
struct Game {
  int32_t w = kW, h = kH;
  bool pow2 = false;
};

// The frames of transition `type` over 1000 ms at `times`, drawn by GL or in software; the
// effect surface's size the transition ran with in *surface.
std::vector<Px> run(bool gl, int32_t type, const std::vector<uint32_t>& times, Game game = {},
                    OrvRect* surface = nullptr) {
  const int32_t kW = game.w, kH = game.h;
  if (gl) {
    EXPECT_TRUE(platform::gl_context_make_current(context(), nullptr));
    gl_renderer_use_context(context());
  }
  bool ok = false;
  rendertest::render_system_start(kW, kH, gl ? &gl_renderer() : nullptr, &ok);
  EXPECT_TRUE(ok);
  orv_core().render.clear_color = 0xFF000000u;
  platform::set_clock_source(fake_clock);
  set_time(0);
  OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  EXPECT_TRUE(screen_transition_create());
  if (game.pow2) OrvSetPow(1);
  FileReader saved = orv_render().read_file;
  orv_render().read_file = read_mask;
  OrvHandle scene = OrvSpriteCreate(list, kW, kH, 0);
  OrvSpriteViewCtrl(scene, 1);
  int32_t pitch = 0;  // the storage's row (a power of two after OrvSetPow)
  uint32_t* p = OrvSpriteLock(scene, &pitch, nullptr);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      p[y * pitch + x] = 0xFF000000u | (x * 4) << 16 | (y * 5) << 8 | (x + y) * 2;
  OrvSpriteUnlock(scene);
  EXPECT_TRUE(render_frame_draw());
  EXPECT_EQ(OrvEffectEx(type, 1000, 0, 0), 1);
  if (surface) *surface = OrvRect{0, 0, screen_transition()->width, screen_transition()->height};
  OrvSpritePaint(scene, nullptr, 0xFF804020u);
  std::vector<Px> frames;
  for (uint32_t t : times) {
    set_time(t);
    EXPECT_TRUE(render_frame_draw());
    frames.push_back(frame());
  }
  orv_render().read_file = saved;
  image_store_set_pow2(false);
  screen_transition_destroy();
  sprite_release_all();
  OrvRenderUninit(list);
  render_system_uninit();
  orv_core().alive = false;
  platform::set_clock_source(nullptr);
  if (gl) gl_renderer_use_context(nullptr);
  return frames;
}

// Each renderer captures its own frame (already up to 1 apart) and blends the capture over the
// new scene with its own rounding (GL rounds to nearest, software truncates): a half-way blend
// may come out 3 apart.
void expect_frames_agree(const std::vector<Px>& sw, const std::vector<Px>& gl,
                         const std::vector<uint32_t>& times) {
  constexpr int kTolerance = 3;
  ASSERT_EQ(sw.size(), gl.size());
  for (size_t f = 0; f < sw.size(); ++f) {
    SCOPED_TRACE(testing::Message() << "at " << times[f] << " ms");
    ASSERT_EQ(sw[f].size(), gl[f].size());
    int differing = 0, worst = 0;
    for (size_t i = 0; i < sw[f].size(); ++i) {
      bool bad = false;
      for (int sh = 0; sh < 24; sh += 8) {
        int d = std::abs(static_cast<int>((sw[f][i] >> sh) & 255) -
                         static_cast<int>((gl[f][i] >> sh) & 255));
        worst = std::max(worst, d);
        bad = bad || d > kTolerance;
      }
      differing += bad ? 1 : 0;
    }
    EXPECT_EQ(differing, 0) << "worst " << worst;
  }
}

TEST(GlTransition, FramesMatchTheSoftwareRenderer) {
  if (!context()) GTEST_SKIP() << "no GL 3.3 core context";
  struct Case {
    const char* what;
    int32_t type;
  };
  const Case cases[] = {{"fade", 1},  {"soft fade", 2}, {"box", 3},
                        {"white", 5}, {"mosaic", 6},    {"mask wipe", 12}};
  const std::vector<uint32_t> times = {0, 8, 250, 500, 600, 1000, 1016};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    expect_frames_agree(run(false, c.type, times), run(true, c.type, times), times);
  }
}

// With power-of-two storage the GL peer's effect surface (the capture) takes power-of-two
// sides, the game picture in its top-left corner: the capture, its redraw, the soft fade's
// softening, the box, the mosaic with its recapture and the mask wipe still show what the
// software renderer shows at the game's own size. (At 60 x 40 the mosaic's blocks at these
// times divide the picture evenly, so the larger surface adds no partial block of its own.)
TEST(GlTransition, PowerOfTwoEffectSurfaceShowsTheSameFrames) {
  if (!context()) GTEST_SKIP() << "no GL 3.3 core context";
  const std::vector<uint32_t> times = {0, 8, 250, 500, 600, 1000, 1016};
  const Game game{60, 40, true};
  for (int32_t type : {1, 2, 3, 5, 6, 12}) {
    SCOPED_TRACE(type);
    OrvRect sw_surface{}, gl_surface{};
    std::vector<Px> sw = run(false, type, times, game, &sw_surface);
    std::vector<Px> gl = run(true, type, times, game, &gl_surface);
    EXPECT_EQ(sw_surface.right, 60);
    EXPECT_EQ(sw_surface.bottom, 40);
    EXPECT_EQ(gl_surface.right, 64);
    EXPECT_EQ(gl_surface.bottom, 64);
    expect_frames_agree(sw, gl, times);
  }
}

}  // namespace
}  // namespace rendertest
