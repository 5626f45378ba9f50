#include "Orv/render/sw/blend.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

inline uint32_t ch(uint32_t p, int shift) {
  return (p >> shift) & 255u;
}

uint32_t blend_alpha(uint32_t d, uint32_t s, uint32_t c) {
  uint32_t sa = s >> 24;
  if (sa == 0) return d;
  uint32_t m = ((c >> 24) * sa) >> 8;
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t v = (ch(d, shift) * (256 - m) + ((ch(s, shift) * ch(c, shift)) >> 8) * m) >> 8;
    out |= v << shift;
  }
  return out;
}

uint32_t blend_add(uint32_t d, uint32_t s, uint32_t c) {
  uint32_t sa = s >> 24;
  if (sa == 0) return d;
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t v = ch(d, shift) + (((ch(s, shift) * sa / 256) * (c >> 24)) >> 8);
    out |= std::min(255u, v) << shift;
  }
  return out;
}

uint32_t blend_multiply(uint32_t d, uint32_t s, uint32_t c) {
  uint32_t sa = s >> 24;
  if (sa == 0) return d;
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t v = ((((ch(s, shift) * sa / 256) * (c >> 24)) >> 8) * ch(d, shift)) >> 8;
    out |= v << shift;
  }
  return out;
}

#if defined(__x86_64__)
// Four pixels at a time in 16-bit lanes. Every intermediate of the alpha formula stays below
// 65536 (d * (256 - m) + t * m <= 255 * 256), so 16-bit products give the exact scalar result.
//
// Most sprite pixels are fully clear or fully opaque, so each block of pixels takes the
// shortest path its alphas allow: a clear block leaves the target alone, an opaque block uses
// the one weight m = (c.a * 255) >> 8 instead of working it out per pixel. With a white colour
// (the usual case) t = (s * 255) >> 8 is s - 1 saturated at 0, one byte subtraction.
// kOver: the target row holds `under` everywhere and is written without being read.
template <bool kOver>
void blend_alpha_sse2_t(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color,
                        uint32_t under) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i under_v = _mm_set1_epi32(static_cast<int32_t>(under));
  const __m128i c16 = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int32_t>(color)), zero);
  const __m128i ca = _mm_set1_epi16(static_cast<int16_t>(color >> 24));
  const __m128i k256 = _mm_set1_epi16(256);
  const __m128i alpha_mask = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
  const __m128i one8 = _mm_set1_epi8(1);
  const int16_t opaque_weight = static_cast<int16_t>(((color >> 24) * 255u) >> 8);
  const __m128i m_opaque = _mm_set1_epi16(opaque_weight);
  const __m128i keep_opaque = _mm_set1_epi16(static_cast<int16_t>(256 - opaque_weight));
  const bool white = (color & 0xFFFFFFu) == 0xFFFFFFu;
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    __m128i sa_bits = _mm_and_si128(s, alpha_mask);
    __m128i transparent = _mm_cmpeq_epi32(sa_bits, zero);
    int clear = _mm_movemask_epi8(transparent);
    if (clear == 0xFFFF) {
      if (kOver) _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), under_v);
      continue;
    }
    bool opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(sa_bits, alpha_mask)) == 0xFFFF;
    __m128i d = kOver ? under_v : _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    __m128i t8 = white ? _mm_subs_epu8(s, one8) : zero;
    __m128i out[2];
    for (int half = 0; half < 2; ++half) {
      __m128i s16 = half ? _mm_unpackhi_epi8(s, zero) : _mm_unpacklo_epi8(s, zero);
      __m128i d16 = half ? _mm_unpackhi_epi8(d, zero) : _mm_unpacklo_epi8(d, zero);
      __m128i m = m_opaque, keep = keep_opaque;
      if (!opaque) {
        __m128i sa = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s16, 0xFF), 0xFF);
        m = _mm_srli_epi16(_mm_mullo_epi16(sa, ca), 8);
        keep = _mm_sub_epi16(k256, m);
      }
      __m128i t = white ? (half ? _mm_unpackhi_epi8(t8, zero) : _mm_unpacklo_epi8(t8, zero))
                        : _mm_srli_epi16(_mm_mullo_epi16(s16, c16), 8);
      __m128i sum = _mm_add_epi16(_mm_mullo_epi16(d16, keep), _mm_mullo_epi16(t, m));
      out[half] = _mm_srli_epi16(sum, 8);
    }
    __m128i res = _mm_or_si128(_mm_packus_epi16(out[0], out[1]), alpha_mask);
    if (clear != 0) {
      res = _mm_or_si128(_mm_and_si128(transparent, d), _mm_andnot_si128(transparent, res));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), res);
  }
  for (; i < n; ++i) dst[i] = blend_alpha(kOver ? under : dst[i], src[i], color);
}

void blend_alpha_sse2(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color) {
  blend_alpha_sse2_t<false>(dst, src, n, color, 0);
}

// The colours the eight-pixel form tells apart once per row, outside its loop.
enum class Tint { kWhiteFull, kWhite, kAny };  // white at alpha 255; white; anything else

// Eight pixels at a time, the same bytes as the scalar formula, rewritten so that one signed
// high multiply does a channel's work: since d * 256 is a multiple of 256,
//   (d * (256 - m) + t * m) >> 8 = d + floor((t - d) * m / 256)
//                                = d + ((2 * (t - d)) * (m << 7) >> 16),
// with 2 * (t - d) in -510..510 and m << 7 <= 32640 both fitting 16-bit lanes, and the high
// half of their product the floor the formula wants. m per pixel comes from the alpha bytes
// by one byte shuffle; under a white colour at alpha 255, m = (s.a * 255) >> 8 is s.a - 1
// saturated at 0, the alpha byte of t itself. Clear blocks leave the target alone; opaque
// ones take the one weight of an opaque pixel (and, under white, the byte-pair multiply-add
// below).
// kOver as in the SSE2 form.
template <Tint kTint, bool kOver>
__attribute__((target("avx2"))) void blend_alpha_avx2_tint(uint32_t* dst, const uint32_t* src,
                                                           int32_t n, uint32_t color,
                                                           uint32_t under) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i under_v = _mm256_set1_epi32(static_cast<int32_t>(under));
  const __m256i c16 = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int32_t>(color)), zero);
  const __m256i ca = _mm256_set1_epi16(static_cast<int16_t>(color >> 24));
  const __m256i alpha_mask = _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u));
  const __m256i high_bytes = _mm256_set1_epi16(static_cast<int16_t>(0xFF00));
  const __m256i one8 = _mm256_set1_epi8(1);
  // Byte shuffles that spread each pixel's alpha byte over its four 16-bit channel lanes, in
  // the low byte (alpha_lo_*) or the high byte (alpha_hi_*) of the lane, for the pixels that
  // unpacklo (the first two of each 128-bit lane) and unpackhi (the last two) widen.
  const int8_t z = -128;
  const __m256i alpha_lo_first =
      _mm256_setr_epi8(3, z, 3, z, 3, z, 3, z, 7, z, 7, z, 7, z, 7, z,  //
                       3, z, 3, z, 3, z, 3, z, 7, z, 7, z, 7, z, 7, z);
  const __m256i alpha_lo_last =
      _mm256_setr_epi8(11, z, 11, z, 11, z, 11, z, 15, z, 15, z, 15, z, 15, z,  //
                       11, z, 11, z, 11, z, 11, z, 15, z, 15, z, 15, z, 15, z);
  const __m256i alpha_hi_first =
      _mm256_setr_epi8(z, 3, z, 3, z, 3, z, 3, z, 7, z, 7, z, 7, z, 7,  //
                       z, 3, z, 3, z, 3, z, 3, z, 7, z, 7, z, 7, z, 7);
  const __m256i alpha_hi_last =
      _mm256_setr_epi8(z, 11, z, 11, z, 11, z, 11, z, 15, z, 15, z, 15, z, 15,  //
                       z, 11, z, 11, z, 11, z, 11, z, 15, z, 15, z, 15, z, 15);
  const int16_t opaque_weight = static_cast<int16_t>(((color >> 24) * 255u) >> 8);
  const __m256i m_opaque = _mm256_set1_epi16(static_cast<int16_t>(opaque_weight << 7));
  // An opaque block under a white colour with an even weight m >= 2 (full colour alpha gives
  // 254) halves both weights: (d * (256 - m) + t * m) >> 8 = (d * w0 + t * w1) >> 7 with
  // w0, w1 <= 127, one byte-pair multiply-add per channel, exact and never saturating.
  constexpr bool kWhiteTint = kTint != Tint::kAny;
  const bool halved = kWhiteTint && opaque_weight >= 2 && opaque_weight % 2 == 0;
  const __m256i half_weights = _mm256_set1_epi16(
      static_cast<int16_t>(((opaque_weight / 2) << 8) | ((256 - opaque_weight) / 2)));
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i sa_bits = _mm256_and_si256(s, alpha_mask);
    const __m256i transparent = _mm256_cmpeq_epi32(sa_bits, zero);
    const int clear = _mm256_movemask_epi8(transparent);
    if (clear == -1) {
      if (kOver) _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), under_v);
      continue;
    }
    const bool opaque = _mm256_movemask_epi8(_mm256_cmpeq_epi32(sa_bits, alpha_mask)) == -1;
    const __m256i d =
        kOver ? under_v : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i t8 = kWhiteTint ? _mm256_subs_epu8(s, one8) : zero;
    if (kWhiteTint && opaque && halved) {
      __m256i lo = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(d, t8), half_weights);
      __m256i hi = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(d, t8), half_weights);
      __m256i res = _mm256_packus_epi16(_mm256_srli_epi16(lo, 7), _mm256_srli_epi16(hi, 7));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_or_si256(res, alpha_mask));
      continue;
    }
    __m256i out[2];
    for (int half = 0; half < 2; ++half) {
      // unpack works within each 128-bit lane; pack below undoes it lane by lane.
      const __m256i d16 = half ? _mm256_unpackhi_epi8(d, zero) : _mm256_unpacklo_epi8(d, zero);
      __m256i t16;
      if constexpr (kWhiteTint) {
        t16 = half ? _mm256_unpackhi_epi8(t8, zero) : _mm256_unpacklo_epi8(t8, zero);
      } else {
        const __m256i s16 = half ? _mm256_unpackhi_epi8(s, zero) : _mm256_unpacklo_epi8(s, zero);
        t16 = _mm256_srli_epi16(_mm256_mullo_epi16(s16, c16), 8);
      }
      __m256i m7 = m_opaque;  // m << 7
      if (!opaque) {
        if constexpr (kTint == Tint::kWhiteFull) {
          m7 = _mm256_srli_epi16(_mm256_shuffle_epi8(t8, half ? alpha_hi_last : alpha_hi_first), 1);
        } else {
          const __m256i sa = _mm256_shuffle_epi8(s, half ? alpha_lo_last : alpha_lo_first);
          m7 = _mm256_srli_epi16(_mm256_and_si256(_mm256_mullo_epi16(sa, ca), high_bytes), 1);
        }
      }
      const __m256i diff = _mm256_sub_epi16(t16, d16);
      out[half] = _mm256_add_epi16(d16, _mm256_mulhi_epi16(_mm256_add_epi16(diff, diff), m7));
    }
    __m256i res = _mm256_or_si256(_mm256_packus_epi16(out[0], out[1]), alpha_mask);
    if (clear != 0) res = _mm256_blendv_epi8(res, d, transparent);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), res);
  }
  // Leave the 256-bit state clean: otherwise every later SSE instruction in the process (ours
  // and other libraries') pays for the dirty upper halves.
  _mm256_zeroupper();
  for (; i < n; ++i) dst[i] = blend_alpha(kOver ? under : dst[i], src[i], color);
}

template <bool kOver>
void blend_alpha_avx2_t(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color,
                        uint32_t under) {
  if ((color & 0xFFFFFFu) != 0xFFFFFFu) {
    blend_alpha_avx2_tint<Tint::kAny, kOver>(dst, src, n, color, under);
  } else if (color >> 24 == 255) {
    blend_alpha_avx2_tint<Tint::kWhiteFull, kOver>(dst, src, n, color, under);
  } else {
    blend_alpha_avx2_tint<Tint::kWhite, kOver>(dst, src, n, color, under);
  }
}

void blend_alpha_avx2(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color) {
  blend_alpha_avx2_t<false>(dst, src, n, color, 0);
}

bool has_avx2() {
  static const bool yes = __builtin_cpu_supports("avx2");
  return yes;
}
#endif

}  // namespace

void blend_row_scalar(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color, int32_t mode) {
  switch (mode) {
    case kBlendCopy:
      if (n > 0) std::memmove(dst, src, static_cast<size_t>(n) * 4u);
      return;
    case kBlendAdd:
      for (int32_t i = 0; i < n; ++i) dst[i] = blend_add(dst[i], src[i], color);
      return;
    case kBlendMultiply:
      for (int32_t i = 0; i < n; ++i) dst[i] = blend_multiply(dst[i], src[i], color);
      return;
    default:
      for (int32_t i = 0; i < n; ++i) dst[i] = blend_alpha(dst[i], src[i], color);
      return;
  }
}

void blend_row(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color, int32_t mode) {
#if defined(__x86_64__)
  if (mode != kBlendCopy && mode != kBlendAdd && mode != kBlendMultiply) {
    if (has_avx2()) {
      blend_alpha_avx2(dst, src, n, color);
    } else {
      blend_alpha_sse2(dst, src, n, color);
    }
    return;
  }
#endif
  blend_row_scalar(dst, src, n, color, mode);
}

std::vector<BlendRowVariant> blend_row_variants() {
  std::vector<BlendRowVariant> v;
  v.push_back({"scalar", blend_row_scalar});
#if defined(__x86_64__)
  v.push_back({"sse2", [](uint32_t* d, const uint32_t* s, int32_t n, uint32_t c, int32_t m) {
                 if (m == kBlendCopy || m == kBlendAdd || m == kBlendMultiply) {
                   blend_row_scalar(d, s, n, c, m);
                 } else {
                   blend_alpha_sse2(d, s, n, c);
                 }
               }});
  if (has_avx2()) {
    v.push_back({"avx2", [](uint32_t* d, const uint32_t* s, int32_t n, uint32_t c, int32_t m) {
                   if (m == kBlendCopy || m == kBlendAdd || m == kBlendMultiply) {
                     blend_row_scalar(d, s, n, c, m);
                   } else {
                     blend_alpha_avx2(d, s, n, c);
                   }
                 }});
  }
#endif
  return v;
}

void blend_row_over_scalar(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color,
                           uint32_t under) {
  for (int32_t i = 0; i < n; ++i) dst[i] = blend_alpha(under, src[i], color);
}

void blend_row_over(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color, uint32_t under) {
#if defined(__x86_64__)
  if (has_avx2()) {
    blend_alpha_avx2_t<true>(dst, src, n, color, under);
  } else {
    blend_alpha_sse2_t<true>(dst, src, n, color, under);
  }
#else
  blend_row_over_scalar(dst, src, n, color, under);
#endif
}

std::vector<BlendOverVariant> blend_row_over_variants() {
  std::vector<BlendOverVariant> v;
  v.push_back({"scalar", blend_row_over_scalar});
#if defined(__x86_64__)
  v.push_back({"sse2", blend_alpha_sse2_t<true>});
  if (has_avx2()) v.push_back({"avx2", blend_alpha_avx2_t<true>});
#endif
  return v;
}

uint32_t crossfade_pixel(uint32_t f, uint32_t g, uint32_t F, uint32_t in_alpha,
                         uint32_t out_alpha) {
  uint32_t fa = f >> 24, ga = g >> 24;
  if (fa == 0 && ga == 0) return 0;
  if (fa == 0 || ga == 0) {
    uint32_t alpha = (fa * F + ga * (255 - F)) >> 8;
    return (alpha << 24) | ((fa ? f : g) & 0x00FFFFFFu);
  }
  // Two nearly opaque sides sum to more than 255: held at 255, never wrapped round.
  uint32_t out = std::min(255u, (in_alpha * fa / 256) + ((ga * out_alpha) >> 8)) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t v = (((f >> shift) & 255) * F + ((g >> shift) & 255) * (255 - F)) >> 8;
    out |= v << shift;
  }
  return out;
}

namespace {

void crossfade_row_scalar(uint32_t* out, const uint32_t* f, const uint32_t* g, int32_t n,
                          uint32_t F, uint32_t in_alpha, uint32_t out_alpha) {
  for (int32_t i = 0; i < n; ++i) out[i] = crossfade_pixel(f[i], g[i], F, in_alpha, out_alpha);
}

#if defined(__x86_64__)
// Blocks where both sides have alpha everywhere (the inside of two pictures) take the vector
// formula: 16-bit lanes hold every product exactly (at most 255 x 255). A block with a clear
// pixel on either side goes pixel by pixel.
void crossfade_row_sse2(uint32_t* out, const uint32_t* f, const uint32_t* g, int32_t n, uint32_t F,
                        uint32_t in_alpha, uint32_t out_alpha) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alpha_mask = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
  const __m128i wf = _mm_set1_epi16(static_cast<int16_t>(F));
  const __m128i wg = _mm_set1_epi16(static_cast<int16_t>(255 - F));
  const __m128i ain = _mm_set1_epi32(static_cast<int32_t>(in_alpha));
  const __m128i aout = _mm_set1_epi32(static_cast<int32_t>(out_alpha));
  const __m128i k255 = _mm_set1_epi32(255);
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f + i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + i));
    __m128i clear = _mm_or_si128(_mm_cmpeq_epi32(_mm_and_si128(a, alpha_mask), zero),
                                 _mm_cmpeq_epi32(_mm_and_si128(b, alpha_mask), zero));
    if (_mm_movemask_epi8(clear) != 0) {
      crossfade_row_scalar(out + i, f + i, g + i, 4, F, in_alpha, out_alpha);
      continue;
    }
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), wf),
                               _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), wg));
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), wf),
                               _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), wg));
    __m128i mixed = _mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8));
    // Alpha in 32-bit lanes, whose upper 16 bits stay 0: 16-bit products are exact.
    __m128i a1 = _mm_srli_epi32(_mm_mullo_epi16(_mm_srli_epi32(a, 24), ain), 8);
    __m128i a2 = _mm_srli_epi32(_mm_mullo_epi16(_mm_srli_epi32(b, 24), aout), 8);
    __m128i alpha = _mm_min_epi16(_mm_add_epi32(a1, a2), k255);
    __m128i res = _mm_or_si128(_mm_andnot_si128(alpha_mask, mixed), _mm_slli_epi32(alpha, 24));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), res);
  }
  crossfade_row_scalar(out + i, f + i, g + i, n - i, F, in_alpha, out_alpha);
}

__attribute__((target("avx2"))) void crossfade_row_avx2(uint32_t* out, const uint32_t* f,
                                                        const uint32_t* g, int32_t n, uint32_t F,
                                                        uint32_t in_alpha, uint32_t out_alpha) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alpha_mask = _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u));
  const __m256i wf = _mm256_set1_epi16(static_cast<int16_t>(F));
  const __m256i wg = _mm256_set1_epi16(static_cast<int16_t>(255 - F));
  const __m256i ain = _mm256_set1_epi32(static_cast<int32_t>(in_alpha));
  const __m256i aout = _mm256_set1_epi32(static_cast<int32_t>(out_alpha));
  const __m256i k255 = _mm256_set1_epi32(255);
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(f + i));
    __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(g + i));
    __m256i clear = _mm256_or_si256(_mm256_cmpeq_epi32(_mm256_and_si256(a, alpha_mask), zero),
                                    _mm256_cmpeq_epi32(_mm256_and_si256(b, alpha_mask), zero));
    if (_mm256_movemask_epi8(clear) != 0) {
      crossfade_row_scalar(out + i, f + i, g + i, 8, F, in_alpha, out_alpha);
      continue;
    }
    __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(a, zero), wf),
                                  _mm256_mullo_epi16(_mm256_unpacklo_epi8(b, zero), wg));
    __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(a, zero), wf),
                                  _mm256_mullo_epi16(_mm256_unpackhi_epi8(b, zero), wg));
    __m256i mixed = _mm256_packus_epi16(_mm256_srli_epi16(lo, 8), _mm256_srli_epi16(hi, 8));
    __m256i a1 = _mm256_srli_epi32(_mm256_mullo_epi16(_mm256_srli_epi32(a, 24), ain), 8);
    __m256i a2 = _mm256_srli_epi32(_mm256_mullo_epi16(_mm256_srli_epi32(b, 24), aout), 8);
    __m256i alpha = _mm256_min_epi16(_mm256_add_epi32(a1, a2), k255);
    __m256i res =
        _mm256_or_si256(_mm256_andnot_si256(alpha_mask, mixed), _mm256_slli_epi32(alpha, 24));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), res);
  }
  _mm256_zeroupper();
  crossfade_row_scalar(out + i, f + i, g + i, n - i, F, in_alpha, out_alpha);
}
#endif

}  // namespace

void crossfade_row(uint32_t* out, const uint32_t* f, const uint32_t* g, int32_t n, uint32_t F,
                   uint32_t in_alpha, uint32_t out_alpha) {
#if defined(__x86_64__)
  if (has_avx2()) {
    crossfade_row_avx2(out, f, g, n, F, in_alpha, out_alpha);
  } else {
    crossfade_row_sse2(out, f, g, n, F, in_alpha, out_alpha);
  }
#else
  crossfade_row_scalar(out, f, g, n, F, in_alpha, out_alpha);
#endif
}

std::vector<CrossfadeRowVariant> crossfade_row_variants() {
  std::vector<CrossfadeRowVariant> v;
  v.push_back({"scalar", crossfade_row_scalar});
#if defined(__x86_64__)
  v.push_back({"sse2", crossfade_row_sse2});
  if (has_avx2()) v.push_back({"avx2", crossfade_row_avx2});
#endif
  return v;
}
