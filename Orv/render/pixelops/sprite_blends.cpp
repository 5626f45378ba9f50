// Blending one sprite's rectangle into another, and clearing transparent pixels.
#include "Orv/render/last_error.h"
#include "Orv/render/pixelops/pixel_access.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

// Source-alpha mix: a = 0 keeps, a = 255 replaces the colour, else (a s + (255 - a) d) >> 8 per
// colour byte; the destination alpha stays.
uint32_t mix_pixel(uint32_t d, uint32_t s) {
  uint32_t a = alpha_of(s);
  if (a == 0) return d;
  if (a == 255) return (d & 0xFF000000u) | (s & 0x00FFFFFFu);
  uint32_t out = d & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t c = (a * ((s >> shift) & 255u) + (255u - a) * ((d >> shift) & 255u)) >> 8;
    out |= c << shift;
  }
  return out;
}

// Source over destination with both alphas: u = d (255 - s) / 255, alpha s + u, each colour the
// weighted mean (integer division); 0 when both weights are 0.
uint32_t composite_pixel(uint32_t d, uint32_t s) {
  uint32_t sa = alpha_of(s), da = alpha_of(d);
  uint32_t u = da * (255u - sa) / 255u;
  uint32_t total = sa + u;
  if (total == 0) return 0;
  uint32_t out = total << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t c = (((s >> shift) & 255u) * sa + ((d >> shift) & 255u) * u) / total;
    out |= c << shift;
  }
  return out;
}

template <typename Op>
OrvBool blend_sprites(OrvHandle dst, int32_t dx, int32_t dy, int32_t w, int32_t h, OrvHandle src,
                      int32_t sx, int32_t sy, Op op) {
  OrvSprite* d = sprite_from(dst);
  OrvSprite* s = sprite_from(src);
  if (!d || !s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  if (w == 0 || h == 0) return 0;
  SpritePixels dp(d, SpritePixels::kWrite);
  SpritePixels sp(s, SpritePixels::kRead, &dp);
  if (!dp.ok() || !sp.ok()) return 1;
  PixelSpan span{dx, dy, sx, sy, w, h};
  if (!clip_span(&span, dp.width(), dp.height(), sp.width(), sp.height())) return 1;
  for (int64_t j = 0; j < span.h; ++j) {
    uint32_t* out = dp.row(span.dy + j) + span.dx;
    const uint32_t* in = sp.row(span.sy + j) + span.sx;
    for (int64_t i = 0; i < span.w; ++i) out[i] = op(out[i], in[i]);
  }
  return 1;
}

template <typename Op>
OrvBool each_pixel(OrvHandle sprite, int32_t x, int32_t y, int32_t w, int32_t h, Op op) {
  OrvSprite* s = sprite_from(sprite);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  if (w == 0 || h == 0) return 0;
  SpritePixels px(s, SpritePixels::kWrite);
  if (!px.ok()) return 1;
  PixelSpan span{x, y, x, y, w, h};
  if (!clip_span(&span, px.width(), px.height(), px.width(), px.height())) return 1;
  for (int64_t j = 0; j < span.h; ++j) {
    uint32_t* row = px.row(span.dy + j) + span.dx;
    for (int64_t i = 0; i < span.w; ++i) row[i] = op(row[i]);
  }
  return 1;
}

}  // namespace

extern "C" {

OrvBool OrvMixSpriteToSprite(OrvHandle dst, int32_t dx, int32_t dy, int32_t w, int32_t h,
                             OrvHandle src, int32_t sx, int32_t sy) {
  return blend_sprites(dst, dx, dy, w, h, src, sx, sy, mix_pixel);
}

OrvBool OrvMixSpriteToSpriteEx(OrvHandle dst, int32_t dx, int32_t dy, int32_t w, int32_t h,
                               OrvHandle src, int32_t sx, int32_t sy) {
  return blend_sprites(dst, dx, dy, w, h, src, sx, sy, composite_pixel);
}

OrvBool OrvSpriteDeleteNoAlpha(OrvHandle sprite, int32_t x, int32_t y, int32_t w, int32_t h) {
  return each_pixel(sprite, x, y, w, h, [](uint32_t p) { return alpha_of(p) ? p : 0u; });
}

OrvBool OrvSpriteDeleteNoAlpha255(OrvHandle sprite, int32_t x, int32_t y, int32_t w, int32_t h) {
  return each_pixel(sprite, x, y, w, h,
                    [](uint32_t p) { return alpha_of(p) ? (p | 0xFF000000u) : 0u; });
}

}  // extern "C"
