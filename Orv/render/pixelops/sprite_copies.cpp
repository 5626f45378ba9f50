// Copies of pixels and channels between sprites, and single-pixel access.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "Orv/render/last_error.h"
#include "Orv/render/pixelops/pixel_access.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

bool channel_ok(int32_t channel) {
  return channel >= 0 && channel <= 3;
}

// Runs row(out, in, n) over the clipped span, walking rows bottom-up when source and
// destination are one sprite and the destination lies below, so that no source row is
// overwritten before it is read.
template <typename RowOp>
OrvBool copy_span(OrvHandle dst, OrvHandle src, PixelSpan span, RowOp row_op) {
  OrvSprite* d = sprite_from(dst);
  OrvSprite* s = sprite_from(src);
  if (!d || !s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  if (span.w == 0 || span.h == 0) return 0;
  SpritePixels dp(d, SpritePixels::kWrite);
  SpritePixels sp(s, SpritePixels::kRead, &dp);
  if (!dp.ok() || !sp.ok()) return 1;
  apply_copy_origin_rule(&span);
  if (!clip_span(&span, dp.width(), dp.height(), sp.width(), sp.height())) return 1;
  bool upward = d == s && span.dy > span.sy;
  for (int64_t k = 0; k < span.h; ++k) {
    int64_t j = upward ? span.h - 1 - k : k;
    row_op(dp.row(span.dy + j) + span.dx, sp.row(span.sy + j) + span.sx, span.w);
  }
  return 1;
}

uint8_t* channel_bytes(uint32_t* p, int32_t channel) {
  return reinterpret_cast<uint8_t*>(p) + channel;
}

}  // namespace

extern "C" {

OrvBool OrvCopySpriteToSpriteChannel(OrvHandle dst, int32_t dx, int32_t dy, int32_t dst_channel,
                                     OrvHandle src, int32_t sx, int32_t sy, int32_t w, int32_t h,
                                     int32_t src_channel) {
  if (!channel_ok(dst_channel) || !channel_ok(src_channel)) return 0;
  return copy_span(dst, src, PixelSpan{dx, dy, sx, sy, w, h},
                   [&](uint32_t* out, uint32_t* in, int64_t n) {
                     uint8_t* o = channel_bytes(out, dst_channel);
                     const uint8_t* i = channel_bytes(in, src_channel);
                     for (int64_t k = 0; k < n; ++k) o[4 * k] = i[4 * k];
                   });
}

OrvBool OrvCopySpriteToSpriteRGB(OrvHandle dst, int32_t dx, int32_t dy, OrvHandle src, int32_t sx,
                                 int32_t sy, int32_t w, int32_t h) {
  return copy_span(dst, src, PixelSpan{dx, dy, sx, sy, w, h},
                   [](uint32_t* out, uint32_t* in, int64_t n) {
                     std::memmove(out, in, static_cast<size_t>(n) * 4);
                   });
}

OrvBool OrvCopySpriteToSpriteRGBStr(OrvHandle dst, int32_t dx, int32_t dy, int32_t, int32_t,
                                    OrvHandle src, int32_t sx, int32_t sy, int32_t w, int32_t h) {
  return OrvCopySpriteToSpriteRGB(dst, dx, dy, src, sx, sy, w, h);
}

OrvBool OrvCopySpriteToSpriteRectRGB(OrvHandle dst, OrvHandle src) {
  OrvSprite* s = sprite_from(src);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  auto trunc_pos = [](float v) {
    if (!(v == v)) return 0;
    return static_cast<int32_t>(std::clamp(v, -2147483520.0f, 2147483520.0f));
  };
  return OrvCopySpriteToSpriteRGB(dst, trunc_pos(s->x), trunc_pos(s->y), src, s->rect.left,
                                  s->rect.top, s->cell_width, s->cell_height);
}

uint32_t OrvGetPixel(OrvHandle sprite, int32_t x, int32_t y) {
  OrvSprite* s = sprite_from(sprite);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  SpritePixels px(s, SpritePixels::kRead);
  if (!px.ok() || x < 0 || y < 0 || x >= px.cell_width() || y >= px.cell_height()) return 0;
  return px.at(x, y);
}

void OrvSetPixel(OrvHandle sprite, int32_t x, int32_t y, uint32_t argb) {
  OrvSprite* s = sprite_from(sprite);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return;
  }
  SpritePixels px(s, SpritePixels::kWrite);
  if (!px.ok() || x < 0 || y < 0 || x >= px.cell_width() || y >= px.cell_height()) return;
  px.at(x, y) = argb;
}

OrvBool OrvChannelCopyEx(OrvHandle dst, const OrvRect* rect, int32_t dst_channel, OrvHandle src,
                         int32_t sx, int32_t sy, int32_t src_channel, int32_t mode) {
  OrvSprite* d = sprite_from(dst);
  OrvSprite* s = sprite_from(src);
  if (!d || !s || !rect || !channel_ok(dst_channel) || !channel_ok(src_channel)) return 0;
  if (mode < 0 || mode > 2) return 0;
  SpritePixels dp(d, SpritePixels::kWrite);
  SpritePixels sp(s, SpritePixels::kRead, &dp);
  if (!dp.ok() || !sp.ok()) return 0;
  // The rectangle is cut to the destination cell; the source start follows the cut.
  int64_t left = std::max<int64_t>(rect->left, 0), top = std::max<int64_t>(rect->top, 0);
  int64_t right = std::min<int64_t>(rect->right, dp.cell_width());
  int64_t bottom = std::min<int64_t>(rect->bottom, dp.cell_height());
  if (right <= left || bottom <= top) return 0;
  PixelSpan span{
      left,         top,         int64_t{sx} + left - rect->left, int64_t{sy} + top - rect->top,
      right - left, bottom - top};
  if (!clip_span(&span, dp.cell_width(), dp.cell_height(), sp.cell_width(), sp.cell_height())) {
    return 0;
  }
  bool upward = d == s && span.dy > span.sy;
  for (int64_t k = 0; k < span.h; ++k) {
    int64_t j = upward ? span.h - 1 - k : k;
    uint8_t* o = channel_bytes(dp.row(span.dy + j) + span.dx, dst_channel);
    const uint8_t* in = channel_bytes(sp.row(span.sy + j) + span.sx, src_channel);
    for (int64_t i = 0; i < span.w; ++i) {
      uint32_t sv = in[4 * i], dv = o[4 * i];
      if (mode == 0) {
        dv = sv;
      } else if (mode == 1) {
        dv = std::min(dv + sv, 255u);
      } else {
        dv = (sv * dv * 257 + 32896) >> 16;
      }
      o[4 * i] = static_cast<uint8_t>(dv);
    }
  }
  return 1;
}

void OrvSpriteSetAddressUV(OrvHandle sprite, int32_t mode) {
  OrvSprite* s = sprite_from(sprite);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return;
  }
  s->address_mode = mode;
}

OrvBool OrvSpriteSetRotateResolution(OrvHandle sprite, int32_t units_per_turn) {
  OrvSprite* s = sprite_from(sprite);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  s->rotation_resolution = static_cast<float>(units_per_turn);
  return 1;
}

}  // extern "C"
