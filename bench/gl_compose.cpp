// Frames per second of a typical 1280x720 scene (opaque background, three translucent
// 600x720 sprites, a translucent 1240x220 text window) drawn by the GL renderer and by the
// software renderer in the same run, each frame read back (and, for GL, also only presented); with
// the GL side's texture uploads and draw calls per frame. Runs under SDL's offscreen driver (set
// here when SDL_VIDEODRIVER is unset); without a GL 3.3 core context it prints the software figure
// only.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Orv/render/gl/gl_renderer.h"
#include "Orv/render/render_list.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"
#include "platform/gl_context.h"
#include "platform/window.h"

namespace {

constexpr int32_t kW = 1280, kH = 720;

struct Layer {
  int32_t x, y, w, h;
  bool opaque;
};

const std::vector<Layer> kTypical = {{0, 0, kW, kH, true},
                                     {0, 0, 600, 720, false},
                                     {340, 0, 600, 720, false},
                                     {680, 0, 600, 720, false},
                                     {20, 490, 1240, 220, false}};

std::vector<uint32_t> picture(const Layer& l, uint32_t seed) {
  std::vector<uint32_t> px(static_cast<size_t>(l.w) * l.h);
  for (int32_t y = 0; y < l.h; ++y) {
    for (int32_t x = 0; x < l.w; ++x) {
      uint32_t a = l.opaque ? 255u : 32u + static_cast<uint32_t>((x + y) % 192);
      uint32_t rgb = (seed * 2654435761u + static_cast<uint32_t>(x * 7 + y * 13)) & 0xFFFFFFu;
      px[static_cast<size_t>(y) * l.w + x] = a << 24 | rgb;
    }
  }
  return px;
}

// Frames per second over about `seconds`, after a few frames of warm-up.
double measure(const Renderer* gl, double seconds, bool read_back, GlRendererStats* per_frame) {
  RenderParams params;
  params.game_width = params.window_width = kW;
  params.game_height = params.window_height = kH;
  params.display_flags = gl ? kDisplayFlagDirect3D : 0;
  params.gl = gl;
  bool ok = false;
  render_system_init(params, &ok);
  if (!ok) return 0;
  OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  uint32_t seed = 1;
  for (const Layer& l : kTypical) {
    std::vector<uint32_t> px = picture(l, seed++);
    OrvHandle s = sprite_create_from_bgra(list, l.w, l.h, px.data(), l.w, 0);
    OrvSpriteSetPos(s, static_cast<float>(l.x), static_cast<float>(l.y), 0);
    OrvSpriteViewCtrl(s, 1);
  }
  for (int i = 0; i < 5; ++i) {
    render_frame_draw();
    render_back_buffer();
  }
  if (gl) gl_renderer_reset_stats();
  using Clock = std::chrono::steady_clock;
  auto start = Clock::now();
  int frames = 0;
  double elapsed = 0;
  do {
    render_frame_draw();
    if (read_back) {
      volatile uint32_t sink = render_back_buffer().pixels[0];
      (void)sink;
    }
    ++frames;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  } while (elapsed < seconds);
  if (gl && per_frame) {
    GlRendererStats s = gl_renderer_stats();
    per_frame->uploads = s.uploads / static_cast<uint64_t>(frames);
    per_frame->draws = s.draws / static_cast<uint64_t>(frames);
  }
  OrvRenderUninit(list);
  render_system_uninit();
  return frames / elapsed;
}

}  // namespace

int main() {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  double sw = measure(nullptr, 2.0, true, nullptr);
  std::printf("software: %.1f frames/s\n", sw);
  std::string error;
  platform::GlContext* context = nullptr;
  if (platform::video_init(&error)) context = platform::gl_context_create_hidden(kW, kH, &error);
  if (!context) {
    std::printf("gl: no 3.3 core context (%s)\n", error.c_str());
    return 0;
  }
  std::printf("gl: %s\n", platform::gl_context_description().c_str());
  gl_renderer_use_context(context);
  GlRendererStats per_frame;
  double g = measure(&gl_renderer(), 2.0, true, &per_frame);
  std::printf("gl: %.1f frames/s read back, %llu uploads and %llu draw calls per frame\n", g,
              static_cast<unsigned long long>(per_frame.uploads),
              static_cast<unsigned long long>(per_frame.draws));
  double shown = measure(&gl_renderer(), 2.0, false, nullptr);
  std::printf("gl: %.1f frames/s presented without read-back\n", shown);
  std::printf("gl / software: %.2f (read back), %.2f (presented)\n", sw > 0 ? g / sw : 0.0,
              sw > 0 ? shown / sw : 0.0);
  gl_renderer_use_context(nullptr);
  platform::gl_context_destroy(context);
  platform::video_quit();
  return 0;
}
