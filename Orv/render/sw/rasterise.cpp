#include <algorithm>
#include <cmath>

#include "Orv/render/image_store.h"
#include "Orv/render/pixel_kernels.h"
#include "Orv/render/sine_table.h"
#include "Orv/render/sw/blend.h"
#include "Orv/render/sw/dib_renderer.h"

namespace {

// Clips the rectangle to the picture; moves (x, y) by what was cut off the top and left so
// that the remaining pixels keep their place. False when nothing is left.
bool clip_rect_to_source(const DibSource& src, OrvRect* r, int32_t* x, int32_t* y) {
  int64_t l = r->left, t = r->top, rr = r->right, b = r->bottom;
  int64_t cl = std::max<int64_t>(l, 0), ct = std::max<int64_t>(t, 0);
  rr = std::min<int64_t>(rr, src.width);
  b = std::min<int64_t>(b, src.height);
  if (rr <= cl || b <= ct) return false;
  *x = static_cast<int32_t>(*x + (cl - l));
  *y = static_cast<int32_t>(*y + (ct - t));
  *r = OrvRect{static_cast<int32_t>(cl), static_cast<int32_t>(ct), static_cast<int32_t>(rr),
               static_cast<int32_t>(b)};
  return true;
}

void blit_plain(const DibSurface& target, const DibSource& src, int64_t x, int64_t y,
                const OrvRect& r, uint32_t color, int32_t blend) {
  int64_t sx = r.left, sy = r.top;
  int64_t w = r.right - r.left, h = r.bottom - r.top;
  if (x < 0) {
    sx -= x;
    w += x;
    x = 0;
  }
  if (y < 0) {
    sy -= y;
    h += y;
    y = 0;
  }
  w = std::min<int64_t>(w, target.width - x);
  h = std::min<int64_t>(h, target.height - y);
  if (w <= 0 || h <= 0) return;
  for (int64_t row = 0; row < h; ++row) {
    blend_row(target.pixels + (y + row) * target.pitch + x,
              src.pixels + (sy + row) * src.pitch + sx, static_cast<int32_t>(w), color, blend);
  }
}

// The frame's first sprite, when it is drawn plainly (no rotation or scale, the alpha blend)
// and covers the whole back buffer that a clear is pending on: each row blended over the
// clear colour and written once, the bytes of the fill followed by the blend. False (nothing
// done) for any other sprite.
bool draw_over_clear(DibRenderer* dib, const DibSource& src, int32_t x, int32_t y, int32_t rotation,
                     float scale_x, float scale_y, OrvRect rect, uint32_t color, int32_t blend) {
  if (blend != kBlendAlpha || rotation != 0 || scale_x != 1.0f || scale_y != 1.0f) return false;
  if (!src.pixels || !clip_rect_to_source(src, &rect, &x, &y)) return false;
  // The part of the sprite inside the frame must be the whole frame.
  const int64_t w = int64_t{rect.right} - rect.left, h = int64_t{rect.bottom} - rect.top;
  if (x > 0 || y > 0 || int64_t{x} + w < dib->game_w || int64_t{y} + h < dib->game_h) {
    return false;
  }
  const int64_t sx = int64_t{rect.left} - x, sy = int64_t{rect.top} - y;  // x, y <= 0
  uint32_t* back = dib->back.data();
  for (int64_t row = 0; row < dib->game_h; ++row) {
    blend_row_over(back + row * dib->game_w, src.pixels + (sy + row) * src.pitch + sx, dib->game_w,
                   color, dib->clear_colour);
  }
  dib->clear_pending = false;
  return true;
}

}  // namespace

void rasterise_sprite(DibRenderer* dib, const DibSurface& target, const DibSource& src, int32_t x,
                      int32_t y, int32_t rotation, float scale_x, float scale_y, OrvRect rect,
                      uint32_t color, int32_t blend) {
  if (!target.pixels || !src.pixels) return;
  if (!clip_rect_to_source(src, &rect, &x, &y)) return;
  if (rotation == 0 && scale_x == 1.0f && scale_y == 1.0f) {
    blit_plain(target, src, x, y, rect, color, blend);
    return;
  }
  // A negative or zero scale (or not a number) gives no box at all.
  if (!(scale_x > 0.0f) || !(scale_y > 0.0f)) return;

  const int32_t* sine = sine_table512();
  int32_t a = static_cast<int32_t>(((-int64_t{rotation}) % 512 + 512) % 512);
  int64_t sn = sine[a] / 256;
  int64_t cs = sine[(a + 128) & 511] / 256;
  int64_t sw = std::min(rect.right - rect.left, kDibMaxBox);
  int64_t sh = std::min(rect.bottom - rect.top, kDibMaxBox);
  double d = std::trunc(std::sqrt(static_cast<double>(sw * sw + sh * sh)));
  int64_t bw = static_cast<int64_t>(std::min<double>(std::trunc(scale_x * d), kDibMaxBox));
  int64_t bh = static_cast<int64_t>(std::min<double>(std::trunc(scale_y * d), kDibMaxBox));
  if (bw <= 0 || bh <= 0) return;
  int64_t fx = static_cast<int64_t>(std::min(256.0f / scale_x, 1e9f));
  int64_t fy = static_cast<int64_t>(std::min(256.0f / scale_y, 1e9f));
  int64_t bx0 = x - ((bw - sw) >> 1);
  int64_t by0 = y - ((bh - sh) >> 1);

  // Only the part of the box inside the target is computed.
  int64_t x0 = std::max<int64_t>(bx0, 0), x1 = std::min<int64_t>(bx0 + bw, target.width);
  int64_t y0 = std::max<int64_t>(by0, 0), y1 = std::min<int64_t>(by0 + bh, target.height);
  if (x0 >= x1 || y0 >= y1) return;
  if (dib->row.size() < static_cast<size_t>(kDibMaxBox)) dib->row.assign(kDibMaxBox, 0);
  uint32_t* samples = dib->row.data();
  const uint32_t* base = src.pixels + static_cast<int64_t>(rect.top) * src.pitch + rect.left;
  int64_t hw = bw >> 1, hh = bh >> 1, cx = sw >> 1, cy = sh >> 1;
  if (rotation == 0 && sn == 0 && cs > 0) {
    // Scaled only: the source column depends on the target column alone and the source row on
    // the target row alone, so the columns are worked out once and a row of samples is reused
    // by the target rows that map to the same source row. Pixels the formula maps outside the
    // source are clear, which the blends (all but copy) leave alone: only the span that maps
    // inside is blended. The bytes are those of the general loop below.
    if (dib->columns.size() < static_cast<size_t>(kDibMaxBox)) dib->columns.assign(kDibMaxBox, 0);
    int32_t* cols = dib->columns.data();
    int64_t c0 = x1, c1 = x0;  // the span of target columns that map inside
    for (int64_t tx = x0; tx < x1; ++tx) {
      int64_t u = (((tx - bx0 - hw) * cs * fx) >> 16) + cx;
      bool inside = u >= 0 && u < sw;
      cols[tx - x0] = inside ? static_cast<int32_t>(u) : -1;
      if (inside) {
        c0 = std::min(c0, tx);
        c1 = tx + 1;
      }
    }
    const bool copy = blend == kBlendCopy;
    int64_t from = copy ? x0 : c0, to = copy ? x1 : c1;
    int64_t last_v = -1;
    for (int64_t ty = y0; ty < y1 && from < to; ++ty) {
      int64_t v = (((ty - by0 - hh) * cs * fy) >> 16) + cy;
      bool row_inside = v >= 0 && v < sh;
      if (!row_inside && !copy) continue;
      if (!row_inside || v != last_v) {
        const uint32_t* in = row_inside ? base + v * src.pitch : nullptr;
        for (int64_t tx = from; tx < to; ++tx) {
          int32_t u = cols[tx - x0];
          samples[tx - from] = (in && u >= 0) ? in[u] : 0u;
        }
        last_v = row_inside ? v : -1;
      }
      blend_row(target.pixels + ty * target.pitch + from, samples, static_cast<int32_t>(to - from),
                color, blend);
    }
    return;
  }
  for (int64_t ty = y0; ty < y1; ++ty) {
    int64_t dy = ty - by0 - hh;
    for (int64_t tx = x0; tx < x1; ++tx) {
      int64_t dx = tx - bx0 - hw;
      int64_t u = (((dx * cs - dy * sn) * fx) >> 16) + cx;
      int64_t v = (((dx * sn + dy * cs) * fy) >> 16) + cy;
      samples[tx - x0] = (u >= 0 && v >= 0 && u < sw && v < sh) ? base[v * src.pitch + u] : 0u;
    }
    blend_row(target.pixels + ty * target.pitch + x0, samples, static_cast<int32_t>(x1 - x0), color,
              blend);
  }
}

int32_t draw_sprite_dib(DibRenderer* dib, const DrawRequest& req) {
  int32_t pitch = 0, rows = 0;
  const uint32_t* pixels = image_pixels(req.image, &pitch, &rows);
  if (!pixels) return 0;
  DibSource src{pixels, req.image->width, req.image->height, pitch};
  int32_t blend = (req.render_mode >= 1 && req.render_mode <= 3) ? req.render_mode : kBlendAlpha;
  if (dib->clear_pending && (!req.fx || req.fx->effect != 1) &&
      draw_over_clear(dib, src, req.x, req.y, req.rotation, req.scale_x, req.scale_y, req.rect,
                      req.color, blend)) {
    return 1;
  }
  DibSurface back = dib_back_surface(dib);
  if (!req.fx || req.fx->effect != 1) {
    // The software renderer has no radial-blur kernel: such a sprite is drawn plainly.
    rasterise_sprite(dib, back, src, req.x, req.y, req.rotation, req.scale_x, req.scale_y, req.rect,
                     req.color, blend);
    return 1;
  }
  // Raster wave: draw the sprite alone into the first work image, warp it into the second and
  // draw that over the frame. Without memory for the work images the sprite is drawn plainly.
  if (!dib_effect_images(dib)) {
    rasterise_sprite(dib, back, src, req.x, req.y, req.rotation, req.scale_x, req.scale_y, req.rect,
                     req.color, blend);
    return 1;
  }
  std::fill(dib->fx1.begin(), dib->fx1.end(), 0u);
  std::fill(dib->fx2.begin(), dib->fx2.end(), 0u);
  DibSurface fx1{dib->fx1.data(), dib->game_w, dib->game_h, dib->game_w};
  rasterise_sprite(dib, fx1, src, req.x, req.y, req.rotation, req.scale_x, req.scale_y, req.rect,
                   req.color, kBlendCopy);
  wave_warp_rows(dib->fx2.data(), dib->game_w, dib->game_h, dib->fx1.data(), dib->game_w,
                 dib->game_h, req.fx->phase, req.fx->amplitude1, req.fx->amplitude2);
  DibSource warped{dib->fx2.data(), dib->game_w, dib->game_h, dib->game_w};
  rasterise_sprite(dib, back, warped, 0, 0, 0, 1.0f, 1.0f, OrvRect{0, 0, dib->game_w, dib->game_h},
                   req.color, kBlendAlpha);
  return 1;
}

void draw_effect_dib(DibRenderer* dib, const FxResult& fx) {
  if (fx.effect != 1) return;  // no radial-blur kernel here
  if (!dib_effect_images(dib)) return;
  dib_settle(dib);
  // The warp leaves pixels whose source lies outside the frame untouched: clear them, or the
  // last effect's picture shows at the edges.
  std::fill(dib->fx1.begin(), dib->fx1.end(), 0u);
  wave_warp_rows(dib->fx1.data(), dib->game_w, dib->game_h, dib->back.data(), dib->game_w,
                 dib->game_h, fx.phase, fx.amplitude1, fx.amplitude2);
  DibSource src{dib->fx1.data(), dib->game_w, dib->game_h, dib->game_w};
  rasterise_sprite(dib, dib_back_surface(dib), src, 0, 0, 0, 1.0f, 1.0f,
                   OrvRect{0, 0, dib->game_w, dib->game_h}, 0xFFFFFFFFu, kBlendAlpha);
}
