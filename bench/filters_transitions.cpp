// Sprite blurs and transition steps on a 1280x720 picture.
//   Blurs against pixman's separable convolution with the same weights: OrvBoxBlurFilter
//   (radius 4, 2 passes: two 9-tap box passes each way) and OrvGaussianBlurFilter (level 4: the
//   16-tap row of the blur table, normalised). Both sides work on premultiplied colour.
//   Transition steps of one frame (soft fade, mosaic at block 5, mask threshold), each with its
//   draw of the capture over the frame, against a plain scalar loop of the same formulas built
//   -O3, with a frame copy as the floor.
// Prints ms per call and the ratios after the usual table.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "Orv/render/filters/kernels.h"
#include "Orv/render/render_list.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "Orv/render/transition/screen_transition.h"
#include "Orv/render/transition/transition_types.h"
#include "orv/orv.h"
#include "platform/clock.h"

namespace {

constexpr int32_t kW = 1280, kH = 720;

std::vector<uint32_t> picture(uint32_t seed, bool opaque) {
  std::vector<uint32_t> px(size_t{kW} * kH);
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) {
      uint32_t a = opaque ? 255u : 32u + static_cast<uint32_t>((x + y) % 192);
      uint32_t rgb = (seed * 2654435761u + static_cast<uint32_t>(x * 7 + y * 13)) & 0xFFFFFFu;
      px[static_cast<size_t>(y) * kW + x] = a << 24 | rgb;
    }
  }
  return px;
}

// The mask file the mask step reads: a 24-bit grey BMP with a diagonal ramp.
std::string g_mask;
int32_t bench_read(const char* path, std::vector<uint8_t>* out, size_t) {
  if (std::strcmp(path, "Mask\\Mask00.bmp") != 0) return 0;
  out->assign(g_mask.begin(), g_mask.end());
  return 1;
}
std::string mask_bmp() {
  auto le = [](std::string& s, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
  };
  std::string s = "BM";
  le(s, 54 + kW * 3 * kH, 4);
  le(s, 0, 4);
  le(s, 54, 4);
  le(s, 40, 4);
  le(s, kW, 4);
  le(s, kH, 4);
  le(s, 1, 2);
  le(s, 24, 2);
  s.append(24, '\0');
  for (int y = kH - 1; y >= 0; --y)
    for (int x = 0; x < kW; ++x) s.append(3, static_cast<char>((x + y) * 255 / (kW + kH)));
  return s;
}

uint32_t g_now = 0;

struct World {
  OrvHandle list = 0;
  World() {
    RenderParams params;
    params.game_width = kW;
    params.game_height = kH;
    render_system_init(params, nullptr);
    platform::set_clock_source([] { return g_now; });
    orv_render().read_file = bench_read;
    g_mask = mask_bmp();
    screen_transition_create();
    list = OrvRenderInit();
    OrvRenderSetActive(list);
    std::vector<uint32_t> px = picture(1, true);
    OrvHandle s = sprite_create_from_bgra(list, kW, kH, px.data(), kW, 0);
    OrvSpriteViewCtrl(s, 1);
    render_frame_draw();
  }
};
World& world() {
  static World w;
  return w;
}

// ---- blurs ----

void BM_OursBoxBlur(benchmark::State& state) {
  OrvHandle list = world().list;
  std::vector<uint32_t> px = picture(2, false);
  OrvHandle src = sprite_create_from_bgra(list, kW, kH, px.data(), kW, 0);
  OrvHandle dst = OrvSpriteCreate(list, kW, kH, 0);
  for (auto _ : state) benchmark::DoNotOptimize(OrvBoxBlurFilter(dst, src, 4, 4, 2));
  OrvSpriteRelease(list, src);
  OrvSpriteRelease(list, dst);
}

void BM_OursGaussianBlur(benchmark::State& state) {
  OrvHandle list = world().list;
  std::vector<uint32_t> px = picture(2, false);
  OrvHandle src = sprite_create_from_bgra(list, kW, kH, px.data(), kW, 0);
  OrvHandle dst = OrvSpriteCreate(list, kW, kH, 0);
  for (auto _ : state) benchmark::DoNotOptimize(OrvGaussianBlurFilter(dst, src, 4));
  OrvSpriteRelease(list, src);
  OrvSpriteRelease(list, dst);
}

// pixman: a separable convolution filter with the given taps each way, SRC from one picture
// into another, `passes` times back and forth.
void pixman_blur(benchmark::State& state, const std::vector<double>& taps, int passes) {
  std::vector<uint32_t> a = picture(2, false), b(a.size());
  for (uint32_t& p : a) {  // premultiplied, as pixman composes
    uint32_t al = p >> 24, out = al << 24;
    for (int sh = 0; sh < 24; sh += 8) out |= (((p >> sh) & 255) * al + 127) / 255 << sh;
    p = out;
  }
  pixman_image_t* ia = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, a.data(), kW * 4);
  pixman_image_t* ib = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, b.data(), kW * 4);
  const int n = static_cast<int>(taps.size());
  std::vector<pixman_fixed_t> params = {pixman_int_to_fixed(n), pixman_int_to_fixed(n), 0, 0};
  for (int k = 0; k < 2; ++k)
    for (double t : taps) params.push_back(pixman_double_to_fixed(t));
  for (pixman_image_t* i : {ia, ib}) {
    pixman_image_set_filter(i, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params.data(),
                            static_cast<int>(params.size()));
    pixman_image_set_repeat(i, PIXMAN_REPEAT_PAD);
  }
  for (auto _ : state) {
    for (int p = 0; p < passes; ++p) {
      pixman_image_composite32(PIXMAN_OP_SRC, ia, nullptr, ib, 0, 0, 0, 0, 0, 0, kW, kH);
      if (p + 1 < passes) std::swap(ia, ib);
    }
    benchmark::DoNotOptimize(b.data());
  }
  pixman_image_unref(ia);
  pixman_image_unref(ib);
}

void BM_PixmanBoxBlur(benchmark::State& state) {
  pixman_blur(state, std::vector<double>(9, 1.0 / 9), 2);
}

void BM_PixmanGaussianBlur(benchmark::State& state) {
  std::vector<double> taps;
  for (uint8_t w : kBlurWeights[4]) taps.push_back(w / 32.0);
  pixman_blur(state, taps, 1);
}

// ---- transition steps ----

// One frame's step of a transition of `type` that never ends, at elapsed time `at`.
void our_step(benchmark::State& state, int32_t type, uint32_t at) {
  World& w = world();
  (void)w;
  g_now = 0;
  OrvUpdateTime();
  ScreenTransition* t = screen_transition();
  OrvEffectEx(type, 100000000, 0, 0);
  t->callback(t);  // the first call starts the clock (and reads the mask)
  g_now = at;
  OrvUpdateTime();
  for (auto _ : state) benchmark::DoNotOptimize(t->callback(t));
  screen_transition_reset(t);
}

void BM_OursSoftFadeStep(benchmark::State& state) {
  our_step(state, 2, 1000);
}
void BM_OursMosaicStep(benchmark::State& state) {
  our_step(state, 6, 800000);  // k = trunc(800000 / 1e8 x 256) = 2: block 5
}
void BM_OursMaskStep(benchmark::State& state) {
  our_step(state, 10, 50000000);  // threshold 127
}

// The plain loops: the same formulas written out once, scalar, -O3.
#define PLAIN __attribute__((optimize("O3"))) __attribute__((noinline))

PLAIN void plain_blend(uint32_t* d, const uint32_t* s, size_t n, uint32_t ca) {
  for (size_t i = 0; i < n; ++i) {
    uint32_t sa = s[i] >> 24;
    if (!sa) continue;
    uint32_t m = (ca * sa) >> 8, out = 0xFF000000u;
    for (int sh = 0; sh < 24; sh += 8) {
      uint32_t dv = (d[i] >> sh) & 255, sv = (s[i] >> sh) & 255;
      out |= ((dv * (256 - m) + ((sv * 255) >> 8) * m) >> 8) << sh;
    }
    d[i] = out;
  }
}

PLAIN void plain_soften(uint32_t* p) {
  for (int y = 1; y + 1 < kH; ++y) {
    for (int x = 1; x + 1 < kW; ++x) {
      uint32_t* c = p + y * kW + x;
      uint32_t out = *c & 0xFF000000u;
      for (int sh = 0; sh < 24; sh += 8) {
        uint32_t v = 4 * ((*c >> sh) & 255) + ((c[-1] >> sh) & 255) + ((c[1] >> sh) & 255) +
                     ((c[-kW] >> sh) & 255) + ((c[kW] >> sh) & 255);
        out |= (v >> 3) << sh;
      }
      *c = out;
    }
  }
}

PLAIN void plain_mosaic(uint32_t* out, const uint32_t* in, int block) {
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) out[y * kW + x] = in[(y / block * block) * kW + x / block * block];
}

PLAIN void plain_threshold(uint32_t* p, const uint32_t* mask, int a) {
  const int c = a > 224 ? 255 : a + 31;
  for (size_t i = 0; i < size_t{kW} * kH; ++i) {
    int m = static_cast<int>(mask[i] & 255);
    uint32_t al = m < a ? 255u : m < c ? static_cast<uint32_t>((c - m) * 8) : 0u;
    p[i] = (p[i] & 0xFFFFFFu) | al << 24;
  }
}

struct PlainFrame {
  std::vector<uint32_t> frame = picture(3, true), capture = picture(1, true), work,
                        mask = picture(4, true);
  PlainFrame() : work(capture.size()) {}
};

void BM_PlainSoftFadeStep(benchmark::State& state) {
  PlainFrame f;
  for (auto _ : state) {
    plain_soften(f.capture.data());
    plain_blend(f.frame.data(), f.capture.data(), f.frame.size(), 127);
    benchmark::DoNotOptimize(f.frame.data());
  }
}
void BM_PlainMosaicStep(benchmark::State& state) {
  PlainFrame f;
  for (auto _ : state) {
    plain_mosaic(f.work.data(), f.capture.data(), 5);
    plain_blend(f.frame.data(), f.work.data(), f.frame.size(), 255);
    benchmark::DoNotOptimize(f.frame.data());
  }
}
void BM_PlainMaskStep(benchmark::State& state) {
  PlainFrame f;
  for (auto _ : state) {
    plain_threshold(f.capture.data(), f.mask.data(), 127);
    plain_blend(f.frame.data(), f.capture.data(), f.frame.size(), 255);
    benchmark::DoNotOptimize(f.frame.data());
  }
}

void BM_FrameCopy(benchmark::State& state) {
  std::vector<uint32_t> a(size_t{kW} * kH, 1), b(a.size());
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_OursBoxBlur)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanBoxBlur)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursGaussianBlur)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanGaussianBlur)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursSoftFadeStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSoftFadeStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursMosaicStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainMosaicStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursMaskStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainMaskStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) ms_[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    double copy = ms_["BM_FrameCopy"];
    for (const char* name : {"BoxBlur", "GaussianBlur"}) {
      double ours = ms_[std::string("BM_Ours") + name], peer = ms_[std::string("BM_Pixman") + name];
      std::printf("%-14s ours %8.3f ms  pixman %8.3f ms  ours/pixman %.2f\n", name, ours, peer,
                  peer > 0 ? ours / peer : 0.0);
    }
    for (const char* name : {"SoftFadeStep", "MosaicStep", "MaskStep"}) {
      double ours = ms_[std::string("BM_Ours") + name], peer = ms_[std::string("BM_Plain") + name];
      std::printf(
          "%-14s ours %8.3f ms  plain -O3 %8.3f ms  copy %6.3f ms  ours/plain %.2f  "
          "ours/copy %.1f\n",
          name, ours, peer, copy, peer > 0 ? ours / peer : 0.0, copy > 0 ? ours / copy : 0.0);
    }
  }

 private:
  std::map<std::string, double> ms_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
