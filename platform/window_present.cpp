// Showing frames in the window surface. A frame is opaque and usually covers the client area
// but for letterbox bars, so a present fills only the bars and copies the frame without
// blending, scaled once, straight into the window's own pixels when their layout is the
// frame's (32-bit xRGB, as on the usual drivers).
#include <SDL.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cstring>

#include "platform/window.h"
#include "platform/window_record.h"

namespace platform {

namespace {

// True when the surface's pixels are 32-bit words laid out as the frame's (alpha or unused
// byte on top, then red, green, blue).
bool same_layout(const SDL_Surface* s) {
  const SDL_PixelFormat* f = s->format;
  return f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000u && f->Gmask == 0x0000FF00u &&
         f->Bmask == 0x000000FFu;
}

// The parts of the surface outside `to`, filled with black.
void fill_bars(SDL_Surface* target, const SDL_Rect& to) {
  const uint32_t black = SDL_MapRGB(target->format, 0, 0, 0);
  const int w = target->w, h = target->h;
  const int l = std::clamp(to.x, 0, w), r = std::clamp(to.x + to.w, l, w);
  const int t = std::clamp(to.y, 0, h), b = std::clamp(to.y + to.h, t, h);
  const SDL_Rect bars[4] = {{0, 0, w, t}, {0, b, w, h - b}, {0, t, l, b - t}, {r, t, w - r, b - t}};
  for (const SDL_Rect& bar : bars) {
    if (bar.w > 0 && bar.h > 0) SDL_FillRect(target, &bar, black);
  }
}

// Nearest-neighbour stretch of the frame into `to` of a surface of the same layout, clipped to
// the surface. Each target pixel takes the source pixel under its centre. A row that samples
// the same source row as the one above is a copy of it.
void stretch_nearest(Window* window, SDL_Surface* target, const uint32_t* pixels, int32_t width,
                     int32_t height, const SDL_Rect& to) {
  if (window->columns_src != width || window->columns_dst != to.w) {
    window->columns.resize(static_cast<size_t>(to.w));
    for (int32_t i = 0; i < to.w; ++i) {
      window->columns[i] = static_cast<int32_t>((2 * int64_t{i} + 1) * width / (2 * int64_t{to.w}));
    }
    window->columns_src = width;
    window->columns_dst = to.w;
  }
  const int x0 = std::max(to.x, 0), x1 = std::min(to.x + to.w, target->w);
  const int y0 = std::max(to.y, 0), y1 = std::min(to.y + to.h, target->h);
  if (x0 >= x1 || y0 >= y1) return;
  const int32_t* cols = window->columns.data() + (x0 - to.x);
  const size_t n = static_cast<size_t>(x1 - x0);
  auto row_at = [&](int y) {
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target->pixels) +
                                       static_cast<ptrdiff_t>(y) * target->pitch) +
           x0;
  };
  int32_t last_src = -1;
  for (int y = y0; y < y1; ++y) {
    const int32_t sy =
        static_cast<int32_t>((2 * int64_t{y - to.y} + 1) * height / (2 * int64_t{to.h}));
    uint32_t* out = row_at(y);
    if (sy == last_src) {
      std::memcpy(out, row_at(y - 1), n * 4);
      continue;
    }
    last_src = sy;
    const uint32_t* in = pixels + static_cast<size_t>(sy) * static_cast<size_t>(width);
    if (width == to.w) {
      std::memcpy(out, in + cols[0], n * 4);
    } else {
      for (size_t i = 0; i < n; ++i) out[i] = in[cols[i]];
    }
  }
}

// Where target position i (of n) samples a source of m pixels, in 1/64 pixel: the source
// position under the target pixel's centre, held inside the source. (Sixty-fourths keep both
// weights of a pair within a signed byte for the vector multiply-add.)
void linear_position(int64_t i, int64_t n, int64_t m, int32_t* first, int32_t* second,
                     uint32_t* weight) {
  int64_t p = (2 * i + 1) * m * 64 / (2 * n) - 32;
  if (p < 0) p = 0;
  int64_t x = std::min<int64_t>(p >> 6, m - 1);
  *first = static_cast<int32_t>(x);
  *second = static_cast<int32_t>(std::min<int64_t>(x + 1, m - 1));
  *weight = static_cast<uint32_t>(p & 63);
}

// a and b mixed by w/64 of b, each channel (a * (64 - w) + b * w) >> 6; red and blue share
// one word, alpha and green another (each 16-bit lane stays below 16384).
inline uint32_t mix(uint32_t a, uint32_t b, uint32_t w) {
  const uint32_t v = 64 - w;
  uint32_t rb = (((a & 0x00FF00FFu) * v + (b & 0x00FF00FFu) * w) >> 6) & 0x00FF00FFu;
  uint32_t ag = ((((a >> 8) & 0x00FF00FFu) * v + ((b >> 8) & 0x00FF00FFu) * w) << 2) & 0xFF00FF00u;
  return rb | ag;
}

// The byte pair (64 - w, w) repeated over a pixel's four channels: the multipliers of one
// pixel for a byte-pair multiply-add of (a, b) bytes.
uint64_t weight_pairs(uint32_t w) {
  return ((64 - w) | w << 8) * 0x0001000100010001u;
}

#if defined(__x86_64__)
bool has_avx2() {
  static const bool yes = __builtin_cpu_supports("avx2");
  return yes;
}

// The channels of a and b, interleaved byte by byte, times their weight pairs, >> 6, packed.
__attribute__((target("avx2"))) inline __m256i mix8(__m256i a, __m256i b, __m256i w_lo,
                                                    __m256i w_hi) {
  __m256i lo = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), w_lo);
  __m256i hi = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), w_hi);
  return _mm256_packus_epi16(_mm256_srli_epi16(lo, 6), _mm256_srli_epi16(hi, 6));
}

__attribute__((target("avx2"))) size_t mix_rows_avx2(uint32_t* out, const uint32_t* a,
                                                     const uint32_t* b, size_t n, uint32_t w) {
  const __m256i pairs = _mm256_set1_epi64x(static_cast<int64_t>(weight_pairs(w)));
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
    __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), mix8(x, y, pairs, pairs));
  }
  _mm256_zeroupper();
  return i;
}

// The source row `in` is `width` pixels long.
__attribute__((target("avx2"))) size_t across_avx2(uint32_t* out, const uint32_t* in, int32_t width,
                                                   const int32_t* l, const int32_t* r,
                                                   const uint64_t* pairs, size_t from, size_t to) {
  size_t i = from;
  const int* base = reinterpret_cast<const int*>(in);
  for (; i + 8 <= to; i += 8) {
    __m256i li = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(l + i));
    __m256i ri = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r + i));
    __m256i a, b;
    const int32_t first = l[i];
    if (r[i + 7] - first < 8 && first + 8 <= width) {
      // Enlarging: the eight pixels' sources lie within eight neighbours, one load and two
      // permutes instead of two gathers.
      __m256i span = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + first));
      __m256i origin = _mm256_set1_epi32(first);
      a = _mm256_permutevar8x32_epi32(span, _mm256_sub_epi32(li, origin));
      b = _mm256_permutevar8x32_epi32(span, _mm256_sub_epi32(ri, origin));
    } else {
      a = _mm256_i32gather_epi32(base, li, 4);
      b = _mm256_i32gather_epi32(base, ri, 4);
    }
    // Pixels 0-3 and 4-7's weight pairs; unpack works within 128-bit lanes, so the low
    // products need pixels (0, 1 | 4, 5) and the high ones (2, 3 | 6, 7).
    __m256i w0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pairs + i));
    __m256i w1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pairs + i + 4));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                        mix8(a, b, _mm256_permute2x128_si256(w0, w1, 0x20),
                             _mm256_permute2x128_si256(w0, w1, 0x31)));
  }
  _mm256_zeroupper();
  return i;
}
#endif

// n pixels of out mixed from rows a and b, w/64 of b.
void mix_rows(uint32_t* out, const uint32_t* a, const uint32_t* b, size_t n, uint32_t w) {
  if (w == 0) {
    std::memcpy(out, a, n * 4);
    return;
  }
  size_t i = 0;
#if defined(__x86_64__)
  if (has_avx2()) i = mix_rows_avx2(out, a, b, n, w);
#endif
  for (; i < n; ++i) out[i] = mix(a[i], b[i], w);
}

// Bilinear stretch of the frame into `to` of a surface of the same layout, clipped to the
// surface. Each source row is stretched across once, into one of two kept rows; each target
// row mixes the two rows around its centre.
void stretch_linear(Window* window, SDL_Surface* target, const uint32_t* pixels, int32_t width,
                    int32_t height, const SDL_Rect& to) {
  if (window->linear_src != width || window->linear_dst != to.w) {
    window->left.resize(static_cast<size_t>(to.w));
    window->right.resize(static_cast<size_t>(to.w));
    window->weight.resize(static_cast<size_t>(to.w));
    window->pairs.resize(static_cast<size_t>(to.w));
    for (int32_t i = 0; i < to.w; ++i) {
      linear_position(i, to.w, width, &window->left[i], &window->right[i], &window->weight[i]);
      window->pairs[i] = weight_pairs(window->weight[i]);
    }
    window->linear_src = width;
    window->linear_dst = to.w;
    for (std::vector<uint32_t>& row : window->rows) row.resize(static_cast<size_t>(to.w));
  }
  window->row_of[0] = window->row_of[1] = -1;  // a new frame
  const int x0 = std::max(to.x, 0), x1 = std::min(to.x + to.w, target->w);
  const int y0 = std::max(to.y, 0), y1 = std::min(to.y + to.h, target->h);
  if (x0 >= x1 || y0 >= y1) return;
  const size_t skip = static_cast<size_t>(x0 - to.x), n = static_cast<size_t>(x1 - x0);
  auto across = [&](int32_t sy) -> const uint32_t* {
    for (int k = 0; k < 2; ++k) {
      if (window->row_of[k] == sy) return window->rows[k].data() + skip;
    }
    // Rows are asked for top to bottom: the one to replace is the older one.
    int k = window->row_of[0] < window->row_of[1] ? 0 : 1;
    window->row_of[k] = sy;
    const uint32_t* in = pixels + static_cast<size_t>(sy) * static_cast<size_t>(width);
    uint32_t* out = window->rows[k].data();
    const int32_t* l = window->left.data();
    const int32_t* r = window->right.data();
    size_t i = skip;
#if defined(__x86_64__)
    if (has_avx2()) i = across_avx2(out, in, width, l, r, window->pairs.data(), skip, skip + n);
#endif
    for (; i < skip + n; ++i) out[i] = mix(in[l[i]], in[r[i]], window->weight[i]);
    return out + skip;
  };
  for (int y = y0; y < y1; ++y) {
    int32_t top = 0, bottom = 0;
    uint32_t w = 0;
    linear_position(y - to.y, to.h, height, &top, &bottom, &w);
    const uint32_t* a = across(top);
    const uint32_t* b = w ? across(bottom) : a;
    uint32_t* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target->pixels) +
                                                static_cast<ptrdiff_t>(y) * target->pitch) +
                    x0;
    mix_rows(out, a, b, n, w);
  }
}

// The overlays blended over what the target shows.
bool blend_overlays(SDL_Surface* target, const Overlay* overlays, int count) {
  bool ok = true;
  for (int i = 0; i < count; ++i) {
    const Overlay& o = overlays[i];
    if (!o.pixels || o.width <= 0 || o.height <= 0) continue;
    SDL_Surface* s =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(o.pixels), o.width, o.height, 32,
                                           o.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!s) {
      ok = false;
      continue;
    }
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    SDL_Rect at{o.x, o.y, o.width, o.height};
    if (SDL_BlitSurface(s, nullptr, target, &at) != 0) ok = false;
    SDL_FreeSurface(s);
  }
  return ok;
}

}  // namespace

bool window_present_fill(Window* window, uint32_t argb) {
  SDL_Surface* surface = SDL_GetWindowSurface(window->sdl);
  if (!surface) return false;
  uint32_t pixel = SDL_MapRGBA(surface->format, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF,
                               argb & 0xFF, argb >> 24);
  SDL_FillRect(surface, nullptr, pixel);
  return SDL_UpdateWindowSurface(window->sdl) == 0;
}

bool window_present_argb(Window* window, const uint32_t* pixels, int32_t width, int32_t height,
                         const Rect& dst, bool smooth, const Overlay* overlays, int overlay_count) {
  if (!pixels || width <= 0 || height <= 0) return false;
  SDL_Surface* target = SDL_GetWindowSurface(window->sdl);
  if (!target) return false;
  SDL_Rect to{dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top};
  fill_bars(target, to);
  if (to.w <= 0 || to.h <= 0) {
    blend_overlays(target, overlays, overlay_count);
    return SDL_UpdateWindowSurface(window->sdl) == 0;
  }

  const bool direct = same_layout(target);
  const bool scaled = to.w != width || to.h != height;
  bool ok = true;
  if (direct) {
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return false;
    if (smooth && scaled) {
      stretch_linear(window, target, pixels, width, height, to);
    } else {
      stretch_nearest(window, target, pixels, width, height, to);
    }
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  } else {
    // Another layout: SDL converts.
    const uint32_t format = SDL_PIXELFORMAT_ARGB8888;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width,
                                                             height, 32, width * 4, format);
    if (!source) return false;
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    if (smooth && scaled) {
      // SDL's blit only scales by nearest neighbour: stretch bilinearly in the frame's own
      // format first (into a surface kept for the next frame of this size), then copy.
      SDL_Surface*& s = window->stretched;
      if (s && (s->w != to.w || s->h != to.h || s->format->format != format)) {
        SDL_FreeSurface(s);
        s = nullptr;
      }
      if (!s) {
        s = SDL_CreateRGBSurfaceWithFormat(0, to.w, to.h, 32, format);
        if (s) SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE);
      }
      ok = s && SDL_SoftStretchLinear(source, nullptr, s, nullptr) == 0 &&
           SDL_BlitSurface(s, nullptr, target, &to) == 0;
    } else {
      ok = SDL_BlitScaled(source, nullptr, target, &to) == 0;
    }
    SDL_FreeSurface(source);
  }
  if (overlay_count > 0 && !blend_overlays(target, overlays, overlay_count)) ok = false;
  return SDL_UpdateWindowSurface(window->sdl) == 0 && ok;
}

}  // namespace platform
