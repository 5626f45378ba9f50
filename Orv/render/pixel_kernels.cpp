#include "Orv/render/pixel_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Orv/render/sine_table.h"

namespace {

struct ScaleGeometry {
  int32_t out_w = 0, out_h = 0, step_x = 0, step_y = 0;
};

// Output size and 7-bit steps; false when nothing is to be drawn.
bool scale_geometry(int32_t dst_pitch, int32_t dst_rows, int32_t src_pitch, int32_t src_rows,
                    float sx, float sy, ScaleGeometry* g) {
  if (!(sx > 0.0f) || !(sy > 0.0f) || src_pitch < 1 || src_rows < 1) return false;
  // Callers pass ratios such as 90.0f / 22 whose product with the source size lands a hair
  // below the whole number they mean; a small tolerance keeps the last row and column.
  constexpr double kTolerance = 0.01;
  double w = std::min<double>(dst_pitch, std::trunc(double{sx} * src_pitch + kTolerance));
  double h = std::min<double>(dst_rows, std::trunc(double{sy} * src_rows + kTolerance));
  g->out_w = static_cast<int32_t>(w);
  g->out_h = static_cast<int32_t>(h);
  g->step_x = static_cast<int32_t>(std::min(1e9f, std::fabs(128.0f / sx)));
  g->step_y = static_cast<int32_t>(std::min(1e9f, std::fabs(128.0f / sy)));
  return g->out_w > 0 && g->out_h > 0;
}

}  // namespace

void scale_nearest32(uint32_t* dst, int32_t dst_pitch, int32_t dst_rows, const uint32_t* src,
                     int32_t src_pitch, int32_t src_rows, float sx, float sy) {
  ScaleGeometry g;
  if (!dst || !src || !scale_geometry(dst_pitch, dst_rows, src_pitch, src_rows, sx, sy, &g)) return;
  // An enlarged picture repeats each row: where the output cannot overlap the source, a row
  // that samples the same source row as the one above is a copy of it.
  const uint32_t* src_end = src + static_cast<int64_t>(src_pitch) * src_rows;
  const uint32_t* dst_end = dst + static_cast<int64_t>(dst_pitch) * (g.out_h - 1) + g.out_w;
  const bool apart = dst_end <= src || src_end <= dst;
  int64_t last = -1;
  for (int32_t y = 0; y < g.out_h; ++y) {
    int64_t syi = std::min<int64_t>((int64_t{y} * g.step_y) >> 7, src_rows - 1);
    uint32_t* out = dst + static_cast<int64_t>(y) * dst_pitch;
    if (apart && syi == last) {
      std::memcpy(out, out - dst_pitch, static_cast<size_t>(g.out_w) * sizeof(uint32_t));
      continue;
    }
    last = syi;
    const uint32_t* row = src + syi * src_pitch;
    if (apart && g.step_x == 128 && g.out_w <= src_pitch) {  // one to one across
      std::memcpy(out, row, static_cast<size_t>(g.out_w) * sizeof(uint32_t));
      continue;
    }
    for (int32_t x = 0; x < g.out_w; ++x) {
      out[x] = row[std::min<int64_t>((int64_t{x} * g.step_x) >> 7, src_pitch - 1)];
    }
  }
}

void scale_bilinear32(uint32_t* dst, int32_t dst_pitch, int32_t dst_rows, const uint32_t* src,
                      int32_t src_pitch, int32_t src_rows, float sx, float sy) {
  ScaleGeometry g;
  if (!dst || !src || !scale_geometry(dst_pitch, dst_rows, src_pitch, src_rows, sx, sy, &g)) return;
  for (int32_t y = 0; y < g.out_h; ++y) {
    int64_t fy = int64_t{y} * g.step_y;
    int64_t syi = std::min<int64_t>(fy >> 7, src_rows - 1);
    uint32_t ty = static_cast<uint32_t>(fy & 127);
    bool last_row = syi >= src_rows - 1;
    const uint32_t* r0 = src + syi * src_pitch;
    const uint32_t* r1 = last_row ? r0 : r0 + src_pitch;
    uint32_t* out = dst + static_cast<int64_t>(y) * dst_pitch;
    for (int32_t x = 0; x < g.out_w; ++x) {
      int64_t fx = int64_t{x} * g.step_x;
      int64_t sxi = std::min<int64_t>(fx >> 7, src_pitch - 1);
      uint32_t tx = static_cast<uint32_t>(fx & 127);
      bool last_col = sxi >= src_pitch - 1;
      uint32_t p00 = r0[sxi];
      uint32_t p10 = last_col ? p00 : r0[sxi + 1];
      uint32_t p01 = last_row ? p00 : r1[sxi];
      uint32_t p11 = (last_row || last_col) ? p00 : r1[sxi + 1];
      uint32_t result = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        uint32_t a = (p00 >> shift) & 255, b = (p10 >> shift) & 255;
        uint32_t c = (p01 >> shift) & 255, d = (p11 >> shift) & 255;
        uint32_t h1 = a * (128 - tx) + b * tx;
        uint32_t h2 = c * (128 - tx) + d * tx;
        result |= (((128 - ty) * h1 + ty * h2) >> 14) << shift;
      }
      out[x] = result;
    }
  }
}

void wave_warp_rows(uint32_t* dst, int32_t dst_pitch, int32_t dst_rows, const uint32_t* src,
                    int32_t src_pitch, int32_t src_rows, float phase, float x_strength,
                    float y_strength) {
  if (!dst || !src) return;
  const int32_t* sine = sine_table512();
  // Strengths come from scripts: saturate so that no conversion overflows.
  auto sat = [](float v) -> int64_t {
    if (!(v == v)) return 0;
    return static_cast<int64_t>(std::clamp(v, -1e9f, 1e9f));
  };
  int64_t m = sat(phase * 511.0f);
  int64_t g = sat(static_cast<float>(src_rows) * x_strength * 0.1f);
  int64_t h = sat(static_cast<float>(src_pitch) * y_strength * 0.1f);
  int32_t w = std::min(dst_pitch, src_pitch);
  int32_t rows = std::min(dst_rows, src_rows);
  auto S = [&](int64_t k) { return int64_t{sine[((k % 512) + 512) % 512]}; };
  for (int32_t y = 0; y < rows; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      int64_t u = x + ((g * S(m + y)) >> 16);
      int64_t v = y + ((h * S(m + x)) >> 16);
      if (u < 0 || v < 0 || u >= w || v >= rows) continue;
      dst[static_cast<int64_t>(y) * dst_pitch + x] = src[v * src_pitch + u];
    }
  }
}
