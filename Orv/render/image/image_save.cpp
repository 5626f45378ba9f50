#include "Orv/render/image/image_save.h"

#include <cstring>
#include <string_view>

#include "platform/image_codec.h"
#include "platform/whole_file.h"

namespace {

enum class Kind { kPng, kPng24, kJpeg };

int save(Kind kind, const char* path, const uint32_t* pixels, int32_t w, int32_t h, int32_t pitch) {
  if (!path || !pixels || w <= 0 || h <= 0 || pitch < w) return 0;
  std::vector<uint32_t> packed(static_cast<size_t>(w) * h);
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* src = pixels + static_cast<size_t>(y) * pitch;
    uint32_t* dst = packed.data() + static_cast<size_t>(y) * w;
    if (kind == Kind::kPng24) {
      for (int32_t x = 0; x < w; ++x) dst[x] = png24_pixel(src[x]);
    } else {
      std::memcpy(dst, src, static_cast<size_t>(w) * 4);
    }
  }
  std::vector<uint8_t> file;
  const bool encoded = kind == Kind::kJpeg
                           ? platform::jpeg_encode(packed.data(), w, h, 75, &file)
                           : platform::png_encode(packed.data(), w, h, kind == Kind::kPng, &file);
  if (!encoded) return 0;
  return platform::save_file_bytes(std::string_view(path), file.data(), file.size()) ? 1 : 0;
}

}  // namespace

uint32_t png24_pixel(uint32_t p) {
  const uint32_t a = p >> 24;
  if (a == 255) return p | 0xFF000000u;
  if (a == 0) return 0xFF000000u;
  const uint32_t r = ((p >> 16) & 255) * a / 255, g = ((p >> 8) & 255) * a / 255,
                 b = (p & 255) * a / 255;
  return 0xFF000000u | r << 16 | g << 8 | b;
}

int image_save_png(const char* path, const uint32_t* pixels, int32_t w, int32_t h, int32_t pitch) {
  return save(Kind::kPng, path, pixels, w, h, pitch);
}
int image_save_png24(const char* path, const uint32_t* pixels, int32_t w, int32_t h,
                     int32_t pitch) {
  return save(Kind::kPng24, path, pixels, w, h, pitch);
}
int image_save_jpeg(const char* path, const uint32_t* pixels, int32_t w, int32_t h, int32_t pitch) {
  return save(Kind::kJpeg, path, pixels, w, h, pitch);
}
