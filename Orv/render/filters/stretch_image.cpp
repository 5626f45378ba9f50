// StretchImage: one sprite's whole image scaled onto another's.
#include <memory>
#include <new>
#include <vector>

#include "Orv/render/filters/kernels.h"
#include "Orv/render/font/glyph_scale.h"
#include "Orv/render/pixel_kernels.h"
#include "Orv/render/pixelops/pixel_access.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

// Mode 1: each byte of the pixels scaled on its own with the one-byte bilinear formula.
void scale_bytes_bilinear(const SpritePixels& dp, const SpritePixels& sp, float fx, float fy) {
  const int64_t sn = int64_t{sp.width()} * sp.height(), dn = int64_t{dp.width()} * dp.height();
  std::unique_ptr<uint8_t[]> in(new (std::nothrow) uint8_t[sn]);
  std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[dn]);
  if (!in || !out) return;
  for (int shift = 0; shift < 32; shift += 8) {
    for (int64_t y = 0; y < sp.height(); ++y)
      for (int64_t x = 0; x < sp.width(); ++x)
        in[y * sp.width() + x] = static_cast<uint8_t>(sp.at(x, y) >> shift);
    std::fill(out.get(), out.get() + dn, uint8_t{0});
    ScaleBilinear8(out.get(), dp.width(), dp.height(), in.get(), sp.width(), sp.height(), fx, fy);
    const uint32_t keep = ~(0xFFu << shift);
    for (int64_t y = 0; y < dp.height(); ++y)
      for (int64_t x = 0; x < dp.width(); ++x)
        dp.at(x, y) = (dp.at(x, y) & keep) | uint32_t{out[y * dp.width() + x]} << shift;
  }
}

}  // namespace

extern "C" {

OrvBool StretchImage(OrvHandle dst, OrvHandle src, int32_t mode) {
  OrvSprite* d = sprite_from(dst);
  OrvSprite* s = sprite_from(src);
  if (!d || !s || d == s) return 1;
  SpritePixels dp(d, SpritePixels::kWrite);
  SpritePixels sp(s, SpritePixels::kRead);
  if (!dp.ok() || !sp.ok()) return 1;
  if (dp.width() == sp.width() && dp.height() == sp.height()) {
    CopyRectPixels(dp.pixels(), dp.width(), dp.height(), dp.pitch(), sp.pixels(), 0, 0, sp.width(),
                   sp.height(), sp.pitch());
    return 1;
  }
  const float fx = static_cast<float>(dp.width()) / static_cast<float>(sp.width());
  const float fy = static_cast<float>(dp.height()) / static_cast<float>(sp.height());
  if (mode == 1) {
    scale_bytes_bilinear(dp, sp, fx, fy);
    return 1;
  }
  if (mode != 0 && mode != 2) return 1;
  // The scalers read rows as long as their pitch: give them the images without the storage
  // padding.
  std::vector<uint32_t> in, out;
  try {
    in.resize(static_cast<size_t>(sp.width()) * sp.height());
    out.resize(static_cast<size_t>(dp.width()) * dp.height());
  } catch (const std::bad_alloc&) {
    return 1;
  }
  CopyRectPixels(in.data(), sp.width(), sp.height(), sp.width(), sp.pixels(), 0, 0, sp.width(),
                 sp.height(), sp.pitch());
  CopyRectPixels(out.data(), dp.width(), dp.height(), dp.width(), dp.pixels(), 0, 0, dp.width(),
                 dp.height(), dp.pitch());
  auto scale = mode == 0 ? scale_nearest32 : scale_bilinear32;
  scale(out.data(), dp.width(), dp.height(), in.data(), sp.width(), sp.height(), fx, fy);
  CopyRectPixels(dp.pixels(), dp.width(), dp.height(), dp.pitch(), out.data(), 0, 0, dp.width(),
                 dp.height(), dp.width());
  return 1;
}

}  // extern "C"
