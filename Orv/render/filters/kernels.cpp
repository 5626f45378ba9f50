#include "Orv/render/filters/kernels.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "orv/types.h"

const uint8_t kBlurWeights[8][16] = {
    {0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 1, 1, 2, 2, 1, 1, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 1, 1, 2, 4, 4, 2, 1, 1, 0, 0, 0, 0},
    {0, 0, 0, 1, 1, 2, 4, 8, 8, 4, 2, 1, 1, 0, 0, 0},
    {0, 0, 2, 2, 4, 4, 8, 12, 12, 8, 4, 4, 2, 2, 0, 0},
    {0, 4, 4, 8, 8, 8, 16, 16, 16, 16, 8, 8, 8, 4, 4, 0},
    {8, 8, 8, 8, 16, 16, 32, 32, 32, 32, 16, 16, 8, 8, 8, 8},
};

namespace {

inline uint32_t ch(uint32_t p, int i) {
  return (p >> (8 * i)) & 255u;
}

// One pass of the 16-tap blur over `count` lines of `length` pixels: pixel k of line n is at
// in[n * line_step + k * pixel_step], likewise for out. Weighted averages of the taps inside
// the line; a pixel whose weight or alpha sum is 0 becomes 0.
void blur_pass(uint32_t* out, const uint32_t* in, int64_t count, int64_t length, int64_t line_step,
               int64_t pixel_step, const uint8_t* w) {
  for (int64_t n = 0; n < count; ++n) {
    const uint32_t* line = in + n * line_step;
    uint32_t* o = out + n * line_step;
    for (int64_t k = 0; k < length; ++k) {
      uint32_t sum[4] = {0, 0, 0, 0};
      uint32_t wsum = 0;
      int64_t t0 = std::max<int64_t>(0, 8 - k), t1 = std::min<int64_t>(16, length - k + 8);
      for (int64_t t = t0; t < t1; ++t) {
        if (!w[t]) continue;
        uint32_t p = line[(k - 8 + t) * pixel_step];
        wsum += w[t];
        for (int i = 0; i < 4; ++i) sum[i] += w[t] * ch(p, i);
      }
      uint32_t r = 0;
      if (wsum && sum[3]) {
        for (int i = 0; i < 4; ++i) r |= (sum[i] / wsum) << (8 * i);
      }
      o[k * pixel_step] = r;
    }
  }
}

ToneEntry lerp(ToneEntry a, ToneEntry b, int i, int i0, int i1) {
  auto one = [&](uint8_t x, uint8_t y) {
    return static_cast<uint8_t>(x + (y - x) * (i - i0) / (i1 - i0));
  };
  return {one(a.r, b.r), one(a.g, b.g), one(a.b, b.b)};
}

}  // namespace

bool BlurKernel16(uint32_t* dst, const uint32_t* src, int32_t width, int32_t rows, int32_t pitch,
                  int32_t level) {
  if (level < 0 || level >= kBlurLevels || !dst || !src) return false;
  if (width <= 0 || rows <= 0 || pitch < width) return true;
  const int64_t count = int64_t{width} * rows;
  std::unique_ptr<uint32_t[]> pre(new (std::nothrow) uint32_t[count]);
  std::unique_ptr<uint32_t[]> mid(new (std::nothrow) uint32_t[count]);
  if (!pre || !mid) return false;
  for (int64_t y = 0; y < rows; ++y) {
    for (int64_t x = 0; x < width; ++x) {
      uint32_t p = src[y * pitch + x], a = p >> 24, r = a << 24;
      for (int i = 0; i < 3; ++i) r |= ((ch(p, i) * a + 127) / 255) << (8 * i);
      pre[y * width + x] = r;
    }
  }
  const uint8_t* w = kBlurWeights[level];
  blur_pass(mid.get(), pre.get(), rows, width, width, 1, w);
  blur_pass(pre.get(), mid.get(), width, rows, 1, width, w);
  for (int64_t y = 0; y < rows; ++y) {
    for (int64_t x = 0; x < width; ++x) {
      uint32_t p = pre[y * width + x], a = p >> 24, r = 0;
      if (a) {
        r = a << 24;
        for (int i = 0; i < 3; ++i) r |= std::min(255u, (a / 2 + ch(p, i) * 255) / a) << (8 * i);
      }
      dst[y * pitch + x] = r;
    }
  }
  return true;
}

void Filter3x3(uint32_t* p, int32_t width, int32_t rows, int32_t pitch) {
  if (!p || width <= 0 || rows <= 0) return;
  auto at = [&](int64_t x, int64_t y) -> uint32_t& { return p[y * pitch + x]; };
  // Blue and red share one word and green has its own: each 16-bit lane holds a sum of at
  // most 8 x 255, so the lanes never carry into each other.
  constexpr uint32_t kBR = 0x00FF00FFu, kG = 0x0000FF00u;
  // Each row in two passes: first the sums of the centre, right, upper and lower terms (none
  // of them changes while the row is softened), all columns at once; then left to right, where
  // each pixel adds its new left neighbour, the one term that waits for the pixel before.
  const int64_t inner = std::max(0, width - 2);
  std::unique_ptr<uint32_t[]> sums(inner > 0 ? new (std::nothrow) uint32_t[2 * inner] : nullptr);
  for (int64_t y = 1; inner > 0 && y + 1 < rows; ++y) {
    uint32_t* row = p + y * pitch;
    const uint32_t* up = row - pitch;
    const uint32_t* down = row + pitch;
    if (!sums) {  // no scratch: one pass, the same sums
      uint32_t left = row[0];
      for (int64_t x = 1; x + 1 < width; ++x) {
        uint32_t c = row[x], r = row[x + 1], u = up[x], d = down[x];
        uint32_t br = 4 * (c & kBR) + (left & kBR) + (r & kBR) + (u & kBR) + (d & kBR);
        uint32_t g = 4 * (c & kG) + (left & kG) + (r & kG) + (u & kG) + (d & kG);
        left = (c & 0xFF000000u) | ((br >> 3) & kBR) | ((g >> 3) & kG);
        row[x] = left;
      }
      continue;
    }
    uint32_t* s_br = sums.get();
    uint32_t* s_g = s_br + inner;
    int64_t i = 0;
#if defined(__x86_64__)
    const __m128i br_mask = _mm_set1_epi32(static_cast<int32_t>(kBR));
    const __m128i g_mask = _mm_set1_epi32(static_cast<int32_t>(kG));
    for (; i + 4 <= inner; i += 4) {
      auto load = [](const uint32_t* q) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
      };
      __m128i c = load(row + 1 + i), r = load(row + 2 + i), u = load(up + 1 + i),
              d = load(down + 1 + i);
      auto sum = [&](__m128i mask) {
        __m128i v = _mm_slli_epi32(_mm_and_si128(c, mask), 2);
        v = _mm_add_epi32(v, _mm_and_si128(r, mask));
        v = _mm_add_epi32(v, _mm_and_si128(u, mask));
        return _mm_add_epi32(v, _mm_and_si128(d, mask));
      };
      _mm_storeu_si128(reinterpret_cast<__m128i*>(s_br + i), sum(br_mask));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(s_g + i), sum(g_mask));
    }
#endif
    for (; i < inner; ++i) {
      uint32_t c = row[1 + i], r = row[2 + i], u = up[1 + i], d = down[1 + i];
      s_br[i] = 4 * (c & kBR) + (r & kBR) + (u & kBR) + (d & kBR);
      s_g[i] = 4 * (c & kG) + (r & kG) + (u & kG) + (d & kG);
    }
    uint32_t left_br = row[0] & kBR, left_g = row[0] & kG;
    for (int64_t k = 0; k < inner; ++k) {
      left_br = ((s_br[k] + left_br) >> 3) & kBR;
      left_g = ((s_g[k] + left_g) >> 3) & kG;
      row[1 + k] = (row[1 + k] & 0xFF000000u) | left_br | left_g;
    }
  }
  if (rows > 1) std::memcpy(&at(0, 0), &at(0, 1), static_cast<size_t>(width) * 4);
  if (width > 1) {
    for (int64_t y = 0; y < rows; ++y) at(width - 1, y) = at(width - 2, y);
  }
  if (rows > 1) std::memcpy(&at(0, rows - 1), &at(0, rows - 2), static_cast<size_t>(width) * 4);
  if (width > 1) {
    for (int64_t y = 0; y < rows; ++y) at(0, y) = at(1, y);
  }
}

const ToneEntry* tone_table() {
  static const auto table = [] {
    struct Row {
      int at;
      ToneEntry e;
    };
    const Row rows[] = {{0, {12, 0, 0}},        {32, {68, 39, 20}},     {64, {112, 77, 47}},
                        {128, {177, 146, 109}}, {200, {225, 211, 189}}, {255, {255, 255, 255}}};
    std::array<ToneEntry, 256> t{};
    for (size_t k = 0; k + 1 < std::size(rows); ++k) {
      for (int i = rows[k].at; i <= rows[k + 1].at; ++i) {
        t[i] = lerp(rows[k].e, rows[k + 1].e, i, rows[k].at, rows[k + 1].at);
      }
    }
    return t;
  }();
  return table.data();
}

void ToneOrGreyPixels(uint32_t* pixels, int64_t count, const ToneEntry* table) {
  for (int64_t k = 0; k < count; ++k) {
    uint32_t p = pixels[k];
    uint32_t l = (ch(p, 0) + 3 * ch(p, 2) + 6 * ch(p, 1)) / 10;
    uint32_t r = l, g = l, b = l;
    if (table) r = table[l].r, g = table[l].g, b = table[l].b;
    pixels[k] = (p & 0xFF000000u) | r << 16 | g << 8 | b;
  }
}

void NegativePixels(uint32_t* pixels, int32_t width, int32_t rows, int32_t pitch) {
  for (int64_t y = 0; y < rows; ++y) {
    uint32_t* row = pixels + y * pitch;
    for (int64_t x = 0; x < width; ++x) {
      if (row[x] >> 24) row[x] ^= 0x00FFFFFFu;
    }
  }
}

void FillRectPixels(const OrvRect& r, uint32_t* pixels, uint32_t colour, int32_t pitch) {
  for (int64_t y = r.top; y < r.bottom; ++y) {
    for (int64_t x = r.left; x < r.right; ++x) pixels[y * pitch + x] = colour;
  }
}

void CopyRectPixels(uint32_t* dst, int32_t dst_width, int32_t dst_rows, int32_t dst_pitch,
                    const uint32_t* src, int32_t sx, int32_t sy, int32_t src_width,
                    int32_t src_rows, int32_t src_pitch) {
  int32_t w = std::min(dst_width, src_width), h = std::min(dst_rows, src_rows);
  if (w <= 0) return;
  for (int64_t y = 0; y < h; ++y) {
    std::memcpy(dst + y * dst_pitch, src + (sy + y) * src_pitch + sx, static_cast<size_t>(w) * 4);
  }
}

void CopyPixels(uint32_t* dst, const uint32_t* src, int32_t width, int32_t rows) {
  if (width > 0 && rows > 0) {
    std::memcpy(dst, src, static_cast<size_t>(width) * static_cast<size_t>(rows) * 4);
  }
}

void CopyRowsFlipped(uint32_t* dst, const uint32_t* src, int32_t width, int32_t rows) {
  for (int64_t y = 0; y < rows; ++y) {
    std::memcpy(dst + y * width, src + (rows - 1 - y) * width, static_cast<size_t>(width) * 4);
  }
}

void CopyRows24To32Flipped(uint32_t* dst, const uint8_t* src, int32_t width, int32_t rows) {
  for (int64_t y = 0; y < rows; ++y) {
    const uint8_t* in = src + (rows - 1 - y) * width * 3;
    uint32_t* out = dst + y * width;
    for (int64_t x = 0; x < width; ++x) {
      out[x] =
          0xFF000000u | uint32_t{in[3 * x + 2]} << 16 | uint32_t{in[3 * x + 1]} << 8 | in[3 * x];
    }
  }
}
