// The texture cache: one texture per image slot, made again from the slot's pixels when its
// revision moved on (a new picture in the slot, or pixels written since). A texture has the
// slot's storage size: the image's own, or powers of two after OrvSetPow. The internal format
// is the unsized RGBA (8 bits a channel) so that the driver may keep the texels in the BGRA
// order they arrive in: uploads and read-backs are then plain copies.
//
// A slot may also have a second texture, its pixels in the plain alpha blend's form
// (gl_blend_texture_for), kept by the same rules, with the box of its texels that are not
// fully transparent found while it is made (sprites in that form draw only that box).
#include <algorithm>
#include <array>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "Orv/render/gl/gl_device.h"
#include "Orv/render/image_store.h"

namespace gl = platform::gl;

namespace {

// What the sprite program's kGlModeAlpha makes of an alpha a under a white colour, as the
// target's 8-bit blend takes it: the weight m = a x 255 / 256 (truncated, as the software
// peer's) goes out as m / 256, which the blend stage turns into m x 255 / 256 rounded to the
// nearest (the one tie, m = 128, goes up).
constexpr std::array<uint8_t, 256> kBlendAlpha = [] {
  std::array<uint8_t, 256> out{};
  for (uint32_t a = 0; a < 256; ++a) {
    out[a] = static_cast<uint8_t>(((a * 255u >> 8) * 255u + 128u) >> 8);
  }
  return out;
}();

// A texel in the blend's form, premultiplied: alpha as above; each colour channel is the
// program's product with a white colour, c x 255 / 256 truncated (c - 1, 0 staying 0), times
// that alpha as the blend stage multiplies 8-bit values (x / 255 by the sum of a shift and an
// add), so that the blend's source term is in the texture and a premultiplied blend
// (gl_set_blend) leaves every target pixel as the plain one did.
inline uint32_t blend_form(uint32_t argb) {
  const uint32_t alpha = kBlendAlpha[argb >> 24];
  uint32_t out = alpha << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t c = (argb >> shift) & 255u;
    const uint32_t product = (c ? c - 1 : 0) * alpha;
    out |= ((product + (product >> 8) + 128u) >> 8) << shift;
  }
  return out;
}

// The blend's form of `count` texels, four at a time (SSE2, every x86-64 has it), else one by
// one: the same arithmetic in 16-bit lanes.
void to_blend_form(const uint32_t* in, uint32_t* out, size_t count) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i one = _mm_set1_epi8(1);
  const __m128i half = _mm_set1_epi16(128);
  // Lanes 3 and 7 of each half: the alpha of its two texels.
  const __m128i alpha_lanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  for (; i + 4 <= count; i += 4) {
    // c - 1 and a - 1, saturated at 0.
    const __m128i less =
        _mm_subs_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)), one);
    __m128i halves[2];
    for (int h = 0; h < 2; ++h) {
      const __m128i v = h ? _mm_unpackhi_epi8(less, zero) : _mm_unpacklo_epi8(less, zero);
      // m = a - 1 to every lane of its texel, then the blend's alpha: m, less 1 above 128.
      const __m128i m = _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF);
      const __m128i alpha = _mm_add_epi16(m, _mm_cmpgt_epi16(m, half));
      const __m128i product = _mm_mullo_epi16(v, alpha);
      const __m128i colour = _mm_srli_epi16(
          _mm_add_epi16(_mm_add_epi16(product, _mm_srli_epi16(product, 8)), half), 8);
      halves[h] =
          _mm_or_si128(_mm_andnot_si128(alpha_lanes, colour), _mm_and_si128(alpha_lanes, alpha));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(halves[0], halves[1]));
  }
#endif
  for (; i < count; ++i) out[i] = blend_form(in[i]);
}

// The box of the texels of `pixels` (pitch x rows, in the blend's form) whose alpha is not 0;
// empty when none is. Rows are searched from both ends.
OrvRect visible_box(const uint32_t* pixels, int32_t pitch, int32_t rows) {
  OrvRect box{pitch, rows, 0, 0};
  for (int32_t y = 0; y < rows; ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch);
    int32_t first = 0;
    while (first < pitch && !(row[first] >> 24)) ++first;
    if (first == pitch) continue;
    int32_t end = pitch;
    while (!(row[end - 1] >> 24)) --end;
    box = OrvRect{std::min(box.left, first), std::min(box.top, y), std::max(box.right, end), y + 1};
  }
  return box.right > box.left ? box : OrvRect{0, 0, 0, 0};
}

void forget(GlRenderer* g, GlTexture* t) {
  if (t->id) g->f.DeleteTextures(1, &t->id);
  g->texture_bytes -= gl_texture_bytes(t->width, t->height);
  *t = GlTexture{};
}

const GlTexture* texture_for(GlRenderer* g, const ImageObject* image, bool in_blend_form) {
  int32_t pitch = 0, rows = 0;
  const uint32_t* pixels = image_pixels(image, &pitch, &rows);
  if (!pixels) return nullptr;
  if (pitch > g->max_texture || rows > g->max_texture) return nullptr;
  const platform::GlFunctions& f = g->f;
  GlImageTextures& both = g->textures[image->slot];
  GlTexture& t = in_blend_form ? both.blend : both.plain;
  uint32_t revision = image_revision(image);
  if (t.id && t.buffer == pixels && t.revision == revision && t.width == pitch &&
      t.height == rows) {
    return &t;
  }
  const uint32_t* source = pixels;
  std::vector<uint32_t> converted;
  if (in_blend_form) {
    converted.resize(static_cast<size_t>(pitch) * static_cast<size_t>(rows));
    to_blend_form(pixels, converted.data(), converted.size());
    t.visible = visible_box(converted.data(), pitch, rows);
    source = converted.data();
  }
  bool same_size = t.id && t.width == pitch && t.height == rows;
  bool fresh = !t.id;
  if (fresh) f.GenTextures(1, &t.id);
  f.BindTexture(gl::kTexture2D, t.id);
  if (fresh) {
    // Without mipmaps a texture is complete only with a filter that needs none.
    f.TexParameteri(gl::kTexture2D, gl::kTextureMinFilter, gl::kNearest);
    f.TexParameteri(gl::kTexture2D, gl::kTextureMagFilter, gl::kNearest);
  }
  f.PixelStorei(gl::kUnpackRowLength, pitch);
  f.PixelStorei(gl::kUnpackAlignment, 4);
  if (same_size) {
    f.TexSubImage2D(gl::kTexture2D, 0, 0, 0, pitch, rows, gl::kBgra, gl::kUnsignedByte, source);
  } else {
    g->texture_bytes -= gl_texture_bytes(t.width, t.height);
    g->texture_bytes += gl_texture_bytes(pitch, rows);
    f.TexImage2D(gl::kTexture2D, 0, static_cast<platform::GLint>(gl::kRgba), pitch, rows, 0,
                 gl::kBgra, gl::kUnsignedByte, source);
  }
  f.PixelStorei(gl::kUnpackRowLength, 0);
  t.width = pitch;
  t.height = rows;
  t.buffer = pixels;
  t.revision = revision;
  ++g->stats.uploads;
  return &t;
}

}  // namespace

const GlTexture* gl_texture_for(GlRenderer* g, const ImageObject* image) {
  return texture_for(g, image, false);
}

const GlTexture* gl_blend_texture_for(GlRenderer* g, const ImageObject* image) {
  return texture_for(g, image, true);
}

void gl_textures_clear(GlRenderer* g) {
  for (auto& [slot, both] : g->textures) {
    forget(g, &both.plain);
    forget(g, &both.blend);
  }
  g->textures.clear();
}

void gl_textures_purge(GlRenderer* g) {
  for (auto it = g->textures.begin(); it != g->textures.end();) {
    if (it->first->refcount == 0) {
      forget(g, &it->second.plain);
      forget(g, &it->second.blend);
      it = g->textures.erase(it);
    } else {
      ++it;
    }
  }
}
