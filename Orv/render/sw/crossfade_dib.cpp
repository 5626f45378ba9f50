#include <algorithm>
#include <cmath>
#include <new>

#include "Orv/render/image_store.h"
#include "Orv/render/sw/blend.h"
#include "Orv/render/sw/dib_renderer.h"

namespace {

struct Side {
  const uint32_t* base = nullptr;  // top-left of the clipped source rectangle
  int32_t pitch = 0, width = 0, height = 0;
};

bool side_of(const DrawRequest& req, Side* side) {
  int32_t pitch = 0;
  const uint32_t* pixels = image_pixels(req.image, &pitch, nullptr);
  if (!pixels) return false;
  int32_t l = std::max(req.rect.left, 0), t = std::max(req.rect.top, 0);
  int32_t r = std::min(req.rect.right, req.image->width);
  int32_t b = std::min(req.rect.bottom, req.image->height);
  if (r <= l || b <= t) return false;
  side->base = pixels + static_cast<int64_t>(t) * pitch + l;
  side->pitch = pitch;
  side->width = r - l;
  side->height = b - t;
  return true;
}

}  // namespace

int32_t draw_crossfade_dib(DibRenderer* dib, const DrawRequest& in, const DrawRequest& out,
                           float t) {
  Side f, g;
  bool has_in = side_of(in, &f), has_out = side_of(out, &g);
  if (!has_in && !has_out) return 1;
  if (!has_in) return draw_sprite_dib(dib, out);
  if (!has_out) return draw_sprite_dib(dib, in);
  if (f.height != g.height) return 0;

  int32_t w = std::max(f.width, g.width), h = f.height;
  size_t need = static_cast<size_t>(w) * static_cast<size_t>(h);
  bool fits = w <= kDibMaxBox && h <= kDibMaxBox;
  if (fits && dib->work.size() < need) {
    try {
      dib->work.assign(need, 0);
    } catch (const std::bad_alloc&) {
      fits = false;
    }
  }
  if (!fits) {
    // No work surface for the pair: draw the two as plain sprites, the outgoing one behind.
    draw_sprite_dib(dib, out);
    draw_sprite_dib(dib, in);
    return 1;
  }

  uint32_t F = static_cast<uint32_t>(std::clamp(t, 0.0f, 1.0f) * 255.0f);
  int32_t off_f = (w - f.width) / 2, off_g = (w - g.width) / 2;
  uint32_t in_alpha = in.color >> 24, out_alpha = out.color >> 24;
  // Where both pictures have columns they are mixed a row at a time; to either side of that
  // span one picture (or neither) is there and the other is mixed with clear pixels.
  const int32_t both0 = std::max(off_f, off_g);
  const int32_t both1 = std::min(off_f + f.width, off_g + g.width);
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* fr = f.base + static_cast<int64_t>(y) * f.pitch;
    const uint32_t* gr = g.base + static_cast<int64_t>(y) * g.pitch;
    uint32_t* wr = dib->work.data() + static_cast<size_t>(y) * w;
    auto single = [&](int32_t x) {
      uint32_t fp = (x >= off_f && x < off_f + f.width) ? fr[x - off_f] : 0u;
      uint32_t gp = (x >= off_g && x < off_g + g.width) ? gr[x - off_g] : 0u;
      wr[x] = crossfade_pixel(fp, gp, F, in_alpha, out_alpha);
    };
    int32_t x = 0;
    for (; x < std::min(both0, w); ++x) single(x);
    if (both1 > both0) {
      crossfade_row(wr + both0, fr + (both0 - off_f), gr + (both0 - off_g), both1 - both0, F,
                    in_alpha, out_alpha);
      x = both1;
    }
    for (; x < w; ++x) single(x);
  }
  int32_t x = in.x - (g.width > f.width ? (g.width - f.width) / 2 : 0);
  DibSource src{dib->work.data(), w, h, w};
  rasterise_sprite(dib, dib_back_surface(dib), src, x, in.y, in.rotation, in.scale_x, in.scale_y,
                   OrvRect{0, 0, w, h}, in.color | 0xFF000000u, kBlendAlpha);
  return 1;
}
