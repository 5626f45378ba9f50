// Composing a 1280x720 frame: our software renderer against pixman's OVER operator on the
// same pictures, in the same run, with a plain copy of the frame as the memory floor.
//   (a) a typical scene: opaque background, three translucent 600x720 sprites, a translucent
//       1240x220 text window;
//   (b) sixteen full-screen translucent layers;
//   (c) a realistic scene: the layers of (a), but the three sprites are figures as drawn art is
//       made (an opaque inside, a two-pixel anti-aliased edge, transparent around) and the text
//       window is one even translucency;
//   (d) a full-screen cross-fade of two opaque pictures half way (pixman: the outgoing picture,
//       then the incoming one over it through a half-opaque mask);
//   (e) a zoomed background: an opaque 640x360 picture drawn twice its size over the frame
//       (pixman: the same picture through a scaling transform, nearest neighbour as ours).
// Our side is one whole frame draw (clear, walk, blend); pixman's is a fill of the clear colour
// and the same compositions with premultiplied copies of the pictures.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "Orv/render/render_list.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"
#include "platform/clock.h"

namespace {

constexpr int32_t kW = 1280, kH = 720;

enum class Kind { kOpaque, kGradient, kFigure, kEven };

struct Layer {
  int32_t x, y, w, h;
  Kind kind;
};

const std::vector<Layer> kTypical = {{0, 0, kW, kH, Kind::kOpaque},
                                     {0, 0, 600, 720, Kind::kGradient},
                                     {340, 0, 600, 720, Kind::kGradient},
                                     {680, 0, 600, 720, Kind::kGradient},
                                     {20, 490, 1240, 220, Kind::kGradient}};

const std::vector<Layer> kRealistic = {{0, 0, kW, kH, Kind::kOpaque},
                                       {0, 0, 600, 720, Kind::kFigure},
                                       {340, 0, 600, 720, Kind::kFigure},
                                       {680, 0, 600, 720, Kind::kFigure},
                                       {20, 490, 1240, 220, Kind::kEven}};

std::vector<Layer> sixteen_layers() {
  return std::vector<Layer>(16, Layer{0, 0, kW, kH, Kind::kGradient});
}

// A figure's alpha at (x, y): a standing shape (a head on a body), 255 inside, falling to 0
// over two pixels at the outline.
uint32_t figure_alpha(const Layer& l, int32_t x, int32_t y) {
  auto cover = [](double dist) {  // dist: signed distance outside the outline, in pixels
    double a = 0.5 - dist / 2.0;
    return a <= 0 ? 0u : a >= 1 ? 255u : static_cast<uint32_t>(a * 255.0 + 0.5);
  };
  double cx = l.w / 2.0, px = x + 0.5, py = y + 0.5;
  double head_r = l.w * 0.16, head_y = l.h * 0.2;
  double head = std::hypot(px - cx, py - head_y) - head_r;
  // The body: a half-ellipse from the shoulders down past the bottom edge.
  double top = l.h * 0.34, rx = l.w * 0.42, ry = l.h * 0.9;
  double nx = (px - cx) / rx, ny = (py - (top + ry)) / ry;
  double body = (std::sqrt(nx * nx + ny * ny) - 1.0) * std::min(rx, ry);
  return cover(std::min(head, body));
}

// A picture with varied colours. Gradient alpha runs across 32..223; an even picture is alpha
// 192 throughout.
std::vector<uint32_t> picture(const Layer& l, uint32_t seed) {
  std::vector<uint32_t> px(static_cast<size_t>(l.w) * l.h);
  for (int32_t y = 0; y < l.h; ++y) {
    for (int32_t x = 0; x < l.w; ++x) {
      uint32_t a = 255u;
      if (l.kind == Kind::kGradient) a = 32u + static_cast<uint32_t>((x + y) % 192);
      if (l.kind == Kind::kEven) a = 192u;
      if (l.kind == Kind::kFigure) a = figure_alpha(l, x, y);
      uint32_t rgb = (seed * 2654435761u + static_cast<uint32_t>(x * 7 + y * 13)) & 0xFFFFFFu;
      px[static_cast<size_t>(y) * l.w + x] = a << 24 | rgb;
    }
  }
  return px;
}

struct OurScene {
  OrvHandle list = 0;
  explicit OurScene(const std::vector<Layer>& layers) {
    RenderParams params;
    params.game_width = kW;
    params.game_height = kH;
    render_system_init(params, nullptr);
    list = OrvRenderInit();
    OrvRenderSetActive(list);
    uint32_t seed = 1;
    for (const Layer& l : layers) {
      std::vector<uint32_t> px = picture(l, seed++);
      OrvHandle s = sprite_create_from_bgra(list, l.w, l.h, px.data(), l.w, 0);
      OrvSpriteSetPos(s, static_cast<float>(l.x), static_cast<float>(l.y), 0);
      OrvSpriteViewCtrl(s, 1);
    }
  }
  ~OurScene() {
    OrvRenderUninit(list);
    render_system_uninit();
  }
};

struct PixmanScene {
  std::vector<std::vector<uint32_t>> pixels;
  std::vector<pixman_image_t*> images;
  std::vector<Layer> layers;
  std::vector<uint32_t> frame;
  pixman_image_t* dst = nullptr;
  explicit PixmanScene(const std::vector<Layer>& ls) : layers(ls), frame(size_t{kW} * kH) {
    uint32_t seed = 1;
    for (const Layer& l : layers) {
      std::vector<uint32_t> px = picture(l, seed++);
      for (uint32_t& p : px) {  // pixman composes premultiplied pictures
        uint32_t a = p >> 24, out = a << 24;
        for (int sh = 0; sh < 24; sh += 8) out |= (((p >> sh) & 255) * a + 127) / 255 << sh;
        p = out;
      }
      pixels.push_back(std::move(px));
      images.push_back(
          pixman_image_create_bits(PIXMAN_a8r8g8b8, l.w, l.h, pixels.back().data(), l.w * 4));
    }
    dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, frame.data(), kW * 4);
  }
  ~PixmanScene() {
    for (pixman_image_t* i : images) pixman_image_unref(i);
    pixman_image_unref(dst);
  }
  void compose() {
    pixman_color_t black{0, 0, 0, 0xFFFF};
    pixman_box32_t all{0, 0, kW, kH};
    pixman_image_fill_boxes(PIXMAN_OP_SRC, dst, &black, 1, &all);
    for (size_t i = 0; i < layers.size(); ++i) {
      const Layer& l = layers[i];
      pixman_image_composite32(PIXMAN_OP_OVER, images[i], nullptr, dst, 0, 0, 0, 0, l.x, l.y, l.w,
                               l.h);
    }
  }
};

uint32_t g_now = 0;

// (d) ours: the two pictures as sprites paired by a cross-fade handle, 500 ms into 1000.
void BM_OursCrossfade(benchmark::State& state) {
  RenderParams params;
  params.game_width = kW;
  params.game_height = kH;
  render_system_init(params, nullptr);
  platform::set_clock_source([] { return g_now; });
  g_now = 500;
  OrvUpdateTime();
  OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  const Layer full{0, 0, kW, kH, Kind::kOpaque};
  std::vector<uint32_t> a = picture(full, 1), b = picture(full, 2);
  OrvHandle out = sprite_create_from_bgra(list, kW, kH, a.data(), kW, 0);
  OrvHandle in = sprite_create_from_bgra(list, kW, kH, b.data(), kW, 0);
  OrvSpriteViewCtrl(out, 1);
  OrvSpriteViewCtrl(in, 1);
  OrvHandle handle = OrvSpriteCreateTransitionHandle();
  OrvSpriteSetTransition(list, in, out, 1, 0, 1000, handle);
  for (auto _ : state) {
    render_frame_draw();
    benchmark::DoNotOptimize(render_back_buffer().pixels);
  }
  OrvSpriteReleaseTransitionHandle(handle);
  OrvRenderUninit(list);
  render_system_uninit();
  platform::set_clock_source(nullptr);
}

pixman_image_t* premultiplied(std::vector<uint32_t>& px, int32_t w, int32_t h) {
  for (uint32_t& p : px) {
    uint32_t a = p >> 24, out = a << 24;
    for (int sh = 0; sh < 24; sh += 8) out |= (((p >> sh) & 255) * a + 127) / 255 << sh;
    p = out;
  }
  return pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, px.data(), w * 4);
}

void BM_PixmanCrossfade(benchmark::State& state) {
  const Layer full{0, 0, kW, kH, Kind::kOpaque};
  std::vector<uint32_t> a = picture(full, 1), b = picture(full, 2), frame(size_t{kW} * kH);
  pixman_image_t* out = premultiplied(a, kW, kH);
  pixman_image_t* in = premultiplied(b, kW, kH);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, frame.data(), kW * 4);
  pixman_color_t half{0, 0, 0, 0x8000};
  pixman_image_t* mask = pixman_image_create_solid_fill(&half);
  pixman_color_t black{0, 0, 0, 0xFFFF};
  pixman_box32_t all{0, 0, kW, kH};
  for (auto _ : state) {
    pixman_image_fill_boxes(PIXMAN_OP_SRC, dst, &black, 1, &all);
    pixman_image_composite32(PIXMAN_OP_OVER, out, nullptr, dst, 0, 0, 0, 0, 0, 0, kW, kH);
    pixman_image_composite32(PIXMAN_OP_OVER, in, mask, dst, 0, 0, 0, 0, 0, 0, kW, kH);
    benchmark::DoNotOptimize(frame.data());
  }
  for (pixman_image_t* i : {out, in, dst, mask}) pixman_image_unref(i);
}

// (e) ours: a 640x360 background sprite at scale 2, its centre on the frame's.
void BM_OursZoomedBackground(benchmark::State& state) {
  RenderParams params;
  params.game_width = kW;
  params.game_height = kH;
  render_system_init(params, nullptr);
  OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  const Layer small{0, 0, kW / 2, kH / 2, Kind::kOpaque};
  std::vector<uint32_t> px = picture(small, 3);
  OrvHandle s = sprite_create_from_bgra(list, small.w, small.h, px.data(), small.w, 0);
  OrvSpriteSetPos(s, kW / 4.0f, kH / 4.0f, 0);
  OrvSpriteSetScale(s, 2.0f, 2.0f);
  OrvSpriteViewCtrl(s, 1);
  for (auto _ : state) {
    render_frame_draw();
    benchmark::DoNotOptimize(render_back_buffer().pixels);
  }
  OrvRenderUninit(list);
  render_system_uninit();
}

void BM_PixmanZoomedBackground(benchmark::State& state) {
  const Layer small{0, 0, kW / 2, kH / 2, Kind::kOpaque};
  std::vector<uint32_t> px = picture(small, 3), frame(size_t{kW} * kH);
  pixman_image_t* src = premultiplied(px, small.w, small.h);
  pixman_transform_t half;
  pixman_transform_init_scale(&half, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
  pixman_image_set_transform(src, &half);
  pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, frame.data(), kW * 4);
  pixman_color_t black{0, 0, 0, 0xFFFF};
  pixman_box32_t all{0, 0, kW, kH};
  for (auto _ : state) {
    pixman_image_fill_boxes(PIXMAN_OP_SRC, dst, &black, 1, &all);
    pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kW, kH);
    benchmark::DoNotOptimize(frame.data());
  }
  pixman_image_unref(src);
  pixman_image_unref(dst);
}

void BM_Ours(benchmark::State& state, const std::vector<Layer>& layers) {
  OurScene scene(layers);
  for (auto _ : state) {
    render_frame_draw();
    benchmark::DoNotOptimize(render_back_buffer().pixels);
  }
}

void BM_Pixman(benchmark::State& state, const std::vector<Layer>& layers) {
  PixmanScene scene(layers);
  for (auto _ : state) {
    scene.compose();
    benchmark::DoNotOptimize(scene.frame.data());
  }
}

void BM_PlainCopy(benchmark::State& state) {
  std::vector<uint32_t> a(size_t{kW} * kH, 1), b(size_t{kW} * kH);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
}

BENCHMARK_CAPTURE(BM_Ours, typical_scene, kTypical)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pixman, typical_scene, kTypical)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Ours, realistic_scene, kRealistic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pixman, realistic_scene, kRealistic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Ours, sixteen_layers, sixteen_layers())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pixman, sixteen_layers, sixteen_layers())->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursCrossfade)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanCrossfade)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursZoomedBackground)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanZoomedBackground)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);

// Prints the usual table, then our times against pixman's and the copy floor.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) ms_[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    double copy = get("BM_PlainCopy");
    for (const char* scene : {"typical_scene", "realistic_scene", "sixteen_layers"}) {
      double ours = get(std::string("BM_Ours/") + scene);
      double pix = get(std::string("BM_Pixman/") + scene);
      std::printf(
          "%-15s ours %8.3f ms  pixman %8.3f ms  copy %6.3f ms  ours/pixman %.2f  "
          "ours/copy %.1f\n",
          scene, ours, pix, copy, pix > 0 ? ours / pix : 0.0, copy > 0 ? ours / copy : 0.0);
    }
    for (const char* scene : {"Crossfade", "ZoomedBackground"}) {
      double ours = get(std::string("BM_Ours") + scene);
      double pix = get(std::string("BM_Pixman") + scene);
      std::printf(
          "%-16s ours %8.3f ms  pixman %8.3f ms  copy %6.3f ms  ours/pixman %.2f  "
          "ours/copy %.1f\n",
          scene, ours, pix, copy, pix > 0 ? ours / pix : 0.0, copy > 0 ? ours / copy : 0.0);
    }
  }

 private:
  // The median where the runs were repeated (--benchmark_repetitions), else the one figure.
  double get(const std::string& name) {
    auto it = ms_.find(name + "_median");
    return it != ms_.end() ? it->second : ms_[name];
  }
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
