// Presenting a finished 1280x720 frame in a 1920x1080 window (SDL's dummy driver: the window
// surface is plain memory, so the figure is our share of a present, not the display's):
// ours (platform::window_present_argb: bars only, no blending, one scaled copy straight into
// the window surface) beside SDL's general scaled blit as a game would write it (fill the
// whole surface, blit with the default blending). Nearest neighbour and smooth (bilinear)
// stretching, and a full-window letterbox case; a copy of a 1080p frame is the floor.
// Aim: under 2 ms for the scaled present.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/window.h"

namespace {

constexpr int32_t kSrcW = 1280, kSrcH = 720, kDstW = 1920, kDstH = 1080;

std::vector<uint32_t> frame() {
  std::vector<uint32_t> px(size_t{kSrcW} * kSrcH);
  for (size_t i = 0; i < px.size(); ++i)
    px[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
  return px;
}

struct Screen {
  platform::Window* window = nullptr;
  Screen() {
    std::string error;
    if (!platform::video_init(&error)) return;
    platform::WindowDesc d;
    d.width = kDstW;
    d.height = kDstH;
    d.hidden = true;
    window = platform::window_create(d, nullptr, &error);
  }
  ~Screen() {
    platform::window_destroy(window);
    platform::video_quit();
  }
  SDL_Window* sdl() { return static_cast<SDL_Window*>(platform::window_sdl_handle(window)); }
};

void ours(benchmark::State& state, bool smooth, platform::Rect to) {
  Screen screen;
  if (!screen.window) {
    state.SkipWithError("no window");
    return;
  }
  std::vector<uint32_t> px = frame();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        platform::window_present_argb(screen.window, px.data(), kSrcW, kSrcH, to, smooth));
  }
}

// SDL's own way: fill the whole surface, then a scaled blit with the default (blending) mode;
// smooth stretching through a fresh ARGB surface as the present did before.
void sdl_blit(benchmark::State& state, bool smooth, platform::Rect r) {
  Screen screen;
  if (!screen.window) {
    state.SkipWithError("no window");
    return;
  }
  std::vector<uint32_t> px = frame();
  for (auto _ : state) {
    SDL_Surface* target = SDL_GetWindowSurface(screen.sdl());
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(px.data(), kSrcW, kSrcH, 32, kSrcW * 4,
                                                             SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    SDL_Rect to{r.left, r.top, r.right - r.left, r.bottom - r.top};
    if (smooth) {
      SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, to.w, to.h, 32, SDL_PIXELFORMAT_ARGB8888);
      SDL_SoftStretchLinear(source, nullptr, s, nullptr);
      SDL_BlitSurface(s, nullptr, target, &to);
      SDL_FreeSurface(s);
    } else {
      SDL_BlitScaled(source, nullptr, target, &to);
    }
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(screen.sdl());
  }
}

void BM_FrameCopy1080(benchmark::State& state) {
  std::vector<uint32_t> a(size_t{kDstW} * kDstH, 1), b(a.size());
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
}

const platform::Rect kFull{0, 0, kDstW, kDstH};
// A 4:3 window keeping the 16:9 picture: bars above and below.
const platform::Rect kLetterbox{0, 135, kDstW, 135 + 810};

BENCHMARK_CAPTURE(ours, nearest, false, kFull)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sdl_blit, nearest, false, kFull)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ours, smooth, true, kFull)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sdl_blit, smooth, true, kFull)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ours, letterbox, false, kLetterbox)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sdl_blit, letterbox, false, kLetterbox)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameCopy1080)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) ms_[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    double copy = get("BM_FrameCopy1080");
    for (const char* c : {"nearest", "smooth", "letterbox"}) {
      double o = get(std::string("ours/") + c), p = get(std::string("sdl_blit/") + c);
      std::printf(
          "present %-9s ours %6.3f ms  SDL blit %6.3f ms  1080p copy %6.3f ms  "
          "ours/SDL %.2f  (aim: ours < 2 ms)\n",
          c, o, p, copy, p > 0 ? o / p : 0.0);
    }
  }

 private:
  double get(const std::string& name) {
    auto it = ms_.find(name + "_median");
    return it != ms_.end() ? it->second : ms_[name];
  }
  std::map<std::string, double> ms_;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
