// Alpha masks and the displacement map.
#include <algorithm>
#include <cmath>

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

// Multiplies the alpha of the span's destination pixels by the mask byte that mask_value
// reads at the span's source position; inverted uses 255 - the byte.
template <typename MaskAt>
void mask_span(const SpritePixels& px, const PixelSpan& s, bool inverted, MaskAt mask_at) {
  for (int64_t j = 0; j < s.h; ++j) {
    uint32_t* row = px.row(s.dy + j) + s.dx;
    for (int64_t i = 0; i < s.w; ++i) {
      uint32_t m = mask_at(s.sx + i, s.sy + j) & 255u;
      if (inverted) m = 255u - m;
      row[i] = with_alpha(row[i], (alpha_of(row[i]) * m) >> 8);
    }
  }
}

void mask_with_record(OrvHandle sprite, int32_t x, int32_t y, int32_t w, int32_t h,
                      const OrvAlphaMask* mask, int32_t mx, int32_t my, bool inverted) {
  OrvSprite* s = sprite_or_error(sprite);
  if (!s || !mask || !mask->pixels || mask->width <= 0 || mask->height <= 0) return;
  SpritePixels px(s, SpritePixels::kWrite);
  if (!px.ok()) return;
  PixelSpan span{x, y, mx, my, w, h};
  if (!clip_span(&span, px.width(), px.height(), mask->width, mask->height)) return;
  const uint32_t* m = mask->pixels;
  int64_t mw = mask->width;
  mask_span(px, span, inverted, [&](int64_t u, int64_t v) { return m[v * mw + u]; });
}

}  // namespace

extern "C" {

void OrvSpriteMaskAlpha(OrvHandle sprite, int32_t x, int32_t y, int32_t w, int32_t h,
                        const OrvAlphaMask* mask, int32_t mask_x, int32_t mask_y) {
  mask_with_record(sprite, x, y, w, h, mask, mask_x, mask_y, false);
}

void OrvSpriteMaskAlpha2(OrvHandle sprite, int32_t x, int32_t y, int32_t w, int32_t h,
                         const OrvAlphaMask* mask, int32_t mask_x, int32_t mask_y) {
  mask_with_record(sprite, x, y, w, h, mask, mask_x, mask_y, true);
}

void OrvSpriteMaskAlphaEx(OrvHandle sprite, int32_t x, int32_t y, int32_t w, int32_t h,
                          OrvHandle mask, int32_t mask_x, int32_t mask_y, int32_t flags) {
  OrvSprite* s = sprite_or_error(sprite);
  OrvSprite* m = s ? sprite_or_error(mask) : nullptr;
  if (!s || !m) return;
  SpritePixels px(s, SpritePixels::kWrite);
  SpritePixels mp(m, SpritePixels::kRead, &px);
  if (!px.ok() || !mp.ok()) return;
  PixelSpan span{x, y, mask_x, mask_y, w, h};
  if (!clip_span(&span, px.width(), px.height(), mp.width(), mp.height())) return;
  mask_span(px, span, (flags & 1) != 0, [&](int64_t u, int64_t v) { return mp.at(u, v); });
}

void OrvSpriteApplyAlphaMask(OrvHandle sprite, int32_t x, int32_t y, int32_t w, int32_t h,
                             OrvHandle mask, int32_t mask_x, int32_t mask_y, int32_t x_divisor,
                             int32_t y_divisor) {
  OrvSprite* s = sprite_or_error(sprite);
  OrvSprite* m = s ? sprite_or_error(mask) : nullptr;
  if (!s || !m || x_divisor < 1 || y_divisor < 1) return;
  SpritePixels px(s, SpritePixels::kWrite);
  SpritePixels mp(m, SpritePixels::kRead, &px);
  if (!px.ok() || !mp.ok()) return;
  // The rectangle is cut to the image; (i, j) stay relative to its given origin so that the
  // mask keeps its place.
  int64_t i0 = std::max<int64_t>(0, -int64_t{x}), j0 = std::max<int64_t>(0, -int64_t{y});
  int64_t i1 = std::min<int64_t>(w, int64_t{px.width()} - x);
  int64_t j1 = std::min<int64_t>(h, int64_t{px.height()} - y);
  const double mw = mp.width(), mh = mp.height();
  auto wrap = [](double v, double size) {
    double r = std::fmod(v, size);
    if (r < 0) r += size;
    int64_t k = static_cast<int64_t>(r);
    return k >= static_cast<int64_t>(size) ? static_cast<int64_t>(size) - 1 : k;
  };
  for (int64_t j = j0; j < j1; ++j) {
    int64_t v = wrap(static_cast<double>(j) / y_divisor + mask_y, mh);
    uint32_t* row = px.row(y + j);
    for (int64_t i = i0; i < i1; ++i) {
      int64_t u = wrap(static_cast<double>(i) / x_divisor + mask_x, mw);
      uint32_t value = mp.at(u, v) & 255u;
      row[x + i] = with_alpha(row[x + i], (alpha_of(row[x + i]) * value) >> 8);
    }
  }
}

void OrvSpriteDisplacementMap(OrvHandle dst, int32_t x, int32_t y, int32_t w, int32_t h,
                              OrvHandle map, int32_t map_x, int32_t map_y, int32_t map_x_divisor,
                              int32_t map_y_divisor, OrvHandle src, int32_t src_x, int32_t src_y,
                              int32_t x_amplitude, int32_t y_amplitude) {
  OrvSprite* d = sprite_or_error(dst);
  OrvSprite* m = d ? sprite_or_error(map) : nullptr;
  OrvSprite* s = m ? sprite_or_error(src) : nullptr;
  if (!d || !m || !s || map_x_divisor < 1 || map_y_divisor < 1) return;
  SpritePixels dp(d, SpritePixels::kWrite);
  SpritePixels mp(m, SpritePixels::kRead, &dp);
  const SpritePixels* owner = s == m ? &mp : &dp;
  SpritePixels sp(s, SpritePixels::kRead, owner);
  if (!dp.ok() || !mp.ok() || !sp.ok()) return;
  int64_t mw = mp.width(), mh = mp.height();
  auto wrap = [](int64_t v, int64_t size) {
    int64_t r = v % size;
    return r < 0 ? r + size : r;
  };
  // Only destination pixels inside the image can change: walk those.
  int64_t i0 = std::max<int64_t>(0, -int64_t{x}), j0 = std::max<int64_t>(0, -int64_t{y});
  int64_t i1 = std::min<int64_t>(w, int64_t{dp.width()} - x);
  int64_t j1 = std::min<int64_t>(h, int64_t{dp.height()} - y);
  for (int64_t j = j0; j < j1; ++j) {
    int64_t v = wrap(map_y + j / map_y_divisor, mh);
    for (int64_t i = i0; i < i1; ++i) {
      uint32_t mpx = mp.at(wrap(map_x + i / map_x_divisor, mw), v);
      int64_t b = static_cast<int64_t>(mpx & 255u) - 128;
      int64_t g = static_cast<int64_t>((mpx >> 8) & 255u) - 128;
      int64_t ox = (int64_t{x_amplitude} * b * 257) >> 16;
      int64_t oy = (int64_t{y_amplitude} * g * 257) >> 16;
      int64_t su = src_x + i + ox, sv = src_y + j + oy;
      if (su < 0 || sv < 0 || su >= sp.width() || sv >= sp.height()) continue;
      dp.at(x + i, y + j) = sp.at(su, sv);
    }
  }
}

}  // extern "C"
