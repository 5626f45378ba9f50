// Blurs from one sprite's cell into another's: box, 16-tap, motion, and the alpha copy.
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "Orv/render/filters/cell_buffer.h"
#include "Orv/render/filters/kernels.h"
#include "Orv/render/last_error.h"
#include "Orv/render/pixelops/pixel_access.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

inline uint32_t ch(uint32_t p, int i) {
  return (p >> (8 * i)) & 255u;
}

// The source cell, when both sprites have cells of one positive size.
bool read_matching_source(OrvHandle dst, OrvHandle src, CellBuffer* out) {
  int32_t dw = 0, dh = 0;
  if (!cell_size(dst, &dw, &dh) || !cell_read(src, out)) return false;
  return out->width == dw && out->height == dh && dw > 0 && dh > 0;
}

// One box pass with radius r over the rows of in (w x h): each pixel is the mean of the 2r + 1
// pixels around it, the ends repeated; row y of the result is written as column y of out
// (h x w), so two passes restore the orientation.
void box_blur_pass(uint32_t* out, const uint32_t* in, int64_t w, int64_t h, int64_t r,
                   const uint32_t* divide) {
  const int64_t span = 2 * r + 1;
  for (int64_t y = 0; y < h; ++y) {
    const uint32_t* row = in + y * w;
    auto px = [&](int64_t x) { return row[std::clamp<int64_t>(x, 0, w - 1)]; };
    int64_t sum[4];
    for (int i = 0; i < 4; ++i) {
      // (r + 1) copies of the first pixel, then pixels 1..r with the last one repeated.
      int64_t s = (r + 1) * ch(row[0], i);
      int64_t inside = std::min(r, w - 1);
      for (int64_t k = 1; k <= inside; ++k) s += ch(row[k], i);
      s += (r - inside) * ch(row[w - 1], i);
      sum[i] = s;
    }
    for (int64_t x = 0; x < w; ++x) {
      uint32_t v = 0;
      for (int i = 0; i < 4; ++i) {
        uint32_t mean = divide ? divide[sum[i]] : static_cast<uint32_t>(sum[i] / span);
        v |= mean << (8 * i);
      }
      out[x * h + y] = v;
      uint32_t gone = px(x - r), come = px(x + r + 1);
      for (int i = 0; i < 4; ++i) sum[i] += int64_t{ch(come, i)} - ch(gone, i);
    }
  }
}

// Radii up to this use a divide table (r * 512 + 256 entries); larger ones divide.
constexpr int64_t kMaxTableRadius = 256;

bool box_blur(CellBuffer* image, int32_t x_radius, int32_t y_radius, int32_t passes) {
  const int64_t w = image->width, h = image->height;
  CellBuffer other;
  if (!cell_alloc(&other, image->height, image->width)) return false;
  auto table_for = [](int64_t r) -> std::unique_ptr<uint32_t[]> {
    if (r > kMaxTableRadius) return nullptr;
    int64_t n = r * 512 + 256;
    std::unique_ptr<uint32_t[]> t(new (std::nothrow) uint32_t[n]);
    if (t) {
      for (int64_t i = 0; i < n; ++i) t[i] = static_cast<uint32_t>(i / (2 * r + 1));
    }
    return t;
  };
  const int64_t rx = std::max(0, x_radius), ry = std::max(0, y_radius);
  auto tx = table_for(rx), ty = table_for(ry);
  for (int32_t p = 0; p < passes; ++p) {
    box_blur_pass(other.pixels.data(), image->pixels.data(), w, h, rx, tx.get());
    box_blur_pass(image->pixels.data(), other.pixels.data(), h, w, ry, ty.get());
  }
  return true;
}

// Motion blur sampling of one cell: 2 n q samples along the angle, 16.16 fixed point.
void motion_blur(CellBuffer* out, const CellBuffer& in, int32_t length, double angle,
                 int32_t density) {
  const double c = std::cos(angle), s = std::sin(angle);
  auto fixed = [](double v) -> int64_t {
    if (!(v == v)) return 0;
    return static_cast<int64_t>(std::clamp(v * 65536.0, -7.0e16, 7.0e16));
  };
  const int64_t samples = int64_t{2} * length * density;
  const int64_t step_x = fixed(c / density), step_y = fixed(s / density);
  for (int64_t y = 0; y < in.height; ++y) {
    for (int64_t x = 0; x < in.width; ++x) {
      int64_t fx = fixed(static_cast<double>(x) - length * c);
      int64_t fy = fixed(static_cast<double>(y) - length * s);
      uint64_t sum[4] = {0, 0, 0, 0};
      for (int64_t k = 0; k < samples; ++k, fx += step_x, fy += step_y) {
        int64_t u = fx >> 16, v = fy >> 16;
        if (u < 0 || v < 0 || u >= in.width || v >= in.height) continue;
        uint32_t p = in.pixels[v * in.width + u], a = p >> 24;
        for (int i = 0; i < 3; ++i) sum[i] += uint64_t{ch(p, i)} * a;
        sum[3] += a;
      }
      uint32_t r = 0;
      if (sum[3]) {
        r = static_cast<uint32_t>(std::min<uint64_t>(255, sum[3] / samples)) << 24;
        for (int i = 0; i < 3; ++i) {
          r |= static_cast<uint32_t>(std::min<uint64_t>(255, sum[i] / sum[3])) << (8 * i);
        }
      }
      out->pixels[y * out->width + x] = r;
    }
  }
}

}  // namespace

extern "C" {

OrvBool OrvBoxBlurFilter(OrvHandle dst, OrvHandle src, int32_t x_radius, int32_t y_radius,
                         int32_t passes) {
  CellBuffer image;
  if (!read_matching_source(dst, src, &image)) return 0;
  bool ok;
  {
    WorkThreadLockGap gap;
    ok = box_blur(&image, x_radius, y_radius, passes);
  }
  return ok && cell_write(dst, image) ? 1 : 0;
}

OrvBool OrvGaussianBlurFilter(OrvHandle dst, OrvHandle src, int32_t level) {
  if (level < 0 || level >= kBlurLevels) return 0;
  CellBuffer image, blurred;
  if (!read_matching_source(dst, src, &image)) return 0;
  if (!cell_alloc(&blurred, image.width, image.height)) return 0;
  bool ok;
  {
    WorkThreadLockGap gap;
    ok = BlurKernel16(blurred.pixels.data(), image.pixels.data(), image.width, image.height,
                      image.width, level);
  }
  return ok && cell_write(dst, blurred) ? 1 : 0;
}

OrvBool OrvMotionBlurFilter(OrvHandle dst, OrvHandle src, int32_t length, double angle,
                            int32_t density) {
  CellBuffer image, blurred;
  if (!read_matching_source(dst, src, &image)) return 0;
  // Nothing to smear along: the picture is copied as it is.
  if (length <= 0 || density <= 0) return cell_write(dst, image) ? 1 : 0;
  if (!cell_alloc(&blurred, image.width, image.height)) return 0;
  {
    WorkThreadLockGap gap;
    motion_blur(&blurred, image, length, angle, density);
  }
  return cell_write(dst, blurred) ? 1 : 0;
}

OrvBool OrvAlphaCopyFilter(OrvHandle dst, OrvHandle src, int32_t level) {
  OrvSprite* d = sprite_from(dst);
  OrvSprite* s = sprite_from(src);
  if (!d || !s) return 0;
  SpritePixels dp(d, SpritePixels::kWrite);
  SpritePixels sp(s, SpritePixels::kRead, &dp);
  if (!dp.ok() || !sp.ok()) {
    OrvDebugPrintf(0, "", "sp_alpha_copy lock error");
    return 0;
  }
  if (dp.cell_width() != sp.cell_width() || dp.cell_height() != sp.cell_height()) return 0;
  const uint32_t v = static_cast<uint32_t>(std::clamp(level, 0, 255));
  uint32_t k[4];
  for (int i = 0; i < 4; ++i) k[i] = v * ch(s->color, i) / 255;
  const bool blank = k[3] == 0 || v == 0;
  for (int32_t y = 0; y < dp.cell_height(); ++y) {
    uint32_t* out = dp.row(y);
    const uint32_t* in = sp.row(y);
    for (int32_t x = 0; x < dp.cell_width(); ++x) {
      uint32_t p = in[x], a = p >> 24, r = 0;
      if (!blank && a) {
        r = a << 24;
        for (int i = 0; i < 3; ++i) {
          uint32_t c = (ch(p, i) * k[i] + 255) >> 8;
          r |= (a == 255 ? c : (a * c + 255) >> 8) << (8 * i);
        }
      }
      out[x] = r;
    }
  }
  return 1;
}

}  // extern "C"
