// Thumbnails: the screen, or a given picture, scaled into a caller's w x h buffer, plainly or
// as a mosaic (shrunk by a factor, then enlarged again with nearest-neighbour scaling).
#include <algorithm>
#include <cmath>
#include <vector>

#include "Orv/core_alive.h"
#include "Orv/render/pixel_kernels.h"
#include "Orv/render/render_system.h"
#include "orv/orv.h"

namespace {

bool running() {
  return orv_core_alive();
}

bool scale_to(uint32_t* dst, int32_t w, int32_t h, const uint32_t* src, int32_t sw, int32_t sh) {
  if (!dst || !src || w < 1 || h < 1 || sw < 1 || sh < 1) return false;
  scale_nearest32(dst, w, h, src, sw, sh, static_cast<float>(w) / static_cast<float>(sw),
                  static_cast<float>(h) / static_cast<float>(sh));
  return true;
}

// The mosaic: the source shrunk to about (w / k) x (h / k) and enlarged into the destination.
// A factor below 1 counts as 1 and a small side never drops below 1 pixel.
bool mosaic(uint32_t* dst, int32_t w, int32_t h, const uint32_t* src, int32_t sw, int32_t sh,
            int32_t factor) {
  if (!dst || !src || w < 1 || h < 1 || sw < 1 || sh < 1) return false;
  float k = static_cast<float>(std::max(factor, 1));
  float kx = static_cast<float>(w) / (static_cast<float>(sw) * k);
  float ky = static_cast<float>(h) / (static_cast<float>(sh) * k);
  int32_t small_w = std::max(1, static_cast<int32_t>(static_cast<float>(sw) * kx));
  int32_t small_h = std::max(1, static_cast<int32_t>(static_cast<float>(sh) * ky));
  std::vector<uint32_t> small(static_cast<size_t>(small_w) * small_h);
  scale_nearest32(small.data(), small_w, small_h, src, sw, sh, kx, ky);
  return scale_to(dst, w, h, small.data(), small_w, small_h);
}

}  // namespace

extern "C" {

OrvBool OrvThumbnailCreate(uint32_t* dst, uint32_t size, int32_t w, int32_t h) {
  (void)size;
  if (!running()) return 0;
  BackBufferView frame = render_back_buffer();
  return scale_to(dst, w, h, frame.pixels, frame.width, frame.height) ? 1 : 0;
}

OrvBool OrvThumbnailCreateMosaic(uint32_t* dst, uint32_t size, int32_t w, int32_t h,
                                 int32_t factor) {
  (void)size;
  if (!running()) return 0;
  BackBufferView frame = render_back_buffer();
  return mosaic(dst, w, h, frame.pixels, frame.width, frame.height, factor) ? 1 : 0;
}

OrvBool OrvThumbnailCreateEx(uint32_t* dst, int32_t w, int32_t h, const uint32_t* src, int32_t sw,
                             int32_t sh) {
  if (!running()) return 0;
  return scale_to(dst, w, h, src, sw, sh) ? 1 : 0;
}

OrvBool OrvThumbnailCreateMosaicEx(uint32_t* dst, int32_t w, int32_t h, const uint32_t* src,
                                   int32_t sw, int32_t sh, int32_t factor) {
  if (!running()) return 0;
  return mosaic(dst, w, h, src, sw, sh, factor) ? 1 : 0;
}

OrvBool OrvThumbnailCreateNull(uint32_t* dst, uint32_t size, int32_t w, int32_t h) {
  (void)size;
  if (!dst || w < 1 || h < 1) return 1;
  std::fill(dst, dst + static_cast<size_t>(w) * static_cast<size_t>(h), 0xFF000000u);
  return 1;
}

}  // extern "C"
