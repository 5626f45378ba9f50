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
#include "Orv/render/render_state.h"
#include "Orv/render/transition/screen_transition.h"
#include "platform/gl_context.h"
#include "platform/window.h"
#include "support/render_fixture.h"

namespace rendertest {
namespace {

constexpr int32_t kW = 64, kH = 48;
using Px = std::vector<uint32_t>;

platform::GlContext* context() {
  static platform::GlContext* c = [] {
    std::string error;
    if (!platform::video_init(&error)) return static_cast<platform::GlContext*>(nullptr);
    return platform::gl_context_create_hidden(kW, kH, &error);
  }();
  return c;
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

// The frames of transition `type` over 1000 ms at `times`, drawn by GL or in software.
std::vector<Px> run(bool gl, int32_t type, const std::vector<uint32_t>& times) {
  if (gl) {
    EXPECT_TRUE(platform::gl_context_make_current(context(), nullptr));
    gl_renderer_use_context(context());
  }
  RenderParams params;
  params.game_width = params.window_width = kW;
  params.game_height = params.window_height = kH;
  params.display_flags = gl ? kDisplayFlagDirect3D : 0;
  params.gl = gl ? &gl_renderer() : nullptr;
  bool ok = false;
  render_system_init(params, &ok);
  EXPECT_TRUE(ok);
  orv_core().alive = true;
  orv_core().render.clear_color = 0xFF000000u;
  platform::set_clock_source(fake_clock);
  set_time(0);
  OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  EXPECT_TRUE(screen_transition_create());
  FileReader saved = orv_render().read_file;
  orv_render().read_file = read_mask;
  OrvHandle scene = OrvSpriteCreate(list, kW, kH, 0);
  OrvSpriteViewCtrl(scene, 1);
  uint32_t* p = OrvSpriteLock(scene, nullptr, nullptr);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      p[y * kW + x] = 0xFF000000u | (x * 4) << 16 | (y * 5) << 8 | (x + y) * 2;
  OrvSpriteUnlock(scene);
  EXPECT_TRUE(render_frame_draw());
  EXPECT_EQ(OrvEffectEx(type, 1000, 0, 0), 1);
  OrvSpritePaint(scene, nullptr, 0xFF804020u);
  std::vector<Px> frames;
  for (uint32_t t : times) {
    set_time(t);
    EXPECT_TRUE(render_frame_draw());
    frames.push_back(frame());
  }
  orv_render().read_file = saved;
  screen_transition_destroy();
  sprite_release_all();
  OrvRenderUninit(list);
  render_system_uninit();
  orv_core().alive = false;
  platform::set_clock_source(nullptr);
  if (gl) gl_renderer_use_context(nullptr);
  return frames;
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
  // Each renderer captures its own frame (already up to 1 apart) and blends the capture over
  // the new scene with its own rounding (GL rounds to nearest, software truncates): a
  // half-way blend may come out 3 apart.
  constexpr int kTolerance = 3;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Px> sw = run(false, c.type, times);
    std::vector<Px> gl = run(true, c.type, times);
    ASSERT_EQ(sw.size(), gl.size());
    for (size_t f = 0; f < sw.size(); ++f) {
      SCOPED_TRACE(testing::Message() << "at " << times[f] << " ms");
      ASSERT_EQ(sw[f].size(), gl[f].size());
      int differing = 0;
      for (size_t i = 0; i < sw[f].size(); ++i) {
        for (int sh = 0; sh < 24; sh += 8) {
          int d =
              static_cast<int>((sw[f][i] >> sh) & 255) - static_cast<int>((gl[f][i] >> sh) & 255);
          if (d > kTolerance || d < -kTolerance) {
            ++differing;
            break;
          }
        }
      }
      int worst = 0;
      for (size_t i = 0; i < sw[f].size(); ++i)
        for (int sh = 0; sh < 24; sh += 8)
          worst = std::max(worst, std::abs(static_cast<int>((sw[f][i] >> sh) & 255) -
                                           static_cast<int>((gl[f][i] >> sh) & 255)));
      EXPECT_EQ(differing, 0) << "worst " << worst;
    }
  }
}

}  // namespace
}  // namespace rendertest
