#include "Orv/render/pixelops/file_blend.h"

#include <cstdio>
#include <vector>

#include "Orv/render/render_state.h"
#include "Orv/core/error_report.h"
#include "Orv/render/image/bmp_tga.h"
#include "Orv/render/image/ge_image.h"
#include "Orv/render/last_error.h"
#include "Orv/render/pixelops/pixel_access.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"
#include "shared/byte_codec.h"

namespace {

constexpr size_t kMaxFileBytes = size_t{128} << 20;

bool depth_ok(uint32_t bits) {
  return bits == 24 || bits == 32;
}

// The source-alpha mix of the blend: 0 keeps the sprite pixel, 255 takes the file colour,
// else (a f + (255 - a) s) >> 8 per colour byte; the sprite's alpha stays.
uint32_t blend_pixel(uint32_t sprite, uint32_t file) {
  uint32_t a = file >> 24;
  if (a == 0) return sprite;
  if (a == 255) return (sprite & 0xFF000000u) | (file & 0x00FFFFFFu);
  uint32_t out = sprite & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    out |= ((a * ((file >> shift) & 255u) + (255u - a) * ((sprite >> shift) & 255u)) >> 8) << shift;
  }
  return out;
}

}  // namespace

bool file_blend_decode(const uint8_t* data, size_t size, ImageBuffer* out, std::string* error) {
  *out = ImageBuffer{};
  if (!data || size == 0) {
    *error = "empty file";
    return false;
  }
  if (ge_is(data, size)) return ge_decode(data, size, out, error);
  if (bmp_is(data, size)) {
    codec::ByteReader header(data, size);
    header.seek(28);
    const uint16_t bits = header.u16();
    if (header.failed() || !depth_ok(bits)) {
      *error = "not a 24- or 32-bit BMP";
      return false;
    }
    return bmp_decode(data, size, BmpTgaMode::kDib, out, error);
  }
  if (size < 18 || !depth_ok(data[16])) {
    *error = "not a 24- or 32-bit TGA";
    return false;
  }
  return tga_decode(data, size, BmpTgaMode::kDib, out, error);
}

extern "C" {

OrvBool OrvCopyFileToSpriteRGB(OrvHandle sprite, int32_t dx, int32_t dy, const char* path,
                               int32_t sx, int32_t sy, int32_t w, int32_t h) {
  OrvSprite* s = sprite_from(sprite);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  RenderState& st = orv_render();
  std::vector<uint8_t> bytes;
  if (!path || !st.read_file || st.read_file(path, &bytes, kMaxFileBytes) != 1) return 0;
  ImageBuffer picture;
  std::string error;
  if (!file_blend_decode(bytes.data(), bytes.size(), &picture, &error)) {
    error_reportf(ErrorLog::kSkip, "%s: %s", path, error.c_str());
    return 0;
  }
  const int64_t fw = picture.width, fh = picture.height;
  if (sx < 0 || sx > fw || sy < 0 || sy > fh) return 0;
  int64_t ww = (w < 0 || w > fw) ? fw : w;
  int64_t hh = (h < 0 || h > fh) ? fh : h;
  SpritePixels px(s, SpritePixels::kWrite);
  if (!px.ok()) return 0;
  PixelSpan span{dx, dy, sx, sy, ww, hh};
  if (!clip_span(&span, px.width(), px.height(), fw, fh)) return 1;
  for (int64_t j = 0; j < span.h; ++j) {
    uint32_t* row = px.row(span.dy + j) + span.dx;
    const uint32_t* in = picture.row(static_cast<int32_t>(span.sy + j)) + span.sx;
    for (int64_t i = 0; i < span.w; ++i) row[i] = blend_pixel(row[i], in[i]);
  }
  return 1;
}

}  // extern "C"
