// Picture decoding speed: one 1280x720 picture as GE (row filters, our LZ) and as PNG through
// bare libpng, and our PNG and JPEG paths against the bare library calls on the same files
// (our overhead: format dispatch, limits, buffer handling). Prints megapixels per second per
// case and, at the end, the ratios.
#include <benchmark/benchmark.h>
#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "Orv/render/image/ge_image.h"
#include "Orv/render/image/image_load.h"
#include "ge_writer/ge_writer.h"
#include "platform/image_codec.h"

namespace {

constexpr int kW = 1280, kH = 720;

// A picture with smooth gradients, hard edges and some texture, like a game background.
const std::vector<uint32_t>& picture() {
  static const std::vector<uint32_t> p = [] {
    std::vector<uint32_t> v(static_cast<size_t>(kW) * kH);
    uint32_t seed = 12345;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        seed = seed * 1103515245 + 12345;
        const uint32_t noise = (seed >> 16) & 7;
        const uint32_t r = (x * 255 / kW + noise) & 255;
        const uint32_t g = (y * 255 / kH + ((x / 64 + y / 64) & 1) * 40) & 255;
        const uint32_t b = ((x ^ y) & 32 ? 200 : 60) + noise;
        v[static_cast<size_t>(y) * kW + x] = 0xFF000000u | r << 16 | g << 8 | (b & 255);
      }
    return v;
  }();
  return p;
}

const std::string& ge_file() {
  static const std::string f = [] {
    gewriter::GeOptions o;
    o.type = 3;
    o.bits = 24;
    o.filters = {4};
    return gewriter::ge_write(kW, kH, picture(), o);
  }();
  return f;
}

const std::vector<uint8_t>& png_file() {
  static const std::vector<uint8_t> f = [] {
    std::vector<uint8_t> out;
    platform::png_encode(picture().data(), kW, kH, false, &out);
    return out;
  }();
  return f;
}

const std::vector<uint8_t>& jpeg_file() {
  static const std::vector<uint8_t> f = [] {
    std::vector<uint8_t> out;
    platform::jpeg_encode(picture().data(), kW, kH, 90, &out);
    return out;
  }();
  return f;
}

void set_rate(benchmark::State& state) {
  state.counters["MP/s"] =
      benchmark::Counter(kW * kH / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_GeDecode(benchmark::State& state) {
  const std::string& f = ge_file();
  for (auto _ : state) {
    ImageBuffer out;
    std::string error;
    if (!ge_decode(reinterpret_cast<const uint8_t*>(f.data()), f.size(), &out, &error))
      state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(out.pixels.data());
  }
  set_rate(state);
  state.SetLabel(std::to_string(f.size()) + " bytes");
}

struct Source {
  const std::vector<uint8_t>* data;
  size_t at;
};
void read_source(png_structp png, png_bytep out, png_size_t n) {
  auto* s = static_cast<Source*>(png_get_io_ptr(png));
  if (n > s->data->size() - s->at) png_error(png, "short");
  std::copy_n(s->data->data() + s->at, n, out);
  s->at += n;
}

// The bare library: read into BGRA with the same transformations our path asks for.
void BM_PngDecodeLibpng(benchmark::State& state) {
  const auto& f = png_file();
  std::vector<uint32_t> pixels(static_cast<size_t>(kW) * kH);
  std::vector<png_bytep> rows(kH);
  for (auto _ : state) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
      state.SkipWithError("libpng failed");
      break;
    }
    Source src{&f, 0};
    png_set_read_fn(png, &src, read_source);
    png_read_info(png, info);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_read_update_info(png, info);
    for (int y = 0; y < kH; ++y) rows[y] = reinterpret_cast<png_bytep>(pixels.data() + y * kW);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
  set_rate(state);
  state.SetLabel(std::to_string(f.size()) + " bytes");
}

void BM_PngDecodeOurs(benchmark::State& state) {
  const auto& f = png_file();
  for (auto _ : state) {
    ImageBuffer out;
    std::string error;
    if (!image_decode(f.data(), f.size(), BmpTgaMode::kFollowHeaders, &out, &error))
      state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(out.pixels.data());
  }
  set_rate(state);
}

void BM_JpegDecodeLibjpeg(benchmark::State& state) {
  const auto& f = jpeg_file();
  std::vector<uint32_t> pixels(static_cast<size_t>(kW) * kH);
  for (auto _ : state) {
    jpeg_decompress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, f.data(), f.size());
    jpeg_read_header(&c, TRUE);
    c.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&c);
    while (c.output_scanline < c.output_height) {
      JSAMPROW row = reinterpret_cast<JSAMPROW>(pixels.data() + c.output_scanline * kW);
      jpeg_read_scanlines(&c, &row, 1);
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    benchmark::DoNotOptimize(pixels.data());
  }
  set_rate(state);
  state.SetLabel(std::to_string(f.size()) + " bytes");
}

void BM_JpegDecodeOurs(benchmark::State& state) {
  const auto& f = jpeg_file();
  for (auto _ : state) {
    ImageBuffer out;
    std::string error;
    if (!image_decode(f.data(), f.size(), BmpTgaMode::kFollowHeaders, &out, &error))
      state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(out.pixels.data());
  }
  set_rate(state);
}

BENCHMARK(BM_GeDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngDecodeLibpng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngDecodeOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegDecodeLibjpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegDecodeOurs)->Unit(benchmark::kMillisecond);

// Keeps each case's time per iteration to print the ratios after the table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) seconds_[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void print_ratios() const {
    auto ratio = [&](const char* a, const char* b) {
      const auto x = seconds_.find(a), y = seconds_.find(b);
      return x != seconds_.end() && y != seconds_.end() && y->second > 0 ? x->second / y->second
                                                                         : 0.0;
    };
    std::printf("\nGE decode time / libpng decode time:   %.3f (below 1: GE is faster)\n",
                ratio("BM_GeDecode", "BM_PngDecodeLibpng"));
    std::printf("our PNG path / bare libpng:             %.3f (overhead %+.1f %%)\n",
                ratio("BM_PngDecodeOurs", "BM_PngDecodeLibpng"),
                (ratio("BM_PngDecodeOurs", "BM_PngDecodeLibpng") - 1) * 100);
    std::printf("our JPEG path / bare libjpeg-turbo:     %.3f (overhead %+.1f %%)\n",
                ratio("BM_JpegDecodeOurs", "BM_JpegDecodeLibjpeg"),
                (ratio("BM_JpegDecodeOurs", "BM_JpegDecodeLibjpeg") - 1) * 100);
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.print_ratios();
  benchmark::Shutdown();
  return 0;
}
