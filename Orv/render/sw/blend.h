// The software renderer's row blends. Every mode keeps its exact integer formula; the SSE2
// form of the alpha blend gives the same bytes as the scalar reference (a test compares them).
//
// For a source pixel s, target pixel d and sprite colour c, per colour channel:
//   copy (0):     d = s
//   alpha (1):    m = (c.a * s.a) >> 8; d = (d * (256 - m) + ((s * c) >> 8) * m) >> 8
//   add (2):      d = min(255, d + (((s * s.a / 256) * c.a) >> 8))
//   multiply (3): d = ((((s * s.a / 256) * c.a) >> 8) * d) >> 8
// Modes 1-3 leave d alone where s.a is 0 and set the target alpha to 255 elsewhere. Any other
// mode draws as alpha. The alpha blend has SSE2 and AVX2 forms, picked by the processor.
#pragma once

#include <cstdint>
#include <vector>

enum DibBlend : int32_t { kBlendCopy = 0, kBlendAlpha = 1, kBlendAdd = 2, kBlendMultiply = 3 };

// Blends n source pixels onto n target pixels.
void blend_row(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color, int32_t mode);
// The plain reference of blend_row.
void blend_row_scalar(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color, int32_t mode);

// Every form of blend_row this processor can run (the scalar reference first), so that tests
// can hold each vector form to the reference.
struct BlendRowVariant {
  const char* name;
  void (*fn)(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color, int32_t mode);
};
std::vector<BlendRowVariant> blend_row_variants();

// The alpha blend (mode 1) of n source pixels onto n target pixels that all hold under,
// written without reading the target: the bytes of filling the row with under and then
// blending. A frame whose first sprite covers it draws that sprite over the clear colour so,
// in one pass instead of a fill and a blend.
void blend_row_over(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color, uint32_t under);
// Its plain reference, and every form this processor can run (the reference first).
void blend_row_over_scalar(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color,
                           uint32_t under);
struct BlendOverVariant {
  const char* name;
  void (*fn)(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t color, uint32_t under);
};
std::vector<BlendOverVariant> blend_row_over_variants();

// The cross-fade mix of an incoming pixel f and an outgoing pixel g at weight F (0..255) of f,
// with the two sprites' colour alphas: both clear gives 0; one clear gives that side's colour
// with alpha (f.a * F + g.a * (255 - F)) >> 8; otherwise each colour channel is
// (f * F + g * (255 - F)) >> 8 and the alpha min(255, in_alpha * f.a / 256 +
// (g.a * out_alpha) >> 8).
uint32_t crossfade_pixel(uint32_t f, uint32_t g, uint32_t F, uint32_t in_alpha, uint32_t out_alpha);
// n pixels of out mixed from f and g; SSE2 or AVX2 where the processor has them.
void crossfade_row(uint32_t* out, const uint32_t* f, const uint32_t* g, int32_t n, uint32_t F,
                   uint32_t in_alpha, uint32_t out_alpha);

// Every form of crossfade_row (the scalar reference first), for the tests.
struct CrossfadeRowVariant {
  const char* name;
  void (*fn)(uint32_t* out, const uint32_t* f, const uint32_t* g, int32_t n, uint32_t F,
             uint32_t in_alpha, uint32_t out_alpha);
};
std::vector<CrossfadeRowVariant> crossfade_row_variants();
