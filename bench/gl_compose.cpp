// Frames per second of a typical 1280x720 scene (opaque background, three translucent
// 600x720 sprites, a translucent 1240x220 text window) drawn by the GL renderer and by the
// software renderer in the same run, both sides doing the same work per frame in each row:
//
// - "compose": the frame drawn and finished (software: its back buffer written; GL: the game
//   target drawn and waited for with glFinish), not shown;
// - "compose + present": the frame drawn and shown in a 1280x720 window (software: the
//   window code's copy into the window surface, as the window thread does it, kept a plain
//   memory surface: with a GL driver present SDL would otherwise draw that surface through GL,
//   llvmpipe here, and the software side would pay for GL too; GL: the game target drawn onto
//   the window's back buffer and swapped, swap interval 0);
// - "compose + read back": the frame drawn and copied to memory (thumbnails, frame dumps).
//
// Each row gives frames per second, CPU milliseconds per frame summed over every thread of the
// process (llvmpipe draws on threads of its own), and GL / software. The GL side also gives its
// texture uploads and draw calls per frame. Runs under SDL's offscreen driver (set here when
// SDL_VIDEODRIVER is unset) and llvmpipe (LIBGL_ALWAYS_SOFTWARE=1 is set when unset); without a
// GL 3.3 core context it prints the software figures only.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Orv/render/gl/gl_renderer.h"
#include "Orv/render/render_list.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"
#include "platform/gl_context.h"
#include "platform/window.h"

namespace {

constexpr int32_t kW = 1280, kH = 720;
constexpr double kSeconds = 2.0;

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

enum class Work { kCompose, kPresent, kReadBack };

const char* work_name(Work w) {
  switch (w) {
    case Work::kCompose:
      return "compose";
    case Work::kPresent:
      return "compose + present";
    case Work::kReadBack:
      return "compose + read back";
  }
  return "";
}

// The software side's window (hidden), where its frames are shown as the window thread
// shows them.
platform::Window* g_window = nullptr;

bool present_on_window(const uint32_t* pixels, int32_t width, int32_t height) {
  return platform::window_present_argb(g_window, pixels, width, height,
                                       platform::Rect{0, 0, kW, kH}, false);
}

bool finish_only(PresentFn) {
  gl_renderer_finish();
  return true;
}

double cpu_seconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Figure {
  double fps = 0;
  double cpu_ms = 0;  // per frame, every thread
  GlRendererStats per_frame;
  int64_t target_pixels = 0;  // GL: the game target's, which the frame's clear covers
};

// Frames per second of `work` over about kSeconds, after a few frames of warm-up.
Figure measure(const Renderer* gl, Work work) {
  Figure out;
  RenderParams params;
  params.game_width = params.window_width = kW;
  params.game_height = params.window_height = kH;
  params.display_flags = gl ? kDisplayFlagDirect3D : 0;
  params.gl = gl;
  bool ok = false;
  render_system_init(params, &ok);
  if (!ok) return out;
  RenderState& st = orv_render();
  // The software peer shows through the sink; the GL peer's own present swaps, and for
  // "compose" and "read back" it only finishes the frame.
  st.present = work == Work::kPresent && g_window ? present_on_window : nullptr;
  if (gl && work != Work::kPresent) st.renderer.present = finish_only;
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
  if (gl) {
    gl_renderer_finish();
    gl_renderer_reset_stats();
  }
  using Clock = std::chrono::steady_clock;
  const double cpu_start = cpu_seconds();
  auto start = Clock::now();
  int frames = 0;
  double elapsed = 0;
  do {
    render_frame_draw();
    if (work == Work::kReadBack) {
      volatile uint32_t sink = render_back_buffer().pixels[0];
      (void)sink;
    }
    ++frames;
    if (gl && work == Work::kPresent && (frames & 7) == 0) gl_renderer_finish();
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  } while (elapsed < kSeconds);
  if (gl) gl_renderer_finish();  // frames still queued count in the time
  elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  out.fps = frames / elapsed;
  out.cpu_ms = (cpu_seconds() - cpu_start) * 1000.0 / frames;
  if (gl) {
    GlRendererStats s = gl_renderer_stats();
    out.per_frame.uploads = s.uploads / static_cast<uint64_t>(frames);
    out.per_frame.draws = s.draws / static_cast<uint64_t>(frames);
    const GlRendererFacts facts = gl_renderer_facts();
    out.target_pixels = int64_t{facts.game_target_w} * facts.game_target_h;
  }
  st.present = nullptr;
  OrvRenderUninit(list);
  render_system_uninit();
  return out;
}

}  // namespace

int main() {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
  std::string error;
  if (!platform::video_init(&error)) {
    std::printf("no video (%s)\n", error.c_str());
    return 1;
  }
  platform::WindowDesc desc;
  desc.width = kW;
  desc.height = kH;
  desc.hidden = true;
  g_window = platform::window_create(desc, nullptr, &error);
  const Work kWorks[] = {Work::kCompose, Work::kPresent, Work::kReadBack};
  platform::GlContext* context = platform::gl_context_create_hidden(kW, kH, &error);
  if (!context) std::printf("gl: no 3.3 core context (%s)\n", error.c_str());
  if (context) std::printf("gl: %s\n", platform::gl_context_description().c_str());
  // Each row measures the two peers one after the other, so that both see the same load on
  // the machine (llvmpipe's threads feel it far more than the software peer's one).
  for (Work work : kWorks) {
    gl_renderer_use_context(nullptr);
    const Figure sw = measure(nullptr, work);
    if (!context) {
      std::printf("%-20s software %7.1f frames/s, %5.2f ms CPU per frame\n", work_name(work),
                  sw.fps, sw.cpu_ms);
      continue;
    }
    gl_renderer_use_context(context);
    const Figure g = measure(&gl_renderer(), work);
    std::printf(
        "%-20s software %7.1f frames/s (%5.2f ms CPU per frame), gl %7.1f frames/s (%5.2f ms "
        "CPU per frame, all threads), gl / software %.2f; gl per frame: %llu uploads, %llu "
        "draw calls\n",
        work_name(work), sw.fps, sw.cpu_ms, g.fps, g.cpu_ms, sw.fps > 0 ? g.fps / sw.fps : 0.0,
        static_cast<unsigned long long>(g.per_frame.uploads),
        static_cast<unsigned long long>(g.per_frame.draws));
    if (work == Work::kCompose) {
      // What llvmpipe touches per frame: its cost grows with the pixels of the sprites'
      // fragment passes far more than with anything else.
      int64_t sprite_pixels = 0;
      for (const Layer& l : kTypical) sprite_pixels += int64_t{l.w} * l.h;
      std::printf("%-20s gl per frame: %lld pixels drawn by sprites, %lld cleared\n", "",
                  static_cast<long long>(sprite_pixels), static_cast<long long>(g.target_pixels));
    }
  }
  if (context) {
    gl_renderer_use_context(nullptr);
    platform::gl_context_destroy(context);
  }
  double load[3] = {0, 0, 0};
  if (getloadavg(load, 3) == 3)
    std::printf("load average %.1f %.1f %.1f\n", load[0], load[1], load[2]);
  platform::window_destroy(g_window);
  platform::video_quit();
  return 0;
}
