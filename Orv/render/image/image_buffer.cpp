#include "Orv/render/image/image_buffer.h"

bool image_size_ok(int64_t w, int64_t h) {
  return w > 0 && h > 0 && w <= kMaxPictureSide && h <= kMaxPictureSide &&
         static_cast<uint64_t>(w) * static_cast<uint64_t>(h) <= kMaxPicturePixels;
}

bool ImageBuffer::reset(int64_t w, int64_t h) {
  pixels.clear();
  width = height = 0;
  if (!image_size_ok(w, h)) return false;
  width = static_cast<int32_t>(w);
  height = static_cast<int32_t>(h);
  pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  return true;
}
