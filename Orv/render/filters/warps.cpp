// Geometric warps from one sprite's cell into another's: swirl blur, wall spring, waveform.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "Orv/render/filters/cell_buffer.h"
#include "Orv/render/image_store.h"
#include "Orv/render/last_error.h"
#include "Orv/render/pixelops/pixel_access.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

inline uint32_t ch(uint32_t p, int i) {
  return (p >> (8 * i)) & 255u;
}

// A sample coordinate truncated toward zero and clamped to 0..size-1; a coordinate that is not
// a number counts as 0.
int64_t sample_index(double v, int64_t size) {
  if (!(v == v)) return 0;
  return std::clamp<int64_t>(static_cast<int64_t>(std::clamp(v, -1.0e15, 1.0e15)), 0, size - 1);
}

void swirl_blur(CellBuffer* cell, OrvRect r, float angle, float strength) {
  const int32_t w = (r.right - r.left) / 2, h = (r.bottom - r.top) / 2;
  if (w < 1 || h < 1) return;
  CellBuffer half, swirled;
  if (!cell_alloc(&half, w, h) || !cell_alloc(&swirled, w, h)) return;
  auto cell_at = [&](int64_t x, int64_t y) -> uint32_t& {
    return cell->pixels[(r.top + y) * cell->width + r.left + x];
  };
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) half.pixels[y * w + x] = cell_at(2 * x, 2 * y);
  const float cx = w / 2.0f, cy = h / 2.0f, radius = std::min(w, h) / 2.0f;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      float dx = x - cx, dy = y - cy;
      float d = std::max(std::sqrt(dx * dx + dy * dy), 1.0f);
      float k = std::max(0.0f, 1.0f - d / radius);
      int64_t u = sample_index(x + dy * angle * k, w), v = sample_index(y - dx * angle * k, h);
      swirled.pixels[y * w + x] = half.pixels[v * w + u];
    }
  }
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint32_t sum[3] = {0, 0, 0};
      for (int k = 0; k < 4; ++k) {
        float f = k * 0.25f * strength;
        int64_t u = sample_index(x - f * (x - cx), w), v = sample_index(y - f * (y - cy), h);
        uint32_t p = swirled.pixels[v * w + u];
        for (int i = 0; i < 3; ++i) sum[i] += ch(p, i);
      }
      uint32_t out = 0xFF000000u | (sum[2] / 4) << 16 | (sum[1] / 4) << 8 | sum[0] / 4;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) cell_at(2 * x + dx, 2 * y + dy) = out;
    }
  }
}

void wall_spring(CellBuffer* out, const CellBuffer& in, int32_t cx, int32_t cy, float power) {
  const double r = in.width / 2;
  double e = 0.9990009665489197;
  if (power > 1) e = 1.0 / power;
  if (power < 1) e = -power;
  double table[1024];
  for (int i = 0; i < 1024; ++i) table[i] = std::pow(i / 1023.0, e);
  for (int64_t y = 0; y < in.height; ++y) {
    for (int64_t x = 0; x < in.width; ++x) {
      double dx = static_cast<double>(x) - cx, dy = static_cast<double>(y) - cy;
      double distance = std::sqrt(dx * dx + dy * dy);
      uint32_t p = in.pixels[y * in.width + x];
      if (distance < r) {
        double d = distance / r;
        double scale = 0;
        if (d > 1e-6) {
          double step = d * 1023.0;
          int64_t i = step >= 1023.0 ? 1023 : static_cast<int64_t>(std::max(step, 0.0));
          scale = table[i] / d;
        }
        int64_t u = sample_index(cx + scale * dx + 0.5, in.width);
        int64_t v = sample_index(cy + scale * dy + 0.5, in.height);
        p = in.pixels[v * in.width + u];
      }
      out->pixels[y * out->width + x] = p;
    }
  }
}

// The noise wave: a hash of the column, the row and the phase, mapped to -1..1.
double noise_wave(int64_t x, int64_t y, float phase) {
  uint32_t column = static_cast<uint32_t>(x) * 73856093u & 0x7FFFFFFFu;
  uint32_t row = static_cast<uint32_t>(y) * 19349663u;
  float p = phase * 1000.0f;
  uint32_t t =
      (p == p) ? static_cast<uint32_t>(static_cast<int64_t>(std::clamp(p, -2.0e9f, 2.0e9f))) : 0u;
  uint32_t n = column ^ t ^ row;
  uint32_t k = (n ^ ((n & 0x3FFFFu) << 13)) & 0x7FFFFFFFu;
  uint32_t m = (k * (k * k * 60493u + 19990303u) - 771171059u) & 0x7FFFFFFFu;
  return m / 2147483648.0 * 2.0 - 1.0;
}

void waveform_warp(CellBuffer* out, const CellBuffer& in, float phase, float amplitude,
                   float wavelength, float speed, float degrees, int32_t type) {
  const float c = wavelength == 0.0f ? 1.0f : wavelength;
  const float t = degrees * 3.1415927f / 180.0f;
  const float cs = std::cos(t), sn = std::sin(t);
  for (int32_t y = 0; y < in.height; ++y) {
    for (int32_t x = 0; x < in.width; ++x) {
      float g = (x * cs + y * sn) / c + phase * speed;
      double w = 0;
      if (type == 0) {
        w = std::sin(2.0f * 3.1415927f * g);
      } else if (type == 1) {
        w = 2.0f * std::fabs(2.0f * (g - std::floor(g + 0.5f))) - 1.0f;
      } else if (type == 2) {
        w = noise_wave(x, y, phase);
      }
      float o = static_cast<float>(w) * amplitude;
      int64_t u = sample_index(x - o * sn, in.width), v = sample_index(y + o * cs, in.height);
      out->pixels[static_cast<size_t>(y) * out->width + x] = in.pixels[v * in.width + u];
    }
  }
}

}  // namespace

extern "C" {

void OrvSpriteSwirlBlur(OrvHandle dst, OrvHandle src, const OrvRect* region, float angle,
                        float strength) {
  CellBuffer cell;
  if (!region || !sprite_from(dst) || !cell_read(src, &cell)) return;
  // The region is cut to the cell.
  OrvRect r{std::max(region->left, 0), std::max(region->top, 0),
            std::min(region->right, cell.width), std::min(region->bottom, cell.height)};
  swirl_blur(&cell, r, angle, strength);
  cell_write(dst, cell);
}

OrvBool OrvSpriteWallSpringEffect(OrvHandle dst, OrvHandle src, int32_t cx, int32_t cy, float power,
                                  float) {
  int32_t dw = 0, dh = 0;
  CellBuffer in, out;
  if (!cell_size(dst, &dw, &dh) || !cell_read(src, &in)) return 0;
  if (in.width != dw || in.height != dh) return 0;
  if (!cell_alloc(&out, in.width, in.height)) return 0;
  wall_spring(&out, in, cx, cy, power);
  return cell_write(dst, out) ? 1 : 0;
}

void OrvSpriteWaveformWarp(OrvHandle dst, OrvHandle src, float phase, float amplitude,
                           float wavelength, float speed, float degrees, int32_t type) {
  OrvSprite* d = sprite_from(dst);
  OrvSprite* s = sprite_from(src);
  if (!d || !s || !d->image || !s->image) return;
  if (d->image->width != s->image->width || d->image->height != s->image->height) return;
  CellBuffer in, out;
  {
    SpritePixels sp(s, SpritePixels::kRead);
    if (!sp.ok() || !cell_alloc(&in, sp.width(), sp.height())) return;
    for (int32_t y = 0; y < sp.height(); ++y) {
      std::memcpy(in.pixels.data() + static_cast<size_t>(y) * sp.width(), sp.row(y),
                  static_cast<size_t>(sp.width()) * 4);
    }
  }
  if (!cell_alloc(&out, in.width, in.height)) return;
  waveform_warp(&out, in, phase, amplitude, wavelength, speed, degrees, type);
  SpritePixels dp(d, SpritePixels::kWrite);
  if (!dp.ok()) return;
  for (int32_t y = 0; y < out.height; ++y) {
    std::memcpy(dp.row(y), out.pixels.data() + static_cast<size_t>(y) * out.width,
                static_cast<size_t>(out.width) * 4);
  }
}

}  // extern "C"
