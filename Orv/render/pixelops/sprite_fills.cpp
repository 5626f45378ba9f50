// Box and disc fills, the caller's pixel rows, and the nearest-neighbour stretch.
#include <algorithm>
#include <cstring>

#include "Orv/render/last_error.h"
#include "Orv/render/pixelops/pixel_access.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

OrvSprite* sprite_or_error(OrvHandle handle) {
  OrvSprite* s = sprite_from(handle);
  if (!s) orv_set_last_error(kErrorInvalidHandle);
  return s;
}

// Fills columns x0..x1 (inclusive) of row y, cut to the image.
void fill_span(const SpritePixels& px, int64_t y, int64_t x0, int64_t x1, uint32_t argb) {
  if (y < 0 || y >= px.height()) return;
  x0 = std::max<int64_t>(x0, 0);
  x1 = std::min<int64_t>(x1, px.width() - 1);
  if (x0 > x1) return;
  std::fill(px.row(y) + x0, px.row(y) + x1 + 1, argb);
}

}  // namespace

extern "C" {

void OrvSpriteBoxFill(OrvHandle sprite, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb) {
  OrvSprite* s = sprite_or_error(sprite);
  if (!s || w <= 0 || h <= 0) return;
  SpritePixels px(s, SpritePixels::kWrite);
  if (!px.ok()) return;
  int64_t x1 = int64_t{x} + w - 1, y1 = int64_t{y} + h - 1;
  for (int64_t row = std::max<int64_t>(y, 0); row <= std::min<int64_t>(y1, px.height() - 1);
       ++row) {
    fill_span(px, row, x, x1, argb);
  }
}

void OrvSpriteCircleFill(OrvHandle sprite, int32_t cx, int32_t cy, int32_t radius, uint32_t argb) {
  OrvSprite* s = sprite_or_error(sprite);
  if (!s || radius < 1) return;
  SpritePixels px(s, SpritePixels::kWrite);
  if (!px.ok()) return;
  // Midpoint circle: each step fills the four spans that the octant point mirrors to.
  int64_t x = radius, y = 0, error = 1 - int64_t{radius};
  while (x >= y) {
    fill_span(px, cy - x, cx - y, cx + y, argb);
    fill_span(px, cy + x, cx - y, cx + y, argb);
    fill_span(px, cy - y, cx - x, cx + x, argb);
    fill_span(px, cy + y, cx - x, cx + x, argb);
    ++y;
    if (error >= 0) {
      --x;
      error += 2 * (y - x) + 1;
    } else {
      error += 2 * y + 1;
    }
  }
}

OrvBool OrvSpriteSetBuffer(OrvHandle sprite, const uint32_t* pixels, int32_t width,
                           int32_t height) {
  OrvSprite* s = sprite_or_error(sprite);
  if (!s) return 0;
  if (!pixels || width <= 0 || height <= 0) return 1;
  SpritePixels px(s, SpritePixels::kWrite);
  if (!px.ok()) return 1;
  // The caller's rows are width pixels apart; only the part that fits the image is copied.
  int32_t w = std::min(width, px.width()), h = std::min(height, px.height());
  for (int32_t y = 0; y < h; ++y) {
    std::memcpy(px.row(y), pixels + static_cast<int64_t>(y) * width, static_cast<size_t>(w) * 4);
  }
  return 1;
}

void OrvSpriteStretchBlt(OrvHandle dst, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                         OrvHandle src, int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  OrvSprite* d = sprite_or_error(dst);
  OrvSprite* s = d ? sprite_or_error(src) : nullptr;
  if (!d || !s || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  SpritePixels dp(d, SpritePixels::kWrite);
  SpritePixels sp(s, SpritePixels::kRead, &dp);
  if (!dp.ok() || !sp.ok()) return;
  int64_t DX = dx, DY = dy, DW = dw, DH = dh, SX = sx, SY = sy, SW = sw, SH = sh;
  // Clip one axis in proportion: the destination against its image, then the source against
  // its own, each cut carried over to the other side's size.
  auto clip_axis = [](int64_t& d0, int64_t& dn, int64_t& s0, int64_t& sn, int64_t dlimit,
                      int64_t slimit) {
    if (d0 < 0) {
      int64_t cut = -d0 * sn / dn;
      s0 += cut;
      sn -= cut;
      dn += d0;
      d0 = 0;
    }
    if (dn > 0 && d0 + dn > dlimit) {
      int64_t keep = dlimit - d0;
      sn = sn * keep / dn;
      dn = keep;
    }
    if (sn > 0 && dn > 0 && s0 < 0) {
      int64_t cut = -s0 * dn / sn;
      d0 += cut;
      dn -= cut;
      sn += s0;
      s0 = 0;
    }
    if (sn > 0 && dn > 0 && s0 + sn > slimit) {
      int64_t keep = slimit - s0;
      dn = dn * keep / sn;
      sn = keep;
    }
  };
  clip_axis(DX, DW, SX, SW, dp.width(), sp.width());
  clip_axis(DY, DH, SY, SH, dp.height(), sp.height());
  if (DW <= 0 || DH <= 0 || SW <= 0 || SH <= 0) return;
  // A source rectangle clipped to nothing by the destination side can still start outside.
  if (DX + DW > dp.width() || DY + DH > dp.height()) return;
  for (int64_t r = 0; r < DH; ++r) {
    int64_t v = std::clamp<int64_t>(SY + r * SH / DH, 0, sp.height() - 1);
    uint32_t* out = dp.row(DY + r) + DX;
    const uint32_t* in = sp.row(v);
    for (int64_t c = 0; c < DW; ++c) {
      out[c] = in[std::clamp<int64_t>(SX + c * SW / DW, 0, sp.width() - 1)];
    }
  }
}

}  // extern "C"
